// What a key pressed on the desktop means to the headless model: a virtual
// key with its shift state (Tab, Enter, arrows, F2, Ctrl+Delete...) or one
// typed character (UTF-8). Keys the model has no use for give None.
#pragma once

#include "platform/ui/controls.h"

#include <QString>
#include <Qt>
#include <string>

namespace desk {

struct KeyAction {
    enum Kind { None, Key, Char };
    Kind kind = None;
    WORD vk = 0;
    TShiftState shift;
    std::string text;  // for Char
};

KeyAction TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace desk
