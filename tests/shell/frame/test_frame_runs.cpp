// Analyses run in the frame window: the result menus come alive after the run, Tables and
// graphs are requested from them, a fatal stop in a request leaves the window working, the
// start-up asks for the control file through the file dialog, and closing the window deletes
// the run's work files.
#include "tests/shell/frame/frame_fixture.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "shell/dialogs/initial_settings_dialog.h"
#include "shell/dialogs/instruction_dialog.h"
#include "shell/dialogs/welcome_dialog.h"
#include "tests/shell/window/key_typing.h"
#include "tests/spss/pspp_files.h"
#include "tests/support/data_sets.h"

namespace korvelan {
namespace {

using testing::Frame;

std::vector<std::string> run_files(const std::string& dir, const std::string& run_id) {
    std::vector<std::string> found;
    for (const std::string& name : testing::list_dir(dir))
        if (name.size() == 12 && name.compare(3, 9, run_id + "kv.txt") == 0) found.push_back(name);
    return found;
}

TEST(FrameRuns, ResultMenusServeTablesAndGraphsAfterTheRunAndClosingDeletesTheWorkFiles) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::rating_scale_set(""));
    std::string zvb;
    std::size_t starts_before_graphs = 0;
    std::vector<std::string> work_files;
    f.dialogs.answers.push_back(testing::answer_ok<SubtableDialog>([](SubtableDialog& d) { d.set_text("14"); }));
    const int status = f.analyse(
        {f.dir.file("ctl.txt"), f.dir.file("out.txt")},
        {[&] {
             // The result menus are enabled, the right-click shows Output Tables.
             ASSERT_TRUE(f.action(705));
             EXPECT_TRUE(f.action(705)->isEnabled());
             EXPECT_TRUE(f.action(569)->isEnabled());
             EXPECT_EQ(f.window->context_menu(), f.window->menus().popup(3));
             const QList<QAction*> tables = f.window->menus().popup(3)->actions();
             ASSERT_GE(tables.size(), 45);
             EXPECT_EQ(tables[5]->text().toStdString(), "10. ITEM (column): fit order");
             EXPECT_TRUE(tables[5]->isEnabled());
             work_files = run_files(f.temp.path, f.run.rs.run_id);
             // A result entry reaches its handler: "G. Separation Table" writes Table 3.
             f.window->menus().popup(2)->actions().back()->trigger();
             ASSERT_EQ(f.launcher.starts.size(), 1u);
             EXPECT_EQ(f.launcher.starts.back().arguments,
                       std::vector<std::string>{f.dir.file("03-" + f.run.rs.run_id + "kv.txt")});
             f.window->command(569);
             ASSERT_FALSE(f.launcher.starts.empty());
             const std::string table = f.dir.file("14-" + f.run.rs.run_id + "kv.txt");
             EXPECT_EQ(f.launcher.starts.back().program, "/usr/bin/editor");
             EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{table});
             EXPECT_TRUE(testing::file_exists(table));
         },
         [&] {
             // Thurstone thresholds: the graphs program beside korvelan, type 3 and the work file.
             starts_before_graphs = f.launcher.starts.size();
             f.window->command(705);
             zvb = f.temp.file("ZVB" + f.run.rs.run_id + "kv.txt");
             ASSERT_EQ(f.launcher.starts.size(), starts_before_graphs + 1);
             EXPECT_EQ(f.launcher.starts.back().program, std::string(testing::kProgramDir) + "talvorin");
             EXPECT_EQ(f.launcher.starts.back().arguments, (std::vector<std::string>{"3", zvb}));
             const std::string graphs = testing::read_file(zvb);
             EXPECT_EQ(graphs.substr(0, 12), "     .0000\r\n");  // UMEAN=0
             EXPECT_EQ(graphs.substr(graphs.size() - 19), "\r\nRating scale\r\n9\r\n");
         },
         [&] {
             // While that copy runs the user is asked first; No starts nothing.
             const auto pid = f.window->graphs().previous_pid();
             f.window->command(703);
             EXPECT_EQ(f.dialogs.questions,
                       (std::vector<std::string>{"Graphs requested:", "\"Graphs " + f.run.rs.run_id +
                                                                          "\" may already be on Task Bar.  Load new copy?"}));
             EXPECT_EQ(f.launcher.starts.size(), starts_before_graphs + 1);
             EXPECT_EQ(f.window->graphs().previous_pid(), pid);
         },
         [&] {
             // A work file that cannot be written is reported and starts no graphs program.
             f.launcher.running.clear();
             std::filesystem::remove(zvb);
             std::filesystem::create_directory(zvb);
             f.window->command(704);
             EXPECT_EQ(f.launcher.starts.size(), starts_before_graphs + 1);
             EXPECT_TRUE(f.shows("PROBLEM: ")) << "no problem line";
             std::filesystem::remove(zvb);
         }});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(f.ended, -1);  // the close after the run leaves the ending to the caller
    EXPECT_GE(work_files.size(), 3u);
    EXPECT_TRUE(run_files(f.temp.path, f.run.rs.run_id).empty());
    EXPECT_TRUE(run_files(f.dir.path, f.run.rs.run_id).empty());  // the Table file too
    EXPECT_TRUE(testing::file_exists(f.dir.file("out.txt")));
}

// A menu entry whose request meets a fatal check of the engine.
Run* g_stopped_run = nullptr;
void stop_the_run(std::string_view) { fatal_message(*g_stopped_run, "The request cannot go on."); }

TEST(FrameRuns, AFatalStopInAMenuRequestLeavesTheWindowWorkingWithItsMessage) {
    Frame f;
    g_stopped_run = &f.run;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    bool alive = false;
    const int status = f.analyse({f.dir.file("ctl.txt"), f.dir.file("out.txt")}, {[&] {
        f.window->host().append_menu_item(0, "Stop here", stop_the_run);
        // Runs while the request is still stopped: the window serves commands, then closes.
        QTimer::singleShot(20, [&] {
            alive = f.window->isVisible() && f.shows("The request cannot go on.");
            f.window->command(520);
            f.window->close();
        });
        f.window->command(f.window->menus().model().handlers().next_id() - 1);
    }});
    EXPECT_TRUE(alive);
    EXPECT_EQ(f.dialogs.shown, std::vector<std::string>{"About KORVELAN"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(f.ended, -1);
}

TEST(FrameRuns, TheStartUpWelcomesAndOpenFileAsksForTheControlFileByItsFullPath) {
    Frame f;
    testing::write_file(f.dir.file("korvelan.ini"), "Editor=\"/usr/bin/editor\"\r\n");
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    ASSERT_EQ(::chdir(f.dir.path.c_str()), 0);
    f.window->host().settings().welcome = 'Y';
    f.dialogs.answers.push_back([](QDialog& d) {
        auto& welcome = dynamic_cast<WelcomeDialog&>(d);
        welcome.set_dont_ask_again(true);
        welcome.yes_please();
    });
    f.prompter.answers = {"ctl.txt"};
    const int status = f.analyse({}, {[&] { f.window->command(566); },
                                      [&] { f.window->text_window().type_text("out.txt\r"); },
                                      [&] { f.window->command(577); }});
    EXPECT_EQ(status, 0);
    ASSERT_EQ(f.prompter.requests.size(), 1u);
    EXPECT_EQ(f.prompter.requests[0].mode, FilePromptMode::Open);
    EXPECT_EQ(f.prompter.requests[0].title, msg::kControlFileDialogTitle);
    EXPECT_EQ(f.run.rs.control_file, f.dir.file("ctl.txt"));
    EXPECT_EQ(f.dialogs.shown.front(), "Korvelan Welcome");
    EXPECT_EQ(f.help_pages, std::vector<std::string>{KORVELAN_SOURCE_DIR "/shell/help/15.html"});
    EXPECT_EQ(testing::crlf_lines(testing::read_file(f.dir.file("korvelan.ini")))[1], "Welcome=No");
    EXPECT_EQ(f.window->host().settings().welcome, 'N');
    EXPECT_TRUE(testing::file_exists(f.dir.file("out.txt")));
}

TEST(FrameRuns, TheSpssMenuWritesItsFilesWhileThePromptWaitsAndGivesThePromptItsEnter) {
    Frame f;
    const std::string sav = KORVELAN_SOURCE_DIR "/tests/spss/fixtures/survey.sav";
    // A file whose one "no answer" is declared missing, for the tab text.
    ASSERT_TRUE(testing::run_pspp(f.dir.path, "DATA LIST LIST /q (F1).\nBEGIN DATA\n1\n9\nEND DATA.\n"
                                              "MISSING VALUES q (9).\nSAVE OUTFILE='nine.sav'.\n"));
    // The SPSS file dialogs only: a command that answers the waiting control-file prompt makes
    // it ask again, without its file dialog.
    f.prompter.answers = {sav, f.dir.file("nine.sav")};
    std::string selection;
    const int status = f.analyse(
        {}, {[&] {
                 f.window->command(578);
                 selection = f.temp.file("ZSP" + f.run.rs.run_id + "kv.txt");
                 EXPECT_NE(testing::read_file(selection).find(sav), std::string::npos);
                 EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{selection});
                 EXPECT_TRUE(f.action(578)->isChecked());
                 EXPECT_TRUE(f.action(579)->isEnabled());
                 EXPECT_TRUE(f.action(580)->isEnabled());
             },
             [&] {
                 // No variable was moved into the sections: the problem dialog says so.
                 f.window->command(580);
             },
             [&] {
                 f.window->command(581);
                 const std::string text = f.temp.file("ZSX" + f.run.rs.run_id + "kv.txt");
                 EXPECT_EQ(testing::read_file(text).substr(67), "q                   \t\r\n1\t\r\n.\t\r\n");
                 EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{text});
                 const std::vector<std::string> lines = f.lines();
                 EXPECT_NE(std::find(lines.begin(), lines.end(),
                                     "Values declared missing in the SPSS file, written as missing: 1"),
                           lines.end());
             }});
    EXPECT_EQ(status, 1);  // closed while the control file was still asked for
    ASSERT_EQ(f.prompter.requests.size(), 2u);
    for (const FilePromptRequest& r : f.prompter.requests) {
        EXPECT_EQ(r.title, "SPSS file?");
        // The dialog's first filter shows SPSS files of both forms, compressed or not.
        const QString first = QString::fromStdString(dialog_filter_text(r.filters)).section(";;", 0, 0);
        const QStringList patterns = first.section('(', 1).chopped(1).split(' ');
        for (const char* name : {"exam.sav", "exam.zsav"}) {
            EXPECT_TRUE(std::any_of(patterns.begin(), patterns.end(), [&](const QString& p) {
                return QRegularExpression::fromWildcard(p).match(name).hasMatch();
            })) << first.toStdString() << " hides " << name;
        }
    }
    // Each conversion showed the progress dialog while it read, and took it away before the
    // problem was shown.
    EXPECT_EQ(f.dialogs.shown, (std::vector<std::string>{"progress", "progress gone", "progress", "progress gone",
                                                         "Problem discovered ...: No SPSS variables selected",
                                                         "progress", "progress gone"}));
}

TEST(FrameRuns, OpenFileAtTheReportPromptWritesTheReportWhereTheDialogChose) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    std::filesystem::create_directory(f.dir.file("chosen"));
    f.prompter.answers = {f.dir.file("chosen/report.txt")};
    const int status = f.analyse({}, {[&] { f.window->text_window().type_text(f.dir.file("ctl.txt") + "\r"); },
                                      [&] {
                                          // A half-typed name gives way to the dialog.
                                          f.window->text_window().type_text("half");
                                          f.window->command(566);
                                      },
                                      [&] { f.window->command(577); }});
    EXPECT_EQ(status, 0);
    ASSERT_EQ(f.prompter.requests.size(), 1u);
    EXPECT_EQ(f.prompter.requests[0].title, msg::kReportFileDialogTitle);
    EXPECT_EQ(f.prompter.requests[0].mode, FilePromptMode::Save);
    EXPECT_EQ(f.run.rs.report_file, f.dir.file("chosen/report.txt"));
    EXPECT_NE(testing::read_file(f.dir.file("chosen/report.txt")).find("TABLE"), std::string::npos);
    // Enter alone at the same prompt still means the work file, without a dialog.
    Frame g;
    testing::write_file(g.dir.file("ctl.txt"), testing::dichotomous_set(""));
    g.analyse({}, {[&] { g.window->text_window().type_text(g.dir.file("ctl.txt") + "\r"); },
                   [&] { g.window->command(577); },
                   [&] { g.window->command(577); }});
    EXPECT_TRUE(g.prompter.requests.empty());
    EXPECT_EQ(g.run.rs.report_file, g.dir.file("ZOU" + g.run.rs.run_id + "kv.txt"));
}

TEST(FrameRuns, InitialSettingsOkWhileTheControlPromptWaitsAsksAgainWithoutAFileDialog) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    f.window->menus().add_startup_entries();
    int prompts_before = 0;
    auto prompts = [&] {
        int n = 0;
        for (const std::string& line : f.lines()) n += line.find(msg::kControlPrompt1) != std::string::npos;
        return n;
    };
    const int status = f.analyse(
        {}, {[&] {
             prompts_before = prompts();
             f.window->text_window().type_text("typed so far");
             f.dialogs.answers.push_back(testing::answer_ok<InitialSettingsDialog>([](InitialSettingsDialog&) {}));
             f.window->menus().popup(1)->actions().back()->trigger();
         },
         [&] {
             EXPECT_EQ(prompts(), prompts_before + 1) << "the prompt was not asked again";
             f.window->text_window().type_text(f.dir.file("ctl.txt") + "\r");
         },
         [&] { f.window->text_window().type_text("out.txt\r"); }, [&] { f.window->command(577); }});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(f.prompter.requests.empty()) << f.prompter.requests[0].title;
    EXPECT_EQ(f.dialogs.shown, std::vector<std::string>{"Korvelan Initial Settings"});
    EXPECT_EQ(f.run.rs.control_file, f.dir.file("ctl.txt"));
}

// The run writes PFILE= by the name the control file gives; a file prompt afterwards moves the
// current folder elsewhere. The Edit entry keeps its text and still opens the file written.
TEST(FrameRuns, AnEditEntryOpensTheFileTheRunWroteAfterAPromptHasMovedTheCurrentFolder) {
    Frame f;
    f.window->menus().add_startup_entries();
    testing::write_file(f.dir.file("ctl.txt"), testing::rating_scale_set("PFILE=persons.txt\n"));
    std::filesystem::create_directory(f.dir.file("elsewhere"));
    testing::write_file(f.dir.file("elsewhere/jobs.sh"), "true\n");
    f.prompter.answers = {f.dir.file("elsewhere/jobs.sh")};
    const int status = f.analyse(
        {f.dir.file("ctl.txt"), f.dir.file("out.txt")},
        {[&] {
             // Batch, Edit batch file: its prompt makes the chosen file's folder current.
             for (QAction* a : f.window->menus().popup(5)->actions())
                 if (a->text() == QStringLiteral("Edit batch file")) a->trigger();
             ASSERT_EQ(f.prompter.requests.size(), 1u);
             ASSERT_EQ(std::filesystem::current_path().string(), f.dir.file("elsewhere")) << f.prompter.requests[0].title;
             QAction* entry = nullptr;
             for (QAction* a : f.window->menus().popup(1)->actions())
                 if (a->text().toStdString().find("PFILE=persons.txt") != std::string::npos) entry = a;
             ASSERT_TRUE(entry) << "no Edit entry of the PFILE=";
             EXPECT_EQ(entry->text().toStdString().substr(entry->text().size() - 18), " PFILE=persons.txt");
             entry->trigger();
             ASSERT_FALSE(f.launcher.starts.empty());
             EXPECT_EQ(f.launcher.starts.back().arguments, std::vector<std::string>{f.dir.file("persons.txt")});
             EXPECT_TRUE(testing::file_exists(f.launcher.starts.back().arguments[0]));
         }});
    EXPECT_EQ(status, 0);
}

// A name typed with accents reaches the run as the file system holds it, and the window shows
// it as typed, also where the run writes it back.
TEST(FrameRuns, ANameWithAccentsTypedIntoTheWindowFindsTheFileAndShowsAsTyped) {
    Frame f;
    std::filesystem::create_directory(f.dir.file("prüf"));
    testing::write_file(f.dir.file("prüf/prüfung.txt"), testing::dichotomous_set(""));
    ASSERT_EQ(::chdir(f.dir.file("prüf").c_str()), 0);
    TextWindow& window = f.window->text_window();
    auto type = [&](const char* utf8) {
        testing::type_keys(&window, QString::fromUtf8(utf8));
        QTest::keyClick(&window, Qt::Key_Return);
    };
    const int status = f.analyse({}, {[&] { type("prüfung.txt"); }, [&] { type("Übung.out"); }, [&] { type(""); }});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(f.run.rs.control_file, f.dir.file("prüf/prüfung.txt"));
    EXPECT_TRUE(testing::file_exists(f.dir.file("prüf/Übung.out")));
    EXPECT_FALSE(f.shows("Not Found"));
    const std::vector<std::string> lines = f.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "prüfung.txt"), lines.end());
    EXPECT_TRUE(f.shows(f.dir.file("prüf/Übung.out")));
}


// A report name the file system refuses is refused when it is typed, and the name is asked for
// again: the analysis runs once, with the name given next.
TEST(FrameRuns, AReportNameTheFileSystemRefusesIsAskedForAgain) {
    Frame f;
    testing::write_file(f.dir.file("ctl.txt"), testing::dichotomous_set(""));
    auto prompts = [&] {
        int n = 0;
        for (const std::string& line : f.lines()) n += line.find(msg::kReportPrompt1) != std::string::npos;
        return n;
    };
    auto type = [&](const std::string& text) { f.window->text_window().type_text(text + "\r"); };
    const std::string too_long = std::string(300, 'a') + ".txt";
    const int status = f.analyse({}, {[&] { type(f.dir.file("ctl.txt")); }, [&] { type(too_long); },
                                      [&] { type(""); }, [&] { type("out.txt"); }, [&] { type(""); }});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(prompts(), 2);
    int problems = 0, analyses = 0;
    for (const std::string& line : f.lines()) {
        problems += line.find("PROBLEM: File name too long (20036): for file: ") != std::string::npos;
        analyses += line.find(msg::kInputInProcess) != std::string::npos;
    }
    EXPECT_EQ(problems, 1);
    EXPECT_EQ(analyses, 1);
    EXPECT_TRUE(testing::file_exists(f.dir.file("out.txt")));
}

}  // namespace
}  // namespace korvelan
