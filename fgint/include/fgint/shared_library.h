// A shared library a plug-in loads at run time, closed when its owner goes.
#pragma once

#include <string>

namespace fg {

class SharedLibrary {
public:
    SharedLibrary() = default;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary() { Close(); }

    // Loads `path` with its symbols kept local, closing what was open;
    // false when it does not load.
    bool Open(const std::string& path);
    bool IsOpen() const { return handle_ != nullptr; }
    // Entry point `name` as a `Proc`; null when it is missing or nothing is open.
    template <typename Proc> Proc Entry(const char* name) const
    {
        return reinterpret_cast<Proc>(Symbol(name));
    }
    // Closes the library; false when it would not go. Closed all the same.
    bool Close();

private:
    void* Symbol(const char* name) const;

    void* handle_ = nullptr;
};

} // namespace fg
