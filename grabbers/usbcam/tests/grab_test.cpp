#include "usbcam_test_support.h"

namespace {

using namespace std::chrono_literals;
using UsbcamGrabTest = UsbcamTest;

// b of pixel (5, 3) in the first frame, exposed 20000 us: 5 + 9 + 200.
constexpr uint8_t kB = 214;
constexpr uint8_t kG = uint8_t(kB + 85);
constexpr uint8_t kBlue = uint8_t(kB + 170);

TEST_F(UsbcamGrabTest, EveryPixelFormatBecomesItsHostImages)
{
    kdsim::CameraConfig planar = Camera("kdLyra-A2C", 3, KD_PIXEL_PLANAR);
    planar.plane_offsets = {2 * 640 * 480, 640 * 480, 0};
    kdsim::CameraConfig misplaced = Camera("kdLyra-A2C", 4, KD_PIXEL_PLANAR);
    misplaced.plane_offsets = {0, 640 * 480, 2 * 640 * 480 + 1};
    Start({Camera("kdLyra-A1G", 0), Camera("kdLyra-A2G", 1, KD_PIXEL_MONO16),
           Camera("kdLyra-A2C", 2), planar, misplaced, Camera("kdLyra-A2C", 5, KD_PIXEL_RGB24)});
    struct Case {
        const char* device;
        bool volatile_mode;
        FGstatus status;
        int32_t count, kind;
        int32_t bits;
    };
    const Case cases[] = {
        {"0", false, FG_SUCCESS, 1, BYTE_IMAGE, 8},   {"0", true, FG_SUCCESS, 1, BYTE_IMAGE, 8},
        {"1", false, FG_SUCCESS, 1, UINT2_IMAGE, 16}, {"1", true, FG_SUCCESS, 1, UINT2_IMAGE, 16},
        {"2", false, FG_SUCCESS, 3, BYTE_IMAGE, 8},   {"2", true, FG_SUCCESS, 1, INT4_IMAGE, 8},
        {"3", false, FG_SUCCESS, 3, BYTE_IMAGE, 8},   {"3", true, FG_SUCCESS, 3, BYTE_IMAGE, 8},
        {"4", false, FG_ERR_GRAB, 0, 0, 0},           {"5", false, FG_ERR_PARAM_UNKNOWN, 0, 0, 0},
    };
    for (const Case& c : cases) {
        FGInstance& i = Opened("kdLyra*", c.device);
        if (c.volatile_mode) {
            ASSERT_EQ(Set(i, "volatile", Text("enable")), FG_SUCCESS);
        }
        Images images;
        ASSERT_EQ(Grab(i, images), c.status) << c.device;
        EXPECT_EQ(kdsim::Count().locked, 0);
        if (c.status != FG_SUCCESS) {
            Close(i);
            continue;
        }
        ASSERT_EQ(images.count, c.count) << c.device;
        EXPECT_EQ(i.num_channels, c.count);
        EXPECT_EQ(i.bits_per_channel, c.bits);
        EXPECT_EQ(i.image_width, images.record[0].width);
        const VImageRecord& first = images.record[0];
        EXPECT_EQ(first.kind, c.kind);
        // Volatile images point into the request's buffer, which the host copies.
        EXPECT_EQ(first.owned == nullptr, c.volatile_mode) << c.device;
        const int at = 3 * first.width + 5;
        if (c.kind == UINT2_IMAGE) {
            EXPECT_EQ(first.pixel.u[at], uint16_t(256 * kB + 5));
            EXPECT_EQ(first.num_bits, 16);
        } else if (c.kind == INT4_IMAGE) {
            EXPECT_EQ(uint32_t(first.pixel.i[at]), 0xFF000000u | kB << 16 | kG << 8 | kBlue);
        } else {
            const uint8_t expected[] = {kB, kG, kBlue};
            for (int channel = 0; channel < c.count; ++channel)
                EXPECT_EQ(images.Byte(channel, 5, 3), expected[channel]) << c.device << channel;
        }
        if (c.device[0] == '0') {
            EXPECT_EQ(Stamp(first.pixel.p), std::make_pair(0u, 1u));
        }
        Close(i);
    }
}

TEST_F(UsbcamGrabTest, AnAsynchronousImageOlderThanTheDelayIsReplaced)
{
    for (const int age : {40, 41}) {
        FGInstance& i = Opened();
        ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 40.4), FG_SUCCESS);
        clock_.Advance(std::chrono::milliseconds(age));
        Images images;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, 40.4, images.record, &images.count), FG_SUCCESS);
        EXPECT_EQ(Stamp(images.record[0].pixel.p).first, age == 40 ? 0u : 1u) << age;
        EXPECT_EQ(i.async_grab, 0);
        EXPECT_EQ(kdsim::Count().queued, 1); // the next one, for the next asynchronous grab
        Close(i);
    }
    FGInstance& i = Opened();
    ASSERT_EQ(Set(i, "request_queue_depth", Int(3)), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 100), FG_SUCCESS);
    EXPECT_EQ(kdsim::Count().queued, 3);
    // A synchronous grab after a start waits for a fresh image.
    clock_.Advance(15ms);
    const auto before = clock_.Now();
    Images images;
    ASSERT_EQ(Grab(i, images), FG_SUCCESS);
    EXPECT_EQ(clock_.Now() - before, 20ms);
    EXPECT_EQ(kdsim::Count().queued, 0);
    // The request list shrinks after the queue has been reset.
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 100), FG_SUCCESS);
    ASSERT_EQ(Set(i, "request_queue_depth", Int(1)), FG_SUCCESS);
    EXPECT_EQ(kdsim::Requests(0), 2);
    EXPECT_EQ(kdsim::Count().queued, 0);

    // A late image, come while waiting again, is replaced by a fresh one.
    ASSERT_EQ(Set(i, "grab_timeout", Int(30)), FG_SUCCESS);
    ASSERT_EQ(Set(i, "Camera/Expose_us", Int(50000)), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 0), FG_SUCCESS);
    ASSERT_EQ(Set(i, "Camera/Expose_us", Int(5000)), FG_SUCCESS);
    Images fresh;
    ASSERT_EQ(cls_.FGGrabAsync(1, &i, 0, fresh.record, &fresh.count), FG_SUCCESS);
    EXPECT_EQ(Stamp(fresh.record[0].pixel.p).first, 2u);
    EXPECT_EQ(fresh.Byte(0, 5, 3), Mono(5, 3, 2, 5000));
    Close(i);

    // Without a start, the first image is judged by the last asynchronous queueing.
    for (const double delay : {1000.0, 50.0}) {
        FGInstance& j = Opened();
        Images images;
        ASSERT_EQ(cls_.FGGrabAsync(1, &j, 1000, images.record, &images.count), FG_SUCCESS);
        ASSERT_EQ(Set(j, "do_abort_grab", Int(0)), FG_SUCCESS);
        clock_.Advance(100ms);
        ASSERT_EQ(cls_.FGGrabAsync(1, &j, delay, images.record, &images.count), FG_SUCCESS);
        EXPECT_EQ(Stamp(images.record[0].pixel.p).first, delay > 120 ? 1u : 2u) << delay;
        Close(j);
    }
}

TEST_F(UsbcamGrabTest, AGrabCancelsAnotherInstancesStartAndUsesItsOwnSetting)
{
    FGInstance& a = Opened();
    FGInstance& b = Opened();
    ASSERT_EQ(Set(a, "Camera/Expose_us", Int(10000)), FG_SUCCESS);
    ASSERT_EQ(Set(b, "Camera/Expose_us", Int(30000)), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &a, 1000), FG_SUCCESS);
    Images first;
    ASSERT_EQ(Grab(b, first), FG_SUCCESS);
    EXPECT_EQ(Stamp(first.record[0].pixel.p), std::make_pair(0u, 2u));
    EXPECT_EQ(first.Byte(0, 5, 3), Mono(5, 3, 0, 30000));
    Images second;
    ASSERT_EQ(cls_.FGGrabAsync(1, &a, 1000, second.record, &second.count), FG_SUCCESS);
    EXPECT_EQ(Stamp(second.record[0].pixel.p), std::make_pair(1u, 1u));
    EXPECT_EQ(second.Byte(0, 5, 3), Mono(5, 3, 1, 10000));
    // Closing an instance drops the request it left queued.
    Close(a);
    Images third;
    ASSERT_EQ(Grab(b, third), FG_SUCCESS);
    EXPECT_EQ(Stamp(third.record[0].pixel.p), std::make_pair(2u, 2u));
}

TEST_F(UsbcamGrabTest, VolatileImagesOfASharedCameraKeepTheirFrameWhileAnotherInstanceGrabs)
{
    FGInstance& a = Opened();
    FGInstance& b = Opened();
    ASSERT_EQ(Set(a, "volatile", Text("enable")), FG_SUCCESS);
    Images grabbed;
    ASSERT_EQ(Grab(a, grabbed), FG_SUCCESS);
    // The host takes the images over after the grab has returned, when the
    // other instance may already grab.
    Images other;
    ASSERT_EQ(Grab(b, other), FG_SUCCESS);
    EXPECT_EQ(Stamp(grabbed.record[0].pixel.p), std::make_pair(0u, 1u));
    EXPECT_EQ(grabbed.Byte(0, 5, 3), Mono(5, 3, 0, 20000));
}

TEST_F(UsbcamGrabTest, FailedGrabsGiveEveryRequestBack)
{
    FGInstance& i = Opened();
    ASSERT_EQ(Set(i, "grab_timeout", Int(100)), FG_SUCCESS);
    const auto grab = [&] {
        Images images;
        return Grab(i, images);
    };
    kdsim::StallRequest(0, 1);
    const auto before = clock_.Now();
    EXPECT_EQ(grab(), FG_ERR_GRAB);
    EXPECT_EQ(clock_.Now() - before, 100ms);
    kdsim::FailCall(KD_ORD_GET_IMAGE_BUFFER, 1, KD_ERR_UNSUPPORTED_OPERATION);
    EXPECT_EQ(grab(), FG_ERR_GRAB);
    ASSERT_EQ(Set(i, "start_column", Int(10)), FG_SUCCESS); // the part leaves the sensor
    EXPECT_EQ(grab(), FG_ERR_GRAB);
    EXPECT_EQ(kdsim::Count().locked, 0);

    // A started request that fails is given back and a new one taken.
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 0), FG_SUCCESS);
    ASSERT_EQ(Set(i, "start_column", Int(0)), FG_SUCCESS);
    Images images;
    ASSERT_EQ(cls_.FGGrabAsync(1, &i, 0, images.record, &images.count), FG_SUCCESS);
    EXPECT_EQ(images.Byte(0, 5, 3), Mono(5, 3, 1));
    EXPECT_EQ(kdsim::Count().locked, 0);

    FGInstance& other = Opened();
    kdsim::SetRequestControls(0, 0);
    EXPECT_EQ(grab(), FG_ERR_GRAB);
    Close(other, FG_ERR_SET_FAILED); // the remaining instance's setting cannot be selected
}

TEST_F(UsbcamGrabTest, ExposureAndGainSetThroughThePluginDarkenOrBrightenTheGrabbedFrame)
{
    struct Case {
        int32_t expose_us;
        double gain_db;
        uint8_t at_5, at_130; // row 3 of frame f: b = x + 9 + 7 f + e / 100
    };
    // As the workbench opens the camera, as is; then less light, then more (clipped).
    const Case cases[] = {{20000, 15.0, 214, 83}, {2500, 0.0, 23, 85}, {100000, 12.0, 7, 255}};
    FGInstance& i = Opened();
    for (const Case& c : cases) {
        ASSERT_EQ(Set(i, "Camera/Expose_us", Int(c.expose_us)), FG_SUCCESS);
        ASSERT_EQ(Set(i, "Camera/Gain_dB", Real(c.gain_db)), FG_SUCCESS);
        Images images;
        ASSERT_EQ(Grab(i, images), FG_SUCCESS);
        EXPECT_EQ(images.Byte(0, 5, 3), c.at_5) << c.expose_us << " us, " << c.gain_db << " dB";
        EXPECT_EQ(images.Byte(0, 130, 3), c.at_130) << c.expose_us << " us, " << c.gain_db;
    }
    Close(i);
}

} // namespace
