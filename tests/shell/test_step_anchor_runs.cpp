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
#include "tests/support/chain_data.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// Rating-scale items 0-4 in groups (item difficulties of each, model letters one per group);
// the responses of the items `unused` names (0: every item) never take the values listed: each
// goes to the nearest value in use, the higher one on a tie.
std::vector<std::vector<int>> simulated_rows(const std::vector<SimulatedGroup>& g, int persons,
                                             const std::map<int, std::vector<int>>& unused,
                                             std::uint64_t seed = 63) {
    std::vector<std::vector<int>> rows = simulate_responses(g, persons, seed);
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
    return rows;
}

std::vector<SimulatedGroup> simulated_groups(const std::vector<std::vector<double>>& groups,
                                             const std::string& models,
                                             const std::vector<int>& empty = {}) {
    std::vector<SimulatedGroup> g;
    for (std::size_t n = 0; n < groups.size(); ++n)
        g.push_back({models[n], {0, -1.5, -.5, .5, 1.5}, groups[n], empty});
    return g;
}

std::string simulated_file(const std::vector<SimulatedGroup>& g,
                           const std::vector<std::vector<int>>& rows, const std::string& settings) {
    std::string control =
        simulated_control(g, rows, "LCONV=.00001\nRCONV=.0001\nUDECIM=4\nTABLES=0\n" + settings);
    return control.replace(control.find("CODES=0123456789"), 16, "CODES=01234");
}

std::string simulated_data(const std::vector<std::vector<double>>& groups,
                           const std::string& models, int persons,
                           const std::map<int, std::vector<int>>& unused,
                           const std::string& settings) {
    const std::vector<SimulatedGroup> g = simulated_groups(groups, models);
    return simulated_file(g, simulated_rows(g, persons, unused), settings);
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

// The estimation counts the responses of persons and items that are not extreme, with a weight
// above 0. Group C (items 7-9) uses its top (or bottom) category only in the responses of a
// perfect (or zero) scorer, or of a person of weight 0: an anchor on that category is named and
// the run is the run without it, under every model.
TEST(StepAnchorRuns, AnchorsOnCategoriesOnlyUncountedResponsesUseChangeNothing) {
    const std::vector<std::vector<double>> groups{{-1, -.5, 0}, {-.5, 0, .5}, {0, .5, 1}};
    struct Case {
        const char* name;
        int category;              // the value only person 11 uses in group C
        std::vector<int> row;      // person 11
        const char* settings;
    };
    const std::vector<Case> cases = {
        {"perfect scorer", 4, std::vector<int>(9, 4), ""},
        {"zero scorer", 0, std::vector<int>(9, 0), ""},
        {"weight 0", 4, {2, 2, 2, 3, 1, 2, 4, 3, 2}, "PWEIGHT=*\n11 0\n*\n"},
    };
    std::vector<ScratchDir> dirs(9), temps(9);
    std::vector<ProgramJob> jobs;
    std::vector<std::string> names;
    for (const char model : {'R', 'S', 'F'})
        for (const Case& c : cases) {
            const std::size_t n = names.size();
            const std::vector<SimulatedGroup> g = simulated_groups(groups, std::string(3, model));
            std::vector<std::vector<int>> rows = simulated_rows(g, 240, {}, 11);
            for (std::vector<int>& row : rows)
                for (std::size_t i = 6; i < 9; ++i)
                    row[i] = c.category == 4 ? std::min(row[i], 3) : std::max(row[i], 1);
            rows[10] = c.row;
            write_file(dirs[n].file("ctl.txt"), simulated_file(g, rows, c.settings));
            write_file(dirs[n].file("sa.txt"), "7 " + std::to_string(c.category) + " 1.5\n");
            jobs.push_back(job(dirs[n], temps[n], {"PFILE=p1.txt", "IFILE=i1.txt"}));
            jobs.push_back(
                job(dirs[n], temps[n], {"PFILE=p2.txt", "IFILE=i2.txt", "SAFILE=sa.txt"}));
            names.push_back(std::string(1, model) + ", " + c.name);
        }
    const std::vector<JobResult> results = run_jobs(jobs, 4);
    for (std::size_t n = 0; n < names.size(); ++n) {
        SCOPED_TRACE(names[n]);
        const JobResult &plain = results[2 * n], &anchored = results[2 * n + 1];
        ASSERT_EQ(plain.exit_status, 0) << plain.screen;
        ASSERT_EQ(anchored.exit_status, 0) << anchored.screen;
        const std::string category = std::to_string(cases[n % cases.size()].category);
        EXPECT_NE(anchored.screen.find(" WARNING: STEP ANCHOR FOR CATEGORY " + category +
                                       " OF ITEM 7: NO RESPONSE OF ITS GROUP USES IT"),
                  std::string::npos)
            << anchored.screen;
        ASSERT_EQ(person_measures(dirs[n].file("p1.txt")).size(), 240u);
        for (const char* side : {"p", "i"})
            EXPECT_EQ(measure_file_body(dirs[n].file(side + std::string("2.txt"))),
                      measure_file_body(dirs[n].file(side + std::string("1.txt"))));
    }
}

// Chain data whose categories 1 and 3 no response uses, in two groups, anchored with the step
// file of another sample that uses every category: in the success chain a kept unused category
// has probability 0 only while the step above it is free, so the anchors on 1 and 3 (unused) and
// on 2 and 4 (above them) are named and left out; in the failure chain those on 1 and 3. The run
// converges near the run without anchors; the same data without anchors converge under one
// scale, two groups and one scale per item.
TEST(StepAnchorRuns, ChainsWithUnusedMiddleCategoriesConvergeAnchoredOrNot) {
    const std::vector<std::vector<double>> two{{-1, -.5, 0, .5}, {-.5, 0, .5, 1}};
    for (const char model : {'S', 'F'}) {
        SCOPED_TRACE(std::string("model ") + model);
        const std::vector<SimulatedGroup> g = simulated_groups(two, std::string(2, model));
        ScratchDir dir, temp;
        const std::string limit = "MUCON=400\n";
        write_file(dir.file("full.txt"), simulated_file(g, simulated_rows(g, 400, {}, 5), limit));
        const std::vector<std::vector<int>> gap = simulated_rows(g, 400, {{0, {1, 3}}}, 6);
        write_file(dir.file("ctl.txt"), simulated_file(g, gap, limit));
        write_file(dir.file("one.txt"), simulated_file(g, gap, limit + "GROUPS=AAAAAAAA\n"));
        write_file(dir.file("each.txt"), simulated_file(g, gap, limit + "GROUPS=0\n"));
        ProgramJob first = job(dir, temp, {"SFILE=s1.txt"});
        first.args[0] = "full.txt";
        const JobResult full = run_jobs({first}, 1)[0];
        ASSERT_EQ(full.exit_status, 0) << full.screen;
        std::vector<ProgramJob> jobs = {job(dir, temp, {"PFILE=p1.txt"}),
                                        job(dir, temp, {"PFILE=p2.txt", "SAFILE=s1.txt"})};
        for (const char* other : {"one.txt", "each.txt"}) {
            jobs.push_back(job(dir, temp, {}));
            jobs.back().args[0] = other;
        }
        const std::vector<JobResult> r = run_jobs(jobs, 4);
        for (const JobResult& run : r) {
            ASSERT_EQ(run.exit_status, 0) << run.screen;
            EXPECT_EQ(run.screen.find("ITERATION LIMIT"), std::string::npos) << run.screen;
        }
        for (const int item : {1, 5})
            for (int k = 1; k <= 4; ++k) {
                const bool below = k % 2 == 0;
                if (below && model == 'F') continue;
                const std::string named = " WARNING: STEP ANCHOR FOR CATEGORY " +
                                          std::to_string(k) + " OF ITEM " + std::to_string(item) +
                                          ": NO RESPONSE OF ITS GROUP USES " +
                                          (below ? "THE CATEGORY BELOW IT" : "IT");
                EXPECT_NE(r[1].screen.find(named), std::string::npos) << r[1].screen;
            }
        std::size_t named = 0;
        for (std::size_t at = r[1].screen.find("WARNING: STEP ANCHOR"); at != std::string::npos;
             at = r[1].screen.find("WARNING: STEP ANCHOR", at + 1))
            ++named;
        EXPECT_EQ(named, model == 'S' ? 8u : 4u);
        const std::map<int, double> free = person_measures(dir.file("p1.txt")),
                                    anchored = person_measures(dir.file("p2.txt"));
        ASSERT_EQ(free.size(), 400u);
        ASSERT_EQ(anchored.size(), 400u);
        for (const auto& [entry, measure] : free)
            EXPECT_NEAR(anchored.at(entry), measure, 2.0) << entry;
    }
}

// On data the model made, the infit and outfit mean-squares average 1: rating scale, success
// and failure chain, under one scale, two groups and one scale per item, with category 2
// empty (probability 0 in the model the data come from), three samples each. Each mean-square
// averages 1 less about 1/L (JMLE with L items per person) within sampling error: over the 24
// item values of a model the mean of 9600 observations' squared residuals, whose S.D. is about
// 1.5 (outfit), is within 4 S.E.
TEST(StepAnchorRuns, FitMeanSquaresAverageOneOnDataTheModelMade) {
    const std::vector<std::vector<double>> two{{-1, -.5, 0, .5}, {-.5, 0, .5, 1}};
    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"one scale", "GROUPS=AAAAAAAA\n"}, {"two groups", ""}, {"one per item", "GROUPS=0\n"}};
    for (const char model : {'R', 'S', 'F'}) {
        std::vector<ScratchDir> dirs(layouts.size() * 3), temps(dirs.size());
        std::vector<ProgramJob> jobs;
        for (std::size_t n = 0; n < dirs.size(); ++n) {
            const std::vector<SimulatedGroup> g = simulated_groups(two, std::string(2, model), {2});
            const std::vector<std::vector<int>> rows = simulated_rows(g, 400, {}, 100 + n);
            write_file(dirs[n].file("ctl.txt"), simulated_file(g, rows, layouts[n / 3].second));
            jobs.push_back(job(dirs[n], temps[n], {"IFILE=i.txt"}));
        }
        const std::vector<JobResult> r = run_jobs(jobs, 4);
        for (std::size_t layout = 0; layout < layouts.size(); ++layout) {
            SCOPED_TRACE(std::string("model ") + model + ", " + layouts[layout].first);
            double infit = 0.0, outfit = 0.0;
            int items = 0;
            for (std::size_t n = layout * 3; n < layout * 3 + 3; ++n) {
                ASSERT_EQ(r[n].exit_status, 0) << r[n].screen;
                for (const MeasureRecord& m : read_measure_file(dirs[n].file("i.txt")))
                    infit += m.fit.at(0), outfit += m.fit.at(2), ++items;
            }
            ASSERT_EQ(items, 24);
            const double se = 1.5 / std::sqrt(400.0 * items), bias = 1.0 / 8.0;
            std::printf("model %c, %-12s item infit %.3f outfit %.3f\n", model,
                        layouts[layout].first.c_str(), infit / items, outfit / items);
            for (const double mean : {infit / items, outfit / items}) {
                EXPECT_GT(mean, 1.0 - bias - 4.0 * se);
                EXPECT_LT(mean, 1.0 + 4.0 * se);
            }
        }
    }
}
