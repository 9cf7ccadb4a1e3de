#include "engine/analyses/residual_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {
// Person records read at once when the residuals of an item are gathered from the file.
constexpr std::int64_t kReadBytes = 1 << 20;
}  // namespace

ResidualMatrix::ResidualMatrix(Run& run, WorkFileHandle& zuu, ReportSide side,
                               std::vector<std::int32_t> rows, std::vector<std::int32_t> columns)
    : run_(run),
      zuu_(zuu),
      rows_are_persons_(side == ReportSide::Persons),
      rows_(std::move(rows)),
      columns_(std::move(columns)),
      items_(run.arrays.items) {}

bool ResidualMatrix::hold(std::int64_t n_all, std::int64_t m_all) {
    const Size whole = checked_product(checked_product(n_all, m_all), std::int64_t{2});
    const Size cells = checked_product(static_cast<std::int64_t>(rows_.size()),
                                       static_cast<std::int64_t>(columns_.size()));
    if (!block_.obtain(run_, MemoryBlock::ResidualMatrix, cells, whole)) return false;
    level_ = ResidualLevel::Memory;
    return true;
}

ResidualLevel ResidualMatrix::choose_level(std::int64_t n_all, std::int64_t m_all) {
    const Size whole = checked_product(checked_product(n_all, m_all), std::int64_t{2});
    if (hold(n_all, m_all)) return level_;
    if (run_.host)
        run_.host->write_text_window_line(std::string(trim(int_to_text_left(shown_bytes(whole)))) +
                                          msg::kLabelSortUsingDiskWorkFile);
    const Size row = checked_product(m_all, std::int64_t{2});
    return level_ = memory_request_allowed(run_, MemoryBlock::ResidualRow, row) ? ResidualLevel::Row
                                                                                 : ResidualLevel::Disk;
}

std::int64_t ResidualMatrix::read_person_records(std::size_t first, std::size_t last,
                                                 std::vector<std::int16_t>& records) const {
    const std::vector<std::int32_t>& persons = rows_are_persons_ ? rows_ : columns_;
    const std::int64_t p0 = persons[first], p1 = persons[last];
    const std::int64_t count = (p1 - p0 + 1) * items_;
    records.resize(static_cast<std::size_t>(count));
    if (!zuu_.read_at((p0 - 1) * items_ * 2, records.data(), count * 2)) {
        // Name the first record of the span that cannot be read.
        for (std::size_t k = first; k <= last; ++k) {
            const std::int64_t p = persons[k];
            std::int16_t probe = 0;
            for (std::int64_t i = 1; i <= items_; ++i)
                if (!zuu_.read_at(((p - 1) * items_ + i - 1) * 2, &probe, 2)) return (p - 1) * items_ + i;
        }
        return (p0 - 1) * items_ + 1;
    }
    return 0;
}

std::int64_t ResidualMatrix::read_row(std::size_t r, std::span<std::int16_t> out) const {
    const std::size_t nc = columns_.size();
    if (level_ == ResidualLevel::Memory) {
        std::memcpy(out.data(), block_.data() + r * nc, nc * sizeof(std::int16_t));
        return 0;
    }
    std::vector<std::int16_t> records;
    if (rows_are_persons_) {
        if (std::int64_t failed = read_person_records(r, r, records)) return failed;
        for (std::size_t c = 0; c < nc; ++c) out[c] = records[static_cast<std::size_t>(columns_[c] - 1)];
        return 0;
    }
    // An item's residuals lie one in each person record: read spans of whole records.
    const std::int64_t item = rows_[r];
    for (std::size_t first = 0; first < nc;) {
        std::size_t last = first;
        while (last + 1 < nc && (columns_[last + 1] - columns_[first] + 1) * items_ * 2 <= kReadBytes) ++last;
        if (std::int64_t failed = read_person_records(first, last, records)) return failed;
        const std::int64_t p0 = columns_[first];
        for (std::size_t c = first; c <= last; ++c)
            out[c] = records[static_cast<std::size_t>((columns_[c] - p0) * items_ + item - 1)];
        first = last + 1;
    }
    return 0;
}

std::span<const std::int16_t> ResidualMatrix::held_row(std::size_t r) const {
    if (level_ != ResidualLevel::Memory) return {};
    const std::size_t nc = columns_.size();
    return {block_.data() + r * nc, nc};
}

bool ResidualMatrix::load() {
    const std::vector<std::int32_t>& persons = rows_are_persons_ ? rows_ : columns_;
    const std::size_t nr = rows_.size(), nc = columns_.size();
    std::vector<std::int16_t> records;
    std::vector<std::int16_t> row(rows_are_persons_ ? 0 : nc);
    const int total = static_cast<int>(std::min<std::size_t>(persons.size(), 2000000000));
    for (std::size_t first = 0; first < persons.size();) {
        pump_and_poll(run_);
        if (run_.rs.finish_iterating) return false;
        std::size_t last = first;
        while (last + 1 < persons.size() && (persons[last + 1] - persons[first] + 1) * items_ * 2 <= kReadBytes)
            ++last;
        if (std::int64_t failed = read_person_records(first, last, records)) fail(failed);
        const std::int64_t p0 = persons[first];
        for (std::size_t k = first; k <= last; ++k) {
            const std::int16_t* record = records.data() + (persons[k] - p0) * items_;
            if (rows_are_persons_) {
                std::int16_t* to = block_.data() + k * nc;
                for (std::size_t c = 0; c < nc; ++c) to[c] = record[columns_[c] - 1];
            } else {
                for (std::size_t r = 0; r < nr; ++r) block_.data()[r * nc + k] = record[rows_[r] - 1];
            }
        }
        show_progress_bar(run_, static_cast<int>(last + 1), total);
        first = last + 1;
    }
    return true;
}

void ResidualMatrix::fail(std::int64_t record) const {
    // The record is read once more for the cause: the read's own error, or the end of a file
    // that is shorter than the analysis (-1).
    std::int16_t probe = 0;
    errno = 0;
    const std::int64_t got = zuu_.read_some((record - 1) * 2, &probe, 2);
    const int err = got < 0 && errno != 0 ? errno : EIO;
    run_.rs.io_status = got >= 0 && got < 2 ? -1 : status_from_errno(err);
    stop_with_file_error(run_, std::string(msg::kResidualFileFailure) + std::to_string(record),
                         msg::kResidualFileName, 'R', zuu_.path());
}

}  // namespace korvelan
