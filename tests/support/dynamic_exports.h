// What a shared library offers other modules: the defined, non-local entries
// of the dynamic symbol table of its ELF file, for the tests of what it exports.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace ondula::testing {

struct DynamicSymbol {
    std::string name; // as stored: mangled for C++
    bool vague;       // weak or unique: an instance every module that uses it may carry
};

// Empty when the file cannot be read as a 64-bit ELF file.
std::vector<DynamicSymbol> DynamicExports(const std::string& path);

// The names a library exports, demangled and without their parameters, less
// what every module may carry: the standard library's and Qt's inline and
// template instances, and the linker's and sanitizers' own symbols.
std::set<std::string> ExportedNames(const std::string& path);

} // namespace ondula::testing
