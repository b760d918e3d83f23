#include "vfw_capture_wnd.h"

#include <QString>

namespace {

constexpr int kPreviewRateMs = 15;

} // namespace

CVfwCaptureWnd::CVfwCaptureWnd(int width, int height)
    : m_nWidth(static_cast<int16_t>(width)), m_nHeight(static_cast<int16_t>(height))
{
}

CVfwCaptureWnd::~CVfwCaptureWnd() { delete m_hCapWnd.data(); }

bool CVfwCaptureWnd::Create(QWidget* parent)
{
    m_hCapWnd = new vfw::CaptureWindow(QStringLiteral("WebCam"), parent, 0, 0, m_nWidth, m_nHeight);
    m_bConnected = m_hCapWnd->DriverConnect(0);
    if (m_bConnected) {
        m_hCapWnd->SetScale(true);
        m_hCapWnd->SetPreviewRate(kPreviewRateMs);
    }
    return m_bConnected;
}

void CVfwCaptureWnd::StartPreview()
{
    if (m_hCapWnd)
        m_hCapWnd->SetPreview(true);
}

void CVfwCaptureWnd::GrabFrame()
{
    if (m_hCapWnd)
        m_hCapWnd->GrabFrame();
}

bool CVfwCaptureWnd::ReadFrame(PlaneBuffers* planes)
{
    planes->width = m_nWidth;
    planes->height = m_nHeight;
    planes->channels = 3;
    bool grey = true;
    for (auto& plane : planes->planes)
        plane.assign(std::size_t(m_nWidth) * std::size_t(m_nHeight), 0);
    for (int x = 0; x < m_nWidth; ++x)
        for (int y = 0; y < m_nHeight; ++y) {
            int r = 0, g = 0, b = 0;
            GetPixelRgb(x, y, &r, &g, &b);
            const std::size_t i = std::size_t(x) + std::size_t(m_nWidth) * std::size_t(y);
            planes->planes[0][i] = uint8_t(r);
            planes->planes[1][i] = uint8_t(g);
            planes->planes[2][i] = uint8_t(b);
            grey = grey && r == g && g == b;
        }
    if (m_hCapWnd) {
        m_hCapWnd->DriverDisconnect();
        delete m_hCapWnd.data();
    }
    m_bConnected = false;
    return grey;
}

void CVfwCaptureWnd::GetPixelRgb(int x, int y, int* red, int* green, int* blue) const
{
    const uint32_t colour =
        m_hCapWnd && x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight ? m_hCapWnd->Pixel(x, y) : 0;
    *red = colour & 0xFF;
    *green = colour >> 8 & 0xFF;
    *blue = colour >> 16 & 0xFF;
}
