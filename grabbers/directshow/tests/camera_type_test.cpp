#include <gtest/gtest.h>

#include <cstring>

#include "grabbers/directshow/camera_type.h"

namespace {

using namespace directshow;
using namespace dshow;

TEST(CameraTypeTest, ParsesSubtypeStandardAndSize)
{
    struct Case {
        const char* text;
        FGstatus status;
        const GUID* subtype = nullptr; // null: a four-character code
        int32_t standard = 0, width = 0, height = 0;
        uint32_t image_size = 0, bit_rate = 0;
    };
    const Case cases[] = {
        {"PAL RGB24 (640x480)", FG_SUCCESS, &MEDIASUBTYPE_RGB24, 0, 640, 480, 921600, 110592000},
        {"NTSC_M RGB565 (320x240)", FG_SUCCESS, &MEDIASUBTYPE_RGB565, 1, 320, 240, 153600,
         18432000},
        {"pal_b yuv411 (768X576)", FG_SUCCESS, &MEDIASUBTYPE_Y411, 16, 768, 576, 663552, 79626240},
        {"Y800 (8x2)", FG_SUCCESS, &MEDIASUBTYPE_Y800, 0, 8, 2, 16, 1920},
        {"MJPG (640x480)", FG_SUCCESS, nullptr, 0, 640, 480, 1228800, 147456000},
        {"argb32 (640x480)", FG_ERR_CAMERA_TYPE},
        {"RGB24 640x480)", FG_ERR_CAMERA_TYPE},
        {"RGB24 (640*480)", FG_ERR_CAMERA_TYPE},
        {"Rgb24 (640x480)", FG_ERR_CAMERA_TYPE},
    };
    for (const Case& c : cases) {
        CameraTypeRequest r;
        ASSERT_EQ(ParseCameraType(c.text, &r), c.status) << c.text;
        if (c.status != FG_SUCCESS)
            continue;
        const VIDEOINFOHEADER& f = c.subtype ? r.format : r.custom_format;
        EXPECT_TRUE((r.subtype ? r.subtype->guid : GUID_NULL) ==
                    (c.subtype ? *c.subtype : GUID_NULL))
            << c.text;
        EXPECT_EQ(r.video_standard, c.standard) << c.text;
        EXPECT_EQ(f.bmiHeader.biSize, 40u);
        EXPECT_EQ(f.bmiHeader.biWidth, c.width) << c.text;
        EXPECT_EQ(f.bmiHeader.biHeight, c.height) << c.text;
        EXPECT_EQ(f.bmiHeader.biSizeImage, c.image_size) << c.text;
        EXPECT_EQ(f.dwBitRate, c.bit_rate) << c.text;
        EXPECT_EQ(f.AvgTimePerFrame, 666666) << c.text;
    }
    CameraTypeRequest r;
    ASSERT_EQ(ParseCameraType("MJPG (640x480)", &r), FG_SUCCESS);
    EXPECT_TRUE(r.custom);
    EXPECT_EQ(r.custom_subtype, MEDIASUBTYPE_MJPG);
    ASSERT_EQ(ParseCameraType("Y800 (8x2)", &r), FG_SUCCESS);
    EXPECT_EQ(r.format.bmiHeader.biCompression, FourCC("Y800"));
    EXPECT_EQ(r.format.bmiHeader.biBitCount, 8);
    ASSERT_EQ(ParseCameraType("DEFAULT", &r), FG_SUCCESS);
    EXPECT_TRUE(r.device_format);
}

TEST(CameraTypeTest, WritesTheNegotiatedFormatBack)
{
    struct Case {
        const GUID& subtype;
        int32_t width, height, standard, colour_mode;
        const char* camera_type;
        int32_t bits;
        const char* colour_space;
    };
    const GUID unknown = MEDIASUBTYPE_YUY2;
    const Case cases[] = {
        {MEDIASUBTYPE_RGB24, 640, 480, 0, kColourRgb, "RGB24 (640x480)", 8, "rgb"},
        {MEDIASUBTYPE_RGB565, 320, 240, 1, kColourRgb, "NTSC_M RGB565 (320x240)", 5, "rgb"},
        {MEDIASUBTYPE_RGB555, 320, 240, 0, kColourGray, "RGB555 (320x240)", 8, "gray"},
        {MEDIASUBTYPE_RGB24, 768, -576, 4096, kColourRgb, "SECAM_BRGB24 (768x576)", 8, "rgb"},
        {MEDIASUBTYPE_RGB8, 8, 8, 16, kColourRgb, "PAL_B RGB8 (8x8)", 8, "gray"},
        {unknown, 8, 8, 1, kColourRgb, "NTSC_M  (8x8)", 12, "kept"},
    };
    for (const Case& c : cases) {
        FGInstance inst{};
        inst.bits_per_channel = 12;
        std::strcpy(inst.color_space, "kept");
        VIDEOINFOHEADER format{};
        format.bmiHeader.biWidth = c.width;
        format.bmiHeader.biHeight = c.height;
        WriteBackCameraType(format, c.subtype, c.standard, c.colour_mode, &inst);
        EXPECT_STREQ(inst.camera_type, c.camera_type);
        EXPECT_EQ(inst.bits_per_channel, c.bits) << c.camera_type;
        EXPECT_STREQ(inst.color_space, c.colour_space) << c.camera_type;
        EXPECT_EQ(inst.horizontal_resolution, c.width);
        EXPECT_EQ(inst.image_width, c.width);
        EXPECT_EQ(inst.vertical_resolution, c.height);
        EXPECT_EQ(inst.image_height, std::abs(c.height));
        EXPECT_EQ(inst.field, FG_FIELD_INTERLACED);
    }
}

TEST(CameraTypeTest, FrameSizeIsBitsTimesAreaWithoutOverflow)
{
    EXPECT_EQ(FrameSize(12, 640, -480), 460800u) << "4:1:1 frames are one and a half bytes a pixel";
    EXPECT_EQ(FrameSize(24, 640, 480), 921600u);
    EXPECT_GE(FrameSize(32, 1 << 30, 1 << 30), 0xF0000000u);
}

TEST(CameraTypeTest, CapabilityListNamesSubtypesByFamily)
{
    EXPECT_EQ(SubtypeListName(MEDIASUBTYPE_Y41P), "YUV41P");
    EXPECT_EQ(SubtypeListName(MEDIASUBTYPE_YUY2), "unsupported YUV");
    EXPECT_EQ(SubtypeListName(MEDIASUBTYPE_MJPG), "unsupported MJPG");
    EXPECT_EQ(SubtypeListName(MEDIASUBTYPE_ARGB32), "unsupported ARGB32");
    EXPECT_EQ(SubtypeListName(StandInGuid(0x7777)), "unsupported format");
}

} // namespace
