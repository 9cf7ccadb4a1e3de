#include "tests/engine/tables/summary_fixture.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/driver/run_analysis.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/report_context.h"
#include "engine/tables/summary_table.h"

namespace korvelan::testing {

SummaryRun::SummaryRun(const std::string& control,
                       std::function<bool(MemoryBlock, std::int64_t)> refuse) {
    write_file(dir.file("ctl.txt"), control);
    run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y", "PFILE=" + dir.file("p.txt"),
                "IFILE=" + dir.file("i.txt")};
    run.input.refuse_memory = std::move(refuse);
    exit_status = run_analysis(run);
}

std::vector<std::string> SummaryRun::table() {
    host.line_file.clear();
    run.rs.report_file = "summary.txt";
    run.rs.run_date = "Jan  1 12:00 2026";
    run.rep.request = TableRequest{};
    run.rep.request.table = 3;
    run.rep.sub_table_counter = 0;
    run.rep.page_line_counter = -1;
    ReportContext ctx(run);
    write_measure_summary_table(ctx);
    return host.line_file;
}

std::vector<std::string> write_file_after_run(SummaryRun& a, char code, char csv, const std::string& name,
                                              char hlines) {
    a.run.cv.csv = csv;
    a.run.cv.hlines = hlines;
    a.host.file_answers.push_back(a.dir.file(name));
    a.host.line_file.clear();
    EXPECT_TRUE(write_output_file_after_run(a.run, code));
    write_file(a.dir.file(name), crlf_text(a.host.line_file) + "\r\n");
    return a.host.line_file;
}

std::string crlf_text(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

Spread spread_of(const std::vector<double>& values) {
    Spread s;
    if (values.empty()) return s;
    for (double v : values) s.mean += v / static_cast<double>(values.size());
    for (double v : values)
        s.sd += (v - s.mean) * (v - s.mean) / static_cast<double>(values.size());
    s.sd = std::sqrt(s.sd);
    s.maximum = *std::max_element(values.begin(), values.end());
    s.minimum = *std::min_element(values.begin(), values.end());
    return s;
}

Separation separation_of(const std::vector<double>& errors, const std::vector<double>& measures) {
    Separation r;
    double squares = 0;
    for (double e : errors) squares += e * e;
    r.rmse = std::sqrt(squares / static_cast<double>(errors.size()));
    const double observed = std::pow(spread_of(measures).sd, 2);
    const double true_variance = observed - r.rmse * r.rmse;
    if (true_variance > 0) {
        r.adjusted_sd = std::sqrt(true_variance);
        r.separation = r.adjusted_sd / r.rmse;
        r.reliability = true_variance / observed;
    }
    return r;
}

SideExpectation expectation_of(const std::vector<MeasureRecord>& records, double infit_shift) {
    SideExpectation x;
    std::vector<std::vector<double>> columns(8);
    std::vector<double> real_errors, all_measures, all_model, all_real;
    for (const MeasureRecord& r : records) {
        if (r.status < -2) ++x.deleted;
        if (r.status == -2) ++x.lacking;
        if (r.status == -1) ++x.minimum;
        if (r.status == 0) ++x.maximum;
        if (r.status < -1) continue;
        // A real S.E. allows for misfit: the model S.E. grown by the square root of an infit
        // mean-square above 1; an extreme entry has no fit and keeps its model S.E.
        const double real =
            r.status >= 1 ? r.error * std::sqrt(std::max(r.fit[0] + infit_shift, 1.0)) : r.error;
        all_measures.push_back(r.measure), all_model.push_back(r.error), all_real.push_back(real);
        if (r.status < 1) continue;
        ++x.measured;
        const double values[8] = {r.score,  r.count,  r.measure, r.error,
                                  r.fit[0], r.fit[1], r.fit[2],  r.fit[3]};
        for (int k = 0; k < 8; ++k) columns[k].push_back(values[k]);
        real_errors.push_back(real);
    }
    for (const auto& c : columns) x.columns.push_back(spread_of(c));
    x.real = separation_of(real_errors, columns[2]);
    x.model = separation_of(columns[3], columns[2]);
    x.error_of_mean = x.columns[2].sd / std::sqrt(std::max(x.measured - 1, 1));
    x.with_extremes = spread_of(all_measures);
    x.real_all = separation_of(all_real, all_measures);
    x.model_all = separation_of(all_model, all_measures);
    return x;
}

}  // namespace korvelan::testing
