// Which view key a Qt key press is: Enter, the view digits 0 to 4 (main keyboard or keypad,
// whatever Shift makes them type), F, G, U, D, or none of them.
#pragma once

#include "interaction/NavigationTools.h"

class QKeyEvent;

EViewKey ViewKeyOf(const QKeyEvent& event);
