#include "engine/estimation/estimation_wiring.h"

namespace korvelan {

namespace {
char yes_no(char flag, char when_blank) {
    if (flag == ' ') return when_blank;
    return flag == 'Y' ? 'Y' : 'N';
}

// Whether anything of the run may read the residual work file: the principal components
// (Tables 23 and 24), the residual correlation files, any Table a TFILE= list may ask for, and
// every request a run without BATCH=Y may take after the estimation.
bool residuals_may_be_read(const Run& run) {
    const ControlVariables& cv = run.cv;
    if (!run.rs.batch || !trim(cv.tfile).empty()) return true;
    if (!trim(cv.icorfile).empty() || !trim(cv.pcorfile).empty()) return true;
    for (int table : {23, 24}) {
        const std::size_t at = static_cast<std::size_t>(table) - 1;
        if (at < cv.table_selection.size() && cv.table_selection[at] != '0' &&
            cv.table_selection[at] != ' ')
            return true;
    }
    return false;
}
}  // namespace

EstimationSettings estimation_settings_from_controls(const Run& run) {
    const ControlVariables& cv = run.cv;
    EstimationSettings s;
    s.logit_change_limit = cv.logit_change_limit;
    s.score_residual_limit = cv.residual_limit;
    s.prox_limit = cv.prox_limit;
    s.ucon_limit = cv.ucon_limit;
    s.extreme_score_adjustment = cv.extreme_correction;
    s.umean = cv.umean;
    s.uscale = cv.uscale == 0.0f ? 1.0f : cv.uscale;
    s.origin_on_items = yes_no(cv.umean_on_items, 'Y');
    s.anchor_units = yes_no(cv.anchor_user_units, 'Y');
    s.stbias = yes_no(cv.stb_flag, 'N');
    s.paired = yes_no(cv.pai_flag, 'N');
    s.keep_unobserved_steps = yes_no(cv.stk_flag, 'Y');
    s.target = yes_no(cv.tar_flag, 'N');
    s.point_biserial = yes_no(cv.pt_flag, 'N');
    s.local = cv.loc_flag == 'L' ? 'L' : yes_no(cv.loc_flag, 'N');
    s.normal = yes_no(cv.no_flag, 'N');
    s.prcomp = cv.prcomp == ' ' ? 'S' : cv.prcomp;
    s.residual_file = residuals_may_be_read(run);
    s.user_decimals = cv.user_decimals;
    s.top_offset = cv.high_end_offset;
    s.bottom_offset = cv.low_end_offset;
    s.cut_low = cv.cut_low;
    s.cut_high = cv.cut_high;
    return s;
}

}  // namespace korvelan
