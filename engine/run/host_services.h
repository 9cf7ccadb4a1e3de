// The narrow interface between the engine and the program that hosts it (console or desktop).
// The engine never talks to a terminal, window, menu or dialog directly: it calls these.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvelan {

// Desktop settings the run start reads (the settings file of the shell).
struct InitialSettings {
    std::string temp_directory;   // blank: $TMPDIR, else /tmp
    char report_prompt = 'Y';     // 'N': an unnamed report goes to the ZOU work file
    char welcome = 'Y';
    std::string editor;
    std::string filter = "*.txt";
};

// A menu entry handler: receives the entry text.
using MenuHandler = void (*)(std::string_view entry_text);

class HostServices {
public:
    virtual ~HostServices() = default;

    // Input/Output window.
    virtual void write_text_window_line(std::string_view text) = 0;
    // Continues the current line; character 13 ends it.
    virtual void send_char_to_text_window(char c) = 0;
    // Waits for one typed line. nullopt when no line can come (batch mode, end of input):
    // the caller then takes the empty answer and never waits.
    virtual std::optional<std::string> console_read_line() = 0;
    // Shows a prompt without ending the line.
    virtual void console_write_prompt(std::string_view text) = 0;
    // Handles pending events; returns at once when there are none.
    virtual void pump_messages() = 0;
    // True once the user asked to finish iterating since the last clear.
    virtual bool finish_iterating_requested() = 0;
    virtual void clear_finish_iterating() = 0;
    // Whether the idle loop after a run should go on pumping (a desktop host) or return (console).
    virtual bool keep_idling() = 0;

    // The one open platform line file (Table files after the run). Status 0 or an error code.
    virtual int create_output_file(const std::string& path) = 0;
    virtual int write_file_line(std::string_view text) = 0;
    virtual void close_file_handle() = 0;

    // Starts a program (the text editor) with one argument and does not wait for it. Status 0
    // or an error code; a host without programs to start does nothing.
    virtual int run_program_with_argument(std::string_view program, std::string_view argument) {
        (void)program;
        (void)argument;
        return 0;
    }

    // Dialogs; an empty result means cancelled.
    virtual std::string prompt_for_file_name(std::string_view title, std::string_view filter) = 0;
    virtual void show_welcome_dialog() = 0;

    // Menus. The console host only records them.
    virtual void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) = 0;
    virtual void append_menu_item(int menu, std::string_view text, MenuHandler h) = 0;
    virtual void add_system_menu_item(std::string_view text) = 0;
    virtual void delete_menu_item(int menu, int position) = 0;
    virtual void set_file_prompt_menu_enabled(bool enabled) = 0;
    virtual void build_result_menus(int state) = 0;
    virtual void set_result_menus_enabled(int state) = 0;
    virtual void add_edit_menu_entry(std::string_view label, std::string_view path) = 0;

    virtual const InitialSettings& initial_settings() = 0;
};

}  // namespace korvelan
