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

// ---- Output files and the graphs work file ---------------------------------------------------

// Window messages while a file is written.
inline constexpr const char* kWritingPrefix = "Writing ";
inline constexpr const char* kWritingMeasureFile = " Measure file ...";
inline constexpr const char* kWritingStepFile = "Writing Step Measure file ...";
inline constexpr const char* kWritingItemStepFile = "Writing Item-Step file ...";
inline constexpr const char* kWritingCurveFile = "Writing graph plotting file ...";

// Edit-menu labels of the files written.
inline constexpr const char* kEditPrefix = "Edit ";
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
inline constexpr const char* kStepCategoryName = "CATEGORY";
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
inline constexpr const char* kGroupLabelNumber = " NUMBER: ";
inline constexpr const char* kGroupLabelUnknown = "** unknown **";

}  // namespace korvelan::msg
