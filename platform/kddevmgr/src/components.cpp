// The component operations: handles, flags, navigation, values and texts.
#include <algorithm>
#include <cstring>

#include "manager.h"

using namespace kdmgr;

namespace {

// Which components an operation applies to.
enum class Kind { Any, List, Property };

int32_t Refused(const Component& c, Kind kind)
{
    if (kind == Kind::List && !c.IsList())
        return KD_ERR_NOT_A_LIST;
    if (kind == Kind::Property && c.IsList())
        return KD_ERR_NOT_A_PROPERTY;
    return KD_OK;
}

// Writes `answer(manager, component)` into `out`, for a live component of `kind`.
template <typename T, typename Answer>
int32_t AnswerOf(KdOrdinal ordinal, HOBJ handle, Kind kind, T* out, Answer&& answer)
{
    return OnComponent(ordinal, handle, [&](Manager& m, Component& c) -> int32_t {
        if (const int32_t refused = Refused(c, kind))
            return refused;
        if (!out)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *out = answer(m, c);
        return KD_OK;
    });
}

// A number held as `T`: reals as they are, integers of either kind narrowed.
template <typename T> T As(const Value& value)
{
    if constexpr (std::is_same_v<T, double>)
        return std::get<double>(value);
    else
        return T(std::get<int64_t>(value));
}

int32_t Write(KdOrdinal ordinal, HOBJ handle, const Value& value, int32_t index)
{
    return Locked(ordinal, [&](Manager& m) { return WriteValue(m, handle, value, index); });
}

template <typename T>
int32_t Read(KdOrdinal ordinal, HOBJ handle, int32_t index, int32_t kind, T* out)
{
    return Locked(ordinal, [&](Manager& m) -> int32_t {
        if (!out)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        Value value;
        const int32_t status = ReadValue(m, handle, index, kind, &value);
        if (status == KD_OK)
            *out = As<T>(value);
        return status;
    });
}

// Copies `text` into a caller's buffer of `size` bytes.
int32_t CopyOut(const std::string& text, char* buffer, int32_t size)
{
    if (!buffer)
        return KD_ERR_INVALID_INPUT_PARAMETER;
    if (int32_t(text.size()) + 1 > size)
        return KD_ERR_INPUT_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return KD_OK;
}

// A test may make a buffer read answer "too small" whatever the buffer.
bool AnswersTooSmall(Manager& m)
{
    if (m.too_small <= 0)
        return false;
    --m.too_small;
    return true;
}

template <typename T>
int32_t ReadDictionary(KdOrdinal ordinal, HOBJ handle, int32_t kind, char** texts, int32_t size,
                       T* values, int32_t count)
{
    return OnComponent(ordinal, handle, [&](Manager& m, Component& property) -> int32_t {
        if (const int32_t refused = Refused(property, Kind::Property))
            return refused;
        if (property.type != kind)
            return KD_ERR_INVALID_VALUE_TYPE;
        if (property.dictionary.empty())
            return KD_ERR_TRANSLATION_TABLE_NOT_DEFINED;
        if (!texts || !values)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        if (AnswersTooSmall(m) || count < int32_t(property.dictionary.size()))
            return KD_ERR_INPUT_BUFFER_TOO_SMALL;
        for (const Translation& entry : property.dictionary)
            if (int32_t(entry.text.size()) + 1 > size)
                return KD_ERR_INPUT_BUFFER_TOO_SMALL;
        for (size_t i = 0; i < property.dictionary.size(); ++i) {
            const Translation& entry = property.dictionary[i];
            CopyOut(entry.text, texts[i], size);
            values[i] = As<T>(entry.value);
        }
        return KD_OK;
    });
}

} // namespace

extern "C" {

int32_t kdCheckHandle(HOBJ component, int32_t)
{
    return OnComponent(KD_ORD_CHECK_HANDLE, component, [](Manager&, Component&) { return KD_OK; });
}

int32_t kdChangeCounter(HOBJ list, int32_t* counter)
{
    return AnswerOf(KD_ORD_CHANGE_COUNTER, list, Kind::List, counter,
                    [](Manager&, const Component& c) { return c.changes; });
}

int32_t kdAccessFlags(HOBJ component, int32_t* flags)
{
    return AnswerOf(KD_ORD_ACCESS_FLAGS, component, Kind::Any, flags,
                    [](Manager&, const Component& c) { return c.access; });
}

int32_t kdTypeFlags(HOBJ component, int32_t* flags)
{
    return AnswerOf(KD_ORD_TYPE_FLAGS, component, Kind::Any, flags,
                    [](Manager&, const Component& c) { return c.type; });
}

int32_t kdResetList(HOBJ list)
{
    return OnComponent(KD_ORD_RESET_LIST, list, [&](Manager& m, Component& c) -> int32_t {
        if (const int32_t refused = Refused(c, Kind::List))
            return refused;
        const Device* device = m.DeviceOfComponent(list);
        if (!device || c.parent != device->driver->lists[KD_LIST_SETTINGS])
            return KD_ERR_UNSUPPORTED_OPERATION;
        ResetSetting(m, list);
        return KD_OK;
    });
}

int32_t kdValueCount(HOBJ property, int32_t* count)
{
    return AnswerOf(KD_ORD_VALUE_COUNT, property, Kind::Property, count,
                    [](Manager&, const Component& c) { return int32_t(c.values.size()); });
}

int32_t kdNextSibling(HOBJ component, HOBJ* next)
{
    return AnswerOf(KD_ORD_NEXT_SIBLING, component, Kind::Any, next,
                    [&](Manager& m, const Component& c) {
                        if (c.parent == KD_INVALID_HANDLE)
                            return KD_INVALID_HANDLE;
                        const std::vector<HOBJ>& level = m.At(c.parent).children;
                        const auto at = std::find(level.begin(), level.end(), component);
                        return at + 1 < level.end() ? *(at + 1) : KD_INVALID_HANDLE;
                    });
}

int32_t kdFirstChild(HOBJ list, HOBJ* child)
{
    return AnswerOf(KD_ORD_FIRST_CHILD, list, Kind::List, child, [](Manager&, const Component& c) {
        return c.children.empty() ? KD_INVALID_HANDLE : c.children.front();
    });
}

int32_t kdWriteReal(HOBJ property, double value, int32_t index)
{
    return Write(KD_ORD_WRITE_REAL, property, value, index);
}

int32_t kdReadReal(HOBJ property, double* value, int32_t index)
{
    return Read(KD_ORD_READ_REAL, property, index, KD_TYPE_REAL, value);
}

int32_t kdReadRealDictionary(HOBJ property, char** texts, int32_t size, double* values,
                             int32_t count)
{
    return ReadDictionary(KD_ORD_READ_REAL_DICTIONARY, property, KD_TYPE_REAL, texts, size, values,
                          count);
}

int32_t kdWriteInt(HOBJ property, int32_t value, int32_t index)
{
    return Write(KD_ORD_WRITE_INT, property, int64_t(value), index);
}

int32_t kdReadInt(HOBJ property, int32_t* value, int32_t index)
{
    return Read(KD_ORD_READ_INT, property, index, KD_TYPE_INT, value);
}

int32_t kdReadIntDictionary(HOBJ property, char** texts, int32_t size, int32_t* values,
                            int32_t count)
{
    return ReadDictionary(KD_ORD_READ_INT_DICTIONARY, property, KD_TYPE_INT, texts, size, values,
                          count);
}

int32_t kdReadInt64(HOBJ property, int64_t* value, int32_t index)
{
    return Read(KD_ORD_READ_INT64, property, index, KD_TYPE_INT64, value);
}

int32_t kdWriteText(HOBJ property, const char* text, int32_t index)
{
    return OnComponent(KD_ORD_WRITE_TEXT, property, [&](Manager& m, Component& c) -> int32_t {
        if (const int32_t refused = Refused(c, Kind::Property))
            return refused;
        if (!text)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        Value value;
        const int32_t parsed = ValueOfText(c, text, &value);
        return parsed != KD_OK ? parsed : WriteValue(m, property, value, index);
    });
}

int32_t kdReadText(HOBJ property, char* buffer, int32_t size, int32_t index)
{
    return Locked(KD_ORD_READ_TEXT, [&](Manager& m) -> int32_t {
        Value value;
        const int32_t status = ReadValue(m, property, index, 0, &value);
        if (status != KD_OK)
            return status;
        if (AnswersTooSmall(m))
            return KD_ERR_INPUT_BUFFER_TOO_SMALL;
        return CopyOut(TextOfValue(m.At(property), value), buffer, size);
    });
}

int32_t kdHasValue(HOBJ property, int32_t index, int32_t* has)
{
    return AnswerOf(KD_ORD_HAS_VALUE, property, Kind::Property, has,
                    [&](Manager&, Component& c) { return int32_t(c.At(index) != nullptr); });
}

int32_t kdDictionarySize(HOBJ property, int32_t* size)
{
    return AnswerOf(KD_ORD_DICTIONARY_SIZE, property, Kind::Property, size,
                    [](Manager&, const Component& c) { return int32_t(c.dictionary.size()); });
}

int32_t kdListCount(HOBJ list, int32_t* count)
{
    return AnswerOf(KD_ORD_LIST_COUNT, list, Kind::List, count,
                    [](Manager&, const Component& c) { return int32_t(c.children.size()); });
}

int32_t kdComponentText(HOBJ component, int32_t mode, KdCopyText copy, char** text)
{
    return OnComponent(KD_ORD_COMPONENT_TEXT, component, [&](Manager&, Component& c) -> int32_t {
        if (mode != KD_TEXT_NAME)
            return KD_ERR_UNSUPPORTED_PARAMETER;
        if (!copy || !text)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *text = copy(c.name.c_str(), int32_t(c.name.size()) + 1);
        return KD_OK;
    });
}

int32_t kdFindComponent(HOBJ list, const char* name, int32_t mode, HOBJ* found)
{
    return OnComponent(KD_ORD_FIND_COMPONENT, list, [&](Manager& m, Component& c) -> int32_t {
        if (const int32_t refused = Refused(c, Kind::List))
            return refused;
        if (!name || !found)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        for (const HOBJ child : c.children) {
            const Component& entry = m.At(child);
            const int32_t kind = entry.IsList() ? KD_FIND_LISTS : KD_FIND_PROPERTIES;
            if ((mode & kind) && entry.name == name) {
                *found = child;
                return KD_OK;
            }
        }
        return KD_ERR_COMPONENT_ID_INVALID;
    });
}

} // extern "C"
