#include "engine/report/table_heading.h"

#include <string>

#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {
std::string non_blank(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != ' ') r.push_back(c);
    return r;
}
}  // namespace

void write_table_heading(Run& run, int blank_lines_after) {
    ReportState& rep = run.rep;
    if (rep.heading_flag == 'N') {
        write_blank_report_line(run);
        write_blank_report_line(run);
        return;
    }
    std::string start;
    if (rep.page_line_counter < 0) {
        // No page is opened: the counter runs on from -1, so that the heading line is line 0
        // and the first page holds as many lines after it as any other.
        start = " TABLE";
    } else {
        if (run.cv.page_length == 0 || rep.page_line_counter < run.cv.page_length)
            write_blank_report_line(run);
        rep.page_line_counter = 0;
        start = "^TABLE";
    }
    rep.sub_table_counter += 1;
    std::string ts = non_blank(fmt_i(rep.request.table, 6) + "." + fmt_i(rep.sub_table_counter, 6));
    rep.page_number = 1;

    ReportLineBuffer& line = rep.line;
    line.clear();
    line.put(1, start);
    line.put(8, ts);
    line.put(8 + static_cast<int>(ts.size()) + 1, pad_right(run.cv.title, 60));
    // The report name's last 40 columns end in column 62.
    const std::string report = pad_left(trim_right(run.rs.report_file), 40);
    const int width = static_cast<int>(display_width(trim_left(report)));
    line.put(62 - width, " ");
    line.put(63 - width, trim_left(report));
    line.put(63, " " + pad_right(run.rs.run_date, 17));
    write_report_line(run);

    if (rep.persons_input > 0) {
        auto count = [](int n) { return std::string(trim(int_to_text_left(n))); };
        std::string text = " INPUT: " + count(rep.persons_input) + " " +
                           std::string(trim(run.cv.person_plural)) + ", " +
                           count(rep.items_input) + " " + std::string(trim(run.cv.item_plural));
        if (rep.persons_analysed != 0) {
            text += "  ANALYZED: " + count(rep.persons_analysed) + " " +
                    std::string(trim(run.cv.person_plural)) + ", " + count(rep.items_analysed) +
                    " " + std::string(trim(run.cv.item_plural)) + ", " + count(rep.categories) +
                    " CATS";
        }
        line.clear();
        line.put(1, text);
        if (trim(line.view(67, 74)).empty()) line.put(68, kProgramWord);
        if (trim(line.view(76, 80)).empty()) line.put(77, fmt_f(kVersionNumber, 5, 2).substr(1));
        write_report_line(run);
    }

    line.clear();
    line.put(2, std::string(80, box::kHorizontal));
    write_report_line(run);
    for (int i = 0; i < blank_lines_after; ++i) write_blank_report_line(run);
    rep.heading_flag = run.cv.heading_option;
}

void break_page_if_needed(Run& run, int projected_line_count) {
    if (run.cv.page_length <= 0 || projected_line_count <= run.cv.page_length) return;
    run.rep.page_number += 1;
    run.rep.line.clear();
    run.rep.line.put(1, std::string(msg::kContinuedFromPreviousSheet) +
                            std::string(trim(fmt_i(run.rep.page_number, 6))));
    write_report_line(run);
    write_blank_report_line(run);
}

}  // namespace korvelan
