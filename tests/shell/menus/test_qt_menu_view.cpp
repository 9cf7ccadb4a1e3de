// The Qt menu bar drawn from the menu model, kept in step with it, and the ids it reports.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/menus/qt_menu_view.h"
#include "tests/shell/window/qt_app.h"

namespace korvelan {
namespace {

TEST(QtMenuView, FollowsTheModelAndReportsChosenIds) {
    testing::qt_app();
    MenuModel model;
    QMenuBar bar;
    std::vector<int> chosen;
    QtMenuView view(model, bar, [&](int id) { chosen.push_back(id); });

    ASSERT_EQ(bar.actions().size(), 11);
    EXPECT_EQ(bar.actions()[3]->text(), "Output &Tables");
    EXPECT_EQ(view.popup(menu_bar::kHelp), nullptr);
    EXPECT_EQ(view.bar_action(menu_bar::kHelp)->data().toInt(), 561);
    const QList<QAction*> file = view.popup(menu_bar::kFile)->actions();
    ASSERT_EQ(file.size(), 9);
    EXPECT_TRUE(file[1]->isSeparator());
    EXPECT_EQ(file[3]->text(), "&Finish iterating\tCtrl+F");
    EXPECT_FALSE(view.popup(menu_bar::kGraphs)->actions()[0]->isEnabled());

    // Run-time entries, states and deletions show after the model's redraw.
    model.append(menu_bar::kDiagnosis, menu_flag::kChecked, "A. Item Polarity", [](const MenuChoice&) {});
    model.insert(menu_bar::kFile, 1, 0, "Edit Control File=a.con", nullptr);
    model.set_state(menu_bar::kGraphs, 1, menu_flag::kEnabled);
    model.delete_entry(menu_bar::kEdit, 1);
    EXPECT_EQ(view.popup(menu_bar::kFile)->actions().size(), 9);  // not before the redraw
    model.redraw();
    ASSERT_EQ(view.popup(menu_bar::kFile)->actions().size(), 10);
    EXPECT_EQ(view.popup(menu_bar::kFile)->actions()[0]->text(), "Edit Control File=a.con");
    EXPECT_EQ(view.popup(menu_bar::kFile)->actions()[0]->data().toInt(), 801);
    EXPECT_EQ(view.popup(menu_bar::kFile)->actions()[4]->text(), "&Finish iterating\tCtrl+F");
    QAction* polarity = view.popup(menu_bar::kDiagnosis)->actions()[2];
    EXPECT_TRUE(polarity->isChecked());
    EXPECT_TRUE(view.popup(menu_bar::kGraphs)->actions()[0]->isEnabled());
    EXPECT_EQ(view.popup(menu_bar::kEdit)->actions().size(), 5);
    EXPECT_FALSE(view.popup(menu_bar::kEdit)->actions()[0]->isSeparator());

    // Choosing reports the id; the check mark stays what the model says.
    polarity->trigger();
    view.bar_action(menu_bar::kSpecification)->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{800, 568}));
    EXPECT_TRUE(polarity->isChecked());
}

}  // namespace
}  // namespace korvelan
