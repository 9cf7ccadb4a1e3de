// Times the estimation phases and the measure files on responses generated in memory, at several
// worker-thread counts: 100,000 and 1,000,000 persons on 100 dichotomous items, and 200,000
// persons on 50 items of one five-category rating scale. Each run goes in a child process of its
// own. Prints, per run, the time of PROX, UCON, the fit statistics, the summary of measures and
// PFILE= with IFILE=, the whole, the peak memory, and the nanoseconds per response and pass of
// the three person sweeps.
//
//   bench_estimation [--threads 1,2,4,8] [case ...]     cases: dich100k dich1m rating200k
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/score_points.h"
#include "engine/estimation/ucon.h"
#include "engine/outfiles/measure_files.h"
#include "engine/report/estimation_report.h"
#include "engine/report/summary.h"
#include "engine/run/file_units.h"
#include "engine/run/run.h"

using namespace korvelan;

namespace {

struct Case {
    const char* name;
    int persons;
    int items;
    std::vector<double> steps;
};

const Case kCases[] = {
    {"dich100k", 100000, 100, {0.0}},
    {"dich1m", 1000000, 100, {0.0}},
    {"rating200k", 200000, 50, {-1.5, -0.5, 0.5, 1.5}},
};

// The analysis arrays of one rating-scale group (one step: dichotomous) for the generated
// responses.
void set_up_arrays(AnalysisArrays& a, const Case& c, std::vector<std::uint8_t>& responses) {
    const int m = static_cast<int>(c.steps.size());
    a = AnalysisArrays{};
    a.persons = c.persons, a.items = c.items, a.groups = 1, a.slots = m + 1, a.top_value = m;
    a.item_status.assign(c.items + 1, 1);
    a.item_measure.assign(c.items + 1, 0.0f);
    a.item_group.assign(c.items + 1, 1);
    a.person_status.assign(c.persons + 1, 1);
    a.person_measure.assign(c.persons + 1, 0.0f);
    a.group_top_value = a.group_top_category = {0, m};
    a.group_first_slot = {0, 1};
    a.group_model = {'R', 'R'};
    a.category_status.assign(a.slots + 1, 1);
    a.category_recoded.assign(a.slots + 1, 0);
    a.category_value.assign(a.slots + 1, 0);
    a.step_calibration.assign(a.slots + 1, 0.0f);
    for (int k = 0; k <= m; ++k) a.category_recoded[1 + k] = a.category_value[1 + k] = k;
    a.scored_response_image.swap(responses);
}

// Labels and work records of the measure files, from memory.
class MemoryRecords : public EntryRecords {
public:
    explicit MemoryRecords(const AnalysisArrays& a) : a_(a) {}
    std::string_view label_of(Entity side, std::int32_t n) override {
        label_ = (side == Entity::Person ? "P" : "Item ") + std::to_string(n);
        return label_;
    }
    PersonWorkFields person_stats(std::int32_t n) override {
        PersonWorkFields f;
        const float* r = a_.person_record_image.data() + static_cast<std::size_t>(n - 1) * 7;
        f.count = r[0], f.raw_score = r[1], f.standard_error = r[2], f.infit_mnsq = r[3];
        f.outfit_mnsq = r[4], f.point_biserial = r[5], f.displacement = r[6];
        return f;
    }

private:
    const AnalysisArrays& a_;
    std::string label_;
};

void run_case(const Case& c, std::vector<std::uint8_t>& responses, int threads,
              const std::string& dir) {
    Run run;
    run.rs.batch = true;
    run.rs.temp_directory = dir;
    run.rs.run_id = "999";
    run.rs.report_file = dir + "bench_report.txt";
    run.cv.title = c.name;
    open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write);
    EstimationSettings settings;
    settings.threads = threads;
    settings.residual_file = false;  // as in a batch run that asks for nothing that reads it
    set_up_arrays(run.arrays, c, responses);
    AnalysisArrays& a = run.arrays;
    ReportingEstimationObserver observer(run);

    std::vector<bench::Clock::time_point> t = {bench::Clock::now()};
    estimate_prox(run, settings, observer);
    const int prox_iterations = a.estimation.iteration_counter;
    t.push_back(bench::Clock::now());
    run_ucon_iterations(run, settings, observer);
    const int ucon_iterations = a.estimation.iteration_counter;
    t.push_back(bench::Clock::now());
    compute_fit_statistics(run, settings, observer);
    t.push_back(bench::Clock::now());
    std::vector<float> scratch(a.top_value + 2);
    compute_expected_score_points(rating_scale_groups(a), a.step_calibration.data(), a.category_status.data(),
                                  ScorePointOptions{}, scratch.data(), a.category_half_point_measure.data(),
                                  a.category_score_point_measure.data(), a.category_thurstone_threshold.data());
    write_measure_summary(run, settings);
    t.push_back(bench::Clock::now());
    OutputSettings files;
    files.title = c.name;
    files.pfile = dir + "p.txt";
    files.ifile = dir + "i.txt";
    MemoryRecords records(a);
    write_measure_file(run, files, a, records, Entity::Person);
    write_measure_file(run, files, a, records, Entity::Item);
    t.push_back(bench::Clock::now());
    close_all_units(run);

    auto phase = [&](std::size_t k) { return bench::seconds_between(t[k], t[k + 1]); };
    const double responses_count = static_cast<double>(c.persons) * c.items;
    auto per_response = [&](std::size_t k, int passes) { return phase(k) * 1e9 / (responses_count * std::max(passes, 1)); };
    std::printf("%-10s %7d %6.2f (%d) %6.2f (%d) %6.2f %7.2f %6.2f %7.2f", c.name, threads, phase(0),
                prox_iterations, phase(1), ucon_iterations, phase(2), phase(3), phase(4),
                bench::seconds_between(t.front(), t.back()));
    std::printf(" %6.2f %6.2f %6.2f", per_response(0, prox_iterations), per_response(1, ucon_iterations),
                per_response(2, 1));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> thread_counts;
    std::vector<const Case*> cases;
    bench::read_arguments(argc, argv, kCases, thread_counts, cases);

    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kvbench" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string d = dir.string() + "/";
    std::printf("%-10s %7s %11s %11s %6s %7s %6s %7s %6s %6s %6s %9s %6s\n", "case", "threads", "PROX (it)",
                "UCON (it)", "fit", "summary", "files", "total", "ns/r", "ns/r", "ns/r", "peak MB", "B/resp");
    std::printf("%-10s %7s %11s %11s %6s %7s %6s %7s %6s %6s %6s\n", "", "", "s", "s", "s", "s", "s", "s",
                "PROX", "UCON", "fit");
    for (const Case* c : cases) {
        std::vector<std::uint8_t> responses(static_cast<std::size_t>(c->persons) * c->items);
        bench::generate_responses(c->persons, c->items, c->steps, 20260501u, [&](long n, int i, int x) {
            responses[static_cast<std::size_t>(n) * c->items + i] = static_cast<std::uint8_t>(x);
        });
        for (int threads : thread_counts) {
            const double peak = bench::run_in_child([&] {
                ::setenv("KORVELAN_THREADS", std::to_string(threads).c_str(), 1);
                run_case(*c, responses, threads, d);
            });
            std::printf(" %9.1f %6.2f\n", peak / 1e6,
                        peak / (static_cast<double>(c->persons) * c->items));
        }
    }
    fs::remove_all(dir);
    return 0;
}
