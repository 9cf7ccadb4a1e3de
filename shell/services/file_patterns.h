// Files by pattern: "?" stands for any one character and "*" for any run of characters in the
// file-name part of a pattern; the directory part is taken literally.
#pragma once

#include <string>

namespace korvelan {

// Whether the name matches the pattern ("?" one character, "*" any run).
bool wildcard_matches(const std::string& pattern, const std::string& name);
// Whether at least one file or directory matches the path pattern.
bool file_exists(const std::string& pattern);
// Deletes every file that matches the path pattern; failures are ignored. Returns how many
// were deleted.
int delete_matching_files(const std::string& pattern);
// Searches the directory and, depth first, every directory below it (names beginning with "."
// are skipped) for a file whose upper-cased name is the upper-cased wanted name. The found
// path, or empty.
std::string find_file_recursive(const std::string& directory, const std::string& wanted);

}  // namespace korvelan
