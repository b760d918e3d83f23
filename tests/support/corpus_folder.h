// What the programs that make a fuzz corpus at build time share: the folder
// named on their command line, the files they write into it, and header
// fields overwritten to break a good file.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace corpus {

using Bytes = std::vector<std::uint8_t>;

// The folder named by the program's one argument, made if missing. Given
// anything else, the program prints its usage and ends with status 2.
inline std::filesystem::path FolderOf(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << std::filesystem::path(argv[0]).filename().string()
                  << " <folder>\n";
        std::exit(2);
    }
    std::filesystem::create_directories(argv[1]);
    return std::filesystem::path(argv[1]);
}

inline void Write(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Sets the `size` bytes at `at` to `value`, low byte first; bytes past the
// end are left out.
inline void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size && at + std::size_t(i) < bytes.size(); ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

} // namespace corpus
