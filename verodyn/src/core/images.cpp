// Making, inspecting, copying and joining image objects.
#include <cstring>

#include <verodyn/extension.h>
#include <verodyn/operators.h>

using verodyn::first_image;
using verodyn::run;

namespace {

Vstatus make_image(Vobject* out, const char* type_name, int width, int height,
                   std::initializer_list<const void*> planes)
{
    VPixelType type;
    if (!out || !type_name || !parse_pixel_type(type_name, &type) || width <= 0 || height <= 0)
        return VERR_PARAM;
    for (const void* plane : planes)
        if (!plane)
            return VERR_NULL_POINTER;
    auto image = VImage::create(type, width, height, int(planes.size()));
    int channel = 0;
    for (const void* plane : planes)
        std::memcpy(image->plane(channel++), plane, image->plane_bytes());
    *out = Vobject(std::move(image));
    return V_OK;
}

} // namespace

Vstatus gen_image1(Vobject* out, const char* type, int width, int height, const void* plane)
{
    return run("gen_image1", [&] { return make_image(out, type, width, height, {plane}); });
}

Vstatus gen_image3(Vobject* out, const char* type, int width, int height, const void* red,
                   const void* green, const void* blue)
{
    return run("gen_image3", [&] {
        return make_image(out, type, width, height, {red, green, blue});
    });
}

Vstatus gen_image_const(Vobject* out, const char* type_name, int width, int height)
{
    return run("gen_image_const", [&] {
        VPixelType type;
        if (!out || !type_name || !parse_pixel_type(type_name, &type) || width <= 0 || height <= 0)
            return VERR_PARAM;
        *out = Vobject(VImage::create(type, width, height, 1));
        return V_OK;
    });
}

Vstatus gen_empty_obj(Vobject* out)
{
    return run("gen_empty_obj", [&] {
        if (!out)
            return VERR_PARAM;
        out->clear();
        return V_OK;
    });
}

Vstatus count_channels(const Vobject& object, int* count)
{
    return run("count_channels", [&] {
        const VImage* image = first_image(object);
        if (!image)
            return VERR_NO_OBJECT;
        if (count)
            *count = image->channels();
        return V_OK;
    });
}

namespace {

void describe(const VImage& image, std::string* type, int* width, int* height)
{
    if (type)
        *type = pixel_type_name(image.type());
    if (width)
        *width = image.width();
    if (height)
        *height = image.height();
}

} // namespace

Vstatus get_image_pointer1(const Vobject& object, void** plane, std::string* type, int* width,
                           int* height)
{
    return run("get_image_pointer1", [&] {
        VImage* image = object.image(0).get();
        if (!image)
            return VERR_NO_OBJECT;
        if (plane)
            *plane = image->plane(0);
        describe(*image, type, width, height);
        return V_OK;
    });
}

Vstatus get_image_pointer3(const Vobject& object, void** red, void** green, void** blue,
                           std::string* type, int* width, int* height)
{
    return run("get_image_pointer3", [&] {
        VImage* image = object.image(0).get();
        if (!image)
            return VERR_NO_OBJECT;
        if (image->channels() != 3)
            return VERR_CHANNEL;
        void** outputs[] = {red, green, blue};
        for (int c = 0; c < 3; ++c)
            if (outputs[c])
                *outputs[c] = image->plane(c);
        describe(*image, type, width, height);
        return V_OK;
    });
}

Vstatus copy_image(const Vobject& in, Vobject* out)
{
    return run("copy_image", [&] {
        if (!out)
            return VERR_PARAM;
        if (in.empty())
            return VERR_NO_OBJECT;
        Vobject copy;
        for (std::size_t i = 0; i < in.count(); ++i) {
            const VImage& source = *in.image(i);
            auto image =
                VImage::create(source.type(), source.width(), source.height(), source.channels());
            for (int c = 0; c < source.channels(); ++c)
                std::memcpy(image->plane(c), source.plane(c), source.plane_bytes());
            copy.append(Vobject(std::move(image)));
        }
        *out = std::move(copy);
        return V_OK;
    });
}

Vstatus concat_obj(const Vobject& a, const Vobject& b, Vobject* out)
{
    return run("concat_obj", [&] {
        if (!out)
            return VERR_PARAM;
        Vobject joined = a;
        joined.append(b);
        *out = std::move(joined);
        return V_OK;
    });
}
