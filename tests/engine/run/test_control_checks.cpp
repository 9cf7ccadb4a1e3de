// Checks and derived settings after the first reading.
#include <gtest/gtest.h>

#include "tests/engine/run/control_test_run.h"

using namespace korvelan;
using korvelan::testing::ControlTestRun;
using korvelan::testing::write_file;

namespace {
std::string t(const std::string& s) { return std::string(trim(s)); }

// A run that holds a valid layout, with the given instructions read on top.
struct Checked : ControlTestRun {
    bool ok = false;
    explicit Checked(const std::string& extra, bool batch = false) {
        run.rs.batch = batch;
        ok = read("NI=4\nITEM1=1\nNAME1=6\n" + extra + "&END\n") && check();
    }
    const std::string& last() const { return host.lines.back(); }
};
}  // namespace

TEST(CheckCodes, CategoriesFollowCodesAndWidth) {
    Checked a("");
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.run.cv.categs, 2);
    Checked b("CODES=\" 1 2\"\nXWIDE=2\n");
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.run.cv.codes.substr(0, 4), "1 2 ");
    EXPECT_EQ(b.run.cv.categs, 2);
    Checked c("CODES=\" 1 1\"\nXWIDE=2\n");
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(std::count(c.host.lines.begin(), c.host.lines.end(), " WARNING! \"1 \" SPECIFIED TWICE IN CODES="), 1);
    Checked d("CODES=1\nMISSING=0\n");
    EXPECT_TRUE(d.ok);
}

TEST(CheckCodes, FatalMessages) {
    const std::pair<std::string, std::string> cases[] = {
        {"CODES=012\nXWIDE=2\n", " CODES= \"012\" HAS LENGTH OF 3. THIS DOES NOT AGREE WITH XWIDE=2"},
        {"CODES=\"1 1 \"\nXWIDE=2\n", " CODES= \"1 1\" HAS LENGTH OF 3. THIS DOES NOT AGREE WITH XWIDE=2"},
        {"CODES=01\nCATEGS=3\n",
         " CODES= \"01\" HAS LENGTH OF2. THIS DOES NOT AGREE WITH (OPTIONAL) CATEGS=3 AND XWIDE=1"},
        {"CODES=1\n", " CODES='1' IS TOO SHORT.  XWIDE=1 AND MISSNG=255"},
        {"CODES=\n", " CODES='' IS TOO SHORT.  XWIDE=1 AND MISSNG=255"},
        {"CODES=" + std::string(1001, '1') + "\n", " CODES= HAS LENGTH OF 1001 WHICH IS LONGER THAN MAXIMUM OF 1000"},
        {"NI=0\n", " PROBLEM WITH NI= 0. IT MUST BE BETWEEN 1 AND 32000"},
        {"NAME1=-1\n", " PROBLEM WITH NAME1= -1. IT MUST BE BETWEEN 1 AND 32000"},
        {"NI=16001\nXWIDE=2\nCODES=0011\n",
         " ITEMS OVERFLOW MAXIMUM RECORD LENGTH:  MAXIMUM RECORD LENGTH (MAXREC) IS 32000, ITEM1=1, NI=16001, "
         "XWIDE=2, ENDS AT 32002"},
    };
    for (const auto& [extra, message] : cases) {
        Checked r(extra, true);
        EXPECT_FALSE(r.ok) << extra;
        EXPECT_TRUE(r.host.shows("\n" + message + "\n")) << message;
        EXPECT_TRUE(r.run.rs.run_failed);
    }
    ControlTestRun none;
    ASSERT_TRUE(none.read("NI=4\n"));
    EXPECT_FALSE(none.check());
    EXPECT_TRUE(none.host.shows(" PROBLEM WITH ITEM1= 0. IT MUST BE BETWEEN 1 AND 32000"));
}

TEST(CheckCodes, RecordOfExactlyMaximumLengthPasses) {
    Checked r("NI=16000\nXWIDE=2\nCODES=0011\n");
    EXPECT_TRUE(r.ok);
}

TEST(CheckDerived, MissingScoreRescoreModesAndKeys) {
    Checked high("MISSING=300\n");
    EXPECT_EQ(high.run.cv.missing, 255);
    EXPECT_FALSE(high.host.shows("Unusual"));
    Checked low("MISSING=-1\n");
    EXPECT_EQ(low.run.cv.missing, 255);
    Checked unusual("MISSING=1\n", true);
    ASSERT_TRUE(unusual.ok);
    EXPECT_TRUE(unusual.host.shows("Warning:  Unusual score assigned to missing data. MISSING= 1"));

    Checked rescore("NEWSCR=10XYZ\n");
    EXPECT_EQ(rescore.run.cv.rescore_mode, 2);
    EXPECT_EQ(t(rescore.run.cv.new_scores), "10");
    EXPECT_EQ(Checked("").run.cv.rescore_mode, 0);
    EXPECT_EQ(Checked("RESFRM=Y\n").run.cv.rescore_mode, 1);
    Checked layout("GRPFRM=Y\nMODFRM=Y\nKEYFORM=3\nKEY1=AB\n");
    EXPECT_EQ(layout.run.cv.groups_mode, 1);
    EXPECT_EQ(layout.run.cv.models_mode, 1);
    EXPECT_EQ(layout.run.cv.key_count, 3);
}

TEST(CheckDerived, ScalingDecimalsAndLabelLengths) {
    Checked a("UASCALE=0\nUSCALE=0\nUDECIM=7\nCUTLO=2\nPTBIS=Y\nPRCOMP=r\nITLEN=500\n");
    EXPECT_FLOAT_EQ(a.run.cv.anchor_scale, 1.0f);
    EXPECT_EQ(a.run.cv.anchor_user_units, 'Y');
    EXPECT_FLOAT_EQ(a.run.cv.uscale, 1.0f);
    EXPECT_EQ(a.run.cv.user_decimals, 4);
    EXPECT_EQ(a.run.cv.user_decimals_format, "(F8.4)");
    EXPECT_EQ(a.run.cv.pt_flag, 'N');
    EXPECT_EQ(a.run.cv.prcomp, 'R');
    EXPECT_EQ(a.run.cv.itlen, 300);
    Checked b("UASCALE=2\nUDECIM=-1\n");
    EXPECT_EQ(b.run.cv.anchor_user_units, 'N');
    EXPECT_EQ(b.run.cv.user_decimals_format, "(F8.0)");
    EXPECT_EQ(b.run.cv.itlen, 300);

    EXPECT_EQ(Checked("ITEM1=10\nNAME1=1\n").run.cv.namlen, 9);
    EXPECT_EQ(Checked("ITEM1=50\nNAME1=1\n").run.cv.namlen, 30);
    EXPECT_EQ(Checked("ITEM1=10\nNAME1=1\nDELIMITER=Y\n").run.cv.namlen, 30);
    EXPECT_EQ(Checked("NAMLEN=400\n").run.cv.namlen, 300);
}

TEST(CheckFormat, CountsAFieldsAndNamesTheProblem) {
    int n = 0;
    EXPECT_EQ(check_format_text("(5X,10A1,2(3A1))", 1, n), "");
    EXPECT_EQ(n, 16);
    EXPECT_EQ(check_format_text("(2 0A1)", 1, n), "");
    EXPECT_EQ(n, 20);
    EXPECT_EQ(check_format_text("(A1", 1, n), "MUST END WITH )");
    EXPECT_EQ(check_format_text("5A1", 1, n), "MUST BEGIN WITH (");
    EXPECT_EQ(check_format_text("(2X,I3)", 1, n), "NO A, A1, A2");
    EXPECT_EQ(check_format_text("(A1))", 1, n), "TOO MANY \")\"");
    EXPECT_EQ(check_format_text("((A1)", 1, n), "NOT ENOUGH \")\"");
    EXPECT_EQ(check_format_text("(16001A1)", 2, n), "TOO MANY A, A1, A2");
    EXPECT_EQ(check_format_text(std::string(16, '(') + "A" + std::string(16, ')'), 1, n), "TOO MANY \"(\"");
    EXPECT_EQ(check_format_text(std::string(15, '(') + "A" + std::string(15, ')'), 1, n), "");
    // Enormous repeat counts neither overflow nor pass.
    EXPECT_EQ(check_format_text("(" + std::string(400, '9') + "(" + std::string(400, '9') + "A1))", 1, n),
              "TOO MANY A, A1, A2");
    EXPECT_EQ(check_format_text("(" + std::string(400, '9') + "(2X))", 1, n), "NO A, A1, A2");
}

TEST(CheckFormat, FailureShowsTwoLinesAndStops) {
    Checked bad("FORMAT=5A1\n", true);
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.host.shows(" PROBLEM WITH \"FORMAT=\": MUST BEGIN WITH (\n FORMAT=5A1\n"));
    Checked good("FORMAT=(5x,4a1)\n");
    ASSERT_TRUE(good.ok);
    EXPECT_EQ(t(good.run.cv.format), "(5X,4A1)");
    EXPECT_EQ(good.run.cv.format_field_count, 4);
}

TEST(Normalise, FlagsWordsAndReportSettings) {
    Checked a("LOCAL=2\nOSORT=x\nPERSON=Student\nITEM=\nMAXPAGE=5\nLINELENGTH=0\nCSV=t\nCURVES=000\n"
              "TABLES=1y0N\nASCII=n\nISELECT=\"\"\n");
    ASSERT_TRUE(a.ok);
    auto& cv = a.run.cv;
    EXPECT_EQ(cv.loc_flag, 'L');
    EXPECT_EQ(cv.standardized_fit_label, " LOG");
    EXPECT_TRUE(a.host.shows("unknown OSORT = \"X\""));
    EXPECT_EQ(cv.osort, ' ');
    EXPECT_EQ(t(cv.person_plural), "Students");
    EXPECT_EQ(t(cv.item_word), "ITEM");
    EXPECT_EQ(t(cv.item_plural), "ITEMS");
    EXPECT_EQ(cv.page_length, 20);
    EXPECT_EQ(cv.line_width, 500);
    EXPECT_EQ(cv.csv, 'T');
    EXPECT_EQ(cv.curves, "100");
    EXPECT_EQ(cv.table_selection, "1100" + std::string(36, '0'));
    EXPECT_EQ(cv.box_to_ascii, 'N');
    EXPECT_EQ(t(cv.iselect), "*");

    Checked b("LOCAL=y\nOSORT=m\nCSV=x\nCURVES=y0\n");
    EXPECT_EQ(b.run.cv.standardized_fit_label, "ZEMP");
    EXPECT_EQ(b.run.cv.osort, 'M');
    EXPECT_EQ(b.run.cv.csv, 'N');
    EXPECT_EQ(b.run.cv.curves, "100");
    EXPECT_EQ(Checked("LOCAL=\n").run.cv.standardized_fit_label, "ZSTD");

    ControlVariables once = a.run.cv;
    normalise_control_settings(a.run);
    EXPECT_EQ(a.run.cv.curves, once.curves);
    EXPECT_EQ(a.run.cv.person_plural, once.person_plural);
    EXPECT_EQ(a.run.cv.loc_flag, once.loc_flag);
}

TEST(CheckLabelFiles, MissingCategoryFileStops) {
    ControlTestRun r;
    write_file(r.dir.file("cats.txt"), "0 wrong\n");
    ASSERT_TRUE(r.read("NI=1\nITEM1=1\nCFILE=cats.txt\nCLFILE=none.txt\n"));
    EXPECT_FALSE(r.check());
    EXPECT_EQ(r.host.menus, (std::vector<std::string>{"Edit Category CFILE=cats.txt", "Edit Code Label CLFILE=none.txt"}));
    EXPECT_TRUE(r.host.shows("\nPROBLEM WITH CLFILE=none.txt\nPROBLEM: Input File Not Found."));
}

TEST(ItemStringReduction, OneCharacterPerItem) {
    ControlTestRun r;
    r.run.cv.ni = 3;
    r.run.cv.xwide = 2;
    std::string per_field = " A B C";
    reduce_item_string_to_one_character(r.run, per_field, "GROUPS=");
    EXPECT_EQ(per_field, "ABC");
    std::string per_item = "RSF";
    reduce_item_string_to_one_character(r.run, per_item, "MODELS=");
    EXPECT_EQ(per_item, "RSF");
    std::string too_long = "RSFR  ";
    EXPECT_THROW(reduce_item_string_to_one_character(r.run, too_long, "MODELS="), RunStopped);
    EXPECT_TRUE(r.host.shows(" MODELS= has one \"one character per item\" format, but is 1 characters too long\n"
                             " Valid are \"one character per XWIDE=\" or \"one character per item\""));
}

TEST(ItemStringReduction, TwoNonBlanksInOneFieldStop) {
    ControlTestRun r;
    r.run.cv.xwide = 2;
    EXPECT_EQ(reduce_item_field_to_one_character(r.run, " 7", "GROUPS", 4, true), '7');
    EXPECT_THROW(reduce_item_field_to_one_character(r.run, "12", "GROUPS", 5, true), RunStopped);
    EXPECT_TRUE(r.host.shows(
        " XWIDE=  2 WITH MORE THAN ONE NON-BLANK PER FIELD IN \"GROUPS=\" AT ITEM 5 WITH VALUE: 12\n"
        " Valid are \"one character per XWIDE=\" or \"one character per item\"\n"
        " NOTE: FOR GROUPS NUMBERED 10, 11 AND ABOVE, SPECIFY GROUPS= A  B ETC.\n"));
    EXPECT_TRUE(r.run.rs.run_failed);
}
