#include "shell/services/line_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/run/file_units.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {
constexpr char kCtrlZ = 26;
bool is_line_end(char c) { return c == '\r' || c == '\n'; }
int errno_status() { return status_from_errno(errno == 0 ? EIO : errno); }
}  // namespace

void LineFile::reset_buffer() {
    buffer_.fill(' ');
    position_ = 0;
    bytes_ = 0;
    pending_ = 0;
    at_start_ = true;
}

LineFile::~LineFile() {
    // A file still being written is not whole: the earlier one stays.
    failed_ = true;
    close();
}

int LineFile::create_output_file(const std::string& path) {
    close();
    errno = 0;
    failed_ = false;
    if (written_aside(path)) {
        fd_ = create_aside_file(path, O_WRONLY, aside_);
        if (fd_ >= 0) target_ = absolute_name(path);
    } else {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    }
    return fd_ >= 0 ? 0 : errno_status();
}

int LineFile::open_input_file(const std::string& path) {
    close();
    reset_buffer();
    errno = 0;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd_ >= 0 ? 0 : errno_status();
}

int LineFile::rewind_input_file(const std::string& path) {
    close();
    return open_input_file(path);
}

int LineFile::write_file_line(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    if (fd_ < 0) return status_from_errno(EBADF);
    errno = 0;
    if ((n > 0 && ::write(fd_, text.data(), n) != static_cast<ssize_t>(n)) || ::write(fd_, "\r\n", 2) != 2) {
        failed_ = true;
        return errno_status();
    }
    return 0;
}

int LineFile::close() {
    buffer_.fill(' ');
    position_ = 0;
    if (fd_ < 0) return 0;
    int status = ::close(fd_) == 0 ? 0 : errno_status();
    fd_ = -1;
    if (!aside_.empty()) {
        if (failed_ || status != 0) discard_aside_file(aside_);
        else if (const int err = commit_aside_file(aside_, target_)) status = status_from_errno(err);
        aside_.clear();
        target_.clear();
    }
    return status;
}

// Reads the next buffer. Returns 0, or the error to report now (nothing was gathered yet); a
// read error after some characters is kept for the next call.
int LineFile::fill_buffer(int count) {
    ssize_t n = fd_ >= 0 ? ::read(fd_, buffer_.data(), kBufferSize) : -1;
    if (n < 0) {
        const int err = fd_ >= 0 ? errno_status() : status_from_errno(EBADF);
        if (count < 1) {
            close();
            return err;
        }
        pending_ = err;
        position_ = 0;
        return 0;
    }
    bytes_ = static_cast<int>(n);
    auto z = std::find(buffer_.begin(), buffer_.begin() + bytes_, kCtrlZ);
    if (z != buffer_.begin() + bytes_) {
        *z = '\n';
        bytes_ = static_cast<int>(z - buffer_.begin()) + 1;
        pending_ = -1;
    }
    if (bytes_ < kBufferSize) {
        std::fill(buffer_.begin() + bytes_, buffer_.end(), ' ');
        buffer_[bytes_] = '\n';
    }
    position_ = 1;
    at_start_ = false;
    return 0;
}

int LineFile::read_file_line(std::string& line, int& count, int capacity) {
    // Byte-order marks at the start of a line are not part of it (files joined end to end, a
    // marked file saved again with a mark); the room kept for them lets the line keep `capacity`.
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    constexpr int kMarkRoom = 8 * static_cast<int>(kMark.size());
    for (;;) {
        const int status = read_marked_line(line, count, capacity + kMarkRoom);
        if (status != 0) return status;
        std::size_t marks = 0;
        while (line.compare(marks, kMark.size(), kMark) == 0) marks += kMark.size();
        line.erase(0, marks);
        if (static_cast<int>(line.size()) > capacity) line.resize(static_cast<std::size_t>(std::max(capacity, 0)));
        count -= static_cast<int>(marks);
        if (count > 0) return 0;
    }
}

int LineFile::read_marked_line(std::string& line, int& count, int capacity) {
    line.clear();
    count = 0;
    auto append = [&](int from, int to) {  // 0-based, end exclusive
        const int room = std::max(0, capacity - static_cast<int>(line.size()));
        line.append(buffer_.data() + from, static_cast<std::size_t>(std::min(room, to - from)));
        count += to - from;
    };
    for (;;) {
        if (position_ < 1 || position_ > kBufferSize) {
            if (pending_ != 0) {
                const int status = pending_;
                close();
                pending_ = 0;
                return status;
            }
            if (const int err = fill_buffer(count); err != 0) return err;
            if (position_ == 0) return 0;  // a read failed after part of a line
        }
        while (position_ <= kBufferSize) {
            int i = position_ - 1;
            if (position_ > bytes_) {
                if (count < 1) return -1;
                pending_ = -1;
                position_ = 0;
                return 0;
            }
            if (is_line_end(buffer_[i])) {
                while (i < bytes_ && is_line_end(buffer_[i])) ++i;
                position_ = i + 1;
                if (count > 0) return 0;
                continue;
            }
            auto end = std::find_if(buffer_.begin() + i, buffer_.end(), is_line_end);
            const int stop = static_cast<int>(end - buffer_.begin());
            append(i, stop);
            position_ = stop + 2;  // just past the line end (or past the buffer)
            if (stop < kBufferSize && count > 0) return 0;
        }
    }
}

}  // namespace korvelan
