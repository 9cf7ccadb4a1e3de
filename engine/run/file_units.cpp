#include "engine/run/file_units.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace korvelan {

int status_from_errno(int err) {
    switch (err) {
        case 0: return 0;
        case ENOENT: return 2;
        case ENOTDIR: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM:
        case EISDIR: return 5;
        case EROFS: return 19;
        case ENOSPC:
        case EDQUOT: return 39;
        case EEXIST: return 80;
        default: return 20000 + err;
    }
}

int open_unit(Run& run, int unit, const std::string& path, OpenMode mode) {
    close_unit(run, unit);
    std::FILE* f = nullptr;
    errno = 0;
    switch (mode) {
        case OpenMode::Read: f = std::fopen(path.c_str(), "rb"); break;
        case OpenMode::Write: f = std::fopen(path.c_str(), "wb"); break;
        case OpenMode::Append: f = std::fopen(path.c_str(), "ab"); break;
        case OpenMode::ReadWrite: f = std::fopen(path.c_str(), "w+b"); break;
        case OpenMode::CreateNew: {
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                f = ::fdopen(fd, "wb");
                if (!f) ::close(fd);
            }
            break;
        }
    }
    if (!f) {
        run.rs.io_status = status_from_errno(errno == 0 ? ENOENT : errno);
        return run.rs.io_status;
    }
    if (mode == OpenMode::Read) {
        // A directory opens for reading on this platform; it is not a file.
        int c = std::fgetc(f);
        if (c == EOF && std::ferror(f)) {
            int err = errno;
            std::fclose(f);
            run.rs.io_status = status_from_errno(err == EISDIR ? EISDIR : err);
            return run.rs.io_status;
        }
        if (c != EOF) std::ungetc(c, f);
        else std::rewind(f);
    }
    run.units.open[unit] = UnitFile{f, path, mode != OpenMode::Read, {}};
    if (mode == OpenMode::Read) remember_input_file(run, path);
    run.rs.io_status = 0;
    return 0;
}

void remember_input_file(Run& run, const std::string& path) {
    std::error_code ec;
    std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec) full = path;
    std::vector<std::string>& files = run.rs.input_files;
    if (std::find(files.begin(), files.end(), full) == files.end()) files.push_back(full);
}

bool names_input_or_report_file(const Run& run, const std::string& path) {
    std::error_code ec;
    const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    auto same = [&](const std::string& other) {
        if (other.empty()) return false;
        std::error_code e;
        return full == std::filesystem::absolute(other, e).lexically_normal().string() ||
               std::filesystem::equivalent(path, other, e);
    };
    if (same(run.rs.control_file) || same(run.rs.report_file)) return true;
    return std::any_of(run.rs.input_files.begin(), run.rs.input_files.end(), same);
}

bool unit_is_open(const Run& run, int unit) { return run.units.open.count(unit) != 0; }

const std::string& unit_path(const Run& run, int unit) {
    static const std::string none;
    auto it = run.units.open.find(unit);
    return it == run.units.open.end() ? none : it->second.path;
}

int write_unit_line(Run& run, int unit, std::string_view text) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return run.rs.io_status = 10001;  // not open for write
    std::FILE* f = it->second.file;
    errno = 0;
    if ((!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) ||
        std::fwrite("\r\n", 1, 2, f) != 2) {
        return run.rs.io_status = status_from_errno(errno == 0 ? EIO : errno);
    }
    return run.rs.io_status = 0;
}

int rewind_unit(Run& run, int unit) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return run.rs.io_status = 10000;
    std::fflush(it->second.file);
    std::rewind(it->second.file);
    it->second.lines = TextLinePosition{};
    return run.rs.io_status = 0;
}

int close_unit(Run& run, int unit, bool delete_file) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return 0;
    errno = 0;
    int status = 0;
    if (std::fclose(it->second.file) != 0 && it->second.writing)
        status = status_from_errno(errno == 0 ? EIO : errno);
    if (delete_file) std::remove(it->second.path.c_str());
    run.units.open.erase(it);
    return status;
}

void close_all_units(Run& run) {
    for (auto& [u, uf] : run.units.open) std::fclose(uf.file);
    run.units.open.clear();
    close_all_record_units(run);
}

}  // namespace korvelan
