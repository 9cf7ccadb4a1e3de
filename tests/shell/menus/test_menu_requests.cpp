// Requests chosen from the result menus after a whole run in this process: the Table file, the
// output file and the comparison they write, against what a batch run writes for the same
// control instructions, and the dialogs that some entries open first.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "tests/shell/menus/menu_host.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

namespace korvelan::testing {
namespace {

struct MenuRun {
    ScratchDir dir;
    ScratchDir temp;
    CwdGuard cwd;
    MenuHost host;
    Run run;
    ScriptedDialogs dialogs;
    int exit_status = -1;

    explicit MenuRun(const std::string& settings) {
        run.host = &host;
        host.services.attach(run);
        host.settings.temp_directory = temp.path;
        host.settings.editor = "editor";
        host.mirror_to_disk = true;
        dialogs.run = &run;
        write_file(dir.file("ctl.txt"), dichotomous_set(settings));
        run.args = {dir.file("ctl.txt"), dir.file("report.txt"), "BATCH=Y"};
        exit_status = run_analysis(run);
        host.programs_started.clear();
    }
    ~MenuRun() { delete_work_files_at_exit(run); }
    DynamicOutcome choose(int menu, std::string_view text) {
        const int id = host.id_of(menu, text);
        EXPECT_NE(id, 0) << text;
        return dispatch_dynamic_command(id, host.model, run, dialogs);
    }
};

// The report of a batch run of the program on the data set with the settings.
std::string batch_report(const ScratchDir& dir, const std::string& settings) {
    ScratchDir temp;
    write_file(dir.file("batch.txt"), dichotomous_set(settings));
    const ProgramResult r = run_korvelan(dir.path, {"batch.txt", "report.txt", "BATCH=Y"}, temp.path);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    return read_file(dir.file("report.txt"));
}

// The report from the first heading of Table t to its end.
std::string from_table(const std::string& report, int t) {
    const std::size_t at = report.find("TABLE " + std::to_string(t) + ".");
    if (at == std::string::npos) return {};
    const std::size_t line = report.rfind('\n', at);
    return report.substr(line == std::string::npos ? 0 : line + 1);
}

TEST(MenuRequests, TableEntryWritesTheTableTheBatchRunWritesForTfile) {
    MenuRun m("");
    ASSERT_EQ(m.exit_status, 0) << m.host.screen();
    ASSERT_TRUE(m.run.rs.report_closed);
    EXPECT_FALSE(m.host.model.entry(menu_bar::kOutputTables, 6)->grayed);
    const int edit_entries = m.host.model.count(menu_bar::kEdit);
    EXPECT_EQ(m.choose(menu_bar::kOutputTables, "10. ITEM (column): fit order"), DynamicOutcome::HandlerCalled);
    ASSERT_EQ(m.host.model.count(menu_bar::kEdit), edit_entries + 1);
    const std::string entry = m.host.model.entry(menu_bar::kEdit, edit_entries + 1)->text;
    const std::string path = m.run.rs.output_directory + "10-" + m.run.rs.run_id + "kv.txt";
    EXPECT_EQ(entry, "Edit Table 10=" + path);
    EXPECT_EQ(m.host.programs_started, std::vector<std::string>{"editor " + path});
    EXPECT_EQ(m.host.grayed_at_start, std::vector<bool>{true});  // grayed while served
    EXPECT_FALSE(m.host.model.entry(menu_bar::kOutputTables, 6)->grayed);  // enabled again
    m.choose(menu_bar::kDiagnosis, "G. Separation Table");
    EXPECT_EQ(m.host.model.entry(menu_bar::kEdit, edit_entries + 2)->text.rfind("Edit Table 3=", 0), 0u);
    EXPECT_NE(read_file(m.run.rs.output_directory + "03-" + m.run.rs.run_id + "kv.txt").find("TABLE 3.1 "),
              std::string::npos);

    ScratchDir batch;
    write_file(batch.file("tables.txt"), "10\r\n");
    const std::string report = batch_report(batch, "TFILE=tables.txt\n");
    const std::string table = read_file(path);
    ASSERT_FALSE(table.empty());
    const std::string listed = from_table(report, 10);
    EXPECT_EQ(normalise_report(table, m.dir.path, batch.path),
              normalise_report(listed.substr(0, table.size()), "", ""));
    EXPECT_EQ(listed.substr(table.size(), 1), "\f");  // the batch report goes on with a new page
}

TEST(MenuRequests, PfileAfterTickingCsvIsTheFileTheBatchRunWrites) {
    MenuRun m("");
    ASSERT_EQ(m.exit_status, 0) << m.host.screen();
    m.choose(menu_bar::kOutputFiles, "File Format (&commas) CSV=YES");
    EXPECT_TRUE(m.host.model.entry(menu_bar::kOutputFiles, 3)->checked);
    m.host.file_answers.push_back(m.dir.file("menu_pfile.txt"));
    EXPECT_EQ(m.choose(menu_bar::kOutputFiles, "PERSON File PFILE="), DynamicOutcome::HandlerCalled);
    const std::string written = read_file(m.dir.file("menu_pfile.txt"));
    ASSERT_FALSE(written.empty()) << m.host.screen();

    ScratchDir batch;
    batch_report(batch, "PFILE=p.txt\nCSV=Y\n");
    EXPECT_EQ(written, read_file(batch.file("p.txt")));
}

TEST(MenuRequests, ComparisonWithItemWordQuestionComparesItems) {
    MenuRun m("ITEM=QUESTION\nIFILE=items.txt\n");
    ASSERT_EQ(m.exit_status, 0) << m.host.screen();
    EXPECT_TRUE(m.host.model.entry(menu_bar::kOutputFiles, 8)->checked);  // IFILE= named
    m.choose(menu_bar::kCompareFiles, "Infit Mean-square comparison");
    m.choose(menu_bar::kCompareFiles, "\"QUESTION\"");
    m.host.file_answers.push_back(m.dir.file("items.txt"));
    m.choose(menu_bar::kCompareFiles, "Right File =");
    m.host.line_file.clear();
    EXPECT_EQ(m.choose(menu_bar::kCompareFiles, "Do comparison"), DynamicOutcome::HandlerCalled);
    EXPECT_EQ(m.run.rs.comparison.side, 'I');
    EXPECT_FALSE(m.host.shows("NO COMPARISONS POSSIBLE")) << m.host.screen();
    ASSERT_FALSE(m.host.line_file.empty()) << m.host.screen();
    std::string chart;
    for (const std::string& l : m.host.line_file) chart += l + "\n";
    EXPECT_NE(chart.find("QUESTION"), std::string::npos) << chart;
    EXPECT_EQ(m.host.programs_started.size(), 1u);
}

TEST(MenuRequests, DialogsComeFirstOnceTheReportIsClosed) {
    MenuRun m("");
    ASSERT_EQ(m.exit_status, 0) << m.host.screen();
    m.host.lines.clear();
    m.dialogs.accept = false;
    EXPECT_EQ(m.choose(menu_bar::kOutputTables, "27. ITEM: subtotals"), DynamicOutcome::Cancelled);
    EXPECT_FALSE(m.host.shows("Processing Table"));
    m.dialogs.accept = true;
    m.dialogs.xfile_fields = std::string(15, ' ');
    EXPECT_EQ(m.choose(menu_bar::kOutputFiles, "Observation File XFILE="), DynamicOutcome::Cancelled);
    EXPECT_TRUE(m.host.dialog_titles.empty());  // no file was asked for
    const int settings = m.host.model.count(menu_bar::kEdit);
    m.host.model.append(menu_bar::kEdit, 0, "Edit initial settings", nullptr);
    EXPECT_EQ(dispatch_dynamic_command(m.host.model.entry(menu_bar::kEdit, settings + 1)->id, m.host.model,
                                       m.run, m.dialogs),
              DynamicOutcome::DialogOnly);
    EXPECT_EQ(m.dialogs.opened, (std::vector<std::string>{"grouping 27", "xfile", "settings"}));
    EXPECT_EQ(dispatch_dynamic_command(menu_cmd::kSave, m.host.model, m.run, m.dialogs),
              DynamicOutcome::NotDynamic);
    // Before the report is closed the grouping entry goes straight to its handler.
    m.run.rs.report_closed = false;
    m.dialogs.opened.clear();
    EXPECT_EQ(m.choose(menu_bar::kOutputTables, "27. ITEM: subtotals"), DynamicOutcome::HandlerCalled);
    EXPECT_TRUE(m.dialogs.opened.empty());
    m.run.rs.report_closed = true;
}

}  // namespace
}  // namespace korvelan::testing
