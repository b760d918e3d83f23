// Byte planes to and from QImage, for the clipboard and the printer.
#pragma once

#include <QImage>

#include <imageproc/plane_buffers.h>

// A grey (one plane) or RGB32 (three planes) image of the planes.
QImage PlanesToQImage(const PlaneView& planes);

// The three colour planes of any QImage; false for a null image.
bool QImageToPlanes(const QImage& image, PlaneBuffers* planes);
