// Step anchor files as a user meets them: the step file of a run anchors the same data back to
// the same measures, and an anchor on a category that no response of its group uses is named
// and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/shell/program_pool.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// Responses of a rating scale 0-4 (steps -1.5 to 1.5) from a fixed generator, so that every
// run of the test reads the same data. The responses of the items listed never take the
// unused values: each goes to the nearest value in use (the higher one on a tie).
struct Responses {
    int persons = 0, items = 0;
    std::vector<int> avoiding_items;  // empty: every item
    std::vector<int> unused;
    int bottom = 0;        // the value category 0 is coded as
    bool weights = false;  // a decimal person weight after the label

    std::string records() const {
        std::uint32_t state = 20261211u;
        auto uniform = [&] {
            state = state * 69069u + 1u;
            return ((state >> 8) + 0.5) / 16777216.0;
        };
        std::string out;
        for (int p = 1; p <= persons; ++p) {
            const double b =
                1.2 * std::sqrt(-2.0 * std::log(uniform())) * std::cos(6.283185307 * uniform());
            std::string row;
            for (int i = 1; i <= items; ++i) {
                const double d = -1.0 + 2.0 * (i - 1) / (items - 1);
                double logit = 0.0, weights_sum = 1.0;
                double w[5] = {1.0, 0, 0, 0, 0};
                for (int k = 1; k <= 4; ++k) {
                    logit += b - d - (-2.5 + k);
                    w[k] = std::exp(logit);
                    weights_sum += w[k];
                }
                double u = uniform() * weights_sum;
                int c = 0;
                while (c < 4 && (u -= w[c]) > 0.0) ++c;
                const bool avoids = avoiding_items.empty() ||
                                    std::count(avoiding_items.begin(), avoiding_items.end(), i) > 0;
                if (avoids && std::count(unused.begin(), unused.end(), c) > 0)
                    c = nearest_in_use(c);
                row += static_cast<char>('0' + bottom + c);
            }
            char label[32];
            std::snprintf(label, sizeof label, " P%04d", p);
            row += label;
            if (weights) row += p % 3 == 0 ? " 0.5" : p % 3 == 1 ? " 1.5" : " 2.25";
            out += row + "\n";
        }
        return out;
    }
    int nearest_in_use(int c) const {
        for (int d = 1; d <= 4; ++d)
            for (int k : {c + d, c - d})
                if (k >= 0 && k <= 4 && std::count(unused.begin(), unused.end(), k) == 0) return k;
        return c;
    }
};

std::string control_file(const Responses& r, const std::string& instructions) {
    std::string codes;
    for (int k = 0; k <= 4; ++k) codes += static_cast<char>('0' + r.bottom + k);
    std::string c = "TITLE=Step anchors\nNI=" + std::to_string(r.items) +
                    "\nITEM1=1\nNAME1=" + std::to_string(r.items + 2) +
                    "\nNAMLEN=5\nCODES=" + codes +
                    "\nLCONV=.00001\nRCONV=.0001\nUDECIM=4\nTABLES=0\n" + instructions;
    if (r.weights) {
        c += "PWEIGHT=$S" + std::to_string(r.items + 8) + "W4\nIWEIGHT=*\n";
        for (int i = 1; i <= r.items; ++i) c += std::to_string(i) + (i % 2 ? " 0.75\n" : " 1.3\n");
        c += "*\n";
    }
    c += "&END\n";
    for (int i = 1; i <= r.items; ++i) c += "Q" + std::to_string(i) + "\n";
    return c + "END LABELS\n" + r.records();
}

// The person measures of a PFILE= in any layout, by entry number.
std::map<int, double> person_measures(const std::string& path, char layout) {
    std::map<int, double> out;
    if (layout == 'N') {
        for (const MeasureRecord& m : read_measure_file(path)) out[m.entry] = m.measure;
        return out;
    }
    for (const std::string& line : crlf_lines(read_file(path))) {
        const std::vector<std::string> f = split_fields(line, layout == 'Y' ? ',' : '\t');
        if (f.size() > 3 && !f[1].empty() && std::isdigit(static_cast<unsigned char>(f[1][0])))
            out[std::stoi(f[1])] = std::stod(f[2]);
    }
    return out;
}

struct RoundTrip {
    const char* name;
    const char* groups;  // GROUPS=; empty: one rating scale
    const char* models;
    char stkeep;
    std::vector<int> items;  // the items whose responses leave values unused (empty: all)
    std::vector<int> unused;
    bool weights;
    char layout;  // CSV=
};

// The first line in which two files differ, as "line: ... / ...", or "" when they agree.
std::string first_difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (std::size_t n = 0; n < std::max(a.size(), b.size()); ++n) {
        const std::string x = n < a.size() ? a[n] : "(none)", y = n < b.size() ? b[n] : "(none)";
        if (x != y) return x + " / " + y;
    }
    return "";
}

ProgramJob job(const ScratchDir& dir, const ScratchDir& temp, std::vector<std::string> args) {
    ProgramJob j;
    j.folder = dir.path;
    j.temp_dir = temp.path;
    j.args = {"ctl.txt", "out.txt", "BATCH=Y"};
    j.args.insert(j.args.end(), args.begin(), args.end());
    j.timeout_seconds = 120;
    return j;
}

}  // namespace

// Estimate, write SFILE= and IFILE=, anchor the same data with them: every person measure comes
// back within .01 logit, whatever the layout, the grouping, the model and the categories the
// responses leave unused (in the middle, two side by side, at both ends).
TEST(StepAnchorRuns, StepAndItemFilesAnchorTheSameDataBackToTheSameMeasures) {
    const std::vector<RoundTrip> trips = {
        {"scale, middle unused", "", "R", 'Y', {}, {2}, false, 'N'},
        {"scale, two unused", "", "R", 'Y', {}, {2, 3}, false, 'Y'},
        {"scale, both ends unused", "", "R", 'Y', {}, {0, 4}, false, 'T'},
        {"credit, middle unused", "0", "R", 'Y', {1}, {2}, false, 'N'},
        {"credit, two unused", "0", "R", 'Y', {1}, {2, 3}, false, 'T'},
        {"credit, both ends unused", "0", "R", 'Y', {1}, {0, 4}, true, 'Y'},
        {"credit, middle dropped", "0", "R", 'N', {1}, {2}, false, 'N'},
        {"groups, middle unused", "AAAABBBB", "R", 'Y', {1, 2, 3, 4}, {2}, true, 'N'},
        {"groups, two unused", "AAAABBBB", "R", 'Y', {5, 6, 7, 8}, {1, 2}, true, 'Y'},
        {"success chain, middle unused", "", "S", 'Y', {}, {2}, false, 'N'},
        {"success chain, two unused", "0", "S", 'Y', {1}, {2, 3}, false, 'Y'},
        {"failure chain, middle unused", "", "F", 'Y', {}, {2}, false, 'T'},
        {"failure chain credit, middle unused", "0", "F", 'Y', {1}, {2}, true, 'N'},
        {"mixed models, two unused", "0", "RRRRFFFF", 'Y', {1, 5}, {2, 3}, true, 'T'},
    };
    std::vector<ScratchDir> dirs(trips.size()), temps(trips.size());
    std::vector<ProgramJob> first, second;
    for (std::size_t n = 0; n < trips.size(); ++n) {
        const RoundTrip& t = trips[n];
        Responses r{400, 8, t.items, t.unused, 0, t.weights};
        std::string instructions =
            std::string("MODELS=") + t.models + "\nSTKEEP=" + t.stkeep + "\n";
        if (*t.groups) instructions += std::string("GROUPS=") + t.groups + "\n";
        write_file(dirs[n].file("ctl.txt"), control_file(r, instructions));
        const std::string csv = std::string("CSV=") + t.layout;
        first.push_back(
            job(dirs[n], temps[n], {csv, "PFILE=p1.txt", "IFILE=i1.txt", "SFILE=s1.txt"}));
        second.push_back(
            job(dirs[n], temps[n], {csv, "PFILE=p2.txt", "IAFILE=i1.txt", "SAFILE=s1.txt"}));
    }
    const std::vector<JobResult> free = run_jobs(first, 4);
    const std::vector<JobResult> anchored = run_jobs(second, 4);
    for (std::size_t n = 0; n < trips.size(); ++n) {
        SCOPED_TRACE(trips[n].name);
        ASSERT_EQ(free[n].exit_status, 0) << free[n].screen;
        ASSERT_EQ(anchored[n].exit_status, 0) << anchored[n].screen;
        ASSERT_EQ(free[n].screen.find("ITERATION LIMIT"), std::string::npos);
        const std::map<int, double> before =
            person_measures(dirs[n].file("p1.txt"), trips[n].layout);
        const std::map<int, double> after =
            person_measures(dirs[n].file("p2.txt"), trips[n].layout);
        ASSERT_EQ(before.size(), 400u);
        ASSERT_EQ(after.size(), 400u);
        double sum = 0.0, largest = 0.0;
        int moved = 0;
        for (const auto& [entry, measure] : before) {
            const double shift = std::fabs(after.at(entry) - measure);
            sum += shift;
            largest = std::max(largest, shift);
            moved += shift > 0.01;
        }
        std::printf("%-36s persons moved by more than .01: %3d; shift mean %.4f, largest %.4f\n",
                    trips[n].name, moved, sum / 400.0, largest);
        EXPECT_EQ(moved, 0);
    }
}

// Ten items in five groups; group B (items 3-5) never uses the values 0 and 2 of 0-4, group C
// (items 6 and 7) never uses 4. Anchors on those values, below, inside and above the values in
// use, are named and leave every measure, fit value and step as the run without them has it.
TEST(StepAnchorRuns, AnchorsOnCategoriesNoResponseUsesAreNamedAndChangeNothing) {
    for (const int bottom : {0, 1}) {
        for (const char stkeep : {'Y', 'N'}) {
            SCOPED_TRACE("coded from " + std::to_string(bottom) + ", STKEEP=" + stkeep);
            ScratchDir dir, temp;
            Responses r{90, 10, {3, 4, 5}, {0, 2}, bottom, false};
            std::string data =
                control_file(r, std::string("GROUPS=AABBBCCDDE\nSTKEEP=") + stkeep + "\n");
            // Group C: the responses of items 6 and 7 at the top value move one value down.
            const std::size_t records = data.find("END LABELS\n") + 11;
            for (std::size_t at = records; at < data.size(); at = data.find('\n', at) + 1)
                for (std::size_t i : {5u, 6u})
                    if (data[at + i] == '0' + bottom + 4) --data[at + i];
            write_file(dir.file("ctl.txt"), data);
            const std::string v = std::to_string(bottom);
            write_file(dir.file("sa.txt"), "; below, inside and above the values in use\n3 " + v +
                                               " .2\n4-5 " + std::to_string(bottom + 2) +
                                               " .3\n6 " + std::to_string(bottom + 4) + " 1.5\n");
            const JobResult plain =
                run_jobs({job(dir, temp, {"PFILE=p1.txt", "IFILE=i1.txt", "SFILE=s1.txt"})}, 1)[0];
            const JobResult anchored = run_jobs(
                {job(dir, temp, {"PFILE=p2.txt", "IFILE=i2.txt", "SFILE=s2.txt", "SAFILE=sa.txt"})},
                1)[0];
            ASSERT_EQ(plain.exit_status, 0) << plain.screen;
            ASSERT_EQ(anchored.exit_status, 0) << anchored.screen;
            for (const std::string& named :
                 {"CATEGORY " + v + " OF ITEM 3",
                  "CATEGORY " + std::to_string(bottom + 2) + " OF ITEM 3",
                  "CATEGORY " + std::to_string(bottom + 4) + " OF ITEM 6"})
                EXPECT_NE(anchored.screen.find(" WARNING: STEP ANCHOR FOR " + named +
                                               ": NO RESPONSE OF ITS GROUP USES IT"),
                          std::string::npos)
                    << named << "\n"
                    << anchored.screen;
            const std::map<int, double> before = person_measures(dir.file("p1.txt"), 'N');
            const std::map<int, double> after = person_measures(dir.file("p2.txt"), 'N');
            ASSERT_EQ(before.size(), 90u);
            ASSERT_EQ(after.size(), 90u);
            double largest = 0.0;
            for (const auto& [entry, measure] : after)
                largest = std::max(largest, std::fabs(measure - before.at(entry)));
            std::printf("coded from %d, STKEEP=%c: largest person shift %.4f\n", bottom, stkeep,
                        largest);
            EXPECT_EQ(first_difference(measure_file_body(dir.file("p2.txt")),
                                       measure_file_body(dir.file("p1.txt"))),
                      "");
            EXPECT_EQ(first_difference(measure_file_body(dir.file("i2.txt")),
                                       measure_file_body(dir.file("i1.txt"))),
                      "");
            // The step files after their first line (the title and date).
            std::vector<std::string> s1 = crlf_lines(read_file(dir.file("s1.txt")));
            std::vector<std::string> s2 = crlf_lines(read_file(dir.file("s2.txt")));
            ASSERT_GT(s1.size(), 2u);
            ASSERT_GT(s2.size(), 2u);
            EXPECT_EQ(first_difference(std::vector<std::string>(s2.begin() + 1, s2.end()),
                                       std::vector<std::string>(s1.begin() + 1, s1.end())),
                      "");
        }
    }
}
