// Sizes of the residual-correlation work and the scratch blocks that hold it. Every size and
// record number is a 64-bit count whose arithmetic says when it overflows: m entries have
// m(m - 1)/2 pairs, which passes 32 bits above 65,536 entries. A block is owned by the call
// that obtains it and freed when that call ends; a size that overflows, that the run's memory
// hook refuses or that the allocator cannot meet counts as memory not available.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

using Size = std::optional<std::int64_t>;  // nullopt: the size overflows 64 bits

// m(m - 1)/2 for m >= 0.
Size pair_count(std::int64_t m);
Size checked_product(Size a, Size b);
Size checked_sum(Size a, Size b);

// The byte count a memory message shows: the size, or the largest count when it overflowed.
std::int64_t shown_bytes(Size bytes);

// Whether a request of `bytes` bytes for a block of the given kind may be tried: the size is
// known and the run's memory hook does not refuse it.
bool memory_request_allowed(const Run& run, MemoryBlock kind, Size bytes);

// One scratch block of elements of T.
template <class T>
class ScratchBlock {
public:
    // Tries to obtain `count` zeroed elements, asked for as `bytes` bytes (the request may hold
    // more than this block). False, with the block empty, when memory is not available.
    bool obtain(const Run& run, MemoryBlock kind, Size count, Size bytes) {
        values_.clear();
        if (!count || *count < 0 || !memory_request_allowed(run, kind, bytes)) return false;
        if (static_cast<std::uint64_t>(*count) > values_.max_size()) return false;
        try {
            values_.assign(static_cast<std::size_t>(*count), T{});
        } catch (const std::bad_alloc&) {
            values_ = std::vector<T>();
            return false;
        }
        return true;
    }
    // Takes values obtained before (under the same request) as the block.
    void adopt(std::vector<T>&& values) { values_ = std::move(values); }
    std::span<T> span() { return values_; }
    T* data() { return values_.data(); }
    const T* data() const { return values_.data(); }
    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    T& operator[](std::size_t i) { return values_[i]; }

private:
    std::vector<T> values_;
};

}  // namespace korvelan
