#include "engine/estimation/option_tally.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

int status_of(const std::vector<std::int8_t>& statuses, int e) {
    return base_status(array_value(statuses, e, status::kDeleted));
}

float in_logits(float measure, float umean, float factor) {
    return (measure - umean) / (factor == 0.0f ? 1.0f : factor);
}

// What one response in category x adds to the outfit figures of its code: its squared
// standardized residual as the fit counts it, in the chains over the steps it attempted.
struct ResponseTerms {
    float squared_residual = 0.0f;
    float expected = 0.0f;
    float variance = 0.0f;
};

ResponseTerms residual_terms(const Run& run, int g, float d, int x, std::vector<float>& p) {
    const CategoryModel model = group_model_view(run.arrays, g);
    const int t = model.top;
    ResponseTerms r;
    double v = 0.0;
    if (model.model == 'R' || t < 2) {
        r.expected = compute_category_probabilities(model, d, p.data());
        for (int k = 1; k <= t; ++k) v += static_cast<double>(k) * k * p[static_cast<std::size_t>(k)];
        v -= static_cast<double>(r.expected) * r.expected;
    } else {
        r.expected = compute_success_failure_step_probabilities(model, d, x, p.data());
        for (int k = 1; k <= t; ++k)
            v += static_cast<double>(p[static_cast<std::size_t>(k)]) * (1.0 - p[static_cast<std::size_t>(k)]);
    }
    r.variance = std::max(static_cast<float>(v), run.rs.smallest_positive);
    if (model.model == 'F') r.expected += static_cast<float>(std::max(0, x - 1));
    const float e = static_cast<float>(x) - r.expected;
    r.squared_residual = e * e / r.variance;
    return r;
}

struct PersonPass {
    Run& run;
    OptionFrequencies& f;
    std::vector<float> probabilities;
    std::vector<float> categories;  // the category probabilities of a chain item
    float person_factor, item_factor, uscale;
};

void add_outfit(PersonPass& pass, int i, CodeFigures& c, float w, float m, int x) {
    const AnalysisArrays& a = pass.run.arrays;
    const int g = a.item_group[static_cast<std::size_t>(i)];
    const float umean = pass.run.cv.umean;
    const float d = (in_logits(m, umean, pass.person_factor) -
                     in_logits(a.item_measure[static_cast<std::size_t>(i)], umean, pass.item_factor)) /
                    pass.uscale;
    const ResponseTerms r = residual_terms(pass.run, g, d, x, pass.probabilities);
    c.outfit_weight += w;
    c.outfit += w * (r.squared_residual - c.outfit) / c.outfit_weight;
    const CategoryModel model = group_model_view(a, g);
    if (uses_step_chain(model)) {
        // A chain's responses are expected in each category with its category probability, and
        // there with the residual of the steps a response in that category attempted.
        compute_category_probabilities(model, d, pass.categories.data());
        for (int k = std::min(model.top, pass.f.top); k >= 0; --k) {
            const float q = pass.categories[static_cast<std::size_t>(k)] * w;
            pass.f.sp(i, k) += q;
            pass.f.sv(i, k) += q * residual_terms(pass.run, g, d, k, pass.probabilities).squared_residual;
        }
        return;
    }
    for (int k = std::min(array_value(a.group_top_category, g), pass.f.top); k >= 0; --k) {
        const float q = pass.probabilities[static_cast<std::size_t>(k)] * w;
        const float gap = static_cast<float>(k) - r.expected;
        pass.f.sp(i, k) += q;
        pass.f.sv(i, k) += gap * gap * q / r.variance;
    }
}

void tally_response(PersonPass& pass, int p, int i, int code) {
    const AnalysisArrays& a = pass.run.arrays;
    CodeFigures& c = pass.f.at(i, code);
    const int v = c.score_value;
    const int item_status = status_of(a.item_status, i);
    const int person_status = status_of(a.person_status, p);
    const int x = recoded_category(a, array_value(a.item_group, i), v);
    if (v == kMissingCategory) {
        ++c.missing_count;
    } else {
        ++c.count;
        if (item_status > 0 && x >= 0) c.category = x;
    }
    const float w = person_weight(a, p);
    if (person_status < status::kExtremeMinimum || !(w > 0.0f)) return;
    const float m = a.person_measure[static_cast<std::size_t>(p)];
    if (v == kMissingCategory) {
        add_to_weighted_mean(w, m, c.missing_weight, c.missing_mean, c.missing_mean_square);
        return;
    }
    add_to_weighted_mean(w, m, c.weight, c.mean, c.mean_square);
    if (item_status > 0 && person_status > 0 && x >= 0) add_outfit(pass, i, c, w, m, x);
}

}  // namespace

std::int64_t option_frequency_bytes(int codes, int top, int items) {
    const std::int64_t per_item = (static_cast<std::int64_t>(codes) + 1) * 12 + 2LL * top + 2;
    return per_item * items * 4 + 4LL * codes;
}

bool allocate_option_frequencies(Run& run, OptionFrequencies& f) {
    f.codes = std::max(run.cv.categs, 0);
    f.top = std::max(run.arrays.top_value, 0);
    for (int g = 1; g <= run.arrays.groups; ++g)
        f.top = std::max(f.top, array_value(run.arrays.group_top_category, g));
    f.items = std::max(run.arrays.items, 0);
    const std::int64_t bytes = option_frequency_bytes(f.codes, f.top, f.items);
    if (run.input.refuse_memory && run.input.refuse_memory(MemoryBlock::TableWork, bytes)) return false;
    const std::size_t rows = static_cast<std::size_t>(f.items) + 1;
    try {
        f.figures.assign(rows * static_cast<std::size_t>(f.codes + 1), CodeFigures{});
        f.expected_weight.assign(rows * static_cast<std::size_t>(f.top + 1), 0.0f);
        f.expected_residual.assign(f.expected_weight.size(), 0.0f);
    } catch (const std::bad_alloc&) {
        f = OptionFrequencies{};
        return false;
    }
    return true;
}

void score_code_slots(const Run& run, OptionFrequencies& f) {
    const AnalysisArrays& a = run.arrays;
    for (int i = 1; i <= f.items; ++i) {
        if (status_of(a.item_status, i) < status::kExtremeMinimum || array_value(a.item_group, i) < 1)
            continue;
        for (int s = 0; s <= f.codes; ++s) f.at(i, s).score_value = score_response(run, s, i);
    }
}

void tally_option_frequencies(Run& run, OptionFrequencies& f, const PersonCodesReader& read_codes) {
    AnalysisArrays& a = run.arrays;
    const float uscale = run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale;
    PersonPass pass{run, f, std::vector<float>(static_cast<std::size_t>(f.top) + 1, 0.0f),
                    std::vector<float>(static_cast<std::size_t>(f.top) + 1, 0.0f),
                    a.estimation.person_bias_factor, a.estimation.item_bias_factor, uscale};
    std::vector<std::uint8_t> codes(static_cast<std::size_t>(std::max(f.items, 1)), 0);
    const int np = a.persons;
    for (int p = 1; p <= np; ++p) {
        if (status_of(a.person_status, p) >= status::kDropped) {
            read_codes(p, std::span<std::uint8_t>(codes.data(), static_cast<std::size_t>(f.items)));
            for (int i = 1; i <= f.items; ++i) {
                const int code = codes[static_cast<std::size_t>(i - 1)];
                // A code number beyond CODES= names no code: the response is not usable.
                if (status_of(a.item_status, i) < status::kDropped || code > f.codes) continue;
                tally_response(pass, p, i, code);
            }
        }
        show_progress_bar(run, p, np);
    }
}

void add_to_weighted_mean(float w, float m, float& weight, float& mean, float& mean_square) {
    weight += w;
    mean += w * (m - mean) / weight;
    mean_square += w * (m * m - mean_square) / weight;
}

float standard_error_of_mean(float weight, float mean, float mean_square) {
    if (!(weight > 1.0f)) return 0.0f;
    return std::sqrt(std::max(0.0f, (mean_square - mean * mean) / (weight - 1.0f)));
}

float code_outfit(const OptionFrequencies& f, int item, int code, float cap) {
    const CodeFigures& c = f.at(item, code);
    const int k = c.category;
    if (k < 0 || k > f.top || !(f.sv(item, k) > 0.0f)) return c.outfit;
    return std::min(cap, c.outfit * f.sp(item, k) / f.sv(item, k));
}

}  // namespace korvelan
