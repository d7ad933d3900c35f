#include "app/KeyboardRepeat.h"

#include <QGuiApplication>

#ifdef ORX_HAVE_XKB
// After every Qt header: Xlib defines names (Bool, None, KeyPress) Qt uses.
#include <X11/XKBlib.h>
#endif

void UseDetectableKeyRepeat() {
#ifdef ORX_HAVE_XKB
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return;
    Bool supported = False;
    XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
#endif
}
