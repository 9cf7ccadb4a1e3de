// Starting programs: the argument as one argv element, the warning of a failed start, the menu
// entries that open files, batch files, the graphs program and its question; one real start.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "shell/services/qprocess_launcher.h"
#include "tests/shell/services/recording_launcher.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
struct LaunchFixture : ::testing::Test {
    RecordingLauncher launcher;
    std::vector<std::string> shown;
    WindowLine window = [this](std::string_view l) { shown.emplace_back(l); };
    using Args = std::vector<std::string>;
};
}  // namespace

TEST_F(LaunchFixture, ArgumentWithBlanksIsOneElementAndShownInQuotes) {
    EXPECT_EQ(run_program_with_argument(launcher, window, "/usr/bin/gedit ", " /home/u/My Data/exam.con "), 0);
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].program, "/usr/bin/gedit");
    EXPECT_EQ(launcher.starts[0].arguments, (Args{"/home/u/My Data/exam.con"}));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(command_line_text("/usr/bin/gedit", "/home/u/My Data/exam.con"),
              "/usr/bin/gedit \"/home/u/My Data/exam.con\"");
    EXPECT_EQ(command_line_text("gedit", "/home/u/DATA/exam.con"), "gedit /home/u/DATA/exam.con");

    // A program setting with options is split unless it names a file; a blank argument is none.
    run_program_with_argument(launcher, window, "libreoffice --calc", " ");
    EXPECT_EQ(launcher.starts[1].program, "libreoffice");
    EXPECT_EQ(launcher.starts[1].arguments, (Args{"--calc"}));
    run_program_with_argument(launcher, window, "\"/opt/My Editor/edit\" -n", "a.txt");
    EXPECT_EQ(launcher.starts[2].program, "/opt/My Editor/edit");
    EXPECT_EQ(launcher.starts[2].arguments, (Args{"-n", "a.txt"}));
}

TEST_F(LaunchFixture, FailedStartShowsTheWarningAndTheCommand) {
    launcher.fail = true;
    EXPECT_NE(run_program_with_argument(launcher, window, "/no/editor", "/home/u/My Data/exam.con"), 0);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Warning: the following command may have failed. See `Edit Initial Settings'",
                         "/no/editor \"/home/u/My Data/exam.con\""}));
    shown.clear();
    EXPECT_NE(run_program_with_argument(launcher, window, "   ", "x"), 0);  // no program at all
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_FALSE(run_batch_file(launcher, window, "/tmp/taskroll.sh", "/opt/korvelan/korvelan"));
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown.back(), "/bin/sh /tmp/taskroll.sh");
}

TEST_F(LaunchFixture, MenuEntriesOpenTheirFilesInTheEditor) {
    InitialSettings s;
    s.editor = "/usr/bin/WORDPAD";
    edit_file_from_menu(launcher, window, s, "/tmp/kv/ ", "Edit Report Output File==ZOU123kv.txt");
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit Control File=/home/u/exam.con");
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit/create file with WORDPAD");
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit Something=");
    ASSERT_EQ(launcher.starts.size(), 4u);
    EXPECT_EQ(launcher.starts[0].arguments, (Args{"/tmp/kv/ZOU123kv.txt"}));
    EXPECT_EQ(launcher.starts[1].arguments, (Args{"/home/u/exam.con"}));
    EXPECT_EQ(launcher.starts[2].program, "/usr/bin/WORDPAD");
    EXPECT_TRUE(launcher.starts[2].arguments.empty());
    EXPECT_TRUE(launcher.starts[3].arguments.empty());

    start_spreadsheet_from_menu(launcher, window, "Excel=");
    EXPECT_EQ(launcher.starts.size(), 4u);  // no spreadsheet: nothing
    start_spreadsheet_from_menu(launcher, window, "Excel=/usr/bin/libreoffice --calc");
    EXPECT_EQ(launcher.starts[4].program, "/usr/bin/libreoffice");
    EXPECT_EQ(launcher.starts[4].arguments, (Args{"--calc"}));

    // A relative name is the file in the folder given with it; an absolute one stays.
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit PERSON PFILE=out/p.txt", "/srv/run/");
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit Control File=/home/u/exam.con", "/srv/run/");
    EXPECT_EQ(launcher.starts[5].arguments, (Args{"/srv/run/out/p.txt"}));
    EXPECT_EQ(launcher.starts[6].arguments, (Args{"/home/u/exam.con"}));
    launcher.starts.resize(5);
    // xdg-open alone opens nothing; xdg-open with options of its own, or a file, is started.
    s.editor = "/usr/bin/xdg-open";
    std::vector<std::string> before = shown;
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit/create file with xdg-open");
    EXPECT_EQ(launcher.starts.size(), 5u);
    ASSERT_EQ(shown.size(), before.size() + 2);
    EXPECT_EQ(shown.back(), "/usr/bin/xdg-open ");
    edit_file_from_menu(launcher, window, s, "/tmp/kv/", "Edit Control File=/home/u/exam.con");
    EXPECT_EQ(launcher.starts.size(), 6u);
    launcher.starts.resize(5);
    shown.clear();

    EXPECT_TRUE(run_batch_file(launcher, window, " /home/u/Taskroll.sh ", "/opt/korvelan/korvelan"));
    EXPECT_EQ(launcher.starts[5].program, "/bin/sh");
    EXPECT_EQ(launcher.starts[5].arguments, (Args{"/home/u/Taskroll.sh"}));
    EXPECT_EQ(launcher.starts[5].environment, (Launcher::Environment{{"KORVELAN_PROGRAM", "/opt/korvelan/korvelan"}}));
    EXPECT_TRUE(shown.empty());
}

// What a batch file writes is shown a line at a time in the order it came, and its end last,
// however the pieces arrive: split inside a line, or more output and the end coming while a
// line is shown (the window takes events then).
TEST_F(LaunchFixture, ABatchFileShowsItsLinesInOrderAndThenHowItEnded) {
    const std::string file = "/d/Taskroll.bat";
    for (const int status : {0, 1, -1}) {
        RecordingLauncher runs;
        std::vector<std::string> lines;
        bool arrived = false;
        WindowLine slow_window = [&](std::string_view l) {
            lines.emplace_back(l);
            if (arrived) return;
            arrived = true;  // while the first line is shown, the rest and the end come
            runs.watched[0].output("ree\r\nlast without end");
            runs.watched[0].ended(status);
        };
        ASSERT_TRUE(run_batch_file(runs, slow_window, file, "/k/korvelan"));
        runs.watched[0].output("one\r\ntwo\nth");
        const std::string end = status == 0   ? "Batch file ended, exit status 0: " + file
                                : status == 1 ? "Batch file failed, exit status 1: " + file
                                              : "Batch file was stopped by a signal: " + file;
        EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "last without end", end}));
    }
}

TEST_F(LaunchFixture, GraphsProgramAsksBeforeASecondCopy) {
    std::vector<std::string> questions;
    bool answer = false;
    GraphsLauncher graphs(launcher, "/opt/korvelan/", [&](std::string_view text, std::string_view caption) {
        questions.push_back(std::string(caption) + "|" + std::string(text));
        return answer;
    });
    ASSERT_TRUE(graphs.launch(3, "/tmp/kv/ZVB123kv.txt", "123"));
    EXPECT_EQ(launcher.starts[0].program, "/opt/korvelan/talvorin");
    EXPECT_EQ(launcher.starts[0].arguments, (Args{"3", "/tmp/kv/ZVB123kv.txt"}));
    EXPECT_TRUE(questions.empty());
    const long long first = *graphs.previous_pid();

    EXPECT_FALSE(graphs.launch(1, "/tmp/kv/ZVB123kv.txt", "123"));  // still running, answered No
    EXPECT_EQ(questions, (std::vector<std::string>{
                             "Graphs requested:|\"Graphs 123\" may already be on Task Bar.  Load new copy?"}));
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(*graphs.previous_pid(), first);

    answer = true;
    EXPECT_TRUE(graphs.launch(1, "/tmp/kv/ZVB123kv.txt", "123"));
    EXPECT_NE(*graphs.previous_pid(), first);
    launcher.running.clear();  // the program ended: no question
    EXPECT_TRUE(graphs.launch(2, "/tmp/kv/ZVB123kv.txt", "123"));
    EXPECT_EQ(questions.size(), 2u);
}

TEST(QProcessLauncher, StartsAScriptWithAnArgumentHoldingABlankAndAQuote) {
    ScratchDir dir;
    const std::string script = dir.file("show args.sh");
    write_file(script, "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" > \"$(dirname \"$0\")/seen.txt\"\n");
    ::chmod(script.c_str(), 0755);
    QProcessLauncher launcher;
    std::vector<std::string> shown;
    const std::string argument = dir.file("My \"Data\" file.con");
    ASSERT_EQ(run_program_with_argument(launcher, [&](std::string_view l) { shown.emplace_back(l); }, script,
                                        argument),
              0);
    std::string seen;
    for (int i = 0; i < 200 && seen.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        seen = read_file(dir.file("seen.txt"));
    }
    EXPECT_EQ(seen, "1|" + argument + "\n");
    EXPECT_TRUE(shown.empty());

    EXPECT_NE(run_program_with_argument(launcher, [&](std::string_view l) { shown.emplace_back(l); },
                                        dir.file("no-such-program"), "x"),
              0);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_FALSE(launcher.is_running(-1));
}
