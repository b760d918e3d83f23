// Operators that move pixels without changing them: crop_part, zoom_image_size,
// tile_images. They accept every pixel type.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "pixel_rules.h"
#include "rows.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

// Copies the rectangle (x, y, width, height) of every channel of `from` to (to_x, to_y) of `to`.
void copy_rect(const VImage& from, int x, int y, int width, int height, VImage& to, int to_x,
               int to_y)
{
    const std::size_t pixel = pixel_size(from.type());
    const std::size_t row_bytes = std::size_t(width) * pixel;
    for (int c = 0; c < from.channels(); ++c) {
        const auto* source = static_cast<const std::byte*>(from.plane(c));
        auto* target = static_cast<std::byte*>(to.plane(c));
        for (int r = 0; r < height; ++r)
            std::memcpy(
                target +
                    (std::size_t(to_y + r) * std::size_t(to.width()) + std::size_t(to_x)) * pixel,
                source + (std::size_t(y + r) * std::size_t(from.width()) + std::size_t(x)) * pixel,
                row_bytes);
    }
}

// Source index of each of `count` target positions, by nearest neighbour:
// target i samples the source at the centre of its cell, floor((i + 0.5) * source / count).
std::vector<std::size_t> nearest_map(int source, int count)
{
    std::vector<std::size_t> map(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        map[std::size_t(i)] =
            std::size_t((2 * std::int64_t(i) + 1) * source / (2 * std::int64_t(count)));
    return map;
}

// An output row that samples the same source row as the one above it is a
// copy of that row, and a row twice as wide as the source (every column taken
// twice) is written without the column map.
template <typename T>
void zoom_plane(const T* source, int source_width, T* target, int width, int first, int end,
                const std::vector<std::size_t>& columns, const std::vector<std::size_t>& rows)
{
    bool doubled = std::int64_t(width) == 2 * std::int64_t(source_width);
    for (int x = 0; doubled && x < width; ++x)
        doubled = columns[std::size_t(x)] == std::size_t(x / 2);
    const std::size_t* column = columns.data();
    const std::size_t* row_of = rows.data();
    for (int y = first; y < end; ++y) {
        T* out = target + std::size_t(y) * std::size_t(width);
        const T* row = source + row_of[y] * std::size_t(source_width);
        if (y > first && row_of[y] == row_of[y - 1])
            std::memcpy(out, out - width, std::size_t(width) * sizeof(T));
        else if (doubled)
            for (int x = 0; x < source_width; ++x)
                out[2 * x] = out[2 * x + 1] = row[x];
        else
            for (int x = 0; x < width; ++x)
                out[x] = row[column[x]];
    }
}

template <typename T>
void zoom_image(const VImage& in, VImage& out, const std::vector<std::size_t>& columns,
                const std::vector<std::size_t>& rows)
{
    for_rows(out.height(), out.width(), [&](int first, int end) {
        for (int c = 0; c < in.channels(); ++c)
            zoom_plane(in.plane_as<T>(c), in.width(), out.plane_as<T>(c), out.width(), first, end,
                       columns, rows);
    });
}

} // namespace

Vstatus crop_part(const Vobject& in, Vobject* out, int row, int column, int width, int height)
{
    return run("crop_part", [&]() -> Vstatus {
        if (!out || width <= 0 || height <= 0)
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        const auto x0 = std::max<std::int64_t>(column, 0);
        const auto y0 = std::max<std::int64_t>(row, 0);
        const auto x1 = std::min<std::int64_t>(std::int64_t(column) + width, image->width());
        const auto y1 = std::min<std::int64_t>(std::int64_t(row) + height, image->height());
        if (x1 <= x0 || y1 <= y0)
            return VERR_OUTSIDE;
        const int w = int(x1 - x0), h = int(y1 - y0);
        auto result = VImage::create(image->type(), w, h, image->channels());
        copy_rect(*image, int(x0), int(y0), w, h, *result, 0, 0);
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

Vstatus zoom_image_size(const Vobject& in, Vobject* out, int width, int height,
                        const char* interpolation)
{
    return run("zoom_image_size", [&]() -> Vstatus {
        if (!out || width <= 0 || height <= 0 || !interpolation ||
            std::string_view(interpolation) != "constant")
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        auto result = VImage::create(image->type(), width, height, image->channels());
        const auto columns = nearest_map(image->width(), width);
        const auto rows = nearest_map(image->height(), height);
        switch (pixel_size(image->type())) {
        case 1:
            zoom_image<std::uint8_t>(*image, *result, columns, rows);
            break;
        case 2:
            zoom_image<std::uint16_t>(*image, *result, columns, rows);
            break;
        case 4:
            zoom_image<std::uint32_t>(*image, *result, columns, rows);
            break;
        default:
            zoom_image<std::uint64_t>(*image, *result, columns, rows);
            break;
        }
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

Vstatus tile_images(const Vobject& in, Vobject* out, int columns, const char* mode)
{
    return run("tile_images", [&]() -> Vstatus {
        if (!out || columns < 1 || !mode || std::string_view(mode) != "horizontal")
            return VERR_PARAM;
        const VImage* first = first_image(in);
        if (!first)
            return VERR_NO_OBJECT;
        for (std::size_t i = 1; i < in.count(); ++i)
            if (Vstatus status = check_same_layout(first, in.image(i).get()); status != V_OK)
                return status;
        const auto count = std::int64_t(in.count());
        const std::int64_t used_columns = std::min<std::int64_t>(columns, count);
        const std::int64_t rows = (count + used_columns - 1) / used_columns;
        if (used_columns * first->width() > INT_MAX || rows * first->height() > INT_MAX)
            return VERR_PARAM;
        auto result = VImage::create(first->type(), int(used_columns * first->width()),
                                     int(rows * first->height()), first->channels());
        for (std::int64_t i = 0; i < count; ++i)
            copy_rect(*in.image(std::size_t(i)), 0, 0, first->width(), first->height(), *result,
                      int(i % used_columns) * first->width(),
                      int(i / used_columns) * first->height());
        *out = Vobject(std::move(result));
        return V_OK;
    });
}
