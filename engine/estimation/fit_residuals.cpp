#include "engine/estimation/fit_residuals.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "engine/estimation/category_model.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {
constexpr double kEps = kSmallestPositiveValue;
// Bytes of records gathered before they are written.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

std::int16_t bounded_code(double v) {
    return static_cast<std::int16_t>(std::clamp(nint(v), -32767, 32767));
}

}  // namespace

std::int16_t residual_code(char kind, float y, float z, float w, int x, int m, float px) {
    switch (kind) {
        case 'R': return bounded_code(y * 32767.0 / m);
        case 'S':
        case 'Y': return bounded_code(z * 1500.0);
        case 'L': return bounded_code(y * 100.0 / w);
        case 'O': return static_cast<std::int16_t>(x);
        case 'K': return bounded_code(px * 32767.0);
        case 'H': {
            const double v = -std::log(std::max(static_cast<double>(px), kEps)) / std::log(0.002);
            return bounded_code(32767.0 * std::clamp(v, -1.0, 1.0));
        }
        case 'G': {
            const double q = std::max(1.0 - px, kEps), pp = std::max(static_cast<double>(px), kEps);
            return bounded_code(32767.0 * std::clamp(std::log(pp / q) / std::log(499.0), -1.0, 1.0));
        }
        default: return kNoObservation;
    }
}

ResidualBlock::ResidualBlock(int fd, int items, int persons)
    : fd_(fd),
      items_(static_cast<std::size_t>(items)),
      capacity_(fd < 0 ? 0
                       : std::clamp<std::size_t>(kBlockBytes / record_bytes(), 1,
                                                 static_cast<std::size_t>(std::max(persons, 1)))),
      values_(capacity_ * items_) {}

std::size_t ResidualBlock::record_bytes() const {
    return sizeof(std::int16_t) * std::max<std::size_t>(items_, 1);
}

std::int16_t* ResidualBlock::record(int n) {
    if (capacity_ == 0) return nullptr;
    if (count_ == capacity_ || (count_ > 0 && n != first_ + static_cast<int>(count_))) flush();
    if (count_ == 0) first_ = n;
    return values_.data() + count_ * items_;
}

void ResidualBlock::flush() {
    if (count_ == 0) return;
    const char* bytes = reinterpret_cast<const char*>(values_.data());
    const std::size_t size = count_ * record_bytes();
    const off_t at = static_cast<off_t>(record_bytes()) * (first_ - 1);
    std::size_t put = 0;
    int error = 0;
    while (put < size) {
        const ssize_t r = ::pwrite(fd_, bytes + put, size - put, at + static_cast<off_t>(put));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            error = r < 0 ? errno : EIO;
            break;
        }
        put += static_cast<std::size_t>(r);
    }
    if (put < size && failed_ == 0) {
        failed_ = first_ + static_cast<std::int32_t>(put / record_bytes());
        failed_errno_ = error;
    }
    count_ = 0;
}

}  // namespace korvelan
