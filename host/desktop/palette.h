// Colours and fonts of the headless controls as the desktop draws them.
//
// The screens speak the framework's colour codes: plain RGB (0x00BBGGRR) or
// system colours (negative). System colours map to one fixed, calm palette so
// that a screen looks the same on every desktop theme; clInfoBk (the yellow of
// the fields a bookkeeper fills in) stays a soft cream.
#pragma once

#include "platform/ui/controls.h"

#include <QColor>
#include <QFont>

namespace desk {

// The colour a TColor stands for; clNone gives an invalid QColor.
QColor ToQColor(TColor c);

// The application's base font (the screens' 8-point default).
QFont BaseFont();
// A control's font: the base font with the model's bold, italic and size.
QFont ToQFont(const TFont& f);

}  // namespace desk
