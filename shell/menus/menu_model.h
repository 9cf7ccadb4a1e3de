// The menus of the desktop program as plain data: the bar of eleven positions, each popup a list
// of entries, the command ids of the fixed entries, the entries added at run time with ids from
// 800 and the handlers bound to them. A Qt view draws the model and reports the chosen ids; all
// rules live here, so they are tested without a display.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

// Flags passed with an entry; combinations are or-ed.
namespace menu_flag {
inline constexpr int kEnabled = 0;
inline constexpr int kGrayed = 3;       // gray and disabled (either bit grays the entry)
inline constexpr int kChecked = 8;
inline constexpr int kBarBreak = 0x20;  // the entry starts a new column
inline constexpr int kByPosition = 0x400;
inline constexpr int kSeparator = 0x800;
}  // namespace menu_flag

// Positions of the bar from 0; 6 and 7 are commands on the bar, the others popups.
namespace menu_bar {
inline constexpr int kFile = 0;
inline constexpr int kEdit = 1;
inline constexpr int kDiagnosis = 2;
inline constexpr int kOutputTables = 3;
inline constexpr int kOutputFiles = 4;
inline constexpr int kBatch = 5;
inline constexpr int kHelp = 6;
inline constexpr int kSpecification = 7;
inline constexpr int kCompareFiles = 8;
inline constexpr int kSpss = 9;
inline constexpr int kGraphs = 10;
inline constexpr int kCount = 11;
}  // namespace menu_bar

// Command ids of the fixed entries.
namespace menu_cmd {
inline constexpr int kSave = 500;
inline constexpr int kSaveAs = 501;
inline constexpr int kPrint = 510;
inline constexpr int kAbout = 520;
inline constexpr int kExit = 530;
inline constexpr int kFinishIterating = 540;
inline constexpr int kTableDescriptions = 550;
inline constexpr int kOutputFilesHelp = 560;
inline constexpr int kHelp = 561;
inline constexpr int kBatchMode = 562;
inline constexpr int kBatchHelp = 563;
inline constexpr int kOpenFile = 566;
inline constexpr int kSpecification = 568;
inline constexpr int kRequestSubtables = 569;
inline constexpr int kCompareFiles = 572;
inline constexpr int kEnter = 577;
inline constexpr int kSpssSelect = 578;
inline constexpr int kSpssEdit = 579;
inline constexpr int kSpssConstruct = 580;
inline constexpr int kSpssConvert = 581;
inline constexpr int kUndo = 600;
inline constexpr int kCut = 610;
inline constexpr int kCopy = 611;
inline constexpr int kPaste = 612;
inline constexpr int kDelete = 613;
inline constexpr int kUnusedShiftF4 = 700;
inline constexpr int kUnusedShiftF5 = 701;
inline constexpr int kFirstGraph = 703;  // 703 .. 707: graph types 1 .. 5
inline constexpr int kLastGraph = 707;
inline constexpr int kFirstDynamic = 800;
}  // namespace menu_cmd

// What a handler receives when its entry is chosen: the id, whether the entry carried a check
// mark, and its text.
struct MenuChoice {
    int id = 0;
    bool checked = false;
    std::string text;
};
using EntryHandler = std::function<void(const MenuChoice&)>;

struct MenuEntry {
    int id = 0;  // 0 for a separator without id
    std::string text;
    std::string accelerator;  // shown at the right ("Ctrl+F")
    bool separator = false;
    bool checked = false;
    bool grayed = false;
    bool bar_break = false;
};

// One position of the bar: a popup with entries, or a command (`command_id` not 0).
struct BarPosition {
    std::string title;
    int command_id = 0;
    std::vector<MenuEntry> entries;
};

// The handler slots of the ids handed out at run time: the next id only grows, a slot is written
// when its id is handed out, and a deleted entry leaves its slot as it was.
class MenuHandlerTable {
public:
    static constexpr int kCapacity = 4096;
    int next_id() const { return menu_cmd::kFirstDynamic + static_cast<int>(slots_.size()); }
    bool full() const { return static_cast<int>(slots_.size()) >= kCapacity; }
    // Hands out the next id with its handler (may be empty).
    int take(EntryHandler handler);
    // The handler of a dynamic id; nullptr when none was recorded or the id was not handed out.
    const EntryHandler* find(int id) const;
    bool is_dynamic(int id) const { return id >= menu_cmd::kFirstDynamic && id < next_id(); }

private:
    std::vector<EntryHandler> slots_;
};

class MenuModel {
public:
    // The bar as the program starts (the one table of fixed entries).
    MenuModel();

    const std::vector<BarPosition>& bar() const { return bar_; }
    // The entries of a popup; nullptr for a bar command or a number off the bar.
    const std::vector<MenuEntry>* popup(int menu) const;
    // Entry `position` (from 1, separators counted) of a popup; nullptr when there is none.
    const MenuEntry* entry(int menu, int position) const;
    const MenuEntry* find(int id) const;
    int count(int menu) const;
    const MenuHandlerTable& handlers() const { return handlers_; }
    // The entries added to the frame's system menu, in the order the menu shows them.
    const std::vector<MenuEntry>& system_entries() const { return system_; }

    // Append / insert before `position` under the next dynamic id with its handler. 1 when the
    // entry was placed, 0 when the menu is not a popup or the position is below 1; the id is
    // consumed and the slot written in both cases. A full table adds nothing and gives 0.
    int append(int menu, int flags, std::string_view text, EntryHandler handler);
    int insert(int menu, int position, int flags, std::string_view text, EntryHandler handler);
    // Check mark and enabled state of an entry from the flags (without 8: unchecked; without 1
    // and 2: enabled). 1 when the entry exists, else 0.
    int set_state(int menu, int position, int flags);
    // The same for the entry of an id, wherever it stands now.
    int set_state_of_id(int id, int flags);
    // 1 when deleted; a position that does not exist (also 0) does nothing and gives 0.
    int delete_entry(int menu, int position);
    // Adds the text to the system menu under the id the next append or insert will take; no
    // handler is recorded and the id is not consumed.
    void add_system_entry(std::string_view text);

    // Change notification: every change counts up the revision; `redraw` tells the listeners
    // when the model changed since the last redraw.
    std::uint64_t revision() const { return revision_; }
    void add_listener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }
    void redraw();

private:
    std::vector<MenuEntry>* popup_entries(int menu);
    MenuEntry* find_entry(int id);
    MenuEntry make_entry(int id, int flags, std::string_view text) const;
    void changed() { ++revision_; }

    std::vector<BarPosition> bar_;
    std::vector<MenuEntry> system_;
    MenuHandlerTable handlers_;
    std::uint64_t revision_ = 0;
    std::uint64_t drawn_revision_ = 0;
    std::vector<std::function<void()>> listeners_;
};

// Applies the check and gray bits of `flags` to the entry.
void apply_entry_flags(MenuEntry& entry, int flags);

}  // namespace korvelan
