#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "test_images.h"
#include "tiff_samples.h"

namespace fs = std::filesystem;

namespace {

samples::TiffSpec Tiff(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric)
{
    samples::TiffSpec spec;
    spec.width = 4;
    spec.height = 2;
    std::tie(spec.bits, spec.samples, spec.photometric) = std::tie(bits, samples, photometric);
    spec.planes.assign(samples, std::vector<std::uint16_t>(8, 1));
    return spec;
}

using ReadImageDepth = testimg::OperatorTest;

TEST_F(ReadImageDepth, BitsPerSampleFromTheHeaderOnly)
{
    const fs::path folder =
        fs::temp_directory_path() / ("verodyn_depth_" + std::to_string(getpid()));
    fs::create_directories(folder);
    Vobject grey;
    ASSERT_EQ(gen_image_const(&grey, "byte", 4, 2), V_OK);
    ASSERT_EQ(write_image(grey, "jpeg30", 0, (folder / "8.jpg").c_str()), V_OK);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes; // empty: the file is not written here
        Vstatus status;
        int bits;
    };
    const Case cases[] = {
        {"g8.tif", samples::make_tiff(Tiff(8, 1, PHOTOMETRIC_MINISBLACK)), V_OK, 8},
        {"g16.tif", samples::make_tiff(Tiff(16, 1, PHOTOMETRIC_MINISBLACK)), V_OK, 16},
        {"rgb16.tif", samples::make_tiff(Tiff(16, 3, PHOTOMETRIC_RGB)), V_OK, 16},
        {"bw.tif", samples::make_tiff(Tiff(1, 1, PHOTOMETRIC_MINISWHITE)), V_OK, 1},
        {"8.jpg", {}, V_OK, 8},
        // A 12-bit frame header behind an application segment and a fill byte.
        {"12.jpg",
         {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xFF, 0xC1, 0, 11, 12, 0, 2, 0, 4},
         V_OK,
         12},
        {"missing.tif", {}, VERR_FILE_OPEN, -1},
        {"", {}, VERR_FILE_OPEN, -1}, // the folder itself
        {"text.tif", {'h', 'e', 'l', 'l', 'o'}, VERR_FILE_FORMAT, -1},
        {"cut.tif", {'I', 'I', 42, 0, 8, 0}, VERR_FILE_FORMAT, -1},
        {"scan_first.jpg", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, VERR_FILE_FORMAT, -1},
        {"cut.jpg", {0xFF, 0xD8, 0xFF, 0xC0, 0}, VERR_FILE_FORMAT, -1},
    };
    for (const Case& c : cases) {
        const fs::path path = folder / c.name;
        if (!c.bytes.empty())
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(c.bytes.data()),
                       std::streamsize(c.bytes.size()));
        int bits = -1;
        EXPECT_EQ(read_image_depth(path.c_str(), &bits), c.status) << c.name;
        EXPECT_EQ(bits, c.bits) << c.name;
    }
    std::ofstream(folder / "empty.tif").close();
    int bits = -1;
    EXPECT_EQ(read_image_depth((folder / "empty.tif").c_str(), &bits), VERR_FILE_FORMAT);
    EXPECT_EQ(read_image_depth(nullptr, &bits), VERR_PARAM);
    fs::remove_all(folder);
}

} // namespace
