// The dialog windows on a finished run: what they show on opening and what OK and Cancel leave
// in the run, driven through their controls without a modal loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "engine/driver/runtime_change.h"
#include "shell/dialogs/initial_settings_dialog.h"
#include "shell/dialogs/instruction_dialog.h"
#include "shell/dialogs/text_dialogs.h"
#include "shell/dialogs/weights_dialog.h"
#include "shell/dialogs/welcome_dialog.h"
#include "shell/dialogs/xfile_dialog.h"
#include "tests/engine/driver/finished_run.h"
#include "tests/shell/window/qt_app.h"
#include "tests/support/analysis_run.h"

namespace korvelan {
namespace {

using testing::FinishedRun;

// Records the result-menu states and the Enter typed into a waiting prompt.
struct RecordingHost : testing::TestHost {
    std::vector<int> menu_states;
    int submitted = 0;
    void set_result_menus_enabled(int state) override { menu_states.push_back(state); }
    void submit_pending_input() override { ++submitted; }
};

struct DialogsOnRun : ::testing::Test {
    RecordingHost host;  // outlives the run, whose end deletes its work files through it
    FinishedRun f;
    korvelan::Run& run = f.run;
    std::vector<int> help_asked;
    HelpRequest help = [this](int context) { help_asked.push_back(context); };
    void SetUp() override {
        testing::qt_app();
        ASSERT_EQ(f.exit_status, 0) << f.host.screen();
        run.host = &host;
    }
    // Clicks the dialog's Help button.
    static void click_help(QDialog& d) {
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help)->click();
    }
};

TEST_F(DialogsOnRun, GroupingDialogShowsTheDefaultSelectionAndAppliesItWithItsKeyword) {
    run.rep.request.table = 27;
    run.cv.isubtotal.clear();
    SpecificationDialog d(run, help);
    EXPECT_EQ(d.windowTitle().toStdString(), "Please select grouping for this Table:");
    EXPECT_EQ(d.beside_label(), "ISUBTOTAL =");
    EXPECT_EQ(d.above_label(), "ISUBTOTAL = $S..W.. in Item Label for Table 27");
    EXPECT_EQ(d.text(), "$S1W1");
    click_help(d);
    EXPECT_EQ(help_asked, (std::vector<int>{1}));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(trim(run.cv.isubtotal), "$S1W1");
    EXPECT_EQ(run.rep.request.table, 27);  // the frame's Table follows
}

TEST_F(DialogsOnRun, WholeInstructionIsAppliedUnchangedAndCancelMeansNoTable) {
    run.rep.request.table = 28;
    SpecificationDialog d(run, help);
    d.set_text("PSUBTOTAL=$S3W2");
    d.accept();
    EXPECT_EQ(trim(run.cv.psubtotal), "$S3W2");

    SpecificationDialog again(run, help);
    EXPECT_EQ(again.text(), "$S3W2");
    again.set_text("$S1W1");
    again.reject();
    EXPECT_EQ(run.rep.request.table, -1);
    EXPECT_EQ(trim(run.cv.psubtotal), "$S3W2");

    // The plain Specification dialog: no labels, the instruction as typed.
    run.rep.request.table = 0;
    SpecificationDialog plain(run, help);
    EXPECT_EQ(plain.windowTitle().toStdString(), "Control Specification = Value");
    EXPECT_EQ(plain.text(), "");
    EXPECT_EQ(plain.beside_label(), "");
    plain.set_text("USCALE=10");
    plain.accept();
    EXPECT_FLOAT_EQ(run.cv.uscale, 10.0f);
}

TEST_F(DialogsOnRun, TypedRequestServesTheSubTableWithTheMenusGrayedMeanwhile) {
    SubtableDialog d(run, help);
    d.set_text("3.2 ; comment");
    d.accept();
    EXPECT_TRUE(d.served());
    EXPECT_EQ(host.menu_states, (std::vector<int>{3, 0}));
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].rfind("Edit Table 3=", 0), 0u) << host.menus[0];
    const std::string table = testing::lines(host.line_file);
    EXPECT_NE(table.find("TABLE 3.2"), std::string::npos) << table;
    EXPECT_EQ(table.find("TABLE 3.1"), std::string::npos);

    // A Table number out of 1..40 is ignored without a word.
    host.menus.clear();
    host.lines.clear();
    SubtableDialog other(run, help);
    other.set_text("45");
    other.accept();
    EXPECT_FALSE(other.served());
    EXPECT_TRUE(host.menus.empty());
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(host.menu_states.size(), 2u);
    click_help(other);
    EXPECT_EQ(help_asked, (std::vector<int>{3}));
}

TEST_F(DialogsOnRun, XFileDialogStaysOpenWithoutFieldsAndCancelChoosesNothing) {
    XFileDialog d(run, help);
    const XFileBoxes shown = d.boxes();
    EXPECT_EQ(shown, xfile_boxes_shown());
    d.set_boxes(XFileBoxes{});
    d.show();
    d.accept();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(run.rs.xfile_fields, std::string(15, ' '));

    XFileBoxes two{};
    two[0] = two[6] = true;
    d.set_boxes(two);
    d.set_person_text("99");  // above NP = 9
    d.set_item_text("4");
    d.accept();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.person_text(), "0");
    EXPECT_EQ(run.rs.xfile_fields, "x     x       x");
    EXPECT_EQ(run.rs.xfile_person_limit, 0);
    EXPECT_EQ(run.rs.xfile_item_limit, 4);

    XFileDialog cancelled(run, help);
    click_help(cancelled);
    cancelled.reject();
    EXPECT_EQ(run.rs.xfile_fields, std::string(15, ' '));
    EXPECT_EQ(run.rs.xfile_item_limit, 0);
    EXPECT_EQ(help_asked, (std::vector<int>{648}));
}

TEST_F(DialogsOnRun, WeightsDialogHidesTheSideWithoutWeightsAndShiftsTheOtherSidesStatuses) {
    // Items 1 and 3 weighted 0, as IWEIGHT= would give them; no person weights.
    run.cv.iweight = "*";
    run.input.item_weights_present = true;
    run.arrays.item_weights = {1, 0, 1, 0, 1, 1};
    const std::vector<std::int8_t> items = run.arrays.item_status;
    const std::vector<std::int8_t> persons = run.arrays.person_status;
    WeightsDialog d(run, help);
    EXPECT_FALSE(d.person_group_shown());
    EXPECT_TRUE(d.item_group_shown());
    EXPECT_EQ(d.item_ticked(), 1);
    d.set_item_ticked(2);
    d.set_person_ticked(3);  // hidden: the persons stay at 1
    d.accept();
    EXPECT_EQ(run.input.item_weight_report, 2);
    EXPECT_EQ(run.input.person_weight_report, 1);
    EXPECT_EQ(run.arrays.person_status, persons);
    for (std::size_t i = 1; i < items.size(); ++i)
        EXPECT_EQ(run.arrays.item_status[i], items[i] - (i == 1 || i == 3 ? 10 : 0)) << i;

    WeightsDialog again(run, help);
    EXPECT_EQ(again.item_ticked(), 2);
    again.set_item_ticked(0);  // none ticked: reweight 1
    again.accept();
    EXPECT_EQ(run.input.item_weight_report, 4);
    EXPECT_EQ(run.arrays.item_status, items);
    EXPECT_FALSE(run.input.item_weights_present);
}

TEST_F(DialogsOnRun, InitialSettingsDialogShowsTheSettingsAndOkRewritesTheFile) {
    InitialSettings running;
    running.editor = "/usr/bin/gedit  ";
    running.temp_directory = "/tmp/k/";
    running.report_prompt = 'N';
    const std::string path = f.dir.file("korvelan.ini");
    InitialSettingsDialog d(running, path, host, help);
    SettingsChoice c = d.choice();
    EXPECT_EQ(c.editor, "/usr/bin/gedit");
    EXPECT_EQ(c.filter, "All Files (*.*)");
    EXPECT_FALSE(c.report_prompt);
    EXPECT_TRUE(c.welcome);
    c.spreadsheet = "/usr/bin/localc";
    c.welcome = false;
    d.set_choice(c);
    d.reject();
    EXPECT_FALSE(testing::file_exists(path));
    EXPECT_EQ(host.submitted, 0);
    d.accept();
    EXPECT_EQ(d.write_status(), 0);
    EXPECT_EQ(host.submitted, 1);
    EXPECT_EQ(running.spreadsheet, "/usr/bin/localc");
    EXPECT_EQ(testing::crlf_lines(testing::read_file(path)).at(1), "Excel=\"/usr/bin/localc\"");
    EXPECT_EQ(testing::crlf_lines(testing::read_file(path)).at(5), "Welcome=No");
}

// Types the text into the dialog's editable box whose text is `shown`, replacing it.
void type_into(QDialog& d, const std::string& shown, const char* typed) {
    for (QComboBox* box : d.findChildren<QComboBox*>()) {
        if (box->currentText().toStdString() != shown) continue;
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
        // One key press a character, its text as a keyboard layout gives it.
        for (const QChar c : QString::fromUtf8(typed))
            QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        return;
    }
    ADD_FAILURE() << "no box shows " << shown;
}

TEST_F(DialogsOnRun, TypedTextReachesTheRunAndTheSettingsAsUtf8) {
    SpecificationDialog title(run, help);
    type_into(title, "", "TITLE=Größe 数据");
    title.accept();
    EXPECT_EQ(trim(run.cv.title), "Größe 数据");
    // A selection typed acts as the same instruction given as text: the range A-Ł takes every
    // label beginning with a letter, where A-? (Ł turned into "?") would take only those with A.
    SpecificationDialog select(run, help);
    type_into(select, "", "PSELECT={A-Ł}*");
    select.accept();
    EXPECT_EQ(trim(run.cv.pselect), "{A-Ł}*");
    FinishedRun given, mangled;
    given.run.host = mangled.run.host = &host;
    apply_runtime_specification(given.run, "PSELECT={A-Ł}*");
    apply_runtime_specification(mangled.run, "PSELECT={A-?}*");
    EXPECT_EQ(run.arrays.person_status, given.run.arrays.person_status);
    EXPECT_NE(run.arrays.person_status, mangled.run.arrays.person_status);

    InitialSettings running;
    running.temp_directory = "/tmp/k/";
    const std::string path = f.dir.file("korvelan.ini");
    InitialSettingsDialog settings(running, path, host, help);
    type_into(settings, "/tmp/k/", "/tmp/é/");
    settings.accept();
    // Taken at the next start, from the file.
    EXPECT_NE(testing::read_file(path).find("=\"/tmp/é/\""), std::string::npos)
        << testing::read_file(path);
}

TEST_F(DialogsOnRun, WelcomeHelpClosesTheDialogAndTheProblemTextIsCut) {
    WelcomeDialog w(help);
    EXPECT_FALSE(w.dont_ask_again());
    w.set_dont_ask_again(true);
    w.yes_please();
    EXPECT_EQ(help_asked, (std::vector<int>{15}));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.dont_ask_again());

    ProblemDialog problem(std::string(600, 'p') + "   ");
    EXPECT_EQ(problem.text(), std::string(501, 'p'));
    ProblemDialog blanks("Unknown SPSS variable value   ");
    EXPECT_EQ(blanks.text(), "Unknown SPSS variable value");
    EXPECT_EQ(blanks.windowTitle().toStdString(), "Problem discovered ...");
    SpssProgressDialog progress;
    EXPECT_FALSE(progress.isModal());
}

}  // namespace
}  // namespace korvelan
