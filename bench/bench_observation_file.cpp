// Times the observation file XFILE= of a large analysis: 100,000 persons x 100 items, ten
// million lines, fixed and comma-separated, and reports MB/s.
// Usage: bench_observation_file [persons] [items] [folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/outfiles/observation_file.h"
#include "engine/run/run.h"
#include "shell/console_host.h"

using namespace korvelan;

namespace {
class Responses : public EntryRecords {
public:
    std::int32_t items = 0;
    std::string_view label_of(Entity, std::int32_t) override { return "Person"; }
    PersonWorkFields person_stats(std::int32_t) override { return {}; }
    void person_scores(std::int32_t n, std::span<std::uint8_t> out) override {
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>((n * 7 + i * 3) % 5 < 3);
    }
    void person_codes(std::int32_t n, std::span<std::uint8_t> out) override {
        person_scores(n, out);
        for (auto& c : out) ++c;
    }
};
class Curves : public CategoryCurves {
public:
    float category_probabilities(const AnalysisArrays& a, std::int32_t g, float x, float* p) override {
        return compute_category_probabilities(CategoryModel{a.group_top_category[g], 'R', a.step_calibration.data() + 1,
                                                            a.category_status.data() + 1}, x, p);
    }
    float step_probabilities(const AnalysisArrays& a, std::int32_t g, float x, int, float* p) override {
        return category_probabilities(a, g, x, p);
    }
};
}  // namespace

int main(int argc, char** argv) {
    const int persons = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    const std::string folder = argc > 3 ? argv[3] : "/tmp";
    std::ostringstream screen;
    std::istringstream keyboard;
    ConsoleHost host(screen, keyboard);
    Run run;
    run.host = &host;
    run.rs.run_date = "Dec  8  8:05 2026";
    run.cv.codes = "01";
    run.cv.categs = 2;
    run.cv.xwide = 1;
    AnalysisArrays& a = run.arrays;
    a.persons = persons;
    a.items = items;
    a.groups = 1;
    a.slots = 2;
    a.top_value = 1;
    a.person_measure.resize(static_cast<std::size_t>(persons) + 1);
    a.person_status.assign(static_cast<std::size_t>(persons) + 1, 1);
    for (int n = 1; n <= persons; ++n) a.person_measure[static_cast<std::size_t>(n)] = static_cast<float>(n % 600) * 0.01f - 3.0f;
    a.item_measure.resize(static_cast<std::size_t>(items) + 1);
    for (int i = 1; i <= items; ++i) a.item_measure[static_cast<std::size_t>(i)] = -2.0f + 4.0f * i / items;
    a.item_status.assign(static_cast<std::size_t>(items) + 1, 1);
    a.item_group.assign(static_cast<std::size_t>(items) + 1, 1);
    a.group_top_category = {0, 1};
    a.group_first_slot = {0, 1};
    a.group_model = {'R', 'R'};
    a.category_value = {0, 0, 1};
    a.category_recoded = {0, 0, 1};
    a.category_status = {0, 1, 1};
    a.step_calibration = {0.0f, 0.0f, 0.0f};
    Responses records;
    Curves curves;
    OutputSettings s;
    s.title = "Benchmark";
    for (char csv : {'N', 'Y'}) {
        s.csv = csv;
        s.xfile = folder + "/bench_xfile_" + csv + ".txt";
        const auto t0 = std::chrono::steady_clock::now();
        write_observation_file(run, s, a, records, curves);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double mb = static_cast<double>(std::filesystem::file_size(s.xfile)) / 1e6;
        std::printf("XFILE= CSV=%c: %lld lines, %.1f MB in %.3f s, %.1f MB/s\n", csv,
                    static_cast<long long>(persons) * items, mb, seconds, mb / seconds);
        std::remove(s.xfile.c_str());
    }
    return 0;
}
