// The graphs program's start-up and its reading of the work file: the command line, the
// messages of a missing, short or long file, counts that do not fit, the stamp that tells a
// rewrite, and a bad reading that leaves the data of the last good one in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

#include "engine/run/numtext.h"
#include "graphs/session.h"
#include "tests/graphs/graphs_files.h"
#include "tests/support/test_files.h"

using namespace korvelan::graphs;
using namespace korvelan::testing;

namespace {

const std::string kAddress = " - please tell support@korvelan.org";

std::string replace_line(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find("\r\n" + from + "\r\n");
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at + 2, from.size(), to);
}

TEST(GraphsCommandLine, TypeBeforeTheFirstBlankAndThePathAfterIt) {
    const StartRequest r = parse_command_line({"4", "/tmp/x/ZVB123kv.txt"}, "/d");
    EXPECT_EQ(r.graph_type, 4);
    EXPECT_EQ(r.path, "/tmp/x/ZVB123kv.txt");
    EXPECT_EQ(graphs_title(r.path), "Graphs 123kv.txt");
    EXPECT_EQ(graphs_title("/a/b.txt"), "Graphs /a/b.txt");
    const std::pair<const char*, int> types[] = {{"9", 5}, {"0", 1}, {"-2", 1}, {"2.5", 2}, {"3.5", 4}, {"x", 1}};
    for (auto [word, type] : types) EXPECT_EQ(parse_command_line({word, "/p"}, "").graph_type, type) << word;
    // Blanks between the words go; blanks inside the path stay.
    EXPECT_EQ(parse_command_line({"2", "  /my data/z.txt"}, "").path, "/my data/z.txt");
    const StartRequest none = parse_command_line({}, "/tmp/zvb708kv.txt");
    EXPECT_EQ(none.graph_type, 3);
    EXPECT_EQ(none.path, "/tmp/zvb708kv.txt");
    EXPECT_EQ(start_up_message(none, false), "Please start this with the Graphs menu in Korvelan or Sorvante");
    EXPECT_EQ(start_up_message(r, true), "Korvelan Graphs: File not found: /tmp/x/ZVB123kv.txt");
}

TEST(GraphsWorkFileReader, ReadsEverySectionAndTellsShortAndLongFiles) {
    ScratchDir dir;
    const std::string path = dir.file("ZVB001kv.txt");
    write_file(path, two_group_work_file("  spaced label  "));
    GraphsData d;
    ASSERT_EQ(read_work_file(path, d), ReadOutcome::Read);
    EXPECT_FLOAT_EQ(d.scale, 1.0f);
    EXPECT_FLOAT_EQ(d.low_measure, -2.4f);
    EXPECT_EQ(d.maximum_category, 3);
    ASSERT_EQ(d.groups.size(), 2u);
    EXPECT_EQ(d.groups[0].top, 3);
    EXPECT_EQ(d.groups[0].steps, (std::vector<float>{0.0f, -1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(d.groups[1].bottom_value, 1);
    EXPECT_EQ(d.groups[0].label, "  spaced label  ");

    // The final line end may be missing; a blank line after the end marker is too much.
    const std::string text = two_group_work_file();
    write_file(path, text.substr(0, text.size() - 2));
    EXPECT_EQ(read_work_file(path, d), ReadOutcome::Read);
    write_file(path, text + "\r\n");
    EXPECT_EQ(read_work_file(path, d), ReadOutcome::TooMuchData);
    EXPECT_EQ(read_outcome_message(ReadOutcome::TooMuchData, path),
              "Korvelan Graphs: Too much data in " + path + kAddress);
    write_file(path, text.substr(0, text.size() / 2));
    EXPECT_EQ(read_work_file(path, d), ReadOutcome::NotEnoughData);
    EXPECT_EQ(read_outcome_message(ReadOutcome::NotEnoughData, path),
              "Korvelan Graphs: Not enough data in " + path + kAddress);
    EXPECT_EQ(read_work_file(dir.file("none.txt"), d), ReadOutcome::OpenFailed);
    EXPECT_EQ(read_outcome_message(ReadOutcome::OpenFailed, "/x"), "Korvelan Graphs: /x failed");
}

TEST(GraphsWorkFileReader, CountsThatDoNotFitAreBadDataAndChangeNothing) {
    ScratchDir dir;
    const std::string path = dir.file("z.txt");
    const std::string good = two_group_work_file();
    const std::vector<std::string> bad = {
        replace_line(good, "3         ", "4         "),                   // a top above the largest category
        replace_line(good, "2         ", "-2        "),                   // a negative group count
        replace_line(good, "2         ", "99999999  "),                   // a huge one
        replace_line(replace_line(good, "7", "x"), "2         \r\n0         ", "3         \r\n0         "),
        replace_line(good, "40.0", "95"),                                 // an exponent cap that overflows
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        write_file(path, bad[i]);
        GraphsData d;
        d.scale = 7.0f;
        EXPECT_EQ(read_work_file(path, d), ReadOutcome::NotEnoughData) << i;
        EXPECT_EQ(d.scale, 7.0f) << i;
        EXPECT_TRUE(d.groups.empty()) << i;
    }
}

// korvelan writes every real in 10 characters: its widest F10.4 texts and an origin (UMEAN=) of
// any size, even a run of "*" (it is only stored), are read; an origin that is no finite number
// is not.
TEST(GraphsWorkFileReader, ReadsEveryValueKorvelanWrites) {
    ScratchDir dir;
    const std::string path = dir.file("z.txt");
    std::string widest = replace_line(two_group_work_file(), "    1.0000", "99999.9999");
    widest = replace_line(widest, "   -2.4000", "-9999.9999");
    widest = replace_line(widest, "    3.1000", "99999.9999");
    widest = replace_line(widest, "   -1.0000", "-9999.9999");
    widest = replace_line(widest, "     .5000", "99999.9999");
    const std::pair<const char*, double> origins[] = {
        {"20000.0000", 20000.0}, {"**********", 0.0}, {"1e30", 1e30}, {"-123456789012.5", -123456789012.5}};
    for (auto [line, origin] : origins) {
        write_file(path, line + widest.substr(widest.find("\r\n")));
        GraphsData d;
        ASSERT_EQ(read_work_file(path, d), ReadOutcome::Read) << line;
        EXPECT_EQ(d.origin, origin);
        EXPECT_FLOAT_EQ(d.scale, 99999.9999f);
        EXPECT_FLOAT_EQ(d.low_measure, -9999.9999f);
        EXPECT_FLOAT_EQ(d.groups[1].steps[1], 99999.9999f);
        for (int g = 1; g <= 2; ++g) {
            const GroupCurves c = compute_group_curves(d, g);
            EXPECT_LT(c.grid.computed_low, c.grid.computed_high);
            for (const SeriesRow& r : c.series[1]) EXPECT_TRUE(std::isfinite(r.y));
        }
    }
    for (const char* line : {"1e999", "-1e400"}) {
        write_file(path, line + widest.substr(widest.find("\r\n")));
        GraphsData d;
        EXPECT_EQ(read_work_file(path, d), ReadOutcome::NotEnoughData) << line;
    }
}

// A value that cannot be read as a number (a field of "*", a blank count) or a real beyond any
// measure names its line, and the data read before stay: nothing is drawn from a 0 put in its
// place.
TEST(GraphsWorkFileReader, AnUnreadableValueNamesItsLine) {
    ScratchDir dir;
    const std::string path = dir.file("ZVB002kv.txt");
    const std::string good = two_group_work_file();
    const std::vector<std::string> lines = crlf_lines(good);
    const std::pair<std::string, std::string> cases[] = {
        {"   -2.4000", "**********"}, {"   -1.0000", "**********"}, {"    1.0000", "1e999"},
        {"40.0", "1e30"},             {"     .5000", "-1.0e8"},     {"3         ", "          "},
        {"0", "*"}};
    for (const auto& [from, to] : cases) {
        const long number = std::find(lines.begin(), lines.end(), from) - lines.begin() + 1;
        write_file(path, replace_line(good, from, to));
        GraphsData d;
        d.scale = 7.0f;
        UnreadableLine bad;
        EXPECT_EQ(read_work_file(path, d, &bad), ReadOutcome::UnreadableValue) << to;
        EXPECT_EQ(bad.number, number) << to;
        EXPECT_EQ(d.scale, 7.0f);
        EXPECT_EQ(read_outcome_message(ReadOutcome::UnreadableValue, path, bad),
                  "Korvelan Graphs: Cannot read the value \"" + std::string(korvelan::trim(to)) + "\" on line " +
                      std::to_string(number) + " of " + path);
    }
    // A scale and measures of ten million units are read.
    std::string wide = replace_line(good, "    1.0000", "   1000000");
    wide = replace_line(wide, "   -2.4000", "  -9999999");
    write_file(path, replace_line(wide, "    3.1000", "   9999999"));
    GraphsData d;
    ASSERT_EQ(read_work_file(path, d), ReadOutcome::Read);
    const GroupCurves c = compute_group_curves(d, 1);
    EXPECT_LT(c.grid.computed_low, c.grid.computed_high);
}

// A folder at the path (or any file that cannot be read) is a failed reading, never an abort.
TEST(GraphsWorkFileReader, AFolderIsAFileThatCannotBeRead) {
    ScratchDir dir;
    const std::string path = dir.file("ZVB009kv.txt");
    std::filesystem::create_directories(path);
    GraphsData d;
    EXPECT_EQ(read_work_file(path, d), ReadOutcome::OpenFailed);
    GraphsSession s(path, 1);
    EXPECT_EQ(s.load_and_compute(), "Korvelan Graphs: " + path + " failed");
    EXPECT_FALSE(s.has_curves());
    EXPECT_EQ(s.load_and_compute(), "Korvelan Graphs: " + path + " failed");  // tried again
}

TEST(GraphsSession, RewritesWithinOneSecondAreReadAndAFailedReadKeepsTheOldCurves) {
    ScratchDir dir;
    const std::string path = dir.file("ZVB002kv.txt");
    write_file(path, two_group_work_file());
    set_modified(path, 1700000000, 100);
    GraphsSession s(path, 1);
    s.current_group = 5;
    EXPECT_EQ(s.load_and_compute(), "");
    EXPECT_EQ(s.current_group, 2);  // the last group of two
    EXPECT_FALSE(s.file_changed());

    // Same size, same second, another nanosecond: read again.
    write_file(path, two_group_work_file("FOR GROUP: \"Z\",  ITEM NUMBER: 1  Q1"));
    set_modified(path, 1700000000, 200);
    EXPECT_TRUE(s.file_changed());
    s.current_group = 1;
    EXPECT_EQ(s.load_and_compute(), "");
    EXPECT_EQ(s.current_label(), "FOR GROUP: \"Z\",  ITEM NUMBER: 1  Q1");
    const std::vector<SeriesRow> before = s.current_series();

    // A truncated rewrite: the message, and the data and curves of the last good reading.
    const std::string text = two_group_work_file();
    write_file(path, text.substr(0, 60));
    set_modified(path, 1700000000, 300);
    EXPECT_EQ(s.load_and_compute(), "Korvelan Graphs: Not enough data in " + path + kAddress);
    EXPECT_EQ(s.data().groups.size(), 2u);
    EXPECT_EQ(s.current_series(), before);
    EXPECT_TRUE(s.file_changed());  // the stamp is kept, so the next draw tries again
    EXPECT_NE(s.load_and_compute(), "");

    // The file gone (korvelan deletes its work files at exit): the data in memory are drawn.
    std::remove(path.c_str());
    EXPECT_FALSE(s.file_changed());
    EXPECT_EQ(s.load_and_compute(), "");
    EXPECT_EQ(s.current_series(), before);
}

// Mutations of a good file: lines dropped, doubled, swapped or replaced by odd numbers and
// bytes, and cuts at any byte. Every reading ends with an outcome, and whatever is read can be
// computed for each of its groups.
TEST(GraphsWorkFileReader, ThousandMutatedFilesNeverCrash) {
    ScratchDir dir;
    const std::string path = dir.file("fuzz.txt");
    const std::string good = two_group_work_file();
    std::mt19937 random(20261209);
    const std::vector<std::string> odd = {"", "-1", "0", "32768", "-32768", "1e38", "nan", "inf",
                                          "9999", "3.5", "\x1A", "-", ".", "2e", "   7   ", "1e-45"};
    int read = 0;
    for (int i = 0; i < 1000; ++i) {
        std::vector<std::string> lines = crlf_lines(good);
        lines.pop_back();
        for (int m = 0, count = 1 + static_cast<int>(random() % 4); m < count && !lines.empty(); ++m) {
            const std::size_t at = random() % lines.size();
            switch (random() % 5) {
            case 0: lines.erase(lines.begin() + static_cast<long>(at)); break;
            case 1: lines.insert(lines.begin() + static_cast<long>(at), lines[at]); break;
            case 2: std::swap(lines[at], lines[random() % lines.size()]); break;
            case 3: lines[at] = odd[random() % odd.size()]; break;
            default: lines[at] = std::to_string(static_cast<int>(random() % 200) - 100); break;
            }
        }
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        if (random() % 4 == 0) text.resize(random() % (text.size() + 1));
        write_file(path, text);
        GraphsData d;
        if (read_work_file(path, d) != ReadOutcome::Read) continue;
        ++read;
        for (int g = 1; g <= static_cast<int>(d.groups.size()); ++g) {
            const GroupCurves c = compute_group_curves(d, g);
            EXPECT_GE(c.grid.point_count, 1);
            EXPECT_LE(c.series[1].size(), 2000000u);
        }
    }
    EXPECT_GT(read, 0);  // some mutations leave a sound file
}

}  // namespace

TEST(GraphsWorkFileReader, EveryLineEndAndTheMarkReadTheSameAndNoLineRunsAway) {
    ScratchDir dir;
    const std::string path = dir.file("ZVB001kv.txt");
    const std::string text = two_group_work_file();
    write_file(path, text);
    GraphsData plain;
    ASSERT_EQ(read_work_file(path, plain), ReadOutcome::Read);
    for (const char* end : {"\n", "\r"}) {
        for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
            std::string variant = mark;
            for (std::size_t k = 0; k < text.size(); ++k) {
                if (text.compare(k, 2, "\r\n") == 0) {
                    variant += end;
                    ++k;
                } else {
                    variant += text[k];
                }
            }
            write_file(path, variant);
            GraphsData d;
            ASSERT_EQ(read_work_file(path, d), ReadOutcome::Read) << mark.size() << end;
            EXPECT_EQ(d.groups[0].label, plain.groups[0].label);
            EXPECT_EQ(d.groups[1].steps, plain.groups[1].steps);
            EXPECT_FLOAT_EQ(d.high_measure, plain.high_measure);
        }
    }
    // A file without line ends (a device given as the work file) is refused, not gathered whole.
    GraphsData d;
    EXPECT_EQ(read_work_file("/dev/zero", d), ReadOutcome::TooMuchData);
}
