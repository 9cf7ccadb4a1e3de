// Texts of the output files, the graphs work file and the Tables written from the data.
// Part of the one message table: include engine/run/message_texts.h.
#pragma once

namespace korvelan::msg {

// ---- Output files and the graphs work file ---------------------------------------------------

// Window messages while a file is written.
inline constexpr const char* kWritingPrefix = "Writing ";
inline constexpr const char* kWritingMeasureFile = " Measure file ...";
inline constexpr const char* kWritingStepFile = "Writing Step Measure file ...";
inline constexpr const char* kWritingItemStepFile = "Writing Item-Step file ...";
inline constexpr const char* kWritingCurveFile = "Writing graph plotting file ...";

// Edit-menu labels of the files written.
inline constexpr const char* kEditPfileSuffix = " PFILE=";
inline constexpr const char* kEditIfileSuffix = " IFILE=";
inline constexpr const char* kEditSfile = "Edit Step SFILE=";
inline constexpr const char* kEditIsfile = "Edit Item-Step ISFILE=";
inline constexpr const char* kEditGrfile = "Edit GRFILE=";

// Save-dialog titles of the Output Files menu.
inline constexpr const char* kTitlePfile = "Person Measure File: PFILE=";
inline constexpr const char* kTitleIfile = "Item Measure File: IFILE=";
inline constexpr const char* kTitleSfile = "Step Measure File: SFILE=";
inline constexpr const char* kTitleIsfile = "Item-Step Measure File: ISFILE=";
inline constexpr const char* kTitleGrfile = "Probability Curve Graph File: GRFILE=";
inline constexpr const char* kTitleRfile = "Scored Response File: RFILE=";
inline constexpr const char* kTitleXfile = "Observation & Expectation File: XFILE=";
inline constexpr const char* kTitleScfile = "Person Score File: SCFILE=";
inline constexpr const char* kTitleDisfile = "Distractor Count File: DISFILE=";
inline constexpr const char* kTitleIcorfile = "Item Correlation File: ICORFILE=";
inline constexpr const char* kTitlePcorfile = "Person Correlation File: PCORFILE=";
inline constexpr const char* kTitleGufile = "Guttmanized file: GUFILE=";
inline constexpr const char* kTitleSifile = "Simulated data file: SIFILE=";

// Heading lines of the measure files.
inline constexpr const char* kMeasureFileFor = " FILE FOR";
inline constexpr const char* kMeasureColumnsStart = ";ENTRY MEASURE STTS COUNT    SCORE  ERROR IN.MSQ IN.";
inline constexpr const char* kMeasureColumnsOutfit = " OUT.MS OUT.";
inline constexpr const char* kMeasureColumnsDispl = " DISPL ";
inline constexpr const char* kMeasureColumnsWeight = " WEIGHT ";
inline constexpr const char* kMeasureColumnsItemNames = "G M NAME";
inline constexpr const char* kMeasureColumnsPersonNames = "NAME";
inline constexpr const char* kPointBiserialWord = "PTBS";
inline constexpr const char* kCorrelationWord = "CORR";

// Heading lines of the step files and the probability-curve file.
inline constexpr const char* kStepFileFixedFor = "; STEP DIFFICULTY anchor FILE FOR ";
inline constexpr const char* kStepFileCsvFor = ";STEP DIFFICULTY anchor FILE FOR ";
inline constexpr const char* kStepColumnsOneGroup = "; CATEGORY  STEP DIFFICULTY";
inline constexpr const char* kStepColumnsGroups = " CATEGORY  STEP anchor DIFFICULTY";
inline constexpr const char* kStepDifficultyName = "STEP DIFFICULTY";
inline constexpr const char* kStepAnchorDifficultyName = "STEP anchor DIFFICULTY";
inline constexpr const char* kNullStep = "NULL";
inline constexpr const char* kItemStepFileFor = " STEP FILE (do not use for anchoring) FOR";
inline constexpr const char* kItemStepColumnsStart = "; ENTRY  ST  MAX  LOW   AT.25";
inline constexpr const char* kItemStepColumnsBlock = "  CAT STEP MEASURE   ERROR  AT-0.5  ATSTEP  THRESH";
inline constexpr const char* kCurveFileFor = "PROBABILITY CURVES FOR ";

// Labels of the rating-scale groups in the graphs work file.
inline constexpr const char* kGroupLabelStart = "FOR GROUP: ";
inline constexpr const char* kGroupLabelModel = ",  MODEL: ";
inline constexpr const char* kGroupLabelUnknown = "** unknown **";

// ---- Writers of the data-derived output files and the distractor Table ---------------------

// Person score file (SCFILE=).
inline constexpr const char* kCalculatingScoreMeasures = " Calculating measures for scores...";
inline constexpr const char* kComputingScoreFrequencies = " Computing frequencies";
inline constexpr const char* kMenuEditScfile = "Edit Person Score SCFILE=";
inline constexpr const char* kScoreSortSequenceError =
    "SORT SEQUENCE ERROR: PLEASE SEND FILE TO THE KORVELAN DEVELOPERS";
inline constexpr const char* kScoreTableOutOfOrder =
    "PROBLEM: SCORE TABLE OUT OF ORDER, FILE NOT WRITTEN: SCFILE=";

// Simulated data file (SIFILE=).
inline constexpr const char* kSimulatingData = " Simulating a data matrix";
inline constexpr const char* kNoDataFound = " No Data Found";
inline constexpr const char* kMenuEditSifile = "Edit Simulated data file=";

// Unfolded data file.
inline constexpr const char* kUnfoldingData = " Unfolding 0-1 data into 0-1-2";
inline constexpr const char* kFindingGuttmanLimits = "Finding Guttman Limits";
inline constexpr const char* kApplyingGuttmanLimits = "Applying Guttman Limits";
inline constexpr const char* kWritingUnfoldedFile = "Writing Unfolded File";
inline constexpr const char* kMenuEditUnfoldedFile = "Edit Unfolded file=";

// Guttmanized data file (GUFILE=).
inline constexpr const char* kGuttmanOnlyZeroOne =
    " Data must be only scored 0 & 1 to be Guttmanized.";
inline constexpr const char* kGuttmanizingData =
    " Guttmanizing 1-0-1-0 data into 1-1-0-0 with G0ZONE=";
inline constexpr const char* kGuttmanSameDifficulty =
    "All items have same difficulty: Guttmanizing impossible";
inline constexpr const char* kGuttmanNoItems = "No items are measured: Guttmanizing impossible";
inline constexpr const char* kMenuEditGufile = "Edit Guttmanized file=";

// Observation file (XFILE=).
inline constexpr const char* kWritingXfile = " Writing XFILE= of observations ...";
inline constexpr const char* kMenuEditXfile = "Edit Residuals XFILE=";
inline constexpr const char* kResidualFileFor = "RESIDUAL FILE FOR";

// Scored response file (RFILE=).
inline constexpr const char* kWritingRfile = " Writing Response File";
inline constexpr const char* kMenuEditRfile = "Edit Response RFILE=";
inline constexpr const char* kResponseDeletedLabel = " (DELETED)";
inline constexpr const char* kResponseOmittedLabel = " (OMITTED)";

// Category/option/distractor file (DISFILE=).
inline constexpr const char* kBuildingDisfile = " Building Category/Option/Distractor File";
inline constexpr const char* kMenuEditDisfile = "Edit Category/Option/Distractor DISFILE=";
inline constexpr const char* kMissingCodeLabel = "MISSING";
inline constexpr const char* kNoMemoryForFile =
    " bytes of memory not available, File not produced.";

// Tables not produced for want of memory, and the category/option/distractor Table.
inline constexpr const char* kNoMemoryForComparison =
    " bytes of memory not available.  Table not produced.";
inline constexpr const char* kNoMemoryForTable =
    " bytes of memory not available, Table not produced.";
inline constexpr const char* kNotEnoughMemoryForTable = " NOT ENOUGH MEMORY FOR TABLE";
inline constexpr const char* kBuildingDistractorTable =
    "  Building Category/Option/Distractor Table ";

 
// Window lines of the Tables written from the data.
inline constexpr const char* kComputingAverageMeasures = "  Computing Average Measures ";
inline constexpr const char* kCountingEmpiricalFrequencies = "  Counting Empirical Frequencies. Table ";
inline constexpr const char* kWritingFrequencyPlots = "  Writing Frequency Plots. Table ";
inline constexpr const char* kProcessingMisfitting = "  Processing Misfitting ";
inline constexpr const char* kWritingOutOfZoneResponses = "  Writing Out-of-Zone Responses in Table ";
inline constexpr const char* kWritingSortedResponses = "  Writing Sorted Responses in Table ";
inline constexpr const char* kCalculatingItem = "  Calculating Item ";
inline constexpr const char* kScoresForTable = " Scores for Table ";
inline constexpr const char* kCalculatingFrequencies = "  Calculating Frequencies for Table ";
inline constexpr const char* kCalculatingScores = "  Calculating Scores for Table ";
inline constexpr const char* kSortSequenceError =
    "SORT SEQUENCE ERROR: PLEASE SEND THIS FILE TO THE KORVELAN DEVELOPERS";
inline constexpr const char* kScoreTableOutOfOrderInReport =
    "PROBLEM: SCORE TABLE OUT OF ORDER, TABLE 20.2 NOT WRITTEN IN FULL IN: ";
inline constexpr const char* kThresholdPlacingProblem = "NAMMAP: JJK PROBLEM";
inline constexpr const char* kExtremePlacingProblem = "NAMMAP: JJK2 PROBLEM";
inline constexpr const char* kTableNotProduced = " Table not produced.";
inline constexpr const char* kTableWord = " TABLE";

// Correlation files (ICORFILE=, PCORFILE=) and the Guttmanized file.
inline constexpr const char* kCorrelationFileDots = " correlation file ...";
inline constexpr const char* kMenuEditPcorfile = " Correlation PCORFILE=";
inline constexpr const char* kMenuEditIcorfile = " Correlation ICORFILE=";
inline constexpr const char* kGuttmanizingAnd = "% and G1ZONE=";

}  // namespace korvelan::msg
