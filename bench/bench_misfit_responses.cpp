// Times Table 7.1, the misfitting responses of persons, after a whole batch run of generated
// Rasch responses: from the console line that opens the Table to the end of the run. The run
// goes in a child process of its own.
//
//   bench_misfit_responses [persons] [items]     (default 1,000,000 x 100, dichotomous)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

namespace fs = bench::fs;

void write_case(long persons, int items, const fs::path& dir) {
    bench::write_control_file(dir, "Misfitting responses benchmark", items, "01",
                              "TFILE=tables.txt\n");
    std::FILE* list = std::fopen((dir / "tables.txt").c_str(), "wb");
    std::fprintf(list, "7.1\n");
    std::fclose(list);
    bench::write_data_file(dir, persons, items, {0.0}, 20261209u);
}

const std::vector<std::string> kMarkers = {"Processing Misfitting", "Output written"};

void run_case(const fs::path& dir) {
    bench::QuietHost host(kMarkers);
    const bench::BatchRun r = bench::run_batch(dir, host);
    const auto start = r.start, end = r.end;
    const int status = r.status;
    const auto table = host.seen(0, start);
    const auto written = host.seen(1, table);
    std::printf("analysis %.2f s, Table 7.1 %.2f s, whole run %.2f s, report %.1f MB",
                bench::seconds_between(start, table), bench::seconds_between(table, written),
                bench::seconds_between(start, end),
                static_cast<double>(fs::file_size(dir / "bench.out")) / 1e6);
    if (status != 0) std::printf("  (exit status %d)", status);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const long persons = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    const fs::path dir = bench::scratch_directory("kvmisfit");
    fs::create_directories(dir);
    write_case(persons, items, dir);
    std::printf("%ld persons x %d items\n", persons, items);
    const double peak = bench::run_in_child([&] { run_case(dir); });
    std::printf("peak memory %.1f MB\n", peak / 1e6);
    fs::remove_all(dir);
    return 0;
}
