// End-to-end estimation runs in batch mode: every model runs to its end with the iteration
// boxes, the summary and the end-of-run listing; with tight limits the printed measures solve
// the estimation equations; user scaling, iteration limits and "Finish iterating" behave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>

#include "tests/shell/estimation_run_checks.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// A hand-made data set: responses in columns 1..NI (one digit each), the name after a blank.
struct Design {
    std::string title;
    std::string codes;
    std::vector<std::string> controls;  // further control lines, e.g. "GROUPS=0"
    std::string groups;                 // per item; empty: one scale for all; "0": one per item
    std::string models;                 // per item; empty: "R" throughout
    std::vector<std::string> records;
    int measured_persons = 0;
    int ni() const { return static_cast<int>(records.front().find(' ')); }
};

// Seven pupils on five tasks; the seventh answers every task right.
Design dichotomous() {
    return {"Dichotomous tasks",
            "01",
            {},
            "",
            "",
            {"11000 P1", "10100 P2", "11100 P3", "01010 P4", "11011 P5", "10001 P6", "11111 P7"},
            6};
}

// A five-point scale whose bottom code 1 is never used; respondent I gives the top everywhere.
Design five_point(std::vector<std::string> controls = {}, std::string groups = "",
                  std::string models = "") {
    return {"Five-point scale, bottom code unused",
            "12345",
            std::move(controls),
            std::move(groups),
            std::move(models),
            {"2345 A", "3342 B", "4453 C", "2234 D", "5544 E", "3323 F", "4532 G", "2423 H", "5555 I"},
            8};
}

// Three scales of two items each, one per model.
Design mixed_groups() {
    return {"Groups and models",
            "0123",
            {"GROUPS=AABBCC", "MODELS=RRSSFF"},
            "AABBCC",
            "RRSSFF",
            {"012301 P1", "102313 P2", "231023 P3", "120132 P4", "321203 P5", "013221 P6", "222112 P7",
             "303030 P8", "112233 P9", "330011 PA"},
            10};
}

std::string control_text(const Design& d) {
    std::string t = "; " + d.title + "\r\nTITLE=" + d.title + "\r\nNI=" + std::to_string(d.ni()) +
                    "\r\nITEM1=1\r\nNAME1=" + std::to_string(d.ni() + 2) + "\r\nCODES=" + d.codes +
                    "\r\nPFILE=p.txt\r\nIFILE=i.txt\r\nSFILE=s.txt\r\n";
    for (const auto& c : d.controls) t += c + "\r\n";
    t += "&END\r\n";
    for (int i = 1; i <= d.ni(); ++i) t += "Q" + std::to_string(i) + "\r\n";
    t += "END LABELS\r\n";
    for (const auto& r : d.records) t += r + "\r\n";
    return t;
}

struct EstimationRuns : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    ProgramResult run(const Design& d, std::vector<std::string> args = {}) {
        write_file(dir.file("run.txt"), control_text(d));
        args.insert(args.begin(), {"run.txt", "run.out"});
        args.push_back("BATCH=Y");
        return run_korvelan(dir.path, args, temp.path, 60);
    }
    std::string report() { return read_file(dir.file("run.out")); }
    bool work_files_left() {
        auto names = list_dir(temp.path);
        return std::any_of(names.begin(), names.end(),
                           [](const std::string& n) { return n.size() == 12 && n.substr(6) == "kv.txt"; });
    }
};

// Scale key of each item: one for all, one per item, or the GROUPS= letter.
std::string scale_key(const Design& d, int i) {
    if (d.groups.empty()) return "1";
    if (d.groups == "0") return "item" + std::to_string(i);
    return std::string(1, d.groups[i - 1]);
}

// Everything the independent check needs from the output files of a USCALE=100 run: measures
// as printed (logits x 100), the category values and steps (in logits) of each scale.
struct Fitted {
    std::vector<MeasureRecord> persons, items;
    std::map<std::string, std::vector<int>> values;  // category values of each scale, in order
    std::map<std::string, std::vector<double>> steps;
};

constexpr double kScale = 100.0;

Fitted read_fitted(const Design& d, const ScratchDir& dir) {
    Fitted f;
    f.persons = read_measure_file(dir.file("p.txt"));
    f.items = read_measure_file(dir.file("i.txt"));
    std::map<std::string, int> first_item;  // several scales: each is listed for all its items
    for (const StepLine& s : read_step_file(read_file(dir.file("s.txt")))) {
        const std::string key = s.item == 0 ? "1" : scale_key(d, s.item);
        if (first_item.emplace(key, s.item).first->second != s.item) continue;
        f.values[key].push_back(s.category);
        f.steps[key].push_back(s.value / kScale);
    }
    return f;
}

// The model letter of item i.
char model_of(const Design& d, int i) { return d.models.empty() ? 'R' : d.models[i - 1]; }

// Sums of one person (item == 0) over the measured items, of one item (person == 0) over the
// measured persons, or of one response (both given).
ScoreTerm totals(const Design& d, const Fitted& f, int person, int item) {
    ScoreTerm sum;
    for (int n = 1; n <= static_cast<int>(d.records.size()); ++n) {
        if (person != 0 && n != person) continue;
        if (person == 0 && f.persons[n - 1].status != 1) continue;
        for (int i = 1; i <= d.ni(); ++i) {
            if ((item != 0 && i != item) || (item == 0 && f.items[i - 1].status != 1)) continue;
            const std::string key = scale_key(d, i);
            const std::vector<int>& values = f.values.at(key);
            const int value = d.records[n - 1][i - 1] - '0';
            const int category = static_cast<int>(std::find(values.begin(), values.end(), value) - values.begin());
            std::vector<double> steps = f.steps.at(key);
            steps[0] = 0.0;
            const ScoreTerm t = score_term(model_of(d, i), steps,
                                           (f.persons[n - 1].measure - f.items[i - 1].measure) / kScale,
                                           category);
            sum.expected += t.expected, sum.observed += t.observed, sum.maximum += t.maximum;
            sum.variance += t.variance, sum.residual_variance += t.residual_variance;
        }
    }
    return sum;
}

// The score the estimation aims at: observed, kept 0.3 inside the extremes.
double target(const ScoreTerm& t) { return std::min(std::max(t.observed, 0.3), t.maximum - 0.3); }

// Fields of a convergence row as numbers (the frame removed).
std::vector<double> row_fields(std::string row) {
    std::replace(row.begin(), row.end(), '|', ' ');
    std::replace(row.begin(), row.end(), '*', ' ');
    std::istringstream in(row);
    std::vector<double> out;
    for (double v; in >> v;) out.push_back(v);
    return out;
}

struct ModelCase {
    const char* name;
    Design design;
    const char* listing;  // the GROUPS= line of the end-of-run listing, "" none
};

std::vector<ModelCase> model_cases() {
    return {{"Dichotomous", dichotomous(), ""},
            {"SharedRatingScale", five_point(), ""},
            {"OneScalePerItem", five_point({"GROUPS=0"}, "0"), "GROUPS = 0"},
            {"SuccessChain", five_point({"MODELS=S"}, "", "SSSS"), ""},
            {"FailureChain", five_point({"MODELS=F"}, "", "FFFF"), ""},
            {"MixedGroupsAndModels", mixed_groups(), "GROUPS = AABBCC"}};
}

void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.name; }

struct ModelRuns : EstimationRuns, ::testing::WithParamInterface<ModelCase> {};

TEST_P(ModelRuns, RunToTheirEndWithBoxesSummaryAndListing) {
    const ModelCase& c = GetParam();
    ProgramResult r = run(c.design);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::string rep = report();
    for (const std::string text : {"|    PROX          ACTIVE COUNT       EXTREME 5 RANGE      MAX LOGIT CHANGE  |",
                                    "|    UCON     MAX SCORE   MAX LOGIT    LEAST CONVERGED     CATEGORY    STEP  |",
                                    "+----------------------------------------------------------------------------+"}) {
        EXPECT_NE(rep.find("\r\n" + text + "\r\n"), std::string::npos) << text;
        EXPECT_NE(r.screen.find("\n" + text + "\n"), std::string::npos) << text;
    }
    EXPECT_NE(rep.find("\r\n                             CONVERGENCE TABLE\r\n"), std::string::npos);
    EXPECT_FALSE(convergence_rows(rep, "PROX").empty());
    const std::vector<std::string> ucon = convergence_rows(rep, "UCON");
    EXPECT_FALSE(ucon.empty());
    // Without free steps the row stops after the item: iteration, residual, change, person, item.
    for (const std::string& row : ucon)
        EXPECT_TRUE(c.design.codes != "01" || row_fields(row).size() == 5u) << row;
    EXPECT_NE(rep.find("\r\nStandardized Residuals N(0,1)  Mean: "), std::string::npos);
    EXPECT_NE(r.screen.find("\nStandardized Residuals N(0,1)  Mean: "), std::string::npos);
    for (const char* text : {"| REAL RMSE ", " SEPARATION ", " PERSON RELIABILITY ", " ITEM   RELIABILITY "})
        EXPECT_NE(r.screen.find(text), std::string::npos) << text;
    EXPECT_NE(r.screen.find("\n CODES = " + c.design.codes + "\n"), std::string::npos);
    if (*c.listing) EXPECT_NE(r.screen.find(std::string("\n") + c.listing + "\n"), std::string::npos);
    else EXPECT_EQ(r.screen.find("GROUPS ="), std::string::npos);
    EXPECT_NE(r.screen.find("\nMeasures constructed: use \"Diagnosis\" and \"Output Tables\" menus"),
              std::string::npos);
    EXPECT_FALSE(work_files_left());
}

TEST_P(ModelRuns, TightLimitsSolveTheEstimationEquations) {
    const ModelCase& c = GetParam();
    const Design& d = c.design;
    ProgramResult r = run(d, {"LCONV=.0001", "RCONV=.0001", "USCALE=100"});
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    ASSERT_NE(read_file(dir.file("p.txt")).find(kMeasureFileColumns), std::string::npos);
    const Fitted f = read_fitted(d, dir);
    ASSERT_EQ(f.persons.size(), d.records.size());
    ASSERT_EQ(f.items.size(), static_cast<std::size_t>(d.ni()));

    // The category values of every scale are those its items' data use, in order.
    for (auto& [key, values] : f.values) {
        std::set<int> used;
        for (int i = 1; i <= d.ni(); ++i)
            if (scale_key(d, i) == key)
                for (const auto& rec : d.records) used.insert(rec[i - 1] - '0');
        EXPECT_EQ(values, std::vector<int>(used.begin(), used.end())) << key;
    }
    // Steps of each scale sum to 0 (within the print rounding of each).
    for (auto& [key, steps] : f.steps) {
        double sum = 0.0;
        for (std::size_t k = 1; k < steps.size(); ++k) sum += steps[k];
        EXPECT_NEAR(sum, 0.0, 0.00006 * steps.size()) << key;
    }
    // Items are centred: their mean is 0 within print rounding.
    double item_sum = 0.0;
    int measured_items = 0, measured_persons = 0;
    for (const auto& it : f.items)
        if (it.status == 1) item_sum += it.measure, ++measured_items;
    ASSERT_EQ(measured_items, d.ni());
    EXPECT_NEAR(item_sum / measured_items, 0.0, 0.006);

    // Each measured and extreme person, and each item, has its expected score at the target.
    for (int n = 1; n <= static_cast<int>(d.records.size()); ++n) {
        const MeasureRecord& p = f.persons[n - 1];
        if (p.status == 1) ++measured_persons;
        EXPECT_EQ(p.commented, p.status != 1) << "person " << n;
        const ScoreTerm t = totals(d, f, n, 0);
        EXPECT_NEAR(t.expected, target(t), 0.002) << "person " << n << " status " << p.status;
    }
    EXPECT_EQ(measured_persons, d.measured_persons);
    for (int i = 1; i <= d.ni(); ++i) {
        const ScoreTerm t = totals(d, f, 0, i);
        EXPECT_NEAR(t.expected, t.observed, 0.002) << "item " << i;
    }

    // Mean and S.D. of the standardized residuals of the measured persons on measured items.
    double count = 0.0, sum = 0.0, squares = 0.0;
    for (int n = 1; n <= static_cast<int>(d.records.size()); ++n)
        for (int i = 1; i <= d.ni(); ++i) {
            if (f.persons[n - 1].status != 1) continue;
            const ScoreTerm t = totals(d, f, n, i);
            const double z = (t.observed - t.expected) / std::sqrt(t.residual_variance);
            count += 1.0, sum += z, squares += z * z;
        }
    const double mean = sum / count, sd = std::sqrt(squares / count - mean * mean);
    const std::smatch m = [&] {
        std::smatch found;
        std::regex_search(r.screen, found, std::regex(R"(\nStandardized Residuals N\(0,1\)  Mean: (\S+) S\.D\.: (\S+)\n)"));
        return found;
    }();
    ASSERT_EQ(m.size(), 3u) << r.screen;
    EXPECT_NEAR(std::strtod(m[1].str().c_str(), nullptr), mean, 0.006);
    EXPECT_NEAR(std::strtod(m[2].str().c_str(), nullptr), sd, 0.006);
}

INSTANTIATE_TEST_SUITE_P(Models, ModelRuns, ::testing::ValuesIn(model_cases()),
                         [](const ::testing::TestParamInfo<ModelCase>& info) { return info.param.name; });


std::string i7(int n) {
    std::string t = std::to_string(n);
    return std::string(7 - t.size(), ' ') + t;
}

TEST_F(EstimationRuns, ExtremePersonIsInputButNotMeasuredAndSitsAtMaximumLessPointThree) {
    for (const Design& d : {dichotomous(), five_point()}) {
        SCOPED_TRACE(d.title);
        ProgramResult r = run(d, {"LCONV=.0001", "RCONV=.0001", "USCALE=100"});
        ASSERT_EQ(r.exit_status, 0) << r.screen;
        const int n = static_cast<int>(d.records.size());
        EXPECT_NE(r.screen.find("| PERSONS " + i7(n) + " INPUT " + i7(n - 1) + " MEASURED"),
                  std::string::npos)
            << r.screen;
        const Fitted f = read_fitted(d, dir);
        const MeasureRecord& extreme = f.persons.back();
        EXPECT_TRUE(extreme.commented);
        EXPECT_EQ(extreme.status, 0);
        ASSERT_TRUE(std::isfinite(extreme.measure));
        for (const MeasureRecord& p : f.persons)
            EXPECT_TRUE(p.status != 1 || p.measure < extreme.measure) << p.entry;
        // Bisection for the measure whose expected score is the maximum less 0.3.
        Fitted g = f;
        double low = -30.0, high = 30.0;
        for (int step = 0; step < 60; ++step) {
            const double mid = 0.5 * (low + high);
            g.persons.back().measure = mid * kScale;
            const ScoreTerm t = totals(d, g, n, 0);
            (t.expected < t.maximum - 0.3 ? low : high) = mid;
        }
        EXPECT_NEAR(extreme.measure / kScale, low, 0.002);
    }
}

// Mean and S.D. of the measures, and the reliability row, recomputed from the measure file.
struct Spread {
    double mean = 0.0, sd = 0.0, rmse = 0.0, adj_sd = 0.0, separation = 0.0, reliability = 0.0;
};

Spread spread_of_measured(const std::vector<MeasureRecord>& lines) {
    double n = 0.0, sum = 0.0, squares = 0.0, error_squares = 0.0;
    for (const MeasureRecord& m : lines) {
        if (m.status != 1) continue;
        const double real_error = m.error * std::sqrt(std::max(m.fit[0], 1.0));
        n += 1.0, sum += m.measure, squares += m.measure * m.measure;
        error_squares += real_error * real_error;
    }
    Spread s;
    s.mean = sum / n;
    s.sd = std::sqrt(std::max(squares / n - s.mean * s.mean, 0.0));
    s.rmse = std::sqrt(error_squares / n);
    const double true_variance = s.sd * s.sd - s.rmse * s.rmse;
    if (true_variance > 0.0) {
        s.adj_sd = std::sqrt(true_variance);
        s.separation = s.adj_sd / s.rmse;
        s.reliability = true_variance / (s.sd * s.sd);
    }
    return s;
}

TEST_F(EstimationRuns, SummaryBoxAgreesWithTheMeasureFiles) {
    // Persons spread more than their errors; the four items do not (true variance below 0).
    ProgramResult r = run(five_point(), {"LCONV=.0001", "RCONV=.0001", "USCALE=100"});
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::pair<const char*, const char*> sides[] = {{"PERSONS", "p.txt"}, {"ITEMS", "i.txt"}};
    for (const auto& [block, file] : sides) {
        SCOPED_TRACE(block);
        const Spread s = spread_of_measured(read_measure_file(dir.file(file)));
        EXPECT_NEAR(summary_number(r.screen, block, "MEAN", 2), s.mean, 0.006);
        EXPECT_NEAR(summary_number(r.screen, block, "S.D.", 2), s.sd, 0.006);
        const std::vector<double> row = reliability_row(r.screen, block);
        ASSERT_EQ(row.size(), 4u) << r.screen;
        EXPECT_NEAR(row[0], s.rmse, 0.02);
        EXPECT_NEAR(row[1], s.adj_sd, 0.02);
        EXPECT_NEAR(row[2], s.separation, 0.006);
        EXPECT_NEAR(row[3], s.reliability, 0.006);
    }
    const Spread items = spread_of_measured(read_measure_file(dir.file("i.txt")));
    EXPECT_GT(items.rmse, items.sd);
    EXPECT_EQ(reliability_row(r.screen, "ITEMS")[3], 0.0);
    EXPECT_GT(reliability_row(r.screen, "PERSONS")[3], 0.3);
}

TEST_F(EstimationRuns, UserScalingPutsTheOriginOnItemsOrOnPersons) {
    const Design d = five_point();
    ProgramResult plain = run(d);
    ASSERT_EQ(plain.exit_status, 0) << plain.screen;
    const double person_mean = summary_number(plain.screen, "PERSONS", "MEAN", 2);
    const double person_error = summary_number(plain.screen, "PERSONS", "MEAN", 3);
    EXPECT_EQ(summary_number(plain.screen, "ITEMS", "MEAN", 2), 0.0);
    ASSERT_GT(std::abs(person_mean), 0.1);  // the data leave the persons off centre

    ProgramResult scaled = run(d, {"UMEAN=50", "USCALE=10"});
    ASSERT_EQ(scaled.exit_status, 0) << scaled.screen;
    EXPECT_NE(scaled.screen.find("       50.00 "), std::string::npos);
    EXPECT_EQ(summary_number(scaled.screen, "ITEMS", "MEAN", 2), 50.0);
    EXPECT_NEAR(summary_number(scaled.screen, "PERSONS", "MEAN", 2), 50.0 + 10.0 * person_mean, 0.06);
    EXPECT_NEAR(summary_number(scaled.screen, "PERSONS", "MEAN", 3), 10.0 * person_error, 0.06);

    ProgramResult on_persons = run(d, {"UPMEAN=0"});
    ASSERT_EQ(on_persons.exit_status, 0) << on_persons.screen;
    EXPECT_EQ(summary_number(on_persons.screen, "PERSONS", "MEAN", 2), 0.0);
    EXPECT_NEAR(summary_number(on_persons.screen, "ITEMS", "MEAN", 2), -person_mean, 0.011);
}

TEST_F(EstimationRuns, IterationLimitsShapeTheConvergenceTable) {
    const Design d = five_point();
    const std::string closing = "+----------------------------------------------------------------------------+";
    {
        SCOPED_TRACE("default limits; the bottom code is never used");
        ASSERT_EQ(run(d).exit_status, 0);
        const std::vector<std::string> rows = convergence_rows(report(), "PROX");
        ASSERT_GE(rows.size(), 2u);
        // The empty slot of the unused bottom code is left out from the first iteration on.
        EXPECT_EQ(row_fields(rows[0]), (std::vector<double>{1, 9, 4, 4, 2.25, .37, 1.6094, -.1839}));
        for (std::size_t k = 1; k < rows.size(); ++k) {
            EXPECT_EQ(row_fields(rows[k])[2], 4.0) << rows[k];  // items
            EXPECT_EQ(row_fields(rows[k])[3], 4.0) << rows[k];  // active categories
        }
    }
    {
        SCOPED_TRACE("MUCON=1");
        ProgramResult r = run(d, {"MUCON=1"});
        ASSERT_EQ(r.exit_status, 0);
        EXPECT_EQ(convergence_rows(report(), "UCON").size(), 1u);
        EXPECT_EQ(convergence_rows(r.screen, "UCON").size(), 1u);
    }
    {
        SCOPED_TRACE("MUCON=-1");
        ProgramResult r = run(d, {"MUCON=-1"});
        ASSERT_EQ(r.exit_status, 0);
        const std::string rep = report();
        EXPECT_EQ(rep.find("|    UCON "), std::string::npos);
        EXPECT_EQ(r.screen.find("|    UCON "), std::string::npos);
        const std::vector<std::string> rows = convergence_rows(rep, "PROX");
        ASSERT_FALSE(rows.empty());
        EXPECT_NE(rep.find(rows.back() + "\r\n" + closing + "\r\n"), std::string::npos);
        EXPECT_NE(r.screen.find("\nMeasures constructed"), std::string::npos);
    }
    {
        // The first iteration and the closing one always run; one more where a status changed.
        SCOPED_TRACE("MPROX=1");
        ASSERT_EQ(run(d, {"MPROX=1"}).exit_status, 0);
        EXPECT_EQ(convergence_rows(report(), "PROX").size(), 3u);  // respondent I leaves in 1
        ASSERT_EQ(run(mixed_groups(), {"MPROX=1"}).exit_status, 0);
        EXPECT_EQ(convergence_rows(report(), "PROX").size(), 2u);  // no extremes
    }
    {
        SCOPED_TRACE("MPROX=0 in batch mode stops when the ranges settle");
        ProgramResult r = run(d, {"MPROX=0"});
        ASSERT_EQ(r.exit_status, 0) << r.screen.substr(0, 2000);
        const std::size_t rows = convergence_rows(report(), "PROX").size();
        EXPECT_GE(rows, 2u);
        EXPECT_LT(rows, 20u);
        EXPECT_FALSE(convergence_rows(report(), "UCON").empty());
    }
}

TEST_F(EstimationRuns, CtrlCFinishesProxIteratingAndTheRunGoesOn) {
    // Without batch mode and without a PROX limit only "Finish iterating" ends PROX.
    write_file(dir.file("run.txt"), control_text(five_point()));
    ProgramResult r = run_korvelan_interrupting(dir.path, {"run.txt", "run.out", "MPROX=0"}, temp.path,
                                                "\n|        3 ");
    ASSERT_EQ(r.exit_status, 0) << r.screen.substr(0, 3000);
    const std::string rep = report();
    const std::size_t rows = convergence_rows(rep, "PROX").size();
    EXPECT_GE(rows, 3u);
    EXPECT_LT(rows, 30000u);
    EXPECT_FALSE(convergence_rows(rep, "UCON").empty());
    EXPECT_NE(rep.find("\r\nStandardized Residuals N(0,1)  Mean: "), std::string::npos);
    EXPECT_EQ(read_measure_file(dir.file("p.txt")).size(), 9u);
    EXPECT_NE(r.screen.find("\nMeasures constructed"), std::string::npos);
    EXPECT_FALSE(work_files_left());
}

TEST_F(EstimationRuns, CtrlCFinishesUconIteratingAndTheOutputFilesFollow) {
    // Limits of 0 are never met: only "Finish iterating" ends UCON before 32001 iterations.
    write_file(dir.file("run.txt"), control_text(five_point()));
    ProgramResult r = run_korvelan_interrupting(
        dir.path, {"run.txt", "run.out", "LCONV=0", "RCONV=0", "BATCH=Y"}, temp.path, "\n|       2 ");
    ASSERT_EQ(r.exit_status, 0) << r.screen.substr(0, 3000);
    const std::size_t rows = convergence_rows(report(), "UCON").size();
    EXPECT_GE(rows, 2u);
    EXPECT_LT(rows, 30000u);
    EXPECT_EQ(read_measure_file(dir.file("i.txt")).size(), 4u);
    EXPECT_NE(r.screen.find("| REAL RMSE "), std::string::npos);
    EXPECT_NE(r.screen.find("\nMeasures constructed"), std::string::npos);
}

TEST_F(EstimationRuns, RatingScaleReportMatchesGoldenFile) {
    ProgramResult r = run(five_point());
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    ASSERT_EQ(dir.path.size(), std::string("/tmp/kvtestXXXXXX/").size());
    expect_golden("estimation_rating_scale_report.txt", normalise_report(report(), dir.path, "/tmp/kvtestXXXXXX/"));
}

}  // namespace
