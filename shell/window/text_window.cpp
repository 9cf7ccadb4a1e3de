// The Input/Output window's view: font, painting, scrolling, keys and the mouse selection.
#include "shell/window/text_window.h"

#include "shell/window/utf8_cells.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace korvelan {

TextWindow::TextWindow(TextStore& store, QWidget* parent) : QAbstractScrollArea(parent), store_(store) {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    viewport()->setFont(font);
    const QFontMetrics metrics(font);
    char_width_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    char_height_ = std::max(1, metrics.height());
    ascent_ = metrics.ascent();
    caret_line_ = store_.line_count();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setPageStep(8);
    update_scroll_ranges();
}

int TextWindow::first_visible_line() const { return verticalScrollBar()->value(); }
int TextWindow::first_visible_column() const { return horizontalScrollBar()->value(); }

QPoint TextWindow::text_position(int line, int column) const {
    return {(column - first_visible_column()) * char_width_, (line - first_visible_line()) * char_height_};
}

void TextWindow::update_scroll_ranges() {
    const int rows = viewport()->height() / char_height_;
    const int columns = viewport()->width() / char_width_;
    verticalScrollBar()->setRange(0, std::max(0, store_.line_count() + 2 - rows));
    verticalScrollBar()->setPageStep(std::max(1, rows));
    horizontalScrollBar()->setRange(0, std::max(0, store_.widest_line() - columns));
}

void TextWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    update_scroll_ranges();
}

void TextWindow::scrollContentsBy(int, int) { viewport()->update(); }

void TextWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().base());
    painter.setPen(palette().text().color());
    const int top = first_visible_line();
    const int first = std::max(0, top + area.top() / char_height_ - 1);
    const int last = std::min(store_.line_count() - 1, top + area.bottom() / char_height_);
    for (int i = first; i <= last; ++i) draw_cells(painter, i, 0, 2 * TextStore::kMaxLineLength, area);
    if (selection_.active) {
        const QPoint at = text_position(selection_.line, selection_.first);
        painter.fillRect(at.x(), at.y(), (selection_.end - selection_.first) * char_width_, char_height_, Qt::blue);
        painter.setPen(Qt::white);
        draw_cells(painter, selection_.line, selection_.first, selection_.end, area);
    }
    if (caret_shown_) {
        const int column = caret_line_ == store_.line_count() - 1 ? caret_cell() : caret_column_;
        const QPoint at = text_position(caret_line_, column);
        painter.fillRect(at.x(), at.y(), char_width_, char_height_, palette().text());
    }
}

// One cell per character, two for a wide one, keeps every column where the caret and the mouse
// expect it; the characters from cell first up to cell end of a 0-based line are drawn, those
// outside the area skipped.
void TextWindow::draw_cells(QPainter& painter, int line, int first, int end, const QRect& area) const {
    const std::string_view text = store_.line(line + 1);
    const int y = text_position(line, 0).y() + ascent_;
    int cell = 0;
    for (int at = 0; at < static_cast<int>(text.size()) && cell < end;) {
        const int next = utf8::next_char(text, at);
        const int width = utf8::width_at(text, at);
        const int x = text_position(line, cell).x();
        if (cell >= first && x + width * char_width_ >= area.left() && x <= area.right())
            painter.drawText(x, y, QString::fromUtf8(text.data() + at, next - at));
        at = next;
        cell += width;
    }
}

void TextWindow::focusInEvent(QFocusEvent* event) {
    caret_shown_ = true;
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TextWindow::focusOutEvent(QFocusEvent* event) {
    caret_shown_ = false;
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TextWindow::keyPressEvent(QKeyEvent* event) {
    QScrollBar* v = verticalScrollBar();
    const bool finished = line_finished_;
    if (event->matches(QKeySequence::Copy)) { copy_selection(); return; }
    if (event->matches(QKeySequence::Cut)) { cut_selection(); return; }
    if (event->matches(QKeySequence::Paste)) { paste_clipboard(); return; }
    switch (event->key()) {
    case Qt::Key_Home: v->triggerAction(QAbstractSlider::SliderToMinimum); return;
    case Qt::Key_End: v->triggerAction(QAbstractSlider::SliderToMaximum); return;
    case Qt::Key_PageUp: v->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown: v->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Up: v->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_Left:
        caret_line_ = store_.line_count() - 1;
        caret_column_ = utf8::previous_char(store_.last_line(), caret_column_);
        viewport()->update();
        return;
    case Qt::Key_Right:
        if (finished) return;
        caret_column_ = std::min(utf8::next_char(store_.last_line(), caret_column_),
                                 static_cast<int>(store_.last_line().size()));
        viewport()->update();
        return;
    case Qt::Key_Insert:
        if (finished) return;
        store_.insert_blank_at_column(caret_column_);
        caret_line_ = store_.line_count() - 1;
        viewport()->update();
        return;
    case Qt::Key_Delete:
        if (finished) return;
        store_.delete_chars(store_.line_count(), caret_column_,
                            utf8::next_char(store_.last_line(), caret_column_) - caret_column_);
        viewport()->update();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: type_char(13); return;
    case Qt::Key_Backspace: type_char(8); return;
    case Qt::Key_Tab: type_char(9); return;
    default: break;
    }
    const QByteArray typed = event->text().toUtf8();
    for (char c : typed) type_char(static_cast<unsigned char>(c));
}

QPoint TextWindow::cell_at(const QPoint& pos) const {
    return {first_visible_column() + pos.x() / char_width_, first_visible_line() + pos.y() / char_height_};
}

void TextWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    clear_selection();
    mouse_down_ = true;
}

void TextWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !mouse_down_) return;
    const QPoint cell = cell_at(event->position().toPoint());
    extend_selection(cell.y(), cell.x());
}

void TextWindow::extend_selection(int line, int column) {
    const std::string_view text = store_.line(selection_.active ? selection_.line + 1 : line + 1);
    const int length = utf8::cells(text);
    column = utf8::boundary_cell(text, std::max(column, 0));  // a wide character is taken whole
    if (!selection_.active) {
        if (line < 0 || line >= store_.line_count() || column > length) return;
        selection_ = {true, line, column, column};
    } else if (column < selection_.first) {
        selection_.first = std::max(column, 0);
    } else if (column <= selection_.end) {
        if (std::abs(column - selection_.end) <= std::abs(column - selection_.first)) selection_.end = column;
        else selection_.first = column;
    } else {
        selection_.end = std::min(column, length);
    }
    viewport()->update();
}

void TextWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    mouse_down_ = false;
    if (selection_.active && selection_.first != selection_.end) set_edit_commands(true);
    else selection_.active = false;
}

void TextWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint cell = cell_at(event->position().toPoint());
    select_word_at(cell.y(), cell.x());
    mouse_down_ = false;
}

void TextWindow::select_word_at(int line, int column) {
    selection_.active = false;
    viewport()->update();
    if (line < 0 || line >= store_.line_count()) return;
    const std::string_view text = store_.line(line + 1);
    if (column < 0 || column >= utf8::cells(text)) return;
    // A blank is one byte in UTF-8: the word is found in bytes, then given in columns.
    const int at = utf8::byte_of(text, column);
    int first = at;
    while (first > 0 && text[static_cast<std::size_t>(first - 1)] != ' ') --first;
    const std::size_t blank = text.find(' ', static_cast<std::size_t>(at));
    const int end = blank == std::string_view::npos ? static_cast<int>(text.size()) : static_cast<int>(blank);
    selection_ = {true, line, utf8::cell_of(text, first), utf8::cell_of(text, end)};
    if (first != end) set_edit_commands(true);
}

}  // namespace korvelan
