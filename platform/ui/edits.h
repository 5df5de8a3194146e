// Text controls: edit, masked edit, date edit, number edit, memo, combo box.
//
// Text set from code runs OnChange when the text changes. Typing (UserChar /
// UserTypeKeys, UserType) goes key by key through OnKeyDown and OnKeyPress,
// then the control's rules (MaxLength, ReadOnly, the edit mask, the number
// characters), and runs OnChange for each accepted change.
#pragma once

#include "platform/data/datetime.h"
#include "platform/ui/controls.h"
#include "platform/ui/mask.h"

#include <string>
#include <vector>

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& text);

    int MaxLength = 0;  // characters; 0 = no limit
    bool ReadOnly = false;
    TNotifyEvent OnChange;

    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSel(int start, int length);
    void SelectAll();

    // What the user sees (a masked edit shows literals and blanks).
    virtual std::string DisplayText() const { return text_; }
    // The colour of that text.
    virtual TColor TextColor() const { return Font.Color; }

    // The user selects the whole text and types over it key by key. False
    // when the control cannot take the focus.
    bool UserType(const std::string& text);
    // The user replaces the whole text at once (paste): OnChange only.
    bool UserSet(const std::string& text);

    const char* ClassName() const override { return "TCustomEdit"; }
    const char* WidgetKind() const override { return "edit"; }

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key, const std::string& ch) override;
    // Whether a typed character may go into the text (number edits filter).
    virtual bool AcceptChar(const std::string& ch) const;
    // Whether MaxLength leaves room for one more typed character.
    virtual bool HasRoom() const;
    virtual void Change();
    // Edits the text as a person would: replace the selection with `ins`.
    virtual void ReplaceSelection(const std::string& ins);
    virtual void DeleteForward();
    virtual void DeleteBackward();
    void setTextSilently(const std::string& t) { text_ = t; }

    std::string text_;
    int selStart_ = 0;  // in characters
    int selLength_ = 0;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) { Color = clWindow; }
    const char* ClassName() const override { return "TEdit"; }
};

// Masked edit. EditMask is "mask;save-literals;blank" (see mask.h). Text is
// the saved form: literals left out when the second part is 0, and never any
// unfilled positions at its end. EditText is what the user sees.
class TMaskEdit : public TCustomEdit {
public:
    explicit TMaskEdit(TComponent* owner);

    const std::string& EditMask() const { return maskText_; }
    void SetEditMask(const std::string& mask);  // keeps the text it can

    std::string Text() const override;
    void SetText(const std::string& text) override;
    std::string EditText() const;
    std::string DisplayText() const override { return EditText(); }
    const TEditMask& Mask() const { return mask_; }

    const char* ClassName() const override { return "TMaskEdit"; }

protected:
    bool HasRoom() const override { return true; }  // the mask limits the text
    void ReplaceSelection(const std::string& ins) override;
    void DeleteForward() override;
    void DeleteBackward() override;

private:
    std::string maskText_;
    TEditMask mask_;
    TMaskBuffer buf_;
    void syncFromBuffer();
};

// Date edit: the text is "dd/mm/yyyy"; an empty text is no date (Date() 0).
class TDateEditPlus : public TMaskEdit {
public:
    explicit TDateEditPlus(TComponent* owner);

    // The date of the text; 0 when the text is empty or not a valid date.
    TDateTime Date() const;
    void SetDate(TDateTime d);  // 0 empties the text
    // Raises EConvertError "Data inválida." when the text is filled (even
    // partly) and is not a valid date.
    void CheckValidDate() const;
    bool IsEmptyText() const;

    bool SaveTime = false;
    TColor ValidDateColor = clBlue;
    std::vector<std::string> DayNames;

    // A valid date shows in ValidDateColor.
    TColor TextColor() const override { return Date() != 0 ? ValidDateColor : Font.Color; }
    const char* ClassName() const override { return "TDateEditPlus"; }
};

// Number edit: Number is the value, Text its formatting with the Brazilian
// separators ("1.234,50" with thousands, "1234,50" without). Typing accepts
// digits, one decimal separator (',' or '.') and a leading minus; leaving the
// control reformats the text.
class TNumberEdit : public TCustomEdit {
public:
    explicit TNumberEdit(TComponent* owner);

    double Number() const;  // 0 for an empty text
    void SetNumber(double value);
    bool IsValid() const;  // the text reads as a number (or is empty)

    int Decimals = 2;
    std::string NumberFormat;  // FormatFloat pattern; empty: Decimals and Thousands
    bool Currency = false;
    bool Thousands = false;

    std::string Format(double value) const;
    void DoExit() override;

    const char* ClassName() const override { return "TNumberEdit"; }
    const char* WidgetKind() const override { return "number"; }

protected:
    bool AcceptChar(const std::string& ch) const override;
};

// Multi-line text; lines are separated by "\n". MaxLength refuses typing
// beyond it (Enter types a line break, which counts as one character).
class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* owner);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    bool WordWrap = true;
    const char* ClassName() const override { return "TMemo"; }
    const char* WidgetKind() const override { return "memo"; }

protected:
    bool WantsKey(WORD key) const override { return key == VK_RETURN; }
    void KeyPress(char& key, const std::string& ch) override;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    std::vector<std::string> Items;
    TComboBoxStyle Style = csDropDown;
    TNotifyEvent OnChange;

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int i);  // code: no OnChange; -1 clears
    std::string Text() const { return text_; }
    void SetText(const std::string& t);  // selects the matching item, if any

    // The user picks an item (OnChange when the choice changes).
    bool UserSelect(int index);
    bool UserSelectText(const std::string& text);

    const char* ClassName() const override { return "TComboBox"; }
    const char* WidgetKind() const override { return "combo"; }

private:
    int itemIndex_ = -1;
    std::string text_;
};
