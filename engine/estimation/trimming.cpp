#include "engine/estimation/trimming.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/entry_marks.h"
#include "engine/run/message_texts.h"

namespace korvelan {

std::int64_t drop_out_of_range_observations(Run& run, WorkFiles& files,
                                            const std::vector<std::int8_t>& person_status,
                                            const std::vector<float>& person_measure,
                                            std::int32_t np,
                                            const std::vector<std::int8_t>& item_status,
                                            const std::vector<float>& item_measure, float& cut_low,
                                            float& cut_high, float uscale,
                                            EstimationObserver& observer) {
    if (cut_low == 0.0f && cut_high == 0.0f) return 0;
    observer.trimming_line(std::string(msg::kDroppingObservations) + fmt_f(cut_low, 6, 2) +
                           msg::kCutHigh + fmt_f(cut_high, 6, 2));
    const float scale = uscale == 0.0f ? 1.0f : uscale;
    cut_low = std::fabs(cut_low / scale);
    cut_high = std::fabs(cut_high / scale);

    const std::int32_t ni =
        std::min({files.layout.ni, static_cast<std::int32_t>(item_status.size()) - 1,
                  static_cast<std::int32_t>(item_measure.size()) - 1});
    np = std::min({np, static_cast<std::int32_t>(person_status.size()) - 1,
                   static_cast<std::int32_t>(person_measure.size()) - 1});
    std::vector<std::uint8_t> scores(static_cast<std::size_t>(std::max(files.layout.ni, 1)));
    std::int64_t dropped = 0;
    for (std::int32_t p = 1; p <= np; ++p) {
        const std::int8_t s = status_without_prox_mark(person_status[static_cast<std::size_t>(p)]);
        // Extreme persons keep every response; so do those not measured.
        if (s > 0) {
            read_person_scores_record(run, files, p, scores);
            const float b = person_measure[static_cast<std::size_t>(p)];
            bool changed = false;
            for (std::int32_t i = ni; i >= 1; --i) {
                std::uint8_t& x = scores[static_cast<std::size_t>(i - 1)];
                if (item_status[static_cast<std::size_t>(i)] <= 0 || x == kMissingScore) continue;
                const float d = b - item_measure[static_cast<std::size_t>(i)];
                if ((cut_low != 0.0f && d < -cut_low) || (cut_high != 0.0f && d > cut_high)) {
                    x = kMissingScore;
                    ++dropped;
                    changed = true;
                }
            }
            if (changed) write_person_scores_record(run, files, p, scores);
        }
        observer.progress(p, np);
    }
    if (dropped == 0)
        observer.trimming_line(msg::kNoOutOfRange);
    else
        observer.trimming_line(fmt_i(dropped, 10) + msg::kObservationsDropped);
    return dropped;
}

}  // namespace korvelan
