// Process-wide settings changed for one scope and put back at its end, so that
// a test leaves the process as it found it whatever order its cases run in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// An environment variable set (null: removed) while the object lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    /// Sets the variable again (null: removes it); the value it had before the
    /// object was made still comes back at its end.
    void Set(const char* value);

private:
    std::string name_;
    std::optional<std::string> before_;
};

// The working folder changed to `folder` while the object lives.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::filesystem::path& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::filesystem::path before_;
};

// Numbers read and written with a decimal comma, as in a French session (Qt
// takes the session's locale), while the object lives; the C locale's after.
class ScopedDecimalComma {
public:
    ScopedDecimalComma();
    ~ScopedDecimalComma();
    ScopedDecimalComma(const ScopedDecimalComma&) = delete;
    ScopedDecimalComma& operator=(const ScopedDecimalComma&) = delete;

    /// False where no such locale could be built (no localedef).
    bool Made() const { return made_; }

private:
    bool made_;
};
