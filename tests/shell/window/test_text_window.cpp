#include "shell/window/text_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "tests/shell/window/key_typing.h"
#include "tests/shell/window/qt_app.h"
#include "tests/support/test_files.h"

namespace korvelan {
namespace {

using testing::qt_app;

struct Window {
    QApplication& app = qt_app();
    TextStore store;
    TextWindow window{store};
    Window() { window.resize(640, 400); }
    void type(const std::string& text) {
        for (char c : text) window.type_char(static_cast<unsigned char>(c));
    }
    std::string line(int n) const { return std::string(store.line(n)); }
};

TEST(TextWindow, AppendedLinesAreCutAndFinished) {
    Window w;
    w.window.append_line(std::string(600, 'a'));
    EXPECT_EQ(w.store.line(1).size(), 500u);
    EXPECT_TRUE(w.window.line_finished());
    EXPECT_EQ(w.window.caret_line(), 1);  // the start of the line to come
    // Enter on the finished line gives an empty input line.
    int ended = 0;
    w.window.on_line_ended = [&] { ++ended; };
    w.window.type_char(13);
    EXPECT_EQ(w.store.line_count(), 2);
    EXPECT_EQ(w.line(2), "");
    EXPECT_EQ(ended, 1);
}

TEST(TextWindow, TypingTabsBackspaceAndTheColumnLimit) {
    Window w;
    w.type("abcde\t|");
    EXPECT_EQ(w.line(1), "abcde   |");
    w.type("\b\b\b\b");  // back to column 5
    w.type("xyz\t|");    // at column 8 a Tab gives 8 blanks
    EXPECT_EQ(w.line(1), "abcdexyz        |");
    w.type("\r");
    w.type(std::string(510, 'q'));
    EXPECT_EQ(w.line(2), std::string(500, 'q'));
    EXPECT_EQ(w.window.caret_column(), 500);
    // Keys: Left moves back, Delete removes under the caret.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&w.window, &left);
    QCoreApplication::sendEvent(&w.window, &del);
    EXPECT_EQ(w.line(2), std::string(499, 'q'));
    QKeyEvent key_a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(&w.window, &key_a);
    EXPECT_EQ(w.line(2), std::string(499, 'q') + "a");
    // A Tab inside the full line has no room for a blank: nothing changes, and it returns.
    QCoreApplication::sendEvent(&w.window, &left);
    w.type("\t");
    EXPECT_EQ(w.line(2), std::string(499, 'q') + "a");
    EXPECT_EQ(w.window.caret_column(), 499);
}

TEST(TextWindow, PastedLineEndsAndControlCharactersLeaveNoTraceInTheAnswer) {
    Window w;
    std::vector<std::string> answers;
    w.window.on_line_ended = [&] { answers.emplace_back(w.store.last_line()); };
    QApplication::clipboard()->setText(QString::fromLatin1("AB\r\nC\x01\x1b" "D\nE"));
    w.window.paste_clipboard();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], "AB");
    EXPECT_EQ(answers[1], "CD");
    EXPECT_EQ(w.line(3), "E");
    EXPECT_FALSE(w.window.line_finished());
    // Only the first 1024 characters of a paste are typed.
    w.window.type_char(13);
    QApplication::clipboard()->setText(QString(2000, QChar('p')));
    w.window.paste_clipboard();
    EXPECT_EQ(w.store.last_line().size(), 500u);
}

TEST(TextWindow, DoubleClickSelectsTheWordAndCutKeepsLaterLines) {
    Window w;
    w.window.append_line("one two  three");
    w.window.append_line("after");
    w.window.select_word_at(0, 4);  // first letter of "two"
    EXPECT_TRUE(w.window.selection().active);
    EXPECT_EQ(w.window.selection().first, 4);
    EXPECT_EQ(w.window.selection().end, 7);
    w.window.select_word_at(0, 3);  // the blank after "one"
    EXPECT_EQ(w.window.selection().first, 0);
    EXPECT_EQ(w.window.selection().end, 3);
    w.window.select_word_at(0, 40);  // beyond the end: nothing
    EXPECT_FALSE(w.window.selection().active);

    // A real double click on "three" (columns 9-13), then Cut.
    bool enabled = false;
    w.window.on_edit_commands = [&](bool on) { enabled = on; };
    const QPoint at = w.window.text_position(0, 10) + QPoint(2, 2);
    QMouseEvent click(QEvent::MouseButtonDblClick, at, w.window.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.viewport(), &click);
    EXPECT_EQ(w.window.selection().first, 9);
    EXPECT_EQ(w.window.selection().end, 14);
    EXPECT_TRUE(enabled);
    w.window.cut_selection();
    EXPECT_EQ(QApplication::clipboard()->text(), "three");
    EXPECT_EQ(w.line(1), "one two  ");
    EXPECT_EQ(w.line(2), "after");
    EXPECT_FALSE(w.window.selection().active);
    EXPECT_FALSE(enabled);
}

TEST(TextWindow, SaveWritesEveryLineWithCrLf) {
    Window w;
    testing::ScratchDir dir;
    w.window.append_line("first");
    w.window.append_line("");
    w.type("typed");
    EXPECT_EQ(w.window.save_text_store(dir.file("io.txt")), "");
    EXPECT_EQ(testing::read_file(dir.file("io.txt")), "first\r\n\r\ntyped\r\n");
    EXPECT_EQ(w.window.save_text_store(dir.file("no/such/dir.txt")), "Cannot create file");
}

// The window holds UTF-8: keys and pastes come in encoded, each character takes one cell, the
// editing keys take whole characters, and a line holds 500 characters whatever their bytes.
TEST(TextWindow, AccentedCharactersAreTypedEditedAndCopiedWhole) {
    Window w;
    testing::type_keys(&w.window, QString::fromUtf8("prüfung"));
    EXPECT_EQ(w.line(1), "prüfung");
    EXPECT_EQ(w.window.caret_cell(), 7);
    QTest::keyClick(&w.window, Qt::Key_Left);
    QTest::keyClick(&w.window, Qt::Key_Left);
    QTest::keyClick(&w.window, Qt::Key_Left);
    QTest::keyClick(&w.window, Qt::Key_Left);
    EXPECT_EQ(w.window.caret_cell(), 3);
    QTest::keyClick(&w.window, Qt::Key_Backspace);  // the ü goes whole
    EXPECT_EQ(w.line(1), "prfung");
    testing::type_keys(&w.window, QString::fromUtf8("Ö"));
    QTest::keyClick(&w.window, Qt::Key_Left);
    QTest::keyClick(&w.window, Qt::Key_Delete);
    EXPECT_EQ(w.line(1), "prfung");
    w.type("\r");
    // The selection is in columns: a double click on "Übung" copies it whole, and a paste
    // types it back.
    w.window.append_line("Äpfel Übung");
    w.window.select_word_at(1, 7);
    ASSERT_TRUE(w.window.copy_selection());
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Übung"));
    w.window.paste_clipboard();
    EXPECT_EQ(w.line(3), "Übung");
    w.window.select_word_at(1, 1);
    w.window.delete_selection();
    EXPECT_EQ(w.line(2), " Übung");
    // 500 two-byte characters fill a line; the next is dropped with all its bytes.
    w.type("\r");
    std::string full;
    for (int i = 0; i < 501; ++i) full += "é";
    w.window.type_text(full);
    EXPECT_EQ(w.store.last_line().size(), 1000u);
    EXPECT_EQ(w.window.caret_cell(), 500);
    w.window.append_line(full + "x");
    EXPECT_EQ(w.store.line(w.store.line_count()).size(), 1000u);
    EXPECT_EQ(w.store.widest_line(), 500);
}

// The line is drawn as Qt draws the same characters, one to a cell: no byte shows as a
// character of its own.
TEST(TextWindow, AccentedLinesAreDrawnAsTheCharactersTheyHold) {
    Window w;
    const QString text = QString::fromUtf8("/home/ü/Übung prüfung.txt");
    w.window.append_line(text.toStdString());
    w.window.append_line("next");
    const QImage shown = w.window.viewport()->grab().toImage();
    QImage expected(shown.size(), shown.format());
    {
        QPainter painter(&expected);
        painter.setFont(w.window.viewport()->font());
        painter.fillRect(expected.rect(), w.window.palette().base());
        painter.setPen(w.window.palette().text().color());
        for (int c = 0; c < text.size(); ++c)
            painter.drawText(c * w.window.char_width(), w.window.fontMetrics().ascent(), QString(text[c]));
    }
    const QRect line(0, 0, shown.width(), w.window.char_height());
    EXPECT_EQ(shown.copy(line), expected.copy(line));
}

}  // namespace
}  // namespace korvelan
