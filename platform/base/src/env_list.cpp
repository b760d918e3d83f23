#include <base/env_list.h>

#include <algorithm>
#include <cstdio>

namespace ondula {

int take_list_entries(const char* variable, const std::string& value,
                      const std::function<bool(const std::string&)>& take)
{
    int taken = 0;
    for (std::size_t start = 0; start <= value.size();) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        const std::string entry = value.substr(start, end - start);
        start = end + 1;
        if (entry.empty())
            continue;
        if (take(entry))
            ++taken;
        else
            std::fprintf(stderr, "%s: entry \"%s\" ignored\n", variable, entry.c_str());
    }
    return taken;
}

} // namespace ondula
