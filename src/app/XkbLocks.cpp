// XKB named-indicator query.
#include "app/XkbLocks.h"

#include <X11/XKBlib.h>

bool QueryXkbIndicator(void* display, const char* name, bool& on)
{
    on = false;
    if (!display) return false;
    Display* dpy = static_cast<Display*>(display);
    const Atom atom = XInternAtom(dpy, name, True);
    if (atom == None) return false;
    int index = 0;
    Bool state = False;
    if (!XkbGetNamedIndicator(dpy, atom, &index, &state, nullptr, nullptr)) return false;
    on = state;
    return true;
}
