// Texts of the run itself: run start, report banner and end, Table headings, sorting,
// control instructions and their checks.
// Part of the one message table: include engine/run/message_texts.h.
#pragma once

#include "engine/run/text_lines.h"

namespace korvelan::msg {

// Run start.
inline constexpr const char* kAllFilesFilter = "All Files (*.*)";  // the file prompts' filter
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
inline constexpr const char* kReportSameAsInput = "PROBLEM: REPORT FILE HAS SAME NAME AS AN INPUT FILE: ";
inline constexpr const char* kWorkFileNotUsable =
    "Work file not useable. Please specify a different TEMP directory.";
inline constexpr const char* kWorkFileAdvice =
    " Use \"Edit\" pull-down menu. Click on \"Edit initial settings\".  Type different directory "
    "name in \"Temporary directory for work files.";
inline constexpr const char* kDataInputInterrupted =
    " DATA INPUT STOPPED BY THE USER (Ctrl+C): THE RUN ENDS; THE EARLIER REPORT IS KEPT";
inline constexpr const char* kWorkFileAdviceBatch =
    " Set TMPDIR to a folder where work files can be made, or remove what stopped runs left in it.";
inline constexpr const char* kWorkFileFolderWas = " Work files could not be made in: ";
inline constexpr const char* kNoFreeRunId = " NO FREE RUN ID: work files (???000kv.txt to ???999kv.txt) in ";
inline constexpr const char* kNoFreeRunIdTail =
    " take all 1000 run ids. Files of a run whose ZIN file is missing are kept: the run may live.";
inline constexpr const char* kLeftoversRemoved = " Removed the files left by runs that were ended at once: ";
inline constexpr const char* kLeftoverWorkFiles = " work files in ";
inline constexpr const char* kLeftoverAsideFiles = " unfinished output files in ";
inline constexpr const char* kLeftoverAnd = " and ";
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
// The endings that are not a success name the files the run finished (replaced): the lead, then
// kFinishedFiles, the files and kFinishedFilesOthers, or kNoFileFinished.
inline constexpr const char* kStoppedBySignal = "\n RUN STOPPED BY A SIGNAL: ITS WORK FILES ARE DELETED; ";
inline constexpr const char* kRunFailedFiles = " RUN FAILED: ";
inline constexpr const char* kFinishedFiles = "IT FINISHED THESE FILES: ";
inline constexpr const char* kFinishedFilesOthers = "; EVERY OTHER REPORT AND OUTPUT FILE IS AS IT WAS BEFORE IT";
inline constexpr const char* kNoFileFinished = "THE REPORT AND OUTPUT FILES ARE AS THEY WERE BEFORE IT";
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
inline constexpr const char* kForTable = " for Table ";
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
inline constexpr const char* kFileNameBytes = " bytes. At most ";
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
// The line after the file-error line of a write that failed: " Writing <path> failed: <why>"
// (" Reading <path> ..." for a read).
inline constexpr const char* kWriteOf = " Writing ";
inline constexpr const char* kReadOf = " Reading ";
inline constexpr const char* kWriteFailed = " failed: ";
inline constexpr const char* kNoSpaceOnDiskOf = "no space left on the disk of ";
// The place of a line a message is about: " in <keyword><path> line <n>".
inline constexpr const char* kPlaceIn = " in ";
inline constexpr const char* kAtLine = " line ";
inline constexpr const char* kSpfileWord = "SPFILE=";
inline constexpr const char* kLineRunsOn = " LINE TOO LONG: line ";
inline constexpr const char* kLineRunsOnOf = " of ";
inline constexpr const char* kLineRunsOnTail = " runs on for more than 1 MB without a line end";
inline constexpr const char* kLineHasNul = " NUL BYTES IN TEXT: line ";
inline constexpr const char* kLineHasNulTail =
    " holds NUL bytes. Save the file as UTF-8, or as UTF-16 with its byte-order mark (\"Unicode\").";
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
inline constexpr const char* kCodeCharactersFull =
    " MORE THAN 64 DIFFERENT CHARACTERS OF SEVERAL BYTES IN THE CODES OF CODES=, KEYn=, NEWSCR="
    " AND IVALUEx=: ";
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

 
// Words of messages of the run start and the model codes.
inline constexpr const char* kAControlFileName = "a control file name";
inline constexpr const char* kModelsName = "MODELS";
inline constexpr const char* kPlotTable = " TABLE ";
inline constexpr const char* kPlotNotFormatted = " COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS";


// The file-error line: "PROBLEM: <text> (<code>): for file: <name> in mode <letter>".
inline constexpr const char* kFileProblem = "PROBLEM: ";
inline constexpr const char* kForFile = ": for file";
inline constexpr const char* kInMode = " in mode ";

// Texts of the file-error line by status (and mode letter, where given).
struct FileErrorText {
    int code;
    char mode;  // 'I' only for input-file rows, 0 for any mode
    const char* text;
};

// Ordered: the first row whose code (and mode, where given) matches gives the text.
inline constexpr FileErrorText kFileErrorMessages[] = {
    // The program's own texts for the commonest cases.
    {-2, 0, "Use File Menu to add BLANK LINE at end of"},
    {2, 'I', "Input File Not Found. Please specify full path."},
    {6416, 'I', "Input File Not Found. Please specify full path."},
    {2, 0, "Unusable Output File Name"},
    {6416, 0, "Unusable Output File Name"},
    {3, 0, "Drive or Directory Not Found"},
    {6422, 0, "Not Enough Disk Space"},
    {0, 0, "Processing has stopped"},
    {::korvelan::kLineRunsOn, 0, "Line too long: no line end within 1 MB"},
    {::korvelan::kLineHasNul, 0, "NUL bytes in a text file: save it as UTF-8"},
    // Short texts for the platform codes.
    {1, 0, "Invalid function"},
    {4, 0, "Too many open files"},
    {5, 0, "Access denied"},
    {6, 0, "Invalid internal file identifier"},
    {7, 0, "Storage control blocks destroyed"},
    {8, 0, "Insufficient memory"},
    {9, 0, "Invalid block address"},
    {10, 0, "Environment incorrect"},
    {11, 0, "Incorrect program format"},
    {12, 0, "Invalid access code"},
    {13, 0, "Invalid data"},
    {14, 0, "Insufficient memory"},
    {15, 0, "Invalid drive"},
    {16, 0, "Current directory cannot be removed"},
    {17, 0, "File cannot be moved to a different disk drive"},
    {18, 0, "No more files"},
    {19, 0, "Media is write protected"},
    {20, 0, "Specified drive cannot be found"},
    {21, 0, "The drive is not ready"},
    {22, 0, "The device does recognize the command"},
    {23, 0, "Data error"},
    {24, 0, "Command length is incorrect"},
    {25, 0, "Drive seek error"},
    {26, 0, "The specified disk cannot be accessed"},
    {27, 0, "The specified sector cannot be found"},
    {28, 0, "The printer is out of paper"},
    {29, 0, "Cannot write to specified device"},
    {30, 0, "Cannot read from specified device"},
    {31, 0, "Device is not responding"},
    {32, 0, "The file is already open by another process"},
    {33, 0, "Another process has locked the file"},
    {34, 0, "The wrong disk is the drive"},
    {36, 0, "Too many files open for sharing"},
    {38, 0, "Reached end of file"},
    {39, 0, "The disk is full"},
    // The file layer's own codes.
    {10000, 0, "File not open for read"},
    {10001, 0, "File not open for write"},
    {10002, 0, "File not found"},
    {10003, 0, "Record length negative or 0"},
    {10013, 0, "Attempt to read past end of file"},
    {10014, 0, "Bad file specification"},
    {10016, 0, "Illegal character in numeric input"},
    {10018, 0, "Maximum record number exceeded"},
    {10023, 0, "Illegal direct access record number"},
    {10030, 0, "Specifications in re-open do not match previous open"},
    {10032, 0, "Cannot open an existing file with STATUS=NEW"},
    {10038, 0, "Attempt to read past end of record"},
    {10060, 0, "Attempt to write a record longer than specified record length"},
    {10070, 0, "Runtime memory allocation fails"},
    // A second block of the program's own texts.
    {-1, 0, "   Unexpected end of file"},
    {6405, 0, " Unexpected end of file"},
    {6501, 0, " Unexpected end of file"},
    {6100, 0, "Integer control variable outside the range -32,676 to 32,676"},
    {6101, 0, "An integer is expected, but something else has been found"},
    {6103, 0, "A number is expected, but something else has been found"},
    {6209, 0, "You assigned two files with the same name"},
    {6311, 0, "You are trying to process more than 32,676 persons"},
    {6413, 0, "You have specified two different files with the same name"},
    {6414, 0, "You tried to access a protected file or a directory index"},
    {6417, 0, "Increase your FILES= statement in your CONFIG.SYS file"},
    {6421, 0, "You tried to write to a read-only or file already in use."},
    {6700, 0, "Your analysis requires more RAM memory"},
    {6205, 0, "(FORMAT=) \"A\" edit descriptor problem"},
    {6502, 0, "(FORMAT=) Repeat field not a positive integer"},
    {6503, 0, "(FORMAT=) Multiple repeat field, e.g. 2*3 instead of 6"},
    {6504, 0, "(FORMAT=) Invalid number, e.g. 7D mistyped for 70"},
    {6980, 0, "(FORMAT=) Integer expected, e.g. T2Z mistyped for T22"},
    {6981, 0, "(FORMAT=) FORMAT= must start with ("},
    {6982, 0, "(FORMAT=) Positive integer required, e.g. 0X is not allowed"},
    {6983, 0, "(FORMAT=) Invalid repeat count"},
    {6984, 0, "(FORMAT=) An integer must precede X"},
    {6985, 0, "(FORMAT=) B must be followed by N or Z"},
    {6986, 0, "(FORMAT=) Parentheses () can go no more than 16 levels deep"},
    {6987, 0, "(FORMAT=) F,D,E,G fields must contain ."},
    {6988, 0, "(FORMAT=) Not enough ) in format"},
    {6989, 0, "(FORMAT=) Unknown or missing character"},
    {6990, 0, "(FORMAT=) Too many leading zeroes specified in I format"},
    {6991, 0, "(FORMAT=) Numerical value greater than 32766"},
    {6099, 0, "Computer capacity exceeded"},
    {6104, 0, "Computer capacity exceeded"},
    // Platform system messages for the codes the file layer produces.
    {80, 0, "The file exists."},
    {82, 0, "The directory or file cannot be created."},
};

}  // namespace korvelan::msg
