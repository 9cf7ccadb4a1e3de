#include "engine/run/whole_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engine/run/leftover_files.h"
#include "engine/run/message_texts.h"

namespace korvelan {

namespace {

constexpr std::size_t kPathRoom = 4096;
constexpr int kListedAsides = 32;

// A slot is free (0), being filled (1) or holds a path a signal may remove (2), with the
// descriptor that holds the aside file's lock (-1 when none).
struct ListedPath {
    std::atomic<int> state{0};
    char path[kPathRoom];
    int lock = -1;
};
ListedPath g_asides[kListedAsides];

struct WorkFileFolders {
    std::atomic<bool> ready{false};
    char folders[2][kPathRoom];
    char suffix[64];
};
WorkFileFolders g_work;

// The files this run finished (renamed into place), ", "-separated, for the line a signal
// shows: only the part up to the published length is read there.
constexpr std::size_t kFinishedRoom = 16384;
char g_finished[kFinishedRoom];
std::atomic<std::size_t> g_finished_length{0};

std::atomic<int> g_blocking_waits{0};
std::atomic<unsigned> g_aside_counter{0};
// Aside files of stopped runs removed before a file of their name was written, not yet said.
std::atomic<std::size_t> g_leftover_asides{0};

ListedPath* list_aside(const std::string& path) {
    if (path.size() >= kPathRoom) return nullptr;
    for (ListedPath& slot : g_asides) {
        int expected = 0;
        if (!slot.state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.lock = -1;
        slot.state.store(2);
        return &slot;
    }
    return nullptr;
}

// The aside file is renamed or removed: its lock goes with the slot.
void unlist_aside(const std::string& path) {
    for (ListedPath& slot : g_asides) {
        if (slot.state.load() == 2 && path == slot.path) {
            if (slot.lock >= 0) ::close(slot.lock);
            slot.lock = -1;
            slot.state.store(0);
            return;
        }
    }
}

// Locks a new aside file for as long as it is written and until it is renamed or removed (a
// copy of the descriptor in its slot keeps the lock after the file is closed), so that a run of
// another host or process namespace, which cannot see this process, never removes it. False
// when a sweep removed the file between its creation and the lock: another name is taken.
bool lock_new_aside(int fd, const std::string& aside, ListedPath* slot) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return true;  // a file system without locks: no sweep can lock it either
    }
    struct stat held {}, named {};
    if (::fstat(fd, &held) != 0 || ::lstat(aside.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev)
        return false;
    if (slot) slot->lock = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return true;
}

// The file a name stands for: a link to a plain file is followed to it.
std::string resolved(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    char buf[PATH_MAX];
    if (::realpath(target.c_str(), buf) == nullptr) return target;
    return buf;
}

// Whether the user may write an existing file or folder. Others' rights are the system's to
// decide; the administrator, whom the system lets write anything, is held to the file's own mode
// bits: a file nobody may write is how users protect an earlier result, as the shell's `>` and
// `cp` respect it.
bool user_may_write(const std::string& path, const struct stat& st) {
    if (::geteuid() != 0) return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
    return (st.st_mode & 0222) != 0;
}

// Whether a file named `base` may be made in the folder: its name fits the folder's file system
// and the folder may be written. 0 or the errno of the refusal.
int refusal_of_folder(const std::string& folder, const std::string& base) {
    const std::string dir = folder.empty() ? std::string(".") : folder;
    errno = 0;
    const long longest = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    if (longest > 0 && base.size() > static_cast<std::size_t>(longest)) return ENAMETOOLONG;
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    return user_may_write(dir, st) ? 0 : EACCES;
}

// Copies a C string into a fixed buffer; false when it does not fit.
bool copy_text(char* to, std::size_t room, const std::string& from) {
    if (from.size() >= room) return false;
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

// Removes the run's work files from one folder with raw system calls only.
void sweep_folder(const char* folder, const char* suffix) {
    if (folder[0] == '\0' || suffix[0] == '\0') return;
    const int dir = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    const std::size_t suffix_length = std::strlen(suffix);
    alignas(8) char buf[8192];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, dir, buf, sizeof buf);
        if (n <= 0) break;
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buf + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            const std::size_t length = std::strlen(name);
            if (length == 3 + suffix_length && std::memcmp(name + 3, suffix, suffix_length) == 0)
                ::unlinkat(dir, name, 0);
        }
    }
    ::close(dir);
}

}  // namespace

bool written_aside(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

std::string absolute_name(const std::string& name) {
    if (name.empty() || name[0] == '/') return name;
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf) == nullptr) return name;
    return std::string(buf) + "/" + name;
}

int create_aside_file(const std::string& target, int flags, std::string& aside) {
    const std::string file = resolved(absolute_name(target));
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    aside.clear();
    // The rename must be able to give the file its name, and a file the user may not write stays.
    if (const int err = refusal_of_folder(folder, base)) {
        errno = err;
        return -1;
    }
    struct stat st {};
    const bool exists = ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (exists && !user_may_write(file, st)) {
        errno = EACCES;
        return -1;
    }
    if (base.size() > 200) base.resize(200);  // room for the ending within a name's 255 bytes
    // What a run ended at once (SIGKILL) left aside under this name goes before this run's own.
    LeftoverCount removed;
    remove_orphaned_aside_files(folder.empty() ? "./" : folder, removed, base);
    g_leftover_asides.fetch_add(removed.aside_files);
    for (int attempt = 0; attempt < 100; ++attempt) {
        aside = folder + "." + base + ".kv" + std::to_string(::getpid()) + "-" +
                std::to_string(g_aside_counter.fetch_add(1)) + ".part";
        ListedPath* slot = list_aside(aside);
        const int fd = ::open(aside.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 && !lock_new_aside(fd, aside, slot)) {
            ::close(fd);
            unlist_aside(aside);
            continue;
        }
        if (fd >= 0) {
            if (exists) ::fchmod(fd, st.st_mode & 07777);
            return fd;
        }
        const int err = errno;
        unlist_aside(aside);
        errno = err;
        if (err != EEXIST) break;
    }
    aside.clear();
    return -1;
}

std::size_t take_removed_leftover_asides() { return g_leftover_asides.exchange(0); }

int refusal_of_output_name(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return errno;
    } else if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    } else if (S_ISCHR(st.st_mode)) {
        // A device is opened as its writing will open it, and given a write of nothing: a device
        // that takes nothing (a full one) refuses even that; a terminal shows nothing.
        const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return errno;
        const int err = ::write(fd, "", 0) < 0 ? errno : 0;
        ::close(fd);
        return err;
    } else if (!S_ISREG(st.st_mode)) {
        return 0;  // a pipe is opened when the file goes there: it may have no reader yet
    }
    std::string aside;
    const int fd = create_aside_file(target, O_WRONLY, aside);
    if (fd < 0) return errno == 0 ? EIO : errno;
    ::close(fd);
    discard_aside_file(aside);
    return 0;
}

int commit_aside_file(const std::string& aside, const std::string& target) {
    const int status = ::rename(aside.c_str(), resolved(target).c_str()) == 0 ? 0 : errno;
    if (status != 0) ::unlink(aside.c_str());
    unlist_aside(aside);
    if (status == 0) note_finished_file(target);
    return status;
}

void note_finished_file(const std::string& target) {
    const std::size_t at = g_finished_length.load();
    const std::string text = (at == 0 ? std::string() : std::string(", ")) + target;
    // A list too long for its room ends in ", ..." once.
    constexpr std::string_view more = ", ...";
    if (at + text.size() + more.size() > kFinishedRoom) {
        if (at < more.size() || std::string_view(g_finished + at - more.size(), more.size()) != more) {
            std::memcpy(g_finished + at, more.data(), more.size());
            g_finished_length.store(at + more.size());
        }
        return;
    }
    std::memcpy(g_finished + at, text.data(), text.size());
    g_finished_length.store(at + text.size());
}

void forget_finished_files() { g_finished_length.store(0); }

std::string finished_files() { return std::string(g_finished, g_finished_length.load()); }

namespace {
// Hands the pieces of the sentence to put(text, length), in order; allocates nothing.
template <class Put>
void put_finished_files_sentence(const char* lead, Put put) {
    const std::size_t n = g_finished_length.load();
    auto text = [&put](const char* t) { put(t, std::strlen(t)); };
    text(lead);
    if (n == 0) {
        text(msg::kNoFileFinished);
        return;
    }
    text(msg::kFinishedFiles);
    put(g_finished, n);
    text(msg::kFinishedFilesOthers);
}
}  // namespace

std::string finished_files_sentence(const char* lead) {
    std::string sentence;
    put_finished_files_sentence(lead, [&sentence](const char* t, std::size_t n) { sentence.append(t, n); });
    return sentence;
}

void write_finished_files(int fd, const char* lead, const char* end) {
    auto put = [fd](const char* text, std::size_t length) {
        ssize_t ignored = ::write(fd, text, length);
        (void)ignored;
    };
    put_finished_files_sentence(lead, put);
    put(end, std::strlen(end));
}

void discard_aside_file(const std::string& aside) {
    if (aside.empty()) return;
    ::unlink(aside.c_str());
    unlist_aside(aside);
}

int open_private_work_file(const std::string& path, int flags, bool fresh) {
    const int plain = flags | O_NOFOLLOW | O_CLOEXEC;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = ::open(path.c_str(), plain | O_CREAT | O_EXCL, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
        // The name is taken: only a plain file of this user is the run's own; a link, a pipe or
        // another user's file planted under the name is never opened.
        struct stat before {};
        if (::lstat(path.c_str(), &before) != 0) {
            if (errno == ENOENT) continue;
            return -1;
        }
        if (!S_ISREG(before.st_mode) || before.st_uid != ::geteuid()) {
            errno = EEXIST;
            return -1;
        }
        const int own = ::open(path.c_str(), plain | (fresh ? O_TRUNC : 0));
        if (own < 0) return -1;
        struct stat after {};
        if (::fstat(own, &after) != 0 || after.st_ino != before.st_ino || after.st_dev != before.st_dev) {
            ::close(own);
            errno = EEXIST;
            return -1;
        }
        ::fchmod(own, 0600);
        return own;
    }
    errno = EEXIST;
    return -1;
}

void note_run_work_files(const std::string& temp_directory, const std::string& output_directory,
                         const std::string& suffix) {
    g_work.ready.store(false);
    const bool fits = copy_text(g_work.folders[0], kPathRoom, temp_directory) &&
                      copy_text(g_work.folders[1], kPathRoom,
                                output_directory == temp_directory ? std::string() : output_directory) &&
                      copy_text(g_work.suffix, sizeof g_work.suffix, suffix);
    g_work.ready.store(fits && !suffix.empty());
}

void remove_run_files_now() {
    for (ListedPath& slot : g_asides)
        if (slot.state.load() == 2) ::unlink(slot.path);
    if (!g_work.ready.load()) return;
    sweep_folder(g_work.folders[0], g_work.suffix);
    sweep_folder(g_work.folders[1], g_work.suffix);
}

BlockingWait::BlockingWait(bool active) : active_(active) {
    if (active_) g_blocking_waits.fetch_add(1);
}

BlockingWait::~BlockingWait() {
    if (active_) g_blocking_waits.fetch_sub(1);
}

bool in_blocking_wait() { return g_blocking_waits.load() > 0; }

}  // namespace korvelan
