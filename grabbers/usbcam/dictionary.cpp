#include "dictionary.h"

#include <strings.h>

#include <cfloat>
#include <climits>
#include <string>

#include "wrapped.h"

namespace usbcam {

using fg::Answer;
using kdTORVANE::acquire::PathMap;
using kdTORVANE::acquire::PropertyAccess;

namespace {

constexpr int32_t kReadWrite = KD_ACCESS_READ | KD_ACCESS_WRITE;

// The property of `path`: the instance's setting first, then the camera's
// dictionary; KD_INVALID_HANDLE when neither has it.
HOBJ FindPath(const AcquireInstance& r, const std::string& path)
{
    const PathMap* const maps[] = {&r.settings->paths, &r.board->device->dictionary()};
    for (const PathMap* map : maps) {
        const auto it = map->find(path);
        if (it != map->end())
            return it->second;
    }
    return KD_INVALID_HANDLE;
}

bool Valid(HOBJ handle) { return handle != KD_INVALID_HANDLE && kdCheckHandle(handle, 2) == KD_OK; }

struct Query {
    std::string word;
    std::string path;
};

// "<word>.<path>", "<path>_range" (limits), "<path>_values" (dictionary) or a plain path.
Query Split(const std::string& name)
{
    const size_t dot = name.find('.');
    if (dot != std::string::npos)
        return {name.substr(0, dot), name.substr(dot + 1)};
    const size_t underscore = name.rfind('_');
    if (underscore != std::string::npos) {
        const std::string last = name.substr(underscore + 1);
        if (last == "range")
            return {"limits", name.substr(0, underscore)};
        if (last == "values")
            return {"dictionary", name.substr(0, underscore)};
    }
    return {"", name};
}

// Minimum, maximum, step and current value, with the defaults of the kind
// where the property has no limit.
void Limits(const PropertyAccess& p, int32_t kind, Answer& answer)
{
    if (kind == KD_TYPE_INT) {
        const auto at = [&](int32_t index, int32_t none) {
            return p.HasValue(index) ? p.ReadInt(index) : none;
        };
        answer.Int(at(-2, INT32_MIN));
        answer.Int(at(-1, INT32_MAX));
        answer.Int(at(-3, 1));
        answer.Int(p.ReadInt(0));
        return;
    }
    const auto at = [&](int32_t index, double none) {
        return p.HasValue(index) ? p.ReadReal(index) : none;
    };
    answer.Real(at(-2, -DBL_MAX));
    answer.Real(at(-1, DBL_MAX));
    answer.Real(at(-3, 1.0));
    answer.Real(p.ReadReal(0));
}

const char* TypeLetters(const PropertyAccess& p)
{
    const int32_t kind = p.type();
    if (kind == KD_TYPE_STRING)
        return "S";
    if (p.DictionarySize() != 0)
        return "SE";
    return kind == KD_TYPE_INT ? "I" : "F";
}

const char* AccessLetters(int32_t access)
{
    return access == kReadWrite ? "rw" : access == KD_ACCESS_READ ? "ro" : "wo";
}

enum class Available { Names, Access, Types };

// The properties every "available_param_..." list describes: readable or
// writeable, with at most one value, the camera's first, then the instance's.
void AvailableList(const AcquireInstance& r, Available list, Answer& answer)
{
    const PathMap* const maps[] = {&r.board->device->dictionary(), &r.settings->paths};
    for (const PathMap* map : maps)
        for (const auto& [path, handle] : *map) {
            if (!Valid(handle))
                continue;
            const PropertyAccess p(handle);
            const int32_t access = p.access() & kReadWrite;
            if (!access || p.ValueCount() > 1)
                continue;
            answer.Text(list == Available::Names    ? path
                        : list == Available::Access ? AccessLetters(access)
                                                    : TypeLetters(p));
        }
    static const char* const kAdded[][2] = {
        {"request_queue_depth", "volatile"}, {"rw", "ro"}, {"I", "SE"}};
    for (const char* text : kAdded[int(list)])
        answer.Text(text);
}

} // namespace

FGstatus SetPath(AcquireInstance& r, const char* name, const Vcpar* values, int32_t num)
{
    const HOBJ handle = FindPath(r, name);
    if (!Valid(handle))
        return FG_ERR_PARAM_UNKNOWN;
    if (num < 1 || !values)
        return FG_ERR_PARAM_VALUE;
    const int8_t type = values[0].type;
    if (type != VPAR_INT && type != VPAR_REAL && type != VPAR_STRING)
        return FG_ERR_PARAM_TYPE;
    for (int32_t k = 0; k < num; ++k) {
        if (values[k].type != type)
            return FG_ERR_PARAM_TYPE;
        if (type == VPAR_STRING && !values[k].par.s)
            return FG_ERR_PARAM_VALUE;
    }
    return Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
        const PropertyAccess property(handle);
        const int32_t kind = property.type();
        if ((type == VPAR_INT && kind != KD_TYPE_INT) ||
            (type == VPAR_REAL && kind != KD_TYPE_REAL))
            return FG_ERR_PARAM_TYPE;
        for (int32_t k = 0; k < num; ++k) {
            if (type == VPAR_INT)
                property.WriteInt(values[k].par.l, k);
            else if (type == VPAR_REAL)
                property.WriteReal(values[k].par.f, k);
            else
                property.WriteText(values[k].par.s, k);
        }
        return FG_SUCCESS;
    });
}

FGstatus GetPath(const AcquireInstance& r, const char* name, Answer& answer)
{
    const Query query = Split(name);
    const HOBJ handle = FindPath(r, query.path);
    if (!Valid(handle))
        return FG_ERR_PARAM_UNKNOWN;
    return Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
        const PropertyAccess p(handle);
        const int32_t kind = p.type();
        const bool numeric = kind == KD_TYPE_INT || kind == KD_TYPE_REAL;
        if (query.word == "isVisible") {
            answer.Int(p.access() & KD_ACCESS_INVISIBLE ? 0 : 1);
            return FG_SUCCESS;
        }
        if (!numeric && (kind != KD_TYPE_STRING || !query.word.empty()))
            return FG_ERR_PARAM_TYPE;
        if (query.word == "limits") {
            Limits(p, kind, answer);
            return FG_SUCCESS;
        }
        if (query.word == "dictionary") {
            if (p.DictionarySize() != 0)
                for (const std::string& text : p.DictionaryTexts())
                    answer.Text(text);
            return FG_SUCCESS;
        }
        if (!query.word.empty())
            return FG_ERR_PARAM_TYPE;
        const bool texts = kind == KD_TYPE_STRING || p.DictionarySize() != 0;
        for (int32_t i = 0, count = p.ValueCount(); i < count; ++i) {
            if (texts)
                answer.Text(p.ReadText(i));
            else if (kind == KD_TYPE_INT)
                answer.Int(p.ReadInt(i));
            else
                answer.Real(p.ReadReal(i));
        }
        return FG_SUCCESS;
    });
}

bool GetPathList(const AcquireInstance& r, const char* name, Answer& answer)
{
    const PathMap& device = r.board->device->dictionary();
    const PathMap& instance = r.settings->paths;
    const struct {
        const char* name;
        const PathMap* map;
        int32_t flag;
    } kFlagLists[] = {{"readable_instance_properties", &instance, KD_ACCESS_READ},
                      {"writeable_instance_properties", &instance, KD_ACCESS_WRITE},
                      {"readable_device_properties", &device, KD_ACCESS_READ},
                      {"writeable_device_properties", &device, KD_ACCESS_WRITE}};
    for (const auto& list : kFlagLists) {
        if (strcasecmp(name, list.name) != 0)
            continue;
        for (const auto& [path, handle] : *list.map) {
            if (!Valid(handle))
                continue;
            const PropertyAccess p(handle);
            if ((p.access() & list.flag) && !(p.type() == KD_TYPE_INT && p.ValueCount() > 1))
                answer.Text(path);
        }
        return true;
    }
    static constexpr struct {
        const char* name;
        Available list;
    } kAvailable[] = {{"available_param_names", Available::Names},
                      {"available_param_descriptions", Available::Names},
                      {"available_param_access", Available::Access},
                      {"available_param_types", Available::Types}};
    for (const auto& list : kAvailable)
        if (strcasecmp(name, list.name) == 0) {
            AvailableList(r, list.list, answer);
            return true;
        }
    return false;
}

} // namespace usbcam
