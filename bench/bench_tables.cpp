// Every Table alone on generated data of a given size: one batch run without Tables, then one
// run per Table asking for that Table alone (a TFILE= list of one line), and one run with
// TABLES= all ones. Each run goes in a child process of its own. Prints per run the seconds
// beyond the run without Tables, the whole run, the peak memory and the bytes the Table added to
// the report.
//
//   bench_tables PERSONS ITEMS [--categories K] [--missing PERCENT] [--tables 1,20,24]
//                [--threads N] [--limit SECONDS]
//   K categories (2: dichotomous, the default); the Tables 1 to 40 by default; --limit ends a
//   run that takes longer (it prints "killed").
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

namespace fs = bench::fs;

struct Settings {
    long persons = 20000;
    int items = 50;
    int categories = 2;
    double missing = 0.0;  // share of responses left out
    std::vector<int> tables;
    int threads = 0;
    int limit = 600;
};

void write_data(const Settings& s, const fs::path& dir) {
    std::vector<double> steps;
    for (int k = 1; k < s.categories; ++k) steps.push_back(-1.5 + 3.0 * (k - 1) / std::max(s.categories - 2, 1));
    if (s.categories == 2) steps = {0.0};
    std::mt19937_64 gaps(77);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    bench::write_data_file(dir, s.persons, s.items, steps, 20260501u,
                           [&] { return unit(gaps) < s.missing; });
}

// The control file asking for the Tables of `request`: "" none, "all" TABLES= all ones, else
// one Table number.
void write_control(const Settings& s, const fs::path& dir, const std::string& request) {
    std::string extra;
    if (request == "all")
        extra = "TABLES=" + std::string(40, '1') + "\n";
    else if (!request.empty())
        extra = "TFILE=*\n" + request + "\n*\n";
    bench::write_control_file(dir, "Table benchmark", s.items, bench::category_codes(s.categories),
                              extra);
}

struct Measured {
    double seconds = 0, peak = 0, bytes = 0;
    bool done = false;
};

Measured run_request(const Settings& s, const fs::path& dir, const std::string& request) {
    write_control(s, dir, request);
    fs::remove(dir / "bench.out");
    const auto start = bench::Clock::now();
    Measured m;
    m.peak = bench::run_in_child([&] {
        ::alarm(static_cast<unsigned>(s.limit));
        if (s.threads > 0) bench::use_threads(s.threads);
        bench::QuietHost host;
        const int status = bench::run_batch(dir, host).status;
        if (status != 0) std::exit(status);
    });
    m.seconds = bench::seconds_between(start, bench::Clock::now());
    m.done = m.peak > 0;
    std::error_code error;
    m.bytes = static_cast<double>(fs::file_size(dir / "bench.out", error));
    if (error) m.bytes = 0;
    return m;
}

Settings read_settings(int argc, char** argv) {
    Settings s;
    std::vector<std::string> plain;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const char* next = k + 1 < argc ? argv[k + 1] : "";
        if (arg == "--categories") s.categories = std::atoi(next), ++k;
        else if (arg == "--missing") s.missing = std::atof(next) / 100.0, ++k;
        else if (arg == "--tables") s.tables = bench::number_list(next), ++k;
        else if (arg == "--threads") s.threads = std::atoi(next), ++k;
        else if (arg == "--limit") s.limit = std::atoi(next), ++k;
        else plain.push_back(arg);
    }
    if (plain.size() > 0) s.persons = std::atol(plain[0].c_str());
    if (plain.size() > 1) s.items = std::atoi(plain[1].c_str());
    s.categories = std::clamp(s.categories, 2, 10);
    if (s.tables.empty())
        for (int t = 1; t <= 40; ++t) s.tables.push_back(t);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const Settings s = read_settings(argc, argv);
    const fs::path dir = bench::scratch_directory("kvtables");
    fs::create_directories(dir);
    write_data(s, dir);
    std::printf("%ld persons x %d items, %d categories, %.1f%% missing, threads %s\n", s.persons, s.items,
                s.categories, s.missing * 100.0, s.threads > 0 ? std::to_string(s.threads).c_str() : "default");
    std::printf("%-8s %9s %9s %9s %14s\n", "Table", "seconds", "whole", "peak MB", "bytes");
    const Measured base = run_request(s, dir, "");
    std::printf("%-8s %9s %9.2f %9.1f %14.0f\n", "none", "", base.seconds, base.peak / 1e6, base.bytes);
    auto show = [&](const std::string& name, const Measured& m) {
        if (!m.done) {
            std::printf("%-8s %9s %9.2f %9s %14s\n", name.c_str(), "killed", m.seconds, "", "");
            return;
        }
        std::printf("%-8s %9.2f %9.2f %9.1f %14.0f\n", name.c_str(), std::max(m.seconds - base.seconds, 0.0),
                    m.seconds, m.peak / 1e6, std::max(m.bytes - base.bytes, 0.0));
    };
    for (int t : s.tables) show(std::to_string(t), run_request(s, dir, std::to_string(t)));
    show("all", run_request(s, dir, "all"));
    fs::remove_all(dir);
    return 0;
}
