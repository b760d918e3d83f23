// The capabilities of a simulated source: their values in the current units,
// the containers that report them and the values they accept.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "manager.h"

namespace twsim::detail {

namespace {

// A capability's state as the containers show it: item words (an item in the
// low bytes of a 32-bit word) of the current value, and the values allowed as
// a list or as a range.
struct Description {
    TW_UINT16 item_type;
    TW_UINT16 kind; // the container it is reported in by default
    TW_UINT32 current;
    std::vector<TW_UINT32> list;
    TW_UINT32 min = 0, max = 0, step = 0;
};

TW_UINT32 Word(TW_FIX32 value)
{
    TW_UINT32 word = 0;
    std::memcpy(&word, &value, sizeof value);
    return word;
}

TW_UINT32 Fix(double value) { return Word(TwainRealToFix32(value)); }

Description Enumeration(TW_UINT16 current, const std::vector<TW_UINT16>& allowed)
{
    Description d{TWTY_UINT16, TWON_ENUMERATION, current, {}};
    for (TW_UINT16 value : allowed)
        d.list.push_back(value);
    return d;
}

Description Range(double current, double min, double max, double step)
{
    Description d{TWTY_FIX32, TWON_RANGE, Fix(current), {}};
    d.min = Fix(min);
    d.max = Fix(max);
    d.step = Fix(step);
    return d;
}

Description OneValue(double current) { return {TWTY_FIX32, TWON_ONEVALUE, Fix(current), {}}; }

std::optional<Description> Describe(const OpenSource& s, TW_UINT16 cap)
{
    const SourceConfig& c = *s.config;
    const double x_units = UnitsPerInch(s.units, s.x_dpi);
    const double y_units = UnitsPerInch(s.units, s.y_dpi);
    switch (cap) {
    case ICAP_XFERMECH:
        return Enumeration(s.xfer_mech, c.xfer_mechs);
    case ICAP_PIXELTYPE:
        return Enumeration(s.pixel_type, {TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE, TWPT_CMY,
                                          TWPT_CMYK, TWPT_YUV, TWPT_YUVK, TWPT_CIEXYZ});
    case ICAP_UNITS:
        return Enumeration(s.units, c.units);
    case ICAP_LIGHTPATH:
        return Enumeration(s.light_path, {TWLP_REFLECTIVE, TWLP_TRANSMISSIVE});
    case ICAP_BITDEPTH: {
        Description d{TWTY_UINT16, TWON_RANGE, s.bit_depth, {}};
        d.min = 1;
        d.max = 48;
        d.step = 1;
        return d;
    }
    case ICAP_XRESOLUTION:
        return Range(s.x_dpi / x_units, c.min_resolution / x_units, c.max_resolution / x_units,
                     1.0 / x_units);
    case ICAP_YRESOLUTION:
        return Range(s.y_dpi / y_units, c.min_resolution / y_units, c.max_resolution / y_units,
                     1.0 / y_units);
    case ICAP_XNATIVERESOLUTION:
        return OneValue(c.native_resolution / x_units);
    case ICAP_YNATIVERESOLUTION:
        return OneValue(c.native_resolution / y_units);
    case ICAP_XSCALING:
        return Range(s.x_scaling, 0.01, 100.0, 0.01);
    case ICAP_YSCALING:
        return Range(s.y_scaling, 0.01, 100.0, 0.01);
    case ICAP_PHYSICALWIDTH:
        return OneValue(c.physical_width * x_units);
    case ICAP_PHYSICALHEIGHT:
        return OneValue(c.physical_height * y_units);
    case ICAP_BRIGHTNESS:
        return Range(s.brightness, -1000.0, 1000.0, 1.0);
    case ICAP_CONTRAST:
        return Range(s.contrast, -1000.0, 1000.0, 1.0);
    case ICAP_GAMMA:
        return OneValue(s.gamma);
    case ICAP_HIGHLIGHT:
        return Range(s.highlight, 0.0, 255.0, 1.0);
    case ICAP_SHADOW:
        return Range(s.shadow, 0.0, 255.0, 1.0);
    }
    return std::nullopt;
}

// A new container of `kind` showing `d`; null when no memory is left.
HGLOBAL Container(const Description& d, TW_UINT16 kind)
{
    const TW_UINT32 item = TwainItemSize(d.item_type);
    const std::vector<TW_UINT32> items = d.list.empty() ? std::vector{d.current} : d.list;
    const auto at = std::find(items.begin(), items.end(), d.current);
    size_t bytes = sizeof(TW_ONEVALUE);
    if (kind == TWON_ENUMERATION)
        bytes = offsetof(TW_ENUMERATION, ItemList) + items.size() * item;
    else if (kind == TWON_ARRAY)
        bytes = offsetof(TW_ARRAY, ItemList) + items.size() * item;
    else if (kind == TWON_RANGE)
        bytes = sizeof(TW_RANGE);
    HGLOBAL handle = twain::GlobalAlloc(bytes);
    twain::GlobalLockGuard lock(handle);
    auto* p = static_cast<uint8_t*>(lock.Address());
    if (!p)
        return handle;
    std::memcpy(p, &d.item_type, sizeof d.item_type);
    if (kind == TWON_ENUMERATION || kind == TWON_ARRAY) {
        const auto count = TW_UINT32(items.size());
        uint8_t* list = p + offsetof(TW_ENUMERATION, ItemList);
        if (kind == TWON_ENUMERATION) {
            auto* e = reinterpret_cast<TW_ENUMERATION*>(p);
            e->NumItems = count;
            e->CurrentIndex = e->DefaultIndex =
                TW_UINT32(at == items.end() ? 0 : at - items.begin());
        } else {
            reinterpret_cast<TW_ARRAY*>(p)->NumItems = count;
            list = p + offsetof(TW_ARRAY, ItemList);
        }
        for (size_t i = 0; i < items.size(); ++i)
            std::memcpy(list + i * item, &items[i], item);
    } else if (kind == TWON_RANGE) {
        auto* r = reinterpret_cast<TW_RANGE*>(p);
        const bool ranged = d.step != 0;
        r->MinValue = ranged ? d.min : d.current;
        r->MaxValue = ranged ? d.max : d.current;
        r->StepSize = d.step;
        r->DefaultValue = r->CurrentValue = d.current;
    } else {
        reinterpret_cast<TW_ONEVALUE*>(p)->Item = d.current;
    }
    return handle;
}

// Takes `value` into `*target` when it is one of `allowed`.
TW_UINT16 SetListed(TW_UINT16 value, const std::vector<TW_UINT16>& allowed, TW_UINT16* target)
{
    if (std::find(allowed.begin(), allowed.end(), value) == allowed.end())
        return TWCC_BADVALUE;
    *target = value;
    return TWCC_SUCCESS;
}

// Resolution `value` in dots a current unit.
TW_UINT16 SetResolution(OpenSource& s, double value, double* dpi)
{
    if (s.units == TWUN_PIXELS)
        return TWCC_BADVALUE;
    const double wanted = value * UnitsPerInch(s.units, *dpi);
    const SourceConfig& c = *s.config;
    if (!(wanted >= c.min_resolution - 1e-6 && wanted <= c.max_resolution + 1e-6))
        return TWCC_BADVALUE;
    *dpi = wanted;
    return TWCC_SUCCESS;
}

// Takes `value` into `*target` when it lies from `min` to `max` (a NaN does not).
template <class T> TW_UINT16 SetWithin(T value, T min, T max, T* target)
{
    if (!(value >= min && value <= max))
        return TWCC_BADVALUE;
    *target = value;
    return TWCC_SUCCESS;
}

} // namespace

double UnitsPerInch(TW_UINT16 units, double dpi)
{
    switch (units) {
    case TWUN_CENTIMETERS:
        return 2.54;
    case TWUN_PICAS:
        return 6.0;
    case TWUN_POINTS:
        return 72.0;
    case TWUN_TWIPS:
        return 1440.0;
    case TWUN_PIXELS:
        return dpi;
    }
    return 1.0;
}

TW_UINT16 GetCapability(const OpenSource& source, TW_CAPABILITY* capability)
{
    const std::optional<Description> d = Describe(source, capability->Cap);
    if (!d)
        return TWCC_BADCAP;
    const auto custom = source.config->containers.find(capability->Cap);
    const TW_UINT16 kind = custom == source.config->containers.end() ? d->kind : custom->second;
    HGLOBAL handle = Container(*d, kind);
    if (!handle)
        return TWCC_LOWMEMORY;
    capability->ConType = kind;
    capability->hContainer = handle;
    return TWCC_SUCCESS;
}

TW_UINT16 SetCapability(OpenSource& s, const TW_CAPABILITY& capability)
{
    const std::optional<Description> d = Describe(s, capability.Cap);
    if (!d)
        return TWCC_BADCAP;
    if (capability.ConType != TWON_ONEVALUE ||
        twain::GlobalSize(capability.hContainer) < sizeof(TW_ONEVALUE))
        return TWCC_BADVALUE;
    TW_ONEVALUE value;
    {
        twain::GlobalLockGuard lock(capability.hContainer);
        if (!lock.Address())
            return TWCC_BADVALUE;
        std::memcpy(&value, lock.Address(), sizeof value);
    }
    if (value.ItemType != d->item_type)
        return TWCC_BADVALUE;
    TW_FIX32 fix;
    std::memcpy(&fix, &value.Item, sizeof fix);
    const double real = TwainFix32ToReal(fix);
    const auto word = TW_UINT16(value.Item);
    switch (capability.Cap) {
    case ICAP_XFERMECH:
        return SetListed(word, s.config->xfer_mechs, &s.xfer_mech);
    case ICAP_PIXELTYPE:
        return SetWithin<TW_UINT16>(word, TWPT_BW, TWPT_CIEXYZ, &s.pixel_type);
    case ICAP_UNITS:
        return SetListed(word, s.config->units, &s.units);
    case ICAP_LIGHTPATH:
        return SetWithin<TW_UINT16>(word, TWLP_REFLECTIVE, TWLP_TRANSMISSIVE, &s.light_path);
    case ICAP_BITDEPTH:
        return SetWithin<TW_UINT16>(word, 1, 48, &s.bit_depth);
    case ICAP_XRESOLUTION:
        return SetResolution(s, real, &s.x_dpi);
    case ICAP_YRESOLUTION:
        return SetResolution(s, real, &s.y_dpi);
    case ICAP_XSCALING:
        return SetWithin(real, 0.01, 100.0, &s.x_scaling);
    case ICAP_YSCALING:
        return SetWithin(real, 0.01, 100.0, &s.y_scaling);
    case ICAP_BRIGHTNESS:
        return SetWithin(real, -1000.0, 1000.0, &s.brightness);
    case ICAP_CONTRAST:
        return SetWithin(real, -1000.0, 1000.0, &s.contrast);
    case ICAP_GAMMA:
        return SetWithin(real, 0.0, 100.0, &s.gamma);
    case ICAP_HIGHLIGHT:
        return SetWithin(real, 0.0, 255.0, &s.highlight);
    case ICAP_SHADOW:
        return SetWithin(real, 0.0, 255.0, &s.shadow);
    }
    return TWCC_BADCAP; // reported only: native resolutions and the physical size
}

} // namespace twsim::detail
