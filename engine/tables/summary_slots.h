// Where each side's values stand among the summary slots of the fit pass
// (AnalysisArrays::summary): the Tables that print means and S.D.s of measures and fit read them
// by these numbers.
#pragma once

namespace korvelan {

struct SideSlots {
    int first;          // raw score; count, measure, model S.E. and the four fit values follow
    int real_error;     // real S.E. of the measured entries
    int with_extremes;  // measure with the extreme entries; their model and real S.E. follow
};
inline constexpr SideSlots kPersonSlots{1, 17, 19};
inline constexpr SideSlots kItemSlots{9, 18, 22};

}  // namespace korvelan
