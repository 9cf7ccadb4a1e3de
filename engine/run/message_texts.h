// Every fixed text the engine shows or writes, in one place.
#pragma once

namespace korvelan::msg {

// Run start.
inline constexpr const char* kVersion = " Version";
inline constexpr const char* kCurrentDirectory = " Current Directory: ";
inline constexpr const char* kNameOfControlFile = " Name of control file: ";
inline constexpr const char* kNameOfReportFile = " Name of report output file: ";
inline constexpr const char* kTempDirectory = " Temporary Workfile Directory: ";
inline constexpr const char* kControlPrompt1 = " Control file name? (e.g., KCT.DAT). ";
inline constexpr const char* kControlPrompt2 = "Press Enter for Dialog Box: ";
inline constexpr const char* kReportPrompt1 = " Report output file name (or ";
inline constexpr const char* kReportPrompt2 = "press Enter for temporary file): ";
inline constexpr const char* kExtraSpecifications = " Extra specifications (or press Enter): ";
inline constexpr const char* kBatchNeedsNames = "BATCH MODE REQUIRES CONTROL AND OUTFILES. CONTROL: ";
inline constexpr const char* kBatchNeedsNamesOutput = "  OUTPUT: ";
inline constexpr const char* kUnknownCommand = " Unknown Command on DOS prompt line: ";
inline constexpr const char* kReportSameAsControl =
    "PROBLEM: REPORT FILE HAS SAME NAME AS CONTROL FILE";
inline constexpr const char* kNoTempDirectory = "PROBLEM: NO USABLE TEMPORARY WORK FILE DIRECTORY: ";
inline constexpr const char* kControlFileDialogTitle = "Control File";
inline constexpr const char* kReportFileDialogTitle = "Report Output File";
inline constexpr const char* kNameNeededNoInput = " No answer can be typed: the run cannot go on without ";
inline constexpr const char* kMenuEditControlFile = "Edit Control File=";
inline constexpr const char* kMenuExitRestart = "Exit, &then Restart ";
inline constexpr const char* kMenuRestart = "&Restart ";

// Report banner.
inline constexpr const char* kBannerAnalysisLine = "-  RASCH ANALYSIS FOR ALL TWO-FACET MODELS  -";
inline constexpr const char* kBannerMeasurementLine1 = "PERSON MEASUREMENT, ITEM & STEP CALIBRATION, ";
inline constexpr const char* kBannerMeasurementLine2 = "PERSON & ITEM FIT ANALYSIS";
inline constexpr const char* kBannerVersion = "VERSION";
inline constexpr const char* kBannerTitle = "        TITLE= ";
inline constexpr const char* kBannerControlFile = " CONTROL FILE: ";
inline constexpr const char* kBannerOutputFile = "  OUTPUT FILE: ";
inline constexpr const char* kBannerDate = "         DATE: ";

// Report writing and run end.
inline constexpr const char* kFailedToWrite = " FAILED TO WRITE:";
inline constexpr const char* kRunFailed = "Oops! Use \"Edit\" menu to make corrections, then restart";
inline constexpr const char* kRunSucceeded =
    "Measures constructed: use \"Diagnosis\" and \"Output Tables\" menus";
inline constexpr const char* kFileErrorFallback = "Error (see Appendix 3): ";
inline constexpr const char* kUnexpectedError = " UNEXPECTED PROBLEM: ";

// Table headings and the report at the end of the run.
inline constexpr const char* kContinuedFromPreviousSheet =
    "^**CONTINUED FROM PREVIOUS SHEET**   PAGE ";
inline constexpr const char* kOutputWrittenTo = " Output written to ";
inline constexpr const char* kProblemOpeningTableFile = "PROBLEM OPENING TABLE FILE: ";
inline constexpr const char* kProblemReadingTableFile = " PROBLEM READING TABLE FILE: ";
inline constexpr const char* kFileFailure = " FILE FAILURE: ";
inline constexpr const char* kFileFailureForFile = " FOR FILE ";
inline constexpr const char* kFileFailureErrorCode = ", ERROR CODE:";

// ---- Estimation: iteration report, fit statistics, summary of measures --------------------
inline constexpr const char* kConvergenceTable = "CONVERGENCE TABLE";
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
inline constexpr const char* kCategoryWord = "CATEGORY";
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
