#include "engine/run/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {

// The line in hand: what is kept, its whole length, and whether a NUL came in it.
struct LineBuild {
    std::string& text;
    std::size_t keep;
    std::size_t length = 0;
    bool nul = false;
    void put(int c) {
        if (length < keep) text.push_back(static_cast<char>(c));
        ++length;
        nul = nul || c == 0;
    }
    // A code point as its UTF-8 bytes.
    void put_code_point(long c) {
        if (c < 0x80) {
            put(static_cast<int>(c));
        } else if (c < 0x800) {
            put(0xC0 | static_cast<int>(c >> 6));
            put(0x80 | static_cast<int>(c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | static_cast<int>(c >> 12));
            put(0x80 | static_cast<int>((c >> 6) & 0x3F));
            put(0x80 | static_cast<int>(c & 0x3F));
        } else {
            put(0xF0 | static_cast<int>(c >> 18));
            put(0x80 | static_cast<int>((c >> 12) & 0x3F));
            put(0x80 | static_cast<int>((c >> 6) & 0x3F));
            put(0x80 | static_cast<int>(c & 0x3F));
        }
    }
};

constexpr long kByteOrderMark = 0xFEFF;
constexpr long kReplacement = 0xFFFD;

// After a 0xEF at the start of a line: the next character to take, the mark's bytes taken when
// they are not one.
int skip_byte_order_mark(std::FILE* file, LineBuild& build) {
    const int second = getc_unlocked(file);
    if (second != 0xBB) {
        build.put(0xEF);
        return second;
    }
    const int third = getc_unlocked(file);
    if (third == 0xBF) return getc_unlocked(file);
    build.put(0xEF);
    build.put(0xBB);
    return third;
}

// At the first byte of a file: a UTF-16 mark (FF FE, FE FF) sets the encoding and the first
// character comes after it; otherwise the next character to take, the bytes read taken.
int take_utf16_mark(std::FILE* file, TextLinePosition& at, LineBuild& build, int first) {
    const int second = getc_unlocked(file);
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) {
        at.encoding = first == 0xFF ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
        return 0;
    }
    build.put(first);
    return second;
}

// The next UTF-16 code unit; EOF at the end (an odd last byte is dropped).
int next_unit(std::FILE* file, TextLinePosition& at) {
    if (at.pending_unit >= 0) return std::exchange(at.pending_unit, -1);
    const int a = getc_unlocked(file);
    if (a == EOF) return EOF;
    const int b = getc_unlocked(file);
    if (b == EOF) return EOF;
    return at.encoding == TextEncoding::Utf16Be ? (a << 8 | b) : (b << 8 | a);
}

// The next code point of a UTF-16 file; a surrogate without its partner reads as U+FFFD.
long next_code_point(std::FILE* file, TextLinePosition& at) {
    const int unit = next_unit(file, at);
    if (unit == EOF || unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit >= 0xDC00) return kReplacement;
    const int low = next_unit(file, at);
    if (low >= 0xDC00 && low <= 0xDFFF) return 0x10000 + ((long{unit} - 0xD800) << 10) + (low - 0xDC00);
    at.pending_unit = low;
    return kReplacement;
}

// How a line read ended (at a line end, or at the end of the file): the status when it is not a
// line, or 0.
int line_end_status(std::FILE* file, TextLinePosition& at, const LineBuild& build, bool at_end) {
    if (at_end && std::ferror(file)) return status_from_errno(errno == 0 ? EIO : errno);
    if (at_end && build.length == 0) return -1;
    ++at.lines_read;
    return build.nul ? kLineHasNul : 0;
}

// A line of a UTF-16 file, decoded to UTF-8.
int read_utf16_line(std::FILE* file, TextLinePosition& at, LineBuild& build) {
    long c = next_code_point(file, at);
    while (c == kByteOrderMark) c = next_code_point(file, at);
    for (;; c = next_code_point(file, at)) {
        if (c == EOF) return line_end_status(file, at, build, true);
        if (c == '\n') break;
        if (c == '\r') {
            const int next = next_unit(file, at);
            if (next != '\n' && next != EOF) at.pending_unit = next;
            break;
        }
        build.put_code_point(c);
        if (build.length > build.keep + kLineRunOn) return kLineRunsOn;
    }
    return line_end_status(file, at, build, false);
}

// The common line at once: where the file's buffer holds the whole line with its LF (or CR LF),
// no other CR, no NUL and no mark at its start, the line is taken from it in one copy and true
// returned. Anything else is left to the reading byte by byte, which reads the same line.
bool take_buffered_line(std::FILE* file, LineBuild& build) {
#if defined(__GLIBC__)
    const char* from = file->_IO_read_ptr;
    const char* end = file->_IO_read_end;
    if (!from || from >= end || static_cast<unsigned char>(*from) == 0xEF) return false;
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
    if (!lf) return false;
    std::size_t n = static_cast<std::size_t>(lf - from);
    if (n > 0 && from[n - 1] == '\r') --n;
    if (n > build.keep + kLineRunOn || std::memchr(from, '\r', n) || std::memchr(from, '\0', n)) return false;
    build.text.append(from, std::min(n, build.keep));
    build.length = n;
    file->_IO_read_ptr = const_cast<char*>(lf + 1);
    return true;
#else
    (void)file, (void)build;
    return false;
#endif
}

}  // namespace

int read_text_line(std::FILE* file, TextLinePosition& at, std::string& line, std::size_t keep) {
    line.clear();
    if (!file) return 10000;  // not open for read
    LineBuild build{line, keep};
    errno = 0;
    if (at.encoding != TextEncoding::Bytes) return read_utf16_line(file, at, build);
    if (!at.at_start && take_buffered_line(file, build)) return line_end_status(file, at, build, false);
    int c = getc_unlocked(file);
    if (at.at_start) {
        at.at_start = false;
        if (c == 0xFF || c == 0xFE) c = take_utf16_mark(file, at, build, c);
        if (at.encoding != TextEncoding::Bytes) return read_utf16_line(file, at, build);
    }
    // Every mark at the start of the line: a marked file saved again with a mark, or files
    // joined end to end, hold several.
    while (c == 0xEF && build.length == 0) c = skip_byte_order_mark(file, build);
    for (;; c = getc_unlocked(file)) {
        if (c == EOF) return line_end_status(file, at, build, true);
        if (c == '\n') break;
        if (c == '\r') {
            const int next = getc_unlocked(file);
            if (next != '\n' && next != EOF) ungetc(next, file);
            break;
        }
        build.put(c);
        if (build.length > keep + kLineRunOn) return kLineRunsOn;
    }
    return line_end_status(file, at, build, false);
}

bool TextLineFile::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    at_ = TextLinePosition{};
    return file_ != nullptr;
}

void TextLineFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

// ---- lines of the files on units -------------------------------------------------------------

namespace {

// The message of a line that cannot be used, or empty for any other status.
std::string unusable_line_text(const UnitFile& file, int status) {
    if (status == kLineRunsOn)
        return msg::kLineRunsOn + std::to_string(file.lines.lines_read + 1) + msg::kLineRunsOnOf + file.path +
               msg::kLineRunsOnTail;
    if (status == kLineHasNul)
        return msg::kLineHasNul + std::to_string(file.lines.lines_read) + msg::kLineRunsOnOf + file.path +
               msg::kLineHasNulTail;
    return {};
}

int read_unit_line_noting(Run& run, int unit, std::string& line, std::size_t keep, bool stop) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) {
        line.clear();
        return run.rs.io_status = 10000;  // not open for read
    }
    UnitFile& file = it->second;
    BlockingWait wait(unit_read_may_wait(file.file));
    const int status = read_text_line(file.file, file.lines, line, keep);
    if (const std::string text = unusable_line_text(file, status); !text.empty()) {
        if (stop) fatal_message(run, text);
        note_output_file_failure(run, text);
    }
    return run.rs.io_status = status;
}

}  // namespace

int read_unit_line(Run& run, int unit, std::string& line, std::size_t keep) {
    return read_unit_line_noting(run, unit, line, keep, true);
}

int read_unit_line_for_output(Run& run, int unit, std::string& line, std::size_t keep) {
    return read_unit_line_noting(run, unit, line, keep, false);
}

}  // namespace korvelan
