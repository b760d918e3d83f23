// A text of the command object: up to 32 bytes (terminator included) inside
// the object, longer ones in an allocated byte array.
#pragma once

#include "growable_array.h"

namespace digdec {

class CommandText {
public:
    static constexpr int kInside = 32;

    explicit CommandText(const char* text = "");
    CommandText(const CommandText&) = delete;
    CommandText& operator=(const CommandText&) = delete;

    // Replaces the text (null counts as empty). Returns false, text unchanged,
    // when the allocation for a long text fails.
    bool Set(const char* text);

    const char* c_str() const;
    bool inside() const { return heap_.size() == 0; }

private:
    char inside_[kInside] = {};
    ByteArray heap_;
};

} // namespace digdec
