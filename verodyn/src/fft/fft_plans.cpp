#include "fft_plans.h"

#include <fftw3.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <tuple>
#include <type_traits>

namespace verodyn::detail {

namespace {

// Large transforms are split over the cores; small ones stay on the calling
// thread, where starting threads would cost more than it saves. Each row and
// column is transformed the same way whatever the split, so results do not
// depend on the thread count.
int threads_for(int width, int height)
{
    constexpr long kThreadedPixels = 256 * 256;
    if (long(width) * height < kThreadedPixels)
        return 1;
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

// FFTW's planner is not thread-safe, its executor is: plans are made and
// destroyed under the cache's lock and executed outside it on new arrays.
class PlanCache {
public:
    using Plan = std::shared_ptr<std::remove_pointer_t<fftwf_plan>>;

    static PlanCache& instance()
    {
        static PlanCache cache;
        return cache;
    }

    Plan get(int width, int height, FftDirection direction)
    {
        const Key key{width, height, direction};
        Plan evicted; // released after the lock, since releasing the last reference locks it
        std::lock_guard lock(mutex_);
        if (auto found = plans_.find(key); found != plans_.end()) {
            found->second.last_use = ++clock_;
            return found->second.plan;
        }
        if (plans_.size() >= kCapacity) {
            auto oldest = plans_.begin();
            for (auto it = plans_.begin(); it != plans_.end(); ++it)
                if (it->second.last_use < oldest->second.last_use)
                    oldest = it;
            evicted = std::move(oldest->second.plan);
            plans_.erase(oldest);
        }
        // Estimated plans: made in milliseconds and the same in every run, so a
        // transform never waits for planning and gives the same bits each time.
        // FFTW needs arrays to plan on; an estimate does not touch them.
        static const bool threads_ready = fftwf_init_threads() != 0;
        fftwf_plan_with_nthreads(threads_ready ? threads_for(width, height) : 1);
        std::unique_ptr<fftwf_complex, decltype(&fftwf_free)> scratch(
            fftwf_alloc_complex(std::size_t(width) * std::size_t(height)), &fftwf_free);
        if (!scratch)
            throw std::bad_alloc();
        fftwf_plan raw = fftwf_plan_dft_2d(
            height, width, scratch.get(), scratch.get(),
            direction == FftDirection::Forward ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
        if (!raw)
            throw std::bad_alloc();
        Plan plan(raw, [this](fftwf_plan p) {
            std::lock_guard destroy_lock(mutex_);
            fftwf_destroy_plan(p);
        });
        plans_.emplace(key, Entry{plan, ++clock_});
        return plan;
    }

private:
    static constexpr std::size_t kCapacity = 16;
    using Key = std::tuple<int, int, FftDirection>;
    struct Entry {
        Plan plan;
        std::uint64_t last_use;
    };

    std::mutex mutex_;
    std::map<Key, Entry> plans_;
    std::uint64_t clock_ = 0;
};

} // namespace

void fft_in_place(std::complex<float>* data, int width, int height, FftDirection direction)
{
    auto plan = PlanCache::instance().get(width, height, direction);
    auto* samples = reinterpret_cast<fftwf_complex*>(data);
    fftwf_execute_dft(plan.get(), samples, samples);
}

} // namespace verodyn::detail
