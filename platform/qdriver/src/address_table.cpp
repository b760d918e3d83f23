#include <qdriver/address_table.h>

#include <mutex>
#include <unordered_map>

namespace qdriver {
namespace {

std::mutex tableMutex;
struct Entry {
    void* address;
    uint64_t extent;
};
std::unordered_map<uint32_t, Entry> table;
uint32_t nextToken = 1;

} // namespace

uint32_t RegisterAddress(void* address, uint64_t extent)
{
    if (!address)
        return 0;
    std::lock_guard lock(tableMutex);
    while (nextToken == 0 || table.count(nextToken))
        ++nextToken;
    table[nextToken] = {address, extent};
    return nextToken++;
}

void* AddressOf(uint32_t token)
{
    std::lock_guard lock(tableMutex);
    auto it = table.find(token);
    return it == table.end() ? nullptr : it->second.address;
}

bool IsLiveRange(const void* address, uint64_t length)
{
    const auto at = reinterpret_cast<uintptr_t>(address);
    std::lock_guard lock(tableMutex);
    for (const auto& [token, entry] : table) {
        const auto base = reinterpret_cast<uintptr_t>(entry.address);
        if (at >= base && at - base <= entry.extent && length <= entry.extent - (at - base))
            return true;
    }
    return false;
}

void ReleaseAddress(uint32_t token)
{
    std::lock_guard lock(tableMutex);
    table.erase(token);
}

} // namespace qdriver
