#include <qdriver/address_table.h>

#include <mutex>
#include <unordered_map>

namespace qdriver {
namespace {

std::mutex tableMutex;
std::unordered_map<uint32_t, void*> table;
uint32_t nextToken = 1;

} // namespace

uint32_t RegisterAddress(void* address)
{
    if (!address)
        return 0;
    std::lock_guard lock(tableMutex);
    while (nextToken == 0 || table.count(nextToken))
        ++nextToken;
    table[nextToken] = address;
    return nextToken++;
}

void* AddressOf(uint32_t token)
{
    std::lock_guard lock(tableMutex);
    auto it = table.find(token);
    return it == table.end() ? nullptr : it->second;
}

void ReleaseAddress(uint32_t token)
{
    std::lock_guard lock(tableMutex);
    table.erase(token);
}

} // namespace qdriver
