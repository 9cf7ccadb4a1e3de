// A finished run set up directly, for the run-time change of one instruction: six persons and
// four items with measures in user units, statuses, person work records, labels, the category
// points of one dichotomous group and a summary of measures made from them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/estimation/score_points.h"
#include "engine/run/control_checks.h"
#include "engine/run/file_units.h"
#include "engine/run/runtime_specification.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct RuntimeTestRun {
    ScratchDir dir;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;

    //                                    ANNA  BERT  ALEX  BOB   AMY   BEN
    std::vector<std::int8_t> person_status{0, 1, 1, 2, 0, -1, -3};
    std::vector<float> person_measure{0, 1.0f, -0.5f, 0.3f, 3.0f, -3.2f, 0.0f};
    std::vector<float> person_error{0, 0.8f, 0.7f, 0.6f, 1.8f, 1.9f, 0.0f};
    std::vector<float> person_infit{0, 1.3f, 0.8f, 1.0f, 1.0f, 1.0f, 1.0f};
    //                                  ADD   SUB   MUL   DIV
    std::vector<std::int8_t> item_status{0, 1, 1, 0, 1};
    std::vector<float> item_measure{0, -1.0f, 0.5f, -2.5f, 0.7f};

    RuntimeTestRun() {
        if (::chdir(dir.path.c_str()) != 0) throw std::runtime_error("chdir");
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "001";
        run.rs.finished = run.rs.report_closed = true;
        ControlVariables& cv = run.cv;
        cv.ni = 4;
        cv.namlen = 6;
        cv.itlen = 8;
        cv.categs = 2;
        normalise_control_settings(run);

        AnalysisArrays& a = run.arrays;
        a.persons = 6;
        a.items = 4;
        a.person_status = person_status;
        a.person_measure = person_measure;
        a.person_infit_mnsq = person_infit;
        a.person_outfit_mnsq = {0, 1.1f, 0.9f, 1.0f, 1.0f, 1.0f, 1.0f};
        a.person_infit_zstd = {0, 0.9f, -0.4f, 0.0f, 0.0f, 0.0f, 0.0f};
        a.person_outfit_zstd = {0, 0.5f, -0.2f, 0.0f, 0.0f, 0.0f, 0.0f};
        a.item_status = item_status;
        a.item_measure = item_measure;
        a.item_standard_error = {0, 0.9f, 0.85f, 1.8f, 0.95f};
        a.item_displacement = {0, 0.1f, -0.2f, 0.0f, 0.05f};
        a.item_raw_score = {0, 3, 2, 5, 2};
        a.item_count = {0, 5, 5, 5, 5};
        a.item_infit_mnsq = {0, 1.2f, 0.7f, 1.0f, 1.1f};
        a.item_outfit_mnsq = {0, 1.4f, 0.6f, 1.0f, 1.0f};
        a.item_infit_zstd = {0, 0.6f, -0.9f, 0.0f, 0.3f};
        a.item_outfit_zstd = {0, 0.8f, -1.1f, 0.0f, 0.1f};

        // One dichotomous group in slots 1 and 2.
        a.groups = 1;
        a.group_top_category = {0, 1};
        a.group_first_slot = {0, 1};
        a.group_model = {' ', 'R'};
        a.group_average_difference = {0, 0.4f};
        a.step_calibration = {0, 0, 0};
        a.category_status = {0, 1, 1};
        a.category_half_point_measure.assign(3, 0.0f);
        a.category_score_point_measure.assign(3, 0.0f);
        a.category_thurstone_threshold.assign(3, 0.0f);
        a.category_observed_average = {0, -0.6f, 0.9f};
        a.category_expected_average = {0, -0.5f, 0.8f};
        recompute_points();

        WorkFileLayout layout{cv.ni, cv.namlen, cv.itlen, false};
        open_person_work_files(run, layout);
        WorkFiles files(layout);
        const char* names[] = {"", "ANNA", "BERT", "ALEX", "BOB", "AMY", "BEN"};
        std::vector<std::uint8_t> bytes(4, 1);
        for (std::int64_t p = 1; p <= 6; ++p) {
            write_person_name_record(run, files, p, names[p]);
            write_person_codes_record(run, files, p, bytes);
            write_person_scores_record(run, files, p, bytes);
            PersonWorkFields f{4, static_cast<float>(p % 5), person_error[p], person_infit[p],
                               a.person_outfit_mnsq[p], 0.3f, 0.05f * static_cast<float>(p)};
            write_person_work_record(run, files, p, f);
        }
        run.rs.item_label_record_length = 5;
        open_item_label_work_file(run, 5);
        const char* labels[] = {"", "ADD", "SUB", "MUL", "DIV"};
        for (std::int64_t i = 1; i <= 4; ++i) write_item_label_record(run, files, i, labels[i]);
        reselect_persons(run, files, false);
        reselect_items(run, files, false);
        host.lines.clear();
    }

    void recompute_points() {
        AnalysisArrays& a = run.arrays;
        RatingScaleGroups g{1, a.group_top_category.data() + 1, a.group_first_slot.data() + 1,
                            a.group_model.data() + 1};
        float p[2];
        compute_expected_score_points(
            g, a.step_calibration.data(), a.category_status.data(),
            {run.cv.high_end_offset, run.cv.low_end_offset, run.cv.uscale}, p,
            a.category_half_point_measure.data(), a.category_score_point_measure.data(),
            a.category_thurstone_threshold.data());
    }

    void apply(std::string_view text) { apply_runtime_specification(run, text); }

    // Person p's work record, read whether or not ZQQ is open now.
    PersonWorkFields work_record(std::int64_t p) {
        const bool was_open = record_unit_is_open(run, unit::kPersonRecords);
        if (!was_open) open_record_unit(run, unit::kPersonRecords, work_file_path(run, "ZQQ"), 28);
        WorkFiles files = run_work_files(run);
        PersonWorkFields f;
        read_person_work_record(run, files, p, f);
        if (!was_open) close_record_unit(run, unit::kPersonRecords);
        return f;
    }
    const SummarySlot& slot(int k) const { return run.arrays.summary[static_cast<std::size_t>(k)]; }
};

}  // namespace korvelan::testing
