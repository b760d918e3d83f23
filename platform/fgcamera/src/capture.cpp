// Frame buffers and the frames that fill them.
#include "bus.h"

namespace fgcam {

namespace {

bool Streaming(const Camera& camera)
{
    const uint32_t burst = camera.SettingValue(FGP_BURSTCOUNT);
    return camera.capture_open && camera.started && camera.delivering &&
           !((camera.trigger >> FGTRIG_ON_SHIFT) & 1) && camera.Period() > Duration::zero() &&
           (burst == 0 || camera.burst_done < burst);
}

// The end of the first frame that ends after `moment`.
Duration FrameEndAfter(const Camera& camera, Duration moment)
{
    const Duration period = camera.Period();
    const Duration since = moment > camera.start ? moment - camera.start : Duration::zero();
    return camera.start + period * (since / period + 1);
}

Buffer* OldestEmpty(Camera& camera)
{
    for (const size_t index : camera.queue)
        if (!camera.buffers[index].filled)
            return &camera.buffers[index];
    return nullptr;
}

void FillBuffer(const Bus& bus, Camera& camera, Buffer& buffer, Duration end)
{
    Paint(camera, camera.frames, buffer.data.data());
    buffer.filled = true;
    buffer.frame = {buffer.data.data(), uint32_t(buffer.data.size()), camera.frames,
                    FileTimeAt(bus, end)};
    ++camera.frames;
    ++camera.burst_done;
    camera.last_fill = end;
}

} // namespace

uint32_t OpenCapture(Camera& camera)
{
    if (camera.capture_open)
        return FCE_WRONGSTATE;
    const uint64_t bytes = FrameBytes(camera.Frame());
    if (bytes == 0)
        return FCE_NOTAVAILABLE;
    camera.buffers.assign(camera.SettingValue(FGP_FRAMEBUFFERCOUNT), Buffer{});
    for (Buffer& buffer : camera.buffers)
        buffer.data.resize(bytes);
    camera.queue.clear();
    camera.capture_open = true;
    camera.started = false;
    return FCE_NOERROR;
}

void CloseCapture(Camera& camera)
{
    camera.started = false;
    camera.capture_open = false;
    camera.buffers.clear();
    camera.queue.clear();
    ++camera.discards;
}

void StartDevice(Bus& bus, Camera& camera)
{
    if (camera.started) {
        if ((camera.trigger >> FGTRIG_ON_SHIFT) & 1)
            Trigger(bus, camera);
        return;
    }
    camera.started = true;
    camera.start = bus.Now();
    camera.last_fill = camera.start;
    camera.burst_done = 0;
}

void Fill(Bus& bus, Camera& camera)
{
    const Duration now = bus.Now();
    while (Streaming(camera)) {
        Buffer* buffer = OldestEmpty(camera);
        if (!buffer)
            return;
        const Duration end = FrameEndAfter(camera, std::max(buffer->queued_at, camera.last_fill));
        if (end > now)
            return;
        FillBuffer(bus, camera, *buffer, end);
    }
}

std::optional<Duration> NextFill(const Camera& camera)
{
    if (!Streaming(camera))
        return std::nullopt;
    for (const size_t index : camera.queue) {
        const Buffer& buffer = camera.buffers[index];
        if (!buffer.filled)
            return FrameEndAfter(camera, std::max(buffer.queued_at, camera.last_fill));
    }
    return std::nullopt;
}

void Trigger(Bus& bus, Camera& camera)
{
    Buffer* buffer = OldestEmpty(camera);
    if (buffer && camera.delivering)
        FillBuffer(bus, camera, *buffer, bus.Now());
}

void Discard(Camera& camera)
{
    for (const size_t index : camera.queue) {
        camera.buffers[index].state = Buffer::State::Free;
        camera.buffers[index].filled = false;
    }
    camera.queue.clear();
    ++camera.discards;
}

} // namespace fgcam
