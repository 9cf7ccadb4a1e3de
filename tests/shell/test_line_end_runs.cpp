// Files as users have them from other programs: the same data set, edit files and instruction
// files written with LF, CR LF or CR alone, each with and without a UTF-8 byte-order mark, as
// UTF-16 of either byte order with its mark, with a mark at the start of a later line (files
// joined end to end), and with two marks in both places (a marked file saved again with a mark)
// give the same output files and the same report. Also a DATA= file that
// never ends a line, one whose last line has no line feed, and UTF-16 saved without its mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "tests/shell/measure_file.h"
#include "tests/shell/program_pool.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

using Files = std::map<std::string, std::string>;

// Six rating-scale items (the first letter of the label is the subtotal class), twelve persons;
// every file the run reads has several lines.
Files every_reader() {
    Files f;
    f["ctl.txt"] =
        "TITLE=Line ends\nSPFILE=sp.txt\nDATA=data.txt\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\n"
        "IAFILE=ia.txt\nIDFILE=id.txt\nPDFILE=pd.txt\nIWEIGHT=iw.txt\nPWEIGHT=pw.txt\n"
        "EDFILE=ed.txt\nSAFILE=sa.txt\nCFILE=cf.txt\nCLFILE=cl.txt\nTFILE=tf.txt\n"
        "ISUBTOTAL=sub.txt\n&END\nXa\nXb\nYc\nYd\nZe\nZf\nEND LABELS\n";
    f["sp.txt"] = "; output files\nPFILE=persons.txt\nIFILE=items.txt\nSFILE=steps.txt\n";
    f["data.txt"] =
        "012210 P01\n112201 P02\n221100 P03\n000120 P04\n122211 P05\n210012 P06\n"
        "011110 P07\n222102 P08\n101010 P09\n120021 P10\n212121 P11\n001200 P12\n";
    f["ia.txt"] = "; anchored items\n2 0.5\n3 -0.25\n";
    f["id.txt"] = "6\n; item six only\n";
    f["pd.txt"] = "; person twelve\n12\n";
    f["iw.txt"] = "4 2\n5 1.5\n";
    f["pw.txt"] = "1 2\n2 0.5\n";
    f["ed.txt"] = "1 1 2\n3 2 0\n";
    f["sa.txt"] = "; steps\n1 -0.6\n2 0.6\n";
    f["cf.txt"] = "0 Never\n1 Sometimes\n2 Always\n";
    f["cl.txt"] = "0 No\n1 Maybe\n2 Yes\n";
    f["tf.txt"] = "2\n3\n27\n";
    f["sub.txt"] = "$S1W1\n";
    return f;
}

// Readers the file above leaves out: person anchors, item labels from a file, step deletions, the
// class files of DIF, DPF and person subtotals, and in-line lists. Labels carry the classes
// (persons: sex in column 1; items: X, Y or Z) and one letter beyond ASCII.
Files more_readers() {
    Files f;
    f["ctl.txt"] =
        "TITLE=More readers\nDATA=data.txt\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\nPAFILE=pa.txt\n"
        "ILFILE=il.txt\nSDFILE=sd.txt\nDIF=dif.txt\nDPF=dpf.txt\nPSUBTOTAL=ps.txt\nIAFILE=*\n2 0.5\n*\n"
        "TFILE=*\n28\n30\n31\n*\nPFILE=persons.txt\nIFILE=items.txt\nSFILE=steps.txt\n&END\nEND LABELS\n";
    f["data.txt"] =
        "012210 M01 Zo\xC3\xAB\n112201 F02\n221100 M03\n000120 F04\n122211 M05\n210012 F06\n"
        "011110 M07\n222102 F08\n101010 M09\n120021 F10\n212121 M11\n001200 F12\n";
    f["pa.txt"] = "; anchored person\n3 1.5\n";
    f["il.txt"] = "Xa\nXb\nYc\nYd\nZe\nZf\n";
    f["sd.txt"] = "; no middle category for item 6\n6 1\n";
    f["dif.txt"] = "$S1W1\n";
    f["dpf.txt"] = "$S1W1\n";
    f["ps.txt"] = "$S1W1\n";
    return f;
}

// The same persons on two lines each through MFORMS= (items 1-3, then items 4-6), from two
// data files.
Files mforms_reader() {
    Files f;
    f["ctl.txt"] =
        "TITLE=Forms\nNI=6\nITEM1=1\nNAME1=8\nCODES=012\nMFORMS=forms.txt\nPFILE=persons.txt\n"
        "IFILE=items.txt\n&END\nXa\nXb\nYc\nYd\nZe\nZf\nEND LABELS\n";
    f["forms.txt"] = "; two lines a person\nD=two.txt+three.txt\nL=2\nI1-3=1:1\nI4-6=2:1\nP1-3=1:5\n";
    f["two.txt"] = "012 P01\n210\n112 P02\n201\n221 P03\n100\n";
    f["three.txt"] = "000 P04\n120\n122 P05\n211\n210 P06\n012\n";
    return f;
}

enum class Encoding { Utf8, Utf16Le, Utf16Be };

struct Variant {
    std::string name;
    std::string end;
    bool mark;
    Encoding encoding = Encoding::Utf8;
    bool later_mark = false;  // a UTF-8 mark (UTF-16: its mark) at the start of the middle line
    int marks = 1;            // how many marks stand in each of those places
};

const std::vector<Variant> kVariants = {
    {"LF", "\n", false},
    {"CR LF", "\r\n", false},
    {"CR", "\r", false},
    {"LF+BOM", "\n", true},
    {"CR LF+BOM", "\r\n", true},
    {"CR+BOM", "\r", true},
    {"UTF-16LE LF", "\n", true, Encoding::Utf16Le},
    {"UTF-16LE CR LF", "\r\n", true, Encoding::Utf16Le},
    {"UTF-16BE LF", "\n", true, Encoding::Utf16Be},
    {"UTF-16BE CR LF, mark on a later line", "\r\n", true, Encoding::Utf16Be, true},
    {"CR LF, BOM on a later line", "\r\n", false, Encoding::Utf8, true},
    {"LF+BOM, BOM on a later line", "\n", true, Encoding::Utf8, true},
    {"CR LF, two BOMs at the start and on a later line", "\r\n", true, Encoding::Utf8, true, 2},
    {"UTF-16LE LF, two marks at the start and on a later line", "\n", true, Encoding::Utf16Le, true, 2}};

// UTF-8 text (letters of up to three bytes) as UTF-16 in the byte order.
std::string utf16(const std::string& text, bool big_endian) {
    std::string out;
    for (std::size_t k = 0; k < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        unsigned u = n == 1 ? c : n == 2 ? c & 0x1F : c & 0x0F;
        for (std::size_t j = 1; j < n; ++j) u = u << 6 | (static_cast<unsigned char>(text[k + j]) & 0x3F);
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += big_endian ? std::string{high, low} : std::string{low, high};
        k += n;
    }
    return out;
}

std::string written(const std::string& text, const Variant& v) {
    std::string kMark;
    for (int k = 0; k < v.marks; ++k) kMark += "\xEF\xBB\xBF";
    std::string out = v.mark ? kMark : "";
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    std::size_t line = 0;
    for (char c : text) {
        if (c != '\n') {
            out += c;
            continue;
        }
        out += v.end;
        if (v.later_mark && ++line == (lines + 1) / 2) out += kMark;
    }
    if (v.encoding == Encoding::Utf8) return out;
    return utf16(out, v.encoding == Encoding::Utf16Be);
}

// Every file of the run written in the variant's way, run in its own folder; the report and the
// output files with the date, the folders and the run's work-file numbers made the same.
struct VariantRun {
    ScratchDir dir, temp;
    ProgramResult result;
    VariantRun(const Files& files, const Variant& v) {
        for (const auto& [name, text] : files) write_file(dir.file(name), written(text, v));
        result = run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 60);
    }
    std::string same(const std::string& name) const {
        static const std::regex work_file("[A-Z0-9]{3}[0-9]{3}kv\\.txt");
        std::string text = normalise_report(normalise_report(read_file(dir.file(name)), dir.path, "<dir>/"),
                                            temp.path, "<tmp>/");
        return std::regex_replace(text, work_file, "<work file>");
    }
};

void expect_same_everywhere(const Files& files, const std::vector<std::string>& outputs) {
    VariantRun plain(files, kVariants[0]);
    ASSERT_EQ(plain.result.exit_status, 0) << plain.result.screen;
    for (std::size_t k = 1; k < kVariants.size(); ++k) {
        VariantRun other(files, kVariants[k]);
        ASSERT_EQ(other.result.exit_status, 0) << kVariants[k].name << "\n" << other.result.screen;
        for (const std::string& name : outputs)
            EXPECT_EQ(other.same(name), plain.same(name)) << kVariants[k].name << ": " << name;
    }
}

std::string tail(const std::string& s) { return s.substr(s.size() > 2000 ? s.size() - 2000 : 0); }

}  // namespace

TEST(LineEndRuns, EveryReaderTakesEveryLineEndWithAndWithoutTheMark) {
    // The plain run itself took what the files say: the anchors, the deletions, the weights.
    VariantRun plain(every_reader(), kVariants[0]);
    ASSERT_EQ(plain.result.exit_status, 0) << plain.result.screen;
    const std::vector<MeasureRecord> items = read_measure_file(plain.dir.file("items.txt"));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_NEAR(items[1].measure, 0.5, 1e-9);
    EXPECT_NEAR(items[2].measure, -0.25, 1e-9);
    EXPECT_TRUE(items[5].commented);
    EXPECT_NEAR(items[3].fit.back(), 2.0, 1e-9);
    const std::vector<MeasureRecord> persons = read_measure_file(plain.dir.file("persons.txt"));
    ASSERT_EQ(persons.size(), 12u);
    EXPECT_TRUE(persons[11].commented);
    EXPECT_NE(read_file(plain.dir.file("out.txt")).find("Sometimes"), std::string::npos);

    expect_same_everywhere(every_reader(), {"out.txt", "persons.txt", "items.txt", "steps.txt"});
}

TEST(LineEndRuns, TheOtherReadersTakeEveryLineEndAndEncoding) {
    VariantRun plain(more_readers(), kVariants[0]);
    ASSERT_EQ(plain.result.exit_status, 0) << plain.result.screen;
    const std::vector<MeasureRecord> persons = read_measure_file(plain.dir.file("persons.txt"));
    ASSERT_EQ(persons.size(), 12u);
    EXPECT_NEAR(persons[2].measure, 1.5, 1e-9);
    EXPECT_EQ(persons[0].label, "M01 Zo\xC3\xAB");
    const std::string report = read_file(plain.dir.file("out.txt"));
    for (const char* table : {"TABLE 28.", "TABLE 30.", "TABLE 31.", "Yd"})
        EXPECT_NE(report.find(table), std::string::npos) << table;
    expect_same_everywhere(more_readers(), {"out.txt", "persons.txt", "items.txt", "steps.txt"});
}

TEST(LineEndRuns, MformsDataReadTheSameWithEveryLineEnd) {
    expect_same_everywhere(mforms_reader(), {"out.txt", "persons.txt", "items.txt"});
}

TEST(LineEndRuns, TheLastDataLineWithoutALineFeedIsRead) {
    ScratchDir dir, temp;
    write_file(dir.file("ctl.txt"), "NI=3\nITEM1=1\nNAME1=5\nCODES=01\nDATA=d.txt\nPFILE=p.txt\n&END\nA\nB\nC\n"
                                    "END LABELS\n");
    write_file(dir.file("d.txt"), "011 a\n100 b\n110 c\n010 last");
    const ProgramResult r = run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 30);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::vector<MeasureRecord> persons = read_measure_file(dir.file("p.txt"));
    ASSERT_EQ(persons.size(), 4u);
    EXPECT_EQ(persons[3].label, "last");
    EXPECT_EQ(persons[3].score, 1);
}

TEST(LineEndRuns, DataWithoutAnyLineEndStopsQuicklyUnderLittleMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#endif
    ScratchDir dir, temp;
    write_file(dir.file("ctl.txt"), "NI=3\nITEM1=1\nNAME1=5\nCODES=01\nDATA=/dev/zero\n&END\nA\nB\nC\nEND LABELS\n");
    ProgramJob job;
    job.folder = dir.path;
    job.temp_dir = temp.path;
    job.args = {"ctl.txt", "out.txt", "BATCH=Y"};
    job.timeout_seconds = 10;
    job.address_space_limit = std::int64_t{1} << 30;
    const JobResult r = run_jobs({job}, 1)[0];
    EXPECT_EQ(r.exit_status, 1) << tail(r.screen);
    EXPECT_NE(r.screen.find(" LINE TOO LONG: line 1 of /dev/zero runs on for more than 1 MB without a line end"),
              std::string::npos)
        << tail(r.screen);
}

TEST(LineEndRuns, MessagesSayWhatIsWrong) {
    ScratchDir dir, temp;
    // A folder given as the control file.
    std::filesystem::create_directories(dir.path + "folder");
    ProgramResult r = run_korvelan(dir.path, {"folder", "out.txt", "BATCH=Y"}, temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("PROBLEM: This is a folder, not a file (5): for file: folder in mode I"),
              std::string::npos)
        << r.screen;

    // A folder given as the report, and a relative report name in a folder that does not exist:
    // both named by the path the run resolved, relative to the control file's folder.
    write_file(dir.file("ctl.txt"), "NI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nA\nB\nC\nEND LABELS\n011 a\n100 b\n110 c\n");
    std::filesystem::create_directories(dir.path + "report");
    r = run_korvelan(dir.path, {"ctl.txt", "report", "BATCH=Y"}, temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("PROBLEM: This is a folder, not a file (5): for file: " + dir.path + "report in mode O"),
              std::string::npos)
        << r.screen;
    r = run_korvelan(dir.path, {"ctl.txt", "nowhere/out.txt", "BATCH=Y"}, temp.path, 30);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("for file: " + dir.path + "nowhere/out.txt in mode O"), std::string::npos) << r.screen;

    // Label column selections beyond every label, and an escape sequence in the first record.
    write_file(dir.file("ctl.txt"), "NI=3\nITEM1=1\nNAME1=5\nCODES=01\nIAFILE=$S8W2\nPWEIGHT=$S20W2\n&END\n"
                                    "A\nB\nC\nEND LABELS\n011\x1b[2J a\n100 b\n110 c\n");
    r = run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 30);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find(" WARNING: IAFILE=$S8W2 FINDS NO VALUE IN ANY LABEL. NOTHING IS ANCHORED OR WEIGHTED BY IT."),
              std::string::npos)
        << r.screen;
    EXPECT_NE(r.screen.find(" WARNING: PWEIGHT=$S20W2 FINDS NO VALUE IN ANY LABEL. NOTHING IS ANCHORED OR WEIGHTED BY IT."),
              std::string::npos);
    EXPECT_EQ(r.screen.find('\x1b'), std::string::npos);
    EXPECT_NE(r.screen.find("\n011 [2J a\n"), std::string::npos) << r.screen;
}
