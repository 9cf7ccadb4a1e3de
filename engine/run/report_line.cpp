#include "engine/run/report_line.h"

#include <algorithm>
#include <cmath>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

ReportCell character_cell(std::string_view text, std::size_t at, std::size_t size) {
    ReportCell cell;
    cell.bytes = 0;
    for (std::size_t k = size; k-- > 0;)
        cell.bytes = (cell.bytes << 8) | static_cast<unsigned char>(text[at + k]);
    return cell;
}

// Appends the UTF-8 text of n cells. The second column of a wide character adds nothing; such a
// column left behind when the wide character was overwritten is a blank.
void append_cells(const ReportCell* cells, int n, std::string& out) {
    for (int k = 0; k < n; ++k) {
        std::uint32_t v = cells[k].bytes;
        if (v == 0) {
            if (k == 0 || cells[k - 1].bytes < 0x100) out += ' ';
            continue;
        }
        for (; v != 0; v >>= 8) out += static_cast<char>(v & 0xFF);
    }
}

}  // namespace

void ReportLineBuffer::put(int col, std::string_view text) {
    if (col < 1 || col > kWidth) return;
    int k = col - 1;
    // Text that begins on the second column of a wide character replaces that character.
    if (k > 0 && c[static_cast<std::size_t>(k)].bytes == 0)
        c[static_cast<std::size_t>(k - 1)] = ' ';
    if (all_ascii(text)) {
        const std::size_t n = std::min(static_cast<std::size_t>(kWidth - k), text.size());
        for (std::size_t j = 0; j < n; ++j) c[static_cast<std::size_t>(k) + j] = text[j];
        k += static_cast<int>(n);
    } else {
        for (std::size_t at = 0; at < text.size() && k < kWidth;) {
            const std::size_t size = utf8_character_size(text, at);
            const int w = display_width_at(text, at);
            if (k + w > kWidth) break;
            c[static_cast<std::size_t>(k)] = character_cell(text, at, size);
            if (w == 2) c[static_cast<std::size_t>(k + 1)].bytes = 0;
            k += w;
            at += size;
        }
    }
    // Text that ends on the first column of a wide character replaces that character too.
    if (k < kWidth && c[static_cast<std::size_t>(k)].bytes == 0) c[static_cast<std::size_t>(k)] = ' ';
}

std::string ReportLineBuffer::view(int from, int to) const {
    from = std::max(from, 1);
    to = std::min(to, kWidth);
    std::string text;
    if (to < from) return text;
    text.reserve(static_cast<std::size_t>(to - from + 1));
    append_cells(c.data() + from - 1, to - from + 1, text);
    return text;
}

int ReportLineBuffer::length() const {
    int n = kWidth;
    while (n > 0 && c[static_cast<std::size_t>(n - 1)] == ' ') --n;
    return n;
}

const DrawingCharacter* drawing_character(char code) {
    if (static_cast<unsigned char>(code) >= 0x20) return nullptr;
    for (const DrawingCharacter& d : kDrawingCharacters)
        if (d.code == code) return &d;
    return nullptr;
}

std::string drawn_text(std::string_view text, bool plain) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const DrawingCharacter* d = drawing_character(ch);
        if (!d) out += ch;
        else if (plain) out += d->plain;
        else out += d->utf8;
    }
    return out;
}

namespace {

void make_drawing_characters_plain(char* chars, int n) {
    for (int i = 0; i < n; ++i)
        if (const DrawingCharacter* d = drawing_character(chars[i])) chars[i] = d->plain;
}

}  // namespace

void convert_box_characters_to_ascii(ReportLineBuffer& line, int n) {
    n = std::min(n, ReportLineBuffer::kWidth);
    for (int i = 0; i < n; ++i) {
        ReportCell& cell = line.c[static_cast<std::size_t>(i)];
        if (cell.bytes >= 0x20) continue;
        if (const DrawingCharacter* d = drawing_character(static_cast<char>(cell.bytes)))
            cell = d->plain;
    }
}

namespace {

// Writes the characters of one line (chars[0] is the page-control column; n characters without
// trailing blanks, at least 1): the page control applied, the drawing characters written as
// plain ones unless AS=N and else as UTF-8, then the line written to the report or the Table file.
void write_line_characters(Run& run, char* chars, int n) {
    if (run.cv.box_to_ascii != 'N') make_drawing_characters_plain(chars, n);
    int s = 1;
    if (chars[0] == '^') {
        chars[0] = run.cv.page_control_char;
        run.rep.page_line_counter = 1;
    } else {
        if (run.cv.page_control_char == '^') s = 2;
        run.rep.page_line_counter += 1;
    }
    if (chars[0] == '^') chars[0] = '\f';
    const std::string drawn = drawn_text(
        std::string_view(chars + s - 1, static_cast<std::size_t>(std::max(n, s) - s + 1)), false);
    const std::string_view text = drawn;
    if (run.rs.report_closed) {
        if (run.host) run.host->write_file_line(text);
        return;
    }
    if (!unit_is_open(run, unit::kReport)) return;
    if (write_unit_line(run, unit::kReport, text) == 0) return;
    // After its first failed write the report is not whole (the earlier one stays): later
    // failures are not said again, the failure is named once more at the end of the run.
    if (run.rs.report_write_failed) return;
    // The write failed: say so, show the line, try once more, and carry on with the run. The
    // first failure is also named again at the end of the run.
    std::string copy(trim_right(drawn_text(std::string_view(chars, static_cast<std::size_t>(n)), false)));
    report_output_file_error(run, run.rs.report_file, 'W');
    run.rs.report_write_failed = true;
    show_message_line(run, msg::kFailedToWrite);
    show_message_line(run, copy);
    std::int32_t status = run.rs.io_status;
    write_unit_line(run, unit::kReport, text);
    run.rs.io_status = status;
}

}  // namespace

void write_report_line(Run& run) {
    ReportLineBuffer& line = run.rep.line;
    std::string text = line.view(1, std::max(line.length(), 1));
    const int n = static_cast<int>(text.size());
    text += ' ';  // a blank line is written from its column 2
    write_line_characters(run, text.data(), n);
}

void write_wide_report_line(Run& run, std::string text) {
    text.erase(trim_right(text).size());
    if (text.size() <= static_cast<std::size_t>(ReportLineBuffer::kWidth)) {
        write_report_text(run, text);
        return;
    }
    write_line_characters(run, text.data(), static_cast<int>(text.size()));
}

void write_blank_report_line(Run& run) {
    run.rep.line.clear();
    write_report_line(run);
}

void write_report_text(Run& run, std::string_view text_from_column_1) {
    run.rep.line.clear();
    run.rep.line.put(1, text_from_column_1);
    write_report_line(run);
}

void send_drawn_char_to_text_window(Run& run, char c) {
    if (!run.host) return;
    const DrawingCharacter* d = drawing_character(c);
    if (!d) {
        run.host->send_char_to_text_window(c);
        return;
    }
    for (char byte : d->utf8) run.host->send_char_to_text_window(byte);
}

void show_progress_bar(Run& run, int current, int total) {
    if (run.host) run.host->pump_messages();
    if (total < 1) return;
    char mark = run.rs.finish_iterating ? '#' : '=';
    auto send = [&](char c) {
        if (run.host) run.host->send_char_to_text_window(c);
    };
    if (run.rep.progress_next == 0 || current == 1) {
        send('>');
        run.rep.progress_next = 1;
    }
    float t = static_cast<float>(current) * 75.0f / static_cast<float>(total);
    int target = std::min(static_cast<int>(std::round(t)), 75);
    if (run.rep.progress_next <= target) {
        for (int i = run.rep.progress_next; i <= target; ++i) send(mark);
        run.rep.progress_next = target + 1;
    }
    if (current >= total) {
        send('<');
        send('\r');
        run.rep.progress_next = 0;
    }
}

}  // namespace korvelan
