#pragma once
// The device filter that feeds a simulated input pin, made at the first call
// and handed out again at every later one.
#include <mutex>
#include <string>
#include <utility>

#include <dshow/filters.h>

namespace dshow::sim {

// What IUpstreamDevice::MakeUpstream hands out.
struct Upstream {
    ComPtr<IBaseFilter> filter;
    std::wstring name;
    ComPtr<IPin> output; // to connect to the fed pin; null for none
};

// The filter is made with no lock held: making it takes the new filter's
// lock, and connecting it to the fed pin later takes the upstream filter's
// lock before the fed one's, so holding the fed filter's lock here would take
// the two in the other order.
class UpstreamOnce {
public:
    // The kept upstream, else what `make` returns, kept once it has a filter.
    template <class Make> Upstream Get(Make&& make)
    {
        {
            std::lock_guard guard(mutex_);
            if (kept_.filter)
                return kept_;
        }
        Upstream made = std::forward<Make>(make)();
        // A racing call may have kept its own first: every caller gets that
        // one, and `made` goes once the lock is released.
        std::lock_guard guard(mutex_);
        if (!kept_.filter)
            kept_ = std::move(made);
        return kept_;
    }

private:
    std::mutex mutex_;
    Upstream kept_;
};

} // namespace dshow::sim
