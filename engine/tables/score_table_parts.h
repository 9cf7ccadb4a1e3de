// The parts of the score tables that the person and item sides share: the score range of a
// side, the boxed grid of scores, measures and S.E.s, and the norms table of the person side.
#pragma once

#include <functional>
#include <vector>

#include "engine/estimation/score_search.h"
#include "engine/report/report_context.h"

namespace korvelan {

// Scores 0..range are searched; the score shown is k + base.
struct ScoreRange {
    int range = 0;
    int base = 0;
    float maximum = 0.0f;  // the weighted maximum score, range = NINT(maximum)
};

// The measure and S.E. of every score 0..range (user units).
struct ScoreMeasures {
    std::vector<float> measure;
    std::vector<float> error;
};

// Searches score k from the start value (the column's previous measure).
using ScoreSearch = std::function<ScoreMeasure(int k, float start)>;

// The grid: the heading rules, rows of three cells (score, measure, "E" at scores 0 and range,
// 7 characters of S.E.), repeated headings after a page break, the bottom rule. Scores 0 and
// range take the given extremes; the others are searched, each column starting from the
// measure before it (the first at `start`). Each score calls mark(k, measure, flag).
ScoreMeasures write_score_grid(Run& run, const ScoreRange& r, const ScoreMeasure& lowest,
                               const ScoreMeasure& highest, float start, const ScoreSearch& search,
                               const std::function<void(int, float, char)>& mark);

// The norms and frequencies of the person side (sub-table heading included). False when the
// measures do not rise with the score or are not finite: the sequence error is reported and,
// while the run writes its report, the report is named as not written in full.
bool write_score_norms(ReportContext& ctx, const ScoreRange& r, ScoreMeasures measures);

}  // namespace korvelan
