// Weighted counts in the maps, strips and subtotal histograms: persons (or items) whose decimal
// weights add up to whole numbers are drawn exactly as the whole-weight entries they add up to.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// 40 persons on 10 dichotomous items from a fixed generator, labelled by sex in column 1 (F or
// M) and items by class (A or B), followed by the extra persons given as (row, label, weight);
// extra_items appends item columns copying item 10, given by weight.
struct WeightedSet {
    std::vector<std::string> extra_rows, extra_labels, extra_person_weights;
    std::vector<std::string> extra_item_weights;
};

std::string weighted_set(const WeightedSet& w) {
    std::uint32_t state = 11;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 16777216.0;
    };
    const int extra_items = static_cast<int>(w.extra_item_weights.size());
    std::string text = "TITLE=Weighted counts\nNI=" + std::to_string(10 + extra_items) +
                       "\nITEM1=1\nNAME1=14\nNAMLEN=4\nCODES=01\nPSUBTOTAL=$S1W1\nISUBTOTAL=$S1W1\n"
                       "TFILE=*\n1.1\n1.2\n1.3\n1.12\n2.1\n2.5\n12.2\n16.3\n27\n28\n*\n";
    text += "PWEIGHT=*\n";
    for (std::size_t k = 0; k < w.extra_person_weights.size(); ++k)
        text += std::to_string(41 + k) + " " + w.extra_person_weights[k] + "\n";
    text += "*\nIWEIGHT=*\n";
    for (int k = 0; k < extra_items; ++k)
        text += std::to_string(11 + k) + " " + w.extra_item_weights[static_cast<std::size_t>(k)] + "\n";
    text += "*\n&END\n";
    for (int i = 1; i <= 10 + extra_items; ++i) text += std::string(i <= 5 ? "A" : "B") + std::to_string(i) + "\n";
    text += "END LABELS\n";
    auto line = [&](std::string row, const std::string& label) {
        for (int k = 0; k < extra_items; ++k) row += row[9];
        text += row + std::string(14 - 1 - row.size(), ' ') + label + "\n";
    };
    for (int p = 0; p < 40; ++p) {
        const double ability = (next() + next() + next() - 1.5) * 3.0;
        std::string row;
        for (int i = 0; i < 10; ++i) row += next() < 1.0 / (1.0 + std::exp(0.4 * i - 2.0 - ability)) ? '1' : '0';
        line(row, std::string(p % 2 ? "M" : "F") + std::to_string(p));
    }
    for (std::size_t k = 0; k < w.extra_rows.size(); ++k) line(w.extra_rows[k], w.extra_labels[k]);
    return text;
}

// The body of every sub-table id in the report: its lines without the heading lines, which
// name the report file and count the entries.
std::vector<std::string> bodies(const std::string& report, const std::string& id) {
    std::vector<std::string> out;
    for (int nth = 1;; ++nth) {
        const std::vector<std::string> block = table_block(report, id, nth);
        if (block.empty()) break;
        for (std::size_t k = 2; k < block.size(); ++k) out.push_back(block[k]);
    }
    return out;
}

void expect_same_drawings(SummaryRun& decimal, SummaryRun& whole, const std::vector<std::string>& ids) {
    ASSERT_EQ(decimal.exit_status, 0) << decimal.host.screen();
    ASSERT_EQ(whole.exit_status, 0) << whole.host.screen();
    const std::string a = decimal.report(), b = whole.report();
    for (const std::string& id : ids) {
        const std::vector<std::string> x = bodies(a, id), y = bodies(b, id);
        EXPECT_FALSE(x.empty()) << id;
        EXPECT_EQ(x, y) << "Table " << id << "\n" << lines(x) << "\n" << lines(y);
    }
}

}  // namespace

TEST(WeightedCounts, PersonsWhoseDecimalWeightsAddUpToWholeNumbersAreDrawnAsThoseNumbers) {
    // Ten persons of weight .1 on one row (held as .10000000149 each) and two of .3 and 1.7 on
    // another, against one person of weight 1 and one of weight 2 on the same rows.
    WeightedSet decimal, whole;
    for (int k = 0; k < 10; ++k) {
        decimal.extra_rows.push_back("1110000000");
        decimal.extra_labels.push_back("FW" + std::to_string(k));
        decimal.extra_person_weights.push_back(".1");
    }
    decimal.extra_rows.insert(decimal.extra_rows.end(), {"1111111100", "1111111100"});
    decimal.extra_labels.insert(decimal.extra_labels.end(), {"MX1", "MX2"});
    decimal.extra_person_weights.insert(decimal.extra_person_weights.end(), {".3", "1.7"});
    whole.extra_rows = {"1110000000", "1111111100"};
    whole.extra_labels = {"FW0", "MX1"};
    whole.extra_person_weights = {"1", "2"};
    SummaryRun a(weighted_set(decimal)), b(weighted_set(whole));
    expect_same_drawings(a, b, {"1.1", "1.2", "1.12", "2.1", "2.5", "12.2", "28.2"});
}

TEST(WeightedCounts, ItemsWhoseDecimalWeightsAddUpToWholeNumbersAreDrawnAsThoseNumbers) {
    // Two copies of item 10 of weights .3 and 1.7 against one of weight 2.
    WeightedSet decimal, whole;
    decimal.extra_item_weights = {".3", "1.7"};
    whole.extra_item_weights = {"2"};
    SummaryRun a(weighted_set(decimal)), b(weighted_set(whole));
    expect_same_drawings(a, b, {"1.1", "1.3", "16.3", "27.2"});
}
