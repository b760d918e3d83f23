// Files handed over by the outside world: opened only when they are regular
// files, without ever blocking, and replaced whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ondula {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) { }
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept;
    UniqueFd& operator=(UniqueFd&& other) noexcept;

    int get() const { return fd_; }
    // Closes now, so that a failing close (a lost write) can be reported.
    bool close();

private:
    int fd_;
};

// Opens the regular file at `path` (through symbolic links) with `flags`
// (O_RDONLY or O_RDWR, with O_CREAT to make a missing file, mode 0644). A
// named pipe, a device or a folder is refused at once, never waited on. On
// failure the descriptor is invalid and `error` says why, naming the path.
UniqueFd open_regular_file(const std::string& path, int flags, std::string* error);

// Up to `limit` first bytes of the regular file at `path`; false, with `error`
// as above, when it cannot be read.
bool read_regular_file(const std::string& path, std::size_t limit, std::string* bytes,
                       std::string* error);

// Replaces the file at `path` by `bytes`, whole or not at all: they are
// written into an unnamed file in the folder of the file, flushed to disk and
// only then given a name and renamed over it, so a writer killed on the way
// leaves nothing behind (but in the instant between naming and renaming,
// whose name the next successful write removes). A symbolic link is followed
// to the file it names, which is the one replaced (keeping its permissions);
// anything there that is not a regular file, or a file the caller may not
// write, is refused. On failure the file is untouched and `error` says why,
// naming the path.
bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* error);

} // namespace ondula
