// The console host: serves the engine's host services on a terminal or in batch mode.
// Window lines go to standard output, typed lines come from standard input, menus are only
// recorded, dialogs are cancelled, and the first Ctrl+C asks the estimation to finish iterating.
// It never links Qt: servers and CI run it without a display.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/run/host_services.h"
#include "shell/services/line_file_host.h"

namespace korvelan {

class ConsoleHost : public LineFileHost {
public:
    ConsoleHost(std::ostream& out, std::istream& in);
    ~ConsoleHost() override;

    // Installs the Ctrl+C handler: the first press finishes iterating, the second ends the program.
    static void install_interrupt_handler();
    // Installs the handlers of SIGTERM, SIGHUP and SIGPIPE: the program ends at once, deleting the
    // run's work files and the files it was writing, and leaving every earlier file as it was.
    static void install_termination_handlers();

    void write_text_window_line(std::string_view text) override;
    void send_char_to_text_window(char c) override;
    std::optional<std::string> console_read_line() override;
    void console_write_prompt(std::string_view text) override;
    bool finish_iterating_requested() override;
    void clear_finish_iterating() override;


    // Shows where the help page of the context lies; false when there is none.
    bool show_help_topic(int context) override;
    // Flushes the output and ends the process.
    [[noreturn]] void end_program(int exit_status) override;

    // No dialog at a console: the prompt is cancelled.
    std::string prompt_for_file_name(std::string_view, std::string_view, FilePromptMode) override { return {}; }

    void insert_menu_item(int menu, int position, std::string_view text, MenuHandler) override;
    void append_menu_item(int menu, std::string_view text, MenuHandler) override;
    void add_system_menu_item(std::string_view text) override;
    void add_edit_menu_entry(std::string_view label, std::string_view path) override;

    const InitialSettings& initial_settings() override { return settings_; }
    // When the typed lines do not come from a terminal, nothing echoes them: the host ends the
    // prompt's line itself after each answer.
    void set_end_prompt_lines(bool end) { end_prompt_lines_ = end; }
    InitialSettings& settings() { return settings_; }
    const std::vector<std::string>& menu_entries() const { return menu_entries_; }

private:
    std::ostream& out_;
    std::istream& in_;
    bool line_open_ = false;  // characters were sent without a line end
    bool end_prompt_lines_ = false;
    InitialSettings settings_;
    std::vector<std::string> menu_entries_;
};

}  // namespace korvelan
