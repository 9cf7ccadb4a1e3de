// Times Tables 23 and 24 in whole batch runs: the residual correlations and principal
// components of 100 items over 100,000 persons (Table 23, the residuals in memory), and of
// 20,000 persons over 50 items (Table 24: 199,990,000 pairs, 1.6 GB of packed matrix, which the
// run is refused as if the machine had only 256 MB for scratch blocks, so the components pass
// over the correlation work file and the deflation file on disk). Each run goes in a child
// process of its own. Prints the time to the Table request (input and estimation), of the
// correlations, of the components with their reports, the whole run and the peak memory.
//
//   bench_components [--threads 4] [case ...]     cases: table23_100k table24_20k
#include <cstdint>
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
    int table;
};

const Case kCases[] = {
    {"table23_100k", 100000, 100, 23},
    {"table24_20k", 20000, 50, 24},
};

constexpr std::int64_t kScratchMemory = 256ll << 20;

void write_case(const Case& c, const fs::path& dir) {
    std::string tables(static_cast<std::size_t>(c.table), '0');
    tables.back() = '1';
    bench::write_control_file(dir, std::string("Component benchmark ") + c.name, c.items, "01",
                              "TABLES=" + tables + "\n");
    bench::write_data_file(dir, c.persons, c.items, {0.0}, 20261209u);
}

const std::vector<std::string> kMarkers = {"Processing Table", "Calculating Principal Components",
                                           "Output written"};

void run_case(const Case& c, const fs::path& dir, int threads) {
    bench::QuietHost host(kMarkers);
    const bench::BatchRun r = bench::run_batch(dir, host, [](korvelan::Run& run) {
        run.input.refuse_memory = [](korvelan::MemoryBlock, std::int64_t bytes) {
            return bytes > kScratchMemory;
        };
    });
    const auto start = r.start, end = r.end;
    const int status = r.status;
    const auto request = host.seen(0, end), components = host.seen(1, end), written = host.seen(2, end);
    std::printf("%-13s %7d %9.2f %12.2f %11.2f %8.2f", c.name, threads, bench::seconds_between(start, request),
                bench::seconds_between(request, components), bench::seconds_between(components, written),
                bench::seconds_between(start, end));
    if (status != 0) std::printf("  (exit status %d)", status);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> thread_counts;
    std::vector<const Case*> cases;
    bench::read_arguments(argc, argv, kCases, thread_counts, cases);
    if (argc == 1) thread_counts = {4};
    const fs::path dir = bench::scratch_directory("kvpca");
    std::printf("%-13s %7s %9s %12s %11s %8s %9s\n", "case", "threads", "to Table", "correlations",
                "components", "whole", "peak MB");
    for (const Case* c : cases) {
        fs::create_directories(dir);
        write_case(*c, dir);
        for (int threads : thread_counts) {
            const double peak = bench::run_in_child([&] {
                bench::use_threads(threads);
                run_case(*c, dir, threads);
            });
            std::printf(" %9.1f\n", peak / 1e6);
        }
        fs::remove_all(dir);
    }
    return 0;
}
