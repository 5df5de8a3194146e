#include "host/desktop/keys.h"

namespace desk {
namespace {

WORD VirtualKeyOfQt(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_F1: return VK_F1;
    case Qt::Key_F2: return VK_F2;
    case Qt::Key_F3: return VK_F3;
    case Qt::Key_F4: return VK_F4;
    case Qt::Key_F5: return VK_F5;
    default: return 0;
    }
}

TShiftState ShiftOf(Qt::KeyboardModifiers m, int key) {
    TShiftState s;
    if (m.testFlag(Qt::ShiftModifier) || key == Qt::Key_Backtab) s << ssShift;
    if (m.testFlag(Qt::ControlModifier)) s << ssCtrl;
    if (m.testFlag(Qt::AltModifier)) s << ssAlt;
    return s;
}

}  // namespace

KeyAction TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
    KeyAction a;
    if (WORD vk = VirtualKeyOfQt(qtKey)) {
        a.kind = KeyAction::Key;
        a.vk = vk;
        a.shift = ShiftOf(modifiers, qtKey);
        return a;
    }
    // Shortcuts with Ctrl or Alt are the desktop's (copy, menus), not typing.
    if (modifiers.testFlag(Qt::ControlModifier) || modifiers.testFlag(Qt::AltModifier)) return a;
    if (text.isEmpty()) return a;
    const QChar first = text.at(0);
    if (first.category() == QChar::Other_Control) return a;
    a.kind = KeyAction::Char;
    a.text = text.left(first.isHighSurrogate() ? 2 : 1).toStdString();
    return a;
}

}  // namespace desk
