// The same survey saved by PSPP in UTF-8 and in every character set PSPP writes that the
// conversion can read: answers that are letters, names, labels and variable names with the
// letters of that character set. Each conversion is the UTF-8 one, byte for byte: the character
// sets whose converters hold a letter back (windows-1255, windows-1258, TCVN), those that say
// one code page in their character code and another in their encoding record (EUC-JP), those
// where a letter of a name is the byte 0xFF (я in windows-1251, ÿ in Latin-1, Ъ in KOI8-R) and
// those of several bytes a letter.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "spss/control_file.h"
#include "spss/selection_file.h"
#include "spss/tab_text.h"
#include "tests/spss/pspp_files.h"

using namespace korvelan::testing;
using namespace korvelan::spss;
using namespace std::string_literals;

namespace {

// Windows code pages, ISO 8859, DOS, Mac, KOI8, CJK and Vietnamese character sets. Not here:
// EBCDIC (PSPP writes even the file header in it, which the library cannot read), UTF-7 and
// UTF-16 (PSPP cannot write them whole), MACCENTRALEUROPE (PSPP does not know it).
const char* const kCharacterSets =
    "WINDOWS-1250 WINDOWS-1251 WINDOWS-1252 WINDOWS-1253 WINDOWS-1254 WINDOWS-1255 WINDOWS-1256 "
    "WINDOWS-1257 WINDOWS-1258 ISO-8859-1 ISO-8859-2 ISO-8859-3 ISO-8859-4 ISO-8859-5 ISO-8859-6 "
    "ISO-8859-7 ISO-8859-8 ISO-8859-9 ISO-8859-10 ISO-8859-11 ISO-8859-13 ISO-8859-14 ISO-8859-15 "
    "ISO-8859-16 KOI8-R KOI8-U KOI8-T PT154 CP437 CP737 CP775 CP850 CP852 CP855 CP857 CP860 CP861 "
    "CP862 CP863 CP864 CP865 CP866 CP869 CP874 CP1125 TIS-620 MACINTOSH MAC-CYRILLIC SHIFT_JIS CP932 "
    "EUC-JP ISO-2022-JP EUC-KR CP949 JOHAB GBK GB2312 GB18030 BIG5 BIG5-HKSCS EUC-TW VISCII "
    "TCVN5712-1 ARMSCII-8 GEORGIAN-PS CP1133";

// Letters of many scripts; each character set takes those it can write.
const char* const kLetters =
    "ÿ я Ъ ä ö ü ß é è ñ ç å ø œ š ž č ł ő ă â ş đ ơ ư ạ ố ầ ж щ ё ә ғ ҳ α β λ ω א ב ש ا ب ت ก ข ค "
    "ա բ ა ბ ກ ຂ あ カ 日 語 한 국 中 文";

std::vector<std::string> words(const char* text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The text converted from one character set to another; false when the converter cannot.
bool recode(const std::string& text, const std::string& from, const std::string& to, std::string& out) {
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char buffer[64];
    char* in = const_cast<char*>(text.data());
    char* end = buffer;
    std::size_t in_left = text.size(), out_left = sizeof buffer;
    const bool ok = iconv(cd, &in, &in_left, &end, &out_left) != static_cast<std::size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &end, &out_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.assign(buffer, end);
    return ok;
}

// Up to six letters the character set writes and reads back as they were, a letter written
// as the byte 0xFF first where there is one.
std::vector<std::string> letters_of(const std::string& set) {
    std::vector<std::string> letters;
    for (const std::string& letter : words(kLetters)) {
        std::string bytes, back;
        if (!recode(letter, "UTF-8", set, bytes) || !recode(bytes, set, "UTF-8", back) || back != letter) continue;
        if (bytes == "\xFF") letters.insert(letters.begin(), letter);
        else if (letters.size() < 6) letters.push_back(letter);
    }
    if (letters.size() > 6) letters.resize(6);
    return letters;
}

// Eight persons: a name, two items answered with letters A-D, one with the character set's own
// letters, and a number; the variable names and labels hold its letters too.
std::string survey(const std::vector<std::string>& l) {
    auto at = [&](std::size_t i) { return l[i % l.size()]; };
    const std::string person = "n" + at(0) + at(1);
    std::string syntax = "DATA LIST LIST /" + person + " (A40) a" + at(0) + "1 (A4) a" + at(1) + "2 (A4) b" +
                         at(2) + " (A8) q" + at(3) + " (F2).\nBEGIN DATA\n";
    const char* answers = "ABCDDCBAACBD";
    for (std::size_t p = 0; p < 8; ++p) {
        syntax += "\"" + std::string(p % 3 == 0 ? "  " : "") + "Ann" + at(p) + at(p + 1) + "o" + at(p + 2) + "\" \"" +
                  answers[p] + "\" \"" + answers[p + 3] + "\" \"" + at(p + 3) + "\" " + std::to_string(p % 3) + "\n";
    }
    return syntax + "END DATA.\nVARIABLE LABELS " + person + " 'Name " + at(0) + "' b" + at(2) + " 'Frage " +
           at(2) + at(3) + " " + at(4) + "'.\n";
}

struct Outputs {
    std::vector<std::string> selection, control, tab;
};

// The three outputs of the .sav file, less the lines that name its path.
Outputs convert(const ScratchDir& dir, const std::string& sav, const std::string& names) {
    Outputs o;
    const std::string zsp = dir.file(sav + ".zsp");
    const Outcome listed = write_spss_selection_file(dir.file(sav), zsp);
    EXPECT_EQ(listed.kind, OutcomeKind::Done) << sav << ": " << listed.message;
    if (listed.kind != OutcomeKind::Done) return o;
    std::string selection = read_file(zsp);
    o.selection = crlf_lines(selection);
    o.selection.erase(o.selection.begin() + 7);
    move_under(selection, "! Person Label Variables", names.substr(0, names.find('\n') + 1));
    move_under(selection, "! Item Response Variables", names.substr(names.find('\n') + 1));
    write_file(zsp, selection);
    const Outcome built = build_control_file_from_spss_selection(zsp, dir.file(sav + ".zsw"));
    EXPECT_EQ(built.kind, OutcomeKind::Done) << sav << ": " << built.message;
    o.control = crlf_lines(read_file(dir.file(sav + ".zsw")));
    if (o.control.size() > 2) o.control.erase(o.control.begin() + 2);
    const Outcome tab = convert_spss_to_tab_text(dir.file(sav), dir.file(sav + ".zsx"));
    EXPECT_EQ(tab.kind, OutcomeKind::Done) << sav << ": " << tab.message;
    o.tab = crlf_lines(read_file(dir.file(sav + ".zsx")));
    return o;
}

// The characters before byte n of a UTF-8 line.
std::size_t column_of(const std::string& line, std::size_t n) {
    return static_cast<std::size_t>(std::count_if(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n),
                                                   [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Names and values are padded by characters: the ";" of every variable line, the fields of the
// names line and the case numbers of the records each stand in one column.
void expect_columns_line_up(const Outputs& o, const std::string& set) {
    const auto variables = std::find(o.selection.begin(), o.selection.end(), ";Variable   Format    Label");
    ASSERT_NE(variables, o.selection.end()) << set;
    for (auto l = variables + 1; l != o.selection.end() && !l->empty(); ++l) {
        EXPECT_EQ(column_of(*l, l->find("; ")), 10u) << set << ": " << *l;
    }
    const auto names_end = std::find(o.control.begin(), o.control.end(), "END NAMES");
    ASSERT_NE(names_end, o.control.end()) << set;
    std::size_t case_column = 0;
    for (auto l = names_end + 1; l != o.control.end() && !l->empty(); ++l) {
        if (case_column == 0) case_column = column_of(*l, l->rfind(' '));
        EXPECT_EQ(column_of(*l, l->rfind(' ')), case_column) << set << ": " << *l;
    }
    ASSERT_GE(o.tab.size(), 2u) << set;
    for (std::size_t at = 0, tab = 0; (tab = o.tab[1].find('\t', at)) != std::string::npos; at = tab + 1) {
        EXPECT_EQ(column_of(o.tab[1], tab) - column_of(o.tab[1], at), 20u) << set << ": " << o.tab[1];
    }
}

}  // namespace

TEST(SpssCodePages, EveryCharacterSetConvertsAsItsUtf8Twin) {
    ScratchDir dir;
    std::string syntax;
    std::vector<std::vector<std::string>> letters;
    const std::vector<std::string> sets = words(kCharacterSets);
    for (const std::string& set : sets) {
        letters.push_back(letters_of(set));
        ASSERT_FALSE(letters.back().empty()) << set;
        const std::string data = survey(letters.back());
        syntax += "SET LOCALE='" + set + "'.\n" + data + "SAVE OUTFILE='" + set + ".sav'.\n" +
                  "SET LOCALE='UTF-8'.\n" + data + "SAVE OUTFILE='" + set + "-utf8.sav'.\n";
    }
    ASSERT_TRUE(run_pspp(dir.path, syntax)) << read_file(dir.file("pspp.txt"));
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const std::string& set = sets[i];
        const std::vector<std::string>& l = letters[i];
        auto at = [&](std::size_t k) { return l[k % l.size()]; };
        const std::string names = "n" + at(0) + at(1) + "\r\n" + "a" + at(0) + "1\r\na" + at(1) + "2\r\nb" + at(2) +
                                  "\r\nq" + at(3) + "\r\n";
        // The file is in the character set: its encoding record names it.
        const std::string record = "\x14\0\0\0\1\0\0\0"s + static_cast<char>(set.size()) + "\0\0\0"s + set;
        EXPECT_NE(read_file(dir.file(set + ".sav")).find(record), std::string::npos) << set;
        const Outputs twin = convert(dir, set + "-utf8.sav", names);
        const Outputs o = convert(dir, set + ".sav", names);
        // The twin as its data were typed: the first case, its name left-adjusted.
        ASSERT_GE(twin.tab.size(), 3u) << set;
        EXPECT_EQ(twin.tab[2], "Ann" + at(0) + at(1) + "o" + at(2) + "\tA\tD\t" + at(3) + "\t0\t") << set;
        expect_columns_line_up(twin, set);
        EXPECT_EQ(o.selection, twin.selection) << set;
        EXPECT_EQ(o.control, twin.control) << set;
        EXPECT_EQ(o.tab, twin.tab) << set;
    }
    // The sets that hold a byte 0xFF in a name were tried with it.
    EXPECT_EQ(letters[1][0], "я");
    EXPECT_EQ(letters[9][0], "ÿ");
    EXPECT_EQ(letters[24][0], "Ъ");
}
