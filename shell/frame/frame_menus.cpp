#include "shell/frame/frame_menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "shell/frame/frame_window.h"
#include "shell/menus/qt_menu_view.h"

namespace korvelan {

FrameMenus::FrameMenus(FrameWindow& frame)
    : frame_(frame),
      engine_menus_(model_),
      view_(std::make_unique<QtMenuView>(model_, *frame.menuBar(), [this](int id) { frame_.command(id); })) {
    engine_menus_.attach(frame_.run());
    engine_menus_.set_engine_entry_handlers([this](std::string_view text) { return handler_for_text(text); });
    engine_menus_.set_edit_entry_handler([this] { return handler_for_text("="); });
    model_.add_listener([this] { apply_accelerators(); });
    apply_accelerators();
}

FrameMenus::~FrameMenus() = default;

// The view reuses its actions as entries come and go, so the keys follow the entries after
// every change: each action takes the accelerator of the entry it now shows.
void FrameMenus::apply_accelerators() {
    for (int menu = 0; menu < menu_bar::kCount; ++menu) {
        const std::vector<MenuEntry>* entries = model_.popup(menu);
        if (!entries) continue;
        const std::vector<QAction*>& actions = view_->actions(menu);
        for (std::size_t i = 0; i < actions.size() && i < entries->size(); ++i) {
            const std::string& keys = (*entries)[i].accelerator;
            const QKeySequence sequence(QString::fromLatin1(keys.c_str()));
            if (actions[i]->shortcut() != sequence) actions[i]->setShortcut(sequence);
        }
    }
}

QMenu* FrameMenus::popup(int menu) const { return view_->popup(menu); }

QAction* FrameMenus::action(int id) const {
    for (int menu = 0; menu < menu_bar::kCount; ++menu) {
        if (!view_->popup(menu)) {
            if (view_->bar_action(menu)->data().toInt() == id) return view_->bar_action(menu);
            continue;
        }
        for (QAction* a : view_->actions(menu))
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    }
    return nullptr;
}

void FrameMenus::changed() { model_.redraw(); }

}  // namespace korvelan
