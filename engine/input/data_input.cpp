#include "engine/input/data_input.h"

#include <algorithm>
#include <span>
#include <vector>
#include <string>

#include "engine/input/data_edits.h"
#include "engine/input/data_records.h"
#include "engine/input/item_labels.h"
#include "engine/input/item_selections.h"
#include "engine/input/label_columns.h"
#include "engine/input/mforms.h"
#include "engine/input/record_alignment.h"
#include "engine/input/record_echo.h"
#include "engine/input/response_scoring.h"
#include "engine/input/selections.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

constexpr int kPersonAnchorUnit = 11;
constexpr int kPersonWeightUnit = 12;
constexpr std::int64_t kRecordsPerDot = 1000;
constexpr char kEndOfDataMark = 26;
// Codes and scores of this many bytes are scored at a time.
constexpr std::size_t kScoringBlockBytes = std::size_t{4} << 20;

std::string number(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

// PWEIGHT= or PAFILE= given as a column selection of the data records: the selection is kept,
// the variable names the work file ZPW or ZPA, and each person's text goes there as a line.
struct PersonColumns {
    std::string ControlVariables::*value;
    const char* name;
    const char* code;
    int unit;
    bool active = false;
    FieldSelection selection;
    SelectedText text;
    std::string path;
    std::string typed;  // the selection as the instruction gave it
    mutable std::int64_t written = 0;

    PersonColumns(std::string ControlVariables::*v, const char* n, const char* c, int u)
        : value(v), name(n), code(c), unit(u) {}
    void open(Run& run) {
        std::string& v = run.cv.*value;
        if (!holds_column_selection(v)) return;
        if (!parse_field_selection(run, trim(v), name, SelectionUse::Label, selection)) return;
        SelectedText probe;
        apply_field_selection(selection, "", probe);
        if (probe.count <= 0) return;
        typed = std::string(trim(v));
        path = work_file_path(run, code);
        v = pad_bytes(path, std::max<std::size_t>(width::kFileName, path.size()));
        if (open_unit(run, unit, path, OpenMode::Write) != 0) fail(run);
        active = true;
    }
    [[noreturn]] void fail(Run& run) const {
        const std::int32_t status = run.rs.io_status;
        show_message_line(run, msg::kProblemWithWorkFile);
        run.rs.io_status = status;
        fail_on_file_error(run, path, 'O');
    }
    std::int32_t column() const { return active ? selection.first_column : 0; }
    void write(Run& run, std::int64_t person) const {
        std::string_view t = trim(text.text());
        if (!active || t.empty()) return;
        if (write_unit_line(run, unit, number(person) + " " + std::string(t)) != 0) fail(run);
        ++written;
    }
    // A selection that found nothing in any label leaves the run without what it asked for.
    void warn_when_nothing_found(Run& run) const {
        if (active && written == 0) show_message_line(run, selection_found_nothing(name, typed));
    }
};

class DataPass {
  public:
    explicit DataPass(Run& run)
        : run_(run),
          cv_(run.cv),
          files_(run_work_file_layout(run)),
          record_(run.cv),
          coder_(run.cv),
          weights_{&ControlVariables::pweight, "PWEIGHT", "ZPW", kPersonWeightUnit},
          anchors_{&ControlVariables::pafile, "PAFILE", "ZPA", kPersonAnchorUnit},
          echo_(run),
          selecting_(trim(run.cv.pselect) != "*") {}

    void open_work_files() {
        open_person_work_files(run_, files_.layout);
        weights_.open(run_);
        anchors_.open(run_);
        echo_.set_selection_columns(weights_.column(), anchors_.column());
    }
    void read_all_sources();
    void warn_when_nothing_found() const {
        anchors_.warn_when_nothing_found(run_);
        weights_.warn_when_nothing_found(run_);
    }
    void report_records_input();
    void edit_codes_and_make_key();
    void score_persons();

  private:
    void read_source(int unit, const std::string& name, bool data_file);
    void show_raw_first_line(DataLineSource& source, const std::string& name);
    void take_record(bool echo);
    void store_person(std::int32_t p);
    void count_record();
    std::int32_t code_responses(const char* responses, const std::int8_t* item_status,
                                std::uint8_t* out) const;
    std::span<std::uint8_t> codes() {
        return {reinterpret_cast<std::uint8_t*>(run_.arrays.current_response_codes.data()) + 1,
                static_cast<std::size_t>(cv_.ni)};
    }

    Run& run_;
    const ControlVariables& cv_;
    WorkFiles files_;
    RecordLine record_;
    ResponseCoder coder_;
    PersonColumns weights_;
    PersonColumns anchors_;
    RecordEcho echo_;
    bool selecting_;
    std::string label_;
    std::size_t label_bytes_ = 0;  // of the label's NAMLEN= characters
    std::int32_t persons_ = 0;
    bool skipping_ = false;
    bool first_source_ = true;
    bool raw_echo_shown_ = false;
};

void DataPass::read_all_sources() {
    blank_label_text(label_);
    if (trim(cv_.data_file).empty()) {
        read_source(unit::kControl, run_.rs.control_file, false);
        return;
    }
    close_unit(run_, unit::kControl);
    for (const std::string& name : names_of_file_list(cv_.data_file)) {
        if (run_.host) {
            run_.host->insert_menu_item(1, 2, std::string(msg::kMenuEditDataFile) + name, nullptr);
            run_.host->write_text_window_line(msg::kMformsOpening + name);
        }
        if (open_unit(run_, unit::kControl, name, OpenMode::Read) != 0) {
            const std::int32_t status = run_.rs.io_status;
            show_message_line(run_, msg::kUnableToOpenDataFile + name);
            run_.rs.io_status = status;
            fail_on_file_error(run_, name, 'I');
        }
        read_source(unit::kControl, name, true);
        close_unit(run_, unit::kControl);
    }
}

void DataPass::show_raw_first_line(DataLineSource& source, const std::string& name) {
    std::string_view line;
    const int status = source.next_line(line);
    if (status > 0) {
        show_message_line(
            run_, msg::kErrorInDataAtPerson + number(persons_ + 1) + msg::kCheckDataAndRunAgain);
        run_.rs.io_status = status;
        fail_on_file_error(run_, name, 'R');
    }
    std::string raw(status == 0 ? source.text() : std::string_view());
    blank_control_characters(raw);
    echo_.show(msg::kInputRecordBeforeFormat);
    echo_.ruler(static_cast<std::int32_t>(trim_right(raw).size()), raw);
    echo_.show(trim_right(raw));
    source.rewind();
    raw_echo_shown_ = true;
}

void DataPass::read_source(int unit_number, const std::string& name, bool data_file) {
    DataLineSource source(run_, unit_number);
    if (!trim(cv_.mforms).empty() && name == work_file_path(run_, "ZMF"))
        source.read_by(static_cast<ColumnUnit>(run_.input.mforms_column_unit));
    else
        source.decide_columns_with(decide_data_record_columns, name);
    if (record_.formatted() && data_file) show_raw_first_line(source, name);
    bool first_record = true;
    for (;;) {
        const int status = record_.read(source);
        if (status < 0) break;
        if (status > 0) {
            show_message_line(run_, msg::kErrorInDataAtPerson + number(persons_ + 1) +
                                        msg::kCheckDataAndRunAgain);
            run_.rs.io_status = status;
            fail_on_file_error(run_, name, 'R');
        }
        if (record_.blank()) continue;
        if (record_.first() == kEndOfDataMark) break;
        if (first_record) {
            echo_.show(record_.formatted() ? msg::kInputRecordAfterFormat : msg::kInputRecord);
            if (first_source_ && !raw_echo_shown_) echo_.ruler(record_.length(), record_.columns(), record_.column_unit());
            if (!record_.formatted() || record_.delimited()) {
                echo_.show(record_.columns());
                if (!record_.delimited()) echo_.marker_line(record_.columns(), record_.column_unit());
            }
        }
        take_record(first_record);
        first_record = false;
    }
    first_source_ = false;
}

void DataPass::take_record(bool echo) {
    if (record_.delimited()) {
        record_.split_delimited(label_);
        label_bytes_ = character_offset(label_, static_cast<std::size_t>(std::max(cv_.namlen, 0)));
        if (anchors_.active)
            apply_delimited_selection(anchors_.selection, record_.fields(), anchors_.text);
        if (weights_.active)
            apply_delimited_selection(weights_.selection, record_.fields(), weights_.text);
        if (echo) echo_.delimited_record(record_.responses(), label_);
    } else {
        label_bytes_ = record_.take_label(label_);
        if (anchors_.active) record_.select_columns(anchors_.selection, anchors_.text);
        if (weights_.active) record_.select_columns(weights_.selection, weights_.text);
        record_.move_responses_to_column_1();
    }
    // Only the label's NAMLEN= characters and the selected texts can hold anything.
    blank_control_characters(label_.data(), std::min(label_.size(), label_bytes_));
    blank_control_characters(anchors_.text.c.data(), static_cast<std::size_t>(anchors_.text.count));
    blank_control_characters(weights_.text.c.data(), static_cast<std::size_t>(weights_.text.count));
    if (echo && record_.formatted() && !record_.delimited())
        echo_.formatted_record(record_.responses(), anchors_.text.text(), weights_.text.text(),
                               label_);
    count_record();
    if (skipping_) return;
    if (persons_ >= run_.arrays.person_status_capacity) {
        if (run_.host)
            run_.host->write_text_window_line(msg::kPersonsSkippedAfter +
                                              number(run_.arrays.person_status_capacity));
        skipping_ = true;
        return;
    }
    store_person(++persons_);
}

void DataPass::count_record() {
    if (++run_.input.records_input % kRecordsPerDot != 0) return;
    if (run_.host) run_.host->send_char_to_text_window('.');
    pump_and_poll(run_);
}

void DataPass::store_person(std::int32_t p) {
    InputState& input = run_.input;
    std::int8_t& status = run_.arrays.person_status_input[static_cast<std::size_t>(p)];
    if (status != status::kDeleted && selecting_ &&
        !is_selected(match_label_selection(trim(cv_.pselect), label_, cv_.namlen))) {
        status = status::kDeleted;
        input.highest_person_touched = std::max(input.highest_person_touched, p);
    }
    std::string_view stored = std::string_view(label_).substr(0, label_bytes_);
    if (trim(stored).empty()) {
        make_person_number_label(p, label_);
        stored = std::string_view(label_).substr(0, label_bytes_);
    }
    // Where no column holds a character of several bytes, a byte is a column on the screen.
    const std::string_view shown = trim_right(stored);
    const std::size_t width = record_.multibyte() || record_.delimited() ? display_width(shown) : shown.size();
    input.longest_person_label = std::max(input.longest_person_label, static_cast<std::int32_t>(width));
    write_person_name_record(run_, files_, p, stored);
    std::span<std::uint8_t> c = codes();
    const std::int8_t* const item_status = run_.arrays.item_status.data();
    const auto x = static_cast<std::size_t>(std::max(cv_.xwide, 1));
    const char* const responses = record_.response(1);
    const std::int32_t first_uncoded = code_responses(responses, item_status, c.data());
    // A deleted person keeps its responses as read, never scored: the Tables of single
    // responses show them beside the persons measured.
    if (status <= status::kDeleted) {
        write_person_codes_record(run_, files_, p, c);
        return;
    }
    anchors_.write(run_, p);
    weights_.write(run_, p);
    // Only a response that is no code can hold a character outside printable ASCII.
    for (std::int32_t i = first_uncoded; i >= 1 && i <= cv_.ni && !input.non_ascii_warned; ++i) {
        if (item_status[i] <= status::kDeleted || c[static_cast<std::size_t>(i - 1)] != 0) continue;
        const char* response = responses + static_cast<std::size_t>(i - 1) * x;
        for (std::size_t k = 0; k < x; ++k) {
            const auto b = static_cast<unsigned char>(response[k]);
            if (b >= ' ' && b <= '~') continue;
            input.non_ascii_warned = true;
            // The byte is shown by its code alone: as a character it would be a control code or
            // a part of one of several bytes.
            show_message_line(run_, msg::kNonAsciiPerson + number(p) + msg::kNonAsciiItem +
                                        number(i) + msg::kNonAsciiDecimal + number(b));
            break;
        }
    }
    write_person_codes_record(run_, files_, p, c);
}

// The codes of the responses of every item, deleted items too (they are never scored), into
// out; returns the first item still in the analysis whose response is no code (0: none).
std::int32_t DataPass::code_responses(const char* responses, const std::int8_t* item_status,
                                      std::uint8_t* out) const {
    const std::int32_t ni = cv_.ni;
    const auto x = static_cast<std::size_t>(std::max(cv_.xwide, 1));
    if (const std::int32_t* byte_codes = coder_.byte_codes()) {
        for (std::int32_t i = 1; i <= ni; ++i)
            out[i - 1] = static_cast<std::uint8_t>(byte_codes[static_cast<unsigned char>(responses[i - 1])]);
    } else {
        for (std::int32_t i = 1; i <= ni; ++i)
            out[i - 1] = static_cast<std::uint8_t>(coder_.code(responses + static_cast<std::size_t>(i - 1) * x));
    }
    for (std::int32_t i = 1; i <= ni; ++i)
        if (out[i - 1] == 0 && item_status[i] > status::kDeleted) return i;
    return 0;
}

void DataPass::report_records_input() {
    run_.arrays.persons = persons_;
    close_unit(run_, kPersonAnchorUnit);
    close_unit(run_, kPersonWeightUnit);
    if (run_.host) run_.host->write_text_window_line(" ");
    ReportLineBuffer& line = run_.rep.line;
    line.clear();
    line.put(1, fmt_i(run_.input.records_input, 9) + " " +
                    pad_right(cv_.person_word, width::kWord) + msg::kRecordsInput);
    if (run_.host) run_.host->write_text_window_line(line.view(2, line.length()));
    write_report_line(run_);
    if (persons_ == 0) {
        // Where the records were looked for: the data files, the records MFORMS= made, or the
        // control file after its labels.
        std::string source(trim(cv_.data_file));
        if (!trim(cv_.mforms).empty()) source = msg::kNoDataRecordsMforms + std::string(trim(cv_.mforms));
        else if (source.empty()) source = run_.rs.control_file;
        fatal_message(run_, msg::kNoDataRecords + std::string(trim(cv_.person_word)) + msg::kNoDataRecordsIn +
                                source);
    }
}

void DataPass::edit_codes_and_make_key() {
    if (!trim(cv_.edfile).empty()) apply_data_edits(run_, files_, persons_, codes());
    if (cv_.makekey == 'Y') {
        const auto& persons = run_.arrays.person_status_input;
        const auto& items = run_.arrays.item_status;
        make_answer_key(
            run_, files_, persons_, std::span<const std::int8_t>(persons.data(), persons.size()),
            std::span<const std::int8_t>(items.data(), items.size()), codes(), run_.arrays.strings);
    }
}

// The persons go in blocks: their codes read from ZNN in person order, scored on the worker
// threads, their scores written to ZMM in person order.
void DataPass::score_persons() {
    const ScoreTable table(run_);
    const auto ni = static_cast<std::size_t>(std::max(cv_.ni, 1));
    const std::int32_t block = static_cast<std::int32_t>(
        std::clamp<std::size_t>(kScoringBlockBytes / ni, 1, static_cast<std::size_t>(std::max(persons_, 1))));
    std::vector<std::uint8_t> codes(static_cast<std::size_t>(block) * ni);
    std::vector<std::uint8_t> scores(codes.size());
    const std::int8_t* item_status = run_.arrays.item_status.data();
    const std::int8_t* person_status = run_.arrays.person_status_input.data();
    const ChunkPlan plan = plan_person_chunks(block, 0);
    WorkerPool pool(plan.chunks > 1 ? 0 : 1, plan.chunks);
    for (std::int32_t first = 1; first <= persons_; first += block) {
        const std::int32_t count = std::min(block, persons_ - first + 1);
        for (std::int32_t k = 0; k < count; ++k)
            if (person_status[first + k] > status::kDeleted)
                read_person_codes_record(run_, files_, first + k, {codes.data() + k * ni, ni});
        auto score = [&](int c) {
            for (std::int32_t k = plan.first(c) - 1, last = std::min(plan.last(c, block), count); k < last; ++k) {
                std::uint8_t* out = scores.data() + static_cast<std::size_t>(k) * ni;
                std::fill(out, out + ni, static_cast<std::uint8_t>(kMissingCategory));
                if (person_status[first + k] <= status::kDeleted) continue;
                const std::uint8_t* in = codes.data() + static_cast<std::size_t>(k) * ni;
                for (std::int32_t i = 1; i <= cv_.ni; ++i)
                    if (item_status[i] > status::kDeleted)
                        out[i - 1] = table.score(in[i - 1], i);
            }
        };
        pool.run(plan.chunks, score);
        for (std::int32_t k = 0; k < count; ++k)
            write_person_scores_record(run_, files_, first + k, {scores.data() + k * ni, ni});
    }
    flush_person_scores_records(run_);
}

void read_item_labels(Run& run) {
    ControlVariables& cv = run.cv;
    if (trim(cv.ilfile).empty())
        copy_item_labels_to_work_file(run);
    else if (cv.item_numbering != 'Y')
        skip_item_labels_in_control_file(run);
    const std::int32_t longest = build_item_label_work_file(run);
    if (cv.item_numbering == 'Y')
        cv.itlen = 8;
    else
        cv.itlen = cv.itlen == 0 ? longest : std::min(cv.itlen, longest);
    measure_item_labels(run);
}

}  // namespace

WorkFileLayout run_work_file_layout(const Run& run) {
    WorkFileLayout layout;
    layout.ni = run.cv.ni;
    layout.namlen = run.cv.namlen;
    layout.itlen = run.cv.itlen;
    layout.items_numbered = run.cv.item_numbering == 'Y';
    layout.name_bytes = run.input.person_label_bytes;
    return layout;
}

WorkFiles run_work_files(Run& run) {
    WorkFileLayout layout = run_work_file_layout(run);
    if (run.arrays.items > 0) layout.ni = run.arrays.items;
    WorkFiles files(layout);
    files.scored_response_image = run.arrays.scored_response_image;
    std::vector<float>& image = run.arrays.person_record_image;
    constexpr std::size_t kFields = sizeof(PersonWorkFields) / sizeof(float);
    if (!image.empty())
        files.person_record_image = std::span<PersonWorkFields>(
            reinterpret_cast<PersonWorkFields*>(image.data()), image.size() / kFields);
    return files;
}

std::vector<std::vector<bool>> values_scored_by_group(const Run& run) {
    const ControlVariables& cv = run.cv;
    const AnalysisArrays& a = run.arrays;
    std::vector<std::vector<bool>> scored(static_cast<std::size_t>(std::max(a.groups, 0)) + 1);
    const auto mark = [&](std::int32_t g, std::int32_t v) {
        if (g < 1 || g > a.groups || v < 0 || v >= kMissingCategory) return;
        std::vector<bool>& values = scored[static_cast<std::size_t>(g)];
        if (values.size() <= static_cast<std::size_t>(v)) values.resize(static_cast<std::size_t>(v) + 1, false);
        values[static_cast<std::size_t>(v)] = true;
    };
    for (std::int32_t g = 1; g <= a.groups; ++g) {
        if (cv.missing != 255) mark(g, cv.missing);
        if (cv.makekey == 'Y') mark(g, 1);
    }
    for (std::int32_t i = 1; i <= cv.ni; ++i) {
        const std::int32_t g = a.item_group[static_cast<std::size_t>(i)];
        for (std::int32_t c = 1; c <= cv.categs; ++c) mark(g, score_response(run, c, i));
    }
    return scored;
}

void lay_out_category_slots(Run& run) {
    AnalysisArrays& a = run.arrays;
    std::fill(a.group_top_value.begin(), a.group_top_value.end(), run.cv.missing == 255 ? -1 : run.cv.missing);
    // No recounted categories until PROX numbers those in use.
    std::fill(a.group_top_category.begin(), a.group_top_category.end(), -1);
    const std::vector<std::vector<bool>> scored = values_scored_by_group(run);
    for (std::int32_t g = 1; g <= a.groups; ++g)
        a.group_top_value[static_cast<std::size_t>(g)] = static_cast<std::int32_t>(scored[static_cast<std::size_t>(g)].size()) - 1;
    std::int32_t highest = -1;
    std::int32_t slots = 0;
    for (std::int32_t g = 1; g <= a.groups; ++g) {
        const std::int32_t t = a.group_top_value[static_cast<std::size_t>(g)];
        highest = std::max(highest, t);
        a.group_first_slot[static_cast<std::size_t>(g)] = slots + 1;
        slots += 1 + std::max(t, 1);
    }
    a.top_value = highest;
    a.slots = slots;
    if (highest < 1) {
        show_message_line(run, msg::kNoneScoredOneOrAbove);
        fatal_message(run, msg::kCheckScoringVariables);
    }
}

void read_data_input(Run& run) {
    if (!trim(run.cv.mforms).empty()) reformat_data_with_mforms(run);
    lay_out_category_slots(run);
    read_item_labels(run);
    if (item_label_pass_needed(run)) select_items_by_label_columns(run);
    if (run.host) run.host->console_write_prompt(msg::kInputInProcess);
    std::fill(run.arrays.current_response_codes.begin(), run.arrays.current_response_codes.end(),
              '\0');
    run.input.records_input = 0;
    DataPass pass(run);
    pass.open_work_files();
    pass.read_all_sources();
    pass.warn_when_nothing_found();
    pass.report_records_input();
    pass.edit_codes_and_make_key();
    pass.score_persons();
    run.rs.io_status = 0;
}

}  // namespace korvelan
