// Calibration of an image in millimetres: pixels per millimetre in x and y,
// grey levels per millimetre in z, and the powers of ten by which the status
// bar and the profiles scale their millimetre values. Single precision, as
// the document keeps them.
#pragma once

// A scale as the user enters it: `count` pixels (or grey levels) make
// `millimetres` mm.
struct ScaleEntry {
    float count = 0;
    float millimetres = 0;
};

// How a scale s shows: 1 for 1 / s mm when s is below 1, else s for 1 mm.
ScaleEntry EntryOfScale(float scale);

// count / millimetres of the magnitudes, a zero magnitude counting as 1.
float ScaleOfEntry(ScaleEntry entry);

// True for a scale worth keeping: above 0, with itself and its inverse finite
// (millimetres per pixel or per level are shown and divided by).
bool IsUsableScale(float scale);

// The smallest power of ten p from 1e-9 up for which p x width / scale is
// at least 1, times 10 once more when that product stays below 2; at most
// 1e10.
float UnitFactorXY(int width, float scale);
// The smallest power of ten q from 1e-9 up with q x 10 / scale above 0.1; at
// most 1e10.
float UnitFactorZ(float scale);

// A document's calibration.
struct Calibration {
    float scaleXY = 1;      // pixels per mm
    float scaleZ = 1;       // grey levels per mm
    float unitFactorXY = 1; // display multipliers
    float unitFactorZ = 1;
    bool calibratedXY = false; // values shown in mm
    bool calibratedZ = false;
};

// What the calibration dialog stores: with x/y in mm, the scale of `xy` and
// its display power for an image `width` pixels wide; with z in mm the same
// from `z`; then both flags. A scale that is not usable is not stored, and
// the previous scale and power stay; a cleared flag leaves them too.
void StoreCalibration(bool inMmXY, ScaleEntry xy, bool inMmZ, ScaleEntry z, int width,
                      Calibration* calibration);
