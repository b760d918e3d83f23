#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include <vfw/v4l2_driver.h>

namespace {

// Fake devices by number: 1 is no capture device, 2 will not give RGB24, 3
// captures 2 x 2 RGB24 with rows padded to 8 bytes and one frame ready.
class FakeDevices {
public:
    vfw::V4l2Calls Calls()
    {
        return {
            [this](const char* path, int) {
                const int n = std::stoi(std::string(path).substr(10));
                if (n < 1 || n > 3)
                    return -1;
                open.insert(n);
                return n;
            },
            [this](int fd) {
                open.erase(fd);
                return 0;
            },
            [](int fd, unsigned long request, void* argument) {
                if (request == VIDIOC_QUERYCAP) {
                    auto* caps = static_cast<v4l2_capability*>(argument);
                    caps->capabilities = fd == 1 ? V4L2_CAP_VIDEO_OUTPUT : V4L2_CAP_VIDEO_CAPTURE;
                    return 0;
                }
                if (request == VIDIOC_S_FMT) {
                    auto& pix = static_cast<v4l2_format*>(argument)->fmt.pix;
                    if (fd == 2)
                        pix.pixelformat = V4L2_PIX_FMT_YUYV;
                    pix.width = 2;
                    pix.height = 2;
                    pix.bytesperline = 8;
                    pix.sizeimage = 16;
                    return 0;
                }
                return -1;
            },
            [this](int, void* buffer, size_t size) -> ssize_t {
                if (!ready) {
                    errno = EAGAIN;
                    return -1;
                }
                ready = false;
                const uint8_t rows[16] = {1, 2, 3, 4, 5, 6, 99, 99, 7, 8, 9, 10, 11, 12, 99, 99};
                std::memcpy(buffer, rows, std::min<size_t>(size, 16));
                return 16;
            }};
    }
    std::set<int> open;
    bool ready = true;
};

TEST(V4l2Driver, TakesTheFirstDeviceThatCapturesRgb24AndDropsRowPadding)
{
    FakeDevices devices;
    auto driver = vfw::OpenV4l2Driver(devices.Calls());
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(devices.open, std::set<int>{3});
    vfw::Frame frame;
    ASSERT_TRUE(driver->NextFrame(frame));
    EXPECT_EQ(frame.width, 2);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.rgb, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_FALSE(driver->NextFrame(frame)); // no frame ready: no waiting
    driver.reset();
    EXPECT_TRUE(devices.open.empty());
}

} // namespace
