// A host for engine tests: records window lines, typed characters, menus and the line file;
// answers console reads from a queue (none left: no answer can come).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/run/host_services.h"
#include "engine/run/run.h"

namespace korvelan::testing {

// Thrown by TestHost::end_program, so that a test sees the program end.
struct ProgramEnded {
    int exit_status;
};

class TestHost : public HostServices {
public:
    std::vector<std::string> lines;  // window lines, characters sent joined into lines
    std::string open_chars;
    std::deque<std::string> answers;
    std::vector<std::string> prompts;
    std::vector<std::string> menus;
    std::vector<std::string> line_file;  // lines written to the platform line file
    std::string line_file_path;
    InitialSettings settings;
    std::deque<std::string> file_answers;       // answers of the file-name dialogs
    std::vector<std::string> dialog_titles;     // titles of the file-name dialogs shown
    std::vector<FilePromptMode> dialog_modes;   // open or save, for each dialog shown
    std::deque<std::string> input_lines;        // lines the line file reads, after open_input_file
    std::string input_path;
    int create_status = 0;                      // status create_output_file returns
    bool mirror_to_disk = false;                // the line file is also written as a real file
    int line_file_closes = 0;
    std::vector<std::string> programs_started;  // "program argument"
    bool finish = false;
    int idle_rounds = 0;  // how many idle-loop passes to allow
    int pumps = 0;

    void write_text_window_line(std::string_view text) override;
    void send_char_to_text_window(char c) override;
    std::optional<std::string> console_read_line() override;
    void console_write_prompt(std::string_view text) override { prompts.emplace_back(text); }
    void pump_messages() override { ++pumps; }
    bool finish_iterating_requested() override { return finish; }
    void clear_finish_iterating() override { finish = false; }
    bool keep_idling() override { return idle_rounds-- > 0; }
    int create_output_file(const std::string& path) override;
    int write_file_line(std::string_view text) override;
    void close_file_handle() override;
    int open_input_file(const std::string& path) override;
    int read_file_line(std::string& line, int& count, int capacity) override;
    std::string prompt_for_file_name(std::string_view title, std::string_view, FilePromptMode mode) override;
    [[noreturn]] void end_program(int exit_status) override { throw ProgramEnded{exit_status}; }
    int run_program_with_argument(std::string_view program, std::string_view argument) override {
        programs_started.push_back(std::string(program) + " " + std::string(argument));
        return 0;
    }
    void insert_menu_item(int, int, std::string_view text, MenuHandler) override { menus.emplace_back(text); }
    void append_menu_item(int, std::string_view text, MenuHandler) override { menus.emplace_back(text); }
    void add_edit_menu_entry(std::string_view label, std::string_view path) override {
        menus.push_back(std::string(label) + std::string(path));
    }
    const InitialSettings& initial_settings() override { return settings; }

    // All window lines joined with "\n".
    std::string screen() const;
    bool shows(std::string_view text) const;
};

}  // namespace korvelan::testing
