// Values a variable declares missing are no responses: one survey saved by PSPP with its "no
// answer" codes declared missing (single values, and again as ranges) and with those answers
// left system-missing or empty converts to the same control file, the same tab text and the
// same measures.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <random>

#include "tests/shell/batch_folder.h"
#include "tests/spss/pspp_files.h"

using namespace korvelan::testing;

namespace {

// 600 persons, six rating items coded 0-4 and a string item coded "0"-"4", an age and a region
// (a long string) as labels. About one answer in twenty is "no answer": 8 on the rating items, "9"
// on the string item, 99 for the age, "unknown" for the region.
struct Survey {
    std::vector<std::string> cells;  // one line of DATA LIST LIST fields per person
    long no_answers = 0;
};

Survey make_survey(bool declared) {
    std::mt19937 random(59);
    auto uniform = [&] { return static_cast<double>(random()) / 4294967296.0; };
    const double difficulty[7] = {-1.0, -.5, 0, .3, .7, 1.2, .1};
    const double steps[4] = {-1.2, -.4, .4, 1.2};
    const char* regions[4] = {"north", "south", "east", "west"};
    Survey s;
    for (int p = 1; p <= 600; ++p) {
        const double ability = 2.4 * (uniform() + uniform() - 1.0) + .3;
        std::string line = "P" + std::to_string(1000 + p);
        auto no_answer = [&](const std::string& code, const std::string& blank) {
            if (uniform() >= .05) return false;
            ++s.no_answers;
            line += " " + (declared ? code : blank);
            return true;
        };
        for (int i = 0; i < 7; ++i) {
            if (no_answer(i < 6 ? "8" : "\"9\"", i < 6 ? "." : "\"\"")) continue;
            double weight[5] = {1}, total = 1, sum = 0;
            for (int k = 1; k <= 4; ++k) {
                sum += ability - difficulty[i] - steps[k - 1];
                total += weight[k] = std::exp(sum);
            }
            int k = 0;
            for (double u = uniform() * total - weight[0]; u > 0 && k < 4;) u -= weight[++k];
            line += i < 6 ? " " + std::to_string(k) : " \"" + std::to_string(k) + "\"";
        }
        if (!no_answer("99", ".")) line += " " + std::to_string(18 + p % 60);
        if (!no_answer("\"unknown\"", "\"\"")) line += std::string(" \"") + regions[p % 4] + "\"";
        s.cells.push_back(line);
    }
    return s;
}

std::string survey_syntax(const Survey& s, const std::string& missing_values) {
    std::string syntax = "DATA LIST LIST /id (A5) q1 TO q6 (F1) s7 (A1) age (F3) region (A12).\nBEGIN DATA\n";
    for (const std::string& line : s.cells) syntax += line + "\n";
    return syntax + "END DATA.\n" + missing_values + "SAVE OUTFILE='survey.sav'.\n";
}

struct Converted {
    std::string selection, control, tab, screen;
    std::string pfile, ifile, sfile;
};

Converted convert_and_measure(const std::string& syntax) {
    Converted c;
    BatchFolder f;
    if (!run_pspp(f.dir.path, syntax)) {
        ADD_FAILURE() << f.bytes("pspp.txt");
        return c;
    }
    ProgramResult r = run_korvelan(f.dir.path, {"--spss-select", "survey.sav", "sel.txt"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    c.selection = f.bytes("sel.txt");
    std::string edited = c.selection;
    move_under(edited, "! Person Label Variables", "id\r\nage\r\nregion\r\n");
    move_under(edited, "! Item Response Variables", "q1\r\nq2\r\nq3\r\nq4\r\nq5\r\nq6\r\ns7\r\n");
    write_file(f.dir.file("sel.txt"), edited);
    r = run_korvelan(f.dir.path, {"--spss-control", "sel.txt", "survey.txt"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    c.screen = r.screen;
    c.control = normalise_report(f.bytes("survey.txt"), f.dir.path, "/folder/");
    r = run_korvelan(f.dir.path, {"--spss-tab", "survey.sav", "survey.tsv"}, f.temp.path, 30);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    c.screen += r.screen;
    c.tab = f.bytes("survey.tsv");
    r = run_korvelan(f.dir.path, {"survey.txt", "out.txt", "BATCH=Y", "TITLE=Survey", "PFILE=p.txt", "IFILE=i.txt",
                                  "SFILE=s.txt"}, f.temp.path, 60);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    c.pfile = normalise_report(f.bytes("p.txt"), "", "");
    c.ifile = normalise_report(f.bytes("i.txt"), "", "");
    c.sfile = normalise_report(f.bytes("s.txt"), "", "");
    return c;
}

// The first line where two texts differ, so that a failure names it rather than the whole file.
void expect_same_text(const std::string& a, const std::string& b, const char* what) {
    const std::vector<std::string> x = crlf_lines(a), y = crlf_lines(b);
    for (std::size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
        if (x[i] != y[i]) {
            ADD_FAILURE() << what << " line " << i + 1 << ": " << x[i] << " | " << y[i];
            return;
        }
    }
    EXPECT_EQ(x.size(), y.size()) << what;
}

}  // namespace

TEST(SpssMissingValueRuns, DeclaredMissingValuesMeasureAsMissingAnswers) {
    const Survey declared = make_survey(true);
    const Converted single = convert_and_measure(survey_syntax(
        declared, "MISSING VALUES q1 TO q6 (8) /s7 ('9') /age (99) /region ('unknown').\n"));
    const Converted ranges = convert_and_measure(survey_syntax(
        declared, "MISSING VALUES q1 TO q6 (8 THRU HI) /s7 ('9' 'X') /age (90 THRU 120) /region ('n/a' 'unknown').\n"));
    const Converted blank = convert_and_measure(survey_syntax(make_survey(false), ""));
    ASSERT_GT(declared.no_answers, 200);

    for (const Converted* c : {&single, &ranges}) {
        expect_same_text(c->control, blank.control, "control file");
        expect_same_text(c->tab, blank.tab, "tab text");
        expect_same_text(c->pfile, blank.pfile, "PFILE=");
        expect_same_text(c->ifile, blank.ifile, "IFILE=");
        expect_same_text(c->sfile, blank.sfile, "SFILE=");
        // Both conversions say how many values they wrote as missing: every "no answer".
        const std::string said = "Values declared missing in the SPSS file, written as missing: " +
                                 std::to_string(declared.no_answers) + "\n";
        EXPECT_EQ(c->screen, "Written: survey.txt\n" + said + "Written: survey.tsv\n" + said);
    }
    EXPECT_EQ(blank.screen, "Written: survey.txt\nWritten: survey.tsv\n");

    // The selection file shows what each variable declares missing.
    EXPECT_NE(single.selection.find("\r\nq1        ; F1.0        Missing values: 8\r\n"), std::string::npos)
        << single.selection;
    EXPECT_NE(ranges.selection.find("\r\nage       ; F3.0        Missing values: 90 THRU 120\r\n"), std::string::npos);
    EXPECT_NE(ranges.selection.find("\r\nq6        ; F1.0        Missing values: 8 THRU HI\r\n"), std::string::npos);
    EXPECT_NE(ranges.selection.find("\r\nregion    ; A12         Missing values: 'n/a', 'unknown'\r\n"),
              std::string::npos);
}
