// Tables 27 and 28: the class set byte for byte, the group rows and the first histogram against
// the person measure file, medians of even and odd groups, a one-entry group, the scaling line,
// two specifications from a file and the settings that are blank or name no file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engine/analyses/component_fixture.h"
#include "tests/engine/analyses/dif_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The rows of a group table: code (file column 54 on) and the numbers of columns 2-48.
struct GroupRow {
    std::string code, count, error;
    double mean = 0, sd = 0, median = 0;
};
std::vector<GroupRow> group_rows(const std::vector<std::string>& table) {
    std::vector<GroupRow> rows;
    for (const std::string& l : table) {
        if (l.size() < 58 || l.size() > 70 || l[0] != '|' || l.substr(1, 7).find_first_of("0123456789") == std::string::npos) continue;
        GroupRow r;
        r.count = std::string(trim(l.substr(1, 7)));
        r.mean = std::stod(l.substr(9, 7));
        r.error = std::string(trim(l.substr(17, 7)));
        r.sd = std::stod(l.substr(25, 7));
        r.median = std::stod(l.substr(33, 7));
        r.code = std::string(trim(l.substr(53, l.size() - 54)));
        rows.push_back(r);
    }
    return rows;
}

// Mean, population S.D. and median of the measures of the persons whose label starts with
// the prefix (measured or extreme).
struct Expected {
    double mean = 0, sd = 0, median = 0;
    int count = 0;
};
Expected expected_of(const std::vector<MeasureRecord>& persons, const std::string& prefix, std::size_t column) {
    std::vector<double> m;
    for (const MeasureRecord& p : persons)
        if (p.status >= -1 && (prefix.empty() || p.label.substr(column, 1) == prefix)) m.push_back(p.measure);
    Expected e;
    e.count = static_cast<int>(m.size());
    const Spread s = spread_of(m);
    e.mean = s.mean;
    e.sd = s.sd;
    std::sort(m.begin(), m.end());
    const std::size_t n = m.size();
    e.median = n % 2 ? m[n / 2] : (m[n / 2 - 1] + m[n / 2]) / 2;
    return e;
}

// The column values of the first histogram of a histogram sub-table: its digit rows (before the
// marker row and the ruler) read down each column.
std::vector<double> first_histogram(const std::vector<std::string>& block) {
    std::vector<std::string> rows;
    for (const std::string& l : block) {
        if (l.rfind("|-", 0) == 0) break;
        if (l.find_first_of("0123456789") != std::string::npos && l.find("INPUT:") == std::string::npos &&
            l.find("TABLE") == std::string::npos)
            rows.push_back(l);
    }
    std::vector<double> values(61, 0.0);
    for (std::size_t c = 0; c < values.size(); ++c) {
        std::string digits;
        for (const std::string& r : rows)
            if (c < r.size() && r[c] != ' ') digits += r[c];
        values[c] = digits.empty() ? 0 : std::stod(digits);
    }
    return values;
}

}  // namespace

TEST(SubtotalTables, ClassSetTable28ByteForByteAndAgainstTheMeasureFile) {
    SummaryRun analysis(class_set("PSUBTOTAL=$S1W1\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "28");
    expect_golden("tables/subtotals_28.txt", crlf_text(without_file_lines(table)));
    EXPECT_TRUE(has_line(table, "Subtotal specification is: PSUBTOTAL=$S1W1"));
    EXPECT_TRUE(has_line(table, "UMEAN=0 USCALE=1"));
    EXPECT_TRUE(has_line(table, "TOTAL FOR ALL 13 NON-EXTREME PERSONS"));
    EXPECT_TRUE(has_line(table, "\"F\" SUBTOTAL FOR 7 NON-EXTREME PERSONS"));
    EXPECT_EQ(sub_table_ids(table), (std::vector<std::string>{"28.1", "28.2", "28.3", "28.4", "28.5"}));
    // The first histogram counts every measured or extreme person once; its columns add up to 14.
    const std::vector<double> counts = first_histogram(table_block(crlf_text(table), "28.2"));
    double sum = 0;
    for (double c : counts) sum += c;
    EXPECT_EQ(sum, 14.0);
    EXPECT_EQ(counts.size(), 61u);
    // Every inner line of a summary block ends with "|" at file column 79.
    for (const std::string& l : table) {
        if (l.size() > 60 && l.rfind("| ", 0) == 0) {
            EXPECT_EQ(l.size(), 79u) << l;
        }
    }

    // Rows *, F, M; 14 persons (MC10 extreme), 7 of each sex: the F median is the middle one of
    // seven measures, the whole sample's the mean of the two middle ones of fourteen.
    const std::vector<GroupRow> rows = group_rows(table);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<MeasureRecord> persons = analysis.persons();
    const std::string prefixes[] = {"", "F", "M"};
    for (std::size_t k = 0; k < 3; ++k) {
        const Expected e = expected_of(persons, prefixes[k], 0);
        EXPECT_EQ(rows[k].code, k == 0 ? "*" : prefixes[k]);
        EXPECT_EQ(rows[k].count, std::to_string(e.count));
        EXPECT_NEAR(rows[k].mean, e.mean, 0.006);
        EXPECT_NEAR(rows[k].sd, e.sd, 0.006);
        EXPECT_NEAR(rows[k].median, e.median, 0.006);
    }
}

TEST(SubtotalTables, OneEntryGroupAndUserScaling) {
    SummaryRun analysis(class_set("PSUBTOTAL=$S2W1\nUMEAN=50\nUSCALE=10\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "28");
    EXPECT_TRUE(has_line(table, "UMEAN=50 USCALE=10"));
    const std::vector<GroupRow> rows = group_rows(table);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3].code, "C");
    EXPECT_EQ(rows[3].count, "1");
    EXPECT_EQ(rows[3].error, "-");
    // The C group's only person is extreme: the WITH line, no S.E. OF line of its own.
    const std::vector<std::string> c = table_block(crlf_text(table), "28.6");
    EXPECT_TRUE(has_line(c, "\"C\" SUBTOTAL FOR 0 NON-EXTREME PERSONS"));
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const std::string& l) { return l.find("S.E. OF") != std::string::npos; }), 0);
    EXPECT_TRUE(std::any_of(c.begin(), c.end(), [](const std::string& l) { return l.rfind("| WITH 1 EXTREME = 1 PERSONS", 0) == 0; }));
    const Expected b = expected_of(analysis.persons(), "B", 1);
    EXPECT_NEAR(rows[2].median, b.median, 0.006);
}

TEST(SubtotalTables, TwoSpecificationsFromAFileAndItemSubtotals) {
    SummaryRun analysis(class_set("ISUBTOTAL=specs.txt\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    write_file(analysis.dir.file("specs.txt"), "$S1W1\n$S2W1\n");
    const std::vector<std::string> table = table_after_run(analysis, "27");
    // Groups *, A, B, C: a group table and four summary blocks, then the same for *, 1, 2.
    EXPECT_EQ(sub_table_ids(table), (std::vector<std::string>{"27.1", "27.2", "27.3", "27.4", "27.5", "27.6",
                                                              "27.7", "27.8", "27.9", "27.10", "27.11"}));
    EXPECT_TRUE(has_line(table, "Subtotal specification is: ISUBTOTAL=$S2W1"));
    EXPECT_TRUE(has_line(table, "TOTAL FOR ALL 6 NON-EXTREME ITEMS"));
}

TEST(SubtotalTables, BlankSettingAndUnknownFile) {
    SummaryRun analysis(class_set("ISUBTOTAL=NOSUCHFILE\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    EXPECT_TRUE(has_line(table_after_run(analysis, "28"), "TABLE 28 NOT PRINTED. PSUBTOTAL= NOT SPECIFIED"));
    EXPECT_TRUE(has_line(table_after_run(analysis, "27"), "INVALID ISUBTOTAL FILE: NOSUCHFILE"));
    EXPECT_TRUE(has_line(table_after_run(analysis, "27"), "TABLE 27 NOT PRINTED. ISUBTOTAL= NOT SPECIFIED"));
}

TEST(SubtotalTables, SpecificationFileInTheTableListLeavesTheListWhole) {
    // The list asks for Table 27, whose specifications come from a file, then for Table 14.
    ScratchDir specs;
    write_file(specs.file("specs.txt"), "$S1W1\n");
    SummaryRun analysis(class_set("ISUBTOTAL=" + specs.file("specs.txt") + "\nTFILE=*\n27\n14\n*\n"));
    EXPECT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    EXPECT_FALSE(table_block(report, "27.1").empty());
    EXPECT_FALSE(table_block(report, "14.1").empty());
    EXPECT_FALSE(analysis.shows("PROBLEM READING TABLE FILE"));
}

TEST(SubtotalTables, TableListThatCannotBeReadFailsTheRun) {
    // A folder opens but gives no lines: the Tables of the list are not written.
    ScratchDir folder;
    SummaryRun analysis(class_set("TFILE=" + folder.path + "\n"));
    EXPECT_EQ(analysis.exit_status, 1);
    EXPECT_TRUE(analysis.shows(" OUTPUT FILES NOT WRITTEN IN FULL:"));
}
