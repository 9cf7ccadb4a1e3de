// The categories in use that PROX numbers come out the same from the counts data input gathers
// on its worker threads as from a pass over every response.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/estimation/prox.h"
#include "tests/support/analysis_run.h"

using namespace korvelan;
using namespace korvelan::testing;

// Two rating-scale groups (values 0..3 and 0..2) whose top values only rejected persons use,
// missing responses, persons rejected by PSELECT=, and enough persons
// for several blocks of worker threads; then persons and items of every status.
TEST(CategoryUse, CountsOfDataInputGiveWhatAPassOverTheResponsesGives) {
    const int np = 3000;
    std::vector<std::string> data;
    for (int p = 1; p <= np; ++p) {
        std::string record;
        for (int i = 0; i < 6; ++i) {
            const int v = (p * 7 + i * 5) % 13;
            record += v > 9 ? ' ' : static_cast<char>('0' + v % (i < 3 ? 3 : 2));
        }
        // Only the rejected persons give item 1 a 3 and item 5 a 2.
        if (p % 9 == 4) record[0] = '3', record[4] = '2';
        data.push_back(record + (p % 9 == 4 ? " B" : " A") + std::to_string(p));
    }
    // Few codes are counted by rows of the data, many by single responses.
    for (const char* codes : {"CODES=0123", "CODES=0123456789"}) {
        SCOPED_TRACE(codes);
        std::vector<std::string> control = {"NI=6", "ITEM1=1", "NAME1=8", codes, "GROUPS=111222",
                                            "IREFER=AAABBB", "IVALUEA=0123", "IVALUEB=0122", "PSELECT=A*",
                                            "&END"};
        for (int i = 1; i <= 6; ++i) control.push_back("I" + std::to_string(i));
        control.push_back("END LABELS");
        control.insert(control.end(), data.begin(), data.end());
        AnalysisRun a;
        a.analyse(lines(control));
        ASSERT_EQ(a.exit_status, 0) << a.host.screen();
        AnalysisArrays& arr = a.run.arrays;
        ASSERT_EQ(arr.persons, np);
        arr.scored_response_image.clear();
        for (const auto& row : a.scores())
            for (int x : row) arr.scored_response_image.push_back(static_cast<std::uint8_t>(x));
        const ScoredValueCounts gathered = a.run.input.scored_value_counts;
        ASSERT_EQ(gathered.persons, np);

        auto both = [&] {
            a.run.input.scored_value_counts = gathered;
            const CategoryUse counted = category_values_in_use(a.run);
            a.run.input.scored_value_counts = ScoredValueCounts{};
            return std::pair{counted, category_values_in_use(a.run)};
        };
        const auto [counted, passed] = both();
        EXPECT_EQ(counted, passed);
        EXPECT_EQ(passed[1], (std::vector<char>{1, 1, 1, 0}));  // 3 only from rejected persons
        EXPECT_EQ(passed[2], (std::vector<char>{1, 1, 0}));     // 2 only from rejected persons

        // Statuses of every kind on persons and items: the counts leave out what the pass leaves out.
        const std::vector<std::int8_t> kinds = {1, 2, 0, -1, -2, -3, -4, -5};
        for (int p = 1; p <= np; ++p) arr.person_status[p] = kinds[static_cast<std::size_t>(p) % kinds.size()];
        for (int i = 1; i <= 6; ++i) arr.item_status[i] = kinds[static_cast<std::size_t>(i + 2) % kinds.size()];
        const auto [counted_again, passed_again] = both();
        EXPECT_EQ(counted_again, passed_again);
    }
}
