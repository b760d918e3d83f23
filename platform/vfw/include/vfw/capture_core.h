// What a capture window does, without the window: the driver it is connected
// to, scaling to the window, the preview rate and the picture it shows. Pixels
// are read from that picture, never from the screen.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <vfw/capture_driver.h>

namespace vfw {

class CaptureCore {
public:
    // A window of width x height pixels, not connected, showing black.
    CaptureCore(int width, int height);

    // Connects driver `index`; false when there is none (the window stays
    // unconnected).
    bool DriverConnect(int index);
    // Ends the preview and lets the driver go; the picture stays.
    void DriverDisconnect();
    bool Connected() const { return driver_ != nullptr; }

    // Scaling on: the frame is stretched to the window; off: shown 1:1 from
    // the top-left corner, black beyond it.
    void SetScale(bool on) { scale_ = on; }
    void SetPreviewRate(int milliseconds) { previewRate_ = milliseconds; }
    int PreviewRate() const { return previewRate_; }
    // Starts or stops the live preview (only while connected).
    void SetPreview(bool on) { previewing_ = on && Connected(); }
    bool Previewing() const { return previewing_; }

    // One preview step: shows the driver's new frame, if any, while
    // previewing; true when the picture changed.
    bool PreviewTick();
    // Stops the preview on the driver's newest frame (the picture shown when
    // the driver has no new one); false when not connected.
    bool GrabFrame();

    // Pixel (x, y) of the picture as 0x00BBGGRR; 0 outside the window.
    uint32_t Pixel(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The picture: width x height pixels of 0xFFRRGGBB, row-major.
    const std::vector<uint32_t>& Picture() const { return picture_; }

private:
    void Show(const Frame& frame);

    int width_;
    int height_;
    std::unique_ptr<CaptureDriver> driver_;
    bool scale_ = false;
    bool previewing_ = false;
    int previewRate_ = 0;
    Frame frame_;
    std::vector<uint32_t> picture_;
};

} // namespace vfw
