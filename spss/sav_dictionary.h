// What the converter reads of a .sav or .zsav file's dictionary itself rather than through the
// library: the character set the file names for its texts, the long variable names, the missing
// values of long string variables, and where the records lie that the library is not to read.
// Names and values are kept as stored, in the file's own character set.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvelan::spss {

struct SavDictionary {
    // The iconv name of the file's character set: its encoding record has the last say, else its
    // character code names it; "" when the file names none (its texts are then kept as stored).
    std::string encoding;
    // Short name (as the variable record holds it, trailing blanks removed) -> long name.
    std::map<std::string, std::string> long_names;
    // Long name -> the values a long string variable declares missing.
    std::map<std::string, std::vector<std::string>> long_string_missing;
    // File offsets of the subtype fields of the records hidden from the library: the long names
    // (its parser refuses a byte 0xFF, a letter in many code pages), the missing values of long
    // strings (whose layout it misreads) and the value labels of long strings (which name
    // variables by the long names it no longer knows; labels are not converted).
    std::vector<std::int64_t> hidden_subtypes;
};

// Reads what it can; a dictionary it cannot walk to its end leaves the rest empty (the library
// then says what is wrong with the file).
void read_sav_dictionary(const std::string& path, SavDictionary& dictionary);

}  // namespace korvelan::spss
