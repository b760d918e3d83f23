#pragma once
// A check that a text value reads back as stored.
#include <gtest/gtest.h>

#include <string_view>

#include <registry/registry.h>

namespace registry {

// Success when value `name` of `key` reads back with type `type` and text `text`.
inline ::testing::AssertionResult HasTextValue(Registry& reg, HKEY key, std::string_view name,
                                               ValueType type, std::string_view text)
{
    char data[256];
    uint32_t size = sizeof data;
    ValueType found{};
    if (const Status status = reg.QueryValue(key, name, &found, data, &size);
        status != win32::kSuccess)
        return ::testing::AssertionFailure() << "status " << status;
    if (found != type)
        return ::testing::AssertionFailure() << "type " << uint32_t(found);
    if (std::string_view(data) != text)
        return ::testing::AssertionFailure() << "text \"" << data << '"';
    return ::testing::AssertionSuccess();
}

} // namespace registry
