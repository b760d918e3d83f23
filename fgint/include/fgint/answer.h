// An FGGetParam answer of a C++ plug-in: values collected, then written into
// the host's array when it has room. Texts live in the vector the plug-in
// gives (its instance's) until its next FGGetParam.
#pragma once

#include <string>
#include <vector>

#include <fgint/fgint.h>
#include <fgint/values.h>

namespace fg {

class Answer {
public:
    explicit Answer(std::vector<std::string>& texts) : texts_(texts) { }

    void Int(int32_t value) { items_.push_back({VPAR_INT, value, 0.0, 0}); }
    void Real(double value) { items_.push_back({VPAR_REAL, 0, value, 0}); }
    void Text(std::string text)
    {
        texts_.push_back(std::move(text));
        items_.push_back({VPAR_STRING, 0, 0.0, texts_.size() - 1});
    }

    // Writes the values when `*num` (the host's capacity) holds them and sets
    // `*num` to their number; otherwise writes nothing, sets `*num` to the
    // number needed and returns FG_ERR_PARAM_VALUE.
    FGstatus Commit(Vcpar* values, int32_t* num) const
    {
        const auto needed = int32_t(items_.size());
        if (needed > *num) {
            *num = needed;
            return FG_ERR_PARAM_VALUE;
        }
        for (int32_t i = 0; i < needed; ++i) {
            const Item& item = items_[i];
            values[i] = item.type == VPAR_INT    ? fg::Int(item.integer)
                        : item.type == VPAR_REAL ? fg::Real(item.real)
                                                 : fg::Text(texts_[item.text].c_str());
        }
        *num = needed;
        return FG_SUCCESS;
    }

private:
    struct Item {
        int8_t type;
        int32_t integer;
        double real;
        size_t text;
    };
    std::vector<Item> items_;
    std::vector<std::string>& texts_;
};

} // namespace fg
