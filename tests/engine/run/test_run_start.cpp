#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "engine/run/run_start.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
std::tm at(int year, int mon, int day, int hour, int min) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    return t;
}

struct StartFixture : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        host.settings.temp_directory = temp.path;
        write_file(dir.file("ctl.txt"), "TITLE=x\r\n&END\r\n");
    }
    void TearDown() override { close_all_units(run); }
    bool start() {
        try {
            start_run(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
};
}  // namespace

TEST(RunDate, DayAndHourKeepTheirBlankMinuteItsZero) {
    EXPECT_EQ(make_run_date_text(at(2026, 12, 8, 8, 5)), "Dec  8  8:05 2026");
    EXPECT_EQ(make_run_date_text(at(2026, 1, 31, 23, 59)), "Jan 31 23:59 2026");
    EXPECT_EQ(make_run_date_text(at(2027, 5, 1, 0, 0)), "May  1  0:00 2027");
}

TEST_F(StartFixture, CommandLineNamesInstructionsListsAndBatchFlag) {
    run.args = {"a.txt", "b.txt", "TITLE=Other", "IDFILE=*", "3", "7", "*", "BATCH=YES"};
    apply_command_line(run);
    EXPECT_EQ(run.rs.control_file, "a.txt");
    EXPECT_EQ(run.rs.report_file, "b.txt");
    EXPECT_TRUE(run.rs.batch);
    EXPECT_EQ(run.rs.command_instructions,
              (std::vector<std::string>{"TITLE=Other", "IDFILE=*", "3", "7", "*", "BATCH=YES"}));

    korvelan::Run other;
    other.args = {"b=y", "BATCH=NO"};
    apply_command_line(other);
    EXPECT_FALSE(other.rs.batch);
    korvelan::Run lower;
    lower.args = {"b=y", "", "ignored-after-empty"};
    apply_command_line(lower);
    EXPECT_TRUE(lower.rs.batch);
    EXPECT_TRUE(lower.rs.control_file.empty());
}

TEST_F(StartFixture, ThirdPlainArgumentStopsTheRun) {
    run.args = {"a", "b", "c"};
    EXPECT_THROW(apply_command_line(run), RunStopped);
    EXPECT_TRUE(host.shows(" Unknown Command on DOS prompt line: \"c\""));
    EXPECT_EQ(run_exit_status(run), 1);
}

TEST_F(StartFixture, RunIdsAreClaimedExclusively) {
    check_temp_directory(run);
    korvelan::Run second;
    second.host = &host;
    check_temp_directory(second);
    EXPECT_EQ(run.rs.temp_directory, temp.path);
    EXPECT_EQ(run.rs.run_id.size(), 3u);
    EXPECT_NE(run.rs.run_id, second.rs.run_id);
    EXPECT_TRUE(file_exists(temp.file("ZIN" + run.rs.run_id + "kv.txt")));
    EXPECT_TRUE(file_exists(temp.file("ZIN" + second.rs.run_id + "kv.txt")));
    close_all_units(second);
}

TEST_F(StartFixture, RunIdSkipsIdsOfExistingWorkFilesAndLeavesAnEmptyClaim) {
    // The clock's last three digits give the id; a leftover work file of that id (of any code,
    // a Table file too) moves the claim on to the next id.
    run.fixed_clock_seconds = 1765432123;
    write_file(temp.file("ZMM123kv.txt"), "old");
    write_file(temp.file("03-124kv.txt"), "old");
    check_temp_directory(run);
    EXPECT_EQ(run.rs.run_id, "125");
    close_all_units(run);
    EXPECT_EQ(read_file(temp.file("ZIN125kv.txt")), "");

    // The same second again: the claim of the first run holds that id.
    korvelan::Run again;
    again.host = &host;
    again.fixed_clock_seconds = 1765432123;
    check_temp_directory(again);
    EXPECT_EQ(again.rs.run_id, "126");
    close_all_units(again);

    // The id wraps after 999; a clock a second later takes its own id.
    korvelan::Run wrap;
    wrap.host = &host;
    wrap.fixed_clock_seconds = 999;
    write_file(temp.file("ZUU999kv.txt"), "");
    check_temp_directory(wrap);
    EXPECT_EQ(wrap.rs.run_id, "000");
    close_all_units(wrap);
}

TEST_F(StartFixture, TemporaryDirectoryIsMadeFallsBackAndAnUnusableOneStopsWithAdvice) {
    ScratchDir system_temp;
    const char* saved = std::getenv("TMPDIR");
    const std::string saved_tmpdir = saved ? saved : "";
    ::setenv("TMPDIR", system_temp.path.c_str(), 1);

    host.settings.temp_directory = temp.path + "new/deeper";
    check_temp_directory(run);
    EXPECT_EQ(run.rs.temp_directory, temp.path + "new/deeper/");
    EXPECT_TRUE(file_exists(run.rs.temp_directory + "ZIN" + run.rs.run_id + "kv.txt"));
    close_all_units(run);

    // Every id of the directory taken: the claim gives up there instead of looping, and the
    // system's temporary directory serves.
    for (int id = 0; id < 1000; ++id) {
        char name[16];
        std::snprintf(name, sizeof name, "ZMM%03dkv.txt", id);
        write_file(temp.file(name), "");
    }
    korvelan::Run full;
    full.host = &host;
    host.settings.temp_directory = temp.path;
    check_temp_directory(full);
    EXPECT_EQ(full.rs.temp_directory, system_temp.path);
    close_all_units(full);

    // Neither directory can be made: the two lines of advice, and the run stops.
    ScratchDir other;
    write_file(temp.file("plainfile"), "");
    host.settings.temp_directory = temp.file("plainfile") + "/sub";
    ::setenv("TMPDIR", (temp.file("plainfile") + "/other").c_str(), 1);
    korvelan::Run blocked;
    blocked.host = &host;
    host.lines.clear();
    EXPECT_THROW(check_temp_directory(blocked), RunStopped);
    ASSERT_GE(host.lines.size(), 6u);
    // The folders tried are named, each with what refused it.
    EXPECT_EQ(std::vector<std::string>(host.lines.begin(), host.lines.begin() + 3), (std::vector<std::string>{
                              "Work file not useable. Please specify a different TEMP directory.",
                              " Use \"Edit\" pull-down menu. Click on \"Edit initial settings\".  Type different "
                              "directory name in \"Temporary directory for work files.",
                              " Work files could not be made in: " + temp.file("plainfile") + "/sub/"}));
    EXPECT_EQ(host.lines[3].find("PROBLEM: "), 0u) << host.lines[3];
    EXPECT_NE(host.lines[3].find("for file: " + temp.file("plainfile") + "/sub/ZIN"), std::string::npos);
    EXPECT_EQ(host.lines[4], " Work files could not be made in: " + temp.file("plainfile") + "/other/");

    // Every run id taken in both folders, in batch mode: it says why, and how to go on without
    // the menus.
    for (const ScratchDir* folder : {&temp, &other})
        for (int id = 1000; id < 2000; ++id) write_file(folder->file("ZPP" + std::to_string(id).substr(1) + "kv.txt"), "");
    host.settings.temp_directory = temp.path;
    ::setenv("TMPDIR", other.path.c_str(), 1);
    korvelan::Run taken;
    taken.host = &host;
    taken.args = {"ctl.txt", "out.txt", "BATCH=Y"};
    EXPECT_THROW(check_temp_directory(taken), RunStopped);
    EXPECT_TRUE(host.shows(" Set TMPDIR to a folder where work files can be made, or remove what stopped runs left in it."));
    for (const ScratchDir* folder : {&temp, &other})
        EXPECT_TRUE(host.shows(" NO FREE RUN ID: work files (???000kv.txt to ???999kv.txt) in " + folder->path +
                               " take all 1000 run ids."));
    EXPECT_TRUE(blocked.rs.run_failed);
    if (saved) ::setenv("TMPDIR", saved_tmpdir.c_str(), 1);
    else ::unsetenv("TMPDIR");
}

TEST_F(StartFixture, BatchModeNeedsBothNames) {
    run.args = {dir.file("ctl.txt"), "BATCH=Y"};
    EXPECT_FALSE(start());
    EXPECT_TRUE(host.shows("BATCH MODE REQUIRES CONTROL AND OUTFILES. CONTROL: " + dir.file("ctl.txt") +
                           "  OUTPUT:"));
    EXPECT_TRUE(run.rs.run_failed);
    EXPECT_TRUE(host.prompts.empty());
}

TEST_F(StartFixture, MissingControlFileStopsInBatchMode) {
    run.args = {dir.file("nothere.txt"), "out.txt", "BATCH=Y"};
    EXPECT_FALSE(start());
    EXPECT_TRUE(host.shows("PROBLEM: Input File Not Found. Please specify full path. (2): for file: " +
                           dir.file("nothere.txt") + " in mode I"));
}

TEST_F(StartFixture, RelativeNamesResolveInTheControlFilesFolder) {
    ASSERT_EQ(::chdir(temp.path.c_str()), 0);
    run.args = {dir.file("ctl.txt"), "out.txt", "BATCH=Y"};
    ASSERT_TRUE(start());
    EXPECT_EQ(run.rs.report_file, dir.file("out.txt"));
    // The report is written beside its name, which it takes when whole.
    EXPECT_EQ(unit_path(run, unit::kReport).rfind(dir.path + ".out.txt.kv", 0), 0u) << unit_path(run, unit::kReport);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    EXPECT_EQ(run.rs.output_directory, dir.path);
    EXPECT_TRUE(unit_is_open(run, unit::kControl));
    EXPECT_TRUE(unit_is_open(run, unit::kReport));
    EXPECT_TRUE(host.shows(" KORVELAN Version 3.34  "));
    EXPECT_TRUE(host.shows(" Temporary Workfile Directory: \n" + temp.path));
    EXPECT_TRUE(host.prompts.empty());
}

TEST_F(StartFixture, TypedNamesAndReportEqualToControlIsAskedAgain) {
    ASSERT_EQ(::chdir(dir.path.c_str()), 0);
    host.answers = {"ctl.txt", "ctl.txt", "rep.txt", "TITLE=typed"};
    ASSERT_TRUE(start());
    EXPECT_EQ(run.rs.control_file, dir.file("ctl.txt"));
    EXPECT_TRUE(host.shows("PROBLEM: REPORT FILE HAS SAME NAME AS CONTROL FILE"));
    EXPECT_EQ(run.rs.report_file, dir.file("rep.txt"));
    EXPECT_EQ(run.rs.extra_specifications, "TITLE=typed");
    ASSERT_EQ(host.prompts.size(), 4u);
    EXPECT_EQ(host.prompts[0], " Control file name? (e.g., KCT.DAT). Press Enter for Dialog Box: ");
    EXPECT_EQ(host.prompts[3], " Extra specifications (or press Enter): ");
}

TEST_F(StartFixture, AReportNamedLikeAnInputFileIsAskedForAgainAtTheDesktop) {
    write_file(dir.file("ctl.txt"), "TITLE=x\nDATA=data.txt + more.txt\nIAFILE=ia.txt\n&END\n");
    for (const char* name : {"data.txt", "more.txt", "ia.txt"}) write_file(dir.file(name), "1 a\n");
    // Each name of an input (of DATA=, of an edit file) is refused and asked for again.
    run.args = {dir.file("ctl.txt"), dir.file("more.txt")};
    host.answers = {"ia.txt", "new.txt"};
    ASSERT_TRUE(start());
    set_control_defaults(run);
    check_report_against_input_files(run);
    for (const char* name : {"more.txt", "ia.txt"})
        EXPECT_TRUE(host.shows("PROBLEM: REPORT FILE HAS SAME NAME AS AN INPUT FILE: " + dir.file(name)));
    EXPECT_EQ(run.rs.report_file, dir.file("new.txt"));
    close_all_units(run);
    EXPECT_EQ(read_file(dir.file("more.txt")) + read_file(dir.file("ia.txt")), "1 a\n1 a\n");
}

TEST_F(StartFixture, NoTypedInputStopsInsteadOfWaiting) {
    EXPECT_FALSE(start());
    EXPECT_TRUE(run.rs.run_failed);
    EXPECT_EQ(host.prompts.size(), 1u);
}

TEST_F(StartFixture, OutputDirectoryIsTheReportsFolder) {
    ASSERT_EQ(::chdir(dir.path.c_str()), 0);
    run.rs.report_file = "out.txt";
    complete_control_file_path(run);
    EXPECT_EQ(run.rs.output_directory, dir.path);
    EXPECT_EQ(run.rs.report_file, "out.txt");  // the name itself is unchanged
    run.rs.report_file = "sub/out.txt";
    complete_control_file_path(run);
    EXPECT_EQ(run.rs.output_directory, dir.path + "sub/");
    run.rs.report_file = temp.file("abs.txt");
    complete_control_file_path(run);
    EXPECT_EQ(run.rs.output_directory, temp.path);

    // Through the run start: a report in another folder puts the output directory there.
    ScratchDir reports;
    run.args = {dir.file("ctl.txt"), reports.file("rep.txt"), "BATCH=Y"};
    ASSERT_TRUE(start());
    EXPECT_EQ(run.rs.report_file, reports.file("rep.txt"));
    EXPECT_EQ(run.rs.output_directory, reports.path);
}

TEST_F(StartFixture, UnansweredReportPromptUsesTheTemporaryReportFile) {
    run.args = {dir.file("ctl.txt")};
    ASSERT_TRUE(start());
    EXPECT_EQ(run.rs.report_file, dir.file("ZOU" + run.rs.run_id + "kv.txt"));
}
