#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <cstdint>
#include <thread>
#include <vector>

#include "engine/run/worker_pool.h"

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

// Jobs that follow one another at once meet workers still spinning; jobs after a pause meet
// them asleep. Either way every job must see every task of its own and none of the one before,
// and the pool must neither lose a wake-up (a hang) nor return before its workers are done.
TEST(WorkerPool, JobsInQuickSuccessionAndAfterPausesEachRunWhole) {
    WorkerPool pool(4);
    std::vector<std::int64_t> sums(8);
    for (int job = 0; job < 4000; ++job) {
        auto task = [&](int i) { sums[static_cast<std::size_t>(i)] = static_cast<std::int64_t>(job) * 8 + i; };
        pool.run(8, task);
        std::int64_t total = 0;
        for (std::int64_t v : sums) total += v;
        ASSERT_EQ(total, static_cast<std::int64_t>(job) * 64 + 28) << "job " << job;
        // Now and then a pause longer than the workers spin, so that they fall asleep.
        if (job % 500 == 499) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TEST(WorkerPool, AFailingTaskReachesTheCallerOnlyAfterEveryThreadHasStopped) {
    // A task that runs out of memory on a worker thread must neither end the process nor leave
    // other threads working on the caller's stack once run() has returned.
    WorkerPool pool(4);
    std::atomic<int> running{0}, started{0};
    auto task = [&](int i) {
        ++started;
        ++running;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (i == 5) {
            --running;
            throw std::bad_alloc();
        }
        --running;
    };
    EXPECT_THROW(pool.run(400, task), std::bad_alloc);
    EXPECT_EQ(running.load(), 0);
    EXPECT_LT(started.load(), 400);  // the job stopped early
    // The pool serves the next job in full.
    std::atomic<int> count{0};
    auto again = [&](int) { ++count; };
    pool.run(50, again);
    EXPECT_EQ(count.load(), 50);
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

TEST(WorkerPool, ChunkBlocksStartOnCacheLinesOfTheirOwn) {
    ChunkBlocks<float> blocks(5, 3);
    ChunkBlocks<double> sums(3, 17);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(blocks[c]) % kCacheLine, 0u);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(blocks[c][k], 0.0f);
    }
    // 17 doubles need three lines; the next block starts after them.
    EXPECT_EQ(reinterpret_cast<const char*>(sums[1]) - reinterpret_cast<const char*>(sums[0]), 192);
}

TEST(WorkerPool, ThreadCountFromTheEnvironmentTakesOnlyPositiveWholeNumbers) {
    EXPECT_EQ(worker_threads_from_text("8"), 8);
    EXPECT_EQ(worker_threads_from_text("012"), 12);
    for (const char* text : {static_cast<const char*>(nullptr), "", "0", "-3", "2x", " 4", "1.5", "99999"})
        EXPECT_EQ(worker_threads_from_text(text), 0) << (text ? text : "(none)");
    EXPECT_GE(default_worker_threads(), 1);
}
