#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <verodyn/tuple.h>

long long VCtrlVal::L() const
{
    if (auto v = std::get_if<long long>(&value_))
        return *v;
    if (auto v = std::get_if<double>(&value_)) {
        // Held to the range, as a text's number is: a cast of a real outside it is undefined.
        constexpr double kLimit = 0x1p63;
        if (std::isnan(*v))
            return 0;
        if (*v >= kLimit)
            return std::numeric_limits<long long>::max();
        if (*v < -kLimit)
            return std::numeric_limits<long long>::min();
        return static_cast<long long>(*v);
    }
    // Decimal, so that "08" is 8 and "010" is 10 (not octal); "0x" still gives hexadecimal.
    const char* text = std::get<std::string>(value_).c_str();
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (value == 0 && end != text && end[-1] == '0' && (*end == 'x' || *end == 'X'))
        return std::strtoll(text, nullptr, 16);
    return value;
}

double VCtrlVal::D() const
{
    if (auto v = std::get_if<double>(&value_))
        return *v;
    if (auto v = std::get_if<long long>(&value_))
        return static_cast<double>(*v);
    return std::strtod(std::get<std::string>(value_).c_str(), nullptr);
}

std::string VCtrlVal::S() const
{
    if (auto v = std::get_if<std::string>(&value_))
        return *v;
    if (auto v = std::get_if<long long>(&value_))
        return std::to_string(*v);
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(value_));
    return std::string(buffer, result.ptr);
}
