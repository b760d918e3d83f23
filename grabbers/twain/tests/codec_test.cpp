#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <fgint/fgint.h>
#include <twain/simulation.h>
#include <twain_codec/container.h>
#include <twain_codec/dib_decoder.h>

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, size_t at, uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

template <typename Change> Bytes Changed(Bytes bytes, Change change)
{
    change(bytes);
    return bytes;
}

std::string Result(const char* error) { return error ? error : "ok"; }

TEST(TwainDibTest, BitmapsThatDoNotFitTheirBlockAreRefusedBeforeAnyRead)
{
    const Bytes rgb = twsim::Bitmap({13, 7, 24});
    const Bytes grey = twsim::Bitmap({13, 7, 8, TWPT_GRAY});
    const Bytes words = twsim::Bitmap({13, 7, 16, TWPT_GRAY});
    const std::string outside = "FGGrab error: Bitmap does not fit in its memory block";
    struct Case {
        const char* name;
        Bytes bitmap;
        bool after_memory;
        std::string result;
    };
    const Case cases[] = {
        {"24 bits", rgb, false, "ok"},
        {"16 bits", words, false, "ok"},
        {"16 bits without the palette a memory transfer writes", words, true, outside},
        {"cut short", Bytes(rgb.begin(), rgb.end() - 1), false, outside},
        {"header only", Bytes(rgb.begin(), rgb.begin() + 39), false, outside},
        {"header size 39", Changed(rgb, [](Bytes& b) { Put(b, 0, 39); }), false, outside},
        {"header beyond the block", Changed(rgb, [](Bytes& b) { Put(b, 0, 1u << 31); }), false,
         outside},
        {"width 0", Changed(rgb, [](Bytes& b) { Put(b, 4, 0); }), false, outside},
        {"width negative", Changed(rgb, [](Bytes& b) { Put(b, 4, uint32_t(-13)); }), false,
         outside},
        {"width too large", Changed(rgb, [](Bytes& b) { Put(b, 4, 0x7FFFFFFF); }), false, outside},
        {"height 0", Changed(rgb, [](Bytes& b) { Put(b, 8, 0); }), false, outside},
        {"height most negative", Changed(rgb, [](Bytes& b) { Put(b, 8, 0x80000000u); }), false,
         outside},
        {"rows beyond the block", Changed(rgb, [](Bytes& b) { Put(b, 8, 0x40000000); }), false,
         outside},
        {"colours beyond the block", Changed(grey, [](Bytes& b) { Put(b, 32, 0xFFFFFFFF); }), false,
         outside},
        {"2 bits", Changed(rgb, [](Bytes& b) { Put(b, 14, 2, 2); }), false,
         "FGGrab error: Bad value for biBitCount"},
        {"run-length", Changed(grey, [](Bytes& b) { Put(b, 16, 1); }), false,
         "FGGrab error: Bitmap is compressed; not supported at the moment!"},
        {"bit fields at 24 bits", Changed(rgb, [](Bytes& b) { Put(b, 16, 3); }), false,
         "FGGrab error: Bad value for biCompression"},
    };
    for (const Case& c : cases) {
        twain_codec::DibImage image;
        EXPECT_EQ(
            Result(twain_codec::ReadDib(c.bitmap.data(), c.bitmap.size(), c.after_memory, &image)),
            c.result)
            << c.name;
    }
    twain_codec::DibImage image;
    EXPECT_EQ(Result(twain_codec::ReadDib(nullptr, 0, false, &image)), outside);
}

TEST(TwainDibTest, FourBitIndexesTakeTheHighNibbleFirstAndMissingColoursAreBlack)
{
    // 3 x 1 pixels, 3 colours used: indexes 1, 2 and 7 (beyond the palette).
    Bytes bitmap(40 + 3 * 4 + 4);
    Put(bitmap, 0, 40);
    Put(bitmap, 4, 3);
    Put(bitmap, 8, 1);
    Put(bitmap, 12, 1, 2);
    Put(bitmap, 14, 4, 2);
    Put(bitmap, 32, 3);
    for (uint32_t i = 0; i < 3; ++i)
        Put(bitmap, 40 + 4 * i,
            0x00102030u * (i + 1)); // blue, green, red = 0x30, 0x20, 0x10 (x i+1)
    bitmap[52] = 0x12;
    bitmap[53] = 0x70;
    twain_codec::DibImage image;
    ASSERT_EQ(twain_codec::ReadDib(bitmap.data(), bitmap.size(), false, &image), nullptr);
    EXPECT_EQ(image.channels, 3);
    EXPECT_STREQ(image.color_space, "rgb");
    EXPECT_EQ(image.bits_per_channel, 4);
    uint8_t planes[3][3] = {};
    void* const targets[3] = {planes[0], planes[1], planes[2]};
    twain_codec::ExtractDib(image, targets);
    const uint8_t red[] = {0x20, 0x30, 0}, green[] = {0x40, 0x60, 0}, blue[] = {0x60, 0x90, 0};
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(planes[0][x], red[x]) << x;
        EXPECT_EQ(planes[1][x], green[x]) << x;
        EXPECT_EQ(planes[2][x], blue[x]) << x;
    }
}

// A container of `size` bytes: the item type, then 32-bit words from offset 4
// (ONEVALUE's Item, an ENUMERATION's counts, a RANGE's values).
Bytes Container(TW_UINT16 type, std::vector<uint32_t> words, size_t size = 0)
{
    Bytes bytes(std::max(size, 4 + 4 * words.size()));
    Put(bytes, 0, type, 2);
    for (size_t i = 0; i < words.size(); ++i)
        Put(bytes, 4 + 4 * i, words[i]);
    return bytes;
}

TEST(TwainContainerTest, CurrentItemOfEachKindStaysInsideItsBlock)
{
    const std::string outside = "GetCapValue error: Container does not fit in its memory block";
    const std::string bad_type = "GetCapValue error: ItemType not supported so far";
    // An enumeration of three 16-bit items 3, 7, 9 with current index `index`.
    auto enumeration = [](uint32_t count, uint32_t index) {
        Bytes b = Container(TWTY_UINT16, {count, index, 0});
        for (TW_UINT16 item : {3, 7, 9}) {
            b.push_back(uint8_t(item));
            b.push_back(0);
        }
        return b;
    };
    const uint32_t fix_1_5 = 1 | 32768u << 16;  // 1.5
    const uint32_t fix_2_25 = 2 | 16384u << 16; // 2.25
    struct Case {
        const char* name;
        TW_UINT16 kind;
        Bytes container;
        std::string result;
        double value;
    };
    const Case cases[] = {
        {"one 16-bit value", TWON_ONEVALUE, Container(TWTY_UINT16, {5}), "ok", 5},
        {"one signed byte", TWON_ONEVALUE, Container(TWTY_INT8, {0xFD}), "ok", -3},
        {"one signed word", TWON_ONEVALUE, Container(TWTY_INT16, {0xFFFE}), "ok", -2},
        {"one fixed-point value", TWON_ONEVALUE, Container(TWTY_FIX32, {fix_1_5}), "ok", 1.5},
        {"enumeration", TWON_ENUMERATION, enumeration(3, 2), "ok", 9},
        {"enumeration index at the end", TWON_ENUMERATION, enumeration(3, 3), outside, 0},
        {"enumeration longer than its block", TWON_ENUMERATION, enumeration(9, 5), outside, 0},
        {"range", TWON_RANGE, Container(TWTY_FIX32, {0, 0, 0, 0, fix_2_25}), "ok", 2.25},
        {"range cut short", TWON_RANGE, Container(TWTY_FIX32, {0, 0, 0, 0}), outside, 0},
        {"range of frames", TWON_RANGE, Container(TWTY_FRAME, {0, 0, 0, 0, 0}), bad_type, 0},
        {"boolean", TWON_ONEVALUE, Container(TWTY_BOOL, {1}), bad_type, 0},
        {"array", TWON_ARRAY, Container(TWTY_UINT16, {1, 5}),
         "GetCapValue error: ConType not supported at the moment", 0},
        {"unknown kind", 99, Container(TWTY_UINT16, {5}),
         "GetCapValue error: Your driver delivered a bad ConType value", 0},
        {"a single byte", TWON_ONEVALUE, Bytes{TWTY_UINT16}, outside, 0},
        {"a frame in a plain one-value block", TWON_ONEVALUE, Container(TWTY_FRAME, {0}), outside,
         0},
    };
    for (const Case& c : cases) {
        twain_codec::CapItem item;
        EXPECT_EQ(Result(twain_codec::ReadCurrentItem(c.kind, c.container.data(),
                                                      c.container.size(), &item)),
                  c.result)
            << c.name;
        double value = 0;
        if (c.result == "ok") {
            EXPECT_TRUE(twain_codec::ItemToReal(item, &value));
            EXPECT_EQ(value, c.value) << c.name;
        }
    }
    // A frame: four fixed-point values in a block larger than a plain one-value one.
    const Bytes frame = Container(TWTY_FRAME, {fix_1_5, 2, fix_2_25, 4});
    twain_codec::CapItem item;
    ASSERT_EQ(twain_codec::ReadCurrentItem(TWON_ONEVALUE, frame.data(), frame.size(), &item),
              nullptr);
    EXPECT_EQ(TwainFix32ToReal(item.frame.Left), 1.5);
    EXPECT_EQ(TwainFix32ToReal(item.frame.Top), 2.0);
    EXPECT_EQ(TwainFix32ToReal(item.frame.Right), 2.25);
    EXPECT_EQ(TwainFix32ToReal(item.frame.Bottom), 4.0);
    double value = 0;
    EXPECT_FALSE(twain_codec::ItemToReal(item, &value));
}

} // namespace
