#include <vfw/capture_window.h>

#include <algorithm>

#include <QImage>
#include <QPainter>

namespace vfw {

CaptureWindow::CaptureWindow(const QString& caption, QWidget* parent, int x, int y, int width,
                             int height)
    : QWidget(parent), core_(width, height)
{
    setWindowTitle(caption);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(x, y, width, height);
    connect(&timer_, &QTimer::timeout, this, &CaptureWindow::PreviewTick);
    show();
}

void CaptureWindow::SetScale(bool on) { core_.SetScale(on); }

void CaptureWindow::SetPreviewRate(int milliseconds)
{
    core_.SetPreviewRate(milliseconds);
    UpdateTimer();
}

void CaptureWindow::SetPreview(bool on)
{
    core_.SetPreview(on);
    UpdateTimer();
}

bool CaptureWindow::GrabFrame()
{
    const bool grabbed = core_.GrabFrame();
    UpdateTimer();
    update();
    return grabbed;
}

void CaptureWindow::DriverDisconnect()
{
    core_.DriverDisconnect();
    UpdateTimer();
}

void CaptureWindow::PreviewTick()
{
    if (core_.PreviewTick())
        update();
}

void CaptureWindow::UpdateTimer()
{
    if (!core_.Previewing()) {
        timer_.stop();
        return;
    }
    timer_.start(std::max(core_.PreviewRate(), 1));
}

void CaptureWindow::paintEvent(QPaintEvent*)
{
    const QImage picture(reinterpret_cast<const uchar*>(core_.Picture().data()), core_.Width(),
                         core_.Height(), core_.Width() * 4, QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}

} // namespace vfw
