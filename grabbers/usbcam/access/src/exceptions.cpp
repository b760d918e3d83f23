#include <kdtorvane/exceptions.h>

#include <string_view>

namespace kdTORVANE::acquire {

namespace {

// The messages of the three groups start with the group's name.
const char* Prefix(std::string_view base)
{
    if (base == "EProperty")
        return "EProperty: ";
    if (base == "EPropertyList")
        return "EPropertyList: ";
    if (base == "EMethod")
        return "EMethod: ";
    return "";
}

} // namespace

void Raise(int32_t code, const std::string& name, const std::string& text)
{
    // What the table's insertions stand for.
    const std::string& Name = name;
    const std::string& Text = text;
    const std::string None;
    const auto message = [](const char* base, const char* before, const std::string& inserted,
                            const char* after) {
        return Prefix(base) + std::string(before) + inserted + after;
    };
    switch (code) {
#define KD_EXCEPTION_RAISE(code, Class, Base, before, insert, after)                               \
    case code:                                                                                     \
        throw Class(message(#Base, before, insert, after), code);
        KD_EXCEPTION_TABLE(KD_EXCEPTION_RAISE)
#undef KD_EXCEPTION_RAISE
    }
    throw EPropertyHandling("Unknown error occurred during processing of component " + name, code);
}

} // namespace kdTORVANE::acquire
