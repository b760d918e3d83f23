#include <workers/worker_pool.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace ondula {
namespace {

// Set on the pool's threads and on a caller while it runs its own chunks.
thread_local bool t_inLoop = false;

// One loop as a thread found it when woken. Chunks are claimed from the pool
// under the loop's tag, the low half of its number, so that a thread that comes
// late, after the loop has ended, claims none.
struct Loop {
    std::uint32_t tag;
    const std::function<void(int, int)>* body;
    int count;
    int chunks;
};

class Pool {
public:
    Pool() : workers_(std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) { }
    ~Pool() { StopThreads(); }

    int Workers() const { return workers_.load(std::memory_order_relaxed); }

    void SetWorkers(int n)
    {
        const std::lock_guard busy(busy_);
        StopThreads();
        workers_.store(std::max(1, n), std::memory_order_relaxed);
    }

    void For(int count, int grain, const std::function<void(int, int)>& body)
    {
        grain = std::max(1, grain);
        const int workers = Workers();
        if (count <= 0)
            return;
        if (workers == 1 || count / grain < 2 || t_inLoop) {
            body(0, count);
            return;
        }
        std::unique_lock busy(busy_, std::try_to_lock);
        if (!busy.owns_lock()) {
            body(0, count);
            return;
        }
        StartThreads(workers - 1);

        // A few chunks per thread even out threads slowed by other work.
        Loop loop;
        {
            const std::lock_guard lock(mutex_);
            loop = {static_cast<std::uint32_t>(++generation_), &body, count,
                    std::min(count / grain, 4 * workers)};
            loop_ = loop;
            done_ = 0;
            error_ = nullptr;
            claim_ = std::uint64_t{loop.tag} << 32;
        }
        wake_.notify_all();
        t_inLoop = true;
        RunChunks(loop);
        t_inLoop = false;
        // Only the chunks are waited for: a thread woken for the loop that found
        // every chunk claimed may not have run yet, on a busy machine for a
        // whole time slice. Chunks are mostly short, so the caller watches for
        // the last ones a little before it sleeps: asleep, it could lose its core
        // to another program for as long.
        const auto spin_end = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
        while (done_.load() != loop.chunks && std::chrono::steady_clock::now() < spin_end)
            __builtin_ia32_pause();
        {
            std::unique_lock lock(mutex_);
            finished_.wait(lock, [&] { return done_.load() == loop.chunks; });
        }
        if (error_)
            std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    void RunChunks(const Loop& loop)
    {
        for (;;) {
            std::uint64_t claim = claim_.load();
            do {
                if (claim >> 32 != loop.tag || static_cast<int>(claim & 0xffffffffu) >= loop.chunks)
                    return;
            } while (!claim_.compare_exchange_weak(claim, claim + 1));
            const long long c = static_cast<long long>(claim & 0xffffffffu);
            const int begin = static_cast<int>(loop.count * c / loop.chunks);
            const int end = static_cast<int>(loop.count * (c + 1) / loop.chunks);
            try {
                (*loop.body)(begin, end);
            } catch (...) {
                const std::lock_guard lock(errorMutex_);
                if (!error_)
                    error_ = std::current_exception();
            }
            if (done_.fetch_add(1) + 1 == loop.chunks) {
                const std::lock_guard lock(mutex_);
                finished_.notify_all();
            }
        }
    }

    void StartThreads(int n)
    {
        if (!threads_.empty())
            return;
        // A new thread serves loops posted after this point, the caller's
        // included, however late it gets to run.
        unsigned long long generation;
        {
            const std::lock_guard lock(mutex_);
            generation = generation_;
        }
        for (int i = 0; i < n; ++i)
            threads_.emplace_back([this, generation] { WorkerLoop(generation); });
    }

    void StopThreads()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
        threads_.clear();
        const std::lock_guard lock(mutex_);
        stop_ = false;
    }

    void WorkerLoop(unsigned long long seen)
    {
        t_inLoop = true;
        for (;;) {
            Loop loop;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
                if (stop_)
                    return;
                seen = generation_;
                loop = loop_;
            }
            RunChunks(loop);
        }
    }

    std::atomic<int> workers_;
    std::mutex busy_; // held by the thread whose loop the workers serve
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    unsigned long long generation_ = 0;
    Loop loop_{}; // the latest loop, guarded by mutex_
    // The latest loop's tag (high half) and next chunk (low half), and its chunks done.
    std::atomic<std::uint64_t> claim_{0};
    std::atomic<int> done_{0};
    std::mutex errorMutex_;
    std::exception_ptr error_;
    bool stop_ = false;
};

Pool& ThePool()
{
    static Pool pool;
    return pool;
}

} // namespace

void ParallelFor(int count, int grain, const std::function<void(int begin, int end)>& body)
{
    ThePool().For(count, grain, body);
}

void SetWorkerCount(int n) { ThePool().SetWorkers(n); }

int WorkerCount() { return ThePool().Workers(); }

} // namespace ondula
