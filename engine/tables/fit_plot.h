// The fit plots of Tables 4, 5 (persons) and 8, 9 (items): each measured entry's measure
// against its infit or outfit statistic, lettered by its place in the misfit order, with the
// reference lines and the other side's distribution under the axis (4.1, 5.1, 8.1, 9.1); and
// the infit-against-outfit plot with its diagonal (5.2, 9.2).
#pragma once

#include <string>

#include "engine/report/report_context.h"

namespace korvelan {

// The vertical statistic of the plots: mean-squares under MNSQ=Y, else the standardized fit
// (its label " LOG" reads it as the log of the mean-square).
enum class FitKind { MeanSquare, Log, Standardized };

struct FitPlotRange {
    float low = 0.0f;
    float high = 0.0f;
};

FitKind fit_kind(const ControlVariables& cv);

// find_fit_plot_range: from the smallest and largest values of summary slots a and b (the
// mean-squares or standardized fits of the side), widened to the kind's smallest span, rounded
// outwards to whole numbers and kept within -10..10.
FitPlotRange find_fit_plot_range(const Run& run, int slot_a, int slot_b);

// The plot of ctx.side's measures (the plot range as the caller set it in ctx.axis) against
// infit (outfit = false) or outfit, in the side's order list, under its own heading; then the
// other side's distribution strip.
void write_fit_plot(ReportContext& ctx, const FitPlotRange& range, bool outfit);

// The infit-against-outfit plot of ctx.side on the fit range (raised to span at least 1).
void write_infit_outfit_plot(ReportContext& ctx, FitPlotRange range);

}  // namespace korvelan
