#include "spss/sav_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace korvelan::spss {

namespace {

// The same byte four times: the same subtype in either byte order.
constexpr unsigned char kHiddenSubtypeByte = 0x7E;

int open_source(const char* path, void* ctx) {
    auto* s = static_cast<SavSource*>(ctx);
    s->fd = ::open(path, O_RDONLY | O_CLOEXEC);
    s->position = 0;
    return s->fd;
}

int close_source(void* ctx) {
    auto* s = static_cast<SavSource*>(ctx);
    const int status = s->fd >= 0 ? ::close(s->fd) : 0;
    s->fd = -1;
    return status;
}

readstat_off_t seek_source(readstat_off_t offset, readstat_io_flags_t whence, void* ctx) {
    auto* s = static_cast<SavSource*>(ctx);
    const int how = whence == READSTAT_SEEK_SET ? SEEK_SET : whence == READSTAT_SEEK_CUR ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(s->fd, offset, how);
    if (at >= 0) s->position = at;
    return at;
}

ssize_t read_source(void* buffer, size_t bytes, void* ctx) {
    auto* s = static_cast<SavSource*>(ctx);
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::read(s->fd, out + done, bytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    const std::int64_t from = s->position;
    s->position += static_cast<std::int64_t>(done);
    for (const std::int64_t field : s->hidden_subtypes) {
        for (std::int64_t at = field; at < field + 4; ++at) {
            if (at >= from && at < s->position) out[at - from] = kHiddenSubtypeByte;
        }
    }
    return static_cast<ssize_t>(done);
}

readstat_error_t update_source(long, readstat_progress_handler, void*, void*) { return READSTAT_OK; }

}  // namespace

void read_through(readstat_parser_t* parser, SavSource& source) {
    readstat_set_open_handler(parser, &open_source);
    readstat_set_close_handler(parser, &close_source);
    readstat_set_seek_handler(parser, &seek_source);
    readstat_set_read_handler(parser, &read_source);
    readstat_set_update_handler(parser, &update_source);
    readstat_set_io_ctx(parser, &source);
}

}  // namespace korvelan::spss
