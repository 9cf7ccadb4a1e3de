#include "shell/frame/frame_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <vector>

#include "engine/run/message_texts.h"
#include "shell/frame/frame_window.h"
#include "shell/menus/menu_model.h"
#include "shell/services/settings_file.h"
#include "shell/services/startup_menus.h"

namespace korvelan {

struct FrameMenus::Parts {
    QPointer<QObject> generation;         // owns the bar's command actions of the last drawing
    std::vector<QPointer<QMenu>> popups;  // by bar position; null for the bar commands
    std::vector<QPointer<QAction>> actions;
};

namespace {

QString shown_text(const MenuEntry& e) {
    QString text = QString::fromLatin1(e.text.c_str());
    if (!e.accelerator.empty()) text += '\t' + QString::fromLatin1(e.accelerator.c_str());
    return text;
}

}  // namespace

FrameMenus::FrameMenus(FrameWindow& frame)
    : frame_(frame), engine_menus_(model_), parts_(std::make_unique<Parts>()) {
    engine_menus_.attach(frame_.run());
    engine_menus_.set_engine_entry_handlers([this](std::string_view text) { return handler_for_text(text); });
    engine_menus_.set_edit_entry_handler(handler_for_text("="));
    model_.set_listener([this] { rebuild(); });
    rebuild();
}

FrameMenus::~FrameMenus() = default;

// The bar drawn afresh from the model. The menus replaced are deleted once control is back in
// the event loop: the command that changed the menus may have come from one of them.
void FrameMenus::rebuild() {
    QMenuBar* bar = frame_.menuBar();
    for (QPointer<QMenu>& menu : parts_->popups)
        if (menu) menu->deleteLater();
    if (parts_->generation) parts_->generation->deleteLater();
    bar->clear();
    parts_->generation = new QObject(bar);
    parts_->popups.clear();
    parts_->actions.clear();
    for (const BarPosition& position : model_.bar()) {
        if (position.command_id != 0) {
            auto* command = new QAction(QString::fromLatin1(position.title.c_str()), parts_->generation);
            bar->addAction(command);
            add_action(command, position.command_id, "");
            parts_->popups.emplace_back();
            continue;
        }
        QMenu* menu = bar->addMenu(QString::fromLatin1(position.title.c_str()));
        parts_->popups.emplace_back(menu);
        for (const MenuEntry& e : position.entries) {
            if (e.separator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(shown_text(e));
            action->setEnabled(!e.grayed);
            action->setCheckable(e.checked);
            action->setChecked(e.checked);
            add_action(action, e.id, e.accelerator);
        }
    }
}

void FrameMenus::add_action(QAction* action, int id, const std::string& accelerator) {
    action->setData(id);
    if (!accelerator.empty()) {
        action->setShortcut(QKeySequence(QString::fromLatin1(accelerator.c_str())));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    QObject::connect(action, &QAction::triggered, [this, id] { frame_.command(id); });
    parts_->actions.emplace_back(action);
}

QMenu* FrameMenus::popup(int menu) const {
    if (menu < 0 || menu >= static_cast<int>(parts_->popups.size())) return nullptr;
    return parts_->popups[static_cast<std::size_t>(menu)];
}

QAction* FrameMenus::action(int id) const {
    for (const QPointer<QAction>& a : parts_->actions)
        if (a && a->data().toInt() == id) return a;
    return nullptr;
}

void FrameMenus::changed() { model_.redraw(); }

}  // namespace korvelan
