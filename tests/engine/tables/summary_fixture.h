// A run that went through the whole analysis in this process, from a control file in a scratch
// folder, with its PFILE= and IFILE= beside it; Table 3.1 written after it as a Table file, and
// the statistics of the measure files computed from their records.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/support/analysis_run.h"

namespace korvelan::testing {

struct SummaryRun : AnalysisRun {
    // Runs the whole analysis of the control text; refuse is the allocator's test hook.
    explicit SummaryRun(const std::string& control,
                        std::function<bool(MemoryBlock, std::int64_t)> refuse = {});

    // The lines of Table 3.1 written now, as the first Table of a Table file.
    std::vector<std::string> table();
    std::vector<MeasureRecord> persons() const { return read_measure_file(dir.file("p.txt")); }
    std::vector<MeasureRecord> items() const { return read_measure_file(dir.file("i.txt")); }
};

// Lines joined with CR LF, as a Table file holds them.
std::string crlf_text(const std::vector<std::string>& lines);

// The output file of a code ('P', 'I', ...) written after the run in the layout that CSV= csv and
// HLINES= hlines set, kept as `name` in the run's folder; its lines.
std::vector<std::string> write_file_after_run(SummaryRun& a, char code, char csv, const std::string& name,
                                              char hlines = 'Y');

// Population mean, S.D., maximum and minimum of some values.
struct Spread {
    double mean = 0, sd = 0, maximum = 0, minimum = 0;
};
Spread spread_of(const std::vector<double>& values);

// Separation and reliability from the standard errors and the measures, by their definitions:
// RMSE the root mean square error, the true variance the observed variance less RMSE^2.
struct Separation {
    double rmse = 0, adjusted_sd = 0, separation = 0, reliability = 0;
};
Separation separation_of(const std::vector<double>& errors, const std::vector<double>& measures);

// What Table 3.1 should show for one side, from the records of its measure file. The real S.E.s
// come from the infit mean-squares of the file, which hold two decimals: infit_shift moves every
// one of them, so that shifts of -.005 and +.005 bracket the values the run itself used.
struct SideExpectation {
    std::vector<Spread> columns;  // score, count, measure, model S.E., infit, infit z, outfit, z
    Separation real, model;       // measured entries that are not extreme
    double error_of_mean = 0;
    int measured = 0, maximum = 0, minimum = 0, lacking = 0, deleted = 0;
    Spread with_extremes;  // measures, extreme entries included
    Separation real_all, model_all;
};
SideExpectation expectation_of(const std::vector<MeasureRecord>& records, double infit_shift = 0);

}  // namespace korvelan::testing
