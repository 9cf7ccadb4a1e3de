// A whole file read into memory in one call that never throws: a folder, a file that cannot be
// opened and a read that fails part-way all come back as the errno of the failure.
#pragma once

#include <string>

namespace korvelan {

// Reads every byte of the file at path into bytes. Returns 0, or the errno of the failure
// (EISDIR for a folder); bytes is then empty.
int read_whole_file(const std::string& path, std::string& bytes);

}  // namespace korvelan
