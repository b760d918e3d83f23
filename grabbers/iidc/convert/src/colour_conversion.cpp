// The 2 x 3 x 6 conversions (8 or 16 bits, colour space, coding): one template
// instantiated per member, chosen through a table. Each output pixel is read
// from its own group of the frame, so any start and step give the right
// colours and no row is read past its end.
#include <iidc/colour_conversion.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

#include <workers/cpu_clones.h>
#include <workers/worker_pool.h>

#include <fgcamera/fgcamera.h>

namespace iidc {

namespace {

int32_t Pack(double high, double low)
{
    return int32_t((uint32_t(int32_t(high)) << 16) | uint16_t(int16_t(int32_t(low))));
}

YuvTables Build()
{
    YuvTables tables{};
    for (int i = 0; i < 256; ++i) {
        const int c = i - 128;
        tables.u[i] = Pack(1.771 * c, -0.3457 * c);
        tables.v[i] = Pack(1.4022 * c, -0.7144 * c);
    }
    return tables;
}

struct Yuv {
    int y, u, v;
};

struct Rgb {
    int r, g, b;
};

int ReadY16(const uint8_t* row, int x, bool swap_bytes)
{
    const uint8_t* p = row + 2 * x;
    return swap_bytes ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1];
}

// A sum of luma and table halves (-256 to 511) left in 0..255: below 0 gives
// 1, above 255 gives 255. Looked up, not branched on: camera noise makes the
// branches unpredictable.
constexpr int kSumOffset = 256;
constexpr std::array<uint8_t, 768> kSaturated = [] {
    std::array<uint8_t, 768> table{};
    for (int sum = -kSumOffset; sum < 512; ++sum)
        table[size_t(sum + kSumOffset)] = sum < 0 ? 1 : sum > 255 ? 255 : uint8_t(sum);
    return table;
}();

inline uint8_t Saturate(int sum) { return kSaturated[size_t(sum + kSumOffset)]; }

// 8-bit rgb of luma `y` with the table entries `u` and `v` of its group.
inline void Rgb8(int y, int32_t u, int32_t v, uint8_t* r, uint8_t* g, uint8_t* b)
{
    *r = Saturate(y + High(v));
    *g = Saturate(y + Low(u) + Low(v));
    *b = Saturate(y + High(u));
}

// Where the samples of a YUV group lie: its bytes, U, V and each pixel's Y.
template <uint32_t Coding> struct Layout;
template <> struct Layout<CM_YUV411> {
    static constexpr int kPixels = 4, kBytes = 6, kU = 0, kV = 3;
    static constexpr int kY[4] = {1, 2, 4, 5};
};
template <> struct Layout<CM_YUV422> {
    static constexpr int kPixels = 2, kBytes = 4, kU = 0, kV = 2;
    static constexpr int kY[2] = {1, 3};
};
template <> struct Layout<CM_YUV444> {
    static constexpr int kPixels = 1, kBytes = 3, kU = 0, kV = 2;
    static constexpr int kY[1] = {1};
};

template <uint32_t Coding> Yuv ReadYuv(const uint8_t* row, int x)
{
    using L = Layout<Coding>;
    const uint8_t* group = row + x / L::kPixels * L::kBytes;
    return {group[L::kY[x % L::kPixels]], group[L::kU], group[L::kV]};
}

// The table halves worked out instead of looked up, in 16-bit lanes so that
// whole rows vectorise: coefficient x |c| truncated is (|c| x K) >> S for
// every |c| up to 128, taken as the high half of (|c| << (16 - S)) x K, and
// the product's sign follows c's.
template <int S, int K> inline int16_t Term(int16_t c)
{
    static_assert(K < 65536 && 128 << (16 - S) < 65536);
    const auto a = uint16_t((c < 0 ? -c : c) << (16 - S));
    const auto t = int16_t((uint32_t(a) * K) >> 16);
    return c < 0 ? int16_t(-t) : t;
}

struct ChromaTerms {
    int16_t red, green, blue; // High(v), Low(u) + Low(v), High(u)
    ChromaTerms(uint8_t u, uint8_t v)
    {
        const auto cu = int16_t(u - 128), cv = int16_t(v - 128);
        red = Term<13, 11487>(cv);
        green = int16_t(-Term<9, 177>(cu) - Term<8, 183>(cv));
        blue = Term<11, 3627>(cu);
    }
};

inline uint8_t SaturateSum(int16_t sum) { return uint8_t(sum < 0 ? 1 : sum > 255 ? 255 : sum); }

template <uint32_t Coding>
[[gnu::always_inline]] inline void YuvGroupsToRgb8(const uint8_t* group, int groups, uint8_t* r,
                                                   uint8_t* g, uint8_t* b)
{
    using L = Layout<Coding>;
    for (int n = 0; n < groups; ++n, group += L::kBytes) {
        const ChromaTerms t(group[L::kU], group[L::kV]);
        for (int k = 0; k < L::kPixels; ++k) {
            const int16_t y = group[L::kY[k]];
            const int i = n * L::kPixels + k;
            r[i] = SaturateSum(int16_t(y + t.red));
            g[i] = SaturateSum(int16_t(y + t.green));
            b[i] = SaturateSum(int16_t(y + t.blue));
        }
    }
}

using GroupsFn = void (*)(const uint8_t*, int, uint8_t*, uint8_t*, uint8_t*);

ONDULA_AVX2_CLONES void Yuv411GroupsToRgb8(const uint8_t* group, int groups, uint8_t* r, uint8_t* g,
                                           uint8_t* b)
{
    YuvGroupsToRgb8<CM_YUV411>(group, groups, r, g, b);
}

ONDULA_AVX2_CLONES void Yuv422GroupsToRgb8(const uint8_t* group, int groups, uint8_t* r, uint8_t* g,
                                           uint8_t* b)
{
    YuvGroupsToRgb8<CM_YUV422>(group, groups, r, g, b);
}

ONDULA_AVX2_CLONES void Yuv444GroupsToRgb8(const uint8_t* group, int groups, uint8_t* r, uint8_t* g,
                                           uint8_t* b)
{
    YuvGroupsToRgb8<CM_YUV444>(group, groups, r, g, b);
}

// A whole row of 8-bit rgb from YUV: whole groups in one straight pass.
template <uint32_t Coding>
void YuvRowToRgb8(const uint8_t* row, int start_column, int width, uint8_t* r, uint8_t* g,
                  uint8_t* b, const YuvTables& t)
{
    using L = Layout<Coding>;
    constexpr GroupsFn kGroups = Coding == CM_YUV411   ? Yuv411GroupsToRgb8
                                 : Coding == CM_YUV422 ? Yuv422GroupsToRgb8
                                                       : Yuv444GroupsToRgb8;
    const auto pixel = [&](int i) {
        const Yuv q = ReadYuv<Coding>(row, start_column + i);
        Rgb8(q.y, t.u[q.u], t.v[q.v], r + i, g + i, b + i);
    };
    int i = 0;
    for (; i < width && (start_column + i) % L::kPixels != 0; ++i)
        pixel(i);
    const int groups = (width - i) / L::kPixels;
    kGroups(row + (start_column + i) / L::kPixels * L::kBytes, groups, r + i, g + i, b + i);
    for (i += groups * L::kPixels; i < width; ++i)
        pixel(i);
}

int Clamp(int value, int max) { return value < 0 ? 0 : value > max ? max : value; }

int GrayOf(const Rgb& p) { return int(0.299 * p.r) + int(0.587 * p.g) + int(0.114 * p.b); }

Yuv YuvOf(const Rgb& p)
{
    return {int(0.2989 * p.r + 0.5866 * p.g + 0.1145 * p.b),
            int(0.5 * p.b - 0.3312 * p.g - 0.1688 * p.r),
            int(0.5 * p.r - 0.4184 * p.g - 0.0817 * p.b)};
}

int64_t RowBytes(uint32_t coding, int64_t full_width)
{
    switch (coding) {
    case CM_Y8:
        return full_width;
    case CM_YUV411:
        return full_width * 3 / 2;
    case CM_YUV422:
    case CM_Y16:
        return full_width * 2;
    }
    return full_width * 3;
}

template <uint32_t Coding, int Space, bool Wide> void Member(const ConversionContext& c)
{
    using Out = std::conditional_t<Wide, uint16_t, uint8_t>;
    Out* p0 = static_cast<Out*>(c.planes[0]);
    Out* p1 = static_cast<Out*>(c.planes[1]);
    Out* p2 = static_cast<Out*>(c.planes[2]);
    const int shift = Wide ? c.bits - 8 : 0;
    const int scale = 1 << shift;
    const int max = (1 << c.bits) - 1;
    const YuvTables& tables = Tables();
    const int64_t row_bytes = RowBytes(Coding, c.full_width);
    // Frames are spread over the workers in bands of about 64K pixels.
    ondula::ParallelFor(c.height, std::max(1, (1 << 16) / c.width), [&](int first, int end) {
        for (int j = first; j < end; ++j) {
            const uint8_t* row = c.frame + (c.start_row + int64_t(j) * c.y_step) * row_bytes;
            size_t o = size_t(j) * size_t(c.width);
            // The common whole-row cases take a faster road to the same pixels.
            if constexpr (!Wide && Coding == CM_Y8 && Space == kGray) {
                if (c.x_step == 1) {
                    std::memcpy(p0 + o, row + c.start_column, size_t(c.width));
                    continue;
                }
            } else if constexpr (!Wide && Space == kRgb &&
                                 (Coding == CM_YUV411 || Coding == CM_YUV422 ||
                                  Coding == CM_YUV444)) {
                if (c.x_step == 1) {
                    YuvRowToRgb8<Coding>(row, c.start_column, c.width, p0 + o, p1 + o, p2 + o,
                                         tables);
                    continue;
                }
            }
            for (int i = 0; i < c.width; ++i, ++o) {
                const int x = c.start_column + i * c.x_step;
                if constexpr (Coding == CM_Y8 || Coding == CM_Y16) {
                    int g;
                    if constexpr (Coding == CM_Y8)
                        g = row[x] << shift;
                    else
                        g = ReadY16(row, x, c.swap_bytes) >> (Wide ? 16 - c.bits : 8);
                    p0[o] = Out(g);
                    if constexpr (Space != kGray) {
                        p1[o] = Out(Space == kRgb ? g : 0);
                        p2[o] = Out(Space == kRgb ? g : 0);
                    }
                } else if constexpr (Coding == CM_RGB8) {
                    const Rgb p{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
                    if constexpr (Space == kGray) {
                        p0[o] = Out(GrayOf(p) << shift);
                    } else if constexpr (Space == kRgb) {
                        p0[o] = Out(p.r << shift);
                        p1[o] = Out(p.g << shift);
                        p2[o] = Out(p.b << shift);
                    } else {
                        // U and V stay signed: the planes hold their two's complement.
                        const Yuv q = YuvOf(p);
                        p0[o] = Out(q.y * scale);
                        p1[o] = Out(q.u * scale);
                        p2[o] = Out(q.v * scale);
                    }
                } else {
                    const Yuv q = ReadYuv<Coding>(row, x);
                    if constexpr (Space == kGray) {
                        p0[o] = Out(q.y << shift);
                    } else if constexpr (Space == kYuv) {
                        p0[o] = Out(q.y << shift);
                        p1[o] = Out(q.u << shift);
                        p2[o] = Out(q.v << shift);
                    } else if constexpr (Wide) {
                        const double cu = q.u - 128;
                        const double cv = q.v - 128;
                        p0[o] = Out(Clamp(int(q.y + 1.4022 * cv) * scale, max));
                        p1[o] = Out(Clamp(int(q.y - 0.3457 * cu - 0.7144 * cv) * scale, max));
                        p2[o] = Out(Clamp(int(q.y + 1.771 * cu) * scale, max));
                    } else {
                        Rgb8(q.y, tables.u[q.u], tables.v[q.v], p0 + o, p1 + o, p2 + o);
                    }
                }
            }
        }
    });
}

using MemberFn = void (*)(const ConversionContext&);

template <bool Wide, int Space, uint32_t... Codings>
constexpr std::array<MemberFn, sizeof...(Codings)>
ForCodings(std::integer_sequence<uint32_t, Codings...>)
{
    return {&Member<Codings, Space, Wide>...};
}

template <bool Wide> constexpr std::array<std::array<MemberFn, 6>, 3> ForSpaces()
{
    constexpr auto codings = std::make_integer_sequence<uint32_t, 6>();
    return {ForCodings<Wide, kGray>(codings), ForCodings<Wide, kRgb>(codings),
            ForCodings<Wide, kYuv>(codings)};
}

// [16-bit][colour space][coding]
constexpr std::array<std::array<std::array<MemberFn, 6>, 3>, 2> kMembers = {ForSpaces<false>(),
                                                                            ForSpaces<true>()};

int GroupOf(uint32_t coding) { return coding == CM_YUV411 ? 4 : coding == CM_YUV422 ? 2 : 1; }

} // namespace

const YuvTables& Tables()
{
    static const YuvTables tables = Build();
    return tables;
}

FGstatus ConvertFrame(const ConversionContext& c)
{
    if (c.coding > CM_Y16 || c.color_space < kGray || c.color_space > kYuv || c.bits < 8 ||
        c.bits > 16 || c.width <= 0 || c.height <= 0 || c.start_column < 0 || c.start_row < 0 ||
        c.x_step < 1 || c.y_step < 1)
        return FG_ERR_GRAB;
    const bool wide = c.bits != 8;
    const bool aligned_411 = c.start_column % 4 == 0 && c.width % 4 == 0;
    const bool aligned_422 = c.start_column % 2 == 0 && c.width % 2 == 0;
    if (wide && ((c.coding == CM_YUV411 && !aligned_411) ||
                 (c.coding == CM_YUV422 && c.color_space != kGray && !aligned_422)))
        return FG_ERR_RESOLUTION;
    const int planes = c.color_space == kGray ? 1 : 3;
    for (int i = 0; i < planes; ++i)
        if (!c.planes[i])
            return FG_ERR_GRAB;
    const int64_t last_column = c.start_column + int64_t(c.width - 1) * c.x_step;
    const int64_t last_row = c.start_row + int64_t(c.height - 1) * c.y_step;
    if (!c.frame || c.full_width <= 0 || c.full_width % GroupOf(c.coding) != 0 ||
        last_column >= c.full_width ||
        (last_row + 1) * RowBytes(c.coding, c.full_width) > int64_t(c.frame_length))
        return FG_ERR_GRAB;
    kMembers[wide][c.color_space][c.coding](c);
    return FG_SUCCESS;
}

} // namespace iidc
