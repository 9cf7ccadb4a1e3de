// The SPSS conversion as a console user runs it: a .sav file made by an independent writer
// (tests/spss/fixtures/survey.sps) is listed, selected and turned into a control-and-data file
// that the program analyses like the same data typed by hand; its tab-separated text keeps the
// dates' full numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/shell/batch_folder.h"
#include "tests/spss/pspp_files.h"

using namespace korvelan::testing;

namespace {

const std::string kSurvey = std::string(KORVELAN_SOURCE_DIR) + "/tests/spss/fixtures/survey.sav";

// The fixture's data, typed as a control file with the code first and the 12 items after it.
const char* kTyped =
    "Title=\"Survey typed\"\nNAME1=1\nNAMLEN=4\nITEM1=6\nNI=12\nXWIDE=1\nCODES=0123456789\n"
    "PFILE=p.txt\nIFILE=i.txt\n&END\n"
    "i01\ni02\ni03\ni04\ni05\ni06\ni07\ni08\ni09\ni10\ni11\ni12\nEND NAMES\n"
    "R001 012210122101\nR002 1222 1012221\nR003 000100100010\nR004 211222102122\nR005 1 1010 01100\n"
    "R006 222222122212\nR007 010011000100\nR008 121012112101\nR009 221121221212\nR010 100101010010\n";

void expect_same_measures(const std::vector<MeasureRecord>& a, const std::vector<MeasureRecord>& b) {
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].entry, b[i].entry);
        EXPECT_EQ(a[i].measure, b[i].measure) << "entry " << a[i].entry;
        EXPECT_EQ(a[i].error, b[i].error) << "entry " << a[i].entry;
        EXPECT_EQ(a[i].score, b[i].score) << "entry " << a[i].entry;
        EXPECT_EQ(a[i].count, b[i].count) << "entry " << a[i].entry;
        EXPECT_EQ(a[i].fit, b[i].fit) << "entry " << a[i].entry;
    }
}

}  // namespace

TEST(SpssRuns, ConvertedSurveyMeasuresLikeTheTypedData) {
    BatchFolder f;
    ProgramResult r = run_korvelan(f.dir.path, {"--spss-select", kSurvey, "sel.txt"}, f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    std::string selection = f.bytes("sel.txt");
    EXPECT_NE(selection.find("household_income_bracket_at_first_visits; F2.0      Income bracket\r\n"),
              std::string::npos);
    move_under(selection, "! Person Label Variables", "id\r\nhousehold_income_bracket_at_first_visits\r\nborn\r\n");
    std::string items;
    for (int i = 1; i <= 12; ++i) items += (i < 10 ? "i0" : "i") + std::to_string(i) + "\r\n";
    move_under(selection, "! Item Response Variables", items);
    write_file(f.dir.file("sel.txt"), selection);

    r = run_korvelan(f.dir.path, {"--spss-control", "sel.txt", "survey.txt"}, f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::vector<std::string> converted = f.lines("survey.txt");
    // The income bracket 99 stays a value: the file declares 99 missing for the group only.
    EXPECT_EQ(converted.at(converted.size() - 8), "000100100010 R0039912708316800 3");
    EXPECT_EQ(converted.at(converted.size() - 6), "1.1010.01100 R0054 13200451200 5");

    r = run_korvelan(f.dir.path, {"survey.txt", "out.txt", "BATCH=Y", "PFILE=cp.txt", "IFILE=ci.txt"},
                     f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    r = f.run(kTyped);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    expect_same_measures(read_measure_file(f.dir.file("ci.txt")), read_measure_file(f.dir.file("i.txt")));
    expect_same_measures(read_measure_file(f.dir.file("cp.txt")), read_measure_file(f.dir.file("p.txt")));
    EXPECT_EQ(read_measure_file(f.dir.file("ci.txt")).at(11).label, "i12");
}

// The same people saved by PSPP in ISO-8859-1 (code page 819), windows-1252 and UTF-8, with
// right-aligned string codes, names with leading blanks and a note holding LF, CR and TAB:
// every command succeeds, the three conversions are the same UTF-8 text, and the control file
// analyses like the data typed by hand. The selection lines are indented with tabs.
TEST(SpssRuns, EveryCharacterSetAndStringConvertsLikeTheTypedData) {
    const char* typed =
        "Title=\"Strings typed\"\nITEM1=1\nNI=6\nXWIDE=1\nNAME1=8\nNAMLEN=8\nCODES=0123456789\n"
        "PFILE=p.txt\nIFILE=i.txt\n&END\ns1\nq2\nq3\nq4\nq5\nq6\nEND NAMES\n"
        "101210 Jurgen\n212221 Zoe\n000100 Ann\n121102 Asa\n222122 Bob\n010010 Chloe\n"
        "112011 Dmitri\n201221 Elodie\n010101 Fay\n122212 Gul\n";
    BatchFolder f;
    std::vector<std::vector<std::string>> outputs;
    for (const std::string set : {"latin1", "1252", "utf8"}) {
        const std::string sav = std::string(KORVELAN_SOURCE_DIR) + "/tests/spss/fixtures/strings_" + set + ".sav";
        ProgramResult r = run_korvelan(f.dir.path, {"--spss-select", sav, "sel.txt"}, f.temp.path, 30);
        ASSERT_EQ(r.exit_status, 0) << set << ": " << r.screen;
        std::string selection = f.bytes("sel.txt");
        EXPECT_NE(selection.find("who       ; A12       Name (\xC3\xB6)\r\n"), std::string::npos) << set;
        move_under(selection, "! Person Label Variables", "\twho\r\n");
        move_under(selection, "! Item Response Variables", "\ts1\r\n\tq2\r\n\t q3\r\nq4\r\n\tq5\r\n\tq6\r\n");
        write_file(f.dir.file("sel.txt"), selection);
        r = run_korvelan(f.dir.path, {"--spss-control", "sel.txt", set + ".txt"}, f.temp.path, 30);
        ASSERT_EQ(r.exit_status, 0) << set << ": " << r.screen;
        r = run_korvelan(f.dir.path, {"--spss-tab", sav, set + ".tsv"}, f.temp.path, 30);
        ASSERT_EQ(r.exit_status, 0) << set << ": " << r.screen;
        std::vector<std::string> lines = f.lines(set + ".txt");
        lines.erase(lines.begin() + 2);  // the title names the .sav file
        for (const std::string& l : f.lines(set + ".tsv")) lines.push_back(l);
        outputs.push_back(lines);
    }
    EXPECT_EQ(outputs[0], outputs[2]);
    EXPECT_EQ(outputs[1], outputs[2]);
    const std::vector<std::string>& out = outputs[2];
    EXPECT_EQ(out[3], "NI=6");
    EXPECT_NE(std::find(out.begin(), out.end(), "101210 J\xC3\xBCrgen 1"), out.end());
    // The label field is as wide as the widest name in characters: "Jürgen" takes six columns.
    EXPECT_NE(std::find(out.begin(), out.end(), "000100 Ann    3"), out.end());
    EXPECT_NE(std::find(out.begin(), out.end(),
                        "J\xC3\xBCrgen\t1\t0\t1\t2\t1\t0\tNote: 22 call b \xC3\xBC\t"), out.end());

    ProgramResult r = run_korvelan(f.dir.path, {"utf8.txt", "out.txt", "BATCH=Y", "PFILE=cp.txt", "IFILE=ci.txt"},
                                   f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    r = f.run(typed);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    expect_same_measures(read_measure_file(f.dir.file("ci.txt")), read_measure_file(f.dir.file("i.txt")));
    expect_same_measures(read_measure_file(f.dir.file("cp.txt")), read_measure_file(f.dir.file("p.txt")));
}

TEST(SpssRuns, TabTextKeepsTheDateAndBadFilesGiveAMessage) {
    BatchFolder f;
    ProgramResult r = run_korvelan(f.dir.path, {"--spss-tab", kSurvey, "survey.tsv"}, f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::vector<std::string> lines = f.lines("survey.tsv");
    ASSERT_EQ(lines.size(), 12u);
    // 12-MAR-1961 is 11941430400 seconds after the start of the Gregorian calendar.
    EXPECT_EQ(lines[2], "R001\t0\t1\t2\t2\t1\t0\t1\t2\t2\t1\t0\t1\t1\t3\t11941430400\t");
    EXPECT_EQ(lines[3], "R002\t1\t2\t2\t2\t.\t1\t0\t1\t2\t2\t2\t1\t2\t2\t12219379200\t");

    // The compressed form of the same file gives the same text.
    r = run_korvelan(f.dir.path, {"--spss-tab", kSurvey.substr(0, kSurvey.size() - 3) + "zsav", "z.tsv"},
                     f.temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_EQ(f.lines("z.tsv"), lines);

    write_file(f.dir.file("cut.sav"), read_file(kSurvey).substr(0, 700));
    r = run_korvelan(f.dir.path, {"--spss-tab", "cut.sav", "cut.tsv"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.screen.rfind("Cannot open file: cut.sav", 0), 0u) << r.screen;
    r = run_korvelan(f.dir.path, {"--spss-tab", "only-one-argument"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 2);
}

// A selection file that cannot be read (missing, or a folder) is named with what failed, the
// output file is left as it was, and the program ends with status 1 rather than an abort; a
// folder given as the .sav file is a file that cannot be opened.
TEST(SpssRuns, UnreadableFilesAreNamedAndEndTheProgramWithStatusOne) {
    BatchFolder f;
    write_file(f.dir.file("out.txt"), "kept\r\n");
    std::filesystem::create_directories(f.dir.file("folder"));
    ProgramResult r = run_korvelan(f.dir.path, {"--spss-control", "missing.txt", "out.txt"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.screen, "Cannot read the SPSS WORK FILE: missing.txt (No such file or directory)\n");
    r = run_korvelan(f.dir.path, {"--spss-control", "folder", "out.txt"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.screen, "Cannot read the SPSS WORK FILE: folder (Is a directory)\n");
    EXPECT_EQ(f.bytes("out.txt"), "kept\r\n");

    write_file(f.dir.file("sel.txt"), "! SPSS File (do not delete this line): " + f.dir.file("folder") + "\r\n");
    r = run_korvelan(f.dir.path, {"--spss-control", "sel.txt", "out.txt"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.screen.rfind("Cannot open file: " + f.dir.file("folder"), 0), 0u) << r.screen;
    r = run_korvelan(f.dir.path, {"--spss-tab", "folder", "t.tsv"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.screen.rfind("Cannot open file: folder", 0), 0u) << r.screen;
}
