// The keyword chain: defaults, name matching in order, value forms and numbers, and the
// run-time instruction that may refuse a value but never stops the program.
#include <gtest/gtest.h>

#include "engine/run/keyword_table.h"
#include "tests/engine/run/control_test_run.h"

using namespace korvelan;
using korvelan::testing::ControlTestRun;

namespace {
std::string t(const std::string& s) { return std::string(trim(s)); }
}  // namespace

TEST(ControlDefaults, EveryVariableStartsAtItsDefault) {
    ControlVariables cv;
    EXPECT_EQ(cv.codes.size(), 1000u);
    EXPECT_EQ(t(cv.codes), "01");
    EXPECT_EQ(cv.codes_length, 2);
    EXPECT_EQ(cv.missing, 255);
    EXPECT_EQ(cv.ni, 0);
    EXPECT_EQ(cv.item1, 0);
    EXPECT_EQ(cv.name1, 1);
    EXPECT_EQ(cv.namlen, 0);
    EXPECT_EQ(cv.itlen, 0);
    EXPECT_EQ(cv.xwide, 1);
    EXPECT_EQ(cv.categs, 0);
    EXPECT_EQ(cv.key_count, 0);
    EXPECT_EQ(cv.ivalue_rows, 0);
    EXPECT_EQ(cv.groups_mode, 0);
    EXPECT_EQ(cv.models_mode, 0);
    EXPECT_EQ(cv.irefer_mode, 0);
    EXPECT_EQ(cv.rescore_mode, -1);
    EXPECT_EQ(cv.model_letter, 'R');
    EXPECT_EQ(t(cv.iselect), "*");
    EXPECT_EQ(t(cv.pselect), "*");
    EXPECT_EQ(t(cv.curves), "111");
    EXPECT_EQ(t(cv.item_word), "ITEM");
    EXPECT_EQ(t(cv.item_plural), "ITEMS");
    EXPECT_EQ(t(cv.person_word), "PERSON");
    EXPECT_EQ(t(cv.person_plural), "PERSONS");
    EXPECT_EQ(t(cv.table_selection), "");
    EXPECT_EQ(cv.table_selection.size(), 40u);
    EXPECT_EQ(cv.page_control_char, '^');
    EXPECT_EQ(cv.delimiter, ' ');
    EXPECT_EQ(cv.osort, ' ');
    EXPECT_EQ(cv.prcomp, 'S');
    for (char f : {cv.box_to_ascii, cv.stk_flag, cv.stept_flag, cv.anchor_user_units, cv.dist_flag,
                   cv.heading_option, cv.hlines, cv.mn_flag, cv.ou_flag, cv.umean_on_items})
        EXPECT_EQ(f, 'Y');
    for (char f : {cv.item_anchor_question, cv.item_deletion_question, cv.csv, cv.pai_flag,
                   cv.person_anchor_question, cv.person_deletion_question, cv.pt_flag, cv.step_anchor_question,
                   cv.step_deletion_question, cv.stb_flag, cv.tar_flag, cv.no_flag, cv.ch_flag, cv.groups_in_data,
                   cv.item_numbering, cv.loc_flag, cv.makekey, cv.models_in_data, cv.to_flag, cv.rea_flag,
                   cv.rescore_in_data})
        EXPECT_EQ(f, 'N');
    EXPECT_FLOAT_EQ(cv.logit_change_limit, 0.005f);
    EXPECT_FLOAT_EQ(cv.residual_limit, 0.1f);
    EXPECT_FLOAT_EQ(cv.extreme_correction, 0.3f);
    EXPECT_FLOAT_EQ(cv.high_end_offset, 0.25f);
    EXPECT_FLOAT_EQ(cv.low_end_offset, 0.25f);
    EXPECT_FLOAT_EQ(cv.fiti, 2.0f);
    EXPECT_FLOAT_EQ(cv.fitp, 2.0f);
    EXPECT_FLOAT_EQ(cv.g0zone, 50.0f);
    EXPECT_FLOAT_EQ(cv.g1zone, 50.0f);
    EXPECT_FLOAT_EQ(cv.loading_limit, 0.4f);
    EXPECT_FLOAT_EQ(cv.umean, 0.0f);
    EXPECT_FLOAT_EQ(cv.uscale, 1.0f);
    EXPECT_FLOAT_EQ(cv.anchor_scale, 1.0f);
    EXPECT_FLOAT_EQ(cv.cut_low, 0.0f);
    EXPECT_FLOAT_EQ(cv.y_range, 0.0f);
    EXPECT_EQ(cv.iso, 1);
    EXPECT_EQ(cv.pso, 1);
    EXPECT_EQ(cv.line_width, 80);
    EXPECT_EQ(cv.page_length, 0);
    EXPECT_EQ(cv.prox_limit, 10);
    EXPECT_EQ(cv.ucon_limit, 0);
    EXPECT_EQ(cv.user_decimals, 2);
    EXPECT_EQ(cv.pfile.size(), 260u);
    EXPECT_EQ(t(cv.pfile), "");
}

TEST(ControlDefaults, TitleIsTheControlFileNameAndBatchFollowsTheRun) {
    ControlTestRun r;
    r.run.rs.batch = true;
    ASSERT_TRUE(r.read("NI=1\n"));
    EXPECT_EQ(t(r.run.cv.title), r.run.rs.control_file.substr(0, 60));
    EXPECT_EQ(r.run.cv.batch_flag, 'Y');
    EXPECT_TRUE(r.host.shows(" Reading Control Variables .."));
}

TEST(ControlChain, NamesMatchOnLeadingLettersInAnyCase) {
    ControlTestRun r;
    ASSERT_TRUE(r.line("NI = 10"));
    EXPECT_EQ(r.run.cv.ni, 10);
    ASSERT_TRUE(r.line("ni=12"));
    EXPECT_EQ(r.run.cv.ni, 12);
    ASSERT_TRUE(r.line("CODES = abc"));
    EXPECT_EQ(t(r.run.cv.codes), "abc");
    EXPECT_EQ(r.run.cv.codes_length, 3);
    ASSERT_TRUE(r.line("NAMELEN=10"));
    EXPECT_EQ(r.run.cv.namlen, 10);
    ASSERT_TRUE(r.line("NAMLEN=11"));
    EXPECT_EQ(r.run.cv.namlen, 11);
}

TEST(ControlChain, FirstMatchWinsWhereNamesCollide) {
    ControlTestRun r;
    auto& cv = r.run.cv;
    ASSERT_TRUE(r.line("ITEM1=5"));
    ASSERT_TRUE(r.line("ITEMS=Task"));
    EXPECT_EQ(cv.item1, 5);
    EXPECT_EQ(t(cv.item_word), "Task");
    EXPECT_EQ(t(cv.item_plural), "TaskS");
    ASSERT_TRUE(r.line("IDFILE=$S1W2"));
    EXPECT_EQ(t(cv.idfile), "$S1W2");
    EXPECT_EQ(cv.item_deletion_question, 'N');
    ASSERT_TRUE(r.line("IDELQU=Y"));
    EXPECT_EQ(cv.item_deletion_question, 'Y');
    ASSERT_TRUE(r.line("BOGUS=Y"));
    EXPECT_EQ(cv.batch_flag, 'Y');
    EXPECT_TRUE(r.run.rs.batch);
    ASSERT_TRUE(r.line("YRANGE=-4"));
    EXPECT_FLOAT_EQ(cv.y_range, 4.0f);
    ASSERT_TRUE(r.line("CHARTFILE=5"));
    EXPECT_EQ(cv.ch_flag, '5');
    ASSERT_TRUE(r.line("KEY12=ABC"));
    EXPECT_EQ(cv.key_count, 12);
    ASSERT_TRUE(r.line("KEY=ABC"));
    EXPECT_EQ(cv.key_count, 12);
    ASSERT_TRUE(r.line("KEYSCR=23"));
    EXPECT_EQ(t(cv.key_scores), "23");
    ASSERT_TRUE(r.line("KEYFORM=2"));
    EXPECT_EQ(cv.keys_in_data, 2);
    ASSERT_TRUE(r.line("IREFER=AB"));
    EXPECT_EQ(cv.irefer_mode, 1);
    ASSERT_TRUE(r.line("IREFER=*irefer.txt"));
    EXPECT_EQ(cv.irefer_mode, 3);
    EXPECT_EQ(t(cv.irefer_list), "irefer.txt");
    ASSERT_TRUE(r.line("EXTREME=1"));
    EXPECT_FALSE(r.line("STEP=1"));
    EXPECT_TRUE(r.host.shows(" UNRECOGNIZED VARIABLE (CHECK SPELLING): STEP=1."));
}

TEST(ControlChain, SynonymsShareOneField) {
    ControlTestRun r;
    auto& cv = r.run.cv;
    ASSERT_TRUE(r.line("MSDATA=a.txt"));
    EXPECT_EQ(t(cv.data_file), "a.txt");
    ASSERT_TRUE(r.line("DATA=b.txt"));
    EXPECT_EQ(t(cv.data_file), "b.txt");
    ASSERT_TRUE(r.line("SEPARATOR=T"));
    EXPECT_EQ(cv.delimiter, 'T');
    ASSERT_TRUE(r.line("DELIMITER=,"));
    EXPECT_EQ(cv.delimiter, ',');
    ASSERT_TRUE(r.line("UMEAN=10"));
    EXPECT_FLOAT_EQ(cv.umean, 10.0f);
    EXPECT_EQ(cv.umean_on_items, 'Y');
    ASSERT_TRUE(r.line("UPMEAN=20"));
    EXPECT_FLOAT_EQ(cv.umean, 20.0f);
    EXPECT_EQ(cv.umean_on_items, 'N');
    ASSERT_TRUE(r.line("MM=0.5"));
    EXPECT_FLOAT_EQ(cv.extreme_correction, 0.5f);
    ASSERT_TRUE(r.line("EXTRSC=5"));
    EXPECT_FLOAT_EQ(cv.extreme_correction, 1.0f);
    ASSERT_TRUE(r.line("EXTRSC=-0.001"));
    EXPECT_FLOAT_EQ(cv.extreme_correction, 0.01f);
    ASSERT_TRUE(r.line("GO=20"));
    EXPECT_FLOAT_EQ(cv.g0zone, 20.0f);
    ASSERT_TRUE(r.line("STEPKEEP=N"));
    EXPECT_EQ(cv.stk_flag, 'N');
    ASSERT_TRUE(r.line("ISEQ=Y"));
    EXPECT_EQ(cv.item_numbering, 'Y');
}

TEST(ControlChain, SpecialStores) {
    ControlTestRun r;
    auto& cv = r.run.cv;
    ASSERT_TRUE(r.line("USCALE=0"));
    EXPECT_FLOAT_EQ(cv.uscale, 1.0f);
    ASSERT_TRUE(r.line("T1I=-3"));
    EXPECT_EQ(cv.t1i, 3);
    ASSERT_TRUE(r.line("HI=-0.5"));
    EXPECT_FLOAT_EQ(cv.high_end_offset, 0.5f);
    ASSERT_TRUE(r.line("MODELS=S"));
    EXPECT_EQ(cv.model_letter, 'S');
    EXPECT_EQ(cv.models_mode, 2);
    ASSERT_TRUE(r.line("MODELS=RSF"));
    EXPECT_EQ(cv.model_letter, 'R');
    EXPECT_EQ(cv.models_mode, 1);
    ASSERT_TRUE(r.line("GROUPS=0"));
    EXPECT_EQ(cv.groups_mode, 2);
    ASSERT_TRUE(r.line("GROUPS=01"));
    EXPECT_EQ(cv.groups_mode, 1);
    ASSERT_TRUE(r.line("GROUPS="));
    EXPECT_EQ(cv.groups_mode, 0);
    ASSERT_TRUE(r.line("RESCORE=2"));
    EXPECT_EQ(cv.rescore_mode, 2);
    ASSERT_TRUE(r.line("ISELECT=A?B"));
    EXPECT_EQ(t(cv.iselect), "A?B*");
    ASSERT_TRUE(r.line("ISELECT=1*2"));
    EXPECT_EQ(t(cv.iselect), "1*");
    ASSERT_TRUE(r.line("PERSON=STUDENT"));
    EXPECT_EQ(t(cv.person_plural), "STUDENTS");
    ASSERT_TRUE(r.line("IVALUEA=01"));
    ASSERT_TRUE(r.line("IVALUEB="));
    EXPECT_EQ(cv.ivalue_rows, 1);
}

TEST(ControlValues, QuotesCommasAndComments) {
    ControlTestRun r;
    auto& cv = r.run.cv;
    ASSERT_TRUE(r.line("TITLE='My Test'"));
    EXPECT_EQ(t(cv.title), "My Test");
    ASSERT_TRUE(r.line("TITLE='Bob's'"));
    EXPECT_EQ(t(cv.title), "Bob");
    ASSERT_TRUE(r.line("TITLE=\x93" "Say \"hi\"\x93 tail"));
    EXPECT_EQ(t(cv.title), "Say \"hi\"");
    ASSERT_TRUE(r.line("TITLE=\x93" "curly\x94"));
    EXPECT_EQ(t(cv.title), "curly");
    ASSERT_TRUE(r.line("TITLE=\x93" "open end'"));
    EXPECT_EQ(t(cv.title), "open end");
    ASSERT_TRUE(r.line("CODES=01,"));
    EXPECT_EQ(t(cv.codes), "01");
    ASSERT_TRUE(r.line("\tTITLE=Tabbed ; comment; more"));
    EXPECT_EQ(t(cv.title), "Tabbed");
    ASSERT_TRUE(r.line("*"));
    ASSERT_TRUE(r.line("&INST"));
    EXPECT_FALSE(r.line("  *"));
    EXPECT_TRUE(r.host.shows("Is a ; missing? Variable=Value expected here: *"));
}

TEST(ControlValues, ACommaSemicolonOrTabAloneIsTheDelimiterItself) {
    const std::pair<const char*, char> cases[] = {
        {"DELIMITER=,", ','},        {"DELIMITER = , ; comma", ','}, {"SEPARATOR=\",\"", ','},
        {"DELIMITER=;", ';'},        {"SEPARATOR=';'", ';'},          {"DELIMITER=;; semicolon", ';'},
        {"DELIMITER=\t,\t", ','},    {"DELIMITER= ; blank", ' '},     {"DELIMITER=", ' '},
        {"DELIMITER=,,", ','},        {"DELIMITER=Y,", 'Y'},          {"DELIMITER=T ; tab", 'T'},
        // Before blanks and a comment, a tab as the value; after a blank a ";" or tab is no value.
        {"DELIMITER=;   ; semicolons", ';'}, {"DELIMITER=\"\t\" ; tab", '\t'}, {"DELIMITER= \t", ' '},
        {"DELIMITER=;x", ' '}};
    for (const auto& [line, delimiter] : cases) {
        ControlTestRun r;
        r.run.cv.delimiter = 'X';
        ASSERT_TRUE(r.line(line)) << line;
        EXPECT_EQ(r.run.cv.delimiter, delimiter) << line;
    }
    // Other values keep the rules of the trailing comma and of the comment.
    ControlTestRun r;
    ASSERT_TRUE(r.line("TITLE=,"));
    EXPECT_EQ(t(r.run.cv.title), "");
    ASSERT_TRUE(r.line("TITLE=;"));
    EXPECT_EQ(t(r.run.cv.title), "");
}

TEST(ControlValues, NumbersRoundAndStayInRange) {
    ControlTestRun r;
    ASSERT_TRUE(r.line("NI=10X"));
    EXPECT_EQ(r.run.cv.ni, 10);
    ASSERT_TRUE(r.line("NI=2.5"));
    EXPECT_EQ(r.run.cv.ni, 3);
    ASSERT_TRUE(r.line("NI=-2.5"));
    EXPECT_EQ(r.run.cv.ni, -3);
    ASSERT_TRUE(r.line("NI=-32000"));
    EXPECT_EQ(r.run.cv.ni, -32000);
    ASSERT_TRUE(r.line("LC=0.0000000001234"));
    EXPECT_FLOAT_EQ(r.run.cv.logit_change_limit, 1.234e-10f);
}

TEST(ControlValues, NumericProblemsShowTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"NI='10'", " NUMERIC VALUE EXPECTED: NI='10'"},
        {"NI=X10", " NUMERIC VALUE EXPECTED: NI=X10"},
        {"NI=1-2", " NUMERIC VALUE EXPECTED: NI=1-2."},
        {"NI=", " NUMERIC VALUE EXPECTED: NI="},
        {"NI=32001", " NUMERIC VALUE IN RANGE -32000 TO 32000 EXPECTED: NI=32001."},
        {"NI=32000.4", " NUMERIC VALUE IN RANGE -32000 TO 32000 EXPECTED: NI=32000.4"},
        {"FOO=5", " UNRECOGNIZED VARIABLE (CHECK SPELLING): FOO=5."},
        {"FOO=abc", " NUMERIC VALUE EXPECTED: FOO=abc"},
        {"FOO=99999", " NUMERIC VALUE IN RANGE -32000 TO 32000 EXPECTED: FOO=99999."},
        {"EXTREME=abc", " NUMERIC VALUE EXPECTED: EXTREME=abc"},
        {"xyz", "Is a ; missing? Variable=Value expected here: xyz"},
        {"=5", "Is a ; missing? Variable=Value expected here: =5"},
    };
    for (const auto& [line, message] : cases) {
        ControlTestRun r;
        EXPECT_FALSE(r.line(line)) << line;
        EXPECT_EQ(r.host.lines.at(0), message);
        EXPECT_TRUE(r.run.rs.run_failed);
    }
}

TEST(ControlValues, NumberAtTheEndOfAFullLineIsReadWithoutWritingPastIt) {
    ControlTestRun r;
    std::string line = "NI=" + std::string(kInstructionLineWidth - 5, '0') + "12";
    ASSERT_EQ(line.size(), kInstructionLineWidth);
    ASSERT_TRUE(r.line(line));
    EXPECT_EQ(r.run.cv.ni, 12);
}

TEST(RuntimeInstruction, StoresOrRefusesButNeverStops) {
    ControlTestRun r;
    auto& cv = r.run.cv;
    cv.ni = 4;
    RuntimeInstructionResult res = parse_runtime_instruction(r.run, "TITLE=New title");
    EXPECT_TRUE(res.ok);
    EXPECT_EQ(res.name, "TITLE   ");
    EXPECT_EQ(t(cv.title), "New title");
    // Values that size arrays, per-item strings or work files are refused.
    for (const char* line : {"NI=5", "XWIDE=2", "NAMLEN=3", "ITLEN=4", "ITEM1=2", "CATEGS=3", "CODES=012",
                             "KEY3=ABCD", "KEYFORM=1", "IVALUEA=01", "GROUPS=0", "MODELS=S", "RESCORE=2",
                             "IREFER=AB", "GROUPS=*g.txt"}) {
        r.host.lines.clear();
        EXPECT_FALSE(parse_runtime_instruction(r.run, line).ok) << line;
        EXPECT_EQ(r.host.lines.at(0), std::string(" THIS VARIABLE CAN ONLY BE SET IN THE CONTROL FILE: ") + line);
    }
    ControlVariables before = cv;
    EXPECT_FALSE(parse_runtime_instruction(r.run, "USCALE=abc").ok);
    EXPECT_FALSE(parse_runtime_instruction(r.run, "FOO=5").ok);
    EXPECT_FALSE(parse_runtime_instruction(r.run, "nonsense").ok);
    EXPECT_TRUE(parse_runtime_instruction(r.run, "SPFILE=missing.txt").ok);
    EXPECT_TRUE(parse_runtime_instruction(r.run, "IAFILE=*").ok);
    EXPECT_TRUE(parse_runtime_instruction(r.run, "KEYSCR=1").ok);
    EXPECT_EQ(cv.ni, before.ni);
    EXPECT_EQ(cv.codes, before.codes);
    EXPECT_EQ(cv.uscale, before.uscale);
    EXPECT_EQ(cv.iafile, before.iafile);
    EXPECT_EQ(cv.key_count, before.key_count);
    EXPECT_FALSE(r.run.rs.run_failed);
    EXPECT_FALSE(r.run.rs.finished);
}
