// Qt key presses to view keys. Qt reports the symbol a key types, which for a digit key with
// Shift is no digit ("#" for Shift+3 on most layouts), so the digit row is also recognised by
// the keys' positions, as the digit keys' virtual-key codes are elsewhere.
#include "view/ViewKeys.h"

#include <QKeyEvent>

namespace {

// X11 and Wayland key codes (evdev + 8) of the main keyboard's digit keys 0 to 4. The codes
// name the physical keys, so they hold for every layout.
constexpr quint32 kDigitRowCodes[5] = {19, 10, 11, 12, 13};

EViewKey Digit(int digit) { return static_cast<EViewKey>(static_cast<int>(EViewKey::k0) + digit); }

}  // namespace

EViewKey ViewKeyOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return EViewKey::kEnter;
    case Qt::Key_0:
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4: return Digit(event.key() - Qt::Key_0);  // the keypad's digits too
    case Qt::Key_F: return EViewKey::kF;
    case Qt::Key_G: return EViewKey::kG;
    case Qt::Key_U: return EViewKey::kU;
    case Qt::Key_D: return EViewKey::kD;
    default: break;
    }
    for (int digit = 0; digit < 5; ++digit)
        if (event.nativeScanCode() == kDigitRowCodes[digit]) return Digit(digit);
    return EViewKey::kOther;
}
