// A column is a character: one data set written four ways (names in ASCII, the same names with
// accents and CJK characters in UTF-8, in UTF-16 with its mark, in Latin-1 bytes), each aligned
// by characters before the items, measures alike; the simulated and Guttmanized files of the
// UTF-8 run, which keep the input layout, read back as those of the ASCII run do. And label
// patterns match character by character.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/driver/run_analysis.h"
#include "engine/input/selections.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Names of 1 to 4 characters: the ASCII twins, then the same with accents and CJK characters.
const char* const kAscii[] = {"Zoe", "Nina", "Ake", "Uwe", "Eric", "Sun", "Mei", "Ana"};
const char* const kAccented[] = {"Zoë", "Ñina", "Åke", "Üwe", "Éric", "孫", "美", "Ana"};

enum class Coding { Ascii, Utf8, Utf16, Latin1 };

// The name of person p in the coding's letters, its number after it.
std::string name_of(int p, Coding coding) {
    std::string n = coding == Coding::Ascii ? kAscii[p % 8] : kAccented[p % 8];
    if (coding == Coding::Latin1) {  // the Latin-1 bytes of the accented letters, CJK left out
        const std::pair<const char*, const char*> latin1[] = {
            {"ë", "\xeb"}, {"Ñ", "\xd1"}, {"Å", "\xc5"}, {"Ü", "\xdc"},
            {"É", "\xc9"}, {"孫", "S"},   {"美", "M"}};
        for (const auto& [utf8, byte] : latin1)
            if (const std::size_t at = n.find(utf8); at != std::string::npos)
                n.replace(at, std::string(utf8).size(), byte);
    }
    return n + std::to_string(p);
}

// Responses of 40 persons to 8 items, the person's responses shifted with its number.
std::string responses_of(int p) {
    std::string r;
    for (int i = 0; i < 8; ++i) r += ((p * 7 + i * 3) % 11) > i + 1 ? '1' : '0';
    return r;
}

std::string utf16_with_mark(const std::string& utf8) {
    std::string out = "\xff\xfe";
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        char32_t c = n == 1 ? lead : lead & (0x7F >> n);
        for (int k = 1; k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
        at += static_cast<std::size_t>(n);
    }
    return out;
}

// The control file: the names fill columns 1-8, the items follow in 9-16 as an editor shows them.
std::string control_file(Coding coding, const std::string& extra) {
    std::string text =
        "TITLE=Columns\nNI=8\nNAME1=1\nNAMLEN=8\nITEM1=9\nCODES=01\nPFILE=p.txt\nIFILE=i.txt\n" +
        extra + "&END\n";
    for (int i = 1; i <= 8; ++i) text += "I" + std::to_string(i) + "\n";
    text += "END LABELS\n";
    for (int p = 0; p < 40; ++p) {
        const std::string name = name_of(p, coding);
        const std::size_t characters =
            coding == Coding::Latin1 ? name.size() : character_count(name);
        text += name + std::string(8 - characters, ' ') + responses_of(p) + "\n";
    }
    return coding == Coding::Utf16 ? utf16_with_mark(text) : text;
}

struct Files {
    std::string pfile, ifile, sifile, gufile;
};

std::string run_in(const ScratchDir& dir, const std::string& control) {
    ScratchDir temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.fixed_time = std::tm{};
    host.settings.temp_directory = temp.path;
    write_file(dir.file("ctl.txt"), control);
    run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y"};
    EXPECT_EQ(run_analysis(run), 0) << host.screen();
    delete_work_files_at_exit(run);
    return host.screen();
}

Files run_coding(Coding coding) {
    ScratchDir dir;
    run_in(dir, control_file(coding, "SIFILE=si.txt\nGUFILE=gu.txt\n"));
    return {read_file(dir.file("p.txt")), read_file(dir.file("i.txt")),
            read_file(dir.file("si.txt")), read_file(dir.file("gu.txt"))};
}

// The numbers of each record of a measure file: what stands before the label.
std::vector<std::string> numbers_of(const std::string& file, std::size_t label_column) {
    std::vector<std::string> rows;
    for (const std::string& line : crlf_lines(file))
        if (!line.empty() && line[0] != ';')
            rows.push_back(line.substr(0, std::min(line.size(), label_column)));
    return rows;
}

// The person measures of a data file in the input layout, read as a run's data.
std::vector<std::string> measures_of_data(const std::string& data) {
    ScratchDir dir;
    write_file(dir.file("data.txt"), data);
    std::string control =
        "TITLE=Again\nNI=8\nNAME1=1\nNAMLEN=8\nITEM1=9\nCODES=01\nPFILE=p.txt\nDATA=data.txt\n&"
        "END\n";
    for (int i = 1; i <= 8; ++i) control += "I" + std::to_string(i) + "\n";
    run_in(dir, control + "END LABELS\n");
    return numbers_of(read_file(dir.file("p.txt")), 91);
}

// The person measures of the coding's data read through FORMAT= or MFORMS= (its instructions in
// mf.txt, the records in data.txt).
std::vector<std::string> measures_of_layout(Coding coding, const std::string& layout,
                                            const std::string& mforms) {
    ScratchDir dir;
    std::string control = control_file(coding, layout);
    if (!mforms.empty()) {
        const std::size_t data = control.find("END LABELS\n") + 11;
        write_file(dir.file("data.txt"), control.substr(data));
        write_file(dir.file("mf.txt"), mforms);
        control.resize(data);
    }
    run_in(dir, control);
    return numbers_of(read_file(dir.file("p.txt")), 91);
}

}  // namespace

TEST(CharacterColumns, OneDataSetInFourCodingsMeasuresAlike) {
    const Files ascii = run_coding(Coding::Ascii);
    ASSERT_FALSE(ascii.pfile.empty());
    // The numbers end before the label (from column 92 of a person record, 96 of an item record).
    const std::vector<std::string> persons = numbers_of(ascii.pfile, 91);
    const std::vector<std::string> items = numbers_of(ascii.ifile, 95);
    ASSERT_EQ(persons.size(), 40u);
    for (Coding coding : {Coding::Utf8, Coding::Utf16, Coding::Latin1}) {
        const Files f = run_coding(coding);
        EXPECT_EQ(numbers_of(f.pfile, 91), persons) << static_cast<int>(coding);
        EXPECT_EQ(numbers_of(f.ifile, 95), items) << static_cast<int>(coding);
        EXPECT_NE(f.pfile.find(name_of(5, coding)), std::string::npos) << static_cast<int>(coding);
        if (coding != Coding::Utf8) continue;
        // FORMAT= positions and MFORMS= columns count characters too.
        EXPECT_EQ(measures_of_layout(coding, "FORMAT=(8A1,T9,8A1)\n", ""), persons);
        EXPECT_EQ(
            measures_of_layout(coding, "MFORMS=mf.txt\n", "D=data.txt\nL=1\nP1-8=1\nI1-8=9\n"),
            persons);
        // Written in the input layout, a column a character: they read back alike.
        EXPECT_EQ(measures_of_data(f.sifile), measures_of_data(ascii.sifile));
        EXPECT_EQ(measures_of_data(f.gufile), measures_of_data(ascii.gufile));
        EXPECT_NE(f.sifile.find("Zoë0    "), std::string::npos);
    }
}

namespace {

// A character-by-character matcher over code points: "*" the rest, "?" one character, "{..}" a
// set of characters and ranges; a prefix of the label suffices.
std::u32string code_points(std::string_view s) {
    std::u32string out;
    for (std::size_t at = 0; at < s.size(); at += utf8_character_size(s, at))
        out += character_code(s, at);
    return out;
}

bool reference_match(const std::u32string& pattern, const std::u32string& label) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i, ++j) {
        if (pattern[i] == U'*') return true;
        if (pattern[i] == U'?') continue;
        if (j >= label.size()) return false;
        if (pattern[i] != U'{') {
            if (pattern[i] != label[j]) return false;
            continue;
        }
        const std::size_t close = pattern.find(U'}', i);
        bool hit = false;
        for (std::size_t k = i + 1; k < close; ++k) {
            if (pattern[k + 1] == U'-' && k + 2 < close) {
                hit = hit || (label[j] >= std::min(pattern[k], pattern[k + 2]) &&
                              label[j] <= std::max(pattern[k], pattern[k + 2]));
                k += 2;
            } else {
                hit = hit || pattern[k] == label[j];
            }
        }
        if (!hit) return false;
        i = close;
    }
    return true;
}

}  // namespace

TEST(CharacterColumns, LabelPatternsMatchWholeCharacters) {
    const std::vector<std::string> labels = {"élan",    "Ñandú", "Åsa",  "über",  "ébène",
                                             "問題2番", "問題",  "題問", "Émile", "Zoë",
                                             "Zoe",     "ÅÅ",    "ñ1",   "ab"};
    const std::vector<std::string> patterns = {"{é}*",   "?P*",     "??題*", "?題*",  "問?2*",
                                               "{é-ü}*", "{Ñ-Å}?*", "Zo?",   "Zo{ë}", "{問題}題*",
                                               "{A-Z}*", "?{a-z}*", "{ñÅ}?"};
    for (const std::string& p : patterns)
        for (const std::string& l : labels)
            EXPECT_EQ(is_selected(match_selection_pattern(p, l)),
                      reference_match(code_points(p), code_points(l)))
                << p << " over " << l;
    EXPECT_TRUE(is_selected(match_selection_pattern("?題*", "問題2番")));
    EXPECT_FALSE(is_selected(match_selection_pattern("{é}*", "Ñandú")));  // both lead with 0xC3
}

namespace {

// Item and person labels, title and folder name written with accents and CJK characters, and
// their ASCII twins of the same widths on the screen (an accented letter for a letter, a CJK
// character for two), their first characters in the same order, so that the Tables sorted or
// grouped by label list them alike.
struct Twin {
    const char* wide;
    const char* plain;
};
const Twin kItems[] = {{"Größe", "Grose"}, {"数据加法", "dUJUJIFA"}, {"Ångström", "angstrom"},
                       {"除法", "eHFA"},   {"Über", "bber"},         {"乘法x", "cHFAx"}};
const Twin kPersons[] = {{"Zoë", "Zoe"}, {"孫美", "fUME"},     {"Ñina", "dina"},
                         {"Åke", "bke"}, {"数", "gU"},         {"Éric", "cric"},
                         {"Mo", "Mo"},   {"美Ann", "hEAnn"},   {"ééKim", "eeKim"},
                         {"Hal", "Hal"}, {"P数Ivy", "PSUIvy"}, {"Jürgen", "Jurgen"}};

std::string twin_control(bool wide) {
    std::string text = std::string("TITLE=") +
                       (wide ? "Größe 数据\nPERSON=SCHÜLER\nITEM=FRÄGE" : "Grose SUJU\nPERSON=SCHULER\nITEM=FRAGE") +
                       "\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=10\nCODES=01\n"
                       "TABLES=1111111111111111111111111111111111111111\n"
                       "DIF=$S1W1\nDPF=$S1W1\nISUBTOTAL=$S1W1\nPSUBTOTAL=$S1W1\n&END\n";
    for (const Twin& t : kItems) text += std::string(wide ? t.wide : t.plain) + "\n";
    text += "END LABELS\n";
    const char* const responses[] = {"110000", "111000", "111110", "100100", "101010", "110100",
                                     "011000", "111100", "010110", "100011", "111010", "001101"};
    for (std::size_t p = 0; p < std::size(kPersons); ++p)
        text +=
            std::string(responses[p]) + " " + (wide ? kPersons[p].wide : kPersons[p].plain) + "\n";
    return text;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct TwinRun {
    std::vector<std::string> screen;
    std::vector<std::vector<std::string>> report;  // the report, then Tables 1 to 40 after the run
};

TwinRun run_twin(bool wide) {
    ScratchDir top, temp;
    const std::string dir = top.file(wide ? "数据/" : "SUJU/");
    std::filesystem::create_directories(dir);
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.fixed_time = std::tm{};
    host.settings.temp_directory = temp.path;
    write_file(dir + "ctl.txt", twin_control(wide));
    run.args = {dir + "ctl.txt", dir + "out.txt", "BATCH=Y"};
    EXPECT_EQ(run_analysis(run), 0) << host.screen();
    TwinRun r;
    for (int n = 1; n <= 40; ++n) {
        request_table_after_run(run, std::to_string(n));
        r.report.push_back(host.line_file);
    }
    delete_work_files_at_exit(run);
    r.report.insert(r.report.begin(), crlf_lines(read_file(dir + "out.txt")));
    r.screen = split_lines(host.screen());
    return r;
}

void expect_twins(const std::vector<std::string>& wide, const std::vector<std::string>& plain,
                  const std::string& where) {
    ASSERT_EQ(wide.size(), plain.size()) << where;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        EXPECT_TRUE(utf8_text(wide[i])) << where << " line " << i + 1 << ": " << wide[i];
        EXPECT_EQ(frame_columns(wide[i]), frame_columns(plain[i]))
            << where << " line " << i + 1 << ":\n"
            << wide[i] << "\n"
            << plain[i];
    }
}

}  // namespace

TEST(CharacterColumns, EveryTableOfWideLabelsLinesUpWithItsAsciiTwin) {
    const TwinRun wide = run_twin(true), plain = run_twin(false);
    ASSERT_GT(wide.report[0].size(), 500u);
    for (std::size_t n = 0; n < wide.report.size(); ++n)
        expect_twins(wide.report[n], plain.report[n],
                     n == 0 ? "report" : "Table " + std::to_string(n));
    expect_twins(wide.screen, plain.screen, "screen");
}
