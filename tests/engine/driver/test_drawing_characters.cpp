// The drawing characters of every Table: with ASCII=N the report, each Table file and the screen
// are UTF-8 and, their drawing characters read as the plain ones, equal line for line and
// character for character what ASCII=Y writes; with ASCII=Y too the screen (the component
// analysis's progress marks among it) is UTF-8, and labels in UTF-8 pass through both.
#include <gtest/gtest.h>

#include <map>
#include <ctime>
#include <string>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Fourteen persons on six items, labels with accents and CJK among them (short enough for the
// label columns of every Table); every Table asked for.
const char* const kControl =
    "TITLE=Drawing\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=12\nCODES=01\nTABLES=1111111111111111111111111111111\n"
    "DIF=$S1W1\nDPF=$S1W1\nISUBTOTAL=$S1W1\nPSUBTOTAL=$S1W1\n"
    "&END\nAdd\nSüb\nX掛\nDiv\nPow\nRoot\nEND LABELS\n"
    "110000 Ann\n111000 Zoé\n111110 Cid\n100100 Dee\n101010 Eve\n110100 Fay\n011000 Gus\n"
    "111100 Hal\n010110 Ivy\n100011 Jon\n111010 P数\n001101 Kim\n110110 Lea\n101100 Mo\n";

struct Texts {
    std::vector<std::string> report, screen;
    std::map<int, std::vector<std::string>> tables;
};

Texts run_with(const std::string& ascii) {
    ScratchDir dir, temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.fixed_time = std::tm{};  // both runs at one time, with one run id
    run.fixed_clock_seconds = 123;
    host.settings.temp_directory = temp.path;
    write_file(dir.file("ctl.txt"), kControl);
    run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y", "ASCII=" + ascii};
    EXPECT_EQ(run_analysis(run), 0) << host.screen();
    Texts t;
    for (int n = 1; n <= 40; ++n) {
        request_table_after_run(run, std::to_string(n));
        t.tables[n] = host.line_file;
    }
    delete_work_files_at_exit(run);
    // The folders' names and the setting itself differ between the two runs.
    auto same = [&](std::string s) {
        for (const std::string& name : {dir.path, temp.path, "ASCII=" + ascii})
            for (std::size_t at; (at = s.find(name)) != std::string::npos;) s.replace(at, name.size(), "@");
        return s;
    };
    t.report = crlf_lines(read_file(dir.file("out.txt")));
    host.lines.push_back(host.open_chars);
    t.screen = host.lines;
    for (auto* lines : {&t.report, &t.screen}) for (std::string& l : *lines) l = same(l);
    for (auto& [n, lines] : t.tables) for (std::string& l : lines) l = same(l);
    return t;
}

// The line with each drawing character as the plain one ASCII=Y writes; counts them.
std::string plain(const std::string& line, int& drawn) {
    static const std::vector<std::pair<std::string, char>> kPlain = {
        {"─", '-'}, {"│", '|'}, {"├", '|'}, {"┼", '+'}, {"┤", '|'}, {"┌", '+'}, {"┬", '-'},
        {"┐", '+'}, {"└", '+'}, {"┴", '-'}, {"┘", '+'}, {"╔", '*'}, {"═", '*'}, {"╗", '*'},
        {"╚", '*'}, {"║", '*'}, {"╝", '*'}};
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        bool found = false;
        for (const auto& [text, c] : kPlain)
            if (line.compare(i, text.size(), text) == 0) {
                out += c;
                i += text.size();
                ++drawn;
                found = true;
                break;
            }
        if (!found) out += line[i++];
    }
    return out;
}

void expect_twins(const std::vector<std::string>& drawn, const std::vector<std::string>& ascii,
                  const std::string& where, int& count) {
    ASSERT_EQ(drawn.size(), ascii.size()) << where;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_TRUE(utf8_text(drawn[i])) << where << " line " << i + 1 << ": " << drawn[i];
        EXPECT_TRUE(utf8_text(ascii[i])) << where << " line " << i + 1 << ": " << ascii[i];
        EXPECT_EQ(plain(drawn[i], count), ascii[i]) << where << " line " << i + 1;
    }
}

}  // namespace

TEST(DrawingCharacters, AsciiOffWritesUtf8TwinsOfTheAsciiTablesEverywhere) {
    const Texts drawn = run_with("N"), ascii = run_with("Y");
    int count = 0;
    expect_twins(drawn.report, ascii.report, "report", count);
    expect_twins(drawn.screen, ascii.screen, "screen", count);
    for (const auto& [n, lines] : drawn.tables)
        expect_twins(lines, ascii.tables.at(n), "Table " + std::to_string(n), count);
    EXPECT_GT(count, 5000);  // the Tables do draw
    // The component analysis ran on the console, and the labels came through whole.
    auto shows = [](const std::vector<std::string>& lines, const std::string& text) {
        for (const std::string& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(shows(ascii.screen, " \u255E")) << "no progress marks";
    for (const char* label : {"Zoé", "P数", "Süb", "X掛"}) {
        EXPECT_TRUE(shows(ascii.report, label)) << label;
        EXPECT_TRUE(shows(drawn.report, label)) << label;
    }
}
