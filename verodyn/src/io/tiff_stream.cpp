#include "tiff_stream.h"

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

TiffStream& stream_of(thandle_t handle) { return *static_cast<TiffStream*>(handle); }

std::uint64_t file_size(const TiffStream& stream)
{
    return stream.sink ? stream.sink->size() : stream.source->size();
}

tmsize_t read_proc(thandle_t handle, void* buffer, tmsize_t size)
{
    TiffStream& stream = stream_of(handle);
    if (stream.sink || size < 0)
        return 0;
    const std::int64_t count = stream.source->read_at(stream.position, buffer, std::size_t(size));
    if (count > 0)
        stream.position += std::uint64_t(count);
    if (count >= 0 && count < size)
        stream.read_short = true;
    return tmsize_t(count);
}

tmsize_t write_proc(thandle_t handle, void* buffer, tmsize_t size)
{
    TiffStream& stream = stream_of(handle);
    if (!stream.sink || size < 0 || stream.position + std::uint64_t(size) > kMaxFileSize)
        return -1;
    const std::uint64_t end = stream.position + std::uint64_t(size);
    if (end > stream.sink->size())
        stream.sink->resize(end);
    std::memcpy(stream.sink->data() + stream.position, buffer, std::size_t(size));
    stream.position = end;
    return size;
}

toff_t seek_proc(thandle_t handle, toff_t offset, int whence)
{
    TiffStream& stream = stream_of(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = stream.position;
    else if (whence == SEEK_END)
        base = file_size(stream);
    if (offset > kMaxFileSize || base + offset > kMaxFileSize)
        return toff_t(-1);
    stream.position = base + offset;
    return stream.position;
}

int close_proc(thandle_t) { return 0; }

toff_t size_proc(thandle_t handle) { return file_size(stream_of(handle)); }

// Files are read, never mapped: a file that shrinks under a mapping would
// fault instead of reading short.
int map_proc(thandle_t, void**, toff_t*) { return 0; }

void unmap_proc(thandle_t, void*, toff_t) { }

int keep_error(TIFF*, void* user_data, const char* module, const char* format, va_list args)
{
    TiffStream& stream = *static_cast<TiffStream*>(user_data);
    if (stream.error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        stream.error = module ? std::string(module) + ": " + text : std::string(text);
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

TiffHandle open_tiff_stream(TiffStream& stream, const char* mode)
{
    silence_global_handlers();
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) {
        stream.error = "out of memory";
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keep_error, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignore_warning, &stream);
    TIFF* tif = TIFFClientOpenExt("stream", mode, &stream, read_proc, write_proc, seek_proc,
                                  close_proc, size_proc, map_proc, unmap_proc, options.get());
    if (!tif && stream.error.empty())
        stream.error = "not a TIFF file";
    return TiffHandle(tif);
}

} // namespace verodyn::detail
