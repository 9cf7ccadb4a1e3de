// The person data the estimation sweeps read and write: one person's scored responses and the
// seven reals of the person's work record. Both come from the memory images of the work files
// (person p at offset (p - 1) x NI and (p - 1) x 7); every phase reaches them through here, so a
// reader of the work files can take the images' place without touching the phases.
#pragma once

#include <cstdint>

#include "engine/run/run.h"

namespace korvelan {

inline constexpr int kPersonRecordFields = 7;

// Fields of the person work record (0-based). During PROX and UCON fields 2 to 4 hold the
// maxima and the score for estimation; the fit statistics put the standard error, the two
// mean-squares and the displacement in their places.
namespace record_field {
inline constexpr int kCount = 0;
inline constexpr int kRawScore = 1;
inline constexpr int kMaximumPossible = 2;
inline constexpr int kModelMaximum = 3;
inline constexpr int kModelScore = 4;
inline constexpr int kPointBiserial = 5;
inline constexpr int kSeventh = 6;
inline constexpr int kStandardError = 2;
inline constexpr int kInfitMeanSquare = 3;
inline constexpr int kOutfitMeanSquare = 4;
inline constexpr int kDisplacement = 6;
}  // namespace record_field

// Sizes every array the estimation writes to its entry count + 1, where the driver has not.
void prepare_estimation_arrays(AnalysisArrays& a);

class PersonData {
public:
    // Checks the scored-response image and makes sure the work-record image exists.
    explicit PersonData(Run& run);

    // NI scored responses of person p (1-based), item i at index i - 1; 255 = missing.
    const std::uint8_t* scores(int p) const {
        return scores_ + static_cast<std::size_t>(p - 1) * items_;
    }
    // The seven reals of person p's work record.
    float* record(int p) { return records_ + static_cast<std::size_t>(p - 1) * kPersonRecordFields; }
    const float* record(int p) const {
        return records_ + static_cast<std::size_t>(p - 1) * kPersonRecordFields;
    }

private:
    const std::uint8_t* scores_ = nullptr;
    float* records_ = nullptr;
    std::size_t items_ = 0;
};

}  // namespace korvelan
