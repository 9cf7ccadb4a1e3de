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

// ---- Data input pieces: selections, FORMAT=, person and item work files ----------------------

// Column selections ("$S..W..", "$S..E..").
inline constexpr const char* kSelectionUnknownDollar = "UNKNOWN $";
inline constexpr const char* kSelectionIn = " in: ";
inline constexpr const char* kSelectionStartNotNumeric = "$S.. NOT NUMERIC in: ";
inline constexpr const char* kSelectionEOrWOnly = "$S..E or $S..W only in: ";
inline constexpr const char* kSelectionEndNotValid = "$S..E.. NOT VALID in: ";
inline constexpr const char* kSelectionWidthNotValid = "$S..W.. NOT VALID in: ";
inline constexpr const char* kSelectionUnexpectedEnding = "Unexpected ending to: ";
inline constexpr const char* kSelectionNoColumns = "No $S..W. or $S..E.. : ";

// FORMAT= check.
inline constexpr const char* kFormatProblem = " PROBLEM WITH \"FORMAT=\": ";
inline constexpr const char* kFormatValue = " FORMAT=";
inline constexpr const char* kFormatMustBegin = "MUST BEGIN WITH (";
inline constexpr const char* kFormatMustEnd = "MUST END WITH )";
inline constexpr const char* kFormatTooManyOpen = "TOO MANY \"(\"";
inline constexpr const char* kFormatTooManyClose = "TOO MANY \")\"";
inline constexpr const char* kFormatNotEnoughClose = "NOT ENOUGH \")\"";
inline constexpr const char* kFormatNoAFields = "NO A, A1, A2";
inline constexpr const char* kFormatTooManyAFields = "TOO MANY A, A1, A2";

// Person and item work files.
inline constexpr const char* kUnableToOpenWorkFile = "UNABLE TO OPEN WORK FILE.";
inline constexpr const char* kScoresWorkFileName = "PERSON SCORE RECORD: ZMM";
inline constexpr const char* kCodesWorkFileName = "PERSON CODE RECORD: ZNN";
inline constexpr const char* kNamesWorkFileName = "PERSON NAME RECORD: ZPP";
inline constexpr const char* kPersonWorkFileName = "PERSON WORK RECORD: ZQQ";
inline constexpr const char* kNameWriteFailure = " PERSON NAME FILE WRITE FAILURE AT PERSON RECORD =";
inline constexpr const char* kCodesWriteFailure = " PERSON CODES FILE WRITE FAILURE AT PERSON RECORD =";
inline constexpr const char* kScoredWriteFailure = " PERSON SCORED FILE WRITE FAILURE AT PERSON RECORD =";
inline constexpr const char* kWorkWriteFailure = " PERSON WORK FILE WRITE FAILURE AT PERSON RECORD =";
inline constexpr const char* kNameReadFailure = " PERSON NAME FILE READ FAILURE AT PERSON RECORD =";
inline constexpr const char* kCodesReadFailure = " PERSON CODES FILE READ FAILURE AT PERSON RECORD =";
inline constexpr const char* kScoresReadFailure = " PERSON SCORES FILE READ FAILURE AT PERSON RECORD =";
inline constexpr const char* kWorkReadFailure = " PERSON WORK FILE READ FAILURE AT PERSON RECORD =";
inline constexpr const char* kNameFile = "PERSON NAME FILE";
inline constexpr const char* kCodesFile = "PERSON CODES FILE";
inline constexpr const char* kScoredFile = "PERSON SCORED FILE";
inline constexpr const char* kScoresFile = "PERSON SCORES FILE";
inline constexpr const char* kWorkFile = "PERSON WORK FILE";
inline constexpr const char* kItemLabelReadFailure = " ITEM WORK FILE READ FAILURE AT ITEM RECORD =";

// ---- Edit files (deletions, anchors, weights, pivots, step files); trimming and subsets ------

// Console dialogues that cannot be answered (batch mode, end of input).
inline constexpr const char* kNoAnswerTakenAsNo = " No answer can be typed: NO is taken for: ";
inline constexpr const char* kNoAnswerEndsList = " No answer can be typed: the list ends at: ";

// Edit files in common.
inline constexpr const char* kWorkFileSuffix = "kv.txt";
inline constexpr const char* kProcessing = " Processing ";
inline constexpr const char* kMenuEdit = "Edit ";

// Deletions.
inline constexpr const char* kDeletionsFrom = " Deletions from: ";
inline constexpr const char* kKeyboard = "Keyboard";
inline constexpr const char* kMenuDeleteIdfile = " Delete IDFILE=";
inline constexpr const char* kMenuDeletePdfile = " Delete PDFILE=";
inline constexpr const char* kDeleteWord = "DELETE";
inline constexpr const char* kAskReadDeletions = " DO YOU WANT TO READ ";
inline constexpr const char* kAskTypeDeletions = " DO YOU WANT TO TYPE IN ";
inline constexpr const char* kTo = " TO ";
inline constexpr const char* kFromAFile = " FROM A FILE? ";
inline constexpr const char* kQuestionEnd = "? ";
inline constexpr const char* kAskFileNameOfThe = "WHAT IS THE NAME OF THE ";
inline constexpr const char* kFileQuestion = " FILE? ";
inline constexpr const char* kInputPrompt = "INPUT ";
inline constexpr const char* kZeroToEnd = " (0 TO END): ";
inline constexpr const char* kProgressSome = "SOME";
inline constexpr const char* kProgressMore = "MORE";
inline constexpr const char* kDeletionsReport = " DELETIONS:";
inline constexpr const char* kDeletedItemListing = " IDFILE=*";

// Anchors, weights and pivots.
inline constexpr const char* kAnchorsFrom = " Anchors from: ";
inline constexpr const char* kWeightsFrom = " Weights from: ";
inline constexpr const char* kMenuAnchorIafile = " Anchor IAFILE=";
inline constexpr const char* kMenuAnchorPafile = " Anchor PAFILE=";
inline constexpr const char* kMenuAnchorIweight = " Anchor IWEIGHT=";
inline constexpr const char* kMenuAnchorPweight = " Anchor PWEIGHT=";
inline constexpr const char* kAskAnchorAny = " DO YOU WANT TO ANCHOR ANY ";
inline constexpr const char* kAskReadAnchorsThe = " DO YOU WANT TO READ THE ";
inline constexpr const char* kToAnchorFromAFile = " TO ANCHOR FROM A FILE? ";
inline constexpr const char* kAnchorFileQuestion = " ANCHOR FILE? ";
inline constexpr const char* kToAnchorZeroToEnd = " TO ANCHOR (0 TO END): ";
inline constexpr const char* kInputValueToAnchor = "INPUT VALUE AT WHICH TO ANCHOR ";
inline constexpr const char* kValueColon = ": ";
inline constexpr const char* kIweightValueProblem = "Value problem in IWEIGHT=: ";
inline constexpr const char* kPweightValueProblem = "Value problem in PWEIGHT=: ";
inline constexpr const char* kNegativeWeightRefused = "   NEGATIVE WEIGHT: LINE NOT USED";
inline constexpr const char* kPivotsFrom = " Processing Pivots from: ";
inline constexpr const char* kMenuPivotFile = "Edit pivot file PIVOT =";
inline constexpr const char* kInvalidPivotLine = "Invalid line in PIVOT= of: ";

// Item weights and anchors from item-label columns.
inline constexpr const char* kProblemWithWorkFile = "PROBLEM WITH WORK FILE.";

// Step deletions and step anchors.
inline constexpr const char* kMenuStepDelete = "Edit Step Delete SDFILE=";
inline constexpr const char* kMenuStepAnchor = "Edit Step Anchor SAFILE=";
inline constexpr const char* kStepAnchorsFrom = " Processing Step Anchors from: ";
inline constexpr const char* kAskDeleteCategories = " DO YOU WANT TO DELETE ANY CATEGORIES ";
inline constexpr const char* kAskReadDeletedCategories =
    " DO YOU WANT TO READ THE DELETED CATEGORIES FROM A FILE? ";
inline constexpr const char* kAskStepFileName = "WHAT IS THE NAME OF THE FILE? ";
inline constexpr const char* kInputGroupItem = "INPUT AN ITEM, REPRESENTING A GROUP (0 TO END): ";
inline constexpr const char* kInputCategoryToDelete = "INPUT CATEGORY TO DELETE (-1 TO END): ";
inline constexpr const char* kAskAnchorSteps = " DO YOU WANT TO ANCHOR ANY STEPS? ";
inline constexpr const char* kAskReadAnchoredSteps =
    " DO YOU WANT TO READ THE ANCHORED STEPS FROM A FILE? ";
inline constexpr const char* kInputStepToAnchor = "INPUT STEP TO ANCHOR (-1 TO END): ";
inline constexpr const char* kInputStepValue = "INPUT XALUE AT WHICH TO ANCHOR STEP: ";
inline constexpr const char* kLargerThanMaximum = " IS LARGER THAN MAXIMUM SPECIFIED ";
inline constexpr const char* kCategoryWord = "CATEGORY";
inline constexpr const char* kItemNumberWord = "ITEM";
inline constexpr const char* kNumberColon = " NUMBER: ";
inline constexpr const char* kSafileValueProblem = "Value problem in SAFILE=: ";

// Trimming of out-of-range observations.
inline constexpr const char* kDroppingObservations =
    "DROPPING OUT OF RANGE OBSERVATIONS.  CUTLOW=";
inline constexpr const char* kCutHigh = "  CUTHIGH=";
inline constexpr const char* kNoOutOfRange = "THERE WERE NO OUT OF RANGE OBSERVATIONS";
inline constexpr const char* kObservationsDropped = " OBSERVATIONS DROPPED";

// Connectivity (subsets).
inline constexpr const char* kAmbiguouslyConnected = " WARNING: DATA AMBIGUOUSLY CONNECTED. THERE ARE ";
inline constexpr const char* kSubsetsEnd = " SUBSETS.";
inline constexpr const char* kSubsetsListedAbove = " SUBSETS LISTED ABOVE.";
inline constexpr const char* kSubsetMembers = " These are members of different subsets:";
inline constexpr const char* kSubsetWord = " SUBSET ";
inline constexpr const char* kSubsetSeparator = ":  ";
inline constexpr const char* kSubsetCheckNotDone =
    " WARNING: CONNECTIVITY (SUBSET) CHECK NOT DONE: ";
inline constexpr const char* kNotEnoughMemory = "NOT ENOUGH MEMORY";
inline constexpr const char* kArraysTooShort = "ARRAYS SHORTER THAN NP= OR NI=";

}  // namespace korvelan::msg
