#include "engine/analyses/scratch_block.h"

#include <limits>

namespace korvelan {

Size pair_count(std::int64_t m) {
    if (m < 2) return std::int64_t{0};
    // One of m and m - 1 is even: halve it first, so the product is the only overflow.
    const std::int64_t a = m % 2 == 0 ? m / 2 : m;
    const std::int64_t b = m % 2 == 0 ? m - 1 : (m - 1) / 2;
    return checked_product(a, b);
}

Size checked_product(Size a, Size b) {
    std::int64_t r = 0;
    if (!a || !b || __builtin_mul_overflow(*a, *b, &r)) return std::nullopt;
    return r;
}

Size checked_sum(Size a, Size b) {
    std::int64_t r = 0;
    if (!a || !b || __builtin_add_overflow(*a, *b, &r)) return std::nullopt;
    return r;
}

std::int64_t shown_bytes(Size bytes) {
    return bytes ? *bytes : std::numeric_limits<std::int64_t>::max();
}

bool memory_request_allowed(const Run& run, MemoryBlock kind, Size bytes) {
    if (!bytes || *bytes < 0) return false;
    return !(run.input.refuse_memory && run.input.refuse_memory(kind, *bytes));
}

}  // namespace korvelan
