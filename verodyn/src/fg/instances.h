// The table of open frame grabbers, by handle.
#pragma once

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "loader.h"

namespace verodyn::fg {

// One open frame grabber. Every call holds `use` shared and close holds it
// alone, so close waits for the calls in flight; `closed` is set under it, so
// a call that found the grabber before it was closed fails cleanly. Grabs run
// one at a time, and so do parameter calls, but a parameter call does not wait
// for a grab: "do_abort_grab" can end a grab that waits on its camera.
struct Grabber {
    Interface* iface = nullptr;
    std::unique_ptr<FGInstance> inst = std::make_unique<FGInstance>();
    FGInstance** slot = nullptr;
    std::shared_mutex use;
    std::mutex grab_lock;
    std::mutex param_lock;
    bool closed = false;
};

// Registers an opened grabber and returns its handle (1, 2, ...).
long add_grabber(std::shared_ptr<Grabber> grabber);

// The grabber of `handle`, or null.
std::shared_ptr<Grabber> find_grabber(long handle);

// Removes the grabber of `handle` from the table and returns it (null if none).
std::shared_ptr<Grabber> take_grabber(long handle);

// The handles of every open grabber.
std::vector<long> open_handles();

} // namespace verodyn::fg
