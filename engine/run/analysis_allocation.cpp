#include "engine/run/analysis_allocation.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/record_files.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

// I/O status of a per-item string block that could not be obtained.
constexpr std::int32_t kStringBlockFailed = -2;
constexpr std::int32_t kFirstStatusCapacity = 1000000;
constexpr std::int32_t kSmallestStatusCapacity = 10;
constexpr int kPersonStatusHoldUnit = 21;

std::int64_t as64(std::int32_t n) {
    return static_cast<std::int64_t>(n);
}
std::size_t entries(std::int64_t n) {
    return static_cast<std::size_t>(std::max<std::int64_t>(n, 0) + 1);
}

// One block request: the hook may refuse it; otherwise the arrays are sized, and a platform
// shortage releases what was obtained. True when the block stands.
template <typename Allocate, typename Release>
bool obtain(Run& run, MemoryBlock block, std::int64_t bytes, Allocate allocate, Release release) {
    if (run.input.refuse_memory && run.input.refuse_memory(block, bytes)) return false;
    try {
        allocate();
        return true;
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
}

[[noreturn]] void stop_for_memory(Run& run, std::int64_t bytes, std::int64_t count,
                                  std::string_view name, std::int32_t status) {
    run.rs.io_status = status;
    fatal_message(run, memory_message(bytes, count, name, status));
}

template <typename T>
void release_vector(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

void release_persons(AnalysisArrays& a) {
    for (auto* v :
         {&a.person_measure, &a.person_outfit_zstd, &a.person_infit_zstd, &a.person_outfit_mnsq,
          &a.person_infit_mnsq, &a.person_shown_score, &a.person_shown_count})
        release_vector(*v);
    release_vector(a.person_order);
    release_vector(a.person_status);
}

// The system clears every new page at its first write, on the thread that writes it: the pages
// of a block of the size of the response matrix are asked for in pieces on the worker threads,
// so that the filling below finds them ready. Where the system cannot (an older kernel), the
// filling clears them as before.
void populate_pages(std::uintptr_t start, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t kPiece = std::size_t{16} << 20;
    if (bytes < 2 * kPiece) return;
    const int pieces = static_cast<int>((bytes + kPiece - 1) / kPiece);
    WorkerPool pool(0, pieces);
    auto populate = [&](int k) {
        const std::size_t from = static_cast<std::size_t>(k) * kPiece;
        ::madvise(reinterpret_cast<void*>(start + from), std::min(kPiece, bytes - from), MADV_POPULATE_WRITE);
    };
    pool.run(pieces, populate);
#else
    (void)start, (void)bytes;
#endif
}

// v holding n copies of `value`; a block of many pages is asked for in large pages where the
// system gives them on request, so that filling it takes a few page faults instead of one per
// 4 KB page (at 1,000,000 persons the faults of the person block and the images took 0.4 s).
template <typename T>
void fill_large_block(std::vector<T>& v, std::size_t n, T value) {
    v.clear();
    v.reserve(n);
    constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
    const auto first = (reinterpret_cast<std::uintptr_t>(v.data()) + kLargePage - 1) & ~(kLargePage - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(v.data() + n)) & ~(kLargePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
        populate_pages(first, last - first);
    }
    v.assign(n, value);
}

void size_persons(AnalysisArrays& a, std::int32_t np) {
    const std::size_t n = entries(np);
    for (auto* v :
         {&a.person_measure, &a.person_outfit_zstd, &a.person_infit_zstd, &a.person_outfit_mnsq,
          &a.person_infit_mnsq, &a.person_shown_score, &a.person_shown_count})
        fill_large_block(*v, n, 0.0f);
    fill_large_block(a.person_order, n, std::int32_t{0});
    fill_large_block(a.person_status, n, status::kMeasured);
}

std::int64_t person_block_bytes(std::int32_t np) {
    return 33 * as64(np) + 32;
}

bool obtain_persons(Run& run, std::int32_t np) {
    AnalysisArrays& a = run.arrays;
    return obtain(
        run, MemoryBlock::Persons, person_block_bytes(np), [&] { size_persons(a, np); },
        [&] { release_persons(a); });
}

}  // namespace

std::string memory_message(std::int64_t bytes, std::int64_t count, std::string_view name,
                           std::int32_t status) {
    return fmt_i(bytes, 10) + msg::kBytesNotAvailable + msg::kNotEnoughMemoryFor + fmt_i(count, 8) +
           " " + std::string(trim(name)) + msg::kIostat + fmt_i(status, 6);
}

void allocate_item_block(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int32_t ni = run.cv.ni;
    a.items = ni;
    const std::size_t n = entries(ni);
    auto allocate = [&] {
        for (auto* v :
             {&a.item_measure, &a.item_infit_zstd, &a.item_standard_error, &a.item_outfit_mnsq,
              &a.item_infit_mnsq, &a.item_outfit_zstd, &a.item_max_possible_score,
              &a.item_raw_score, &a.item_count, &a.item_point_biserial, &a.item_displacement,
              &a.item_shown_score, &a.item_shown_count})
            v->assign(n, 0.0f);
        a.item_max_attainable_score.assign(n + 1, 0.0f);
        a.item_estimation_score.assign(n + 1, 0.0f);
        a.item_order.assign(n, 0);
        a.item_group.assign(n, 1);
        a.item_status.assign(n, status::kMeasured);
        a.current_scored_responses.assign(n, static_cast<std::uint8_t>(255));
        a.current_response_codes.assign(4 * static_cast<std::size_t>(std::max(ni, 0)) + 1, '\0');
    };
    if (!obtain(run, MemoryBlock::Items, 74 * as64(ni) + 8, allocate,
                [&] { a = AnalysisArrays{}; }))
        stop_for_memory(run, 74 * as64(ni) + 8, ni, run.cv.item_plural, kAllocationFailedStatus);
}

void allocate_item_string_blocks(Run& run) {
    ControlVariables& cv = run.cv;
    ItemDefinitionStrings& s = run.arrays.strings;
    const std::int64_t ni = std::max(cv.ni, 0);
    const std::int64_t x = std::max(cv.xwide, 1);
    const std::size_t per_item = static_cast<std::size_t>(ni * x);
    bool failed = false;
    std::int64_t last = 0;
    auto request = [&](MemoryBlock block, std::int64_t bytes, auto allocate) {
        last = bytes;
        if (!obtain(run, block, bytes, allocate, [] {})) {
            run.rs.io_status = kStringBlockFailed;
            failed = true;
        }
    };
    // The GROUPS= string holds NI x XWIDE characters, blank until the second reading.
    request(MemoryBlock::GroupsString, per_item, [&] { s.groups.assign(per_item, ' '); });
    if (cv.makekey == 'Y') cv.key_count = std::max(cv.key_count, 1);
    const std::int64_t k = std::max(cv.key_count, 0);
    request(MemoryBlock::AnswerKeys, k == 0 ? 5 : 4 * k + k * ni * x, [&] {
        s.answer_keys.assign(static_cast<std::size_t>(k), std::string(per_item, ' '));
        s.key_scores.assign(static_cast<std::size_t>(k), -1);
    });
    auto per_item_mode = [](std::int32_t mode) { return mode == 1 || mode == 3; };
    request(MemoryBlock::RescoreString, per_item_mode(cv.rescore_mode) ? ni * x + 32 : 33,
            [&] { s.rescore.assign(per_item_mode(cv.rescore_mode) ? per_item : 0, ' '); });
    request(MemoryBlock::ModelsString, per_item_mode(cv.models_mode) ? ni * x + 32 : 33,
            [&] { s.models.assign(per_item_mode(cv.models_mode) ? per_item : 0, ' '); });
    const std::int64_t v = std::max(cv.ivalue_rows, 0);
    s.ivalue_rows.clear();
    s.irefer.clear();
    if (v > 0 || per_item_mode(cv.irefer_mode)) {
        request(MemoryBlock::IvalueIrefer, (std::max(cv.categs, 0) * x + 1) * v + x * ni + 32, [&] {
            s.ivalue_rows.reserve(static_cast<std::size_t>(v));
            s.irefer.assign(per_item, ' ');
        });
    }
    if (failed) stop_for_memory(run, last, ni, msg::kStringBlocksName, kStringBlockFailed);
}

void allocate_group_block(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int32_t g = a.groups;
    const std::size_t n = entries(g);
    auto allocate = [&] {
        a.group_top_value.assign(n, 0);
        a.group_top_category.assign(n, 0);
        a.group_first_slot.assign(n, 0);
        for (auto* v : {&a.group_weight_sum, &a.group_pivot, &a.group_average_difference})
            v->assign(n, 0.0f);
        a.group_model.assign(n, ' ');
        a.group_pivot_flag.assign(n, 0);
    };
    if (!obtain(run, MemoryBlock::Groups, 22 * as64(g) + 32, allocate, [] {}))
        stop_for_memory(run, 22 * as64(g) + 32, g, msg::kScaleGroupsName, kAllocationFailedStatus);
}

void allocate_person_status_array(Run& run) {
    AnalysisArrays& a = run.arrays;
    std::int32_t capacity = kFirstStatusCapacity;
    for (;;) {
        auto allocate = [&] { a.person_status_input.assign(entries(capacity), status::kMeasured); };
        if (obtain(run, MemoryBlock::PersonStatus, as64(capacity) + 32, allocate,
                   [&] { release_vector(a.person_status_input); })) {
            a.person_status_capacity = capacity;
            return;
        }
        capacity /= 2;
        if (capacity <= kSmallestStatusCapacity) break;
    }
    stop_for_memory(run, as64(capacity) + 32, capacity, msg::kPersonStatusArrayName,
                    kAllocationFailedStatus);
}

void allocate_category_block(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int32_t c = a.slots;
    const std::int32_t m = std::max(a.top_value, 0);
    const std::size_t n = entries(c);
    const std::int64_t bytes = 72 * as64(c) + 4 * (as64(m) + 1) + 32;
    auto allocate = [&] {
        for (auto* v :
             {&a.step_calibration, &a.step_weighted_difference_sum,
              &a.step_weighted_difference_square_sum, &a.step_information,
              &a.category_half_point_measure, &a.category_score_point_measure,
              &a.category_outfit_mnsq, &a.category_infit_mnsq, &a.category_observed_average,
              &a.category_expected_average, &a.category_thurstone_threshold,
              &a.category_expected_count, &a.category_observed_count})
            v->assign(n, 0.0f);
        for (auto* v : {&a.category_count_first, &a.category_count_second, &a.category_recoded,
                        &a.category_status, &a.category_value})
            v->assign(n, 0);
        // Indexed by category value 0..M.
        a.step_values_by_category.assign(static_cast<std::size_t>(m) + 1, 0.0f);
    };
    if (!obtain(run, MemoryBlock::Categories, bytes, allocate, [] {}))
        stop_for_memory(run, bytes, c, msg::kCategoriesName, kAllocationFailedStatus);
}

void allocate_person_block(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int32_t np = a.persons;
    if (obtain_persons(run, np)) return;
    show_message_line(run, std::string(trim(int_to_text_left(person_block_bytes(np)))) +
                               msg::kBytesNotAvailableIncomplete);
    // The largest person count whose block can be had: the first persons in input order stay.
    std::int32_t lo = 1;
    std::int32_t hi = np - 1;
    std::int32_t kept = 0;
    do {
        const std::int32_t n = (lo + hi) / 2;
        if (n >= 1 && obtain_persons(run, n)) {
            lo = n;
            kept = n;
        } else {
            hi = n - 1;
        }
    } while (lo + 1 < hi);
    if (kept < 1)
        stop_for_memory(run, person_block_bytes(lo), lo, run.cv.person_plural, kAllocationFailedStatus);
    if (static_cast<std::int32_t>(a.person_status.size()) != kept + 1) size_persons(a, kept);
    a.persons = kept;
}

void report_persons_kept(Run& run) {
    if (run.arrays.persons == run.input.records_input) return;
    show_message_line(run, std::string(msg::kOnlyFirst) + fmt_i(run.arrays.persons, 8) +
                               msg::kOnlyFirstOf + fmt_i(run.input.records_input, 8) + " " +
                               pad_right(run.cv.person_plural, 13) +
                               msg::kProcessedDueToMemoryLimits);
}

void allocate_weights_block(Run& run) {
    AnalysisArrays& a = run.arrays;
    const bool persons = !trim(run.cv.pweight).empty();
    const bool items = !trim(run.cv.iweight).empty();
    if (!persons && !items) return;
    const std::int64_t w = (persons ? a.persons : 0) + (items ? as64(a.items) + a.groups : 0);
    auto allocate = [&] {
        if (persons) a.person_weights.assign(entries(a.persons), 1.0f);
        if (items) {
            a.item_weights.assign(entries(a.items), 1.0f);
            a.group_weight_values.assign(entries(a.groups), 1.0f);
        }
    };
    auto release = [&] {
        release_vector(a.person_weights);
        release_vector(a.item_weights);
        release_vector(a.group_weight_values);
    };
    if (!obtain(run, MemoryBlock::Weights, 4 * w, allocate, release))
        stop_for_memory(run, 4 * w, w, msg::kWeightsName, kAllocationFailedStatus);
}

void allocate_memory_images(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int64_t np = a.persons;
    const std::int64_t ni = a.items;
    obtain(
        run, MemoryBlock::PersonRecordImage, 28 * np,
        [&] { fill_large_block(a.person_record_image, static_cast<std::size_t>(7 * np), 0.0f); },
        [&] { release_vector(a.person_record_image); });
    obtain(
        run, MemoryBlock::ScoredResponseImage, np * ni + 32,
        [&] {
            fill_large_block(a.scored_response_image, static_cast<std::size_t>(np * ni), std::uint8_t{255});
        },
        [&] { release_vector(a.scored_response_image); });
}

// ---- person status hold file
// ---------------------------------------------------------------------

std::int32_t hold_person_statuses(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::int8_t fallback = run.input.person_default_status;
    const std::int8_t opposite =
        fallback == status::kDeleted ? status::kMeasured : status::kDeleted;
    std::int32_t h = std::min(a.persons, run.input.highest_person_touched);
    h = std::min<std::int32_t>(h, static_cast<std::int32_t>(a.person_status_input.size()) - 1);
    while (h > 0 && a.person_status_input[static_cast<std::size_t>(h)] != opposite) --h;
    if (h > 0) {
        const std::string path = work_file_path(run, "ZUU");
        if (open_record_unit(run, kPersonStatusHoldUnit, path, 1, RecordOpen::Fresh) != 0)
            fail_on_file_error(run, msg::kPersonStatusHoldFile, 'O');
        for (std::int32_t n = 1; n <= h; ++n)
            if (write_record(run, kPersonStatusHoldUnit, n,
                             &a.person_status_input[static_cast<std::size_t>(n)]) != 0)
                fail_on_write_error(run, msg::kPersonStatusHoldFile, path);
        if (flush_record_unit(run, kPersonStatusHoldUnit) != 0)
            fail_on_write_error(run, msg::kPersonStatusHoldFile, path);
    }
    release_vector(a.person_status_input);
    return h;
}

void restore_person_statuses(Run& run, std::int32_t held) {
    AnalysisArrays& a = run.arrays;
    const std::int32_t read = std::min(held, a.persons);
    for (std::int32_t n = 1; n <= read; ++n)
        if (read_record(run, kPersonStatusHoldUnit, n,
                        &a.person_status[static_cast<std::size_t>(n)]) != 0)
            fail_on_file_error(run, msg::kPersonStatusHoldFile, 'R');
    if (held > 0) close_record_unit(run, kPersonStatusHoldUnit, true);
    for (std::int32_t n = std::max(read, 0) + 1; n <= a.persons; ++n)
        a.person_status[static_cast<std::size_t>(n)] = run.input.person_default_status;
}

}  // namespace korvelan
