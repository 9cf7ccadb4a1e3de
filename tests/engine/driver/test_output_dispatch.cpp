// Requests for Tables and output files after a run, and the Table-list file at its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/driver/table_registry.h"
#include "engine/report/request_frame.h"
#include "engine/report/table_list.h"
#include "tests/engine/driver/finished_run.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct TableFiles : ::testing::Test {
    FinishedRun f;
    korvelan::Run& run = f.run;
    std::string dir() const { return run.rs.output_directory; }
    std::string id() const { return run.rs.run_id; }
    void SetUp() override {
        ASSERT_EQ(f.exit_status, 0) << f.host.screen();
        f.host.mirror_to_disk = true;
        f.host.settings.editor = "editor";
        f.host.menus.clear();
        f.host.lines.clear();
    }
};

}  // namespace

TEST_F(TableFiles, ClashNamesRunFrom41To99ThenThreeDigits) {
    EXPECT_EQ(table_file_name(run, 3, 0), "03-" + id() + "kv.txt");
    EXPECT_EQ(table_file_name(run, 40, 0), "40-" + id() + "kv.txt");
    EXPECT_EQ(table_file_name(run, 3, 41), "41-" + id() + "kv.txt");
    EXPECT_EQ(table_file_name(run, 3, 100), "100" + id() + "kv.txt");
    write_file(dir() + table_file_name(run, 3, 0), "earlier\r\n");
    request_table_after_run(run, "3");
    request_table_after_run(run, "3");
    EXPECT_EQ(f.host.menus,
              (std::vector<std::string>{"Edit Table 3=" + dir() + "41-" + id() + "kv.txt",
                                        "Edit Table 3=" + dir() + "42-" + id() + "kv.txt"}));
    EXPECT_TRUE(f.host.shows("  Processing Table 3"));
    // Every name taken up to 999: the request says so and writes nothing.
    for (int clash = 43; clash <= 999; ++clash) write_file(dir() + table_file_name(run, 3, clash), "");
    f.host.menus.clear();
    request_table_after_run(run, "3");
    EXPECT_TRUE(f.host.shows("PROBLEM: NO FREE TABLE FILE NAME FOR TABLE 3")) << f.host.screen();
    EXPECT_TRUE(f.host.menus.empty());
    // The Table-file counter is not a control value: MPROX= keeps what the run ended with.
    EXPECT_EQ(run.cv.prox_limit, 0);
}

TEST_F(TableFiles, EmptyTableFileIsListedButNotOpened) {
    request_table_after_run(run, "40");
    const std::string path = dir() + "40-" + id() + "kv.txt";
    EXPECT_EQ(f.host.menus, (std::vector<std::string>{"Edit Table 40=" + path}));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_TRUE(f.host.programs_started.empty());
    EXPECT_EQ(f.host.line_file_closes, 1);
}

TEST_F(TableFiles, TableFileThatCannotBeCreatedEndsTheRequest) {
    f.host.create_status = 5;
    run.rep.request.letters[0] = 'Y';
    request_table_after_run(run, "3.2");
    EXPECT_TRUE(f.host.shows("PROBLEM: Access denied (5): for file: 03-" + id() + "kv.txt in mode W"))
        << f.host.screen();
    EXPECT_TRUE(f.host.menus.empty());  // no "Edit Table 0" for a file that does not exist
    EXPECT_FALSE(f.host.shows("Processing Table"));
    EXPECT_EQ(run.rep.request.letters[0], ' ');
    EXPECT_EQ(run.rep.request.selectors[0], 0.0f);
}

TEST_F(TableFiles, RequestTextNamesSubTableAndThirdNumber) {
    request_table_after_run(run, "17.3.2");
    // The request is reset at its end; the menu entry shows which Table ran.
    EXPECT_EQ(f.host.menus.size(), 1u);
    EXPECT_EQ(f.host.menus[0].rfind("Edit Table 17=", 0), 0u);
    EXPECT_EQ(run.rep.request.letters[0], ' ');
    EXPECT_EQ(run.rep.request.letters[7], ' ');
}

TEST_F(TableFiles, EveryRequestStartsWithPositiveEntryLists) {
    run.rep.item_order.entries = {3, -1, 2};
    run.rep.person_order.entries = {-4};
    ASSERT_TRUE(begin_output_request(run));
    EXPECT_EQ(run.rep.item_order.entries, (std::vector<std::int32_t>{3, 1, 2}));
    EXPECT_EQ(run.rep.person_order.entries, (std::vector<std::int32_t>{4}));
    EXPECT_EQ(run.rep.heading_flag, 'Y');
}

TEST_F(TableFiles, OnlyTheUsersOwnListIsAddedToTheEditMenu) {
    write_file(f.dir.file("list.txt"), "3\r\n");
    write_file(run.rs.temp_directory + "ZTF" + id() + "kv.txt", "3\r\n");
    run.cv.tfile = run.rs.temp_directory + "ZTF" + id() + "kv.txt";
    ASSERT_TRUE(open_table_selection_file(run));
    EXPECT_TRUE(f.host.menus.empty());
    run.cv.tfile = f.dir.file("list.txt");
    ASSERT_TRUE(open_table_selection_file(run));
    EXPECT_EQ(f.host.menus, (std::vector<std::string>{"Edit TFILE=" + f.dir.file("list.txt")}));
    TableRequest request;
    EXPECT_EQ(read_table_selection_line(run, request), 0);
    EXPECT_EQ(request.table, 3);
    EXPECT_EQ(read_table_selection_line(run, request), -1);
}

TEST(TableRegistry, EveryTableNumberHasOneEntry) {
    for (int t = 1; t <= 40; ++t) {
        int entries = 0;
        for (const TableEntry& e : table_registry()) entries += t >= e.first && t <= e.last;
        EXPECT_EQ(entries, 1) << "Table " << t;
    }
    ASSERT_NE(find_table_entry(99), nullptr);
    EXPECT_EQ(find_table_entry(41), nullptr);
    EXPECT_EQ(find_table_entry(6)->side, ReportSide::Persons);
    EXPECT_EQ(find_table_entry(10)->side, ReportSide::Items);
}

// ---- The Tables of the control file, in a whole batch run ------------------------------------

namespace {
struct ListedTables : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    ProgramResult run(const std::string& extra_control) {
        write_file(dir.file("c.txt"),
                   "TITLE=Listed\nNI=4\nITEM1=1\nNAME1=6\n" + extra_control +
                       "&END\nEND LABELS\n1100 A\n1110 B\n1000 C\n0110 D\n1010 E\n");
        return run_korvelan(dir.path, {"c.txt", "r.txt", "BATCH=Y"}, temp.path, 30);
    }
    // The Tables processed, in order, from the console lines.
    static std::vector<std::string> processed(const std::string& screen) {
        std::vector<std::string> tables;
        const std::string mark = "  Processing Table ";
        for (std::size_t at = screen.find(mark); at != std::string::npos;
             at = screen.find(mark, at + 1)) {
            const std::size_t end = screen.find('\n', at);
            tables.push_back(screen.substr(at + mark.size(), end - at - mark.size()));
        }
        return tables;
    }
};
}  // namespace

TEST_F(ListedTables, SelectionFirstThenTheListInItsOrder) {
    write_file(dir.file("tables.txt"), "10.3 ; note\r\n; only a comment\r\n45\r\n\"3\r\nabc\r\n14\r\n");
    ProgramResult r = run("TABLES=00000000000001\nTFILE=tables.txt\n");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_EQ(processed(r.screen), (std::vector<std::string>{"14", "10", "14"})) << r.screen;
}

TEST_F(ListedTables, MissingListIsReportedAndTheRunGoesOnToFail) {
    // The run goes on, but the Tables of the list were not written: it ends as failed.
    ProgramResult r = run("TABLES=" + std::string(31, '0') + "1\nTFILE=none.txt\n");
    EXPECT_EQ(r.exit_status, 1) << r.screen;
    EXPECT_NE(r.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:"), std::string::npos) << r.screen;
    EXPECT_EQ(processed(r.screen), (std::vector<std::string>{"32"}));
    EXPECT_NE(r.screen.find("PROBLEM OPENING TABLE FILE: none.txt"), std::string::npos) << r.screen;
    const std::string report = read_file(dir.file("r.txt"));
    EXPECT_NE(report.find("PROBLEM OPENING TABLE FILE: none.txt"), std::string::npos);
    EXPECT_EQ(report.find("TABLE 32"), std::string::npos);
}

TEST_F(ListedTables, InlineListIsReadInItsOrder) {
    ProgramResult r = run("TFILE=*\n22\n3.1\n*\n");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_EQ(processed(r.screen), (std::vector<std::string>{"22", "3"})) << r.screen;
}

// ---- Sorts of the Table registry --------------------------------------------------------------

TEST_F(TableFiles, AfterTheRunEveryRequestSortsAfresh) {
    request_table_after_run(run, "6");
    request_table_after_run(run, "7");
    EXPECT_TRUE(f.host.shows("  Sorting by Fit for Table 6")) << f.host.screen();
    EXPECT_TRUE(f.host.shows("  Sorting by Fit for Table 7"));
    // The measured persons (not the two extremes), the larger mean-square first.
    const AnalysisArrays& a = run.arrays;
    const EntryOrder& order = run.rep.person_order;
    ASSERT_EQ(order.count, 7);
    for (int k = 0; k < order.count; ++k) EXPECT_EQ(a.person_status[order.entries[k]], 1);
    auto misfit = [&](int p) { return std::max(a.person_infit_mnsq[p], a.person_outfit_mnsq[p]); };
    for (int k = 1; k < order.count; ++k)
        EXPECT_GE(misfit(order.entries[k - 1]) + 0.0001f, misfit(order.entries[k]));
    // Measure order keeps the extremes, highest first.
    request_table_after_run(run, "17");
    ASSERT_EQ(run.rep.person_order.count, 9);
    EXPECT_EQ(a.person_status[run.rep.person_order.entries[0]], 0);
    EXPECT_EQ(a.person_status[run.rep.person_order.entries[8]], -1);
    EXPECT_EQ(run.rep.person_sort_state, 'M');
}

TEST_F(ListedTables, DuringTheRunASecondFitOrderedTableIsNotSortedAgain) {
    write_file(dir.file("t.txt"), "6\r\n7\r\n10.4\r\n");
    ProgramResult r = run("TFILE=t.txt\nOUTFIT=N\n");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find("  Sorting by Infit for Table 6"), std::string::npos) << r.screen;
    EXPECT_EQ(r.screen.find("Sorting by Infit for Table 7"), std::string::npos) << r.screen;
    // Sub-table 4 alone still needs the fit order of the items.
    EXPECT_NE(r.screen.find("  Sorting by Infit for Table 10"), std::string::npos) << r.screen;
}

TEST_F(ListedTables, TablesStartTheReportAndTheIterationRecordFollowsThem) {
    write_file(dir.file("t.txt"), "3.1\r\n");
    // STEPT=N: Table 3 without a sub-table is 3.1 alone, like the listed 3.1.
    ProgramResult r = run("TABLES=001\nSTEPT=N\nTFILE=t.txt\n");
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::vector<std::string> lines = crlf_lines(read_file(dir.file("r.txt")));
    ASSERT_GT(lines.size(), 10u);
    // The first heading opens no page; the next one does, after a blank line.
    EXPECT_EQ(lines[0].substr(0, 17), "TABLE 3.1 Listed ");
    EXPECT_EQ(lines[0].substr(62, 17).size(), 17u);
    EXPECT_EQ(lines[1].substr(0, 7), "INPUT: ");
    EXPECT_EQ(lines[2], std::string(80, '-'));
    std::vector<std::size_t> headings;
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].find("TABLE ") < 2) headings.push_back(k);
    ASSERT_GE(headings.size(), 5u);
    EXPECT_EQ(lines[headings[1]].substr(0, 10), "\fTABLE 3.1");
    EXPECT_EQ(lines[headings[1] - 1], " ");
    // Both copies of 3.1 hold the same lines; the banner and iteration record come after them.
    const std::vector<std::string> first(lines.begin() + 1, lines.begin() + headings[1] - 1);
    const std::vector<std::string> second(lines.begin() + headings[1] + 1,
                                          lines.begin() + headings[1] + first.size() + 1);
    EXPECT_EQ(first, second);
    EXPECT_EQ(lines[headings[2]].substr(0, 10), "\fTABLE 0.1");
}

TEST_F(TableFiles, TableFifteenOfUnlabelledItemsIsTableFourteenAgain) {
    run.cv.item_numbering = 'Y';
    run.cv.table_selection = std::string(40, '0');
    run.cv.dist_flag = 'N';  // the distractor table would leave the item letter blank
    request_table_after_run(run, "15");
    EXPECT_EQ(run.rep.item_sort_state, 'E');  // listed in entry order, as Table 14
    EXPECT_EQ(run.rep.item_order.count, run.arrays.items);
    // With Table 14 also asked for in TABLES=, Table 15 does nothing at all.
    run.cv.table_selection[13] = '1';
    request_table_after_run(run, "15");
    EXPECT_EQ(run.rep.item_sort_state, ' ');
    // Labelled items are sorted by label.
    run.cv.item_numbering = 'N';
    request_table_after_run(run, "15");
    EXPECT_EQ(run.rep.item_sort_state, 'A');
}
