// The Input/Output window's editing: typed characters, appended lines, the selection, the
// clipboard and saving.
// The engine header comes before Qt's, whose keyword macros would clash with its names.
#include "engine/run/run.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

#include "shell/window/text_window.h"
#include "shell/window/utf8_cells.h"

namespace korvelan {

void TextWindow::set_edit_commands(bool enabled) {
    if (on_edit_commands) on_edit_commands(enabled);
}

void TextWindow::clear_selection() {
    if (!selection_.active) return;
    selection_.active = false;
    viewport()->update();
    set_edit_commands(false);
}

void TextWindow::open_new_line_if_finished() {
    if (!line_finished_) return;
    store_.start_new_line();
    update_scroll_ranges();
}

void TextWindow::scroll_to_end() {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TextWindow::append_line(std::string_view text) {
    text = text.substr(0, static_cast<std::size_t>(utf8::byte_of_char(text, TextStore::kMaxLineLength)));
    store_.start_new_line();
    line_finished_ = false;
    store_.append_to_last_line(text);
    store_.note_width(utf8::cells(text));
    update_scroll_ranges();
    caret_line_ = store_.line_count() - 1;
    caret_column_ = 0;
    type_char(13);
}

void TextWindow::type_enter() {
    open_new_line_if_finished();
    caret_line_ = store_.line_count() - 1;
    caret_column_ = 0;
    line_finished_ = true;
    scroll_to_end();
    if (on_line_ended) on_line_ended();
}

// One byte of a typed character: the bytes that continue a UTF-8 character follow their first
// byte, or are dropped with it when the line already holds its most characters.
void TextWindow::type_printable(char c) {
    open_new_line_if_finished();
    line_finished_ = false;
    if (utf8::continues(c)) {
        if (dropping_char_) return;
    } else {
        dropping_char_ = utf8::chars(store_.last_line()) >= TextStore::kMaxLineLength;
        if (dropping_char_) return;
    }
    store_.insert_blank_at_column(caret_column_);
    store_.store_char_at_column(c, caret_column_);
    ++caret_column_;
    const int cell = caret_cell();
    store_.note_width(cell);
    update_scroll_ranges();
    const int columns = std::max(1, viewport()->width() / char_width_);
    QScrollBar* h = horizontalScrollBar();
    if (cell - h->value() >= columns) h->setValue(cell - columns + 1);
}

int TextWindow::caret_cell() const { return utf8::cell_of(store_.last_line(), caret_column_); }

void TextWindow::finish_typing() {
    caret_line_ = store_.line_count() - 1;
    if (caret_column_ == 0 && line_finished_) ++caret_line_;
    viewport()->update();
}

void TextWindow::type_char(unsigned char c) {
    clear_selection();
    if (c == 8) {
        if (caret_column_ > 0 && !line_finished_) {
            const int start = utf8::previous_char(store_.last_line(), caret_column_);
            store_.delete_chars(store_.line_count(), start, caret_column_ - start);
            caret_column_ = start;
        }
    } else if (c == 9) {
        // Blanks up to the next tab stop; none more once the line is full.
        for (int before = -1; before != caret_column_;) {
            before = caret_column_;
            type_printable(' ');
            if (caret_cell() % kTabStop == 0) break;
        }
    } else if (c == 13) {
        type_enter();
    } else if (c >= 32 && c != 127) {
        type_printable(static_cast<char>(c));
    }
    // Other control characters (a pasted LF among them) would end up inside an answer or a
    // file name: they are dropped.
    finish_typing();
}

void TextWindow::type_text(std::string_view text) {
    text = text.substr(0, static_cast<std::size_t>(utf8::byte_of_char(text, kMaxPaste)));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // A line end of LF alone ends the line as CR does; the LF of CR LF is part of the CR's.
        if (c == '\n') {
            if (i == 0 || text[i - 1] != '\r') type_char(13);
            continue;
        }
        type_char(c);
    }
}

bool TextWindow::copy_selection() {
    if (!selection_.active || selection_.end <= selection_.first) return false;
    const std::string_view text = store_.line(selection_.line + 1);
    const int first = utf8::byte_of(text, selection_.first);
    const int end = utf8::byte_of(text, selection_.end);
    if (end <= first) return false;
    const std::string_view chosen = text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
    QApplication::clipboard()->setText(QString::fromUtf8(chosen.data(), static_cast<qsizetype>(chosen.size())));
    return true;
}

void TextWindow::cut_selection() {
    if (copy_selection()) delete_selection();
}

void TextWindow::paste_clipboard() {
    const QByteArray text = QApplication::clipboard()->text().toUtf8();
    const qsizetype nul = text.indexOf('\0');
    const QByteArray part = nul < 0 ? text : text.left(nul);
    type_text(std::string_view(part.constData(), static_cast<std::size_t>(part.size())));
}

void TextWindow::delete_selection() {
    if (!selection_.active) return;
    const std::string_view text = store_.line(selection_.line + 1);
    const int first = utf8::byte_of(text, selection_.first);
    const int end = utf8::byte_of(text, selection_.end);
    const int count = end - first;
    store_.delete_chars(selection_.line + 1, first, count);
    caret_line_ = store_.line_count() - 1;
    if (selection_.line == caret_line_ && first < caret_column_)
        caret_column_ = caret_column_ > end ? caret_column_ - count : first;
    clear_selection();
}

std::string TextWindow::save_text_store(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return "Cannot create file";
    std::string message;
    for (int i = 1; i <= store_.line_count(); ++i) {
        const std::string_view text = store_.line(i);
        if (std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fputs("\r\n", file) < 0) {
            message = "I/O error while writing file";
            break;
        }
    }
    if (std::fclose(file) != 0 && message.empty()) message = "I/O error while writing file";
    return message;
}

std::string TextWindow::ask_save_file_name() {
    // The dialog starts in the current folder, as the file prompts do, not in the last one visited.
    QFileDialog dialog(nullptr, QString(), QDir::currentPath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Text Files (*.txt)", "All Files (*.*)"});
    dialog.setDefaultSuffix("txt");
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

bool TextWindow::save(bool ask_always) {
    if (ask_always || file_name_.empty()) {
        std::string name = ask_save_file_name();
        if (name.empty()) return false;
        file_name_ = name;
        setWindowTitle(QFileInfo(QString::fromStdString(name)).fileName());
    }
    const std::string message = save_text_store(file_name_);
    if (!message.empty())
        QMessageBox::warning(nullptr, QString::fromLatin1(kProgramWord), QString::fromStdString(message));
    return message.empty();
}

}  // namespace korvelan
