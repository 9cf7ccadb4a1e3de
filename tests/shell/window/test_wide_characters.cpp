// Wide characters in the Input/Output window: a line of Latin, CJK and kana text drawn with no
// glyph's ink over another's, the caret after the last ink, and the selection and copy taking
// a wide character whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPixmap>

#include "shell/window/text_window.h"
#include "shell/window/utf8_cells.h"
#include "tests/shell/window/qt_app.h"

namespace korvelan {
namespace {

const std::string kPath = "\u2026/\u6570\u636E \u30C6\u30B9\u30C8/pr\u00FCf ung \u8A66\u9A13.txt";

// The text row of a window showing the text on its first line, as dark (true) pixels.
struct Row {
    std::vector<std::vector<bool>> ink;  // [y][x]
    int left = -1, right = -1;           // the first and last column with ink
};

Row draw(const std::string& text, bool typed = false, int* caret_x = nullptr) {
    TextStore store;
    TextWindow window(store);
    window.resize(700, 120);
    window.show();
    if (typed) window.type_text(text);
    else window.append_line(text);
    const QImage image = window.viewport()->grab().toImage();
    Row row;
    const int h = window.char_height();
    row.ink.assign(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(image.width())));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                row.ink[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
                row.left = row.left < 0 ? x : std::min(row.left, x);
                row.right = std::max(row.right, x);
            }
    if (caret_x) *caret_x = window.text_position(window.caret_line(), window.caret_cell()).x();
    return row;
}

TEST(WideCharacters, NoGlyphInkCoversAnotherAndTheCaretStandsAfterTheLastInk) {
    testing::qt_app();
    // The line drawn one character more at a time: each character's ink is what it adds, and it
    // must lie right of all the ink before it.
    Row before = draw("");
    int drawn = 0;
    for (int at = 0; at < static_cast<int>(kPath.size());) {
        const int next = utf8::next_char(kPath, at);
        const Row after = draw(kPath.substr(0, static_cast<std::size_t>(next)));
        int first_new = -1;
        for (std::size_t y = 0; y < after.ink.size(); ++y)
            for (std::size_t x = 0; x < after.ink[y].size(); ++x)
                if (after.ink[y][x] && !before.ink[y][x] && (first_new < 0 || static_cast<int>(x) < first_new))
                    first_new = static_cast<int>(x);
        const std::string glyph = kPath.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(next - at));
        if (glyph != " ") {
            ASSERT_GE(first_new, 0) << "no ink for " << glyph;
            if (before.right >= 0) {
                EXPECT_GT(first_new, before.right) << glyph << " covers the character before it";
            }
            ++drawn;
        }
        before = after;
        at = next;
    }
    EXPECT_EQ(drawn, 21);
    int caret_x = 0;
    const Row typed = draw(kPath, true, &caret_x);
    EXPECT_GT(caret_x, typed.right);
    EXPECT_EQ(typed.right, before.right);  // typed and appended lines are drawn alike
}

TEST(WideCharacters, CellsCountWideCharactersTwiceAndTheSelectionTakesThemWhole) {
    testing::qt_app();
    EXPECT_EQ(utf8::cells(kPath), 31);
    EXPECT_EQ(utf8::chars(kPath), 24);
    TextStore store;
    TextWindow window(store);
    window.type_text("\u6570\u636Ea");
    EXPECT_EQ(window.caret_cell(), 5);
    window.type_char(9);  // Tab: blanks to cell 8
    EXPECT_EQ(window.caret_cell(), 8);
    window.type_char(13);
    window.append_line(kPath);
    // A double click on the second cell of a wide character selects its word.
    window.select_word_at(1, 3);
    ASSERT_TRUE(window.selection().active);
    EXPECT_EQ(window.selection().first, 0);
    EXPECT_EQ(window.selection().end, 6);
    ASSERT_TRUE(window.copy_selection());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "\u2026/\u6570\u636E");
    window.select_word_at(1, 8);
    ASSERT_TRUE(window.copy_selection());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "\u30C6\u30B9\u30C8/pr\u00FCf");
}

}  // namespace
}  // namespace korvelan
