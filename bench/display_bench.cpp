// Showing an image in a display window: plane conversion plus one paint of the
// window into an image of the screen's format (what the backing store does).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QWidget>
#include <vector>

#include <verodyn/verodyn.h>
#include <verodyn/window.h>

namespace {

// Shows `image` (width x height) in a window of its size at every iteration.
void display(benchmark::State& state, const Vobject& image, int width, int height)
{
    long handle = 0;
    open_window(0, 0, width, height, nullptr, "visible", "", &handle);
    set_part(handle, 0, 0, height, width);
    QWidget* widget = window_widget(handle);
    QImage screen(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        disp_obj(image, handle);
        widget->render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
    close_window(handle);
}

void display_bytes(benchmark::State& state, int channels)
{
    const int width = 1280, height = 1024;
    std::vector<unsigned char> plane(std::size_t(width) * height);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = static_cast<unsigned char>(i * 7);
    Vobject image;
    if (channels == 1)
        gen_image1(&image, "byte", width, height, plane.data());
    else
        gen_image3(&image, "byte", width, height, plane.data(), plane.data(), plane.data());
    display(state, image, width, height);
}

void BM_DispObjGrey1280x1024(benchmark::State& state) { display_bytes(state, 1); }
void BM_DispObjColour1280x1024(benchmark::State& state) { display_bytes(state, 3); }

// An FFT document's repaint: the modulus of every pixel scaled to bytes.
void BM_DispObjComplex1024x768(benchmark::State& state)
{
    const int width = 1024, height = 768;
    std::vector<float> plane(std::size_t(width) * height * 2);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = float(i % 977) - 488.0f;
    Vobject image;
    gen_image1(&image, "complex", width, height, plane.data());
    display(state, image, width, height);
}

} // namespace

BENCHMARK(BM_DispObjGrey1280x1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DispObjColour1280x1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DispObjComplex1024x768)->Unit(benchmark::kMillisecond);
