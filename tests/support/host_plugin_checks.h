// What every test of a plug-in loaded by the frame-grabber host checks: the
// frames it hands over, and that nothing of it is left once all is closed.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "verodyn/verodyn.h"

// Closes every frame grabber and fails on each block still allocated.
inline void ExpectAllClosedAndFreed()
{
    EXPECT_EQ(close_all_framegrabbers(), V_OK);
    for (const VXAllocation& a : VXAllocated())
        ADD_FAILURE() << "still allocated: " << a.size << " bytes from " << a.file;
}

// The first channel of the next frame of `handle`, checked to be a byte image
// of `width` x `height` with `channels` channels; empty when it is not.
inline std::vector<std::uint8_t> GrabBytePlane(long handle, int width, int height, int channels = 1)
{
    Vobject image;
    if (grab_image(&image, handle) != V_OK) {
        ADD_FAILURE() << "grab_image failed";
        return {};
    }
    int count = 0;
    EXPECT_EQ(count_channels(image, &count), V_OK);
    EXPECT_EQ(count, channels);
    void* pixels = nullptr;
    std::string type;
    int w = 0, h = 0;
    EXPECT_EQ(get_image_pointer1(image, &pixels, &type, &w, &h), V_OK);
    EXPECT_EQ(type, "byte");
    if (!pixels || w != width || h != height) {
        ADD_FAILURE() << "frame of " << w << " x " << h << ", expected " << width << " x "
                      << height;
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(pixels);
    return {bytes, bytes + std::size_t(w) * std::size_t(h)};
}
