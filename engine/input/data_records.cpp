#include "engine/input/data_records.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/text_columns.h"

namespace korvelan {

namespace {

// Room after the record line, so that a field read at its end never needs a bounds test.
constexpr std::size_t kRecordGuard = 8;

}  // namespace

void blank_control_characters(char* text, std::size_t length) {
    for (std::size_t k = 0; k < length; ++k)
        if (static_cast<unsigned char>(text[k]) < ' ') text[k] = ' ';
}

bool LineColumns::decode(std::string_view text, ColumnUnit unit, const CodeCharacters& codes) {
    cells.clear();
    if (all_ascii(text) || unit == ColumnUnit::Bytes) return true;
    bytes.clear();
    bool several = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = utf8_character_size(text, at);
        std::uint32_t cell = 0;
        for (std::size_t k = n; k-- > 0;)
            cell = (cell << 8) | static_cast<unsigned char>(text[at + k]);
        several = several || n > 1;
        const unsigned char code = n > 1 ? codes.byte_of(cell) : 0;
        bytes += code != 0 ? static_cast<char>(code) : text[at];
        cells.push_back(cell);
        if (n > 1 && unit == ColumnUnit::ScreenColumns && display_width_at(text, at) == 2) {
            bytes += '\x80';
            cells.push_back(0);
        }
        at += n;
    }
    if (!several) cells.clear();
    return false;
}

void append_cell_text(const std::uint32_t* cells, std::size_t n, std::string& out) {
    for (std::size_t k = 0; k < n; ++k)
        for (std::uint32_t v = cells[k]; v != 0; v >>= 8) out += static_cast<char>(v & 0xFF);
}

void EchoLine::put(std::int64_t col, std::string_view text) {
    if (col < 1) return;
    for (std::size_t at = 0; at < text.size() && col <= kEchoWidth; ++col) {
        const std::size_t n = utf8_character_size(text, at);
        c[static_cast<std::size_t>(col - 1)].assign(text.substr(at, n));
        at += n;
    }
}

std::string EchoLine::text() const {
    std::size_t n = c.size();
    while (n > 0 && c[n - 1] == " ") --n;
    std::string out;
    for (std::size_t k = 0; k < n; ++k) out += c[k];
    return out;
}

std::vector<std::string> ruler_lines(std::int32_t width) {
    std::vector<std::string> lines;
    width = std::clamp(width, 0, kEchoWidth);
    if (width == 0) return lines;
    int places = 0;
    for (std::int32_t w = width; w > 0; w /= 10) ++places;
    for (int k = places; k >= 1; --k) {
        std::int32_t step = 1;
        for (int j = 1; j < k; ++j) step *= 10;
        std::string line(static_cast<std::size_t>(width), ' ');
        int digit = 0;
        for (std::int32_t col = step; col <= width; col += step) {
            digit = digit % 10 + 1;
            line[static_cast<std::size_t>(col - 1)] = static_cast<char>('0' + digit % 10);
        }
        lines.emplace_back(trim_right(line));
    }
    lines.emplace_back(static_cast<std::size_t>(width), '-');
    return lines;
}

// ---- lines of a data source
// ----------------------------------------------------------------------

void DataLineSource::decide_columns_with(ColumnDecider decide, std::string name) {
    decide_ = decide;
    name_ = std::move(name);
    first_line_ = unit_lines_read(run_, unit_);
    decided_ = false;
}

void DataLineSource::decide_columns() {
    // The decision reads the whole file; the line in hand is then read again. Lines from a pipe
    // pass once: they are read by characters.
    decided_ = true;
    if (!unit_can_rewind(run_, unit_)) return;
    const std::int64_t line = unit_lines_read(run_, unit_);
    columns_unit_ = decide_(run_, unit_, first_line_, name_);
    rewind_unit(run_, unit_);
    for (std::int64_t k = 0; k < line; ++k) read_unit_line(run_, unit_, buffer_, kRecordWidth);
}

int DataLineSource::next_line(std::string_view& line) {
    // A line is read up to kRecordWidth bytes; its columns are the file's column unit.
    const int status = read_unit_line(run_, unit_, buffer_, kRecordWidth);
    if (status != 0) return status;
    if (columns_.decode(buffer_, columns_unit_, run_.cv.code_characters)) {
        line = buffer_;
        return status;
    }
    if (!decided_ && decide_) {
        decide_columns();
        if (columns_.decode(buffer_, columns_unit_, run_.cv.code_characters)) {
            line = buffer_;
            return status;
        }
    }
    line = columns_.bytes;
    return status;
}

int DataLineSource::rewind() {
    return rewind_unit(run_, unit_);
}

// ---- the record line
// -----------------------------------------------------------------------------

RecordLine::RecordLine(const ControlVariables& cv)
    : cv_(cv),
      xwide_(std::max(cv.xwide, 1)),
      response_width_(static_cast<std::size_t>(std::max(cv.ni, 0)) *
                      static_cast<std::size_t>(std::max(cv.xwide, 1))),
      line_(std::max<std::size_t>(kRecordWidth, response_width_) + kRecordGuard, ' ') {
    formatted_ = !trim(cv.format).empty();
    if (formatted_) format_status_ = compile_record_format(trim(cv.format), format_);
}

int RecordLine::read(DataLineSource& source) {
    if (format_status_ != 0) return format_status_;
    std::int32_t written = 0;
    multibyte_ = false;
    unit_ = source.column_unit();
    if (formatted_) {
        const std::int64_t width = static_cast<std::int64_t>(cv_.format_field_count) * xwide_;
        written = static_cast<std::int32_t>(std::min<std::int64_t>(width, kRecordWidth));
        cells_.resize(static_cast<std::size_t>(written));
        int status = read_formatted_record(format_, source, xwide_, written / xwide_, line_.data(),
                                           cells_.data(), &multibyte_);
        if (status != 0) return status;
    } else {
        std::string_view text;
        int status = source.next_line(text);
        if (status != 0) return status;
        written = static_cast<std::int32_t>(text.size());
        std::memcpy(line_.data(), text.data(), text.size());
        if (const std::uint32_t* cells = source.cells()) {
            cells_.assign(cells, cells + text.size());
            multibyte_ = true;
        }
    }
    if (used_ > written) std::fill(line_.begin() + written, line_.begin() + used_, ' ');
    used_ = written;
    length_ = written;
    while (length_ > 0 && line_[static_cast<std::size_t>(length_ - 1)] == ' ') --length_;
    return 0;
}

std::string_view RecordLine::columns() const {
    if (!multibyte_) return {line_.data(), static_cast<std::size_t>(length_)};
    text_.clear();
    append_cell_text(cells_.data(), static_cast<std::size_t>(length_), text_);
    return text_;
}

std::size_t RecordLine::take_label(std::string& label) const {
    const std::int64_t namlen = std::max(cv_.namlen, 0);
    // Up to four bytes a character.
    const auto room = static_cast<std::size_t>(multibyte_ ? 4 * namlen : namlen);
    if (label.size() < room) label.resize(room);
    std::fill(label.begin(), label.end(), ' ');
    // FORMAT= fields are XWIDE wide, and the label is one character of each.
    const std::int64_t step = formatted_ ? xwide_ : 1;
    if (!multibyte_) {
        for (std::int64_t j = 1; j <= namlen; ++j) {
            const std::int64_t col = (j - 1) * step + cv_.name1;
            if (col >= 1 && col <= used_)
                label[static_cast<std::size_t>(j - 1)] = line_[static_cast<std::size_t>(col - 1)];
        }
        return static_cast<std::size_t>(namlen);
    }
    std::size_t at = 0;
    for (std::int64_t j = 1; j <= namlen; ++j) {
        const std::int64_t col = (j - 1) * step + cv_.name1;
        if (col < 1 || col > used_) {
            ++at;
            continue;
        }
        for (std::uint32_t v = cells_[static_cast<std::size_t>(col - 1)]; v != 0; v >>= 8)
            label[at++] = static_cast<char>(v & 0xFF);
    }
    return at;
}

void RecordLine::move_responses_to_column_1() {
    const std::int64_t from =
        formatted_ ? static_cast<std::int64_t>(cv_.item1 - 1) * xwide_ : cv_.item1 - 1;
    if (from <= 0) return;
    const auto width = static_cast<std::int64_t>(response_width_);
    const std::int64_t present = std::clamp<std::int64_t>(used_ - from, 0, width);
    if (present > 0)
        std::memmove(line_.data(), line_.data() + from, static_cast<std::size_t>(present));
    std::fill(line_.begin() + present, line_.begin() + width, ' ');
    used_ = static_cast<std::int32_t>(std::max<std::int64_t>(used_, width));
}

void RecordLine::select_columns(const FieldSelection& selection, SelectedText& out) const {
    if (multibyte_)
        apply_cell_selection(selection, {cells_.data(), static_cast<std::size_t>(used_)}, out);
    else
        apply_field_selection(selection, columns(), out, unit_ == ColumnUnit::Bytes);
}

void RecordLine::split_delimited(std::string& label) {
    delimited_text_.assign(columns());
    DelimitedLayout layout;
    layout.delimiter = cv_.delimiter;
    layout.name1 = cv_.name1;
    layout.namlen = std::max(cv_.namlen, 0);
    layout.item1 = cv_.item1;
    layout.ni = std::max(cv_.ni, 0);
    layout.xwide = xwide_;
    if (static_cast<std::int64_t>(label.size()) < layout.namlen)
        label.resize(static_cast<std::size_t>(layout.namlen));
    split_delimited_record(delimited_text_, layout, label, fields_);
    std::memcpy(line_.data(), delimited_text_.data(), response_width_);
    used_ = std::max(used_, static_cast<std::int32_t>(response_width_));
}

// ---- per-item strings in data layout ---------------------------------------------------------

void read_data_format_record(Run& run, std::string_view instruction, std::string& text) {
    RecordLine record(run.cv);
    DataLineSource source(run, unit::kControl);
    int status = record.read(source);
    if (status != 0) {
        show_message_line(run, std::string(msg::kFailureToReadRecord) + "\"" +
                                   std::string(trim(instruction)) + "\"" + msg::kRecordEnd);
        show_message_line(run, msg::kCheckControlSequence);
        show_message_line(run, msg::kSeeAppendix2);
        run.rs.io_status = status;
        fail_on_file_error(run, run.rs.control_file, 'R');
    }
    std::string label;
    if (record.delimited())
        record.split_delimited(label);
    else
        record.move_responses_to_column_1();
    text.assign(record.responses());
}

}  // namespace korvelan
