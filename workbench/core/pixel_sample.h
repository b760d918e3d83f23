// The value of a pixel of an image that holds no grey levels or colours:
// 16- and 32-bit integers, "real" and "complex" values (the FFT family).
#pragma once

#include <string>

class Vobject;

struct PixelSample {
    int parts = 0; // 0: a "byte" image or none; 1: one value (re); 2: complex (re, im)
    double re = 0.0;
    double im = 0.0;
    bool onImage = false; // parts set and (x, y) on the image
};

// The first channel of pixel (x, y) of `image`; 0 (with `parts` set) outside it.
PixelSample SamplePixel(const Vobject& image, int x, int y);

// A value of a sample as the values pane and the cross label write it: whole
// numbers with all their digits (a 32-bit pixel too), others as "%g".
std::string SampleValueText(double value);
