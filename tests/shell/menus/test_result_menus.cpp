// The result menus as built for a run and switched around requests, and the handlers' choices
// that need no request served.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/menus/result_handlers.h"
#include "shell/menus/result_menus.h"
#include "tests/support/test_host.h"

namespace korvelan {
namespace {

using testing::TestHost;
constexpr int kTables = menu_bar::kOutputTables;
constexpr int kFiles = menu_bar::kOutputFiles;
constexpr int kCompare = menu_bar::kCompareFiles;

struct Built {
    TestHost host;
    Run run;
    MenuModel menus;
    explicit Built(const char* item, const char* person, bool weights = false) {
        run.host = &host;
        run.cv.item_word = item;
        run.cv.person_word = person;
        run.cv.csv = 'N';
        run.cv.hlines = 'Y';
        run.input.item_weights_present = weights;
        menus.append(menu_bar::kBatch, 0, "Edit batch file", nullptr);
        menus.append(menu_bar::kBatch, 0, "Run batch file", nullptr);
        build_result_menus(menus, run, menu_flag::kGrayed, result_handlers(run, menus));
    }
    const MenuEntry& at(int menu, int position) const { return *menus.entry(menu, position); }
    void choose(int menu, int position) {
        const MenuEntry& e = at(menu, position);
        (*menus.handlers().find(e.id))(MenuChoice{e.id, e.checked, e.text});
    }
    std::vector<int> checked(int menu, int first, int last) const {
        std::vector<int> c;
        for (int i = first; i <= last; ++i)
            if (at(menu, i).checked) c.push_back(i);
        return c;
    }
};

TEST(ResultMenus, EntriesCarryTheEntityWordsAndStandWhereTheHandlersExpectThem) {
    Built b("QUESTION  ", "PERSON");
    ASSERT_EQ(b.menus.count(kTables), 45);
    EXPECT_EQ(b.at(kTables, 3).text, " 3.2  Rating scale structure");
    EXPECT_EQ(b.at(kTables, 4).text, "");  // the blank entry in place of "Weight selection"
    EXPECT_EQ(b.menus.handlers().find(b.at(kTables, 4).id), nullptr);
    EXPECT_EQ(b.at(kTables, 6).text, "10. QUESTION (column): fit order");
    EXPECT_EQ(b.at(kTables, 15).text, "23. QUESTION: principal components");
    EXPECT_TRUE(b.at(kTables, 16).bar_break);
    EXPECT_TRUE(b.at(kTables, 20).separator);
    EXPECT_EQ(b.at(kTables, 30).text, "24. PERSON: principal components");
    EXPECT_TRUE(b.at(kTables, 31).bar_break);
    EXPECT_EQ(b.at(kTables, 36).text, " 7.2.1 PERSON Keyforms: unexpected only");
    EXPECT_EQ(b.at(kTables, 45).text, "28. PERSON: subtotals");
    EXPECT_EQ(b.at(menu_bar::kDiagnosis, 3).text, "A. Item Polarity");
    EXPECT_EQ(b.at(menu_bar::kDiagnosis, 9).text, "G. Separation Table");
    ASSERT_EQ(b.menus.count(kFiles), 22);
    EXPECT_EQ(b.at(kFiles, 8).text, "QUESTION File IFILE=");
    EXPECT_EQ(b.at(kFiles, 14).text, "QUESTION-Step File ISFILE=");
    EXPECT_EQ(b.at(kFiles, 22).text, "Simulated Data File SIMUL=");
    ASSERT_EQ(b.menus.count(kCompare), 11);
    EXPECT_EQ(b.at(kCompare, 7).text, "\"QUESTION\"");
    EXPECT_EQ(b.at(kCompare, 11).text, "Right File =");
    EXPECT_EQ(b.checked(kCompare, 2, 11), (std::vector<int>{2, 7}));
    EXPECT_TRUE(b.at(kCompare, 5).grayed);
    // Built grayed during the run, with the current layout checked.
    EXPECT_TRUE(b.at(kTables, 6).grayed);
    EXPECT_TRUE(b.at(menu_bar::kBatch, 4).grayed);
    EXPECT_EQ(b.checked(kFiles, 2, 22), (std::vector<int>{2, 5}));

    Built w("ITEM", "PERSON", true);
    ASSERT_EQ(w.menus.count(kTables), 45);
    EXPECT_EQ(w.at(kTables, 3).text, "Weight selection");
    EXPECT_EQ(w.at(kTables, 4).text, " 3.2  Rating scale structure");
}

TEST(ResultMenus, SwitchingKeepsTheMarksOfTheCurrentSettings) {
    Built b("ITEM", "PERSON");
    b.run.cv.ifile = "items.txt";
    b.run.cv.xfile = "obs.txt";
    b.run.cv.prcomp = 'N';
    set_result_menus_enabled(b.menus, b.run, menu_flag::kEnabled);
    EXPECT_EQ(b.checked(kFiles, 2, 22), (std::vector<int>{2, 5, 8, 20}));
    EXPECT_FALSE(b.at(kFiles, 8).grayed);
    EXPECT_FALSE(b.at(menu_bar::kGraphs, 1).grayed);
    EXPECT_FALSE(b.at(menu_bar::kBatch, 3).grayed);
    // Without components the component Tables are the ones grayed; the maps stay.
    EXPECT_TRUE(b.at(kTables, 15).grayed);
    EXPECT_TRUE(b.at(kTables, 30).grayed);
    EXPECT_FALSE(b.at(kTables, 14).grayed);
    EXPECT_FALSE(b.at(kTables, 28).grayed);
    EXPECT_TRUE(b.at(kCompare, 5).grayed);  // no right file yet
    set_result_menus_enabled(b.menus, b.run, menu_flag::kGrayed);
    EXPECT_TRUE(b.at(kFiles, 2).checked);
    EXPECT_TRUE(b.at(kFiles, 2).grayed);
    EXPECT_TRUE(b.at(menu_bar::kGraphs, 5).grayed);
}

TEST(ResultMenus, EntryTextsGiveTheirRequests) {
    auto t = [](const char* text) { return table_request_of_entry(text); };
    ASSERT_TRUE(t("17.3 PERSON Keyforms: measure"));
    EXPECT_EQ(t("17.3 PERSON Keyforms: measure")->table, 17);
    EXPECT_EQ(t("17.3 PERSON Keyforms: measure")->selectors[0], 3.0f);
    EXPECT_EQ(std::string(t("17.3 P")->letters.data(), 8), "Y       ");
    const TableRequest keyform = *t(" 7.2.1 PERSON Keyforms: unexpected only");
    EXPECT_EQ(keyform.table, 7);
    EXPECT_EQ(keyform.selectors[0], 2.0f);
    EXPECT_EQ(keyform.selectors[7], 1.0f);
    EXPECT_EQ(std::string(keyform.letters.data(), 8), "Y      Y");
    const TableRequest whole = *t("10. ITEM (column): fit order");
    EXPECT_EQ(whole.table, 10);
    EXPECT_EQ(whole.selectors[0], 0.0f);
    EXPECT_EQ(std::string(whole.letters.data(), 8), "        ");
    EXPECT_EQ(t(" 3.2  Rating scale structure")->selectors[0], 2.0f);
    EXPECT_FALSE(t(" "));
    EXPECT_FALSE(t("Weight selection"));
    EXPECT_EQ(t("12. Q2.5: map")->table, 12);  // a blank after the number ends the scan

    const TableRequest g = *diagnosis_request("G. Separation Table");
    EXPECT_EQ(g.table, 3);
    EXPECT_EQ(g.selectors[0], 1.0f);
    EXPECT_EQ(g.letters[0], 'Y');
    EXPECT_EQ(diagnosis_request("B. Empirical Item-Category Measures")->selectors[0], 5.0f);
    EXPECT_EQ(diagnosis_request("D. Dimensionality Map")->table, 23);
    EXPECT_FALSE(diagnosis_request("H. Nothing"));

    EXPECT_EQ(output_file_code("PCORFILE"), '2');
    EXPECT_EQ(output_file_code("ISFILE"), 'J');
    EXPECT_EQ(output_file_code("GUTTMAN"), 'Y');
    EXPECT_EQ(output_file_code("SIMUL"), 'Z');
    EXPECT_EQ(output_file_code("SCFILE"), 'C');
    EXPECT_EQ(output_file_code("SFILE"), 'S');
}

TEST(ResultMenus, LayoutEntriesMoveTheirCheckAndRequestNothing) {
    Built b("ITEM", "PERSON");
    b.run.cv.csv = 'Y';
    set_result_menus_enabled(b.menus, b.run, menu_flag::kEnabled);
    EXPECT_EQ(b.checked(kFiles, 2, 6), (std::vector<int>{3, 5}));
    b.choose(kFiles, 4);  // "File Format (&tabs) CSV=TAB"
    EXPECT_EQ(b.run.cv.csv, 'T');
    b.choose(kFiles, 6);
    EXPECT_EQ(b.run.cv.hlines, 'N');
    EXPECT_EQ(b.checked(kFiles, 2, 6), (std::vector<int>{4, 6}));
    EXPECT_TRUE(b.host.lines.empty());  // no request was served
    EXPECT_EQ(b.run.rep.request.table, 0);
}

TEST(ResultMenus, ComparisonSideFollowsTheEntryChosen) {
    Built b("QUESTION", "INDIVIDUAL");
    set_result_menus_enabled(b.menus, b.run, menu_flag::kEnabled);
    b.choose(kCompare, 8);
    EXPECT_EQ(b.run.rs.comparison.side, 'P');
    EXPECT_EQ(b.checked(kCompare, 7, 9), std::vector<int>{8});
    b.choose(kCompare, 7);
    EXPECT_EQ(b.run.rs.comparison.side, 'I');  // not the "Q" of the word
    EXPECT_EQ(b.checked(kCompare, 7, 9), std::vector<int>{7});
    b.choose(kCompare, 4);
    EXPECT_EQ(b.run.rs.comparison.column, 'I');
    EXPECT_EQ(b.checked(kCompare, 2, 4), std::vector<int>{4});

    // A cancelled right prompt leaves the bare entry and "Do comparison" grayed.
    b.choose(kCompare, 11);
    EXPECT_EQ(b.host.dialog_titles.back(), "Right file in comparison");
    EXPECT_EQ(b.at(kCompare, 11).text, "Right File =");
    EXPECT_FALSE(b.at(kCompare, 11).checked);
    EXPECT_TRUE(b.at(kCompare, 5).grayed);
    b.host.file_answers = {"/data/right.txt", "left.txt"};
    b.choose(kCompare, 11);
    EXPECT_EQ(b.at(kCompare, 11).text, "Right File =/data/right.txt");
    EXPECT_TRUE(b.at(kCompare, 11).checked);
    EXPECT_FALSE(b.at(kCompare, 5).grayed);
    // The left prompt rebuilds the tail: a relative answer is used from the current directory.
    b.choose(kCompare, 9);
    EXPECT_EQ(b.host.dialog_titles.back(), "Left file in comparison");
    ASSERT_EQ(b.menus.count(kCompare), 11);
    EXPECT_EQ(b.at(kCompare, 9).text, "Left File =left.txt");
    EXPECT_TRUE(b.at(kCompare, 10).separator);
    EXPECT_EQ(b.at(kCompare, 11).text, "Right File =/data/right.txt");
    EXPECT_EQ(b.run.rs.comparison.side, 'L');
    EXPECT_EQ(b.run.rs.comparison.left_path, std::filesystem::current_path().string() + "/left.txt");
    EXPECT_EQ(b.checked(kCompare, 7, 11), (std::vector<int>{9, 11}));
    // The rebuilt entries keep their handler; a cancelled left prompt leaves no side.
    b.choose(kCompare, 9);
    EXPECT_EQ(b.run.rs.comparison.side, ' ');
    EXPECT_EQ(b.checked(kCompare, 7, 11), std::vector<int>{11});
    EXPECT_TRUE(b.at(kCompare, 5).grayed);
}

}  // namespace
}  // namespace korvelan
