// Child frame sizes that show an image (the client area plus the frame's
// border), and where frames go inside the visible work area.
#pragma once

#include <vector>

struct FrameSize {
    int width = 0;
    int height = 0;
    bool operator==(const FrameSize&) const = default;
};

// A frame's place in the work area, whose visible part runs from (0, 0).
struct FrameRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FrameRect&) const = default;
};

// The outer size that shows min(width, maxWidth) x min(height, maxHeight)
// pixels: that size plus the border (outer - client) plus 4.
FrameSize FitFrameSize(FrameSize outer, FrameSize client, int width, int height, int maxWidth,
                       int maxHeight);

// The outer size to which a frame shrinks back round a width x height image
// (no maximum applied); `changed` is false when the frame keeps its size
// because it is no larger than the image on either side.
FrameSize EnlargeFrameSize(FrameSize outer, FrameSize client, int width, int height, bool* changed);

// `frame` cut, where it reaches past the right or bottom edge of `area`, to
// what the area shows from its place.
FrameRect ClipToArea(FrameRect frame, FrameSize area);

// `frame` moved left and up as far as needed (never past the top-left corner)
// to lie inside `area`, then clipped to it.
FrameRect KeepInArea(FrameRect frame, FrameSize area);

// The cascade of frames of the outer sizes `sizes`, in that order: each `step`
// pixels right of and below the one before, starting again at the top-left
// corner rather than going past the middle of the area. Each keeps its size as
// far as the area shows it from its place.
std::vector<FrameRect> CascadeFrames(const std::vector<FrameSize>& sizes, FrameSize area, int step);
