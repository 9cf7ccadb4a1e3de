// Times one character plot of many points: measures and fit values scattered over a 67 x 40
// plot, each placed with place_plot_point, then the plot scaled and printed to a report file.
// Usage: bench_plot [points] [folder]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/report/plot_axis.h"
#include "engine/report/plot_grid.h"
#include "engine/report/plot_print.h"
#include "engine/run/file_units.h"
#include "engine/run/run.h"

using namespace korvelan;

namespace {

// A fixed pseudo-random sequence in [0, 1), so that every run places the same points.
struct Sequence {
    std::uint64_t state = 88172645463325252ull;
    double next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * 0x1.0p-53;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int points = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    const std::string report = folder + "/bench_plot_report.txt";
    constexpr int kRows = 40;
    Run run;
    if (open_unit(run, unit::kReport, report, OpenMode::Write) != 0) {
        std::fprintf(stderr, "cannot write %s\n", report.c_str());
        return 1;
    }
    PlotGrid grid;
    PlotAxis axis;
    axis.lowest_measure = -4.0f;
    axis.highest_measure = 4.0f;
    axis.plot_width = 67;
    const auto t0 = std::chrono::steady_clock::now();
    scale_plot_axis(axis, run.rep.request);
    centre_plot_title(grid, "PERSON INFIT MNSQ", kRows);
    grid.x_title = "PERSON MEASURE";
    Sequence random;
    for (int i = 0; i < points; ++i) {
        // Measures bunched in the middle (a sum of two uniforms), fit values spread evenly.
        const float measure = static_cast<float>((random.next() + random.next()) * 4.0 - 4.0);
        const int row = static_cast<int>(random.next() * (kRows + 1));
        const char symbol = i % 50 == 0 ? static_cast<char>('A' + i % 26) : ' ';
        place_plot_point(grid, symbol, plot_column(axis, measure), row, axis.plot_width, kRows);
    }
    float y_maximum = 1.0f;
    print_character_plot(run, grid, axis, kRows, y_maximum, axis.plot_width, 0.0f, 0, 0.0f);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    close_unit(run, unit::kReport);
    std::printf("plot of %d points: placed and printed in %.3f s\n", points, seconds);
    std::remove(report.c_str());
    return 0;
}
