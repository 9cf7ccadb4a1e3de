// The echo of the first data record of each source in the Input/Output window: its heading, the
// column ruler, the record, and the marker line that shows where the items (^I), the last item
// (^N), the person label (^P), the weight (^W) and the anchor (^A) columns begin. Every line is
// at most 500 columns; a placement beyond that is cut.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/input/data_records.h"
#include "engine/run/run.h"

namespace korvelan {

class RecordEcho {
  public:
    explicit RecordEcho(Run& run) : run_(run) {}
    // Start columns of the person weight and anchor column selections (0 when there is none).
    void set_selection_columns(std::int32_t weight_column, std::int32_t anchor_column) {
        weight_column_ = weight_column;
        anchor_column_ = anchor_column;
    }

    void show(std::string_view text);
    // The ruler for a record of the given trimmed length, when it is wider than the last shown:
    // column k, as the record is read, numbered over the screen column it is drawn in.
    void ruler(std::int32_t record_length, std::string_view shown, ColumnUnit unit = ColumnUnit::Characters);
    // Fixed columns and FORMAT=: ^W, ^A, ^N, ^P and ^I under their columns of the shown record
    // (a wide character before a column takes two screen columns; in a record read by bytes a
    // character takes the screen columns it is drawn in, in one read by screen columns a
    // column is a screen column).
    void marker_line(std::string_view shown, ColumnUnit unit = ColumnUnit::Characters);
    // Delimited: the responses followed by the trimmed label, and the ^I ^N ^P markers over them.
    void delimited_record(std::string_view responses, std::string_view label);
    // FORMAT=: the responses from ITEM1=, the anchor and weight texts at their start columns and
    // the label at NAME1=, then the marker line.
    void formatted_record(std::string_view responses, std::string_view anchor,
                          std::string_view weight, std::string_view label);

  private:
    Run& run_;
    std::int64_t weight_column_ = 0;
    std::int64_t anchor_column_ = 0;
    std::int32_t last_ruler_ = 0;
};

}  // namespace korvelan
