#pragma once
// The registry file held under an exclusive advisory lock (flock) while a
// store merges into it. Writers replace the file by renaming a synced
// temporary file over it, so a lock that was taken on a file replaced in the
// meantime is taken again on the new one. The lock is polled, so that a store
// that never lets it go (a hung or stopped process) costs kSaveLockWait, not
// the program. A symbolic link is followed to the file it names; anything but
// a regular file there is refused. Failures are reported on the standard
// error, naming the file.
#include <filesystem>
#include <string>

#include <base/files.h>
#include <clock/clock.h>

namespace registry {

class LockedFile {
public:
    /// Creates the file (empty) when missing and waits for the lock, at most
    /// kSaveLockWait on `clock`.
    LockedFile(std::filesystem::path path, ondula::Clock& clock);
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool Held() const { return fd_.get() >= 0; }
    /// The whole content of the locked file.
    bool Read(std::string* text) const;
    /// Replaces the file by `text`, whole or not at all.
    bool Replace(const std::string& text) const;

private:
    std::filesystem::path path_;
    ondula::UniqueFd fd_;
};

} // namespace registry
