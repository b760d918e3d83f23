// Any registry file: loading keeps what parses, and the text written back from
// it reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry/src/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    registry::RootMap first = registry::EmptyRoots();
    registry::ReadRegistryText(std::string(reinterpret_cast<const char*>(data), size), first,
                               "input");
    const std::string written = registry::WriteRegistryText(first);
    registry::RootMap second = registry::EmptyRoots();
    registry::ReadRegistryText(written, second, "written");
    if (registry::WriteRegistryText(second) != written)
        std::abort();
    return 0;
}
