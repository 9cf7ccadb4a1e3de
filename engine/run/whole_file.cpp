#include "engine/run/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace korvelan {

namespace {

// Closes the descriptor on every return.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

int failed(std::string& bytes, int err) {
    bytes.clear();
    bytes.shrink_to_fit();
    return err != 0 ? err : EIO;
}

}  // namespace

int read_whole_file(const std::string& path, std::string& bytes) {
    bytes.clear();
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return failed(bytes, errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return failed(bytes, errno);
    if (S_ISDIR(st.st_mode)) return failed(bytes, EISDIR);
    // The size is only a first guess: the file may grow or shrink while it is read.
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, block, sizeof block);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(bytes, errno);
        }
        bytes.append(block, static_cast<std::size_t>(n));
    }
}

}  // namespace korvelan
