#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "shell/console_host.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(ConsoleHost, LinesCharactersAndPrompts) {
    std::ostringstream out;
    std::istringstream in("typed answer\r\n");
    ConsoleHost host(out, in);
    host.write_text_window_line("first line   ");
    host.send_char_to_text_window('>');
    host.send_char_to_text_window('=');
    host.write_text_window_line("interrupting line");  // ends the open progress line first
    host.send_char_to_text_window('<');
    host.send_char_to_text_window('\r');
    host.console_write_prompt(" Name? ");
    auto answer = host.console_read_line();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "typed answer");
    EXPECT_FALSE(host.console_read_line().has_value());  // end of input: no wait, no answer
    EXPECT_EQ(out.str(), "first line\n>=\ninterrupting line\n<\n Name? ");
}

TEST(ConsoleHost, AnswersFromAPipeEndThePromptLine) {
    std::ostringstream out;
    std::istringstream in("a\nb\n");
    ConsoleHost host(out, in);
    host.set_end_prompt_lines(true);
    host.console_write_prompt(" First? ");
    host.console_read_line();
    host.console_write_prompt(" Second? ");
    host.console_read_line();
    host.write_text_window_line("next");
    EXPECT_EQ(out.str(), " First? \n Second? \nnext\n");
}

TEST(ConsoleHost, PlatformLineFileEndsLinesWithCrLf) {
    ScratchDir dir;
    std::ostringstream out;
    std::istringstream in;
    ConsoleHost host(out, in);
    EXPECT_NE(host.write_file_line("no file open"), 0);
    ASSERT_EQ(host.create_output_file(dir.file("t.txt")), 0);
    EXPECT_EQ(host.write_file_line("\fTABLE 1.0   "), 0);
    EXPECT_EQ(host.write_file_line(""), 0);
    host.close_file_handle();
    EXPECT_EQ(read_file(dir.file("t.txt")), "\fTABLE 1.0\r\n\r\n");
    EXPECT_EQ(host.create_output_file(dir.file("no/such/dir.txt")), 2);
}

TEST(ConsoleHost, FirstInterruptAsksToFinishIterating) {
    std::ostringstream out;
    std::istringstream in;
    ConsoleHost host(out, in);
    ConsoleHost::install_interrupt_handler();
    EXPECT_FALSE(host.finish_iterating_requested());
    std::raise(SIGINT);
    EXPECT_TRUE(host.finish_iterating_requested());
    host.clear_finish_iterating();
    EXPECT_FALSE(host.finish_iterating_requested());
    std::signal(SIGINT, SIG_DFL);
}

TEST(ConsoleHost, MenusAreRecorded) {
    std::ostringstream out;
    std::istringstream in;
    ConsoleHost host(out, in);
    host.insert_menu_item(0, 1, "Edit Control File=/a/b.txt", nullptr);
    host.add_edit_menu_entry("Edit TFILE=", "/a/t.txt");
    ASSERT_EQ(host.menu_entries().size(), 2u);
    EXPECT_EQ(host.menu_entries()[1], "edit:Edit TFILE=/a/t.txt");
    EXPECT_FALSE(host.keep_idling());
}

TEST(ConsoleHost, ReadsLineFilesAndServesNoDialogHelpOrWindow) {
    ScratchDir dir;
    std::ostringstream out;
    std::istringstream in;
    ConsoleHost host(out, in);
    write_file(dir.file("m.txt"), "; PERSON file\r\n\r\n 1  .50 A\r\n");
    ASSERT_EQ(host.open_input_file(dir.file("m.txt")), 0);
    std::string line;
    int count = 0;
    ASSERT_EQ(host.read_file_line(line, count, 4), 0);
    EXPECT_EQ(line, "; PE");
    EXPECT_EQ(count, 13);
    ASSERT_EQ(host.read_file_line(line, count, 80), 0);
    EXPECT_EQ(line, " 1  .50 A");
    EXPECT_EQ(host.read_file_line(line, count, 80), -1);
    host.close_file_handle();
    EXPECT_EQ(host.open_input_file(dir.file("none.txt")), 2);

    EXPECT_EQ(host.prompt_for_file_name("Control File", "All Files (*.*)", FilePromptMode::Open), "");
    EXPECT_FALSE(host.show_help_topic(987654));  // no help page beside the program
    host.submit_pending_input();                 // nothing waits: nothing happens
    host.pump_messages();
    EXPECT_EQ(out.str(), "");
}

TEST(ConsoleHost, EndingTheProgramFlushesAndExitsWithTheStatus) {
    EXPECT_EXIT(
        {
            ConsoleHost host(std::cout, std::cin);
            std::cout << "last words";
            host.end_program(3);
        },
        ::testing::ExitedWithCode(3), "");
}
