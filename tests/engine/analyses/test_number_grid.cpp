// Numbers at every scale: over USCALE= 1, 10, 100, -100, UMEAN= 0 and 500 and UDECIMALS= 0-4,
// on data with a large DIF contrast and extreme persons, no number of Tables 30/31 or of the
// output files is lost to stars, Tables 30/31 show the same |t| whichever class is met first,
// the comma-separated measures are the logit values on the user's scale, and every measure file
// in each layout is read back whole by the comparison of two measure files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/outfiles/run_output_services.h"
#include "tests/engine/analyses/component_fixture.h"
#include "tests/engine/analyses/dif_fixture.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/shell/measure_file.h"
#include "tests/support/data_sets.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct GridPoint {
    int scale = 1, mean = 0, decimals = 2;
    std::string settings() const {
        return "USCALE=" + std::to_string(scale) + "\nUMEAN=" + std::to_string(mean) +
               "\nUDECIM=" + std::to_string(decimals) + "\n";
    }
    std::string name() const {
        return "USCALE=" + std::to_string(scale) + " UMEAN=" + std::to_string(mean) +
               " UDECIMALS=" + std::to_string(decimals);
    }
};

// 400 persons on 10 items; item 1 is three logits harder for class F, so that the contrast
// of item 1 has |t| above 10; the persons who answer every item either way are extreme.
// The items of odd numbers form class A for DPF=, the others class B.
std::string grid_set(const GridPoint& g, const std::string& more = "") {
    std::string control =
        planted_dif_set(400, 10, 1, 3.0, g.settings() + "DIF=$S1W1\nDPF=$S1W1\nSCFILE=sc.txt\nISFILE=is.txt\n" + more);
    for (int i = 1; i <= 10; ++i) {
        const std::string label = "\nQ" + std::to_string(i) + "\n";
        control.replace(control.find(label), label.size(), (i % 2 == 1 ? "\nA" : "\nB") + std::to_string(i) + "\n");
    }
    return control;
}

// The same data with the persons and the items in the reverse order: every class is met in the
// other order.
std::string reversed(const std::string& control) {
    std::istringstream in(control);
    std::vector<std::string> head, labels, records;
    std::string line;
    int part = 0;
    while (std::getline(in, line)) {
        if (part == 0) head.push_back(line);
        else if (part == 1 && line != "END LABELS") labels.push_back(line);
        else if (part == 2) records.push_back(line);
        if (line == "&END" || line == "END LABELS") ++part;
        if (line == "END LABELS") head.push_back("");  // the place of the labels
    }
    std::string out;
    for (const std::string& h : head) {
        if (!h.empty()) {
            out += h + "\n";
            continue;
        }
        for (auto l = labels.rbegin(); l != labels.rend(); ++l) out += *l + "\n";
        out += "END LABELS\n";
    }
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        const std::size_t blank = r->find(' ');
        out += std::string(r->rbegin() + static_cast<std::ptrdiff_t>(r->size() - blank), r->rend()) + r->substr(blank) + "\n";
    }
    return out;
}

// |t| of each pair row, keyed by the entry's label and the two class codes in either order.
std::map<std::string, double> absolute_t(const std::vector<DifRow>& rows) {
    std::map<std::string, double> t;
    for (const DifRow& r : rows) {
        if (!r.has_contrast) continue;
        const std::string a(trim(r.code1)), b(trim(r.code2));
        t[r.label + " " + std::min(a, b) + std::max(a, b)] = std::fabs(r.t);
    }
    return t;
}

// Stars in any line (Tables 30/31 and the files here show none: every whole number fits).
void expect_no_stars(const std::vector<std::string>& lines, const std::string& what) {
    for (const std::string& l : lines) EXPECT_EQ(l.find('*'), std::string::npos) << what << ": " << l;
}

std::vector<std::string> file_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(read_file(path));
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

// The comparison chart of two files by their measures.
std::vector<std::string> compare(SummaryRun& a, const std::string& left, const std::string& right) {
    a.run.rs.comparison = ComparisonSettings{'M', 'L', left, a.dir.file(left), right, a.dir.file(right)};
    a.host.line_file.clear();
    a.run.rep.request.table = 99;
    dispatch_output_request(a.run);
    return a.host.line_file;
}

// Measure and S.E. of every record of a comma-separated measure file, by entry.
std::map<int, std::pair<double, double>> csv_measures(const std::vector<std::string>& lines) {
    std::map<int, std::pair<double, double>> m;
    for (const std::string& l : lines) {
        const std::vector<std::string> f = split_fields(l, ',');
        if (f.size() < 14 || f[1].find_first_not_of("0123456789") != std::string::npos) continue;
        m[std::stoi(f[1])] = {std::stod(f[2]), std::stod(f[6])};
    }
    return m;
}

}  // namespace

TEST(NumberGrid, NoStarsSymmetricTAndCsvMeasuresOnTheUserScale) {
    SummaryRun logits(grid_set(GridPoint{1, 0, 4}));
    ASSERT_EQ(logits.exit_status, 0);
    const auto base = csv_measures(write_file_after_run(logits, 'P', 'Y', "base.csv"));
    ASSERT_EQ(base.size(), 400u);
    for (int scale : {1, 10, 100, -100}) {
        for (int mean : {0, 500}) {
            for (int decimals = 0; decimals <= 4; ++decimals) {
                const GridPoint g{scale, mean, decimals};
                SCOPED_TRACE(g.name());
                SummaryRun run(grid_set(g));
                ASSERT_EQ(run.exit_status, 0);

                const auto shown = csv_measures(write_file_after_run(run, 'P', 'Y', "p.csv"));
                ASSERT_EQ(shown.size(), base.size());
                const double rounding = 0.5 * std::pow(10.0, -decimals) + 0.00006 * std::abs(scale) + 1e-3;
                for (const auto& [entry, values] : shown) {
                    const auto& [measure, error] = base.at(entry);
                    EXPECT_NEAR(values.first, measure * scale + mean, rounding) << entry;
                    EXPECT_NEAR(values.second, error * std::abs(scale), rounding) << entry;
                }
                const std::vector<std::string> dif = table_after_run(run, "30");
                const std::vector<std::string> dpf = table_after_run(run, "31");
                expect_no_stars(dif, "Table 30");
                expect_no_stars(dpf, "Table 31");
                for (const char* file : {"p.txt", "i.txt", "sc.txt", "is.txt"}) expect_no_stars(file_lines(run.dir.file(file)), file);

                const std::vector<DifRow> rows = dif_rows(dif, 6);
                ASSERT_FALSE(rows.empty());
                const double largest = std::fabs(rows[0].t);
                EXPECT_GT(largest, 10.0);
                if (decimals == 2 || decimals == 4) {
                    SummaryRun other(reversed(grid_set(g)));
                    ASSERT_EQ(other.exit_status, 0);
                    for (const char* table : {"30", "31"}) {
                        const std::size_t cw = table[1] == '0' ? 6 : 5;
                        const auto a = absolute_t(dif_rows(table_after_run(run, table), cw));
                        const auto b = absolute_t(dif_rows(table_after_run(other, table), cw));
                        ASSERT_EQ(a.size(), b.size()) << table;
                        ASSERT_FALSE(a.empty()) << table;
                        // Within the printed decimals: one of them may show one decimal fewer.
                        for (const auto& [key, t] : a) EXPECT_NEAR(b.at(key), t, 0.06) << table << " " << key;
                    }
                }

            }
        }
    }
}

TEST(NumberGrid, EveryMeasureFileInEachLayoutIsReadBackWhole) {
    for (int scale : {1, 10, 100, -100}) {
        for (int mean : {0, 500}) {
            for (int decimals = 0; decimals <= 4; decimals += 2) {
                const GridPoint g{scale, mean, decimals};
                SCOPED_TRACE(g.name());
                SummaryRun run(grid_set(g, "HLINES=Y\n"));
                ASSERT_EQ(run.exit_status, 0);
                for (const char code : {'P', 'I'}) {
                    const std::string fixed = code == 'P' ? "p.txt" : "i.txt";
                    const std::vector<MeasureRecord> records = code == 'P' ? run.persons() : run.items();
                    ASSERT_FALSE(records.empty());
                    for (const char csv : {'N', 'Y', 'T'}) {
                        const std::string name = std::string(1, code) + csv + ".txt";
                        write_file_after_run(run, code, csv, name);
                        for (const std::string& right : {name, fixed}) {
                            const std::vector<std::string> chart = compare(run, name, right);
                            ASSERT_EQ(chart.size(), records.size() + 5) << name << " against " << right;
                            for (std::size_t k = 0; k < records.size(); ++k) {
                                const std::string number = std::to_string(records[k].entry);
                                EXPECT_NE(chart[k + 4].find(" " + number + "  " + records[k].label + " "), std::string::npos)
                                    << name << ": " << chart[k + 4];
                            }
                        }
                    }
                }
            }
        }
    }
}
