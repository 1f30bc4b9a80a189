#include "app/LockKeyState.h"

#include <QGuiApplication>

#ifdef SKIMBLER_HAVE_X11
#include <QtGui/qguiapplication_platform.h>

// Xlib last: its macros (None, Bool, Status ...) would clash with Qt's names.
#include <X11/XKBlib.h>
#endif

bool LockKeyState::Query(Key key, bool *on)
{
#if defined(SKIMBLER_HAVE_X11) && QT_CONFIG(xcb)
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const char *name = key == CapsLock ? "Caps Lock" : key == NumLock ? "Num Lock" : "Scroll Lock";
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return false;
    int state = 0;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
        return false;
    *on = state != 0;
    return true;
#else
    Q_UNUSED(key);
    Q_UNUSED(on);
    return false;
#endif
}
