// The desktop host: serves the engine's host services with the Input/Output window. The engine
// runs on the window's thread; every line written and every progress mark pumps the event
// queue, and a console read waits in a nested event loop until Enter ends the typed line, so
// the window stays live throughout the run. The menu calls go to the menus the frame hands over
// (set_menu_services); dialogs are filled in by the frame.
#pragma once

#include <QEventLoop>
#include <chrono>
#include <string>

#include "engine/run/host_services.h"
#include "shell/menus/menu_forwarding.h"
#include "shell/services/line_file_host.h"
#include "shell/window/text_window.h"

namespace korvelan {

class DesktopHost : public MenuForwarding<LineFileHost> {
public:
    explicit DesktopHost(TextWindow& window);

    // The console hooks.
    // Waits for a typed line; places at most capacity - 2 of its characters, then CR LF, and
    // returns how many were placed.
    int console_read_line(char* buffer, int capacity);
    // Shows the text as a new line; a trailing LF or CR LF is not part of it.
    void console_write_line(std::string_view text);
    // Runs until the program is ended (the window closes or the exit command); once only.
    void final_message_loop();

    void write_text_window_line(std::string_view text) override;
    void send_char_to_text_window(char c) override;
    std::optional<std::string> console_read_line() override;
    void console_write_prompt(std::string_view text) override;
    bool finish_iterating_requested() override { return finish_requested_; }
    void clear_finish_iterating() override { finish_requested_ = false; }
    void pump_messages() override;
    // The idle loop after a run: waits for events until the program is ended.
    bool keep_idling() override;
    void submit_pending_input() override;
    ConsoleAnswer console_answer() const override { return answer_kind_; }
    // The Open File command: a waiting read ends with an empty line, which asks the prompt for
    // its file dialog; nothing when no read waits.
    void answer_with_file_dialog();

    // The Finish iterating command: may be given at any time, also while the engine computes.
    void request_finish_iterating() { finish_requested_ = true; }
    // Ends waiting reads and the final loop (the window closes).
    void quit();
    bool read_waiting() const { return read_waiting_; }
    bool idling() const { return idling_; }


    [[noreturn]] void end_program(int exit_status) override;
    // No file dialog yet: the prompt is cancelled.
    std::string prompt_for_file_name(std::string_view, std::string_view, FilePromptMode) override { return {}; }

    const InitialSettings& initial_settings() override { return settings_; }
    InitialSettings& settings() { return settings_; }

private:
    TextWindow& window_;
    InitialSettings settings_;
    QEventLoop* read_loop_ = nullptr;
    bool read_waiting_ = false;
    bool finish_requested_ = false;
    bool final_loop_ran_ = false;
    bool quitting_ = false;
    bool idling_ = false;
    std::string answer_;  // the line Enter ended
    ConsoleAnswer answer_kind_ = ConsoleAnswer::Typed;
    static constexpr std::chrono::milliseconds kPumpInterval{15};
    std::chrono::steady_clock::time_point last_pump_{};
};

}  // namespace korvelan
