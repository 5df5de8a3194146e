#include "platform/ui/mask.h"

#include "platform/data/text.h"
#include "platform/ui/controls.h"

#include <cctype>

namespace {
using Slot = TEditMask::Slot;
using Case = TEditMask::Case;

bool isAsciiDigit(const std::string& ch) { return ch.size() == 1 && std::isdigit(static_cast<unsigned char>(ch[0])); }

// Letters: ASCII letters and any character outside ASCII (accented letters
// of Portuguese words).
bool isLetter(const std::string& ch) {
    if (ch.empty()) return false;
    unsigned char c = static_cast<unsigned char>(ch[0]);
    return c >= 0x80 || std::isalpha(c);
}

bool isPrintable(const std::string& ch) {
    if (ch.empty()) return false;
    unsigned char c = static_cast<unsigned char>(ch[0]);
    return c >= 0x80 || std::isprint(c);
}

// Case change for ASCII and the Latin-1 letters (à..þ / À..Þ).
std::string withCase(const std::string& ch, Case cs) {
    if (cs == Case::Keep || ch.empty()) return ch;
    return cs == Case::Upper ? AnsiUpperCase(ch) : FoldCase(ch);
}

TEditMask::Pos inputPos(Slot slot, bool required, Case cs) {
    TEditMask::Pos p;
    p.slot = slot;
    p.required = required;
    p.charCase = cs;
    return p;
}

TEditMask::Pos literalPos(const std::string& ch) {
    TEditMask::Pos p;
    p.literal = ch;
    return p;
}
}  // namespace

TEditMask::TEditMask(const std::string& editMask) {
    // "mask;save;blank": the blank may itself be a blank character.
    std::string maskPart = editMask;
    std::size_t s1 = editMask.find(';');
    if (s1 != std::string::npos) {
        maskPart = editMask.substr(0, s1);
        std::size_t s2 = editMask.find(';', s1 + 1);
        std::string save = editMask.substr(s1 + 1, s2 == std::string::npos ? std::string::npos : s2 - s1 - 1);
        saveLiterals_ = save != "0";
        if (s2 != std::string::npos && s2 + 1 < editMask.size()) blank_ = Utf8Chars(editMask.substr(s2 + 1)).front();
    }
    std::vector<std::string> chars = Utf8Chars(maskPart);
    Case cs = Case::Keep;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const std::string& c = chars[i];
        const std::string next = i + 1 < chars.size() ? chars[i + 1] : "";
        if (c == "\\") {
            if (!next.empty()) pos_.push_back(literalPos(next));
            ++i;
        } else if (c == ">" || c == "<") {
            if ((c == ">" && next == "<") || (c == "<" && next == ">")) {
                cs = Case::Keep;
                ++i;
            } else {
                cs = c == ">" ? Case::Upper : Case::Lower;
            }
        } else if (c == "!") {
            // no position of its own
        } else if (c == "0") pos_.push_back(inputPos(Slot::Digit, true, cs));
        else if (c == "9") pos_.push_back(inputPos(Slot::Digit, false, cs));
        else if (c == "#") pos_.push_back(inputPos(Slot::DigitSign, false, cs));
        else if (c == "L") pos_.push_back(inputPos(Slot::Letter, true, cs));
        else if (c == "l") pos_.push_back(inputPos(Slot::Letter, false, cs));
        else if (c == "A") pos_.push_back(inputPos(Slot::AlphaNum, true, cs));
        else if (c == "a") pos_.push_back(inputPos(Slot::AlphaNum, false, cs));
        else if (c == "C") pos_.push_back(inputPos(Slot::Any, true, cs));
        else if (c == "c") pos_.push_back(inputPos(Slot::Any, false, cs));
        else pos_.push_back(literalPos(c));
    }
}

std::string TEditMask::Accept(std::size_t i, const std::string& ch) const {
    if (i >= pos_.size()) return "";
    const Pos& p = pos_[i];
    bool ok = false;
    switch (p.slot) {
    case Slot::Literal: return "";
    case Slot::Digit: ok = isAsciiDigit(ch); break;
    case Slot::DigitSign: ok = isAsciiDigit(ch) || ch == "+" || ch == "-"; break;
    case Slot::Letter: ok = isLetter(ch); break;
    case Slot::AlphaNum: ok = isLetter(ch) || isAsciiDigit(ch); break;
    case Slot::Any: ok = isPrintable(ch); break;
    }
    return ok ? withCase(ch, p.charCase) : "";
}

// --------------------------------------------------------------- TMaskBuffer

TMaskBuffer::TMaskBuffer(const TEditMask* mask) : mask_(mask) { Clear(); }

void TMaskBuffer::Clear() { chars_.assign(mask_ ? mask_->Positions().size() : 0, std::string()); }

void TMaskBuffer::Load(const std::string& text) {
    Clear();
    if (!mask_) return;
    const auto& pos = mask_->Positions();
    std::vector<std::string> in = Utf8Chars(text);
    std::size_t j = 0;
    for (std::size_t i = 0; i < pos.size() && j < in.size(); ++i) {
        if (pos[i].slot == Slot::Literal) {
            // a text with literals carries them here; one without does not
            if (in[j] == pos[i].literal) ++j;
            continue;
        }
        const std::string& c = in[j++];
        if (c == " " || c == mask_->Blank()) continue;  // unfilled
        chars_[i] = mask_->Accept(i, c);
    }
}

std::string TMaskBuffer::Text() const {
    if (!mask_) return "";
    const auto& pos = mask_->Positions();
    int last = -1;
    for (int i = 0; i < Size(); ++i)
        if (pos[static_cast<std::size_t>(i)].slot != Slot::Literal && !chars_[static_cast<std::size_t>(i)].empty())
            last = i;
    std::string out;
    for (int i = 0; i <= last; ++i) {
        const auto& p = pos[static_cast<std::size_t>(i)];
        if (p.slot == Slot::Literal) {
            if (mask_->SaveLiterals()) out += p.literal;
        } else {
            const std::string& c = chars_[static_cast<std::size_t>(i)];
            out += c.empty() ? " " : c;
        }
    }
    return out;
}

std::string TMaskBuffer::EditText() const {
    if (!mask_) return "";
    const auto& pos = mask_->Positions();
    std::string out;
    for (std::size_t i = 0; i < pos.size(); ++i) {
        if (pos[i].slot == Slot::Literal) out += pos[i].literal;
        else out += chars_[i].empty() ? mask_->Blank() : chars_[i];
    }
    return out;
}

bool TMaskBuffer::AllBlank() const {
    if (!mask_) return true;
    const auto& pos = mask_->Positions();
    for (std::size_t i = 0; i < pos.size(); ++i)
        if (pos[i].slot != Slot::Literal && !chars_[i].empty()) return false;
    return true;
}

bool TMaskBuffer::Complete() const {
    if (!mask_) return true;
    const auto& pos = mask_->Positions();
    for (std::size_t i = 0; i < pos.size(); ++i)
        if (pos[i].slot != Slot::Literal && pos[i].required && chars_[i].empty()) return false;
    return true;
}

int TMaskBuffer::NextInput(int at) const {
    if (!mask_) return 0;
    const auto& pos = mask_->Positions();
    int i = at < 0 ? 0 : at;
    while (i < Size() && pos[static_cast<std::size_t>(i)].slot == Slot::Literal) ++i;
    return i;
}

int TMaskBuffer::PrevInput(int at) const {
    if (!mask_) return -1;
    const auto& pos = mask_->Positions();
    int i = (at > Size() ? Size() : at) - 1;
    while (i >= 0 && pos[static_cast<std::size_t>(i)].slot == Slot::Literal) --i;
    return i;
}

int TMaskBuffer::Type(int at, const std::string& ch) {
    if (!mask_) return -1;
    const auto& pos = mask_->Positions();
    // Typing the literal that stands at the cursor steps over it.
    if (at >= 0 && at < Size() && pos[static_cast<std::size_t>(at)].slot == Slot::Literal &&
        pos[static_cast<std::size_t>(at)].literal == ch)
        return at + 1;
    int i = NextInput(at);
    if (i >= Size()) return -1;
    std::string acc = mask_->Accept(static_cast<std::size_t>(i), ch);
    if (acc.empty()) return -1;
    chars_[static_cast<std::size_t>(i)] = acc;
    return i + 1;
}

void TMaskBuffer::ClearRange(int from, int to) {
    if (!mask_) return;
    const auto& pos = mask_->Positions();
    for (int i = from < 0 ? 0 : from; i < to && i < Size(); ++i)
        if (pos[static_cast<std::size_t>(i)].slot != Slot::Literal) chars_[static_cast<std::size_t>(i)].clear();
}

std::string FormatMaskText(const std::string& editMask, const std::string& value) {
    TEditMask mask(editMask);
    TMaskBuffer buf(&mask);
    buf.Load(value);
    return buf.EditText();
}
