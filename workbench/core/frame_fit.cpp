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
