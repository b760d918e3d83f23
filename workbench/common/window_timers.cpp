#include "window_timers.h"

#include <QTimer>
#include <algorithm>

#include "error_edge.h"
#include "user_message.h"

WindowTimers::WindowTimers(std::function<void(int)> onTimer) : onTimer_(std::move(onTimer)) { }

// Timers are only stopped while the object lives, never deleted, so that a
// handler may kill the timer whose tick it is handling.
WindowTimers::~WindowTimers() = default;

void WindowTimers::SetTimer(int id, int milliseconds)
{
    std::unique_ptr<QTimer>& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        // Sequences count ticks: a coarse timer would stretch 21 ticks of 50 ms.
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { Tick(id); });
    }
    timer->start(std::max(0, milliseconds));
}

void WindowTimers::KillTimer(int id)
{
    const auto it = timers_.find(id);
    if (it != timers_.end())
        it->second->stop();
}

bool WindowTimers::IsActive(int id) const
{
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void WindowTimers::Tick(int id)
{
    const QString failure = CatchAtErrorEdge([&] { onTimer_(id); });
    if (failure.isEmpty())
        return;
    KillTimer(id);
    UserMessage(failure);
}
