#include "live_view_layout.h"

#include <algorithm>
#include <cstring>

#include "acquisition_sources.h"

LiveFramePlacement PlaceLiveFrames(int source, int width)
{
    const FramePosition left{0, 0}, right{width + kLiveFrameGap, 0};
    if (source == SourceVfw)
        return {left, right};
    return {right, left};
}

void GreyOfPlanes(const PlaneView& image, int width, int height, uint8_t* grey)
{
    const int columns = std::min(width, image.width), rows = std::min(height, image.height);
    for (int y = 0; y < rows; ++y) {
        const std::size_t from = std::size_t(image.width) * y, to = std::size_t(width) * y;
        if (image.channels == 1) {
            std::memcpy(grey + to, image.planes[0] + from, std::size_t(columns));
        } else if (image.channels == 3) {
            for (int x = 0; x < columns; ++x)
                grey[to + x] = GreyLevel(image.planes[0][from + x], image.planes[1][from + x],
                                         image.planes[2][from + x]);
        }
    }
}
