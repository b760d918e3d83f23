#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace verodyn::detail {

namespace {

bool fail(std::string* error, const std::string& what)
{
    *error = what + ": " + std::strerror(errno);
    return false;
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// A name beside `path` that no other writer uses: ".<name>.<pid>.<n>.tmp".
std::string temporary_name(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const auto slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter++) + ".tmp";
}

} // namespace

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool UniqueFd::close() { return ::close(std::exchange(fd_, -1)) == 0; }

bool ReadableFile::open(const std::string& path, std::string* error)
{
    // Non-blocking, so that a named pipe without a writer is refused below
    // instead of hanging the caller; reads of regular files do not block anyway.
    fd_ = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info { };
    if (fd_.get() < 0 || ::fstat(fd_.get(), &info) != 0)
        return fail(error, path);
    if (!S_ISREG(info.st_mode)) {
        *error = path + ": not a regular file";
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

bool write_file_atomically(const std::string& link_or_path, std::span<const std::uint8_t> bytes,
                           std::string* error)
{
    // A symbolic link is followed, so the file it names is replaced and the
    // link stays; a name that does not exist yet is taken as it is.
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(link_or_path.c_str(), nullptr), &std::free);
    const std::string path = resolved ? resolved.get() : link_or_path;
    std::string temporary;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = temporary_name(path);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    UniqueFd fd(raw);
    if (fd.get() < 0)
        return fail(error, path);

    struct stat existing { };
    bool ok = true;
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ok = ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
    ok = ok && write_all(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail(error, path);
    }
    return true;
}

} // namespace verodyn::detail
