// The output-file writers' services for a finished run: labels and person work records from the
// work files, category probabilities from the estimation's model.
#pragma once

#include <string>

#include "engine/input/work_files.h"
#include "engine/outfiles/output_services.h"
#include "engine/run/run.h"

namespace korvelan {

class RunEntryRecords : public EntryRecords {
public:
    explicit RunEntryRecords(Run& run);
    std::string_view label_of(Entity side, std::int32_t n) override;
    PersonWorkFields person_stats(std::int32_t n) override;
    void person_scores(std::int32_t n, std::span<std::uint8_t> out) override;
    void person_codes(std::int32_t n, std::span<std::uint8_t> out) override;

private:
    Run& run_;
    WorkFiles files_;
    std::string label_;
};

class ModelCategoryCurves : public CategoryCurves {
public:
    float category_probabilities(const AnalysisArrays& a, std::int32_t g, float x, float* p) override;
    float step_probabilities(const AnalysisArrays& a, std::int32_t g, float x, int c, float* p) override;
};

// RFILE= right after data input, when the control file names it: the persons' statuses are
// still those of the input.
void write_scored_response_file_of_run(Run& run);

// Writes every output file the control file names, in their fixed order. correlations: where
// the correlation files take their pairs from (none: those files are not written).
void write_output_files_of_run(Run& run, ResidualCorrelations* correlations = nullptr);
// Says which of those files were not written when the user asked to finish iterating.
void name_output_files_not_written_of_run(Run& run);

// After the run, the output file of a request code: the save dialog, the file, the editor (see
// serve_output_file_request); the chosen name is kept in the run's control value. False when
// the code has no writer. It reads the work files as they stand: a request after the run goes
// through request_output_file_after_run, whose request frame opens them first.
bool write_output_file_after_run(Run& run, char code, ResidualCorrelations* correlations = nullptr);

}  // namespace korvelan
