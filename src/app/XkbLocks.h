// The on/off state of a named keyboard indicator on an X server, kept apart from Qt code
// because the X11 headers define macros that clash with Qt names.
#pragma once

// Returns false when the display or the indicator is unknown.
bool QueryXkbIndicator(void* display, const char* name, bool& on);
