#include "key_lock_state.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace {

#if QT_CONFIG(xcb)
// The indicators by the names the keyboard extension gives them: their
// numbers differ between keyboard maps.
KeyLocks ReadX11Indicators(Display* display)
{
    static const Atom names[3] = {
        XInternAtom(display, "Caps Lock", True),
        XInternAtom(display, "Num Lock", True),
        XInternAtom(display, "Scroll Lock", True),
    };
    KeyLocks locks;
    bool* const states[3] = {&locks.capsLock, &locks.numLock, &locks.scrollLock};
    for (int i = 0; i < 3; ++i) {
        Bool on = False;
        if (names[i] == None ||
            !XkbGetNamedIndicator(display, names[i], nullptr, &on, nullptr, nullptr))
            return {};
        *states[i] = on != False;
    }
    locks.known = true;
    return locks;
}
#endif

} // namespace

KeyLocks ReadKeyLocks()
{
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (Display* display = x11->display())
                return ReadX11Indicators(display);
#endif
    return {};
}
