#include "open_codes.h"

#include <fgint/fgint.h>

namespace {

struct Named {
    int32_t code;
    const char* text;
};

constexpr Named kFields[] = {{FG_FIELD_FIRST, "first"},
                             {FG_FIELD_SECOND, "second"},
                             {FG_FIELD_INTERLACED, "interlaced"},
                             {FG_FIELD_NEXT, "next"},
                             {FG_FIELD_PROGRESSIVE, "progressive"}};

} // namespace

namespace verodyn::fg {

const char* field_text(int32_t code)
{
    for (const Named& f : kFields)
        if (f.code == code)
            return f.text;
    return nullptr;
}

bool field_code(std::string_view text, int32_t* code)
{
    for (const Named& f : kFields)
        if (text == f.text) {
            *code = f.code;
            return true;
        }
    return false;
}

const char* trigger_text(uint8_t code) { return code ? "true" : "false"; }

bool trigger_code(std::string_view text, uint8_t* code)
{
    if (text != "true" && text != "false")
        return false;
    *code = text == "true";
    return true;
}

} // namespace verodyn::fg
