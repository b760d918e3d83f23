// Speed of the imaging operators on the workbench's usual image sizes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "verodyn/verodyn.h"

namespace {

Vobject ramp_image(int width, int height)
{
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * 7) ^ (i >> 10));
    Vobject image;
    gen_image1(&image, "byte", width, height, pixels.data());
    return image;
}

void BM_fft_image(benchmark::State& state)
{
    const Vobject image = ramp_image(1024, 768);
    Vobject out;
    fft_image(image, &out); // plans are made once per size
    for (auto _ : state)
        benchmark::DoNotOptimize(fft_image(image, &out));
}
BENCHMARK(BM_fft_image)->Unit(benchmark::kMillisecond);

// The first transform of an image size, plan included: more sizes than the
// plan cache keeps, taken in turn, so every call makes its plan.
void BM_fft_image_new_size(benchmark::State& state)
{
    std::vector<Vobject> images;
    for (int extra = 0; extra < 24; ++extra)
        images.push_back(ramp_image(1024, 768 + extra));
    Vobject out;
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fft_image(images[next], &out));
        next = (next + 1) % images.size();
    }
}
BENCHMARK(BM_fft_image_new_size)->Unit(benchmark::kMillisecond);

void BM_fft_image_inv(benchmark::State& state)
{
    Vobject spectrum, out;
    fft_image(ramp_image(1024, 768), &spectrum);
    fft_image_inv(spectrum, &out);
    for (auto _ : state)
        benchmark::DoNotOptimize(fft_image_inv(spectrum, &out));
}
BENCHMARK(BM_fft_image_inv)->Unit(benchmark::kMillisecond);

void BM_zoom_image_size(benchmark::State& state)
{
    const Vobject image = ramp_image(640, 480);
    Vobject out;
    for (auto _ : state)
        benchmark::DoNotOptimize(zoom_image_size(image, &out, 1280, 960, "constant"));
}
BENCHMARK(BM_zoom_image_size)->Unit(benchmark::kMillisecond);

void BM_add_image(benchmark::State& state)
{
    const Vobject a = ramp_image(1024, 768), b = ramp_image(1024, 768);
    Vobject out;
    for (auto _ : state)
        benchmark::DoNotOptimize(add_image(a, b, &out, 1.0, 1.0));
}
BENCHMARK(BM_add_image)->Unit(benchmark::kMillisecond);

std::string bench_file()
{
    return (std::filesystem::temp_directory_path() /
            ("bench_verodyn_" + std::to_string(::getpid()) + ".tif"))
        .string();
}

void BM_write_image_tiff(benchmark::State& state)
{
    const Vobject image = ramp_image(1024, 768);
    const std::string path = bench_file();
    for (auto _ : state)
        if (write_image(image, "tiff", 0, path.c_str()) != V_OK)
            state.SkipWithError("write_image failed");
    std::filesystem::remove(path);
}
BENCHMARK(BM_write_image_tiff)->Unit(benchmark::kMillisecond);

void BM_read_image_tiff(benchmark::State& state)
{
    const std::string path = bench_file();
    write_image(ramp_image(1024, 768), "tiff", 0, path.c_str());
    Vobject out;
    for (auto _ : state)
        if (read_image(&out, path.c_str()) != V_OK)
            state.SkipWithError("read_image failed");
    std::filesystem::remove(path);
}
BENCHMARK(BM_read_image_tiff)->Unit(benchmark::kMillisecond);

} // namespace
