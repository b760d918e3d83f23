// The frames of the simulated cameras (the formula in simulation.h).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include <base/exposure.h>

#include "manager.h"

namespace kdmgr {

namespace {

struct Layout {
    int32_t bytes_per_pixel;
    int32_t colour_offsets[3]; // of R, G, B in an interleaved pixel; -1: mono
};

Layout LayoutOf(int32_t format)
{
    switch (format) {
    case KD_PIXEL_MONO16:
        return {2, {-1, -1, -1}};
    case KD_PIXEL_RGB32:
        return {4, {2, 1, 0}};
    case KD_PIXEL_RGB24:
        return {3, {2, 1, 0}};
    }
    return {1, {-1, -1, -1}};
}

KdChannelDesc Channel(int32_t offset, int32_t line_pitch, int32_t pixel_pitch, const char* name)
{
    KdChannelDesc channel{offset, line_pitch, pixel_pitch, {}};
    std::strncpy(channel.szChannelDesc, name, sizeof channel.szChannelDesc - 1);
    return channel;
}

// The camera's level control holds the picture while exposure times gain lies
// within 32 dB; beyond, the picture darkens or brightens in proportion.
// Levels in microseconds at unit gain, per mille.
constexpr int64_t kPerMille = 1000;
constexpr int64_t kHeldFrom = 5000 * kPerMille;
constexpr int64_t kHeldTo = 200000 * kPerMille;

// The samples of the pattern as the request's exposure and gain deliver them.
class Exposure {
public:
    explicit Exposure(const Snapshot& s)
        : level_(int64_t(s.expose_us) * std::llround(kPerMille * std::pow(10.0, s.gain_db / 20))),
          held_(std::clamp(level_, kHeldFrom, kHeldTo))
    {
        for (size_t b = 0; b < bytes_.size(); ++b)
            bytes_[b] = uint8_t(Scaled(int64_t(b), 255));
    }
    // The 8-bit sample of pattern value `b` (taken mod 256).
    uint8_t Byte(int64_t b) const { return bytes_[uint8_t(b)]; }
    uint16_t Word(uint16_t sample) const { return uint16_t(Scaled(sample, 65535)); }

private:
    int64_t Scaled(int64_t sample, int64_t max) const
    {
        return ondula::ExposedSample(sample, level_, 1, held_, 1, max);
    }

    int64_t level_;
    int64_t held_; // the level that delivers the pattern as is
    std::array<uint8_t, 256> bytes_{};
};

void PutWord(uint8_t* at, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(word >> (8 * i));
}

} // namespace

void Paint(const kdsim::CameraConfig& camera, int32_t frame, Request& request)
{
    const Snapshot& s = request.snapshot;
    const int32_t w = s.aoi_w, h = s.aoi_h;
    const size_t plane = size_t(w) * size_t(h);
    // b at pixel (0, 0) of the image part.
    const int64_t origin = s.aoi_x + 3 * int64_t(s.aoi_y) + 7 * int64_t(frame) + s.expose_us / 100;
    const Exposure exposure(s);
    static const char* const kColours[] = {"R", "G", "B"};
    request.width = w;
    request.height = h;
    request.format = camera.format;
    request.channels.clear();
    if (camera.format == KD_PIXEL_PLANAR) {
        request.bytes_per_pixel = 1;
        request.data.assign(3 * plane, 0);
        for (int32_t c = 0; c < 3; ++c) {
            const int64_t offset = c < int32_t(camera.plane_offsets.size())
                                       ? camera.plane_offsets[size_t(c)]
                                       : int64_t(c) * int64_t(plane);
            request.channels.push_back(Channel(int32_t(offset), w, 1, kColours[c]));
            if (offset < 0 || size_t(offset) + plane > request.data.size())
                continue;
            uint8_t* out = request.data.data() + offset;
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    *out++ = exposure.Byte(origin + x + 3 * y + 85 * c);
        }
    } else {
        const Layout layout = LayoutOf(camera.format);
        const int32_t bpp = layout.bytes_per_pixel;
        request.bytes_per_pixel = bpp;
        request.data.resize(plane * size_t(bpp));
        const bool mono = layout.colour_offsets[0] < 0;
        if (mono)
            request.channels.push_back(Channel(0, w * bpp, bpp, "Mono"));
        else
            for (int32_t c = 0; c < 3; ++c)
                request.channels.push_back(
                    Channel(layout.colour_offsets[c], w * bpp, bpp, kColours[c]));
        uint8_t* out = request.data.data();
        for (int32_t y = 0; y < h; ++y, out += size_t(w) * size_t(bpp)) {
            const int64_t row = origin + 3 * y; // b at the row's first pixel
            if (bpp == 1) {
                for (int32_t x = 0; x < w; ++x)
                    out[x] = exposure.Byte(row + x);
            } else if (bpp == 2) {
                for (int32_t x = 0; x < w; ++x) {
                    const uint16_t sample = exposure.Word(uint16_t(256 * (row + x) + s.aoi_x + x));
                    out[2 * x] = uint8_t(sample);
                    out[2 * x + 1] = uint8_t(sample >> 8);
                }
            } else {
                for (int32_t x = 0; x < w; ++x) {
                    uint8_t* pixel = out + x * bpp;
                    for (int32_t c = 0; c < 3; ++c)
                        pixel[layout.colour_offsets[c]] = exposure.Byte(row + x + 85 * c);
                    if (bpp == 4)
                        pixel[3] = 255;
                }
            }
        }
    }
    if (request.data.size() >= 8) {
        PutWord(request.data.data(), uint32_t(frame));
        PutWord(request.data.data() + 4, uint32_t(s.setting));
    }
}

} // namespace kdmgr
