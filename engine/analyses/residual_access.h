// The residuals of one facet as the correlations read them: one row per active entry of the
// analysed facet, one value per active entry of the other facet, taken from the residual work
// file ZUU (record (person - 1) x NI + item, -32768 where there is no observation).
//
// Three levels, chosen by the memory the run can have: the whole matrix of active rows in
// memory, one row at a time (the first row of each pair is held, the second read from the file),
// or nothing held (both rows read from the file as needed). Each gives the same values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/analyses/scratch_block.h"
#include "engine/analyses/work_file.h"
#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

enum class ResidualLevel { Memory, Row, Disk };

class ResidualMatrix {
public:
    // rows, columns: the active entry numbers of the analysed and the other facet, ascending.
    ResidualMatrix(Run& run, WorkFileHandle& zuu, ReportSide side, std::vector<std::int32_t> rows,
                   std::vector<std::int32_t> columns);

    // Chooses the level: asks for the whole matrix (N x M x 2 bytes), then for one row (M x 2),
    // with the message for the first refusal. n_all, m_all: the facets' entry counts.
    ResidualLevel choose_level(std::int64_t n_all, std::int64_t m_all);
    // Asks for the whole matrix without a message: the memory level, or false.
    bool hold(std::int64_t n_all, std::int64_t m_all);
    // Memory level: reads every active row into the block, polling the finish-iterating flag
    // and showing progress. False when the flag ended it.
    bool load();

    // The residuals of row index r (0-based among the active rows) into out (one per column):
    // from the block, or from ZUU. Returns 0, or the ZUU record that could not be read (safe to
    // call from several threads at once; the caller ends the run with fail()).
    std::int64_t read_row(std::size_t r, std::span<std::int16_t> out) const;
    // The residual file's failure at a record: the message and the fatal file error.
    [[noreturn]] void fail(std::int64_t record) const;
    // Row r without a copy when it is held in memory; empty otherwise.
    std::span<const std::int16_t> held_row(std::size_t r) const;
    // The whole block of the memory level, row after row.
    std::span<const std::int16_t> held_block() const { return {block_.data(), block_.size()}; }

    ResidualLevel level() const { return level_; }
    std::size_t row_count() const { return rows_.size(); }
    std::size_t column_count() const { return columns_.size(); }

private:
    // The whole records of the persons from list index first to last (inclusive; the person
    // list is the rows or the columns, whichever holds persons), one read for the span of them:
    // person k's record at (person(k) - person(first)) x NI. Returns 0 or the failing record.
    std::int64_t read_person_records(std::size_t first, std::size_t last,
                                     std::vector<std::int16_t>& records) const;

    Run& run_;
    WorkFileHandle& zuu_;
    bool rows_are_persons_;
    std::vector<std::int32_t> rows_, columns_;
    std::int64_t items_ = 0;  // NI: the length of a person's record
    ResidualLevel level_ = ResidualLevel::Disk;
    ScratchBlock<std::int16_t> block_;  // memory level: row r at r x column_count()
};

}  // namespace korvelan
