// Buttons, labels, radio buttons, containers, pages and menus.
#pragma once

#include "platform/ui/controls.h"

#include <string>
#include <vector>

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
                       mrAll = 8;

// A push button: takes the focus when clicked by the user; its ModalResult
// (when not mrNone) becomes the form's before OnClick runs.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    TModalResult ModalResult = mrNone;
    bool Default = false;  // Enter in the form clicks it
    bool Cancel = false;   // Escape clicks it; a modal form left without input is closed by it
    void Click() override;
    const char* ClassName() const override { return "TButton"; }
    const char* WidgetKind() const override { return "button"; }

protected:
    void KeyDown(WORD& key, TShiftState shift) override;  // Enter and Space click it
    bool AnswersDialogKeys() const override { return true; }
};

// A tool button: never takes the focus, so clicking it leaves the focused
// control (and its exit handlers) alone.
class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(TComponent* owner);
    bool Flat = false;
    bool Cancel = false;  // closes a modal form left without input
    int GroupIndex = 0;
    bool Down = false;
    bool AllowAllUp = false;
    std::string GlyphName;  // picture shown by a desktop front end
    void Click() override;
    const char* ClassName() const override { return "TSpeedButton"; }
    const char* WidgetKind() const override { return "speedbutton"; }
};

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);
    TWinControl* FocusControl = nullptr;  // the control the label names
    bool AutoSize = true;
    bool Transparent = true;
    bool WordWrap = false;
    const char* ClassName() const override { return "TLabel"; }
    const char* WidgetKind() const override { return "label"; }
};

// Checking one radio button unchecks its siblings (same parent). Checking
// from code runs OnClick when the button was not checked; clicking a checked
// button runs nothing.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool UserClick() override;
    const char* ClassName() const override { return "TRadioButton"; }
    const char* WidgetKind() const override { return "radio"; }

private:
    bool checked_ = false;
};

// Toggling from code or by the user runs OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool UserClick() override;
    const char* ClassName() const override { return "TCheckBox"; }
    const char* WidgetKind() const override { return "check"; }

private:
    bool checked_ = false;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    TBevelCut BevelInner = bvNone;
    TBevelCut BevelOuter = bvRaised;
    int BorderWidth = 0;
    const char* ClassName() const override { return "TPanel"; }
    const char* WidgetKind() const override { return "panel"; }
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    const char* ClassName() const override { return "TGroupBox"; }
    const char* WidgetKind() const override { return "group"; }
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);
    const char* ClassName() const override { return "TScrollBox"; }
    const char* WidgetKind() const override { return "scrollbox"; }
};

class TSplitter : public TControl {
public:
    explicit TSplitter(TComponent* owner);
    int MinSize = 30;
    bool Beveled = false;
    const char* ClassName() const override { return "TSplitter"; }
    const char* WidgetKind() const override { return "separator"; }
};

class TBevel : public TControl {
public:
    explicit TBevel(TComponent* owner) : TControl(owner) {}
    const char* ClassName() const override { return "TBevel"; }
    const char* WidgetKind() const override { return "separator"; }
};

// A picture: the bytes of an image file (BMP, PNG, ...), drawn by a desktop
// front end; TransparentColor is the colour that lets the background through.
class TImage : public TControl {
public:
    explicit TImage(TComponent* owner) : TControl(owner) {}
    std::vector<unsigned char> Picture;
    bool Transparent = false;
    TColor TransparentColor = clNone;
    const char* ClassName() const override { return "TImage"; }
    const char* WidgetKind() const override { return "image"; }
};

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* pc);  // also makes it the parent
    bool TabVisible = true;
    int PageIndex() const;
    const char* ClassName() const override { return "TTabSheet"; }
    const char* WidgetKind() const override { return "page"; }
    bool ShownInParent() const override;

private:
    TPageControl* pageControl_ = nullptr;
    friend class TPageControl;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Pages. SetActivePage from code runs neither OnChanging nor OnChange; the
// user's choice of a tab (UserSelectPage) takes the focus to the page
// control, then runs OnChanging (which may refuse) and OnChange.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int i) const { return pages_.at(static_cast<std::size_t>(i)); }
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // False (nothing happens) when the page is not one of these, its tab is
    // hidden or disabled, or the control cannot take the focus.
    bool UserSelectPage(TTabSheet* page);

    const char* ClassName() const override { return "TPageControl"; }
    const char* WidgetKind() const override { return "pages"; }

private:
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    friend class TTabSheet;
    void removePage(TTabSheet* p);
};

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    std::string Caption;
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    std::string Hint;
    // The key combination that runs the command from anywhere in its window,
    // as text ("Ctrl+S", "F5"); empty for none. A front end binds it.
    std::string ShortCut;
    TNotifyEvent OnClick;

    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int i) const { return items_.at(static_cast<std::size_t>(i)); }
    TMenuItem* Parent() const { return parent_; }

    void Click();      // runs OnClick
    bool UserClick();  // refused when it or a parent item is disabled or hidden

private:
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);
    TMenuItem* Items() const { return root_; }

private:
    TMenuItem* root_;
};

class TPopupMenu : public TMainMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMainMenu(owner) {}
};
