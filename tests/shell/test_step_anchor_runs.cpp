// Step anchor files as a user meets them: the step file of a run anchors the same data back to
// the same measures, and an anchor on a category that no response of its group uses is named
// and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/shell/program_pool.h"
#include "tests/support/chain_data.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// Rating-scale items 0-4 in groups (item difficulties of each, model letters one per group);
// the responses of the items `unused` names (0: every item) never take the values listed: each
// goes to the nearest value in use, the higher one on a tie.
std::string simulated_data(const std::vector<std::vector<double>>& groups,
                           const std::string& models, int persons,
                           const std::map<int, std::vector<int>>& unused,
                           const std::string& settings) {
    std::vector<SimulatedGroup> g;
    for (std::size_t n = 0; n < groups.size(); ++n)
        g.push_back({models[n], {0, -1.5, -.5, .5, 1.5}, groups[n]});
    std::vector<std::vector<int>> rows = simulate_responses(g, persons, 63);
    for (std::vector<int>& row : rows)
        for (const auto& [item, values] : unused)
            for (int i = 1; i <= static_cast<int>(row.size()); ++i) {
                const auto in_use = [&](int x) {
                    return x >= 0 && x <= 4 && std::count(values.begin(), values.end(), x) == 0;
                };
                int& c = row[static_cast<std::size_t>(i) - 1];
                for (int d = 1; (item == 0 || item == i) && !in_use(c); ++d)
                    c = in_use(c + d) ? c + d : in_use(c - d) ? c - d : c;
            }
    std::string control =
        simulated_control(g, rows, "LCONV=.00001\nRCONV=.0001\nUDECIM=4\nTABLES=0\n" + settings);
    return control.replace(control.find("CODES=0123456789"), 16, "CODES=01234");
}

// The person measures of a PFILE= in any layout (CSV= N, Y or T), by entry number.
std::map<int, double> person_measures(const std::string& path, char layout = 'N') {
    std::map<int, double> out;
    for (const MeasureRecord& m :
         layout == 'N' ? read_measure_file(path) : std::vector<MeasureRecord>{})
        out[m.entry] = m.measure;
    for (const std::string& line :
         layout == 'N' ? std::vector<std::string>{} : crlf_lines(read_file(path))) {
        const std::vector<std::string> f = split_fields(line, layout == 'Y' ? ',' : '\t');
        if (f.size() > 3 && std::isdigit(static_cast<unsigned char>(f[1].c_str()[0])))
            out[std::stoi(f[1])] = std::stod(f[2]);
    }
    return out;
}

ProgramJob job(const ScratchDir& dir, const ScratchDir& temp,
               const std::vector<std::string>& args) {
    ProgramJob j;
    j.folder = dir.path, j.temp_dir = temp.path;
    j.args = {"ctl.txt", "out.txt", "BATCH=Y"};
    j.args.insert(j.args.end(), args.begin(), args.end());
    return j;
}

}  // namespace

// Estimate, write SFILE= and IFILE=, anchor the same data with them: every person measure comes
// back within .01 logit, whatever the layout, the grouping, the model and the categories the
// responses leave unused (in the middle, two side by side, at both ends).
TEST(StepAnchorRuns, StepAndItemFilesAnchorTheSameDataBackToTheSameMeasures) {
    const std::vector<double> eight{-1, -.7, -.4, -.1, .1, .4, .7, 1};
    std::vector<std::vector<double>> credit;  // one group per item
    for (double d : eight) credit.push_back({d});
    const std::vector<std::vector<double>> scale{eight}, two{{-1, -.5, 0, .5}, {-.5, 0, .5, 1}};
    const std::string weights =
        "PWEIGHT=*\n1-150 1.5\n151-300 .5\n301-400 2.25\n*\nIWEIGHT=*\n1-3 .75\n4-8 1.3\n*\n";
    struct Trip {
        const char* name;
        const std::vector<std::vector<double>>& groups;
        const char* models;
        std::map<int, std::vector<int>> unused;
        char layout;           // CSV=
        std::string settings;  // STKEEP=, weights
    };
    const std::vector<Trip> trips = {
        {"scale, middle unused", scale, "R", {{0, {2}}}, 'N', ""},
        {"scale, two unused", scale, "R", {{0, {2, 3}}}, 'Y', ""},
        {"scale, both ends unused", scale, "R", {{0, {0, 4}}}, 'T', ""},
        {"credit, middle unused", credit, "RRRRRRRR", {{1, {2}}}, 'N', ""},
        {"credit, two unused", credit, "RRRRRRRR", {{1, {2, 3}}}, 'T', ""},
        {"credit, both ends unused", credit, "RRRRRRRR", {{1, {0, 4}}}, 'Y', weights},
        {"credit, middle dropped", credit, "RRRRRRRR", {{1, {2}}}, 'N', "STKEEP=N\n"},
        {"groups, middle unused",
         two,
         "RR",
         {{1, {2}}, {2, {2}}, {3, {2}}, {4, {2}}},
         'N',
         weights},
        {"groups, two unused",
         two,
         "RR",
         {{5, {1, 2}}, {6, {1, 2}}, {7, {1, 2}}, {8, {1, 2}}},
         'Y',
         weights},
        {"success chain, middle unused", scale, "S", {{0, {2}}}, 'N', ""},
        {"success chain credit, two unused", credit, "SSSSSSSS", {{1, {2, 3}}}, 'Y', ""},
        {"failure chain, middle unused", scale, "F", {{0, {2}}}, 'T', ""},
        {"failure chain credit, middle unused", credit, "FFFFFFFF", {{1, {2}}}, 'N', weights},
        {"mixed models, two unused", credit, "RRRRFFFF", {{1, {2, 3}}, {5, {2, 3}}}, 'T', weights},
    };
    std::vector<ScratchDir> dirs(trips.size()), temps(trips.size());
    std::vector<ProgramJob> first, second;
    for (std::size_t n = 0; n < trips.size(); ++n) {
        const Trip& t = trips[n];
        const std::string csv = std::string("CSV=") + t.layout + "\n";
        write_file(dirs[n].file("ctl.txt"),
                   simulated_data(t.groups, t.models, 400, t.unused, csv + t.settings));
        first.push_back(job(dirs[n], temps[n], {"PFILE=p1.txt", "IFILE=i1.txt", "SFILE=s1.txt"}));
        second.push_back(
            job(dirs[n], temps[n], {"PFILE=p2.txt", "IAFILE=i1.txt", "SAFILE=s1.txt"}));
    }
    const std::vector<JobResult> free = run_jobs(first, 4), anchored = run_jobs(second, 4);
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
            sum += shift, largest = std::max(largest, shift), moved += shift > 0.01;
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
    const std::vector<std::vector<double>> groups{
        {-1, -.5}, {-.2, 0, .2}, {-.5, .5}, {.2, .6}, {1}};
    const std::map<int, std::vector<int>> unused{
        {3, {0, 2}}, {4, {0, 2}}, {5, {0, 2}}, {6, {4}}, {7, {4}}};
    for (const int bottom : {0, 1}) {
        for (const std::string stkeep : {"Y", "N"}) {
            SCOPED_TRACE("coded from " + std::to_string(bottom) + ", STKEEP=" + stkeep);
            ScratchDir dir, temp;
            std::string data =
                simulated_data(groups, "RRRRR", 90, unused, "STKEEP=" + stkeep + "\n");
            for (std::size_t at = data.find("END LABELS\n") + 11; bottom && at < data.size();
                 at = data.find('\n', at) + 1)
                for (std::size_t k = at; k < at + 10; ++k) ++data[k];
            if (bottom) data.replace(data.find("CODES=01234"), 11, "CODES=12345");
            write_file(dir.file("ctl.txt"), data);
            const std::string v[3] = {std::to_string(bottom), std::to_string(bottom + 2),
                                      std::to_string(bottom + 4)};
            write_file(dir.file("sa.txt"), "; below, inside, above\n3 " + v[0] + " .2\n4-5 " +
                                               v[1] + " .3\n6 " + v[2] + " 1.5\n");
            const JobResult plain =
                run_jobs({job(dir, temp, {"PFILE=p1.txt", "IFILE=i1.txt", "SFILE=s1.txt"})}, 1)[0];
            const JobResult anchored = run_jobs(
                {job(dir, temp, {"PFILE=p2.txt", "IFILE=i2.txt", "SFILE=s2.txt", "SAFILE=sa.txt"})},
                1)[0];
            ASSERT_EQ(plain.exit_status, 0) << plain.screen;
            ASSERT_EQ(anchored.exit_status, 0) << anchored.screen;
            for (const std::string& named :
                 {v[0] + " OF ITEM 3", v[1] + " OF ITEM 3", v[2] + " OF ITEM 6"})
                EXPECT_NE(anchored.screen.find(" WARNING: STEP ANCHOR FOR CATEGORY " + named +
                                               ": NO RESPONSE OF ITS GROUP USES IT"),
                          std::string::npos)
                    << anchored.screen;
            ASSERT_EQ(person_measures(dir.file("p1.txt")).size(), 90u);
            EXPECT_EQ(measure_file_body(dir.file("p2.txt")), measure_file_body(dir.file("p1.txt")));
            EXPECT_EQ(measure_file_body(dir.file("i2.txt")), measure_file_body(dir.file("i1.txt")));
            // The step files after their first line (title and date).
            const std::vector<std::string> s1 = crlf_lines(read_file(dir.file("s1.txt"))),
                                           s2 = crlf_lines(read_file(dir.file("s2.txt")));
            ASSERT_GT(s1.size(), 3u);
            EXPECT_EQ(std::vector<std::string>(s2.begin() + 1, s2.end()),
                      std::vector<std::string>(s1.begin() + 1, s1.end()));
        }
    }
}
