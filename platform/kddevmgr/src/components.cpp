// The component operations: handles, flags, navigation, values and texts.
#include <cstring>

#include "manager.h"

using namespace kdmgr;

namespace {

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
        if (property.IsList())
            return KD_ERR_NOT_A_PROPERTY;
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
    return OnComponent(KD_ORD_CHANGE_COUNTER, list, [&](Manager&, Component& c) -> int32_t {
        if (!c.IsList())
            return KD_ERR_NOT_A_LIST;
        if (!counter)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *counter = c.changes;
        return KD_OK;
    });
}

int32_t kdAccessFlags(HOBJ component, int32_t* flags)
{
    return OnComponent(KD_ORD_ACCESS_FLAGS, component, [&](Manager&, Component& c) -> int32_t {
        if (!flags)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *flags = c.access;
        return KD_OK;
    });
}

int32_t kdTypeFlags(HOBJ component, int32_t* flags)
{
    return OnComponent(KD_ORD_TYPE_FLAGS, component, [&](Manager&, Component& c) -> int32_t {
        if (!flags)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *flags = c.type;
        return KD_OK;
    });
}

int32_t kdResetList(HOBJ list)
{
    return OnComponent(KD_ORD_RESET_LIST, list, [&](Manager& m, Component& c) -> int32_t {
        if (!c.IsList())
            return KD_ERR_NOT_A_LIST;
        const Device* device = m.DeviceOfComponent(list);
        if (!device || c.parent != device->driver->lists[KD_LIST_SETTINGS])
            return KD_ERR_UNSUPPORTED_OPERATION;
        ResetSetting(m, list);
        return KD_OK;
    });
}

int32_t kdValueCount(HOBJ property, int32_t* count)
{
    return OnComponent(KD_ORD_VALUE_COUNT, property, [&](Manager&, Component& c) -> int32_t {
        if (c.IsList())
            return KD_ERR_NOT_A_PROPERTY;
        if (!count)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *count = int32_t(c.values.size());
        return KD_OK;
    });
}

int32_t kdNextSibling(HOBJ component, HOBJ* next)
{
    return OnComponent(KD_ORD_NEXT_SIBLING, component, [&](Manager& m, Component& c) -> int32_t {
        if (!next)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *next = KD_INVALID_HANDLE;
        if (c.parent == KD_INVALID_HANDLE)
            return KD_OK;
        const std::vector<HOBJ>& level = m.arena[size_t(c.parent)].children;
        for (size_t i = 0; i + 1 < level.size(); ++i)
            if (level[i] == component)
                *next = level[i + 1];
        return KD_OK;
    });
}

int32_t kdFirstChild(HOBJ list, HOBJ* child)
{
    return OnComponent(KD_ORD_FIRST_CHILD, list, [&](Manager&, Component& c) -> int32_t {
        if (!c.IsList())
            return KD_ERR_NOT_A_LIST;
        if (!child)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *child = c.children.empty() ? KD_INVALID_HANDLE : c.children.front();
        return KD_OK;
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
        if (c.IsList())
            return KD_ERR_NOT_A_PROPERTY;
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
        return CopyOut(TextOfValue(m.arena[size_t(property)], value), buffer, size);
    });
}

int32_t kdHasValue(HOBJ property, int32_t index, int32_t* has)
{
    return OnComponent(KD_ORD_HAS_VALUE, property, [&](Manager&, Component& c) -> int32_t {
        if (c.IsList())
            return KD_ERR_NOT_A_PROPERTY;
        if (!has)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *has = c.At(index) != nullptr;
        return KD_OK;
    });
}

int32_t kdDictionarySize(HOBJ property, int32_t* size)
{
    return OnComponent(KD_ORD_DICTIONARY_SIZE, property, [&](Manager&, Component& c) -> int32_t {
        if (c.IsList())
            return KD_ERR_NOT_A_PROPERTY;
        if (!size)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *size = int32_t(c.dictionary.size());
        return KD_OK;
    });
}

int32_t kdListCount(HOBJ list, int32_t* count)
{
    return OnComponent(KD_ORD_LIST_COUNT, list, [&](Manager&, Component& c) -> int32_t {
        if (!c.IsList())
            return KD_ERR_NOT_A_LIST;
        if (!count)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        *count = int32_t(c.children.size());
        return KD_OK;
    });
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
        if (!c.IsList())
            return KD_ERR_NOT_A_LIST;
        if (!name || !found)
            return KD_ERR_INVALID_INPUT_PARAMETER;
        for (const HOBJ child : c.children) {
            const Component& entry = m.arena[size_t(child)];
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
