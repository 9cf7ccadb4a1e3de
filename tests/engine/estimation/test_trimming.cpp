#include <gtest/gtest.h>

#include "engine/estimation/trimming.h"
#include "engine/report/estimation_report.h"
#include "engine/run/record_files.h"
#include "tests/engine/input/edit_file_fixture.h"

using namespace korvelan;
using korvelan::testing::EditFileTest;

namespace {

constexpr std::uint8_t M = kMissingScore;

// Four persons (measures 0, 1, -1, 2) and three items (0, 0.5, -0.5), scored responses in an
// image backed by the work file.
struct Trimming : EditFileTest {
    WorkFileLayout layout{3, 4, 30, false};
    WorkFiles files{layout};
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(12);
    std::vector<std::int8_t> person_status{0, 1, 1, 1, 1};
    std::vector<float> person_measure{0, 0.0f, 1.0f, -1.0f, 2.0f};
    std::vector<std::int8_t> item_status{0, 1, 1, 1};
    std::vector<float> item_measure{0, 0.0f, 0.5f, -0.5f};
    ReportingEstimationObserver observer{run};

    Trimming() {
        open_person_work_files(run, layout);
        files.scored_response_image = image;
        const std::vector<std::vector<std::uint8_t>> scores{
            {1, 0, 1}, {1, 1, 0}, {0, M, 1}, {1, 1, 1}};
        for (std::size_t p = 0; p < scores.size(); ++p)
            write_person_scores_record(run, files, static_cast<std::int64_t>(p + 1), scores[p]);
    }
    std::int64_t trim(float low, float high, float uscale) {
        cut_low = low;
        cut_high = high;
        return drop_out_of_range_observations(run, files, person_status, person_measure, 4,
                                              item_status, item_measure, cut_low, cut_high, uscale,
                                              observer);
    }
    static std::string framed(const std::string& text) {
        std::string line = "| " + text;
        line.resize(77, ' ');
        return line + "|";
    }
    float cut_low = 0, cut_high = 0;
};

}  // namespace

TEST_F(Trimming, NoOutliersGiveTheFramedNoneLine) {
    EXPECT_EQ(trim(5.0f, 0.0f, 1.0f), 0);
    const auto lines = report_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              framed("DROPPING OUT OF RANGE OBSERVATIONS.  CUTLOW=  5.00  CUTHIGH=   .00"));
    EXPECT_EQ(lines[1], framed("THERE WERE NO OUT OF RANGE OBSERVATIONS"));
    // The message line shows the same columns.
    EXPECT_TRUE(host.shows(lines[1]));
    EXPECT_EQ(image[1], 0);
}

TEST_F(Trimming, LowerLimitInUserUnitsDropsFarBelow) {
    // CUTLOW=1 with USCALE=10 is 0.1 logits; a negative limit counts as its size.
    for (float low : {1.0f, -1.0f}) {
        image = {1, 0, 1, 1, 1, 0, 0, M, 1, 1, 1, 1};
        files.scored_response_image = image;
        host.lines.clear();
        EXPECT_EQ(trim(low, 0.0f, 10.0f), 3);
        EXPECT_FLOAT_EQ(cut_low, 0.1f);
        EXPECT_EQ(cut_high, 0.0f);
        EXPECT_EQ(image, (std::vector<std::uint8_t>{1, M, 1, 1, 1, 0, M, M, M, 1, 1, 1}));
        EXPECT_TRUE(host.shows(framed("         3 OBSERVATIONS DROPPED")));
    }
    // The changed records are written back to the scored-response work file.
    ASSERT_EQ(flush_record_unit(run, unit::kScores), 0);
    const std::string zmm = korvelan::testing::read_file(work_file_path(run, "ZMM"));
    EXPECT_EQ(zmm.substr(6, 3), std::string(3, static_cast<char>(M)));
}

TEST_F(Trimming, UpperLimitOnlyAndExtremesKeepTheirResponses) {
    person_status[4] = 0;                              // extreme: keeps every response
    item_status[2] = -1;                               // extreme item
    person_status[2] = 1 + status::kProxCompleteMark;  // the PROX mark is not part of the status
    EXPECT_EQ(trim(0.0f, 10.0f, 10.0f), 1);            // only person 2 on item 3 (1.5 logits above)
    EXPECT_EQ(image, (std::vector<std::uint8_t>{1, 0, 1, 1, 1, M, 0, M, 1, 1, 1, 1}));
}

TEST_F(Trimming, NoLimitsNoWork) {
    EXPECT_EQ(trim(0.0f, 0.0f, 1.0f), 0);
    EXPECT_TRUE(report_lines().empty());
    EXPECT_TRUE(host.lines.empty());
}
