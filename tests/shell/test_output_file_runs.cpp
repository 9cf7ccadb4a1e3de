// The output files of real batch runs: PFILE=, IFILE=, SFILE=, ISFILE= and GRFILE= in every
// layout, their columns, the entries of every status they carry, the curves they describe, the
// graphs work file of a finished run, and a file that cannot be written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/driver/run_analysis.h"
#include "engine/outfiles/graphs_file.h"
#include "engine/outfiles/output_wiring.h"
#include "engine/outfiles/run_output_services.h"
#include "tests/shell/batch_folder.h"
#include "tests/support/analysis_run.h"
#include "tests/support/run_binary.h"

using namespace korvelan::testing;

namespace {

// Two rating-scale groups (A: categories 0-2, B: 0-3), item 6 deleted, item 1 anchored at 1.5,
// one person with every answer in the top category and one with every answer in the bottom.
const std::string kRatingControl =
    "TITLE=Rating groups\nNI=6\nITEM1=1\nNAME1=8\nCODES=0123\nGROUPS=AAABBB\n"
    "IDFILE=*\n6\n*\nIAFILE=*\n1 1.5\n*\n"
    "PFILE=p.txt\nIFILE=i.txt\nSFILE=s.txt\nISFILE=is.txt\nGRFILE=gr.txt\n&END\n"
    "Q1\nQ2\nQ3\nQ4\nQ5\nQ6\nEND LABELS\n"
    "012120 Ann, Jr\n121231 Bob\n210312 Cid\n111023 Dee\n222333 Eve\n000000 Fay\n"
    "120321 Gus\n201132 Hal\n112213 Ivy\n";

// Five dichotomous items; Hal answers all correctly, Ivy none.
const std::string kDichotomousControl =
    "TITLE=Out test\nNI=5\nITEM1=1\nNAME1=7\nCODES=01\n"
    "PFILE=p.txt\nIFILE=i.txt\nSFILE=s.txt\nISFILE=is.txt\nGRFILE=gr.txt\n&END\n"
    "A\nB\nC\nD\nE\nEND LABELS\n"
    "11000 Ann\n10000 Bob\n11100 Cid\n01000 Dee\n10100 Eve\n11010 Fay\n01101 Gus\n"
    "11111 Hal\n00000 Ivy\n";

const char* const kFiles[] = {"p.txt", "i.txt", "s.txt", "is.txt", "gr.txt"};

// The five files of a run, each after a line naming it, dates made fixed.
std::string all_files(const BatchFolder& f) {
    std::string text;
    for (const char* name : kFiles) text += std::string("==== ") + name + "\r\n" + f.bytes(name);
    return normalise_report(text, "", "");
}

double number(const std::string& text) { return std::atof(text.c_str()); }

// x truncated toward zero, as the curve range takes it.
double truncated(double x) { return x < 0 ? std::ceil(x) : std::floor(x); }

struct OutputRuns : ::testing::Test {
    BatchFolder f;
    void run(const std::string& control, const std::vector<std::string>& extra = {}) {
        ProgramResult r = f.run(control, extra);
        ASSERT_EQ(r.exit_status, 0) << r.screen;
    }
};

}  // namespace

TEST_F(OutputRuns, RatingGroupsInEveryLayoutMatchTheirGoldenFiles) {
    for (const char* csv : {"N", "Y", "T"}) {
        for (const char* hlines : {"Y", "N"}) {
            run(kRatingControl, {std::string("CSV=") + csv, std::string("HLINES=") + hlines});
            expect_golden(std::string("outfiles/run_rating_") + csv + hlines + ".txt", all_files(f));
        }
    }
}

TEST_F(OutputRuns, DichotomousFilesMatchTheirGoldenFile) {
    run(kDichotomousControl);
    expect_golden("outfiles/run_dichotomous_NY.txt", all_files(f));
}

TEST_F(OutputRuns, FixedColumnsHoldTheSameValuesAsTheCommaSeparatedFields) {
    run(kRatingControl);
    std::vector<std::vector<std::string>> fixed;
    for (const char* name : kFiles) fixed.push_back(f.lines(name));
    run(kRatingControl, {"CSV=Y"});

    // Measure files: flag, entry, measure, status, count, score, error, seven F7.2 fields, then
    // the group character, model letter (items) and label.
    for (int side = 0; side < 2; ++side) {
        const bool items = side == 1;
        const std::vector<std::string> csv = f.lines(kFiles[side]);
        ASSERT_EQ(csv.size(), fixed[side].size());
        for (std::size_t n = 4; n < csv.size(); ++n) {
            const std::string& l = fixed[side][n];
            std::vector<std::string> want = {std::string(1, l[0]), columns(l, 2, 6), columns(l, 7, 14),
                                             columns(l, 15, 17), columns(l, 18, 25), columns(l, 26, 34),
                                             columns(l, 35, 41)};
            for (std::size_t c = 42; c < 91; c += 7) want.push_back(columns(l, c, c + 6));
            EXPECT_EQ(l[90], ' ') << l;
            if (items) {
                EXPECT_EQ(l[92], ' ') << l;
                EXPECT_EQ(l[94], ' ') << l;
                want.push_back(l.substr(91, 1));
                want.push_back(l.substr(93, 1));
                want.push_back(l.substr(95));
            } else {
                want.push_back(l.substr(91));
            }
            EXPECT_EQ(split_fields(csv[n], ','), want) << csv[n];
        }
    }

    // SFILE= of several groups: item 1-6, category 7-9, a blank, value 11-17.
    std::vector<std::string> csv = f.lines("s.txt");
    ASSERT_EQ(csv.size(), fixed[2].size());
    for (std::size_t n = 2; n < csv.size(); ++n) {
        const std::string& l = fixed[2][n];
        EXPECT_EQ(l.size(), 17u) << l;
        EXPECT_EQ(split_fields(csv[n], ','),
                  (std::vector<std::string>{columns(l, 1, 6), columns(l, 7, 9), columns(l, 11, 17)}));
    }

    // ISFILE=: flag, I5 entry, status, MAX, LOW, F8.2 AT.25, then per step two I5 and five F8.2.
    csv = f.lines("is.txt");
    ASSERT_EQ(csv.size(), fixed[3].size());
    for (std::size_t n = 4; n < csv.size(); ++n) {
        const std::string& l = fixed[3][n];
        ASSERT_EQ(l.size(), 29u + 3u * 50u) << l;  // every line carries the 3 steps of group B
        std::vector<std::string> want = {columns(l, 2, 6), columns(l, 7, 11), columns(l, 12, 16),
                                         columns(l, 17, 21), columns(l, 22, 29)};
        for (std::size_t b = 30; b < l.size(); b += 50) {
            want.push_back(columns(l, b, b + 4));
            want.push_back(columns(l, b + 5, b + 9));
            for (std::size_t c = b + 10; c < b + 50; c += 8) want.push_back(columns(l, c, c + 7));
        }
        EXPECT_EQ(split_fields(csv[n], ','), want) << csv[n];
    }

    // GRFILE=: a blank, the item in 5 columns, every other field in 7.
    csv = f.lines("gr.txt");
    ASSERT_EQ(csv.size(), fixed[4].size());
    for (std::size_t n = 2; n < csv.size(); ++n) {
        const std::string& l = fixed[4][n];
        std::vector<std::string> want = {columns(l, 2, 6)};
        for (std::size_t c = 7; c <= l.size(); c += 7) want.push_back(columns(l, c, c + 6));
        EXPECT_EQ(split_fields(csv[n], ','), want) << csv[n];
    }
}

TEST_F(OutputRuns, TabLayoutIsTheCommaLayoutWithTabsOutsideQuotes) {
    run(kRatingControl, {"CSV=Y"});
    std::vector<std::string> comma[5];
    for (int k = 0; k < 5; ++k) comma[k] = f.lines(kFiles[k]);
    run(kRatingControl, {"CSV=T"});
    for (int k = 0; k < 5; ++k) {
        std::vector<std::string> tab = f.lines(kFiles[k]);
        ASSERT_EQ(tab.size(), comma[k].size()) << kFiles[k];
        for (std::size_t n = 0; n < tab.size(); ++n) {
            std::string want = comma[k][n];
            bool inside = false;
            for (char& c : want) {
                if (c == '"') inside = !inside;
                else if (c == ',' && !inside) c = '\t';
            }
            // The two runs may fall in different minutes: their heading dates are made equal.
            EXPECT_EQ(normalise_report(tab[n], "", ""), normalise_report(want, "", "")) << kFiles[k];
        }
    }
    // The label's own comma survives, inside its quotes.
    EXPECT_EQ(f.lines("p.txt")[4].substr(f.lines("p.txt")[4].size() - 10), "\t\"Ann, Jr\"");
}

TEST_F(OutputRuns, WithoutHeadingLinesEveryLineIsAnEntryAndNoneIsFlagged) {
    run(kRatingControl, {"HLINES=N"});
    // 9 persons, 6 items, the categories of the five items left (3 + 3 + 3 + 4 + 4), one line
    // per item, 101 points for each of the two groups.
    const std::size_t expected[] = {9, 6, 17, 6, 202};
    for (int k = 0; k < 5; ++k) {
        std::vector<std::string> lines = f.lines(kFiles[k]);
        EXPECT_EQ(lines.size(), expected[k]) << kFiles[k];
        for (const std::string& l : lines) EXPECT_NE(l[0], ';') << kFiles[k] << ": " << l;
    }
    EXPECT_EQ(f.lines("p.txt")[0].substr(0, 6), "     1");
    EXPECT_EQ(f.lines("is.txt")[5].substr(0, 11), "     6   -3");
}

TEST_F(OutputRuns, ExtremeDeletedAndAnchoredEntriesAreAllWritten) {
    run(kRatingControl);
    std::vector<MeasureRecord> persons = read_measure_records(f.lines("p.txt"), false);
    ASSERT_EQ(persons.size(), 9u);
    for (int n = 0; n < 9; ++n) EXPECT_EQ(persons[n].entry, n + 1);
    // Eve scores the maximum, Fay zero: both flagged, both with a measure beyond every other.
    EXPECT_EQ(persons[4].flag, ';');
    EXPECT_EQ(persons[4].status, 0);
    EXPECT_EQ(persons[4].score, 12.0);  // 3 x 2 + 2 x 3
    EXPECT_EQ(persons[5].flag, ';');
    EXPECT_EQ(persons[5].status, -1);
    for (int n : {0, 1, 2, 3, 6, 7, 8}) {
        EXPECT_EQ(persons[n].flag, ' ');
        EXPECT_LT(persons[n].measure, persons[4].measure);
        EXPECT_GT(persons[n].measure, persons[5].measure);
        EXPECT_EQ(persons[n].count, 5.0);  // the deleted item's response is not counted
    }
    EXPECT_EQ(persons[0].label, "Ann, Jr");

    std::vector<MeasureRecord> items = read_measure_records(f.lines("i.txt"), true);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].flag, ' ');
    EXPECT_EQ(items[0].status, 2);
    EXPECT_EQ(items[0].measure, 1.5);
    EXPECT_EQ(items[5].flag, ';');
    EXPECT_EQ(items[5].status, -3);
    EXPECT_EQ(items[5].measure, 0.0);
    EXPECT_EQ(items[5].count, 0.0);
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(items[n].group, n < 3 ? 'A' : 'B');
        EXPECT_EQ(items[n].model, 'R');
        EXPECT_EQ(items[n].label, "Q" + std::to_string(n + 1));
    }
    // Only items that take part have step lines; the deleted one's ISFILE= line is all zeros.
    for (const std::string& l : f.lines("s.txt")) EXPECT_NE(l.substr(0, 6), "     6");
    std::string zero_line = ";    6   -3    0    0     .00";
    for (int k = 0; k < 3; ++k) zero_line += "    0    0     .00     .00     .00     .00     .00";
    EXPECT_EQ(f.lines("is.txt").back(), zero_line);
}

TEST_F(OutputRuns, CurveFileFollowsTheStepsOfEachGroup) {
    run(kRatingControl);
    // Step values of each group from SFILE= (several groups, every category observed, so each
    // value is the step calibration in user units; USCALE=1).
    std::vector<double> steps_a, steps_b;
    for (const std::string& l : f.lines("s.txt")) {
        if (l[0] == ';' || columns(l, 7, 9) == "0") continue;
        if (columns(l, 1, 6) == "1") steps_a.push_back(number(columns(l, 11, 17)));
        if (columns(l, 1, 6) == "4") steps_b.push_back(number(columns(l, 11, 17)));
    }
    ASSERT_EQ(steps_a.size(), 2u);
    ASSERT_EQ(steps_b.size(), 3u);

    // The range: the expected-score points at each category, relative to the item, are the
    // ISFILE= AT.25 and ATSTEP columns less the item's measure from IFILE=.
    std::vector<MeasureRecord> items = read_measure_records(f.lines("i.txt"), true);
    double lo = 1e9, hi = -1e9;
    std::vector<std::string> isfile = f.lines("is.txt");
    for (std::size_t n = 4; n < isfile.size(); ++n) {
        const std::string& l = isfile[n];
        if (l[0] == ';') continue;
        const double d = items[n - 4].measure;
        std::vector<double> points = {number(columns(l, 22, 29)) - d};
        const int top = std::atoi(columns(l, 12, 16).c_str());
        for (int k = 0; k < top; ++k) points.push_back(number(columns(l, 30 + 50 * k + 34, 30 + 50 * k + 41)) - d);
        for (double p : points) {
            lo = std::min(lo, p);
            hi = std::max(hi, p);
        }
    }
    double a = truncated(lo - 2), b = truncated(hi + 2);
    if (a > lo) a -= 2;
    if (b < hi) b += 2;
    const double mid = (a + b) / 2;
    const double low = std::min(mid, a), high = std::max(mid, b);

    std::vector<std::string> lines = f.lines("gr.txt");
    ASSERT_EQ(lines.size(), 2u + 2u * 101u);
    EXPECT_EQ(lines[1], " ;ITEM   MEAS   SCOR   INFO      0      1      2      3");
    for (std::size_t n = 2; n < lines.size(); ++n) {
        const std::string& l = lines[n];
        const bool group_a = n < 2 + 101;
        const int point = static_cast<int>((n - 2) % 101);
        EXPECT_EQ(columns(l, 2, 6), group_a ? "1" : "4") << l;
        const double x = number(columns(l, 7, 13));
        EXPECT_NEAR(x, low + point * (high - low) / 100, 0.006) << l;
        // Rating-scale probabilities from the step values, computed here from scratch.
        const std::vector<double>& steps = group_a ? steps_a : steps_b;
        std::vector<double> p(steps.size() + 1);
        double sum = 0, cumulative = 0;
        for (std::size_t k = 0; k < p.size(); ++k) {
            if (k > 0) cumulative += steps[k - 1];
            p[k] = std::exp(static_cast<double>(k) * x - cumulative);
            sum += p[k];
        }
        double e = 0, e2 = 0;
        for (std::size_t k = 0; k < p.size(); ++k) {
            p[k] /= sum;
            e += static_cast<double>(k) * p[k];
            e2 += static_cast<double>(k * k) * p[k];
            EXPECT_NEAR(number(columns(l, 28 + 7 * k, 34 + 7 * k)), p[k], 0.008) << l;
        }
        EXPECT_EQ(columns(l, 28 + 7 * p.size(), 34 + 7 * p.size()), "") << l;
        EXPECT_NEAR(number(columns(l, 14, 20)), e, 0.015) << l;
        EXPECT_NEAR(number(columns(l, 21, 27)), e2 - e * e, 0.015) << l;
    }
    EXPECT_EQ(number(columns(lines[2], 7, 13)), low);
    EXPECT_EQ(number(columns(lines[102], 7, 13)), high);
}

TEST_F(OutputRuns, DichotomousStepPointsAndTheCurveRange) {
    run(kDichotomousControl);
    // A dichotomy's expected score is 0.25 at ln(1/3) logits from the item, 0.5 at the item
    // and 0.75 at ln 3; its threshold is the item itself.
    const double ln3 = std::log(3.0);
    std::vector<MeasureRecord> items = read_measure_records(f.lines("i.txt"), true);
    for (const MeasureRecord& item : items) {
        EXPECT_EQ(item.group, ' ');  // no GROUPS=: no group character of the user's
        EXPECT_EQ(item.model, 'R');
    }
    std::vector<std::string> isfile = f.lines("is.txt");
    ASSERT_EQ(isfile.size(), 4u + 5u);
    for (int i = 0; i < 5; ++i) {
        const std::string& l = isfile[4 + i];
        const double d = items[i].measure;
        EXPECT_NEAR(number(columns(l, 22, 29)), d - ln3, 0.006) << l;  // AT.25
        EXPECT_NEAR(number(columns(l, 40, 47)), d, 0.006) << l;        // MEASURE
        EXPECT_NEAR(number(columns(l, 56, 63)), d, 0.006) << l;        // AT-0.5
        EXPECT_NEAR(number(columns(l, 64, 71)), d + ln3, 0.006) << l;  // ATSTEP
        EXPECT_NEAR(number(columns(l, 72, 79)), d, 0.006) << l;        // THRESH
    }
    // Points at +-ln 3 give the range -3..3 (2 logits beyond, truncated); MRANGE= widens it
    // around the middle.
    std::vector<std::string> curve = f.lines("gr.txt");
    ASSERT_EQ(curve.size(), 2u + 101u);
    EXPECT_EQ(curve[2].substr(0, 13), "     1  -3.00");
    EXPECT_EQ(curve.back().substr(0, 13), "     1   3.00");
    run(kDichotomousControl, {"MRANGE=6"});
    curve = f.lines("gr.txt");
    EXPECT_EQ(curve[2].substr(0, 13), "     1  -6.00");
    EXPECT_EQ(curve[52].substr(0, 13), "     1    .00");
    EXPECT_EQ(curve.back().substr(0, 13), "     1   6.00");
    // At the item itself each category has probability one half.
    EXPECT_EQ(curve[52], "     1    .00    .50    .25    .50    .50");
}

TEST_F(OutputRuns, AnUnwritableFileIsReportedTheRunGoesOnAndEndsAsFailed) {
    ProgramResult r = f.run(kDichotomousControl, {"PFILE=nodir/p.txt"});
    EXPECT_EQ(r.exit_status, 1) << r.screen;
    const std::string problem = "PROBLEM: Unusable Output File Name (2): for file: nodir/p.txt in mode O";
    EXPECT_NE(r.screen.find("Writing PERSON Measure file ...\n" + problem + "\n"), std::string::npos)
        << r.screen;
    // The screen ends by naming the file again, and no success is claimed.
    EXPECT_NE(r.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + problem + "\nOops! "), std::string::npos);
    EXPECT_EQ(r.screen.find("Measures constructed"), std::string::npos);
    const std::string report = f.report();
    EXPECT_NE(report.find(problem + "\r\n"), std::string::npos);
    EXPECT_NE(report.find("\fTABLE 0.3 "), std::string::npos);
    // The files after it are written in full.
    EXPECT_EQ(f.lines("i.txt").size(), 4u + 5u);
    EXPECT_EQ(f.lines("gr.txt").size(), 2u + 101u);
    EXPECT_FALSE(file_exists(f.dir.file("nodir")));
}

TEST(GraphsWorkFileOfARun, OneDichotomousGroupHasItsTwentySixLines) {
    AnalysisRun r;
    write_file(r.dir.file("ctl.txt"),
               "TITLE=Graphs of a run\nNI=5\nITEM1=1\nNAME1=7\nCODES=01\nUMEAN=50\nUSCALE=10\n&END\n"
               "END LABELS\n11000 Ann\n10000 Bob\n11100 Cid\n01000 Dee\n10100 Eve\n11010 Fay\n");
    r.run.args = {r.dir.file("ctl.txt"), r.dir.file("out.txt"), "BATCH=Y"};
    r.run.input.stop_before_estimation = false;
    ASSERT_EQ(korvelan::run_analysis(r.run), 0) << r.host.screen();

    korvelan::OutputSettings s = korvelan::output_settings_from_controls(r.run);
    korvelan::RunEntryRecords records(r.run);
    ASSERT_TRUE(korvelan::write_graphs_work_file(r.run, s, r.run.arrays, records));
    const std::string path = korvelan::graphs_work_file_path(r.run);
    EXPECT_EQ(path, r.temp.path + "ZVB" + r.run.rs.run_id + "kv.txt");
    // 10 ln 3 = 10.98612: the points at expected scores 0.25 and 0.75 in user units.
    const std::vector<std::string> expected = {
        "   50.0000", "   10.0000", "40.0", "  -10.9861", "   10.9861",
        "3", "1         ", "0",
        "4", "1         ", "1         ",
        "5", "1         ", "1         ", "     .0000",
        "6", "1         ", "1         ", "1         ",
        "7", "1         ", "0         ",
        "8", "1         ", "Graphs of a run",
        "9"};
    EXPECT_EQ(crlf_lines(read_file(path)), expected);
}

TEST(GraphsWorkFileOfARun, SeveralGroupsAreLabelledByTheirFirstItems) {
    AnalysisRun r;
    write_file(r.dir.file("ctl.txt"), kRatingControl);
    r.run.args = {r.dir.file("ctl.txt"), r.dir.file("out.txt"), "BATCH=Y"};
    r.run.input.stop_before_estimation = false;
    ASSERT_EQ(korvelan::run_analysis(r.run), 0) << r.host.screen();

    korvelan::OutputSettings s = korvelan::output_settings_from_controls(r.run);
    korvelan::RunEntryRecords records(r.run);
    ASSERT_TRUE(korvelan::write_graphs_work_file(r.run, s, r.run.arrays, records));
    const std::vector<std::string> lines = crlf_lines(read_file(korvelan::graphs_work_file_path(r.run)));
    // Two active groups of 2 and 3 steps: 5 lines, then sections 3 and 4 of 2 + 2 lines, 5 and 6
    // of 3 + 5 lines, 7 and 8 of 2 + 2 lines, and the closing 9.
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 13),
              (std::vector<std::string>{"3", "2         ", "0", "0", "4", "2         ", "2         ",
                                        "3         "}));
    EXPECT_EQ(lines[13], "5");
    EXPECT_EQ(lines[15], "3         ");  // the largest category
    EXPECT_EQ(lines[35], "FOR GROUP: \"A\",  ITEM NUMBER: 1  Q1");
    EXPECT_EQ(lines[36], "FOR GROUP: \"B\",  ITEM NUMBER: 4  Q4");
    EXPECT_EQ(lines[37], "9");
}

TEST_F(OutputRuns, NoOutputFileIsWrittenOverAFileTheRunReads) {
    const std::string problem = "PROBLEM: OUTPUT FILE HAS SAME NAME AS AN INPUT OR REPORT FILE: ";
    // The control file, by name and through another path, and the report.
    for (const std::string& target :
         std::vector<std::string>{"ctl.txt", f.dir.file("ctl.txt"), "./out.txt"}) {
        ProgramResult r = f.run(kDichotomousControl, {"PFILE=" + target});
        EXPECT_EQ(r.exit_status, 1) << r.screen;  // the file named is not written
        EXPECT_NE(r.screen.find(problem + target), std::string::npos) << r.screen;
        EXPECT_EQ(f.bytes("ctl.txt").rfind("TITLE=Out test\n", 0), 0u);
        EXPECT_NE(f.report().find("\fTABLE 0.3 "), std::string::npos);
        EXPECT_EQ(f.lines("i.txt").size(), 4u + 5u);  // the next file is still written
    }
    // A data file named by DATA=.
    const std::string data = "11000 Ann\r\n10000 Bob\r\n11100 Cid\r\n01000 Dee\r\n10101 Eve\r\n";
    write_file(f.dir.file("d.txt"), data);
    ProgramResult r = f.run("NI=5\nITEM1=1\nNAME1=7\nDATA=d.txt\nIFILE=d.txt\n&END\nEND LABELS\n");
    EXPECT_EQ(r.exit_status, 1) << r.screen;  // the file named is not written
    EXPECT_NE(r.screen.find(problem + "d.txt"), std::string::npos) << r.screen;
    EXPECT_EQ(f.bytes("d.txt"), data);
}
