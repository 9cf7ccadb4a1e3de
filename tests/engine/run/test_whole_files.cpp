// Files replaced only when whole, private work files, and the removal of a run's files at once.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/run/file_units.h"
#include "engine/run/record_files.h"
#include "engine/run/report_file.h"
#include "engine/run/whole_files.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

mode_t mode_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct WorkRun : ::testing::Test {
    ScratchDir dir;
    korvelan::Run run;
    void SetUp() override {
        run.rs.temp_directory = dir.path;
        run.rs.output_directory = dir.path;
        run.rs.run_id = "077";
    }
};

}  // namespace

TEST(WholeFiles, AFileIsReplacedOnlyWhenWholeAndKeepsItsPermissions) {
    ScratchDir dir;
    const std::string target = dir.file("p.txt");
    write_file(target, "earlier run\r\n");
    ::chmod(target.c_str(), 0640);
    std::string aside;
    const int fd = create_aside_file(target, O_WRONLY, aside);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(aside.rfind(dir.path, 0), 0u) << "beside its target: " << aside;
    ASSERT_EQ(::write(fd, "this run\r\n", 10), 10);
    ::close(fd);
    // Until the rename the target is the earlier run's.
    EXPECT_EQ(read_file(target), "earlier run\r\n");
    EXPECT_EQ(commit_aside_file(aside, target), 0);
    EXPECT_EQ(read_file(target), "this run\r\n");
    EXPECT_EQ(mode_of(target), 0640u);
    EXPECT_EQ(list_dir(dir.path), std::vector<std::string>{"p.txt"});

    // A dropped aside leaves the file as it was.
    const int again = create_aside_file(target, O_WRONLY, aside);
    ASSERT_GE(again, 0);
    ASSERT_EQ(::write(again, "cut", 3), 3);
    ::close(again);
    discard_aside_file(aside);
    EXPECT_EQ(read_file(target), "this run\r\n");
    EXPECT_EQ(list_dir(dir.path), std::vector<std::string>{"p.txt"});
}

TEST(WholeFiles, ALinkToAPlainFileReplacesTheFileAndSpecialFilesAreWrittenInPlace) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.file("real"));
    write_file(dir.file("real/p.txt"), "old\r\n");
    std::filesystem::create_symlink(dir.file("real/p.txt"), dir.file("link.txt"));
    std::string aside;
    const int fd = create_aside_file(dir.file("link.txt"), O_WRONLY, aside);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "new\r\n", 5), 5);
    ::close(fd);
    EXPECT_EQ(commit_aside_file(aside, dir.file("link.txt")), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(read_file(dir.file("real/p.txt")), "new\r\n");

    EXPECT_TRUE(written_aside(dir.file("new-name.txt")));
    EXPECT_FALSE(written_aside("/dev/null"));
    EXPECT_FALSE(written_aside(dir.path));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(written_aside(dir.file("fifo")));
}

TEST_F(WorkRun, WorkFilesArePrivateAndNeverOpenedThroughAPlantedLink) {
    const std::string victim = dir.file("victim.txt");
    write_file(victim, "someone's file\n");
    const std::string planted = work_file_path(run, "ZMF");
    std::filesystem::create_symlink(victim, planted);
    EXPECT_NE(open_unit(run, 9, planted, OpenMode::Write), 0);
    EXPECT_NE(open_record_unit(run, 13, planted, 4, RecordOpen::Fresh), 0);
    EXPECT_NE(open_record_unit(run, 13, planted, 4, RecordOpen::Keep), 0);
    EXPECT_EQ(read_file(victim), "someone's file\n");

    const std::string own = work_file_path(run, "ZUU");
    ASSERT_EQ(open_unit(run, 9, own, OpenMode::Write), 0);
    ASSERT_EQ(write_unit_line(run, 9, "abc"), 0);
    close_unit(run, 9);
    EXPECT_EQ(mode_of(own), 0600u);
    // The run's own work file is taken again, emptied when written anew, kept when appended.
    ASSERT_EQ(open_unit(run, 9, own, OpenMode::Append), 0);
    ASSERT_EQ(write_unit_line(run, 9, "def"), 0);
    close_unit(run, 9);
    EXPECT_EQ(read_file(own), "abc\r\ndef\r\n");
    ASSERT_EQ(open_unit(run, 9, own, OpenMode::ReadWrite), 0);
    close_unit(run, 9);
    EXPECT_EQ(read_file(own), "");

    const std::string records = work_file_path(run, "ZMM");
    ASSERT_EQ(open_record_unit(run, 13, records, 4, RecordOpen::Fresh), 0);
    ASSERT_EQ(write_record(run, 13, 1, "abcd"), 0);
    close_record_unit(run, 13);
    EXPECT_EQ(mode_of(records), 0600u);
    ASSERT_EQ(open_record_unit(run, 13, records, 4, RecordOpen::Keep), 0);
    EXPECT_EQ(record_count(run, 13), 1);
    close_record_unit(run, 13);
}

TEST_F(WorkRun, AnOutputUnitReplacesItsFileAtCloseUnlessAWriteFailedOrItIsDropped) {
    const std::string out = dir.file("i.txt");
    write_file(out, "earlier\r\n");
    ASSERT_EQ(open_unit(run, unit::kOutput, out, OpenMode::Replace), 0);
    ASSERT_EQ(write_unit_line(run, unit::kOutput, "half"), 0);
    EXPECT_EQ(read_file(out), "earlier\r\n");
    close_unit(run, unit::kOutput, true);
    EXPECT_EQ(read_file(out), "earlier\r\n");

    ASSERT_EQ(open_unit(run, unit::kOutput, out, OpenMode::Replace), 0);
    ASSERT_EQ(write_unit_line(run, unit::kOutput, "whole"), 0);
    EXPECT_EQ(close_unit(run, unit::kOutput), 0);
    EXPECT_EQ(read_file(out), "whole\r\n");
    EXPECT_EQ(list_dir(dir.path), std::vector<std::string>{"i.txt"});
}

TEST_F(WorkRun, AReportThatIsNotAPlainFileIsHeldInAWorkFileAndWrittenOnceInOrder) {
    const std::string fifo = dir.file("report.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    run.rs.report_file = fifo;
    ASSERT_EQ(open_report_file(run, fifo), 0);
    EXPECT_EQ(unit_path(run, unit::kReport), work_file_path(run, "ZRP"));
    ASSERT_EQ(write_unit_line(run, unit::kReport, "first part"), 0);
    // Nothing reaches the pipe yet: no reader is needed until the report is closed.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(close_report_file(run), 0);
    char buf[64] = {};
    EXPECT_EQ(::read(reader, buf, sizeof buf), 12);
    EXPECT_EQ(std::string(buf), "first part\r\n");
    ::close(reader);
    EXPECT_FALSE(file_exists(work_file_path(run, "ZRP")));
}

TEST_F(WorkRun, ASignalRemovesTheRunsWorkFilesAndTheFilesBeingWrittenAside) {
    ScratchDir other;
    write_file(dir.file("ZIN077kv.txt"), "x");
    write_file(dir.file("01-077kv.txt"), "x");
    write_file(other.file("ZMM077kv.txt"), "x");
    write_file(dir.file("ZIN078kv.txt"), "another run");
    write_file(dir.file("keep.txt"), "user file");
    write_file(dir.file("p.txt"), "earlier");
    std::string aside;
    const int fd = create_aside_file(dir.file("p.txt"), O_WRONLY, aside);
    ASSERT_GE(fd, 0);
    ::close(fd);
    note_run_work_files(dir.path, other.path, "077kv.txt");
    remove_run_files_now();
    std::vector<std::string> left = list_dir(dir.path);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ZIN078kv.txt", "keep.txt", "p.txt"}));
    EXPECT_TRUE(list_dir(other.path).empty());
    EXPECT_EQ(read_file(dir.file("p.txt")), "earlier");
    note_run_work_files("", "", "");
}

// A run ended at once (SIGKILL) leaves its aside file beside an output file in any folder; the
// next file written under that name removes it first, whatever process id its name carries (one
// gone, process 1 of a container, this process's own), and nothing a living run holds locked or
// of another name.
TEST(WholeFiles, WritingAFileRemovesWhatAStoppedRunLeftAsideUnderItsName) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);  // its process id is now gone
    const std::string dead = std::to_string(child), living = std::to_string(::getppid());
    std::vector<std::string> stopped;
    for (const std::string& pid : {dead, std::string("1"), std::to_string(::getpid()), living})
        stopped.push_back(dir.file("sub/.p.txt.kv" + pid + "-0.part"));
    const std::string running = dir.file("sub/.p.txt.kv" + living + "-3.part");
    const std::string other = dir.file("sub/.i.txt.kv" + dead + "-1.part");
    for (const std::string& f : stopped) write_file(f, "half");
    for (const std::string& f : {running, other}) write_file(f, "half");
    const int held = ::open(running.c_str(), O_RDONLY);  // as its run holds it while it writes
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::string aside;
    const int fd = create_aside_file(dir.file("sub/p.txt"), O_WRONLY, aside);
    ASSERT_GE(fd, 0);
    ::close(fd);
    discard_aside_file(aside);
    for (const std::string& f : stopped) EXPECT_FALSE(file_exists(f)) << f;
    EXPECT_TRUE(file_exists(running));
    EXPECT_TRUE(file_exists(other));
    ::close(held);
}
