// The V4L2 capture driver: the first video capture device among /dev/video0
// to /dev/video63, read through Debian's libv4l2, which converts the device's
// own formats to RGB24.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>

#include <vfw/capture_driver.h>

namespace vfw {

// The device calls the driver makes: libv4l2's, or a fake device's in tests.
struct V4l2Calls {
    std::function<int(const char* path, int flags)> open;
    std::function<int(int fd)> close;
    std::function<int(int fd, unsigned long request, void* argument)> ioctl;
    std::function<ssize_t(int fd, void* buffer, size_t size)> read;
};

// libv4l2's v4l2_open, v4l2_close, v4l2_ioctl and v4l2_read.
V4l2Calls LibV4l2Calls();

// A driver for the first device that captures video and accepts RGB24
// (640 x 480 asked, the size the device gives taken), opened without blocking;
// null when there is none.
std::unique_ptr<CaptureDriver> OpenV4l2Driver(const V4l2Calls& calls);

} // namespace vfw
