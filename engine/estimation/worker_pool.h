// A fixed set of worker threads for the person sweeps, and the split of the persons into chunks.
//
// Results stay the same whatever the number of threads: the chunks depend only on the data
// sizes, every chunk sums into its own partial sums, and the caller combines the partial sums
// in chunk order after the sweep.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace korvelan {

// Persons 1..NP split into chunks of consecutive persons.
struct ChunkPlan {
    int chunks = 1;
    int size = 0;  // persons per chunk (the last may hold fewer)
    int first(int c) const { return c * size + 1; }
    int last(int c, int persons) const { return c + 1 == chunks ? persons : (c + 1) * size; }
};

// Chunks of at least 256 persons, at most 64 of them, and few enough that the partial sums
// (doubles_per_chunk doubles each) stay within 64 MB.
ChunkPlan plan_person_chunks(int persons, std::size_t doubles_per_chunk);

class WorkerPool {
public:
    // threads <= 0: one per core. The calling thread is one of them.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int size() const { return static_cast<int>(workers_.size()) + 1; }

    // Calls task(index) for index 0..count-1, spread over the threads, and returns when all are
    // done. After each task the calling thread finishes, progress(tasks done so far) runs on it.
    template <class Task, class Progress>
    void run(int count, Task& task, Progress& progress) {
        run_erased(count, &call<Task>, &task, &call<Progress>, &progress);
    }

private:
    using Function = void (*)(void*, int);
    template <class F>
    static void call(void* f, int index) {
        (*static_cast<F*>(f))(index);
    }
    void run_erased(int count, Function task, void* task_context, Function progress,
                    void* progress_context);
    void work();
    // Takes and runs tasks of the current job until none is left.
    void run_tasks(bool calling_thread);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    unsigned long generation_ = 0;
    bool stopping_ = false;
    int busy_ = 0;

    Function task_ = nullptr;
    void* task_context_ = nullptr;
    Function progress_ = nullptr;
    void* progress_context_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> done_{0};
    int last_reported_ = 0;  // the last count the calling thread reported as progress
};

}  // namespace korvelan
