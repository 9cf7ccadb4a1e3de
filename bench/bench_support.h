// Shared pieces of the benchmark programs: a host that shows nothing and notes when the screen
// lines that open each phase of a run appear, generated Rasch responses, a clock, a runner that
// measures each case in a child process so that its peak memory is its own, and the set-up of a
// whole batch run (its control file, its data file and the run itself in a scratch folder).
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
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/driver/run_analysis.h"
#include "engine/run/host_services.h"
#include "engine/run/messages.h"
#include "engine/run/run.h"

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

namespace fs = std::filesystem;

// A scratch folder of this process for the files of a batch run: "<temp>/<prefix><pid>".
inline fs::path scratch_directory(const std::string& prefix) {
    return fs::temp_directory_path() / (prefix + std::to_string(::getpid()));
}

// The worker-thread count of the runs of this process.
inline void use_threads(int threads) {
    ::setenv("KORVELAN_THREADS", std::to_string(threads).c_str(), 1);
}

// The response codes of k categories: "01", "012", ...
inline std::string category_codes(int categories) {
    return std::string("0123456789").substr(0, static_cast<std::size_t>(categories));
}

// The control file dir/bench.txt of a batch run over dir/bench.dat: the title, NI= items with
// the person name after them, CODES=, the data file, then `extra` (whole lines ending in "\n")
// before &END, and one label per item.
// Whether the name is left out, the label being the first responses: when the record would be
// longer than the 32,000 columns a record may have.
inline bool name_in_responses(int items) { return items + 10 > 32000; }

inline void write_control_file(const fs::path& dir, const std::string& title, int items,
                               const std::string& codes, const std::string& extra) {
    std::FILE* control = std::fopen((dir / "bench.txt").c_str(), "wb");
    std::fprintf(control,
                 "TITLE=%s\nNI=%d\nITEM1=1\nNAME1=%d\nNAMLEN=9\nCODES=%s\nDATA=bench.dat\n%s&END\n",
                 title.c_str(), items, name_in_responses(items) ? 1 : items + 2, codes.c_str(), extra.c_str());
    for (int i = 1; i <= items; ++i) std::fprintf(control, "Item %d\n", i);
    std::fprintf(control, "END LABELS\n");
    std::fclose(control);
}

// The data file dir/bench.dat: one record per person of generate_responses, the responses from
// column 1 and the name "P00000001" after a blank (on a long test, no name). A response for which leave_out() is true
// (when given; asked once per response, in order) is left blank.
inline void write_data_file(const fs::path& dir, long persons, int items,
                            const std::vector<double>& steps, unsigned seed,
                            const std::function<bool()>& leave_out = {}) {
    std::FILE* data = std::fopen((dir / "bench.dat").c_str(), "wb");
    std::string record(static_cast<std::size_t>(items), ' ');
    generate_responses(persons, items, steps, seed, [&](long n, int i, int x) {
        const bool blank = leave_out && leave_out();
        record[static_cast<std::size_t>(i)] = blank ? ' ' : static_cast<char>('0' + x);
        if (i + 1 == items && name_in_responses(items)) std::fprintf(data, "%s\n", record.c_str());
        else if (i + 1 == items) std::fprintf(data, "%s P%08ld\n", record.c_str(), n + 1);
    });
    std::fclose(data);
}

struct BatchRun {
    int status = 0;
    Clock::time_point start, end;  // around the analysis, before its work files are deleted
};

// Runs dir/bench.txt in batch mode with the report dir/bench.out and the work files in dir,
// through host; prepare(run), when given, adjusts the run before it starts.
inline BatchRun run_batch(const fs::path& dir, QuietHost& host,
                          const std::function<void(korvelan::Run&)>& prepare = {}) {
    host.settings.temp_directory = dir.string() + "/";
    korvelan::Run run;
    run.host = &host;
    run.args = {(dir / "bench.txt").string(), (dir / "bench.out").string(), "BATCH=Y"};
    if (prepare) prepare(run);
    BatchRun result;
    result.start = Clock::now();
    result.status = korvelan::run_analysis(run);
    result.end = Clock::now();
    korvelan::delete_work_files_at_exit(run);
    return result;
}

}  // namespace bench
