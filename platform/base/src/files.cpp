#include <base/files.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace ondula {

namespace {

bool fail(std::string* error, const std::string& path)
{
    *error = path + ": " + std::strerror(errno);
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

std::string folder_of(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The file `path` names once its symbolic links are followed, even when the
// last link leads to a name that does not exist yet.
bool follow_links(std::string path, std::string* target, std::string* error)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info { };
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = path;
            return true;
        }
        std::string link(std::size_t(info.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0 || std::size_t(length) >= link.size())
            return fail(error, path);
        link.resize(std::size_t(length));
        path = link.front() == '/' ? link : folder_of(path) + link;
    }
    errno = ELOOP;
    return fail(error, path);
}

// What the temporary names beside `path` start with. A long file name is cut,
// so that with the writer's number, a count and ".tmp" the name still fits in
// the 255 bytes a folder entry holds.
std::string temporary_prefix(const std::string& path)
{
    constexpr std::size_t kKeptNameBytes = 200;
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return "." + name.substr(0, kKeptNameBytes) + ".";
}

// A name beside `path` that no other writer uses.
std::string temporary_name(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const std::string folder =
        path.rfind('/') == std::string::npos ? std::string() : folder_of(path);
    return folder + temporary_prefix(path) + std::to_string(::getpid()) + "." +
           std::to_string(counter++) + ".tmp";
}

// Removes the temporary names beside `path` that writers left when they were
// killed between naming their content and renaming it over `path` (a moment
// no file system call closes). Only names of processes that no longer exist
// are removed; a live process, whoever it is, keeps its own.
void remove_abandoned_temporaries(const std::string& path)
{
    const std::string prefix = temporary_prefix(path);
    const std::string folder = folder_of(path);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '.' || pid == ::getpid())
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

// The new content, unnamed where the file system allows it: a writer killed
// before the end leaves no file. Elsewhere it is named at once, in `named`.
UniqueFd open_new_content(const std::string& path, std::string* named)
{
    UniqueFd fd(::open(folder_of(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() >= 0 || (errno != EOPNOTSUPP && errno != EISDIR))
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *named = temporary_name(path);
        fd = UniqueFd(::open(named->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() >= 0 || errno != EEXIST)
            break;
    }
    if (fd.get() < 0)
        named->clear();
    return fd;
}

// Gives the unnamed file `fd` a temporary name beside `path`.
bool name_content(int fd, const std::string& path, std::string* named)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *named = temporary_name(path);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named->c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    named->clear();
    return false;
}

} // namespace

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

UniqueFd::UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) { }

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

UniqueFd open_regular_file(const std::string& path, int flags, std::string* error)
{
    // A device is not even opened, since opening one may act on it. What
    // takes its place meanwhile is opened non-blocking, so that a named pipe
    // without a writer is refused below instead of hanging the caller.
    struct stat info { };
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *error = path + ": not a regular file";
        return UniqueFd();
    }
    UniqueFd fd(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        fail(error, path);
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        *error = path + ": not a regular file";
        return UniqueFd();
    }
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status == -1 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) == -1) {
        fail(error, path);
        return UniqueFd();
    }
    return fd;
}

bool read_regular_file(const std::string& path, std::size_t limit, std::string* bytes,
                       std::string* error)
{
    const UniqueFd fd = open_regular_file(path, O_RDONLY, error);
    if (fd.get() < 0)
        return false;
    bytes->clear();
    char buffer[65536];
    while (bytes->size() < limit) {
        const ssize_t got =
            ::read(fd.get(), buffer, std::min(sizeof buffer, limit - bytes->size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(error, path);
        if (got == 0)
            break;
        bytes->append(buffer, std::size_t(got));
    }
    return true;
}

bool write_file_atomically(const std::string& link_or_path, std::span<const std::uint8_t> bytes,
                           std::string* error)
{
    std::string path;
    if (!follow_links(link_or_path, &path, error))
        return false;
    struct stat existing { };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        *error = path + ": not a regular file";
        return false;
    }
    // Renaming over a write-protected file would succeed all the same: the
    // protection its owner gave it is honoured as a write in place would.
    if (exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(error, path);
    std::string temporary;
    UniqueFd fd = open_new_content(path, &temporary);
    if (fd.get() < 0)
        return fail(error, path);
    bool ok = !exists || ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
    ok = ok && write_all(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0;
    ok = ok && (!temporary.empty() || name_content(fd.get(), path, &temporary));
    ok = fd.close() && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int saved = errno;
        if (!temporary.empty())
            ::unlink(temporary.c_str());
        errno = saved;
        return fail(error, path);
    }
    remove_abandoned_temporaries(path);
    return true;
}

} // namespace ondula
