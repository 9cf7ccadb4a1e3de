#include "engine/input/work_files.h"

#include <algorithm>
#include <cstring>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

// A buffer smaller than the record it should hold: the transfer is refused.
constexpr int kBufferShorterThanRecord = 10038;

// A person work file with the texts of its failures.
struct PersonFile {
    int unit;
    const char* write_name;
    const char* write_failure;
    const char* read_name;
    const char* read_failure;
};
constexpr PersonFile kNames{unit::kPersonLabels, msg::kNameFile, msg::kNameWriteFailure,
                            msg::kNameFile, msg::kNameReadFailure};
constexpr PersonFile kCodes{unit::kCodes, msg::kCodesFile, msg::kCodesWriteFailure,
                            msg::kCodesFile, msg::kCodesReadFailure};
constexpr PersonFile kScores{unit::kScores, msg::kScoredFile, msg::kScoredWriteFailure,
                             msg::kScoresFile, msg::kScoresReadFailure};
constexpr PersonFile kWork{unit::kPersonRecords, msg::kWorkFile, msg::kWorkWriteFailure,
                           msg::kWorkFile, msg::kWorkReadFailure};

std::string failure_at(const char* text, std::int64_t record) {
    return std::string(text) + std::string(trim(int_to_text_left(record)));
}

// A failed transfer stops the run. Records are gathered before they are written, so the write
// that failed may come to light at a later read or write of the file: it is reported as the
// write it was, at the first record it lost, with the file's path and disk.
void check(Run& run, int status, const PersonFile& file, std::int64_t record, char mode) {
    if (status == 0) return;
    if (const std::int64_t lost = record_unit_failed_write(run, file.unit))
        stop_with_file_error(run, failure_at(file.write_failure, lost), file.write_name, 'W',
                             record_unit_path(run, file.unit));
    if (mode == 'W')
        stop_with_file_error(run, failure_at(file.write_failure, record), file.write_name, 'W',
                             record_unit_path(run, file.unit));
    stop_with_file_error(run, failure_at(file.read_failure, record), file.read_name, mode,
                         record_unit_path(run, file.unit));
}

int refuse_short_buffer(Run& run) {
    return run.rs.io_status = kBufferShorterThanRecord;
}

// The image record of person n, or null when the image is absent or does not reach n.
std::uint8_t* image_record(const WorkFiles& files, std::int64_t n) {
    const auto ni = static_cast<std::size_t>(files.layout.ni);
    if (n < 1 || ni == 0) return nullptr;
    const std::size_t at = static_cast<std::size_t>(n - 1) * ni;
    if (at + ni > files.scored_response_image.size()) return nullptr;
    return files.scored_response_image.data() + at;
}

PersonWorkFields* work_image_record(const WorkFiles& files, std::int64_t n) {
    if (files.person_record_image.empty()) return nullptr;
    if (n < 1 || static_cast<std::size_t>(n) > files.person_record_image.size()) return nullptr;
    return &files.person_record_image[static_cast<std::size_t>(n - 1)];
}

void open_or_stop(Run& run, int unit, const char* code, std::int32_t length, const char* name,
                  RecordOpen how) {
    if (open_record_unit(run, unit, work_file_path(run, code), length, how) != 0) {
        const int status = run.rs.io_status;
        show_message_line(run, msg::kUnableToOpenWorkFile);
        run.rs.io_status = status;
        fail_on_file_error(run, name, 'O');
    }
}

}  // namespace

WorkFiles::WorkFiles(const WorkFileLayout& l)
    : layout(l),
      missing_codes(static_cast<std::size_t>(person_record_length()), kNoResponseCode),
      missing_scores(static_cast<std::size_t>(person_record_length()), kMissingScore),
      name_record(static_cast<std::size_t>(name_record_length()), ' ') {}

void open_person_work_files(Run& run, const WorkFileLayout& layout, RecordOpen how) {
    const std::int32_t items = std::max(layout.ni, 1);
    open_or_stop(run, unit::kScores, "ZMM", items, msg::kScoresWorkFileName, how);
    open_or_stop(run, unit::kCodes, "ZNN", items, msg::kCodesWorkFileName, how);
    open_or_stop(run, unit::kPersonLabels, "ZPP", WorkFiles(layout).name_record_length(),
                 msg::kNamesWorkFileName, how);
    open_or_stop(run, unit::kPersonRecords, "ZQQ",
                 static_cast<std::int32_t>(sizeof(PersonWorkFields)), msg::kPersonWorkFileName,
                 how);
}

int open_item_label_work_file(Run& run, std::int32_t record_length, RecordOpen how) {
    return open_record_unit(run, unit::kItemLabels, work_file_path(run, "ZJJ"), record_length, how);
}

void blank_label_text(std::string& label) {
    if (label.size() < static_cast<std::size_t>(kLabelTextWidth)) label.resize(kLabelTextWidth);
    std::fill(label.begin(), label.end(), ' ');
}

namespace {
// The number in at least five digits with leading zeros, from the label's first column.
void put_number(std::int64_t n, std::string& label) {
    char digits[24];
    int len = 0;
    std::uint64_t v = n < 0 ? 0 : static_cast<std::uint64_t>(n);
    do {
        digits[len++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (len < 5) digits[len++] = '0';
    if (label.size() < static_cast<std::size_t>(len + 1))
        label.resize(static_cast<std::size_t>(len + 1), ' ');
    for (int k = 0; k < len; ++k) label[static_cast<std::size_t>(k)] = digits[len - 1 - k];
}
}  // namespace

void make_person_number_label(std::int64_t person, std::string& label) {
    blank_label_text(label);
    put_number(person, label);
    label[trim_right(label).size()] = 'P';
}

void make_item_number_label(std::int64_t item, std::int32_t ni, std::string& label) {
    blank_label_text(label);
    put_number(item, label);
    if (ni < 10000) label[0] = 'I';
}

// ---- writers -----------------------------------------------------------------------------------

namespace {
// ZPP rewritten with records of four bytes a character, room for any NAMLEN= characters, keeping
// the labels of the persons before `person`. Done at most once a run, for the first label that
// needs more bytes than its characters.
void widen_person_name_records(Run& run, WorkFiles& files, std::int64_t person) {
    const std::size_t old_length = files.name_record.size();
    std::vector<char> kept(old_length *
                           static_cast<std::size_t>(std::max<std::int64_t>(person - 1, 0)));
    for (std::int64_t p = 1; p < person; ++p)
        check(run, read_record(run, unit::kPersonLabels, p, kept.data() + (p - 1) * old_length),
              kNames, p, 'R');
    const std::int32_t bytes = 4 * std::max(files.layout.namlen, 1);
    open_or_stop(run, unit::kPersonLabels, "ZPP", bytes, msg::kNamesWorkFileName,
                 RecordOpen::Fresh);
    files.layout.name_bytes = bytes;
    run.input.person_label_bytes = bytes;
    files.name_record.assign(static_cast<std::size_t>(bytes), ' ');
    for (std::int64_t p = 1; p < person; ++p) {
        std::fill(files.name_record.begin(), files.name_record.end(), ' ');
        std::copy_n(kept.data() + (p - 1) * old_length, old_length, files.name_record.begin());
        check(run, write_record(run, unit::kPersonLabels, p, files.name_record.data()), kNames, p,
              'W');
    }
}
}  // namespace

void write_person_name_record(Run& run, WorkFiles& files, std::int64_t person,
                              std::string_view label) {
    if (files.layout.namlen < 1) return;
    // The label's NAMLEN= characters (a label of at most NAMLEN= bytes has no more).
    const auto namlen = static_cast<std::size_t>(files.layout.namlen);
    if (label.size() > namlen) label = label.substr(0, character_offset(label, namlen));
    if (trim_right(label).size() > files.name_record.size())
        widen_person_name_records(run, files, person);
    std::fill(files.name_record.begin(), files.name_record.end(), ' ');
    label.substr(0, files.name_record.size())
        .copy(files.name_record.data(), files.name_record.size());
    check(run, write_record(run, unit::kPersonLabels, person, files.name_record.data()), kNames,
          person, 'W');
}

void write_person_codes_record(Run& run, WorkFiles& files, std::int64_t person,
                               std::span<const std::uint8_t> codes) {
    const bool fits = codes.size() >= static_cast<std::size_t>(files.person_record_length());
    check(run,
          fits ? write_record(run, unit::kCodes, person, codes.data()) : refuse_short_buffer(run),
          kCodes, person, 'W');
}

void write_person_scores_record(Run& run, WorkFiles& files, std::int64_t person,
                                std::span<const std::uint8_t> scores) {
    const bool fits = scores.size() >= static_cast<std::size_t>(files.person_record_length());
    check(run,
          fits ? write_record(run, unit::kScores, person, scores.data()) : refuse_short_buffer(run),
          kScores, person, 'W');
    if (std::uint8_t* image = image_record(files, person))
        std::memcpy(image, scores.data(), static_cast<std::size_t>(files.layout.ni));
}

void write_missing_codes_record(Run& run, WorkFiles& files, std::int64_t person) {
    write_person_codes_record(run, files, person, files.missing_codes);
}

void write_missing_scores_record(Run& run, WorkFiles& files, std::int64_t person) {
    write_person_scores_record(run, files, person, files.missing_scores);
}

void write_person_work_record(Run& run, WorkFiles& files, std::int64_t person,
                              const PersonWorkFields& fields) {
    if (PersonWorkFields* image = work_image_record(files, person)) {
        *image = fields;
        return;
    }
    check(run, write_record(run, unit::kPersonRecords, person, &fields), kWork, person, 'W');
}

void flush_person_scores_records(Run& run) {
    check(run, flush_record_unit(run, unit::kScores), kScores, 0, 'W');
}

int write_item_label_record(Run& run, WorkFiles& files, std::int64_t item, std::string_view line) {
    const auto length = static_cast<std::size_t>(record_unit_length(run, unit::kItemLabels));
    if (length == 0) return write_record(run, unit::kItemLabels, item, nullptr);  // not open
    files.item_label_record.assign(length, ' ');
    line.substr(0, length).copy(files.item_label_record.data(), length);
    return write_record(run, unit::kItemLabels, item, files.item_label_record.data());
}

// ---- readers -----------------------------------------------------------------------------------

void read_person_name_record(Run& run, WorkFiles& files, std::int64_t person, std::string& label) {
    blank_label_text(label);
    if (files.layout.namlen < 1) return;
    const std::size_t length = files.name_record.size();
    check(run, read_record(run, unit::kPersonLabels, person, files.name_record.data()), kNames,
          person, 'R');
    if (label.size() < length) label.resize(length, ' ');
    std::memcpy(label.data(), files.name_record.data(), length);
}

void read_person_codes_record(Run& run, WorkFiles& files, std::int64_t person,
                              std::span<std::uint8_t> codes) {
    const bool fits = codes.size() >= static_cast<std::size_t>(files.person_record_length());
    check(run,
          fits ? read_record(run, unit::kCodes, person, codes.data()) : refuse_short_buffer(run),
          kCodes, person, 'R');
}

void read_person_scores_record(Run& run, WorkFiles& files, std::int64_t person,
                               std::span<std::uint8_t> scores) {
    const auto ni = static_cast<std::size_t>(files.layout.ni);
    if (const std::uint8_t* image = image_record(files, person); image && scores.size() >= ni) {
        std::memcpy(scores.data(), image, ni);
        return;
    }
    const bool fits = scores.size() >= static_cast<std::size_t>(files.person_record_length());
    check(run,
          fits ? read_record(run, unit::kScores, person, scores.data()) : refuse_short_buffer(run),
          kScores, person, 'R');
}

void load_person_scores_record_to_memory(Run& run, WorkFiles& files, std::int64_t person,
                                         std::span<std::uint8_t> scores) {
    const bool fits = scores.size() >= static_cast<std::size_t>(files.person_record_length());
    check(run,
          fits ? read_record(run, unit::kScores, person, scores.data()) : refuse_short_buffer(run),
          kScores, person, 'R');
    if (std::uint8_t* image = image_record(files, person))
        std::memcpy(image, scores.data(), static_cast<std::size_t>(files.layout.ni));
}

void read_person_work_record(Run& run, WorkFiles& files, std::int64_t person,
                             PersonWorkFields& fields) {
    if (const PersonWorkFields* image = work_image_record(files, person)) {
        fields = *image;
        return;
    }
    check(run, read_record(run, unit::kPersonRecords, person, &fields), kWork, person, 'R');
}

void read_item_label_record(Run& run, WorkFiles& files, std::int64_t item, std::string& label) {
    blank_label_text(label);
    if (!files.layout.items_numbered) {
        const auto length = static_cast<std::size_t>(record_unit_length(run, unit::kItemLabels));
        int status = 10000;  // not open for read
        if (length > 0) {
            files.item_label_record.resize(length);
            status = read_record(run, unit::kItemLabels, item, files.item_label_record.data());
        } else {
            run.rs.io_status = status;
        }
        if (status == 0) {
            // The label is the record's first ITLEN= characters.
            const std::string_view record(files.item_label_record.data(), length);
            const std::size_t n =
                character_offset(record, static_cast<std::size_t>(std::max(files.layout.itlen, 0)));
            if (label.size() < n) label.resize(n, ' ');
            std::memcpy(label.data(), files.item_label_record.data(), n);
            return;
        }
        show_message_line(run, std::string(msg::kItemLabelReadFailure) +
                                   std::string(trim(int_to_text_left(item))));
        run.rs.io_status = 0;  // handled: the number label stands in and the run goes on
    }
    make_item_number_label(item, files.layout.ni, label);
}

}  // namespace korvelan
