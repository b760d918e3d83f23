// The texts of the status panes 130 (values under the cursor) and 131 (units).
#pragma once

#include <array>
#include <string>

#include "pixel_sample.h"

// What the panes show of the active document and the application.
struct PaneState {
    bool hasActiveDocument = false;
    bool acquiring = false;    // some document acquires
    std::string acquiringName; // its name
    int channels = 1;          // of the active image
    int mouseX = 0, mouseY = 0;
    int crossX = 0, crossY = 0; // (0, 0) = no cross: values are absolute
    int mouseValue = 0;         // grey level or 0x00BBGGRR
    int crossValue = -1;
    // Images of another pixel type than "byte": their values under the cursor
    // and at the cross (mouseValue and crossValue are then unused).
    PixelSample mouseSample, crossSample;
    bool calibratedXY = false, calibratedZ = false;
    float scaleXY = 1.0f, scaleZ = 1.0f;
    float unitFactorXY = 1.0f, unitFactorZ = 1.0f;
};

// "%1.0e" of `value` with the exponent written without padding: 1e-3, 1e+0, 1e+10.
std::string ShortExponent(double value);

// Pane 131: empty without an active document or while acquiring.
std::string UnitsPaneText(const PaneState& state);

// Pane 130: the whole text and its five parts (x, y, and three value parts;
// the fourth and fifth are empty for one-channel and calibrated texts).
struct ValuesPane {
    std::string text;
    std::array<std::string, 5> parts;
};
ValuesPane ValuesPaneText(const PaneState& state);

// The lock keys of the keyboard; `known` is false where they cannot be read.
struct KeyLocks {
    bool known = false;
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// The Caps Lock, Num Lock and Scroll Lock panes: "CAP", "NUM", "SCRL" for a
// lock that is on, empty for one that is off or unknown.
std::array<std::string, 3> KeyLockPaneTexts(const KeyLocks& locks);
