#include "engine/run/entry_statistics.h"

namespace korvelan {

EntryStatistics item_statistics(const AnalysisArrays& a, std::int64_t i) {
    EntryStatistics v;
    v.measure = array_value(a.item_measure, i);
    v.count = array_value(a.item_count, i);
    v.raw_score = array_value(a.item_raw_score, i);
    v.standard_error = array_value(a.item_standard_error, i);
    v.infit_mnsq = array_value(a.item_infit_mnsq, i);
    v.infit_zstd = array_value(a.item_infit_zstd, i);
    v.outfit_mnsq = array_value(a.item_outfit_mnsq, i);
    v.outfit_zstd = array_value(a.item_outfit_zstd, i);
    v.displacement = array_value(a.item_displacement, i);
    v.point_biserial = array_value(a.item_point_biserial, i);
    return v;
}

EntryStatistics person_statistics(const AnalysisArrays& a, std::int64_t n,
                                  const PersonWorkFields& record) {
    EntryStatistics v;
    v.measure = array_value(a.person_measure, n);
    v.count = record.count;
    v.raw_score = record.raw_score;
    v.standard_error = record.standard_error;
    v.infit_mnsq = record.infit_mnsq;
    v.infit_zstd = array_value(a.person_infit_zstd, n);
    v.outfit_mnsq = record.outfit_mnsq;
    v.outfit_zstd = array_value(a.person_outfit_zstd, n);
    v.displacement = record.displacement;
    v.point_biserial = record.point_biserial;
    return v;
}

}  // namespace korvelan
