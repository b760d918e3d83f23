// How the whole-image operators walk an image: in bands of whole rows, which
// the parallel edition hands to the worker pool and the ordinary one runs in
// one go on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

#include <verodyn/object.h>

namespace verodyn::detail {

// Runs body(first, end) over bands of the rows [0, height) of an image
// `width` pixels wide; the bands cover every row once.
void for_rows(int height, int width, const std::function<void(int first, int end)>& body);

// Runs body(first, count) over bands of whole rows of `image`, given as
// ranges of pixel indices into its planes.
void for_pixels(const VImage& image,
                const std::function<void(std::size_t first, std::size_t count)>& body);

} // namespace verodyn::detail
