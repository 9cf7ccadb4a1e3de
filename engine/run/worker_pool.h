// A fixed set of worker threads for the sweeps over the persons, the split of the persons into
// chunks, and per-chunk storage that keeps every chunk on cache lines of its own.
//
// Results stay the same whatever the number of threads: the chunks depend only on the data
// sizes, every chunk sums into its own partial sums, and the caller combines the partial sums
// in chunk order after the sweep.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <type_traits>
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

// The number of worker threads a pool starts when it is not told: KORVELAN_THREADS when that is
// a positive whole number, else one per core. The variable is read once, at the first call.
int default_worker_threads();
// The thread count a value of KORVELAN_THREADS asks for: a whole number from 1 up (at most four
// digits); 0 for anything else, a missing value included.
int worker_threads_from_text(const char* text);

inline constexpr std::size_t kCacheLine = 64;

// One block of `per_chunk` values of T for each chunk, zero at the start. Every block starts on
// a cache line and is padded to whole lines, so threads working on different chunks never write
// into the same line.
template <class T>
class ChunkBlocks {
    static_assert(std::is_trivially_copyable_v<T> && kCacheLine % sizeof(T) == 0);

public:
    ChunkBlocks(int chunks, std::size_t per_chunk)
        : stride_(lines(per_chunk) * (kCacheLine / sizeof(T))),
          data_(allocate(stride_ * static_cast<std::size_t>(std::max(chunks, 1)))) {}
    T* operator[](int c) { return data_.get() + stride_ * static_cast<std::size_t>(c); }
    const T* operator[](int c) const { return data_.get() + stride_ * static_cast<std::size_t>(c); }

private:
    static std::size_t lines(std::size_t n) {
        return (std::max<std::size_t>(n, 1) * sizeof(T) + kCacheLine - 1) / kCacheLine;
    }
    struct Free {
        void operator()(T* p) const { ::operator delete(p, std::align_val_t{kCacheLine}); }
    };
    static T* allocate(std::size_t n) {
        T* p = static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t{kCacheLine}));
        std::uninitialized_value_construct_n(p, n);
        return p;
    }
    std::size_t stride_;
    std::unique_ptr<T, Free> data_;
};

class WorkerPool {
public:
    // threads <= 0: default_worker_threads(). No more threads start than there are tasks to
    // share (most_tasks, when positive). The calling thread is one of them.
    explicit WorkerPool(int threads, int most_tasks = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int size() const { return static_cast<int>(workers_.size()) + 1; }
    // Which of the pool's threads runs the caller: 0 for the thread that calls run(), 1 to
    // size() - 1 for the workers. A task may use it for scratch that is per thread, not per task.
    static int thread_index() { return thread_index_; }

    // Calls task(index) for index 0..count-1, spread over the threads, and returns when all are
    // done. After each task the calling thread finishes, progress(tasks done so far) runs on it.
    // When a task throws, no further task starts and, once every thread has stopped, the first
    // exception is thrown again on the calling thread.
    template <class Task, class Progress>
    void run(int count, Task& task, Progress& progress) {
        run_erased(count, &call<Task>, &task, &call<Progress>, &progress);
    }
    template <class Task>
    void run(int count, Task& task) {
        run_erased(count, &call<Task>, &task, nullptr, nullptr);
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

    // Waits until ready() holds: first spinning for a short while, since jobs that follow one
    // another closely (a search that sums its items on the workers at every step) would spend
    // more time being woken than working, then sleeping on `signal` under the mutex.
    template <class Ready>
    void wait_for(std::condition_variable& signal, Ready ready);

    static thread_local int thread_index_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    // Written under the mutex; read without it by the spinning waits.
    std::atomic<unsigned long> generation_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<int> busy_{0};

    Function task_ = nullptr;
    void* task_context_ = nullptr;
    Function progress_ = nullptr;
    void* progress_context_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> done_{0};
    int last_reported_ = 0;  // the last count the calling thread reported as progress
    std::exception_ptr failure_;  // the first exception a task of the current job threw
};

}  // namespace korvelan
