#include "shell/menus/result_menus.h"

#include <array>
#include <string>

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

using namespace menu_flag;

constexpr std::array<const char*, 7> kDiagnosisEntries = {
    "A. Item Polarity",     "B. Empirical Item-Category Measures", "C. Category Function",
    "D. Dimensionality Map", "E. Item Misfit Table",               "F. Construct KeyMap",
    "G. Separation Table"};

// One entry of the Output Tables or Output Files menus: prefix + entity word + suffix.
enum class Word { None, Item, Person };
struct Row {
    Word word;
    const char* prefix;
    const char* suffix;
    int extra_flags;  // kSeparator: no text, no handler; kBarBreak: a new column
    bool handled = true;
};

// Output Tables from item 5; items 3 and 4 depend on the weights.
constexpr Row kTableRows[] = {
    {Word::None, "", "", kSeparator},
    {Word::Item, "10. ", " (column): fit order", 0},
    {Word::Item, "13. ", ": difficulty", 0},
    {Word::Item, "14. ", ": entry", 0},
    {Word::Item, "15. ", ": alphabetical", 0},
    {Word::Item, "25. ", ": displacement", 0},
    {Word::Item, "11. ", ": responses", 0},
    {Word::Item, " 9. ", ": outfit plot", 0},
    {Word::Item, " 8. ", ": infit plot", 0},
    {Word::Item, "12. ", ": map", 0},
    {Word::Item, "23. ", ": principal components", 0},
    {Word::None, " 1. Variable maps", "", kBarBreak},
    {Word::None, " 2.2 General Keyform", "", 0},
    {Word::None, " 2.5 Category Averages", "", 0},
    {Word::None, " 3.1 Summary statistics", "", 0},
    {Word::None, "", "", kSeparator},
    {Word::Person, " 6. ", " (row): fit order", 0},
    {Word::Person, "17. ", ": measure", 0},
    {Word::Person, "18. ", ": entry", 0},
    {Word::Person, "19. ", ": alphabetical", 0},
    {Word::None, " ", "", 0, false},
    {Word::Person, " 7.1 ", ": responses", 0},
    {Word::Person, " 5. ", ": outfit plot", 0},
    {Word::Person, " 4. ", ": infit plot", 0},
    {Word::Person, "16. ", ": map", 0},
    {Word::Person, "24. ", ": principal components", 0},
    {Word::None, "20. Score table", "", kBarBreak},
    {Word::None, "21. Probability curves", "", 0},
    {Word::None, "29. Empirical curves", "", 0},
    {Word::None, "22. Scalograms", "", 0},
    {Word::None, "", "", kSeparator},
    {Word::Person, " 7.2.1 ", " Keyforms: unexpected only", 0},
    {Word::Person, "17.3 ", " Keyforms: measure", 0},
    {Word::Person, "18.3 ", " Keyforms: entry", 0},
    {Word::Person, "19.3 ", " Keyforms: alphabetical", 0},
    {Word::None, " ", "", 0, false},
    {Word::Person, " 7.2 ", " Keyforms: fit order", 0},
    {Word::Item, "30. ", ": DIF", 0},
    {Word::Person, "31. ", ": DPF", 0},
    {Word::Item, "27. ", ": subtotals", 0},
    {Word::Person, "28. ", ": subtotals", 0},
};

constexpr Row kFileRows[] = {
    {Word::None, "File Format (&fixed) CSV=NO", "", 0},
    {Word::None, "File Format (&commas) CSV=YES", "", 0},
    {Word::None, "File Format (&tabs) CSV=TAB", "", 0},
    {Word::None, "Heading &Lines in file: HLINES=YES", "", 0},
    {Word::None, "Heading Lines &omitted: HLINES=NO", "", 0},
    {Word::None, "", "", kSeparator},
    {Word::Item, "", " File IFILE=", 0},
    {Word::Person, "", " File PFILE=", 0},
    {Word::None, "Step File SFILE=", "", 0},
    {Word::None, "", "", kSeparator},
    {Word::None, "Category/Option/Distractor File DISFILE=", "", 0},
    {Word::None, "Graphics File GRFILE=", "", 0},
    {Word::Item, "", "-Step File ISFILE=", 0},
    {Word::None, "Response File RFILE=", "", 0},
    {Word::None, "Score File SCFILE=", "", 0},
    {Word::None, "", "", kSeparator},
    {Word::None, "Correlation File ICORFILE=", "", 0},
    {Word::None, "Correlation File PCORFILE=", "", 0},
    {Word::None, "Observation File XFILE=", "", 0},
    {Word::None, "Guttmanized File GUTTMAN=", "", 0},
    {Word::None, "Simulated Data File SIMUL=", "", 0},
};

struct Words {
    std::string item, person;
};

void append_rows(MenuModel& menus, int menu, const Row* rows, std::size_t n, const Words& w,
                 int flags, const EntryHandler& handler) {
    for (std::size_t i = 0; i < n; ++i) {
        const Row& r = rows[i];
        if (r.extra_flags & kSeparator) {
            menus.append(menu, kSeparator, "", nullptr);
            continue;
        }
        std::string text = r.prefix;
        if (r.word == Word::Item) text += w.item;
        if (r.word == Word::Person) text += w.person;
        text += r.suffix;
        menus.append(menu, flags | r.extra_flags, text, r.handled ? handler : EntryHandler{});
    }
}

void build_output_tables(MenuModel& menus, const Run& run, int flags, const Words& w,
                         const EntryHandler& handler) {
    const int m = menu_bar::kOutputTables;
    if (run.input.person_weights_present || run.input.item_weights_present) {
        menus.append(m, flags, "Weight selection", handler);
        menus.append(m, flags, " 3.2  Rating scale structure", handler);
    } else {
        menus.append(m, flags, " 3.2  Rating scale structure", handler);
        menus.append(m, flags, " ", nullptr);
    }
    append_rows(menus, m, kTableRows, std::size(kTableRows), w, flags, handler);
}

void build_compare_files(MenuModel& menus, const Words& w, const EntryHandler& handler) {
    const int m = menu_bar::kCompareFiles;
    menus.append(m, kChecked, "Measure comparison", handler);
    menus.append(m, 0, "Outfit Mean-square comparison", handler);
    menus.append(m, 0, "Infit Mean-square comparison", handler);
    menus.append(m, kGrayed, "Do comparison", handler);
    menus.append(m, kSeparator, "", nullptr);
    menus.append(m, kChecked, "\"" + w.item + "\"", handler);
    menus.append(m, 0, "\"" + w.person + "\"", handler);
    menus.append(m, 0, "Left File =", handler);
    menus.append(m, kSeparator, "", nullptr);
    menus.append(m, 0, "Right File =", handler);
}

void set_range(MenuModel& menus, int menu, int first, int last, int flags) {
    for (int i = first; i <= last; ++i) menus.set_state(menu, i, flags);
}

// The Output Files entries that are checked when their file is named, by position.
struct NamedFile {
    int item;
    std::string ControlVariables::*name;
};
constexpr NamedFile kNamedFiles[] = {
    {8, &ControlVariables::ifile},     {9, &ControlVariables::pfile},
    {10, &ControlVariables::sfile},    {12, &ControlVariables::disfile},
    {13, &ControlVariables::grfile},   {14, &ControlVariables::isfile},
    {15, &ControlVariables::rfile},    {16, &ControlVariables::scfile},
    {18, &ControlVariables::icorfile}, {19, &ControlVariables::pcorfile},
    {20, &ControlVariables::xfile},    {21, &ControlVariables::gufile},
    {22, &ControlVariables::sifile},
};

}  // namespace

int csv_item(char csv) {
    if (csv == 'T') return result_item::kCsvNo + 2;
    if (csv == 'Y' || csv == ',') return result_item::kCsvNo + 1;
    return result_item::kCsvNo;
}

int hlines_item(char hlines) {
    return hlines == 'N' ? result_item::kHlinesNo : result_item::kHlinesYes;
}

int do_comparison_flags(const ComparisonSettings& c, int flags) {
    return trim(c.right_name).empty() || c.side == ' ' ? kGrayed : flags;
}

void build_result_menus(MenuModel& menus, Run& run, int flags, const ResultHandlers& handlers) {
    const Words w{std::string(trim(run.cv.item_word)), std::string(trim(run.cv.person_word))};
    for (const char* text : kDiagnosisEntries)
        menus.append(menu_bar::kDiagnosis, flags, text, handlers.diagnosis);
    build_output_tables(menus, run, flags, w, handlers.table);
    set_range(menus, menu_bar::kBatch, result_item::kFirstBatchResult,
              result_item::kFirstBatchResult + 1, flags);
    append_rows(menus, menu_bar::kOutputFiles, kFileRows, std::size(kFileRows), w, flags,
                handlers.output_file);
    menus.set_state(menu_bar::kOutputFiles, csv_item(run.cv.csv), flags | kChecked);
    menus.set_state(menu_bar::kOutputFiles, hlines_item(run.cv.hlines), flags | kChecked);
    build_compare_files(menus, w, handlers.comparison);
    run.rs.comparison = ComparisonSettings{};
    menus.redraw();
}

void set_result_menus_enabled(MenuModel& menus, const Run& run, int flags) {
    using namespace result_item;
    set_range(menus, menu_bar::kDiagnosis, kFirstDiagnosis, kLastDiagnosis, flags);
    set_range(menus, menu_bar::kOutputTables, 2, kLastOutputTable, flags);
    set_range(menus, menu_bar::kBatch, kFirstBatchResult, kFirstBatchResult + 1, flags);
    set_range(menus, menu_bar::kOutputFiles, 2, kLastOutputFile, flags);
    // Without residual components their Tables cannot be produced.
    if (run.cv.prcomp == 'N') {
        menus.set_state(menu_bar::kOutputTables, kItemComponents, kGrayed);
        menus.set_state(menu_bar::kOutputTables, kPersonComponents, kGrayed);
    }
    menus.set_state(menu_bar::kOutputFiles, csv_item(run.cv.csv), flags | kChecked);
    menus.set_state(menu_bar::kOutputFiles, hlines_item(run.cv.hlines), flags | kChecked);
    for (const NamedFile& f : kNamedFiles)
        if (!trim(run.cv.*f.name).empty())
            menus.set_state(menu_bar::kOutputFiles, f.item, flags | kChecked);
    menus.set_state(menu_bar::kCompareFiles, kDoComparison, do_comparison_flags(run.rs.comparison, flags));
    set_range(menus, menu_bar::kGraphs, 1, 5, flags);
    menus.redraw();
}

}  // namespace korvelan
