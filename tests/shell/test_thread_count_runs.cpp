// The same analyses run by the korvelan program with 1, 2, 3, 4 and 8 worker threads
// (KORVELAN_THREADS): the report and every output file are the same to the byte, the run date
// aside. The measures are printed in thousandths of a logit with four decimals, so that a change
// in the last bits of a sum shows. The data sets are large enough for many chunks of persons, and use the paths that sum
// differently: plain dichotomous data with missing responses and extreme entries; weights,
// anchors, several rating-scale groups and both chain models; the point-biserial.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/shell/batch_folder.h"

using namespace korvelan::testing;

namespace {

// Responses from a fixed generator: person abilities and item difficulties spread over a few
// logits, categories 0..top[i], a share of missing responses, the first persons at the extremes.
std::string records(int persons, const std::vector<int>& top, int missing_per_mille) {
    std::uint32_t state = 2024;
    auto next = [&] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const int ni = static_cast<int>(top.size());
    std::string text;
    for (int p = 1; p <= persons; ++p) {
        const int ability = static_cast<int>(next() % 9);
        std::string row;
        for (int i = 0; i < ni; ++i) {
            if (static_cast<int>(next() % 1000) < missing_per_mille) {
                row += ' ';
                continue;
            }
            const int pull = ability - static_cast<int>(i % 7) + static_cast<int>(next() % 5);
            const int k = std::clamp(pull * (top[i] + 1) / 12, 0, top[i]);
            row += static_cast<char>('0' + (p <= 3 ? top[i] : p <= 6 ? 0 : k));
        }
        text += row + " P" + std::to_string(p) + "\n";
    }
    return text;
}

std::string control(int ni, const std::string& instructions) {
    std::string text = "TITLE=Threads\nNI=" + std::to_string(ni) + "\nITEM1=1\nNAME1=" +
                       std::to_string(ni + 2) + "\nNAMLEN=8\nPFILE=p.txt\nIFILE=i.txt\nSFILE=s.txt\n" +
                       "UDECIMALS=4\n" +
                       instructions + "&END\n";
    for (int i = 1; i <= ni; ++i) text += "Q" + std::to_string(i) + "\n";
    return text + "END LABELS\n";
}

// The report and the three files of a run at the given thread count, dates made fixed.
std::string outputs(BatchFolder& f, const std::string& control_text, int threads) {
    ::setenv("KORVELAN_THREADS", std::to_string(threads).c_str(), 1);
    const ProgramResult r = f.run(control_text);
    ::unsetenv("KORVELAN_THREADS");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    std::string all = f.report();
    for (const char* name : {"p.txt", "i.txt", "s.txt"}) all += std::string("==== ") + name + "\r\n" + f.bytes(name);
    return normalise_report(all, "", "");
}

// golden: the outputs must also be those of the golden file of that name (paths made fixed).
void expect_same_at_every_thread_count(const std::string& control_text, const std::string& golden = "") {
    BatchFolder f;
    const std::string one = outputs(f, control_text, 1);
    ASSERT_NE(one.find("==== s.txt"), std::string::npos);
    if (!golden.empty()) expect_golden(golden, normalise_report(one, f.dir.path, "/tmp/kvtestXXXXXX/"));
    for (int threads : {2, 3, 4, 8}) {
        const std::string many = outputs(f, control_text, threads);
        EXPECT_TRUE(many == one) << threads << " threads: the outputs differ";
    }
}

}  // namespace

TEST(ThreadCountRuns, DichotomousDataGiveTheSameBytesAtEveryThreadCount) {
    const std::vector<int> top(40, 1);
    expect_same_at_every_thread_count(control(40, "CODES=01\nUSCALE=1000\n") + records(6000, top, 40));
}

TEST(ThreadCountRuns, WeightsAnchorsGroupsAndChainsGiveTheSameBytesAtEveryThreadCount) {
    const std::vector<int> top = {4, 4, 4, 4, 4, 4, 2, 2, 2, 3, 3, 3};
    const std::string instructions =
        "CODES=01234\nUSCALE=1000\nGROUPS=AAAAAABBBCCC\nMODELS=RRRRRRSSSFFF\nIAFILE=*\n2 0.4\n*\n"
        "PAFILE=*\n10 1.5\n11 -0.5\n*\nIWEIGHT=*\n3 2\n*\nPWEIGHT=*\n12 0.5\n13 3\n*\n";
    expect_same_at_every_thread_count(control(12, instructions) + records(4000, top, 25));
}

TEST(ThreadCountRuns, PointBiserialAndOneScaleGiveTheSameBytesAtEveryThreadCount) {
    const std::vector<int> top(20, 3);
    expect_same_at_every_thread_count(control(20, "CODES=0123\nPTBIS=Y\nUSCALE=1000\nUMEAN=50\n") +
                                      records(5000, top, 10));
}

// One weighted rating scale: every sum of the category walks, by the golden file.
TEST(ThreadCountRuns, WeightedScaleGivesTheSameBytesAtEveryThreadCountAndItsGoldenFile) {
    const std::vector<int> top(10, 3);
    const std::string instructions = "CODES=0123\nIWEIGHT=*\n2 2\n7 0.5\n*\nPWEIGHT=*\n5 2\n9 0\n*\n";
    expect_same_at_every_thread_count(control(10, instructions) + records(900, top, 30),
                                      "runs/weighted_scale.txt");
}

// Table 24 and PCORFILE= of complete residuals (the product form) and of residuals with
// missing responses (the pairwise computation): the same bytes at 1 and 8 threads.
TEST(ThreadCountRuns, PersonComponentsAndCorrelationFileGiveTheSameBytesAtOneAndEightThreads) {
    const std::vector<int> top(15, 1);
    for (int missing : {0, 50}) {
        const std::string text = control(15, "CODES=01\nTABLES=000000000000000000000001\nPCORFILE=pc.txt\n") +
                                 records(600, top, missing);
        BatchFolder f;
        std::string at[2];
        for (int k = 0; k < 2; ++k) {
            at[k] = outputs(f, text, k == 0 ? 1 : 8);
            at[k] += "==== pc.txt\r\n" + f.bytes("pc.txt");
            EXPECT_NE(at[k].find("FROM PRINCIPAL COMPONENT ANALYSIS OF"), std::string::npos);
            EXPECT_GT(f.bytes("pc.txt").size(), 1000000u);
        }
        EXPECT_TRUE(at[0] == at[1]) << missing << ": the outputs differ";
    }
}
