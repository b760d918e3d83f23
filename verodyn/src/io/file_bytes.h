// Whole-file reads, and whole-file writes that never leave a damaged file behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace verodyn::detail {

enum class FileRead { Read, Unreadable, TooLarge };

// Reads the whole regular file at `path`; one of more than `limit` bytes is
// refused as TooLarge without being read. On failure the reason is in `error`.
FileRead read_whole_file(const std::string& path, std::uint64_t limit,
                         std::vector<std::uint8_t>* bytes, std::string* error);

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and
// renames it over `path` (keeping the permissions of a file it replaces; a
// symbolic link is followed to the file it names). On
// failure `path` is untouched, the new file is removed, and the reason is in `error`.
bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* error);

} // namespace verodyn::detail
