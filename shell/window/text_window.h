// The Input/Output window: shows the text store in the system fixed font, with a caret on the
// last line, the only line that can be edited. The text is UTF-8, one character to a cell. One selection within one line; the clipboard;
// saving the text. Lines from the engine come in through append_line, typed characters
// through type_char (keys, paste, Tab expansion and the host all use it).
#pragma once

#include <QAbstractScrollArea>
#include <QPainter>
#include <functional>
#include <string>
#include <string_view>

#include "shell/window/text_store.h"

namespace korvelan {

struct TextSelection {
    bool active = false;
    int line = 0;   // 0-based
    int first = 0;  // first column (character), inclusive
    int end = 0;    // end column, exclusive
};

class TextWindow : public QAbstractScrollArea {
public:
    static constexpr int kMaxPaste = 1024;
    static constexpr int kTabStop = 8;

    explicit TextWindow(TextStore& store, QWidget* parent = nullptr);

    // Appends one whole line (cut to the line limit) and finishes it with Enter.
    void append_line(std::string_view text);
    // One typed byte: 8 Backspace (takes the whole character before the caret), 9 Tab,
    // 13 Enter; other control characters are dropped; the bytes of a UTF-8 character come one
    // after another.
    void type_char(unsigned char c);
    // Types each character of the text, at most kMaxPaste of them; an LF right after a CR is
    // part of that line end and is not typed.
    void type_text(std::string_view text);

    bool copy_selection();
    void cut_selection();
    void paste_clipboard();
    void delete_selection();
    void select_word_at(int line, int column);  // 0-based, as a double click does

    // Writes every line with CR LF. Empty when it worked, else the message to show.
    std::string save_text_store(const std::string& path) const;
    // Save: the remembered name, else asks; Save As: always asks. False when cancelled. A name
    // asked for becomes the window title (the file's name without its folder).
    bool save(bool ask_always);
    std::string ask_save_file_name();

    // Called when Enter ends a line (the read the host waits in then returns).
    std::function<void()> on_line_ended;
    // Called when the selection gains or loses characters: enables Cut, Copy and Delete.
    std::function<void(bool)> on_edit_commands;

    const TextStore& store() const { return store_; }
    const TextSelection& selection() const { return selection_; }
    bool line_finished() const { return line_finished_; }
    int caret_column() const { return caret_column_; }  // a byte position in the last line
    int caret_cell() const;                            // the caret's column on the screen
    int caret_line() const { return caret_line_; }
    int char_width() const { return char_width_; }
    int char_height() const { return char_height_; }
    int first_visible_line() const;
    int first_visible_column() const;
    // Where a 0-based line and column are drawn in the viewport.
    QPoint text_position(int line, int column) const;

    void update_scroll_ranges();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void type_enter();
    void type_printable(char c);
    void finish_typing();
    void open_new_line_if_finished();
    void clear_selection();
    void set_edit_commands(bool enabled);
    void scroll_to_end();
    QPoint cell_at(const QPoint& pos) const;  // x column, y line (0-based)
    void draw_cells(QPainter& painter, int line, int first, int end, const QRect& area) const;
    void extend_selection(int line, int column);

    TextStore& store_;
    TextSelection selection_;
    bool mouse_down_ = false;
    bool line_finished_ = true;
    bool after_cr_ = false;  // the last character typed was a CR
    bool dropping_char_ = false;  // a character is being dropped: its continuation bytes go too
    int caret_column_ = 0;
    int caret_line_ = 0;
    int char_width_ = 8;
    int char_height_ = 16;
    int ascent_ = 12;
    bool caret_shown_ = false;
    std::string file_name_;
};

}  // namespace korvelan
