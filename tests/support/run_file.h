// A file of this process in the temporary folder, removed when the process
// ends: what a fuzz run writes does not outlive it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

class RunFile {
public:
    explicit RunFile(const std::string& prefix)
        : path_((std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid())))
                    .string())
    {
    }
    ~RunFile() { std::filesystem::remove(path_); }
    RunFile(const RunFile&) = delete;
    RunFile& operator=(const RunFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
