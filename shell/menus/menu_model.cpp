#include "shell/menus/menu_model.h"

#include <algorithm>
#include <utility>

namespace korvelan {

namespace {

constexpr std::size_t kLongestText = 511;

// The text as the menu shows it: without trailing blanks, at most 511 characters.
std::string menu_text(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
    return std::string(text.substr(0, kLongestText));
}

}  // namespace

int MenuHandlerTable::take(EntryHandler handler) {
    const int id = next_id();
    slots_.push_back(std::move(handler));
    return id;
}

const EntryHandler* MenuHandlerTable::find(int id) const {
    if (!is_dynamic(id)) return nullptr;
    const EntryHandler& h = slots_[static_cast<std::size_t>(id - menu_cmd::kFirstDynamic)];
    return h ? &h : nullptr;
}

void apply_entry_flags(MenuEntry& entry, int flags) {
    entry.checked = (flags & menu_flag::kChecked) != 0;
    entry.grayed = (flags & menu_flag::kGrayed) != 0;
}

const std::vector<MenuEntry>* MenuModel::popup(int menu) const {
    if (menu < 0 || menu >= static_cast<int>(bar_.size())) return nullptr;
    const BarPosition& p = bar_[static_cast<std::size_t>(menu)];
    return p.command_id != 0 ? nullptr : &p.entries;
}

std::vector<MenuEntry>* MenuModel::popup_entries(int menu) {
    return const_cast<std::vector<MenuEntry>*>(std::as_const(*this).popup(menu));
}

const MenuEntry* MenuModel::entry(int menu, int position) const {
    const std::vector<MenuEntry>* p = popup(menu);
    if (!p || position < 1 || position > static_cast<int>(p->size())) return nullptr;
    return &(*p)[static_cast<std::size_t>(position - 1)];
}

int MenuModel::count(int menu) const {
    const std::vector<MenuEntry>* p = popup(menu);
    return p ? static_cast<int>(p->size()) : 0;
}

const MenuEntry* MenuModel::find(int id) const {
    for (const BarPosition& p : bar_)
        for (const MenuEntry& e : p.entries)
            if (e.id == id && !e.separator) return &e;
    return nullptr;
}

MenuEntry* MenuModel::find_entry(int id) {
    return const_cast<MenuEntry*>(std::as_const(*this).find(id));
}

MenuEntry MenuModel::make_entry(int id, int flags, std::string_view text) const {
    MenuEntry e;
    e.id = id;
    e.separator = (flags & menu_flag::kSeparator) != 0;
    if (!e.separator) e.text = menu_text(text);
    e.bar_break = (flags & menu_flag::kBarBreak) != 0;
    apply_entry_flags(e, flags);
    return e;
}

int MenuModel::append(int menu, int flags, std::string_view text, EntryHandler handler) {
    return insert(menu, count(menu) + 1, flags, text, std::move(handler));
}

int MenuModel::insert(int menu, int position, int flags, std::string_view text,
                      EntryHandler handler) {
    if (handlers_.full()) return 0;
    const int id = handlers_.take(std::move(handler));
    std::vector<MenuEntry>* p = popup_entries(menu);
    if (!p || position < 1) return 0;
    const std::size_t at = std::min(static_cast<std::size_t>(position - 1), p->size());
    p->insert(p->begin() + static_cast<std::ptrdiff_t>(at), make_entry(id, flags, text));
    changed();
    return 1;
}

int MenuModel::set_state(int menu, int position, int flags) {
    MenuEntry* e = const_cast<MenuEntry*>(entry(menu, position));
    if (!e) return 0;
    apply_entry_flags(*e, flags);
    changed();
    return 1;
}

int MenuModel::set_state_of_id(int id, int flags) {
    MenuEntry* e = find_entry(id);
    if (!e) return 0;
    apply_entry_flags(*e, flags);
    changed();
    return 1;
}

int MenuModel::delete_entry(int menu, int position) {
    std::vector<MenuEntry>* p = popup_entries(menu);
    if (!p || position < 1 || position > static_cast<int>(p->size())) return 0;
    p->erase(p->begin() + (position - 1));
    changed();
    return 1;
}

void MenuModel::add_system_entry(std::string_view text) {
    // Each addition goes to the same place of the system menu, before the ones added earlier.
    MenuEntry e = make_entry(handlers_.next_id(), 0, text);
    system_.insert(system_.begin(), std::move(e));
    changed();
}

void MenuModel::redraw() {
    if (drawn_revision_ == revision_) return;
    drawn_revision_ = revision_;
    for (const auto& listener : listeners_) listener();
}

}  // namespace korvelan
