#include <imageproc/mask_canvas.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr uint8_t kInside = 255;
constexpr uint8_t kTint = 127;

} // namespace

MaskCanvas::MaskCanvas(int width, int height)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_mask(std::size_t(m_width) * std::size_t(m_height), 0)
{
    for (auto& plane : m_rgb)
        plane.assign(m_mask.size(), 0);
}

bool MaskCanvas::Prepare(const PlaneView& image)
{
    if (image.channels != 1 && image.channels != 3)
        return false;
    const int columns = std::min(m_width, image.width), rows = std::min(m_height, image.height);
    const bool colour = image.channels == 3;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const std::size_t from = std::size_t(image.width) * y + x;
            const std::size_t to = std::size_t(m_width) * y + x;
            const uint8_t grey = colour ? GreyLevel(image.planes[0][from], image.planes[1][from],
                                                    image.planes[2][from])
                                        : image.planes[0][from];
            for (auto& plane : m_rgb)
                plane[to] = grey;
        }
    return colour;
}

void MaskCanvas::Paint(int shape, int x0, int y0, int x1, int y1)
{
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    if (shape == Rectangle)
        PaintRectangle(x0, y0, x1, y1);
    else if (shape == Ellipse || shape == Brush)
        PaintEllipse(x0, y0, x1, y1);
}

void MaskCanvas::PaintRectangle(int x0, int y0, int x1, int y1)
{
    for (int y = std::max(y0, 0); y <= std::min(y1, m_height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, m_width - 1); ++x)
            PaintPixel(x, y);
}

void MaskCanvas::PaintEllipse(int x0, int y0, int x1, int y1)
{
    const int cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const int a = std::abs(x1 - cx), b = std::abs(y1 - cy);
    // A zero-width ellipse has no inside (and 0 / 0 no half height).
    if (a == 0)
        return;
    for (int i = -a; i <= a; ++i) {
        const double ratio = double(i) * i / (double(a) * a);
        const int yl = static_cast<int>(b * std::sqrt(1.0 - ratio));
        for (int j = -yl + 1; j < yl; ++j)
            PaintPixel(cx + i, cy + j);
    }
}

void MaskCanvas::PaintPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    const std::size_t i = std::size_t(m_width) * y + x;
    uint8_t& red = m_rgb[0][i];
    if (m_mode == Add && m_mask[i] == 0) {
        m_mask[i] = kInside;
        red = static_cast<uint8_t>(red + kTint);
    } else if (m_mode == Remove && m_mask[i] == kInside) {
        red = static_cast<uint8_t>(red - kTint);
        m_mask[i] = 0;
    }
}
