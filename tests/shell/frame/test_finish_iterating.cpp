// Finish iterating asked from the menu while a large estimation runs in the frame: the engine
// sees the request at its next pump and stops the iterations within one iteration; the report's
// iteration record ends there, and the run goes on to its end.
#include "tests/shell/frame/frame_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "engine/run/numtext.h"

namespace korvelan {
namespace {

using testing::Frame;

// 100,000 persons answering ten items of spread difficulty, Rasch-like, from a fixed generator.
std::string large_data_set() {
    std::string data;
    data.reserve(100000 * 20);
    std::uint64_t state = 12345;
    auto uniform = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int p = 1; p <= 100000; ++p) {
        const double ability = 4.0 * uniform() - 2.0;
        for (int i = 0; i < 10; ++i) {
            const double difficulty = -1.8 + 0.4 * i;
            const double chance = 1.0 / (1.0 + std::exp(difficulty - ability));
            data += uniform() < chance ? '1' : '0';
        }
        data += " P" + std::to_string(1000000 + p).substr(1) + "\n";
    }
    return data;
}

// The iteration numbers of the UCON rows in the lines.
std::vector<int> ucon_rows(const std::vector<std::string>& lines) {
    std::vector<int> rows;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.find("UCON") != std::string::npos) inside = true;
        if (!inside || line.size() < 10 || line[0] != '|') continue;
        const std::string number = line.substr(1, 8);
        if (number.find_first_not_of(' ') == std::string::npos) continue;
        const std::string digits(trim(number));
        if (digits.find_first_not_of("0123456789") == std::string::npos) rows.push_back(std::stoi(digits));
    }
    return rows;
}

TEST(FinishIterating, AskedDuringALargeEstimationItStopsWithinOneIteration) {
    Frame f;
    testing::write_file(f.dir.file("data.txt"), large_data_set());
    // Limits of 0 are never met: without the request UCON would not end.
    testing::write_file(f.dir.file("ctl.txt"),
                        "TITLE=Large\nNI=10\nITEM1=1\nNAME1=12\nNAMLEN=7\nCODES=01\nDATA=data.txt\n"
                        "LCONV=0\nRCONV=0\n&END\nI1\nI2\nI3\nI4\nI5\nI6\nI7\nI8\nI9\nI10\nEND LABELS\n");
    int asked_at = 0;
    bool checked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (asked_at > 0) return;
        const std::vector<int> rows = ucon_rows(f.lines());
        if (rows.empty() || rows.back() < 2) return;
        asked_at = rows.back();
        f.window->command(540);
        checked = f.action(540)->isChecked();
    });
    watch.start(1);
    EXPECT_EQ(f.analyse({f.dir.file("ctl.txt"), f.dir.file("out.txt")}, {}), 0);
    ASSERT_GE(asked_at, 2);
    EXPECT_TRUE(checked);
    const std::vector<int> shown = ucon_rows(f.lines());
    ASSERT_FALSE(shown.empty());
    EXPECT_GE(shown.back(), asked_at);
    EXPECT_LE(shown.back(), asked_at + 1);
    // The report's iteration record ends with the same iteration, and the run went on to its end.
    const std::vector<std::string> report = testing::crlf_lines(testing::read_file(f.dir.file("out.txt")));
    EXPECT_EQ(ucon_rows(report).back(), shown.back());
    EXPECT_TRUE(f.shows("Measures constructed"));
    EXPECT_FALSE(f.action(540)->isChecked());  // the next phase cleared the request
}

}  // namespace
}  // namespace korvelan
