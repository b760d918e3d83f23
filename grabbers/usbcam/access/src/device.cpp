#include <kdtorvane/device.h>

#include <kdtorvane/exceptions.h>

namespace kdTORVANE::acquire {

namespace {

constexpr char kSettingPrefix[] = "VerodynSetting_";
constexpr char kBaseSetting[] = "Base";

// The list of `type` of the opened camera, which is opened first when needed;
// raises TorvaneAcquireException `failure` when there is none.
HOBJ OpenedList(DeviceEntry& entry, KdListType type, const char* failure)
{
    if (!entry.IsOpen())
        entry.Open();
    HOBJ list = KD_INVALID_HANDLE;
    Require(kdFindList(entry.driver(), type, nullptr, &list), failure);
    return list;
}

HOBJ FindSetting(const ListAccess& settings, const std::string& name)
{
    HOBJ setting = KD_INVALID_HANDLE;
    Require(kdFindComponent(settings.handle(), name.c_str(), KD_FIND_LISTS, &setting),
            "Couldn't find setting " + name);
    return setting;
}

} // namespace

void Walk(HOBJ first, const std::string& prefix, PathMap& paths)
{
    for (HOBJ handle = first; kdCheckHandle(handle, 2) == KD_OK;) {
        const ComponentAccess component(handle);
        const std::string path =
            prefix.empty() ? component.name() : prefix + "/" + component.name();
        const int32_t type = component.type();
        if (type & KD_TYPE_LIST)
            Walk(ListAccess(handle).FirstChild(), path, paths);
        else if (type == KD_TYPE_INT || type == KD_TYPE_REAL || type == KD_TYPE_STRING)
            paths.emplace(path, handle);
        handle = component.NextSibling();
    }
}

ImageRequest::ImageRequest(HDRV driver, int32_t number) : driver_(driver), number_(number)
{
    Check(kdCreateImageBuffer(driver_, &buffer_), KD_INVALID_HANDLE);
}

ImageRequest::~ImageRequest() { kdFreeImageBuffer(buffer_); }

int32_t ImageRequest::Result() const
{
    int32_t result = KD_REQUEST_OK;
    Check(kdGetRequestResult(driver_, number_, &result), KD_INVALID_HANDLE);
    return result;
}

const KdImageBuffer& ImageRequest::ImageBuffer() const
{
    Check(kdGetImageBuffer(driver_, number_, buffer_), KD_INVALID_HANDLE);
    return *buffer_;
}

ImageRequestControl::ImageRequestControl(DeviceEntry& entry)
    : entry_(entry),
      settings_(OpenedList(entry, KD_LIST_SETTINGS, "Couldn't find settings")),
      requests_list_(OpenedList(entry, KD_LIST_REQUESTS, "Couldn't find request list")),
      control_(OpenedList(entry, KD_LIST_IMAGE_REQUEST_CONTROL,
                          "Couldn't find image request control list")),
      system_(OpenedList(entry, KD_LIST_SYSTEM, "Couldn't find 'System' list")),
      request_count_(system_.Property("RequestCount"))
{
    RefreshRequestList();
}

void ImageRequestControl::RefreshRequestList()
{
    const auto count = size_t(requests_list_.Count());
    if (requests_.size() > count)
        requests_.resize(count);
    while (requests_.size() < count)
        requests_.push_back(std::make_unique<ImageRequest>(driver(), int32_t(requests_.size())));
}

void ImageRequestControl::Select(HOBJ setting) const
{
    if (control_.Count() == 0)
        throw TorvaneAcquireException("Couldn't find image request control entry",
                                      KD_ERR_COMPONENT_ID_INVALID);
    ListAccess(control_.FirstChild()).Property("Setting").WriteInt(setting);
}

void ImageRequestControl::SetRequestCount(int32_t count)
{
    request_count_.WriteInt(count);
    RefreshRequestList();
}

void ImageRequestControl::Queue() const { Check(kdQueueRequest(driver(), 0), control_.handle()); }

int32_t ImageRequestControl::Wait(int32_t timeout_ms) const
{
    return kdWaitForRequest(driver(), timeout_ms);
}

void ImageRequestControl::Unlock(int32_t number) const
{
    Check(kdUnlockRequest(driver(), number), requests_list_.handle());
}

void ImageRequestControl::ResetQueue() const
{
    Check(kdResetRequestQueue(driver(), 0), control_.handle());
}

CameraSettingAccess::CameraSettingAccess(const ListAccess& settings, const std::string& name)
{
    static const char* const kCamera[] = {"Gain_dB",       "Offset_pc",    "OffsetAutoCalibration",
                                          "TriggerMode",   "ExposeMode",   "PixelClock_KHz",
                                          "Expose_us",     "BinningMode",  "FrameDelay_us",
                                          "LineDelay_clk", "FlashMode",    "ImageRequestTimeout_ms",
                                          "TestMode",      "TriggerSource"};
    const ListAccess camera = ListAccess(FindSetting(settings, name)).List("Camera");
    for (const char* property : kCamera)
        properties_.emplace(property, camera.Property(property));
    const ListAccess aoi = camera.List("Aoi");
    for (const char* property : {"H", "X", "Y", "W"})
        properties_.emplace(std::string("Aoi/") + property, aoi.Property(property));
}

struct InfoLists {
    ListAccess info, camera;
};

namespace {

InfoLists InfoOf(DeviceEntry& entry)
{
    const ListAccess info(OpenedList(entry, KD_LIST_INFO, "Couldn't find 'Info' list"));
    return {info, info.List("Camera")};
}

} // namespace

DeviceInfoAccess::DeviceInfoAccess(DeviceEntry& entry) : DeviceInfoAccess(InfoOf(entry)) { }

DeviceInfoAccess::DeviceInfoAccess(const InfoLists& lists)
    : DriverDate(lists.info.Property("DriverDate")),
      DriverVersion(lists.info.Property("DriverVersion")),
      State(lists.info.Property("State")),
      LoadedSettings(lists.info.Property("LoadedSettings")),
      FirmwareVersion(lists.info.Property("FirmwareVersion")),
      SensorFPGAVersion(lists.camera.Property("SensorFPGAVersion")),
      SensorCaps(lists.camera.Property("SensorCaps")),
      SensorXRes(lists.camera.Property("SensorXRes")),
      SensorYRes(lists.camera.Property("SensorYRes")),
      SensorColorMode(lists.camera.Property("SensorColorMode")),
      SensorType(lists.camera.Property("SensorType"))
{
}

DevicePropertyDictionary::DevicePropertyDictionary(const ListAccess& settings,
                                                   const std::string& name)
    : setting(FindSetting(settings, name)), camera(settings, name)
{
    Walk(setting.FirstChild(), "", paths);
}

DeviceAccess::DeviceAccess(DeviceManagerSession session, DeviceEntry& entry)
    : session_(std::move(session)), entry_(entry), requests_(entry), info_(entry)
{
    static constexpr struct {
        KdListType type;
        const char* name;
    } kLists[] = {{KD_LIST_INFO, "Info"},
                  {KD_LIST_STATISTICS, "Statistics"},
                  {KD_LIST_SYSTEM, "System"},
                  {KD_LIST_IO_SUBSYSTEM, "IOSubSystem"}};
    for (const auto& list : kLists) {
        HOBJ handle = KD_INVALID_HANDLE;
        Require(kdFindList(entry_.driver(), list.type, list.name, &handle),
                std::string("Couldn't find '") + list.name + "' list");
        Walk(handle, "", dictionary_);
    }
}

DeviceAccess::~DeviceAccess()
{
    kdResetRequestQueue(entry_.driver(), 0);
    entry_.Close();
}

DevicePropertyDictionary* DeviceAccess::TakeSetting()
{
    if (first_free_ == -1) {
        const std::string name = kSettingPrefix + std::to_string(settings_.size());
        Check(kdCreateSetting(entry_.driver(), name.c_str(), kBaseSetting),
              requests_.settings().handle());
        settings_.push_back(
            {std::make_unique<DevicePropertyDictionary>(requests_.settings(), name), -1});
        return settings_.back().dictionary.get();
    }
    Entry& entry = settings_[size_t(first_free_)];
    entry.dictionary->setting.Reset();
    first_free_ = entry.next_free;
    return entry.dictionary.get();
}

bool DeviceAccess::GiveSettingBack(const DevicePropertyDictionary* setting)
{
    for (size_t i = 0; i < settings_.size(); ++i)
        if (settings_[i].dictionary.get() == setting) {
            settings_[i].next_free = first_free_;
            first_free_ = int(i);
            return true;
        }
    return false;
}

void DeviceAccess::SetRequestQueueDepth(int32_t depth)
{
    requests_.ResetQueue();
    requests_.SetRequestCount(depth + 1);
    depth_ = depth;
}

} // namespace kdTORVANE::acquire
