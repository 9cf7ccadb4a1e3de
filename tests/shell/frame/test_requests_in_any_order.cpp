// Requests after the run, in any order: every Table, output file and graphs file written from the
// menus is the same whatever was asked for before it (a Table, a file, a graph, a Specification
// change), and an output file is the one the batch run writes for it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/driver/runtime_change.h"
#include "engine/outfiles/graphs_file.h"
#include "shell/frame/graphs_request.h"
#include "shell/menus/result_handlers.h"
#include "shell/menus/result_menus.h"
#include "tests/engine/driver/finished_run.h"
#include "tests/shell/services/recording_launcher.h"
#include "tests/support/run_binary.h"

namespace korvelan {
namespace {

using testing::FinishedRun;

// One request after the run; its output as the host received it, the run's folder replaced.
struct Request {
    const char* name;
    int menu;            // an Output Tables or Output Files entry beginning with `entry`
    const char* entry;   // none: the Graphs menu
};

const Request kRequests[] = {
    {"Table 10", menu_bar::kOutputTables, "10. ITEM"},
    {"Table 18", menu_bar::kOutputTables, "18. PERSON"},
    {"PFILE=", menu_bar::kOutputFiles, "PERSON File PFILE="},
    {"IFILE=", menu_bar::kOutputFiles, "ITEM File IFILE="},
    {"Graphs", 0, nullptr},
};

// A run with one rating-scale group for each item, so that the graphs file names the items by
// their labels, and the result menus as the desktop builds them after the run.
struct MenuRun {
    FinishedRun f;
    MenuModel menus;
    testing::RecordingLauncher recorder;
    GraphsLauncher graphs{recorder, "/opt/", [](std::string_view, std::string_view) { return true; }};
    int served = 0;

    explicit MenuRun(const std::vector<std::string>& extra = {}) : f(with_groups(extra)) {
        build_result_menus(menus, f.run, menu_flag::kGrayed, result_handlers(f.run, menus));
        set_result_menus_enabled(menus, f.run, menu_flag::kEnabled);
    }
    static std::vector<std::string> with_groups(std::vector<std::string> extra) {
        extra.insert(extra.begin(), "GROUPS=0");
        return extra;
    }

    std::string serve(const Request& r) {
        f.host.line_file.clear();
        f.host.file_answers.push_back(f.dir.file("menu" + std::to_string(++served) + ".txt"));
        std::string text;
        if (!r.entry) {
            if (!show_graphs(f.run, graphs, 1)) return "not shown";
            text = testing::read_file(graphs_work_file_path(f.run));
        } else {
            const MenuEntry* chosen = nullptr;
            for (int i = 1; i <= menus.count(r.menu) && !chosen; ++i)
                if (menus.entry(r.menu, i)->text.rfind(r.entry, 0) == 0) chosen = menus.entry(r.menu, i);
            if (!chosen) return "no entry";
            (*menus.handlers().find(chosen->id))(MenuChoice{chosen->id, chosen->checked, chosen->text});
            for (const std::string& line : f.host.line_file) text += line + "\r\n";
        }
        return testing::normalise_report(text, f.dir.path, "/tmp/kvtest-run");
    }
};

TEST(RequestsInAnyOrder, EachRequestWritesWhatItWritesFirstAndTheFilesAreTheBatchRunsFiles) {
    std::vector<std::string> first;
    for (const Request& r : kRequests) {
        MenuRun m;
        first.push_back(m.serve(r));
        EXPECT_GT(first.back().size(), 200u) << r.name;
    }
    // The batch run writes the same output files.
    MenuRun batch({"PFILE=batch_p.txt", "IFILE=batch_i.txt"});
    EXPECT_EQ(testing::normalise_report(testing::read_file(batch.f.dir.file("batch_p.txt")), batch.f.dir.path,
                                        "/tmp/kvtest-run"), first[2]);
    EXPECT_EQ(testing::normalise_report(testing::read_file(batch.f.dir.file("batch_i.txt")), batch.f.dir.path,
                                        "/tmp/kvtest-run"), first[3]);

    const std::size_t n = std::size(kRequests);
    for (const bool change : {false, true})
        for (std::size_t a = 0; a < n; ++a)
            for (std::size_t b = 0; b < n; ++b) {
                const std::string order = std::string(kRequests[a].name) + " then " + kRequests[b].name +
                                          (change ? " after a Specification change" : "");
                MenuRun m;
                EXPECT_EQ(m.serve(kRequests[a]), first[a]) << order;
                // A change that leaves every value as it is: only its own opening of the work files.
                if (change) apply_runtime_specification(m.f.run, "USCALE=1");
                EXPECT_EQ(m.serve(kRequests[b]), first[b]) << order;
                EXPECT_EQ(m.serve(kRequests[a]), first[a]) << order << " then " << kRequests[a].name;
                EXPECT_FALSE(m.f.host.shows("FAILURE")) << order << "\n" << m.f.host.screen();
            }
}

}  // namespace
}  // namespace korvelan
