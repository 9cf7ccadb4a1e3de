#include "tests/shell/program_pool.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

extern char** environ;

namespace korvelan::testing {

namespace {

using Clock = std::chrono::steady_clock;

// Everything the child needs, made before the fork: between fork and exec the child calls
// only async-signal-safe functions.
struct Launch {
    std::vector<std::string> strings;
    std::vector<char*> argv, envp;
};

Launch make_launch(const ProgramJob& job) {
    Launch l;
    l.strings.push_back(KORVELAN_BINARY);
    l.strings.insert(l.strings.end(), job.args.begin(), job.args.end());
    const std::size_t args = l.strings.size();
    l.strings.push_back("TMPDIR=" + job.temp_dir);
    l.strings.insert(l.strings.end(), job.environment.begin(), job.environment.end());
    auto given = [&](const char* e) {
        for (const std::string& s : job.environment)
            if (std::strncmp(e, s.c_str(), s.find('=') + 1) == 0) return true;
        return std::strncmp(e, "TMPDIR=", 7) == 0;
    };
    for (char** e = environ; *e; ++e)
        if (!given(*e)) l.strings.push_back(*e);
    for (std::size_t i = 0; i < l.strings.size(); ++i)
        (i < args ? l.argv : l.envp).push_back(l.strings[i].data());
    l.argv.push_back(nullptr);
    l.envp.push_back(nullptr);
    return l;
}

[[noreturn]] void exec_child(const ProgramJob& job, Launch& l, int out) {
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing < 0 || ::dup2(nothing, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) ::_exit(126);
    if (::chdir(job.folder.c_str()) != 0) ::_exit(126);
    if (job.file_size_limit > 0) {
        const rlimit r{static_cast<rlim_t>(job.file_size_limit), static_cast<rlim_t>(job.file_size_limit)};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(126);
    }
    if (job.address_space_limit > 0) {
        const rlimit r{static_cast<rlim_t>(job.address_space_limit),
                       static_cast<rlim_t>(job.address_space_limit)};
        if (::setrlimit(RLIMIT_AS, &r) != 0) ::_exit(126);
    }
    if (job.unprivileged && ::geteuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0)
            ::_exit(126);
    }
    ::execve(l.argv[0], l.argv.data(), l.envp.data());
    ::_exit(127);
}

struct Active {
    std::size_t job = 0;
    pid_t pid = -1;
    int out = -1;  // read end of the child's output, -1 once it is closed
    Clock::time_point deadline;
    bool killed = false;
};

bool start(const ProgramJob& job, std::size_t index, Active& a) {
    Launch l = make_launch(job);
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
    const pid_t pid = ::fork();
    if (pid == 0) exec_child(job, l, pipe_fds[1]);
    ::close(pipe_fds[1]);
    if (pid < 0) {
        ::close(pipe_fds[0]);
        return false;
    }
    a = Active{index, pid, pipe_fds[0], Clock::now() + std::chrono::seconds(job.timeout_seconds), false};
    return true;
}

// Reads what the child wrote; true once its output is closed.
bool drain(Active& a, std::string& screen) {
    char buf[8192];
    const ssize_t n = ::read(a.out, buf, sizeof buf);
    if (n > 0) {
        screen.append(buf, static_cast<std::size_t>(n));
        return false;
    }
    if (n < 0 && errno == EINTR) return false;
    ::close(a.out);
    a.out = -1;
    return true;
}

void finish(Active& a, JobResult& r) {
    int status = 0;
    ::waitpid(a.pid, &status, 0);
    if (a.killed) r.exit_status = -2;
    else if (WIFEXITED(status)) r.exit_status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
}

}  // namespace

std::vector<JobResult> run_jobs(const std::vector<ProgramJob>& jobs, int at_once) {
    std::vector<JobResult> results(jobs.size());
    std::vector<Active> active;
    std::size_t next = 0;
    while (next < jobs.size() || !active.empty()) {
        while (next < jobs.size() && active.size() < static_cast<std::size_t>(at_once)) {
            Active a;
            if (start(jobs[next], next, a)) active.push_back(a);
            else results[next].exit_status = -3;
            ++next;
        }
        std::vector<pollfd> fds;
        for (const Active& a : active) fds.push_back(pollfd{a.out, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 50);
        for (std::size_t i = active.size(); i-- > 0;) {
            Active& a = active[i];
            JobResult& r = results[a.job];
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && drain(a, r.screen)) {
                finish(a, r);
                active.erase(active.begin() + static_cast<std::ptrdiff_t>(i));
            } else if (!a.killed && Clock::now() > a.deadline) {
                // The output stays open until the killed process is gone; then the read ends it.
                ::kill(a.pid, SIGKILL);
                a.killed = true;
            }
        }
    }
    return results;
}

bool running_as_root() { return ::geteuid() == 0; }

}  // namespace korvelan::testing
