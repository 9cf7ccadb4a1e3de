// korvelan: Rasch measurement. Usage: korvelan CONTROL REPORT [Variable=Value ...] [BATCH=Y]
#include <unistd.h>

#include <iostream>

#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "shell/console_host.h"

int main(int argc, char** argv) {
    korvelan::ConsoleHost host(std::cout, std::cin);
    korvelan::ConsoleHost::install_interrupt_handler();
    host.set_end_prompt_lines(::isatty(STDIN_FILENO) == 0);
    korvelan::Run run;
    run.host = &host;
    for (int i = 1; i < argc; ++i) run.args.emplace_back(argv[i]);
    int status = korvelan::run_analysis(run);
    korvelan::delete_work_files_at_exit(run);
    return status;
}
