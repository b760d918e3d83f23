// Devices: search, open and close, settings and the lists of an opened device.
#include "manager.h"

using namespace kdmgr;

namespace {

// Whether `text` matches `pattern`, where `wildcard` matches any run of
// characters. On a mismatch only the last wildcard takes one character more:
// the earlier ones can gain nothing by it, so any pattern takes at most
// pattern times text steps.
bool Matches(const char* pattern, const char* text, char wildcard)
{
    const char* star = nullptr;  // the pattern just after the last wildcard
    const char* taken = nullptr; // the text that wildcard ends at
    while (*text != '\0') {
        if (*pattern != '\0' && *pattern == wildcard) {
            star = ++pattern;
            taken = text;
        } else if (*pattern == *text) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star;
            text = ++taken;
        } else {
            return false;
        }
    }
    while (*pattern != '\0' && *pattern == wildcard)
        ++pattern;
    return *pattern == '\0';
}

} // namespace

extern "C" {

int32_t kdOpenDevice(HDEV device, HDRV* driver)
{
    return Locked(KD_ORD_OPEN_DEVICE, [&](Manager& m) -> int32_t {
        Device* d = m.DeviceOfEntry(device);
        if (!d || !driver)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        if (d->driver)
            return KD_ERR_DEVICE_BUSY;
        d->driver.emplace();
        d->driver->handle = m.next_driver++;
        BuildDriverTree(m, *d, *d->driver);
        *driver = d->driver->handle;
        return KD_OK;
    });
}

int32_t kdCloseDevice(HDEV device, HDRV driver)
{
    return Locked(KD_ORD_CLOSE_DEVICE, [&](Manager& m) -> int32_t {
        Device* d = m.DeviceOfEntry(device);
        if (!d || !d->driver || d->driver->handle != driver)
            return KD_ERR_INVALID_DRIVER;
        m.Kill(d->driver->root);
        d->driver.reset();
        return KD_OK;
    });
}

int32_t kdGetDevice(int32_t mode, const char* pattern, int32_t number, char wildcard, HDEV* device)
{
    return Locked(KD_ORD_GET_DEVICE, [&](Manager& m) -> int32_t {
        if (!device || ((mode & KD_SEARCH_PRODUCT) && !pattern))
            return KD_ERR_INVALID_INPUT_PARAMETER;
        const char any = (mode & KD_SEARCH_WILDCARD) ? wildcard : '\0';
        for (const Device& d : m.devices) {
            if ((mode & KD_SEARCH_PRODUCT) && !Matches(pattern, d.config.product.c_str(), any))
                continue;
            if ((mode & KD_SEARCH_DEVICE_ID) && d.config.device_id != number)
                continue;
            *device = d.entry;
            return KD_OK;
        }
        return KD_ERR_NO_SUCH_DEVICE;
    });
}

int32_t kdCreateSetting(HDRV driver, const char* name, const char* parent)
{
    return OnDriver(KD_ORD_CREATE_SETTING, driver, [&](Manager& m, Device& device) -> int32_t {
        if (!name || !parent)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        const HOBJ settings = device.driver->lists[KD_LIST_SETTINGS];
        const HOBJ source = m.Child(settings, parent);
        if (source == KD_INVALID_HANDLE)
            return KD_ERR_COMPONENT_ID_INVALID;
        if (m.Child(settings, name) != KD_INVALID_HANDLE)
            return KD_ERR_LIST_ENTRY_OCCUPIED;
        m.Clone(source, settings, name);
        return KD_OK;
    });
}

int32_t kdFindList(HDRV driver, int32_t type, const char* name, HOBJ* list)
{
    return OnDriver(KD_ORD_FIND_LIST, driver, [&](Manager& m, Device& device) -> int32_t {
        const Driver& d = *device.driver;
        if (!list)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        if (type < 0 || type >= int32_t(d.lists.size()) ||
            (name && m.At(d.lists[size_t(type)]).name != name))
            return KD_ERR_COMPONENT_ID_INVALID;
        *list = d.lists[size_t(type)];
        return KD_OK;
    });
}

} // extern "C"
