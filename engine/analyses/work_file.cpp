#include "engine/analyses/work_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace korvelan {

bool WorkFileHandle::open_existing(const std::string& path, bool writable) {
    close();
    fd_ = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    path_ = path;
    return fd_ >= 0;
}

bool WorkFileHandle::create(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    path_ = path;
    return fd_ >= 0;
}

namespace {

// Repeats a positioned transfer until `bytes` bytes have moved, the file ends (a read that
// returns 0) or it fails. Returns the count moved, or -1 on a failure.
template <class Transfer>
std::int64_t transfer_all(int fd, std::int64_t offset, std::int64_t bytes, Transfer transfer) {
    if (fd < 0 || offset < 0 || bytes < 0) return -1;
    std::int64_t moved = 0;
    while (moved < bytes) {
        const ssize_t n = transfer(moved, static_cast<std::size_t>(bytes - moved), static_cast<off_t>(offset + moved));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        moved += n;
    }
    return moved;
}

}  // namespace

bool WorkFileHandle::read_at(std::int64_t offset, void* data, std::int64_t bytes) const {
    return read_some(offset, data, bytes) == bytes;
}

std::int64_t WorkFileHandle::read_some(std::int64_t offset, void* data, std::int64_t bytes) const {
    char* p = static_cast<char*>(data);
    return transfer_all(fd_, offset, bytes, [&](std::int64_t at, std::size_t n, off_t position) {
        return ::pread(fd_, p + at, n, position);
    });
}

bool WorkFileHandle::write_at(std::int64_t offset, const void* data, std::int64_t bytes) const {
    const char* p = static_cast<const char*>(data);
    return transfer_all(fd_, offset, bytes, [&](std::int64_t at, std::size_t n, off_t position) {
        return ::pwrite(fd_, p + at, n, position);
    }) == bytes;
}

bool WorkFileHandle::reserve(std::int64_t bytes) const {
    if (fd_ < 0 || bytes <= 0) return fd_ >= 0;
    const int status = ::posix_fallocate(fd_, 0, static_cast<off_t>(bytes));
    if (status == 0) return true;
    if (status != EOPNOTSUPP && status != EINVAL) return false;
    // A file system without allocation: the last record written makes the file its size.
    const double zero = 0.0;
    return write_at(bytes - static_cast<std::int64_t>(sizeof zero), &zero, sizeof zero);
}

void WorkFileHandle::close(bool delete_file) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (delete_file && !path_.empty()) std::remove(path_.c_str());
}

bool CorrelationRecords::read(std::int64_t p, double& value) {
    const auto held = static_cast<std::int64_t>(read_buffer_.size());
    if (read_first_ == 0 || p < read_first_ || p >= read_first_ + held) {
        // What is still to be written must be in the file before it is read back.
        if (!flush()) return false;
        read_buffer_.resize(static_cast<std::size_t>(kBufferRecords));
        read_first_ = p;
        const std::int64_t got = file_.read_some((p - 1) * 8, read_buffer_.data(), kBufferRecords * 8) / 8;
        if (got < 1) {
            read_first_ = 0;
            read_buffer_.clear();
            return false;
        }
        read_buffer_.resize(static_cast<std::size_t>(got));
    }
    value = read_buffer_[static_cast<std::size_t>(p - read_first_)];
    return true;
}

bool CorrelationRecords::write(std::int64_t p, double value) {
    if (failed_ != 0) return false;
    const auto held = static_cast<std::int64_t>(write_buffer_.size());
    if (write_first_ == 0 || p != write_first_ + held || held >= kBufferRecords) {
        if (!flush()) return false;
        write_first_ = p;
    }
    write_buffer_.push_back(value);
    // A record read ahead and now rewritten is read again from the buffer's new value.
    if (read_first_ != 0 && p >= read_first_ && p < read_first_ + static_cast<std::int64_t>(read_buffer_.size()))
        read_buffer_[static_cast<std::size_t>(p - read_first_)] = value;
    return true;
}

bool CorrelationRecords::flush() {
    if (failed_ != 0) return false;
    if (!write_buffer_.empty()) {
        if (!file_.write_at((write_first_ - 1) * 8, write_buffer_.data(),
                            static_cast<std::int64_t>(write_buffer_.size()) * 8)) {
            failed_ = write_first_;
            write_buffer_.clear();
            return false;
        }
        write_buffer_.clear();
    }
    write_first_ = 0;
    return true;
}

}  // namespace korvelan
