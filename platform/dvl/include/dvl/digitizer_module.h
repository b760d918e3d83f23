// Loading a digitizer module of the board library and handing it command packets.
#pragma once

#include <memory>
#include <string>

#include <dvl/dvl.h>
#include <dvl/export.h>

// Every digitizer module exports this entry; the loader calls it once with the
// module's handle right after loading, and the module answers 1 to accept.
#define DVL_MODULE_ENTRY "DvlModuleEntry"
using DvlModuleEntryFn = int (*)(void* module_handle);

// A module's command export: one argument, the address of a command packet.
using DvlCommandFn = void (*)(void* packet);

namespace dvl {

class DVL_API DigitizerModule {
public:
    // Loads the module `name`: the file "<name>.so" in the board library's own
    // folder (a name holding a '/' is taken as a path), runs its module entry and
    // looks up `command_export`. Returns DVL_OK, or the step that failed with
    // the loader's text in error(); the module is then not loaded.
    DvlStatus Open(const std::string& name, const std::string& command_export);

    bool loaded() const { return command_ != nullptr; }
    const std::string& error() const { return error_; }

    // Hands one packet to the module's command export; ignored when not loaded.
    void Send(void* packet) const;

private:
    struct Closer {
        void operator()(void* handle) const;
    };
    std::unique_ptr<void, Closer> handle_;
    DvlCommandFn command_ = nullptr;
    std::string error_;
};

} // namespace dvl
