// Texts of the data input: selections, FORMAT=, work files, edit files, data
// transformations, allocation, rating-scale groups, data records, item labels.
// Part of the one message table: include engine/run/message_texts.h.
#pragma once

namespace korvelan::msg {

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
// " 2 ITEMS WITHOUT A MEASURE LEFT OUT OF: if.txt": lines of a measure file whose status says the
// entry has no measure (or whose value is stars or empty) anchor or weigh nothing.
inline constexpr const char* kWithoutMeasureLeftOut = " WITHOUT A MEASURE LEFT OUT OF: ";
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
inline constexpr const char* kSmallerThanLowestScored = " IS SMALLER THAN LOWEST SCORED ";
inline constexpr const char* kStepAnchorUnscored = " WARNING: NO CODE SCORES STEP ANCHOR ";
inline constexpr const char* kSafileWord = "SAFILE=";

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
inline constexpr const char* kMformsWord = "MFORMS=";

// EDFILE= data edits.
inline constexpr const char* kEdfileProcessing = " Processing EDFILE= data edit from: ";
inline constexpr const char* kMenuEditEdfile = "Edit data EDFILE =";
inline constexpr const char* kEdfileInvalidLine = "Invalid line in EDFILE= of: ";
inline constexpr const char* kEdfileWord = "EDFILE=";

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
inline constexpr const char* kIn = " IN ";
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
inline constexpr const char* kRecordsInput = " Records Input.";
// A UTF-8 data file whose records line up their responses otherwise than by characters:
// " RECORDS ALIGNED IN BYTES: <file>".
inline constexpr const char* kRecordsAlignedInBytes = " RECORDS ALIGNED IN BYTES: ";
inline constexpr const char* kRecordsAlignedInScreenColumns = " RECORDS ALIGNED IN SCREEN COLUMNS: ";
// " RECORDS NOT ALIGNED ALIKE: record <n> (line <l>) of <file> lines up its responses in <unit>,
// the records before it in <unit>. Pad every record of the file alike."
inline constexpr const char* kRecordsNotAlignedAlike = " RECORDS NOT ALIGNED ALIKE: record ";
inline constexpr const char* kRecordsNotAlignedLine = " (line ";
inline constexpr const char* kRecordsNotAlignedOf = ") of ";
inline constexpr const char* kRecordsNotAlignedLinesUp = " lines up its responses in ";
inline constexpr const char* kRecordsNotAlignedBefore = ", the records before it in ";
inline constexpr const char* kRecordsNotAlignedPad = ". Pad every record of the file alike.";
inline constexpr const char* kColumnUnitWords[] = {"characters", "bytes", "screen columns"};
// " NO DATA RECORDS: no <person word> record was found in <source>".
inline constexpr const char* kNoDataRecords = " NO DATA RECORDS: no ";
inline constexpr const char* kNoDataRecordsIn = " record was found in ";
inline constexpr const char* kNoDataRecordsMforms = "the records made by MFORMS=";
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

}  // namespace korvelan::msg
