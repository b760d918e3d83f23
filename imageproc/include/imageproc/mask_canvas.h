// A binary mask (0 outside, 255 inside) painted from rectangles, ellipses and
// brush discs, and the grey working image that shows the zones tinted.
#pragma once

#include <cstdint>
#include <vector>

#include <imageproc/plane_buffers.h>

class MaskCanvas {
public:
    enum Shape { Rectangle = 0, Ellipse = 1, Brush = 2 };
    enum Mode : char { Add = 'A', Remove = 'R' };
    // The brush is the ellipse inscribed in the square of +-5 pixels round the cursor.
    static constexpr int kBrushRadius = 5;

    // A width x height mask, all 0, and a black working image.
    MaskCanvas(int width, int height);

    // The working image from `image`: its grey level in all three planes, a
    // colour image turned grey with GreyLevel. Only pixels inside both sizes
    // are read and written; an image of neither one nor three "byte"
    // channels leaves it black. True when the image had three channels.
    bool Prepare(const PlaneView& image);

    void SetMode(Mode mode) { m_mode = mode; }
    Mode CurrentMode() const { return m_mode; }

    // Paints `shape` on the corners (ordered first): a rectangle with both
    // ends included, or for the ellipse and the brush the ellipse inscribed
    // in it; any other shape nothing. Adding sets mask 255 and tints red by
    // +127 (mod 256) where the mask was 0; removing undoes both where it was
    // 255, so a zone is never tinted twice. Pixels outside the image are skipped.
    void Paint(int shape, int x0, int y0, int x1, int y1);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<uint8_t>& Mask() const { return m_mask; }
    const std::vector<uint8_t>& Plane(int channel) const { return m_rgb[channel]; }

private:
    void PaintRectangle(int x0, int y0, int x1, int y1);
    void PaintEllipse(int x0, int y0, int x1, int y1);
    void PaintPixel(int x, int y);

    int m_width;
    int m_height;
    Mode m_mode = Add;
    std::vector<uint8_t> m_mask;
    std::vector<uint8_t> m_rgb[3];
};
