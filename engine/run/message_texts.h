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
inline constexpr const char* kWorkFileNotUsable =
    "Work file not useable. Please specify a different TEMP directory.";
inline constexpr const char* kWorkFileAdvice =
    " Use \"Edit\" pull-down menu. Click on \"Edit initial settings\".  Type different directory "
    "name in \"Temporary directory for work files.";
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
inline constexpr const char* kOutputFilesNotWritten = " OUTPUT FILES NOT WRITTEN IN FULL:";
inline constexpr const char* kMemoryExhausted =
    " NOT ENOUGH MEMORY: the analysis cannot go on. Free memory, or analyse fewer persons or items.";

// Table headings and the report at the end of the run.
inline constexpr const char* kContinuedFromPreviousSheet =
    "^**CONTINUED FROM PREVIOUS SHEET**   PAGE ";
inline constexpr const char* kOutputWrittenTo = " Output written to ";
inline constexpr const char* kProblemOpeningTableFile = "PROBLEM OPENING TABLE FILE: ";
inline constexpr const char* kProblemReadingTableFile = " PROBLEM READING TABLE FILE: ";
inline constexpr const char* kFileFailure = " FILE FAILURE: ";
inline constexpr const char* kFileFailureForFile = " FOR FILE ";
inline constexpr const char* kFileFailureErrorCode = ", ERROR CODE:";
inline constexpr const char* kProcessingTable = "  Processing Table ";
inline constexpr const char* kMenuEditTable = "Edit Table ";
inline constexpr const char* kMenuEditTfile = "Edit TFILE=";
inline constexpr const char* kNoFreeTableFileName = "PROBLEM: NO FREE TABLE FILE NAME FOR TABLE ";
inline constexpr const char* kOutputOverInput =
    "PROBLEM: OUTPUT FILE HAS SAME NAME AS AN INPUT OR REPORT FILE: ";
inline constexpr const char* kStoppedBySignal =
    "\n RUN STOPPED BY A SIGNAL: ITS WORK FILES ARE DELETED; THE REPORT AND OUTPUT FILES ARE AS THEY WERE BEFORE IT\n";
inline constexpr const char* kOutputFileNotWrittenStopped =
    "PROBLEM: FIT STATISTICS NOT FINISHED (FINISH ITERATING), FILE NOT WRITTEN: ";
inline constexpr const char* kOutputOverOutput =
    "PROBLEM: OUTPUT FILE HAS SAME NAME AS AN OUTPUT FILE WRITTEN BEFORE IT: ";
inline constexpr const char* kReportCopyFailed =
    "PROBLEM: THE REPORT SO FAR COULD NOT BE SAVED; THE TABLES FOLLOW IT IN ";

// Sorting of the entry lists of the Tables.
inline constexpr const char* kSortingByInfitForTable = "  Sorting by Infit for Table ";
inline constexpr const char* kSortingByFitForTable = "  Sorting by Fit for Table ";
inline constexpr const char* kSorting = "  Sorting ";
inline constexpr const char* kSortingForTable = " for Table ";
inline constexpr const char* kLabelSortUsingDiskWorkFile =
    " bytes of memory not available, using disk work file ...";

// Reading of the control instructions.
inline constexpr const char* kReadingControlVariables = " Reading Control Variables ..";
inline constexpr const char* kContinuationProblem =
    " CONTINUATION PROBLEM: TRAILING + THEN LEADING + NOT FOUND: ";
inline constexpr const char* kVariableValueExpected = "Is a ; missing? Variable=Value expected here: ";
inline constexpr const char* kNumericValueExpected = " NUMERIC VALUE EXPECTED: ";
inline constexpr const char* kNumericValueInRange = " NUMERIC VALUE IN RANGE -32000 TO 32000 EXPECTED: ";
inline constexpr const char* kFileNameTooLong = " FILE NAME TOO LONG: ";
inline constexpr const char* kFileNameHas = " has ";
inline constexpr const char* kFileNameCharacters = " characters. At most ";
inline constexpr const char* kFileNameCanBeUsed = " can be used.";
inline constexpr const char* kUnrecognizedVariable = " UNRECOGNIZED VARIABLE (CHECK SPELLING): ";
inline constexpr const char* kNoClosingListLine = " NO LINE WITH * FOUND MATCHING ";
inline constexpr const char* kSpfileFailed = "SPFILE= FAILED: ";
inline constexpr const char* kSpfileTooDeep = " SPFILE= FILES NESTED MORE THAN 10 DEEP";
inline constexpr const char* kSpfileIncludesItself = " SPFILE= FILE INCLUDES ITSELF: ";
inline constexpr const char* kFixedAfterRun =
    " THIS VARIABLE CAN ONLY BE SET IN THE CONTROL FILE: ";
inline constexpr const char* kSelectionFoundNothing = " WARNING: ";
inline constexpr const char* kSelectionFoundNothingTail =
    " FINDS NO VALUE IN ANY LABEL. NOTHING IS ANCHORED OR WEIGHTED BY IT.";
inline constexpr const char* kFileIsFolder = "This is a folder, not a file";
// The line after the file-error line of a write that failed: " Writing <path> failed: <why>".
inline constexpr const char* kWriteOf = " Writing ";
inline constexpr const char* kWriteFailed = " failed: ";
inline constexpr const char* kNoSpaceOnDiskOf = "no space left on the disk of ";
inline constexpr const char* kLineRunsOn = " LINE TOO LONG: line ";
inline constexpr const char* kLineRunsOnOf = " of ";
inline constexpr const char* kLineRunsOnTail = " runs on for more than 1 MB without a line end";
inline constexpr const char* kControlReadFailed = " PROBLEM READING CONTROL INSTRUCTIONS FROM: ";
inline constexpr const char* kMenuEditSpfile = "Edit Supplemental Control SPFILE=";
inline constexpr const char* kWorkFileTail = "kv.txt";

// Checks of the control values.
inline constexpr const char* kMenuEditCfile = "Edit Category CFILE=";
inline constexpr const char* kMenuEditClfile = "Edit Code Label CLFILE=";
inline constexpr const char* kProblemWithCfile = "PROBLEM WITH CFILE=";
inline constexpr const char* kProblemWithClfile = "PROBLEM WITH CLFILE=";
inline constexpr const char* kUnusualMissing =
    "Warning:  Unusual score assigned to missing data. MISSING= ";
inline constexpr const char* kCodesLongerPrefix = " CODES= HAS LENGTH OF ";
inline constexpr const char* kCodesLongerThanMaximum = " WHICH IS LONGER THAN MAXIMUM OF ";
inline constexpr const char* kCodesQuoted = " CODES= \"";
inline constexpr const char* kCodesHasLengthOf = "\" HAS LENGTH OF";
inline constexpr const char* kCodesDisagreeCategs = ". THIS DOES NOT AGREE WITH (OPTIONAL) CATEGS=";
inline constexpr const char* kAndXwide = " AND XWIDE=";
inline constexpr const char* kCodesDisagreeXwide = ". THIS DOES NOT AGREE WITH XWIDE=";
inline constexpr const char* kCodesTooShort = " CODES='";
inline constexpr const char* kCodesTooShortXwide = "' IS TOO SHORT.  XWIDE=";
inline constexpr const char* kCodesTooShortMissing = " AND MISSNG=";
inline constexpr const char* kCodeWarning = " WARNING! \"";
inline constexpr const char* kCodeSpecifiedTwice = "\" SPECIFIED TWICE IN CODES=";
inline constexpr const char* kNoControlInstructions = " NO CONTROL INSTRUCTIONS IN THE CONTROL FILE: ";
inline constexpr const char* kProblemWithItem1 = " PROBLEM WITH ITEM1= ";
inline constexpr const char* kProblemWithName1 = " PROBLEM WITH NAME1= ";
inline constexpr const char* kProblemWithNi = " PROBLEM WITH NI= ";
inline constexpr const char* kMustBeBetween = ". IT MUST BE BETWEEN 1 AND ";
inline constexpr const char* kRecordOverflow = " ITEMS OVERFLOW MAXIMUM RECORD LENGTH:";
inline constexpr const char* kMaximumRecordLength = "  MAXIMUM RECORD LENGTH (MAXREC) IS ";
inline constexpr const char* kCommaItem1 = ", ITEM1=";
inline constexpr const char* kCommaNi = ", NI=";
inline constexpr const char* kCommaXwide = ", XWIDE=";
inline constexpr const char* kEndsAt = ", ENDS AT ";
inline constexpr const char* kFormatProblem = " PROBLEM WITH \"FORMAT=\": ";
inline constexpr const char* kFormatMustBegin = "MUST BEGIN WITH (";
inline constexpr const char* kFormatMustEnd = "MUST END WITH )";
inline constexpr const char* kFormatTooMany = "TOO MANY ";
inline constexpr const char* kFormatNotEnough = "NOT ENOUGH ";
inline constexpr const char* kFormatNoAFields = "NO A, A1, A2";
inline constexpr const char* kFormatTooManyAFields = "TOO MANY A, A1, A2";
inline constexpr const char* kFormatEcho = " FORMAT=";
inline constexpr const char* kUnknownOsort = "unknown OSORT = ";
inline constexpr const char* kXwideField = " XWIDE=";
inline constexpr const char* kMoreThanOneNonBlank = " WITH MORE THAN ONE NON-BLANK PER FIELD";
inline constexpr const char* kInQuoted = " IN \"";
inline constexpr const char* kAtItem = "=\" AT ITEM ";
inline constexpr const char* kWithValue = " WITH VALUE: ";
inline constexpr const char* kValidItemForms =
    " Valid are \"one character per XWIDE=\" or \"one character per item\"";
inline constexpr const char* kGroupsNote =
    " NOTE: FOR GROUPS NUMBERED 10, 11 AND ABOVE, SPECIFY GROUPS= A  B ETC.";
inline constexpr const char* kOneCharacterPerItemTooLong =
    " has one \"one character per item\" format, but is ";
inline constexpr const char* kCharactersTooLong = " characters too long";

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

// ---- Edit files (deletions, anchors, weights, pivots, step files); trimming and subsets ------

// Console dialogues that cannot be answered (batch mode, end of input).
inline constexpr const char* kNoAnswerTakenAsNo = " No answer can be typed: NO is taken for: ";
inline constexpr const char* kNoAnswerEndsList = " No answer can be typed: the list ends at: ";

// Edit files in common.
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

// Work-file failures of the data input (item-label columns, MFORMS=).
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


// ---- Data transformations (MFORMS=, EDFILE=, MAKEKEY=) and the run-time change of one
// ---- instruction ----------------------------------------------------------------------------

// MFORMS= reformatting.
inline constexpr const char* kMenuEditMforms = "Edit MFORMS=";
inline constexpr const char* kMenuEditDataFile = "Edit Data File=";
inline constexpr const char* kMformsFailed = "MFORMS= FAILED";
inline constexpr const char* kMformsFileProblem = "MFORMS= FILE PROBLEM";
inline constexpr const char* kMformsWorkFileProblem = "MFORMS= WORK FILE PROBLEM";
inline constexpr const char* kMformsMissingEquals = "MFORMS= MISSING \"=\" SIGN: ";
inline constexpr const char* kMformsValueMissing = "MFORMS= VALUE AFTER \"=\" MISSING: ";
inline constexpr const char* kMformsMissingLineCount = "MFORMS= MISSING LINE COUNT: ";
inline constexpr const char* kMformsMissingValue = "MFORMS= MISSING VALUE: ";
inline constexpr const char* kMformsLessMore = "MFORMS= LESS-MORE VALUE PROBLEM: ";
inline constexpr const char* kMformsEqualsValue = "MFORMS= \"=\" VALUE: ";
inline constexpr const char* kMformsDataMissing = "MFORMS= \"DATA=\" MISSING";
inline constexpr const char* kMformsNoMemory = " bytes of memory not available, MFORMS= not processed.";
inline constexpr const char* kMformsOpening = "Opening: ";
inline constexpr const char* kMformsRecordsProcessed = "Records processed: ";

// EDFILE= data edits.
inline constexpr const char* kEdfileProcessing = " Processing EDFILE= data edit from: ";
inline constexpr const char* kMenuEditEdfile = "Edit data EDFILE =";
inline constexpr const char* kEdfileInvalidLine = "Invalid line in EDFILE= of: ";

// MAKEKEY= answer key.
inline constexpr const char* kMakekeyNoMemory = " bytes of memory not available, MAKEKEY= not performed.";
inline constexpr const char* kMakekeyNoMemoryReport = " NOT ENOUGH MEMORY FOR MAKEKEY=";
inline constexpr const char* kMakekeyConstructed =
    "MAKEKEY=  constructed.  See Table 0.3 in Report Output File.";
inline constexpr const char* kMakekeyKeyFollows = "MAKEKEY=Y constructed key follows:";

// Run-time change of one instruction.
inline constexpr const char* kReturnToPreviousSelection = " RETURN TO A PREVIOUS SELECTION ...";
inline constexpr const char* kPselectEcho = "PSELECT= ";
inline constexpr const char* kIselectEcho = "ISELECT= ";
inline constexpr const char* kSelectedCount = " SELECTED: ";
inline constexpr const char* kItlenEcho = "ITLEN=";
inline constexpr const char* kItemWorkFile = "ITEM WORK FILE";
inline constexpr const char* kPersonResponseFile = "PERSON RESPONSE FILE";

// Item label work file built from ILFILE=.
inline constexpr const char* kMenuEditLabelsSuffix = " Labels ILFILE=";
inline constexpr const char* kItemLabelOpenFailure = " ITEM LABEL FILE OPEN FAILURE";
inline constexpr const char* kItemLabelReadFailureLine = " ITEM LABEL FILE READ FAILURE";
inline constexpr const char* kItemLabelReopenFailure = " ITEM LABEL FILE REOPEN FAILURE";
inline constexpr const char* kItemWorkFileSetUp = "UNABLE TO SET UP ITEM WORK FILE.";
inline constexpr const char* kItemLabelWriteFailure = " ITEM LABEL WORK FILE WRITE FAILURE";
inline constexpr const char* kNoItemLabels = " NO ITEM LABELS.  NI= ";
inline constexpr const char* kWrongNumberOfItemLabels = " WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =";
inline constexpr const char* kButNi = ", but NI=";

// ---- Estimation: iteration report, fit statistics, summary of measures --------------------
inline constexpr const char* kConvergenceTable = "CONVERGENCE TABLE";
inline constexpr const char* kIterationLimitNotConverged =
    " WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
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

// ---- Analysis driver, data input and scoring: allocation, groups and models, data records,
// ---- item labels, per-item strings ------------------------------------------------------------

// Memory shortage.
inline constexpr const char* kBytesNotAvailable = " bytes of memory not available.";
inline constexpr const char* kNotEnoughMemoryFor = " NOT ENOUGH MEMORY FOR";
inline constexpr const char* kIostat = " IOSTAT=";
inline constexpr const char* kBytesNotAvailableIncomplete =
    " bytes of memory not available. Complete analysis not done.";
inline constexpr const char* kStringBlocksName = "KEY/RESCOR/GROUPS/MODELS/IVALUE";
inline constexpr const char* kScaleGroupsName = "SCALE GROUPS";
inline constexpr const char* kPersonStatusArrayName = "PERSON STATUS ARRAY";
inline constexpr const char* kCategoriesName = "CATEGORIES";
inline constexpr const char* kWeightsName = "WEIGHTS";
inline constexpr const char* kOnlyFirst = " ONLY FIRST";
inline constexpr const char* kOnlyFirstOf = " OF";
inline constexpr const char* kProcessedDueToMemoryLimits = " PROCESSED DUE TO MEMORY LIMITS";
inline constexpr const char* kPersonStatusHoldFile = "PERSON STATUS HOLD FILE";

// Rating-scale groups and model codes.
inline constexpr const char* kInvalidModelOf = " INVALID MODEL OF ";
inline constexpr const char* kInvalidModelIn = " IN ";
inline constexpr const char* kTwoModelTypes = " TWO MODEL TYPES DEFINED IN SAME GROUP: ";
inline constexpr const char* kAtItemNumber = " AT ITEM ";
inline constexpr const char* kAndModel = " AND ";
inline constexpr const char* kMenuEditReportFile = "Edit Report Output File=";

// Data records.
inline constexpr const char* kNoneScoredOneOrAbove = "NONE OF YOUR RESPONSES ARE SCORED 1 OR ABOVE.";
inline constexpr const char* kCheckScoringVariables =
    "CHECK VARIABLES: CODES=, RESCOR=, NEWSCR=, KEY1=, IVALUE?=";
inline constexpr const char* kPutEndLabels = "Please put \"END LABELS\" after \"&END\".";
inline constexpr const char* kInputInProcess = " Input in process ..";
inline constexpr const char* kInputRecord = "Input Data Record:";
inline constexpr const char* kInputRecordBeforeFormat = "Input Data Record before FORMAT=:";
inline constexpr const char* kInputRecordAfterFormat = "Input Data Record after FORMAT=:";
inline constexpr const char* kPersonsSkippedAfter = "PERSONS SKIPPED AFTER ";
inline constexpr const char* kNonAsciiPerson = " NON-ASCII DATA CODE FOR PERSON: ";
inline constexpr const char* kNonAsciiItem = ", ITEM: ";
inline constexpr const char* kNonAsciiDecimal = ", DECIMAL= ";
inline constexpr const char* kNonAsciiCharacter = ", CHARACTER= ";
inline constexpr const char* kRecordsInput = " Records Input.";
inline constexpr const char* kUnableToOpenDataFile = " UNABLE TO OPEN DATA= FILE: ";
inline constexpr const char* kErrorInDataAtPerson = " ERROR IN DATA AT PERSON: ";
inline constexpr const char* kCheckDataAndRunAgain = ".  CHECK DATA AND RUN AGAIN.";
inline constexpr const char* kFailureToReadRecord = " FAILURE TO READ CORRECTLY A ";
inline constexpr const char* kRecordEnd = " RECORD.";
inline constexpr const char* kCheckControlSequence = " CHECK FOR CORRECT SEQUENCE IN CONTROL FILE:";
inline constexpr const char* kSeeAppendix2 = "   SEE APPENDIX 2 IN USER'S GUIDE";

// Item labels.
inline constexpr const char* kItemLabelsCount = "Oops!  Item labels = ";
inline constexpr const char* kErrorReadingItemLabels =
    "ERROR READING \"&END\", THEN ITEM LABELS, THEN \"END LABELS\"";

// Per-item strings.
inline constexpr const char* kReadingKeys = " Reading KEYnn=, GROUPS= etc..";
inline constexpr const char* kRewindFailure = " FILE FAILURE ON REWIND FOR ";
inline constexpr const char* kKeyPrefix = " KEY";
inline constexpr const char* kKeyProcessedInDataFormat = " processed in data format";
inline constexpr const char* kProcessingGroups = " Processing GROUPS= from ";
inline constexpr const char* kProcessingModels = " Processing MODELS= from ";
inline constexpr const char* kProcessingIrefer = " Processing IREFER= from ";
inline constexpr const char* kProcessingRescore = " Processing RESCORE= from ";
inline constexpr const char* kValueProblemGroups = "Value problem in Group=*: ";
inline constexpr const char* kValueProblemModels = "Value problem in MODEL=*: ";
inline constexpr const char* kValueProblemIrefer = "Value problem in IREFER=*: ";
inline constexpr const char* kValueProblemRescore = "Value problem in RESCORE=*: ";

// ---- Writers of the data-derived output files and the distractor Table ---------------------

// Person score file (SCFILE=).
inline constexpr const char* kCalculatingScoreMeasures = " Calculating measures for scores...";
inline constexpr const char* kComputingScoreFrequencies = " Computing frequencies";
inline constexpr const char* kMenuEditScfile = "Edit Person Score SCFILE=";
inline constexpr const char* kScoreSortSequenceError =
    "SORT SEQUENCE ERROR: PLEASE SEND FILE TO THE KORVELAN DEVELOPERS";

// Simulated data file (SIFILE=).
inline constexpr const char* kSimulatingData = " Simulating a data matrix";
inline constexpr const char* kNoDataFound = " No Data Found";
inline constexpr const char* kOperationSimulating = "Simulating";
inline constexpr const char* kMenuEditSifile = "Edit Simulated data file=";

// Unfolded data file.
inline constexpr const char* kUnfoldingData = " Unfolding 0-1 data into 0-1-2";
inline constexpr const char* kFindingGuttmanLimits = "Finding Guttman Limits";
inline constexpr const char* kApplyingGuttmanLimits = "Applying Guttman Limits";
inline constexpr const char* kWritingUnfoldedFile = "Writing Unfolded File";
inline constexpr const char* kOperationUnfolding = "Unfolding";
inline constexpr const char* kMenuEditUnfoldedFile = "Edit Unfolded file=";

// Guttmanized data file (GUFILE=).
inline constexpr const char* kGuttmanOnlyZeroOne =
    " Data must be only scored 0 & 1 to be Guttmanized.";
inline constexpr const char* kGuttmanizingData =
    " Guttmanizing 1-0-1-0 data into 1-1-0-0 with G0ZONE=";
inline constexpr const char* kGuttmanSameDifficulty =
    "All items have same difficulty: Guttmanizing impossible";
inline constexpr const char* kGuttmanNoItems = "No items are measured: Guttmanizing impossible";
inline constexpr const char* kOperationGuttmanizing = "Guttmanizing";
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

}  // namespace korvelan::msg
