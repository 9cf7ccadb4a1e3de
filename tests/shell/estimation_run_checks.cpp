#include "tests/shell/estimation_run_checks.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "tests/support/test_files.h"

namespace korvelan::testing {

namespace {

std::vector<std::string> text_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

}  // namespace

std::vector<StepLine> read_step_file(const std::string& bytes) {
    std::vector<StepLine> out;
    for (const std::string& line : text_lines(bytes)) {
        if (line.empty() || line[0] == ';') continue;
        std::vector<std::string> w = words(line);
        StepLine s;
        if (w.size() == 3) {
            s.item = std::atoi(w[0].c_str());
            w.erase(w.begin());
        }
        if (w.size() != 2) continue;
        s.category = std::atoi(w[0].c_str());
        s.value = std::strtod(w[1].c_str(), nullptr);
        out.push_back(s);
    }
    return out;
}

std::vector<std::string> convergence_rows(const std::string& report, const std::string& word) {
    static const std::regex row(R"(^\|\s+\d+\s.*\|$)");
    std::vector<std::string> rows;
    const std::vector<std::string> lines = text_lines(report);
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.rfind("|    " + word + " ", 0) == 0;
    });
    if (at == lines.end()) return rows;
    at += 2;  // the column heading line
    for (; at != lines.end(); ++at) {
        if (at->empty() || (*at)[0] == '>') continue;  // progress bars on screen
        if (at->rfind("|---", 0) == 0) {
            if (rows.empty()) continue;  // the separator under the heading
            break;
        }
        if (!std::regex_match(*at, row)) break;
        rows.push_back(*at);
    }
    return rows;
}

double summary_number(const std::string& screen, const std::string& block, const std::string& row,
                      int field) {
    const std::vector<std::string> lines = text_lines(screen);
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.rfind("| " + block + " ", 0) == 0 && l.find(" INPUT ") != std::string::npos;
    });
    for (; at != lines.end(); ++at) {
        if (at->rfind("| " + row + " ", 0) != 0) continue;
        std::string text = at->substr(2 + row.size());
        if (!text.empty() && text.back() == '|') text.pop_back();
        const std::vector<std::string> w = words(text);
        if (field < static_cast<int>(w.size())) return std::strtod(w[field].c_str(), nullptr);
        break;
    }
    return NAN;
}

std::vector<double> reliability_row(const std::string& screen, const std::string& block) {
    static const std::regex row(
        R"(^\| REAL RMSE +(\S+) +ADJ\.SD +(\S+) +SEPARATION +(\S+) +\S+ +RELIABILITY +(\S+)\|$)");
    const std::vector<std::string> lines = text_lines(screen);
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.rfind("| " + block + " ", 0) == 0 && l.find(" INPUT ") != std::string::npos;
    });
    std::smatch m;
    for (; at != lines.end(); ++at) {
        if (!std::regex_match(*at, m, row)) continue;
        std::vector<double> out;
        for (int k = 1; k <= 4; ++k) out.push_back(std::strtod(m[k].str().c_str(), nullptr));
        return out;
    }
    return {};
}

namespace {

ScoreTerm conditional_term(char model, const std::vector<double>& steps, double difference,
                           int category) {
    const int m = static_cast<int>(steps.size()) - 1;
    ScoreTerm t;
    if (m < 2 || model == 'R') {
        // Category k has the log-numerator sum over j <= k of (difference - step j).
        std::vector<double> numerator(m + 1, 0.0);
        for (int k = 1; k <= m; ++k) numerator[k] = numerator[k - 1] + difference - steps[k];
        const double top = *std::max_element(numerator.begin(), numerator.end());
        double total = 0.0, weighted = 0.0, squares = 0.0;
        for (int k = 0; k <= m; ++k) {
            const double e = std::exp(numerator[k] - top);
            total += e;
            weighted += k * e;
            squares += k * k * e;
        }
        t.expected = weighted / total;
        t.variance = squares / total - t.expected * t.expected;
        t.observed = category;
        t.maximum = m;
        return t;
    }
    auto pass = [&](int k) { return 1.0 / (1.0 + std::exp(steps[k] - difference)); };
    if (model == 'S') {
        // Steps 1..c passed, step c+1 failed (when there is one).
        const int last = std::min(category + 1, m);
        for (int k = 1; k <= last; ++k) t.expected += pass(k), t.variance += pass(k) * (1.0 - pass(k));
        t.observed = category;
        t.maximum = last;
    } else {
        // Steps m..c+1 failed, step c passed (when c > 0).
        for (int k = std::max(category, 1); k <= m; ++k)
            t.expected += pass(k), t.variance += pass(k) * (1.0 - pass(k));
        t.observed = category > 0 ? 1 : 0;
        t.maximum = category > 0 ? m - category + 1 : m;
    }
    return t;
}

}  // namespace

ScoreTerm score_term(char model, const std::vector<double>& steps, double difference, int category) {
    ScoreTerm t = conditional_term(model, steps, difference, category);
    const int m = static_cast<int>(steps.size()) - 1;
    if (m < 2 || model == 'R') {
        t.residual_variance = t.variance;
        return t;
    }
    // The chain walked from its first step: category c ends it at the step it fails (S) or
    // passes (F).
    double reach = 1.0;
    for (int n = 0; n <= m; ++n) {
        const int c = model == 'S' ? n : m - n;
        const int k = model == 'S' ? c + 1 : c;
        double end = 1.0;
        if (k >= 1 && k <= m) {
            const double pass = 1.0 / (1.0 + std::exp(steps[k] - difference));
            end = model == 'S' ? 1.0 - pass : pass;
        }
        const ScoreTerm other = conditional_term(model, steps, difference, c);
        t.residual_variance += reach * end * std::pow(other.observed - other.expected, 2);
        reach *= 1.0 - end;
    }
    return t;
}

ProgramResult run_korvelan_interrupting(const std::string& folder, const std::vector<std::string>& args,
                                        const std::string& temp_dir, const std::string& marker,
                                        int timeout_seconds) {
    ProgramResult r;
    int out[2];
    if (::pipe(out) != 0) return r;
    pid_t pid = ::fork();
    if (pid == 0) {
        const int nothing = ::open("/dev/null", O_RDONLY);
        if (nothing >= 0) ::dup2(nothing, 0);
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(out[0]);
        ::close(out[1]);
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::setenv("TMPDIR", temp_dir.c_str(), 1);
        std::vector<std::string> copies(args);
        std::string program = KORVELAN_BINARY;
        std::vector<char*> argv{program.data()};
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    bool interrupted = false, timed_out = false;
    char buf[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd pfd{out[0], POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        r.screen.append(buf, static_cast<std::size_t>(n));
        if (!interrupted && r.screen.find(marker) != std::string::npos) {
            ::kill(pid, SIGINT);
            interrupted = true;
        }
    }
    if (timed_out) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    if (timed_out) r.exit_status = -2;
    else if (WIFEXITED(status)) r.exit_status = WEXITSTATUS(status);
    return r;
}

}  // namespace korvelan::testing
