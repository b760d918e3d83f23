#include "quality_maps.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <workers/cpu_clones.h>
#include <workers/worker_pool.h>

#include "wrapped_phase.h"

namespace metrology {

namespace {

// A neighbour's value unwrapped toward the centre c, less c: -128..128.
inline int Offset(int neighbour, int c) { return UnwrapToward(c, neighbour) - c; }

inline std::size_t Index(int x, int y, int width)
{
    return std::size_t(y) * std::size_t(width) + std::size_t(x);
}

// Runs body(first_row, end_row) over row bands of about 64K pixels spread
// over the workers; small images stay on the calling thread.
template <class Body> void ForRowBands(int width, int height, Body body)
{
    const int grain = std::max(1, (1 << 16) / std::max(width, 1));
    ondula::ParallelFor(height, grain, [&body](int first, int end) {
        // A band works on its own copy of the body, whose captures then become
        // locals: read through the shared body they might change under the
        // stores as far as the compiler knows, which keeps loops from vectorising.
        Body band = body;
        band(first, end);
    });
}

// Scratch rows of one thread, kept between calls.
std::int32_t* ScratchRows(std::size_t values)
{
    thread_local std::vector<std::int32_t> scratch;
    if (scratch.size() < values)
        scratch.resize(values);
    return scratch.data();
}

// The eight neighbours of an interior pixel, read from three rows.
struct Ring {
    int nw, n, ne, w, e, sw, s, se;
    Ring(const std::uint8_t* up, const std::uint8_t* row, const std::uint8_t* down, int x)
        : nw(up[x - 1]),
          n(up[x]),
          ne(up[x + 1]),
          w(row[x - 1]),
          e(row[x + 1]),
          sw(down[x - 1]),
          s(down[x]),
          se(down[x + 1])
    {
    }
};

// The neighbours of (x, y) inside the image, with their offsets.
struct Neighbour {
    int dx, dy, value;
};

int NeighboursInside(const std::uint8_t* phase, int width, int height, int x, int y,
                     Neighbour* list)
{
    int count = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if ((dx || dy) && nx >= 0 && nx < width && ny >= 0 && ny < height)
                list[count++] = {dx, dy, phase[Index(nx, ny, width)]};
        }
    return count;
}

struct NeighbourSum {
    int sum, count;
};

// The sum of term(neighbour, c) over the neighbours of (x, y) inside the image.
template <class Term>
NeighbourSum SumInside(const std::uint8_t* phase, int width, int height, int x, int y, Term term)
{
    Neighbour list[8];
    const int count = NeighboursInside(phase, width, height, x, y, list);
    const int c = phase[Index(x, y, width)];
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += term(list[i], c);
    return {sum, count};
}

// interior(ring, c) over columns 1..width - 2 of one row.
template <class Interior>
ONDULA_AVX2_CLONES void InteriorRow(const std::uint8_t* up, const std::uint8_t* row,
                                    const std::uint8_t* down, int width, std::int32_t* dst,
                                    Interior interior)
{
    for (int x = 1; x < width - 1; ++x)
        dst[x] = interior(Ring(up, row, down, x), int(row[x]));
}

// Runs `interior(ring, c)` on every pixel with a full 3 x 3 neighbourhood and
// `border(x, y)` on every other pixel.
template <class Interior, class Border>
void Map3x3(const std::uint8_t* phase, int width, int height, std::int32_t* out, Interior interior,
            Border border)
{
    ForRowBands(width, height, [=](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::int32_t* dst = out + Index(0, y, width);
            if (y == 0 || y == height - 1 || width < 3) {
                for (int x = 0; x < width; ++x)
                    dst[x] = border(x, y);
                continue;
            }
            const std::uint8_t* row = phase + Index(0, y, width);
            const std::uint8_t* up = row - width;
            const std::uint8_t* down = row + width;
            dst[0] = border(0, y);
            InteriorRow(up, row, down, width, dst, interior);
            dst[width - 1] = border(width - 1, y);
        }
    });
}

} // namespace

void VarianceMap(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    auto d = [](int c, int n) { return WrappedDiff(c, n); };
    Map3x3(
        phase, width, height, out,
        [&](const Ring& r, int c) {
            return d(c, r.nw) + d(c, r.n) + d(c, r.ne) + d(c, r.w) + d(c, r.e) + d(c, r.sw) +
                   d(c, r.s) + d(c, r.se);
        },
        [&](int x, int y) {
            const NeighbourSum s =
                SumInside(phase, width, height, x, y,
                          [&](const Neighbour& n, int c) { return d(c, n.value); });
            return s.count ? 8 * s.sum / s.count : 0;
        });
}

void LinearityMap(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    Map3x3(
        phase, width, height, out,
        [](const Ring& r, int c) {
            return std::abs(Offset(r.w, c) + Offset(r.e, c)) +
                   std::abs(Offset(r.n, c) + Offset(r.s, c)) +
                   std::abs(Offset(r.ne, c) + Offset(r.sw, c)) +
                   std::abs(Offset(r.nw, c) + Offset(r.se, c));
        },
        [&](int x, int y) {
            Neighbour list[8];
            const int count = NeighboursInside(phase, width, height, x, y, list);
            const int c = phase[Index(x, y, width)];
            const bool column_edge = x == 0 || x == width - 1;
            const bool row_edge = y == 0 || y == height - 1;
            int across = 0, along = 0;
            for (int i = 0; i < count; ++i) {
                // Along a row edge the neighbours of the same row lie along it;
                // along a column edge those of the same column.
                const bool on_edge_line = row_edge ? list[i].dy == 0 : list[i].dx == 0;
                (column_edge && row_edge ? across
                 : on_edge_line          ? along
                                         : across) += Offset(list[i].value, c);
            }
            return std::abs(across) + std::abs(along);
        });
}

void LaplacianMap(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    Map3x3(
        phase, width, height, out,
        [](const Ring& r, int c) {
            return std::abs(Offset(r.nw, c) + Offset(r.n, c) + Offset(r.ne, c) + Offset(r.w, c) +
                            Offset(r.e, c) + Offset(r.sw, c) + Offset(r.s, c) + Offset(r.se, c));
        },
        [&](int x, int y) {
            return std::abs(SumInside(phase, width, height, x, y, [](const Neighbour& n, int c) {
                                return Offset(n.value, c);
                            }).sum);
        });
}

namespace {

// 256 x |charge| of the 2 x 2 loops between rows `up` and `up + width`, at their
// right column 1..width - 1.
ONDULA_AVX2_CLONES void LoopChargeRow(const std::uint8_t* up, int width, std::int32_t* charge)
{
    const std::uint8_t* row = up + width;
    for (int x = 1; x < width; ++x)
        charge[x] =
            256 * std::abs(WrapCount(row[x], row[x - 1]) + WrapCount(row[x - 1], up[x - 1]) +
                           WrapCount(up[x - 1], up[x]) + WrapCount(up[x], row[x]));
}

// A pixel's four loops: those at its own and the next column, above and below it.
ONDULA_AVX2_CLONES void CollectChargeRow(const std::int32_t* above, const std::int32_t* below,
                                         int width, std::int32_t* dst)
{
    for (int x = 0; x + 1 < width; ++x)
        dst[x] = above[x] + above[x + 1] + below[x] + below[x + 1];
    dst[width - 1] = above[width - 1] + below[width - 1];
}

} // namespace

void ResidueMap(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    if (width <= 0 || height <= 0)
        return;
    // 256 x |charge| of the loops whose lower row is y, at their right column
    // (columns 1..width - 1; column 0 and rows outside 1..height - 1 hold none).
    auto loop_row = [=](int y, std::int32_t* charge) {
        std::fill(charge, charge + width, 0);
        if (y < 1 || y >= height)
            return;
        LoopChargeRow(phase + Index(0, y - 1, width), width, charge);
    };
    // A pixel collects the loops whose lower row is its own row or the next,
    // and whose right column is its own column or the next.
    ForRowBands(width, height, [=](int first, int end) {
        std::int32_t* above = ScratchRows(2 * std::size_t(width));
        std::int32_t* below = above + width;
        loop_row(first, above);
        for (int y = first; y < end; ++y) {
            loop_row(y + 1, below);
            CollectChargeRow(above, below, width, out + Index(0, y, width));
            std::swap(above, below);
        }
    });
}

namespace {

struct Slopes {
    int gx = 0, gy = 0;
};

// Plane slopes of the 5 x 5 window centred on (cx, cy), unwrapped toward its centre.
Slopes WindowSlopes(const std::uint8_t* phase, int width, int cx, int cy)
{
    const int c = phase[Index(cx, cy, width)];
    int sx = 0, sy = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        const std::uint8_t* row = phase + Index(cx, cy + dy, width);
        for (int dx = -2; dx <= 2; ++dx) {
            const int o = Offset(row[dx], c);
            sx += dx > 0 ? o : dx < 0 ? -o : 0;
            sy += dy > 0 ? o : dy < 0 ? -o : 0;
        }
    }
    return {sx / 30, sy / 30};
}

int PlaneResidual(const std::uint8_t* phase, int width, int height, int x, int y, Slopes s)
{
    return SumInside(phase, width, height, x, y,
                     [&](const Neighbour& n, int c) {
                         return WrappedDiff(n.value, c + n.dx * s.gx + n.dy * s.gy);
                     })
        .sum;
}

// Slopes and plane residual of the full windows centred on columns 2..width - 3
// of row y, written as one straight pass over the row so that it vectorises.
ONDULA_AVX2_CLONES void RowPlaneResidual(const std::uint8_t* phase, int width, int y,
                                         std::int32_t* out)
{
    const std::uint8_t* r0 = phase + Index(0, y, width);
    const std::uint8_t *u2 = r0 - 2 * width, *u1 = r0 - width, *d1 = r0 + width,
                       *d2 = r0 + 2 * width;
    for (int x = 2; x <= width - 3; ++x) {
        const int c = r0[x];
        // Adds a window row's right-minus-left to sx and returns the row's sum.
        int sx = 0;
        auto window_row = [&](const std::uint8_t* r) {
            const int a = Offset(r[x - 2], c), b = Offset(r[x - 1], c), m = Offset(r[x], c),
                      d = Offset(r[x + 1], c), e = Offset(r[x + 2], c);
            sx += d + e - a - b;
            return a + b + m + d + e;
        };
        const int up = window_row(u2) + window_row(u1);
        window_row(r0);
        const int down = window_row(d1) + window_row(d2);
        const int gx = sx / 30, gy = (down - up) / 30;
        auto residual = [&](int n, int predicted) { return WrappedDiff(n, predicted); };
        out[x] = residual(u1[x - 1], c - gx - gy) + residual(u1[x], c - gy) +
                 residual(u1[x + 1], c + gx - gy) + residual(r0[x - 1], c - gx) +
                 residual(r0[x + 1], c + gx) + residual(d1[x - 1], c - gx + gy) +
                 residual(d1[x], c + gy) + residual(d1[x + 1], c + gx + gy);
    }
}

} // namespace

void LeastSquares5x5Map(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    const bool windows = width >= 5 && height >= 5;
    ForRowBands(width, height, [=](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::int32_t* dst = out + Index(0, y, width);
            const bool full_row = windows && y >= 2 && y <= height - 3;
            if (full_row)
                RowPlaneResidual(phase, width, y, dst);
            for (int x = 0; x < width; ++x) {
                if (x >= width - 2)
                    dst[x] = y < 3 ? 741 : 822;
                else if (full_row && x >= 2)
                    continue;
                else if (full_row)
                    dst[x] =
                        PlaneResidual(phase, width, height, x, y, WindowSlopes(phase, width, 2, y));
                else
                    dst[x] = PlaneResidual(phase, width, height, x, y,
                                           windows ? WindowSlopes(phase, width,
                                                                  std::clamp(x, 2, width - 3),
                                                                  std::clamp(y, 2, height - 3))
                                                   : Slopes{});
            }
        }
    });
}

namespace {

constexpr int kDiscontinuityCap = 1024;

// Slope estimates gx, gy of columns 1..width - 2 of one row.
ONDULA_AVX2_CLONES void SlopeRow(const std::uint8_t* row, int width, std::int16_t* sx,
                                 std::int16_t* sy)
{
    for (int x = 1; x < width - 1; ++x) {
        const Ring n(row - width, row, row + width, x);
        const int c = row[x];
        const int nw = Offset(n.nw, c), ne = Offset(n.ne, c), sw = Offset(n.sw, c),
                  se = Offset(n.se, c);
        sx[x] = std::int16_t((ne + Offset(n.e, c) + se - nw - Offset(n.w, c) - sw) / 6);
        sy[x] = std::int16_t((nw + Offset(n.n, c) + ne - sw - Offset(n.s, c) - se) / 6);
    }
}

// The judgement of one slope component's 3 x 3 grid centred on column cx, from
// the slope rows above (a), at (b) and below (d).
inline int Judge(const std::int16_t* a, const std::int16_t* b, const std::int16_t* d, int cx)
{
    return std::abs(a[cx] - d[cx]) + std::abs(b[cx - 1] - b[cx + 1]) +
           std::abs(a[cx - 1] + b[cx - 1] + d[cx - 1] - a[cx + 1] - b[cx + 1] - d[cx + 1]) +
           std::abs(a[cx - 1] + a[cx] + a[cx + 1] - d[cx - 1] - d[cx] - d[cx + 1]);
}

// Columns 1..width - 5 of one judged row.
ONDULA_AVX2_CLONES void JudgeRow(const std::int16_t* xa, const std::int16_t* xb,
                                 const std::int16_t* xd, const std::int16_t* ya,
                                 const std::int16_t* yb, const std::int16_t* yd, int width,
                                 std::int32_t* dst)
{
    for (int x = 1; x <= width - 5; ++x)
        dst[x] = std::min(Judge(xa, xb, xd, x + 1) + Judge(ya, yb, yd, x + 1), kDiscontinuityCap);
}

} // namespace

void DiscontinuityMap(const std::uint8_t* phase, int width, int height, std::int32_t* out)
{
    std::fill(out, out + std::size_t(width > 0 ? width : 0) * std::size_t(height > 0 ? height : 0),
              kDiscontinuityCap);
    if (width < 6 || height < 7)
        return;

    // Slope estimates of three consecutive rows, row r in slot r % 3.
    auto slope_row = [=](int r, std::int16_t* gx, std::int16_t* gy) {
        SlopeRow(phase + Index(0, r, width), width, gx + (r % 3) * std::size_t(width),
                 gy + (r % 3) * std::size_t(width));
    };

    // Rows 4..height - 3 are judged, each from the slopes of its row and the two beside it.
    ForRowBands(width, height - 6, [=](int first, int end) {
        // Two int16 slope planes of three rows in one scratch block.
        auto* gx = reinterpret_cast<std::int16_t*>(ScratchRows(3 * std::size_t(width)));
        std::int16_t* gy = gx + 3 * std::size_t(width);
        slope_row(first + 3, gx, gy);
        slope_row(first + 4, gx, gy);
        for (int y = first + 4; y < end + 4; ++y) {
            slope_row(y + 1, gx, gy);
            const std::size_t above = ((y - 1) % 3) * std::size_t(width),
                              centre = (y % 3) * std::size_t(width),
                              below = ((y + 1) % 3) * std::size_t(width);
            JudgeRow(gx + above, gx + centre, gx + below, gy + above, gy + centre, gy + below,
                     width, out + Index(0, y, width));
        }
    });
}

} // namespace metrology
