// The Input/Output window's view: font, painting, scrolling, keys and the mouse selection.
#include "shell/window/text_window.h"

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
    for (int i = first; i <= last; ++i) {
        const std::string_view text = store_.line(i + 1);
        const QPoint at = text_position(i, 0);
        // One cell per character keeps every column where the caret and the mouse expect it.
        for (int c = 0; c < static_cast<int>(text.size()); ++c) {
            const int x = at.x() + c * char_width_;
            if (x + char_width_ < area.left() || x > area.right()) continue;
            painter.drawText(x, at.y() + ascent_, QString(QChar(static_cast<unsigned char>(text[c]))));
        }
    }
    if (selection_.active) {
        const std::string_view text = store_.line(selection_.line + 1);
        const int end = std::min(selection_.end, static_cast<int>(text.size()));
        const QPoint at = text_position(selection_.line, selection_.first);
        painter.fillRect(at.x(), at.y(), (selection_.end - selection_.first) * char_width_, char_height_, Qt::blue);
        painter.setPen(Qt::white);
        for (int c = selection_.first; c < end; ++c)
            painter.drawText(text_position(selection_.line, c).x(), at.y() + ascent_,
                             QString(QChar(static_cast<unsigned char>(text[c]))));
    }
    if (caret_shown_) {
        const QPoint at = text_position(caret_line_, caret_column_);
        painter.fillRect(at.x(), at.y(), char_width_, char_height_, palette().text());
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
        caret_column_ = std::max(caret_column_ - 1, 0);
        viewport()->update();
        return;
    case Qt::Key_Right:
        if (finished) return;
        caret_column_ = std::min(caret_column_ + 1, static_cast<int>(store_.last_line().size()));
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
        store_.delete_chars(store_.line_count(), caret_column_, 1);
        viewport()->update();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: type_char(13); return;
    case Qt::Key_Backspace: type_char(8); return;
    case Qt::Key_Tab: type_char(9); return;
    default: break;
    }
    const QByteArray typed = event->text().toLatin1();
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
    const int length = static_cast<int>(store_.line(selection_.active ? selection_.line + 1 : line + 1).size());
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
    if (column < 0 || column >= static_cast<int>(text.size())) return;
    int first = column;
    while (first > 0 && text[static_cast<std::size_t>(first - 1)] != ' ') --first;
    const std::size_t blank = text.find(' ', static_cast<std::size_t>(column));
    const int end = blank == std::string_view::npos ? static_cast<int>(text.size()) : static_cast<int>(blank);
    selection_ = {true, line, first, end};
    if (first != end) set_edit_commands(true);
}

}  // namespace korvelan
