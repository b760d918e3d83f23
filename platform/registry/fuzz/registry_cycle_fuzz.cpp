// Any registry file, as a store meets it on disk: it loads, takes a change,
// saves and loads again with the change in it, and the saved file grows at
// most linearly: each key path is written once at most, and a value byte takes
// three characters at most (a text holding a zero is saved as bytes "xx,").
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/run_file.h"
#include <base/files.h>
#include <registry/registry.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace registry;
    static const RunFile file("ondula_registry_fuzz_");
    const std::string& path = file.path();
    std::string error;
    if (!ondula::write_file_atomically(path, {data, size}, &error))
        std::abort();
    {
        auto reg = Registry::FromFile(path);
        HKEY key = 0;
        if (reg->CreateKey(kLocalMachine, "Fuzz\\Key", kKeyAllAccess, &key) != win32::kSuccess ||
            reg->SetDword(key, "Value", 0x1234) != win32::kSuccess ||
            reg->Flush(key) != win32::kSuccess)
            std::abort();
    }
    std::string saved;
    if (!ondula::read_regular_file(path, SIZE_MAX, &saved, &error) || saved.size() > 3 * size + 256)
        std::abort();
    auto again = Registry::FromFile(path);
    HKEY key = 0;
    uint32_t value = 0;
    if (again->OpenKey(kLocalMachine, "fuzz\\key", kKeyRead, &key) != win32::kSuccess ||
        again->QueryDword(key, "value", &value) != win32::kSuccess || value != 0x1234)
        std::abort();
    return 0;
}
