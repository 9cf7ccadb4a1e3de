// The start of a whole batch run, which no worker thread shares: the data input (to the
// " Records Input." line) and the passes before PROX (to the convergence table), beside the
// whole run, on 1,000,000 persons x 100 dichotomous items (complete data, fixed columns, ASCII).
// Each run goes in a child process of its own; the figures of every run are printed, then the
// median of each phase.
//
//   bench_run_start [--threads 8] [--runs 3] [--data DIR] [--start-only 1]
//
// --data DIR keeps the control and data files in DIR (written when DIR holds no bench.dat), so
// that two builds of the program can be timed on the same files, run after run in turn.
// --start-only 1 ends each run at the convergence table (for a profile of the start alone).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

namespace fs = bench::fs;

constexpr long kPersons = 1000000;
constexpr int kItems = 100;

struct Times {
    double input = 0.0, to_prox = 0.0, whole = 0.0;
};

// A quiet host that, when asked, ends the process at the convergence table, handing on the
// times so far.
class StartHost : public bench::QuietHost {
  public:
    StartHost(bool start_only, int out)
        : QuietHost({" Records Input.", "CONVERGENCE TABLE"}), start_only_(start_only), out_(out) {}
    void write_text_window_line(std::string_view text) override {
        QuietHost::write_text_window_line(text);
        if (!start_only_ || text.find("CONVERGENCE TABLE") == std::string_view::npos) return;
        const auto now = bench::Clock::now();
        Times t;
        t.input = bench::seconds_between(start, seen(0, now));
        t.to_prox = t.whole = bench::seconds_between(start, now);
        ssize_t ignored = ::write(out_, &t, sizeof t);
        (void)ignored;
        ::_exit(0);
    }
    bench::Clock::time_point start = bench::Clock::now();

  private:
    bool start_only_;
    int out_;
};

// One run in a child process; its three times come back through a pipe.
Times time_one_run(const fs::path& dir, int threads, bool start_only) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    bench::run_in_child([&] {
        bench::use_threads(threads);
        StartHost host(start_only, ends[1]);
        const bench::BatchRun r = bench::run_batch(dir, host);
        Times t;
        t.input = bench::seconds_between(r.start, host.seen(0, r.end));
        t.to_prox = bench::seconds_between(r.start, host.seen(1, r.end));
        t.whole = bench::seconds_between(r.start, r.end);
        if (r.status != 0) t.whole = -r.status;
        ssize_t ignored = ::write(ends[1], &t, sizeof t);
        (void)ignored;
    });
    Times t;
    ::close(ends[1]);
    if (::read(ends[0], &t, sizeof t) != static_cast<ssize_t>(sizeof t)) t = {};
    ::close(ends[0]);
    // A run ended at the convergence table leaves its work files.
    if (start_only)
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 6 && name[0] == 'Z' && name.ends_with("kv.txt")) fs::remove(entry.path());
        }
    return t;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 8, runs = 3;
    bool start_only = false;
    fs::path dir;
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::string arg = argv[k];
        if (arg == "--threads") threads = std::atoi(argv[k + 1]);
        else if (arg == "--runs") runs = std::max(1, std::atoi(argv[k + 1]));
        else if (arg == "--data") dir = argv[k + 1];
        else if (arg == "--start-only") start_only = std::atoi(argv[k + 1]) != 0;
    }
    const bool keep = !dir.empty();
    if (!keep) dir = bench::scratch_directory("kvstart");
    fs::create_directories(dir);
    if (!fs::exists(dir / "bench.dat")) {
        bench::write_control_file(dir, "Run start benchmark", kItems, "01", "PFILE=p.txt\nIFILE=i.txt\n");
        bench::write_data_file(dir, kPersons, kItems, {0.0}, 20260501u);
    }
    std::printf("%7s %10s %10s %10s\n", "threads", "input", "to PROX", "whole");
    std::vector<double> input, to_prox, whole;
    for (int r = 0; r < runs; ++r) {
        const Times t = time_one_run(dir, threads, start_only);
        std::printf("%7d %10.3f %10.3f %10.3f\n", threads, t.input, t.to_prox, t.whole);
        std::fflush(stdout);
        input.push_back(t.input), to_prox.push_back(t.to_prox), whole.push_back(t.whole);
    }
    std::printf("median  %10.3f %10.3f %10.3f\n", median(input), median(to_prox), median(whole));
    if (!keep) fs::remove_all(dir);
    return 0;
}
