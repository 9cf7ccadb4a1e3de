// Texts of the analyses: residual correlations and principal components.
// Part of the one message table: include engine/run/message_texts.h.
#pragma once

namespace korvelan::msg {

// Residual correlations and principal components of the residuals.
inline constexpr const char* kPcaNoInformation = "  No Information for Correlations. PRCOMP=";
inline constexpr const char* kPcaCalculating = "  Calculating ";
inline constexpr const char* kPcaCorrelations = " Correlations";
inline constexpr const char* kPcaTooManyTerms =
    " correlation terms are too many for available disk space";
inline constexpr const char* kPcaLoading = " Loading:";
inline constexpr const char* kPcaComputing = " Computing:";
inline constexpr const char* kPcaArrayError =
    "CORRELATION ARRAY ERROR - EMAIL CONTROL AND DATA FILE TO ";
inline constexpr const char* kPcaSupportAddress = "support@korvelan.org";
inline constexpr const char* kPcaWorkFileFailure = " CORRELATION WORK FILE FAILURE AT RECORD = ";
inline constexpr const char* kPcaWorkFileName = "CORRELATION WORK FILE";
inline constexpr const char* kPcaInsufficientMemory =
    "  Insufficient Memory: Principal Components for Table ";
inline constexpr const char* kPcaCalculatingComponents =
    "  Calculating Principal Components for Table ";

// Reports of the principal components.
inline constexpr const char* kPcaFactorPlot = ") FACTOR PLOT";
inline constexpr const char* kPcaPlotTitle = "PRINCIPAL COMPONENTS (";
inline constexpr const char* kPcaAxisTitle = "FACTOR 2 LOADING";
inline constexpr const char* kPcaNoContrast = " *** NO REPORTABLE CONTRAST FOUND ***";
inline constexpr const char* kPcaContrastRule = " +---------------------------------+";

 
// Class codes, DIF and DPF estimation, subtotals, measure comparison.
inline constexpr const char* kProcessingKeyword = "Processing: ";
inline constexpr const char* kDifWord = "DIF";
inline constexpr const char* kDpfWord = "DPF";
inline constexpr const char* kDifComputing = " Computing ";
inline constexpr const char* kDifOneBarPerIteration = " sizes: one bar per iteration...";
inline constexpr const char* kDifLargestChange = " Largest change = ";
inline constexpr const char* kDifUnits = " units";
inline constexpr const char* kDifNotConverged = " sizes not converged after ";
inline constexpr const char* kDifPassesStop = " passes: the estimation stops here";
inline constexpr const char* kNoRoomFor = " NO ROOM FOR ";
inline constexpr const char* kNoRoomForEstimates = " ESTIMATES: ";
inline constexpr const char* kIsubtotalName = "ISUBTOTAL";
inline constexpr const char* kPsubtotalName = "PSUBTOTAL";
inline constexpr const char* kNoRoomForSubtotals = " NO ROOM FOR SUBTOTALS: ";
inline constexpr const char* kNoFreeComparisonName = " No free name for the comparison file after ";
inline constexpr const char* kTries = " tries";
inline constexpr const char* kNoComparisonsPossible = "NO COMPARISONS POSSIBLE";
inline constexpr const char* kEntriesWithoutReadableValue = "ENTRIES LEFT OUT FOR WANT OF A READABLE VALUE: ";
// " INVALID <keyword> FILE: <name>": a class file of subtotals, DIF or DPF that cannot be read.
inline constexpr const char* kInvalidClassFile = " INVALID ";
inline constexpr const char* kInvalidClassFileName = " FILE: ";
// " TABLE <t> NOT PRINTED. <keyword> FILE HOLDS NO SELECTION: <name>": a class file without one.
inline constexpr const char* kTableNotPrinted = " TABLE ";
inline constexpr const char* kNotPrinted = " NOT PRINTED. ";
inline constexpr const char* kClassFileHoldsNone = " FILE HOLDS NO SELECTION: ";

}  // namespace korvelan::msg
