// A negative USCALE= turns the reported scale round and nothing else, in the output files as in
// the Tables: every number of a file under USCALE=-1 is that of USCALE=1 or its negative (UMEAN=50
// USCALE=-10: the reflection about 50 of the USCALE=10 number), the transformed data files are
// the same byte for byte, GRFILE= lists the same curves from the other end, and the graphs work
// file turns the range of the category points round.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/driver/output_dispatch.h"
#include "engine/driver/run_analysis.h"
#include "engine/outfiles/graphs_file.h"
#include "engine/outfiles/output_wiring.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/request_frame.h"
#include "tests/shell/coding_shift.h"
#include "tests/support/analysis_run.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

using Lines = std::vector<std::string>;

// A multiple-choice test of 60 persons on 8 items keyed ABCDABCD: each person answers right with
// the Rasch probability of a spread of abilities and difficulties (a fixed generator), wrong
// answers take one of the other letters.
std::string choice_test(const std::string& scale) {
    const char* key = "ABCDABCD";
    std::string c = "TITLE=Choices\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=4\nCODES=ABCD\nKEY1=" + std::string(key) +
                    "\n" + scale + "&END\n";
    for (int i = 1; i <= 8; ++i) c += "Q" + std::to_string(i) + "\n";
    c += "END LABELS\n";
    std::uint32_t state = 7;
    const auto draw = [&] {
        state = state * 69069u + 1u;
        return static_cast<double>(state >> 8) / 16777216.0;
    };
    for (int p = 0; p < 60; ++p) {
        const double ability = -2.5 + 5.0 * p / 59.0;
        std::string row;
        for (int i = 0; i < 8; ++i) {
            const double difficulty = -2.0 + 4.0 * i / 7.0;
            const bool right = draw() < 1.0 / (1.0 + std::exp(difficulty - ability));
            row += right ? key[i] : static_cast<char>('A' + (key[i] - 'A' + 1 + static_cast<int>(draw() * 3)) % 4);
        }
        c += row + " P" + std::to_string(100 + p) + "\n";
    }
    return c;
}

// Two groups of a rating scale 0-3, missing responses and an extreme person.
std::string rating_test(const std::string& scale) {
    return "TITLE=Rating\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=4\nCODES=0123\nGROUPS=AAABBB\n" + scale +
           "&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
           "321121 R01\n231212 R02\n210121 R03\n322311 R04\n31 201 R05\n333223 R06\n"
           "333333 R07\n120111 R08\n223132 R09\n3 2112 R10\n332332 R11\n102001 R12\n"
           "221201 R13\n2111 1 R14\n322222 R15\n1 1011 R16\n";
}

const std::vector<std::string> kFiles{"p.txt",  "i.txt", "s.txt",  "is.txt", "x.txt",  "r.txt", "sc.txt",
                                      "d.txt",  "gu.txt", "si.txt", "ic.txt", "pc.txt", "gr.txt", "un.txt"};

struct FileRun : AnalysisRun {
    explicit FileRun(const std::string& control) {
        write_file(dir.file("ctl.txt"), control);
        run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y", "TABLES=0"};
        const char* keys[] = {"PFILE", "IFILE", "SFILE", "ISFILE", "XFILE", "RFILE", "SCFILE", "DISFILE",
                              "GUFILE", "SIFILE", "ICORFILE", "PCORFILE", "GRFILE"};
        for (std::size_t k = 0; k < std::size(keys); ++k)
            run.args.push_back(std::string(keys[k]) + "=" + dir.file(kFiles[k]));
        exit_status = run_analysis(run);
        // The unfolded file, which only the menu asks for: its lines go to the host.
        host.line_file.clear();
        host.file_answers.push_back(dir.file("un.txt"));
        request_output_file_after_run(run, 'U');
        std::string text;
        for (const std::string& l : host.line_file) text += l + "\r\n";
        if (!host.line_file.empty()) write_file(dir.file("un.txt"), text);
    }
    Lines lines(const std::string& name) const { return comparable_lines(read_file(dir.file(name)), dir.path); }
};

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> t;
    std::string cur;
    for (char c : line + " ") {
        if (c == ' ' || c == ',' || c == '"') {
            if (!cur.empty()) t.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    return t;
}

bool number(const std::string& s, double& v, double& unit) {
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || s.find_first_of("0123456789") == std::string::npos) return false;
    const std::size_t point = s.find('.');
    unit = point == std::string::npos ? 1.0 : std::pow(10.0, -static_cast<double>(s.size() - point - 1));
    return true;
}

// Line for line, token for token: the same text, or numbers reflected about 0 (a difference,
// a measure relative to its item) or about the centre (a measure); exactly under USCALE=-1,
// within the last printed digit about another centre. The sample norms of SCFILE= (500/100)
// are reflected about 500; the status of an extreme entry tells the end of the reported scale
// it stands at, 0 the top and -1 the bottom, so the two swap.
void expect_lines_mirrored(const std::string& name, const Lines& plus, const Lines& minus, double centre) {
    const bool measure_file = name == "p.txt" || name == "i.txt";
    ASSERT_EQ(plus.size(), minus.size()) << name;
    for (std::size_t n = 0; n < plus.size(); ++n) {
        const auto a = tokens(plus[n]), b = tokens(minus[n]);
        ASSERT_EQ(a.size(), b.size()) << name << "\n" << plus[n] << "\n" << minus[n];
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k] == b[k]) continue;
            if (measure_file && k == (a[0] == ";" ? 3u : 2u) && a[k] + b[k] == (a[k] == "0" ? "0-1" : "-10")) continue;
            if (name == "sc.txt" && k == 4 && std::atoi(a[k].c_str()) + std::atoi(b[k].c_str()) == 1000) continue;
            double x = 0, y = 0, ux = 0, uy = 0;
            const bool numbers = number(a[k], x, ux) && number(b[k], y, uy);
            const double slack = centre == 0.0 ? 0.0 : std::max(ux, uy) * 1.01;
            EXPECT_TRUE(numbers && (std::fabs(x + y) <= slack || std::fabs(x + y - 2.0 * centre) <= slack))
                << name << " token " << k << "\n" << plus[n] << "\n" << minus[n];
        }
    }
}

// GRFILE=: the heading as it is, then per group the 101 points from the other end.
void expect_curves_reversed(const Lines& plus, const Lines& minus) {
    ASSERT_EQ(plus.size(), minus.size());
    Lines a, b;
    std::size_t n = 0;
    while (n < plus.size() && plus[n].find(';') != std::string::npos) ++n;
    ASSERT_GT(plus.size(), n + 100);
    a.assign(plus.begin(), plus.begin() + static_cast<std::ptrdiff_t>(n));
    b.assign(minus.begin(), minus.begin() + static_cast<std::ptrdiff_t>(n));
    for (; n + 101 <= plus.size(); n += 101) {
        a.insert(a.end(), plus.begin() + static_cast<std::ptrdiff_t>(n), plus.begin() + static_cast<std::ptrdiff_t>(n + 101));
        b.insert(b.end(), minus.rbegin() + static_cast<std::ptrdiff_t>(minus.size() - n - 101),
                 minus.rbegin() + static_cast<std::ptrdiff_t>(minus.size() - n));
    }
    ASSERT_EQ(n, plus.size());
    expect_lines_mirrored("gr.txt", a, b, 0.0);
}

void expect_files_mirrored(const FileRun& plus, const FileRun& minus, double centre) {
    for (const std::string& name : kFiles) {
        SCOPED_TRACE(name);
        ASSERT_EQ(file_exists(plus.dir.file(name)), file_exists(minus.dir.file(name)));
        if (!file_exists(plus.dir.file(name))) continue;
        const Lines a = plus.lines(name), b = minus.lines(name);
        if (name == "gr.txt") {
            expect_curves_reversed(a, b);
        } else if (name == "gu.txt" || name == "un.txt" || name == "r.txt" || name == "si.txt") {
            EXPECT_EQ(a, b);
        } else {
            expect_lines_mirrored(name, a, b, centre);
        }
    }
}

const std::vector<std::pair<std::string, std::string>> kScales{{"USCALE=1\n", "USCALE=-1\n"},
                                                               {"UMEAN=50\nUSCALE=10\n", "UMEAN=50\nUSCALE=-10\n"}};

// Guttman inversions: over every person, the pairs of items where the harder one in logits
// (measure order of the USCALE=1 file) is passed and the easier one failed.
int inversions(const Lines& data, const std::vector<int>& hardest_first) {
    int count = 0;
    for (const std::string& l : data)
        for (std::size_t h = 0; h < hardest_first.size(); ++h)
            for (std::size_t e = h + 1; e < hardest_first.size(); ++e)
                count += l[static_cast<std::size_t>(hardest_first[h])] == '1' &&
                         l[static_cast<std::size_t>(hardest_first[e])] == '0';
    return count;
}

}  // namespace

TEST(OutputFileMirror, EveryFileOfAChoiceTestUnderANegativeScale) {
    for (const auto& [positive, negative] : kScales) {
        SCOPED_TRACE(negative);
        FileRun plus(choice_test(positive)), minus(choice_test(negative));
        ASSERT_EQ(plus.exit_status, 0) << plus.host.screen();
        ASSERT_EQ(minus.exit_status, 0) << minus.host.screen();
        ASSERT_TRUE(file_exists(plus.dir.file("gu.txt")));
        ASSERT_TRUE(file_exists(plus.dir.file("un.txt")));
        expect_files_mirrored(plus, minus, positive.find("50") == std::string::npos ? 0.0 : 50.0);

        // The Guttmanized file has fewer inversions than the scored data, the same under both signs.
        std::vector<std::pair<double, int>> items;
        for (const std::string& l : plus.lines("i.txt"))
            if (!l.empty() && l[0] != ';') items.push_back({std::strtod(tokens(l)[1].c_str(), nullptr), std::atoi(tokens(l)[0].c_str()) - 1});
        ASSERT_EQ(items.size(), 8u);
        std::stable_sort(items.begin(), items.end(), [](auto x, auto y) { return x.first > y.first; });
        std::vector<int> order;
        for (const auto& [m, i] : items) order.push_back(i);
        Lines scored_lines;
        const std::string control = choice_test(positive);
        for (std::size_t at = control.find("END LABELS\n") + 11; at < control.size(); at = control.find('\n', at) + 1) {
            std::string l = control.substr(at, 8);
            for (std::size_t i = 0; i < 8; ++i) l[i] = l[i] == "ABCDABCD"[i] ? '1' : '0';
            scored_lines.push_back(l);
        }
        ASSERT_EQ(scored_lines.size(), 60u);
        const int scored = inversions(scored_lines, order);
        std::printf("inversions: scored %d, USCALE>0 %d, USCALE<0 %d\n", scored,
                    inversions(plus.lines("gu.txt"), order), inversions(minus.lines("gu.txt"), order));
        EXPECT_LT(inversions(plus.lines("gu.txt"), order), scored / 2);
        EXPECT_EQ(inversions(minus.lines("gu.txt"), order), inversions(plus.lines("gu.txt"), order));
    }
}

TEST(OutputFileMirror, EveryFileOfARatingScaleUnderANegativeScale) {
    for (const auto& [positive, negative] : kScales) {
        SCOPED_TRACE(negative);
        FileRun plus(rating_test(positive)), minus(rating_test(negative));
        ASSERT_EQ(plus.exit_status, 0) << plus.host.screen();
        ASSERT_EQ(minus.exit_status, 0) << minus.host.screen();
        ASSERT_TRUE(file_exists(plus.dir.file("is.txt")));
        ASSERT_TRUE(file_exists(plus.dir.file("gr.txt")));
        expect_files_mirrored(plus, minus, positive.find("50") == std::string::npos ? 0.0 : 50.0);
    }
}

// The graphs work file of a scale anchored off centre: everything as under USCALE=1 but the
// scale itself and the range of the category points, which is turned round (lines 4 and 5).
TEST(OutputFileMirror, GraphsWorkFileRangeUnderANegativeScale) {
    std::vector<Lines> files;
    for (const char* scale : {"USCALE=1\n", "USCALE=-1\n"}) {
        std::string control = rating_test(std::string(scale) + "SAFILE=*\n1 1.5\n2 2.5\n3 3.5\n*\n");
        control.erase(control.find("GROUPS=AAABBB\n"), 14);
        FileRun r(control);
        ASSERT_EQ(r.exit_status, 0) << r.host.screen();
        ASSERT_TRUE(open_run_work_files(r.run, true));
        RunEntryRecords records(r.run);
        ASSERT_TRUE(write_graphs_work_file(r.run, output_settings_from_controls(r.run), r.run.arrays, records));
        files.push_back(crlf_lines(read_file(graphs_work_file_path(r.run))));
    }
    const Lines& plus = files[0];
    const Lines& minus = files[1];
    ASSERT_EQ(plus.size(), minus.size());
    const double low = std::stod(plus[3]), high = std::stod(plus[4]);
    EXPECT_GT(high + low, 1.0) << "the steps lie off centre";
    EXPECT_DOUBLE_EQ(std::stod(minus[3]), -high);
    EXPECT_DOUBLE_EQ(std::stod(minus[4]), -low);
    for (std::size_t n = 5; n < plus.size(); ++n) EXPECT_EQ(plus[n], minus[n]) << n;
    EXPECT_EQ(trim(minus[1]), "-1.0000");
}
