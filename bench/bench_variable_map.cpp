// Times the variable map of many persons: measures of normal persons and of items spread over
// -2..2 put in the analysis arrays, then Table 1.1 (the two-panel map) and Table 12.2 (the items
// by label beside the persons as symbols) written to a report file, each from its own call that
// finds the range, the rows and the tallies.
// Usage: bench_variable_map [persons] [items] [folder] [keep]  (keep: leave the report there)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/report/report_context.h"
#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "engine/tables/variable_map.h"

using namespace korvelan;

namespace {

void fill_arrays(Run& run, int persons, int items) {
    AnalysisArrays& a = run.arrays;
    a.persons = persons, a.items = items, a.groups = 1, a.slots = 2;
    std::mt19937_64 rng(7);
    std::normal_distribution<float> ability(0.5f, 1.5f);
    a.person_measure.assign(static_cast<std::size_t>(persons) + 1, 0.0f);
    a.person_status.assign(static_cast<std::size_t>(persons) + 1, 1);
    for (int n = 1; n <= persons; ++n) a.person_measure[static_cast<std::size_t>(n)] = ability(rng);
    a.person_status[1] = 0;  // one extreme at each end
    a.person_status[2] = -1;
    a.item_measure.assign(static_cast<std::size_t>(items) + 1, 0.0f);
    a.item_status.assign(static_cast<std::size_t>(items) + 1, 1);
    a.item_group.assign(static_cast<std::size_t>(items) + 1, 1);
    for (int i = 1; i <= items; ++i)
        a.item_measure[static_cast<std::size_t>(i)] = -2.0f + 4.0f * (i - 1) / std::max(items - 1, 1);
    a.group_first_slot = {0, 1};
    a.group_top_category = {0, 1};
    a.category_value = {0, 0, 1};
    a.category_thurstone_threshold.assign(3, 0.0f);
    a.category_half_point_measure.assign(3, 0.0f);
}

double write_map(Run& run, int table, float sub_table) {
    run.rep.request = TableRequest{};
    run.rep.request.table = table;
    run.rep.request.letters[0] = 'Y';
    run.rep.request.selectors[0] = sub_table;
    run.rep.sub_table_counter = 0;
    ReportContext ctx(run);
    const auto t0 = std::chrono::steady_clock::now();
    write_variable_map(ctx, run.arrays.category_thurstone_threshold);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int persons = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    const std::string folder = argc > 3 ? argv[3] : "/tmp";
    const std::string report = folder + "/bench_variable_map_report.txt";
    Run run;
    run.cv.page_control_char = '^';
    run.cv.box_to_ascii = 'Y';
    run.cv.line_width = 80;
    run.cv.uscale = 1.0f;
    run.cv.item_numbering = 'Y';
    run.cv.person_word = "PERSON";
    run.cv.person_plural = "PERSONS";
    run.cv.item_word = "ITEM";
    run.cv.item_plural = "ITEMS";
    if (open_unit(run, unit::kReport, report, OpenMode::Write) != 0) {
        std::fprintf(stderr, "cannot write %s\n", report.c_str());
        return 1;
    }
    fill_arrays(run, persons, items);
    const double symbols = write_map(run, 1, 1.0f);
    const double labelled = write_map(run, 12, 2.0f);
    close_unit(run, unit::kReport);
    std::printf("map of %d persons on %d items: Table 1.1 in %.3f s, Table 12.2 in %.3f s\n",
                persons, items, symbols, labelled);
    if (argc <= 4) std::remove(report.c_str());
    return 0;
}
