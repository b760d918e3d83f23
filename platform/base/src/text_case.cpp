#include <base/text_case.h>

#include <algorithm>
#include <cctype>

namespace ondula {
namespace {

char lower(unsigned char c) { return static_cast<char>(std::tolower(c)); }

} // namespace

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return lower(c); });
    return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

} // namespace ondula
