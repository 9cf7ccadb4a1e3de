#include "engine/run/file_units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>

#include "engine/run/messages.h"
#include "engine/run/whole_files.h"

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

namespace {

// What a unit carries beyond the run's table of units, by its open stream.
struct UnitExtras {
    std::string target;    // the name its aside file takes when whole (empty: written in place)
    bool special = false;  // read from a pipe, a terminal or a device: a read may wait
    bool failed = false;   // a write failed: the aside file is not whole
};
std::mutex g_extras_mutex;
std::map<const std::FILE*, UnitExtras> g_extras;

UnitExtras extras_of(const std::FILE* f) {
    std::lock_guard<std::mutex> lock(g_extras_mutex);
    auto it = g_extras.find(f);
    return it == g_extras.end() ? UnitExtras{} : it->second;
}

void set_extras(const std::FILE* f, const UnitExtras& extras) {
    std::lock_guard<std::mutex> lock(g_extras_mutex);
    g_extras[f] = extras;
}

UnitExtras take_extras(const std::FILE* f) {
    std::lock_guard<std::mutex> lock(g_extras_mutex);
    auto it = g_extras.find(f);
    if (it == g_extras.end()) return {};
    UnitExtras e = it->second;
    g_extras.erase(it);
    return e;
}

std::FILE* open_stream(int fd, const char* how) {
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, how);
    if (!f) ::close(fd);
    return f;
}

// A work file: private to the user, created exclusively, never through a link.
std::FILE* open_work_file(const std::string& path, OpenMode mode) {
    switch (mode) {
        case OpenMode::Read: return open_stream(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC), "rb");
        case OpenMode::Append:
            return open_stream(open_private_work_file(path, O_WRONLY | O_APPEND, false), "ab");
        case OpenMode::CreateNew:
            return open_stream(
                ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600), "wb");
        case OpenMode::Write: return open_stream(open_private_work_file(path, O_WRONLY, true), "wb");
        default: return open_stream(open_private_work_file(path, O_RDWR, true), "w+b");
    }
}

bool is_special_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

}  // namespace

bool is_run_work_file(const Run& run, const std::string& path) {
    const std::string& dir = run.rs.temp_directory;
    const std::string suffix = run.rs.run_id + "kv.txt";
    if (run.rs.run_id.empty() || dir.empty() || path.size() != dir.size() + 3 + suffix.size()) return false;
    return path.compare(0, dir.size(), dir) == 0 && path.compare(dir.size() + 3, suffix.size(), suffix) == 0 &&
           path.find('/', dir.size()) == std::string::npos;
}

int open_unit(Run& run, int unit, const std::string& path, OpenMode mode) {
    // An input named like the report would be replaced by it once the report is whole.
    if (mode == OpenMode::Read && run.rs.report_guarded && names_report_being_written(run, path))
        refuse_report_named_like_input(run, absolute_name(path));
    close_unit(run, unit);
    std::FILE* f = nullptr;
    std::string target;
    const bool special = is_special_file(path);
    // Opening a pipe waits for its other end; a first Ctrl+C may end that wait.
    BlockingWait wait(special);
    errno = 0;
    if (mode == OpenMode::Replace && written_aside(path)) {
        std::string aside;
        f = open_stream(create_aside_file(path, O_RDWR, aside), "w+b");
        if (f) target = absolute_name(path);
        else if (!aside.empty()) discard_aside_file(aside);
        if (f) {
            run.units.open[unit] = UnitFile{f, aside, true, {}};
            set_extras(f, UnitExtras{target, false, false});
            return run.rs.io_status = 0;
        }
    } else if (is_run_work_file(run, path)) {
        f = open_work_file(path, mode);
    } else {
        switch (mode) {
            case OpenMode::Read: f = std::fopen(path.c_str(), "rb"); break;
            case OpenMode::Replace:
            case OpenMode::Write: f = std::fopen(path.c_str(), "wb"); break;
            case OpenMode::Append: f = std::fopen(path.c_str(), "ab"); break;
            case OpenMode::ReadWrite: f = std::fopen(path.c_str(), "w+b"); break;
            case OpenMode::CreateNew:
                f = open_stream(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644), "wb");
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
    if (special) set_extras(f, UnitExtras{{}, true, false});
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

bool names_same_file(const std::string& path, const std::string& other) {
    if (path.empty() || other.empty()) return false;
    std::error_code ec, e;
    const std::filesystem::path a = std::filesystem::absolute(path, ec).lexically_normal();
    const std::filesystem::path b = std::filesystem::absolute(other, e).lexically_normal();
    if (!ec && !e && a == b) return true;
    return std::filesystem::equivalent(path, other, e);
}

bool names_input_or_report_file(const Run& run, const std::string& path) {
    auto same = [&](const std::string& other) { return names_same_file(path, other); };
    if (same(run.rs.control_file) || same(run.rs.report_file)) return true;
    return std::any_of(run.rs.input_files.begin(), run.rs.input_files.end(), same);
}

bool names_report_being_written(const Run& run, const std::string& path) {
    return !run.rs.report_closed && unit_is_open(run, unit::kReport) && !is_run_work_file(run, path) &&
           written_aside(run.rs.report_file) && names_same_file(path, run.rs.report_file);
}

std::vector<std::string> names_of_file_list(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t plus = list.find('+');
        std::string name(trim(list.substr(0, plus)));
        list = plus == std::string_view::npos ? std::string_view() : list.substr(plus + 1);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

bool unit_is_open(const Run& run, int unit) { return run.units.open.count(unit) != 0; }

const std::string& unit_path(const Run& run, int unit) {
    static const std::string none;
    auto it = run.units.open.find(unit);
    return it == run.units.open.end() ? none : it->second.path;
}

std::int64_t unit_lines_read(const Run& run, int unit) {
    auto it = run.units.open.find(unit);
    return it == run.units.open.end() ? 0 : it->second.lines.lines_read;
}

bool unit_read_may_wait(const std::FILE* f) { return extras_of(f).special; }

int write_unit_line(Run& run, int unit, std::string_view text) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return run.rs.io_status = 10001;  // not open for write
    std::FILE* f = it->second.file;
    errno = 0;
    if ((!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) ||
        std::fwrite("\r\n", 1, 2, f) != 2) {
        UnitExtras extras = extras_of(f);
        extras.failed = true;
        set_extras(f, extras);
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

bool unit_can_rewind(const Run& run, int unit) {
    auto it = run.units.open.find(unit);
    return it != run.units.open.end() && !unit_read_may_wait(it->second.file);
}

int empty_unit(Run& run, int unit) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end() || !it->second.writing) return run.rs.io_status = 10001;
    std::FILE* f = it->second.file;
    errno = 0;
    if (std::fflush(f) != 0 || ::ftruncate(::fileno(f), 0) != 0)
        return run.rs.io_status = status_from_errno(errno == 0 ? EIO : errno);
    std::rewind(f);
    UnitExtras extras = extras_of(f);
    if (extras.failed) {
        extras.failed = false;
        set_extras(f, extras);
    }
    return run.rs.io_status = 0;
}

int close_unit(Run& run, int unit, bool delete_file) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return 0;
    UnitFile& uf = it->second;
    const UnitExtras extras = take_extras(uf.file);
    errno = 0;
    int status = 0;
    if (std::fclose(uf.file) != 0 && uf.writing) status = status_from_errno(errno == 0 ? EIO : errno);
    if (!extras.target.empty()) {
        if (delete_file || status != 0 || extras.failed) discard_aside_file(uf.path);
        else if (const int err = commit_aside_file(uf.path, extras.target)) status = status_from_errno(err);
    } else if (delete_file) {
        std::remove(uf.path.c_str());
    }
    run.units.open.erase(it);
    return status;
}

void drop_unit(Run& run, int unit) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) return;
    const UnitExtras extras = take_extras(it->second.file);
    std::fclose(it->second.file);
    if (!extras.target.empty()) discard_aside_file(it->second.path);
    run.units.open.erase(it);
}

void close_all_units(Run& run) {
    // A file still being written aside is not whole: the earlier one stays.
    for (auto& [u, uf] : run.units.open) {
        const UnitExtras extras = take_extras(uf.file);
        std::fclose(uf.file);
        if (!extras.target.empty()) discard_aside_file(uf.path);
    }
    run.units.open.clear();
    close_all_record_units(run);
}

}  // namespace korvelan
