// The bar as the program starts: the one table of fixed entries.
#include "shell/menus/menu_model.h"

namespace korvelan {

namespace {

struct FixedEntry {
    int menu;
    int id;  // 0: a separator
    const char* text;
    const char* accelerator;
    bool grayed;
};

constexpr const char* kBarTitles[menu_bar::kCount] = {
    "&File", "&Edit", "&Diagnosis", "Output &Tables", "&Output Files", "&Batch",
    "&Help", "&Specification", "&Compare Files", "&SPSS", "&Graphs"};

using namespace menu_cmd;
constexpr FixedEntry kFixedEntries[] = {
    {menu_bar::kFile, kOpenFile, "&Open File...", "", false},
    {menu_bar::kFile, 0, "", "", false},
    {menu_bar::kFile, kExit, "E&xit", "", false},
    {menu_bar::kFile, kFinishIterating, "&Finish iterating", "Ctrl+F", false},
    {menu_bar::kFile, kEnter, "Enter", "", false},
    {menu_bar::kFile, 0, "", "", false},
    {menu_bar::kFile, kSave, "&Save", "", false},
    {menu_bar::kFile, kSaveAs, "Save &As...", "", false},
    {menu_bar::kFile, kPrint, "&Print...", "", false},
    {menu_bar::kEdit, 0, "", "", false},
    {menu_bar::kEdit, kUndo, "&Undo", "Ctrl+Z", true},
    {menu_bar::kEdit, kCut, "Cu&t", "Ctrl+X", false},
    {menu_bar::kEdit, kCopy, "&Copy", "Ctrl+C", false},
    {menu_bar::kEdit, kPaste, "&Paste", "Ctrl+V", false},
    {menu_bar::kEdit, kDelete, "De&lete", "", false},
    {menu_bar::kDiagnosis, kAbout, "&About...", "", false},
    // The result entries follow from position 3, below this separator.
    {menu_bar::kDiagnosis, 0, "", "", false},
    {menu_bar::kOutputTables, kTableDescriptions, "Table &Descriptions", "", false},
    {menu_bar::kOutputTables, kRequestSubtables, "Request &Subtables", "", true},
    {menu_bar::kOutputFiles, kOutputFilesHelp, "Output &Files", "", false},
    {menu_bar::kBatch, kBatchMode, "Running KORVELAN in Batch &mode", "", false},
    {menu_bar::kBatch, kBatchHelp, "&Help for Batch mode", "", false},
    {menu_bar::kCompareFiles, kCompareFiles, "&Compare Files", "", false},
    {menu_bar::kSpss, kSpssSelect, "&Select SPSS file and variables", "", false},
    {menu_bar::kSpss, kSpssEdit, "&Edit SPSS variable selection", "", true},
    {menu_bar::kSpss, kSpssConstruct, "Construct Korvelan file from SPSS file", "", true},
    {menu_bar::kSpss, kSpssConvert, "Convert SPSS file to EXCEL-compatible Tab-separated file", "",
     false},
    {menu_bar::kGraphs, kFirstGraph, "Category &Probability Curves", "", true},
    {menu_bar::kGraphs, kFirstGraph + 1, "&Expected Score Ogive - Model ICC", "", true},
    {menu_bar::kGraphs, kFirstGraph + 2, "&Thurstone Thresholds", "", true},
    {menu_bar::kGraphs, kFirstGraph + 3, "&Information Function", "", true},
    {menu_bar::kGraphs, kLastGraph, "&Category Information", "", true},
};

}  // namespace

MenuModel::MenuModel() {
    for (const char* title : kBarTitles) bar_.push_back(BarPosition{title, 0, {}});
    bar_[menu_bar::kHelp].command_id = kHelp;
    bar_[menu_bar::kSpecification].command_id = kSpecification;
    for (const FixedEntry& f : kFixedEntries) {
        MenuEntry e;
        e.id = f.id;
        e.separator = f.id == 0;
        e.text = f.text;
        e.accelerator = f.accelerator;
        e.grayed = f.grayed;
        bar_[static_cast<std::size_t>(f.menu)].entries.push_back(std::move(e));
    }
}

}  // namespace korvelan
