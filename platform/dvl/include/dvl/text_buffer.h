// Owning handle of a board-library text buffer (see DvlText in dvl.h).
#pragma once

#include <cstdint>
#include <string>

#include <dvl/dvl.h>
#include <dvl/export.h>

namespace dvl {

class DVL_API TextBuffer {
public:
    // A buffer of `capacity` bytes holding `initial`, truncated to fit.
    explicit TextBuffer(uint32_t capacity, const char* initial = nullptr);
    ~TextBuffer();
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // The handle to put in a text parameter (0 when the buffer could not be made).
    DvlText handle() const { return handle_; }

    // The text up to its terminator or the capacity, whichever comes first.
    std::string str() const;

private:
    DvlText handle_;
};

} // namespace dvl
