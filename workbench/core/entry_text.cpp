#include "entry_text.h"

#include <charconv>
#include <cmath>

namespace {

// The text from its number on: blanks skipped, one '+' dropped (from_chars takes
// only '-').
std::string_view NumberStart(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || (text.front() >= '\t' && text.front() <= '\r')))
        text.remove_prefix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::optional<float> ParseLeadingFloat(std::string_view text)
{
    text = NumberStart(text);
    float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseLeadingInt(std::string_view text)
{
    text = NumberStart(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return std::nullopt;
    return value;
}
