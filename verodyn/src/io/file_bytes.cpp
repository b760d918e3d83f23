#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace verodyn::detail {

bool ReadableFile::open(const std::string& path, std::string* error)
{
    fd_ = ondula::open_regular_file(path, O_RDONLY, error);
    struct stat info { };
    if (fd_.get() < 0)
        return false;
    if (::fstat(fd_.get(), &info) != 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    size_ = std::uint64_t(info.st_size);
    return true;
}

std::int64_t ReadableFile::read_at(std::uint64_t offset, void* buffer, std::size_t count) const
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd_.get(), static_cast<char*>(buffer) + done, count - done,
                                    off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return std::int64_t(done);
}

} // namespace verodyn::detail
