// Child frame sizes that show an image: the client area plus the frame's border.
#pragma once

struct FrameSize {
    int width = 0;
    int height = 0;
    bool operator==(const FrameSize&) const = default;
};

// The outer size that shows min(width, maxWidth) x min(height, maxHeight)
// pixels: that size plus the border (outer - client) plus 4.
FrameSize FitFrameSize(FrameSize outer, FrameSize client, int width, int height, int maxWidth,
                       int maxHeight);

// The outer size to which a frame shrinks back round a width x height image
// (no maximum applied); `changed` is false when the frame keeps its size
// because it is no larger than the image on either side.
FrameSize EnlargeFrameSize(FrameSize outer, FrameSize client, int width, int height, bool* changed);
