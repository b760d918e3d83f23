#include <fgint/info_table.h>

#include <iterator>
#include <new>

#include <fgint/fghelpers.h>

namespace fg {
namespace {

// The entry of each query code; the defaults (3) and code 7 have none.
constexpr InfoEntry InfoTable::*kEntries[] = {&InfoTable::port,        &InfoTable::camera_type,
                                              &InfoTable::general,     nullptr,
                                              &InfoTable::parameters,  &InfoTable::boards,
                                              &InfoTable::revision,    nullptr,
                                              &InfoTable::field,       &InfoTable::bits_per_channel,
                                              &InfoTable::color_space, &InfoTable::external_trigger,
                                              &InfoTable::device};

const InfoEntry* EntryOf(const InfoTable& table, int32_t query)
{
    if (query < 0 || query > table.last_query || query >= int32_t(std::size(kEntries)) ||
        !kEntries[query])
        return nullptr;
    return &(table.*kEntries[query]);
}

// Runs the host call `body`, traced under `call` when the table traces.
template <typename Body> FGstatus HostCall(const InfoTable& table, const char* call, Body&& body)
{
    const bool traced = table.hooks && call;
    if (traced)
        table.hooks->before(call, table.line);
    const FGstatus status = body();
    return traced && status != FG_SUCCESS ? table.hooks->failed(call, status, table.line) : status;
}

FGstatus Strings(const InfoTable& table, const InfoEntry& entry, Vproc_handle proc_id,
                 std::span<const char* const> texts, Vcpar** values, int32_t* numValues)
{
    return HostCall(table, entry.call, [&] {
        return fg_info_strings(proc_id, texts.data(), int32_t(texts.size()), values, numValues,
                               table.file, table.line);
    });
}

FGstatus List(const InfoTable& table, const InfoEntry& entry, Vproc_handle proc_id, Vcpar** values,
              int32_t* numValues)
{
    if (!entry.integers.empty())
        return HostCall(table, entry.call, [&] {
            return fg_info_integers(proc_id, entry.integers.data(), int32_t(entry.integers.size()),
                                    values, numValues, table.file, table.line);
        });
    if (!entry.lines)
        return entry.strings.empty()
                   ? FG_SUCCESS
                   : Strings(table, entry, proc_id, entry.strings, values, numValues);
    std::vector<std::string> lines;
    if (const FGstatus status = entry.lines(&lines); status != FG_SUCCESS || lines.empty())
        return status;
    std::vector<const char*> texts;
    for (const std::string& line : lines)
        texts.push_back(line.c_str());
    return Strings(table, entry, proc_id, texts, values, numValues);
}

} // namespace

FGstatus AnswerInfo(const InfoTable& table, const FGClass* fgClass, Vproc_handle proc_id,
                    int32_t query, const char** info, Vcpar** values, int32_t* numValues) noexcept
{
    *values = nullptr;
    *numValues = 0;
    if (query == FG_INFO_DEFAULTS) {
        *info = FG_INFO_DEFAULTS_TEXT;
        return HostCall(table, table.defaults_call,
                        [&] { return VFgGetDefaults(proc_id, fgClass, values, numValues); });
    }
    const InfoEntry* entry = EntryOf(table, query);
    if (!entry || !(entry->text || entry->text_of))
        return fg_info_unsupported(info, values, numValues);
    try {
        *info = entry->text_of ? entry->text_of() : entry->text;
        return List(table, *entry, proc_id, values, numValues);
    } catch (const std::bad_alloc&) {
        return FG_ERR_NO_MEMORY;
    }
}

} // namespace fg
