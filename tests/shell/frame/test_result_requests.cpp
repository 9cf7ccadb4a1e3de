// The result menus after a run in the frame, end to end: the entries and dialogs write the same
// Tables and output files a batch run writes for the same requests, open them in the editor and
// list them in the Edit menu; a cancelled dialog writes nothing.
#include "tests/shell/frame/frame_fixture.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"
#include "shell/dialogs/instruction_dialog.h"
#include "shell/dialogs/xfile_dialog.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

namespace korvelan {
namespace {

using testing::Frame;

// The entry of a popup whose text begins with `text`; fails the test when there is none.
QAction* entry(Frame& f, int menu, const std::string& text) {
    for (QAction* a : f.window->menus().popup(menu)->actions())
        if (a->text().toStdString().rfind(text, 0) == 0) return a;
    ADD_FAILURE() << "no entry " << text;
    return nullptr;
}

std::vector<std::string> edit_entries(Frame& f) {
    std::vector<std::string> texts;
    for (QAction* a : f.window->menus().popup(1)->actions()) texts.push_back(a->text().toStdString());
    return texts;
}

// A batch run of the frame's control file with extra instructions, in a folder of its own whose
// path is as long as the frame's (the Table headings name the report); the file it wrote.
std::string batch_file(Frame& f, const testing::ScratchDir& batch, const std::vector<std::string>& extra,
                       const std::string& name) {
    testing::write_file(batch.file("ctl.txt"), testing::read_file(f.dir.file("ctl.txt")));
    std::vector<std::string> args{"ctl.txt", "out.txt", "BATCH=Y"};
    args.insert(args.end(), extra.begin(), extra.end());
    const testing::ProgramResult r = testing::run_korvelan(batch.path, args, f.temp.path);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    return testing::normalise_report(testing::read_file(batch.file(name)), batch.path, "/tmp/kvtest-run");
}

// The lines of a file, its folder and run date replaced. A blank report line is written as one
// blank, the same line of a Table file after the run as an empty line: both read as empty here.
std::vector<std::string> lines_of(const std::string& text, const std::string& folder) {
    std::vector<std::string> lines = testing::crlf_lines(testing::normalise_report(text, folder, "/tmp/kvtest-run"));
    for (std::string& line : lines)
        if (line == " ") line.clear();
    return lines;
}

TEST(ResultRequests, TableAndOutputFileEntriesWriteWhatTheBatchRunWrites) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    std::string table, menu_table, pfile;
    std::size_t starts = 0;
    f.prompter.answers = {f.dir.file("pf.txt")};
    const int status = f.analyse(
        {f.dir.file("ctl.txt"), f.dir.file("out.txt")},
        {[&] {
             starts = f.launcher.starts.size();
             entry(f, 3, "10. ITEM (column): fit order")->trigger();
             table = f.dir.file("10-" + f.run.rs.run_id + "kv.txt");
             menu_table = testing::read_file(table);  // the window's close deletes it
             ASSERT_EQ(f.launcher.starts.size(), starts + 1);
             EXPECT_EQ(f.launcher.starts.back().program, "/usr/bin/editor");
             EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{table});
             const std::vector<std::string> edit = edit_entries(f);
             EXPECT_NE(std::find(edit.begin(), edit.end(), std::string(msg::kMenuEditTable) + "10=" + table),
                       edit.end());
         },
         [&] {
             entry(f, 4, "File Format (&commas) CSV=YES")->trigger();
             EXPECT_TRUE(entry(f, 4, "File Format (&commas) CSV=YES")->isChecked());
             entry(f, 4, "PERSON File PFILE=")->trigger();
             pfile = testing::read_file(f.dir.file("pf.txt"));
             EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{f.dir.file("pf.txt")});
         }});
    ASSERT_EQ(status, 0);
    ASSERT_EQ(f.launcher.starts.size(), starts + 2);

    // The listed Table opens the batch report; the menu's Table file holds the same lines.
    testing::ScratchDir batch;
    ASSERT_EQ(batch.path.size(), f.dir.path.size());
    testing::write_file(batch.file("tables.txt"), "10\r\n");
    const std::vector<std::string> table_lines = lines_of(menu_table, f.dir.path);
    const std::vector<std::string> report = lines_of(batch_file(f, batch, {"TFILE=tables.txt"}, "out.txt"), batch.path);
    ASSERT_GT(table_lines.size(), 50u);
    ASSERT_GT(report.size(), table_lines.size());
    EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + static_cast<long>(table_lines.size())),
              table_lines);
    // The listed Table ends there: a new page follows.
    EXPECT_EQ(report[table_lines.size()].substr(0, 1), "\f") << report[table_lines.size() + 1];

    // The output file is byte for byte the batch program's.
    const std::string batch_pfile = batch_file(f, batch, {"PFILE=pf.txt", "CSV=Y"}, "pf.txt");
    EXPECT_EQ(testing::normalise_report(pfile, f.dir.path, "/tmp/kvtest-run"), batch_pfile);
    EXPECT_NE(pfile.find(','), std::string::npos);
}

TEST(ResultRequests, DialogsOfTheEntriesServeTheirRequestsAndCancelWritesNothing) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set("CHART=Y\n"));
    const auto table_file = [&](int t) { return f.dir.file(std::to_string(t) + "-" + f.run.rs.run_id + "kv.txt"); };
    using testing::answer_ok;
    f.prompter.answers = {f.dir.file("xf.txt")};
    const int status = f.analyse(
        {f.dir.file("ctl.txt"), f.dir.file("out.txt")},
        {[&] {
             // Every field deselected: OK leaves the dialog open, Cancel ends it; no file is asked
             // for or written.
             f.dialogs.answers.push_back([](QDialog& d) {
                 auto& x = dynamic_cast<XFileDialog&>(d);
                 x.set_boxes({});
                 x.accept();
                 EXPECT_NE(x.result(), QDialog::Accepted);
                 x.reject();
             });
             const std::size_t starts = f.launcher.starts.size();
             entry(f, 4, "Observation File XFILE=")->trigger();
             EXPECT_TRUE(f.prompter.requests.empty());
             EXPECT_EQ(f.launcher.starts.size(), starts);
             // The fields as offered: the file is written and opened.
             f.dialogs.answers.push_back(answer_ok<XFileDialog>([](XFileDialog&) {}));
             entry(f, 4, "Observation File XFILE=")->trigger();
             EXPECT_EQ(f.prompter.requests.size(), 1u);
             EXPECT_GT(testing::read_file(f.dir.file("xf.txt")).size(), 100u);
             EXPECT_EQ(f.launcher.starts.size(), starts + 1);
         },
         [&] {
             // The request is cut at its comment: Table 10, sub-table 2 alone.
             f.dialogs.answers.push_back(answer_ok<SubtableDialog>([](SubtableDialog& d) { d.set_text("10.2 ; comment"); }));
             f.window->command(569);
             const std::string table = testing::read_file(table_file(10));
             EXPECT_EQ(table.rfind("TABLE 10.2 ", 0), 0u) << table.substr(0, 80);
             EXPECT_EQ(table.find("TABLE 10.1"), std::string::npos);
             EXPECT_TRUE(f.action(569)->isEnabled());
             EXPECT_TRUE(entry(f, 3, "10. ITEM")->isEnabled());
         },
         [&] {
             // The grouping of Table 27: its Help opens the frame's page; Cancel: no Table.
             f.dialogs.answers.push_back([](QDialog& d) {
                 auto& g = dynamic_cast<SpecificationDialog&>(d);
                 EXPECT_EQ(g.above_label(), "ISUBTOTAL = $S..W.. in Item Label for Table 27");
                 EXPECT_EQ(g.text(), "$S1W1");
                 g.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help)->click();
                 g.reject();
             });
             const std::size_t starts = f.launcher.starts.size();
             entry(f, 3, "27. ITEM")->trigger();
             EXPECT_FALSE(testing::file_exists(table_file(27)));
             EXPECT_EQ(f.launcher.starts.size(), starts);
             EXPECT_EQ(f.help_pages, std::vector<std::string>{KORVELAN_SOURCE_DIR "/shell/help/1.html"});
             // OK applies the grouping shown and writes the Table.
             f.dialogs.answers.push_back(answer_ok<SpecificationDialog>([](SpecificationDialog&) {}));
             entry(f, 3, "27. ITEM")->trigger();
             EXPECT_EQ(trim(f.run.cv.isubtotal), "$S1W1");
             EXPECT_TRUE(testing::file_exists(table_file(27)));
             EXPECT_EQ(f.launcher.starts.size(), starts + 1);
         }});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(f.dialogs.answers.empty());
    EXPECT_EQ(f.dialogs.shown,
              (std::vector<std::string>{"Fields in Analyzed Response File: XFILE=", "Fields in Analyzed Response File: XFILE=",
                                        "Request Table and Subtable", "Please select grouping for this Table:",
                                        "Please select grouping for this Table:"}));
}

}  // namespace
}  // namespace korvelan
