// Draws three dialogs offscreen, keeps their pictures in docs/ and checks where their ink lands:
// ticked boxes and radios carry a mark the unticked ones lack, and a box shows its text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>

#include "shell/dialogs/initial_settings_dialog.h"
#include "shell/dialogs/weights_dialog.h"
#include "shell/dialogs/xfile_dialog.h"
#include "tests/shell/window/qt_app.h"
#include "tests/support/test_host.h"

namespace korvelan {
namespace {

int dark_pixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110) ++n;
    return n;
}

// Shows the dialog, saves its picture as docs/korvelan-dialog-<name>.png and returns it.
QImage picture(QDialog& d, const char* name) {
    d.show();
    const QImage image = d.grab().toImage();
    const QString folder = QString(KORVELAN_SOURCE_DIR) + "/docs";
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + "/korvelan-dialog-" + name + ".png"));
    return image;
}

// The square at the left end of a check box or radio button, where its mark is drawn.
QRect mark_area(const QDialog& d, const QWidget& button) {
    const QRect r(button.mapTo(&d, QPoint(0, 0)), button.size());
    return QRect(r.left(), r.top(), std::min(r.height(), 22), r.height());
}

// The text part of an editable box: inside its frame, left of the arrow.
QRect text_area(const QDialog& d, const QComboBox& box) {
    const QRect r(box.mapTo(&d, QPoint(0, 0)), box.size());
    return r.adjusted(5, 5, -r.height() - 5, -5);
}

TEST(DialogPictures, XFileFieldsShowTheElevenFieldsTicked) {
    testing::qt_app();
    korvelan::Run run;
    run.arrays.persons = 9;
    run.arrays.items = 5;
    XFileDialog d(run, nullptr);
    const QImage image = picture(d, "xfile");
    const QList<QCheckBox*> boxes = d.findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 13);
    const int unticked = dark_pixels(image, mark_area(d, *boxes[11]));
    EXPECT_EQ(dark_pixels(image, mark_area(d, *boxes[12])), unticked);
    for (int k = 0; k < 11; ++k) EXPECT_GT(dark_pixels(image, mark_area(d, *boxes[k])), unticked + 4) << k;
    // Each box's text is drawn to the right of its mark.
    for (QCheckBox* box : boxes) {
        const QRect r(box->mapTo(&d, QPoint(0, 0)), box->size());
        EXPECT_GT(dark_pixels(image, r.adjusted(24, 0, 0, 0)), 10) << box->text().toStdString();
    }
}

TEST(DialogPictures, WeightsShowOnlyTheWeightedSideWithItsChoiceTicked) {
    testing::qt_app();
    korvelan::Run run;
    run.cv.pweight = "$S1W1";
    run.input.person_weight_report = 3;
    WeightsDialog d(run, nullptr);
    const QImage image = picture(d, "weights");
    const QList<QGroupBox*> groups = d.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 2);
    EXPECT_TRUE(groups[0]->isVisible());
    EXPECT_FALSE(groups[1]->isVisible());
    const QList<QRadioButton*> radios = groups[0]->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 4);
    const int unticked = dark_pixels(image, mark_area(d, *radios[0]));
    EXPECT_EQ(dark_pixels(image, mark_area(d, *radios[1])), unticked);
    EXPECT_GT(dark_pixels(image, mark_area(d, *radios[2])), unticked + 4);
    // Nothing of the hidden item group is drawn below the person group.
    const QRect below(0, groups[0]->geometry().bottom() + 2, image.width(),
                      d.findChild<QDialogButtonBox*>()->geometry().top() - groups[0]->geometry().bottom() - 4);
    EXPECT_EQ(dark_pixels(image, below), 0);
}

TEST(DialogPictures, InitialSettingsShowTheSettingsInTheirBoxes) {
    testing::qt_app();
    testing::TestHost console;
    InitialSettings running;
    running.editor = "/usr/bin/gedit";
    running.temp_directory = "/tmp/korvelan/";
    running.filter = "Control Files (*.con)";
    InitialSettingsDialog d(running, "/nonexistent/korvelan.ini", console, nullptr);
    const QImage image = picture(d, "settings");
    const QList<QComboBox*> boxes = d.findChildren<QComboBox*>();
    ASSERT_EQ(boxes.size(), 4);  // editor, spreadsheet, filter, temporary directory
    EXPECT_GT(dark_pixels(image, text_area(d, *boxes[0])), 20);
    EXPECT_EQ(dark_pixels(image, text_area(d, *boxes[1])), 0);
    EXPECT_GT(dark_pixels(image, text_area(d, *boxes[2])), 20);
    EXPECT_GT(dark_pixels(image, text_area(d, *boxes[3])), 20);
    // "Yes" ticked in both pairs.
    const QList<QRadioButton*> radios = d.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 4);
    const int no_mark = dark_pixels(image, mark_area(d, *radios[1]));
    EXPECT_GT(dark_pixels(image, mark_area(d, *radios[0])), no_mark + 4);
    EXPECT_GT(dark_pixels(image, mark_area(d, *radios[2])), no_mark + 4);
    EXPECT_EQ(dark_pixels(image, mark_area(d, *radios[3])), no_mark);
}

}  // namespace
}  // namespace korvelan
