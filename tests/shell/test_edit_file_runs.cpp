// Edit files and the estimation checks as a user meets them in batch runs: measure files read
// back as anchor files, item anchors and deletions, step anchors and step deletions, trimming of
// out-of-range observations, and data that fall into separate subsets.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/shell/batch_folder.h"

using namespace korvelan::testing;

namespace {

// Five dichotomous items, nine persons (Hal all right, Ivy all wrong), tight convergence so that
// measures from different runs can be compared to the second decimal.
std::string dichotomous(const std::string& files) {
    return "TITLE=Edit files\nNI=5\nITEM1=1\nNAME1=7\nCODES=01\nLCONV=.0001\nRCONV=.0001\n" + files +
           "&END\nA\nB\nC\nD\nE\nEND LABELS\n"
           "11000 Ann\n10000 Bob\n11100 Cid\n01000 Dee\n10100 Eve\n11010 Fay\n01101 Gus\n"
           "11111 Hal\n00000 Ivy\n";
}

// Rounding: a measure file holds two decimals, so a value read back is within .005 of the value
// estimated, and two printed values of the same measure differ by at most .01.
constexpr double kTwoPrintings = 0.01 + 1e-9;
constexpr double kAnchorsAndTwoPrintings = 0.015 + 1e-9;

int count_of(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The line as the estimation frames it: " |" + text from column 4 + "|" at column 79, seen
// without its first column.
std::string framed(const std::string& text) {
    std::string line = "| " + text;
    line.resize(77, ' ');
    return line + "|";
}

double total_count(const std::vector<MeasureRecord>& records) {
    double sum = 0;
    for (const MeasureRecord& r : records) sum += r.count;
    return sum;
}

struct EditRuns : ::testing::Test {
    BatchFolder f;
    ProgramResult run(const std::string& control, const std::vector<std::string>& extra = {}) {
        ProgramResult r = f.run(control, extra);
        EXPECT_EQ(r.exit_status, 0) << r.screen;
        return r;
    }
    std::vector<MeasureRecord> persons(const std::string& name) {
        return read_measure_records(f.lines(name), false);
    }
    std::vector<MeasureRecord> items(const std::string& name) {
        return read_measure_records(f.lines(name), true);
    }
};

}  // namespace

TEST_F(EditRuns, PersonFileReadBackAsPersonAnchorsHoldsEveryMeasuredPerson) {
    run(dichotomous("PFILE=first.txt\n"));
    ProgramResult r = run(dichotomous("PAFILE=first.txt\nPFILE=second.txt\n"));
    EXPECT_NE(r.screen.find(" Processing PERSONS Anchors from: first.txt\n"), std::string::npos) << r.screen;
    const std::vector<MeasureRecord> before = persons("first.txt"), after = persons("second.txt");
    ASSERT_EQ(before.size(), 9u);
    ASSERT_EQ(after.size(), 9u);
    for (std::size_t n = 0; n < 9; ++n) {
        if (before[n].flag == ';') {
            // An extreme person's line is a comment in the anchor file: still extreme, not anchored.
            EXPECT_EQ(after[n].status, before[n].status) << n;
            continue;
        }
        EXPECT_EQ(after[n].status, 2) << n;
        EXPECT_EQ(after[n].measure, before[n].measure) << n;
    }
}

TEST_F(EditRuns, AnchoringEveryItemAtItsEarlierMeasureReproducesThePersons) {
    run(dichotomous("PFILE=p1.txt\nIFILE=i1.txt\n"));
    ProgramResult r = run(dichotomous("IAFILE=i1.txt\nPFILE=p2.txt\nIFILE=i2.txt\n"));
    EXPECT_NE(r.screen.find(" Processing ITEMS Anchors from: i1.txt\n"), std::string::npos);
    const std::vector<MeasureRecord> i1 = items("i1.txt"), i2 = items("i2.txt");
    ASSERT_EQ(i2.size(), 5u);
    for (std::size_t n = 0; n < 5; ++n) {
        EXPECT_EQ(i2[n].status, 2);
        EXPECT_EQ(i2[n].measure, i1[n].measure);
    }
    const std::vector<MeasureRecord> p1 = persons("p1.txt"), p2 = persons("p2.txt");
    ASSERT_EQ(p2.size(), 9u);
    for (std::size_t n = 0; n < 9; ++n) {
        EXPECT_EQ(p2[n].status, p1[n].status) << n;
        EXPECT_NEAR(p2[n].measure, p1[n].measure, kAnchorsAndTwoPrintings) << n;
    }
}

TEST_F(EditRuns, MeasureFilesOfEveryLayoutAnchorAsTheFixedLayoutDoes) {
    // The heading lines of the comma- and tab-separated files are quoted texts: a title holding
    // numbers ("2 ... 1.5": item and person 2 at 1.5) anchors nothing. The deleted item and
    // person, and the extreme persons, are flagged lines that anchor nothing either.
    const std::string deletions = "IDFILE=*\n4\n*\nPDFILE=*\n3\n*\n";
    const std::string title = "TITLE=Form 2 at 1.5";
    for (const char* layout : {"N", "Y", "T"})
        run(dichotomous(deletions + "IFILE=i" + layout + ".txt\nPFILE=p" + layout + ".txt\n"),
            {title, std::string("CSV=") + layout});
    for (const char* layout : {"N", "Y", "T"}) {
        const std::string l = layout;
        run(dichotomous(deletions + "IAFILE=i" + l + ".txt\nIFILE=ia" + l + ".txt\n"));
        run(dichotomous(deletions + "PAFILE=p" + l + ".txt\nPFILE=pa" + l + ".txt\n"));
        EXPECT_EQ(measure_file_body(f.dir.file("ia" + l + ".txt")), measure_file_body(f.dir.file("iaN.txt"))) << l;
        EXPECT_EQ(measure_file_body(f.dir.file("pa" + l + ".txt")), measure_file_body(f.dir.file("paN.txt"))) << l;
    }
    // The fixed layout anchors item and person 2 at their measures, not at 1.5.
    EXPECT_EQ(items("iaN.txt").at(1).status, 2);
    EXPECT_EQ(items("iaN.txt").at(1).measure, items("iN.txt").at(1).measure);
    EXPECT_EQ(persons("paN.txt").at(1).measure, persons("pN.txt").at(1).measure);
}

TEST_F(EditRuns, AnAnchoredItemKeepsItsValueAndNothingIsCentred) {
    run(dichotomous("IFILE=free.txt\nPFILE=pfree.txt\n"));
    run(dichotomous("IAFILE=*\n1 1.5\n*\nIFILE=logits.txt\nPFILE=plogits.txt\n"));
    run(dichotomous("IAFILE=*\n1 60\n*\nUMEAN=50\nUSCALE=10\nIFILE=units.txt\n"));
    const std::vector<MeasureRecord> free = items("free.txt"), logits = items("logits.txt"),
                                     units = items("units.txt");
    // The free run is centred on the items; anchoring item 1 moves the whole frame with it.
    EXPECT_EQ(f.lines("logits.txt")[4].substr(0, 17), "     1    1.50  2");
    EXPECT_EQ(f.lines("units.txt")[4].substr(0, 17), "     1   60.00  2");
    const double shift = 1.5 - free[0].measure;
    for (std::size_t n = 1; n < 5; ++n) {
        EXPECT_EQ(logits[n].status, 1);
        EXPECT_NEAR(logits[n].measure, free[n].measure + shift, kAnchorsAndTwoPrintings) << n;
        // 60 user units is 1 logit: 50 + 10 x (the free measure moved to item 1 at 1 logit).
        EXPECT_NEAR(units[n].measure, 50 + 10 * (free[n].measure - free[0].measure + 1),
                    10 * kAnchorsAndTwoPrintings)
            << n;
    }
    const std::vector<MeasureRecord> pfree = persons("pfree.txt"), plogits = persons("plogits.txt");
    for (std::size_t n = 0; n < 9; ++n)
        EXPECT_NEAR(plogits[n].measure, pfree[n].measure + shift, kAnchorsAndTwoPrintings) << n;
}

TEST_F(EditRuns, InlineItemDeletionsAreListedAndTakeNoPart) {
    // Twelve items; the same data without columns 3, 5, 6, 7 and 12 as seven items.
    const std::string rows[] = {"110011010110", "101010101101", "011101011010", "110110100111",
                                "011011011000", "101101101110", "010110010101", "111001110010"};
    const std::string names = "ABCDEFGH";
    std::string all, kept;
    for (int p = 0; p < 8; ++p) {
        all += rows[p] + " " + names[p] + "\n";
        std::string short_row;
        for (int i : {0, 1, 3, 7, 8, 9, 10}) short_row += rows[p][static_cast<std::size_t>(i)];
        kept += short_row + " " + names[p] + "\n";
    }
    const std::string settings = "CODES=01\nLCONV=.0001\nRCONV=.0001\nPFILE=p.txt\nIFILE=i.txt\n";
    ProgramResult r = run("NI=12\nITEM1=1\nNAME1=14\n" + settings + "IDFILE=*\n3\n5-7\n12\n*\n&END\nEND LABELS\n" + all);
    EXPECT_NE(r.screen.find("\n IDFILE=* 3 5-7 12 *\n"), std::string::npos) << r.screen;
    EXPECT_NE(f.report().find("\r\n\r\nITEM DELETIONS: 3 5-7 12\r\n"), std::string::npos) << f.report();
    const std::vector<MeasureRecord> with_deletions = items("i.txt");
    const std::vector<MeasureRecord> persons_with = persons("p.txt");

    run("NI=7\nITEM1=1\nNAME1=9\n" + settings + "&END\nEND LABELS\n" + kept);
    const std::vector<MeasureRecord> seven = items("i.txt");
    const std::vector<MeasureRecord> persons_seven = persons("p.txt");

    ASSERT_EQ(with_deletions.size(), 12u);
    for (int n : {3, 5, 6, 7, 12}) {
        const MeasureRecord& d = with_deletions[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(d.flag, ';') << n;
        EXPECT_EQ(d.status, -3) << n;
        EXPECT_EQ(d.count, 0.0) << n;
    }
    const int same[] = {1, 2, 4, 8, 9, 10, 11};
    for (std::size_t k = 0; k < 7; ++k) {
        const MeasureRecord& a = with_deletions[static_cast<std::size_t>(same[k] - 1)];
        EXPECT_EQ(a.measure, seven[k].measure) << same[k];
        EXPECT_EQ(a.error, seven[k].error) << same[k];
        EXPECT_EQ(a.count, seven[k].count) << same[k];
        EXPECT_EQ(a.fit, seven[k].fit) << same[k];
    }
    ASSERT_EQ(persons_with.size(), 8u);
    for (std::size_t p = 0; p < 8; ++p) {
        EXPECT_EQ(persons_with[p].measure, persons_seven[p].measure) << p;
        EXPECT_EQ(persons_with[p].count, 7.0) << p;
        EXPECT_EQ(persons_with[p].score, persons_seven[p].score) << p;
    }
}

TEST_F(EditRuns, TwoDisjointBlocksAreReportedAsTwoSubsets) {
    ProgramResult r = run(
        "TITLE=Two blocks\nNI=6\nITEM1=1\nNAME1=8\nCODES=01\n&END\nEND LABELS\n"
        "110... A\n101... B\n011... C\n100... D\n...110 E\n...101 F\n...011 G\n...010 H\n");
    const std::string warning = " WARNING: DATA AMBIGUOUSLY CONNECTED. THERE ARE 2 SUBSETS.";
    const std::string closing = " WARNING: DATA AMBIGUOUSLY CONNECTED. THERE ARE 2 SUBSETS LISTED ABOVE.";
    EXPECT_NE(r.screen.find("\n" + warning + "\n These are members of different subsets:\n"
                            " SUBSET 1:  PERSON:  1  A\n"),
              std::string::npos)
        << r.screen;
    // The first person of the second block is person 5; each block's item is one of its own.
    const std::size_t second = r.screen.find(" SUBSET 2:  PERSON:  5  E\n SUBSET 2:  ITEM:  ");
    ASSERT_NE(second, std::string::npos) << r.screen;
    const char item = r.screen[second + std::string(" SUBSET 2:  PERSON:  5  E\n SUBSET 2:  ITEM:  ").size()];
    EXPECT_TRUE(item >= '4' && item <= '6') << item;
    EXPECT_NE(r.screen.find("\nMeasures constructed: use \"Diagnosis\" and \"Output Tables\" menus\n" +
                            closing + "\n"),
              std::string::npos)
        << r.screen;
    const std::string report = f.report();
    EXPECT_NE(report.find("\r\n" + warning.substr(1) + "\r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\n" + closing.substr(1) + "\r\n"), std::string::npos);

    // One block alone is one subset: no warning.
    r = run("NI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nEND LABELS\n110 A\n101 B\n011 C\n100 D\n");
    EXPECT_EQ(r.screen.find("AMBIGUOUSLY"), std::string::npos) << r.screen;
}

namespace {
// Eight items of increasing difficulty, twelve persons, no response far off its expectation
// except on the hardest items for the two weakest persons.
const std::string kTrimmingControl =
    "TITLE=Trimming\nNI=8\nITEM1=1\nNAME1=10\nCODES=01\nPFILE=p.txt\nIFILE=i.txt\n&END\nEND LABELS\n"
    "11000000 P01\n11100000 P02\n11010000 P03\n11101000 P04\n11110100 P05\n11101100 P06\n"
    "11111010 P07\n11110110 P08\n11111101 P09\n10111111 P10\n01111110 P11\n10000001 P12\n";
}  // namespace

TEST_F(EditRuns, CutLimitsWithNothingOutOfRangeChangeNothing) {
    ProgramResult plain = run(kTrimmingControl);
    const std::string plain_p = f.bytes("p.txt"), plain_i = f.bytes("i.txt");
    ProgramResult r = run(kTrimmingControl, {"CUTLOW=5"});
    const std::string none = framed("THERE WERE NO OUT OF RANGE OBSERVATIONS");
    EXPECT_NE(r.screen.find("\n" + framed("DROPPING OUT OF RANGE OBSERVATIONS.  CUTLOW=  5.00  CUTHIGH=   .00") + "\n"),
              std::string::npos)
        << r.screen;
    EXPECT_NE(r.screen.find("\n" + none + "\n"), std::string::npos) << r.screen;
    EXPECT_NE(f.report().find("\r\n" + none + "\r\n"), std::string::npos);
    // One PROX run, as without limits; the same measures.
    EXPECT_EQ(count_of(r.screen, "CONVERGENCE TABLE"), 1);
    EXPECT_EQ(count_of(plain.screen, "CONVERGENCE TABLE"), 1);
    EXPECT_EQ(normalise_report(f.bytes("p.txt"), "", ""), normalise_report(plain_p, "", ""));
    EXPECT_EQ(normalise_report(f.bytes("i.txt"), "", ""), normalise_report(plain_i, "", ""));
}

TEST_F(EditRuns, ObservationsOutOfRangeAreDroppedAndProxRunsAgain) {
    run(kTrimmingControl);
    const std::vector<MeasureRecord> p_before = persons("p.txt"), i_before = items("i.txt");
    ProgramResult r = run(kTrimmingControl, {"CUTLOW=2"});
    const std::vector<MeasureRecord> p_after = persons("p.txt"), i_after = items("i.txt");

    // The count line: the number right-justified in 10 columns.
    const std::string marker = " OBSERVATIONS DROPPED";
    const std::size_t at = r.screen.find(marker);
    ASSERT_NE(at, std::string::npos) << r.screen;
    const int dropped = std::atoi(r.screen.substr(at - 10, 10).c_str());
    EXPECT_EQ(r.screen.substr(at - 12, 12), "| " + std::string(10 - std::to_string(dropped).size(), ' ') +
                                                std::to_string(dropped));
    EXPECT_GT(dropped, 0);
    EXPECT_NE(f.report().find("\r\n" + framed(r.screen.substr(at - 10, 10) + marker) + "\r\n"),
              std::string::npos);
    // Nobody changed status, so the counts of persons and of items each fall by the number
    // dropped; only persons below the middle lose observations, and only items above it.
    for (const MeasureRecord& p : p_after) EXPECT_EQ(p.status, 1);
    for (const MeasureRecord& i : i_after) EXPECT_EQ(i.status, 1);
    EXPECT_EQ(total_count(p_before) - total_count(p_after), dropped);
    EXPECT_EQ(total_count(i_before) - total_count(i_after), dropped);
    for (std::size_t n = 0; n < p_after.size(); ++n)
        if (p_after[n].count < p_before[n].count) {
            EXPECT_LT(p_before[n].measure, 0.0) << n;
        }
    for (std::size_t n = 0; n < i_after.size(); ++n)
        if (i_after[n].count < i_before[n].count) {
            EXPECT_GT(i_before[n].measure, 0.0) << n;
        }

    // PROX runs again after the count line and numbers its rows from 1.
    EXPECT_EQ(count_of(r.screen, "CONVERGENCE TABLE"), 2);
    const std::size_t again = r.screen.find("CONVERGENCE TABLE", at);
    ASSERT_NE(again, std::string::npos);
    EXPECT_NE(r.screen.find("|        1       12       8     2", again), std::string::npos) << r.screen;
}

namespace {
// One rating scale of four categories over four items.
std::string rating(const std::string& files) {
    return "TITLE=Steps\nNI=4\nITEM1=1\nNAME1=6\nCODES=0123\n" + files +
           "SFILE=s.txt\nISFILE=is.txt\n&END\nEND LABELS\n"
           "0123 A\n1232 B\n2310 C\n3211 D\n1122 E\n2233 F\n0011 G\n3322 H\n";
}
}  // namespace

TEST_F(EditRuns, AnchoredStepsKeepTheirValuesInTheStepFile) {
    ProgramResult r = run(rating("SAFILE=*\n1 -1.5\n2 .25 ; the middle step\n3 1.75\n*\n"));
    EXPECT_NE(r.screen.find(" Processing Step Anchors from: "), std::string::npos);
    const std::vector<std::string> expected = {"  0     .00", "  1   -1.50", "  2     .25", "  3    1.75"};
    std::vector<std::string> lines = f.lines("s.txt");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), expected);

    // The step file of a free run serves as the step anchor file of the next: its heading lines
    // are comments, and the steps come back at the values written.
    run(rating(""));
    write_file(f.dir.file("free.txt"), f.bytes("s.txt"));
    const std::vector<std::string> free = f.lines("free.txt");
    run(rating("SAFILE=free.txt\n"));
    lines = f.lines("s.txt");
    ASSERT_EQ(lines.size(), free.size());
    for (std::size_t n = 2; n < lines.size(); ++n) EXPECT_EQ(lines[n], free[n]);
}

// The same responses coded 1-4: no code scores 0, so an anchor on category 0 would bring an
// empty category into the scale and move every measure. The run stops, naming the file, the
// line and the value. The responses 0, 1 and 3 coded as they are leave 2 inside the range with
// no code for it: its anchor is kept with a warning.
TEST_F(EditRuns, StepAnchorsOnValuesNoCodeScores) {
    std::string shifted = rating("SAFILE=sa.txt\n");
    shifted.replace(shifted.find("CODES=0123"), 10, "CODES=1234");
    for (std::size_t at = shifted.find("END LABELS\n") + 11; at < shifted.size(); at = shifted.find('\n', at) + 1)
        for (std::size_t k = at; k < at + 4; ++k) ++shifted[k];
    write_file(f.dir.file("sa.txt"), "; steps\n1 .3\n0 .3\n");
    ProgramResult r = f.run(shifted);
    EXPECT_NE(r.exit_status, 0);
    EXPECT_NE(r.screen.find("      0 IS SMALLER THAN LOWEST SCORED CATEGORY NUMBER:      1 in SAFILE=sa.txt line 3"),
              std::string::npos) << r.screen;
    EXPECT_FALSE(file_exists(f.dir.file("s.txt")));

    write_file(f.dir.file("sa.txt"), "2 .3\n");
    std::string gap = rating("SAFILE=sa.txt\n");
    gap.replace(gap.find("CODES=0123"), 10, "CODES=013");
    for (std::size_t at = gap.find("END LABELS\n") + 11; at < gap.size(); at = gap.find('\n', at) + 1)
        for (std::size_t k = at; k < at + 4; ++k)
            if (gap[k] == '2') gap[k] = '1';
    r = run(gap);
    EXPECT_NE(r.screen.find(" WARNING: NO CODE SCORES STEP ANCHOR CATEGORY NUMBER:      2 in SAFILE=sa.txt line 1"),
              std::string::npos) << r.screen;
}

TEST_F(EditRuns, StepDeletionFileWithACommentAndABlankLineDeletesOnlyTheNamedCategory) {
    write_file(f.dir.file("sd.txt"), "; take out the middle category\n\n2\n");
    run(rating("SDFILE=sd.txt\n"));
    // Categories 0, 1 and 3 remain, as the three categories of the scale.
    std::vector<std::string> lines = f.lines("s.txt");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].substr(0, 3), "  0");
    EXPECT_EQ(lines[3].substr(0, 3), "  1");
    EXPECT_EQ(lines[4].substr(0, 3), "  3");
    // Two steps of equal size and opposite sign: the free steps are centred.
    EXPECT_NEAR(std::atof(lines[3].c_str() + 3), -std::atof(lines[4].c_str() + 3), kTwoPrintings);
    for (std::size_t n = 4; n < f.lines("is.txt").size(); ++n)
        EXPECT_EQ(columns(f.lines("is.txt")[n], 12, 16), "2") << n;  // MAX: two steps
}
