// The host's codes of the open parameters `field` and `external_trigger`.
#pragma once

#include <cstdint>
#include <string_view>

namespace verodyn::fg {

// "first" 0, "second" 1, "interlaced" 2, "next" 3, "progressive" 4; null or
// false for anything else.
const char* field_text(int32_t code);
bool field_code(std::string_view text, int32_t* code);

// "false" 0, "true" 1.
const char* trigger_text(uint8_t code);
bool trigger_code(std::string_view text, uint8_t* code);

} // namespace verodyn::fg
