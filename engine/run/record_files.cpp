#include "engine/run/record_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {

// Codes of the file layer for misuse of a record file.
constexpr int kNotOpenForRead = 10000;
constexpr int kNotOpenForWrite = 10001;
constexpr int kBadRecordLength = 10003;
constexpr int kBadRecordNumber = 10023;

// Bytes of consecutive records gathered before they are written together, and read ahead
// together.
constexpr std::size_t kGatherBytes = 256 * 1024;
constexpr std::size_t kAheadBytes = 256 * 1024;

// The write failures of files whose unit was closed, by path: a file opened again keeping its
// records lacks the records that write lost, and says so at its first transfer.
struct LostWrite {
    int status = 0;
    std::int64_t record = 0;
};
std::mutex g_lost_mutex;
std::map<std::string, LostWrite> g_lost_writes;

void remember_lost_write(const RecordUnit& u) {
    if (u.write_failure == 0) return;
    std::lock_guard<std::mutex> lock(g_lost_mutex);
    g_lost_writes.try_emplace(u.path, LostWrite{u.write_failure, u.failed_record});
}

void forget_lost_write(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_lost_mutex);
    g_lost_writes.erase(path);
}

void inherit_lost_write(RecordUnit& u) {
    std::lock_guard<std::mutex> lock(g_lost_mutex);
    auto it = g_lost_writes.find(u.path);
    if (it != g_lost_writes.end()) u.write_failure = it->second.status, u.failed_record = it->second.record;
}

int set_status(Run& run, int status) {
    return run.rs.io_status = status;
}

RecordUnit* find_unit(Run& run, int unit) {
    auto it = run.records.open.find(unit);
    return it == run.records.open.end() ? nullptr : &it->second;
}

// Byte offset of record n, or -1 when n is not a record number.
off_t record_offset(const RecordUnit& u, std::int64_t n) {
    if (n < 1) return -1;
    return static_cast<off_t>(n - 1) * u.record_length;
}

// Writes size bytes at offset; 0 or a status. put counts the bytes written.
int write_at(int fd, const char* p, std::size_t size, off_t at, std::size_t& put) {
    put = 0;
    while (put < size) {
        ssize_t r = ::pwrite(fd, p + put, size - put, at + static_cast<off_t>(put));
        if (r < 0) {
            if (errno == EINTR) continue;
            return status_from_errno(errno);
        }
        if (r == 0) return status_from_errno(ENOSPC);
        put += static_cast<std::size_t>(r);
    }
    return 0;
}

// Writes the gathered records out; they are dropped from the gathering either way. A write that
// fails is kept on the unit with the first record it lost.
int flush_unit(RecordUnit& u) {
    if (u.pending_count == 0) return u.write_failure;
    const std::size_t size =
        static_cast<std::size_t>(u.pending_count) * static_cast<std::size_t>(u.record_length);
    std::size_t put = 0;
    int st = write_at(u.fd, u.pending.data(), size, record_offset(u, u.pending_first), put);
    if (st != 0 && u.write_failure == 0)
        u.write_failure = st, u.failed_record = u.pending_first + put / u.record_length;
    u.pending_count = 0;
    return u.write_failure;
}

// Drops the records read ahead on the unit and, when the file is shared, on every unit that
// holds it.
void drop_read_ahead(Run& run, RecordUnit& u) {
    u.ahead_count = 0;
    u.larger_than_whole_read = false;
    if (!u.shared) return;
    for (auto& [n, other] : run.records.open)
        if (other.path == u.path) other.ahead_count = 0, other.larger_than_whole_read = false;
}

// Reads up to size bytes at offset; the count read, or a negative status.
long long read_at(int fd, char* p, std::size_t size, off_t at) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t r = ::pread(fd, p + got, size - got, at + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return -static_cast<long long>(status_from_errno(errno));
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

// Records read out of order from a small file (the item labels a Table reads for each person in
// its own order) are served from the whole file, read once: a file up to this size is read whole
// at its first record read out of order, and again after a write, at most a few times a unit
// (a unit whose writes and reads alternate goes back to reading one record at a time).
constexpr std::size_t kWholeReadBytes = std::size_t{4} << 20;
constexpr int kMostWholeReads = 4;

// The whole file into the unit's read-ahead records when it is small; else marks the unit, so
// that its size is not asked again until a write. 0 or a status.
int read_whole_file(RecordUnit& u, std::size_t want) {
    struct stat info {};
    if (u.whole_reads >= kMostWholeReads || ::fstat(u.fd, &info) != 0 || info.st_size < static_cast<off_t>(want) ||
        info.st_size > static_cast<off_t>(kWholeReadBytes)) {
        u.larger_than_whole_read = true;
        return 0;
    }
    const std::size_t size = static_cast<std::size_t>(info.st_size) / want * want;
    if (u.ahead.size() < size) u.ahead.resize(size);
    u.ahead_count = 0;  // the records held are overwritten
    const long long got = read_at(u.fd, u.ahead.data(), size, 0);
    if (got < 0) return static_cast<int>(-got);
    u.ahead_first = 1;
    u.ahead_count = got / static_cast<long long>(want);
    ++u.whole_reads;
    return 0;
}

// Record n into p from the records read ahead, when they hold it.
bool from_read_ahead(const RecordUnit& u, std::int64_t n, char* p, std::size_t want) {
    if (u.ahead_count <= 0 || n < u.ahead_first || n >= u.ahead_first + u.ahead_count) return false;
    std::memcpy(p, u.ahead.data() + static_cast<std::size_t>(n - u.ahead_first) * want, want);
    return true;
}

int flush_all(Run& run) {
    int first = 0;
    for (auto& [n, u] : run.records.open) {
        int st = flush_unit(u);
        if (first == 0) first = st;
    }
    return first;
}

}  // namespace

RecordUnits::RecordUnits(RecordUnits&& other) noexcept : open(std::move(other.open)) {
    other.open.clear();
}

RecordUnits& RecordUnits::operator=(RecordUnits&& other) noexcept {
    if (this != &other) {
        for (auto& [n, u] : open) {
            flush_unit(u);
            ::close(u.fd);
        }
        open = std::move(other.open);
        other.open.clear();
    }
    return *this;
}

RecordUnits::~RecordUnits() {
    for (auto& [n, u] : open) {
        flush_unit(u);
        ::close(u.fd);
    }
}

int open_record_unit(Run& run, int unit, const std::string& path, std::int32_t record_length,
                     RecordOpen how) {
    close_record_unit(run, unit);
    // Another unit may hold the same file: its records must be in the file first.
    flush_all(run);
    if (record_length < 1) return set_status(run, kBadRecordLength);
    // Record files are work files: private, created exclusively, never through a link.
    int fd = open_private_work_file(path, O_RDWR, how == RecordOpen::Fresh);
    if (fd < 0) return set_status(run, status_from_errno(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return set_status(run, status_from_errno(EISDIR));
    }
    RecordUnit& u = run.records.open[unit];
    u = RecordUnit{};
    u.fd = fd, u.path = path, u.record_length = record_length;
    if (how == RecordOpen::Fresh) forget_lost_write(path);
    else inherit_lost_write(u);
    for (auto& [n, other] : run.records.open)
        if (n != unit && other.path == path) other.shared = u.shared = true;
    return set_status(run, 0);
}

bool record_unit_is_open(const Run& run, int unit) {
    return run.records.open.count(unit) != 0;
}

std::int32_t record_unit_length(const Run& run, int unit) {
    auto it = run.records.open.find(unit);
    return it == run.records.open.end() ? 0 : it->second.record_length;
}

int read_record(Run& run, int unit, std::int64_t n, void* record) {
    RecordUnit* u = find_unit(run, unit);
    if (!u) return set_status(run, kNotOpenForRead);
    if (u->write_failure != 0) return set_status(run, u->write_failure);
    off_t at = record_offset(*u, n);
    if (at < 0) return set_status(run, kBadRecordNumber);
    auto* p = static_cast<char*>(record);
    const auto want = static_cast<std::size_t>(u->record_length);
    if (u->pending_count > 0 && n >= u->pending_first && n < u->pending_first + u->pending_count) {
        std::memcpy(p, u->pending.data() + static_cast<std::size_t>(n - u->pending_first) * want,
                    want);
        return set_status(run, 0);
    }
    const bool follows = n == u->last_read + 1;
    u->last_read = n;
    if (from_read_ahead(*u, n, p, want)) return set_status(run, 0);
    if (int st = flush_unit(*u)) return set_status(run, st);
    if (!follows && !u->larger_than_whole_read) {
        if (int st = read_whole_file(*u, want)) return set_status(run, st);
        if (from_read_ahead(*u, n, p, want)) return set_status(run, 0);
    }
    if (follows && want <= kAheadBytes / 4) {
        if (u->ahead.size() < kAheadBytes) u->ahead.resize(kAheadBytes);
        const std::size_t size = kAheadBytes / want * want;
        const long long got = read_at(u->fd, u->ahead.data(), size, at);
        if (got < 0) return set_status(run, static_cast<int>(-got));
        u->ahead_first = n;
        u->ahead_count = got / static_cast<long long>(want);
        if (u->ahead_count == 0) return set_status(run, -1);  // not (wholly) in the file
        std::memcpy(p, u->ahead.data(), want);
        return set_status(run, 0);
    }
    const long long got = read_at(u->fd, p, want, at);
    if (got < 0) return set_status(run, static_cast<int>(-got));
    if (static_cast<std::size_t>(got) < want) return set_status(run, -1);  // not (wholly) in the file
    return set_status(run, 0);
}

int write_record(Run& run, int unit, std::int64_t n, const void* record) {
    RecordUnit* u = find_unit(run, unit);
    if (!u) return set_status(run, kNotOpenForWrite);
    if (u->write_failure != 0) return set_status(run, u->write_failure);
    off_t at = record_offset(*u, n);
    if (at < 0) return set_status(run, kBadRecordNumber);
    drop_read_ahead(run, *u);
    const auto* p = static_cast<const char*>(record);
    const auto size = static_cast<std::size_t>(u->record_length);
    const std::size_t gathered = static_cast<std::size_t>(u->pending_count) * size;
    const bool follows = u->pending_count > 0 && n == u->pending_first + u->pending_count;
    const bool inside =
        u->pending_count > 0 && n >= u->pending_first && n < u->pending_first + u->pending_count;
    if (inside) {  // rewritten before it reached the file
        std::memcpy(u->pending.data() + static_cast<std::size_t>(n - u->pending_first) * size, p,
                    size);
        return set_status(run, 0);
    }
    if (follows && gathered + size <= kGatherBytes) {
        std::memcpy(u->pending.data() + gathered, p, size);
        ++u->pending_count;
        return set_status(run, 0);
    }
    if (int st = flush_unit(*u)) return set_status(run, st);
    if (size > kGatherBytes / 4) {
        std::size_t put = 0;
        const int st = write_at(u->fd, p, size, at, put);
        if (st != 0) u->write_failure = st, u->failed_record = n;
        return set_status(run, st);
    }
    if (u->pending.size() < kGatherBytes) u->pending.resize(kGatherBytes);
    std::memcpy(u->pending.data(), p, size);
    u->pending_first = n;
    u->pending_count = 1;
    return set_status(run, 0);
}

int flush_record_unit(Run& run, int unit) {
    RecordUnit* u = find_unit(run, unit);
    if (!u) return set_status(run, kNotOpenForWrite);
    return set_status(run, flush_unit(*u));
}

std::int64_t record_unit_failed_write(const Run& run, int unit) {
    auto it = run.records.open.find(unit);
    return it == run.records.open.end() || it->second.write_failure == 0 ? 0
                                                                         : it->second.failed_record;
}

std::string record_unit_path(const Run& run, int unit) {
    auto it = run.records.open.find(unit);
    return it == run.records.open.end() ? std::string() : it->second.path;
}

std::int64_t record_count(Run& run, int unit) {
    RecordUnit* u = find_unit(run, unit);
    if (!u) return -1;
    if (flush_unit(*u) != 0) return -1;
    struct stat st {};
    if (::fstat(u->fd, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size) / u->record_length;
}

int close_record_unit(Run& run, int unit, bool delete_file) {
    auto it = run.records.open.find(unit);
    if (it == run.records.open.end()) return 0;
    int status = flush_unit(it->second);
    if (::close(it->second.fd) != 0 && status == 0) status = status_from_errno(errno);
    if (delete_file) {
        std::remove(it->second.path.c_str());
        forget_lost_write(it->second.path);
    } else {
        remember_lost_write(it->second);
    }
    run.records.open.erase(it);
    return status;
}

void close_all_record_units(Run& run) {
    for (auto& [n, u] : run.records.open) {
        flush_unit(u);
        remember_lost_write(u);
        ::close(u.fd);
    }
    run.records.open.clear();
}

}  // namespace korvelan
