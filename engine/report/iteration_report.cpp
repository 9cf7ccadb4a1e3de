#include "engine/report/iteration_report.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kBoxEnd = 79;

void show_line(Run& run) {
    ReportLineBuffer copy = run.rep.line;
    convert_box_characters_to_ascii(copy, kBoxEnd);
    if (run.host) run.host->write_text_window_line(copy.view(2, kBoxEnd));
}

void frame_line(ReportLineBuffer& line, char left, char right) {
    line.clear();
    line.c[1] = left;
    for (int col = 3; col < kBoxEnd; ++col) line.c[col - 1] = box::kHorizontal;
    line.c[kBoxEnd - 1] = right;
}

void box_sides(ReportLineBuffer& line) {
    line.clear();
    line.c[1] = box::kVertical;
    line.c[kBoxEnd - 1] = box::kVertical;
}

// An entity word cut or blank-padded to n characters.
std::string word(const std::string& text, std::size_t n) { return pad_right(trim(text), n); }

// A row of the box: the two sides and each text at its column.
struct Cell {
    int column;
    std::string_view text;
};
void boxed_row(Run& run, std::initializer_list<Cell> cells) {
    ReportLineBuffer& l = run.rep.line;
    box_sides(l);
    for (const Cell& cell : cells) l.put(cell.column, cell.text);
}

void prox_heading(Run& run) {
    boxed_row(run, {{7, msg::kProxWord},
                    {21, msg::kActiveCount},
                    {40, msg::kExtremeRange},
                    {61, msg::kMaxLogitChange}});
}

void prox_columns(Run& run) {
    const std::string pair =
        word(run.cv.person_plural, 7) + " " + word(run.cv.item_plural, 7) + " ";
    boxed_row(run, {{3, msg::kIterationWord},
                    {16, pair},
                    {32, msg::kCatsWord},
                    {41, pair},
                    {60, msg::kMeasuresWord},
                    {73, msg::kStepsWord}});
}

void ucon_heading(Run& run) {
    boxed_row(run, {{7, msg::kUconWord},
                    {16, msg::kMaxScore},
                    {28, msg::kMaxLogit},
                    {41, msg::kLeastConverged},
                    {61, msg::kCategoryWord},
                    {73, msg::kStepWord}});
}

void ucon_columns(Run& run) {
    const std::string person = word(run.cv.person_word, 6);
    const std::string item = word(run.cv.item_word, 6);
    boxed_row(run, {{3, msg::kIterationWord},
                    {16, msg::kResidualStar},
                    {29, msg::kChangeWord},
                    {39, person},
                    {46, item},
                    {55, msg::kCatWord},
                    {61, msg::kResidualWord},
                    {72, msg::kChangeWord}});
}

}  // namespace

void put_file_names_in_heading_border(Run& run) {
    auto first_word = [](const std::string& name) {
        std::string_view v = name;
        const std::size_t blank = v.find(' ');
        return blank == std::string_view::npos ? v.substr(0, 39) : v.substr(0, blank);
    };
    ReportLineBuffer& l = run.rep.line;
    l.put(3, msg::kHeadingControl);
    l.put(12, first_word(run.rs.control_file));
    l.put(43, msg::kHeadingOutput);
    l.put(51, first_word(run.rs.report_file));
}

void write_iteration_heading(Run& run, int mode) {
    ReportLineBuffer& l = run.rep.line;
    const int kind = mode < 0 ? -mode : mode;
    const bool top = mode < 0;
    const bool screen = kind == heading_mode::kProxScreen || kind == heading_mode::kUconScreen;
    const bool prox = kind == heading_mode::kProxScreen || kind == heading_mode::kProxReport;
    // The screen box carries the file names in its border; the report box ends with a separator.
    auto emit = [&] {
        if (screen) show_line(run);
        else write_report_line(run);
    };
    if (top) frame_line(l, box::kDownRight, box::kDownLeft);
    else frame_line(l, box::kVerticalRight, box::kVerticalLeft);
    if (screen) put_file_names_in_heading_border(run);
    emit();
    if (prox) prox_heading(run);
    else ucon_heading(run);
    emit();
    if (prox) prox_columns(run);
    else ucon_columns(run);
    emit();
    if (screen) return;
    frame_line(l, box::kVerticalRight, box::kVerticalLeft);
    write_report_line(run);
}

void show_and_report_box_line(Run& run) {
    convert_box_characters_to_ascii(run.rep.line, kBoxEnd);
    if (run.host) run.host->write_text_window_line(run.rep.line.view(2, kBoxEnd));
    write_report_line(run);
}

void write_prox_row(Run& run, const ProxRow& row) {
    ReportLineBuffer& l = run.rep.line;
    box_sides(l);
    const std::string text = fmt_i(row.iteration, 9) + fmt_i(row.persons, 9) +
                             fmt_i(row.items, 8) + fmt_i(row.categories, 6) + "   " +
                             fmt_f(row.person_range, 8, 2) + fmt_f(row.item_range, 8, 2) +
                             fmt_f(row.measure_change, 14, 4);
    l.put(3, text);
    if (row.step_change != 0.0f) l.put(68, fmt_f(row.step_change, 10, 4));
    show_and_report_box_line(run);
}

void write_ucon_row(Run& run, const UconRow& row) {
    ReportLineBuffer& l = run.rep.line;
    box_sides(l);
    std::string text = fmt_i(row.iteration, 8) + fmt_f(row.residual, 13, 2) +
                       fmt_f(row.logit_change, 12, 4) + fmt_i(row.person, 8) +
                       (row.person_marked ? "*" : " ") + fmt_i(row.item, 6) +
                       (row.person_marked ? " " : "*");
    if (row.step_change != 0.0f)
        text += fmt_i(row.category, 7) + fmt_f(row.category_residual, 11, 2) +
                fmt_f(row.step_change, 9, 4);
    l.put(3, text);
    show_and_report_box_line(run);
}

void write_iteration_closing_row(Run& run) {
    frame_line(run.rep.line, box::kUpRight, box::kUpLeft);
    show_and_report_box_line(run);
}

void write_report_line_to_summary_file(Run& run) {
    write_unit_line(run, unit::kSummary, trim_right(run.rep.line.view(1, 80)));
}

}  // namespace korvelan
