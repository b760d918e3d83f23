// Speed of the imaging operators on the workbench's usual image sizes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <verodyn/verodyn.h>

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

// Times scipy's float32 fft2 on all cores of the same ramp image for a second
// and prints the mean time of a call.
constexpr const char* kScipyFft2 = R"(
import sys, time, numpy, scipy.fft
width, height = int(sys.argv[1]), int(sys.argv[2])
i = numpy.arange(width * height, dtype=numpy.uint64)
x = ((i * 7) ^ (i >> 10)).astype(numpy.uint8).astype(numpy.float32).reshape(height, width)
scipy.fft.fft2(x, workers=-1)
calls, start = 0, time.perf_counter()
while time.perf_counter() - start < 1.0:
    scipy.fft.fft2(x, workers=-1)
    calls += 1
print((time.perf_counter() - start) / calls)
)";

// scipy's time in this same run: the figure fft_image and fft_image_inv are
// held to. 0 when Debian's python3-scipy is not there.
double scipy_fft2_seconds(int width, int height)
{
    const std::string command = "/usr/bin/python3 -c '" + std::string(kScipyFft2) + "' " +
                                std::to_string(width) + " " + std::to_string(height) +
                                " 2>/dev/null";
    const std::unique_ptr<FILE, decltype(&pclose)> python(popen(command.c_str(), "r"), &pclose);
    double seconds = 0;
    if (!python || std::fscanf(python.get(), "%lf", &seconds) != 1)
        return 0;
    return seconds;
}

// One iteration that takes as long as one call of scipy's fft2, measured anew
// for every repetition.
void BM_scipy_fft2_reference(benchmark::State& state)
{
    const double seconds = scipy_fft2_seconds(1024, 768);
    if (seconds <= 0) {
        state.SkipWithError("no reference: python3-scipy is not installed");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(seconds);
}
BENCHMARK(BM_scipy_fft2_reference)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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
