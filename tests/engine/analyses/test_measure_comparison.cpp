// The comparison of two measure files: a file against itself, the current items against their
// own IFILE=, no common entries, ranges of entries and quoted labels, the chart names already
// taken, entry numbers too large to size anything, and person and item files of every layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/measure_comparison.h"
#include "engine/input/measure_lines.h"
#include "engine/driver/output_dispatch.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::vector<std::string> compare(SummaryRun& analysis, char side, char column, const std::string& left,
                                 const std::string& right) {
    ComparisonSettings& s = analysis.run.rs.comparison;
    s = ComparisonSettings{column, side, left, analysis.dir.file(left), right, analysis.dir.file(right)};
    analysis.host.line_file.clear();
    analysis.run.rep.request.table = 99;
    dispatch_output_request(analysis.run);
    return analysis.host.line_file;
}

// The column (0-based) of the "*" in each panel of an entry line, from the "|" that separate them.
std::vector<std::vector<std::size_t>> star_positions(const std::vector<std::string>& chart) {
    std::vector<std::vector<std::size_t>> rows;
    for (std::size_t k = 4; k + 1 < chart.size(); ++k) {
        const std::string& l = chart[k];
        if (l.find('|') == std::string::npos) continue;  // the bottom line before a count left out
        std::vector<std::size_t> bars;
        for (std::size_t i = 0; i < l.size(); ++i)
            if (l[i] == '|') bars.push_back(i);
        std::vector<std::size_t> stars;
        for (std::size_t p = 0; p + 1 < bars.size() && p < 3; ++p)
            stars.push_back(l.find('*', bars[p]) - bars[p] - 1);
        rows.push_back(stars);
    }
    return rows;
}

// Ten persons whose labels begin with one-letter words ("F B Ann"; one holds a double quote and
// a comma) on four items whose labels do too.
std::string lettered_set() {
    std::string c = "TITLE=Letters\nNI=4\nITEM1=1\nNAME1=6\nNAMLEN=12\nCODES=01\n&END\nA one\nB two\nC three\nD four\n"
                    "END LABELS\n";
    const char* rows[] = {"1000", "1100", "1010", "0110", "1110", "1101", "0100", "1011", "0111", "1001"};
    for (int n = 0; n < 10; ++n)
        c += std::string(rows[n]) + " " + (n % 2 ? "F " : "M ") + "ABCDEFGHIJ"[n] + (n == 3 ? " \"Jo\",Ann" : " Ann") + "\n";
    return c;
}

// A comma-separated line as a spreadsheet saves it again: a field in quotes only where it holds
// a comma or a double quote.
std::string resaved(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;  // inside a quoted field a doubled quote stands for one
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
        else if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) fields.emplace_back();
        else fields.back() += c;
    }
    std::string out;
    for (const std::string& f : fields) {
        std::string quoted;
        for (char c : f) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += (out.empty() ? "" : ",") + (f.find_first_of(",\"") != std::string::npos ? "\"" + quoted + "\"" : f);
    }
    return out;
}

}  // namespace

// Every entry of a person or item file, in the fixed layout with and without heading lines, in
// CSV and tab layout and as a spreadsheet saves the CSV file again, is drawn with its whole label;
// an entry whose measure is a field of stars is counted out.
TEST(MeasureComparison, PersonAndItemFilesOfEveryLayoutAreReadWhole) {
    SummaryRun a(lettered_set());
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    for (const char code : {'P', 'I'}) {
        const std::vector<MeasureRecord> records = code == 'P' ? a.persons() : a.items();
        ASSERT_FALSE(records.empty());
        auto expect_whole = [&](const std::vector<std::string>& chart, const std::string& name) {
            ASSERT_EQ(chart.size(), records.size() + 5) << name;
            for (std::size_t k = 0; k < records.size(); ++k) {
                const std::string label = records[k].label;
                EXPECT_NE(chart[k + 4].find(" " + std::to_string(records[k].entry) + "  " + label + " "), std::string::npos)
                    << name << ": " << chart[k + 4];
            }
        };
        for (const char csv : {'N', 'Y', 'T'}) {
            for (const char hlines : {'N', 'Y'}) {
                const std::string name = std::string(1, code) + csv + hlines + ".txt";
                const std::vector<std::string> lines = write_file_after_run(a, code, csv, name, hlines);
                expect_whole(compare(a, 'L', 'M', name, name), name);
                if (csv != 'Y') continue;
                std::string saved;
                for (const std::string& l : lines) saved += resaved(l) + "\r\n";
                write_file(a.dir.file("saved.txt"), saved);
                expect_whole(compare(a, 'L', 'M', "saved.txt", "saved.txt"), "saved " + name);
            }
        }
        // Stars for the measure of the second record on the right: it is left out and counted.
        std::vector<std::string> lines = write_file_after_run(a, code, 'N', "stars.txt", 'N');
        lines[1].replace(6, 8, "********");
        write_file(a.dir.file("stars.txt"), crlf_text(lines));
        const std::string note = "ENTRIES LEFT OUT FOR WANT OF A READABLE VALUE: 1";
        for (const char side : {'L', code}) {
            const std::vector<std::string> chart = compare(a, side, 'M', std::string(1, code) + "NN.txt", "stars.txt");
            ASSERT_EQ(chart.size(), records.size() + 5) << side;
            EXPECT_EQ(chart.back(), note);
            EXPECT_EQ(chart[5].find(" " + std::to_string(records[1].entry) + "  "), std::string::npos) << chart[5];
        }
        EXPECT_TRUE(a.shows(note));
    }
}

TEST(MeasureComparison, AFileAgainstItselfGivesTheIdentityPanel) {
    SummaryRun analysis(dichotomous_set("IFILE=i.txt\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> chart = compare(analysis, 'L', 'M', "i.txt", "i.txt");
    ASSERT_GE(chart.size(), 6u);
    // Every line has its middle panel one column wide: the differences are all 0.
    const std::vector<MeasureRecord> items = analysis.items();
    for (const std::vector<std::size_t>& stars : star_positions(chart)) {
        ASSERT_EQ(stars.size(), 3u);
        EXPECT_EQ(stars[0], stars[2]);
        EXPECT_EQ(stars[1], 0u);
    }
    EXPECT_NE(chart[3].find("+-+"), std::string::npos);
    EXPECT_NE(chart[4].find(" 1  Apple"), std::string::npos) << chart[4];
    EXPECT_NE(chart[1].find("i.txt"), std::string::npos);
    EXPECT_NE(chart[1].find("|M|"), std::string::npos);  // the title cut to its one column
    EXPECT_EQ(chart.size(), 5u + items.size());
    EXPECT_EQ(analysis.host.programs_started.size(), 1u);
}

TEST(MeasureComparison, CurrentItemsAgainstTheirFileAndNoCommonEntries) {
    SummaryRun analysis(dichotomous_set("IFILE=i.txt\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    // Only the measured items are drawn: Cider is deleted and Honey extreme.
    const std::vector<std::string> chart = compare(analysis, 'I', 'I', "", "i.txt");
    EXPECT_EQ(chart.size(), 5u + 6u);
    EXPECT_NE(chart[1].find("ITEM"), std::string::npos);
    EXPECT_NE(chart[1].find("Infit MnSq Difference"), std::string::npos);
    for (const std::vector<std::size_t>& stars : star_positions(chart)) EXPECT_EQ(stars[0], stars[2]);

    write_file(analysis.dir.file("far.txt"), "; heading\r\n20 1.5\r\n21-22 .5 x\r\n");
    write_file(analysis.dir.file("near.txt"), "1 1.0\r\n2 2.0\r\n");
    EXPECT_TRUE(compare(analysis, 'L', 'M', "far.txt", "near.txt").empty());
    EXPECT_TRUE(analysis.shows("NO COMPARISONS POSSIBLE"));
}

TEST(MeasureComparison, RangesQuotedLabelsAndTakenChartNames) {
    SummaryRun analysis(dichotomous_set(""));
    ASSERT_EQ(analysis.exit_status, 0);
    write_file(analysis.dir.file("left.txt"), "1 1.0 1 1 1 1 1 1 1 1 1 1 1 \"First\"\r\n3-5 2.0\r\n");
    write_file(analysis.dir.file("right.txt"), "1 2.0\r\n2 1.0\r\n3 3.0\r\n4 2.0\r\n5 1.0\r\n");
    analysis.run.rs.output_directory = analysis.dir.file("");
    const std::string tail = analysis.run.rs.run_id + "kv.txt";
    write_file(analysis.dir.file("00Z" + tail), "");
    write_file(analysis.dir.file("41Z" + tail), "");
    const std::vector<std::string> chart = compare(analysis, 'L', 'M', "left.txt", "right.txt");
    EXPECT_EQ(analysis.host.line_file_path, analysis.dir.file("42Z" + tail));
    // Entries 1, 3, 4, 5; the label without its quotes.
    ASSERT_EQ(chart.size(), 9u);
    EXPECT_NE(chart[4].find(" 1  First"), std::string::npos);
    const std::vector<std::vector<std::size_t>> stars = star_positions(chart);
    EXPECT_EQ(stars[1][0], stars[2][0]);  // 3 and 4 share the left value of the range
    EXPECT_LT(stars[3][2], stars[1][2]);  // right 1.0 left of right 3.0

    // The label after a range is the text after its numbers; a person file's label may begin
    // with a one-letter word, which only an item file's model code (after the group) is not.
    write_file(analysis.dir.file("labels.txt"),
               "1 1.0 1 1 1 1 1 1 1 1 1 1 1 A Smith\r\n2 1.0 1 1 1 1 1 1 1 1 1 1 1 1 R Plums\r\n"
               "3-5 1.5 x\r\n");
    const std::vector<std::string> labelled = compare(analysis, 'L', 'M', "labels.txt", "right.txt");
    ASSERT_EQ(labelled.size(), 10u);
    EXPECT_NE(labelled[4].find("| 1  A Smith "), std::string::npos) << labelled[4];
    EXPECT_NE(labelled[5].find("| 2  Plums "), std::string::npos) << labelled[5];
    for (int k = 6; k <= 8; ++k) EXPECT_NE(labelled[k].find("  x "), std::string::npos) << labelled[k];

    // Every name taken: the search ends with a message.
    for (int k = 41; k <= 99; ++k) write_file(analysis.dir.file(std::to_string(k) + "Z" + tail), "");
    for (int k = 0; k <= 40; ++k) write_file(analysis.dir.file(std::string(k < 10 ? "0" : "") + std::to_string(k) + "Z" + tail), "");
    compare(analysis, 'L', 'M', "left.txt", "right.txt");
    EXPECT_TRUE(analysis.shows(" No free name for the comparison file after 100 tries"));
}

TEST(MeasureComparison, EntryNumbersTooLargeSizeNothing) {
    SummaryRun analysis(dichotomous_set(""));
    ASSERT_EQ(analysis.exit_status, 0);
    write_file(analysis.dir.file("huge.txt"), "20000000 1.0\r\n");
    EXPECT_TRUE(compare(analysis, 'L', 'M', "huge.txt", "huge.txt").empty());
    EXPECT_TRUE(analysis.shows("720000000 bytes of memory not available.  Table not produced."));
}

TEST(MeasureComparison, FileLinesReadTheSameWithEveryLineEndAndTheMark) {
    SummaryRun analysis(dichotomous_set(""));
    const std::vector<std::string> expected{"; heading", "   1   .50", "   2  -.25"};
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
            write_file(analysis.dir.file("m.txt"), mark + expected[0] + end + end + expected[1] + end +
                                                      expected[2] + "\x1A" + "after the end" + end);
            std::vector<std::string> lines;
            ASSERT_EQ(read_text_file_lines(analysis.run, analysis.dir.file("m.txt"), lines), 0);
            EXPECT_EQ(lines, expected) << mark.size() << end.size();
        }
    }
}

// A fixed record is read by its columns: fields that touch, an entry number that widens its
// field, a label that begins with a number; an item file's label after its group and model code.
TEST(MeasureLines, FixedRecordsByTheirColumnsAndSeparatedRecordsByTheirFields) {
    auto record = [](const std::string& entry, const std::string& measure, const std::string& error,
                     const std::string& tail) {
        return ";" + entry + measure + "  0    12.0     35.0" + error + "   1.00    .00    .75   -.20    .00    .50   1.00" + tail;
    };
    const std::vector<std::string> persons = {
        record("    1", "1262.329", "12.0629", " 2026 cohort, north"),
        record("123456", "-12.3456", "*******", " P6"),
    };
    ASSERT_EQ(persons[0].size(), 90u + 19u);
    EXPECT_FALSE(item_measure_file(persons));
    MeasureLine l;
    ASSERT_TRUE(parse_measure_line(persons[0], false, l));
    EXPECT_EQ(l.first, 1);
    EXPECT_FLOAT_EQ(l.values[1], 1262.329f);
    EXPECT_FLOAT_EQ(l.values[5], 12.0629f);
    EXPECT_FLOAT_EQ(l.values[8], .75f);
    EXPECT_EQ(l.label, "2026 cohort, north");
    ASSERT_TRUE(parse_measure_line(persons[1], false, l));
    EXPECT_EQ(l.first, 123456);
    EXPECT_FLOAT_EQ(l.values[1], -12.3456f);
    EXPECT_TRUE(std::isnan(l.values[5]));  // a starred field stays unknown
    EXPECT_EQ(l.label, "P6");

    const std::vector<std::string> items = {"; ITEM FILE FOR", record("    7", "   -1.50", "    .25", "   R 12 Apples")};
    EXPECT_TRUE(item_measure_file(items));
    ASSERT_TRUE(parse_measure_line(items[1], true, l));
    EXPECT_EQ(l.label, "12 Apples");

    // Comma- and tab-separated records: the label with its commas and doubled quotes.
    for (const std::string sep : {",", "\t"}) {
        const std::string line = "\" \"" + sep + "12" + sep + "-1262.3294" + sep + "1" + sep + "12.0" + sep + "35.0" + sep +
                                 "12.0629" + sep + "1.00" + sep + ".00" + sep + ".75" + sep + "-.20" + sep + ".00" + sep +
                                 ".50" + sep + "1.00" + sep + "\"2026 \"\"A\"\", north\"";
        ASSERT_TRUE(parse_measure_line(line, false, l)) << line;
        EXPECT_EQ(l.first, 12);
        EXPECT_FLOAT_EQ(l.values[1], -1262.3294f);
        EXPECT_FLOAT_EQ(l.values[8], .75f);
        EXPECT_EQ(l.label, "2026 \"A\", north");
    }
    EXPECT_FALSE(parse_measure_line("\";\",\"ENTRY\",\"MEASURE\"", false, l));
}

namespace {

// Six items, ten persons; nobody answers item 5. The title "7 8" would be entry 7 at 8.
std::string unanswered_set(const std::string& deletions) {
    return "TITLE=7 8\nNI=6\nITEM1=1\nNAME1=8\nCODES=01\n" + deletions +
           "&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
           "1101 0 P01\n1001 1 P02\n0110 1 P03\n1110 0 P04\n0101 1 P05\n"
           "1011 0 P06\n0100 1 P07\n1111 0 P08\n0010 1 P09\n1000 0 P10\n";
}

// The chart of two files by their paths, under fixed names, so that charts of different layouts
// can be set side by side.
std::vector<std::string> compare_paths(SummaryRun& analysis, const std::string& left, const std::string& right) {
    ComparisonSettings& s = analysis.run.rs.comparison;
    s = ComparisonSettings{'M', 'L', "left", left, "right", right};
    analysis.host.line_file.clear();
    analysis.run.rep.request.table = 99;
    dispatch_output_request(analysis.run);
    return analysis.host.line_file;
}

}  // namespace

// Two calibrations, one deleting item 2, the other item 3 and person 4, both without answers to
// item 5: every pair of layouts (fixed, CSV, tab; with and without headings) charts the same
// entries, leaving out the entries without a measure on either side and counting them.
TEST(MeasureComparison, EntriesWithoutAMeasureAreLeftOutInEveryPairOfLayouts) {
    SummaryRun a(unanswered_set("IDFILE=*\n2\n*\n")), b(unanswered_set("IDFILE=*\n3\n*\nPDFILE=*\n4\n*\n"));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    ASSERT_EQ(b.exit_status, 0) << b.host.screen();
    const std::vector<std::string> layouts = {"NY", "NN", "YY", "YN", "TY", "TN"};
    for (const char code : {'I', 'P'}) {
        for (const std::string& l : layouts) {
            write_file_after_run(a, code, l[0], std::string(1, code) + l + ".txt", l[1]);
            write_file_after_run(b, code, l[0], std::string(1, code) + l + ".txt", l[1]);
        }
        const std::string name = std::string(1, code) + "NY.txt";
        const std::vector<std::string> expected = compare_paths(a, a.dir.file(name), b.dir.file(name));
        // Items 1, 4 and 6 drawn; 2, 3 and 5 left out. Persons: all but person 4.
        const std::size_t drawn = code == 'I' ? 3 : 9;
        ASSERT_EQ(expected.size(), drawn + 6) << code;
        EXPECT_EQ(expected.back(), std::string("ENTRIES LEFT OUT FOR WANT OF A READABLE VALUE: ") + (code == 'I' ? "3" : "1"));
        for (std::size_t k = 0; code == 'I' && k < drawn; ++k) {
            EXPECT_NE(expected[4 + k].find(std::string("| ") + "146"[k] + "  " + "ADF"[k] + " "), std::string::npos)
                << expected[4 + k];
        }
        for (const std::string& left : layouts)
            for (const std::string& right : layouts) {
                const std::string ln = std::string(1, code) + left + ".txt", rn = std::string(1, code) + right + ".txt";
                EXPECT_EQ(compare_paths(a, a.dir.file(ln), b.dir.file(rn)), expected) << ln << " " << rn;
            }
    }

    // An emptied cell, or a fixed field blanked, is no value, never the next field's; it is
    // counted like an entry without a measure.
    for (const char csv : {'Y', 'N'}) {
        std::vector<std::string> lines = write_file_after_run(a, 'I', csv, "emptied.txt", 'N');
        std::string& record = lines[0];
        const std::size_t measure = record.find(',', record.find(',') + 1) + 1;
        if (csv == 'N') record.replace(6, 8, 8, ' ');
        else record.erase(measure, record.find(',', measure) - measure);
        write_file(a.dir.file("emptied.txt"), crlf_text(lines));
        // Items 3, 4 and 6 drawn; 1 (emptied), 2 (deleted) and 5 (unanswered) left out.
        const std::vector<std::string> emptied = compare_paths(a, a.dir.file("INY.txt"), a.dir.file("emptied.txt"));
        ASSERT_EQ(emptied.size(), 3u + 6u) << csv;
        EXPECT_EQ(emptied.back(), "ENTRIES LEFT OUT FOR WANT OF A READABLE VALUE: 3") << csv;
    }
}

// A person file without headings whose labels all look like an item's group, model code and name
// ("M R Ann") is still a person file when it is set against the current persons.
TEST(MeasureComparison, PersonFileWithoutHeadingsKeepsItsLabelsAgainstThePersons) {
    std::string c = "TITLE=Codes\nNI=4\nITEM1=1\nNAME1=6\nCODES=01\n&END\nA\nB\nC\nD\nEND LABELS\n";
    const char* rows[] = {"1000", "1100", "1010", "0110", "1110", "1101"};
    for (int n = 0; n < 6; ++n) c += std::string(rows[n]) + " " + (n % 2 ? "F " : "M ") + "RSFRSF"[n] + " Ann" + char('A' + n) + "\n";
    SummaryRun a(c);
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    write_file_after_run(a, 'P', 'N', "pNN.txt", 'N');
    const std::vector<std::string> chart = compare(a, 'P', 'M', "", "pNN.txt");
    ASSERT_EQ(chart.size(), 6u + 5u);
    EXPECT_NE(chart[4].find("| 1  M R AnnA |"), std::string::npos) << chart[4];
}
