// The curves of one group of the graphs work file: the measure grid, the five chart series with
// their gap rows, and the axis and slider settings of each graph type. The model itself is the
// engine's curve computation; this adds only the grid and the layout of the chart.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphs/work_file.h"

namespace korvelan::graphs {

// Graph types 1..5; index 0 of the per-type tables is not used.
inline constexpr int kGraphTypes = 5;

// The x range in plotted units (logits times the scale).
struct CurveGrid {
    std::int32_t view_low = 0, view_high = 0, view_division = 0;  // first shown
    std::int32_t computed_low = 0, computed_high = 0;             // points; x slider range
    std::int32_t point_count = 0;                                 // intervals; points 0..count
    float increment = 0.0f;
    float maximum_information = 0.0f;
};

// The tick of the computed range tidied to 1..5, 10, or a first digit times a power of ten.
std::int32_t tidy_tick(std::int32_t tick);
CurveGrid compute_curve_grid(float low_measure, float high_measure, float scale);

// Most divisions an axis is given: more would leave no room for their labels.
inline constexpr int kMostAxisDivisions = 20;

// The smallest round step (1, 2 or 5 times a power of ten) that divides the range into at most
// the given number of divisions; 1 for an empty range.
double round_axis_step(double range, int most_divisions);

// A chart row; a negative y separates two curves.
struct SeriesRow {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const SeriesRow&) const = default;
};

struct GraphTypeSettings {
    std::int32_t y_division = 0, y_min = 0, y_max = 1, y_low = 0, y_high = 10;
    std::string caption, y_title;
    std::int32_t slider_max = 10, slider_min = 0;
};
using SettingsTable = std::array<GraphTypeSettings, kGraphTypes + 1>;

// The captions and y-axis titles of the graph types, numbers at their start values.
SettingsTable initial_settings();

struct GroupCurves {
    CurveGrid grid;
    std::array<std::vector<SeriesRow>, kGraphTypes + 1> series;  // by graph type
};

// Whether the model of the group is computed (codes 11 and above, the success and failure
// chains, are not: their rows stay (0, 0)).
bool group_computed(const GraphsGroup& g);
// What the chart says in place of the curves of a group that is not computed.
inline constexpr const char* kChainCurvesNotDrawn =
    "The curves of the success and failure chain models (S and F) are not drawn.";

// The grid and the five series of group g (1-based, within the data). A category of status 0
// has no curve in the probability, cumulative and category-information series.
GroupCurves compute_group_curves(const GraphsData& data, int g);

// The y settings of every graph type after a computation of group g.
void reset_graph_type_settings(SettingsTable& settings, const GraphsGroup& g, float maximum_information);

}  // namespace korvelan::graphs
