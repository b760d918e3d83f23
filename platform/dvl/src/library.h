// The state of the simulated board library behind the board functions: its
// objects by identifier under one lock, the faults tests ask for, and the
// error text each thread's last call left.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <dvl/digitizer_module.h>
#include <dvl/simulated_boards.h>

namespace dvl::internal {

struct System {
    SimulatedBoard board;
};

struct Hook {
    int32_t event = 0;
    DvlHookFn function = nullptr;
    void* user_data = nullptr;
};

struct Digitizer {
    DvlId system = 0;
    DigitizerFormat format;
    std::string name; // what the board's digitizer module called it
    int32_t channel = 0;
    long frame = 0;
    // Continuous grab: its buffer (0 when halted) and thread.
    DvlId grab_buffer = 0;
    std::thread grab;
    // Single grabs: the buffer of the grab in progress (0 none), whether its
    // trigger came, and a count that changes with every start and abort.
    DvlId single_buffer = 0;
    bool triggered = false;
    uint64_t single_ticket = 0;
    bool stopping = false;
    int hooks_in_flight = 0;
    std::thread single;
    std::map<int32_t, double> controls;
    std::vector<Hook> hooks;
};

struct Buffer {
    DvlId system = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 0;
    int32_t bytes = 1; // a pixel of one band
    std::vector<uint8_t> planes[3];
};

struct Display {
    DvlId system = 0;
    DvlId buffer = 0;
    DvlWindow window = 0;
};

struct Library {
    std::mutex lock;
    std::condition_variable wake; // grab threads wait on it
    int app_references = 0;
    DvlId app = 0;
    DvlId next = 1;
    double version = DVL_VERSION;
    std::map<DvlId, System> systems;
    std::map<DvlId, Digitizer> digitizers;
    std::map<DvlId, Buffer> buffers;
    std::map<DvlId, Display> displays;
    std::map<std::pair<std::string, int32_t>, SimulatedBoard> catalogue;
    std::map<int, Fault> faults;
    std::map<int, std::string> next_failures;             // ordinal -> error text
    std::map<int32_t, std::string> next_inquiry_failures; // digitizer item -> error text
    std::map<int, uint32_t> next_throws;                  // ordinal -> exception code
    std::map<DvlWindow, WindowSink> windows;
    std::map<std::string, DigitizerModule> modules; // loaded, by name
    ondula::Clock* clock = nullptr;                 // null: the steady clock
};

// The one library of the process, never destroyed: a grab thread may still
// run while the process ends.
Library& Lib();

// The error text of this thread's last call ("" none).
void SetError(std::string text);
const std::string& LastError();

// The fault of a call of `ordinal`, taken at the call's start: forgets the
// thread's last error, uses up a one-time failure, and leaves an error text
// for a failure.
Fault TakeFault(Library& l, int ordinal);
inline bool Fails(Library& l, int ordinal) { return TakeFault(l, ordinal) == Fault::Fails; }
// Throws DvlHardwareException when a test asked for it on `ordinal`.
void ThrowIfAsked(Library& l, int ordinal);

// An allocation of `ordinal`: `make` gives the new identifier (0 when it
// fails, with an error text), unless a fault answers in its place.
template <typename Make> DvlId Allocate(Library& l, int ordinal, DvlId* out, Make make)
{
    const Fault fault = TakeFault(l, ordinal);
    DvlId answer = fault == Fault::Fails ? 0 : fault == Fault::ZeroIdentifier ? 1 : make();
    if (answer == 0 && LastError().empty())
        SetError("Allocation failed.");
    if (out)
        *out = fault == Fault::ZeroIdentifier ? 0 : answer;
    return answer;
}

template <typename Map> auto* Find(Map& map, DvlId id)
{
    auto found = map.find(id);
    return found == map.end() ? nullptr : &found->second;
}

// The object `id` that a call of `ordinal` acts on: null, with an error text,
// when there is none or the ordinal is faulty.
template <typename Map> auto* Reach(Library& l, Map& map, DvlId id, int ordinal)
{
    if (Fails(l, ordinal))
        return static_cast<decltype(Find(map, id))>(nullptr);
    auto* found = Find(map, id);
    if (!found)
        SetError("Invalid identifier.");
    return found;
}

inline int32_t Answer(int32_t value, void* result)
{
    if (result)
        std::memcpy(result, &value, sizeof value);
    return value;
}

// Threads to join once the library's lock is released.
class Joiner {
public:
    void Add(std::thread thread)
    {
        if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
            threads_.push_back(std::move(thread));
        else if (thread.joinable())
            thread.detach();
    }
    ~Joiner()
    {
        for (std::thread& t : threads_)
            t.join();
    }

private:
    std::vector<std::thread> threads_;
};

// Stops both grabs of the digitizer (lock held); `joiner` ends their threads.
void StopGrabs(Library& l, Digitizer& d, Joiner& joiner);

// Tells the board's digitizer module (loaded now if need be) about digitizer
// `number` and takes the name it gives; false, with an error text, when the
// module cannot be loaded.
bool AnnounceDigitizer(Library& l, Digitizer& d, int32_t number);
// Tells the board's digitizer module that a grab starts.
void AnnounceGrab(Library& l, const Digitizer& d);

// Draws frame `frame` into the buffer: diagonal bands that drift by 4 pixels a
// frame; in 16-bit buffers the digitizer's `bits` hold the picture and the
// bits above hold junk, the two bytes swapped when `swap`.
void DrawFrame(Buffer& b, long frame, int32_t bits = 8, bool swap = false);

} // namespace dvl::internal
