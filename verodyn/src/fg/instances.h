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
// a call that found the grabber before it was closed fails cleanly. `lock`
// serialises the calls but "do_abort_grab", which must reach a grab that
// waits on its camera: aborts take `abort_lock` instead.
struct Grabber {
    Interface* iface = nullptr;
    std::unique_ptr<FGInstance> inst = std::make_unique<FGInstance>();
    FGInstance** slot = nullptr;
    std::shared_mutex use;
    std::mutex lock;
    std::mutex abort_lock;
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
