#include "platform/ui/edits.h"

#include "platform/data/format.h"
#include "platform/ui/dispatch.h"

#include <algorithm>

namespace {
std::string joinChars(const std::vector<std::string>& chars, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < chars.size(); ++i) out += chars[i];
    return out;
}

int charCount(const std::string& s) { return static_cast<int>(Utf8Chars(s).size()); }
}  // namespace

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    Color = clWindow;
}

void TCustomEdit::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    selStart_ = charCount(text_);
    selLength_ = 0;
    Change();
}

void TCustomEdit::SetSel(int start, int length) {
    const int n = charCount(DisplayText());
    selStart_ = std::clamp(start, 0, n);
    selLength_ = std::clamp(length, 0, n - selStart_);
}

void TCustomEdit::SelectAll() { SetSel(0, charCount(DisplayText())); }

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

bool TCustomEdit::UserType(const std::string& text) {
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;  // the focused control kept the focus
    SelectAll();
    if (text.empty()) return UserKey(VK_DELETE);
    return UserTypeKeys(text);
}

bool TCustomEdit::UserSet(const std::string& text) {
    if (!Showing() || !EnabledChain()) return false;
    SetText(text);
    return true;
}

bool TCustomEdit::AcceptChar(const std::string& /*ch*/) const { return true; }

bool TCustomEdit::HasRoom() const { return MaxLength <= 0 || charCount(text_) - selLength_ < MaxLength; }

void TCustomEdit::KeyDown(WORD& key, TShiftState shift) {
    const int n = charCount(DisplayText());
    switch (key) {
    case VK_DELETE:
        if (!ReadOnly) DeleteForward();
        break;
    case VK_LEFT: SetSel(selStart_ - 1, 0); break;
    case VK_RIGHT: SetSel(selStart_ + selLength_ + 1, 0); break;
    case VK_HOME: SetSel(0, 0); break;
    case VK_END: SetSel(n, 0); break;
    default: TWinControl::KeyDown(key, shift);
    }
}

void TCustomEdit::KeyPress(char& key, const std::string& ch) {
    if (key == '\b') {
        if (!ReadOnly) DeleteBackward();
        return;
    }
    if (static_cast<unsigned char>(key) < 32) return;  // other control characters
    if (ReadOnly || !AcceptChar(ch) || !HasRoom()) return;
    ReplaceSelection(ch);
}

void TCustomEdit::ReplaceSelection(const std::string& ins) {
    std::vector<std::string> chars = Utf8Chars(text_);
    const auto from = static_cast<std::size_t>(std::min<int>(selStart_, static_cast<int>(chars.size())));
    const auto to = std::min(chars.size(), from + static_cast<std::size_t>(selLength_));
    std::string next = joinChars(chars, 0, from) + ins + joinChars(chars, to, chars.size());
    selStart_ = static_cast<int>(from) + charCount(ins);
    selLength_ = 0;
    if (next == text_) return;
    text_ = next;
    Change();
}

void TCustomEdit::DeleteForward() {
    if (selLength_ == 0) {
        if (selStart_ >= charCount(text_)) return;
        selLength_ = 1;
    }
    ReplaceSelection("");
}

void TCustomEdit::DeleteBackward() {
    if (selLength_ == 0) {
        if (selStart_ == 0) return;
        --selStart_;
        selLength_ = 1;
    }
    ReplaceSelection("");
}

// ------------------------------------------------------------------ TMaskEdit

TMaskEdit::TMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TMaskEdit::SetEditMask(const std::string& mask) {
    const std::string old = Text();
    maskText_ = mask;
    mask_ = TEditMask(mask);
    buf_ = TMaskBuffer(&mask_);
    if (mask_.Empty()) {
        text_ = old;
    } else {
        buf_.Load(old);
        syncFromBuffer();
    }
    selStart_ = 0;
    selLength_ = 0;
}

std::string TMaskEdit::Text() const { return mask_.Empty() ? text_ : buf_.Text(); }

std::string TMaskEdit::EditText() const { return mask_.Empty() ? text_ : buf_.EditText(); }

void TMaskEdit::SetText(const std::string& text) {
    if (mask_.Empty()) {
        TCustomEdit::SetText(text);
        return;
    }
    const std::string before = buf_.EditText();
    buf_.Load(text);
    syncFromBuffer();
    selStart_ = 0;
    selLength_ = 0;
    if (buf_.EditText() != before) Change();
}

void TMaskEdit::syncFromBuffer() { text_ = buf_.EditText(); }

void TMaskEdit::ReplaceSelection(const std::string& ins) {
    if (mask_.Empty()) {
        TCustomEdit::ReplaceSelection(ins);
        return;
    }
    // A character the position refuses changes nothing, not even the
    // selection it would have replaced.
    TMaskBuffer trial = buf_;
    trial.ClearRange(selStart_, selStart_ + selLength_);
    int at = selStart_;
    if (!ins.empty()) {
        at = trial.Type(selStart_, ins);
        if (at < 0) return;
    }
    const std::string before = buf_.EditText();
    buf_ = trial;
    syncFromBuffer();
    selStart_ = at;
    selLength_ = 0;
    if (buf_.EditText() != before) Change();
}

void TMaskEdit::DeleteForward() {
    if (mask_.Empty()) {
        TCustomEdit::DeleteForward();
        return;
    }
    if (selLength_ == 0) {
        int i = buf_.NextInput(selStart_);
        if (i >= buf_.Size()) return;
        selStart_ = i;
        selLength_ = 1;
    }
    ReplaceSelection("");
}

void TMaskEdit::DeleteBackward() {
    if (mask_.Empty()) {
        TCustomEdit::DeleteBackward();
        return;
    }
    if (selLength_ == 0) {
        int i = buf_.PrevInput(selStart_);
        if (i < 0) return;
        selStart_ = i;
        selLength_ = 1;
    }
    ReplaceSelection("");
}

// -------------------------------------------------------------- TDateEditPlus

TDateEditPlus::TDateEditPlus(TComponent* owner) : TMaskEdit(owner) { SetEditMask("!99/99/9999;1; "); }

bool TDateEditPlus::IsEmptyText() const { return Mask().Empty() ? text_.empty() : Text().empty(); }

TDateTime TDateEditPlus::Date() const {
    if (IsEmptyText()) return 0;
    TDateTime d = 0;
    return TryStrToDate(Text(), d) ? d : 0;
}

void TDateEditPlus::SetDate(TDateTime d) { SetText(d == 0 ? std::string() : DateToStr(d)); }

void TDateEditPlus::CheckValidDate() const {
    if (IsEmptyText()) return;
    TDateTime d = 0;
    if (!TryStrToDate(Text(), d)) throw EConvertError("Data inválida.");
}

// ---------------------------------------------------------------- TNumberEdit

TNumberEdit::TNumberEdit(TComponent* owner) : TCustomEdit(owner) {}

std::string TNumberEdit::Format(double value) const {
    std::string pattern = NumberFormat;
    if (pattern.empty()) {
        pattern = Thousands ? "#,##0" : "0";
        if (Decimals > 0) pattern += "." + std::string(static_cast<std::size_t>(Decimals), '0');
    }
    return FormatFloat(pattern, value);
}

bool TNumberEdit::IsValid() const {
    if (text_.empty()) return true;
    double v = 0;
    return TryStrToFloat(text_, v);
}

double TNumberEdit::Number() const {
    double v = 0;
    if (text_.empty() || !TryStrToFloat(text_, v)) return 0;
    return v;
}

void TNumberEdit::SetNumber(double value) { SetText(Format(value)); }

bool TNumberEdit::AcceptChar(const std::string& ch) const {
    if (ch.size() != 1) return false;
    char c = ch[0];
    if (c >= '0' && c <= '9') return true;
    if (c == ',' || c == '.') return true;
    return c == '-' && selStart_ == 0;
}

void TNumberEdit::DoExit() {
    // A number that does not read keeps the focus here, so it is never
    // taken silently as zero.
    if (!IsValid()) throw EConvertError("Número inválido: " + text_ + ".");
    if (!text_.empty()) SetText(Format(Number()));
    TCustomEdit::DoExit();
}

// ---------------------------------------------------------------------- TMemo

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {}

std::vector<std::string> TMemo::Lines() const {
    std::vector<std::string> out;
    if (text_.empty()) return out;
    std::size_t start = 0;
    for (;;) {
        std::size_t nl = text_.find('\n', start);
        out.push_back(text_.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return out;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
    std::string t;
    for (std::size_t i = 0; i < lines.size(); ++i) t += (i ? "\n" : "") + lines[i];
    SetText(t);
}

void TMemo::KeyPress(char& key, const std::string& ch) {
    if (key == '\r') {
        if (!ReadOnly && HasRoom()) ReplaceSelection("\n");
        return;
    }
    TCustomEdit::KeyPress(key, ch);
}

// ------------------------------------------------------------------ TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    Color = clWindow;
}

void TComboBox::SetItemIndex(int i) {
    itemIndex_ = i >= 0 && i < static_cast<int>(Items.size()) ? i : -1;
    text_ = itemIndex_ >= 0 ? Items[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void TComboBox::SetText(const std::string& t) {
    auto it = std::find(Items.begin(), Items.end(), t);
    if (it != Items.end()) {
        SetItemIndex(static_cast<int>(it - Items.begin()));
    } else if (Style == csDropDown) {
        itemIndex_ = -1;
        text_ = t;
    }
}

bool TComboBox::UserSelect(int index) {
    if (!CanFocus() || index < 0 || index >= static_cast<int>(Items.size())) return false;
    if (!ensureFocus()) return true;
    if (index == itemIndex_) return true;
    SetItemIndex(index);
    if (OnChange) OnChange(this);
    return true;
}

bool TComboBox::UserSelectText(const std::string& text) {
    auto it = std::find(Items.begin(), Items.end(), text);
    if (it == Items.end()) return false;
    return UserSelect(static_cast<int>(it - Items.begin()));
}
