#include "engine/outfiles/graphs_file.h"

#include <algorithm>

#include "engine/outfiles/output_frame.h"
#include "engine/outfiles/step_files.h"
#include "engine/report/scale_orientation.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

constexpr std::size_t kGroupLabelWidth = 80;
// Cap of the exponent in the graphs program's curve computation.
constexpr const char* kExponentCapLine = "40.0";

std::int32_t top_of(const AnalysisArrays& a, std::int32_t g) { return array_value(a.group_top_category, g); }
std::int32_t first_of(const AnalysisArrays& a, std::int32_t g) { return array_value(a.group_first_slot, g); }

const char* model_code(const AnalysisArrays& a, std::int32_t g) {
    const char m = array_value(a.group_model, g);
    if (top_of(a, g) == 1) return "0";
    if (m == 'S') return "11";
    if (m == 'F') return "12";
    return "0";
}

// Writes the lines one at a time; the first failure is reported and ends the file.
class GraphsLines {
public:
    GraphsLines(Run& run, std::string path) : run_(run), path_(std::move(path)) {}
    bool open() {
        if (open_unit(run_, kGraphsWorkFileUnit, path_, OpenMode::Write) == 0) return true;
        report_output_file_error(run_, path_, 'O');
        return false;
    }
    void text(std::string_view t) {
        if (ok_ && write_unit_line(run_, kGraphsWorkFileUnit, t) != 0) fail();
    }
    void real(float x) {
        line_.clear();
        append_fixed_field(line_, x, 10, 4);
        text(line_);
    }
    // Integers are left-justified in ten columns, the trailing blanks kept.
    void integer(std::int64_t n) { text(int_to_text_left(n)); }
    bool close() {
        const int status = close_unit(run_, kGraphsWorkFileUnit);
        if (status != 0 && ok_) {
            run_.rs.io_status = status;
            fail();
        }
        return ok_;
    }

private:
    void fail() {
        report_output_file_error(run_, path_, 'W');
        ok_ = false;
    }
    Run& run_;
    std::string path_;
    std::string line_;
    bool ok_ = true;
};

}  // namespace

std::string graphs_work_file_path(const Run& run) { return work_file_path(run, "ZVB"); }

std::string build_group_label(const OutputSettings& s, const AnalysisArrays& a,
                              EntryRecords& records, std::int32_t g) {
    std::string label;
    if (a.groups == 1) {
        label = trim_right(s.title);
    } else {
        std::int32_t item = 0;
        for (std::int32_t i = 1; i <= a.items && item == 0; ++i)
            if (array_value(a.item_group, i) == g && array_value(a.item_status, i) >= 1) item = i;
        // Without a measured item the group character is that of any item of the group.
        std::int32_t named = item;
        for (std::int32_t i = 1; i <= a.items && named == 0; ++i)
            if (array_value(a.item_group, i) == g) named = i;
        const char c = named > 0 || s.groups_mode != 1 ? item_groups_character(s, a, named) : ' ';
        const char m = array_value(a.group_model, g, 'R');
        label = msg::kGroupLabelStart;
        label += '"';
        label += c;
        label += '"';
        if (m != 'R') {
            label += msg::kGroupLabelModel;
            label += '"';
            label += m;
            label += '"';
        }
        label += ",  " + std::string(trim(s.item_word)) + msg::kNumberColon + std::to_string(item) + "  ";
        if (item > 0) label += trim_right(records.label_of(Entity::Item, item));
        else label += msg::kGroupLabelUnknown;
    }
    if (label.size() > kGroupLabelWidth) label.resize(character_offset(label, kGroupLabelWidth));
    label.resize(trim_right(label).size());
    return label;
}

bool write_graphs_work_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                            EntryRecords& records) {
    if (a.groups > 1 && !records.reopen_item_labels()) return false;
    GraphsLines out(run, graphs_work_file_path(run));
    if (!out.open()) return false;

    out.real(s.umean);
    out.real(s.uscale);
    out.text(kExponentCapLine);
    // The points of the bottom and top categories where they lie on the reported scale, relative
    // to the item: under a negative USCALE= the bottom category is at the high end.
    const auto at = [&](std::int32_t g, std::int32_t k) {
        return category_point_measure(run.cv, 0.0f, array_value(a.category_score_point_measure, first_of(a, g) + k));
    };
    float lowest = std::min(at(1, 0), at(1, top_of(a, 1)));
    float highest = std::max(at(1, 0), at(1, top_of(a, 1)));
    for (std::int32_t g = 2; g <= a.groups; ++g) {
        lowest = std::min({lowest, at(g, 0), at(g, top_of(a, g))});
        highest = std::max({highest, at(g, 0), at(g, top_of(a, g))});
    }
    out.real(lowest);
    out.real(highest);

    std::vector<std::int32_t> active;
    for (std::int32_t g = 1; g <= a.groups; ++g)
        if (top_of(a, g) > 0) active.push_back(g);
    const auto n = static_cast<std::int64_t>(active.size());
    const std::int32_t maxcat = largest_category_number(a);

    out.text("3");
    out.integer(n);
    for (std::int32_t g : active) out.text(model_code(a, g));
    out.text("4");
    out.integer(n);
    for (std::int32_t g : active) out.integer(top_of(a, g));
    out.text("5");
    out.integer(n);
    out.integer(maxcat);
    for (std::int32_t g : active)
        for (std::int32_t k = 1; k <= top_of(a, g); ++k) out.real(array_value(a.step_calibration, first_of(a, g) + k));
    out.text("6");
    out.integer(n);
    out.integer(maxcat);
    for (std::int32_t g : active)
        for (std::int32_t k = 1; k <= top_of(a, g); ++k) out.integer(array_value(a.category_status, first_of(a, g) + k));
    out.text("7");
    out.integer(n);
    for (std::int32_t g : active) out.integer(array_value(a.category_value, first_of(a, g)));
    out.text("8");
    out.integer(n);
    for (std::int32_t g : active) out.text(build_group_label(s, a, records, g));
    out.text("9");
    return out.close();
}

}  // namespace korvelan
