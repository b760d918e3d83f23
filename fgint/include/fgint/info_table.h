// FGInfo from a table: a plug-in states the text of each query and at most one
// list (fixed, or computed at each query), and AnswerInfo answers every query,
// the defaults and "Unsupported query!" included.
#pragma once

#include <span>
#include <string>
#include <vector>

#include <fgint/fgint.h>

namespace fg {

// A list computed at each query into *lines; a failing status is the answer,
// with no values.
using InfoLines = FGstatus (*)(std::vector<std::string>* lines);

// The answer to one query. With neither `text` nor `text_of` the query is
// unsupported.
struct InfoEntry {
    const char* text = nullptr;
    std::span<const char* const> strings = {};
    std::span<const int32_t> integers = {};
    InfoLines lines = nullptr;
    const char* (*text_of)() = nullptr; // a text computed at each query
    const char* call = nullptr;         // the name a traced plug-in gives the host call
};

// How a plug-in that traces its host calls follows those of AnswerInfo:
// `before` runs ahead of a named call, `failed` gets its failing status and
// answers the status that takes its place.
struct InfoCallHooks {
    void (*before)(const char* call, int32_t line);
    FGstatus (*failed)(const char* call, FGstatus status, int32_t line);
};

struct InfoTable {
    const char* file; // the plug-in's place in the host's allocation records
    int32_t line;
    InfoEntry port = {}, camera_type = {}, general = {};
    const char* defaults_call = nullptr; // the name of VFgGetDefaults for a traced plug-in
    InfoEntry parameters = {}, boards = {}, revision = {}, field = {}, bits_per_channel = {},
              color_space = {}, external_trigger = {}, device = {};
    int32_t last_query = FG_INFO_DEVICE; // the later queries are unsupported
    const InfoCallHooks* hooks = nullptr;
};

// Answers FGInfo `query` from `table`, the defaults from `fgClass`; the values
// are one VXAlloc block. A lack of memory answers FG_ERR_NO_MEMORY.
FGstatus AnswerInfo(const InfoTable& table, const FGClass* fgClass, Vproc_handle proc_id,
                    int32_t query, const char** info, Vcpar** values, int32_t* numValues) noexcept;

// The FGInfo callback of a plug-in answering from `table`, with the defaults of
// the class record `fgClass` points to once FGInit has run.
template <const InfoTable& table, FGClass* const& fgClass>
FGstatus InfoFrom(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
                  int32_t* numValues) noexcept
{
    return AnswerInfo(table, fgClass, proc_id, query, info, values, numValues);
}

} // namespace fg
