// Times the person measure file of a large analysis: PFILE= of 1,000,000 persons, fixed and
// comma-separated, written as at the end of a run. Usage: bench_person_file [persons] [folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "engine/outfiles/measure_files.h"
#include "engine/run/run.h"
#include "shell/console_host.h"

using namespace korvelan;

namespace {
class Labels : public EntryRecords {
public:
    std::vector<std::string> labels;
    std::string_view label_of(Entity, std::int32_t n) override { return labels[static_cast<std::size_t>(n)]; }
    PersonWorkFields person_stats(std::int32_t n) override {
        return PersonWorkFields{25.0f, static_cast<float>(n % 26), 0.45f, 1.02f, 0.97f, 0.31f, 0.0f};
    }
};
}  // namespace

int main(int argc, char** argv) {
    const int persons = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    std::ostringstream screen;
    std::istringstream keyboard;
    ConsoleHost host(screen, keyboard);
    Run run;
    run.host = &host;
    run.rs.run_date = "Dec  8  8:05 2026";
    AnalysisArrays a;
    a.persons = persons;
    const auto n = static_cast<std::size_t>(persons) + 1;
    a.person_measure.resize(n);
    a.person_infit_zstd.assign(n, 0.2f);
    a.person_outfit_zstd.assign(n, -0.3f);
    a.person_status.assign(n, 1);
    Labels labels;
    labels.labels.resize(n);
    for (std::size_t i = 1; i < n; ++i) {
        a.person_measure[i] = static_cast<float>(i % 1000) * 0.01f - 5.0f;
        labels.labels[i] = "Person " + std::to_string(i) + " group " + std::to_string(i % 7);
    }
    OutputSettings s;
    s.title = "Benchmark";
    for (char csv : {'N', 'Y'}) {
        s.csv = csv;
        s.pfile = folder + "/bench_pfile_" + csv + ".txt";
        auto t0 = std::chrono::steady_clock::now();
        write_measure_file(run, s, a, labels, Entity::Person);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("PFILE= CSV=%c: %d persons in %.3f s\n", csv, persons, seconds);
        std::remove(s.pfile.c_str());
    }
    return 0;
}
