// The same data coded from 0 and from higher bottom values: measures, fit, every Table and every
// output file agree, apart from the fields that print a code, a category value or a raw score,
// which move by exactly the shift (or the shift times the count of responses).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/shell/coding_shift.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// Raises every digit of the text by the shift.
std::string shifted_digits(std::string s, int shift) {
    for (char& c : s)
        if (c >= '0' && c <= '9') c = static_cast<char>(c + shift);
    return s;
}

// Runs the control file in a scratch folder and returns the folder (kept by the caller).
struct CodedRun {
    ScratchDir dir, temp;
    ProgramResult result;
    CodedRun(const std::string& control, const std::vector<std::string>& args) {
        write_file(dir.file("c.txt"), control);
        std::vector<std::string> all{"c.txt", "out.txt", "BATCH=Y"};
        all.insert(all.end(), args.begin(), args.end());
        result = run_korvelan(dir.path, all, temp.path, 120);
    }
    std::vector<std::string> lines(const std::string& name) const {
        return comparable_lines(read_file(dir.file(name)), dir.path);
    }
};

// ---- examples/rating.txt, coded 1-4, against the same data coded 0-3 ---------------------------

std::string rating_example(int bottom) {
    std::string text = read_file(std::string(KORVELAN_SOURCE_DIR) + "/examples/rating.txt");
    const std::size_t data = text.find("END LABELS");
    std::string head = text.substr(0, data), tail = text.substr(data);
    const std::size_t codes = head.find("CODES=1234");
    head.replace(codes, 10, "CODES=" + shifted_digits("0123", bottom));
    // Data lines: five responses, a blank and a name; responses are the first five characters.
    std::string out;
    std::size_t at = 0;
    while (at < tail.size()) {
        std::size_t end = tail.find('\n', at);
        if (end == std::string::npos) end = tail.size();
        std::string line = tail.substr(at, end - at);
        if (line.size() > 5 && line[0] >= '0' && line[0] <= '9')
            line = shifted_digits(shifted_digits(line.substr(0, 5), -1), bottom) + line.substr(5);
        out += line + "\n";
        at = end + 1;
    }
    return head + out;
}

std::string field(const std::string& line, std::size_t first, std::size_t last) {
    return line.size() < first ? std::string() : line.substr(first - 1, last - first + 1);
}

}  // namespace

TEST(CodingShift, RatingExampleKeepsItsTopCategoryInEveryWriter) {
    // Convergence limits tight enough that both codings reach the same measures.
    const std::vector<std::string> args{"DISTRACTOR=Y", "XFILE=x.txt", "DISFILE=d.txt", "TABLES=0000000001",
                                        "PFILE=",       "IFILE=",      "SFILE=",        "LCONV=.00001",
                                        "RCONV=.0001"};
    CodedRun zero(rating_example(0), args), one(rating_example(1), args);
    ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
    ASSERT_EQ(one.result.exit_status, 0) << one.result.screen;

    // DISFILE=: the outfit of item 2 code 4 is that of code 3 of the data coded from 0 (it was
    // .00), and every other figure but the code and score agrees.
    const auto d0 = zero.lines("d.txt"), d1 = one.lines("d.txt");
    ASSERT_EQ(d0.size(), d1.size());
    int rows = 0;
    for (std::size_t n = 0; n < d0.size(); ++n) {
        EXPECT_EQ(field(d0[n], 1, 10), field(d1[n], 1, 10));
        EXPECT_EQ(field(d0[n], 31, 200), field(d1[n], 31, 200)) << d0[n] << "\n" << d1[n];
        if (field(d1[n], 1, 10) == "         2" && field(d1[n], 12, 12) == "4") {
            EXPECT_NE(field(d1[n], 91, 100), "       .00") << d1[n];
            ++rows;
        }
    }
    EXPECT_EQ(rows, 1);

    // Table 10.3: the same counts, averages and outfits; item 2 code 4 no longer shows .0.
    const auto t0 = report_tables(zero.lines("out.txt"))["10.3"];
    const auto t1 = report_tables(one.lines("out.txt"))["10.3"];
    ASSERT_EQ(t0.size(), t1.size());
    ASSERT_FALSE(t1.empty());
    std::vector<std::string> item2;
    bool in_item2 = false;
    for (std::size_t n = 0; n < t1.size(); ++n) {
        EXPECT_EQ(field(t0[n], 22, 54), field(t1[n], 22, 54)) << t0[n] << "\n" << t1[n];
        if (t1[n].rfind("|    ", 0) == 0 && t1[n].size() > 5 && t1[n][5] != ' ') in_item2 = t1[n][5] == '2';
        if (in_item2 && t1[n].size() > 54 && t1[n][9] != ' ') item2.push_back(field(t1[n], 50, 54));
    }
    ASSERT_EQ(item2.size(), 4u);
    EXPECT_NE(item2[3], "   .0");

    // XFILE=: every observation of code 4 has ORD 4 (category 3 + bottom value 1) and its model
    // values; every record is the record of the data coded from 0 with OBS, ORD, EXPECT and
    // CODE one higher.
    const auto x0 = zero.lines("x.txt"), x1 = one.lines("x.txt");
    ASSERT_EQ(x0.size(), x1.size());
    int top_records = 0;
    for (std::size_t n = 2; n < x1.size(); ++n) {
        if (x1[n].empty()) continue;
        EXPECT_EQ(field(x0[n], 1, 14), field(x1[n], 1, 14));
        EXPECT_EQ(std::stoi(field(x1[n], 15, 18)), std::stoi(field(x0[n], 15, 18)) + 1) << x1[n];
        EXPECT_EQ(std::stoi(field(x1[n], 19, 22)), std::stoi(field(x0[n], 19, 22)) + 1) << x1[n];
        EXPECT_NEAR(std::stod(field(x1[n], 23, 29)), std::stod(field(x0[n], 23, 29)) + 1.0, 0.0011) << x1[n];
        EXPECT_EQ(field(x0[n], 30, 67), field(x1[n], 30, 67)) << x0[n] << "\n" << x1[n];
        if (field(x1[n], 15, 18) == "   4") {
            ++top_records;
            EXPECT_EQ(field(x1[n], 19, 22), "   4") << x1[n];
            EXPECT_NE(field(x1[n], 23, 29), " -1.000") << x1[n];
        }
    }
    EXPECT_EQ(top_records, 10);
}

// A second PROX run after trimming (CUTLO=) numbers the categories again: it must start from the
// categories the first run left, not take their numbers for values (the data coded 1-4 then
// lost its bottom category and the run broke down).
TEST(CodingShift, TrimmedRunNumbersTheCategoriesOnce) {
    const std::vector<std::string> args{"CUTLO=-3", "TABLES=0", "PFILE=", "IFILE=i.txt", "SFILE=s.txt",
                                        "LCONV=.00001", "RCONV=.0001"};
    CodedRun zero(rating_example(0), args), one(rating_example(1), args);
    ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
    ASSERT_EQ(one.result.exit_status, 0) << one.result.screen;
    EXPECT_NE(zero.result.screen.find("OBSERVATIONS DROPPED"), std::string::npos) << zero.result.screen;
    ShiftComparison c;
    compare_shifted("i.txt", zero.lines("i.txt"), one.lines("i.txt"), 1, ShiftRules{}, c);
    compare_shifted("s.txt", zero.lines("s.txt"), one.lines("s.txt"), 1, ShiftRules{}, c);
    for (const std::string& u : c.unexplained) ADD_FAILURE() << u;
    EXPECT_EQ(c.sections(FieldMove::Score), (std::set<std::string>{"i.txt"}));
    EXPECT_EQ(c.sections(FieldMove::Value), (std::set<std::string>{"s.txt"}));
}

// GUFILE= of a dichotomy coded 1-2: the responses are Guttmanized by their categories and
// written as their values, as those of the same data coded 0-1 (the code 2 was written as
// missing and the code 1 as 2).
TEST(CodingShift, GuttmanizedDichotomyCodedFromOne) {
    std::string tiny = read_file(std::string(KORVELAN_SOURCE_DIR) + "/examples/tiny.txt");
    const std::size_t data = tiny.find("END LABELS");
    std::string shifted = tiny.substr(0, data), tail = tiny.substr(data);
    shifted.replace(shifted.find("CODES=01"), 8, "CODES=12");
    for (std::size_t at = tail.find('\n') + 1; at < tail.size(); at = tail.find('\n', at) + 1) {
        for (std::size_t k = at; k < at + 4 && k < tail.size(); ++k)
            if (tail[k] == '0' || tail[k] == '1') ++tail[k];
        if (tail.find('\n', at) == std::string::npos) break;
    }
    const std::vector<std::string> args{"GUFILE=g.txt", "TABLES=0"};
    CodedRun zero(tiny, args), one(shifted + tail, args);
    ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
    ASSERT_EQ(one.result.exit_status, 0) << one.result.screen;
    const auto g0 = zero.lines("g.txt"), g1 = one.lines("g.txt");
    ASSERT_EQ(g0.size(), 7u);
    ShiftComparison c;
    compare_shifted("g.txt", g0, g1, 1, ShiftRules{}, c);
    for (const std::string& u : c.unexplained) ADD_FAILURE() << u;
    EXPECT_EQ(g1[0], "2211 Ann");
}

// ---- A rating-scale data set coded from 0, from 1 and from 3 --------------------------------

namespace {

// Two groups (items 1-4 never use the middle value 2; items 5-8 use 0-2 of 0-4), missing
// responses, persons with extreme scores, and item 9 deleted.
const char* kData[] = {
    "000000001 P01", "110000001 P02", "101010001 P03", "030.22014 P04", "431312103 P05",
    "311120102 P06", "333121122 P07", "4343211.1 P08", "434322124 P09", "444322221 P10",
    "130000002 P11", "410321012 P12", "431.12214 P13", "433010103 P14", "444422223 P15",
    "000000000 P16", "433112110 P17", "434122212 P18", "444422224 P19",
};

std::string shift_control(int shift, char stkeep) {
    std::string c = "TITLE=Coding shift\nNI=9\nITEM1=1\nNAME1=11\nNAMLEN=3\nCODES=" +
                    shifted_digits("01234", shift) +
                    "\nGROUPS=111122222\nIDFILE=*\n9\n*\nSTKEEP=" + std::string(1, stkeep) +
                    "\nLCONV=.000001\nRCONV=.00001\nDISTRACTOR=Y\nCHART=Y\n&END\n";
    for (int i = 1; i <= 9; ++i) c += "Q" + std::to_string(i) + "\n";
    c += "END LABELS\n";
    for (const char* row : kData) {
        const std::string r(row);
        c += shifted_digits(r.substr(0, 9), shift) + r.substr(9) + "\n";
    }
    return c;
}

const std::vector<std::string> kFiles{"p.txt", "i.txt", "s.txt",  "is.txt", "x.txt",  "r.txt", "sc.txt",
                                      "d.txt", "gu.txt", "si.txt", "ic.txt", "pc.txt", "gr.txt"};

std::vector<std::string> shift_args() {
    return {"TABLES=" + std::string(40, '1'), "PFILE=p.txt", "IFILE=i.txt", "SFILE=s.txt", "ISFILE=is.txt",
            "XFILE=x.txt", "RFILE=r.txt", "SCFILE=sc.txt", "DISFILE=d.txt", "GUFILE=gu.txt", "SIFILE=si.txt",
            "ICORFILE=ic.txt", "PCORFILE=pc.txt", "GRFILE=gr.txt"};
}

constexpr int kItemsMeasured = 8;  // the raw scores of a complete test move by 8 x the shift

// The summary of measures shows the spread and the extremes of the raw scores, which move by
// no fixed amount when the counts of responses differ (missing responses).
ShiftRules rules_of(const std::string& table) {
    ShiftRules r{{kItemsMeasured}, {"S.D."}};
    if (table == "3.1") r.spread_labels = {"S.D.", "MIN.", "MAX."};
    return r;
}

using Named = std::map<std::string, std::string>;

// Response codes, printed as digits (in plots, strings of responses and data records).
const Named kCodeFields = {
    {"0.3", "CODES= and the data lines of the control file"},
    {"6.4", "person response strings by outfit"}, {"6.5", "person response strings by measure"},
    {"7.2", "person misfit response strings"}, {"7.3", "person misfit response strings"},
    {"7.4", "person misfit response strings"}, {"7.5", "person misfit response strings"},
    {"10.4", "item response strings by misfit"}, {"10.5", "item response strings by measure"},
    {"12.5", "map of the expected score codes"}, {"12.6", "map of the 50% cumulative codes"},
    {"21.1", "category numbers plotted on the probability curves"},
    {"21.2", "expected-score ogive codes"}, {"22.1", "scalogram cells"},
    {"22.2", "zoned scalogram cells (@=0, A=1, ...)"},
    {"29.1", "empirical curve codes"}, {"29.2", "empirical curve codes"}, {"29.3", "empirical curve codes"},
    {"29.4", "empirical curve codes"}, {"29.5", "empirical curve codes"}, {"29.6", "empirical curve codes"},
    {"29.7", "empirical curve codes"}, {"29.8", "empirical curve codes"},
    {"3.2", "CATEGORY LABEL and plotted categories of group 1"}, {"3.3", "the same for group 2"},
    {"r.txt", "scored responses"}, {"si.txt", "simulated responses"},
};
// Category values and expected scores (a value plus the model's expectation).
const Named kValueFields = {
    {"0.2", "CAT: the category value of the largest step change"},
    {"2.2", "expected-score category values"}, {"2.5", "observed average categories"},
    {"2.6", "category averages"}, {"2.7", "expected average categories"},
    {"3.2", "CATEGORY SCORE of group 1"}, {"3.3", "CATEGORY SCORE of group 2"},
    {"6.4", "observed response values"}, {"6.5", "observed response values"},
    {"7.1", "OBSERVED and EXPECTED of misfitting responses"}, {"7.2", "response values"},
    {"7.3", "response values"}, {"7.4", "response values"}, {"7.5", "response values"},
    {"10.3", "DATA CODE and SCORE VALUE"}, {"10.4", "response values"}, {"10.5", "response values"},
    {"11.1", "OBSERVED and EXPECTED of misfitting responses"}, {"13.3", "DATA CODE and SCORE VALUE"},
    {"14.3", "DATA CODE and SCORE VALUE"}, {"15.3", "DATA CODE and SCORE VALUE"},
    {"21.1", "category values of the curves"}, {"21.2", "expected-score axis"},
    {"22.1", "scalogram cells"}, {"22.2", "zoned scalogram cells"},
    {"25.3", "DATA CODE and SCORE VALUE"}, {"26.3", "DATA CODE and SCORE VALUE"},
    {"29.1", "category values"}, {"29.2", "category values"}, {"29.3", "category values"},
    {"29.4", "category values"}, {"29.5", "category values"}, {"29.6", "category values"},
    {"29.7", "category values"}, {"29.8", "category values"},
    {"d.txt", "CODE and SCORE"}, {"gr.txt", "SCOR (expected score)"}, {"is.txt", "category values"},
    {"s.txt", "CATEGORY"}, {"x.txt", "OBS, ORD, EXPECT and CODE"},
};
// Raw scores: the shift times the count of responses (the COUNT of the line, or 8 items).
const Named kScoreFields = {
    {"3.1", "MEAN raw scores"}, {"6.1", "person SCORE"}, {"10.1", "item SCORE and MEAN"},
    {"13.1", "item SCORE and MEAN"}, {"14.1", "item SCORE and MEAN"}, {"15.1", "item SCORE and MEAN"},
    {"17.1", "person SCORE and MEAN"}, {"18.1", "person SCORE and MEAN"}, {"19.1", "person SCORE and MEAN"},
    {"20.1", "SCORE and the UMEAN= that matches the raw-score range"}, {"20.2", "SCORE"},
    {"25.1", "item SCORE and MEAN"}, {"26.1", "item SCORE and MEAN"},
    {"i.txt", "SCORE"}, {"p.txt", "SCORE"}, {"sc.txt", "SCORE"},
};
// Spreads and extremes of raw scores, which the missing responses make move by no fixed amount.
const Named kSpreadFields = {
    {"3.1", "S.D., MIN. and MAX. of the raw scores"}, {"10.1", "S.D. of the raw scores"},
    {"13.1", "S.D. of the raw scores"}, {"14.1", "S.D. of the raw scores"},
    {"15.1", "S.D. of the raw scores"}, {"25.1", "S.D. of the raw scores"},
    {"26.1", "S.D. of the raw scores"},
};

void expect_named(const ShiftComparison& c, FieldMove move, const Named& named) {
    for (const std::string& s : c.sections(move))
        EXPECT_TRUE(named.count(s)) << "moved field not named: " << s << " (kind " << static_cast<int>(move) << ")";
}

}  // namespace

namespace {

// Every Table of the run coded from 0 (its report split into Tables) and every output file
// against the shifted run; a difference the shift does not explain fails.
void compare_runs(const CodedRun& zero, const std::map<std::string, std::vector<std::string>>& report0,
                  const CodedRun& run, int shift, ShiftComparison& c) {
    const auto report = report_tables(run.lines("out.txt"));
    EXPECT_EQ(report.size(), report0.size());
    for (const auto& [table, lines] : report0) {
        const auto found = report.find(table);
        if (found == report.end()) {
            ADD_FAILURE() << "Table " << table << " is missing";
            continue;
        }
        compare_shifted(table, lines, found->second, shift, rules_of(table), c);
    }
    for (const std::string& name : kFiles) {
        ASSERT_EQ(file_exists(zero.dir.file(name)), file_exists(run.dir.file(name))) << name;
        compare_shifted(name, zero.lines(name), run.lines(name), shift, ShiftRules{{kItemsMeasured}, {}}, c);
    }
    for (const std::string& u : c.unexplained) ADD_FAILURE() << u;
}

}  // namespace

TEST(CodingShift, EveryTableAndFileMovesOnlyItsCodesValuesAndScores) {
    for (const char stkeep : {'Y', 'N'}) {
        CodedRun zero(shift_control(0, stkeep), shift_args());
        ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
        const auto report0 = report_tables(zero.lines("out.txt"));
        ASSERT_GT(report0.size(), 30u);
        for (const int shift : {1, 3}) {
            SCOPED_TRACE("STKEEP=" + std::string(1, stkeep) + " shift " + std::to_string(shift));
            CodedRun run(shift_control(shift, stkeep), shift_args());
            ASSERT_EQ(run.result.exit_status, 0) << run.result.screen;
            ShiftComparison c;
            compare_runs(zero, report0, run, shift, c);

            // Every field that moved is one of those named below.
            expect_named(c, FieldMove::Code, kCodeFields);
            expect_named(c, FieldMove::Value, kValueFields);
            expect_named(c, FieldMove::Score, kScoreFields);
            expect_named(c, FieldMove::Spread, kSpreadFields);
            // The writers that lost the top category do not any more.
            for (const char* s : {"x.txt", "d.txt", "10.3", "14.3"}) EXPECT_TRUE(c.sections(FieldMove::Value).count(s)) << s;
        }
    }
}

// ---- Three groups of different lowest values, trimmed by CUTLO= and CUTHI= ---------------------

namespace {

// Group 1 (items 1-3) uses 0-4, group 2 (items 4-6) 1-4, group 3 (items 7-8) 2-4: the slots
// below each group's lowest value are empty whatever the coding, and more of them the higher
// the coding starts. Thirty persons from a fixed generator, a few responses missing.
std::string trimmed_control(int shift) {
    std::string c = "TITLE=Trimmed shift\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=3\nCODES=" + shifted_digits("01234", shift) +
                    "\nGROUPS=11122233\nCUTLO=-1\nCUTHI=1\nLCONV=.000001\nRCONV=.00001\nDISTRACTOR=Y\n&END\n";
    for (int i = 1; i <= 8; ++i) c += "Q" + std::to_string(i) + "\n";
    c += "END LABELS\n";
    const int lowest[] = {0, 0, 0, 1, 1, 1, 2, 2};
    std::uint32_t state = 11;
    const auto draw = [&] {
        state = state * 69069u + 1u;
        return static_cast<double>(state >> 8) / 16777216.0;
    };
    for (int p = 0; p < 30; ++p) {
        std::string row;
        for (int i = 0; i < 8; ++i) {
            const double centre = 2.0 + 3.0 * (p - 14.5) / 14.5 - (i - 3.5) / 3.0 + 2.0 * (draw() - 0.5);
            const int k = std::clamp(static_cast<int>(std::lround(centre)), lowest[i], 4);
            row += draw() < 0.05 ? '.' : static_cast<char>('0' + k + shift);
        }
        c += row + " " + std::to_string(100 + p) + "\n";
    }
    return c;
}

}  // namespace

TEST(CodingShift, TrimmedGroupsOfDifferentLowestValuesAgreeFromTheFirstIteration) {
    const std::vector<std::string> args = shift_args();
    CodedRun zero(trimmed_control(0), args);
    ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
    EXPECT_NE(zero.result.screen.find("OBSERVATIONS DROPPED"), std::string::npos) << zero.result.screen;
    const auto report0 = report_tables(zero.lines("out.txt"));
    for (const int shift : {1, 3}) {
        SCOPED_TRACE("shift " + std::to_string(shift));
        CodedRun run(trimmed_control(shift), args);
        ASSERT_EQ(run.result.exit_status, 0) << run.result.screen;
        EXPECT_EQ(zero.result.screen.substr(zero.result.screen.find("OBSERVATIONS DROPPED") - 12, 32),
                  run.result.screen.substr(run.result.screen.find("OBSERVATIONS DROPPED") - 12, 32));
        ShiftComparison c;
        compare_runs(zero, report0, run, shift, c);
        // Beyond those of the set above: the third group's structure Table (3.4), more misfitting
        // persons (7.6, 7.7), category values printed as codes in the plots, and the scores of
        // persons left with one response after trimming, which move as a value.
        Named codes = kCodeFields, values = kValueFields, spreads = kSpreadFields;
        for (const char* t : {"2.2", "2.5", "2.6", "21.3", "3.4", "7.6", "7.7"}) codes[t] = "category codes";
        for (const char* t : {"0.3", "3.4", "7.6", "7.7", "21.3", "6.1", "17.1", "18.1", "19.1", "p.txt", "r.txt"})
            values[t] = "category values and one-response scores";
        for (const char* t : {"6.1", "17.1", "18.1", "19.1"}) spreads[t] = "spreads of trimmed raw scores";
        expect_named(c, FieldMove::Code, codes);
        expect_named(c, FieldMove::Value, values);
        expect_named(c, FieldMove::Score, kScoreFields);
        expect_named(c, FieldMove::Spread, spreads);
    }
}

// ---- The same responses in two-column codes 90-94 -------------------------------------------

namespace {

// The set above with every response written in two columns (XWIDE=2), 0-4 as 90-94 and a
// missing response as "..": nine in ten of the category slots lie empty below the lowest value.
std::string wide_control(const std::string& narrow) {
    std::string out;
    std::size_t at = 0;
    bool data = false;
    while (at < narrow.size()) {
        const std::size_t end = narrow.find('\n', at);
        std::string line = narrow.substr(at, end - at);
        at = end + 1;
        if (data) {
            std::string wide;
            for (char c : line.substr(0, 8)) wide += c == '.' ? std::string("..") : std::string("9") + c;
            line = wide + line.substr(8);
        } else if (line.rfind("NAME1=", 0) == 0) {
            line = "NAME1=18\nXWIDE=2";
        } else if (line.rfind("CODES=", 0) == 0) {
            line = "CODES=9091929394";
        }
        if (line == "END LABELS") data = true;
        out += line + "\n";
    }
    return out;
}

// The fields of each line of a measure file but its raw score (the fifth), which the coding
// raises by 90 for each response.
std::vector<std::vector<std::string>> fields_but_score(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> out;
    for (const std::string& line : lines) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string f; in >> f;) fields.push_back(f);
        // A data line of an entry not measured begins with a lone ";"; other ";" lines are headings.
        const std::size_t score = !fields.empty() && fields[0] == ";" ? 5 : line[0] == ';' ? 0 : 4;
        if (score > 0 && fields.size() > score) fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(score));
        out.push_back(fields);
    }
    return out;
}

}  // namespace

TEST(CodingShift, TwoColumnCodesFromNinetyTrimAndMeasureAsCodesFromZero) {
    const std::vector<std::string> args{"PFILE=p.txt", "IFILE=i.txt", "TABLES=0"};
    CodedRun zero(trimmed_control(0), args);
    CodedRun wide(wide_control(trimmed_control(0)), args);
    ASSERT_EQ(zero.result.exit_status, 0) << zero.result.screen;
    ASSERT_EQ(wide.result.exit_status, 0) << wide.result.screen;
    const auto dropped = [](const std::string& screen) {
        const std::size_t at = screen.find("OBSERVATIONS DROPPED");
        return at == std::string::npos ? std::string() : screen.substr(at - 12, 32);
    };
    EXPECT_FALSE(dropped(zero.result.screen).empty());
    EXPECT_EQ(dropped(zero.result.screen), dropped(wide.result.screen));
    for (const char* name : {"p.txt", "i.txt"})
        EXPECT_EQ(fields_but_score(zero.lines(name)), fields_but_score(wide.lines(name))) << name;
}
