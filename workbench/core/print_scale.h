// The isotropic scale of a printed image.
#pragma once

struct PrintViewport {
    double scale = 0;
    int width = 0; // image width x scale, truncated
    int height = 0;
};

// The largest factor with which a width x height image still fits the page
// on both sides, and the viewport it gives.
PrintViewport PrintScale(int pageWidth, int pageHeight, int width, int height);
