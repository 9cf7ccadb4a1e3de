// korvelan: Rasch measurement. Usage: korvelan [CONTROL [REPORT]] [Variable=Value ...] [BATCH=Y]
//   [--console]; or one of the SPSS conversions of shell/spss_command.h. With a display and
//   without batch mode the analysis runs in the program's window.
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>

#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "shell/console_host.h"
#include "shell/frame/desktop_start.h"
#include "shell/services/console_decision.h"
#include "shell/spss_command.h"

int main(int argc, char** argv) {
    korvelan::ConsoleHost::install_termination_handlers();
    if (const auto status = korvelan::run_spss_command(std::vector<std::string>(argv + 1, argv + argc), std::cout)) {
        return *status;
    }
    // Decided before any Qt object exists, so that batch runs and servers need no display.
    const korvelan::ShellChoice choice = korvelan::choose_shell_mode(
        std::vector<std::string>(argv + 1, argv + argc), [](const char* name) { return std::getenv(name); });
    if (choice.mode == korvelan::ShellMode::Window) return korvelan::run_desktop(argc, argv, choice.engine_args);
    korvelan::ConsoleHost host(std::cout, std::cin);
    korvelan::ConsoleHost::install_interrupt_handler();
    // A file that reaches the file-size limit (ulimit -f) fails its write like a full disk, which
    // the engine reports and survives; the signal would end the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    host.set_end_prompt_lines(::isatty(STDIN_FILENO) == 0);
    korvelan::Run run;
    run.host = &host;
    run.args = choice.engine_args;
    int status = korvelan::run_analysis(run);
    korvelan::delete_work_files_at_exit(run);
    return status;
}
