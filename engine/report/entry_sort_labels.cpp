// The label order of the Tables and maps: entries sorted by their labels from a start column, or
// by the text the map field (IMAP= or PMAP=) selects from each label.
#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/input/data_input.h"
#include "engine/input/selections.h"
#include "engine/input/work_files.h"
#include "engine/report/entry_sort.h"
#include "engine/report/entry_sort_common.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

// The start column is option letter 5 / selector 5 of the request.
constexpr std::size_t kStartColumnOption = 4;

// The start column c of the comparison (0: the map field's text), stored back into selector 5.
// A blank map field turns c = 0 into 1; the clamp comes first, so a negative setting with a
// blank map field also compares from column 1 instead of selecting nothing.
int label_start_column(TableRequest& request, int label_start, const std::string& map_field) {
    int c = request.letters[kStartColumnOption] == ' '
                ? label_start
                : nint(request.selectors[kStartColumnOption]);
    c = std::clamp(c, 0, kLabelTextWidth);
    if (c == 0 && trim(map_field).empty()) c = 1;
    request.selectors[kStartColumnOption] = static_cast<float>(c);
    return c;
}

// Reads the label of one entry of a side, or, with a map field, the text that field selects
// from it, into a blank-padded text of kLabelTextWidth characters.
class LabelReader {
public:
    LabelReader(Run& run, ReportSide side, bool use_map_field)
        : run_(run), side_(side), files_(run_work_files(run)), use_map_(use_map_field) {
        if (use_map_)
            parse_field_selection(run, persons() ? run.cv.pmap : run.cv.imap,
                                  persons() ? "PMAP" : "IMAP", SelectionUse::Label, selection_);
    }

    // Characters of each label worth keeping: the label length, or the selected text's width.
    int width() {
        if (use_map_) {
            apply_field_selection(selection_, {}, selected_);
            return std::max(selected_.count, 1);
        }
        const int length = persons() ? files_.layout.namlen : files_.layout.itlen;
        return std::clamp(length, 1, kLabelTextWidth);
    }

    // Bytes kept of each label: the bytes its characters take in the work file (a character of
    // several bytes is never cut from the sort key).
    std::size_t kept_bytes() {
        const auto characters = static_cast<std::size_t>(width());
        if (use_map_) return characters;
        const std::int32_t stored =
            persons() ? files_.name_record_length() : run_.rs.item_label_record_length;
        return std::max(characters, static_cast<std::size_t>(std::max(stored, 0)));
    }

    void read(std::int32_t e, std::string& text) {
        if (persons())
            read_person_name_record(run_, files_, e, text);
        else
            read_item_label_record(run_, files_, e, text);
        if (!use_map_) return;
        apply_field_selection(selection_, text, selected_);
        blank_label_text(text);
        std::copy(selected_.c.begin(), selected_.c.begin() + selected_.count, text.begin());
    }

private:
    bool persons() const { return side_ == ReportSide::Persons; }

    Run& run_;
    ReportSide side_;
    WorkFiles files_;
    bool use_map_;
    FieldSelection selection_;
    SelectedText selected_;
};

// One label per entry, entry e at (e - 1) x width; empty when the memory cannot be had.
std::vector<char> allocate_label_buffer(std::size_t bytes, std::size_t memory_limit) {
    std::vector<char> buffer;
    if (bytes > memory_limit) return buffer;
    try {
        buffer.assign(bytes, ' ');
    } catch (const std::bad_alloc&) {
        buffer.clear();
    } catch (const std::length_error&) {
        buffer.clear();
    }
    return buffer;
}

std::ptrdiff_t label_offset(std::int32_t e, std::size_t width) {
    return static_cast<std::ptrdiff_t>(static_cast<std::size_t>(e - 1) * width);
}

void show_label_sort_message(Run& run, ReportSide side, int table, int sub_table) {
    if (!run.host) return;
    const std::string& plural =
        side == ReportSide::Persons ? run.cv.person_plural : run.cv.item_plural;
    run.host->write_text_window_line(std::string(msg::kSorting) + std::string(trim(plural)) +
                                     msg::kForTable +
                                     std::string(trim(int_to_text_left(table))) + "." +
                                     std::string(trim(int_to_text_left(sub_table))));
}

// Labels compared from character column `from` to the end as blank-padded texts; equal ones by
// entry.
template <typename LabelOf>
void sort_by_labels(Run& run, std::span<std::int32_t> entries, LabelOf label_of) {
    const int count = static_cast<int>(entries.size());
    shell_sort_entries(
        entries,
        [&](std::int32_t a, std::int32_t b) {
            const int order = label_of(a, 0).compare(label_of(b, 1));
            return order != 0 ? order < 0 : a < b;
        },
        [&](int gap) { show_pass_progress(run, count, gap); });
    close_sort_progress(run, count);
}

}  // namespace

int sort_entries_by_label_for_table(Run& run, ReportSide side, EntryOrder& order, int n,
                                    std::span<const std::int8_t> status, int label_start,
                                    int sub_table, TableRequest& request,
                                    std::size_t memory_limit) {
    const bool persons = side == ReportSide::Persons;
    const int c = label_start_column(request, label_start, persons ? run.cv.pmap : run.cv.imap);
    const int count = select_entries(order, n, status, status::kDropped);
    if (count < 2) return count;
    if (!persons && run.cv.item_numbering == 'Y') return count;
    show_label_sort_message(run, side, request.table, sub_table);
    open_sort_progress(run, count);

    LabelReader reader(run, side, c == 0);
    const auto from = static_cast<std::size_t>(std::max(c, 1) - 1);
    // The key from character column `from` on, its trailing blanks left out: blank-padded
    // texts compare alike, whatever bytes their characters take.
    auto key = [from](std::string_view label) {
        return trim_right(label.substr(character_offset(label, from)));
    };
    const std::size_t width = reader.kept_bytes();
    const std::size_t bytes = static_cast<std::size_t>(std::max(n, 0)) * width;
    std::vector<char> buffer = allocate_label_buffer(bytes, memory_limit);
    const std::span<std::int32_t> entries = selected_entries(order);
    std::string text;
    if (!buffer.empty()) {
        for (std::int32_t e : entries) {
            reader.read(e, text);
            if (text.size() < width) text.resize(width, ' ');
            std::copy_n(text.begin(), width, buffer.begin() + label_offset(e, width));
        }
        sort_by_labels(run, entries, [&](std::int32_t e, int) {
            return key(std::string_view(buffer.data() + label_offset(e, width), width));
        });
        return count;
    }
    show_message_line(run, int_to_text10(static_cast<std::int64_t>(bytes)) +
                               msg::kLabelSortUsingDiskWorkFile);
    std::string texts[2];
    sort_by_labels(run, entries, [&](std::int32_t e, int which) {
        std::string& t = texts[which];
        reader.read(e, t);
        return key(t);
    });
    return count;
}

}  // namespace korvelan
