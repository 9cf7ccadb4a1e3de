// Every control value the estimation reads, in one place, with the defaults of the control file.
// The analysis driver fills it from the control variables once they have been read and checked;
// the estimation phases read nothing else of the control file.
#pragma once

#include <cstdint>

namespace korvelan {

struct EstimationSettings {
    // Convergence and iteration limits.
    float logit_change_limit = 0.005f;  // LCONV= ("LC"): largest logit change
    float score_residual_limit = 0.1f;  // RCONV= ("RC"): largest score residual
    std::int32_t prox_limit = 10;       // MPROX= ("MP"): 0 = until the ranges settle
    std::int32_t ucon_limit = 0;        // MUCON= ("MU"): 0 = until convergence, < 0 = none

    // Extreme scores: scores are kept within [x, maximum - x]; stored within 0.01..1.0.
    float extreme_score_adjustment = 0.3f;  // EXTRSC= ("EXTRS", "MM")

    // User units: measure = logit x uscale + umean.
    float umean = 0.0f;         // UMEAN= / UPMEAN=
    float uscale = 1.0f;        // USCALE=; 0 is stored as 1
    char origin_on_items = 'Y'; // 'Y': UMEAN= sets the item mean; 'N' (UPMEAN=): the person mean
    char anchor_units = 'Y';    // UANCHOR= ("UAN"): with anchors, nothing is centred

    // Bias correction, step handling, estimation variants.
    char stbias = 'N';          // STBIAS= ("STB")
    char paired = 'N';          // PAIRED= ("PAI")
    char keep_unobserved_steps = 'Y';  // STKEEP= ("STK")
    char target = 'N';          // TARGET= ("TAR"): information-weighted estimation
    char point_biserial = 'N';  // PTBIS= ("PT"): 'Y' keeps the PROX point-biserial

    // Fit statistics.
    char local = 'N';           // LOCAL= ("LOC"): 'Y' rescaled ZSTD, 'L' ln(MnSq), 'N' cube root
    char normal = 'N';          // NORMAL= ("NO"): 'Y' unstandardized differences
    char prcomp = 'S';          // PRCOMP=: kind of residual written for each observation, 'N' none
    // Whether the standardized residuals go to the work file ZUU at all: not when nothing of the
    // run can read them (a batch run that asks for no principal components and no residual
    // correlations).
    bool residual_file = true;
    std::int32_t user_decimals = 2;  // UDECIMALS= ("UD"), 0..4

    // Expected-score points at the two ends of a rating scale.
    float top_offset = 0.25f;     // HIADJ= ("HI")
    float bottom_offset = 0.25f;  // LOWADJ= ("LOW")

    // Trimming of unexpected observations, in user units (0 = no limit).
    float cut_low = 0.0f;   // CUTLO=
    float cut_high = 0.0f;  // CUTHI=

    // Worker threads for the person sweeps (0: KORVELAN_THREADS, else one per core). Results do
    // not depend on it.
    std::int32_t threads = 0;
};

}  // namespace korvelan
