#include "engine/run/text_lines.h"

#include <cerrno>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {

// The line in hand: what is kept, and its whole length.
struct LineBuild {
    std::string& text;
    std::size_t keep;
    std::size_t length = 0;
    void put(int c) {
        if (length < keep) text.push_back(static_cast<char>(c));
        ++length;
    }
};

// After a leading 0xEF: the next character to take, the mark's bytes taken when it is not one.
int skip_byte_order_mark(std::FILE* file, LineBuild& build) {
    const int second = getc_unlocked(file);
    if (second != 0xBB) {
        build.put(0xEF);
        return second;
    }
    const int third = getc_unlocked(file);
    if (third == 0xBF) return getc_unlocked(file);
    build.put(0xEF);
    build.put(0xBB);
    return third;
}

}  // namespace

int read_text_line(std::FILE* file, TextLinePosition& at, std::string& line, std::size_t keep) {
    line.clear();
    if (!file) return 10000;  // not open for read
    LineBuild build{line, keep};
    errno = 0;
    int c = getc_unlocked(file);
    if (at.at_start) {
        at.at_start = false;
        if (c == 0xEF) c = skip_byte_order_mark(file, build);
    }
    const bool began = build.length > 0;
    for (;; c = getc_unlocked(file)) {
        if (c == EOF) {
            if (std::ferror(file)) return status_from_errno(errno == 0 ? EIO : errno);
            if (build.length == 0 && !began) return -1;
            break;
        }
        if (c == '\n') break;
        if (c == '\r') {
            const int next = getc_unlocked(file);
            if (next != '\n' && next != EOF) ungetc(next, file);
            break;
        }
        build.put(c);
        if (build.length > keep + kLineRunOn) return kLineRunsOn;
    }
    ++at.lines_read;
    return 0;
}

bool TextLineFile::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    at_ = TextLinePosition{};
    return file_ != nullptr;
}

void TextLineFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

// ---- lines of the files on units -------------------------------------------------------------

int read_unit_line(Run& run, int unit, std::string& line, std::size_t keep) {
    auto it = run.units.open.find(unit);
    if (it == run.units.open.end()) {
        line.clear();
        return run.rs.io_status = 10000;  // not open for read
    }
    UnitFile& file = it->second;
    BlockingWait wait(unit_read_may_wait(file.file));
    const int status = read_text_line(file.file, file.lines, line, keep);
    if (status == kLineRunsOn) {
        const std::string where = std::to_string(file.lines.lines_read + 1);
        fatal_message(run, msg::kLineRunsOn + where + msg::kLineRunsOnOf + file.path +
                               msg::kLineRunsOnTail);
    }
    return run.rs.io_status = status;
}

}  // namespace korvelan
