// Times Table 7.1, the misfitting responses of persons, after a whole batch run of generated
// Rasch responses: from the console line that opens the Table to the end of the run. The run
// goes in a child process of its own.
//
//   bench_misfit_responses [persons] [items]     (default 1,000,000 x 100, dichotomous)
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

void write_case(long persons, int items, const fs::path& dir) {
    std::FILE* control = std::fopen((dir / "bench.txt").c_str(), "wb");
    std::fprintf(control,
                 "TITLE=Misfitting responses benchmark\nNI=%d\nITEM1=1\nNAME1=%d\nNAMLEN=9\n"
                 "CODES=01\nDATA=bench.dat\nTFILE=tables.txt\n&END\n",
                 items, items + 2);
    for (int i = 1; i <= items; ++i) std::fprintf(control, "Item %d\n", i);
    std::fprintf(control, "END LABELS\n");
    std::fclose(control);
    std::FILE* list = std::fopen((dir / "tables.txt").c_str(), "wb");
    std::fprintf(list, "7.1\n");
    std::fclose(list);
    std::FILE* data = std::fopen((dir / "bench.dat").c_str(), "wb");
    std::string record(static_cast<std::size_t>(items), ' ');
    bench::generate_responses(persons, items, {0.0}, 20261209u, [&](long n, int i, int x) {
        record[static_cast<std::size_t>(i)] = static_cast<char>('0' + x);
        if (i + 1 == items) std::fprintf(data, "%s P%08ld\n", record.c_str(), n + 1);
    });
    std::fclose(data);
}

const std::vector<std::string> kMarkers = {"Processing Misfitting", "Output written"};

void run_case(const fs::path& dir) {
    bench::QuietHost host(kMarkers);
    host.settings.temp_directory = dir.string() + "/";
    korvelan::Run run;
    run.host = &host;
    run.args = {(dir / "bench.txt").string(), (dir / "bench.out").string(), "BATCH=Y"};
    const auto start = bench::Clock::now();
    const int status = korvelan::run_analysis(run);
    const auto end = bench::Clock::now();
    korvelan::delete_work_files_at_exit(run);
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
    const fs::path dir = fs::temp_directory_path() / ("kvmisfit" + std::to_string(::getpid()));
    fs::create_directories(dir);
    write_case(persons, items, dir);
    std::printf("%ld persons x %d items\n", persons, items);
    const double peak = bench::run_in_child([&] { run_case(dir); });
    std::printf("peak memory %.1f MB\n", peak / 1e6);
    fs::remove_all(dir);
    return 0;
}
