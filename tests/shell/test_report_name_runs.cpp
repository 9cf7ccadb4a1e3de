// A report given the name of one of the run's input files (a guess at the arguments): the run
// stops before it writes anything, fails, and every input keeps what it holds, whichever reader
// the file was named for and by whichever name.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

using Files = std::map<std::string, std::string>;

// Six rating items and eight persons, with a file for every reader of the control file; the
// edit files hold one line each, which is all the readers need to open them.
Files inputs_of_every_kind() {
    Files f{{"data.txt", "012210 P01\n112201 P02\n221100 P03\n000120 P04\n122211 P05\n210012 P06\n011110 P07\n"},
            {"sp.txt", "PFILE=persons.txt\n"}, {"il.txt", "Xa\nXb\nYc\nYd\nZe\nZf\n"},
            {"cf.txt", "0 Never\n1 Sometimes\n2 Always\n"}, {"sub.txt", "$S1W1\n"}, {"tf.txt", "27\n"}};
    std::string control = "TITLE=Names\nSPFILE=sp.txt\nDATA=data.txt\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\n"
                          "ILFILE=il.txt\nCFILE=cf.txt\nCLFILE=cf.txt\nISUBTOTAL=sub.txt\nDIF=sub.txt\nTFILE=tf.txt\n";
    for (const char* keyword : {"IAFILE", "IDFILE", "PDFILE", "PAFILE", "IWEIGHT", "PWEIGHT", "EDFILE", "SDFILE"}) {
        std::string name(keyword);
        name = name.substr(0, 2) + ".txt";
        f[name] = keyword == std::string("EDFILE") ? "1 1 2\n" : keyword == std::string("SDFILE") ? "5 1\n" : "3 1\n";
        control += std::string(keyword) + "=" + name + "\n";
    }
    f["ctl.txt"] = control + "&END\nEND LABELS\n";
    return f;
}

// The persons on two lines each through MFORMS=, from two data files.
Files inputs_of_mforms() {
    return {{"ctl.txt", "NI=6\nITEM1=1\nNAME1=8\nCODES=012\nMFORMS=forms.txt\n&END\nXa\nXb\nYc\nYd\nZe\nZf\nEND LABELS\n"},
            {"forms.txt", "data=two.txt+three.txt\nL=2\nI1-3=1:1\nI4-6=2:1\nP1-3=1:5\n"},
            {"two.txt", "012 P01\n210\n112 P02\n201\n"},
            {"three.txt", "000 P04\n120\n122 P05\n211\n"}};
}

// Each input, and each other name given, as the report: refused, and nothing written.
void expect_every_input_refused(const Files& files, std::vector<std::string> more_names = {}) {
    ScratchDir dir, temp;
    for (const auto& [name, text] : files) write_file(dir.file(name), text);
    ASSERT_EQ(run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 30).exit_status, 0);
    std::filesystem::remove(dir.file("out.txt"));
    std::filesystem::remove(dir.file("persons.txt"));
    for (const auto& [name, text] : files) more_names.push_back(name == "ctl.txt" ? "" : dir.file(name));
    std::filesystem::create_directories(dir.file("sub"));
    for (const std::string& report : more_names) {
        if (report.empty()) continue;
        SCOPED_TRACE(report);
        const ProgramResult result = run_korvelan(dir.path, {"ctl.txt", report, "BATCH=Y"}, temp.path, 30);
        EXPECT_EQ(result.exit_status, 1) << result.screen;
        EXPECT_NE(result.screen.find("PROBLEM: REPORT FILE HAS SAME NAME AS AN INPUT FILE: "), std::string::npos)
            << result.screen;
        for (const auto& [other, bytes] : files) EXPECT_EQ(read_file(dir.file(other)), bytes) << other;
        EXPECT_EQ(list_dir(dir.path).size(), files.size() + 1);  // no output file, no aside file
        EXPECT_TRUE(list_dir(temp.path).empty());
    }
}

}  // namespace

TEST(ReportNameRuns, AReportNamedLikeAnyInputFileIsRefusedAndTheInputKept) {
    expect_every_input_refused(inputs_of_every_kind(), {"data.txt", "sub/../il.txt"});
}

TEST(ReportNameRuns, AReportNamedLikeAnMformsDataFileIsRefusedAndTheDataKept) {
    expect_every_input_refused(inputs_of_mforms(), {"two.txt"});
}
