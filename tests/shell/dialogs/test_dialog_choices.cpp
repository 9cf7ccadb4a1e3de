// What the dialogs' OK does, without windows: the settings file rewrite, the grouping
// instruction, the typed Table request, the weights' status rule and the XFILE= fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/dialogs/settings_choice.h"
#include "shell/dialogs/instruction_choice.h"
#include "shell/dialogs/subtable_request.h"
#include "shell/dialogs/weight_choice.h"
#include "shell/dialogs/xfile_choice.h"
#include "shell/services/file_filters.h"
#include "shell/services/settings_file.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan {
namespace {

using testing::crlf_lines;
using testing::read_file;

struct CountingHost : testing::TestHost {
    int submitted = 0;
    void submit_pending_input() override { ++submitted; }
};

struct SettingsRewrite : ::testing::Test {
    testing::ScratchDir dir;
    std::string path = dir.file("korvelan.ini");
    CountingHost console;
    InitialSettings running;
    void SetUp() override {
        running.editor = "/usr/bin/gedit";
        running.spreadsheet = "";
        running.temp_directory = "/tmp/korvelan/";
        running.filter = "Text Files (*.txt)";
        running.report_prompt = 'Y';
        running.welcome = 'Y';
    }
};

TEST_F(SettingsRewrite, BlankSpreadsheetWritesFiveLinesInOrderAndTheNewTempWaitsForARestart) {
    SettingsChoice c = settings_shown(running);
    c.temp_directory = "/srv/scratch/";
    c.report_prompt = false;
    ASSERT_EQ(apply_settings_choice(running, c, path, console), 0);
    EXPECT_EQ(crlf_lines(read_file(path)),
              (std::vector<std::string>{"Editor=\"/usr/bin/gedit\"", "Filter=Text Files (*.txt)",
                                        "Temporary directory=\"/srv/scratch/\"", "Reportprompt=No",
                                        "Welcome=Yes"}));
    EXPECT_TRUE(read_file(path).ends_with("Welcome=Yes\r\n"));
    EXPECT_EQ(running.temp_directory, "/tmp/korvelan/");
    EXPECT_EQ(running.report_prompt, 'N');
    EXPECT_EQ(filter_pair(running.filter), (FilterPair{"Text Files (*.txt)", "*.txt"}));
    EXPECT_EQ(console.submitted, 1);

    // The file read back gives what was chosen, the new temporary directory included.
    InitialSettings reread;
    ASSERT_TRUE(read_settings_file(path, reread));
    EXPECT_EQ(reread.temp_directory, "/srv/scratch/");
    EXPECT_EQ(reread.report_prompt, 'N');
}

TEST_F(SettingsRewrite, EmptyBoxesKeepTheSettingsAndNoNulByteIsEverWritten) {
    SettingsChoice c;  // every box empty
    c.spreadsheet = "/opt/calc";
    c.welcome = false;
    ASSERT_EQ(apply_settings_choice(running, c, path, console), 0);
    // A filter typed with the pair's NUL separators keeps only its description.
    c = settings_shown(running);
    c.filter = std::string("Data Files (*.dat)\0*.dat\0", 25);
    ASSERT_EQ(apply_settings_choice(running, c, path, console), 0);
    const std::string bytes = read_file(path);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_EQ(crlf_lines(bytes),
              (std::vector<std::string>{"Editor=\"/usr/bin/gedit\"", "Excel=\"/opt/calc\"",
                                        "Filter=Data Files (*.dat)", "Temporary directory=\"/tmp/korvelan/\"",
                                        "Reportprompt=Yes", "Welcome=No"}));
    EXPECT_EQ(running.spreadsheet, "/opt/calc");
    EXPECT_EQ(filter_pair(running.filter).pattern, "*.dat");
}

TEST_F(SettingsRewrite, FilterWithoutPatternIsWrittenAsTypedAndRunsAsAllFiles) {
    SettingsChoice c = settings_shown(running);
    c.filter = "Text Files";
    c.editor = std::string(400, 'e');
    ASSERT_EQ(apply_settings_choice(running, c, path, console), 0);
    EXPECT_EQ(crlf_lines(read_file(path))[1], "Filter=Text Files");
    EXPECT_EQ(filter_pair(running.filter), (FilterPair{"All Files (*.*)", "*.*"}));
    EXPECT_EQ(running.editor.size(), 300u);
    // A file that cannot be written is reported by its status.
    EXPECT_NE(apply_settings_choice(running, c, path + "/below-a-file.ini", console), 0);
}

// A folder name longer than its 260-byte field is cut before the character that does not fit
// whole: the file and the next start read a valid UTF-8 name.
TEST_F(SettingsRewrite, LongNamesAreCutBetweenCharacters) {
    SettingsChoice c = settings_shown(running);
    c.temp_directory = "/" + std::string(258, 'a') + "\u00e9t\u00e9/";  // "é" on bytes 260-261
    ASSERT_EQ(apply_settings_choice(running, c, path, console), 0);
    InitialSettings reread;
    ASSERT_TRUE(read_settings_file(path, reread));
    EXPECT_EQ(reread.temp_directory, "/" + std::string(258, 'a'));
    for (const std::string& line : crlf_lines(read_file(path))) EXPECT_TRUE(testing::utf8_text(line));
    // A filter read from the file is cut alike.
    apply_settings_line(reread, "Filter=" + std::string(79, 'f') + "\u00e9 (*.x)");
    EXPECT_EQ(reread.filter, std::string(79, 'f'));
}

TEST_F(SettingsRewrite, DontAskAgainAppendsWelcomeOffOnce) {
    ASSERT_EQ(write_settings_file(path, running), 0);
    finish_welcome(false, path, running);
    EXPECT_EQ(running.welcome, 'Y');
    finish_welcome(true, path, running);
    EXPECT_EQ(running.welcome, 'N');
    InitialSettings reread;
    ASSERT_TRUE(read_settings_file(path, reread));
    EXPECT_EQ(reread.welcome, 'N');
    EXPECT_EQ(crlf_lines(read_file(path)).at(5), "Welcome=No");
}

TEST(Grouping, LabelsShownSettingAndInstructionFollowTheTable) {
    ControlVariables cv;
    EXPECT_EQ(specification_shown(cv, 27), "$S1W1");
    EXPECT_EQ(specification_instruction(27, "$S1W1"), "ISUBTOTAL=$S1W1");
    cv.psubtotal = "$S3W2   ";
    EXPECT_EQ(specification_shown(cv, 28), "$S3W2");
    EXPECT_EQ(specification_instruction(28, "PSUBTOTAL=$S3W2"), "PSUBTOTAL=$S3W2");
    EXPECT_EQ(specification_instruction(30, "$S2W1"), "DIF=$S2W1");
    EXPECT_EQ(specification_instruction(31, "$S1W1"), "DPF=$S1W1");
    EXPECT_EQ(specification_instruction(31, ""), "");
    // The control-instruction dialog (Table 0) passes the text as typed and shows nothing.
    EXPECT_EQ(specification_instruction(0, "$S1W1"), "$S1W1");
    EXPECT_EQ(specification_shown(cv, 0), "");
    EXPECT_FALSE(grouping_labels(29));
}

TEST(SubtableRequest, TextIsCutAtCommentQuoteAndNulAndOnlyTablesUpTo40AreServed) {
    TableRequest r;
    ASSERT_TRUE(parse_subtable_request("10.2 ; comment", r));
    EXPECT_EQ(r.table, 10);
    EXPECT_EQ(r.selectors[0], 2.0f);
    EXPECT_NE(r.letters[0], ' ');
    ASSERT_TRUE(parse_subtable_request("40", r));
    EXPECT_EQ(r.letters[0], ' ');
    EXPECT_FALSE(parse_subtable_request("45", r));
    EXPECT_EQ(r.table, 0);
    EXPECT_FALSE(parse_subtable_request("0.3", r));
    EXPECT_FALSE(parse_subtable_request("; 10.2", r));
    EXPECT_FALSE(parse_subtable_request("", r));
    EXPECT_EQ(trim(subtable_request_line("10.2 ; comment")), "10.2");
    EXPECT_EQ(trim(subtable_request_line("3.1\"x")), "3.1");
    EXPECT_EQ(trim(subtable_request_line(std::string("7\0 8", 4))), "7");
    EXPECT_EQ(subtable_request_line(std::string(90, '1')).size(), 80u);
}

// Items 1..6 with weights 0, 1, 0, 2, 1, 0.5 and statuses 1, 2, 0, 1, -3, 1.
struct Weights : ::testing::Test {
    std::vector<std::int8_t> status{9, 1, 2, 0, 1, -3, 1};
    std::vector<float> weights{1, 0, 1, 0, 2, 1, 0.5f};
    std::int32_t choice = weight_choice::kAll;
    bool in_effect = true;
    WeightedSide side() { return {status, weights, choice, in_effect}; }
};

TEST_F(Weights, SwitchingFromExcludeZeroToOnlyZeroRaisesZeroWeightsAndLowersTheOthers) {
    apply_weight_choice(side(), weight_choice::kExcludeZero);
    EXPECT_EQ(status, (std::vector<std::int8_t>{9, -9, 2, -10, 1, -3, 1}));
    EXPECT_TRUE(in_effect);
    apply_weight_choice(side(), weight_choice::kOnlyZero);
    EXPECT_EQ(status, (std::vector<std::int8_t>{9, 1, -8, 0, -9, -13, -9}));
    EXPECT_FALSE(in_effect);
    EXPECT_EQ(choice, weight_choice::kOnlyZero);
    // Reweighting undoes the exclusion and takes the weights out of the reports.
    apply_weight_choice(side(), weight_choice::kReweightOne);
    EXPECT_EQ(status, (std::vector<std::int8_t>{9, 1, 2, 0, 1, -3, 1}));
    EXPECT_FALSE(in_effect);
    apply_weight_choice(side(), weight_choice::kAll);
    EXPECT_TRUE(in_effect);
    EXPECT_EQ(status, (std::vector<std::int8_t>{9, 1, 2, 0, 1, -3, 1}));
}

TEST_F(Weights, AnUnchangedChoiceChangesNothingAndASideWithoutWeightsIsAlwaysAll) {
    apply_weight_choice(side(), weight_choice::kExcludeZero);
    const std::vector<std::int8_t> excluded = status;
    in_effect = false;  // whatever stands is left alone
    apply_weight_choice(side(), weight_choice::kExcludeZero);
    EXPECT_EQ(status, excluded);
    EXPECT_FALSE(in_effect);
    EXPECT_EQ(weight_choice_of(false, 3), weight_choice::kAll);
    EXPECT_EQ(weight_choice_of(true, 3), weight_choice::kOnlyZero);
    EXPECT_EQ(weight_choice_of(true, 0), weight_choice::kReweightOne);
    EXPECT_EQ(weight_choice_of(true, 4), weight_choice::kReweightOne);
}

TEST(XFileFields, DigitsFieldsAndLimits) {
    EXPECT_EQ(parse_digits("1 2"), 12);
    EXPECT_EQ(parse_digits("12a"), 0);
    EXPECT_EQ(parse_digits(std::string("34\0" "5", 4)), 34);
    EXPECT_EQ(parse_digits(""), 0);
    EXPECT_EQ(parse_digits("999999999999999"), 999999999999999);  // 15 digits do not overflow
    EXPECT_EQ(parse_digits("1234567890123456789"), 123456789012345);

    XFileChoice c = xfile_choice(xfile_boxes_shown(), "12", " 3 ", 9, 5);
    EXPECT_TRUE(c.closes);
    EXPECT_EQ(c.flags, "xxxxxxxxxxx   x");  // the person limit above NP is dropped
    EXPECT_EQ(c.person_limit, 0);
    EXPECT_EQ(c.person_text, "0");
    EXPECT_EQ(c.item_limit, 3);
    EXPECT_EQ(c.item_text, "3");

    XFileBoxes only_options{};
    only_options[11] = only_options[12] = true;
    c = xfile_choice(only_options, "9", "", 9, 5);
    EXPECT_FALSE(c.closes);
    EXPECT_EQ(c.flags, "           xxx ");
    EXPECT_EQ(c.person_limit, 9);
}

}  // namespace
}  // namespace korvelan
