#include "locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <registry/registry.h>

namespace registry {
namespace {

constexpr std::chrono::milliseconds kLockPoll{10};

bool SameFile(int fd, const std::filesystem::path& path)
{
    struct stat held;
    struct stat named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void Report(const std::string& error) { std::fprintf(stderr, "registry: %s\n", error.c_str()); }

bool Lock(int fd, const std::filesystem::path& path, ondula::Clock& clock,
          const ondula::Deadline& deadline)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            Report(path.string() + ": " + std::strerror(errno));
            return false;
        }
        if (deadline.Expired()) {
            Report(path.string() + ": still locked after " + std::to_string(kSaveLockWait.count()) +
                   " s");
            return false;
        }
        clock.SleepFor(std::min<ondula::Clock::Duration>(kLockPoll, deadline.Remaining()));
    }
    return true;
}

} // namespace

LockedFile::LockedFile(std::filesystem::path path, ondula::Clock& clock) : path_(std::move(path))
{
    const ondula::Deadline deadline(clock, kSaveLockWait);
    for (;;) {
        std::string error;
        fd_ = ondula::open_regular_file(path_, O_RDWR | O_CREAT, &error);
        if (fd_.get() < 0) {
            Report(error);
            return;
        }
        if (!Lock(fd_.get(), path_, clock, deadline)) {
            fd_ = ondula::UniqueFd();
            return;
        }
        if (SameFile(fd_.get(), path_))
            return;
    }
}

bool LockedFile::Read(std::string* text) const
{
    text->clear();
    char buffer[8192];
    for (off_t offset = 0;;) {
        ssize_t n = ::pread(fd_.get(), buffer, sizeof buffer, offset);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        text->append(buffer, static_cast<size_t>(n));
        offset += n;
    }
}

bool LockedFile::Replace(const std::string& text) const
{
    std::string error;
    if (ondula::write_file_atomically(
            path_, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, &error))
        return true;
    Report(error);
    return false;
}

} // namespace registry
