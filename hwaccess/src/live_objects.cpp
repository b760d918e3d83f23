#include "live_objects.h"

#include <mutex>
#include <new>
#include <unordered_map>

#include <qdriver/transport.h>

namespace hw {
namespace {

// What the table knows of a live object. The serial tells it from objects
// that held its address before.
struct LiveObject {
    ObjectKind kind;
    uint64_t serial;
    uint64_t boundSerial = 0; // 0: bound to nothing
};

std::mutex liveMutex;
std::unordered_map<const void*, LiveObject> live;
uint64_t lastSerial = 0;

bool IsOfKind(ObjectKind held, ObjectKind asked)
{
    return held == asked || (held == ObjectKind::NewDevice && asked == ObjectKind::Device);
}

} // namespace

bool AddLiveObject(const void* object, ObjectKind kind)
{
    std::lock_guard lock(liveMutex);
    try {
        live[object] = {kind, ++lastSerial};
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
    if (it != live.end() && IsOfKind(it->second.kind, kind))
        return true;
    qdriver::SetLastError(win32::kInvalidHandle);
    return false;
}

void Bind(const void* object, const void* target)
{
    std::lock_guard lock(liveMutex);
    auto it = live.find(object);
    if (it == live.end())
        return;
    auto found = target ? live.find(target) : live.end();
    it->second.boundSerial = found != live.end() ? found->second.serial : 0;
}

bool IsBound(const void* object, const void* target, ObjectKind kind)
{
    if (!IsLiveObject(target, kind))
        return false;
    std::lock_guard lock(liveMutex);
    auto it = live.find(object);
    auto found = live.find(target);
    if (it != live.end() && found != live.end() && it->second.boundSerial == found->second.serial)
        return true;
    qdriver::SetLastError(win32::kInvalidHandle);
    return false;
}

} // namespace hw
