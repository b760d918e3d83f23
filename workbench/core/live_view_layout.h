// Where the live derived views put their two frames, and the grey level they
// read from the camera's planes.
#pragma once

#include <cstdint>

#include <imageproc/plane_buffers.h>

struct FramePosition {
    int x = 0, y = 0;
    bool operator==(const FramePosition&) const = default;
};

// The camera frame and the derived frame side by side, 15 pixels apart at a
// default width `width`: the webcam's (source 2) on the left, since its
// capture window sits there, every other source's on the right.
constexpr int kLiveFrameGap = 15;
struct LiveFramePlacement {
    FramePosition camera;
    FramePosition result;
};
LiveFramePlacement PlaceLiveFrames(int source, int width);

// The grey levels of a width x height frame from the image's planes: the
// plane of a one-channel image, GreyLevel of a three-channel one. Pixels the
// image does not cover are left as they are.
void GreyOfPlanes(const PlaneView& image, int width, int height, uint8_t* grey);
