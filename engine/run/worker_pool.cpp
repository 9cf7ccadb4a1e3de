#include "engine/run/worker_pool.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace korvelan {

ChunkPlan plan_person_chunks(int persons, std::size_t doubles_per_chunk) {
    constexpr int kMinimumChunk = 256;
    constexpr int kMostChunks = 64;
    constexpr std::size_t kBudgetBytes = std::size_t{64} << 20;
    ChunkPlan plan;
    if (persons <= 0) return plan;
    const std::size_t bytes = std::max<std::size_t>(doubles_per_chunk, 1) * sizeof(double);
    const int by_memory = static_cast<int>(std::min<std::size_t>(kBudgetBytes / bytes, kMostChunks));
    int chunks = std::min({kMostChunks, (persons + kMinimumChunk - 1) / kMinimumChunk, by_memory});
    chunks = std::max(chunks, 1);
    plan.size = (persons + chunks - 1) / chunks;
    plan.chunks = (persons + plan.size - 1) / plan.size;
    return plan;
}

namespace {
constexpr int kMostThreads = 64;
// How long a waiting thread spins before it sleeps.
constexpr auto kSpinTime = std::chrono::microseconds(100);

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace

template <class Ready>
void WorkerPool::wait_for(std::condition_variable& signal, Ready ready) {
    const auto until = std::chrono::steady_clock::now() + kSpinTime;
    // A few pauses first; then the spinning thread yields its core at every turn, so that on a
    // machine with more busy threads than cores it does not hold up the thread it waits for.
    for (int turn = 1; !ready(); ++turn) {
        if (turn < 64) {
            relax();
        } else {
            std::this_thread::yield();
            if (std::chrono::steady_clock::now() > until) break;
        }
    }
    std::unique_lock<std::mutex> lock(mutex_);
    signal.wait(lock, ready);
}

thread_local int WorkerPool::thread_index_ = 0;

int worker_threads_from_text(const char* text) {
    if (!text) return 0;
    const std::string_view digits(text);
    if (digits.empty() || digits.size() > 4) return 0;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

int default_worker_threads() {
    static const int threads = [] {
        const int n = worker_threads_from_text(std::getenv("KORVELAN_THREADS"));
        return n > 0 ? n : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }();
    return threads;
}

WorkerPool::WorkerPool(int threads, int most_tasks) {
    if (threads <= 0) threads = default_worker_threads();
    if (most_tasks > 0) threads = std::min(threads, most_tasks);
    threads = std::min(threads, kMostThreads);
    try {
        workers_.reserve(static_cast<std::size_t>(threads - 1));
        for (int t = 1; t < threads; ++t)
            workers_.emplace_back([this, t] {
                thread_index_ = t;
                work();
            });
    } catch (const std::exception&) {
        // The system could not start another thread (no memory for its stack, a process
        // limit): the pool works with the threads it has, and the results do not depend on
        // their number. Letting the exception out would leave the started threads running.
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void WorkerPool::run_tasks(bool calling_thread) {
    for (int index = next_.fetch_add(1); index < count_; index = next_.fetch_add(1)) {
        try {
            task_(task_context_, index);
            const int done = done_.fetch_add(1) + 1;
            if (calling_thread && progress_) {
                last_reported_ = done;
                progress_(progress_context_, done);
            }
        } catch (...) {
            // The first failure is kept for the caller; no further task of the job starts.
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
            next_ = count_;
        }
    }
}

void WorkerPool::run_erased(int count, Function task, void* task_context, Function progress,
                            void* progress_context) {
    if (count <= 0) return;
    const bool use_workers = !workers_.empty() && count > 1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = task;
        task_context_ = task_context;
        progress_ = progress;
        progress_context_ = progress_context;
        count_ = count;
        next_ = 0;
        done_ = 0;
        last_reported_ = 0;
        busy_ = use_workers ? static_cast<int>(workers_.size()) : 0;
        if (use_workers) ++generation_;
    }
    if (use_workers) wake_.notify_all();
    run_tasks(true);
    wait_for(finished_, [this] { return busy_.load() == 0; });
    // Every thread has left the job: a task's failure can now reach the caller, whose stack the
    // tasks used.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    // The workers may have finished the last tasks: the caller reports the end itself, so a
    // progress bar always closes.
    if (progress_ && last_reported_ < count) progress_(progress_context_, count);
}

void WorkerPool::work() {
    unsigned long seen = 0;
    for (;;) {
        wait_for(wake_, [&] { return stopping_.load() || generation_.load() != seen; });
        if (stopping_) return;
        seen = generation_;
        run_tasks(false);
        if (busy_.fetch_sub(1) == 1) {
            // The caller may be asleep: the mutex orders this wake-up after its last look.
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.notify_all();
        }
    }
}

}  // namespace korvelan
