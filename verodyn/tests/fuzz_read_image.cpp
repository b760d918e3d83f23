// Fuzz entry of the image file reader: any file gives a complete image or an
// error status with no image, never a crash.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <verodyn/operators.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The input is the content of a file in memory, read through its name.
    static const int fd = [] {
        set_check("~give_error");
        return memfd_create("fuzz_input", MFD_CLOEXEC);
    }();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    Vobject out;
    const Vstatus status = read_image(&out, path.c_str());
    if ((status == V_OK) == out.empty())
        std::abort();
    const VImage* image = out.image(0).get();
    if (image && (image->width() <= 0 || image->height() <= 0 || image->type() != VPixelType::Byte))
        std::abort();
    return 0;
}
