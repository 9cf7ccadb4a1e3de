// Lines of text files as every reader takes them: the byte-order mark, the three line ends, the
// last line without an end, and a line that runs on without end.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/run/messages.h"
#include "engine/run/text_lines.h"
#include "tests/engine/run/control_test_run.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using korvelan::testing::ScratchDir;
using korvelan::testing::write_file;

namespace {

struct Read {
    std::vector<std::string> lines;
    int end = 0;  // the status that ended the reading
};

Read read_all(const std::string& bytes, std::size_t keep = kLongestTextLine) {
    ScratchDir dir;
    write_file(dir.file("t.txt"), bytes);
    TextLineFile file;
    EXPECT_TRUE(file.open(dir.file("t.txt")));
    Read r;
    std::string line;
    while ((r.end = file.next(line, keep)) == 0) r.lines.push_back(line);
    return r;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(TextLines, EveryLineEndAndTheMarkReadTheSameLines) {
    const Lines expected{"NI=3", "", "A B", "last"};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        for (const char* mark : {"", "\xEF\xBB\xBF"}) {
            const std::string e = end;
            const Read r = read_all(mark + std::string("NI=3") + e + e + "A B" + e + "last" + e);
            EXPECT_EQ(r.lines, expected) << "end " << e.size() << " mark " << *mark;
            EXPECT_EQ(r.end, -1);
            // Without the final line end the last line is still read.
            EXPECT_EQ(read_all(mark + std::string("NI=3") + e + e + "A B" + e + "last").lines, expected);
        }
    }
    // Line ends mixed in one file, and a CR before CR LF is an empty line of its own.
    EXPECT_EQ(read_all("a\r\nb\nc\rd\r\r\ne").lines, (Lines{"a", "b", "c", "d", "", "e"}));
}

// The text as UTF-16 of the byte order, with its mark.
std::string utf16(const std::u16string& text, bool big_endian) {
    std::string out;
    for (char16_t u : u"\uFEFF" + text) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST(TextLines, OnlyWholeMarksAtTheStartOfALineAreSkipped) {
    EXPECT_EQ(read_all("\xEF\xBB\xBF").lines, Lines{});
    EXPECT_EQ(read_all("").lines, Lines{});
    EXPECT_EQ(read_all("\xEF\xBB\xBF\n").lines, Lines{""});
    // Files joined end to end: the mark of the second is skipped as well; a mark inside a line
    // is text, and so are the first bytes of a mark that is not one.
    EXPECT_EQ(read_all("a\n\xEF\xBB\xBF" "b\r\n\xEF\xBB\xBF\r\n").lines, (Lines{"a", "b", ""}));
    EXPECT_EQ(read_all("a\xEF\xBB\xBF" "b").lines, Lines{"a\xEF\xBB\xBF" "b"});
    EXPECT_EQ(read_all("\xEF\xBBx\n").lines, Lines{"\xEF\xBBx"});
    EXPECT_EQ(read_all("\xEF\n2").lines, (Lines{"\xEF", "2"}));
    EXPECT_EQ(read_all("\xEF\xBB\r").lines, Lines{"\xEF\xBB"});
    EXPECT_EQ(read_all("\xFF\xEF\xBB\xBF").lines, Lines{"\xFF\xEF\xBB\xBF"});
    // A marked file saved again with its mark: every mark at the start of a line goes, and a mark
    // cut short after whole ones is text.
    EXPECT_EQ(read_all("\xEF\xBB\xBF\xEF\xBB\xBF" "a\n\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF" "b").lines, (Lines{"a", "b"}));
    EXPECT_EQ(read_all("\xEF\xBB\xBF\xEF\xBB" "c").lines, Lines{"\xEF\xBB" "c"});
    for (bool big : {false, true})
        EXPECT_EQ(read_all(utf16(u"\uFEFFa\n\uFEFF\uFEFFb", big)).lines, (Lines{"a", "b"})) << big;
}

TEST(TextLines, Utf16WithItsMarkReadsAsItsUtf8Twin) {
    // Every line end, a mark on a later line, a letter beyond Latin-1 and one beyond 16 bits.
    const std::u16string text = u"NI=3\r\n\r\uFEFFZo\u00EB \u20AC\nx\U0001F600y\r";
    const Lines expected{"NI=3", "", "Zo\xC3\xAB \xE2\x82\xAC", "x\xF0\x9F\x98\x80y"};
    for (bool big : {false, true}) {
        const Read r = read_all(utf16(text, big));
        EXPECT_EQ(r.lines, expected) << big;
        EXPECT_EQ(r.end, -1);
        // A surrogate without its partner is a replacement character; an odd last byte is dropped.
        EXPECT_EQ(read_all(utf16(u"a\xD800" u"b\n\xDC00", big) + "x").lines,
                  (Lines{"a\xEF\xBF\xBD" "b", "\xEF\xBF\xBD"}));
        // Lines are cut to what is kept as UTF-8 bytes.
        EXPECT_EQ(read_all(utf16(u"\u00EB\u00EB\u00EB\nz", big), 4).lines, (Lines{"\xC3\xAB\xC3\xAB", "z"}));
    }
    // Only a mark at the very start makes a file UTF-16; the same bytes later are text.
    EXPECT_EQ(read_all("a\n\xFF\xFE" "b").lines, (Lines{"a", "\xFF\xFE" "b"}));
    EXPECT_EQ(read_all("\xFF" "a\n").lines, Lines{"\xFF" "a"});
}

TEST(TextLines, ALineWithANulIsRefusedAfterTheLinesBeforeIt) {
    // UTF-16 saved without its mark.
    const std::string no_mark = utf16(u"1\n2\n", false).substr(2);
    const Read r = read_all("ok\n" + no_mark);
    EXPECT_EQ(r.lines, Lines{"ok"});
    EXPECT_EQ(r.end, kLineHasNul);
    EXPECT_EQ(read_all(std::string("a\0", 2)).end, kLineHasNul);
}

TEST(TextLines, ALongLineIsCutAndARunawayLineIsNotRead) {
    // Cut to what is kept, the rest of the line skipped; the next line reads whole.
    const Read cut = read_all(std::string(100, 'x') + "\r" + "next\n", 10);
    EXPECT_EQ(cut.lines, (Lines{std::string(10, 'x'), "next"}));
    // Just within the run-on allowance, and just past it.
    const std::string within(10 + kLineRunOn, 'y');
    EXPECT_EQ(read_all(within + "\nz", 10).lines, (Lines{std::string(10, 'y'), "z"}));
    const Read runaway = read_all(within + "y\nz", 10);
    EXPECT_EQ(runaway.lines, Lines{});
    EXPECT_EQ(runaway.end, kLineRunsOn);
}

TEST(TextLines, AUnitLineRunningOnStopsTheRunNamingFileAndLine) {
    korvelan::testing::ControlTestRun r;
    ScratchDir dir;
    write_file(dir.file("d.txt"), "one\ntwo\n" + std::string(kLongestTextLine + kLineRunOn + 1, '\0'));
    ASSERT_EQ(open_unit(r.run, unit::kEdit, dir.file("d.txt"), OpenMode::Read), 0);
    std::string line;
    ASSERT_EQ(read_unit_line(r.run, unit::kEdit, line), 0);
    ASSERT_EQ(read_unit_line(r.run, unit::kEdit, line), 0);
    EXPECT_THROW(read_unit_line(r.run, unit::kEdit, line), RunStopped);
    EXPECT_TRUE(r.host.shows(" LINE TOO LONG: line 3 of " + dir.file("d.txt") +
                             " runs on for more than 1 MB without a line end"));
    EXPECT_TRUE(r.run.rs.run_failed);
    // A NUL stops the run naming the line that holds it.
    korvelan::testing::ControlTestRun nul;
    write_file(dir.file("n.txt"), std::string("one\ntw\0o\n", 9));
    ASSERT_EQ(open_unit(nul.run, unit::kEdit, dir.file("n.txt"), OpenMode::Read), 0);
    ASSERT_EQ(read_unit_line(nul.run, unit::kEdit, line), 0);
    EXPECT_THROW(read_unit_line(nul.run, unit::kEdit, line), RunStopped);
    EXPECT_TRUE(nul.host.shows(" NUL BYTES IN TEXT: line 2 of " + dir.file("n.txt") + " holds NUL bytes."
                               " Save the file as UTF-8, or as UTF-16 with its byte-order mark (\"Unicode\")."));
    // Rewinding starts again before the mark and at line 1.
    ASSERT_EQ(rewind_unit(r.run, unit::kEdit), 0);
    ASSERT_EQ(read_unit_line(r.run, unit::kEdit, line), 0);
    EXPECT_EQ(line, "one");
}

TEST(TextLines, AControlFileWithTheMarkAndCrLinesReadsAsAnyOther) {
    korvelan::testing::ControlTestRun r;
    ASSERT_TRUE(r.read("\xEF\xBB\xBFTITLE=cr\rNI=3\rITEM1=2\r\rNAME1=6\r&END\r"));
    EXPECT_EQ(std::string(trim(r.run.cv.title)), "cr");
    EXPECT_EQ(r.run.cv.ni, 3);
    EXPECT_EQ(r.run.cv.item1, 2);
    EXPECT_EQ(r.run.cv.name1, 6);
}

TEST(TextLines, AControlFileWithoutInstructionsSaysSo) {
    for (const char* text : {"", "\r\r\r", "\xEF\xBB\xBF\r\n", "; only a comment\n"}) {
        korvelan::testing::ControlTestRun r;
        ASSERT_TRUE(r.read(text));
        EXPECT_FALSE(r.check());
        EXPECT_TRUE(r.host.shows(" NO CONTROL INSTRUCTIONS IN THE CONTROL FILE: " + r.run.rs.control_file));
        EXPECT_EQ(r.host.screen().find("ITEM1="), std::string::npos);
    }
    // Instructions given after the file still run it.
    korvelan::testing::ControlTestRun given;
    ASSERT_TRUE(given.read(""));
    ASSERT_TRUE(given.line("ITEM1=1"));
    ASSERT_TRUE(given.line("NI=2"));
    EXPECT_TRUE(given.check());
}

TEST(TextLines, AFileNameLongerThanItsFieldIsRefusedNotCut) {
    const std::string fits(260, 'a');
    const std::string longer(261, 'b');
    for (const std::string keyword : {"PFILE=", "IAFILE=", "IDFILE=*", "SPFILE=", "ICORFILE="}) {
        korvelan::testing::ControlTestRun ok;
        if (keyword != "SPFILE=") {
            EXPECT_TRUE(ok.line(keyword + fits)) << keyword;
        }
        korvelan::testing::ControlTestRun r;
        EXPECT_FALSE(r.line(keyword + longer)) << keyword;
        const std::string name = keyword.substr(0, keyword.find('=') + 1);
        EXPECT_TRUE(r.host.shows(" FILE NAME TOO LONG: " + name + " has 261 bytes. At most 260 can be used."))
            << keyword;
        EXPECT_TRUE(r.run.rs.run_failed);
    }
}

// A line is the same whether it comes whole out of the file's buffer or byte by byte (the
// file unbuffered): lines across the buffer's edge, every line end, marks at the start of a
// line, lines cut at what is kept, and the NUL that ends the reading.
TEST(TextLines, BufferedAndByteByByteReadingGiveTheSameLines) {
    std::string bytes = "\xEF\xBB\xBF" "first\r\n";
    for (int k = 0; k < 400; ++k) {
        bytes += std::string(static_cast<std::size_t>(k * 37 % 300), static_cast<char>('a' + k % 26));
        bytes += k % 5 == 0 ? "\r" : k % 5 == 1 ? "\r\n" : k % 7 == 2 ? "\n\xEF\xBB\xBF" : "\n";
    }
    bytes += std::string("x\0y\n", 4);
    ScratchDir dir;
    write_file(dir.file("t.txt"), bytes);
    auto read = [&](bool buffered, std::size_t keep) {
        std::FILE* f = std::fopen(dir.file("t.txt").c_str(), "rb");
        if (!buffered) std::setvbuf(f, nullptr, _IONBF, 0);
        TextLinePosition at;
        Read r;
        std::string line;
        while ((r.end = read_text_line(f, at, line, keep)) == 0) r.lines.push_back(line);
        r.lines.push_back(line + "@" + std::to_string(at.lines_read));
        std::fclose(f);
        return r;
    };
    for (std::size_t keep : {std::size_t{50}, kLongestTextLine}) {
        const Read buffered = read(true, keep), bytewise = read(false, keep);
        EXPECT_EQ(buffered.lines, bytewise.lines) << keep;
        EXPECT_EQ(buffered.end, kLineHasNul);
        EXPECT_EQ(bytewise.end, kLineHasNul);
        EXPECT_GT(buffered.lines.size(), 400u);
    }
}
