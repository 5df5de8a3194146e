// User input on the desktop, handed to the model: keys, focus moves by the
// mouse, clicks on check and radio buttons. Every event becomes the model's
// own user operation inside one action, and the widgets then show what the
// model made of it (a refused focus move puts the focus back).
//
// Keyboard habits on top of the model's keys: Enter in a one-line field
// moves on as Tab does (unless the form has a default button); F2 opens the
// lookup of the field (the grid column's ellipsis button, or the lookup
// button associated with the edit); Escape and every other key go to the
// focused control.
#pragma once

#include "host/desktop/actor.h"
#include "host/desktop/keys.h"
#include "platform/ui/controls.h"

#include <QObject>
#include <functional>

namespace desk {

// Runs one key on the focused control, with the habits above. Call it inside
// an action (Actor::Act or Dispatch).
void RouteKey(TWinControl* control, const KeyAction& key);

// F2: the lookup of the control, if it has one. False when it has none.
bool OpenLookup(TWinControl* control);

class InputFilter : public QObject {
public:
    using Resolver = std::function<TControl*(const QWidget*)>;
    InputFilter(Actor& actor, Resolver resolve, QObject* parent = nullptr);

    // While set, focus changes come from the host itself and are not user
    // moves.
    bool SettingFocus = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Actor& actor_;
    Resolver resolve_;
    bool onKey(QWidget* w, TWinControl* c, QEvent* e);
    bool onFocusIn(TWinControl* c, QEvent* e);
    bool onMouse(QWidget* w, TControl* c, QEvent* e);
};

}  // namespace desk
