#include "shell/services/file_patterns.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <functional>

namespace korvelan {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Splits "dir/name" into "dir/" and "name"; a pattern without "/" lies in the current folder.
std::pair<std::string, std::string> split_pattern(const std::string& pattern) {
    const std::size_t slash = pattern.rfind('/');
    if (slash == std::string::npos) return {"", pattern};
    return {pattern.substr(0, slash + 1), pattern.substr(slash + 1)};
}

// Calls `each` with the name of every entry of the directory but "." and ".."; stops when it
// returns true. Returns whether it stopped.
bool for_each_entry(const std::string& dir, const std::function<bool(const std::string&)>& each) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool stopped = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (each(name)) {
            stopped = true;
            break;
        }
    }
    ::closedir(d);
    return stopped;
}

bool is_directory(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool wildcard_matches(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// The parts are named variables, not structured bindings: clang before 16 cannot capture those.
bool file_exists(const std::string& pattern) {
    const auto parts = split_pattern(pattern);
    const std::string& dir = parts.first;
    const std::string& name = parts.second;
    return for_each_entry(dir, [&](const std::string& entry) { return wildcard_matches(name, entry); });
}

int delete_matching_files(const std::string& pattern) {
    const auto parts = split_pattern(pattern);
    const std::string& dir = parts.first;
    const std::string& name = parts.second;
    int deleted = 0;
    for_each_entry(dir, [&](const std::string& entry) {
        if (wildcard_matches(name, entry) && ::unlink((dir + entry).c_str()) == 0) ++deleted;
        return false;
    });
    return deleted;
}

std::string find_file_recursive(const std::string& directory, const std::string& wanted) {
    const std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    const std::string target = upper(wanted);
    std::string found;
    for_each_entry(dir, [&](const std::string& entry) {
        if (entry[0] == '.') return false;
        const std::string path = dir + entry;
        if (is_directory(path)) {
            found = find_file_recursive(path, wanted);
            return !found.empty();
        }
        if (upper(entry) != target) return false;
        found = path;
        return true;
    });
    return found;
}

}  // namespace korvelan
