#include "platform/ui/forms.h"

#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <algorithm>

TApplication* Application = new TApplication;  // lives as long as the process
TScreen* Screen = new TScreen;

// -------------------------------------------------------------------- TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    Visible = false;
    Color = clBtnFace;
}

TForm::~TForm() {
    if (Application) Application->forget(this);
}

void TForm::RunDestroy() {
    if (destroyRan_) return;
    destroyRan_ = true;
    if (OnDestroy) OnDestroy(this);
}

void TForm::KeyDown(WORD& key, TShiftState shift) { TWinControl::KeyDown(key, shift); }

void TForm::Show() {
    if (released_) return;
    if (!Visible) {
        Visible = true;
        Application->NotifyForm(this, feShown);
        if (OnShow) OnShow(this);
    }
    Application->Activate(this);
    if (!active_) SelectFirst();
}

void TForm::Hide() {
    if (!Visible) return;
    Visible = false;
    if (OnHide) OnHide(this);
    Application->NotifyForm(this, feHidden);
    if (Application->activeForm_ == this) {
        Application->activeForm_ = nullptr;
        if (TForm* next = Application->ActiveForm()) Application->Activate(next);
    }
}

namespace {
// Ends the modal state however ShowModal is left.
struct ModalScope {
    TForm* form;
    std::vector<TForm*>& stack;
    ~ModalScope() { stack.erase(std::remove(stack.begin(), stack.end(), form), stack.end()); }
};
}  // namespace

TModalResult TForm::ShowModal() {
    if (Visible || modal_) throw EInvalidOperation("Não é possível exibir como modal uma janela já visível.");
    if (released_) throw EInvalidOperation("O formulário foi liberado.");
    ModalResult = mrNone;
    modal_ = true;
    Application->modal_.push_back(this);
    ModalScope scope{this, Application->modal_};
    struct Flag {
        bool& f;
        ~Flag() { f = false; }
    } flag{modal_};

    Show();
    for (;;) {
        if (ModalResult != mrNone) {
            if (closeModal()) break;
            continue;
        }
        if (!Application->HandleMessage()) {
            closeByCancel();
            break;
        }
    }
    const TModalResult result = ModalResult;
    // Out of the modal stack before hiding, so the form below is activated.
    auto& stack = Application->modal_;
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    modal_ = false;
    Hide();
    return result;
}

bool TForm::closeModal() {
    bool closed = false;
    Dispatch([&] {
        bool canClose = true;
        if (OnCloseQuery) OnCloseQuery(this, canClose);
        if (!canClose) return;
        TCloseAction action = caHide;
        if (OnClose) OnClose(this, action);
        if (action == caNone) return;
        if (action == caFree) Release();
        closed = true;
    });
    if (!closed) ModalResult = mrNone;
    return closed;
}

void TForm::closeByCancel() {
    // As by the cancel button: its handler runs when the form has one.
    for (int i = 0; i < ComponentCount() && ModalResult == mrNone; ++i) {
        TControl* c = dynamic_cast<TControl*>(Components(i));
        bool isCancel = false;
        if (auto* b = dynamic_cast<TButton*>(c)) isCancel = b->Cancel;
        if (auto* s = dynamic_cast<TSpeedButton*>(c)) isCancel = s->Cancel;
        if (isCancel && c->Showing() && c->EnabledChain()) Dispatch([c] { c->Click(); });
    }
    if (ModalResult == mrNone) ModalResult = mrCancel;
    if (!closeModal()) ModalResult = mrCancel;  // no input is left: it closes anyway
}

void TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
        return;
    }
    if (closing_ || released_) return;
    closing_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{closing_};

    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    TCloseAction action = FormStyle == fsMDIChild ? caFree : caHide;
    if (OnClose) OnClose(this, action);
    switch (action) {
    case caNone: return;
    case caHide: Hide(); break;
    case caMinimize: WindowState = wsMinimized; break;
    case caFree:
        Hide();
        Release();
        break;
    }
    if (this == Application->MainForm) Application->Terminate();
}

void TForm::Release() {
    if (released_) return;
    released_ = true;
    Hide();
    Application->released_.push_back(this);
}

// ------------------------------------------------------------- TApplication

TApplication::TApplication() : TComponent(nullptr) { Name = "Application"; }

TApplication::~TApplication() = default;

void TApplication::adopt(TForm* form) {
    forms_.push_back(form);
    if (!MainForm && form->FormStyle != fsMDIChild) MainForm = form;
    if (!form->OnCreate) return;
    try {
        form->OnCreate(form);
    } catch (const EAbort&) {
        // a refusal in OnCreate ends that handler only; the form exists
    }
}

void TApplication::discard(TForm* form) {
    forget(form);
    delete form;
}

void TApplication::forget(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
    modal_.erase(std::remove(modal_.begin(), modal_.end(), form), modal_.end());
    if (activeForm_ == form) activeForm_ = nullptr;
    if (MainForm == form) MainForm = nullptr;
}

bool TApplication::IsForm(const TForm* f) const { return std::find(forms_.begin(), forms_.end(), f) != forms_.end(); }

TForm* TApplication::ActiveForm() const {
    if (!modal_.empty()) return modal_.back();
    if (activeForm_ && activeForm_->Visible) return activeForm_;
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->Visible && !(*it)->Released()) return *it;
    return nullptr;
}

void TApplication::Activate(TForm* f) {
    if (!f || f == activeForm_ || !f->Visible) return;
    if (!modal_.empty() && f != modal_.back()) return;  // a modal form keeps the input
    TForm* old = activeForm_;
    activeForm_ = f;
    // Most recently activated last: the order in which forms are searched.
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    forms_.push_back(f);
    if (old && old->OnDeactivate && IsForm(old)) old->OnDeactivate(old);
    if (f->OnActivate) f->OnActivate(f);
    NotifyForm(f, feActivated);
}

bool TApplication::HandleMessage() {
    ProcessMessages();
    if (!Pump) return false;
    try {
        return Pump();
    } catch (...) {
        // A front end that fails cannot give more input.
        return false;
    }
}

void TApplication::ProcessMessages() {
    for (std::size_t i = 0; i < released_.size();) {
        TForm* f = released_[i];
        if (std::find(modal_.begin(), modal_.end(), f) != modal_.end()) {
            ++i;  // still inside its ShowModal: later
            continue;
        }
        DestroyForm(f);  // removes it from released_
    }
}

void TApplication::NotifyChanged() {
    if (!OnModelChanged) return;
    try {
        OnModelChanged();
    } catch (...) {}
}

void TApplication::NotifyForm(TForm* f, TFormEvent e) {
    if (!OnFormEvent) return;
    try {
        OnFormEvent(f, e);
    } catch (...) {}
}

void TApplication::DestroyForm(TForm* f) {
    if (!f) return;
    if (std::find(modal_.begin(), modal_.end(), f) != modal_.end()) {
        f->Release();  // never under its own ShowModal
        return;
    }
    try {
        f->RunDestroy();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    NotifyForm(f, feDestroying);
    forget(f);
    delete f;
}

void TApplication::Reset() {
    modal_.clear();
    while (!forms_.empty()) DestroyForm(forms_.back());
    released_.clear();
    activeForm_ = nullptr;
    MainForm = nullptr;
    Terminated = false;
    Pump = nullptr;
    OnModelChanged = nullptr;
    OnFormEvent = nullptr;
    Screen->Cursor = crDefault;
}

TWinControl* TScreen::ActiveControl() const {
    TForm* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}
