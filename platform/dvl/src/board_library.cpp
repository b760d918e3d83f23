// The board functions of the simulated board library: objects by identifier,
// one lock for all of them, and a grab thread per digitizer that grabs
// continuously.
#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "dvl/board.h"
#include "dvl/simulated_boards.h"

namespace {

using dvl::DigitizerFormat;
using dvl::Fault;
using dvl::SimulatedBoard;

struct System {
    SimulatedBoard board;
};

struct Digitizer {
    DvlId system = 0;
    DigitizerFormat format;
    DvlId grab_buffer = 0; // the buffer of the continuous grab; 0 when halted
    std::thread grab;
    long frame = 0;
};

struct Buffer {
    DvlId system = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 0;
    std::vector<uint8_t> planes[3];
};

struct Display {
    DvlId system = 0;
    DvlId buffer = 0;
    DvlWindow window = 0;
};

struct Library {
    std::mutex lock;
    std::condition_variable wake; // a grab thread waits on it between frames
    int app_references = 0;
    DvlId app = 0;
    DvlId next = 1;
    std::map<DvlId, System> systems;
    std::map<DvlId, Digitizer> digitizers;
    std::map<DvlId, Buffer> buffers;
    std::map<DvlId, Display> displays;
    std::map<std::pair<std::string, int32_t>, SimulatedBoard> catalogue;
    std::map<int, Fault> faults;
    std::map<DvlWindow, dvl::WindowSink> windows;
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::pair<std::string, int32_t> CatalogueKey(const std::string& descriptor, int32_t number)
{
    return {Lower(descriptor), number == DVL_DEFAULT ? 0 : number};
}

void FillCatalogue(Library& l)
{
    l.catalogue.clear();
    SimulatedBoard talvo = dvl::TalvoBoard();
    l.catalogue[CatalogueKey(talvo.descriptor, talvo.number)] = talvo;
}

// Never destroyed: a grab thread may still run while the process ends.
Library& Lib()
{
    static Library* library = [] {
        auto* l = new Library;
        FillCatalogue(*l);
        return l;
    }();
    return *library;
}

Fault FaultOf(const Library& l, int ordinal)
{
    auto found = l.faults.find(ordinal);
    return found == l.faults.end() ? Fault::None : found->second;
}

// An allocation of `ordinal`: `make` gives the new identifier (0 when it
// fails), unless a fault answers in its place.
template <typename Make> DvlId Allocate(Library& l, int ordinal, DvlId* out, Make make)
{
    Fault fault = FaultOf(l, ordinal);
    DvlId answer = fault == Fault::Fails ? 0 : fault == Fault::ZeroIdentifier ? 1 : make();
    if (out)
        *out = fault == Fault::ZeroIdentifier ? 0 : answer;
    return answer;
}

bool Fails(const Library& l, int ordinal) { return FaultOf(l, ordinal) == Fault::Fails; }

int32_t Answer(int32_t value, void* result)
{
    if (result)
        std::memcpy(result, &value, sizeof value);
    return value;
}

// The moving picture of frame `frame`: diagonal bands that drift by 4 pixels a frame.
void DrawFrame(Buffer& b, long frame)
{
    for (int32_t band = 0; band < b.bands; ++band) {
        uint8_t* p = b.planes[band].data();
        const int shift = int(frame * 4 + band * 85);
        for (int32_t y = 0; y < b.height; ++y)
            for (int32_t x = 0; x < b.width; ++x)
                *p++ = uint8_t(x / 2 + y / 2 + shift);
    }
}

dvl::FrameView ViewOf(const Buffer& b)
{
    dvl::FrameView view;
    view.width = b.width;
    view.height = b.height;
    view.bands = b.bands;
    for (int32_t band = 0; band < b.bands; ++band)
        view.planes[band] = b.planes[band].data();
    return view;
}

// Shows `buffer` in the windows of the displays that select it (lock held).
void ShowBuffer(Library& l, DvlId buffer)
{
    auto b = l.buffers.find(buffer);
    if (b == l.buffers.end())
        return;
    for (const auto& [id, display] : l.displays) {
        if (display.buffer != buffer)
            continue;
        auto sink = l.windows.find(display.window);
        if (sink != l.windows.end())
            sink->second(ViewOf(b->second));
    }
}

void GrabLoop(DvlId digitizer)
{
    Library& l = Lib();
    std::unique_lock guard(l.lock);
    for (;;) {
        auto d = l.digitizers.find(digitizer);
        if (d == l.digitizers.end() || d->second.grab_buffer == 0)
            return;
        auto b = l.buffers.find(d->second.grab_buffer);
        if (b != l.buffers.end()) {
            DrawFrame(b->second, d->second.frame++);
            ShowBuffer(l, b->first);
        }
        const auto period = l.systems.at(d->second.system).board.frame_period;
        l.wake.wait_for(guard, period, [&] {
            auto now = l.digitizers.find(digitizer);
            return now == l.digitizers.end() || now->second.grab_buffer == 0;
        });
    }
}

// Stops the digitizer's grab (lock held); the caller joins the thread it
// returns once the lock is released.
std::thread Halt(Library& l, Digitizer& d)
{
    d.grab_buffer = 0;
    l.wake.notify_all();
    return std::move(d.grab);
}

class Joiner {
public:
    void Add(std::thread thread)
    {
        if (thread.joinable())
            threads_.push_back(std::move(thread));
    }
    ~Joiner()
    {
        for (std::thread& t : threads_)
            t.join();
    }

private:
    std::vector<std::thread> threads_;
};

// Frees a buffer (lock held): grabs into it halt, displays drop it.
void FreeBuffer(Library& l, DvlId buffer, Joiner& joiner)
{
    for (auto& [id, d] : l.digitizers)
        if (d.grab_buffer == buffer)
            joiner.Add(Halt(l, d));
    for (auto& [id, display] : l.displays)
        if (display.buffer == buffer)
            display = {display.system, 0, 0};
    l.buffers.erase(buffer);
}

void FreeSystem(Library& l, DvlId system, Joiner& joiner)
{
    for (auto it = l.digitizers.begin(); it != l.digitizers.end();)
        if (it->second.system == system) {
            joiner.Add(Halt(l, it->second));
            it = l.digitizers.erase(it);
        } else {
            ++it;
        }
    std::erase_if(l.buffers, [&](const auto& b) { return b.second.system == system; });
    std::erase_if(l.displays, [&](const auto& d) { return d.second.system == system; });
    l.systems.erase(system);
}

template <typename Map> auto* Find(Map& map, DvlId id)
{
    auto found = map.find(id);
    return found == map.end() ? nullptr : &found->second;
}

// The object `id` that a call of `ordinal` acts on: null when there is none
// or the ordinal is faulty.
template <typename Map> auto* Reach(Library& l, Map& map, DvlId id, int ordinal)
{
    return Fails(l, ordinal) ? nullptr : Find(map, id);
}

} // namespace

extern "C" DvlId DvlAppAlloc(int32_t, DvlId* app)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_APP_ALLOC, app, [&] {
        if (l.app_references++ == 0)
            l.app = l.next++;
        return l.app;
    });
}

extern "C" void DvlAppControl(int32_t, int32_t) { }

extern "C" void DvlAppFree(DvlId app)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    if (Fails(l, DVL_ORD_APP_FREE) || app == 0 || app != l.app || l.app_references == 0)
        return;
    if (--l.app_references > 0)
        return;
    while (!l.systems.empty())
        FreeSystem(l, l.systems.begin()->first, joiner);
    l.app = 0;
}

extern "C" int32_t DvlAppInquire(int32_t item, void* result)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    if (Fails(l, DVL_ORD_APP_INQUIRE))
        return Answer(0, result);
    if (item == DVL_APP_VERSION) {
        if (result)
            std::memcpy(result, &DVL_VERSION, sizeof DVL_VERSION);
        return 0;
    }
    if (item == DVL_APP_SYSTEM_COUNT)
        return Answer(int32_t(l.systems.size()), result);
    if (item == DVL_APP_BUFFER_COUNT)
        return Answer(int32_t(l.buffers.size()), result);
    return Answer(0, result);
}

extern "C" DvlId DvlSysAlloc(const char* descriptor, int32_t number, int32_t, DvlId* system)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_SYS_ALLOC, system, [&]() -> DvlId {
        if (!descriptor || l.app_references == 0)
            return 0;
        auto board = l.catalogue.find(CatalogueKey(descriptor, number));
        if (board == l.catalogue.end())
            return 0;
        for (const auto& [id, s] : l.systems)
            if (CatalogueKey(s.board.descriptor, s.board.number) == board->first)
                return 0;
        DvlId id = l.next++;
        l.systems[id] = {board->second};
        return id;
    });
}

extern "C" void DvlSysControl(DvlId, int32_t, int32_t) { }

extern "C" void DvlSysFree(DvlId system)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    if (!Fails(l, DVL_ORD_SYS_FREE))
        FreeSystem(l, system, joiner);
}

extern "C" int32_t DvlSysInquire(DvlId system, int32_t item, void* result)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const System* s = Reach(l, l.systems, system, DVL_ORD_SYS_INQUIRE);
    if (!s)
        return Answer(0, result);
    if (item == DVL_SYS_DIGITIZER_COUNT)
        return Answer(s->board.digitizers, result);
    if (item == DVL_SYS_BOARD_TYPE)
        return Answer(s->board.board_type, result);
    return Answer(0, result);
}

extern "C" DvlId DvlDigAlloc(DvlId system, int32_t number, const char* format, int32_t,
                             DvlId* digitizer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_DIG_ALLOC, digitizer, [&]() -> DvlId {
        const System* s = Find(l.systems, system);
        const int32_t index = number == DVL_DEFAULT ? 0 : number;
        if (!s || !format || index < 0 || index >= s->board.digitizers)
            return 0;
        for (const auto& [name, f] : s->board.formats)
            if (Lower(name) == Lower(format)) {
                DvlId id = l.next++;
                l.digitizers[id].system = system;
                l.digitizers[id].format = f;
                return id;
            }
        return 0;
    });
}

extern "C" void DvlDigFree(DvlId digitizer)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_FREE);
    if (!d)
        return;
    joiner.Add(Halt(l, *d));
    l.digitizers.erase(digitizer);
}

extern "C" void DvlDigGrabContinuous(DvlId digitizer, DvlId buffer)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_GRAB_CONTINUOUS);
    if (!d || !Find(l.buffers, buffer))
        return;
    joiner.Add(Halt(l, *d));
    d->grab_buffer = buffer;
    d->grab = std::thread(GrabLoop, digitizer);
}

extern "C" void DvlDigHalt(DvlId digitizer)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    if (Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_HALT))
        joiner.Add(Halt(l, *d));
}

extern "C" int32_t DvlDigInquire(DvlId digitizer, int32_t item, void* result)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_INQUIRE);
    if (!d)
        return Answer(0, result);
    switch (item) {
    case DVL_DIG_SIZE_X:
        return Answer(d->format.width, result);
    case DVL_DIG_SIZE_Y:
        return Answer(d->format.height, result);
    case DVL_DIG_SIZE_BAND:
        return Answer(d->format.bands, result);
    default:
        return Answer(0, result);
    }
}

extern "C" DvlId DvlBufAllocColor(DvlId system, int32_t bands, int32_t width, int32_t height,
                                  int32_t bits, int32_t, DvlId* buffer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_BUF_ALLOC_COLOR, buffer, [&]() -> DvlId {
        if (!Find(l.systems, system) || bands < 1 || bands > 3 || width < 1 || width > 8192 ||
            height < 1 || height > 8192 || bits != 8)
            return 0;
        DvlId id = l.next++;
        Buffer& b = l.buffers[id];
        b = {system, width, height, bands, {}};
        for (int32_t band = 0; band < bands; ++band)
            b.planes[band].assign(std::size_t(width) * std::size_t(height), 0);
        return id;
    });
}

extern "C" void DvlBufClear(DvlId buffer, int32_t value, int32_t)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    if (Buffer* b = Reach(l, l.buffers, buffer, DVL_ORD_BUF_CLEAR))
        for (int32_t band = 0; band < b->bands; ++band)
            std::fill(b->planes[band].begin(), b->planes[band].end(), uint8_t(value));
}

extern "C" void DvlBufFree(DvlId buffer)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    if (Reach(l, l.buffers, buffer, DVL_ORD_BUF_FREE))
        FreeBuffer(l, buffer, joiner);
}

extern "C" void DvlBufGetColor2d(DvlId buffer, int32_t, int32_t band, int32_t x, int32_t y,
                                 int32_t width, int32_t height, void* destination)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Buffer* b = Reach(l, l.buffers, buffer, DVL_ORD_BUF_GET_COLOR_2D);
    if (!b || !destination)
        return;
    const int32_t index = band == DVL_GREEN ? 1 : band == DVL_BLUE ? 2 : 0;
    const uint8_t* plane = b->planes[index < b->bands ? index : 0].data();
    auto* out = static_cast<uint8_t*>(destination);
    const int32_t x0 = std::max(x, 0), x1 = std::min<int64_t>(int64_t(x) + width, b->width);
    const int32_t y0 = std::max(y, 0), y1 = std::min<int64_t>(int64_t(y) + height, b->height);
    for (int32_t row = y0; row < y1; ++row)
        for (int32_t column = x0; column < x1; ++column)
            out[std::size_t(column - x) + std::size_t(width) * std::size_t(row - y)] =
                plane[std::size_t(column) + std::size_t(b->width) * std::size_t(row)];
}

extern "C" DvlId DvlDispAlloc(DvlId system, int32_t, const char*, int32_t, DvlId* display)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_DISP_ALLOC, display, [&]() -> DvlId {
        if (!Find(l.systems, system))
            return 0;
        DvlId id = l.next++;
        l.displays[id] = {system, 0, 0};
        return id;
    });
}

extern "C" void DvlDispDeselect(DvlId display, DvlId buffer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Display* d = Reach(l, l.displays, display, DVL_ORD_DISP_DESELECT);
    if (d && d->buffer == buffer)
        *d = {d->system, 0, 0};
}

extern "C" void DvlDispFree(DvlId display)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    if (!Fails(l, DVL_ORD_DISP_FREE))
        l.displays.erase(display);
}

extern "C" int32_t DvlDispInquire(DvlId display, int32_t item, void* result)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Display* d = Reach(l, l.displays, display, DVL_ORD_DISP_INQUIRE);
    if (!d || item != DVL_DISP_MODE)
        return Answer(0, result);
    return Answer(l.systems.at(d->system).board.display_mode, result);
}

extern "C" void DvlDispSelectWindow(DvlId display, DvlId buffer, DvlWindow window)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Display* d = Reach(l, l.displays, display, DVL_ORD_DISP_SELECT_WINDOW);
    if (!d || !Find(l.buffers, buffer))
        return;
    d->buffer = buffer;
    d->window = window;
    ShowBuffer(l, buffer);
}

namespace dvl {

SimulatedBoard TalvoBoard()
{
    SimulatedBoard board;
    board.descriptor = "\\\\.\\D_SYSTEM_TALVO";
    board.formats["ccir.dcf"] = {768, 576, 1};
    return board;
}

void RegisterBoard(const SimulatedBoard& board)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.catalogue[CatalogueKey(board.descriptor, board.number)] = board;
}

void ResetBoards()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    FillCatalogue(l);
}

void SetFault(int ordinal, Fault fault)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.faults[ordinal] = fault;
}

void ClearFaults()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.faults.clear();
}

int AllocatedObjects()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return l.app_references +
           int(l.systems.size() + l.digitizers.size() + l.buffers.size() + l.displays.size());
}

void RegisterWindow(DvlWindow window, WindowSink sink)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.windows[window] = std::move(sink);
}

void UnregisterWindow(DvlWindow window)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.windows.erase(window);
}

} // namespace dvl
