#include "tiff_memory.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace verodyn::detail {

namespace {

// Larger single allocations are refused by libtiff: no sane image of ours needs them.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t(1) << 30;
// Seeks beyond this are refused rather than grown into.
constexpr std::uint64_t kMaxFileSize = std::uint64_t(1) << 40;

TiffMemory& memory_of(thandle_t handle) { return *static_cast<TiffMemory*>(handle); }

std::uint64_t file_size(const TiffMemory& memory)
{
    return memory.sink ? memory.sink->size() : memory.size;
}

tmsize_t read_proc(thandle_t handle, void* buffer, tmsize_t size)
{
    TiffMemory& memory = memory_of(handle);
    if (memory.sink || size < 0 || memory.position >= memory.size)
        return 0;
    const std::size_t count =
        std::min<std::uint64_t>(std::uint64_t(size), memory.size - memory.position);
    std::memcpy(buffer, memory.data + memory.position, count);
    memory.position += count;
    return tmsize_t(count);
}

tmsize_t write_proc(thandle_t handle, void* buffer, tmsize_t size)
{
    TiffMemory& memory = memory_of(handle);
    if (!memory.sink || size < 0 || memory.position + std::uint64_t(size) > kMaxFileSize)
        return -1;
    const std::uint64_t end = memory.position + std::uint64_t(size);
    if (end > memory.sink->size())
        memory.sink->resize(end);
    std::memcpy(memory.sink->data() + memory.position, buffer, std::size_t(size));
    memory.position = end;
    return size;
}

toff_t seek_proc(thandle_t handle, toff_t offset, int whence)
{
    TiffMemory& memory = memory_of(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = memory.position;
    else if (whence == SEEK_END)
        base = file_size(memory);
    if (offset > kMaxFileSize || base + offset > kMaxFileSize)
        return toff_t(-1);
    memory.position = base + offset;
    return memory.position;
}

int close_proc(thandle_t) { return 0; }

toff_t size_proc(thandle_t handle) { return file_size(memory_of(handle)); }

int map_proc(thandle_t handle, void** base, toff_t* size)
{
    TiffMemory& memory = memory_of(handle);
    if (memory.sink)
        return 0;
    *base = const_cast<std::uint8_t*>(memory.data);
    *size = memory.size;
    return 1;
}

void unmap_proc(thandle_t, void*, toff_t) { }

int keep_error(TIFF*, void* user_data, const char* module, const char* format, va_list args)
{
    TiffMemory& memory = *static_cast<TiffMemory*>(user_data);
    if (memory.error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        memory.error = module ? std::string(module) + ": " + text : std::string(text);
    }
    return 1;
}

int ignore_warning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// A few of libtiff's messages bypass the per-file handlers; they are silenced too.
void silence_global_handlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffHandle open_tiff_memory(TiffMemory& memory, const char* mode)
{
    silence_global_handlers();
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) {
        memory.error = "out of memory";
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keep_error, &memory);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignore_warning, &memory);
    TIFF* tif = TIFFClientOpenExt("memory", mode, &memory, read_proc, write_proc, seek_proc,
                                  close_proc, size_proc, map_proc, unmap_proc, options.get());
    if (!tif && memory.error.empty())
        memory.error = "not a TIFF file";
    return TiffHandle(tif);
}

} // namespace verodyn::detail
