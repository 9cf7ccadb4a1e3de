// The fit statistics: the residual work file, the centre of the measures, the person pass and
// the results of the items, categories and summary that follow from its sums.
#include "engine/estimation/fit.h"

#include <cstdio>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_persons.h"
#include "engine/estimation/person_data.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Unit of the standardized residual work file ZUU.
constexpr int kResidualUnit = 21;

}  // namespace

bool shows_as_zero(double value, int decimals) {
    // The text rounds half away from zero: away from half a unit of the last decimal the answer
    // is plain, and only next to it are the texts made.
    const double a = std::fabs(value);
    if (decimals >= 0 && decimals <= 9 && std::isfinite(a)) {
        const double half = 0.5 * std::pow(10.0, -decimals);
        if (a < half * (1.0 - 1e-9)) return true;
        if (a > half * (1.0 + 1e-9)) return false;
    }
    auto text = [&](double v) {
        std::string t = fmt_f(v, 8, decimals);
        const std::size_t point = t.find('.');
        if (point != std::string::npos && point > 0 && t[point - 1] == ' ') t[point - 1] = '0';
        return t;
    };
    return text(std::fabs(value)) == text(0.0);
}

void compute_fit_statistics(Run& run, const EstimationSettings& settings,
                            EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    prepare_estimation_arrays(a);
    const int np = a.persons, ni = a.items;

    show_message_line(run, msg::kCalculatingFit);
    est.item_residual_correlations_computed = est.person_residual_correlations_computed = false;
    est.person_displacement_shown_as_zero = est.item_displacement_shown_as_zero = false;
    est.person_largest_displacement = est.item_largest_displacement = 0.0f;

    // Residual records: one per person, NI 16-bit values at record position (n - 1) x 2 NI.
    int residual_fd = -1;
    const std::string zuu = work_file_path(run, "ZUU");
    if (settings.prcomp != 'N' && settings.residual_file) {
        if (open_unit(run, kResidualUnit, zuu, OpenMode::Write) != 0)
            stop_with_file_error(run, std::string(msg::kResidualFileFailure) + "-1", zuu, 'O');
        residual_fd = fileno(run.units.open[kResidualUnit].file);
    }

    // Mean person and item measures, and each group's expected score between them.
    double bw = 0.0, bs = 0.0, dw = 0.0, ds = 0.0;
    for (int p = 1; p <= np; ++p)
        if (base_status(a.person_status[p]) > 0 && person_weight(a, p) > 0.0f)
            bs += static_cast<double>(a.person_measure[p]) * person_weight(a, p), bw += person_weight(a, p);
    for (int i = 1; i <= ni; ++i)
        if (a.item_status[i] > 0 && item_weight(a, i) > 0.0f)
            ds += static_cast<double>(a.item_measure[i]) * item_weight(a, i), dw += item_weight(a, i);
    const float centre_difference = static_cast<float>(bs / std::max(bw, 1.0) - ds / std::max(dw, 1.0));
    std::vector<float> group_expected(static_cast<std::size_t>(a.groups) + 1, 0.0f);
    std::vector<float> scratch(static_cast<std::size_t>(a.top_value) + 2);
    for (int g = 1; g <= a.groups; ++g)
        group_expected[g] = compute_category_probabilities(group_model_view(a, g), centre_difference, scratch.data());

    for (int i = 1; i <= ni; ++i)
        if (a.item_status[i] > -4) a.item_count[i] = 0.0f;

    FitSums sums;
    std::int32_t failed_record = 0;
    int failed_errno = 0;
    {
        FitPersonPass pass(run, settings, residual_fd, group_expected);
        failed_record = pass.run(observer, sums, failed_errno);
    }
    // The write's own error names the cause (a full disk most often), and the file its path.
    int status = failed_record != 0 ? status_from_errno(failed_errno == 0 ? EIO : failed_errno) : 0;
    if (residual_fd >= 0) {
        const int closed = close_unit(run, kResidualUnit);
        if (closed != 0 && failed_record == 0) {
            failed_record = np;
            status = closed;
        }
    }
    if (failed_record != 0) {
        run.rs.io_status = status;
        stop_with_file_error(run, std::string(msg::kResidualFileFailure) + std::to_string(failed_record),
                             msg::kResidualFileName, 'W', zuu);
    }
    finish_fit_statistics(run, settings, sums, observer);
}

}  // namespace korvelan
