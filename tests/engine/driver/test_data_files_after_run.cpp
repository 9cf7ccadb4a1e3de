// The transformed data files asked for after the run: GUFILE= and SIFILE= give the lines the end
// of the run wrote (the simulation starts its generator afresh), and the unfolded file, which
// only the menu writes, recodes every response of the ranked persons into 0, 1, 2 or "?".
#include <gtest/gtest.h>

#include "engine/driver/output_dispatch.h"
#include "tests/engine/driver/finished_run.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(DataFilesAfterRun, MenuRequestsRepeatTheRunsFilesAndUnfold) {
    ScratchDir out;
    FinishedRun f({"SIFILE=" + out.file("si.txt"), "GUFILE=" + out.file("gu.txt")});
    ASSERT_EQ(f.exit_status, 0) << f.host.screen();
    for (const auto& [code, name] : {std::pair{'Z', "si.txt"}, std::pair{'Y', "gu.txt"}}) {
        f.host.line_file.clear();
        f.host.file_answers.push_back(out.file(std::string("menu_") + name));
        request_output_file_after_run(f.run, code);
        std::vector<std::string> written = crlf_lines(read_file(out.file(name)));
        if (!written.empty() && written.back().empty()) written.pop_back();
        EXPECT_EQ(f.host.line_file, written) << code;
    }
    f.host.line_file.clear();
    f.host.file_answers.push_back(out.file("unfolded.txt"));
    request_output_file_after_run(f.run, 'U');
    ASSERT_EQ(f.host.line_file.size(), 9u) << f.host.screen();
    // Ann passed the two easiest items: her 0s on harder items stay 0 or become "?".
    EXPECT_EQ(f.host.line_file[0].substr(0, 2), "11");
    EXPECT_EQ(f.host.line_file[0].substr(6), "Ann");
    for (const std::string& l : f.host.line_file)
        for (char c : l.substr(0, 5)) EXPECT_NE(std::string("012?").find(c), std::string::npos) << l;
    EXPECT_TRUE(f.host.shows("Finding Guttman Limits"));
}
