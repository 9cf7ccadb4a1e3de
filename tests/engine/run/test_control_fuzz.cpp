// Random and truncated control files: every reading either goes through or ends with a message
// and a failed run; run-time instructions never stop the program.
#include <gtest/gtest.h>

#include <random>

#include "tests/engine/run/control_test_run.h"

using namespace korvelan;
using korvelan::testing::ControlTestRun;

namespace {

const char* const kFragments[] = {
    "NI=4", "ITEM1=1", "NAME1=6", "CODES=01", "CODES=0123+", "  +456", "+", "TITLE='x", "TITLE=\x93q",
    "XWIDE=2", "XWIDE=-3", "CATEGS=5", "MISSING=0", "FORMAT=(2(A1", "FORMAT=(4A1)", "IAFILE=*", "1 2",
    "*", "&END", "&end", "&X", "; comment +", "SPFILE=sp.txt", "SPFILE=ctl.txt", "SPFILE=*", "KEY1=ABCD",
    "KEY999=A", "IVALUEA=01", "GROUPS=*", "IREFER=*", "NI=1e3", "NI=--", "NI=.", "=", "==", "\t\t",
    "ISELECT=**", "UMEAN=-", "OSORT=?", "PERSON=", "DATA=", "NI=32000", "XWIDE=32000", "ITEM1=32000",
};

// Lines that never fail on their own.
const char* const kValid[] = {
    "TITLE=Fuzz", "CODES=0123+", "  +45", "; note", "PERSON=Kid", "UMEAN=50", "USCALE=10", "MISSING=0",
    "IAFILE=*", "1 2", "*", "FORMAT=(4A1)", "SPFILE=sp.txt", "KEY1=0101", "ISELECT=A*", "TABLES=101",
    "", "\t", "&INST", "*", "MODELS=RRSS", "GROUPS=0",
};

std::string valid_text(std::mt19937& gen) {
    std::uniform_int_distribution<int> lines(0, 12), pick(0, std::size(kValid) - 1);
    std::string text = "NI=4\nITEM1=1\nNAME1=6\n";
    for (int n = lines(gen); n > 0; --n) text += std::string(kValid[pick(gen)]) + "\n";
    return text + "&END\n";
}

std::string random_text(std::mt19937& gen) {
    std::uniform_int_distribution<int> lines(0, 25), pick(0, std::size(kFragments) - 1), kind(0, 9),
        byte(0, 255);
    std::string text;
    for (int n = lines(gen); n > 0; --n) {
        int k = kind(gen);
        if (k == 0) {
            for (int i = byte(gen) % 40; i > 0; --i) text += static_cast<char>(byte(gen));
        } else if (k == 1) {
            text += std::string(static_cast<std::size_t>(byte(gen)) * 200, "A=+ 9"[byte(gen) % 5]);
        } else {
            text += kFragments[pick(gen)];
        }
        text += (k == 2) ? "\r\n" : "\n";
    }
    // Cut anywhere, also inside a line.
    if (!text.empty() && kind(gen) < 4) text.resize(std::uniform_int_distribution<std::size_t>(0, text.size())(gen));
    return text;
}

}  // namespace

TEST(ControlFuzz, EveryFileEndsInSuccessOrAMessage) {
    std::mt19937 gen(20260101);
    int successes = 0, failures = 0;
    for (int round = 0; round < 400; ++round) {
        ControlTestRun r;
        bool mostly_valid = round % 2 == 0;
        korvelan::testing::write_file(r.dir.file("sp.txt"), mostly_valid ? "XWIDE=1\n" : random_text(gen));
        std::string text = mostly_valid ? valid_text(gen) : random_text(gen);
        // Some of the valid files are cut short as well.
        if (mostly_valid && round % 8 == 0) text.resize(text.size() * 3 / 4);
        bool ok = r.read(text) && r.check();
        (ok ? successes : failures)++;
        if (!ok) {
            // A stop always comes with its message and marks the run failed.
            EXPECT_TRUE(r.run.rs.run_failed) << text;
            EXPECT_GE(r.host.lines.size(), 3u) << text;
        } else {
            EXPECT_GE(r.run.cv.xwide, 1);
            EXPECT_EQ(static_cast<std::int64_t>(r.run.cv.categs) * r.run.cv.xwide, r.run.cv.codes_length);
        }
    }
    // Both outcomes were exercised.
    EXPECT_GT(successes, 50);
    EXPECT_GT(failures, 50);
}

TEST(ControlFuzz, RuntimeInstructionsNeverStop) {
    std::mt19937 gen(7);
    ControlTestRun r;
    for (int round = 0; round < 2000; ++round) {
        std::string text = random_text(gen);
        std::size_t eol = text.find('\n');
        text = text.substr(0, eol);
        EXPECT_NO_THROW(parse_runtime_instruction(r.run, text)) << text;
    }
    EXPECT_FALSE(r.run.rs.run_failed);
}
