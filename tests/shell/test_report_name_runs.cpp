// A report given the name of one of the run's input files (a guess at the arguments, a data
// file named where the report belongs): the run stops before it writes anything, fails, and
// every input keeps what it holds, whichever reader the file was named for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

using Files = std::map<std::string, std::string>;

// Six rating items and eight persons, with a file for every reader of the control file.
Files inputs_of_every_kind() {
    Files f;
    f["ctl.txt"] =
        "TITLE=Names\nSPFILE=sp.txt\nDATA=data.txt\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\nILFILE=il.txt\n"
        "IAFILE=ia.txt\nIDFILE=id.txt\nPDFILE=pd.txt\nPAFILE=pa.txt\nIWEIGHT=iw.txt\nPWEIGHT=pw.txt\n"
        "EDFILE=ed.txt\nSAFILE=sa.txt\nSDFILE=sd.txt\nCFILE=cf.txt\nCLFILE=cl.txt\nTFILE=tf.txt\n"
        "ISUBTOTAL=sub.txt\nDIF=dif.txt\n&END\nEND LABELS\n";
    f["sp.txt"] = "PFILE=persons.txt\n";
    f["data.txt"] = "012210 P01\n112201 P02\n221100 P03\n000120 P04\n122211 P05\n210012 P06\n011110 P07\n222102 P08\n";
    f["il.txt"] = "Xa\nXb\nYc\nYd\nZe\nZf\n";
    f["ia.txt"] = "2 0.5\n";
    f["id.txt"] = "6\n";
    f["pd.txt"] = "8\n";
    f["pa.txt"] = "3 1.5\n";
    f["iw.txt"] = "4 2\n";
    f["pw.txt"] = "1 2\n";
    f["ed.txt"] = "1 1 2\n";
    f["sa.txt"] = "1 -0.6\n2 0.6\n";
    f["sd.txt"] = "5 1\n";
    f["cf.txt"] = "0 Never\n1 Sometimes\n2 Always\n";
    f["cl.txt"] = "0 No\n1 Maybe\n2 Yes\n";
    f["tf.txt"] = "27\n";
    f["sub.txt"] = "$S1W1\n";
    f["dif.txt"] = "$S1W1\n";
    return f;
}

// The persons on two lines each through MFORMS=, from two data files.
Files inputs_of_mforms() {
    Files f;
    f["ctl.txt"] = "TITLE=Forms\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\nMFORMS=forms.txt\n&END\nXa\nXb\nYc\nYd\nZe\nZf\n"
                   "END LABELS\n";
    f["forms.txt"] = "data=two.txt+three.txt\nL=2\nI1-3=1:1\nI4-6=2:1\nP1-3=1:5\n";
    f["two.txt"] = "012 P01\n210\n112 P02\n201\n";
    f["three.txt"] = "000 P04\n120\n122 P05\n211\n";
    return f;
}

struct NamedRun {
    ScratchDir dir, temp;
    explicit NamedRun(const Files& files) {
        for (const auto& [name, text] : files) write_file(dir.file(name), text);
    }
    ProgramResult run(const std::string& report) {
        return run_korvelan(dir.path, {"ctl.txt", report, "BATCH=Y"}, temp.path, 30);
    }
};

void expect_every_input_refused(const Files& files) {
    NamedRun r(files);
    ASSERT_EQ(r.run("out.txt").exit_status, 0);
    std::filesystem::remove(r.dir.file("out.txt"));
    std::filesystem::remove(r.dir.file("persons.txt"));
    for (const auto& [name, text] : files) {
        if (name == "ctl.txt") continue;
        SCOPED_TRACE(name);
        const ProgramResult result = r.run(name);
        EXPECT_EQ(result.exit_status, 1) << result.screen;
        EXPECT_NE(result.screen.find("PROBLEM: REPORT FILE HAS SAME NAME AS AN INPUT FILE: " + r.dir.file(name)),
                  std::string::npos)
            << result.screen;
        // Every input as it was, and nothing written beside them (no output file, no aside file).
        for (const auto& [other, bytes] : files) EXPECT_EQ(read_file(r.dir.file(other)), bytes) << other;
        std::vector<std::string> names = list_dir(r.dir.path);
        EXPECT_EQ(names.size(), files.size());
        EXPECT_TRUE(list_dir(r.temp.path).empty());
    }
}

}  // namespace

TEST(ReportNameRuns, AReportNamedLikeAnyInputFileIsRefusedAndTheInputKept) {
    expect_every_input_refused(inputs_of_every_kind());
}

TEST(ReportNameRuns, AReportNamedLikeAnMformsDataFileIsRefusedAndTheDataKept) {
    expect_every_input_refused(inputs_of_mforms());
}

TEST(ReportNameRuns, AnotherNameOfAnInputFileIsRefusedToo) {
    NamedRun r(inputs_of_mforms());
    std::filesystem::create_directories(r.dir.file("sub"));
    std::filesystem::create_symlink(r.dir.file("two.txt"), r.dir.file("link.txt"));
    for (const std::string& report : std::vector<std::string>{"sub/../forms.txt", r.dir.file("three.txt"), "link.txt"}) {
        const ProgramResult result = r.run(report);
        EXPECT_EQ(result.exit_status, 1) << report << "\n" << result.screen;
        EXPECT_NE(result.screen.find("PROBLEM: REPORT FILE HAS SAME NAME AS AN INPUT FILE: "), std::string::npos)
            << report;
    }
    for (const auto& [name, text] : inputs_of_mforms()) EXPECT_EQ(read_file(r.dir.file(name)), text) << name;
}
