// File helpers for tests: a scratch directory that is removed afterwards, whole-file reads.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

struct ScratchDir {
    std::string path;  // ends in "/"
    ScratchDir();
    ~ScratchDir();
    std::string file(const std::string& name) const { return path + name; }
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
// Names of the files in a directory.
std::vector<std::string> list_dir(const std::string& dir);
// Splits on "\r\n"; the bytes after the last line end, if any, are the last element.
std::vector<std::string> crlf_lines(const std::string& bytes);
// Whether the text is UTF-8 with no control character but the form feed.
bool utf8_text(const std::string& s);
// The screen columns (from 0; a wide character takes two) of the frame pieces "|" and "+" of a
// line.
std::vector<std::size_t> frame_columns(const std::string& line);
// Restores the working directory when it goes out of scope.
struct CwdGuard {
    std::string saved;
    CwdGuard();
    ~CwdGuard();
};

}  // namespace korvelan::testing
