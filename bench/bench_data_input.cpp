// Benchmark of data input: 1,000,000 data records of 100 dichotomous items read, coded, written to
// the person work files and scored. Prints the time of the analysis run up to the estimation
// (data input is nearly all of it). Usage: bench_data_input [persons] [items]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/bench_support.h"
#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "engine/run/run.h"

int main(int argc, char** argv) {
    const long persons = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kvbench" + std::to_string(::getpid()));
    fs::create_directories(dir);

    {
        std::FILE* control = std::fopen((dir / "bench.txt").c_str(), "wb");
        std::fprintf(control,
                     "TITLE=Data input benchmark\nNI=%d\nITEM1=1\nNAME1=%d\nNAMLEN=10\nCODES=01\n"
                     "DATA=bench.dat\n&END\n",
                     items, items + 2);
        for (int i = 1; i <= items; ++i) std::fprintf(control, "Item %d\n", i);
        std::fprintf(control, "END LABELS\n");
        std::fclose(control);
        std::FILE* data = std::fopen((dir / "bench.dat").c_str(), "wb");
        std::mt19937 random(7);
        std::string record(static_cast<std::size_t>(items) + 1, ' ');
        for (long p = 1; p <= persons; ++p) {
            for (int i = 0; i < items; ++i)
                record[static_cast<std::size_t>(i)] = (random() & 1) ? '1' : '0';
            std::fprintf(data, "%s P%08ld\n", record.c_str(), p);
        }
        std::fclose(data);
    }

    bench::QuietHost host;
    host.settings.temp_directory = dir.string() + "/";
    korvelan::Run run;
    run.host = &host;
    run.args = {(dir / "bench.txt").string(), (dir / "bench.out").string(), "BATCH=Y"};
    // Data input alone: the run ends once the records are read and the edit files applied.
    run.input.stop_before_estimation = true;
    const auto start = std::chrono::steady_clock::now();
    const int status = korvelan::run_analysis(run);
    const auto stop = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(stop - start).count();
    std::printf(
        "%ld records of %d items: %.2f s (persons stored %d, records input %lld, status %d)\n",
        persons, items, seconds, run.arrays.persons,
        static_cast<long long>(run.input.records_input), status);
    korvelan::delete_work_files_at_exit(run);

    // The whole run: data input, estimation, summary and the report.
    korvelan::Run whole;
    whole.host = &host;
    whole.args = run.args;
    const auto whole_start = std::chrono::steady_clock::now();
    const int whole_status = korvelan::run_analysis(whole);
    const double whole_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - whole_start).count();
    std::printf("whole run: %.2f s (status %d)\n", whole_seconds, whole_status);
    korvelan::delete_work_files_at_exit(whole);
    fs::remove_all(dir);
    return status;
}
