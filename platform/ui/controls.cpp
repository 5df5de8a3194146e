#include "platform/ui/controls.h"

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

#include <algorithm>
#include <cctype>

// ---------------------------------------------------------------- helpers

WORD VirtualKeyOf(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80) return 0xE7;  // a character outside the keyboard's codes
    if (std::isalpha(u)) return static_cast<WORD>(std::toupper(u));
    if (std::isdigit(u) || u == ' ') return u;
    // Shifted digits and punctuation keep apart from the control keys'
    // codes, so that typing '%' is never taken for the Left key.
    static const std::string shifted = ")!@#$%^&*(";
    if (auto p = shifted.find(c); p != std::string::npos) return static_cast<WORD>('0' + p);
    switch (c) {
    case ';':
    case ':': return 186;
    case '=':
    case '+': return 187;
    case ',':
    case '<': return 188;
    case '-':
    case '_': return 189;
    case '.':
    case '>': return 190;
    case '/':
    case '?': return 191;
    case '`':
    case '~': return 192;
    case '[':
    case '{': return 219;
    case '\\':
    case '|': return 220;
    case ']':
    case '}': return 221;
    case '\'':
    case '"': return 222;
    default: return 0xE7;
    }
}

std::vector<std::string> Utf8Chars(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        n = std::min(n, s.size() - i);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

namespace {
bool isWithin(const TControl* x, const TControl* container) {
    for (const TControl* c = x; c; c = c->Parent())
        if (c == container) return true;
    return false;
}
}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    if (parent_) {
        if (TForm* f = ParentForm()) f->controlGone(this);
        auto& sib = parent_->children_;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
        parent_ = nullptr;
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        if (TForm* f = ParentForm()) f->controlGone(this);
        auto& sib = parent_->children_;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    }
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (c->AsForm()) return true;  // the form's own visibility is its window's
        if (!c->ShownInParent()) return false;
    }
    return true;
}

bool TControl::EnabledChain() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Enabled) return false;
    return true;
}

TForm* TControl::ParentForm() const {
    for (TControl* c = Parent(); c; c = c->Parent())
        if (TForm* f = c->AsForm()) return f;
    return nullptr;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TControl::UserClick() {
    if (!Showing() || !EnabledChain()) return false;
    Click();
    return true;
}

bool TWinControl::UserClick() {
    if (!Showing() || !EnabledChain() || !CanFocus()) return false;
    // the click lands only if the focused control lets the focus go
    if (TabStop && !ensureFocus()) return true;
    Click();
    return true;
}

bool TControl::UserDblClick() {
    if (!Showing() || !EnabledChain()) return false;
    DblClick();
    return true;
}

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    // Children may outlive this container for a moment (their owner deletes
    // them later): they must not reach back into it.
    if (TForm* f = ParentForm()) f->controlGone(this);
    for (TControl* c : children_) c->parent_ = nullptr;
    children_.clear();
}

bool TWinControl::ContainsControl(const TControl* c) const { return isWithin(c, this); }

bool TWinControl::CanFocus() const {
    if (!ParentForm() && !AsForm()) return false;
    return Showing() && EnabledChain();
}

bool TWinControl::Focused() const {
    TForm* f = ParentForm();
    return f && f->ActiveControl() == this;
}

bool TWinControl::SetFocus() {
    TForm* f = ParentForm();
    if (!f || !CanFocus()) return false;
    return f->FocusControl(this);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::ensureFocus() {
    if (Focused()) return true;
    SetFocus();
    return Focused();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_TAB) {
        if (TForm* f = ParentForm()) f->SelectNext(this, !shift.Contains(ssShift));
        key = 0;
    }
}

void TWinControl::KeyPress(char& /*key*/, const std::string& /*ch*/) {}

namespace {
// The form's key preview, then the control's own event.
void keyDownEvents(TWinControl* c, WORD& key, TShiftState shift) {
    TForm* f = c->ParentForm();
    if (f && f->KeyPreview && f->OnKeyDown) f->OnKeyDown(f, key, shift);
    if (key && c->OnKeyDown) c->OnKeyDown(c, key, shift);
}

void keyPressEvents(TWinControl* c, char& key) {
    TForm* f = c->ParentForm();
    if (f && f->KeyPreview && f->OnKeyPress) f->OnKeyPress(f, key);
    if (key && c->OnKeyPress) c->OnKeyPress(c, key);
}

// The buttons that answer Enter and Escape in a form ("dialog keys").
TButton* dialogButton(TForm* f, bool isDefault) {
    if (!f) return nullptr;
    for (int i = 0; i < f->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(f->Components(i)))
            if ((isDefault ? b->Default : b->Cancel) && b->CanFocus()) return b;
    return nullptr;
}
}  // namespace

bool TWinControl::UserKey(WORD key, TShiftState shift) {
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;  // an exit handler kept the focus elsewhere
    const WORD original = key;
    if (original == VK_TAB && !WantsKey(VK_TAB)) {
        // Tab belongs to the form unless the control takes it.
        if (TForm* f = ParentForm()) f->SelectNext(this, !shift.Contains(ssShift));
        return true;
    }
    if ((original == VK_RETURN || original == VK_ESCAPE) && !WantsKey(original) && !AnswersDialogKeys()) {
        // Dialog keys: the form's default or cancel button answers them.
        if (TButton* b = dialogButton(ParentForm(), original == VK_RETURN)) {
            b->UserClick();
            return true;
        }
    }
    keyDownEvents(this, key, shift);
    if (key) KeyDown(key, shift);
    char ch = original == VK_RETURN ? '\r' : original == VK_ESCAPE ? '\x1b' : original == VK_BACK ? '\b' : 0;
    if (ch && Focused()) {
        std::string s(1, ch);
        keyPressEvents(this, ch);
        if (ch) KeyPress(ch, s);
    }
    return true;
}

bool TWinControl::UserChar(const std::string& chText) {
    if (chText.empty()) return true;
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;
    WORD key = VirtualKeyOf(chText[0]);
    keyDownEvents(this, key, {});
    // As with the framework, swallowing the key-down does not stop the
    // character: only the key-press handlers can refuse it.
    char k = chText[0];
    const char original = k;
    keyPressEvents(this, k);
    if (!k) return true;
    std::string typed = k == original ? chText : std::string(1, k);
    KeyPress(k, typed);
    return true;
}

bool TWinControl::UserTypeKeys(const std::string& text) {
    if (!CanFocus()) return false;
    for (const std::string& ch : Utf8Chars(text)) {
        if (!Focused() && !ensureFocus()) break;  // a handler took the focus away
        UserChar(ch);
    }
    return true;
}
