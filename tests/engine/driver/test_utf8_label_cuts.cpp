// Labels in UTF-8 cut to the fields of the Tables: whatever width a Table, a label map or a
// class selection gives a label, the report and every Table file stay UTF-8, a cut never
// leaving part of a character behind.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Person and item labels of ASCII, accented Latin (2 bytes) and CJK (3 bytes) characters at
// every offset, so that each field width of the Tables falls inside a character of some label;
// the class selections take two columns. The extra text sets the label maps' width and cuts
// the labels as they are read (NAMLEN=, ITLEN=).
std::string control(const std::string& namlen, const std::string& extra) {
    return "TITLE=Cuts\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=" + namlen + "\nCODES=01\n" + extra +
           "TABLES=1111111111111111111111111111111111111111\n"
           "DIF=$S1W2\nDPF=$S1W2\nISUBTOTAL=$S1W2\nPSUBTOTAL=$S1W2\n"
           "&END\n数据加法运算题目\nAé减法ééééé\nPQ乘法乘法乘法\nÅngström item\n"
           "Div\n除法除法除法除法\nEND LABELS\n"
           "110000 数据数据数\n111000 Zoéééééé\n111110 P数据数据数\n100100 PQ数据数据\n"
           "101010 éééééééé\n110100 Aéééééé\n011000 数据Ann\n111100 Hal\n010110 P数Ivy\n"
           "100011 PQ数Jon\n111010 ééKim\n001101 AéLea\n110110 数据数据数P\n101100 Mo\n";
}

struct Written {
    std::vector<std::string> report;
    std::vector<std::vector<std::string>> tables;
};

Written run_with(const std::string& namlen, const std::string& extra) {
    ScratchDir dir, temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.fixed_time = std::tm{};
    host.settings.temp_directory = temp.path;
    write_file(dir.file("ctl.txt"), control(namlen, extra));
    run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y", "ASCII=N"};
    EXPECT_EQ(run_analysis(run), 0) << host.screen();
    Written w;
    for (int n = 1; n <= 40; ++n) {
        request_table_after_run(run, std::to_string(n));
        w.tables.push_back(host.line_file);
    }
    delete_work_files_at_exit(run);
    w.report = crlf_lines(read_file(dir.file("out.txt")));
    return w;
}

void expect_utf8(const std::vector<std::string>& lines, const std::string& where) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(utf8_text(lines[i])) << where << " line " << i + 1 << ": " << lines[i];
}

}  // namespace

TEST(Utf8LabelCuts, EveryTableKeepsWholeCharactersAtEveryLabelWidth) {
    const std::pair<std::string, std::string> cases[] = {
        {"16", ""}, {"16", "NAMLM=7\n"}, {"16", "NAMLM=5\n"}, {"14", "ITLEN=10\n"}, {"11", "ITLEN=5\n"}};
    for (const auto& [namlen, extra] : cases) {
        const Written w = run_with(namlen, extra);
        const std::string where = "NAMLEN=" + namlen + " " + extra;
        EXPECT_GT(w.report.size(), 500u) << where;
        expect_utf8(w.report, where + " report");
        for (std::size_t n = 0; n < w.tables.size(); ++n)
            expect_utf8(w.tables[n], where + " Table " + std::to_string(n + 1));
    }
}
