#include "engine/outfiles/output_wiring.h"

namespace korvelan {

namespace {
std::string trimmed(const std::string& s) { return std::string(trim(s)); }
}  // namespace

OutputSettings output_settings_from_controls(const Run& run) {
    const ControlVariables& cv = run.cv;
    OutputSettings s;
    // CSV=: "," and "Y" both ask for comma-separated fields, "T" for tabs.
    s.csv = cv.csv == ',' ? 'Y' : (cv.csv == 'T' ? 'T' : (cv.csv == 'Y' ? 'Y' : 'N'));
    s.hlines = cv.hlines == 'N' ? 'N' : 'Y';
    s.pfile = trimmed(cv.pfile);
    s.ifile = trimmed(cv.ifile);
    s.sfile = trimmed(cv.sfile);
    s.isfile = trimmed(cv.isfile);
    s.grfile = trimmed(cv.grfile);
    s.rfile = trimmed(cv.rfile);
    s.xfile = trimmed(cv.xfile);
    s.scfile = trimmed(cv.scfile);
    s.disfile = trimmed(cv.disfile);
    s.icorfile = trimmed(cv.icorfile);
    s.pcorfile = trimmed(cv.pcorfile);
    s.gufile = trimmed(cv.gufile);
    s.sifile = trimmed(cv.sifile);
    s.title = std::string(trim_right(cv.title));
    s.item_word = trimmed(cv.item_word);
    s.person_word = trimmed(cv.person_word);
    s.item_plural = trimmed(cv.item_plural);
    s.person_plural = trimmed(cv.person_plural);
    s.fit_word = cv.standardized_fit_label;
    s.umean = cv.umean;
    s.uscale = cv.uscale;
    s.user_decimals = cv.user_decimals;
    s.plot_half_range = cv.xa_range;  // MRANGE=: the half-width of the curve range
    s.point_biserial = cv.pt_flag == 'Y' ? 'Y' : 'N';
    s.total_score = cv.to_flag == 'Y' ? 'Y' : 'N';
    s.real_error = cv.rea_flag == 'Y' ? 'Y' : 'N';
    s.groups_mode = cv.groups_mode;
    // Without GROUPS= the items' common group has no character of the user's: the column stays
    // blank. Otherwise the per-item characters (all "0" for one group per item).
    s.groups = cv.groups_mode == 0 ? std::string() : run.arrays.strings.groups;
    return s;
}

}  // namespace korvelan
