#include "shell/console_host.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine/run/message_texts.h"
#include "engine/run/whole_files.h"
#include "shell/services/program_search.h"

namespace korvelan {

namespace {
std::atomic<int> g_interrupts{0};

// Ends the program at once: the run's work files and the files it was still writing aside are
// deleted, the files it finished are named (every other one stays as the earlier run left it),
// and the signal
// ends the process, so that its status says it failed. Only calls safe in a signal handler.
void end_at_once(int sig) {
    if (sig != SIGPIPE)
        write_finished_files(STDOUT_FILENO, msg::kStoppedBySignal, "\n");
    remove_run_files_now();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

extern "C" void on_interrupt(int sig) {
    // The first Ctrl+C asks to finish iterating; a second one, or one while the run waits for a
    // pipe that may never deliver, ends it.
    if (g_interrupts.fetch_add(1) >= 1 || in_blocking_wait()) end_at_once(sig);
}

extern "C" void on_termination(int sig) { end_at_once(sig); }
}  // namespace

ConsoleHost::ConsoleHost(std::ostream& out, std::istream& in) : out_(out), in_(in) {}

ConsoleHost::~ConsoleHost() = default;

void ConsoleHost::install_interrupt_handler() { std::signal(SIGINT, on_interrupt); }

void ConsoleHost::install_termination_handlers() {
    for (int sig : {SIGTERM, SIGHUP, SIGPIPE}) std::signal(sig, on_termination);
}

void ConsoleHost::write_text_window_line(std::string_view text) {
    if (line_open_) {
        out_ << '\n';
        line_open_ = false;
    }
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    out_.write(text.data(), static_cast<std::streamsize>(n));
    out_ << '\n';
    out_.flush();
}

void ConsoleHost::send_char_to_text_window(char c) {
    if (c == '\r') {
        out_ << '\n';
        line_open_ = false;
    } else {
        out_ << c;
        line_open_ = true;
    }
    out_.flush();
}

std::optional<std::string> ConsoleHost::console_read_line() {
    std::string line;
    if (!std::getline(in_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (end_prompt_lines_ && line_open_) {
        out_ << '\n';
        out_.flush();
    }
    line_open_ = false;
    return line;
}

void ConsoleHost::console_write_prompt(std::string_view text) {
    if (line_open_) out_ << '\n';
    out_ << text;
    out_.flush();
    line_open_ = true;
}

bool ConsoleHost::finish_iterating_requested() { return g_interrupts.load() > 0; }

void ConsoleHost::clear_finish_iterating() {
    int expected = 1;
    g_interrupts.compare_exchange_strong(expected, 0);
}

bool ConsoleHost::show_help_topic(int context) {
    const std::string page = help_topic_path(shipped_files_directory(program_directory()), context);
    if (!std::filesystem::exists(page)) return false;
    write_text_window_line(" Help: " + page);
    return true;
}

void ConsoleHost::end_program(int exit_status) {
    out_.flush();
    std::fflush(nullptr);
    std::exit(exit_status);
}

void ConsoleHost::insert_menu_item(int menu, int position, std::string_view text, MenuHandler) {
    menu_entries_.push_back(std::to_string(menu) + ":" + std::to_string(position) + ":" +
                            std::string(text));
}

void ConsoleHost::append_menu_item(int menu, std::string_view text, MenuHandler) {
    menu_entries_.push_back(std::to_string(menu) + ":+:" + std::string(text));
}

void ConsoleHost::add_system_menu_item(std::string_view text) {
    menu_entries_.push_back("system:" + std::string(text));
}

void ConsoleHost::add_edit_menu_entry(std::string_view label, std::string_view path) {
    menu_entries_.push_back("edit:" + std::string(label) + std::string(path));
}

}  // namespace korvelan
