// The one platform line file of the shell: a text file written line by line, or read line by
// line through an 80-byte buffer. Statuses are those of the engine: 0, -1 at the end of the data,
// or the engine's code of the errno of a failed call.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvelan {

class LineFile {
public:
    LineFile() = default;
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;
    ~LineFile();

    // Creates the file for writing. A plain file is written aside and replaces the file of its
    // name at close; a pipe, a terminal or a device is written in place.
    int create_output_file(const std::string& path);
    // Opens an existing file for reading; the read buffer starts empty.
    int open_input_file(const std::string& path);
    int rewind_input_file(const std::string& path);
    // Writes the text without its trailing blanks, then CR LF.
    int write_file_line(std::string_view text);
    // Reads the next non-empty line. Runs of CR and LF separate lines; a Ctrl+Z ends the data;
    // UTF-8 byte-order marks at the start of a line are skipped.
    // `line` receives at most `capacity` characters, `count` the line's whole length. Returns 0
    // with a line, -1 at the end, or the error of a failed read; the file is closed when the
    // call reports the end that it had kept or a read error.
    int read_file_line(std::string& line, int& count, int capacity);
    // Closes the file (nothing when none is open). 0 or the error of the close. A file written
    // aside replaces the file of its name now, unless a write failed: then it is dropped, and
    // the file of its name keeps what it held.
    int close();
    bool is_open() const { return fd_ >= 0; }

private:
    static constexpr int kBufferSize = 80;
    int fill_buffer(int count);
    // The next non-empty line with the marks it begins with.
    int read_marked_line(std::string& line, int& count, int capacity);
    void reset_buffer();

    int fd_ = -1;
    std::string aside_;   // the aside file being written, empty when written in place
    std::string target_;  // the name it takes when whole
    bool failed_ = false;
    std::array<char, kBufferSize> buffer_{};
    int position_ = 0;  // 1-based read position; 0 when the buffer is used up
    int bytes_ = 0;     // bytes in the buffer from the last read
    int pending_ = 0;   // end (-1) or read error seen, reported by the next call
    bool at_start_ = true;  // no buffer read since the file was opened
};

}  // namespace korvelan
