#include "dynamic_exports.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace ondula::testing {

std::vector<DynamicSymbol> DynamicExports(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
    std::vector<DynamicSymbol> exports;
    if (file.size() < sizeof(Elf64_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0)
        return exports;
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(file.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(file.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM)
            continue;
        const char* strings = file.data() + sections[sections[i].sh_link].sh_offset;
        const auto* symbols =
            reinterpret_cast<const Elf64_Sym*>(file.data() + sections[i].sh_offset);
        for (std::size_t s = 0; s < sections[i].sh_size / sizeof(Elf64_Sym); ++s) {
            const unsigned binding = ELF64_ST_BIND(symbols[s].st_info);
            if (symbols[s].st_shndx != SHN_UNDEF && binding != STB_LOCAL)
                exports.push_back({strings + symbols[s].st_name,
                                   binding == STB_WEAK || binding == STB_GNU_UNIQUE});
        }
    }
    return exports;
}

} // namespace ondula::testing
