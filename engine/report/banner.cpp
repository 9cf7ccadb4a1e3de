#include "engine/report/banner.h"

#include <string>
#include <string_view>

#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

void write_report_banner(Run& run) {
    ReportLineBuffer& line = run.rep.line;
    auto box_line = [&](int col, std::string_view text) {
        line.clear();
        line.put(2, std::string(1, box::kDoubleVertical));
        line.put(79, std::string(1, box::kDoubleVertical));
        if (!text.empty()) line.put(col, text);
        write_report_line(run);
    };
    auto frame = [&](char left, char right) {
        line.clear();
        line.put(2, std::string(1, left) + std::string(76, box::kDoubleHorizontal) + right);
        write_report_line(run);
    };
    std::string spaced;
    for (const char* p = kProgramWord; *p; ++p) {
        spaced += *p;
        spaced += ' ';
    }
    frame(box::kDoubleDownRight, box::kDoubleDownLeft);
    box_line(0, "");
    box_line(24, "* * * *  " + spaced + " * * * *");
    box_line(24, std::string(33, box::kHorizontal));
    box_line(0, "");
    box_line(19, msg::kBannerAnalysisLine);
    box_line(0, "");
    box_line(6, std::string(msg::kBannerMeasurementLine1) + msg::kBannerMeasurementLine2);
    box_line(0, "");
    box_line(0, "");
    box_line(47, pad_right(kVersionDateText, 19) + msg::kBannerVersion + fmt_f(kVersionNumber, 5, 2));
    frame(box::kDoubleUpRight, box::kDoubleUpLeft);
    run.rep.request.table = 0;
    run.rep.sub_table_counter = 0;
    write_table_heading(run, 1);
    write_report_text(run, std::string(msg::kBannerTitle) + std::string(trim(run.cv.title)));
    write_report_text(run, std::string(msg::kBannerControlFile) + std::string(trim(run.rs.control_file)));
    write_report_text(run, std::string(msg::kBannerOutputFile) + std::string(trim(run.rs.report_file)));
    write_report_text(run, std::string(msg::kBannerDate) + run.rs.run_date);
}

}  // namespace korvelan
