#include "shell/window/text_store.h"

#include <algorithm>
#include <cstring>

namespace korvelan {

TextStore::TextStore()
    : text_(static_cast<std::size_t>(kCapacity)), starts_(static_cast<std::size_t>(kMaxLines) + 2, 1) {}

void TextStore::note_width(int width) { widest_ = std::max(widest_, width); }

std::string_view TextStore::line(int number) const {
    if (number < 1 || number > n_) return {};
    const int start = starts_[static_cast<std::size_t>(number)];
    const int end = starts_[static_cast<std::size_t>(number) + 1];
    return {text_.data() + start - 1, static_cast<std::size_t>(end - start)};
}

void TextStore::clear() {
    n_ = 0;
    widest_ = 0;
    starts_[1] = 1;
}

void TextStore::advance_line_count() {
    ++n_;
    if (n_ > kMaxLines) {
        n_ = 1;
        widest_ = 0;
        starts_[1] = 1;
    }
}

void TextStore::start_new_line() {
    advance_line_count();
    starts_[static_cast<std::size_t>(n_) + 1] = starts_[static_cast<std::size_t>(n_)];
}

void TextStore::make_room(int extra, bool keep_last_line) {
    if (used() + extra <= kCapacity) return;
    // The buffer is smaller than 999 full lines: when the next text would not fit, the
    // store is emptied as it is at the 1000th line.
    std::string_view last = keep_last_line ? last_line() : std::string_view();
    const int length = static_cast<int>(last.size());
    if (length > 0) std::memmove(text_.data(), last.data(), last.size());
    n_ = 1;
    widest_ = length;
    starts_[1] = 1;
    starts_[2] = 1 + length;
}

void TextStore::append_to_last_line(std::string_view text) {
    if (n_ == 0) start_new_line();
    const int length = std::min(static_cast<int>(text.size()), kMaxLineBytes);
    make_room(length, false);
    const int start = starts_[static_cast<std::size_t>(n_)];
    if (length > 0) std::memcpy(text_.data() + start - 1, text.data(), static_cast<std::size_t>(length));
    starts_[static_cast<std::size_t>(n_) + 1] = start + length;
}

void TextStore::store_char_at_column(char c, int column) {
    if (n_ == 0) start_new_line();
    const int length = static_cast<int>(last_line().size());
    if (column < 0 || column > length) return;
    if (column == length) {
        make_room(1, true);
        ++starts_[static_cast<std::size_t>(n_) + 1];
    }
    text_[static_cast<std::size_t>(starts_[static_cast<std::size_t>(n_)] - 1 + column)] = c;
}

void TextStore::insert_blank_at_column(int column) {
    if (n_ == 0) start_new_line();
    const int length = static_cast<int>(last_line().size());
    column = std::clamp(column, 0, length);
    make_room(1, true);
    char* start = text_.data() + starts_[static_cast<std::size_t>(n_)] - 1;
    std::memmove(start + column + 1, start + column, static_cast<std::size_t>(length - column));
    start[column] = ' ';
    ++starts_[static_cast<std::size_t>(n_) + 1];
}

void TextStore::delete_chars(int line_number, int column, int count) {
    if (line_number < 1 || line_number > n_ || count <= 0) return;
    const int length = static_cast<int>(line(line_number).size());
    if (column < 0 || column >= length) return;
    count = std::min(count, length - column);
    const int from = starts_[static_cast<std::size_t>(line_number)] - 1 + column;
    const int end = used();
    std::memmove(text_.data() + from, text_.data() + from + count, static_cast<std::size_t>(end - from - count));
    for (int i = line_number + 1; i <= n_ + 1; ++i) starts_[static_cast<std::size_t>(i)] -= count;
}

std::vector<PrintPage> paginate(int line_count, int lines_per_page, int from_page, int to_page) {
    lines_per_page = std::max(lines_per_page, 1);
    int first = 1;
    int last = line_count;
    if (from_page > 0) {
        first = (from_page - 1) * lines_per_page + 1;
        last = std::min(line_count, std::max(to_page, from_page) * lines_per_page);
    }
    std::vector<PrintPage> pages;
    for (int line = first; line <= last; line += lines_per_page)
        pages.push_back({line, std::min(last, line + lines_per_page - 1)});
    if (pages.empty()) pages.push_back({first, first - 1});
    return pages;
}

}  // namespace korvelan
