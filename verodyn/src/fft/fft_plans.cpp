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

    enum class Kind { RealToHalf, HalfToReal };

    Plan get(int width, int height, Kind kind)
    {
        const Key key{width, height, kind};
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
        const std::size_t count = std::size_t(width) * std::size_t(height);
        const std::size_t half_count = std::size_t(width / 2 + 1) * std::size_t(height);
        std::unique_ptr<float, decltype(&fftwf_free)> real(fftwf_alloc_real(count), &fftwf_free);
        std::unique_ptr<fftwf_complex, decltype(&fftwf_free)> half(fftwf_alloc_complex(half_count),
                                                                   &fftwf_free);
        if (!real || !half)
            throw std::bad_alloc();
        fftwf_plan raw =
            kind == Kind::RealToHalf
                ? fftwf_plan_dft_r2c_2d(height, width, reinterpret_cast<float*>(half.get()),
                                        half.get(), FFTW_ESTIMATE)
                : fftwf_plan_dft_c2r_2d(height, width, half.get(), real.get(), FFTW_ESTIMATE);
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
    using Key = std::tuple<int, int, Kind>;
    struct Entry {
        Plan plan;
        std::uint64_t last_use;
    };

    std::mutex mutex_;
    std::map<Key, Entry> plans_;
    std::uint64_t clock_ = 0;
};

} // namespace

void fft_real_to_half(std::complex<float>* data, int width, int height)
{
    auto plan = PlanCache::instance().get(width, height, PlanCache::Kind::RealToHalf);
    auto* half = reinterpret_cast<fftwf_complex*>(data);
    fftwf_execute_dft_r2c(plan.get(), reinterpret_cast<float*>(half), half);
}

void fft_half_to_real(std::complex<float>* in, float* out, int width, int height)
{
    auto plan = PlanCache::instance().get(width, height, PlanCache::Kind::HalfToReal);
    fftwf_execute_dft_c2r(plan.get(), reinterpret_cast<fftwf_complex*>(in), out);
}

} // namespace verodyn::detail
