// Any "config.dat": reading keeps what is in range, and what was read is
// written back whole and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/run_file.h"
#include "workbench/core/settings_record.h"
#include <base/files.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const RunFile file("ondula_config_fuzz_");
    const std::string& path = file.path();
    std::string error;
    if (!ondula::write_file_atomically(path, {data, size}, &error))
        std::abort();
    SettingsRecord read;
    if (!ReadSettingsFile(path, &read) || !WriteSettingsFile(path, read))
        std::abort();
    SettingsRecord again;
    if (!ReadSettingsFile(path, &again) || EncodeSettings(again) != EncodeSettings(read))
        std::abort();
    return 0;
}
