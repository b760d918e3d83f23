#include <gtest/gtest.h>

#include <imageproc/plane_buffers.h>

#include "workbench/core/status_panes.h"

namespace {

TEST(ShortExponent, Forms)
{
    EXPECT_EQ(ShortExponent(1e-3), "1e-3");
    EXPECT_EQ(ShortExponent(1.0), "1e+0");
    EXPECT_EQ(ShortExponent(1e10), "1e+10");
    EXPECT_EQ(ShortExponent(1e-100), "1e-100");
}

TEST(UnitsPane, Texts)
{
    PaneState s;
    EXPECT_EQ(UnitsPaneText(s), "");
    s.hasActiveDocument = true;
    EXPECT_EQ(UnitsPaneText(s), "X,Y(pixel), W(luminance)");
    s.channels = 3;
    EXPECT_EQ(UnitsPaneText(s), "X,Y(pixel), RVB(luminance)");
    s.channels = 1;
    s.calibratedXY = s.calibratedZ = true;
    s.unitFactorXY = 1000;
    s.unitFactorZ = 1;
    EXPECT_EQ(UnitsPaneText(s), "X,Y(mm)*1e-3, Z(mm)*1e+0");
    s.channels = 3;
    s.unitFactorZ = 1e-10f;
    EXPECT_EQ(UnitsPaneText(s), "X,Y(mm)*1e-3, Zng(mm)*1e+10");
    s.acquiring = true;
    EXPECT_EQ(UnitsPaneText(s), "");
}

PaneState Active(int channels)
{
    PaneState s;
    s.hasActiveDocument = true;
    s.channels = channels;
    return s;
}

TEST(ValuesPane, OneChannel)
{
    PaneState s = Active(1);
    s.mouseX = 10;
    s.mouseY = 20;
    s.mouseValue = 200;
    EXPECT_EQ(ValuesPaneText(s).text, "X:10, Y:20, W:200");
    s.crossX = 4;
    s.crossY = 25;
    s.crossValue = 50;
    EXPECT_EQ(ValuesPaneText(s).text, "dX:6, dY:-5, dW:150");
    s.calibratedXY = s.calibratedZ = true;
    s.scaleXY = 2;
    s.unitFactorXY = 10;
    s.scaleZ = 4;
    s.unitFactorZ = 1;
    ValuesPane p = ValuesPaneText(s);
    EXPECT_EQ(p.text, "dX:30.000, dY:-25.000, dZ:37.500");
    EXPECT_EQ(p.parts[3], "");
    s.crossX = s.crossY = 0;
    EXPECT_EQ(ValuesPaneText(s).text, "X:50.000, Y:100.000, Z:50.000");
    // A 32-bit pixel keeps all its digits.
    s.calibratedXY = s.calibratedZ = false;
    s.mouseSample = {1, 1234567, 0, true};
    EXPECT_EQ(ValuesPaneText(s).text, "X:10, Y:20, W:1234567");
}

TEST(ValuesPane, ThreeChannels)
{
    PaneState s = Active(3);
    s.mouseX = 1;
    s.mouseY = 2;
    s.mouseValue = PackRgb(255, 255, 255);
    ValuesPane p = ValuesPaneText(s);
    EXPECT_EQ(p.text, "X:1, Y:2, R:255, V:255, B:255");
    EXPECT_EQ(p.parts[2], "R:255,");
    EXPECT_EQ(p.parts[4], "B:255");
    s.crossX = 1;
    s.crossY = 1;
    s.crossValue = PackRgb(10, 20, 30);
    EXPECT_EQ(ValuesPaneText(s).text, "dX:0, dY:1, dR:245, dV:235, dB:225");
    s.calibratedXY = s.calibratedZ = true;
    EXPECT_EQ(ValuesPaneText(s).text, "dX:0.000, dY:1.000, dZng:236.000  ");
    s.crossX = s.crossY = 0;
    EXPECT_EQ(ValuesPaneText(s).text, "dX:1.000, dY:2.000, Zng:255.000  ");
}

TEST(Panes, CalibrationOfXYAndOfZApartFromEachOther)
{
    struct Case {
        int channels;
        bool xy, z;
        const char* values;
        const char* units;
    };
    const Case cases[] = {
        {1, true, false, "X:5.000, Y:10.000, W:7", "X,Y(mm)*1e-1, W(luminance)"},
        {1, false, true, "X:1, Y:2, Z:0.700", "X,Y(pixel), Z(mm)*1e+1"},
        {3, true, false, "dX:5.000, dY:10.000, R:7, V:0, B:0", "X,Y(mm)*1e-1, RVB(luminance)"},
        {3, false, true, "X:1, Y:2, Zng:0.200  ", "X,Y(pixel), Zng(mm)*1e+1"},
    };
    for (const Case& c : cases) {
        PaneState s = Active(c.channels);
        s.mouseX = 1;
        s.mouseY = 2;
        s.mouseValue = 7;
        s.calibratedXY = c.xy;
        s.calibratedZ = c.z;
        s.scaleXY = 2;
        s.unitFactorXY = 10;
        s.scaleZ = 1;
        s.unitFactorZ = 0.1f;
        EXPECT_EQ(ValuesPaneText(s).text, c.values) << c.channels << c.xy << c.z;
        EXPECT_EQ(UnitsPaneText(s), c.units) << c.channels << c.xy << c.z;
    }
}

TEST(ValuesPane, EmptyAndAcquiring)
{
    PaneState s;
    EXPECT_EQ(ValuesPaneText(s).text, "");
    s = Active(1);
    s.acquiring = true;
    s.acquiringName = "Image2";
    EXPECT_EQ(ValuesPaneText(s).text, "Acq. permanente: Image2");
}

TEST(KeyLockPanes, TextsOnlyForLocksThatAreOn)
{
    using Texts = std::array<std::string, 3>;
    EXPECT_EQ(KeyLockPaneTexts({}), (Texts{"", "", ""}));
    EXPECT_EQ(KeyLockPaneTexts({false, true, true, true}), (Texts{"", "", ""}));
    EXPECT_EQ(KeyLockPaneTexts({true, true, true, true}), (Texts{"CAP", "NUM", "SCRL"}));
    EXPECT_EQ(KeyLockPaneTexts({true, false, true, false}), (Texts{"", "NUM", ""}));
    EXPECT_EQ(KeyLockPaneTexts({true, true, false, true}), (Texts{"CAP", "", "SCRL"}));
}

} // namespace
