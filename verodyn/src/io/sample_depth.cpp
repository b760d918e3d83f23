// read_image_depth: the bits per sample an image file stores, from its header
// only. The file is mapped, so that a large file costs no more than its header.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "report.h"
#include "tiff_memory.h"
#include "verodyn/operators.h"

using namespace verodyn::detail;

namespace {

class MappedFile {
public:
    explicit MappedFile(const char* path)
    {
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat info { };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            size_ = std::size_t(info.st_size);
            void* data =
                size_ == 0 ? nullptr : ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            opened_ = data != MAP_FAILED;
            if (opened_)
                data_ = static_cast<const std::uint8_t*>(data);
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (data_)
            ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return opened_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return opened_ && data_ ? size_ : 0; }

private:
    bool opened_ = false;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

int tiff_bits(const std::uint8_t* data, std::size_t size)
{
    TiffMemory memory;
    memory.data = data;
    memory.size = size;
    TiffHandle tif = open_tiff_memory(memory, "r");
    std::uint16_t bits = 0;
    if (!tif || !TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits))
        return 0;
    return bits;
}

// The sample precision of the first frame header, walking the marker segments.
int jpeg_bits(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 2;
    while (at + 1 < size) {
        if (data[at] != 0xFF)
            return 0;
        const std::uint8_t marker = data[at + 1];
        at += 2;
        if (marker == 0xFF) {
            --at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xDA || marker == 0xD9 || at + 2 > size)
            return 0;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return at + 2 < size ? data[at + 2] : 0;
        at += (std::size_t(data[at]) << 8) | data[at + 1];
    }
    return 0;
}

} // namespace

Vstatus read_image_depth(const char* path, int* bits_per_sample)
{
    return run("read_image_depth", [&]() -> Vstatus {
        if (!path || !bits_per_sample)
            return VERR_PARAM;
        const MappedFile file(path);
        if (!file.opened())
            return VERR_FILE_OPEN;
        const std::uint8_t* data = file.data();
        const std::size_t size = file.size();
        int bits = 0;
        if (size >= 4 && (std::memcmp(data, "II", 2) == 0 || std::memcmp(data, "MM", 2) == 0))
            bits = tiff_bits(data, size);
        else if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
            bits = jpeg_bits(data, size);
        if (bits <= 0)
            return VERR_FILE_FORMAT;
        *bits_per_sample = bits;
        return V_OK;
    });
}
