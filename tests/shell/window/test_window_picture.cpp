// Draws the window offscreen, keeps its picture in the test output folder and checks where the
// text lands: each row of ink where the store has a line, none where it has none, and the last
// column of a line as wide as the window still drawn.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>

#include "shell/window/text_window.h"
#include "tests/shell/window/qt_app.h"

namespace korvelan {
namespace {

bool ink_in(const QImage& image, const QRect& cell) {
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
}

TEST(WindowPicture, TextRowsAreDrawnWhereTheStoreHasThemAndNothingIsClipped) {
    testing::qt_app();
    TextStore store;
    TextWindow window(store);
    window.resize(560, 300);
    window.show();
    const int w = window.char_width();
    const int h = window.char_height();
    const int columns = window.viewport()->width() / w;
    const int rows = window.viewport()->height() / h;
    ASSERT_GT(columns, 20);
    ASSERT_GT(rows, 6);
    window.append_line(" Korvelan Input/Output");
    window.append_line("");
    window.append_line(std::string(static_cast<std::size_t>(columns), 'M'));
    window.append_line("short");
    window.append_line("");
    window.append_line("12345");

    const QPixmap picture = window.grab();
    QDir().mkpath(KORVELAN_TEST_OUTPUT_DIR);
    ASSERT_TRUE(picture.save(QString(KORVELAN_TEST_OUTPUT_DIR) + "/input_output_window.png"));
    const QImage image = picture.toImage();
    const QPoint origin = window.viewport()->mapTo(&window, QPoint(0, 0));
    auto cell = [&](int line, int column, int count = 1) {
        const QPoint at = window.text_position(line, column) + origin;
        return QRect(at.x(), at.y(), count * w, h);
    };
    for (int line = 0; line < store.line_count(); ++line) {
        const int length = static_cast<int>(store.line(line + 1).size());
        EXPECT_EQ(ink_in(image, cell(line, 0, columns)), length > 0) << "row " << line;
        if (length > 0) {
            // Ink in the first and the last character of the line, none right after it.
            const int first = static_cast<int>(store.line(line + 1).find_first_not_of(' '));
            EXPECT_TRUE(ink_in(image, cell(line, first))) << "row " << line;
            EXPECT_TRUE(ink_in(image, cell(line, length - 1))) << "row " << line;
            if (length < columns) {
                EXPECT_FALSE(ink_in(image, cell(line, length, columns - length))) << "row " << line;
            }
        }
    }
    // The rows below the text stay empty (the caret is not drawn without the focus).
    EXPECT_FALSE(ink_in(image, cell(store.line_count(), 0, columns)));
}

}  // namespace
}  // namespace korvelan
