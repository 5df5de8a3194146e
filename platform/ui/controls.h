// Headless controls: the tree the screens build and the front ends render.
//
// A control has an Owner (TComponent: who destroys it) and a Parent (the
// container it sits in). Properties without side effects are plain members
// (Enabled, Visible, Caption, ...); those with side effects have a getter and
// a setter (Text()/SetText(), Checked()/SetChecked(), ...).
//
// Focus lives per form (TForm::ActiveControl). SetFocus(target) runs OnExit
// from the focused control up through every container the focus leaves, then
// OnEnter down through every container it enters. An exception from an exit
// handler stops the move and propagates (to the dispatcher); the focus stays
// where the handlers left it. A handler may move the focus itself; the move
// that was running is then abandoned.
//
// User input enters through the User* operations (front ends call them inside
// Dispatch); they run the key and click events a person would cause.
#pragma once

#include "platform/data/component.h"

#include <functional>
#include <string>
#include <vector>

class TWinControl;
class TForm;

using TObject = TComponent;
using WORD = unsigned short;

// Keyboard shift state, as key events receive it.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

class TShiftState {
public:
    TShiftState() = default;
    TShiftState(TShiftFlag f) : bits_(f) {}
    bool Contains(TShiftFlag f) const { return (bits_ & f) != 0; }
    bool Empty() const { return bits_ == 0; }
    TShiftState& operator<<(TShiftFlag f) {
        bits_ |= f;
        return *this;
    }
    friend bool operator==(TShiftState a, TShiftState b) { return a.bits_ == b.bits_; }

private:
    unsigned bits_ = 0;
};

// Virtual key codes the screens and the front ends use.
constexpr WORD VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
               VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45,
               VK_DELETE = 46, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115, VK_F5 = 116;
// Key code of a typed character (letters upper case, digits as such).
WORD VirtualKeyOf(char c);

// Colours: RGB as 0x00BBGGRR, system colours as negative values.
using TColor = int;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = -16777216, clWindow = -16777211, clWindowText = -16777208, clHighlight = -16777203,
                 clHighlightText = -16777202, clBtnFace = -16777201, clGrayText = -16777199, clBtnText = -16777198,
                 clInfoText = -16777193, clInfoBk = -16777192, clNone = 0x1FFFFFFF;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TFont {
    bool Bold = false;
    bool Italic = false;
    TColor Color = clWindowText;
    int Size = 8;
    std::string Name;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
// A handler may set Key to 0 to swallow the key.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);  // nullptr detaches

    bool Enabled = true;
    bool Visible = true;
    std::string Caption;
    std::string Hint;
    bool ShowHint = false;
    TAlign Align = alNone;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    TColor Color = clBtnFace;
    TFont Font;
    int HelpContext = 0;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // Visible and enabled up the parent chain (a tab sheet shows only while it
    // is its page control's active page).
    bool Showing() const;
    bool EnabledChain() const;
    TForm* ParentForm() const;  // the form this control sits in, nullptr if none

    // Runs OnClick (code and user alike; subclasses add their own effects).
    virtual void Click();
    virtual void DblClick();

    // Class name as a front end or a dump shows it ("TEdit", "TDBGrid", ...).
    virtual const char* ClassName() const { return "TControl"; }
    // The kind of widget a front end draws for the control ("label", "edit",
    // "grid", ...); a subclass keeps its parent's kind unless it draws
    // differently. A front end keeps one table from kinds to widgets.
    virtual const char* WidgetKind() const { return "control"; }

    // The form itself (the root of the parent chain), or nullptr.
    virtual TForm* AsForm() { return nullptr; }
    // The control as one that can hold the focus and children, or nullptr.
    virtual TWinControl* AsWinControl() { return nullptr; }
    bool IsWindowed() const { return const_cast<TControl*>(this)->AsWinControl() != nullptr; }
    const TForm* AsForm() const { return const_cast<TControl*>(this)->AsForm(); }
    // Whether the control shows where its parent shows it (a tab sheet only
    // while it is its page control's active page).
    virtual bool ShownInParent() const { return Visible; }

    // --- user input (front ends) ------------------------------------------
    // A click by the user: refused (false, nothing happens) on a control that
    // is hidden or disabled; a focusable control takes the focus first and
    // the click is dropped when that move is refused by an exit handler.
    virtual bool UserClick();
    virtual bool UserDblClick();

private:
    TWinControl* parent_ = nullptr;
    friend class TWinControl;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(children_.size()); }
    TControl* Controls(int i) const { return children_.at(static_cast<std::size_t>(i)); }
    bool ContainsControl(const TControl* c) const;  // c is this or below it

    int TabOrder = 0;      // order among the siblings for Tab; ties keep creation order
    bool TabStop = false;  // Tab stops here (edits, buttons, grids)

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Showing and enabled up to the form: the control can take the focus.
    bool CanFocus() const;
    bool Focused() const;
    // Moves the focus here (see the header comment). Returns false and does
    // nothing when the control cannot take the focus or sits in no form.
    // Exceptions of exit and enter handlers propagate.
    bool SetFocus();

    // Enter/exit of this control as the focus chain passes it: run OnEnter /
    // OnExit. Controls with their own behaviour (grids) extend them.
    virtual void DoEnter();
    virtual void DoExit();

    // --- keyboard (front ends; also usable by code) -------------------------
    // A key pressed with this control focused: the form's key preview, then
    // OnKeyDown, then the control's own handling (KeyDown). Characters go
    // through UserChar. Returns false when the control cannot take the focus.
    bool UserKey(WORD key, TShiftState shift = {});
    // One typed character (a UTF-8 sequence): key down with its key code, then
    // the form's preview and OnKeyPress, then the control's handling (KeyPress).
    bool UserChar(const std::string& ch);
    // Types each character of the text in turn.
    bool UserTypeKeys(const std::string& text);

    const char* ClassName() const override { return "TWinControl"; }
    const char* WidgetKind() const override { return "container"; }
    TWinControl* AsWinControl() override { return this; }
    bool UserClick() override;

protected:
    // Default handling after the events (Tab moves to the next control).
    virtual void KeyDown(WORD& key, TShiftState shift);
    // Default handling of a typed character; `ch` is the whole UTF-8
    // sequence, `key` its first byte as the handlers left it.
    virtual void KeyPress(char& key, const std::string& ch);
    // Keys the control handles itself instead of the form (Tab, Enter, Escape).
    virtual bool WantsKey(WORD /*key*/) const { return false; }
    // A button answers Enter and Escape itself; other controls hand them to
    // the form's default and cancel buttons.
    virtual bool AnswersDialogKeys() const { return false; }
    bool ensureFocus();  // focus this control for a user action; false if refused

private:
    std::vector<TControl*> children_;
    friend class TControl;
    friend class TForm;
};

// Characters (code points) of a UTF-8 text, splitting it into them.
std::vector<std::string> Utf8Chars(const std::string& s);
