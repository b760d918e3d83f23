// A simulated camera's geometry, timing and power-up state.
#include "bus.h"

namespace fgcam {

namespace {

constexpr Duration kPacketTime = std::chrono::microseconds(125);

} // namespace

Geometry Camera::Frame() const
{
    if (InFormat7())
        return {f7_width, f7_height, config.format7.coding};
    Geometry geometry{};
    StandardMode(First(Code()), Second(Code()), &geometry);
    return geometry;
}

uint32_t Camera::PacketSize() const
{
    if (InFormat7())
        return f7_packet;
    // One packet each 125 us carries a frame in 1 / rate seconds, rate being
    // 15 x 2 to the rate number / 8: bytes x rate / 8000 a packet.
    const uint64_t scaled = FrameBytes(Frame()) * 15 << Third(Code());
    const auto bytes = uint32_t((scaled + 63999) / 64000);
    return (bytes + 3) / 4 * 4;
}

Duration Camera::Period() const
{
    if (InFormat7()) {
        if (f7_packet == 0)
            return Duration::zero();
        const uint64_t bytes = FrameBytes(Frame());
        return kPacketTime * int64_t((bytes + f7_packet - 1) / f7_packet);
    }
    const double rate = RateOf(Third(Code()));
    return rate > 0 ? Duration(int64_t(1e9 / rate)) : Duration::zero();
}

Feature* Camera::FindFeature(uint16_t id)
{
    for (Feature& feature : features)
        if (feature.config.id == id)
            return &feature;
    return nullptr;
}

void ResetFeatures(Camera& camera)
{
    camera.features.clear();
    for (const fgsim::FeatureConfig& config : camera.config.features)
        camera.features.push_back({config, config.value});
    camera.trigger = 0;
}

void ResetCameras(Bus& bus, const std::vector<fgsim::CameraConfig>& configs)
{
    bus.cameras.clear();
    for (const fgsim::CameraConfig& config : configs) {
        Camera camera;
        camera.config = config;
        camera.index = int(bus.cameras.size());
        camera.f7_width = config.format7.max_width;
        camera.f7_height = config.format7.max_height;
        camera.f7_packet = config.format7.packet_max;
        camera.settings = {
            {FGP_DMAMODE, {1, 1, 1, false}},          {FGP_BURSTCOUNT, {0, 0, 255, true}},
            {FGP_FRAMEBUFFERCOUNT, {2, 1, 32, true}}, {FGP_USEIRMFORBW, {1, 1, 1, false}},
            {FGP_ADJUSTPARAMETERS, {0, 0, 0, false}}, {FGP_STARTIMMEDIATELY, {0, 0, 0, false}},
        };
        for (const fgsim::RegisterConfig& r : config.registers)
            camera.registers[r.address] = r.value;
        ResetFeatures(camera);
        bus.cameras.push_back(std::move(camera));
    }
}

} // namespace fgcam
