// The capture window: a child window that previews live video from a capture
// driver by itself, at its preview rate, and answers the capture messages.
#pragma once

#include <QTimer>
#include <QWidget>

#include <vfw/capture_core.h>

namespace vfw {

class CaptureWindow : public QWidget {
    Q_OBJECT
public:
    // A visible child of `parent` at (x, y) of width x height, titled `caption`.
    CaptureWindow(const QString& caption, QWidget* parent, int x, int y, int width, int height);

    // The capture messages: connect driver `index`, scaling, preview rate in
    // milliseconds, preview on or off, grab one frame (ending the preview),
    // disconnect.
    bool DriverConnect(int index) { return core_.DriverConnect(index); }
    void SetScale(bool on);
    void SetPreviewRate(int milliseconds);
    void SetPreview(bool on);
    bool GrabFrame();
    void DriverDisconnect();

    // The colour of pixel (x, y) of what the window shows, 0x00BBGGRR.
    uint32_t Pixel(int x, int y) const { return core_.Pixel(x, y); }
    const CaptureCore& Core() const { return core_; }

    // One tick of the preview timer.
    void PreviewTick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateTimer();

    CaptureCore core_;
    QTimer timer_;
};

} // namespace vfw
