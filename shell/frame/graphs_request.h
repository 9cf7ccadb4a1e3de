// The Graphs menu: the graphs work file of the finished run, then the graphs program on it.
#pragma once

#include "engine/run/run.h"
#include "shell/services/launcher.h"

namespace korvelan {

// Graph types 1 to 5, from the five Graphs entries in their order.
inline constexpr int kFirstGraphType = 1;
inline constexpr int kLastGraphType = 5;

// Writes the graphs work file and starts the graphs program with the graph type and the file's
// path. A file that could not be written (the reason is shown) starts nothing. True when the
// program was started.
bool show_graphs(Run& run, GraphsLauncher& launcher, int graph_type);

}  // namespace korvelan
