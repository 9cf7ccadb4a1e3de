// Tables 30 and 31: the class set byte for byte, the contrasts against the printed sizes, the
// settings that are blank or name no file, a planted difference found with its sign, a negative
// USCALE=, the pass cap, and numbers that do not fit their columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/dif_tables.h"
#include "tests/engine/analyses/component_fixture.h"
#include "tests/engine/analyses/dif_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Pair rows agree with their own parts: contrast = size1 - size2, S.E. = sqrt(se1^2 + se2^2),
// t = contrast / S.E., each to the rounding of the printed values.
void expect_consistent_contrasts(const std::vector<DifRow>& rows) {
    for (const DifRow& r : rows) {
        if (!r.has_contrast) continue;
        EXPECT_NEAR(r.contrast, r.size1 - r.size2, 0.011) << r.entry;
        EXPECT_NEAR(r.se, std::hypot(r.se1, r.se2), 0.011) << r.entry;
        // Contrast and S.E. are rounded to .005 each before t is formed from them here.
        EXPECT_NEAR(r.t, r.contrast / r.se, 0.006 + (0.0051 + 0.0051 * std::fabs(r.t)) / (r.se - 0.005)) << r.entry;
        EXPECT_GE(r.se, 0.0);
    }
}

// A finished run's Table written by one set, with the pass cap given.
std::vector<std::string> table_of_set(SummaryRun& analysis, ReportSide side, const std::string& spec, int cap) {
    analysis.host.line_file.clear();
    analysis.run.rep.request.table = side == ReportSide::Persons ? 30 : 31;
    ReportContext ctx(analysis.run);
    ctx.side = side;
    write_dif_dpf_set(ctx, spec, cap);
    return analysis.host.line_file;
}

}  // namespace

TEST(DifTables, ClassSetTables30And31ByteForByte) {
    SummaryRun analysis(class_set("DIF=$S1W1\nDPF=$S1W1\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> dif = table_after_run(analysis, "30");
    expect_golden("tables/dif_30.txt", crlf_text(without_file_lines(dif)));
    EXPECT_TRUE(has_line(dif, "Positive DIF size is higher ITEM difficulty"));
    // Two classes: one pair row per item, F before M; no F person answers C1 or C2 right.
    const std::vector<DifRow> rows = dif_rows(dif, 6);
    ASSERT_EQ(rows.size(), 6u);
    for (const DifRow& r : rows) EXPECT_EQ(r.code1 + r.code2, "F     M     ");
    EXPECT_EQ(rows[5].part1, " minimum score ");
    EXPECT_FALSE(rows[5].has_contrast);
    EXPECT_TRUE(rows[0].has_contrast);
    expect_consistent_contrasts(rows);

    const std::vector<std::string> dpf = table_after_run(analysis, "31");
    expect_golden("tables/dpf_31.txt", crlf_text(without_file_lines(dpf)));
    EXPECT_TRUE(has_line(dpf, "Positive DPF size is higher PERSON ability"));
    // Three item classes: the pairs A-B, A-C, B-C of every measured person, in that order.
    const std::vector<DifRow> person_rows = dif_rows(dpf, 5);
    ASSERT_EQ(person_rows.size(), 13u * 3u);
    for (std::size_t k = 0; k < person_rows.size(); k += 3) {
        EXPECT_EQ(person_rows[k].code1 + person_rows[k].code2, "A    B    ");
        EXPECT_EQ(person_rows[k + 1].code1 + person_rows[k + 1].code2, "A    C    ");
        EXPECT_EQ(person_rows[k + 2].code1 + person_rows[k + 2].code2, "B    C    ");
        EXPECT_EQ(person_rows[k].entry, person_rows[k + 2].entry);
    }
    expect_consistent_contrasts(person_rows);
}

TEST(DifTables, BlankSettingAndUnknownFile) {
    SummaryRun analysis(class_set("DIF=NOSUCHFILE\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    EXPECT_TRUE(has_line(table_after_run(analysis, "30"), "INVALID PDIF FILE: NOSUCHFILE"));
    EXPECT_TRUE(analysis.shows(" INVALID PDIF FILE: NOSUCHFILE"));
    EXPECT_TRUE(has_line(table_after_run(analysis, "30"), "TABLE 30 NOT PRINTED. PDIF= NOT SPECIFIED"));
    EXPECT_TRUE(has_line(table_after_run(analysis, "31"), "TABLE 31 NOT PRINTED. IDIF= NOT SPECIFIED"));
}

TEST(DifTables, AFileOfTwoSpecificationsGivesTwoTables) {
    SummaryRun analysis(class_set("DIF=specs.txt\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    write_file(analysis.dir.file("specs.txt"), "$S1W1\n$S2W1\n");
    const std::vector<std::string> table = table_after_run(analysis, "30");
    EXPECT_EQ(sub_table_ids(table), (std::vector<std::string>{"30.1", "30.2"}));
    EXPECT_TRUE(has_line(table, "DIF specification is: DIF=$S2W1"));
    // Regions A, B and C: C is the one extreme person, so no C cell exists; A-B pairs only.
    const std::vector<DifRow> rows = dif_rows(table, 6);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[6].code1 + rows[6].code2, "A     B     ");
}

TEST(DifTables, PlantedDifferenceIsFoundWithItsSign) {
    // Item 4 is one logit harder for class F: its F size is the higher and |t| > 3; no other item
    // passes |t| = 3.
    SummaryRun analysis(planted_dif_set(800, 10, 4, 1.0, "DIF=$S1W1\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<DifRow> rows = dif_rows(table_after_run(analysis, "30"), 6);
    ASSERT_EQ(rows.size(), 10u);
    for (const DifRow& r : rows) {
        ASSERT_TRUE(r.has_contrast) << r.entry;
        EXPECT_EQ(r.code1 + r.code2, "F     M     ");
        if (r.entry == 4) {
            EXPECT_GT(r.contrast, 0.6);
            EXPECT_GT(r.t, 3.0);
            EXPECT_GT(r.size1, r.size2);
        } else {
            EXPECT_LT(std::fabs(r.t), 3.0) << r.entry;
        }
    }
    expect_consistent_contrasts(rows);
}

TEST(DifTables, NegativeUscaleKeepsErrorsPositiveAndTWithTheContrast) {
    SummaryRun plain(planted_dif_set(200, 6, 2, 1.0, "DIF=$S1W1\n"));
    SummaryRun reversed(planted_dif_set(200, 6, 2, 1.0, "DIF=$S1W1\nUSCALE=-1\n"));
    ASSERT_EQ(plain.exit_status, 0);
    ASSERT_EQ(reversed.exit_status, 0);
    const std::vector<DifRow> a = dif_rows(table_after_run(plain, "30"), 6);
    const std::vector<DifRow> b = dif_rows(table_after_run(reversed, "30"), 6);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (std::size_t k = 0; k < a.size(); ++k) {
        ASSERT_TRUE(b[k].has_contrast);
        EXPECT_GE(b[k].se1, 0.0);
        EXPECT_GE(b[k].se2, 0.0);
        EXPECT_GE(b[k].se, 0.0);
        EXPECT_EQ(b[k].t > 0, b[k].contrast > 0) << b[k].entry;
        // The scale turns the measures round: sizes and contrasts change sign, errors do not.
        EXPECT_NEAR(b[k].contrast, -a[k].contrast, 0.011);
        EXPECT_NEAR(b[k].se, a[k].se, 0.011);
        EXPECT_NEAR(b[k].t, -a[k].t, 0.011);
    }
    expect_consistent_contrasts(b);
}

TEST(DifTables, PassCapEndsTheEstimationWithAMessageAndTheTable) {
    SummaryRun analysis(planted_dif_set(200, 6, 2, 1.0, "DIF=$S1W1\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    // The heading lines carry the sub-table number, which runs on from set to set.
    auto body = [](std::vector<std::string> t) { return std::vector<std::string>(t.begin() + 5, t.end()); };
    const std::vector<std::string> converged = table_of_set(analysis, ReportSide::Persons, "$S1W1", kDifPassCap);
    EXPECT_FALSE(analysis.shows(" DIF sizes not converged after 2 passes: the estimation stops here"));
    const std::vector<std::string> capped = table_of_set(analysis, ReportSide::Persons, "$S1W1", 2);
    EXPECT_TRUE(analysis.shows(" DIF sizes not converged after 2 passes: the estimation stops here"));
    EXPECT_EQ(dif_rows(capped, 6).size(), 6u);
    EXPECT_NE(body(capped), body(converged));
    // A cap that the criterion beats leaves the Table as it was.
    EXPECT_EQ(body(table_of_set(analysis, ReportSide::Persons, "$S1W1", 100)), body(converged));
}

TEST(DifTables, NumbersTooWideForTheirColumnsLoseDecimalsNeverDigits) {
    SummaryRun analysis(class_set("UDECIM=4\nUSCALE=10\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    LabelCodeTable classes;
    ASSERT_TRUE(classes.parse(analysis.run, "$S1W1", "DIF"));
    classes.add("F");
    classes.add("M");
    DifCells cells;
    ASSERT_TRUE(obtain_dif_cells(analysis.run, 2, 6, 14, cells));
    cells.at(1, 1) = DifCell{-1.23456, 0, 0, 0, 4.0, dif_status::kEstimated, false};
    cells.at(2, 1) = DifCell{0.0, 0, 0, 0, 4.0, dif_status::kEstimated, false};
    cells.at(1, 2) = DifCell{-0.123456, 0, 0, 0, 0.01, dif_status::kEstimated, false};
    analysis.host.line_file.clear();
    analysis.run.rep.request.table = 30;
    write_dif_box_table(analysis.run, ReportSide::Persons, classes, cells);
    const std::vector<std::string>& t = analysis.host.line_file;
    ASSERT_EQ(t.size(), 7u);
    // -12.3456 needs eight columns: the size column of seven shows it with three decimals, the
    // contrast column of eight in full. An S.E. after a number keeps a blank before it: 5 at
    // four decimals shows three in its six, 100 one.
    EXPECT_EQ(t[4], "| F     -12.346 5.000  M       .0000 5.000  -12.3456 7.071 -1.75      1 A1    |");
    EXPECT_EQ(t[5], "| F     -1.2346 100.0                                                 2 A2    |");
}

// A one-column selection of labels that begin with characters of several bytes takes each
// character whole: labels beginning with different characters are different classes, the same
// character one class, and one-byte codes keep their width.
TEST(DifTables, ClassesOfLabelsBeginningWithWideCharactersStayApart) {
    SummaryRun analysis(class_set(""));
    ASSERT_EQ(analysis.exit_status, 0);
    LabelCodeTable classes;
    ASSERT_TRUE(classes.parse(analysis.run, "$S1W1", "DIF"));
    std::vector<std::string> codes;
    for (const char* label : {"数a", "语b", "éc", "ñd", "数e", "Af"}) codes.push_back(classes.code_of(label));
    for (std::size_t i = 0; i < codes.size(); ++i) classes.add(codes[i]);
    EXPECT_EQ(classes.count(), 5);
    EXPECT_EQ(codes[0], codes[4]);
    EXPECT_EQ(codes[0], "数");
    EXPECT_EQ(codes[2], "é");
    EXPECT_EQ(codes[5], "A");
}
