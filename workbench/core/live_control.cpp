#include "live_control.h"

#include "flag_scope.h"

namespace {

const char* const kGrabFailed =
    "Erreur sur fonction Acq. permanente !\nVérifier votre caméra (shutter, diaphragme, ...";

} // namespace

LiveControl::LiveControl(FrameGrabberPort& grabbers, LiveTimerIds ids,
                         std::function<void(const std::string&)> tell)
    : m_pGrabbers(&grabbers), m_ids(ids), m_tell(std::move(tell))
{
}

void LiveControl::StartLoop(LiveTarget& target, LiveWindow& window)
{
    m_pTarget = &target;
    m_pWindow = &window;
    m_pWindow->SetTimer(m_ids.start, kStartDelayMs);
}

void LiveControl::Acquire(LiveTarget& target)
{
    m_pTarget = &target;
    m_pWindow = nullptr;
}

void LiveControl::KillLoopTimers()
{
    if (!m_pWindow)
        return;
    m_pWindow->KillTimer(m_ids.start);
    m_pWindow->KillTimer(m_ids.grab);
}

void LiveControl::StopLoop()
{
    KillLoopTimers();
    if (m_pTarget && m_pWindow)
        m_pGrabbers->GrabImage(m_pTarget->FrameImage(), m_pTarget->FrameGrabber());
    m_pTarget = nullptr;
    m_pWindow = nullptr;
    m_pGrabbers->CloseAll();
}

void LiveControl::End()
{
    KillLoopTimers();
    m_pTarget = nullptr;
    m_pWindow = nullptr;
    m_pGrabbers->CloseAll();
}

void LiveControl::OnTimer(int id, int source)
{
    if (!m_pTarget || !m_pWindow || source <= 1 || m_bBusy)
        return;
    FlagScope busy(m_bBusy);
    if (id == m_ids.start) {
        m_pWindow->KillTimer(m_ids.start);
        m_bGrabbing = false;
        m_pWindow->SetTimer(m_ids.grab, kGrabPeriodMs);
    } else if (id == m_ids.grab && !m_bGrabbing) {
        FlagScope grabbing(m_bGrabbing);
        Grab();
    }
}

void LiveControl::Grab()
{
    Vobject* image = m_pTarget->FrameImage();
    if (m_pGrabbers->GrabImage(image, m_pTarget->FrameGrabber()) == V_OK) {
        m_pWindow->ShowFrame(*image);
        return;
    }
    m_pWindow->KillTimer(m_ids.grab);
    m_pTarget = nullptr;
    m_pWindow = nullptr;
    m_pGrabbers->CloseAll();
    m_tell(kGrabFailed);
}
