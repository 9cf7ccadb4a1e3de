// The control values the output-file writers read, with their defaults. The run fills one of
// these from its control variables before the writers run; the Output Files menu changes the
// layout choices and the file names after the run.
#pragma once

#include <cstdint>
#include <string>

namespace korvelan {

struct OutputSettings {
    // Layout of every file that takes them.
    char csv = 'N';     // CSV=: 'N' fixed columns, 'Y' comma-separated, 'T' tab-separated
    char hlines = 'Y';  // HLINES=: 'Y' heading lines, 'N' none

    // File names; blank = not asked for.
    std::string pfile, ifile, sfile, isfile, grfile;
    std::string rfile, xfile, scfile, disfile, icorfile, pcorfile, gufile, sifile;
    // The unfolded data file has no keyword: the name chosen after the run.
    std::string unfolded_file;

    // XFILE=: which fields and observations are written (15 positions, a blank one not chosen:
    // see the observation file) and the one person and one item it may be limited to (0: all).
    std::string xfile_fields = "XXXXXXXXXXXXX  ";
    std::int32_t xfile_person_limit = 0;
    std::int32_t xfile_item_limit = 0;

    // Heading texts.
    std::string title;  // TITLE= (up to 60 characters)
    std::string item_word = "ITEM";
    std::string person_word = "PERSON";
    std::string item_plural = "ITEMS";
    std::string person_plural = "PERSONS";
    // The standardized-fit word of the run: "ZSTD", "ZEMP" or " LOG" (leading blank kept).
    std::string fit_word = "ZSTD";

    // Numbers.
    float umean = 0.0f;   // UMEAN=
    float uscale = 1.0f;  // USCALE=
    std::int32_t user_decimals = 2;  // UD...: decimals of measures and standard errors
    float plot_half_range = 0.0f;    // half-width of the curve range; 0 = automatic

    // Options.
    char point_biserial = 'N';  // PT...: 'Y' names the correlation column PTBS, else CORR
    char total_score = 'N';     // TO...: 'Y' shows counts and scores under the total score
    char real_error = 'N';      // REA...: 'Y' inflates the error by the misfit (REAL error)

    // GROUPS=: mode 1 gives one character per item (in AnalysisArrays::strings.groups);
    // otherwise the first character of this value names every item's group.
    std::int32_t groups_mode = 0;
    std::string groups;
};

// Decimals of measures and standard errors: the UD setting when it lies in 1..3, 4 when it is
// larger, 0 when it is 0 or negative.
inline int measure_decimals(const OutputSettings& s) {
    if (s.user_decimals <= 0) return 0;
    return s.user_decimals > 3 ? 4 : s.user_decimals;
}

}  // namespace korvelan
