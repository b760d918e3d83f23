#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace verodyn::detail {

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) { }
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    // Closes now, so that a failing close (a lost write) can be reported.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

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

FileRead read_whole_file(const std::string& path, std::uint64_t limit,
                         std::vector<std::uint8_t>* bytes, std::string* error)
{
    const auto unreadable = [&] {
        fail(error, path);
        return FileRead::Unreadable;
    };
    // Non-blocking, so that a named pipe without a writer is refused below
    // instead of hanging the caller; reads of regular files do not block anyway.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return unreadable();
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return unreadable();
    if (!S_ISREG(info.st_mode)) {
        *error = path + ": not a regular file";
        return FileRead::Unreadable;
    }
    const auto too_large = [&] {
        *error = path + ": larger than " + std::to_string(limit) + " bytes";
        return FileRead::TooLarge;
    };
    if (std::uint64_t(info.st_size) > limit)
        return too_large();
    bytes->clear();
    bytes->reserve(std::size_t(info.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return unreadable();
        }
        if (got == 0)
            return FileRead::Read;
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (bytes->size() > limit) // grown since it was measured
            return too_large();
    }
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
