#include "live_objects.h"

#include <mutex>
#include <new>
#include <unordered_map>

#include <qdriver/transport.h>

namespace hw {
namespace {

std::mutex liveMutex;
std::unordered_map<const void*, ObjectKind> live;

bool IsOfKind(ObjectKind held, ObjectKind asked)
{
    return held == asked || (held == ObjectKind::NewDevice && asked == ObjectKind::Device);
}

} // namespace

bool AddLiveObject(const void* object, ObjectKind kind)
{
    std::lock_guard lock(liveMutex);
    try {
        live[object] = kind;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void RemoveLiveObject(const void* object)
{
    std::lock_guard lock(liveMutex);
    live.erase(object);
}

bool IsLiveObject(const void* object, ObjectKind kind)
{
    if (!object) {
        qdriver::SetLastError(win32::kInvalidParameter);
        return false;
    }
    std::lock_guard lock(liveMutex);
    auto it = live.find(object);
    if (it != live.end() && IsOfKind(it->second, kind))
        return true;
    qdriver::SetLastError(win32::kInvalidHandle);
    return false;
}

} // namespace hw
