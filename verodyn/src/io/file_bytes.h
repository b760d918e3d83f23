// Files read piece by piece, and whole-file writes that never leave a damaged file behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace verodyn::detail {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) { }
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&& other) noexcept;

    int get() const { return fd_; }
    // Closes now, so that a failing close (a lost write) can be reported.
    bool close();

private:
    int fd_;
};

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
    UniqueFd fd_;
    std::uint64_t size_ = 0;
};

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and
// renames it over `path` (keeping the permissions of a file it replaces; a
// symbolic link is followed to the file it names). On
// failure `path` is untouched, the new file is removed, and the reason is in `error`.
bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* error);

} // namespace verodyn::detail
