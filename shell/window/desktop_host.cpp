#include "shell/window/desktop_host.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvelan {

DesktopHost::DesktopHost(TextWindow& window) : window_(window) {
    // The answer is the line as Enter ended it: characters typed after it in the same paste
    // belong to the next answer.
    window_.on_line_ended = [this] {
        answer_ = std::string(window_.store().last_line());
        read_waiting_ = false;
        if (read_loop_) read_loop_->quit();
    };
}

// The engine pumps at every line and progress mark; serving the events (and repainting the
// window) more often than every few milliseconds would only slow the run down.
void DesktopHost::pump_messages() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_pump_ < kPumpInterval) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    last_pump_ = std::chrono::steady_clock::now();
}

void DesktopHost::write_text_window_line(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    window_.append_line(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
    pump_messages();
}

void DesktopHost::console_write_line(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    window_.append_line(text);
    pump_messages();
}

void DesktopHost::send_char_to_text_window(char c) {
    window_.type_char(static_cast<unsigned char>(c));
    pump_messages();
}

void DesktopHost::console_write_prompt(std::string_view text) { console_write_line(text); }

std::optional<std::string> DesktopHost::console_read_line() {
    if (quitting_) return std::nullopt;
    read_waiting_ = true;
    answer_kind_ = ConsoleAnswer::Typed;
    answer_ = std::string(window_.store().last_line());
    QEventLoop loop;
    read_loop_ = &loop;
    loop.exec();
    read_loop_ = nullptr;
    read_waiting_ = false;
    return answer_;
}

int DesktopHost::console_read_line(char* buffer, int capacity) {
    const std::string line = console_read_line().value_or(std::string());
    if (capacity < 2) return 0;  // no room even for the line end
    const int k = std::max(0, std::min(static_cast<int>(line.size()), capacity - 2));
    std::memcpy(buffer, line.data(), static_cast<std::size_t>(k));
    buffer[k] = '\r';
    buffer[k + 1] = '\n';
    return k + 2;
}

// The Enter ends the typed line in the window; the read's answer then is the command's.
void DesktopHost::submit_pending_input() {
    if (!read_waiting_) return;
    window_.type_char(13);
    answer_kind_ = ConsoleAnswer::MenuCommand;
}

void DesktopHost::answer_with_file_dialog() {
    if (!read_waiting_) return;
    if (!window_.line_finished())
        for (std::size_t n = window_.store().last_line().size(); n > 0; --n) window_.type_char(8);
    window_.type_char(13);
    answer_kind_ = ConsoleAnswer::OpenFile;
}

bool DesktopHost::keep_idling() {
    idling_ = !quitting_;
    if (idling_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    idling_ = false;
    return !quitting_;
}

void DesktopHost::final_message_loop() {
    if (final_loop_ran_ || quitting_) return;
    final_loop_ran_ = true;
    while (!quitting_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void DesktopHost::quit() {
    quitting_ = true;
    read_waiting_ = false;
    if (read_loop_) read_loop_->quit();
}

void DesktopHost::end_program(int exit_status) {
    std::fflush(nullptr);
    std::exit(exit_status);
}

}  // namespace korvelan
