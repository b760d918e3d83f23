// Speed of the TWAIN bitmap decoder and of a grab through the host.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "grab_bench.h"
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
    // Room for three planes of 16-bit pixels, whatever the bitmap holds.
    const size_t plane = size_t(page.width) * size_t(page.height) * 2;
    std::vector<uint8_t> pixels(3 * plane);
    void* const targets[3] = {pixels.data(), pixels.data() + plane, pixels.data() + 2 * plane};
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
    const bool ready =
        open_framegrabber("TWAIN", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0, "default",
                          "interactive:inches", "interactive", -1, 1, &handle) == V_OK;
    TimeGrabs(state, handle, ready);
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
