// The data-level output files of whole runs of the shared data sets: byte for byte in fixed and
// comma-separated form, and against what the data and the measure files say.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

const char* kAllFiles = "RFILE=r.txt\nXFILE=x.txt\nSCFILE=c.txt\nDISFILE=d.txt\nGUFILE=y.txt\nSIFILE=z.txt\n"
                        "SFILE=s.txt\nUDECIM=4\nTABLES=00000000000000000001\n";

std::string control(const std::string& set, const std::string& settings) {
    return set == "dich" ? dichotomous_set(settings) : rating_scale_set(settings);
}

std::vector<std::string> file_lines(const SummaryRun& r, const std::string& name) {
    return crlf_lines(read_file(r.dir.file(name)));
}

double number(const std::string& line, std::size_t first, std::size_t last) {
    return std::stod(columns(line, first, last));
}

}  // namespace

TEST(DataFiles, GoldenFilesInFixedAndCommaForm) {
    for (const std::string set : {"dich", "rating"}) {
        for (const std::string csv : {"N", "Y"}) {
            SummaryRun r(control(set, std::string(kAllFiles) + "CSV=" + csv + "\n"));
            ASSERT_EQ(r.exit_status, 0) << r.host.screen();
            EXPECT_FALSE(r.shows("PROBLEM")) << r.host.screen();
            const std::string codes = csv == "N" ? "RXCDYZ" : "XCD";
            for (char code : codes) {
                const std::string name = std::string(1, static_cast<char>(std::tolower(code))) + ".txt";
                if (set == "rating" && code == 'Y') {
                    EXPECT_FALSE(file_exists(r.dir.file(name)));
                    EXPECT_TRUE(r.shows(" Data must be only scored 0 & 1 to be Guttmanized."));
                    continue;
                }
                expect_golden("outfiles/data_" + set + "_" + code + "_" + csv + ".txt",
                              normalise_report(read_file(r.dir.file(name)), "", ""));
            }
        }
    }
}

// Every XFILE= line of a rating-scale run against the model computed here from the measure and
// step files: expectation, variance, residuals and log-probability, under "R" and under "F".
// Under "F" the residual is the fit's, over the steps the response attempted (the top one down
// to the one passed), and the log-probability that of the category under the failure chain.
TEST(DataFiles, ObservationValuesAgreeWithTheModel) {
    for (const std::string models : {"", "MODELS=F\n"}) {
        SummaryRun r(rating_scale_set(std::string(kAllFiles) + models));
        ASSERT_EQ(r.exit_status, 0) << r.host.screen();
        const auto persons = r.persons();
        const auto items = r.items();
        std::vector<double> steps(1, 0.0);
        for (const std::string& l : file_lines(r, "s.txt"))
            if (!l.empty() && l[0] != ';') steps.push_back(number(l, 5, 12));
        steps.erase(steps.begin() + 1);  // category 0 has no step
        const std::vector<std::string> x = file_lines(r, "x.txt");
        int lines = 0, expected_lines = 0;
        for (const auto& p : persons) expected_lines += p.status >= -2 ? static_cast<int>(items.size()) : 0;
        for (std::size_t k = 2; k < x.size(); ++k) {
            const std::string& l = x[k];
            if (l.empty()) continue;
            ++lines;
            const int pn = std::stoi(columns(l, 1, 7)), in = std::stoi(columns(l, 8, 14));
            const int ord = std::stoi(columns(l, 19, 22));
            if (ord < 0) continue;
            const double d = persons[pn - 1].measure - items[in - 1].measure;
            EXPECT_NEAR(number(l, 51, 57), d, 0.006) << l;
            const int m = 3;
            double e = 0, v = 0;
            std::vector<double> p(m + 1);
            if (models.empty()) {
                double sum = 0, t = 0;
                for (int c = 0; c <= m; ++c) sum += p[c] = std::exp(t += c ? d - steps[c] : 0.0);
                for (int c = 0; c <= m; ++c) p[c] /= sum, e += c * p[c], v += c * c * p[c];
                v -= e * e;
            } else {
                double sum = 0;
                for (int c = 0; c <= m; ++c) {
                    p[c] = 1;
                    for (int j = 1; j <= m; ++j) {
                        const double pass = 1 / (1 + std::exp(steps[j] - d));
                        p[c] *= j > c ? 1 - pass : j == c ? pass : 1;
                    }
                    sum += p[c];
                }
                for (int c = 0; c <= m; ++c) p[c] /= sum;
                for (int c = std::max(ord, 1); c <= m; ++c) {
                    const double pass = 1 / (1 + std::exp(steps[c] - d));
                    e += pass, v += pass * (1 - pass);
                }
            }
            const double r_value = models.empty() || ord == 0 ? ord : 1.0;
            const double shown = e + (models.empty() || ord == 0 ? 0 : ord - 1);
            EXPECT_NEAR(number(l, 23, 29), shown, 0.003) << l;
            EXPECT_NEAR(number(l, 30, 36), v, 0.003) << l;
            EXPECT_NEAR(number(l, 44, 50), r_value - e, 0.003) << l;
            const double z = (r_value - e) / std::sqrt(v);
            EXPECT_NEAR(number(l, 37, 43), z, 0.01 * std::max(1.0, std::fabs(z))) << l;
            EXPECT_NEAR(number(l, 58, 67), std::log(p[ord]), 0.01) << l;
        }
        EXPECT_EQ(lines, expected_lines);
    }
}

// SCFILE=: the frequencies count the persons with measures, the measures are those of Table 20
// (four decimals).
TEST(DataFiles, ScoreFileMatchesTable20AndThePersons) {
    for (const std::string set : {"dich", "rating"}) {
        SummaryRun r(control(set, kAllFiles));
        ASSERT_EQ(r.exit_status, 0);
        int counted = 0;
        for (const auto& p : r.persons()) counted += p.status >= -1;
        std::map<int, std::string> grid;  // score -> measure text of Table 20.1
        for (const std::string& l : table_block(r.report(), "20.1"))
            for (std::size_t at = 1; at + 24 <= l.size() && l[0] == '|'; at += 25)
                if (!columns(l, at + 1, at + 6).empty() && std::isdigit(static_cast<unsigned char>(columns(l, at + 1, at + 6)[0])))
                    grid[std::stoi(columns(l, at + 1, at + 6))] = columns(l, at + 8, at + 15);
        int total = 0;
        std::string last;
        int rows = 0;
        for (const std::string& l : file_lines(r, "c.txt")) {
            if (l.empty() || l[0] == ';') continue;
            ++rows;
            total += std::stoi(columns(l, 44, 49));
            // The same searched measure; the report's number text may round a last digit that
            // lies on a half the other way.
            EXPECT_NEAR(number(l, 8, 15), std::stod(grid[std::stoi(columns(l, 1, 6))]), 0.00011) << l;
            const int percentile = std::stoi(columns(l, 76, 78));
            if (std::stoi(columns(l, 44, 49)) > 0) {
                EXPECT_TRUE(percentile >= 1 && percentile <= 99) << l;
            }
            last = l;
        }
        EXPECT_EQ(rows, static_cast<int>(grid.size()));
        EXPECT_EQ(total, counted);
        EXPECT_EQ(columns(last, 65, 69), "100.0");
    }
}

// DISFILE=: one row per code and item, the counts and mean measures from the data and PFILE=.
TEST(DataFiles, DistractorCountsAgreeWithTheData) {
    SummaryRun r(rating_scale_set(kAllFiles));
    ASSERT_EQ(r.exit_status, 0);
    const auto persons = r.persons();
    const auto codes = r.codes();
    std::map<std::pair<int, int>, std::pair<int, double>> counted;  // (item, code) -> count, sum
    for (std::size_t p = 0; p < codes.size(); ++p)
        for (std::size_t i = 0; i < codes[p].size(); ++i) {
            auto& c = counted[{static_cast<int>(i) + 1, codes[p][i]}];
            ++c.first;
            c.second += persons[p].measure;
        }
    int rows = 0;
    for (const std::string& l : file_lines(r, "d.txt")) {
        if (l.empty() || columns(l, 1, 10) == "ITEM") continue;
        ++rows;
        const int item = std::stoi(columns(l, 1, 10));
        const std::string code = columns(l, 12, 20);
        const int c = code == "MISSING" ? 0 : std::stoi(code) + 1;
        const auto found = counted[{item, c}];
        EXPECT_EQ(std::stoi(columns(l, 31, 40)), found.first) << l;
        if (found.first > 0) {
            EXPECT_NEAR(number(l, 71, 80), found.second / found.first, 0.006) << l;
        }
    }
    int missing_rows = 0;
    for (const auto& [key, value] : counted) missing_rows += key.second == 0;
    EXPECT_EQ(rows, 6 * 4 + missing_rows);
}

// An XFILE= that cannot be written is reported; the run and its Tables go on, and the run
// ends as failed.
TEST(DataFiles, UnwritableObservationFileEndsOnlyThatFile) {
    ScratchDir dir;
    write_file(dir.file("c.txt"), dichotomous_set("XFILE=no/such/folder/x.txt\nTABLES=00000000000000000001\n"));
    const ProgramResult r = run_korvelan(dir.path, {"c.txt", "out.txt", "BATCH=Y"}, dir.path);
    EXPECT_EQ(r.exit_status, 1) << r.screen;
    EXPECT_NE(r.screen.find("PROBLEM"), std::string::npos) << r.screen;
    EXPECT_FALSE(table_block(read_file(dir.file("out.txt")), "20.1").empty());
}
