#include "board_surface.h"

#include <cstring>

#include <QPainter>

#include <dvl/simulated_boards.h>

namespace {

// The frame as an image: grey for one band, colour for three.
QImage ImageOf(const dvl::FrameView& f)
{
    if (f.bands < 3) {
        QImage grey(f.width, f.height, QImage::Format_Grayscale8);
        for (int y = 0; y < f.height; ++y)
            std::memcpy(grey.scanLine(y), f.planes[0] + std::size_t(y) * std::size_t(f.width),
                        std::size_t(f.width));
        return grey;
    }
    QImage colour(f.width, f.height, QImage::Format_RGB888);
    for (int y = 0; y < f.height; ++y) {
        uchar* out = colour.scanLine(y);
        const std::size_t row = std::size_t(y) * std::size_t(f.width);
        for (int x = 0; x < f.width; ++x) {
            *out++ = f.planes[0][row + std::size_t(x)];
            *out++ = f.planes[1][row + std::size_t(x)];
            *out++ = f.planes[2][row + std::size_t(x)];
        }
    }
    return colour;
}

} // namespace

BoardSurface::BoardSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    dvl::RegisterWindow(Handle(), [this](const dvl::FrameView& frame) {
        QImage image = ImageOf(frame);
        {
            std::lock_guard guard(m_lock);
            m_frame = std::move(image);
        }
        ++m_nFrames;
        // One repaint asked at a time: frames that come faster replace one another.
        if (!m_bRepaintAsked.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_bRepaintAsked = false;
                    update();
                },
                Qt::QueuedConnection);
    });
}

BoardSurface::~BoardSurface() { dvl::UnregisterWindow(Handle()); }

QImage BoardSurface::Frame() const
{
    std::lock_guard guard(m_lock);
    return m_frame;
}

void BoardSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, Frame());
}
