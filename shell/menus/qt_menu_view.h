// Draws the menu model on a QMenuBar and keeps it in step: one QMenu per popup, one QAction per
// entry (texts with their accelerator text, check marks, gray state, separators). A chosen
// entry's id goes to the callback; what it does is decided elsewhere.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "shell/menus/menu_model.h"

class QAction;
class QMenu;
class QMenuBar;
class QStyle;

namespace korvelan {

class QtMenuView : public QObject {
public:
    using Chosen = std::function<void(int id)>;
    // Builds the bar from the model and follows its redraws.
    QtMenuView(MenuModel& model, QMenuBar& bar, Chosen chosen);

    // Brings every action in line with the model.
    void sync();
    // The QMenu of a popup; nullptr for a bar command.
    QMenu* popup(int menu) const;
    // The action of a bar position (the popup's menu action, or the bar command).
    QAction* bar_action(int menu) const { return bar_actions_[static_cast<std::size_t>(menu)]; }
    // The actions of a popup, one per entry.
    const std::vector<QAction*>& actions(int menu) const { return actions_[static_cast<std::size_t>(menu)]; }

private:
    void sync_popup(std::size_t menu);
    QAction* new_action(QMenu& menu);
    void report(QAction* action);

    MenuModel& model_;
    Chosen chosen_;
    std::vector<QMenu*> menus_;
    std::vector<QAction*> bar_actions_;
    std::vector<std::vector<QAction*>> actions_;
    QStyle* menu_style_;  // the popups' style, a child of the bar
    // The model may outlive the view: its listener checks this token first.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace korvelan
