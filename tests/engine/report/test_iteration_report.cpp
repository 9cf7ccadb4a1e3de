#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/report/iteration_report.h"
#include "engine/report/summary.h"
#include "engine/run/file_units.h"
#include "engine/run/report_line.h"
#include "tests/engine/estimation/estimation_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Lines of a file with the frame's drawing codes written as plain characters.
std::vector<std::string> plain_lines(const std::string& bytes) {
    std::string s = bytes;
    const std::string from = {box::kHorizontal, box::kVertical, box::kVerticalRight, box::kVerticalLeft,
                              box::kDownRight,  box::kDownLeft, box::kUpRight,       box::kUpLeft};
    const std::string to = "-||||+++";
    for (char& c : s) {
        const std::size_t k = from.find(c);
        if (k != std::string::npos) c = k < 4 ? to[k] : '+';
    }
    return crlf_lines(s);
}

}  // namespace

// ---- Iteration headings ----------------------------------------------------------------------

TEST(IterationHeading, ProxBoxOnScreenCarriesTheFileNames) {
    EstimationRun e;
    e.run.rs.control_file = "/data/exam one.txt";
    e.run.rs.report_file = "/out/rep.txt";
    write_iteration_heading(e.run, -heading_mode::kProxScreen);
    ASSERT_EQ(e.host.lines.size(), 3u);
    EXPECT_EQ(e.host.lines[0],
              "+Control:-/data/exam---------------------Output:-/out/rep.txt----------------+");
    EXPECT_EQ(e.host.lines[1],
              "|    PROX          ACTIVE COUNT       EXTREME 5 RANGE      MAX LOGIT CHANGE  |");
    EXPECT_EQ(e.host.lines[2],
              "| ITERATION   PERSONS ITEMS   CATS     PERSONS ITEMS      MEASURES     STEPS |");
}

TEST(IterationHeading, UconBoxInTheReportUsesTheEntityWords) {
    EstimationRun e;
    e.run.cv.person_word = "STUDENT";
    e.run.cv.item_word = "TASK";
    write_iteration_heading(e.run, heading_mode::kUconReport);
    const std::vector<std::string> lines = plain_lines(e.report());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "|----------------------------------------------------------------------------|");
    EXPECT_EQ(lines[1], "|    UCON     MAX SCORE   MAX LOGIT    LEAST CONVERGED     CATEGORY    STEP  |");
    EXPECT_EQ(lines[2], "| ITERATION   RESIDUAL*    CHANGE    STUDEN TASK     CAT   RESIDUAL   CHANGE |");
    EXPECT_EQ(lines[3], lines[0]);
}

TEST(IterationHeading, UconRowMarksTheLargerResidual) {
    EstimationRun e;
    UconRow row;
    row.iteration = 12, row.residual = -0.456f, row.logit_change = 0.01234f;
    row.person = 345, row.item = 7, row.person_marked = false;
    row.category = 2, row.category_residual = 1.5f, row.step_change = -0.0345f;
    write_ucon_row(e.run, row);
    ASSERT_EQ(e.host.lines.size(), 1u);
    EXPECT_EQ(e.host.lines[0],
              "|      12         -.46       .0123     345      7*      2       1.50   -.0345|");
}

// ---- Summary of measures -------------------------------------------------------------------

TEST(MeasureSummary, BoxLayoutSeparationAndNote) {
    EstimationRun e;
    AnalysisArrays& a = e.run.arrays;
    a.persons = 120, a.items = 30;
    a.estimation.active_persons = 118, a.estimation.active_items = 30;
    auto set = [&](int k, float mean, float sd) { a.summary[k].mean = mean, a.summary[k].sd = sd; };
    // Persons: measures S.D. 1.0, real errors all 0.5: RMSE .5, true variance .75.
    set(1, 17.25f, 4.5f), set(2, 30, 0), set(3, 0.52f, 1.0f), set(17, 0.5f, 0.0f);
    set(5, 1.01f, 0.2f), set(6, -0.44f, 0.9f), set(7, 0.99f, 0.35f), set(8, 0.05f, 1.1f);
    // Items: errors larger than the spread: everything but RMSE is 0.
    set(9, 60.5f, 10.0f), set(10, 118, 0), set(11, 0.0f, 0.2f), set(18, 0.3f, 0.1f);
    write_measure_summary(e.run, e.settings);
    std::fflush(e.run.units.open[unit::kSummary].file);
    const std::vector<std::string> l = plain_lines(read_file(e.dir.file("ZRR123kv.txt")));
    ASSERT_EQ(l.size(), 13u);
    EXPECT_EQ(l[0], " TEST");
    EXPECT_EQ(l[1], " +----------------------------------------------------------------------------+");
    EXPECT_EQ(l[2], " | PERSONS     120 INPUT     118 MEASURED              INFIT         OUTFIT   |");
    EXPECT_EQ(l[3], " |          SCORE     COUNT     MEASURE   ERROR     IMNSQ   ZSTD  OMNSQ   ZSTD|");
    EXPECT_EQ(l[4], " | MEAN      17.3      30.0         .52     .50      1.01    -.4    .99     .1|");
    EXPECT_EQ(l[5], " | S.D.       4.5        .0        1.00     .00       .20     .9    .35    1.1|");
    EXPECT_EQ(l[6], " | REAL RMSE    .50  ADJ.SD     .87  SEPARATION  1.73  PERSON RELIABILITY  .75|");
    EXPECT_EQ(l[7], " |----------------------------------------------------------------------------|");
    EXPECT_EQ(l[8], " | ITEMS      30 INPUT      30 MEASURED                INFIT         OUTFIT   |");
    EXPECT_EQ(l[11], " | REAL RMSE    .32  ADJ.SD     .00  SEPARATION   .00  ITEM   RELIABILITY  .00|");
    EXPECT_EQ(l[12], " +----------------------------------------------------------------------------+");
    EXPECT_EQ(a.estimation.separation_note,
              "PERSON: REAL SEP.: 1.73  REL.: .75 ... ITEM: REAL SEP.: .00  REL.: .00");
}
