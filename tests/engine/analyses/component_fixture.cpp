#include "tests/engine/analyses/component_fixture.h"

#include <cmath>
#include <random>

#include "engine/analyses/correlation_output.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/work_file.h"
#include "engine/driver/output_dispatch.h"

namespace korvelan::testing {

std::string planted_dimension_set(int persons, int cluster, int rest, const std::string& settings) {
    const int ni = cluster + rest;
    std::string s = "TITLE=Planted dimension\nNI=" + std::to_string(ni) + "\nITEM1=1\nNAME1=" +
                    std::to_string(ni + 2) + "\nNAMLEN=5\nCODES=01\n" + settings + "&END\n";
    for (int i = 1; i <= ni; ++i) s += "Q" + std::to_string(i) + "\n";
    s += "END LABELS\n";
    std::mt19937 random(20261209);
    std::normal_distribution<double> ability(0.0, 1.0), second(0.0, 1.5);
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    for (int p = 1; p <= persons; ++p) {
        const double theta = ability(random), phi = second(random);
        std::string line;
        for (int i = 0; i < ni; ++i) {
            const double difficulty = -2.0 + 4.0 * i / (ni - 1);
            const double shift = i < cluster ? phi : -phi * cluster / rest;
            line += draw(random) < 1.0 / (1.0 + std::exp(difficulty - theta - shift)) ? '1' : '0';
        }
        s += line + "  P" + std::to_string(10000 + p).substr(1) + "\n";
    }
    return s;
}

std::vector<std::string> table_after_run(SummaryRun& analysis, const std::string& request) {
    analysis.host.line_file.clear();
    analysis.run.rs.report_file = "table.txt";
    analysis.run.rs.run_date = "Jan  1 12:00 2026";
    request_table_after_run(analysis.run, request);
    return analysis.host.line_file;
}

std::vector<std::string> without_file_lines(const std::vector<std::string>& table) {
    std::vector<std::string> kept;
    for (const std::string& l : table) {
        const std::string bare = !l.empty() && l[0] == '\f' ? l.substr(1) : l;
        if (bare.rfind("TABLE ", 0) != 0) kept.push_back(l);
    }
    return kept;
}

std::vector<std::string> sub_table_ids(const std::vector<std::string>& table) {
    std::vector<std::string> ids;
    for (const std::string& l : table) {
        const std::string bare = !l.empty() && l[0] == '\f' ? l.substr(1) : l;
        if (bare.rfind("TABLE ", 0) == 0) ids.push_back(bare.substr(6, bare.find(' ', 6) - 6));
    }
    return ids;
}

Eigen::MatrixXd correlation_matrix(SummaryRun& analysis, ReportSide side) {
    const AnalysisArrays& a = analysis.run.arrays;
    const bool items = side == ReportSide::Items;
    const std::vector<std::int32_t> active =
        active_entries(items ? a.item_status : a.person_status, items ? a.items : a.persons);
    const auto m = static_cast<Eigen::Index>(active.size());
    Eigen::MatrixXd r = Eigen::MatrixXd::Identity(m, m);
    std::vector<Eigen::Index> index(static_cast<std::size_t>(items ? a.items : a.persons) + 1, 0);
    for (Eigen::Index i = 0; i < m; ++i) index[static_cast<std::size_t>(active[static_cast<std::size_t>(i)])] = i;
    RunResidualCorrelations pairs(analysis.run);
    if (!pairs.prepare(items ? Entity::Item : Entity::Person)) return r;
    pairs.for_each_pair(items ? Entity::Item : Entity::Person, [&](std::int32_t e, std::int32_t f, double value) {
        r(index[static_cast<std::size_t>(e)], index[static_cast<std::size_t>(f)]) =
            r(index[static_cast<std::size_t>(f)], index[static_cast<std::size_t>(e)]) = value;
        return true;
    });
    return r;
}

ExactComponent largest_component(const Eigen::MatrixXd& r) {
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(r);
    const Eigen::Index last = r.rows() - 1;
    ExactComponent c;
    c.eigenvalue = solver.eigenvalues()(last);
    Eigen::VectorXd v = solver.eigenvectors().col(last);
    Eigen::Index largest = 0;
    v.cwiseAbs().maxCoeff(&largest);
    if (v(largest) < 0) v = -v;
    c.loadings = v * std::sqrt(c.eigenvalue);
    return c;
}

std::span<const std::int16_t> code_row(const std::vector<std::int16_t>& codes, std::size_t columns, std::size_t r) {
    return {codes.data() + r * columns, columns};
}

std::vector<std::int32_t> numbered(std::size_t n) {
    std::vector<std::int32_t> e(n);
    for (std::size_t i = 0; i < n; ++i) e[i] = static_cast<std::int32_t>(i + 1);
    return e;
}

}  // namespace korvelan::testing
