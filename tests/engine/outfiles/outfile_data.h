// Small analyses for the output-file tests: a dichotomous test with extreme, deleted and anchored
// persons and items, and a rating-scale analysis with three groups (one of them a single
// category), plus stand-ins for the label readers and the category model.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/outfiles/output_requests.h"
#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/analysis_arrays.h"
#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

class FakeRecords : public EntryRecords {
public:
    std::vector<std::string> item_labels{""};    // element 0 unused
    std::vector<std::string> person_labels{""};  // element 0 unused
    std::vector<PersonWorkFields> person{PersonWorkFields{}};
    int label_reads = 0;
    int reopens = 0;
    bool reopen_ok = true;

    std::string_view label_of(Entity side, std::int32_t n) override {
        ++label_reads;
        const auto& v = side == Entity::Item ? item_labels : person_labels;
        return v.at(static_cast<std::size_t>(n));
    }
    PersonWorkFields person_stats(std::int32_t n) override { return person.at(static_cast<std::size_t>(n)); }
    bool reopen_item_labels() override {
        ++reopens;
        return reopen_ok;
    }
};

// The category model written out from its definitions: the rating scale for "R" groups and
// dichotomies; the success chain (steps passed upwards until one fails) and the failure chain
// (steps tried downwards until one is passed) otherwise, and the steps a response attempted.
class ModelCurves : public CategoryCurves {
public:
    float category_probabilities(const AnalysisArrays& a, std::int32_t g, float x, float* p) override {
        const int f = a.group_first_slot[g], m = a.group_top_category[g];
        if (m < 1) {
            p[0] = 1.0f;
            return 0.0f;
        }
        const char model = m < 2 ? 'R' : a.group_model[g];
        double t = 0.0, sum = 0.0;
        std::vector<double> e(static_cast<std::size_t>(m) + 1, 0.0);
        for (int k = 0; k <= m; ++k) {
            if (model == 'R') {
                if (k > 0) t += x - (a.category_status[f + k] == 0 ? 0.0f : a.step_calibration[f + k]);
                e[k] = k > 0 && a.category_status[f + k] == 0 ? 0.0 : std::exp(t);
            } else {
                e[k] = 1.0;
                for (int j = 1; j <= m; ++j) {
                    const double pass = success(a, f + j, x);
                    if (model == 'S') e[k] *= j <= k ? pass : j == k + 1 ? 1.0 - pass : 1.0;
                    else e[k] *= j > k ? 1.0 - pass : j == k ? pass : 1.0;
                }
            }
            sum += e[k];
        }
        double expected = 0.0;
        for (int k = 0; k <= m; ++k) {
            p[k] = static_cast<float>(e[k] / sum);
            expected += k * e[k] / sum;
        }
        return static_cast<float>(expected);
    }
    float step_probabilities(const AnalysisArrays& a, std::int32_t g, float x, int c, float* p) override {
        const int f = a.group_first_slot[g], m = a.group_top_category[g];
        const bool up = a.group_model[g] == 'S';
        const int first = up ? 1 : std::max(c, 1), last = up ? std::min(c + 1, m) : m;
        float sum = 0.0f;
        for (int k = 0; k <= m; ++k) p[k] = 0.0f;
        for (int k = first; k <= last; ++k) sum += p[k] = static_cast<float>(success(a, f + k, x));
        return sum;
    }

private:
    // The success probability of the step of slot s at x (the chains of these data have every
    // step active).
    static double success(const AnalysisArrays& a, int s, float x) {
        return 1.0 / (1.0 + std::exp(a.step_calibration[s] - x));
    }
};

struct OutfileData {
    AnalysisArrays a;
    OutputSettings s;
    FakeRecords records;
};

// Four items and six persons; one rating-scale group of two categories.
OutfileData dichotomous_data();
// Five items in three groups: "R" with 0-3 and category 2 unobserved, "S" with categories
// valued 1-3, and a single-category group; UMEAN=50, USCALE=10.
OutfileData rating_scale_data();

// A run whose report is open, writing its output files into a scratch directory.
struct OutfileRun {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    ModelCurves curves;
    OutfileRun() {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.output_directory = dir.path;
        run.rs.run_id = "042";
        run.rs.run_date = "Dec  8  8:05 2026";
    }
    OutputServices services(OutfileData& d) { return OutputServices{&d.records, &curves}; }
    // Writes the file of the request code as the end of the estimation does; returns its bytes.
    std::string write(OutfileData& d, char code, const std::string& name = "out.txt") {
        *output_file_name_setting(d.s, code) = dir.file(name);
        OutputServices sv = services(d);
        find_output_file_kind(code)->writer(run, d.s, d.a, sv);
        return read_file(dir.file(name));
    }
};

}  // namespace korvelan::testing
