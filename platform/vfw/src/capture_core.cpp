#include <vfw/capture_core.h>

#include <algorithm>

namespace vfw {

namespace {

constexpr uint32_t kBlack = 0xFF000000;

uint32_t Rgb32(const uint8_t* rgb) { return kBlack | rgb[0] << 16 | rgb[1] << 8 | rgb[2]; }

} // namespace

CaptureCore::CaptureCore(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      picture_(std::size_t(width_) * std::size_t(height_), kBlack)
{
}

bool CaptureCore::DriverConnect(int index)
{
    driver_ = OpenDriver(index);
    return Connected();
}

void CaptureCore::DriverDisconnect()
{
    previewing_ = false;
    driver_.reset();
}

bool CaptureCore::PreviewTick()
{
    if (!previewing_ || !driver_->NextFrame(frame_))
        return false;
    Show(frame_);
    return true;
}

bool CaptureCore::GrabFrame()
{
    if (!Connected())
        return false;
    previewing_ = false;
    if (driver_->NextFrame(frame_))
        Show(frame_);
    return true;
}

void CaptureCore::Show(const Frame& frame)
{
    const bool stretch = scale_ && frame.width > 0 && frame.height > 0;
    const int columns = stretch ? width_ : std::min(width_, frame.width);
    const int rows = stretch ? height_ : std::min(height_, frame.height);
    if (columns < width_ || rows < height_)
        std::fill(picture_.begin(), picture_.end(), kBlack);
    // The frame's column of each window column: the same one unless stretched.
    const bool sameColumns = !stretch || frame.width == width_;
    std::vector<int> source(sameColumns ? 0 : static_cast<std::size_t>(columns));
    for (std::size_t x = 0; x < source.size(); ++x)
        source[x] = int(int64_t(x) * frame.width / width_);
    for (int y = 0; y < rows; ++y) {
        const int from = stretch ? int(int64_t(y) * frame.height / height_) : y;
        const uint8_t* line = frame.rgb.data() + std::size_t(from) * std::size_t(frame.width) * 3;
        uint32_t* out = picture_.data() + std::size_t(y) * std::size_t(width_);
        if (sameColumns)
            for (int x = 0; x < columns; ++x)
                out[x] = Rgb32(line + std::size_t(x) * 3);
        else
            for (int x = 0; x < columns; ++x)
                out[x] = Rgb32(line + std::size_t(source[std::size_t(x)]) * 3);
    }
}

uint32_t CaptureCore::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    const uint32_t p = picture_[std::size_t(x) + std::size_t(width_) * std::size_t(y)];
    return (p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16;
}

} // namespace vfw
