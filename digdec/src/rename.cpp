#include "rename.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace digdec {

RenameResult RenameSisterBoard(char* buffer, uint32_t capacity)
{
    if (!buffer || capacity == 0)
        return RenameResult::kUnchanged;
    const std::size_t length = strnlen(buffer, capacity);
    if (length == capacity)
        return RenameResult::kUnchanged;
    const std::string_view text(buffer, length);
    const std::size_t found = text.find(kSisterName);
    if (found == std::string_view::npos)
        return RenameResult::kUnchanged;

    const std::string_view parts[] = {text.substr(0, found), kOwnName,
                                      text.substr(found + std::strlen(kSisterName))};
    char working[kWorkingTextSize];
    const std::size_t room = std::min<std::size_t>(kWorkingTextSize, capacity) - 1;
    std::size_t used = 0;
    bool truncated = false;
    for (std::string_view part : parts) {
        const std::size_t take = std::min(part.size(), room - used);
        std::memcpy(working + used, part.data(), take);
        used += take;
        truncated = truncated || take < part.size();
    }
    std::memcpy(buffer, working, used);
    buffer[used] = '\0';
    return truncated ? RenameResult::kTruncated : RenameResult::kRenamed;
}

} // namespace digdec
