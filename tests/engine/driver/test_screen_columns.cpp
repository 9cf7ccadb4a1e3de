// Labels, entity words and the title in Greek, CJK and emoji letters lay out every Table as their
// ASCII twin does: one data set written in each script, its letters mapped one to one onto ASCII
// letters as wide on the screen (a Greek letter to one letter, a CJK character or an emoji to two),
// and every line of the report, read back through that map, equal to the twin's line. So each
// label stands whole in its field, each map row holds the twin's entries, and every frame
// character stands in its column; and every line is UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "engine/run/text_columns.h"
#include "tests/engine/tables/summary_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

enum class Script { Ascii, Greek, Cjk, Emoji, DoubledAscii };

std::string utf8_of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// The script's letter for ASCII letter k (0-25) in small or capital form; code points rise with
// k, so that label sorts keep their order.
std::string letter(Script script, int k, bool capital) {
    const char ascii = static_cast<char>((capital ? 'A' : 'a') + k);
    switch (script) {
        case Script::Greek:  // alpha .. omega and iota with dialytika; Alpha .. Omega, Iota, Upsilon
            return utf8_of(capital ? (k < 17 ? 0x391 + k : 0x392 + k) : 0x3B1 + k);
        case Script::Cjk:
            return utf8_of((capital ? 0x5000 : 0x4E00) + static_cast<char32_t>(k));
        case Script::Emoji:
            return utf8_of((capital ? 0x1F400 : 0x1F600) + static_cast<char32_t>(k));
        case Script::DoubledAscii:
            return std::string(2, ascii);
        case Script::Ascii:
            break;
    }
    return std::string(1, ascii);
}

// The ASCII text in the script's letters; other characters stay.
std::string in_script(Script script, const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c >= 'a' && c <= 'z') out += letter(script, c - 'a', false);
        else if (c >= 'A' && c <= 'Z') out += letter(script, c - 'A', true);
        else out += c;
    }
    return out;
}

// The script's letters of a line mapped back onto ASCII letters as wide (a wide character to
// its letter twice).
std::string in_ascii(Script script, std::string line) {
    for (bool capital : {false, true})
        for (int k = 0; k < 26; ++k) {
            const std::string from = letter(script, k, capital);
            const std::string to(script == Script::Greek ? 1 : 2,
                                 static_cast<char>((capital ? 'A' : 'a') + k));
            for (std::size_t at = 0; (at = line.find(from, at)) != std::string::npos; at += to.size())
                line.replace(at, from.size(), to);
        }
    return line;
}

// Sixty persons on ten items. A person's name: its gender and group letters, a blank and n
// letters of the script; an item's: "X" or "Y" (the DPF class), n - 4 letters (at least 2) and
// its number.
// Long names fill the maps' rows beyond their width; short ones sort on a letter of several bytes.
std::string control_file(Script script, int n) {
    const bool doubled = script == Script::DoubledAscii;
    const std::string namlen = std::to_string(3 + (doubled ? 2 : 1) * n);
    const std::string itlen = std::to_string(3 + (doubled ? 2 : 1) * std::max(n - 4, 2));
    std::string text = "TITLE=" + in_script(script, "A TITLE OF THE REPORT HERE") +
                       "\nPERSON=" + in_script(script, "KID") + "\nITEM=" + in_script(script, "JOB") +
                       "\nNI=10\nITEM1=1\nNAME1=12\nNAMLEN=" + namlen + "\nITLEN=" + itlen +
                       "\nCODES=01\nTABLES=1111111111111111111111111111111\nDIF=$S1W1\nDPF=$S1W1\n&END\n";
    for (int i = 0; i < 10; ++i) {
        std::string name;
        for (int k = 0; k < std::max(n - 4, 2); ++k) name += static_cast<char>('a' + (i * 3 + k) % 26);
        text += (i % 2 ? "X" : "Y") + in_script(script, name) + (i < 9 ? "0" : "") +
                std::to_string(i + 1) + "\n";
    }
    text += "END LABELS\n";
    unsigned seed = 7;
    for (int p = 0; p < 60; ++p) {
        std::string responses;
        for (int i = 0; i < 10; ++i) {
            seed = seed * 1103515245u + 12345u;
            const int chance = 50 + 8 * ((p % 12) - 6) - 8 * (i - 5);
            responses += static_cast<int>((seed >> 16) % 100) < chance ? '1' : '0';
        }
        std::string name;
        for (int k = 0; k < n; ++k) name += static_cast<char>('a' + (p * 7 + k) % 26);
        text += responses + " " + (p % 2 ? "M" : "F") + (p % 3 ? "b" : "a") + " " +
                in_script(script, name) + "\n";
    }
    return text;
}

// Whether line i of a report belongs to a plot with a vertical title: its first column holds a
// capital letter or a blank and the plot's border stands in its seventh.
bool margin_column(const std::vector<std::string>& lines, std::size_t i) {
    const std::string& l = lines[i];
    return l.size() > 7 && (l[0] == ' ' || std::isupper(static_cast<unsigned char>(l[0]))) &&
           (l[6] == '|' || l[6] == '+');
}

// The report, the folder's name and the run's date each read as "@".
std::vector<std::string> report_of(Script script, int n) {
    SummaryRun a(control_file(script, n));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    std::vector<std::string> lines = crlf_lines(a.report());
    for (std::string& l : lines)
        for (const std::string& text : {a.dir.path, a.run.rs.run_date})
            for (std::size_t at; (at = l.find(text)) != std::string::npos;) l.replace(at, text.size(), "@");
    return lines;
}

// Whether the line read back stands as the twin's but for what a wide character cannot do:
// stand half in a field whose width a Table's layout fixes (a blank where the twin shows a lone
// first half of a letter pair) or take a single column of the plots' left margin, where the
// vertical title stands a character a line.
bool same_but_for_halves(const std::string& mapped, const std::string& twin, bool margin) {
    if (mapped.size() != twin.size()) return false;
    for (std::size_t i = margin ? 2 : 0; i < mapped.size(); ++i) {
        if (mapped[i] == twin[i]) continue;
        const bool lone = (i == 0 || twin[i - 1] != twin[i]) &&
                          (i + 1 == twin.size() || twin[i + 1] != twin[i]);
        if (mapped[i] != ' ' || !std::isalpha(static_cast<unsigned char>(twin[i])) || !lone)
            return false;
    }
    return true;
}

// Every line of the script's report is UTF-8 and reads, mapped back, as the twin's line; the
// first differences are shown under the Table they belong to. The vertical titles of the fit
// plots spell the entity words whole.
void expect_twins(Script script, int n, const std::vector<std::string>& twin, const char* name) {
    const std::vector<std::string> report = report_of(script, n);
    ASSERT_EQ(report.size(), twin.size()) << name;
    int shown = 0;
    std::string table, margin;
    auto spelt = [&] {
        const std::string word = in_script(script, "KID");
        if (table == "TABLE 4.1" || table == "TABLE 5.1") {
            EXPECT_NE(margin.find(word), std::string::npos) << name << " " << table << ": " << margin;
        }
        margin.clear();
    };
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (twin[i].find("TABLE ") < 2) {
            spelt();
            table = twin[i].substr(twin[i].find("TABLE "), twin[i].find(' ', 7) - twin[i].find("TABLE "));
        }
        margin += character_span(report[i], 0, 1);
        EXPECT_TRUE(utf8_text(report[i])) << name << " line " << i + 1;
        const std::string mapped = in_ascii(script, report[i]);
        // The control values listed differ by the twins' NAMLEN= and ITLEN=.
        if (mapped == twin[i] || twin[i].rfind("NAMLEN=", 0) == 0 ||
            twin[i].rfind("ITLEN=", 0) == 0 ||
            same_but_for_halves(mapped, twin[i], margin_column(twin, i)))
            continue;
        if (++shown <= 12)
            ADD_FAILURE() << name << " " << table << " line " << i + 1 << "\n  " << report[i]
                          << "\n  " << twin[i];
    }
    spelt();
    EXPECT_EQ(shown, 0) << name << ": lines that differ from the twin's";
}

}  // namespace

TEST(ScreenColumns, EveryTableLaysOutWideAndNarrowLettersAsItsAsciiTwin) {
    for (int n : {10, 2}) {
        SCOPED_TRACE(std::to_string(n) + " letters a name");
        const std::vector<std::string> ascii = report_of(Script::Ascii, n);
        const std::vector<std::string> doubled = report_of(Script::DoubledAscii, n);
        // The twins are not empty: the maps and the entry Tables are written.
        for (const char* table : {"TABLE 1.0 ", "TABLE 1.10 ", "TABLE 18.1 ", "TABLE 30.1 ", "TABLE 31.1 "}) {
            bool found = false;
            for (const std::string& l : ascii) found = found || l.find(table) < 2;
            EXPECT_TRUE(found) << table;
        }
        expect_twins(Script::Greek, n, ascii, "Greek");
        expect_twins(Script::Cjk, n, doubled, "CJK");
        expect_twins(Script::Emoji, n, doubled, "emoji");
    }
}
