#include "locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace registry {
namespace {

bool SameFile(int fd, const std::filesystem::path& path)
{
    struct stat held;
    struct stat named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

LockedFile::LockedFile(std::filesystem::path path) : path_(std::move(path))
{
    for (;;) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            return;
        if (::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        if (SameFile(fd_, path_))
            return;
        ::close(fd_);
    }
}

LockedFile::~LockedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool LockedFile::Read(std::string* text) const
{
    text->clear();
    char buffer[8192];
    for (off_t offset = 0;;) {
        ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
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
    std::filesystem::path temp = path_;
    temp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temp.c_str(), path_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace registry
