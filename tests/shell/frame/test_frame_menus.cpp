// The frame's menu bar as the program starts, its accelerators, the commands that wait for the
// finished run, the help pages, the start-up entries, and the Finish iterating check mark.
#include "tests/shell/frame/frame_fixture.h"

#include "shell/dialogs/initial_settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "tests/support/data_sets.h"

namespace korvelan {
namespace {

using testing::Frame;

std::vector<std::string> texts(const QList<QAction*>& actions) {
    std::vector<std::string> all;
    for (const QAction* a : actions) all.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    return all;
}

TEST(FrameMenus, TheBarStartsWithItsElevenPositionsAndTheEntriesThatWaitGrayed) {
    Frame f;
    const QList<QAction*> bar = f.window->menuBar()->actions();
    EXPECT_EQ(texts(bar), (std::vector<std::string>{"&File", "&Edit", "&Diagnosis", "Output &Tables", "&Output Files",
                                                     "&Batch", "&Help", "&Specification", "&Compare Files", "&SPSS",
                                                     "&Graphs"}));
    EXPECT_EQ(bar[6]->menu(), nullptr);  // Help and Specification are commands on the bar
    EXPECT_EQ(bar[7]->menu(), nullptr);
    EXPECT_EQ(texts(f.window->menus().popup(0)->actions()),
              (std::vector<std::string>{"&Open File...", "-", "E&xit", "&Finish iterating\tCtrl+F", "Enter", "-",
                                        "&Save", "Save &As...", "&Print..."}));
    for (int id : {600, 569, 579, 580, 703, 704, 705, 706, 707, 610, 611, 613})
        EXPECT_FALSE(f.action(id)->isEnabled()) << id;
    for (int id : {566, 540, 577, 612, 578, 581, 561, 568}) EXPECT_TRUE(f.action(id)->isEnabled()) << id;
    EXPECT_EQ(f.action(540)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(f.action(611)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(f.action(612)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    // A selection enables Cut, Copy and Delete.
    f.window->text_window().append_line("alpha beta");
    f.window->text_window().select_word_at(0, 7);
    EXPECT_TRUE(f.action(611)->isEnabled());
    // Before the run has finished the right-click shows File, and the commands that serve the
    // finished run do nothing.
    EXPECT_EQ(f.window->context_menu(), f.window->menus().popup(0));
    f.window->command(568);
    f.window->command(569);
    f.window->command(705);
    EXPECT_TRUE(f.dialogs.shown.empty());
    EXPECT_TRUE(f.launcher.starts.empty());
}

TEST(FrameMenus, FinishIteratingChecksItsOwnEntryUntilTheEngineClearsTheRequest) {
    Frame f;
    f.window->menus().add_startup_entries();  // entries above it move it down the File menu
    f.window->host().insert_menu_item(0, 1, "Edit Control File=/srv/exam.con", nullptr);
    // The key goes through the window system, as a key press of the user does.
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(f.window->host().finish_iterating_requested());
    EXPECT_TRUE(f.action(540)->isChecked());
    EXPECT_FALSE(f.action(577)->isChecked());
    f.window->host().clear_finish_iterating();
    EXPECT_FALSE(f.window->host().finish_iterating_requested());
    EXPECT_FALSE(f.action(540)->isChecked());
    EXPECT_TRUE(f.action(540)->isEnabled());
}

TEST(FrameMenus, HelpOpensThePageOfItsContextAndTheIndexForAnUnknownOne) {
    Frame f;
    f.window->command(561);
    f.window->command(563);
    f.window->command(560);
    EXPECT_TRUE(f.window->host().show_help_topic(4242));
    const std::string help = KORVELAN_SOURCE_DIR "/shell/help/";
    EXPECT_EQ(f.help_pages, (std::vector<std::string>{help + "1.html", help + "6411.html", help + "12.html",
                                                      help + "index.html"}));
    // Every context the commands and dialogs pass has its page, installed beside the program.
    const std::string installed = std::string(KORVELAN_BINARY).substr(0, std::string(KORVELAN_BINARY).rfind('/') + 1);
    for (int context : {1, 3, 12, 15, 220, 255, 648, 6411})
        EXPECT_EQ(help_page_for(installed, context), installed + "help/" + std::to_string(context) + ".html");
}

TEST(FrameMenus, StartUpEntriesStartTheEditorAndOpenTheSettingsDialog) {
    Frame f;
    f.window->menus().add_startup_entries();
    const QList<QAction*> edit = f.window->menus().popup(1)->actions();
    ASSERT_GE(edit.size(), 3);
    EXPECT_EQ(edit[0]->text().toStdString(), std::string("Edit/create new control file from=") +
                                                 testing::kProgramDir + "template.txt");
    EXPECT_EQ(edit[1]->text().toStdString(), "Edit/create file with editor");
    EXPECT_EQ(edit.back()->text().toStdString(), "Edit initial settings");
    EXPECT_EQ(f.window->menus().popup(0)->actions()[1]->text().toStdString(), "Start another KORVELAN");
    edit[1]->trigger();
    edit[0]->trigger();
    // The settings dialog: OK rewrites the settings file the frame read, and the new editor
    // serves at once.
    f.dialogs.answers.push_back(testing::answer_ok<InitialSettingsDialog>([](InitialSettingsDialog& d) {
        SettingsChoice c = d.choice();
        c.editor = "/usr/bin/vi";
        d.set_choice(c);
    }));
    edit.back()->trigger();
    ASSERT_EQ(f.launcher.starts.size(), 2u);
    EXPECT_EQ(f.launcher.starts[0].program, "/usr/bin/editor");
    EXPECT_TRUE(f.launcher.starts[0].arguments.empty());
    EXPECT_EQ(f.launcher.starts[1].arguments, std::vector<std::string>{std::string(testing::kProgramDir) + "template.txt"});
    EXPECT_EQ(f.dialogs.shown, std::vector<std::string>{"Korvelan Initial Settings"});
    EXPECT_EQ(testing::crlf_lines(testing::read_file(f.dir.file("korvelan.ini")))[0], "Editor=\"/usr/bin/vi\"");
    EXPECT_EQ(f.window->host().initial_settings().editor, "/usr/bin/vi");
}

// Entries come and go above the fixed ones as the start-up and the run add theirs, and the view
// reuses its actions for them: no separator may keep the text of the entry it was.
TEST(FrameMenus, EverySeparatorShowsNoTextAfterTheStartUpAndTheRunHaveAddedTheirEntries) {
    Frame f;
    f.window->menus().add_startup_entries();
    testing::write_file(f.dir.file("ctl.txt"), testing::rating_scale_set(""));
    std::vector<std::string> labelled;
    int separators = 0;
    auto look = [&] {
        for (int m = 0; m < menu_bar::kCount; ++m) {
            const QMenu* menu = f.window->menus().popup(m);
            if (!menu) continue;
            for (const QAction* a : menu->actions()) {
                if (!a->isSeparator()) continue;
                ++separators;
                if (!a->text().isEmpty()) labelled.push_back(std::to_string(m) + ": " + a->text().toStdString());
            }
        }
    };
    f.analyse({f.dir.file("ctl.txt"), f.dir.file("out.txt")}, {look});
    look();
    EXPECT_GT(separators, 10);
    EXPECT_TRUE(labelled.empty()) << labelled.front();
}

// Before the run the Diagnosis menu holds "About..." and the separator under it, which shows:
// the menu stands taller than one with "About..." alone.
TEST(FrameMenus, TheDiagnosisMenuShowsItsSeparatorUnderAboutBeforeTheRun) {
    Frame f;
    QMenu* diagnosis = f.window->menus().popup(menu_bar::kDiagnosis);
    EXPECT_EQ(texts(diagnosis->actions()), (std::vector<std::string>{"&About...", "-"}));
    QMenu about_only;
    about_only.addAction(QStringLiteral("&About..."));
    EXPECT_GT(diagnosis->sizeHint().height(), about_only.sizeHint().height());
}

// Save As asks in the current folder; the name chosen shows in the frame's title, and Save then
// writes to it without asking.
TEST(FrameMenus, SaveAsStartsInTheCurrentFolderAndTheSavedNameShowsInTheFramesTitle) {
    Frame f;
    std::filesystem::create_directory(f.dir.file("here"));
    ASSERT_EQ(::chdir(f.dir.file("here").c_str()), 0);
    f.window->text_window().append_line("first line");
    std::string started_in;
    int dialogs = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        ++dialogs;
        started_in = dialog->directory().absolutePath().toStdString();
        // Typed into the name field, as a user does: selectFile() leaves the field alone once it
        // has the focus, which a dialog shown a little before the timer's first tick already has.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (name) name->setText(QString::fromStdString(f.dir.file("here/saved.txt")));
        if (!name || dialogs > 100) static_cast<QDialog*>(dialog)->reject();  // fail, never hang
        else static_cast<QDialog*>(dialog)->accept();  // as the dialog's Save button does
    });
    answer.start(10);
    f.action(501)->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(started_in, f.dir.file("here"));
    EXPECT_EQ(f.window->windowTitle().toStdString(), "KORVELAN - [saved.txt]");
    EXPECT_EQ(testing::read_file(f.dir.file("here/saved.txt")), "first line\r\n");
    f.window->text_window().append_line("second line");
    f.action(500)->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(testing::read_file(f.dir.file("here/saved.txt")), "first line\r\nsecond line\r\n");
}

}  // namespace
}  // namespace korvelan
