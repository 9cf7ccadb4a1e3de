// The initial settings file: construction on a first start, the reading rules, the rewrite of
// the settings dialog, the editor's menu name and the programs found on the search path.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "shell/services/program_search.h"
#include "shell/services/settings_file.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
InitialSettings read_lines(const std::vector<std::string>& lines, InitialSettings s = {}) {
    for (const std::string& l : lines) apply_settings_line(s, l);
    return s;
}

void expect_same(const InitialSettings& a, const InitialSettings& b) {
    EXPECT_EQ(a.editor, b.editor);
    EXPECT_EQ(a.spreadsheet, b.spreadsheet);
    EXPECT_EQ(a.temp_directory, b.temp_directory);
    EXPECT_EQ(a.filter, b.filter);
    EXPECT_EQ(a.report_prompt, b.report_prompt);
    EXPECT_EQ(a.welcome, b.welcome);
}
}  // namespace

TEST(SettingsFile, FirstStartConstructsTheFileInItsOrder) {
    ScratchDir dir;
    const std::string path = dir.file("config/korvelan.ini");  // the folder is made too
    std::vector<std::string> shown;
    InitialSettings defaults = default_initial_settings("/usr/bin/gedit", "");
    defaults.temp_directory = "/srv/work/";
    InitialSettings s = load_initial_settings(path, defaults, [&](std::string_view l) { shown.emplace_back(l); });
    EXPECT_EQ(shown, (std::vector<std::string>{"Constructing Korvelan.ini ..."}));
    EXPECT_EQ(read_file(path),
              "Editor=\"/usr/bin/gedit\"\r\n"
              "Temporary directory=\"/srv/work/\"\r\n"
              "Filter=All Files (*.*)\r\n"
              "Reportprompt=Yes\r\n"
              "Welcome=Yes\r\n");
    expect_same(s, defaults);

    defaults.spreadsheet = "/usr/bin/libreoffice --calc";
    ASSERT_EQ(construct_settings_file(path, defaults), 0);
    EXPECT_EQ(crlf_lines(read_file(path))[3], "Excel=\"/usr/bin/libreoffice --calc\"");

    // Read again on the next start: nothing is constructed, the file's values stand.
    shown.clear();
    InitialSettings other = default_initial_settings("xdg-open", "");
    expect_same(load_initial_settings(path, other, [&](std::string_view l) { shown.emplace_back(l); }), defaults);
    EXPECT_TRUE(shown.empty());
}

TEST(SettingsFile, ReadingRulesForQuotesCommentsAndOffOnlyFlags) {
    InitialSettings s = read_lines({"Editor=\"/opt/My Editor/edit\"", "Temporary directory=/srv/scratch ;c",
                                    "welcome=No", "Reportprompt=Yes"});
    EXPECT_EQ(s.editor, "/opt/My Editor/edit");
    EXPECT_EQ(s.temp_directory, "/srv/scratch");
    EXPECT_EQ(s.welcome, 'Y');  // the key in lower case matches nothing
    EXPECT_EQ(s.report_prompt, 'Y');

    s = read_lines({"Welcome=no", "Welcome=Yes", "Reportprompt=No", "Reportprompt=Yes"});
    EXPECT_EQ(s.welcome, 'N');  // once off, a later line cannot turn it on
    EXPECT_EQ(s.report_prompt, 'N');

    // A blank value keeps the old one; a later line wins; a line without "=" is its own value.
    s = read_lines({"Editor=/bin/first", "Editor=   ", "Excel=/bin/calc", "Excel=/bin/calc2", "Filter"});
    EXPECT_EQ(s.editor, "/bin/first");
    EXPECT_EQ(s.spreadsheet, "/bin/calc2");
    EXPECT_EQ(s.filter, "Filter");

    // Long values are cut to their fields; a name longer than its field is not taken.
    s = read_lines({"Filter=" + std::string(100, 'f'), "Editor=/bin/first", "Editor=/" + std::string(300, 'e'),
                    "Temporary directory=/" + std::string(260, 't')});
    EXPECT_EQ(s.filter, std::string(80, 'f'));
    EXPECT_EQ(s.editor, "/bin/first");
    EXPECT_EQ(s.temp_directory, InitialSettings{}.temp_directory);
}

TEST(SettingsFile, KeysCountOnlyAtTheStartOfALine) {
    InitialSettings start;
    start.temp_directory = "/keep/";
    InitialSettings s = read_lines({"Filter=Template Files (*.tpl)"}, start);
    EXPECT_EQ(s.temp_directory, "/keep/");
    EXPECT_EQ(s.filter, "Template Files (*.tpl)");

    s = read_lines({"Temporary directory=/home/Excelsior/tmp", "  Editor=/usr/bin/kate Temp"}, start);
    EXPECT_EQ(s.temp_directory, "/home/Excelsior/tmp");
    EXPECT_TRUE(s.spreadsheet.empty());
    EXPECT_EQ(s.editor, "/usr/bin/kate Temp");  // a line holding Editor and Temp sets the editor only

    s = read_lines({"; Welcome=No", "# Reportprompt=No", "Comment: Welcome=No"});
    EXPECT_EQ(s.welcome, 'Y');
    EXPECT_EQ(s.report_prompt, 'Y');
}

TEST(SettingsFile, TheDialogsRewriteReadsBackIdentically) {
    ScratchDir dir;
    const std::string path = dir.file("korvelan.ini");
    InitialSettings s;
    s.editor = "/opt/Text Tools/edit";
    s.spreadsheet = "/usr/bin/libreoffice --calc";
    s.temp_directory = "/srv/Temp Work/";
    s.filter = "Control Files (*.con)";
    s.report_prompt = 'N';
    s.welcome = 'N';
    ASSERT_EQ(write_settings_file(path, s), 0);
    EXPECT_EQ(read_file(path),
              "Editor=\"/opt/Text Tools/edit\"\r\n"
              "Excel=\"/usr/bin/libreoffice --calc\"\r\n"
              "Filter=Control Files (*.con)\r\n"
              "Temporary directory=\"/srv/Temp Work/\"\r\n"
              "Reportprompt=No\r\n"
              "Welcome=No\r\n");
    InitialSettings back = default_initial_settings("xdg-open", "");
    ASSERT_TRUE(read_settings_file(path, back));
    expect_same(back, s);

    // Without a spreadsheet the Excel line is left out; the flags on read back on.
    s.spreadsheet.clear();
    s.report_prompt = s.welcome = 'Y';
    ASSERT_EQ(write_settings_file(path, s), 0);
    EXPECT_EQ(crlf_lines(read_file(path)).size(), 5u);
    back = default_initial_settings("xdg-open", "");
    back.spreadsheet.clear();
    ASSERT_TRUE(read_settings_file(path, back));
    expect_same(back, s);
}

TEST(SettingsFile, WelcomeOffIsAppendedOnALineOfItsOwn) {
    ScratchDir dir;
    const std::string path = dir.file("korvelan.ini");
    EXPECT_FALSE(append_welcome_off(path));  // only to an existing file
    write_file(path, "Editor=/bin/ed\r\nWelcome=Yes");
    ASSERT_TRUE(append_welcome_off(path));
    EXPECT_EQ(read_file(path), "Editor=/bin/ed\r\nWelcome=Yes\r\nWelcome=No\r\n");
    InitialSettings s;
    ASSERT_TRUE(read_settings_file(path, s));
    EXPECT_EQ(s.welcome, 'N');
    EXPECT_EQ(s.editor, "/bin/ed");
}

TEST(SettingsFile, LivesInTheUsersConfigurationFolder) {
    EXPECT_EQ(settings_file_path("/home/u/.cfg", "/home/u"), "/home/u/.cfg/korvelan.ini");
    EXPECT_EQ(settings_file_path("", "/home/u"), "/home/u/.config/korvelan.ini");
    EXPECT_EQ(settings_file_path(nullptr, "/home/u/"), "/home/u/.config/korvelan.ini");
    EXPECT_EQ(settings_file_path(nullptr, nullptr), "");
}

TEST(SettingsFile, EditorNamesForTheMenus) {
    EXPECT_EQ(editor_display_name("C:\\WORDPAD.EXE"), "WORDPAD");
    EXPECT_EQ(editor_display_name("/opt/WORDPAD.EXE"), "WORDPAD");
    EXPECT_EQ(editor_display_name("/opt/wordpad.exe"), "wordpad.exe");
    EXPECT_EQ(editor_display_name("C:\\Program Files\\Accessories\\WORDPAD.EXE\""), "WORDPAD");
    EXPECT_EQ(editor_display_name("/usr/bin/gedit"), "gedit");
    EXPECT_EQ(editor_display_name("  "), "xdg-open");
}

TEST(ProgramSearch, EditorAndSpreadsheetComeFromTheSearchPath) {
    ScratchDir a, b;
    auto program = [](const std::string& path) {
        write_file(path, "#!/bin/sh\n");
        ::chmod(path.c_str(), 0755);
    };
    write_file(a.file("gedit"), "not executable");
    program(b.file("gedit"));
    program(b.file("mousepad"));
    program(a.file("localc"));
    const std::string path = a.path + ":" + b.path;
    EXPECT_EQ(find_on_path("gedit", path), b.file("gedit"));
    EXPECT_EQ(find_text_editor(path), b.file("gedit"));
    EXPECT_EQ(find_text_editor(a.path), "xdg-open");
    EXPECT_EQ(find_spreadsheet(path), a.file("localc"));
    program(b.file("libreoffice"));
    EXPECT_EQ(find_spreadsheet(path), b.file("libreoffice") + " --calc");
    EXPECT_EQ(find_spreadsheet(""), "");
}

TEST(SettingsFile, EveryLineEndAndTheMarkReadTheSame) {
    ScratchDir dir;
    const std::string path = dir.file("korvelan.ini");
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        for (const std::string mark : {"", "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF"}) {
            write_file(path, mark + "Editor=\"/bin/ed\"" + end + "Filter=Text (*.txt)" + end + "Welcome=No" + end);
            InitialSettings s;
            ASSERT_TRUE(read_settings_file(path, s));
            EXPECT_EQ(s.editor, "/bin/ed") << mark.size() << end.size();
            EXPECT_EQ(s.filter, "Text (*.txt)");
            EXPECT_EQ(s.welcome, 'N');
        }
    }
}
