// The score and distractor files: the person score file SCFILE= (every raw score of the complete
// test with its measure, standard error, information, sample norms and frequencies) and the
// category/option/distractor file DISFILE=.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/estimation/score_frequencies.h"
#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The raw scores of the complete test: rows 0..range stand for the scores bottom + s, from the
// items measured or anchored, each weighted by its item weight.
struct TestScoreRange {
    std::int32_t range = 0;   // NINT of the sum of w x top category
    std::int32_t bottom = 0;  // NINT of the sum of w x the value of the bottom category
    float maximum = 0.0f;     // the unrounded sum of w x top category
};
TestScoreRange test_score_range(const AnalysisArrays& a);

// The measure (user units), S.E. and information of every row, searched as the score table
// of the report searches them.
struct ScoreRows {
    std::vector<float> measure, error, information;
};
ScoreRows person_measures_for_scores(const Run& run, const TestScoreRange& r);

// SCFILE=. Measures that do not rise with the score (a fault of the search) leave the file
// unwritten and name it among the files not written in full.
void write_person_score_file(Run& run, const OutputSettings& s, const AnalysisArrays& a);

// DISFILE=: per item one row for every code of CODES= (chosen or not), then one row for each
// code scored missing that was found, and one "MISSING" row for responses that matched no code.
// The figures are the option tally of the category/option/distractor Table (run.arrays).
void write_distractor_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records);

}  // namespace korvelan
