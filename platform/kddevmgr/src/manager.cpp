// The manager itself, its arena of components and the simulation's controls.
#include "manager.h"

#include <base/env_list.h>

#include <algorithm>
#include <cstdlib>

namespace kdmgr {

Value* Component::At(int32_t index)
{
    if (index >= 0)
        return index < int32_t(values.size()) ? &values[size_t(index)] : nullptr;
    if (index < -3)
        return nullptr;
    std::optional<Value>& held = limit[size_t(-index - 1)];
    return held ? &*held : nullptr;
}

Manager& TheManager()
{
    // Never destroyed: plug-ins close the manager while the process ends.
    static Manager* manager = [] {
        auto* made = new Manager;
        made->clock = &ondula::SteadyClock();
        return made;
    }();
    return *manager;
}

int32_t Manager::Enter(KdOrdinal ordinal)
{
    ++calls[ordinal];
    const auto it = faults.find(ordinal);
    if (it == faults.end())
        return KD_OK;
    int32_t code = KD_OK;
    for (auto& [calls_to_go, fault] : it->second)
        if (--calls_to_go == 0 && code == KD_OK)
            code = fault;
    std::erase_if(it->second, [](const auto& fault) { return fault.first <= 0; });
    return code;
}

int32_t Manager::EnterInitialised(KdOrdinal ordinal)
{
    const int32_t fault = Enter(ordinal);
    if (fault != KD_OK)
        return fault;
    return users > 0 ? KD_OK : KD_ERR_NOT_INITIALISED;
}

Component* Manager::Find(HOBJ handle)
{
    const auto it = slots.find(handle);
    return it == slots.end() ? nullptr : &arena[it->second];
}

HOBJ Manager::Add(HOBJ parent, Component component)
{
    const HOBJ handle = next_handle++;
    component.parent = parent;
    if (free_slots.empty()) {
        slots[handle] = arena.size();
        arena.push_back(std::move(component));
    } else {
        slots[handle] = free_slots.back();
        arena[free_slots.back()] = std::move(component);
        free_slots.pop_back();
    }
    if (parent != KD_INVALID_HANDLE) {
        At(parent).children.push_back(handle);
        ++At(parent).changes;
    }
    return handle;
}

HOBJ Manager::Clone(HOBJ source, HOBJ parent, const std::string& name)
{
    Component copy = At(source);
    copy.name = name;
    copy.children.clear();
    const HOBJ handle = Add(parent, std::move(copy));
    for (const HOBJ child : std::vector<HOBJ>(At(source).children))
        Clone(child, handle, At(child).name);
    return handle;
}

void Manager::Kill(HOBJ handle)
{
    const auto it = slots.find(handle);
    if (it == slots.end())
        return;
    const size_t slot = it->second;
    slots.erase(it);
    const std::vector<HOBJ> children = std::move(arena[slot].children);
    arena[slot] = Component{};
    free_slots.push_back(slot);
    for (const HOBJ child : children)
        Kill(child);
}

HOBJ Manager::Child(HOBJ list, const std::string& name) const
{
    for (const HOBJ child : At(list).children)
        if (At(child).name == name)
            return child;
    return KD_INVALID_HANDLE;
}

Device* Manager::DeviceOfEntry(HDEV device)
{
    for (Device& d : devices)
        if (d.entry == device && Find(device))
            return &d;
    return nullptr;
}

Device* Manager::DeviceOfDriver(HDRV driver)
{
    for (Device& d : devices)
        if (d.driver && d.driver->handle == driver)
            return &d;
    return nullptr;
}

Device* Manager::DeviceOfComponent(HOBJ component)
{
    HOBJ root = component;
    while (At(root).parent != KD_INVALID_HANDLE)
        root = At(root).parent;
    for (Device& d : devices)
        if (d.driver && d.driver->root == root)
            return &d;
    return nullptr;
}

Device* Manager::DeviceById(int32_t device_id)
{
    for (Device& d : devices)
        if (d.config.device_id == device_id)
            return &d;
    return nullptr;
}

namespace {

void ConfigureLocked(Manager& m, const std::vector<kdsim::CameraConfig>& cameras)
{
    m.buffer_objects.clear();
    m.devices.clear();
    m.arena.clear();
    m.slots.clear();
    m.free_slots.clear();
    m.next_handle = 0;
    m.users = 0;
    m.initialisations = 0;
    m.faults.clear();
    m.calls.clear();
    m.too_small = 0;
    m.configured = true;
    m.from_environment = false;
    Component list;
    list.name = "Devices";
    m.device_list = m.Add(KD_INVALID_HANDLE, std::move(list));
    for (const kdsim::CameraConfig& camera : cameras) {
        Device device;
        device.config = camera;
        device.entry = AddDeviceEntry(m, camera);
        m.devices.push_back(std::move(device));
    }
}

std::optional<std::string> CamerasVariable()
{
    const char* value = std::getenv("ONDULA_KDCAMERAS");
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::vector<kdsim::CameraConfig> CamerasFromEnvironment(const std::optional<std::string>& value)
{
    std::vector<kdsim::CameraConfig> cameras;
    ondula::take_list_entries("ONDULA_KDCAMERAS", value ? *value : "kdLyra-A1G,kdLyra-A2C",
                              [&](const std::string& product) {
                                  kdsim::CameraConfig camera;
                                  if (!kdsim::Camera(product, int32_t(cameras.size()), &camera))
                                      return false;
                                  cameras.push_back(camera);
                                  return true;
                              });
    return cameras;
}

} // namespace

} // namespace kdmgr

using namespace kdmgr;

extern "C" int32_t kdInitialise(HOBJ* device_list)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    const std::optional<std::string> variable = CamerasVariable();
    if (!m.configured || (m.from_environment && m.users == 0 && m.environment != variable)) {
        ConfigureLocked(m, CamerasFromEnvironment(variable));
        m.from_environment = true;
        m.environment = variable;
    }
    if (const int32_t fault = m.Enter(KD_ORD_INITIALISE))
        return fault;
    if (!device_list)
        return KD_ERR_INVALID_INPUT_PARAMETER;
    ++m.users;
    ++m.initialisations;
    *device_list = m.device_list;
    return KD_OK;
}

extern "C" int32_t kdClose()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    if (const int32_t fault = m.EnterInitialised(KD_ORD_CLOSE))
        return fault;
    if (--m.users == 0)
        for (Device& device : m.devices)
            if (device.driver) {
                m.Kill(device.driver->root);
                device.driver.reset();
            }
    return KD_OK;
}

ondula::Clock& kdClock() { return *TheManager().clock; }

namespace kdsim {

bool Camera(const std::string& product, int32_t device_id, CameraConfig* camera)
{
    struct Model {
        const char* name;
        int32_t width, height;
    };
    static constexpr Model kModels[] = {
        {"A1", 1280, 1024}, {"A2", 640, 480}, {"B4", 2048, 1536}, {"B5", 2592, 1944}};
    const std::string prefix = "kdLyra-";
    if (product.size() != prefix.size() + 3 || product.compare(0, prefix.size(), prefix) != 0)
        return false;
    const char colour = product.back();
    if (colour != 'C' && colour != 'G')
        return false;
    for (const Model& model : kModels)
        if (product.compare(prefix.size(), 2, model.name) == 0) {
            *camera = CameraConfig{};
            camera->product = product;
            camera->device_id = device_id;
            camera->serial = "KDL1000" + std::to_string(device_id);
            camera->width = model.width;
            camera->height = model.height;
            camera->format = colour == 'C' ? KD_PIXEL_RGB32 : KD_PIXEL_MONO8;
            return true;
        }
    return false;
}

void Configure(const std::vector<CameraConfig>& cameras)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    ConfigureLocked(m, cameras);
}

void ConfigureFromEnvironment()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    ConfigureLocked(m, {});
    m.configured = false;
}

void AddCamera(const CameraConfig& camera)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    Device device;
    device.config = camera;
    device.entry = AddDeviceEntry(m, camera);
    m.devices.push_back(std::move(device));
}

void UseClock(ondula::Clock& clock)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.clock = &clock;
}

void UseSteadyClock() { UseClock(ondula::SteadyClock()); }

void FailCall(KdOrdinal ordinal, int nth, int32_t code)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.faults[ordinal].push_back({nth, code});
}

void AnswerTooSmall(int count)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.too_small = count;
}

void StallRequest(int32_t device_id, int nth)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    if (Device* device = m.DeviceById(device_id))
        device->stall_in = nth;
}

void SetRequestControls(int32_t device_id, int count)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    Device* device = m.DeviceById(device_id);
    if (!device)
        return;
    device->request_controls = count;
    if (!device->driver)
        return;
    const HOBJ control = device->driver->lists[KD_LIST_IMAGE_REQUEST_CONTROL];
    std::vector<HOBJ>& entries = m.At(control).children;
    while (int(entries.size()) > count) {
        m.Kill(entries.back());
        entries.pop_back();
        ++m.At(control).changes;
    }
}

Counters Count()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    Counters counters{
        m.users, m.initialisations, 0, 0, 0, int(m.buffer_objects.size()), int(m.arena.size())};
    for (const Device& device : m.devices) {
        if (!device.driver)
            continue;
        ++counters.open_devices;
        for (const Request& request : device.driver->requests) {
            counters.queued += request.state == Request::State::Queued;
            counters.locked += request.state == Request::State::Locked;
        }
    }
    return counters;
}

int Calls(KdOrdinal ordinal)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    return m.calls[ordinal];
}

std::vector<std::string> Settings(int32_t device_id)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    std::vector<std::string> names;
    const Device* device = m.DeviceById(device_id);
    if (device && device->driver)
        for (const HOBJ setting : m.At(device->driver->lists[KD_LIST_SETTINGS]).children)
            names.push_back(m.At(setting).name);
    return names;
}

std::string SelectedSetting(int32_t device_id)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    const Device* device = m.DeviceById(device_id);
    if (!device || !device->driver)
        return "";
    const Component& control = m.At(device->driver->lists[KD_LIST_IMAGE_REQUEST_CONTROL]);
    if (control.children.empty())
        return "";
    const HOBJ property = m.Child(control.children.front(), "Setting");
    const Component* setting = m.Find(HOBJ(std::get<int64_t>(m.At(property).values[0])));
    return setting ? setting->name : "";
}

int Requests(int32_t device_id)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    const Device* device = m.DeviceById(device_id);
    return device && device->driver ? int(device->driver->requests.size()) : 0;
}

} // namespace kdsim
