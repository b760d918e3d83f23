#pragma once
// The registry file held under an exclusive advisory lock (flock) while a
// store merges into it. Writers replace the file by renaming a synced
// temporary file over it, so a lock that was taken on a file replaced in the
// meantime is taken again on the new one.
#include <filesystem>
#include <string>

namespace registry {

class LockedFile {
public:
    /// Creates the file (empty) when missing and waits for the lock.
    explicit LockedFile(std::filesystem::path path);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool Held() const { return fd_ >= 0; }
    /// The whole content of the locked file.
    bool Read(std::string* text) const;
    /// Writes `text` to a temporary file beside it, syncs it and renames it over
    /// the file; on failure the file is left as it was.
    bool Replace(const std::string& text) const;

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace registry
