// The transformed data files of whole runs: simulated data analysed again recover the measures
// that generated them and follow the model of "S" groups; a Guttmanized file of 20,000 items
// two columns wide reads back field by field.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/engine/outfiles/outfile_data.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Control lines up to &END and the item labels, with the data in the file `data` when named.
std::string control(const std::string& settings, int items, const std::string& records,
                    const std::string& data = "") {
    std::string c = "TITLE=Transformed\nITEM1=1\nNAME1=" + std::to_string(items + 2) + "\nNAMLEN=5\n" + settings;
    if (!data.empty()) c += "DATA=" + data + "\n";
    c += "&END\n";
    for (int i = 1; i <= items; ++i) c += "I" + std::to_string(i) + "\n";
    return c + "END LABELS\n" + (data.empty() ? records : "");
}

// Responses of persons spread over -2..2 logits to items spread over -1.5..1.5 under the
// rating scale of the given steps.
std::string generated(int persons, int items, const std::vector<double>& steps, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out;
    for (int n = 0; n < persons; ++n) {
        const double b = -2.0 + 4.0 * (rng() % 1000) / 999.0;
        for (int i = 0; i < items; ++i) {
            const double d = b - (-1.5 + 3.0 * i / (items - 1));
            std::vector<double> p(steps.size() + 1, 1.0);
            double t = 0, sum = 1;
            for (std::size_t k = 1; k < p.size(); ++k) sum += p[k] = std::exp(t += d - steps[k - 1]);
            double u = (rng() % 1000000) / 1e6 * sum;
            int x = 0;
            while (x + 1 < static_cast<int>(p.size()) && (u -= p[static_cast<std::size_t>(x)]) > 0) ++x;
            out += static_cast<char>('0' + x);
        }
        out += " P" + std::to_string(10000 + n).substr(1) + "\n";
    }
    return out;
}

}  // namespace

TEST(TransformedFiles, SimulatedDataRecoverTheirItemMeasures) {
    // Forty items keep the estimation's own spread of the item measures (about L / (L - 1)) well
    // inside the tolerance.
    const int items = 40;
    const std::string settings = "NI=40\nCODES=01\nSIFILE=sim.txt\nUDECIM=4\n";
    SummaryRun first(control(settings, items, generated(2000, items, {0.0}, 7)));
    ASSERT_EQ(first.exit_status, 0) << first.host.screen();
    const std::string sim = read_file(first.dir.file("sim.txt"));
    EXPECT_EQ(crlf_lines(sim).size(), 2000u);  // one line per person
    write_file(first.dir.file("sim_data.txt"), sim);
    SummaryRun second(control("NI=40\nCODES=01\nUDECIM=4\n", items, "", first.dir.file("sim_data.txt")));
    ASSERT_EQ(second.exit_status, 0) << second.host.screen();
    const auto generating = first.items(), recovered = second.items();
    ASSERT_EQ(recovered.size(), 40u);
    for (std::size_t i = 0; i < recovered.size(); ++i)
        EXPECT_NEAR(recovered[i].measure, generating[i].measure, 3 * recovered[i].error) << i + 1;
}

TEST(TransformedFiles, SimulatedSuccessChainFollowsTheModel) {
    const int items = 5;
    SummaryRun r(control("NI=5\nCODES=0123\nMODELS=S\nSIFILE=sim.txt\nSFILE=s.txt\nUDECIM=4\n", items,
                         generated(800, items, {-1.0, 0.0, 1.0}, 11)));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    std::vector<double> steps{0.0};
    for (const std::string& l : crlf_lines(read_file(r.dir.file("s.txt"))))
        if (!l.empty() && l[0] != ';' && columns(l, 1, 3) != "0") steps.push_back(std::stod(columns(l, 5, 12)));
    ASSERT_EQ(steps.size(), 4u);
    const auto persons = r.persons(), item_rows = r.items();
    const std::vector<std::string> lines = crlf_lines(read_file(r.dir.file("sim.txt")));
    for (int i = 0; i < items; ++i) {
        double observed = 0, expected = 0, variance = 0;
        int n = 0;
        for (std::size_t p = 0; p < persons.size(); ++p) {
            if (persons[p].status < -1) continue;
            const double d = persons[p].measure - item_rows[static_cast<std::size_t>(i)].measure;
            // Success chain: category k passes steps 1..k and fails step k + 1.
            double chain = 1, e = 0, e2 = 0;
            for (int k = 0; k <= 3; ++k) {
                const double pass = k < 3 ? 1 / (1 + std::exp(steps[static_cast<std::size_t>(k) + 1] - d)) : 1.0;
                const double pk = chain * (k < 3 ? 1 - pass : 1.0);
                e += k * pk, e2 += k * k * pk;
                chain *= pass;
            }
            expected += e, variance += e2 - e * e, ++n;
            observed += lines[p][static_cast<std::size_t>(i)] - '0';
        }
        EXPECT_NEAR(observed / n, expected / n, 3 * std::sqrt(variance) / n) << "item " << i + 1;
    }
}

namespace {
// Scored responses held in memory, as the work files would give them.
class MatrixRecords : public FakeRecords {
public:
    std::vector<std::vector<std::uint8_t>> rows{{}};
    void person_scores(std::int32_t n, std::span<std::uint8_t> out) override {
        std::copy(rows.at(static_cast<std::size_t>(n)).begin(), rows.at(static_cast<std::size_t>(n)).end(), out.begin());
    }
};
}  // namespace

// Data records stop at 32,000 columns, so the 40,000 columns of 20,000 two-column responses are
// given to the writer directly; the file reads back field by field.
TEST(TransformedFiles, WideGuttmanizedFileReadsBack) {
    const int items = 20000, persons = 12;
    OutfileRun r;
    OutfileData d = dichotomous_data();
    AnalysisArrays& a = d.a;
    a.items = items;
    a.item_status.assign(items + 1, 1);
    a.item_group.assign(items + 1, 1);
    a.item_measure.assign(items + 1, 0.0f);
    for (int i = 1; i <= items; ++i) a.item_measure[static_cast<std::size_t>(i)] = 2.0f - 4.0f * i / items;
    a.persons = persons;
    a.person_status.assign(persons + 1, 1);
    MatrixRecords records;
    std::mt19937 rng(5);
    for (int n = 1; n <= persons; ++n) {
        records.person_labels.push_back("P" + std::to_string(100 + n));
        std::vector<std::uint8_t> row(items);
        for (int i = 0; i < items; ++i) row[static_cast<std::size_t>(i)] = (rng() % 100) < static_cast<unsigned>(20 + 5 * n + i / 400);
        if (n == 3) row[7] = 255;
        records.rows.push_back(row);
    }
    r.run.cv.item1 = 1, r.run.cv.xwide = 2, r.run.cv.ni = items, r.run.cv.name1 = 2 * items + 2, r.run.cv.namlen = 4;
    r.run.cv.codes = "0001", r.run.cv.g0zone = r.run.cv.g1zone = 50.0f;
    d.s.gufile = r.dir.file("gu.txt");
    OutputServices services{&records, &r.curves};
    find_output_file_kind('Y')->writer(r.run, d.s, a, services);
    const std::vector<std::string> gu = crlf_lines(read_file(r.dir.file("gu.txt")));
    ASSERT_EQ(gu.size(), static_cast<std::size_t>(persons));
    for (int n = 1; n <= persons; ++n) {
        const std::string& l = gu[static_cast<std::size_t>(n - 1)];
        ASSERT_EQ(l.size(), static_cast<std::size_t>(2 * items + 5));
        EXPECT_EQ(l.substr(2 * items + 1), records.person_labels[static_cast<std::size_t>(n)]);
        int changed = 0;
        for (int i = 0; i < items; ++i) {
            const std::string field = l.substr(static_cast<std::size_t>(2 * i), 2);
            const std::uint8_t x = records.rows[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)];
            if (x == 255) {
                EXPECT_EQ(field, ". ");
                continue;
            }
            ASSERT_TRUE(field == "00" || field == "01") << field;
            changed += field[1] - '0' != x;
        }
        EXPECT_LT(changed, items / 2);
    }
}
