#include "shell/menus/qt_menu_view.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

namespace korvelan {

namespace {

QString action_text(const MenuEntry& e) {
    QString text = QString::fromStdString(e.text);
    // Text after a tab is shown right-aligned as the shortcut.
    if (!e.accelerator.empty()) text += '\t' + QString::fromStdString(e.accelerator);
    return text;
}

// Qt has no column break inside a menu: such an entry stands in the one column.
void apply(QAction& a, const MenuEntry& e) {
    a.setSeparator(e.separator);
    a.setData(e.id);
    if (e.separator) {
        // An action reused as a separator keeps its old text, which some styles draw as a
        // heading on the line.
        a.setText(QString());
        a.setCheckable(false);
        return;
    }
    a.setText(action_text(e));
    a.setCheckable(e.checked);
    a.setChecked(e.checked);
    a.setEnabled(!e.grayed);
}

// The application's style with room around a separator's line. Some styles (Fusion) give a
// separator two pixels, so that one at the end of a menu, as the one under "About..." before
// the run, draws its line on the menu's bottom frame, where it cannot be told from the frame.
// Half a text line's height puts the line apart from both the entry above and the frame.
class MenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type == CT_MenuItem && item && item->menuItemType == QStyleOptionMenuItem::Separator &&
            item->text.isEmpty())
            size.setHeight(std::max(size.height(), (item->fontMetrics.height() / 2) | 1));  // odd: a middle row
        return size;
    }
};

}  // namespace

QtMenuView::QtMenuView(MenuModel& model, QMenuBar& bar, Chosen chosen)
    : QObject(&bar), model_(model), chosen_(std::move(chosen)), menu_style_(new MenuStyle) {
    for (const BarPosition& p : model_.bar()) {
        const QString title = QString::fromStdString(p.title);
        if (p.command_id != 0) {
            QAction* a = bar.addAction(title);
            a->setData(p.command_id);
            connect(a, &QAction::triggered, this, [this, a] { report(a); });
            menus_.push_back(nullptr);
            bar_actions_.push_back(a);
        } else {
            QMenu* m = bar.addMenu(title);
            // Every separator of the model shows, also the one that ends the Diagnosis menu
            // under "About..." until the run adds the result entries below it.
            m->setSeparatorsCollapsible(false);
            m->setStyle(menu_style_);
            menus_.push_back(m);
            bar_actions_.push_back(m->menuAction());
        }
    }
    // A child of the bar after the menus, so that it goes after them.
    menu_style_->setParent(&bar);
    actions_.resize(menus_.size());
    sync();
    model_.add_listener([this, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.expired()) sync();
    });
}

QMenu* QtMenuView::popup(int menu) const {
    if (menu < 0 || menu >= static_cast<int>(menus_.size())) return nullptr;
    return menus_[static_cast<std::size_t>(menu)];
}

QAction* QtMenuView::new_action(QMenu& menu) {
    QAction* a = menu.addAction(QString());
    connect(a, &QAction::triggered, this, [this, a] { report(a); });
    return a;
}

void QtMenuView::sync_popup(std::size_t menu) {
    QMenu* m = menus_[menu];
    if (!m) return;
    const std::vector<MenuEntry>& entries = model_.bar()[menu].entries;
    std::vector<QAction*>& actions = actions_[menu];
    while (actions.size() < entries.size()) actions.push_back(new_action(*m));
    // Spare actions go later: one of them may be the action being served.
    while (actions.size() > entries.size()) {
        m->removeAction(actions.back());
        actions.back()->deleteLater();
        actions.pop_back();
    }
    for (std::size_t i = 0; i < entries.size(); ++i) apply(*actions[i], entries[i]);
}

void QtMenuView::sync() {
    for (std::size_t i = 0; i < menus_.size(); ++i) sync_popup(i);
}

void QtMenuView::report(QAction* action) {
    const int id = action->data().toInt();
    if (chosen_) chosen_(id);
    // Qt toggled the check of a checkable action; the model decides it.
    sync();
}

}  // namespace korvelan
