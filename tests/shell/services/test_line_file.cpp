// The platform line file: lines split on runs of CR and LF, Ctrl+Z ending the data, long lines
// cut to the caller's room with their whole length counted, CR LF written after each line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "shell/services/line_file.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
struct Read {
    std::vector<std::string> lines;
    std::vector<int> counts;
    int end_status = 0;
};

Read read_all(const std::string& bytes, int capacity = 80) {
    ScratchDir dir;
    write_file(dir.file("in.txt"), bytes);
    LineFile file;
    Read r;
    EXPECT_EQ(file.open_input_file(dir.file("in.txt")), 0);
    std::string line;
    int count = 0;
    for (int guard = 0; guard < 1000; ++guard) {
        r.end_status = file.read_file_line(line, count, capacity);
        if (r.end_status != 0) break;
        r.lines.push_back(line);
        r.counts.push_back(count);
    }
    file.close();
    return r;
}
}  // namespace

TEST(LineFile, RunsOfLineEndsSeparateLinesAndTheLastNeedsNoEnd) {
    Read r = read_all("A\r\n\r\nB");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(r.end_status, -1);

    r = read_all("\n\n first\rsecond\n\r\nthird\r\n\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{" first", "second", "third"}));
    EXPECT_EQ(r.end_status, -1);
}

TEST(LineFile, CtrlZEndsTheDataAndAnEmptyFileEndsAtOnce) {
    Read r = read_all("A\nB\x1A" "C\r\nD\r\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(r.end_status, -1);
    r = read_all("");
    EXPECT_TRUE(r.lines.empty());
    EXPECT_EQ(r.end_status, -1);
}

TEST(LineFile, LongLinesAcrossBuffersKeepTheRoomAndCountTheWholeLine) {
    const std::string long_line = std::string(120, 'x') + std::string(80, 'y');
    Read r = read_all(long_line + "\r\nshort\r\n" + std::string(80, 'z'));
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], std::string(80, 'x'));
    EXPECT_EQ(r.counts[0], 200);
    EXPECT_EQ(r.lines[1], "short");
    EXPECT_EQ(r.lines[2], std::string(80, 'z'));  // exactly one buffer, no line end after it
    EXPECT_EQ(r.end_status, -1);

    // A CR LF split by the buffer boundary is one separator.
    r = read_all(std::string(79, 'a') + "\r\nb\r\n", 300);
    EXPECT_EQ(r.lines, (std::vector<std::string>{std::string(79, 'a'), "b"}));
    r = read_all(std::string(200, 'q'), 300);
    EXPECT_EQ(r.lines, (std::vector<std::string>{std::string(200, 'q')}));
}

TEST(LineFile, WritesLinesWithoutTrailingBlanksAndReportsFailures) {
    ScratchDir dir;
    LineFile file;
    EXPECT_NE(file.write_file_line("nothing open"), 0);
    ASSERT_EQ(file.create_output_file(dir.file("out.txt")), 0);
    EXPECT_EQ(file.write_file_line("first   "), 0);
    EXPECT_EQ(file.write_file_line("     "), 0);  // all blank: only CR LF
    EXPECT_EQ(file.write_file_line(""), 0);
    EXPECT_EQ(file.close(), 0);
    EXPECT_EQ(file.close(), 0);  // closing twice does nothing
    EXPECT_EQ(read_file(dir.file("out.txt")), "first\r\n\r\n\r\n");

    // The engine's codes: not found 2, a folder that cannot be written 5.
    EXPECT_EQ(file.open_input_file(dir.file("missing.txt")), 2);
    EXPECT_EQ(file.create_output_file(dir.file("no/such/folder/x.txt")), 2);
    if (::geteuid() != 0) {
        ::mkdir(dir.file("locked").c_str(), 0500);
        EXPECT_EQ(file.create_output_file(dir.file("locked/x.txt")), 5);
    }
    // Reading a folder fails at the first read and closes the file.
    ASSERT_EQ(file.open_input_file(dir.path), 0);
    std::string line;
    int count = 0;
    EXPECT_GT(file.read_file_line(line, count, 80), 0);
    EXPECT_FALSE(file.is_open());
}

TEST(LineFile, RewindReadsFromTheStartAgain) {
    ScratchDir dir;
    write_file(dir.file("m.txt"), "one\r\ntwo\r\n");
    LineFile file;
    std::string line;
    int count = 0;
    ASSERT_EQ(file.open_input_file(dir.file("m.txt")), 0);
    ASSERT_EQ(file.read_file_line(line, count, 80), 0);
    ASSERT_EQ(file.read_file_line(line, count, 80), 0);
    EXPECT_EQ(line, "two");
    ASSERT_EQ(file.rewind_input_file(dir.file("m.txt")), 0);
    ASSERT_EQ(file.read_file_line(line, count, 80), 0);
    EXPECT_EQ(line, "one");
    EXPECT_EQ(count, 3);
}

TEST(LineFile, MarksAtTheStartOfEveryLineAreSkippedAndNowhereElse) {
    EXPECT_EQ(read_all("\xEF\xBB\xBF" "A\rB").lines, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(read_all("\xEF\xBB\xBF").lines, std::vector<std::string>{});
    EXPECT_EQ(read_all("A\n\xEF\xBB\xBF" "B").lines, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(read_all("A\xEF\xBB\xBF" "B").lines, (std::vector<std::string>{"A\xEF\xBB\xBF" "B"}));
    // Two marks at the start and before a later line, here across the end of the read buffer; a
    // line of marks alone is an empty one. The line keeps its room and counts without them.
    const std::string two = "\xEF\xBB\xBF\xEF\xBB\xBF";
    const Read r = read_all(two + std::string(77, 'a') + "\n" + two + "BCDEF\n\xEF\xBB\xBF\n" + two + "G", 3);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"aaa", "BCD", "G"}));
    EXPECT_EQ(r.counts, (std::vector<int>{77, 5, 1}));
}

TEST(LineFile, AFileReplacesItsNameOnlyWhenWholeAndAFailedOneIsDropped) {
    ScratchDir dir;
    const std::string table = dir.file("t.txt");
    write_file(table, "earlier\r\n");
    LineFile file;
    ASSERT_EQ(file.create_output_file(table), 0);
    ASSERT_EQ(file.write_file_line("new  "), 0);
    EXPECT_EQ(read_file(table), "earlier\r\n");
    EXPECT_EQ(file.close(), 0);
    EXPECT_EQ(read_file(table), "new\r\n");
    // /dev/full is written in place and fails; a plain file whose write failed is dropped.
    ASSERT_EQ(file.create_output_file("/dev/full"), 0);
    EXPECT_NE(file.write_file_line("x"), 0);
    file.close();
    {
        LineFile unfinished;
        ASSERT_EQ(unfinished.create_output_file(table), 0);
        ASSERT_EQ(unfinished.write_file_line("part"), 0);
    }
    EXPECT_EQ(read_file(table), "new\r\n");
    EXPECT_EQ(list_dir(dir.path), std::vector<std::string>{"t.txt"});
}
