// What a column of a data file is, decided once a file from the file itself. A file that is not
// valid UTF-8 from its first record to its last is read a byte a column. In a UTF-8 file the
// records share the columns of their responses: read with the wrong unit, a record whose name
// holds characters of several bytes shows its responses one or more columns off (a name
// character or a blank in an item column, the last response past its column). Each record is
// read by characters, by bytes and by screen columns; the units under which the fewest of its
// responses are no code of CODES= are the ones it agrees with. The file is read by the unit all
// records agree with (characters when they all can be); records that agree with none of the
// units of the records before them stop the run.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/input/data_records.h"
#include "engine/input/response_scoring.h"
#include "engine/run/run.h"

namespace korvelan {

// One record of a file read by one column unit: its responses that are no code, and the line of
// the file it ends on.
struct RecordFit {
    std::int32_t misfits;
    std::int64_t line;
};

// Reads every record of the file on the unit whose records start after line first_line, by
// characters, by bytes and by screen columns (fits[k] for ColumnUnit k), appending each record's
// fit.
using RecordFits = std::array<std::vector<RecordFit>, 3>;
using RecordFitReader =
    std::function<void(Run& run, int unit, std::int64_t first_line, RecordFits& fits)>;
// Such a reader made of one that reads the records by one unit (from where the unit stands),
// the file read once for each unit.
RecordFitReader fits_by_each_unit(
    std::function<void(Run& run, int unit, ColumnUnit columns, std::vector<RecordFit>& fits)> read);

// The decision for the file on the unit whose records start after line first_line; name names
// it in messages. A unit other than characters is said on the screen and in the report; records
// that contradict each other stop the run. Leaves the unit anywhere.
ColumnUnit decide_column_unit(Run& run, int unit, std::int64_t first_line, const std::string& name,
                              const RecordFitReader& read_fits);

// The decision for data records (fixed columns, FORMAT=, delimited), as DataLineSource asks it.
ColumnUnit decide_data_record_columns(Run& run, int unit, std::int64_t first_line,
                                      const std::string& name);

// Of the NI responses that stand one after another from `responses` (XWIDE bytes each, one byte
// a column), the number that are no code.
std::int32_t count_response_misfits(const ResponseCoder& coder, const ControlVariables& cv,
                                    const char* responses);

}  // namespace korvelan
