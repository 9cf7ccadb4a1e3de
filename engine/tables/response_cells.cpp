#include "engine/tables/response_cells.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/input/work_files.h"

namespace korvelan {

int shown_residual(float z) {
    if (std::isnan(z)) return 0;
    const float capped = std::min(std::fabs(z), 9.0f);
    const int t = static_cast<int>(capped);
    return z < 0.0f ? -t : t;
}

int shown_response(const Run& run, int person, int item, int x, const std::uint8_t* codes) {
    if (x != kMissingScore || codes == nullptr || !response_never_scored(run, person, item)) return x;
    return score_response(run, codes[item - 1], item);
}

bool response_never_scored(const Run& run, int person, int item) {
    const AnalysisArrays& a = run.arrays;
    return person_status_of(a, person) <= status::kDeleted || item_status_of(a, item) <= status::kDeleted;
}

int digit_count(std::int64_t n) {
    int d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}

int block_rows(int page_length, int lines_around) {
    return std::max(page_length - lines_around, 1);
}

std::string side_word(const Run& run, ReportSide side) {
    return std::string(trim(side == ReportSide::Items ? run.cv.item_word : run.cv.person_word));
}

std::string side_plural(const Run& run, ReportSide side) {
    return std::string(trim(side == ReportSide::Items ? run.cv.item_plural : run.cv.person_plural));
}

std::string table_number_text(const Run& run) {
    return std::string(trim(int_to_text_left(run.rep.request.table)));
}

int person_status_of(const AnalysisArrays& a, int p) {
    return base_status(array_value(a.person_status, p, status::kDeleted));
}

int item_status_of(const AnalysisArrays& a, int i) {
    return array_value(a.item_status, i, status::kDeleted);
}

}  // namespace korvelan
