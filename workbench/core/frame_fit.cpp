#include "frame_fit.h"

#include <algorithm>

FrameSize FitFrameSize(FrameSize outer, FrameSize client, int width, int height, int maxWidth,
                       int maxHeight)
{
    return {std::min(width, maxWidth) + (outer.width - client.width) + 4,
            std::min(height, maxHeight) + (outer.height - client.height) + 4};
}

FrameSize EnlargeFrameSize(FrameSize outer, FrameSize client, int width, int height, bool* changed)
{
    *changed = width < outer.width || height < outer.height;
    if (!*changed)
        return outer;
    return {width + (outer.width - client.width) + 4, height + (outer.height - client.height) + 4};
}

FrameRect ClipToArea(FrameRect frame, FrameSize area)
{
    frame.width = std::max(0, std::min(frame.width, area.width - frame.x));
    frame.height = std::max(0, std::min(frame.height, area.height - frame.y));
    return frame;
}

FrameRect KeepInArea(FrameRect frame, FrameSize area)
{
    frame.x = std::max(0, std::min(frame.x, area.width - frame.width));
    frame.y = std::max(0, std::min(frame.y, area.height - frame.height));
    return ClipToArea(frame, area);
}

std::vector<FrameRect> CascadeFrames(const std::vector<FrameSize>& sizes, FrameSize area, int step)
{
    const int places = step > 0 ? std::max(1, std::min(area.width, area.height) / 2 / step + 1) : 1;
    std::vector<FrameRect> frames;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int offset = static_cast<int>(i % places) * step;
        frames.push_back(ClipToArea({offset, offset, sizes[i].width, sizes[i].height}, area));
    }
    return frames;
}
