#include "engine/run/leftover_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

namespace korvelan {

namespace {

int g_run_lock = -1;  // the descriptor holding this run's lock

bool all_digits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A plain file of this user (never a link), so that nothing of another user is touched.
bool own_plain_file(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

std::string with_slash(std::string folder) {
    if (folder.empty()) folder = "./";
    if (folder.back() != '/') folder += '/';
    return folder;
}

// The process id an aside file name carries, or 0 when the name is not of that form.
long aside_owner(const std::string& name) {
    const std::string tail = ".part";
    if (name.size() < 1 + 3 + 3 + tail.size() || name[0] != '.' ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    const std::size_t kv = name.rfind(".kv", name.size() - tail.size());
    if (kv == std::string::npos || kv == 0) return 0;
    const std::string middle = name.substr(kv + 3, name.size() - tail.size() - kv - 3);
    const std::size_t dash = middle.find('-');
    if (dash == std::string::npos || !all_digits(middle.substr(0, dash)) || !all_digits(middle.substr(dash + 1)) ||
        dash > 9)
        return 0;
    return std::stol(middle.substr(0, dash));
}

}  // namespace

bool hold_run_lock(const std::string& zin_path) {
    const int fd = ::open(zin_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (g_run_lock >= 0) ::close(g_run_lock);
    g_run_lock = fd;
    return true;
}

void remove_orphaned_work_files(const std::string& folder_name, LeftoverCount& count) {
    const std::string folder = with_slash(folder_name);
    // The sets of the folder, by run id.
    std::map<std::string, std::vector<std::string>> sets;
    for (const std::string& name : names_in(folder)) {
        if (name.size() != 12 || name.compare(6, 6, "kv.txt") != 0 || !all_digits(name.substr(3, 3))) continue;
        sets[name.substr(3, 3)].push_back(name);
    }
    for (auto& [id, names] : sets) {
        const std::string zin = folder + "ZIN" + id + "kv.txt";
        if (!own_plain_file(zin)) continue;  // a set without its ZIN is not known to be stopped
        const int fd = ::open(zin.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;  // its run lives, or another run is removing it
        }
        for (const std::string& name : names) {
            const std::string path = folder + name;
            if (name.compare(0, 3, "ZIN") == 0 || !own_plain_file(path)) continue;
            if (::unlink(path.c_str()) == 0) ++count.work_files;
        }
        if (::unlink(zin.c_str()) == 0) ++count.work_files;
        ::close(fd);
    }
}

void remove_orphaned_aside_files(const std::string& folder_name, LeftoverCount& count, const std::string& of) {
    const std::string folder = with_slash(folder_name);
    const std::string prefix = of.empty() ? std::string() : "." + of + ".kv";
    for (const std::string& name : names_in(folder)) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        if (aside_owner(name) == 0) continue;
        const std::string path = folder + name;
        if (!own_plain_file(path)) continue;
        // A run writing the file holds its lock, wherever that run is (another host sharing the
        // folder, another process namespace): only a file nobody holds is left over. The process
        // id in the name cannot tell: in another namespace it is another process, and a run that
        // was process 1 of a container leaves the id of a process that always lives, or of this
        // run itself, whose own aside files it holds locked.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev && ::unlink(path.c_str()) == 0)
            ++count.aside_files;
        ::close(fd);
    }
}

}  // namespace korvelan
