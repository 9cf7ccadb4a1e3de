#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/estimation/worker_pool.h"

using namespace korvelan;

// ---- Worker pool ------------------------------------------------------------------------------

TEST(WorkerPool, EveryTaskRunsOnceAndProgressStaysOnTheCallingThread) {
    WorkerPool pool(4);
    std::vector<std::atomic<int>> runs(100);
    const std::thread::id caller = std::this_thread::get_id();
    bool foreign_progress = false;
    int progress_calls = 0;
    int last_progress = 0;
    auto task = [&](int i) { ++runs[i]; };
    auto progress = [&](int done) {
        foreign_progress |= std::this_thread::get_id() != caller;
        ++progress_calls;
        last_progress = done;
    };
    for (int round = 0; round < 3; ++round) {
        last_progress = 0;
        pool.run(100, task, progress);
        // However the tasks were shared out, the last report is the whole count (a bar closes).
        EXPECT_EQ(last_progress, 100);
    }
    for (auto& r : runs) EXPECT_EQ(r.load(), 3);
    EXPECT_FALSE(foreign_progress);
    EXPECT_GT(progress_calls, 0);
}

TEST(WorkerPool, ChunksDependOnlyOnTheSizes) {
    EXPECT_EQ(plan_person_chunks(100, 10).chunks, 1);
    const ChunkPlan p = plan_person_chunks(100000, 1000);
    EXPECT_EQ(p.chunks, 64);
    EXPECT_EQ(p.first(0), 1);
    EXPECT_EQ(p.last(p.chunks - 1, 100000), 100000);
    EXPECT_EQ(p.last(0, 100000) + 1, p.first(1));
    // Large partial sums per chunk mean fewer chunks: at most 64 MB of them.
    EXPECT_EQ(plan_person_chunks(100000, std::size_t{4} << 20).chunks, 2);
}
