// Times the estimation phases on generated data: 100,000 persons on 100 dichotomous items, and
// 20,000 persons on 30 items of one five-category rating scale. Prints the time of each phase,
// the iterations and the peak memory of the process.
//
//   bench_estimation [threads]      (0 or nothing: one thread per core)
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/score_points.h"
#include "engine/estimation/ucon.h"
#include "engine/report/estimation_report.h"
#include "engine/report/summary.h"
#include "engine/run/file_units.h"
#include "engine/run/run.h"

using namespace korvelan;

namespace {

// Responses of persons with normal abilities to items spread evenly over -2..2 logits, under
// the rating scale with the given steps (one step: dichotomous).
void generate(AnalysisArrays& a, int persons, int items, const std::vector<double>& steps,
              unsigned seed) {
    const int m = static_cast<int>(steps.size());
    a = AnalysisArrays{};
    a.persons = persons, a.items = items, a.groups = 1, a.slots = m + 1, a.top_value = m;
    a.item_status.assign(items + 1, 1);
    a.item_measure.assign(items + 1, 0.0f);
    a.item_group.assign(items + 1, 1);
    a.person_status.assign(persons + 1, 1);
    a.person_measure.assign(persons + 1, 0.0f);
    a.group_top_category = {0, m};
    a.group_first_slot = {0, 1};
    a.group_model = {'R', 'R'};
    a.category_status.assign(a.slots + 1, 1);
    a.category_recoded.assign(a.slots + 1, 0);
    a.category_value.assign(a.slots + 1, 0);
    a.step_calibration.assign(a.slots + 1, 0.0f);
    for (int k = 0; k <= m; ++k) a.category_recoded[1 + k] = a.category_value[1 + k] = k;
    a.scored_response_image.resize(static_cast<std::size_t>(persons) * items);
    std::mt19937 rng(seed);
    std::normal_distribution<double> ability(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> p(m + 1);
    for (int n = 0; n < persons; ++n) {
        const double b = ability(rng);
        for (int i = 0; i < items; ++i) {
            const double d = b - (-2.0 + 4.0 * i / std::max(items - 1, 1));
            double exponent = 0.0, total = 1.0;
            p[0] = 1.0;
            for (int k = 1; k <= m; ++k) total += p[k] = std::exp(exponent += d - steps[k - 1]);
            double u = unit(rng) * total;
            int x = 0;
            while (x < m && (u -= p[x]) > 0.0) ++x;
            a.scored_response_image[static_cast<std::size_t>(n) * items + i] = static_cast<std::uint8_t>(x);
        }
    }
}

double seconds_since(std::chrono::steady_clock::time_point& t) {
    const auto now = std::chrono::steady_clock::now();
    const double s = std::chrono::duration<double>(now - t).count();
    t = now;
    return s;
}

void run_case(const char* name, int persons, int items, const std::vector<double>& steps,
              int threads, const std::string& dir) {
    Run run;
    run.rs.batch = true;
    run.rs.temp_directory = dir;
    run.rs.run_id = "999";
    run.rs.report_file = dir + "bench_report.txt";
    run.cv.title = name;
    open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write);
    EstimationSettings settings;
    settings.threads = threads;
    generate(run.arrays, persons, items, steps, 20260501u);
    ReportingEstimationObserver observer(run);

    auto t = std::chrono::steady_clock::now();
    const auto start = t;
    estimate_prox(run, settings, observer);
    const int prox_iterations = run.arrays.estimation.iteration_counter;
    const double prox = seconds_since(t);
    run_ucon_iterations(run, settings, observer);
    const int ucon_iterations = run.arrays.estimation.iteration_counter;
    const double ucon = seconds_since(t);
    compute_fit_statistics(run, settings, observer);
    const double fit = seconds_since(t);
    AnalysisArrays& a = run.arrays;
    std::vector<float> scratch(a.top_value + 2);
    compute_expected_score_points(rating_scale_groups(a), a.step_calibration.data(), a.category_status.data(),
                                  ScorePointOptions{}, scratch.data(), a.category_half_point_measure.data(),
                                  a.category_score_point_measure.data(), a.category_thurstone_threshold.data());
    write_measure_summary(run, settings);
    const double summary = seconds_since(t);
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close_all_units(run);

    std::printf("%s: %d persons x %d items, %d categories\n", name, persons, items, static_cast<int>(steps.size()) + 1);
    std::printf("  PROX     %8.3f s  (%d iterations)\n", prox, prox_iterations);
    std::printf("  UCON     %8.3f s  (%d iterations)\n", ucon, ucon_iterations);
    std::printf("  fit      %8.3f s\n", fit);
    std::printf("  summary  %8.3f s\n", summary);
    std::printf("  total    %8.3f s   %s\n", total, a.estimation.separation_note.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int threads = argc > 1 ? std::atoi(argv[1]) : 0;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kvbench" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string d = dir.string() + "/";
    run_case("dichotomous", 100000, 100, {0.0}, threads, d);
    run_case("rating scale", 20000, 30, {-1.5, -0.5, 0.5, 1.5}, threads, d);
    fs::remove_all(dir);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
