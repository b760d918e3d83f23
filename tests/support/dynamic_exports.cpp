#include "dynamic_exports.h"

#include <cxxabi.h>
#include <elf.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

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

namespace {

std::string demangled(const std::string& name)
{
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> text(
        abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
    return status == 0 ? text.get() : name;
}

// An instance of an inline or template item of the standard library or Qt:
// every module that uses one may carry it, and the C++ ABI needs them to stay
// visible so that all modules agree on a single copy.
bool foreign_instance(bool vague, const std::string& name)
{
    static const std::regex kForeign(
        R"(^((typeinfo|typeinfo name|vtable) for )?([^(<]* )?(std|__gnu_cxx|Q[A-Za-z]*)::)");
    return vague && std::regex_search(name, kForeign);
}

// The linker's markers of the data segment's ends, and what the address
// sanitizer adds beside each exported variable.
bool tool_symbol(const std::string& name)
{
    return name == "__bss_start" || name == "_edata" || name == "_end" ||
           name.starts_with("__odr_asan");
}

// "name(parameters) const" and "name[abi:tag]()" as "name".
std::string without_signature(std::string name)
{
    name = std::regex_replace(name, std::regex(R"(\[abi:[^\]]*\])"), "");
    const std::size_t end = name.rfind(')');
    if (end == std::string::npos)
        return name;
    int depth = 0;
    for (std::size_t i = end + 1; i-- > 0;) {
        depth += name[i] == ')' ? 1 : name[i] == '(' ? -1 : 0;
        if (depth == 0)
            return name.substr(0, i);
    }
    return name;
}

} // namespace

std::set<std::string> ExportedNames(const std::string& library)
{
    std::set<std::string> names;
    for (const auto& symbol : DynamicExports(library)) {
        const std::string name = demangled(symbol.name);
        if (!foreign_instance(symbol.vague, name) && !tool_symbol(name))
            names.insert(without_signature(name));
    }
    return names;
}

} // namespace ondula::testing
