// Speed of the TWAIN bitmap decoder and of a grab through the host.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <fgint/fgint.h>
#include <twain/simulation.h>
#include <twain_codec/dib_decoder.h>
#include <verodyn/verodyn.h>

namespace {

// A letter page at 300 dpi (2550 x 3300) into its planes.
void DecodeDib(benchmark::State& state, TW_UINT16 bits)
{
    twsim::Page page;
    page.width = 2550;
    page.height = 3300;
    page.bits = bits;
    const std::vector<uint8_t> bitmap = twsim::Bitmap(page);
    twain_codec::DibImage image;
    if (twain_codec::ReadDib(bitmap.data(), bitmap.size(), false, &image)) {
        state.SkipWithError("the bitmap is refused");
        return;
    }
    const size_t bytes = image.pixel_kind == UINT2_IMAGE ? 2 : 1;
    std::vector<uint8_t> planes[3];
    void* targets[3] = {};
    for (int c = 0; c < image.channels; ++c) {
        planes[c].resize(size_t(page.width) * size_t(page.height) * bytes);
        targets[c] = planes[c].data();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(twain_codec::ReadDib(bitmap.data(), bitmap.size(), false, &image));
        twain_codec::ExtractDib(image, targets);
        benchmark::ClobberMemory();
    }
}

// grab_image of the default source's page, opened as the workbench opens source 1.
void Grab(benchmark::State& state)
{
    unsetenv("ONDULA_PLUGIN_PATH");
    twsim::Configure({twsim::SourceConfig{}});
    long handle = 0;
    if (open_framegrabber("TWAIN", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0, "default",
                          "interactive:inches", "interactive", -1, 1, &handle) != V_OK) {
        state.SkipWithError("the source does not open");
        return;
    }
    Vobject image;
    for (auto _ : state)
        benchmark::DoNotOptimize(grab_image(&image, handle));
    close_framegrabber(handle);
}

const bool kRegistered = [] {
    for (const TW_UINT16 bits : {8, 24, 48}) {
        const std::string name = "Twain/DecodeDib/" + std::to_string(bits) + "/2550x3300";
        benchmark::RegisterBenchmark(name.c_str(), DecodeDib, bits)->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Twain/Grab/24/640x480", Grab)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
