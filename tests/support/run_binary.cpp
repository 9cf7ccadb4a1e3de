#include "tests/support/run_binary.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <regex>

#include "tests/support/test_files.h"

namespace korvelan::testing {

ProgramResult run_korvelan(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& temp_dir, int timeout_seconds, bool input_closed) {
    ProgramResult r;
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return r;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(in[0]);
        ::close(in[1]);
        ::close(out[0]);
        ::close(out[1]);
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::setenv("TMPDIR", temp_dir.c_str(), 1);
        // The program talks to the test through its console: no display, so no window opens.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
        std::vector<char*> argv;
        std::string program = KORVELAN_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    if (input_closed) ::close(in[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    bool timed_out = false;
    char buf[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd pfd{out[0], POLLIN, 0};
        int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready <= 0) continue;
        ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        r.screen.append(buf, static_cast<std::size_t>(n));
    }
    if (timed_out) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    if (!input_closed) ::close(in[1]);
    if (timed_out) r.exit_status = -2;
    else if (WIFEXITED(status)) r.exit_status = WEXITSTATUS(status);
    return r;
}

std::string normalise_report(std::string text, const std::string& path, const std::string& stand_in) {
    static const std::regex date("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 0-9]{2} [ 0-9]{2}:[0-9]{2} [0-9]{4}");
    text = std::regex_replace(text, date, "Dec  8  8:05 2026");
    if (!path.empty()) {
        for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at + stand_in.size()))
            text.replace(at, path.size(), stand_in);
    }
    return text;
}

void expect_golden(const std::string& name, const std::string& actual) {
    std::string path = std::string(KORVELAN_SOURCE_DIR) + "/tests/golden/" + name;
    const char* update = std::getenv("KORVELAN_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        write_file(path, actual);
        return;
    }
    std::string expected = read_file(path);
    EXPECT_EQ(actual, expected) << "golden file " << name
                                << " differs (KORVELAN_UPDATE_GOLDEN=1 rewrites it)";
}

}  // namespace korvelan::testing
