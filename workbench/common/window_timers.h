// Window timers by id: each id is one QTimer whose ticks call one handler
// with the id, as a window's timer messages do.
#pragma once

#include <functional>
#include <map>
#include <memory>

class QTimer;

class WindowTimers {
public:
    // `onTimer` is called with the id at every tick, on the GUI thread. A
    // tick that ends with an exception stops its timer, then shows the
    // exception's message (error_edge.h): once, not at every tick.
    explicit WindowTimers(std::function<void(int)> onTimer);
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    // Arms timer `id` to tick every `milliseconds` (a negative period counts as
    // 0); re-arming an id restarts it with the new period.
    void SetTimer(int id, int milliseconds);
    // Stops timer `id`; an id never set or stopped already is ignored. Safe
    // from inside the handler, also for the id being handled.
    void KillTimer(int id);
    bool IsActive(int id) const;

private:
    void Tick(int id);

    std::function<void(int)> onTimer_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};
