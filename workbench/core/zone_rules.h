// Zones digitised in an image view, in image coordinates: the rectangle a
// crop takes and the corners a mask zone is painted from.
#pragma once

// A rectangle of image pixels: columns x0..x1 - 1, rows y0..y1 - 1.
struct ImageZone {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    bool operator==(const ImageZone&) const = default;
};

// The view's tracker rectangle (client coordinates, right and bottom
// exclusive, possibly inverted) at the scroll position, in image
// coordinates: ordered both ways and clipped to the width x height image.
ImageZone ExtractionZone(int left, int top, int right, int bottom, int scrollX, int scrollY,
                         int width, int height);

// A crop needs more than 100 pixels both ways.
constexpr int kMinExtraction = 100;
inline bool ExtractionLargeEnough(const ImageZone& zone)
{
    return zone.Width() > kMinExtraction && zone.Height() > kMinExtraction;
}

// The corners of a mask zone from the tracker rectangle at the scroll
// position (not ordered); false, nothing to paint, when an edge is at or
// before the image origin or the rectangle has no width or no height.
bool MaskTrackerZone(int left, int top, int right, int bottom, int scrollX, int scrollY,
                     ImageZone* zone);
