// Texts of the estimation: iteration report, fit statistics, summary of measures.
// Part of the one message table: include engine/run/message_texts.h.
#pragma once

namespace korvelan::msg {

// ---- Estimation: iteration report, fit statistics, summary of measures --------------------
inline constexpr const char* kConvergenceTable = "CONVERGENCE TABLE";
inline constexpr const char* kIterationLimitNotConverged =
    " WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
inline constexpr const char* kIterationsStoppedNotConverged =
    " WARNING: ITERATIONS STOPPED BY THE USER BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
// A step anchor left out: " WARNING: STEP ANCHOR FOR CATEGORY 3 OF ITEM 1: NO RESPONSE OF ITS
// GROUP USES IT".
inline constexpr const char* kUnusedStepAnchor = " WARNING: STEP ANCHOR FOR CATEGORY ";
inline constexpr const char* kUnusedStepAnchorItem = " OF ITEM ";
inline constexpr const char* kUnusedStepAnchorReason = ": NO RESPONSE OF ITS GROUP USES IT";
// ... or, for a success chain keeping an unused category below the anchored one: " WARNING: STEP
// ANCHOR FOR CATEGORY 3 OF ITEM 1: NO RESPONSE OF ITS GROUP USES THE CATEGORY BELOW IT".
inline constexpr const char* kUnusedStepAnchorBelowReason =
    ": NO RESPONSE OF ITS GROUP USES THE CATEGORY BELOW IT";
inline constexpr const char* kNoNonExtremeEntries = "No Non-Extreme Persons or Items, see RFILE=";
inline constexpr const char* kPointBiserialMemory =
    " bytes of memory not available. Point-biserial computation failed.";
inline constexpr const char* kCalculatingFit = "  Calculating Fit Statistics";
inline constexpr const char* kFitMemory = " bytes of memory not available. Fit computation failed.";
inline constexpr const char* kResidualFileFailure =
    " STANDARDIZED RESIDUAL WORK FILE FAILURE AT RECORD =";
inline constexpr const char* kResidualFileName = "STANDARDIZED RESIDUAL WORK FILE";
inline constexpr const char* kStandardizedResidualsMean = " Standardized Residuals N(0,1)  Mean: ";
inline constexpr const char* kStandardizedResidualsSd = " S.D.: ";
// Iteration report boxes.
inline constexpr const char* kHeadingControl = "Control:";
inline constexpr const char* kHeadingOutput = "Output:";
inline constexpr const char* kProxWord = "PROX";
inline constexpr const char* kActiveCount = "ACTIVE COUNT";
inline constexpr const char* kExtremeRange = "EXTREME 5 RANGE";
inline constexpr const char* kMaxLogitChange = "MAX LOGIT CHANGE";
inline constexpr const char* kIterationWord = " ITERATION";
inline constexpr const char* kCatsWord = "CATS";
inline constexpr const char* kMeasuresWord = "MEASURES";
inline constexpr const char* kStepsWord = "STEPS";
inline constexpr const char* kUconWord = "UCON";
inline constexpr const char* kMaxScore = "MAX SCORE";
inline constexpr const char* kMaxLogit = "MAX LOGIT";
inline constexpr const char* kLeastConverged = "LEAST CONVERGED";
inline constexpr const char* kStepWord = "STEP";
inline constexpr const char* kResidualStar = "RESIDUAL*";
inline constexpr const char* kChangeWord = "CHANGE";
inline constexpr const char* kCatWord = "CAT";
inline constexpr const char* kResidualWord = "RESIDUAL";
// Summary of measures.
inline constexpr const char* kSummaryInput = " INPUT ";
inline constexpr const char* kSummaryMeasured = " MEASURED";
inline constexpr const char* kSummaryInfit = "INFIT";
inline constexpr const char* kSummaryOutfit = "OUTFIT";
inline constexpr const char* kSummaryScore = "SCORE";
inline constexpr const char* kSummaryCount = "COUNT";
inline constexpr const char* kSummaryMeasure = "MEASURE";
inline constexpr const char* kSummaryError = "ERROR";
inline constexpr const char* kSummaryInfitMnsq = "IMNSQ";
inline constexpr const char* kSummaryOutfitMnsq = "OMNSQ";
inline constexpr const char* kSummaryMean = "MEAN";
inline constexpr const char* kSummarySd = "S.D.";
inline constexpr const char* kSummaryReal = " REAL";
inline constexpr const char* kSummaryRmse = " RMSE";
inline constexpr const char* kSummaryAdjustedSd = "ADJ.SD";
inline constexpr const char* kSummarySeparation = "SEPARATION";
inline constexpr const char* kSummaryReliability = "RELIABILITY";
inline constexpr const char* kNoteSeparation = ": REAL SEP.: ";
inline constexpr const char* kNoteReliability = "  REL.: ";
inline constexpr const char* kNoteJoin = " ... ";
inline constexpr const char* kFitLabelCubeRoot = "ZSTD";
inline constexpr const char* kFitLabelRescaled = "ZEMP";
inline constexpr const char* kFitLabelLogarithm = " LOG";

}  // namespace korvelan::msg
