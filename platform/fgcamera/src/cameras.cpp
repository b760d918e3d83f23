// The two camera models of the simulated bus.
#include "bus.h"

namespace fgsim {

namespace {

constexpr uint32_t kVendor = 0x00B09D; // vendor id of both models
constexpr uint32_t kDcam = fgcam::kDcam;

uint32_t Dcam(uint32_t format, uint32_t mode, uint32_t rate)
{
    return kDcam | fgcam::Code(format, mode, rate);
}

CameraConfig Common(int index, uint32_t model_byte, const char* model)
{
    CameraConfig config;
    config.guid = {0x10000000u + uint32_t(index), (kVendor << 8) | model_byte};
    config.card = 0;
    config.node = uint8_t(index);
    config.vendor = "Ondula Vision";
    config.model = model;
    config.features = {
        {FGP_BRIGHTNESS, 0, 255, 64, FGPF_CANAUTO},
        {FGP_SHARPNESS, 0, 7, 2, 0},
        {FGP_GAMMA, 0, 1, 0, 0},
        {FGP_SHUTTER, 1, 4095, 500, FGPF_CANAUTO | FGPF_CANONEPUSH},
        {FGP_GAIN, 0, 680, 100, FGPF_CANOFF | FGPF_CANAUTO},
        {FGP_TRIGGERDLY, 0, 4095, 0, FGPF_CANOFF},
    };
    // On/off and polarity; sources 0 and 7 (software); modes 0, 1 and 15.
    config.trigger_caps = FGPT_CANONOFF | FGPT_CANPOLARITY | (1u << 14) | (1u << 7);
    config.trigger_modes = (1u << 15) | (1u << 14) | (1u << 0);
    config.registers = {
        {0xF0F00600, 0x00000000}, {0xF0F00614, 0x80000000}, {0xF1000010, 0x12345678}};
    config.format7.max_width = 1280;
    config.format7.max_height = 1024;
    config.format7.unit_x = 8;
    config.format7.unit_y = 2;
    return config;
}

} // namespace

CameraConfig MonoCamera(int index)
{
    CameraConfig config = Common(index, 0x01, "IIDC Mono 1280");
    config.formats = {Dcam(0, 5, 4), Dcam(0, 5, 2), Dcam(0, 5, 3), Dcam(0, 5, 5), Dcam(0, 6, 2),
                      Dcam(0, 6, 3), Dcam(0, 6, 4), Dcam(1, 2, 2), Dcam(1, 2, 3), Dcam(1, 2, 4),
                      Dcam(1, 5, 2), Dcam(1, 5, 3), Dcam(1, 5, 4), Dcam(7, 0, 0)};
    config.format7.coding = CM_Y8;
    return config;
}

CameraConfig ColourCamera(int index)
{
    CameraConfig config = Common(index, 0x02, "IIDC Colour 1280");
    config.formats = {Dcam(0, 3, 4), Dcam(0, 3, 2), Dcam(0, 3, 3), Dcam(0, 0, 3), Dcam(0, 0, 4),
                      Dcam(0, 1, 2), Dcam(0, 1, 3), Dcam(0, 1, 4), Dcam(0, 2, 3), Dcam(0, 2, 4),
                      Dcam(0, 4, 3), Dcam(0, 4, 4), Dcam(7, 0, 0)};
    config.format7.coding = CM_YUV422;
    config.features.push_back({FGP_WHITEBALCB, 0, 1023, 512, FGPF_CANAUTO | FGPF_CANONEPUSH});
    config.features.push_back({FGP_WHITEBALCR, 0, 1023, 512, FGPF_CANAUTO | FGPF_CANONEPUSH});
    config.features.push_back({FGP_SATURATION, 0, 255, 128, 0});
    return config;
}

} // namespace fgsim
