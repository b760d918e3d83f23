// CFGCamera: each operation finds its camera on the bus under the bus lock.
#include <algorithm>
#include <cstring>

#include "bus.h"

using namespace fgcam;
using fgsim::Call;

namespace {

constexpr Duration kWaitSlice = std::chrono::milliseconds(10);

void CopyName(const std::string& name, char* buffer, uint32_t length)
{
    const size_t n = std::min<size_t>(name.size(), length - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
}

} // namespace

struct FGCameraLink {
    // The camera `object` is connected to on the current bus, or null.
    static Camera* Find(Bus& bus, const CFGCamera& object)
    {
        if (object.camera_ < 0 || object.generation_ != bus.generation ||
            object.camera_ >= int(bus.cameras.size()))
            return nullptr;
        return &bus.cameras[object.camera_];
    }

    // What every operation checks first, under the bus lock: the fault a test
    // set for `call`, the module, the connection (into `camera`).
    static uint32_t Enter(Bus& bus, const CFGCamera& object, Call call, Camera** camera)
    {
        if (const uint32_t fault = bus.Fault(call))
            return fault;
        if (bus.module_users == 0)
            return FCE_NOTINITIALIZED;
        *camera = Find(bus, object);
        return *camera ? FCE_NOERROR : FCE_NOTCONNECTED;
    }

    // Runs `operation` on the connected camera under the bus lock.
    template <typename Operation>
    static uint32_t With(const CFGCamera& object, Call call, Operation&& operation)
    {
        Bus& bus = TheBus();
        std::lock_guard guard(bus.lock);
        Camera* camera = nullptr;
        const uint32_t entered = Enter(bus, object, call, &camera);
        return entered != FCE_NOERROR ? entered : operation(bus, *camera);
    }

    template <typename Operation>
    static uint32_t Capturing(const CFGCamera& object, Call call, Operation&& operation)
    {
        return With(object, call, [&](Bus& bus, Camera& camera) -> uint32_t {
            if (!camera.capture_open)
                return FCE_WRONGSTATE;
            return operation(bus, camera);
        });
    }

    static uint32_t Connect(CFGCamera& object, const UINT32HL* guid, void* context)
    {
        Bus& bus = TheBus();
        std::lock_guard guard(bus.lock);
        if (const uint32_t fault = bus.Fault(Call::Connect))
            return fault;
        if (bus.module_users == 0)
            return FCE_NOTINITIALIZED;
        if (!guid)
            return FCE_BADPARAMETER;
        if (Find(bus, object))
            return FCE_BUSY;
        for (Camera& camera : bus.cameras)
            if (camera.config.guid.Low == guid->Low && camera.config.guid.High == guid->High) {
                if (camera.connected)
                    return FCE_BUSY;
                camera.connected = true;
                camera.frames = 0;
                object.camera_ = camera.index;
                object.generation_ = bus.generation;
                object.context_ = context;
                ++bus.connects;
                return FCE_NOERROR;
            }
        return FCE_NOTFOUND;
    }

    static void Release(CFGCamera& object, Camera& camera)
    {
        CloseCapture(camera);
        camera.connected = false;
        object.camera_ = -1;
    }

    static void ReleaseIfConnected(CFGCamera& object)
    {
        Bus& bus = TheBus();
        std::lock_guard guard(bus.lock);
        if (Camera* camera = Find(bus, object))
            Release(object, *camera);
    }

    static uint32_t GetFrame(const CFGCamera& object, FGFRAME* frame, uint32_t timeout_ms)
    {
        Bus& bus = TheBus();
        std::unique_lock lock(bus.lock);
        Camera* camera = nullptr;
        if (const uint32_t entered = Enter(bus, object, Call::GetFrame, &camera))
            return entered;
        if (!camera->capture_open)
            return FCE_WRONGSTATE;
        const Duration deadline = bus.Now() + std::chrono::milliseconds(timeout_ms);
        const uint64_t discards = camera->discards;
        for (;;) {
            Fill(bus, *camera);
            if (!camera->queue.empty() && camera->buffers[camera->queue.front()].filled) {
                if (frame) {
                    Buffer& buffer = camera->buffers[camera->queue.front()];
                    camera->queue.pop_front();
                    buffer.state = Buffer::State::Taken;
                    *frame = buffer.frame;
                }
                return FCE_NOERROR;
            }
            const Duration now = bus.Now();
            if (now >= deadline)
                return FCE_TIMEOUT;
            const Duration wake = std::min(deadline, NextFill(*camera).value_or(deadline));
            Clock& clock = *bus.clock;
            lock.unlock();
            clock.SleepFor(std::min(wake - now, kWaitSlice));
            lock.lock();
            camera = Find(bus, object);
            if (!camera)
                return FCE_NOTCONNECTED;
            if (camera->discards != discards)
                return FCE_DISCARDED;
        }
    }
};

CFGCamera::CFGCamera() = default;

CFGCamera::~CFGCamera() { FGCameraLink::ReleaseIfConnected(*this); }

void* CFGCamera::GetPtrDCam()
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    return FGCameraLink::Find(bus, *this);
}

uint32_t CFGCamera::WriteRegister(uint32_t address, uint32_t value)
{
    return FGCameraLink::With(*this, Call::WriteRegister, [&](Bus&, Camera& camera) -> uint32_t {
        const auto it = camera.registers.find(address);
        if (it == camera.registers.end())
            return FCE_NOTAVAILABLE;
        it->second = value;
        return FCE_NOERROR;
    });
}

uint32_t CFGCamera::ReadRegister(uint32_t address, uint32_t* value)
{
    return FGCameraLink::With(*this, Call::ReadRegister, [&](Bus&, Camera& camera) -> uint32_t {
        const auto it = camera.registers.find(address);
        if (!value)
            return FCE_BADPARAMETER;
        if (it == camera.registers.end())
            return FCE_NOTAVAILABLE;
        *value = it->second;
        return FCE_NOERROR;
    });
}

uint32_t CFGCamera::Connect(const UINT32HL* guid, void* context)
{
    return FGCameraLink::Connect(*this, guid, context);
}

uint32_t CFGCamera::Disconnect()
{
    return FGCameraLink::With(*this, Call::Disconnect, [&](Bus&, Camera& camera) {
        FGCameraLink::Release(*this, camera);
        return uint32_t(FCE_NOERROR);
    });
}

uint32_t CFGCamera::SetParameter(uint16_t id, uint32_t value)
{
    return FGCameraLink::With(*this, Call::SetParameter, [&](Bus& bus, Camera& camera) {
        return fgcam::SetParameter(bus, camera, id, value);
    });
}

uint32_t CFGCamera::GetParameter(uint16_t id, uint32_t* value)
{
    return FGCameraLink::With(*this, Call::GetParameter, [&](Bus& bus, Camera& camera) {
        return value ? fgcam::GetParameter(bus, camera, id, value) : uint32_t(FCE_BADPARAMETER);
    });
}

uint32_t CFGCamera::GetParameterInfo(uint16_t id, FGPINFO* info)
{
    return FGCameraLink::With(*this, Call::GetParameterInfo, [&](Bus& bus, Camera& camera) {
        return info ? fgcam::GetParameterInfo(bus, camera, id, info) : uint32_t(FCE_BADPARAMETER);
    });
}

uint32_t CFGCamera::OpenCapture()
{
    return FGCameraLink::With(*this, Call::OpenCapture, [](Bus& bus, Camera& camera) {
        const uint32_t result = fgcam::OpenCapture(camera);
        bus.captures += result == FCE_NOERROR;
        return result;
    });
}

uint32_t CFGCamera::CloseCapture()
{
    return FGCameraLink::Capturing(*this, Call::CloseCapture, [](Bus&, Camera& camera) {
        fgcam::CloseCapture(camera);
        return uint32_t(FCE_NOERROR);
    });
}

uint32_t CFGCamera::StartDevice()
{
    return FGCameraLink::Capturing(*this, Call::StartDevice, [](Bus& bus, Camera& camera) {
        fgcam::StartDevice(bus, camera);
        return uint32_t(FCE_NOERROR);
    });
}

uint32_t CFGCamera::StopDevice()
{
    return FGCameraLink::Capturing(*this, Call::StopDevice, [](Bus&, Camera& camera) {
        camera.started = false;
        return uint32_t(FCE_NOERROR);
    });
}

uint32_t CFGCamera::GetFrame(FGFRAME* frame, uint32_t timeout_ms)
{
    return FGCameraLink::GetFrame(*this, frame, timeout_ms);
}

uint32_t CFGCamera::PutFrame(const FGFRAME* frame)
{
    return FGCameraLink::Capturing(*this, Call::PutFrame, [&](Bus& bus, Camera& camera) {
        for (size_t i = 0; i < camera.buffers.size(); ++i) {
            Buffer& buffer = camera.buffers[i];
            if (!frame && buffer.state == Buffer::State::Free) {
                buffer.state = Buffer::State::Queued;
                buffer.filled = false;
                buffer.queued_at = bus.Now();
                camera.queue.push_back(i);
                return uint32_t(FCE_NOERROR);
            }
            if (frame && buffer.state == Buffer::State::Taken &&
                buffer.data.data() == frame->pData) {
                buffer.state = Buffer::State::Free;
                return uint32_t(FCE_NOERROR);
            }
        }
        return uint32_t(frame ? FCE_BADPARAMETER : FCE_NOBUFFER);
    });
}

uint32_t CFGCamera::DiscardFrames()
{
    return FGCameraLink::Capturing(*this, Call::DiscardFrames, [](Bus&, Camera& camera) {
        Discard(camera);
        return uint32_t(FCE_NOERROR);
    });
}

uint32_t CFGCamera::GetDeviceName(char* model, uint32_t length, char* vendor)
{
    return FGCameraLink::With(*this, Call::GetDeviceName, [&](Bus&, Camera& camera) -> uint32_t {
        if (!model || !vendor || length == 0)
            return FCE_BADPARAMETER;
        CopyName(camera.config.model, model, length);
        CopyName(camera.config.vendor, vendor, length);
        return FCE_NOERROR;
    });
}

void* CFGCamera::GetContext() { return context_; }
