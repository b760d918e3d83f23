#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

#include "test_images.h"
#include "tiff_samples.h"

using namespace testimg;
namespace fs = std::filesystem;

namespace {

class FilesTest : public OperatorTest {
protected:
    void SetUp() override
    {
        OperatorTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "verodyn_files_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        fs::remove_all(folder_);
        OperatorTest::TearDown();
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    std::string save(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path(name);
    }

    std::vector<std::uint8_t> load(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>());
    }

    std::size_t files_in_folder() const
    {
        return std::size_t(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
};

TEST_F(FilesTest, TiffKeepsEveryPixelOfEveryShape)
{
    for (const Shape& s : kShapes)
        for (int channels : {1, 3}) {
            const auto planes = byte_ramps(s, channels, 11, 17);
            ASSERT_EQ(write_image(make("byte", s.width, s.height, planes), "tiff", 0,
                                  path("a.tif").c_str()),
                      V_OK);
            Vobject back;
            ASSERT_EQ(read_image(&back, path("a.tif").c_str()), V_OK);
            ASSERT_EQ(back.image(0)->channels(), channels);
            EXPECT_EQ(back.image(0)->width(), s.width);
            EXPECT_EQ(back.image(0)->height(), s.height);
            for (int c = 0; c < channels; ++c)
                EXPECT_EQ(plane<std::uint8_t>(back, c), planes[c]);
        }
    EXPECT_EQ(files_in_folder(), 1u);
}

// The first value of the first quantisation table: 16 scaled by 5000 / 30 %.
int first_luminance_quantiser(const std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t i = 0; i + 5 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB)
            return jpeg[i + 5];
    return -1;
}

// Where the marker `code` starts in a JPEG file, or its size when absent.
std::size_t marker_at(const std::vector<std::uint8_t>& jpeg, std::uint8_t code)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code)
            return i;
    return jpeg.size();
}

TEST_F(FilesTest, Jpeg30WritesQuality30GreyAndColour)
{
    for (int channels : {1, 3}) {
        std::vector<std::vector<std::uint8_t>> planes;
        for (int c = 0; c < channels; ++c) {
            std::vector<std::uint8_t> p(64 * 48);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    p[std::size_t(y * 64 + x)] = std::uint8_t(60 + x + y + 20 * c);
            planes.push_back(p);
        }
        ASSERT_EQ(write_image(make("byte", 64, 48, planes), "jpeg30", 0, path("a.jpg").c_str()),
                  V_OK);
        EXPECT_EQ(first_luminance_quantiser(load("a.jpg")), 27);
        Vobject back;
        ASSERT_EQ(read_image(&back, path("a.jpg").c_str()), V_OK);
        ASSERT_EQ(back.image(0)->channels(), channels);
        EXPECT_EQ(back.image(0)->width(), 64);
        EXPECT_EQ(back.image(0)->height(), 48);
        for (int c = 0; c < channels; ++c) {
            const auto got = plane<std::uint8_t>(back, c);
            double error = 0;
            for (std::size_t i = 0; i < got.size(); ++i)
                error += std::abs(int(got[i]) - int(planes[c][i]));
            EXPECT_LT(error / double(got.size()), 4.0);
        }
        for (const Shape& s : kShapes) {
            ASSERT_EQ(write_image(make("byte", s.width, s.height,
                                       std::vector<std::vector<std::uint8_t>>(
                                           std::size_t(channels),
                                           ramp<std::uint8_t>(s.width, s.height, 0, 9))),
                                  "jpeg30", 0, path("s.jpg").c_str()),
                      V_OK);
            ASSERT_EQ(read_image(&back, path("s.jpg").c_str()), V_OK);
            EXPECT_EQ(back.image(0)->width(), s.width);
            EXPECT_EQ(back.image(0)->height(), s.height);
            EXPECT_EQ(back.image(0)->channels(), channels);
        }
    }
}

samples::TiffSpec sized(std::uint32_t width, std::uint32_t height, std::uint16_t bits)
{
    samples::TiffSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    return spec;
}

std::vector<std::uint16_t> ramp16(std::size_t n, unsigned step)
{
    std::vector<std::uint16_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = std::uint16_t((i * step) & 0xFF);
    return v;
}

std::vector<std::uint16_t> scaled(std::vector<std::uint16_t> v, unsigned factor)
{
    for (auto& x : v)
        x = std::uint16_t(x * factor);
    return v;
}

TEST_F(FilesTest, TiffLayoutsAreReadIntoByteChannels)
{
    using samples::TiffSpec;
    const std::size_t n = 20 * 18;
    const auto r = ramp16(n, 3), g = ramp16(n, 5), b = ramp16(n, 7), a = ramp16(n, 11);
    std::vector<std::uint16_t> palette_map(3 * 256), small_map(3 * 256);
    for (int i = 0; i < 256; ++i) {
        palette_map[i] = std::uint16_t(i * 257);
        palette_map[256 + i] = std::uint16_t((255 - i) * 257);
        palette_map[512 + i] = 0x8000;
        small_map[i] = std::uint16_t(i);
        small_map[256 + i] = 7;
        small_map[512 + i] = std::uint16_t(255 - i);
    }
    std::vector<std::uint16_t> bits(n), bilevel(n), negative(n), halves(n, 128), sevens(n, 7);
    for (std::size_t i = 0; i < n; ++i) {
        bits[i] = i % 3 == 0;
        bilevel[i] = bits[i] ? 255 : 0;
        negative[i] = std::uint16_t(255 - r[i]);
    }

    struct {
        const char* name;
        TiffSpec spec;
        std::vector<std::vector<std::uint16_t>> expected;
    } const cases[] = {
        {"grey strips of 4 rows",
         {20, 18, 8, 1, PHOTOMETRIC_MINISBLACK, 1, COMPRESSION_NONE, 1, 0, 4, false, {}, {r}},
         {r}},
        {"grey LZW tiles",
         {20, 18, 8, 1, PHOTOMETRIC_MINISBLACK, 1, COMPRESSION_LZW, 1, 16, 0, false, {}, {r}},
         {r}},
        {"grey min-is-white",
         {20, 18, 8, 1, PHOTOMETRIC_MINISWHITE, 1, COMPRESSION_NONE, 1, 0, 0, false, {}, {r}},
         {negative}},
        {"16-bit grey",
         {20,
          18,
          16,
          1,
          PHOTOMETRIC_MINISBLACK,
          1,
          COMPRESSION_NONE,
          1,
          0,
          5,
          false,
          {},
          {scaled(r, 257)}},
         {r}},
        {"RGB tiles",
         {20, 18, 8, 3, PHOTOMETRIC_RGB, 1, COMPRESSION_NONE, 1, 16, 0, false, {}, {r, g, b}},
         {r, g, b}},
        {"RGB planes",
         {20, 18, 8, 3, PHOTOMETRIC_RGB, 2, COMPRESSION_NONE, 1, 0, 7, false, {}, {r, g, b}},
         {r, g, b}},
        {"RGB planes in tiles",
         {20, 18, 8, 3, PHOTOMETRIC_RGB, 2, COMPRESSION_DEFLATE, 1, 16, 0, false, {}, {r, g, b}},
         {r, g, b}},
        {"16-bit RGB",
         {20,
          18,
          16,
          3,
          PHOTOMETRIC_RGB,
          1,
          COMPRESSION_NONE,
          1,
          0,
          0,
          false,
          {},
          {scaled(r, 257), scaled(g, 257), scaled(b, 257)}},
         {r, g, b}},
        {"RGBA drops alpha",
         {20, 18, 8, 4, PHOTOMETRIC_RGB, 1, COMPRESSION_NONE, 1, 0, 0, true, {}, {r, g, b, a}},
         {r, g, b}},
        {"palette",
         {20, 18, 8, 1, PHOTOMETRIC_PALETTE, 1, COMPRESSION_NONE, 1, 0, 0, false, palette_map, {r}},
         {r, negative, halves}},
        {"palette of 8-bit values",
         {20,
          18,
          8,
          1,
          PHOTOMETRIC_PALETTE,
          1,
          COMPRESSION_PACKBITS,
          1,
          0,
          0,
          false,
          small_map,
          {r}},
         {r, sevens, negative}},
        {"bilevel",
         {20, 18, 1, 1, PHOTOMETRIC_MINISBLACK, 1, COMPRESSION_NONE, 1, 0, 0, false, {}, {bits}},
         {bilevel}},
    };
    for (const auto& c : cases) {
        const std::string file = save("layout.tif", samples::make_tiff(c.spec));
        Vobject image;
        ASSERT_EQ(read_image(&image, file.c_str()), V_OK) << c.name << ": " << vlast_error();
        ASSERT_EQ(image.image(0)->channels(), int(c.expected.size())) << c.name;
        EXPECT_EQ(image.image(0)->width(), 20);
        EXPECT_EQ(image.image(0)->height(), 18);
        for (std::size_t ch = 0; ch < c.expected.size(); ++ch) {
            const auto got = plane<std::uint8_t>(image, int(ch));
            EXPECT_EQ(std::vector<std::uint16_t>(got.begin(), got.end()), c.expected[ch])
                << c.name << " channel " << ch;
        }
    }
}

// The picture 0 1 2 3 4 / 5 6 7 8 9 / 10 11 12 13 14 stored in the row order
// of each orientation is read as that picture on every reading path.
TEST_F(FilesTest, EveryOrientationIsReadAsThePictureSeen)
{
    using Plane = std::vector<std::uint16_t>;
    const struct {
        std::uint16_t orientation;
        std::uint32_t width, height;
        Plane stored;
    } orientations[] = {
        {ORIENTATION_TOPLEFT, 5, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {ORIENTATION_TOPRIGHT, 5, 3, {4, 3, 2, 1, 0, 9, 8, 7, 6, 5, 14, 13, 12, 11, 10}},
        {ORIENTATION_BOTRIGHT, 5, 3, {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {ORIENTATION_BOTLEFT, 5, 3, {10, 11, 12, 13, 14, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4}},
        {ORIENTATION_LEFTTOP, 3, 5, {0, 5, 10, 1, 6, 11, 2, 7, 12, 3, 8, 13, 4, 9, 14}},
        {ORIENTATION_RIGHTTOP, 3, 5, {4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11, 0, 5, 10}},
        {ORIENTATION_RIGHTBOT, 3, 5, {14, 9, 4, 13, 8, 3, 12, 7, 2, 11, 6, 1, 10, 5, 0}},
        {ORIENTATION_LEFTBOT, 3, 5, {10, 5, 0, 11, 6, 1, 12, 7, 2, 13, 8, 3, 14, 9, 4}},
    };
    auto map = [](Plane v, auto f) {
        for (auto& x : v)
            x = std::uint16_t(f(x));
        return v;
    };
    auto times = [&](const Plane& v, unsigned k) {
        return map(v, [k](unsigned x) { return x * k; });
    };
    auto negative = [&](const Plane& v) { return map(v, [](unsigned x) { return 255 - x; }); };
    Plane palette_map(3 * 256);
    for (int i = 0; i < 256; ++i) {
        palette_map[std::size_t(i)] = std::uint16_t(i * 257);
        palette_map[std::size_t(256 + i)] = std::uint16_t((255 - i) * 257);
        palette_map[std::size_t(512 + i)] = 0x8000;
    }
    const Plane sevens(15, 7), halves(15, 128);

    for (const auto& o : orientations) {
        const Plane grey = times(o.stored, 17), seen = times(orientations[0].stored, 17);
        samples::TiffSpec strips = sized(o.width, o.height, 8), wide = sized(o.width, o.height, 16),
                          tiles = sized(o.width, o.height, 8),
                          palette = sized(o.width, o.height, 8),
                          rendered = sized(o.width, o.height, 4);
        strips.rows_per_strip = 2;
        strips.planes = {grey};
        wide.planes = {times(grey, 257)};
        tiles.samples = 3;
        tiles.photometric = PHOTOMETRIC_RGB;
        tiles.planar = PLANARCONFIG_SEPARATE;
        tiles.tile = 16;
        tiles.planes = {grey, negative(grey), sevens};
        palette.photometric = PHOTOMETRIC_PALETTE;
        palette.colormap = palette_map;
        palette.planes = {grey};
        rendered.planes = {o.stored};
        const struct {
            const char* name;
            samples::TiffSpec& spec;
            std::vector<Plane> expected;
        } layouts[] = {
            {"8-bit grey strips", strips, {seen}},
            {"16-bit grey", wide, {seen}},
            {"RGB planes in tiles", tiles, {seen, negative(seen), sevens}},
            {"palette", palette, {seen, negative(seen), halves}},
            {"4-bit grey through the renderer", rendered, {seen}},
        };
        for (const auto& l : layouts) {
            l.spec.orientation = o.orientation;
            Vobject image;
            ASSERT_EQ(read_image(&image, save("oriented.tif", samples::make_tiff(l.spec)).c_str()),
                      V_OK)
                << l.name << ": " << vlast_error();
            ASSERT_EQ(image.image(0)->channels(), int(l.expected.size())) << l.name;
            EXPECT_EQ(image.image(0)->width(), 5) << l.name << " orientation " << o.orientation;
            EXPECT_EQ(image.image(0)->height(), 3) << l.name << " orientation " << o.orientation;
            for (std::size_t c = 0; c < l.expected.size(); ++c) {
                const auto got = plane<std::uint8_t>(image, int(c));
                EXPECT_EQ(Plane(got.begin(), got.end()), l.expected[c])
                    << l.name << " orientation " << o.orientation << " channel " << c;
            }
        }
    }
}

TEST_F(FilesTest, SixteenBitGreyIsScaledAndRounded)
{
    samples::TiffSpec spec = sized(5, 1, 16);
    spec.planes = {{0, 257, 32767, 65535, 100 * 257 + 128}};
    Vobject image;
    ASSERT_EQ(read_image(&image, save("g16.tif", samples::make_tiff(spec)).c_str()), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(image), (std::vector<std::uint8_t>{0, 1, 127, 255, 100}));
}

TEST_F(FilesTest, BrokenFilesGiveErrorsAndLeaveTheOutput)
{
    const std::vector<std::uint8_t> pixels = ramp<std::uint8_t>(16, 8, 0, 1);
    const auto tiff = samples::handmade_grey_tiff(16, 8, pixels);
    ASSERT_EQ(write_image(bytes(16, 8, pixels), "jpeg30", 0, path("whole.jpg").c_str()), V_OK);
    const auto jpeg = load("whole.jpg");
    auto cut = [](std::vector<std::uint8_t> v, std::size_t size) {
        v.resize(size);
        return v;
    };
    auto with = [](std::vector<std::uint8_t> v, std::size_t at, std::uint8_t value) {
        v[at] = value;
        return v;
    };
    // The grey scan header is 10 bytes; two bytes of data are far from all.
    auto ended_early = cut(jpeg, marker_at(jpeg, 0xDA) + 12);
    ended_early.insert(ended_early.end(), {0xFF, 0xD9});
    samples::TiffSpec floats = sized(2, 2, 32);
    floats.sample_format = SAMPLEFORMAT_IEEEFP;
    floats.planes = {{0, 0, 0, 0}};

    // The handmade file: width at byte 18, pixels from byte 122.
    struct {
        const char* name;
        std::vector<std::uint8_t> content;
    } const cases[] = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o'}},
        {"TIFF magic only", cut(tiff, 4)},
        {"TIFF cut in its directory", cut(tiff, 60)},
        {"TIFF cut in its pixels", cut(tiff, tiff.size() - 1)},
        {"TIFF of zero width", with(tiff, 18, 0)},
        {"TIFF pixels beyond the end", with(tiff, 8 + 2 + 5 * 12 + 9, 0x7F)},
        {"TIFF of floats", samples::make_tiff(floats)},
        {"JPEG magic only", cut(jpeg, 3)},
        {"JPEG cut in half", cut(jpeg, jpeg.size() / 2)},
        {"JPEG without its end", cut(jpeg, jpeg.size() - 2)},
        {"JPEG data cut short by its end marker", ended_early},
    };
    ASSERT_EQ(read_image(nullptr, save("whole.tif", tiff).c_str()), VERR_PARAM);
    Vobject whole;
    ASSERT_EQ(read_image(&whole, path("whole.tif").c_str()), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(whole), pixels);

    const Vobject marker = bytes(1, 1, {42});
    for (const auto& c : cases) {
        Vobject out = marker;
        EXPECT_EQ(read_image(&out, save("broken", c.content).c_str()), VERR_FILE_FORMAT) << c.name;
        EXPECT_EQ(out.image(0), marker.image(0)) << c.name;
    }
    Vobject out = marker;
    EXPECT_EQ(read_image(&out, path("missing.tif").c_str()), VERR_FILE_OPEN);
    EXPECT_EQ(read_image(&out, folder_.c_str()), VERR_FILE_OPEN);
    EXPECT_EQ(out.image(0), marker.image(0));
    EXPECT_EQ(vlast_error(),
              "read_image: file cannot be opened: " + folder_.string() + ": not a regular file");
    // 64 GiB that are not an image are refused from their first bytes, not read.
    save("huge", {'h', 'e', 'l', 'l', 'o'});
    fs::resize_file(path("huge"), std::uintmax_t(1) << 36); // sparse: takes no room
    EXPECT_EQ(read_image(&out, path("huge").c_str()), VERR_FILE_FORMAT);
    EXPECT_EQ(vlast_error(), "read_image: unknown, truncated or corrupt image file: " +
                                 path("huge") + ": neither TIFF nor JPEG");
    EXPECT_EQ(out.image(0), marker.image(0));
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(read_image(&out, path("pipe").c_str()), VERR_FILE_OPEN); // refused, not waited on
}

// A 32767 x 32767 LZW file of a few bytes: its directory (8-bit grey, one
// strip) with the sample size, compression and strip size set, then the strip.
std::vector<std::uint8_t> lzw_bomb(std::uint8_t bits)
{
    std::vector<std::uint8_t> file = samples::grey_tiff_header(32767, 32767, 32767);
    const std::uint8_t strip[] = {0x80, 0x00, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00, 0x80,
                                  0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00, 0x80, 0x40};
    file[42] = bits;                       // BitsPerSample
    file[54] = COMPRESSION_LZW;            // Compression
    std::fill_n(file.begin() + 114, 4, 0); // StripByteCounts
    file[114] = sizeof strip;
    file.insert(file.end(), std::begin(strip), std::end(strip));
    return file;
}

// Reads `file` in a process limited to 512 MB of address space (unless the
// sanitizers' shadow memory needs more), where a large allocation fails, and
// exits with 0 when the read answered 5201 with `expected` as the error.
void read_in_little_memory(const std::string& file, const std::string& expected)
{
#ifndef __SANITIZE_ADDRESS__
    const rlimit limit{512u << 20, 512u << 20};
    setrlimit(RLIMIT_AS, &limit);
#endif
    Vobject image;
    const Vstatus status = read_image(&image, file.c_str());
    std::fprintf(stderr, "%d %s\n", int(status), vlast_error().c_str());
    std::exit(status == VERR_FILE_FORMAT && vlast_error() == expected ? 0 : 1);
}

TEST_F(FilesTest, ImagesThatClaimMoreThanTheirFileHoldsAreRefusedWithLittleMemory)
{
    struct Case {
        std::uint8_t bits;
        const char* why;
    };
    const Case cases[] = {
        {8, "image data of 1073676289 bytes cannot come from 20 stored bytes"},
        {4, "image data of 536854528 bytes cannot come from 20 stored bytes"},
    };
    for (const Case& c : cases) {
        const std::string file = save("bomb.tif", lzw_bomb(c.bits));
        ASSERT_EQ(fs::file_size(file), 142u);
        const std::string expected =
            "read_image: unknown, truncated or corrupt image file: " + file + ": " + c.why;
        EXPECT_EXIT(read_in_little_memory(file, expected), ::testing::ExitedWithCode(0), "5201 ")
            << int(c.bits);
    }
}

// The colour map's place in a palette file libtiff wrote: the value of its
// directory entry (tag 320), the file being little-endian.
std::size_t colour_map_offset(const std::vector<std::uint8_t>& file)
{
    auto word = [&](std::size_t at, int size) {
        std::size_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | file[at + std::size_t(i)];
        return value;
    };
    const std::size_t directory = word(4, 4);
    for (std::size_t entry = 0; entry < word(directory, 2); ++entry)
        if (word(directory + 2 + 12 * entry, 2) == TIFFTAG_COLORMAP)
            return word(directory + 2 + 12 * entry + 8, 4);
    return 0;
}

TEST_F(FilesTest, APaletteFileCutInItsColourMapIsBroken)
{
    samples::TiffSpec spec = sized(10, 10, 8);
    spec.photometric = PHOTOMETRIC_PALETTE;
    spec.colormap.assign(3 * 256, 0x4000);
    spec.planes = {std::vector<std::uint16_t>(100, 7)};
    const std::vector<std::uint8_t> whole = samples::make_tiff(spec);
    const std::size_t map = colour_map_offset(whole);
    ASSERT_GT(map, 0u);
    ASSERT_LE(map + 3 * 256 * 2, whole.size());
    Vobject image;
    ASSERT_EQ(read_image(&image, save("whole.tif", whole).c_str()), V_OK);
    ASSERT_EQ(image.image(0)->channels(), 3);
    for (std::size_t cut = map; cut < map + 3 * 256 * 2; ++cut) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
        ASSERT_EQ(read_image(&image, save("cut.tif", part).c_str()), VERR_FILE_FORMAT) << cut;
    }
}

TEST_F(FilesTest, AnImageOver32767PixelsASideIsRefusedFromItsHeader)
{
    ASSERT_EQ(write_image(bytes(16, 8, ramp<std::uint8_t>(16, 8, 0, 9)), "jpeg30", 0,
                          path("small.jpg").c_str()),
              V_OK);
    auto wide_jpeg = load("small.jpg");
    const std::size_t width_at = marker_at(wide_jpeg, 0xC0) + 7; // frame header: big-endian width
    wide_jpeg[width_at] = 40000 >> 8;
    wide_jpeg[width_at + 1] = 40000 & 0xFF;
    // The files hold no pixels: only their headers can refuse them.
    const struct {
        const char* name;
        std::vector<std::uint8_t> content;
        const char* size;
    } cases[] = {
        {"wide.tif", samples::grey_tiff_header(40000, 20, 20), "40000 x 20"},
        {"high.tif", samples::grey_tiff_header(20, 32768, 32768), "20 x 32768"},
        {"wide.jpg", wide_jpeg, "40000 x 8"},
    };
    for (const auto& c : cases) {
        Vobject out;
        EXPECT_EQ(read_image(&out, save(c.name, c.content).c_str()), VERR_IMAGE_TOO_LARGE);
        EXPECT_EQ(vlast_error(), "read_image: image larger than 32767 pixels a side: " +
                                     path(c.name) + ": image of " + c.size + " pixels");
        EXPECT_TRUE(out.empty());
    }
}

TEST_F(FilesTest, ImagesUpTo32767PixelsASideOpen)
{
    struct {
        std::uint16_t width, height, rows_per_strip;
    } const cases[] = {{32767, 2, 2}, {20000, 20000, 250}};
    for (const auto& c : cases) {
        // The pixels are a hole of a sparse file, but for the last one.
        const auto header = samples::grey_tiff_header(c.width, c.height, c.rows_per_strip);
        const std::uintmax_t end = header.size() + std::uintmax_t(c.width) * c.height;
        save("large.tif", header);
        fs::resize_file(path("large.tif"), end);
        std::fstream(path("large.tif"), std::ios::in | std::ios::out | std::ios::binary)
            .seekp(std::streamoff(end - 1))
            .put(9);
        Vobject image;
        ASSERT_EQ(read_image(&image, path("large.tif").c_str()), V_OK) << vlast_error();
        const VImage& read = *image.image(0);
        EXPECT_EQ(read.width(), c.width);
        EXPECT_EQ(read.height(), c.height);
        EXPECT_EQ(read.plane_as<std::uint8_t>(0)[0], 0);
        EXPECT_EQ(read.plane_as<std::uint8_t>(0)[read.pixel_count() - 1], 9);
    }
}

// A CMYK JPEG of quality 100 written by libjpeg from `stored`, four samples a
// pixel, in YCCK when asked; libjpeg adds Adobe's marker unless told not to.
std::vector<std::uint8_t> cmyk_jpeg(int width, int height, const std::vector<std::uint8_t>& stored,
                                    bool adobe, bool ycck)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, ycck ? JCS_YCCK : JCS_CMYK);
    for (int c = 0; c < 4; ++c) // no subsampling: each block keeps its colour
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.write_Adobe_marker = adobe;
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row = const_cast<JSAMPLE*>(stored.data() + std::size_t(y) * width * 4);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

TEST_F(FilesTest, CmykJpegIsReadAsRgbLikeCmykTiff)
{
    // Blocks of 8 x 8 pixels of one colour each, which a JPEG of quality 100 keeps exactly.
    constexpr int kBlocks = 4, kWidth = 8 * kBlocks, kHeight = 8;
    const std::uint8_t inks[kBlocks][4] = {
        {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 128, 64, 51}, {30, 60, 90, 255}};
    const std::uint8_t rgb[kBlocks][3] = {
        {255, 255, 255}, {0, 255, 255}, {204, 101, 152}, {0, 0, 0}};
    std::vector<std::uint8_t> plain, inverted;
    std::vector<std::vector<std::uint16_t>> planes(4);
    std::vector<std::vector<std::uint8_t>> expected(3);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const int block = i % kWidth / 8;
        for (int s = 0; s < 4; ++s) {
            plain.push_back(inks[block][s]);
            inverted.push_back(std::uint8_t(255 - inks[block][s]));
            planes[std::size_t(s)].push_back(inks[block][s]);
        }
        for (int c = 0; c < 3; ++c)
            expected[std::size_t(c)].push_back(rgb[block][c]);
    }
    samples::TiffSpec tiff = sized(kWidth, kHeight, 8);
    tiff.samples = 4;
    tiff.photometric = PHOTOMETRIC_SEPARATED;
    tiff.planes = planes;
    const struct {
        const char* name;
        std::vector<std::uint8_t> content;
        int tolerance; // YCCK passes the inks through a lossy colour transform
    } cases[] = {
        {"CMYK TIFF", samples::make_tiff(tiff), 0},
        {"CMYK JPEG", cmyk_jpeg(kWidth, kHeight, plain, false, false), 0},
        {"Adobe CMYK JPEG", cmyk_jpeg(kWidth, kHeight, inverted, true, false), 0},
        {"Adobe YCCK JPEG", cmyk_jpeg(kWidth, kHeight, inverted, true, true), 1},
    };
    for (const auto& c : cases) {
        Vobject image;
        ASSERT_EQ(read_image(&image, save("cmyk", c.content).c_str()), V_OK)
            << c.name << ": " << vlast_error();
        ASSERT_EQ(image.image(0)->channels(), 3) << c.name;
        for (int channel = 0; channel < 3; ++channel) {
            const auto got = plane<std::uint8_t>(image, channel);
            for (std::size_t i = 0; i < got.size(); ++i)
                ASSERT_NEAR(got[i], expected[std::size_t(channel)][i], c.tolerance)
                    << c.name << " channel " << channel << " pixel " << i;
        }
    }
}

TEST_F(FilesTest, JpegWithStrayBytesBeforeAMarkerIsRead)
{
    ASSERT_EQ(write_image(bytes(16, 8, ramp<std::uint8_t>(16, 8, 0, 9)), "jpeg30", 0,
                          path("whole.jpg").c_str()),
              V_OK);
    const auto jpeg = load("whole.jpg");
    Vobject whole;
    ASSERT_EQ(read_image(&whole, path("whole.jpg").c_str()), V_OK);
    // More than the decoder's bit buffer takes in, so some are left before the marker.
    std::vector<std::uint8_t> stray(32);
    for (std::size_t i = 0; i < stray.size(); ++i)
        stray[i] = std::uint8_t(0x11 * (i % 8));
    const struct {
        const char* name;
        std::size_t at;
    } cases[] = {
        {"before the quantisation tables", marker_at(jpeg, 0xDB)},
        {"before the end marker", jpeg.size() - 2},
    };
    for (const auto& c : cases) {
        ASSERT_LT(c.at, jpeg.size()) << c.name;
        auto padded = jpeg;
        padded.insert(padded.begin() + std::ptrdiff_t(c.at), stray.begin(), stray.end());
        Vobject image;
        ASSERT_EQ(read_image(&image, save("padded.jpg", padded).c_str()), V_OK)
            << c.name << ": " << vlast_error();
        EXPECT_EQ(plane<std::uint8_t>(image), plane<std::uint8_t>(whole)) << c.name;
    }
}

TEST_F(FilesTest, AFailingReadThrowsWhileErrorsAreGiven)
{
    set_check("give_error");
    Vobject out;
    try {
        read_image(&out, path("missing.tif").c_str());
        FAIL() << "no exception";
    } catch (const VException& e) {
        EXPECT_EQ(e.err(), VERR_FILE_OPEN);
        EXPECT_NE(std::string(e.what()).find("missing.tif"), std::string::npos);
    }
}

TEST_F(FilesTest, WriteRefusesWhatItCannotWrite)
{
    const Vobject grey = bytes(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(write_image(grey, "png", 0, path("a.png").c_str()), VERR_FILE_FORMAT_NAME);
    EXPECT_EQ(write_image(make<float>("real", 1, 1, {{1}}), "tiff", 0, path("a.tif").c_str()),
              VERR_PIXEL_TYPE);
    EXPECT_EQ(write_image(Vobject(), "tiff", 0, path("a.tif").c_str()), VERR_NO_OBJECT);
    EXPECT_EQ(write_image(grey, "tiff", 0, path("no/such/folder/a.tif").c_str()), VERR_FILE_WRITE);
    fs::create_directory(path("taken"));
    EXPECT_EQ(write_image(grey, "tiff", 0, path("taken").c_str()), VERR_FILE_WRITE);
    EXPECT_TRUE(fs::is_directory(path("taken")));
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FilesTest, AFailedWriteLeavesTheExistingFileAndNoTemporary)
{
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    save("keep.tif", old);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Vstatus status = write_image(bytes(100, 100, ramp<std::uint8_t>(100, 100, 0, 1)), "tiff",
                                       0, path("keep.tif").c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(status, VERR_FILE_WRITE);
    EXPECT_EQ(load("keep.tif"), old);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FilesTest, AWriteReplacesTheFileAndKeepsItsPermissions)
{
    save("a.tif", {'o', 'l', 'd'});
    fs::permissions(path("a.tif"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(write_image(bytes(1, 1, {9}), "tiff", 0, path("a.tif").c_str()), V_OK);
    Vobject back;
    ASSERT_EQ(read_image(&back, path("a.tif").c_str()), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(back)[0], 9);
    EXPECT_EQ(fs::status(path("a.tif")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(FilesTest, AWriteThroughASymbolicLinkReplacesTheFileItNames)
{
    save("target.tif", {'o', 'l', 'd'});
    fs::create_symlink("target.tif", path("link.tif"));
    ASSERT_EQ(write_image(bytes(1, 1, {7}), "tiff", 0, path("link.tif").c_str()), V_OK);
    EXPECT_TRUE(fs::is_symlink(path("link.tif")));
    Vobject back;
    ASSERT_EQ(read_image(&back, path("target.tif").c_str()), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(back)[0], 7);
    EXPECT_EQ(files_in_folder(), 2u);
}

} // namespace
