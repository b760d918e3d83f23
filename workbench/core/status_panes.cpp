#include "status_panes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <imageproc/plane_buffers.h>

namespace {

template <typename... Args> std::string Format(const char* format, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

} // namespace

std::string ShortExponent(double value)
{
    std::string text = Format("%1.0e", value);
    std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text;
    int exponent = std::atoi(text.c_str() + e + 1);
    return text.substr(0, e) + Format("e%c%d", exponent < 0 ? '-' : '+', std::abs(exponent));
}

std::string UnitsPaneText(const PaneState& s)
{
    if (!s.hasActiveDocument || s.acquiring)
        return {};
    std::string xy = s.calibratedXY ? "X,Y(mm)*" + ShortExponent(1.0 / s.unitFactorXY)
                                    : std::string("X,Y(pixel)");
    std::string z;
    if (s.channels == 1)
        z = s.calibratedZ ? "Z(mm)*" + ShortExponent(1.0 / s.unitFactorZ) : "W(luminance)";
    else
        z = s.calibratedZ ? "Zng(mm)*" + ShortExponent(1.0 / s.unitFactorZ) : "RVB(luminance)";
    return xy + ", " + z;
}

ValuesPane ValuesPaneText(const PaneState& s)
{
    ValuesPane pane;
    if (!s.hasActiveDocument)
        return pane;
    if (s.acquiring) {
        pane.text = "Acq. permanente: " + s.acquiringName;
        return pane;
    }
    auto& p = pane.parts;
    const bool relative = !(s.crossX == 0 && s.crossY == 0);
    const bool colour = s.channels != 1;
    const int dx = s.mouseX - s.crossX, dy = s.mouseY - s.crossY;
    const double cx = dx / s.scaleXY * s.unitFactorXY, cy = dy / s.scaleXY * s.unitFactorXY;
    const char* comma = colour ? "," : "";

    // A colour image labels even its calibrated absolute position dX, dY.
    const bool deltaLabels = relative || (colour && s.calibratedXY);
    const char* xl = deltaLabels ? "dX" : "X";
    const char* yl = deltaLabels ? "dY" : "Y";
    if (s.calibratedXY) {
        p[0] = Format("%s:%1.3f%s", xl, cx, comma);
        p[1] = Format("%s:%1.3f%s", yl, cy, comma);
    } else {
        p[0] = Format("%s:%d%s", xl, dx, comma);
        p[1] = Format("%s:%d%s", yl, dy, comma);
    }

    const auto calibratedZ = [&](int levels) { return levels / s.scaleZ * s.unitFactorZ; };
    const PixelSample &m = s.mouseSample, &c = s.crossSample;
    if (m.parts != 0) {
        const double re = relative ? m.re - c.re : m.re, im = relative ? m.im - c.im : m.im;
        if (m.parts == 2) {
            p[2] = Format("%s:%s", relative ? "dRe" : "Re", SampleValueText(re).c_str());
            p[3] = Format("%s:%s", relative ? "dIm" : "Im", SampleValueText(im).c_str());
            pane.text = p[0] + ", " + p[1] + ", " + p[2] + ", " + p[3];
            return pane;
        }
        p[2] = s.calibratedZ
                   ? Format("%s:%1.3f", relative ? "dZ" : "Z", re / s.scaleZ * s.unitFactorZ)
                   : Format("%s:%s", relative ? "dW" : "W", SampleValueText(re).c_str());
        pane.text = p[0] + ", " + p[1] + ", " + p[2];
        return pane;
    }
    if (!colour) {
        int z = relative ? s.mouseValue - s.crossValue : s.mouseValue;
        p[2] = s.calibratedZ ? Format("%s:%1.3f", relative ? "dZ" : "Z", calibratedZ(z))
                             : Format("%s:%d", relative ? "dW" : "W", z);
        pane.text = p[0] + ", " + p[1] + ", " + p[2];
        return pane;
    }

    const int v = s.mouseValue, r = s.crossValue;
    const int dR = relative ? RedOf(v) - RedOf(r) : RedOf(v);
    const int dG = relative ? GreenOf(v) - GreenOf(r) : GreenOf(v);
    const int dB = relative ? BlueOf(v) - BlueOf(r) : BlueOf(v);
    if (s.calibratedZ) {
        int levels = (59 * dG + 11 * dB + 30 * dR) / 100;
        p[2] = Format("%s:%1.3f", relative ? "dZng" : "Zng", calibratedZ(levels));
    } else {
        p[2] = Format("%s:%d,", relative ? "dR" : "R", dR);
        p[3] = Format("%s:%d,", relative ? "dV" : "V", dG);
        p[4] = Format("%s:%d", relative ? "dB" : "B", dB);
    }
    pane.text = p[0] + " " + p[1] + " " + p[2] + " " + p[3] + " " + p[4];
    return pane;
}

std::array<std::string, 3> KeyLockPaneTexts(const KeyLocks& k)
{
    if (!k.known)
        return {};
    return {k.capsLock ? "CAP" : "", k.numLock ? "NUM" : "", k.scrollLock ? "SCRL" : ""};
}
