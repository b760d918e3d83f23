// Speed of the measuring road on a 1024 x 768 image: the four-image phase, the six
// quality maps, and the unwrapper with variance quality and its memory per pixel.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

#include "interferograms.h"
#include "metrology/kernels/phase_unwrapper.h"
#include "metrology/kernels/quality_maps.h"
#include "worker_rows.h"

// Heap bytes in use and their peak, for the memory counter. Aligned blocks keep
// their size in front of them so that the counter sees what was asked for.
namespace {
std::atomic<std::size_t> g_heap_now{0}, g_heap_peak{0};

void CountAllocation(std::size_t bytes)
{
    const std::size_t now = g_heap_now += bytes;
    std::size_t peak = g_heap_peak.load();
    while (now > peak && !g_heap_peak.compare_exchange_weak(peak, now)) { }
}
} // namespace

// These replace the global allocation functions, so malloc and free behind
// new and delete are intended.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    CountAllocation(malloc_usable_size(p));
    return p;
}

void operator delete(void* p) noexcept
{
    if (p)
        g_heap_now -= malloc_usable_size(p);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

void* operator new(std::size_t size, std::align_val_t align)
{
    const std::size_t a = std::size_t(align);
    auto* block = static_cast<std::byte*>(std::aligned_alloc(a, a + (size + a - 1) / a * a));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    CountAllocation(size);
    return block + a;
}

void operator delete(void* p, std::align_val_t align) noexcept
{
    if (!p)
        return;
    auto* block = static_cast<std::byte*>(p) - std::size_t(align);
    g_heap_now -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

void operator delete(void* p, std::size_t, std::align_val_t align) noexcept
{
    operator delete(p, align);
}

#pragma GCC diagnostic pop

namespace {

using namespace road;

void BM_FourImagePhase(benchmark::State& state)
{
    const auto& f = Frames().frame;
    std::vector<std::uint8_t> wrapped(kPixels);
    UseWorkers(state);
    for (auto _ : state) {
        metrology::FourImagePhase(f[0].data(), f[1].data(), f[2].data(), f[3].data(),
                                  wrapped.data(), kPixels);
        benchmark::DoNotOptimize(wrapped.data());
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(double(kPixels) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FourImagePhase)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

void BM_SixQualityMaps(benchmark::State& state)
{
    const std::vector<std::uint8_t> wrapped = WrappedPhase();
    std::vector<std::int32_t> map(kPixels);
    using MapFunction = void (*)(const std::uint8_t*, int, int, std::int32_t*);
    const MapFunction maps[] = {metrology::VarianceMap,        metrology::LinearityMap,
                                metrology::LaplacianMap,       metrology::DiscontinuityMap,
                                metrology::LeastSquares5x5Map, metrology::ResidueMap};
    UseWorkers(state);
    for (auto _ : state)
        for (MapFunction m : maps) {
            m(wrapped.data(), kWidth, kHeight, map.data());
            benchmark::DoNotOptimize(map.data());
        }
}
BENCHMARK(BM_SixQualityMaps)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

void BM_UnwrapVariance(benchmark::State& state)
{
    const std::vector<std::uint8_t> wrapped = WrappedPhase();
    const std::vector<std::int32_t> phase(wrapped.begin(), wrapped.end());
    std::vector<std::int32_t> out(kPixels);
    int m = 0;
    std::size_t peak_bytes = 0;
    UseWorkers(state);
    // One unwrapper for every frame, as a live measurement keeps it: its work
    // memory is counted on the first.
    CPhaseUnwrapper unwrapper;
    for (auto _ : state) {
        const std::size_t before = g_heap_now.load();
        g_heap_peak = before;
        m = unwrapper.Unwrap(kWidth, kHeight, phase.data(), nullptr, out.data(),
                             UW_QUALITY_VARIANCE);
        peak_bytes = std::max(peak_bytes, g_heap_peak.load() - before);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["M"] = m;
    state.counters["work_bytes_per_pixel"] = double(peak_bytes) / double(kPixels);
}
BENCHMARK(BM_UnwrapVariance)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

} // namespace
