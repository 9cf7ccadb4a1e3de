// The frame after a run, drawn offscreen with its Diagnosis menu open: the bar's titles, the
// menu's entries and the run's lines are drawn where the widgets put them. The picture goes to
// the test output folder; KORVELAN_UPDATE_PICTURES=1 makes it the picture of the program in
// docs/ (it shows the scratch folder's name, so it would change at every run).
#include "tests/shell/frame/frame_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "tests/support/data_sets.h"

namespace korvelan {
namespace {

using testing::Frame;

bool ink_in(const QImage& image, const QRect& area) {
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110) return true;
    return false;
}

TEST(FramePicture, TheFrameAfterARunShowsItsMenusAndTheRunsLines) {
    Frame f;
    f.window->resize(960, 640);
    testing::write_file(f.dir.file("exam.con"), testing::rating_scale_set(""));
    QImage image;
    std::vector<QRect> titles;
    QRect popup_area, text_area;
    f.analyse({f.dir.file("exam.con"), f.dir.file("exam.out")}, {[&] {
                  QMenuBar* bar = f.window->menuBar();
                  for (QAction* a : bar->actions())
                      titles.push_back(bar->actionGeometry(a).translated(bar->mapTo(f.window.get(), QPoint(0, 0))));
                  QMenu* diagnosis = f.window->menus().popup(2);
                  diagnosis->popup(f.window->mapToGlobal(QPoint(titles[2].left(), titles[2].bottom() + 1)));
                  QCoreApplication::processEvents();
                  QPixmap picture = f.window->grab();
                  {
                      QPainter painter(&picture);
                      popup_area = QRect(QPoint(titles[2].left(), titles[2].bottom() + 1), diagnosis->size());
                      painter.drawPixmap(popup_area.topLeft(), diagnosis->grab());
                  }
                  diagnosis->hide();
                  TextWindow& text = f.window->text_window();
                  text_area = QRect(text.viewport()->mapTo(f.window.get(), QPoint(0, 0)), text.viewport()->size());
                  QDir().mkpath(KORVELAN_TEST_OUTPUT_DIR);
                  ASSERT_TRUE(picture.save(KORVELAN_TEST_OUTPUT_DIR "/korvelan-frame.png"));
                  const char* update = std::getenv("KORVELAN_UPDATE_PICTURES");
                  if (update && std::string(update) == "1") {
                      ASSERT_TRUE(picture.save(KORVELAN_SOURCE_DIR "/docs/korvelan-frame.png"));
                  }
                  image = picture.toImage();
              }});
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(titles.size(), 11u);
    for (const QRect& title : titles) EXPECT_TRUE(ink_in(image, title));
    // Nothing right of the last title on the bar.
    EXPECT_FALSE(ink_in(image, QRect(titles.back().right() + 8, titles.back().top() + 2,
                                     image.width() - titles.back().right() - 16, titles.back().height() - 4)));
    EXPECT_TRUE(ink_in(image, popup_area.adjusted(4, 4, -4, -4)));
    // The run's last lines fill the bottom of the window, right of the open menu.
    const QRect last_rows(popup_area.right() + 4, text_area.bottom() - 60, text_area.right() - popup_area.right() - 8, 56);
    EXPECT_TRUE(ink_in(image, last_rows));
}

}  // namespace
}  // namespace korvelan
