// Keyforms on whole runs: Table 7 (from 7.2, misfitting persons) and 17.3 on the small
// dichotomous and rating-scale sets byte for byte; every keyform's item lines against the
// scored data and the item file; the entry order of CATREF=-3 and the fit order of a later
// Table; the message of an axis that cannot be labelled; the zone rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/tables/keyforms.h"
#include "engine/tables/measure_axis_lines.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Sub-tables first, first + 1, ... of Table t, each without its heading line, one after another.
std::vector<std::string> sub_tables_from(const std::string& report, int t, int first, int* count) {
    std::vector<std::string> all;
    *count = 0;
    for (int s = first;; ++s) {
        std::vector<std::string> b = table_block(report, std::to_string(t) + "." + std::to_string(s));
        if (b.empty()) break;
        all.insert(all.end(), b.begin() + 1, b.end());
        ++*count;
    }
    return all;
}

struct Keyform {
    int person = 0;
    std::vector<int> items;                 // in line order
    std::map<int, std::string> plot;        // item -> plot columns 0..60 of its line
};

// The keyforms of the lines: the person from the line under the column heading, the items from
// the lines between the two axis rules.
std::vector<Keyform> read_keyforms(const std::vector<std::string>& t) {
    std::vector<Keyform> forms;
    int rules = 0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        const std::string& l = t[k];
        if (l.rfind("NUMBER - NAME", 0) == 0) {
            forms.push_back(Keyform{std::stoi(t[k + 1].substr(0, 6)), {}, {}});
            rules = 0;
        } else if (l.rfind("|-", 0) == 0) {
            ++rules;
        } else if (rules == 1 && l.size() > 66 && !forms.empty()) {
            const int item = std::stoi(l.substr(62, 4));
            forms.back().items.push_back(item);
            forms.back().plot[item] = l.substr(0, 61);
        }
    }
    return forms;
}

}  // namespace

TEST(Keyforms, GoldensAndTheLinesOfEveryPerson) {
    for (bool rating : {false, true}) {
        const std::string settings = "TFILE=*\n7\n17.3\n*\n";
        SummaryRun r(rating ? rating_scale_set(settings) : dichotomous_set(settings));
        ASSERT_EQ(r.exit_status, 0) << r.host.screen();
        const std::string report = r.report();
        const std::string set = rating ? "rating" : "dichotomous";
        int misfitting = 0, all = 0;
        const std::vector<std::string> t7 = sub_tables_from(report, 7, 2, &misfitting);
        const std::vector<std::string> t17 = sub_tables_from(report, 17, 3, &all);
        expect_golden("tables/keyforms_" + set + "_7.txt", crlf_text(t7));
        expect_golden("tables/keyforms_" + set + "_17.3.txt", crlf_text(t17));
        EXPECT_EQ(std::count(t7.begin(), t7.end(),
                             "KEY: .1.=OBSERVED, 1=EXPECTED, (1)=OBSERVED, BUT VERY UNEXPECTED."),
                  1);

        const std::vector<MeasureRecord> persons = r.persons(), items = r.items();
        const std::vector<std::vector<int>> scores = r.scores();
        std::map<int, MeasureRecord> item_of;
        for (const MeasureRecord& i : items) item_of[i.entry] = i;
        int with_keyform = 0, misfits = 0;
        for (const MeasureRecord& p : persons) {
            with_keyform += p.status >= -1;
            misfits += p.status >= 1 && std::max(p.fit[0], p.fit[2]) >= 1.2;
        }
        EXPECT_EQ(all, with_keyform);
        EXPECT_EQ(misfitting, misfits);
        for (const Keyform& f : read_keyforms(t17)) {
            // Every measured item the person answered, highest measure first, its response shown.
            std::vector<int> expected;
            for (const MeasureRecord& i : items)
                if (i.status >= 1 && scores[static_cast<std::size_t>(f.person - 1)]
                                           [static_cast<std::size_t>(i.entry - 1)] != 255)
                    expected.push_back(i.entry);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return item_of[a].measure > item_of[b].measure;
            });
            EXPECT_EQ(f.items, expected) << set << " person " << f.person;
            for (int i : f.items) {
                const int x = scores[static_cast<std::size_t>(f.person - 1)][static_cast<std::size_t>(i - 1)];
                EXPECT_NE(f.plot.at(i).find(static_cast<char>('0' + x)), std::string::npos)
                    << set << " person " << f.person << " item " << i;
            }
        }
    }
}

TEST(Keyforms, EntryOrderOfCategoryReferenceMinusThreeAndTheNextFitOrder) {
    SummaryRun r(rating_scale_set("TFILE=*\n10\n17.3\n11\n*\nCATREF=-3\n"));
    SummaryRun alone(rating_scale_set("TFILE=*\n11\n*\n"));
    ASSERT_EQ(r.exit_status, 0);
    ASSERT_EQ(alone.exit_status, 0);
    int n = 0;
    for (const Keyform& f : read_keyforms(sub_tables_from(r.report(), 17, 3, &n))) {
        EXPECT_TRUE(std::is_sorted(f.items.begin(), f.items.end())) << "person " << f.person;
        EXPECT_FALSE(f.items.empty());
    }
    EXPECT_GT(n, 10);
    // The keyforms reordered the item list: Table 11 sorts it again by fit.
    const std::vector<std::string> after = table_block(r.report(), "11.1");
    const std::vector<std::string> own = table_block(alone.report(), "11.1");
    ASSERT_GT(after.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(after.begin() + 1, after.end()),
              std::vector<std::string>(own.begin() + 1, own.end()));
}

TEST(Keyforms, AnAxisWithoutRoomForItsLabelsIsNotDrawn) {
    // From -10 to 10 with ticks at least 3 columns apart: 20 ticks of 3 columns.
    SummaryRun r(dichotomous_set("TFILE=*\n17.3 -10 10 3\n*\n"));
    ASSERT_EQ(r.exit_status, 0);
    EXPECT_TRUE(r.shows(" TABLE 17.3 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS"));
    // In batch mode the message stands in the report too, in place of the keyforms.
    EXPECT_NE(r.report().find("TABLE 17.3 COULD NOT BE FORMATTED"), std::string::npos);
    EXPECT_EQ(r.report().find("TABLE 17.3 Entry statistics"), std::string::npos);
}

TEST(Keyforms, ZonesOfObservedAndExpectedResponses) {
    // Categories 0-2 of an item at 1.0, half-point boundaries -1 (category 1) and 1 (category 2).
    const std::vector<float> half{0, 0, -1, 1};
    const CategoryZones z{&half, 1, 2, 1.0f};
    EXPECT_FALSE(observed_out_of_zone(z, 0, 0.0f));  // on the boundary: in the zone
    EXPECT_TRUE(observed_out_of_zone(z, 0, 0.01f));
    EXPECT_FALSE(observed_out_of_zone(z, 1, 0.0f));
    EXPECT_FALSE(observed_out_of_zone(z, 1, 2.0f));
    EXPECT_TRUE(observed_out_of_zone(z, 1, 2.01f));
    EXPECT_TRUE(observed_out_of_zone(z, 2, 1.99f));
    EXPECT_FALSE(observed_out_of_zone(z, 2, 9.0f));
    // The expected category: above the lower boundary, at or below the upper one.
    EXPECT_TRUE(expected_in_zone(z, 0, 0.0f));
    EXPECT_FALSE(expected_in_zone(z, 1, 0.0f));
    EXPECT_TRUE(expected_in_zone(z, 1, 2.0f));
    EXPECT_FALSE(expected_in_zone(z, 2, 2.0f));
    EXPECT_TRUE(expected_in_zone(z, 2, 2.01f));
}

TEST(Keyforms, CategoryTextsThroughTheResponseAlphabet) {
    korvelan::Run run;
    run.cv.codes = "0123";
    run.cv.codes_length = 4;
    run.cv.categs = 4;
    run.cv.xwide = 1;
    run.cv.ni = 1;
    run.arrays.items = 1;
    EXPECT_EQ(category_code_text(run, 2, 1), "2");
    EXPECT_EQ(category_code_text(run, 7, 1), "7");  // no code scores 7: its digit
    // A code read as the number n shows character n + 1 of the "AL" setting.
    run.cv.alphabet = "WXYZ";
    EXPECT_EQ(category_code_text(run, 2, 1), "Y");
    EXPECT_EQ(category_code_text(run, 0, 1), "W");
    run.cv.alphabet = "WX";
    EXPECT_EQ(category_code_text(run, 2, 1), "2");  // beyond the setting: the code itself
}

TEST(Keyforms, MarkersStayOnThePlotAtBothEdges) {
    // An axis from -1 to 1: most persons and observed responses fall beyond an edge and are
    // drawn at it, with both markers of each pair still on the plot.
    SummaryRun r(rating_scale_set("TFILE=*\n17.3 -1 1\n*\n"));
    ASSERT_EQ(r.exit_status, 0);
    int n = 0, at_edge = 0;
    const std::vector<std::string> t = sub_tables_from(r.report(), 17, 3, &n);
    for (const Keyform& f : read_keyforms(t))
        for (const auto& [item, plot] : f.plot) {
            EXPECT_EQ(std::count(plot.begin(), plot.end(), '('), std::count(plot.begin(), plot.end(), ')'))
                << "person " << f.person << " item " << item << ": " << plot;
            EXPECT_EQ(std::count(plot.begin(), plot.end(), '.') % 2, 0)
                << "person " << f.person << " item " << item << ": " << plot;
            at_edge += plot.find_first_not_of(" |") == 0 || plot.find_last_not_of(" |") == 60;
        }
    EXPECT_GT(at_edge, 10);
}
