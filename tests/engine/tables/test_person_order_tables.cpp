// Tables 17, 18 and 19 of the small dichotomous set, the person statistics in measure, entry and
// label order, byte for byte; and each order again from the PFILE=: measures descending with
// equal measures in ascending entry number, every person in entry order, and the labels from
// the PSORT= column ascending.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan::testing;

namespace {

// The lines after the dated heading line, through the bottom rule.
std::vector<std::string> golden_part(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    while (!block.empty() && block.back().rfind("+-", 0) != 0) block.pop_back();
    return block;
}

std::vector<int> row_entries(const std::vector<std::string>& block) {
    std::vector<int> entries;
    for (const std::string& l : block)
        if (l.size() > 8 && l[0] == '|' && std::isdigit(static_cast<unsigned char>(l[6])))
            entries.push_back(std::stoi(l.substr(1, 6)));
    return entries;
}

}  // namespace

TEST(PersonOrderTables, MeasureEntryAndLabelOrder) {
    SummaryRun analysis(dichotomous_set("PSORT=3\nTABLES=00000000000000001110\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    std::map<std::string, std::vector<std::string>> t;
    for (const char* id : {"17.1", "18.1", "19.1"}) {
        t[id] = table_block(report, id);
        ASSERT_GT(t[id].size(), 14u) << id;
        expect_golden(std::string("tables/person_statistics_") + id + ".txt",
                      crlf_text(golden_part(t[id])));
    }
    EXPECT_EQ(t["17.1"][5], "         PERSON STATISTICS:  MEASURE ORDER");
    EXPECT_EQ(t["18.1"][5], "         PERSON STATISTICS:  ENTRY ORDER");
    EXPECT_EQ(t["19.1"][5], "         PERSON STATISTICS:  ALPHA ORDER ON COLUMN: 3.");
    EXPECT_EQ(t["17.1"][9].substr(59), "|CORR.|DISPLACE| PERSON|");

    std::map<int, MeasureRecord> persons;
    for (const MeasureRecord& r : analysis.persons()) persons[r.entry] = r;
    ASSERT_EQ(persons.size(), 12u);

    // Measure order: every person with a measure (extremes too), the highest first, equal
    // measures in ascending entry number.
    const std::vector<int> measure = row_entries(t["17.1"]);
    int measured = 0;
    for (const auto& [e, r] : persons) measured += r.status >= -1;
    EXPECT_EQ(static_cast<int>(measure.size()), measured);
    for (std::size_t k = 1; k < measure.size(); ++k) {
        const MeasureRecord& a = persons.at(measure[k - 1]);
        const MeasureRecord& b = persons.at(measure[k]);
        EXPECT_GE(a.measure, b.measure) << measure[k];
        if (a.measure == b.measure) {
            EXPECT_LT(measure[k - 1], measure[k]);
        }
    }

    std::vector<int> everyone(12);
    for (int e = 1; e <= 12; ++e) everyone[static_cast<std::size_t>(e - 1)] = e;
    EXPECT_EQ(row_entries(t["18.1"]), everyone);

    // Labels from their third character: "P10" (0) first, then "P01" and "P11" (1), ...
    const std::vector<int> alpha = row_entries(t["19.1"]);
    ASSERT_EQ(alpha.size(), 12u);
    for (std::size_t k = 1; k < alpha.size(); ++k) {
        const std::string a = persons.at(alpha[k - 1]).label.substr(2);
        const std::string b = persons.at(alpha[k]).label.substr(2);
        EXPECT_TRUE(a < b || (a == b && alpha[k - 1] < alpha[k])) << a << " " << b;
    }
    EXPECT_EQ(alpha.front(), 10);
}
