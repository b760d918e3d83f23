#include <kdtorvane/session.h>

#include <kdtorvane/exceptions.h>

namespace kdTORVANE::acquire {

namespace {

PropertyAccess EntryProperty(HDEV device, const char* name)
{
    return ListAccess(device).Property(name);
}

} // namespace

DeviceEntry::DeviceEntry(HDEV device)
    : DeviceID(EntryProperty(device, "DeviceID")),
      Family(EntryProperty(device, "Family")),
      FirmwareVersion(EntryProperty(device, "FirmwareVersion")),
      LoadSettings(EntryProperty(device, "LoadSettings")),
      Product(EntryProperty(device, "Product")),
      Serial(EntryProperty(device, "Serial")),
      State(EntryProperty(device, "State")),
      UserData(EntryProperty(device, "UserData")),
      HWUpdateResult(EntryProperty(device, "HWUpdateResult")),
      device_(device)
{
}

void DeviceEntry::Open()
{
    HDRV driver = KD_INVALID_HANDLE;
    Require(kdOpenDevice(device_, &driver), "open device failed");
    driver_ = driver;
}

void DeviceEntry::Close()
{
    if (!IsOpen())
        return;
    kdCloseDevice(device_, driver_);
    driver_ = KD_INVALID_HANDLE;
}

DeviceManagerSession::DeviceManagerSession()
{
    HOBJ device_list = KD_INVALID_HANDLE;
    Require(kdInitialise(&device_list), "DevMgrInit failed");
    state_ = std::make_shared<State>();
    state_->device_list = device_list;
}

DeviceManagerSession::State::~State()
{
    for (const std::unique_ptr<DeviceEntry>& entry : devices)
        entry->Close();
    kdClose();
}

void DeviceManagerSession::RefreshDeviceList()
{
    const ListAccess list(state_->device_list);
    const int32_t changes = list.ChangeCounter();
    if (changes == state_->changes)
        return;
    const int32_t count = list.Count();
    HOBJ entry = list.FirstChild();
    for (size_t known = 0; known < state_->devices.size() && entry != KD_INVALID_HANDLE; ++known)
        entry = ComponentAccess(entry).NextSibling();
    while (int32_t(state_->devices.size()) < count && kdCheckHandle(entry, 2) == KD_OK) {
        state_->devices.push_back(std::make_unique<DeviceEntry>(entry));
        entry = ComponentAccess(entry).NextSibling();
    }
    state_->changes = changes;
}

DeviceEntry* DeviceManagerSession::DeviceByFamily(int32_t mode, const std::string& pattern,
                                                  int32_t number, char wildcard)
{
    RefreshDeviceList();
    HDEV device = KD_INVALID_HANDLE;
    if (kdGetDevice(mode, pattern.c_str(), number, wildcard, &device) != KD_OK)
        return nullptr;
    for (const std::unique_ptr<DeviceEntry>& entry : state_->devices)
        if (entry->device() == device)
            return entry.get();
    return nullptr;
}

} // namespace kdTORVANE::acquire
