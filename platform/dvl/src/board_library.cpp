// The board functions of the simulated board library: the application,
// systems, digitizers, buffers and displays, the continuous grab, and the
// catalogue and faults of the simulation. Single grabs are in single_grab.cpp,
// buffer copies in buffer_copies.cpp.
#include <algorithm>
#include <cstring>

#include "library.h"
#include <base/text_case.h>
#include <dvl/board.h>
#include <dvl/simulated_boards.h>

namespace dvl::internal {

namespace {

thread_local std::string t_error;

std::pair<std::string, int32_t> CatalogueKey(const std::string& descriptor, int32_t number)
{
    return {ondula::lowered(descriptor), number == DVL_DEFAULT ? 0 : number};
}

void FillCatalogue(Library& l)
{
    l.catalogue.clear();
    for (const SimulatedBoard& board : {TalvoBoard(), ZephonBoard()})
        l.catalogue[CatalogueKey(board.descriptor, board.number)] = board;
    l.version = DVL_VERSION;
}

} // namespace

Library& Lib()
{
    static Library* library = [] {
        auto* l = new Library;
        FillCatalogue(*l);
        return l;
    }();
    return *library;
}

void SetError(std::string text) { t_error = std::move(text); }

const std::string& LastError() { return t_error; }

Fault TakeFault(Library& l, int ordinal)
{
    t_error.clear();
    if (auto once = l.next_failures.find(ordinal); once != l.next_failures.end()) {
        t_error = once->second;
        l.next_failures.erase(once);
        return Fault::Fails;
    }
    auto found = l.faults.find(ordinal);
    const Fault fault = found == l.faults.end() ? Fault::None : found->second;
    if (fault == Fault::Fails)
        t_error = "Simulated failure of ordinal " + std::to_string(ordinal) + ".";
    return fault;
}

void ThrowIfAsked(Library& l, int ordinal)
{
    auto found = l.next_throws.find(ordinal);
    if (found == l.next_throws.end())
        return;
    const uint32_t code = found->second;
    l.next_throws.erase(found);
    throw DvlHardwareException(code);
}

void DrawFrame(Buffer& b, long frame, int32_t bits, bool swap)
{
    const uint32_t mask = bits >= 16 ? 0xFFFF : (1u << bits) - 1;
    for (int32_t band = 0; band < b.bands; ++band) {
        uint8_t* p = b.planes[band].data();
        const long shift = frame * 4 + band * 85;
        for (int32_t y = 0; y < b.height; ++y)
            for (int32_t x = 0; x < b.width; ++x) {
                const uint32_t value = uint32_t(x / 2 + y / 2 + shift);
                if (b.bytes == 1) {
                    *p++ = uint8_t(value);
                    continue;
                }
                const uint16_t pixel = uint16_t((value & mask) | (0xA5A5 & ~mask));
                p[swap ? 1 : 0] = uint8_t(pixel);
                p[swap ? 0 : 1] = uint8_t(pixel >> 8);
                p += 2;
            }
    }
}

namespace {

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

void HaltContinuous(Library& l, Digitizer& d, Joiner& joiner)
{
    d.grab_buffer = 0;
    l.wake.notify_all();
    joiner.Add(std::move(d.grab));
}

} // namespace

void StopGrabs(Library& l, Digitizer& d, Joiner& joiner)
{
    HaltContinuous(l, d, joiner);
    d.single_buffer = 0;
    d.stopping = true;
    joiner.Add(std::move(d.single));
}

namespace {

// Frees a buffer (lock held): grabs into it halt, displays drop it.
void FreeBuffer(Library& l, DvlId buffer, Joiner& joiner)
{
    for (auto& [id, d] : l.digitizers) {
        if (d.grab_buffer == buffer)
            HaltContinuous(l, d, joiner);
        if (d.single_buffer == buffer)
            d.single_buffer = 0;
    }
    for (auto& [id, display] : l.displays)
        if (display.buffer == buffer)
            display = {display.system, 0, 0};
    l.buffers.erase(buffer);
}

void FreeSystem(Library& l, DvlId system, Joiner& joiner)
{
    for (auto it = l.digitizers.begin(); it != l.digitizers.end();)
        if (it->second.system == system) {
            StopGrabs(l, it->second, joiner);
            it = l.digitizers.erase(it);
        } else {
            ++it;
        }
    std::erase_if(l.buffers, [&](const auto& b) { return b.second.system == system; });
    std::erase_if(l.displays, [&](const auto& d) { return d.second.system == system; });
    l.systems.erase(system);
}

// What system `s` answers to inquiry `item`.
int32_t SystemItem(Library&, const System& s, int32_t item)
{
    if (item == DVL_SYS_DIGITIZER_COUNT)
        return s.board.digitizers;
    if (item == DVL_SYS_BOARD_TYPE)
        return s.board.board_type;
    return 0;
}

// What digitizer `d` answers to inquiry `item`, unless a test made the
// inquiry fail once.
int32_t DigitizerItem(Library& l, const Digitizer& d, int32_t item)
{
    if (auto once = l.next_inquiry_failures.find(item); once != l.next_inquiry_failures.end()) {
        SetError(once->second);
        l.next_inquiry_failures.erase(once);
        return 0;
    }
    switch (item) {
    case DVL_DIG_SIZE_X:
        return d.format.width;
    case DVL_DIG_SIZE_Y:
        return d.format.height;
    case DVL_DIG_SIZE_BAND:
        return d.format.bands;
    case DVL_DIG_SIZE_BIT:
        return d.format.bits;
    case DVL_DIG_GRAB_IN_PROGRESS:
        return d.single_buffer != 0;
    }
    if (auto control = d.controls.find(item); control != d.controls.end())
        return int32_t(control->second);
    const auto& features = l.systems.at(d.system).board.features;
    auto feature = features.find(item);
    return feature == features.end() ? 0 : feature->second;
}

// What display `d` answers to inquiry `item`.
int32_t DisplayItem(Library& l, const Display& d, int32_t item)
{
    return item == DVL_DISP_MODE ? l.systems.at(d.system).board.display_mode : 0;
}

// Inquiry `item` (a call of `ordinal`) about object `id` of `objects`: what
// `answer` reads of it under the lock, also through `result`; 0 when the
// object is out of reach.
template <typename Map, typename Answerer>
int32_t Inquire(Map Library::*objects, DvlId id, int32_t item, int ordinal, void* result,
                Answerer answer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const auto* found = Reach(l, l.*objects, id, ordinal);
    return Answer(found ? answer(l, *found, item) : 0, result);
}

} // namespace

} // namespace dvl::internal

using namespace dvl::internal;

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

extern "C" void DvlAppControl(int32_t, int32_t)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Fails(l, DVL_ORD_APP_CONTROL);
}

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

extern "C" int32_t DvlAppGetError(int32_t, char* text)
{
    const std::string& error = LastError();
    if (text) {
        const std::string shown = error.empty() ? DVL_NO_ERROR_TEXT : error;
        const std::size_t n = std::min<std::size_t>(shown.size(), DVL_ERROR_TEXT_SIZE - 1);
        std::memcpy(text, shown.data(), n);
        text[n] = '\0';
    }
    return error.empty() ? 0 : 1;
}

extern "C" int32_t DvlAppInquire(int32_t item, void* result)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    if (Fails(l, DVL_ORD_APP_INQUIRE))
        return Answer(0, result);
    if (item == DVL_APP_VERSION) {
        if (result)
            std::memcpy(result, &l.version, sizeof l.version);
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

extern "C" void DvlSysControl(DvlId system, int32_t, int32_t)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Reach(l, l.systems, system, DVL_ORD_SYS_CONTROL);
}

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
    return Inquire(&Library::systems, system, item, DVL_ORD_SYS_INQUIRE, result, SystemItem);
}

extern "C" DvlId DvlDigAlloc(DvlId system, int32_t number, const char* format, int32_t,
                             DvlId* digitizer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    ThrowIfAsked(l, DVL_ORD_DIG_ALLOC);
    return Allocate(l, DVL_ORD_DIG_ALLOC, digitizer, [&]() -> DvlId {
        const System* s = Find(l.systems, system);
        const int32_t index = number == DVL_DEFAULT ? 0 : number;
        if (!s || !format || index < 0 || index >= s->board.digitizers)
            return 0;
        for (const auto& [name, f] : s->board.formats)
            if (ondula::equal_ignoring_case(name, format)) {
                DvlId id = l.next++;
                Digitizer& d = l.digitizers[id];
                d.system = system;
                d.format = f;
                d.channel = DVL_DEFAULT;
                d.controls = {{DVL_DIG_TRIGGER_SOURCE, DVL_DEFAULT},
                              {DVL_DIG_TRIGGER_SIGNAL, DVL_DEFAULT}};
                if (!AnnounceDigitizer(l, d, index)) {
                    l.digitizers.erase(id);
                    return 0;
                }
                return id;
            }
        SetError("Digitizer format not found: " + std::string(format) + ".");
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
    StopGrabs(l, *d, joiner);
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
    HaltContinuous(l, *d, joiner);
    d->grab_buffer = buffer;
    d->grab = std::thread(GrabLoop, digitizer);
}

extern "C" void DvlDigHalt(DvlId digitizer)
{
    Library& l = Lib();
    Joiner joiner;
    std::lock_guard guard(l.lock);
    if (Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_HALT))
        HaltContinuous(l, *d, joiner);
}

extern "C" int32_t DvlDigInquire(DvlId digitizer, int32_t item, void* result)
{
    return Inquire(&Library::digitizers, digitizer, item, DVL_ORD_DIG_INQUIRE, result,
                   DigitizerItem);
}

extern "C" DvlId DvlBufAllocColor(DvlId system, int32_t bands, int32_t width, int32_t height,
                                  int32_t bits, int32_t, DvlId* buffer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return Allocate(l, DVL_ORD_BUF_ALLOC_COLOR, buffer, [&]() -> DvlId {
        if (!Find(l.systems, system) || bands < 1 || bands > 3 || width < 1 || width > 8192 ||
            height < 1 || height > 8192 || (bits != 8 && bits != 16))
            return 0;
        DvlId id = l.next++;
        Buffer& b = l.buffers[id];
        b = {system, width, height, bands, bits / 8, {}};
        for (int32_t band = 0; band < bands; ++band)
            b.planes[band].assign(std::size_t(width) * std::size_t(height) * b.bytes, 0);
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
    return Inquire(&Library::displays, display, item, DVL_ORD_DISP_INQUIRE, result, DisplayItem);
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

SimulatedBoard ZephonBoard()
{
    SimulatedBoard board;
    board.descriptor = "\\\\.\\D_SYSTEM_ZEPHON_II";
    board.board_type = 24;
    board.module = "DVLZPH2D";
    for (const char* name :
         {"D_CCIR", "D_CCIR_VIA_RGB", "D_DEFAULT", "D_NTSC", "D_NTSC_RGB", "D_NTSC_YC", "D_PAL",
          "D_PAL_RGB", "D_PAL_YC", "D_RS170", "D_RS170_VIA_RGB"}) {
        const std::string text = name;
        const bool lines_480 = text.find("NTSC") != text.npos || text.find("RS170") != text.npos;
        const int32_t bands = text.find("RGB") != text.npos ? 3 : 1;
        board.formats[text] = {lines_480 ? 640 : 768, lines_480 ? 480 : 576, bands};
    }
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

void FailNextCall(int ordinal, const std::string& text)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.next_failures[ordinal] = text;
}

void FailNextInquiry(int32_t item, const std::string& text)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.next_inquiry_failures[item] = text;
}

void ThrowOnNextCall(int ordinal, uint32_t code)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.next_throws[ordinal] = code;
}

void ClearFaults()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.faults.clear();
    l.next_failures.clear();
    l.next_inquiry_failures.clear();
    l.next_throws.clear();
}

void SetVersion(double version)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.version = version;
}

ondula::Clock& LibraryClock()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    return l.clock ? *l.clock : ondula::SteadyClock();
}

void UseClock(ondula::Clock& clock)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.clock = &clock;
}

void UseSteadyClock()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    l.clock = nullptr;
}

std::vector<DigitizerState> Digitizers()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    std::vector<DigitizerState> states;
    for (const auto& [id, d] : l.digitizers)
        states.push_back({d.name, d.channel, d.single_buffer != 0});
    return states;
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
