// The text of the Input/Output window: one fixed byte buffer with a table of line starts; the
// text is UTF-8.
// Lines are numbered from 1; the last line is the one the user types into. No line ends are
// stored. Plain C++, so that it can be tested and printed from without a window.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace korvelan {

class TextStore {
public:
    static constexpr int kCapacity = 81920;   // characters in the buffer
    static constexpr int kMaxLines = 999;     // the 1000th line empties the store
    static constexpr int kMaxLineLength = 500;  // characters (the window keeps to it)
    static constexpr int kMaxLineBytes = 4 * kMaxLineLength;  // UTF-8 takes up to four a character

    TextStore();

    int line_count() const { return n_; }
    int widest_line() const { return widest_; }
    void note_width(int width);
    // The characters of line 1..n; empty for any other number.
    std::string_view line(int number) const;
    std::string_view last_line() const { return line(n_); }
    int used() const { return starts_[static_cast<std::size_t>(n_) + 1] - 1; }

    void advance_line_count();
    // A new, empty last line.
    void start_new_line();
    // Copies the text (cut to kMaxLineBytes) into the last line, which is empty.
    void append_to_last_line(std::string_view text);
    // Puts the character at the 0-based column of the last line; at its end the line grows.
    void store_char_at_column(char c, int column);
    // The last line grows by one: a blank opens at the column.
    void insert_blank_at_column(int column);
    // Removes count characters from the 0-based column of a line; later lines move down.
    void delete_chars(int line_number, int column, int count);
    void clear();

private:
    // Makes room for `extra` characters behind the text. When they would not fit the store is
    // emptied the same way as at the 1000th line, only the last line being kept when it is the
    // one that grows; text is never written past the buffer.
    void make_room(int extra, bool keep_last_line);

    std::vector<char> text_;
    std::vector<int> starts_;  // starts_[i]: 1-based buffer position of line i; [n+1] the end
    int n_ = 0;
    int widest_ = 0;
};

// One printed page: the store lines first..last (1-based, inclusive).
struct PrintPage {
    int first = 0;
    int last = 0;
};

// Splits the lines to print into pages of lines_per_page for one copy. With a page range
// (from_page > 0) only lines (from - 1) * per page + 1 .. to * per page are printed, fewer when
// the store is shorter. A page is started only when another line follows, so that an exact
// multiple of the page length gives no empty page; an empty store gives one empty page.
std::vector<PrintPage> paginate(int line_count, int lines_per_page, int from_page = 0, int to_page = 0);

}  // namespace korvelan
