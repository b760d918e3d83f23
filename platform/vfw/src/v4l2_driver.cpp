#include <vfw/v4l2_driver.h>

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vfw {

namespace {

constexpr int kDevices = 64;
constexpr int kAskedWidth = 640;
constexpr int kAskedHeight = 480;

class V4l2Driver : public CaptureDriver {
public:
    V4l2Driver(V4l2Calls calls, int fd, const v4l2_pix_format& format)
        : calls_(std::move(calls)), fd_(fd), format_(format), raw_(format.sizeimage)
    {
    }
    ~V4l2Driver() override { calls_.close(fd_); }

    bool NextFrame(Frame& into) override
    {
        const ssize_t got = calls_.read(fd_, raw_.data(), raw_.size());
        const std::size_t row = std::size_t(format_.width) * 3;
        const std::size_t stride = std::max<std::size_t>(format_.bytesperline, row);
        if (got < 0 || std::size_t(got) < stride * (format_.height - 1) + row)
            return false;
        into.width = int(format_.width);
        into.height = int(format_.height);
        into.rgb.resize(row * format_.height);
        for (uint32_t y = 0; y < format_.height; ++y)
            std::memcpy(into.rgb.data() + row * y, raw_.data() + stride * y, row);
        return true;
    }

private:
    V4l2Calls calls_;
    int fd_;
    v4l2_pix_format format_;
    std::vector<uint8_t> raw_;
};

bool Captures(const V4l2Calls& calls, int fd)
{
    v4l2_capability caps{};
    if (calls.ioctl(fd, VIDIOC_QUERYCAP, &caps) < 0)
        return false;
    const uint32_t own =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    return own & V4L2_CAP_VIDEO_CAPTURE;
}

// Asks for RGB24; the device's answer, or false when it will not give RGB24.
bool SetRgb24(const V4l2Calls& calls, int fd, v4l2_pix_format* format)
{
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.width = kAskedWidth;
    f.fmt.pix.height = kAskedHeight;
    f.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    f.fmt.pix.field = V4L2_FIELD_ANY;
    if (calls.ioctl(fd, VIDIOC_S_FMT, &f) < 0 || f.fmt.pix.pixelformat != V4L2_PIX_FMT_RGB24 ||
        f.fmt.pix.width == 0 || f.fmt.pix.height == 0)
        return false;
    const std::size_t least = std::size_t(f.fmt.pix.width) * 3 * f.fmt.pix.height;
    f.fmt.pix.sizeimage = std::max<uint32_t>(f.fmt.pix.sizeimage, uint32_t(least));
    *format = f.fmt.pix;
    return true;
}

} // namespace

V4l2Calls LibV4l2Calls()
{
    return {[](const char* path, int flags) { return v4l2_open(path, flags); },
            [](int fd) { return v4l2_close(fd); },
            [](int fd, unsigned long request, void* argument) {
                return v4l2_ioctl(fd, request, argument);
            },
            [](int fd, void* buffer, size_t size) { return v4l2_read(fd, buffer, size); }};
}

std::unique_ptr<CaptureDriver> OpenV4l2Driver(const V4l2Calls& calls)
{
    for (int i = 0; i < kDevices; ++i) {
        const std::string path = "/dev/video" + std::to_string(i);
        const int fd = calls.open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd < 0)
            continue;
        v4l2_pix_format format{};
        if (Captures(calls, fd) && SetRgb24(calls, fd, &format))
            return std::make_unique<V4l2Driver>(calls, fd, format);
        calls.close(fd);
    }
    return nullptr;
}

} // namespace vfw
