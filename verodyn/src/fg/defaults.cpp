// VFgGetDefaults: the defaults block of a class as one value list.
#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "open_codes.h"
#include <verodyn/status.h>

namespace {

struct Entry {
    Vcpar value;
    std::string text; // for VPAR_STRING
};

Entry integer(int32_t v)
{
    Entry e{};
    e.value.type = VPAR_INT;
    e.value.par.l = v;
    return e;
}

Entry real(double v)
{
    Entry e{};
    e.value.type = VPAR_REAL;
    e.value.par.f = v;
    return e;
}

Entry text(std::string v)
{
    Entry e{};
    e.value.type = VPAR_STRING;
    e.text = std::move(v);
    return e;
}

// A text field of the class, read no further than its array.
std::string field_string(const char (&field)[FG_TEXT_LEN])
{
    return std::string(field, strnlen(field, FG_TEXT_LEN));
}

std::vector<Entry> entries(const FGClass& c)
{
    const char* field = verodyn::fg::field_text(c.field);
    return {integer(c.horizontal_resolution),
            integer(c.vertical_resolution),
            integer(c.image_width),
            integer(c.image_height),
            integer(c.start_row),
            integer(c.start_column),
            field ? text(field) : integer(c.field),
            integer(c.bits_per_channel),
            text(field_string(c.color_space)),
            real(c.gain),
            text(verodyn::fg::trigger_text(c.external_trigger)),
            text(field_string(c.camera_type)),
            text(field_string(c.device)),
            integer(c.port),
            integer(c.line_in)};
}

} // namespace

extern "C" FGstatus VFgGetDefaults(Vproc_handle, const FGClass* fgClass, Vcpar** values,
                                   int32_t* numValues)
{
    if (!fgClass || !values || !numValues)
        return VERR_NULL_POINTER;
    *values = nullptr;
    *numValues = 0;
    try {
        const std::vector<Entry> list = entries(*fgClass);
        std::size_t bytes = list.size() * sizeof(Vcpar);
        for (const Entry& e : list)
            if (e.value.type == VPAR_STRING)
                bytes += e.text.size() + 1;
        void* block = nullptr;
        const FGstatus status =
            verodyn::fg::tracked_alloc(bytes, __FILE__, __LINE__, false, &block);
        if (status != FG_SUCCESS)
            return status;
        Vcpar* out = static_cast<Vcpar*>(block);
        char* texts = reinterpret_cast<char*>(out + list.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            out[i] = list[i].value;
            if (list[i].value.type == VPAR_STRING) {
                std::memcpy(texts, list[i].text.c_str(), list[i].text.size() + 1);
                out[i].par.s = texts;
                texts += list[i].text.size() + 1;
            }
        }
        *values = out;
        *numValues = int32_t(list.size());
    } catch (const std::bad_alloc&) {
        return VERR_NO_MEMORY;
    }
    return FG_SUCCESS;
}
