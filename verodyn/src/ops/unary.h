// How an operator on one image starts and ends, so that each states only its
// own checks and work.
#pragma once

#include <memory>
#include <utility>

#include <verodyn/extension.h>

namespace verodyn::detail {

// Runs the operator `op` on the first image of `in`: make(image, result)
// checks the image and builds `result`, or returns the status that says why
// it cannot; the result becomes *out. Without `out` the status is VERR_PARAM,
// without an image VERR_NO_OBJECT.
template <typename Make>
Vstatus run_unary(const char* op, const Vobject& in, Vobject* out, Make&& make)
{
    return run(op, [&]() -> Vstatus {
        if (!out)
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        std::shared_ptr<VImage> result;
        if (const Vstatus status = std::forward<Make>(make)(*image, result); status != V_OK)
            return status;
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

} // namespace verodyn::detail
