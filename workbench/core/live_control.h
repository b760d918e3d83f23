// Live acquisition: which document acquires and, for the imaging library's
// frame grabbers, the loop that grabs its frames on two window timers (a
// start delay, then one grab per tick), the last frame at the stop and the
// end of a failed grab. It knows no widget: the grabber, the window and the
// user's messages are reached through the small interfaces below.
#pragma once

#include <functional>
#include <string>

#include "frame_grabber_port.h"

// A document that receives live frames.
class LiveTarget {
public:
    virtual ~LiveTarget() = default;
    // The image each frame is grabbed into.
    virtual Vobject* FrameImage() = 0;
    // The handle of the frame grabber it acquires from.
    virtual long FrameGrabber() const = 0;
};

// The window the loop runs in: its timers by id, and the display of a frame.
class LiveWindow {
public:
    virtual ~LiveWindow() = default;
    // Arms timer `id` every `milliseconds`; re-arming restarts it.
    virtual void SetTimer(int id, int milliseconds) = 0;
    // Stops timer `id`; an id not running is ignored.
    virtual void KillTimer(int id) = 0;
    // Shows `frame`, just grabbed; a display failure is not reported.
    virtual void ShowFrame(const Vobject& frame) = 0;
};

// The ids of the loop's two timers in its window.
struct LiveTimerIds {
    int start; // one tick after the start delay
    int grab;  // one grab per tick
};

class LiveControl {
public:
    static constexpr int kStartDelayMs = 300;
    static constexpr int kGrabPeriodMs = 1;

    // `tell` shows a message to the user (UTF-8).
    LiveControl(FrameGrabberPort& grabbers, LiveTimerIds ids,
                std::function<void(const std::string&)> tell);
    LiveControl(const LiveControl&) = delete;
    LiveControl& operator=(const LiveControl&) = delete;

    // The document that acquires, or null.
    LiveTarget* Target() const { return m_pTarget; }
    // True while a tick is being handled.
    bool IsBusy() const { return m_bBusy; }
    // The frame grabbers of the workbench: the loop's, and every start's and
    // dialog's.
    FrameGrabberPort& Grabbers() const { return *m_pGrabbers; }
    // The frame grabbers used from now on.
    void SetGrabbers(FrameGrabberPort& grabbers) { m_pGrabbers = &grabbers; }

    // `target` acquires from its open frame grabber through the timers of
    // `window`: the start timer is armed for the start delay.
    void StartLoop(LiveTarget& target, LiveWindow& window);
    // Ends the loop: both timers killed, a last frame grabbed into the target
    // (so that the frozen image is current; its result is not looked at), no
    // document acquiring, every frame grabber closed.
    void StopLoop();
    // `target` acquires from a source that shows its frames by itself: no loop.
    void Acquire(LiveTarget& target);
    // Ends any acquisition without a last frame (a document closes): the
    // loop's timers killed, no document acquiring, every frame grabber closed.
    void End();

    // One tick of timer `id` with acquisition source `source` in force. It
    // does nothing without a document acquiring, for the sources 0 (none) and
    // 1 (one interactive grab), and while another tick is being handled. The
    // start tick hands over to the grab timer; a grab tick grabs one frame
    // and shows it, unless a grab is already in progress. A failed grab ends
    // the acquisition (grab timer killed, grabbers closed) with a message,
    // and the document keeps its last frame.
    void OnTimer(int id, int source);

private:
    void KillLoopTimers();
    void Grab();

    FrameGrabberPort* m_pGrabbers;
    LiveTimerIds m_ids;
    std::function<void(const std::string&)> m_tell;
    LiveTarget* m_pTarget = nullptr;
    LiveWindow* m_pWindow = nullptr; // null unless the loop runs
    bool m_bBusy = false;
    bool m_bGrabbing = false;
};
