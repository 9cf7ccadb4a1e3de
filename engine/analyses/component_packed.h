// The passes of the component iteration over a whole packed matrix in memory, on the worker
// threads, with the values multiply_stored and deflate_component give, bit for bit.
//
// In the one-thread pass, u_i gathers v_j r_ij over the partners j of i in ascending order (the
// pairs before i as they come in the column of i, then its own row). The active entries are
// cut into strips and the triangle into tiles of two strips; the tiles (I, J) with the same
// I + J touch different strips, and every other tile that touches strip I or J has a smaller
// or larger I + J. Running the tiles one anti-diagonal after another, each tile on one thread,
// every u_i still gathers its partners in ascending order.
#pragma once

#include <span>

#include "engine/analyses/component_iteration.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

// multiply_stored on the packed matrix; the first pass (x.first) runs on the calling thread.
void multiply_packed(ComponentVectors& x, std::span<double> packed, WorkerPool& pool);

// deflate_component on the packed matrix.
void deflate_packed(ComponentVectors& x, std::span<double> packed, WorkerPool& pool);

}  // namespace korvelan
