// Whole-file reads, and whole-file writes that never leave a damaged file behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace verodyn::detail {

// Reads the whole regular file at `path`. False with the reason in `error`.
bool read_whole_file(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error);

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and
// renames it over `path` (keeping the permissions of a file it replaces; a
// symbolic link is followed to the file it names). On
// failure `path` is untouched, the new file is removed, and the reason is in `error`.
bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error);

} // namespace verodyn::detail
