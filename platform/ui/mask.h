// Edit masks: "mask;save-literals;blank", as masked edits and fields carry them.
//
//   mask characters: '0' digit required, '9' digit optional, '#' digit or sign
//   optional, 'L' letter required, 'l' letter optional, 'A' letter or digit
//   required, 'a' optional, 'C' any character required, 'c' optional;
//   '>' upper case from here, '<' lower case, "<>" no case change, '!' keeps
//   optional blanks leading (no position of its own), '\' makes the next
//   character a literal; anything else is a literal ('.', '/', '-', ...).
//   second part: "0" the text leaves the literals out, "1" keeps them
//   (default 1); third part: the blank shown in unfilled positions (default '_').
//
// Positions hold one UTF-8 character each.
#pragma once

#include <string>
#include <vector>

class TEditMask {
public:
    enum class Slot { Literal, Digit, DigitSign, Letter, AlphaNum, Any };
    enum class Case { Keep, Upper, Lower };
    struct Pos {
        Slot slot = Slot::Literal;
        bool required = false;
        Case charCase = Case::Keep;
        std::string literal;  // for Slot::Literal
    };

    TEditMask() = default;
    explicit TEditMask(const std::string& editMask);

    bool Empty() const { return pos_.empty(); }
    const std::vector<Pos>& Positions() const { return pos_; }
    bool SaveLiterals() const { return saveLiterals_; }
    const std::string& Blank() const { return blank_; }

    // The typed character as it goes into position i ("" when refused).
    std::string Accept(std::size_t i, const std::string& ch) const;

private:
    std::vector<Pos> pos_;
    bool saveLiterals_ = true;
    std::string blank_ = "_";
};

// The characters of a masked text, one per position ("" = unfilled).
class TMaskBuffer {
public:
    TMaskBuffer() = default;
    explicit TMaskBuffer(const TEditMask* mask);

    // Fills from a saved text (with or without literals, as the mask says);
    // characters that do not fit their position are dropped.
    void Load(const std::string& text);
    void Clear();
    // The saved form: no literals when the mask says so, no unfilled
    // positions (nor the literals between them) at its end; an unfilled
    // position inside becomes a blank (' ').
    std::string Text() const;
    // The shown form: literals and the blank character in unfilled positions.
    std::string EditText() const;
    bool AllBlank() const;
    bool Complete() const;  // every required position is filled

    // Typing: puts ch at the first input position at or after `at`; returns
    // the position after it, or -1 when refused.
    int Type(int at, const std::string& ch);
    void ClearRange(int from, int to);  // [from, to) become unfilled
    int NextInput(int at) const;        // first input position >= at, or size
    int PrevInput(int at) const;        // last input position < at, or -1
    int Size() const { return static_cast<int>(chars_.size()); }

private:
    const TEditMask* mask_ = nullptr;
    std::vector<std::string> chars_;
};

// Formats a raw value with a mask as a masked edit would show it, with the
// literals put in (the framework's FormatMaskText).
std::string FormatMaskText(const std::string& editMask, const std::string& value);
