#include <dshow/platform.h>

#include <algorithm>
#include <atomic>
#include <map>

#include <base/text_case.h>

namespace dshow {
namespace {

using namespace std::chrono_literals;

std::atomic<ondula::Clock*> g_clock{nullptr};

struct WaitHook {
    std::mutex mutex;
    std::function<void()> hook;
};

WaitHook& Hook()
{
    static WaitHook* hook = new WaitHook;
    return *hook;
}

void RunWaitHook()
{
    std::function<void()> hook;
    {
        std::lock_guard guard(Hook().mutex);
        hook = Hook().hook;
    }
    if (hook)
        hook();
}

struct MutexNames {
    std::mutex mutex;
    std::map<std::string, int> handles;
};

MutexNames& Names()
{
    static MutexNames* names = new MutexNames;
    return *names;
}

void AppendUtf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | (c >> 18));
        *out += char(0x80 | ((c >> 12) & 0x3F));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

ondula::Clock& PlatformClock()
{
    ondula::Clock* clock = g_clock.load();
    return clock ? *clock : ondula::SteadyClock();
}

void UsePlatformClock(ondula::Clock* clock) { g_clock = clock; }

void SetEventWaitHook(std::function<void()> hook)
{
    std::lock_guard guard(Hook().mutex);
    Hook().hook = std::move(hook);
}

Event::Event(bool manual_reset) : manual_reset_(manual_reset) { }

void Event::Set()
{
    {
        std::lock_guard guard(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void Event::Reset()
{
    std::lock_guard guard(mutex_);
    set_ = false;
}

bool Event::Wait(ondula::Clock::Duration timeout)
{
    ondula::Clock& clock = PlatformClock();
    const bool steady = &clock == &ondula::SteadyClock();
    const ondula::Deadline deadline(clock, timeout);
    for (;;) {
        RunWaitHook();
        std::unique_lock lock(mutex_);
        if (set_) {
            if (!manual_reset_)
                set_ = false;
            return true;
        }
        if (deadline.Expired())
            return false;
        if (steady) {
            changed_.wait_for(lock, deadline.Remaining());
        } else {
            lock.unlock();
            clock.SleepFor(std::min<ondula::Clock::Duration>(deadline.Remaining(), 1ms));
        }
    }
}

std::unique_ptr<NamedMutex> NamedMutex::Create(const std::string& name)
{
    std::lock_guard guard(Names().mutex);
    ++Names().handles[name];
    return std::unique_ptr<NamedMutex>(new NamedMutex(name));
}

std::unique_ptr<NamedMutex> NamedMutex::Open(const std::string& name)
{
    std::lock_guard guard(Names().mutex);
    const auto it = Names().handles.find(name);
    if (it == Names().handles.end())
        return nullptr;
    ++it->second;
    return std::unique_ptr<NamedMutex>(new NamedMutex(name));
}

NamedMutex::~NamedMutex()
{
    std::lock_guard guard(Names().mutex);
    const auto it = Names().handles.find(name_);
    if (it != Names().handles.end() && --it->second == 0)
        Names().handles.erase(it);
}

std::string WideToAnsi(const std::wstring& text, std::size_t max_bytes)
{
    std::string out;
    for (const wchar_t c : text) {
        std::string one;
        AppendUtf8(&one, char32_t(c));
        if (out.size() + one.size() > max_bytes)
            break;
        out += one;
    }
    return out;
}

bool GetFileVersion(const std::string& file, uint32_t* most, uint32_t* least)
{
    if (!ondula::equal_ignoring_case(file, "quartz.dll"))
        return false;
    *most = DSHOW_VERSION_MAJOR << 16 | DSHOW_VERSION_MINOR;
    *least = 0;
    return true;
}

} // namespace dshow
