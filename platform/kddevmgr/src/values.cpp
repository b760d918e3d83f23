// Property values: the checks of every write and read, texts, and the reset
// of a setting.
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "manager.h"

namespace kdmgr {

namespace {

bool KindHolds(int32_t type, const Value& value)
{
    switch (type) {
    case KD_TYPE_INT:
    case KD_TYPE_INT64:
        return std::holds_alternative<int64_t>(value);
    case KD_TYPE_REAL:
        return std::holds_alternative<double>(value);
    case KD_TYPE_STRING:
        return std::holds_alternative<std::string>(value);
    }
    return false;
}

double Number(const Value& value)
{
    return std::holds_alternative<int64_t>(value) ? double(std::get<int64_t>(value))
                                                  : std::get<double>(value);
}

// A write that the camera itself gives a meaning: the request count resizes
// the requests, a control entry's "Setting" must name one of the settings.
int32_t Apply(Manager& m, HOBJ handle, const Value& value)
{
    Device* device = m.DeviceOfComponent(handle);
    if (!device)
        return KD_OK;
    Driver& driver = *device->driver;
    if (handle == driver.request_count) {
        const auto count = int32_t(std::get<int64_t>(value));
        for (size_t i = size_t(count); i < driver.requests.size(); ++i)
            if (driver.requests[i].state != Request::State::Free)
                return KD_ERR_LIST_ENTRY_OCCUPIED;
        ResizeRequests(m, driver, count);
        return KD_OK;
    }
    const Component& property = m.At(handle);
    const HOBJ entry = property.parent;
    if (property.name == "Setting" &&
        m.At(entry).parent == driver.lists[KD_LIST_IMAGE_REQUEST_CONTROL]) {
        const HOBJ setting = HOBJ(std::get<int64_t>(value));
        const Component* chosen = m.Find(setting);
        if (!chosen || chosen->parent != driver.lists[KD_LIST_SETTINGS])
            return KD_ERR_INVALID_VALUE;
    }
    return KD_OK;
}

// The live property `handle` into `property`, when it grants `right` (KD_ACCESS_*).
int32_t Granting(Manager& m, HOBJ handle, int32_t right, Component** property)
{
    *property = m.Find(handle);
    if (!*property)
        return KD_ERR_INVALID_LIST_ID;
    if ((*property)->IsList())
        return KD_ERR_NOT_A_PROPERTY;
    if (!((*property)->access & right))
        return right == KD_ACCESS_READ ? KD_ERR_NO_READ_RIGHTS : KD_ERR_NO_WRITE_RIGHTS;
    return KD_OK;
}

} // namespace

int32_t WriteValue(Manager& m, HOBJ handle, const Value& value, int32_t index)
{
    Component* property = nullptr;
    if (const int32_t refused = Granting(m, handle, KD_ACCESS_WRITE, &property))
        return refused;
    if (index < 0 || index >= int32_t(property->values.size()))
        return KD_ERR_VAL_ID_OUT_OF_BOUNDS;
    if (!KindHolds(property->type, value))
        return KD_ERR_INVALID_VALUE_TYPE;
    if (property->type != KD_TYPE_STRING) {
        if (const Value* maximum = property->At(-1); maximum && Number(value) > Number(*maximum))
            return KD_ERR_VAL_TOO_LARGE;
        if (const Value* minimum = property->At(-2); minimum && Number(value) < Number(*minimum))
            return KD_ERR_VAL_TOO_SMALL;
        bool listed = property->dictionary.empty();
        for (const Translation& entry : property->dictionary)
            listed = listed || entry.value == value;
        if (!listed)
            return KD_ERR_INVALID_VALUE;
    }
    if (const int32_t applied = Apply(m, handle, value))
        return applied;
    m.At(handle).values[size_t(index)] = value;
    return KD_OK;
}

int32_t ReadValue(Manager& m, HOBJ handle, int32_t index, int32_t kind, Value* value)
{
    Component* property = nullptr;
    if (const int32_t refused = Granting(m, handle, KD_ACCESS_READ, &property))
        return refused;
    if (kind != 0 && property->type != kind)
        return KD_ERR_INVALID_VALUE_TYPE;
    const Value* held = property->At(index);
    if (!held)
        return KD_ERR_VAL_ID_OUT_OF_BOUNDS;
    *value = *held;
    return KD_OK;
}

int32_t ValueOfText(const Component& property, const std::string& text, Value* value)
{
    if (!property.dictionary.empty()) {
        for (const Translation& entry : property.dictionary)
            if (entry.text == text) {
                *value = entry.value;
                return KD_OK;
            }
        return KD_ERR_INVALID_VALUE;
    }
    switch (property.type) {
    case KD_TYPE_STRING:
        *value = text;
        return KD_OK;
    case KD_TYPE_REAL: {
        char* end = nullptr;
        const double number = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0')
            return KD_ERR_INVALID_VALUE;
        *value = number;
        return KD_OK;
    }
    default: {
        int64_t number = 0;
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(text.data(), last, number);
        if (text.empty() || error != std::errc() || end != last)
            return KD_ERR_INVALID_VALUE;
        *value = number;
        return KD_OK;
    }
    }
}

std::string TextOfValue(const Component& property, const Value& value)
{
    for (const Translation& entry : property.dictionary)
        if (entry.value == value)
            return entry.text;
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<int64_t>(&value))
        return std::to_string(*number);
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", std::get<double>(value));
    return text;
}

namespace {

// Copies the values of `from` into `to`, entry by entry where the names agree.
void CopyValues(Manager& m, HOBJ from, HOBJ to)
{
    Component& target = m.At(to);
    target.values = m.At(from).values;
    for (const HOBJ child : target.children) {
        const HOBJ source = m.Child(from, m.At(child).name);
        if (source != KD_INVALID_HANDLE)
            CopyValues(m, source, child);
    }
}

} // namespace

void ResetSetting(Manager& m, HOBJ setting)
{
    const HOBJ settings = m.At(setting).parent;
    CopyValues(m, m.At(settings).children.front(), setting);
}

} // namespace kdmgr
