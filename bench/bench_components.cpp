// Times Tables 23 and 24 in whole batch runs: the residual correlations and principal
// components of 100 items over 100,000 persons (Table 23, the residuals in memory), and of
// 20,000 persons over 50 items (Table 24: 199,990,000 pairs, 1.6 GB of packed matrix, which the
// run is refused as if the machine had only 256 MB for scratch blocks, so the components pass
// over the correlation work file and the deflation file on disk). Each run goes in a child
// process of its own. Prints the time to the Table request (input and estimation), of the
// correlations, of the components with their reports, the whole run and the peak memory.
//
//   bench_components [--threads 4] [case ...]     cases: table23_100k table24_20k
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "engine/run/run.h"

namespace {

namespace fs = std::filesystem;

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
    std::FILE* control = std::fopen((dir / "bench.txt").c_str(), "wb");
    std::string tables(static_cast<std::size_t>(c.table), '0');
    tables.back() = '1';
    std::fprintf(control,
                 "TITLE=Component benchmark %s\nNI=%d\nITEM1=1\nNAME1=%d\nNAMLEN=9\nCODES=01\n"
                 "DATA=bench.dat\nTABLES=%s\n&END\n",
                 c.name, c.items, c.items + 2, tables.c_str());
    for (int i = 1; i <= c.items; ++i) std::fprintf(control, "Item %d\n", i);
    std::fprintf(control, "END LABELS\n");
    std::fclose(control);
    std::FILE* data = std::fopen((dir / "bench.dat").c_str(), "wb");
    std::string record(static_cast<std::size_t>(c.items), ' ');
    bench::generate_responses(c.persons, c.items, {0.0}, 20261209u, [&](long n, int i, int x) {
        record[static_cast<std::size_t>(i)] = static_cast<char>('0' + x);
        if (i + 1 == c.items) std::fprintf(data, "%s P%08ld\n", record.c_str(), n + 1);
    });
    std::fclose(data);
}

const std::vector<std::string> kMarkers = {"Processing Table", "Calculating Principal Components",
                                           "Output written"};

void run_case(const Case& c, const fs::path& dir, int threads) {
    bench::QuietHost host(kMarkers);
    host.settings.temp_directory = dir.string() + "/";
    korvelan::Run run;
    run.host = &host;
    run.args = {(dir / "bench.txt").string(), (dir / "bench.out").string(), "BATCH=Y"};
    run.input.refuse_memory = [](korvelan::MemoryBlock, std::int64_t bytes) { return bytes > kScratchMemory; };
    const auto start = bench::Clock::now();
    const int status = korvelan::run_analysis(run);
    const auto end = bench::Clock::now();
    const auto request = host.seen(0, end), components = host.seen(1, end), written = host.seen(2, end);
    std::printf("%-13s %7d %9.2f %12.2f %11.2f %8.2f", c.name, threads, bench::seconds_between(start, request),
                bench::seconds_between(request, components), bench::seconds_between(components, written),
                bench::seconds_between(start, end));
    if (status != 0) std::printf("  (exit status %d)", status);
    korvelan::delete_work_files_at_exit(run);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> thread_counts;
    std::vector<const Case*> cases;
    bench::read_arguments(argc, argv, kCases, thread_counts, cases);
    if (argc == 1) thread_counts = {4};
    const fs::path dir = fs::temp_directory_path() / ("kvpca" + std::to_string(::getpid()));
    std::printf("%-13s %7s %9s %12s %11s %8s %9s\n", "case", "threads", "to Table", "correlations",
                "components", "whole", "peak MB");
    for (const Case* c : cases) {
        fs::create_directories(dir);
        write_case(*c, dir);
        for (int threads : thread_counts) {
            const double peak = bench::run_in_child([&] {
                ::setenv("KORVELAN_THREADS", std::to_string(threads).c_str(), 1);
                run_case(*c, dir, threads);
            });
            std::printf(" %9.1f\n", peak / 1e6);
        }
        fs::remove_all(dir);
    }
    return 0;
}
