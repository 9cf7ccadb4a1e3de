// The estimation behind the DIF and DPF Tables: for each class of the classified side and each
// entry of the other side, the shift of that entry's measure that the responses of the class
// alone call for, with every person measure, item difficulty and step held at its value from the
// analysis. Each pass adds a damped Newton step to every cell; the passes end when no step
// exceeds 0.01 logits, when Finish iterating is chosen, or after the pass cap.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/analyses/class_codes.h"
#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

// Cell statuses.
namespace dif_status {
inline constexpr int kUnjudged = 0;
inline constexpr int kEstimated = 1;
inline constexpr int kMinimumScore = -1;
inline constexpr int kMaximumScore = -2;
inline constexpr int kUnusable = -3;
}  // namespace dif_status

struct DifCell {
    double size = 0;  // logits; after the estimation of DIF, positive = harder for the class
    double observed = 0, maximum = 0, expected = 0, variance = 0;
    int status = dif_status::kUnjudged;
    bool printed = false;
};

// The cells of C classes by M entries of the other side, and each classified entry's class.
struct DifCells {
    int classes = 0;
    int others = 0;
    std::vector<DifCell> cells;          // class c, other entry j at (c - 1) * M + j - 1
    std::vector<std::int32_t> class_of;  // classified entry n at n - 1; 0 = no class
    DifCell& at(int c, int j) { return cells[static_cast<std::size_t>(c - 1) * others + (j - 1)]; }
    const DifCell& at(int c, int j) const { return cells[static_cast<std::size_t>(c - 1) * others + (j - 1)]; }
};

// The convergence limit of a pass (logits) and the passes a batch run may spend at most.
inline constexpr double kDifConvergence = 0.01;
inline constexpr int kDifPassCap = 500;

struct DifPasses {
    int passes = 0;
    double largest_change = 0;  // logits, of the last pass
    bool capped = false;        // the cap ended the passes before convergence
};

// The classes of the classified side's measured entries (status 1 or more), in the order their
// codes are first met, while the table has room.
void collect_classes(Run& run, ReportSide classified, LabelCodeTable& classes);

// Bytes of the working block of C classes, M other entries and K classified entries: 32 C M
// + 4 K (nullopt when it overflows).
std::optional<std::int64_t> dif_block_bytes(std::int64_t c, std::int64_t m, std::int64_t k);

// Takes the cells, all zero, when the run can have their block.
bool obtain_dif_cells(const Run& run, int classes, int others, int classified, DifCells& cells);

// Runs the passes over every measured person's responses (nothing when Finish iterating is
// already set). DIF sizes are negated at the end. The message line shows each pass's largest
// change, and the cap when it ends the passes.
DifPasses estimate_dif_sizes(Run& run, ReportSide classified, const LabelCodeTable& classes,
                             DifCells& cells, int pass_cap = kDifPassCap);

}  // namespace korvelan
