#include "qimage_planes.h"

QImage PlanesToQImage(const PlaneView& p)
{
    if (p.channels == 1) {
        QImage image(p.width, p.height, QImage::Format_Grayscale8);
        for (int y = 0; y < p.height; ++y)
            std::copy_n(p.planes[0] + std::size_t(y) * p.width, p.width, image.scanLine(y));
        return image;
    }
    if (p.channels != 3)
        return {};
    QImage image(p.width, p.height, QImage::Format_RGB32);
    for (int y = 0; y < p.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::size_t row = std::size_t(y) * p.width;
        for (int x = 0; x < p.width; ++x)
            line[x] = qRgb(p.planes[0][row + x], p.planes[1][row + x], p.planes[2][row + x]);
    }
    return image;
}

bool QImageToPlanes(const QImage& source, PlaneBuffers* planes)
{
    if (source.isNull())
        return false;
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    planes->width = image.width();
    planes->height = image.height();
    planes->channels = 3;
    std::size_t n = std::size_t(image.width()) * image.height();
    for (auto& plane : planes->planes)
        plane.resize(n);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::size_t row = std::size_t(y) * image.width();
        for (int x = 0; x < image.width(); ++x) {
            planes->planes[0][row + x] = static_cast<uint8_t>(qRed(line[x]));
            planes->planes[1][row + x] = static_cast<uint8_t>(qGreen(line[x]));
            planes->planes[2][row + x] = static_cast<uint8_t>(qBlue(line[x]));
        }
    }
    return true;
}
