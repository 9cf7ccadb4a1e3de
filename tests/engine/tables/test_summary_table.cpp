// Table 3.1 of whole runs: a complete dichotomous data set without extreme entries, and a 0-3
// rating scale with a deleted item, extreme persons, a person without responses, missing
// responses, trimming limits, user scaling and persons beyond the capacity of the person
// status array. The text is held byte for byte, and every statistic in it is computed again
// from the run's PFILE= and IFILE=. Then the options and the edge cases of the layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/run/message_texts.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Eleven persons on six items, every response present, no person or item at an extreme.
const char* const kDichotomous =
    "TITLE=Summary dichotomous\nNI=6\nITEM1=1\nNAME1=8\nCODES=01\nUDECIM=4\nLCONV=.0001\n"
    "RCONV=.0001\n&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
    "110000 P01\n101000 P02\n111000 P03\n110100 P04\n011010 P05\n111100 P06\n"
    "110110 P07\n101011 P08\n111101 P09\n011111 P10\n100000 P11\n";

// Seventeen records on seven items, item D deleted; R07 and R08 extreme, R09 without any
// response, three missing responses; the person status array holds fifteen persons.
const char* const kRatingScale =
    "TITLE=Summary rating scale\nNI=7\nITEM1=1\nNAME1=9\nCODES=0123\nUDECIM=4\nLCONV=.0001\n"
    "RCONV=.0001\nUMEAN=50\nUSCALE=10\nCUTLO=40\nCUTHI=40\nIDFILE=*\n4\n*\n"
    "&END\nA\nB\nC\nD\nE\nF\nG\nEND LABELS\n"
    "3211201 R01\n2312121 R02\n2101210 R03\n3223112 R04\n31 2 01 R05\n3332231 R06\n"
    "3333333 R07\n0000000 R08\n        R09\n1201100 R10\n2231302 R11\n3 21120 R12\n"
    "3323322 R13\n1020010 R14\n2212011 R15\n2111110 R16\n3222221 R17\n";
constexpr int kRatingRecords = 17;

bool refuse_large_status_array(MemoryBlock block, std::int64_t bytes) {
    return block == MemoryBlock::PersonStatus && bytes > 60;
}

double number(const std::string& line, std::size_t first, std::size_t last) {
    return std::stod(columns(line, first, last));
}

// Index of the nth line (from 1) that contains the text; lines.size() when there is none.
std::size_t line_of(const std::vector<std::string>& lines, const std::string& text, int nth = 1) {
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].find(text) != std::string::npos && --nth == 0) return k;
    return lines.size();
}

std::string count_text(const char* label, int count, const char* plural) {
    char text[80];
    std::snprintf(text, sizeof text, "%s%7d %s", label, count, plural);
    return text;
}

// A separation line against the values of its definition, each of them between lo and hi.
void expect_separation(const std::string& line, const Separation& lo, const Separation& hi) {
    const double tolerance = 0.0055;
    const std::size_t fields[4][2] = {{12, 18}, {27, 34}, {47, 52}, {73, 77}};
    const double low[4] = {lo.rmse, lo.adjusted_sd, lo.separation, lo.reliability};
    const double high[4] = {hi.rmse, hi.adjusted_sd, hi.separation, hi.reliability};
    for (int k = 0; k < 4; ++k) {
        const double v = number(line, fields[k][0], fields[k][1]);
        EXPECT_GE(v, std::min(low[k], high[k]) - tolerance) << line;
        EXPECT_LE(v, std::max(low[k], high[k]) + tolerance) << line;
    }
}

// The box of one side, from its title line, against the statistics of its measure file.
// Measures and S.E.s are read with four decimals, counts and scores are exact, fit values have
// two decimals: each shown value lies within half its last place of that, plus the rounding of
// the file.
void expect_side(const std::vector<std::string>& t, std::size_t title,
                 const std::vector<MeasureRecord>& records) {
    ASSERT_LT(title + 13, t.size());
    const SideExpectation x = expectation_of(records);
    const SideExpectation lo = expectation_of(records, -0.005), hi = expectation_of(records, 0.005);
    EXPECT_EQ(number(t[title], 16, 22), x.measured);
    const double tolerance[8] = {0.0501, 0.0501, 0.0051, 0.0051, 0.0101, 0.0551, 0.0101, 0.0551};
    const std::size_t fields[8][2] = {{7, 16},  {17, 26}, {27, 38}, {39, 46},
                                      {50, 56}, {57, 63}, {64, 70}, {71, 77}};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 8; ++k) {
            const Spread& s = x.columns[static_cast<std::size_t>(k)];
            const double v[4] = {s.mean, s.sd, s.maximum, s.minimum};
            const std::string& line = t[title + 5 + static_cast<std::size_t>(row)];
            EXPECT_NEAR(number(line, fields[k][0], fields[k][1]), v[row], tolerance[k])
                << line << " column " << k;
        }
    expect_separation(t[title + 10], lo.real, hi.real);
    expect_separation(t[title + 11], x.model, x.model);
    const std::string& mean = t[title + 12];
    EXPECT_NEAR(std::stod(mean.substr(mean.find("MEAN = ") + 7)), x.error_of_mean, 0.0051) << mean;
    if (x.maximum + x.minimum == 0) {
        EXPECT_EQ(t[title + 13][0], '+') << "no block of extreme entries";
        return;
    }
    ASSERT_LT(title + 16, t.size());
    const std::string& with = t[title + 13];
    const int k = x.maximum + x.minimum;
    EXPECT_EQ(with.substr(0, 7 + std::to_string(k).size()), "| WITH " + std::to_string(k));
    EXPECT_NE(with.find(" EXTREME = " + std::to_string(k + x.measured) + " "), std::string::npos);
    EXPECT_NEAR(std::stod(with.substr(with.find("  MEAN = ") + 9)), x.with_extremes.mean, 0.0051);
    EXPECT_NEAR(std::stod(with.substr(with.find("S.D. = ") + 7)), x.with_extremes.sd, 0.0051);
    expect_separation(t[title + 14], lo.real_all, hi.real_all);
    expect_separation(t[title + 15], x.model_all, x.model_all);
}

double mean_count_of_measured(const std::vector<MeasureRecord>& records) {
    double sum = 0, n = 0;
    for (const MeasureRecord& r : records)
        if (r.status >= 1) sum += r.count, n += 1;
    return sum / n;
}

}  // namespace

TEST(SummaryTable, CompleteDichotomousDataWithoutExtremes) {
    SummaryRun analysis(kDichotomous);
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> t = analysis.table();
    expect_golden("tables/summary_dichotomous.txt", crlf_text(t));

    const std::size_t persons = line_of(t, "SUMMARY OF"), items = line_of(t, "SUMMARY OF", 2);
    EXPECT_EQ(t[persons], "     SUMMARY OF     11 MEASURED PERSONS");
    EXPECT_EQ(t[items], "     SUMMARY OF      6 MEASURED ITEMS");
    expect_side(t, persons, analysis.persons());
    expect_side(t, items, analysis.items());
    // Every person answered every item: no valid-responses line; no count line at all.
    EXPECT_EQ(line_of(t, "VALID RESPONSES"), t.size());
    EXPECT_EQ(line_of(t, "EXTREME"), t.size());
    EXPECT_EQ(line_of(t, ":  "), t.size());
    EXPECT_EQ(t.back(), "UMEAN=.000 USCALE=1.000");
}

TEST(SummaryTable, RatingScaleWithExtremesDeletionsAndMissingResponses) {
    SummaryRun analysis(kRatingScale, refuse_large_status_array);
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> t = analysis.table();
    expect_golden("tables/summary_rating_scale.txt", crlf_text(t));

    const std::vector<MeasureRecord> person_records = analysis.persons(),
                                     item_records = analysis.items();
    const std::size_t persons = line_of(t, "SUMMARY OF"), items = line_of(t, "SUMMARY OF", 2);
    EXPECT_EQ(t[persons], "     SUMMARY OF     12 MEASURED (NON-EXTREME) PERSONS");
    expect_side(t, persons, person_records);
    expect_side(t, items, item_records);

    // The counts under the boxes, from the statuses of the measure files and the records read.
    const SideExpectation p = expectation_of(person_records), i = expectation_of(item_records);
    ASSERT_EQ(p.maximum, 1);
    ASSERT_EQ(p.minimum, 1);
    ASSERT_EQ(p.lacking, 1);
    ASSERT_EQ(i.deleted, 1);
    const std::size_t below = persons + 17;
    EXPECT_EQ(t[below], count_text("  MAXIMUM EXTREME SCORE:", p.maximum, "PERSONS"));
    EXPECT_EQ(t[below + 1], count_text("  MINIMUM EXTREME SCORE:", p.minimum, "PERSONS"));
    EXPECT_EQ(t[below + 2], count_text("      LACKING RESPONSES:", p.lacking, "PERSONS"));
    const int beyond = kRatingRecords - static_cast<int>(person_records.size());
    EXPECT_EQ(t[below + 3], count_text("        BEYOND CAPACITY:", beyond, "PERSONS"));
    EXPECT_EQ(line_of(t, "BEYOND CAPACITY"), below + 3) << "persons only";
    EXPECT_EQ(line_of(t, "BEYOND CAPACITY", 2), t.size());
    EXPECT_EQ(t[items + 14], count_text("                DELETED:", i.deleted, "ITEMS"));

    // The valid responses of the mean measured person among the measured items, and the
    // trimming limits in user units as given.
    const std::string& valid = t[below + 4];
    EXPECT_EQ(valid.substr(0, 25), "        VALID RESPONSES: ");
    EXPECT_NEAR(number(valid, 26, 30), mean_count_of_measured(person_records) * 100 / i.measured,
                0.05);
    EXPECT_EQ(valid.substr(30), "%       CUTLO= 40.0 CUTHI= 40.0");
    EXPECT_EQ(t.back(), "UMEAN=50.000 USCALE=10.000");
}

// The options the table reads, and the layout's edge cases, on the rating-scale run.
struct SummaryOptions : ::testing::Test {
    SummaryRun analysis{kRatingScale, refuse_large_status_array};
    void SetUp() override { ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen(); }
    std::string line_with(const std::string& text) {
        const std::vector<std::string> t = analysis.table();
        const std::size_t k = line_of(t, text);
        return k < t.size() ? t[k] : "";
    }
};

TEST_F(SummaryOptions, RealErrorsAndTheStandardizedFitWord) {
    const std::string model_mean = line_with("| MEAN");
    analysis.run.cv.rea_flag = 'Y';
    analysis.run.cv.standardized_fit_label = "ZEMP";
    const std::vector<std::string> t = analysis.table();
    const std::size_t persons = line_of(t, "SUMMARY OF");
    EXPECT_EQ(t[persons + 2],
              "|           RAW                           REAL         INFIT        OUTFIT    |");
    EXPECT_EQ(t[persons + 3],
              "|          SCORE     COUNT     MEASURE   ERROR      MNSQ   ZEMP   MNSQ   ZEMP |");
    // The error column now holds the real S.E.s: their mean, with the infit mean-squares of
    // the file moved by their rounding either way.
    const std::vector<MeasureRecord> records = analysis.persons();
    auto mean_real_error = [&](double shift) {
        std::vector<double> reals;
        for (const MeasureRecord& r : records)
            if (r.status >= 1)
                reals.push_back(r.error * std::sqrt(std::max(r.fit[0] + shift, 1.0)));
        return spread_of(reals).mean;
    };
    const double shown = number(t[persons + 5], 39, 46);
    EXPECT_GE(shown, mean_real_error(-0.005) - 0.0051);
    EXPECT_LE(shown, mean_real_error(0.005) + 0.0051);
    EXPECT_GT(shown, number(model_mean, 39, 46) + 0.1) << "above the model S.E.";
}

TEST_F(SummaryOptions, WeightsOfEitherSideHideTheValidResponses) {
    EXPECT_NE(line_with("VALID RESPONSES"), "");
    analysis.run.input.person_weights_present = true;
    EXPECT_EQ(line_with("VALID RESPONSES"), "");
    analysis.run.input.person_weights_present = false;
    analysis.run.input.item_weights_present = true;
    EXPECT_EQ(line_with("VALID RESPONSES"), "");
}

TEST_F(SummaryOptions, AlmostCompleteDataNeverShowsAHundredPercent) {
    AnalysisArrays& a = analysis.run.arrays;
    ASSERT_EQ(a.estimation.active_items, 6);
    a.summary[2].mean = 5.997f;  // 99.95%
    EXPECT_EQ(line_with("VALID RESPONSES"),
              "        VALID RESPONSES:  99.9%       CUTLO= 40.0 CUTHI= 40.0");
    a.summary[2].mean = 6.0f;
    EXPECT_EQ(line_with("VALID RESPONSES"), "");
    analysis.run.cv.cut_low = analysis.run.cv.cut_high = 0.0f;
    a.summary[2].mean = 3.0f;
    EXPECT_EQ(line_with("VALID RESPONSES"), "        VALID RESPONSES:  50.0%");
}

TEST_F(SummaryOptions, ErrorOfTheMeanDividesByOneForOneOrTwoPersons) {
    AnalysisArrays& a = analysis.run.arrays;
    a.summary[3].sd = 12.0f;
    a.estimation.active_persons = 1;
    EXPECT_EQ(line_with("S.E. OF PERSON"),
              "| S.E. OF PERSON MEAN = 12.00                                                 |");
    a.estimation.active_persons = 2;
    EXPECT_EQ(line_with("S.E. OF PERSON"),
              "| S.E. OF PERSON MEAN = 12.00                                                 |");
    a.estimation.active_persons = 5;  // 12 / 2
    EXPECT_EQ(line_with("S.E. OF PERSON"),
              "| S.E. OF PERSON MEAN = 6.00                                                  |");
}

TEST_F(SummaryOptions, PageBreakBeforeTheItemsAndBoxBytes) {
    analysis.run.cv.page_length = 30;
    analysis.run.cv.box_to_ascii = 'N';
    const std::vector<std::string> t = analysis.table();
    const std::size_t valid = line_of(t, "VALID RESPONSES");
    ASSERT_LT(valid + 9, t.size());
    EXPECT_EQ(t[valid + 1],
              std::string(msg::kContinuedFromPreviousSheet).replace(0, 1, "\f") + "2");
    EXPECT_EQ(t[valid + 2], " ");
    EXPECT_EQ(t[valid + 3], " ");
    EXPECT_EQ(t[valid + 4].substr(0, 18), "     SUMMARY OF   ");
    std::string rule;
    for (int i = 0; i < 77; ++i) rule += "─";
    EXPECT_EQ(t[valid + 5], "┌" + rule + "┐");
    EXPECT_EQ(t[valid + 9].substr(0, 9), "│ MEAN ");
}
