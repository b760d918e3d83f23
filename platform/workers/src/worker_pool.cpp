#include <workers/worker_pool.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace ondula {
namespace {

// Set on the pool's threads and on a caller while it runs its own chunks.
thread_local bool t_inLoop = false;

// One loop in flight: its chunks are claimed one at a time by whoever runs.
struct Job {
    const std::function<void(int, int)>* body;
    int count;
    int chunks;
    std::atomic<int> next{0};
    int active = 0; // workers holding the job, guarded by the pool's mutex
    std::mutex errorMutex;
    std::exception_ptr error;

    void Run()
    {
        for (int c = next.fetch_add(1); c < chunks; c = next.fetch_add(1)) {
            const int begin = static_cast<int>(static_cast<long long>(count) * c / chunks);
            const int end = static_cast<int>(static_cast<long long>(count) * (c + 1) / chunks);
            try {
                (*body)(begin, end);
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!error)
                    error = std::current_exception();
            }
        }
    }
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
        Job job;
        job.body = &body;
        job.count = count;
        job.chunks = std::min(count / grain, 4 * workers);
        {
            const std::lock_guard lock(mutex_);
            job_ = &job;
            ++generation_;
        }
        wake_.notify_all();
        t_inLoop = true;
        job.Run();
        t_inLoop = false;
        {
            std::unique_lock lock(mutex_);
            job_ = nullptr;
            finished_.wait(lock, [&] { return job.active == 0; });
        }
        if (job.error)
            std::rethrow_exception(job.error);
    }

private:
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
            Job* job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
                if (stop_)
                    return;
                seen = generation_;
                job = job_;
                if (!job)
                    continue;
                ++job->active;
            }
            job->Run();
            {
                const std::lock_guard lock(mutex_);
                --job->active;
            }
            finished_.notify_all();
        }
    }

    std::atomic<int> workers_;
    std::mutex busy_; // held by the thread whose loop the workers serve
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    unsigned long long generation_ = 0;
    Job* job_ = nullptr;
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
