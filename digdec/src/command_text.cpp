#include "command_text.h"

#include <cstring>

namespace digdec {

CommandText::CommandText(const char* text) { Set(text); }

bool CommandText::Set(const char* text)
{
    if (!text)
        text = "";
    const std::size_t bytes = std::strlen(text) + 1;
    if (bytes <= kInside) {
        heap_.Resize(0, false);
        std::memcpy(inside_, text, bytes);
        return true;
    }
    if (bytes > INT32_MAX || !heap_.Resize(static_cast<int>(bytes), false))
        return false;
    std::memcpy(heap_.data(), text, bytes);
    return true;
}

const char* CommandText::c_str() const
{
    return heap_.size() > 0 ? reinterpret_cast<const char*>(heap_.data()) : inside_;
}

} // namespace digdec
