// Shared pieces of the benchmark programs: a host that shows nothing and notes when the screen
// lines that open each phase of a run appear, generated Rasch responses, a clock, and a runner
// that measures each case in a child process so that its peak memory is its own.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/host_services.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A host that shows nothing and never waits. It notes the time at which the first screen line
// containing each marker appears.
class QuietHost : public korvelan::HostServices {
  public:
    explicit QuietHost(std::vector<std::string> markers = {})
        : markers_(std::move(markers)), seen_(markers_.size()) {}
    void write_text_window_line(std::string_view text) override {
        for (std::size_t k = 0; k < markers_.size(); ++k)
            if (!seen_[k] && text.find(markers_[k]) != std::string_view::npos) seen_[k] = Clock::now();
    }
    void send_char_to_text_window(char) override {}
    std::optional<std::string> console_read_line() override { return std::nullopt; }
    void console_write_prompt(std::string_view) override {}
    bool finish_iterating_requested() override { return false; }
    void clear_finish_iterating() override {}
    int create_output_file(const std::string&) override { return 0; }
    int write_file_line(std::string_view) override { return 0; }
    int open_input_file(const std::string&) override { return 2; }
    int read_file_line(std::string&, int&, int) override { return -1; }
    void close_file_handle() override {}
    [[noreturn]] void end_program(int exit_status) override { std::exit(exit_status); }
    std::string prompt_for_file_name(std::string_view, std::string_view, korvelan::FilePromptMode) override {
        return {};
    }
    const korvelan::InitialSettings& initial_settings() override { return settings; }

    // When marker k first appeared; `otherwise` when it never did.
    Clock::time_point seen(std::size_t k, Clock::time_point otherwise) const {
        return seen_[k] ? *seen_[k] : otherwise;
    }
    korvelan::InitialSettings settings;

  private:
    std::vector<std::string> markers_;
    std::vector<std::optional<Clock::time_point>> seen_;
};

// Responses of persons with normal abilities (mean 0.5, S.D. 1.5) to items spread evenly over
// -2..2 logits under the rating scale with the given steps (one step: dichotomous). Calls
// put(person, item, category) for every response, persons and items from 0.
template <class Put>
void generate_responses(long persons, int items, const std::vector<double>& steps, unsigned seed,
                        Put&& put) {
    const int m = static_cast<int>(steps.size());
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> ability(0.5, 1.5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> p(static_cast<std::size_t>(m) + 1);
    for (long n = 0; n < persons; ++n) {
        const double b = ability(rng);
        for (int i = 0; i < items; ++i) {
            const double d = b - (-2.0 + 4.0 * i / std::max(items - 1, 1));
            double exponent = 0.0, total = 1.0;
            p[0] = 1.0;
            for (int k = 1; k <= m; ++k) total += p[k] = std::exp(exponent += d - steps[k - 1]);
            double u = unit(rng) * total;
            int x = 0;
            while (x < m && (u -= p[x]) > 0.0) ++x;
            put(n, i, x);
        }
    }
}

// Runs body in a child process and returns its peak resident memory in bytes (0 when the child
// failed). The child's output is flushed before it ends.
inline double run_in_child(const std::function<void()>& body) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return 0.0;
    return usage.ru_maxrss * 1024.0;
}

// "1,2,4,8" as numbers.
inline std::vector<int> number_list(std::string_view text) {
    std::vector<int> out;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        out.push_back(std::atoi(std::string(text.substr(0, comma)).c_str()));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return out;
}

// The arguments of a benchmark program: "--threads 1,2,4,8" and the names of the cases to run
// (all of them when none is named). Case is a type with a member `name`.
template <class Case, std::size_t N>
void read_arguments(int argc, char** argv, const Case (&all)[N], std::vector<int>& thread_counts,
                    std::vector<const Case*>& cases) {
    thread_counts = {1, 2, 4, 8};
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--threads" && k + 1 < argc) {
            thread_counts = number_list(argv[++k]);
            continue;
        }
        for (const Case& c : all)
            if (arg == c.name) cases.push_back(&c);
    }
    if (cases.empty())
        for (const Case& c : all) cases.push_back(&c);
}

}  // namespace bench
