// Whole batch runs of the korvelan engine as a user starts them: a control file and a data file
// on disk, run through the analysis driver with PFILE= and IFILE=, at several worker-thread
// counts (KORVELAN_THREADS). Each run goes in a child process of its own. Prints, per run, the
// time of each phase (from the screen lines that open the phases), the whole run and its peak
// memory.
//
//   bench_batch_run [--threads 1,2,4,8] [case ...]
//   cases: dich1m (1,000,000 x 100 dichotomous), dich100k (100,000 x 100 dichotomous),
//          rating200k (200,000 x 50, one rating scale of five categories); default all three.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

namespace fs = bench::fs;

struct Case {
    const char* name;
    long persons;
    int items;
    std::vector<double> steps;
};

const Case kCases[] = {
    {"dich1m", 1000000, 100, {0.0}},
    {"dich100k", 100000, 100, {0.0}},
    {"rating200k", 200000, 50, {-1.5, -0.5, 0.5, 1.5}},
};

// The control file and the data file of a case in dir.
void write_case(const Case& c, const fs::path& dir) {
    bench::write_control_file(dir, std::string("Batch run benchmark ") + c.name, c.items,
                              bench::category_codes(static_cast<int>(c.steps.size()) + 1),
                              "PFILE=p.txt\nIFILE=i.txt\n");
    bench::write_data_file(dir, c.persons, c.items, c.steps, 20260501u);
}

// Screen lines that open the phases after data input, in order.
const std::vector<std::string> kMarkers = {"CONVERGENCE TABLE", "|    UCON", "Calculating Fit",
                                           "Standardized Residuals", "Writing ", "Output written"};

void run_case(const Case& c, const fs::path& dir, int threads) {
    bench::QuietHost host(kMarkers);
    const bench::BatchRun r = bench::run_batch(dir, host);
    const auto start = r.start, end = r.end;
    const int status = r.status;
    // Phase k runs from the marker before it (the start for the first) to its own marker.
    std::vector<double> phase;
    auto from = start;
    for (std::size_t k = 0; k < kMarkers.size(); ++k) {
        const auto to = host.seen(k, from);
        phase.push_back(bench::seconds_between(from, to));
        from = to;
    }
    std::printf("%-10s %7d %8.2f %8.2f %8.2f %8.2f %8.2f %8.2f %8.2f", c.name, threads, phase[0],
                phase[1], phase[2], phase[3], phase[4], phase[5] + bench::seconds_between(from, end),
                bench::seconds_between(start, end));
    if (status != 0) std::printf("  (exit status %d)", status);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> thread_counts;
    std::vector<const Case*> cases;
    bench::read_arguments(argc, argv, kCases, thread_counts, cases);

    const fs::path dir = bench::scratch_directory("kvbatch");
    std::printf("%-10s %7s %8s %8s %8s %8s %8s %8s %8s %9s %6s\n", "case", "threads", "input",
                "PROX", "UCON", "fit", "summary", "files", "whole", "peak MB", "B/resp");
    for (const Case* c : cases) {
        fs::create_directories(dir);
        write_case(*c, dir);
        for (int threads : thread_counts) {
            const double peak = bench::run_in_child([&] {
                bench::use_threads(threads);
                run_case(*c, dir, threads);
            });
            std::printf(" %9.1f %6.2f\n", peak / 1e6, peak / (static_cast<double>(c->persons) * c->items));
        }
        fs::remove_all(dir);
    }
    return 0;
}
