// The measure files PFILE= and IFILE=: the fixed columns, the options that change values or
// headings, labels at the edges of the record, and reading a file back the way anchor files
// and the comparison of two measure files read it.
#include <gtest/gtest.h>

#include "engine/run/numtext.h"
#include "tests/engine/outfiles/outfile_data.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The records of a measure file written with its four heading lines.
std::vector<std::string> data_lines(const std::string& bytes) {
    std::vector<std::string> lines = crlf_lines(bytes);
    EXPECT_GE(lines.size(), 4u);
    return std::vector<std::string>(lines.begin() + std::min<std::ptrdiff_t>(4, std::ssize(lines)), lines.end());
}

std::string columns(const std::string& line, int from, int to) {
    return line.substr(static_cast<std::size_t>(from) - 1, static_cast<std::size_t>(to - from + 1));
}

// An anchor-file reading of one line: a ";" comments out the rest, double quotes and commas
// count as blanks, 80 characters are read.
bool read_anchor_line(std::string line, int& entry, float& value) {
    if (auto p = line.find(';'); p != std::string::npos) line.erase(p);
    for (char& c : line)
        if (c == '"' || c == ',') c = ' ';
    if (line.size() > 80) line.resize(80);
    int last = 0, status = 0;
    parse_numbers_in_line(line, entry, value, status, last);
    return status == 0 && entry > 0;
}

}  // namespace

TEST(MeasureFile, FixedRecordKeepsEveryColumnInPlace) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    std::vector<std::string> lines = data_lines(r.write(d, 'I'));
    ASSERT_EQ(lines.size(), 5u);
    const std::string& l = lines[1];  // item 2
    EXPECT_EQ(columns(l, 1, 1), " ");
    EXPECT_EQ(columns(l, 2, 6), "    2");
    EXPECT_EQ(columns(l, 7, 14), "   53.50");
    EXPECT_EQ(columns(l, 15, 17), "  1");
    EXPECT_EQ(columns(l, 18, 25), "     3.0");
    EXPECT_EQ(columns(l, 26, 34), "      6.0");
    EXPECT_EQ(columns(l, 35, 41), "   2.90");
    EXPECT_EQ(columns(l, 42, 48), "   1.34");
    EXPECT_EQ(columns(l, 49, 55), "   1.60");
    EXPECT_EQ(columns(l, 56, 62), "   1.50");
    EXPECT_EQ(columns(l, 63, 69), "   2.00");
    EXPECT_EQ(columns(l, 70, 76), "    .00");
    EXPECT_EQ(columns(l, 77, 83), "    .40");
    EXPECT_EQ(columns(l, 84, 90), "   1.00");
    EXPECT_EQ(l.substr(90), " B S Sleep");
    std::vector<std::string> persons = data_lines(r.write(d, 'P', "p.txt"));
    EXPECT_EQ(persons[0].substr(90), " P one");
}

TEST(MeasureFile, FourDecimalErrorsLoseDecimalsWhenTooWide) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.user_decimals = 7;  // more than 3: four decimals
    d.a.item_standard_error[1] = 123.4567f;
    d.a.item_standard_error[2] = 12.3456f;
    std::vector<std::string> lines = data_lines(r.write(d, 'I'));
    EXPECT_EQ(columns(lines[0], 7, 14), " -1.2300");
    EXPECT_EQ(columns(lines[0], 35, 41), "123.457");
    EXPECT_EQ(columns(lines[1], 35, 41), "12.3456");
    d.s.user_decimals = 0;
    lines = data_lines(r.write(d, 'I'));
    EXPECT_EQ(columns(lines[0], 7, 14), "      -1");
    EXPECT_EQ(columns(lines[0], 35, 41), "    123");
}

TEST(MeasureFile, OptionsChangeValuesAndColumnNames) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.real_error = 'Y';
    d.s.total_score = 'Y';
    d.s.point_biserial = 'Y';
    d.s.fit_word = " LOG";
    d.a.person_weights = {0.0f, 2.5f};  // only person 1 reaches the weights given
    std::vector<std::string> all = crlf_lines(r.write(d, 'P'));
    EXPECT_EQ(all[3], ";ENTRY MEASURE STTS COUNT    SCORE  ERROR IN.MSQ IN. LOG OUT.MS OUT. LOG DISPL PTBS WEIGHT NAME");
    // Person 1: S.E. .92 x sqrt(1.1); count and score under the total score; weight 2.5.
    EXPECT_EQ(all[4], "     1    1.00  1     4.0      3.0    .96   1.10    .40   1.20    .30    .00    .50   2.50 Ann");
    // Person 2 fits better than expected: the error stays.
    EXPECT_EQ(columns(all[5], 35, 41), "    .88");
    EXPECT_EQ(columns(all[5], 84, 90), "   1.00");
    d.s.csv = 'Y';
    all = crlf_lines(r.write(d, 'P'));
    EXPECT_EQ(all[3],
              R"(";","ENTRY","MEASURE","STATUS","COUNT","SCORE","ERROR","IN.MSQ","IN. LOG","OUT.MSQ","OUT. LOG","DISPLACE","PTBS","WEIGHT","NAME")");
}

TEST(MeasureFile, LabelsAtTheEdgesOfTheRecord) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.records.person_labels[1] = std::string(300, 'x');
    d.records.person_labels[2] = "   ";
    d.records.person_labels[3] = "  lead";
    std::vector<std::string> lines = data_lines(r.write(d, 'P'));
    EXPECT_EQ(lines[0].size(), 260u);
    EXPECT_EQ(lines[0].substr(91), std::string(169, 'x'));
    EXPECT_EQ(lines[1].size(), 90u);  // a blank label leaves no trailing blanks
    d.s.csv = 'Y';
    lines = data_lines(r.write(d, 'P'));
    EXPECT_EQ(lines[0].substr(lines[0].size() - 302), "\"" + std::string(300, 'x') + "\"");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 3), ",\"\"");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 9), ",\"  lead\"");
}

TEST(MeasureFile, ReadsBackAsAnAnchorFile) {
    // Measured and anchored persons are read with their measures; the commented-out extreme and
    // deleted persons and every heading line are skipped. Without heading lines nothing is
    // commented out, and the comma- and tab-separated files read like the fixed one.
    OutfileRun r;
    const std::vector<std::pair<int, float>> expected{{1, 1.0f}, {2, 0.0f}, {6, 0.75f}};
    const std::vector<std::pair<int, float>> every{{1, 1.0f}, {2, 0.0f},  {3, 3.21f},
                                                   {4, -2.5f}, {5, 0.0f}, {6, 0.75f}};
    for (auto [csv, hlines] : {std::pair{'N', 'Y'}, {'N', 'N'}, {'Y', 'N'}, {'T', 'N'}}) {
        OutfileData d = dichotomous_data();
        d.s.csv = csv;
        d.s.hlines = hlines;
        std::vector<std::pair<int, float>> read;
        for (const auto& line : crlf_lines(r.write(d, 'P'))) {
            int entry = 0;
            float value = 0;
            if (read_anchor_line(line, entry, value)) read.emplace_back(entry, value);
        }
        EXPECT_EQ(read, hlines == 'Y' ? expected : every) << csv;
    }
}

TEST(MeasureFile, ReadsBackPastFiveDigitEntryNumbers) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.hlines = 'N';
    d.a.person_measure = std::vector<float>(123457, -0.25f);
    d.a.person_status = std::vector<std::int8_t>(123457, 1);
    d.a.person_infit_zstd = d.a.person_outfit_zstd = std::vector<float>(123457, 0.0f);
    d.a.persons = 123456;
    d.records.person.resize(123457, PersonWorkFields{3, 1, .8f, 1, 1, 0, 0});
    d.records.person_labels.resize(123457, "P");
    std::vector<std::string> lines = crlf_lines(r.write(d, 'P'));
    ASSERT_EQ(lines.size(), 123456u);
    EXPECT_EQ(lines[99998].substr(0, 14), " 99999    -.25");
    EXPECT_EQ(lines[99999].substr(0, 15), " 100000    -.25");
    int entry = 0;
    float value = 0;
    ASSERT_TRUE(read_anchor_line(lines.back(), entry, value));
    EXPECT_EQ(entry, 123456);
    EXPECT_EQ(value, -0.25f);
}
