// Image requests: queue, wait, hand-over, results, image buffers.
#include <algorithm>
#include <optional>

#include "manager.h"

namespace kdmgr {

void ResizeRequests(Manager& m, Driver& driver, int32_t count)
{
    driver.requests.resize(size_t(count));
    const HOBJ list = driver.lists[KD_LIST_REQUESTS];
    while (int32_t(m.At(list).children.size()) > count) {
        m.Kill(m.At(list).children.back());
        m.At(list).children.pop_back();
        ++m.At(list).changes;
    }
    for (auto n = int32_t(m.At(list).children.size()); n < count; ++n) {
        Component entry;
        entry.name = "Request" + std::to_string(n);
        const HOBJ handle = m.Add(list, std::move(entry));
        Component number;
        number.name = "Number";
        number.type = KD_TYPE_INT;
        number.values = {int64_t(n)};
        m.Add(handle, std::move(number));
    }
}

void ResetQueue(Manager& m, Driver& driver)
{
    for (const int32_t n : driver.queue)
        driver.requests[size_t(n)].state = Request::State::Free;
    driver.queue.clear();
    driver.busy_until = m.Now();
    driver.stalled = false;
    ++driver.resets;
}

} // namespace kdmgr

using namespace kdmgr;

namespace {

// The longest sleep of a wait before it looks again whether the queue was reset.
constexpr Duration kWaitSlice = std::chrono::milliseconds(10);

auto FindBufferObject(Manager& m, const KdImageBuffer* buffer)
{
    return std::find_if(m.buffer_objects.begin(), m.buffer_objects.end(),
                        [&](const auto& held) { return held.get() == buffer; });
}

template <typename Body>
int32_t OnLockedRequest(KdOrdinal ordinal, HDRV driver, int32_t number, Body&& body)
{
    return OnDriver(ordinal, driver, [&](Manager& m, Device& device) -> int32_t {
        std::vector<Request>& requests = device.driver->requests;
        if (number < 0 || number >= int32_t(requests.size()) ||
            requests[size_t(number)].state != Request::State::Locked)
            return KD_ERR_REQUEST_STATE;
        return body(m, requests[size_t(number)]);
    });
}

int32_t IntValue(const Manager& m, HOBJ list, const char* name)
{
    return int32_t(std::get<int64_t>(m.At(m.Child(list, name)).values[0]));
}

Snapshot Snap(const Manager& m, const Driver& driver, HOBJ setting)
{
    const std::vector<HOBJ>& settings = m.At(driver.lists[KD_LIST_SETTINGS]).children;
    const HOBJ camera = m.Child(setting, "Camera");
    const HOBJ aoi = m.Child(camera, "Aoi");
    Snapshot s;
    s.setting = int32_t(std::find(settings.begin(), settings.end(), setting) - settings.begin());
    s.expose_us = IntValue(m, camera, "Expose_us");
    s.gain_db = std::get<double>(m.At(m.Child(camera, "Gain_dB")).values[0]);
    s.binning = IntValue(m, camera, "BinningMode");
    s.aoi_w = IntValue(m, aoi, "W");
    s.aoi_h = IntValue(m, aoi, "H");
    s.aoi_x = IntValue(m, aoi, "X");
    s.aoi_y = IntValue(m, aoi, "Y");
    return s;
}

// The oldest queued request, which has finished, becomes locked with its frame.
int32_t HandOver(Manager& m, Device& device)
{
    Driver& d = *device.driver;
    const int32_t number = d.queue.front();
    d.queue.pop_front();
    Request& request = d.requests[size_t(number)];
    request.state = Request::State::Locked;
    const Snapshot& s = request.snapshot;
    const int32_t binned_width = device.config.width / (s.binning & 0xF);
    const int32_t binned_height = device.config.height / (s.binning >> 4);
    const bool fits =
        int64_t(s.aoi_x) + s.aoi_w <= binned_width && int64_t(s.aoi_y) + s.aoi_h <= binned_height;
    request.result = fits ? KD_REQUEST_OK : KD_REQUEST_AOI_OUTSIDE;
    if (fits) {
        Paint(device.config, d.frames++, request);
        m.At(d.frame_count).values[0] = int64_t(d.frames);
    }
    return number;
}

} // namespace

extern "C" {

int32_t kdResetRequestQueue(HDRV driver, int32_t)
{
    return OnDriver(KD_ORD_RESET_REQUEST_QUEUE, driver, [](Manager& m, Device& device) {
        ResetQueue(m, *device.driver);
        return KD_OK;
    });
}

int32_t kdQueueRequest(HDRV driver, int32_t control)
{
    return OnDriver(KD_ORD_QUEUE_REQUEST, driver, [&](Manager& m, Device& device) -> int32_t {
        Driver& d = *device.driver;
        const std::vector<HOBJ>& controls = m.At(d.lists[KD_LIST_IMAGE_REQUEST_CONTROL]).children;
        if (control < 0 || control >= int32_t(controls.size()))
            return KD_ERR_COMPONENT_ID_INVALID;
        const auto free = std::find_if(d.requests.begin(), d.requests.end(), [](const Request& r) {
            return r.state == Request::State::Free;
        });
        if (free == d.requests.end())
            return KD_ERR_NO_FREE_REQUEST;
        free->snapshot = Snap(m, d, HOBJ(IntValue(m, controls[size_t(control)], "Setting")));
        if (device.stall_in > 0 && --device.stall_in == 0)
            d.stalled = true;
        if (d.stalled) {
            free->finish = Duration::max();
        } else {
            d.busy_until = std::max(d.busy_until, m.Now()) +
                           std::chrono::microseconds(free->snapshot.expose_us);
            free->finish = d.busy_until;
        }
        free->state = Request::State::Queued;
        d.queue.push_back(int32_t(free - d.requests.begin()));
        return KD_OK;
    });
}

int32_t kdUnlockRequest(HDRV driver, int32_t request)
{
    return OnLockedRequest(KD_ORD_UNLOCK_REQUEST, driver, request, [](Manager&, Request& r) {
        r.state = Request::State::Free;
        return KD_OK;
    });
}

int32_t kdWaitForRequest(HDRV driver, int32_t timeout_ms)
{
    Manager& m = TheManager();
    std::unique_lock guard(m.lock);
    if (const int32_t entered = m.EnterInitialised(KD_ORD_WAIT_FOR_REQUEST))
        return entered;
    const Duration deadline = m.Now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    std::optional<uint64_t> resets;
    for (;;) {
        Device* device = m.DeviceOfDriver(driver);
        if (!device)
            return KD_ERR_INVALID_DRIVER;
        const Driver& d = *device->driver;
        if (resets.value_or(d.resets) != d.resets)
            return KD_ERR_WAIT_TIMEOUT;
        resets = d.resets;
        const Duration now = m.Now();
        const Duration finish =
            d.queue.empty() ? Duration::max() : d.requests[size_t(d.queue.front())].finish;
        if (finish <= now)
            return HandOver(m, *device);
        if (now >= deadline)
            return KD_ERR_WAIT_TIMEOUT;
        ondula::Clock& clock = *m.clock;
        guard.unlock();
        clock.SleepFor(std::min({finish - now, deadline - now, kWaitSlice}));
        guard.lock();
    }
}

int32_t kdGetImageBuffer(HDRV driver, int32_t request, KdImageBuffer* buffer)
{
    return OnLockedRequest(KD_ORD_GET_IMAGE_BUFFER, driver, request,
                           [&](Manager& m, Request& r) -> int32_t {
                               if (FindBufferObject(m, buffer) == m.buffer_objects.end())
                                   return KD_ERR_INVALID_INPUT_PARAMETER;
                               buffer->iSize = int32_t(r.data.size());
                               buffer->iHeight = r.height;
                               buffer->iWidth = r.width;
                               buffer->pixelFormat = r.format;
                               buffer->iBytesPerPixel = r.bytes_per_pixel;
                               buffer->vpData = r.data.data();
                               buffer->iChannelCount = int32_t(r.channels.size());
                               buffer->pChannels = r.channels.data();
                               return KD_OK;
                           });
}

int32_t kdGetRequestResult(HDRV driver, int32_t request, int32_t* result)
{
    return OnLockedRequest(KD_ORD_GET_REQUEST_RESULT, driver, request,
                           [&](Manager&, Request& r) -> int32_t {
                               if (!result)
                                   return KD_ERR_INVALID_INPUT_PARAMETER;
                               *result = r.result;
                               return KD_OK;
                           });
}

int32_t kdCreateImageBuffer(HDRV driver, KdImageBuffer** buffer)
{
    return OnDriver(KD_ORD_CREATE_IMAGE_BUFFER, driver, [&](Manager& m, Device&) -> int32_t {
        if (!buffer)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        m.buffer_objects.push_back(std::make_unique<KdImageBuffer>());
        *buffer = m.buffer_objects.back().get();
        return KD_OK;
    });
}

int32_t kdFreeImageBuffer(KdImageBuffer* buffer)
{
    return Locked(KD_ORD_FREE_IMAGE_BUFFER, [&](Manager& m) -> int32_t {
        const auto it = FindBufferObject(m, buffer);
        if (it == m.buffer_objects.end())
            return KD_ERR_INVALID_INPUT_PARAMETER;
        m.buffer_objects.erase(it);
        return KD_OK;
    });
}

} // extern "C"
