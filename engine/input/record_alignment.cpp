#include "engine/input/record_alignment.h"

#include <algorithm>
#include <array>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"
#include "engine/run/text_columns.h"

namespace korvelan {

namespace {

constexpr char kEndOfDataMark = 26;
constexpr std::array<ColumnUnit, 3> kUnits = {ColumnUnit::Characters, ColumnUnit::Bytes,
                                              ColumnUnit::ScreenColumns};

void go_to_line(Run& run, int unit, std::int64_t line) {
    rewind_unit(run, unit);
    std::string text;
    for (std::int64_t k = 0; k < line; ++k)
        if (read_unit_line(run, unit, text, kRecordWidth) != 0) return;
}

// Whether every line from the one after first_line up to the end (or a line that ends the data)
// is UTF-8. A line cut at the longest record may end inside a character: that end is not held
// against it.
enum class FileCode { Ascii, Utf8, OneByte };
FileCode code_of_file(Run& run, int unit, std::int64_t first_line) {
    go_to_line(run, unit, first_line);
    std::string line;
    FileCode code = FileCode::Ascii;
    while (read_unit_line(run, unit, line, kRecordWidth) == 0) {
        if (!line.empty() && line[0] == kEndOfDataMark) break;
        if (all_ascii(line)) continue;
        if (line.size() >= kRecordWidth) line.resize(utf8_character_start(line, line.size() - 1));
        if (!valid_utf8(line)) return FileCode::OneByte;
        code = FileCode::Utf8;
    }
    return code;
}

// The units (bit k for kUnits[k]) under which the record shows the fewest misfits.
unsigned best_units(const RecordFits& fits, std::size_t r) {
    std::int32_t least = fits[0][r].misfits;
    for (const auto& f : fits) least = std::min(least, f[r].misfits);
    unsigned set = 0;
    for (std::size_t u = 0; u < fits.size(); ++u)
        if (fits[u][r].misfits == least) set |= 1u << u;
    return set;
}

// The unit of a set that is read when the set allows several: characters first, as documented.
std::size_t preferred(unsigned set) {
    return set & 1u ? 0 : set & 2u ? 1 : 2;
}

std::string number(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

// Records read through FORMAT=, by one unit.
void read_formatted_record_fits(Run& run, int unit, ColumnUnit columns, std::vector<RecordFit>& fits) {
    const ControlVariables& cv = run.cv;
    RecordLine record(cv);
    DataLineSource source(run, unit, columns);
    const ResponseCoder coder(cv);
    while (record.read(source) == 0) {
        if (record.blank()) continue;
        if (record.first() == kEndOfDataMark) break;
        record.move_responses_to_column_1();
        fits.push_back({count_response_misfits(coder, cv, record.response(1)),
                        unit_lines_read(run, unit)});
    }
}

// The byte where column `column` (from 0) of the line starts when read by the unit; npos when
// that column is the second of a wide character. Past the line's end, the bytes beyond it.
std::size_t item_offset(std::string_view line, std::size_t column, ColumnUnit unit) {
    if (unit == ColumnUnit::Bytes) return column;
    std::size_t at = 0, col = 0;
    while (col < column && at < line.size()) {
        col += unit == ColumnUnit::ScreenColumns ? static_cast<std::size_t>(display_width_at(line, at)) : 1;
        at += utf8_character_size(line, at);
    }
    if (col > column) return std::string::npos;
    return at + (column - col);
}

// Records of one line each, in fixed columns: the file read once, each line taken by the three
// units, its responses from ITEM1= on as RecordLine moves them.
void read_line_record_fits(Run& run, int unit, std::int64_t first_line, RecordFits& fits) {
    const ControlVariables& cv = run.cv;
    const ResponseCoder coder(cv);
    const auto from = static_cast<std::size_t>(std::max(cv.item1, 1) - 1);
    const std::size_t width = static_cast<std::size_t>(std::max(cv.ni, 0)) *
                              static_cast<std::size_t>(std::max(cv.xwide, 1));
    go_to_line(run, unit, first_line);
    std::string line, responses;
    LineColumns columns;
    while (read_unit_line(run, unit, line, kRecordWidth) == 0) {
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        if (line[0] == kEndOfDataMark) break;
        for (std::size_t u = 0; u < kUnits.size(); ++u) {
            // Most often the responses are ASCII: then only the columns before them need
            // counting.
            std::string_view cols = line;
            std::size_t at = item_offset(line, from, kUnits[u]);
            if (at == std::string::npos || !all_ascii(cols.substr(std::min(at, cols.size()), width))) {
                cols = columns.decode(line, kUnits[u], cv.code_characters) ? std::string_view(line)
                                                                           : columns.bytes;
                at = from;
            }
            responses.assign(cols.substr(std::min(at, cols.size()), width));
            responses.resize(width, ' ');
            fits[u].push_back(
                {count_response_misfits(coder, cv, responses.data()), unit_lines_read(run, unit)});
        }
    }
}

void read_data_record_fits(Run& run, int unit, std::int64_t first_line, RecordFits& fits) {
    const ControlVariables& cv = run.cv;
    // Delimited records have fields, not columns: nothing to tell.
    if (cv.delimiter != ' ') return;
    if (trim(cv.format).empty())
        read_line_record_fits(run, unit, first_line, fits);
    else
        fits_by_each_unit(read_formatted_record_fits)(run, unit, first_line, fits);
}

}  // namespace

RecordFitReader fits_by_each_unit(
    std::function<void(Run& run, int unit, ColumnUnit columns, std::vector<RecordFit>& fits)> read) {
    return [read](Run& run, int unit, std::int64_t first_line, RecordFits& fits) {
        for (std::size_t u = 0; u < kUnits.size(); ++u) {
            go_to_line(run, unit, first_line);
            read(run, unit, kUnits[u], fits[u]);
        }
    };
}

std::int32_t count_response_misfits(const ResponseCoder& coder, const ControlVariables& cv,
                                    const char* responses) {
    const auto x = static_cast<std::size_t>(std::max(cv.xwide, 1));
    std::int32_t misfits = 0;
    for (std::int32_t i = 0; i < cv.ni; ++i)
        if (coder.code(responses + static_cast<std::size_t>(i) * x) == 0) ++misfits;
    return misfits;
}

ColumnUnit decide_column_unit(Run& run, int unit, std::int64_t first_line, const std::string& name,
                              const RecordFitReader& read_fits) {
    // A one-byte code page reads a byte a column, as it always has.
    const FileCode code = code_of_file(run, unit, first_line);
    if (code == FileCode::OneByte) return ColumnUnit::Bytes;
    if (code == FileCode::Ascii) return ColumnUnit::Characters;
    RecordFits fits;
    read_fits(run, unit, first_line, fits);
    const std::size_t records =
        std::min({fits[0].size(), fits[1].size(), fits[2].size()});
    unsigned agreed = 7;
    for (std::size_t r = 0; r < records; ++r) {
        const unsigned set = best_units(fits, r);
        if ((agreed & set) == 0) {
            fatal_message(run, msg::kRecordsNotAlignedAlike + number(static_cast<std::int64_t>(r) + 1) +
                                   msg::kRecordsNotAlignedLine + number(fits[0][r].line) +
                                   msg::kRecordsNotAlignedOf + name + msg::kRecordsNotAlignedLinesUp +
                                   msg::kColumnUnitWords[preferred(set)] +
                                   msg::kRecordsNotAlignedBefore +
                                   msg::kColumnUnitWords[preferred(agreed)] +
                                   msg::kRecordsNotAlignedPad);
        }
        agreed &= set;
    }
    const ColumnUnit chosen = kUnits[preferred(agreed)];
    if (chosen != ColumnUnit::Characters) {
        const std::string said = (chosen == ColumnUnit::Bytes ? msg::kRecordsAlignedInBytes
                                                              : msg::kRecordsAlignedInScreenColumns) +
                                 name;
        show_message_line(run, said);
        write_report_text(run, said);
    }
    return chosen;
}

ColumnUnit decide_data_record_columns(Run& run, int unit, std::int64_t first_line,
                                      const std::string& name) {
    return decide_column_unit(run, unit, first_line, name, read_data_record_fits);
}

}  // namespace korvelan
