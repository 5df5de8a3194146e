#include "platform/ui/stdctrls.h"

#include "platform/ui/forms.h"

#include <algorithm>

// ------------------------------------------------------------------ buttons

TButton::TButton(TComponent* owner) : TWinControl(owner) { TabStop = true; }

void TButton::Click() {
    if (ModalResult != mrNone)
        if (TForm* f = ParentForm()) f->ModalResult = ModalResult;
    TWinControl::Click();
}

void TButton::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_RETURN || key == VK_SPACE) {
        key = 0;
        Click();
        return;
    }
    TWinControl::KeyDown(key, shift);
}

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner) {}

void TSpeedButton::Click() {
    if (GroupIndex != 0) {
        if (Down && AllowAllUp) {
            Down = false;
        } else if (!Down) {
            // one button of the group down at a time
            if (TWinControl* p = Parent())
                for (int i = 0; i < p->ControlCount(); ++i)
                    if (auto* s = dynamic_cast<TSpeedButton*>(p->Controls(i)))
                        if (s != this && s->GroupIndex == GroupIndex) s->Down = false;
            Down = true;
        }
    }
    TControl::Click();
}

TLabel::TLabel(TComponent* owner) : TControl(owner) {}

// ------------------------------------------------------------- check boxes

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) { TabStop = true; }

void TRadioButton::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    if (!on) return;
    if (TWinControl* p = Parent())
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)))
                if (r != this) r->SetChecked(false);
    Click();
}

bool TRadioButton::UserClick() {
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;  // the focused control refused to let go
    SetChecked(true);
    return true;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) { TabStop = true; }

void TCheckBox::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    Click();
}

bool TCheckBox::UserClick() {
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;
    SetChecked(!checked_);
    return true;
}

// --------------------------------------------------------------- containers

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}
TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {}
TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {}
TSplitter::TSplitter(TComponent* owner) : TControl(owner) { Align = alLeft; }

// -------------------------------------------------------------------- pages

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->removePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pc == pageControl_) return;
    if (pageControl_) pageControl_->removePage(this);
    pageControl_ = pc;
    SetParent(pc);
    if (!pc) return;
    pc->pages_.push_back(this);
    if (!pc->active_) pc->active_ = this;
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& p = pageControl_->pages_;
    return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) { TabStop = true; }

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

void TPageControl::removePage(TTabSheet* p) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), p), pages_.end());
    if (active_ == p) active_ = pages_.empty() ? nullptr : pages_.front();
}

bool TTabSheet::ShownInParent() const {
    if (!Visible) return false;
    return !pageControl_ || (pageControl_->ActivePage() == this && TabVisible);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    if (page == active_) return;
    // A focused control on the page that goes away loses the focus to the
    // page control, as a hidden control cannot keep it.
    TForm* f = ParentForm();
    TWinControl* focused = f ? f->ActiveControl() : nullptr;
    bool focusFollows = false;
    if (focused && active_ && active_->ContainsControl(focused) && CanFocus()) {
        // The focus leaves the page first (its exit handlers may refuse, and
        // then the page stays).
        SetFocus();
        if (TWinControl* now = f->ActiveControl(); now && active_->ContainsControl(now)) return;
        focusFollows = true;
    }
    active_ = page;
    // Focus that was on the page taken away goes on to the first control of
    // the new page, whose enter handlers run as when a person goes there.
    if (focusFollows && page && f->ActiveControl() == this) {
        TWinControl* first = f->FindNextControl(this, true);
        if (first && page->ContainsControl(first)) first->SetFocus();
    }
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int i) {
    SetActivePage(i >= 0 && i < PageCount() ? pages_[static_cast<std::size_t>(i)] : nullptr);
}

bool TPageControl::UserSelectPage(TTabSheet* page) {
    if (!page || page->pageControl_ != this || !page->TabVisible || !page->Enabled) return false;
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;  // refused by an exit handler
    if (page == active_) return true;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return true;
    active_ = page;
    if (OnChange) OnChange(this);
    return true;
}

// -------------------------------------------------------------------- menus

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    for (TMenuItem* i : items_) i->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item->parent_ == this) return;
    if (item->parent_) item->parent_->Remove(item);
    item->parent_ = this;
    items_.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    if (item && item->parent_ == this) item->parent_ = nullptr;
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

bool TMenuItem::UserClick() {
    for (const TMenuItem* m = this; m; m = m->parent_)
        if (!m->Enabled || !m->Visible) return false;
    Click();
    return true;
}

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), root_(new TMenuItem(this)) {}
