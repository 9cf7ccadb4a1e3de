// Small hand-made data sets for the estimation tests: a run with a recording host and a report
// file in a scratch directory, and analysis arrays filled the way data input leaves them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/estimation/estimation_settings.h"
#include "engine/report/estimation_report.h"
#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct DataSet {
    std::vector<std::vector<int>> x;  // x[person][item]: scored response, -1 missing
    std::vector<int> groups;          // group of each item (1-based); empty: one shared scale
    std::string models;               // model letter of each group; empty: all 'R'
    std::vector<int> tops;            // highest score of each group; empty: highest in the data
};

// Eight measured persons and one with every item right, five items none of which is extreme.
inline DataSet small_dichotomous_data() {
    DataSet d;
    d.x = {{1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 1, 1, 0, 0}, {0, 1, 1, 1, 0}, {1, 0, 1, 0, 1},
           {1, 1, 0, 1, 0}, {0, 1, 0, 0, 1}, {1, 1, 1, 1, 0}, {1, 1, 1, 1, 1}};
    return d;
}

// Ten persons on four items scored 0-2.
inline DataSet small_rating_scale_data() {
    DataSet d;
    d.x = {{1, 0, 2, 0}, {1, 1, 0, 2}, {2, 1, 1, 0}, {0, 1, 2, 0}, {1, 0, 1, 1},
           {2, 2, 1, 1}, {0, 0, 1, 0}, {1, 2, 0, 1}, {2, 1, 2, 2}, {1, 1, 1, 1}};
    return d;
}

// Fills the arrays as data input does: every person and item measured (status 1), measures 0,
// each group's slots from category 0 to its highest score (at least 1), statuses 1 where the
// category occurs in the data and 0 where it does not.
inline void load_data(AnalysisArrays& a, const DataSet& d) {
    const int np = static_cast<int>(d.x.size()), ni = static_cast<int>(d.x[0].size());
    std::vector<int> groups = d.groups.empty() ? std::vector<int>(ni, 1) : d.groups;
    const int ng = *std::max_element(groups.begin(), groups.end());
    a = AnalysisArrays{};
    a.items = ni, a.persons = np, a.groups = ng;
    a.item_status.assign(ni + 1, 1);
    a.item_measure.assign(ni + 1, 0.0f);
    a.item_group.assign(ni + 1, 0);
    for (int i = 1; i <= ni; ++i) a.item_group[i] = groups[i - 1];
    a.person_status.assign(np + 1, 1);
    a.person_measure.assign(np + 1, 0.0f);
    a.group_top_category.assign(ng + 1, -1);
    a.group_first_slot.assign(ng + 1, 0);
    a.group_model.assign(ng + 1, 'R');
    for (int p = 0; p < np; ++p)
        for (int i = 0; i < ni; ++i) {
            int& top = a.group_top_category[groups[i]];
            top = std::max(top, d.x[p][i]);
        }
    int slot = 1;
    for (int g = 1; g <= ng; ++g) {
        if (!d.tops.empty()) a.group_top_category[g] = d.tops[g - 1];
        if (!d.models.empty()) a.group_model[g] = d.models[g - 1];
        a.group_first_slot[g] = slot;
        slot += 1 + std::max(a.group_top_category[g], 1);
        a.top_value = std::max(a.top_value, a.group_top_category[g]);
    }
    a.slots = slot - 1;
    // Data input leaves the top values; the recounted tops start equal (values from 0).
    a.group_top_value = a.group_top_category;
    a.category_status.assign(a.slots + 1, 0);
    a.category_recoded.assign(a.slots + 1, 0);
    a.category_value.assign(a.slots + 1, 0);
    a.step_calibration.assign(a.slots + 1, 0.0f);
    for (int g = 1; g <= ng; ++g)
        for (int k = 0; a.group_first_slot[g] + k < (g < ng ? a.group_first_slot[g + 1] : slot); ++k) {
            a.category_recoded[a.group_first_slot[g] + k] = k;
            a.category_value[a.group_first_slot[g] + k] = k;
        }
    a.scored_response_image.assign(static_cast<std::size_t>(np) * ni, 255);
    for (int p = 0; p < np; ++p)
        for (int i = 0; i < ni; ++i) {
            const int v = d.x[p][i];
            if (v < 0) continue;
            a.scored_response_image[static_cast<std::size_t>(p) * ni + i] = static_cast<std::uint8_t>(v);
            a.category_status[a.group_first_slot[groups[i]] + v] = 1;
        }
}

// A larger dichotomous data set from a fixed generator: seven ability levels, five difficulty
// levels, and a few missing responses.
inline DataSet generated_dichotomous(int persons, int items) {
    DataSet d;
    std::uint32_t state = 12345;
    auto next = [&] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (int p = 0; p < persons; ++p) {
        std::vector<int> row;
        for (int i = 0; i < items; ++i) {
            const double ability = (p % 7) - 3.0, difficulty = (i % 5) - 2.0;
            const double prob = 1.0 / (1.0 + std::exp(difficulty - ability));
            row.push_back((next() % 10000) / 10000.0 < prob ? 1 : 0);
        }
        if (p % 97 == 0) row[p % items] = -1;
        d.x.push_back(row);
    }
    return d;
}

// A run whose report goes to a file in a scratch directory, with a recording host.
struct EstimationRun {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    EstimationSettings settings;
    ReportingEstimationObserver observer{run};  // the rows go to the report, as in a real run
    EstimationRun() {
        run.host = &host;
        run.rs.batch = true;
        run.rs.report_file = dir.file("report.txt");
        run.rs.control_file = dir.file("control.txt");
        run.rs.temp_directory = dir.path;
        run.rs.output_directory = dir.path;
        run.rs.run_id = "123";
        run.rs.run_date = "Dec  8  8:05 2026";
        run.cv.title = "TEST";
        open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write);
        settings.threads = 2;
    }
    void load(const DataSet& d) { load_data(run.arrays, d); }
    // The report written so far.
    std::string report() {
        std::fflush(run.units.open[unit::kReport].file);
        return read_file(run.rs.report_file);
    }
};

}  // namespace korvelan::testing
