// Files read piece by piece.
#pragma once

#include <cstdint>
#include <string>

#include <base/files.h>

namespace verodyn::detail {

// A regular file read by position, so that a decoder reads only the parts it
// needs: a file that is not an image is never read whole.
class ReadableFile {
public:
    // Opens the regular file at `path`; false, with the reason in `error`, when
    // it cannot be read or is no regular file (a named pipe is refused, not waited on).
    bool open(const std::string& path, std::string* error);

    std::uint64_t size() const { return size_; }
    // Copies up to `count` bytes from `offset` into `buffer`: the number copied
    // (fewer at the end of the file), or -1 when reading fails.
    std::int64_t read_at(std::uint64_t offset, void* buffer, std::size_t count) const;

private:
    ondula::UniqueFd fd_;
    std::uint64_t size_ = 0;
};

} // namespace verodyn::detail
