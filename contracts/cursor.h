// The screen cursor for the length of a routine: set on entry, back to the
// default on the way out, also when the routine fails (an hourglass left
// behind by a screen that could not open would outlive the error box).
#pragma once

#include "platform/ui/forms.h"

class TCursorScope {
public:
    explicit TCursorScope(int cursor) { Screen->Cursor = cursor; }
    ~TCursorScope() { Screen->Cursor = crDefault; }
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;
};
