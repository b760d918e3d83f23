#include <filesystem>
#include <fstream>

#include "test_images.h"
#include "tiff_samples.h"

namespace fs = std::filesystem;

namespace {

class SampleDepthTest : public testimg::OperatorTest {
protected:
    void SetUp() override
    {
        OperatorTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "verodyn_depth_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        fs::remove_all(folder_);
        OperatorTest::TearDown();
    }

    std::string save(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    fs::path folder_;
};

samples::TiffSpec Tiff(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric)
{
    samples::TiffSpec spec;
    spec.width = 4;
    spec.height = 2;
    spec.bits = bits;
    spec.samples = samples;
    spec.photometric = photometric;
    spec.planes.assign(samples, std::vector<std::uint16_t>(8, 1));
    return spec;
}

TEST_F(SampleDepthTest, BitsPerSampleFromTheHeader)
{
    Vobject grey;
    ASSERT_EQ(gen_image_const(&grey, "byte", 4, 2), V_OK);
    const std::string jpeg8 = (folder_ / "8.jpg").string();
    ASSERT_EQ(write_image(grey, "jpeg30", 0, jpeg8.c_str()), V_OK);
    // A 12-bit frame header behind an application segment and a fill byte.
    const std::vector<std::uint8_t> jpeg12 = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF,
                                              0xFF, 0xC1, 0x00, 0x0B, 0x0C, 0x00, 0x02, 0x00, 0x04};
    struct Case {
        std::string path;
        int bits;
    };
    const Case cases[] = {
        {save("g8.tif", samples::make_tiff(Tiff(8, 1, PHOTOMETRIC_MINISBLACK))), 8},
        {save("g16.tif", samples::make_tiff(Tiff(16, 1, PHOTOMETRIC_MINISBLACK))), 16},
        {save("rgb16.tif", samples::make_tiff(Tiff(16, 3, PHOTOMETRIC_RGB))), 16},
        {save("bw.tif", samples::make_tiff(Tiff(1, 1, PHOTOMETRIC_MINISWHITE))), 1},
        {jpeg8, 8},
        {save("12.jpg", jpeg12), 12},
    };
    for (const Case& c : cases) {
        int bits = 0;
        EXPECT_EQ(read_image_depth(c.path.c_str(), &bits), V_OK) << c.path;
        EXPECT_EQ(bits, c.bits) << c.path;
    }
}

TEST_F(SampleDepthTest, FilesWithoutADepthAreRefused)
{
    const std::vector<std::uint8_t> sos_first = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02};
    const std::vector<std::uint8_t> cut_frame = {0xFF, 0xD8, 0xFF, 0xC0, 0x00};
    struct Case {
        std::string path;
        Vstatus status;
    };
    const Case cases[] = {
        {(folder_ / "missing.tif").string(), VERR_FILE_OPEN},
        {folder_.string(), VERR_FILE_OPEN},
        {save("empty.tif", {}), VERR_FILE_FORMAT},
        {save("text.tif", {'h', 'e', 'l', 'l', 'o'}), VERR_FILE_FORMAT},
        {save("cut.tif", {'I', 'I', 42, 0, 8, 0}), VERR_FILE_FORMAT},
        {save("sos.jpg", sos_first), VERR_FILE_FORMAT},
        {save("cut.jpg", cut_frame), VERR_FILE_FORMAT},
    };
    for (const Case& c : cases) {
        int bits = -1;
        EXPECT_EQ(read_image_depth(c.path.c_str(), &bits), c.status) << c.path;
        EXPECT_EQ(bits, -1) << c.path;
    }
    EXPECT_EQ(read_image_depth(nullptr, nullptr), VERR_PARAM);
}

} // namespace
