#include <base/text_case.h>

#include <algorithm>

namespace ondula {
namespace {

// Not std::tolower: in a single-byte locale it would change bytes of UTF-8
// names, and Qt takes the locale from the environment.
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Runs of capitals and how far their small letters lie; with `step` 2 the
// run alternates capital, small letter, starting with a capital.
struct CaseRun {
    char32_t first;
    char32_t last;
    char32_t step;
    int offset;
};
constexpr CaseRun kCaseRuns[] = {
    {U'A', U'Z', 1, 32}, {U'À', U'Ö', 1, 32}, {U'Ø', U'Þ', 1, 32}, {U'Ā', U'Į', 2, 1},
    {U'Ĳ', U'Ķ', 2, 1},  {U'Ĺ', U'Ň', 2, 1},  {U'Ŋ', U'Ŷ', 2, 1},  {U'Ÿ', U'Ÿ', 1, -121},
    {U'Ź', U'Ž', 2, 1},  {U'Ά', U'Ά', 1, 38}, {U'Έ', U'Ί', 1, 37}, {U'Ό', U'Ό', 1, 64},
    {U'Ύ', U'Ώ', 1, 63}, {U'Α', U'Ρ', 1, 32}, {U'Σ', U'Ϋ', 1, 32}, {U'Ѐ', U'Џ', 1, 80},
    {U'А', U'Я', 1, 32},
};

char32_t small_letter(char32_t c)
{
    for (const CaseRun& run : kCaseRuns)
        if (c >= run.first && c <= run.last && (c - run.first) % run.step == 0)
            return static_cast<char32_t>(static_cast<int>(c) + run.offset);
    return c;
}

} // namespace

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return lower(c); });
    return out;
}

std::string lowered_utf8(std::string_view text)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto lead = static_cast<unsigned char>(out[i]);
        if (lead < 0x80) {
            out[i] = static_cast<char>(small_letter(lead));
            continue;
        }
        // Every letter folded, and its small letter, takes two bytes.
        if (lead < 0xC2 || lead > 0xDF || i + 1 == out.size() ||
            (static_cast<unsigned char>(out[i + 1]) & 0xC0) != 0x80)
            continue;
        const char32_t c = small_letter(char32_t(lead & 0x1F) << 6 | (out[i + 1] & 0x3F));
        out[i] = static_cast<char>(0xC0 | c >> 6);
        out[++i] = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

} // namespace ondula
