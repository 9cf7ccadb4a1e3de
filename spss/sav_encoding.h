// The character set a .sav or .zsav file names for its texts, read from its dictionary: the
// name of its character-encoding record, else the code page of its machine-integer record.
#pragma once

#include <string>

namespace korvelan::spss {

// The encoding name for iconv ("ISO-8859-1", "windows-1252", "CP819"), or "" when the file names
// none or its dictionary cannot be walked.
std::string sav_file_encoding(const std::string& path);

}  // namespace korvelan::spss
