// Fixed-column files read as they were written. One data set, names before the items, in six
// scripts (ASCII, accented Latin, Cyrillic with the Windows-1251 pairs that are valid UTF-8,
// Greek with such pairs in Windows-1253, CJK, emoji), saved as UTF-8 padded by characters, by
// bytes (as printf pads) and to screen columns, and in the one-byte code page the script fits;
// read by fixed columns, FORMAT= and MFORMS=: every run measures as its ASCII twin does. A file
// whose records are padded two ways stops, naming the file and the first record that disagrees.
// A multiple-choice test keyed with option letters of a script measures as its A-D twin.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

enum class Coding { Characters, Bytes, Screen, CodePage };
enum class Layout { Fixed, Format, Mforms };

struct Script {
    const char* what;
    int code_page;  // 0: none fits
    std::vector<const char*> names;
};

const std::vector<Script> kScripts = {
    {"ASCII", 0, {"Viktor", "Nina", "Lidia", "Petr", "Fedor", "Anna"}},
    {"Latin", 1252, {"RENÉ\u00a0Lod", "José", "Zoë", "Ñina", "Åke", "Hélène"}},
    {"Cyrillic", 1251, {"Віктор", "Ніна", "Лідія", "Пётр", "Фёдор", "Анна", "Ольга", "Сергей"}},
    {"Greek", 1253, {"ΚΏΣΤΑΣ", "Γιώργος", "Ελένη", "ΝΏΝΤΑ", "Νίκος", "Σοφία"}},
    {"CJK", 0, {"王伟", "李娜", "张敏", "刘洋", "陈静", "杨勇"}},
    {"emoji", 0, {"Ana😀", "Bo🎉", "Cy🌟", "Di🍀", "Ed🚀", "Fa🎈"}},
};

std::u32string code_points(const std::string& s) {
    std::u32string out;
    for (std::size_t at = 0; at < s.size();) {
        const auto lead = static_cast<unsigned char>(s[at]);
        const int n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? lead : lead & (0x7F >> n);
        for (int k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[at + k]) & 0x3F);
        out += c;
        at += static_cast<std::size_t>(n);
    }
    return out;
}

// The byte of a character in Windows-1251, -1252 or -1253 (only the letters of the names above).
char code_page_byte(char32_t c, int page) {
    if (c < 0x80 || (page == 1252 && c < 0x100)) return static_cast<char>(c);
    if (page == 1251) {
        if (c >= 0x410 && c <= 0x44F) return static_cast<char>(c - 0x350);
        if (c == 0x451) return '\xb8';  // ё
        if (c == 0x456) return '\xb3';  // і
    }
    if (page == 1253) {
        if (c >= 0x391 && c <= 0x3CE) return static_cast<char>(c - 0x2D0);
        if (c == 0x38F) return '\xbf';  // Ώ
    }
    ADD_FAILURE() << "no byte for U+" << std::hex << static_cast<int>(c) << " in " << page;
    return '?';
}

std::string name_field(const std::string& name, Coding coding, int page) {
    const std::u32string cps = code_points(name);
    std::string field = name;
    std::size_t used = cps.size();
    if (coding == Coding::Bytes) used = name.size();
    if (coding == Coding::Screen)
        for (char32_t c : cps) used += c >= 0x1100 ? 1 : 0;  // every such letter here is wide
    if (coding == Coding::CodePage) {
        field.clear();
        for (char32_t c : cps) field += code_page_byte(c, page);
    }
    return field + std::string(16 - used, ' ');
}

// 36 persons, 10 items: the name in columns 1-16, the responses from column 17.
std::string data_file(const Script& script, Coding coding, Coding later = Coding::Characters,
                      int from = 36) {
    std::string text;
    for (int p = 0; p < 36; ++p) {
        const std::string name = script.names[static_cast<std::size_t>(p) % script.names.size()] +
                                 std::to_string(p);
        text += name_field(name, p < from ? coding : later, script.code_page);
        for (int i = 0; i < 10; ++i) text += (p * 7 + i * 5) % 13 > i + 1 ? '1' : '0';
        text += "\n";
    }
    return text;
}

struct Outcome {
    int status;
    std::string screen;
    std::vector<std::string> persons, items;  // the numbers of each record, before the label
    std::string pfile;
};

std::vector<std::string> numbers_of(const std::string& file, std::size_t label_column) {
    std::vector<std::string> rows;
    for (const std::string& line : crlf_lines(file))
        if (!line.empty() && line[0] != ';') rows.push_back(line.substr(0, label_column));
    return rows;
}

// With a literal, MFORMS= puts "ΩЖ" in the last two columns of every label.
Outcome run_layout(const std::string& data, Layout layout, bool literal = false,
                   const std::string& scoring = "CODES=01\n") {
    ScratchDir dir, temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.fixed_time = std::tm{};
    host.settings.temp_directory = temp.path;
    std::string control =
        "TITLE=Aligned\nNI=10\nNAME1=1\nNAMLEN=16\nITEM1=17\nPFILE=p.txt\nIFILE=i.txt\n" + scoring;
    if (layout == Layout::Mforms) {
        control += "MFORMS=mf.txt\n";
        write_file(dir.file("mf.txt"), std::string("D=d.txt\nL=1\nP1-16=1\nI1-10=17\n") +
                                           (literal ? "P15-16=\"ΩЖ\"\n" : ""));
    } else {
        control += "DATA=d.txt\n";
        if (layout == Layout::Format) control += "FORMAT=(16A1,T17,10A1)\n";
    }
    control += "&END\n";
    for (int i = 1; i <= 10; ++i) control += "I" + std::to_string(i) + "\n";
    write_file(dir.file("d.txt"), data);
    write_file(dir.file("c.txt"), control + "END LABELS\n");
    run.args = {dir.file("c.txt"), dir.file("o.txt"), "BATCH=Y"};
    Outcome out{run_analysis(run), host.screen(), {}, {}, {}};
    delete_work_files_at_exit(run);
    if (file_exists(dir.file("p.txt"))) {
        out.pfile = read_file(dir.file("p.txt"));
        out.persons = numbers_of(out.pfile, 91);
        out.items = numbers_of(read_file(dir.file("i.txt")), 95);
    }
    return out;
}

}  // namespace

TEST(RecordAlignment, EveryScriptAndCodingMeasuresAsItsAsciiTwin) {
    for (Layout layout : {Layout::Fixed, Layout::Format, Layout::Mforms}) {
        const Outcome twin = run_layout(data_file(kScripts[0], Coding::Characters), layout);
        ASSERT_EQ(twin.status, 0) << twin.screen;
        ASSERT_EQ(twin.persons.size(), 36u);
        for (const Script& script : kScripts) {
            for (Coding coding : {Coding::Characters, Coding::Bytes, Coding::Screen, Coding::CodePage}) {
                if (coding == Coding::CodePage && script.code_page == 0) continue;
                // An MFORMS= literal takes a character a column.
                const bool literal = layout == Layout::Mforms && coding == Coding::Characters;
                const Outcome o = run_layout(data_file(script, coding), layout, literal);
                if (literal) {
                    EXPECT_NE(o.pfile.find("ΩЖ"), std::string::npos) << script.what;
                }
                const std::string where = std::string(script.what) + " coding " +
                                          std::to_string(static_cast<int>(coding)) + " layout " +
                                          std::to_string(static_cast<int>(layout));
                EXPECT_EQ(o.status, 0) << where << "\n" << o.screen;
                EXPECT_EQ(o.persons, twin.persons) << where;
                EXPECT_EQ(o.items, twin.items) << where;
                // Said once, naming the data file, when the records are not aligned by characters.
                const bool ascii = script.names[0] == kScripts[0].names[0];
                const bool wide = script.names[0] == kScripts[4].names[0] ||
                                  script.names[0] == kScripts[5].names[0];
                const bool bytes_differ = coding == Coding::Bytes && !ascii;
                const bool screen_differs = coding == Coding::Screen && wide;
                EXPECT_EQ(o.screen.find(" RECORDS ALIGNED IN BYTES: d.txt") != std::string::npos,
                          bytes_differ)
                    << where;
                EXPECT_EQ(o.screen.find(" RECORDS ALIGNED IN SCREEN COLUMNS: d.txt") != std::string::npos,
                          screen_differs)
                    << where;
            }
        }
    }
}

TEST(RecordAlignment, RecordsPaddedTwoWaysStopNamingTheFirstThatDisagrees) {
    for (Layout layout : {Layout::Fixed, Layout::Mforms}) {
        // Records 1-20 padded by characters, the rest by bytes.
        const Outcome o = run_layout(data_file(kScripts[2], Coding::Characters, Coding::Bytes, 20), layout);
        EXPECT_NE(o.status, 0);
        EXPECT_NE(o.screen.find(" RECORDS NOT ALIGNED ALIKE: record 21 (line 21) of d.txt lines up its "
                                "responses in bytes, the records before it in characters."),
                  std::string::npos)
            << o.screen;
        EXPECT_TRUE(o.persons.empty());
    }
}

TEST(RecordAlignment, OptionLettersOfEveryScriptScoreAsTheirAsciiTwin) {
    // Four options a script, the key of item i its option i % 4; a person answers right where the
    // dichotomous data above hold a 1, else one of the other three.
    const std::vector<std::vector<std::string>> options = {
        {"A", "B", "C", "D"}, {"А", "Б", "В", "Г"}, {"Α", "Β", "Γ", "Δ"}, {"Á", "É", "Î", "Õ"}};
    const std::vector<std::size_t> name_script = {0, 2, 3, 1};  // names of the same script
    Outcome twin;
    for (std::size_t s = 0; s < options.size(); ++s) {
        const std::vector<std::string>& o = options[s];
        std::string key, data;
        for (int i = 0; i < 10; ++i) key += o[static_cast<std::size_t>(i % 4)];
        const Script& script = kScripts[name_script[s]];
        for (int p = 0; p < 36; ++p) {
            data += name_field(
                script.names[static_cast<std::size_t>(p) % script.names.size()] + std::to_string(p),
                Coding::Characters, 0);
            for (int i = 0; i < 10; ++i) {
                const bool right = (p * 7 + i * 5) % 13 > i + 1;
                data += o[static_cast<std::size_t>((i + (right ? 0 : 1 + (p + i) % 3)) % 4)];
            }
            data += "\n";
        }
        for (Layout layout : {Layout::Fixed, Layout::Format}) {
            const Outcome run = run_layout(
                data, layout, false, "CODES=" + o[0] + o[1] + o[2] + o[3] + "\nKEY1=" + key + "\n");
            ASSERT_EQ(run.status, 0) << run.screen;
            EXPECT_EQ(run.screen.find("SPECIFIED TWICE"), std::string::npos) << run.screen;
            if (s == 0 && layout == Layout::Fixed) twin = run;
            EXPECT_EQ(run.persons, twin.persons) << o[0];
            EXPECT_EQ(run.items, twin.items) << o[0];
        }
    }
    ASSERT_EQ(twin.persons.size(), 36u);
    // 65 option letters of several bytes are more than the scoring can tell apart: a clear stop.
    std::string codes = "CODES=";
    for (char32_t c = 0x410; c <= 0x450; ++c)
        codes += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    const Outcome full =
        run_layout(data_file(kScripts[0], Coding::Characters), Layout::Fixed, false, codes + "\n");
    EXPECT_NE(full.status, 0);
    EXPECT_NE(full.screen.find(" MORE THAN 64 DIFFERENT CHARACTERS OF SEVERAL BYTES"),
              std::string::npos)
        << full.screen;
}
