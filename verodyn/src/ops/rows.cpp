#include "rows.h"

#include <algorithm>

#ifdef VERODYN_PARALLEL_EDITION
#include <workers/worker_pool.h>
#endif

namespace verodyn::detail {

void for_rows(int height, [[maybe_unused]] int width,
              const std::function<void(int first, int end)>& body)
{
    if (height <= 0)
        return;
#ifdef VERODYN_PARALLEL_EDITION
    // Bands of at least this many pixels keep the hand-over to a worker small
    // beside the work it is given.
    constexpr int kBandPixels = 1 << 15;
    ondula::ParallelFor(height, std::max(1, kBandPixels / std::max(width, 1)), body);
#else
    body(0, height);
#endif
}

void for_pixels(const VImage& image,
                const std::function<void(std::size_t first, std::size_t count)>& body)
{
    const std::size_t width = std::size_t(image.width());
    for_rows(image.height(), image.width(), [&](int first, int end) {
        body(std::size_t(first) * width, std::size_t(end - first) * width);
    });
}

} // namespace verodyn::detail
