// Lines of a text file as every reader of the program takes them. A file that starts with a
// UTF-16 byte-order mark (FF FE or FE FF) is UTF-16 of that byte order and its lines come decoded
// to UTF-8; any other file is read byte for byte (UTF-8, or a one-byte code page such as
// Latin-1). Every byte-order mark at the start of a line is skipped, so files joined end to end
// (or saved again with a second mark) read as the files did; a line holding a NUL is not text (most often UTF-16 saved without its
// mark) and is refused. CR LF, LF and CR alone each end a line, so files from any system
// read the same; a last line without a line end is a line. A line keeps at most `keep`
// characters and the rest of it is skipped, so that a file without line ends (a device, a
// damaged file) never fills the memory: a line that runs on kLineRunOn characters past `keep`
// is not read at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace korvelan {

// Longest line any reader can use (a control instruction, a data record).
inline constexpr std::size_t kLongestTextLine = 32000;
// How far a line may run on past what is kept before reading it is given up.
inline constexpr std::size_t kLineRunOn = std::size_t{1} << 20;
// Status of a line that ran on past kLineRunOn.
inline constexpr int kLineRunsOn = 10002;

// Status of a line that holds a NUL.
inline constexpr int kLineHasNul = 10004;

enum class TextEncoding { Bytes, Utf16Le, Utf16Be };

// Where a file stands: before its first byte (the mark may follow), its encoding, a UTF-16 unit
// read ahead, and the lines read so far.
struct TextLinePosition {
    bool at_start = true;
    TextEncoding encoding = TextEncoding::Bytes;
    int pending_unit = -1;
    std::int64_t lines_read = 0;
};

// Reads the next line into line (without its end): 0, -1 at the end of the file, kLineRunsOn,
// kLineHasNul (the line is read and counted), or the engine's code of a read error.
int read_text_line(std::FILE* file, TextLinePosition& at, std::string& line,
                   std::size_t keep = kLongestTextLine);

// A text file read line by line on its own, outside the run's units.
class TextLineFile {
  public:
    TextLineFile() = default;
    TextLineFile(const TextLineFile&) = delete;
    TextLineFile& operator=(const TextLineFile&) = delete;
    ~TextLineFile() { close(); }
    // False when the file cannot be opened.
    bool open(const std::string& path);
    int next(std::string& line, std::size_t keep = kLongestTextLine) {
        return read_text_line(file_, at_, line, keep);
    }
    std::int64_t lines_read() const { return at_.lines_read; }
    void close();

  private:
    std::FILE* file_ = nullptr;
    TextLinePosition at_;
};

}  // namespace korvelan
