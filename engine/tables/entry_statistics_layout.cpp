#include "engine/tables/entry_statistics_layout.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit.h"
#include "engine/input/work_files.h"

#include "engine/report/table_heading.h"
#include "engine/run/entry_statistics.h"
#include "engine/run/file_units.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);

bool any_fraction(const std::vector<float>& weights) {
    for (std::size_t k = 1; k < weights.size(); ++k)
        if (weights[k] != std::floor(weights[k])) return true;
    return false;
}

bool any_model_other_than_rating_scale(const AnalysisArrays& a) {
    for (int g = 1; g <= a.groups; ++g)
        if (array_value(a.group_model, g, 'R') != 'R') return true;
    return false;
}

std::string runs(char c, int n) {
    return std::string(static_cast<std::size_t>(std::max(n, 0)), c);
}

ReportLineBuffer& fresh_line(Run& run) {
    run.rep.line.clear();
    return run.rep.line;
}

}  // namespace

EntryColumns choose_entry_columns(const ReportContext& ctx) {
    const Run& run = ctx.run;
    const ControlVariables& cv = run.cv;
    const AnalysisArrays& a = run.arrays;
    EntryColumns c;
    c.items = ctx.side == ReportSide::Items;
    c.word = std::string(trim(c.items ? cv.item_plural : cv.person_word));
    c.key = std::string(trim(ctx.fit_key));
    c.fit_order = c.key.find("FIT") != std::string::npos;
    const bool other_weights =
        c.items ? run.input.person_weights_present : run.input.item_weights_present;
    c.weighted_counts = other_weights && any_fraction(c.items ? a.person_weights : a.item_weights);
    c.weight_column = c.items ? run.input.item_weights_present : run.input.person_weights_present;
    c.real_errors = cv.rea_flag == 'Y';
    c.total_score = cv.to_flag == 'Y';
    c.measure_format = cv.user_decimals_format;
    c.decimals = decimals_of_format(c.measure_format);
    // The column shows when some entry's displacement prints other than zero, and always in
    // Table 25, whose order it gives.
    const EstimationResults& est = a.estimation;
    const float largest = c.items ? est.item_largest_displacement : est.person_largest_displacement;
    c.displacement_column = !shows_as_zero(largest, c.decimals) || ctx.request.table == 25;
    c.fit_limit = std::fabs(c.items ? cv.fiti : cv.fitp);
    c.label_column = ctx.request.selectors[4];
    // The label field takes the widest label whole on the screen.
    c.label_width = label_field_columns(run, ctx.side) + 1;
    if (!c.items) return c;
    const bool model = any_model_other_than_rating_scale(a);
    const bool group = a.groups > 1;
    if (model || group) c.label_width += 1;
    if (model) c.model_position = c.label_width + 1, c.label_width += 2;
    if (group) c.group_position = c.label_width + 1, c.label_width += 2;
    return c;
}

namespace {

// The label field: the text from its second column, then the model and group letters in their
// columns after it (a text of wide characters keeps them in their columns).
std::string label_area(const EntryColumns& c, const std::string& text, char model, char group) {
    int letters = c.label_width;
    if (c.model_position > 0) letters = std::min(letters, c.model_position - 1);
    if (c.group_position > 0) letters = std::min(letters, c.group_position - 1);
    std::string tail(static_cast<std::size_t>(c.label_width - letters), ' ');
    if (c.model_position > 0) tail[static_cast<std::size_t>(c.model_position - 1 - letters)] = model;
    if (c.group_position > 0) tail[static_cast<std::size_t>(c.group_position - 1 - letters)] = group;
    return pad_right(" " + text, static_cast<std::size_t>(letters)) + tail;
}

}  // namespace

std::string heading_label_area(const EntryColumns& c) {
    return label_area(c, c.word, 'M', 'G');
}

std::string row_label_area(const EntryColumns& c, const std::string& label, char model, char group) {
    return label_area(c, label, model, group);
}

void write_entry_sub_heading(Run& run, const EntryColumns& c) {
    std::string text = c.word + " STATISTICS:  " + c.key + " ORDER";
    if (c.key.find("ALPHA") != std::string::npos)
        text += " ON COLUMN: " + fmt_f_left(c.label_column, 5, 0);
    fresh_line(run).put(11, text);
    write_report_line(run);
    write_blank_report_line(run);
}

void write_entry_rule(Run& run, const EntryColumns& c, char left, char join, char right) {
    const char h = box::kHorizontal;
    std::string rule = std::string(1, left) + runs(h, 36) + join + runs(h, 10) + join +
                       runs(h, 10) + join + runs(h, 5);
    if (c.weight_column) rule += join + runs(h, 5);
    if (c.displacement_column) rule += join + runs(h, 8);
    rule += join + runs(h, c.label_width) + right;
    fresh_line(run).put(2, rule);
    write_report_line(run);
}

void write_entry_column_headings(Run& run, const EntryColumns& c) {
    write_entry_rule(run, c, box::kDownRight, box::kDownHorizontal, box::kDownLeft);
    const std::string& fit = run.cv.standardized_fit_label;
    ReportLineBuffer& l = fresh_line(run);
    l.put(2, kBar + "ENTRY");
    l.put(12, c.total_score ? "TOTAL" : "RAW  ");
    std::string rest = kBar + "   INFIT  " + kBar + "  OUTFIT  " + kBar +
                       (run.cv.pt_flag == 'Y' ? "PTBIS" : "SCORE") + kBar;
    if (c.weight_column) rest += "     " + kBar;
    if (c.displacement_column) rest += "        " + kBar;
    l.put(39, rest + runs(' ', c.label_width) + kBar);
    write_report_line(run);

    l.clear();
    l.put(2, kBar + "NUMBER  SCORE  COUNT  MEASURE");
    rest = (c.real_errors ? "REALSE" : " ERROR") + kBar + "MNSQ  " + fit + kBar + "MNSQ  " + fit +
           kBar + "CORR." + kBar;
    if (c.weight_column) rest += "WEIGH" + kBar;
    if (c.displacement_column) rest += "DISPLACE" + kBar;
    l.put(33, rest + heading_label_area(c) + kBar);
    write_report_line(run);
    write_entry_rule(run, c, box::kVerticalRight, box::kCross, box::kVerticalLeft);
}

void write_omitted_line(Run& run, const EntryColumns& c) {
    const char h = box::kHorizontal;
    ReportLineBuffer& l = fresh_line(run);
    l.put(2, kBar);
    l.put(10, "BETTER FITTING OMITTED");
    std::string rest = box::kCross + runs(h, 10) + box::kCross + runs(h, 10) + box::kCross +
                       runs(h, 5) + box::kVerticalLeft;
    if (c.weight_column) rest += "     " + kBar;
    if (c.displacement_column) rest += "        " + kBar;
    l.put(39, rest + runs(' ', c.label_width) + kBar);
    write_report_line(run);
}

void write_copied_rows_heading(Run& run, const EntryColumns& c) {
    const std::string& fit = run.cv.standardized_fit_label;
    ReportLineBuffer l;
    l.put(2, kBar + "NUMBER  SCORE  COUNT  MEASURE");
    l.put(33, (c.real_errors ? "REALSE" : " ERROR") + kBar + "IMNSQ " + fit + kBar + "OMNSQ " +
                  fit + kBar + (run.cv.pt_flag == 'Y' ? "PTBIS" : "SCORE") + kBar +
                  heading_label_area(c) + kBar);
    write_unit_line(run, unit::kSummary, trim_right(l.view(1, 80)));
    run.rs.io_status = 0;
}

char group_character(const Run& run, int item) {
    if (run.cv.groups_mode == 2) return '0';
    const std::string& g = run.arrays.strings.groups;
    const std::size_t ni = static_cast<std::size_t>(std::max(run.arrays.items, 0));
    const std::size_t xwide = static_cast<std::size_t>(std::max(run.cv.xwide, 1));
    const std::size_t width = g.size() >= ni * xwide ? xwide : 1;
    const std::size_t first = static_cast<std::size_t>(item - 1) * width;
    for (std::size_t k = first; k < first + width && k < g.size(); ++k)
        if (g[k] != ' ') return g[k];
    return ' ';
}

RowValues gather_entry_row(Run& run, WorkFiles& files, const EntryColumns& c, int e) {
    const AnalysisArrays& a = run.arrays;
    RowValues r;
    if (c.items) {
        r.status = base_status(array_value(a.item_status, e, status::kDeleted));
        r.v = item_statistics(a, e);
        r.weight = item_weight(a, e);
        read_item_label_record(run, files, e, r.label);
        const char model = array_value(a.group_model, array_value(a.item_group, e), 'R');
        r.model = model == 'R' ? ' ' : model;
        r.group = group_character(run, e);
        if (c.total_score)
            r.v.raw_score = array_value(a.item_shown_score, e),
            r.v.count = array_value(a.item_shown_count, e);
    } else {
        r.status = base_status(array_value(a.person_status, e, status::kDeleted));
        PersonWorkFields record;
        read_person_work_record(run, files, e, record);
        r.v = person_statistics(a, e, record);
        r.weight = person_weight(a, e);
        read_person_name_record(run, files, e, r.label);
        if (c.total_score)
            r.v.raw_score = array_value(a.person_shown_score, e),
            r.v.count = array_value(a.person_shown_count, e);
    }
    if (c.real_errors) r.v.standard_error *= std::sqrt(std::max(1.0f, r.v.infit_mnsq));
    return r;
}

char misfit_letter(int p, int n) {
    if (p < 27 && p <= n - p + 1) return static_cast<char>('A' + p - 1);
    if (n - p < 26) return static_cast<char>('a' + n - p);
    return ' ';
}

bool left_out_of_misfit_list(const EntryColumns& c, int p, int n, float infit_z, float outfit_z) {
    return c.fit_order && p >= 27 && n - p >= 26 && std::fabs(infit_z) < c.fit_limit &&
           std::fabs(outfit_z) < c.fit_limit;
}

std::optional<RowValues> take_list_entry(ReportContext& ctx, const EntryColumns& c,
                                         WorkFiles& files, ListWalk& walk, int p, int n) {
    std::int32_t& slot = ctx.order(ctx.side).entries[static_cast<std::size_t>(p - 1)];
    const int e = slot;
    const AnalysisArrays& a = ctx.run.arrays;
    const float infit_z = array_value(c.items ? a.item_infit_zstd : a.person_infit_zstd, e);
    const float outfit_z = array_value(c.items ? a.item_outfit_zstd : a.person_outfit_zstd, e);
    if (left_out_of_misfit_list(c, p, n, infit_z, outfit_z)) {
        slot = -e;
        walk.omitted = true;
        return std::nullopt;
    }
    RowValues r = gather_entry_row(ctx.run, files, c, e);
    if (r.status < status::kDropped) slot = -e;
    return r;
}

bool gap_line_due(const Run& run, const ListWalk& walk, const RowValues& r) {
    const float z = run.cv.ou_flag == 'N' ? r.v.infit_zstd : r.v.outfit_zstd;
    return walk.omitted && !walk.gap_line_written && z < 0.0f;
}

}  // namespace korvelan
