#include <gtest/gtest.h>

#include <vector>

#include "workbench/core/entry_text.h"
#include "workbench/core/unwrap_options.h"
#include "workbench/core/z_scale_entries.h"

namespace {

TEST(UnwrapOptions, FlagWord)
{
    EXPECT_EQ(UnwrapFlagsOf({}, false), 16);
    struct Case {
        int UnwrapOptions::*member;
        int value, flags; // without a mask; a mask adds 0x100
    };
    const Case cases[] = {
        {&UnwrapOptions::discontinuities, 1, 0x011}, {&UnwrapOptions::invert, 1, 0x012},
        {&UnwrapOptions::poles, 1, 0x014},           {&UnwrapOptions::noise, 1, 0x018},
        {&UnwrapOptions::noise, 2, 0x050},           {&UnwrapOptions::noise, 3, 0x070},
        {&UnwrapOptions::quality, 1, 0x400},         {&UnwrapOptions::quality, 2, 0x200},
        {&UnwrapOptions::quality, 3, 0x080},         {&UnwrapOptions::imageKind, 2, 0x010},
        {&UnwrapOptions::veryFineFringes, 1, 0x010},
    };
    for (const Case& c : cases) {
        UnwrapOptions o;
        o.*c.member = c.value;
        EXPECT_EQ(UnwrapFlagsOf(o, false), c.flags);
        EXPECT_EQ(UnwrapFlagsOf(o, true), c.flags | 0x100);
    }
    UnwrapOptions o;
    o.noise = 3;
    o.quality = 2;
    EXPECT_EQ(UnwrapFlagsOf(o, true), 864);
}

TEST(UnwrapOptions, Presets)
{
    struct Case {
        int preset, box; // box: the state the preset's own check box reads
        int quality, discontinuities, noise, poles;
    };
    // From quality 2, discontinuities on, noise type 1, poles off.
    const Case cases[] = {
        {1075, 0, 0, 0, 1, 0}, {1077, 0, 0, 1, 1, 0}, {1079, 0, 3, 1, 1, 0}, {1081, 1, 2, 1, 2, 0},
        {1081, 0, 2, 1, 0, 0}, {1082, 1, 2, 1, 1, 1}, {1082, 0, 2, 1, 1, 0}, {23, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        UnwrapOptions o;
        o.quality = 2, o.discontinuities = 1, o.noise = 1, o.invert = 1;
        o.continuousBackground = o.veryFineFringes = c.box;
        const UnwrapOptions r = ApplyUnwrapPreset(o, c.preset);
        EXPECT_EQ(std::vector<int>({r.quality, r.discontinuities, r.noise, r.poles}),
                  std::vector<int>({c.quality, c.discontinuities, c.noise, c.poles}))
            << c.preset;
        EXPECT_EQ(r.invert, c.preset == 23 ? 0 : 1);
    }
}

TEST(EntryText, LeadingNumbersCount)
{
    struct Case {
        const char* text;
        std::optional<float> real;
        std::optional<int> integer;
    };
    const Case cases[] = {
        {"8.3", 8.3f, 8},
        {"  632.8nm", 632.8f, 632},
        {"+4abc", 4.0f, 4},
        {"-1e3x", -1000.0f, -1},
        {"abc", {}, {}},
        {"", {}, {}},
        {".", {}, {}},
        {"+-3", {}, {}},
        {"nan", {}, {}},
        {"1e40", {}, 1},
        {"99999999999", 1e11f, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLeadingFloat(c.text), c.real) << c.text;
        EXPECT_EQ(ParseLeadingInt(c.text), c.integer) << c.text;
    }
}

TEST(ZScaleEntries, ScaleAndText)
{
    using metrology::ZScaleMethod;
    struct Case {
        ZScaleMethod method;
        const char *wavelength, *jumps, *pitch;
        std::optional<float> echZ;
        const char* text;
    };
    const Case cases[] = {
        {ZScaleMethod::Speckle, "632.8", "9", "8.300", 1.2359375e-05f, "EchZ=1.24e-05"},
        {ZScaleMethod::Moire, "632.8", "0", "8.3", 0.032421875f, "EchZ=3.24e-02"},
        {ZScaleMethod::Speckle, "632.8", "-1", "8.3", {}, "EchZ= ?"},
        {ZScaleMethod::Moire, "632.8", "2", "-8.3", {}, "EchZ= ?"},
        {ZScaleMethod::Speckle, "-632.8", "2", "8.3", {}, "EchZ= ?"},
        {ZScaleMethod::Speckle, "632.8", "abc", "8.3", {}, "EchZ= ?"},
    };
    for (const Case& c : cases) {
        const ZScaleReading r = ReadZScaleEntries({c.method, c.wavelength, c.jumps, c.pitch});
        ASSERT_EQ(r.echZ.has_value(), c.echZ.has_value()) << c.text;
        EXPECT_FLOAT_EQ(r.echZ.value_or(0), c.echZ.value_or(0));
        EXPECT_EQ(r.text, c.text);
    }
}

} // namespace
