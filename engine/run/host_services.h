// The narrow interface between the engine and the program that hosts it (console or desktop).
// The engine never talks to a terminal, window, menu or dialog directly: it calls these.
// The services come in groups; the window, menu and dialog calls do nothing by default, so a
// host implements what it serves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run/message_texts.h"

namespace korvelan {

// Desktop settings the run start reads (the settings file of the shell).
struct InitialSettings {
    std::string editor;           // program that opens text files; blank: none is started
    std::string spreadsheet;      // blank: none
    std::string temp_directory;   // blank: $TMPDIR, else /tmp
    std::string filter = msg::kAllFilesFilter;  // file-prompt filter: a description with its pattern
    char report_prompt = 'Y';     // 'N': an unnamed report goes to the ZOU work file
    char welcome = 'Y';
};

// A menu entry handler: receives the entry text.
using MenuHandler = void (*)(std::string_view entry_text);

// Whether a file prompt asks for a file to read or a name to write.
enum class FilePromptMode { Open, Save };

// How the last console read ended: Enter on a typed line, the Open File command (the prompt's
// file dialog is wanted), or another menu command that answered the waiting prompt instead
// (its line is not an answer).
enum class ConsoleAnswer { Typed, OpenFile, MenuCommand };

// The Input/Output window: lines out, typed lines in, the finish-iterating request.
class ConsoleWindowServices {
public:
    virtual ~ConsoleWindowServices() = default;
    virtual void write_text_window_line(std::string_view text) = 0;
    // Continues the current line; character 13 ends it.
    virtual void send_char_to_text_window(char c) = 0;
    // Waits for one typed line. nullopt when no line can come (batch mode, end of input):
    // the caller then takes the empty answer and never waits.
    virtual std::optional<std::string> console_read_line() = 0;
    // How the last console_read_line ended.
    virtual ConsoleAnswer console_answer() const { return ConsoleAnswer::Typed; }
    // Shows a prompt without ending the line.
    virtual void console_write_prompt(std::string_view text) = 0;
    // True once the user asked to finish iterating since the last clear.
    virtual bool finish_iterating_requested() = 0;
    virtual void clear_finish_iterating() = 0;

    // Handles pending events; returns at once when there are none.
    virtual void pump_messages() {}
    // Whether the idle loop after a run should go on pumping (a desktop host) or return.
    virtual bool keep_idling() { return false; }
    // Ends a console read that waits, as answered by a menu command; nothing otherwise.
    virtual void submit_pending_input() {}
};

// The one platform line file: Table files and output files after the run, measure files read
// for a comparison. One file at a time. Statuses: 0, -1 end of file, positive error codes.
class LineFileServices {
public:
    virtual ~LineFileServices() = default;
    virtual int create_output_file(const std::string& path) = 0;
    // Writes the text without trailing blanks, then CR LF.
    virtual int write_file_line(std::string_view text) = 0;
    virtual int open_input_file(const std::string& path) = 0;
    // Reads the next non-empty line: its characters, at most `capacity` of them, go to `line`,
    // and `count` is the line's whole length. Returns 0, -1 at the end, or a read error (the
    // file is then closed).
    virtual int read_file_line(std::string& line, int& count, int capacity) = 0;
    virtual void close_file_handle() = 0;
};

// Programs, help, the end of the program.
class ProgramServices {
public:
    virtual ~ProgramServices() = default;
    // Starts a program (the text editor) with one argument and does not wait for it; a blank
    // argument starts it alone. Status 0 or an error code; a host without programs to start
    // does nothing.
    virtual int run_program_with_argument(std::string_view program, std::string_view argument) {
        (void)program;
        (void)argument;
        return 0;
    }
    // Opens the help topic of a context number; false when there is no help to show.
    virtual bool show_help_topic(int context) {
        (void)context;
        return false;
    }
    // Ends the program with the exit status; the work files are the caller's to delete first.
    [[noreturn]] virtual void end_program(int exit_status) = 0;
};

// Dialogs; an empty file name means cancelled.
class DialogServices {
public:
    virtual ~DialogServices() = default;
    // The chosen file as an absolute path, or empty when cancelled. The filter is a settings
    // filter text ("Control Files (*.con)").
    virtual std::string prompt_for_file_name(std::string_view title, std::string_view filter,
                                             FilePromptMode mode) = 0;
    virtual void show_welcome_dialog() {}
};

// Menus built at run time. A host without menus ignores them.
class MenuServices {
public:
    virtual ~MenuServices() = default;
    virtual void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) {
        (void)menu, (void)position, (void)text, (void)h;
    }
    virtual void append_menu_item(int menu, std::string_view text, MenuHandler h) {
        (void)menu, (void)text, (void)h;
    }
    virtual void add_system_menu_item(std::string_view text) { (void)text; }
    virtual void delete_menu_item(int menu, int position) { (void)menu, (void)position; }
    virtual void set_file_prompt_menu_enabled(bool enabled) { (void)enabled; }
    virtual void build_result_menus(int state) { (void)state; }
    virtual void set_result_menus_enabled(int state) { (void)state; }
    virtual void add_edit_menu_entry(std::string_view label, std::string_view path) {
        (void)label, (void)path;
    }
};

class HostServices : public ConsoleWindowServices,
                     public LineFileServices,
                     public ProgramServices,
                     public DialogServices,
                     public MenuServices {
public:
    virtual const InitialSettings& initial_settings() = 0;
};

}  // namespace korvelan
