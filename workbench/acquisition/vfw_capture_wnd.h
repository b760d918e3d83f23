// The capture window of the webcam source: created inside the acquiring
// document's view, it previews live video by itself; its frame is read back
// when the acquisition freezes, and single pixels while it runs.
#pragma once

#include <cstdint>

#include <QPointer>

#include <imageproc/plane_buffers.h>

#include <vfw/capture_window.h>

class QWidget;

class CVfwCaptureWnd {
public:
    // A capture window of width x height, not yet created.
    CVfwCaptureWnd(int width, int height);
    // Destroys the capture window when it still exists.
    ~CVfwCaptureWnd();
    CVfwCaptureWnd(const CVfwCaptureWnd&) = delete;
    CVfwCaptureWnd& operator=(const CVfwCaptureWnd&) = delete;

    // Creates the window "WebCam" at (0, 0) of the size as a child of
    // `parent` and connects driver 0, scaled to the window, previewing every
    // 15 ms once started; true when a driver is connected.
    bool Create(QWidget* parent);
    void StartPreview();
    // Stops the preview on one frame.
    void GrabFrame();
    // Three planes of the size from the frame the window shows; true when
    // every pixel is grey. The driver is disconnected and the window destroyed.
    bool ReadFrame(PlaneBuffers* planes);
    // The channels of pixel (x, y); 0, 0, 0 outside the size.
    void GetPixelRgb(int x, int y, int* red, int* green, int* blue) const;

    vfw::CaptureWindow* Window() const { return m_hCapWnd; }

    QPointer<vfw::CaptureWindow> m_hCapWnd; // null once destroyed
    int16_t m_nWidth;
    int16_t m_nHeight;
    bool m_bConnected = false;
};
