// Forms, the application object and the screen.
//
// A form class's constructor builds its component tree and binds its
// handlers; TApplication::CreateForm then assigns the reference and runs
// OnCreate. An EAbort from OnCreate ends that handler and the form stays
// created; any other exception destroys the form, clears the reference and
// reaches the caller.
//
// ShowModal runs a nested loop: it calls Application->HandleMessage() (one
// user action of the front end through Application->Pump) until the form's
// ModalResult is set, then closes the form and returns the result. When the
// front end has no more input, the form is closed as by its cancel button.
//
// Close runs OnCloseQuery and OnClose(Sender, Action). The default action is
// caFree for an MDI child and caHide for other forms; a modal form closes by
// its ModalResult (mrCancel when Close is called). caFree destroys the form
// later (Release): after the running user action, never under a handler.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/stdctrls.h"

#include <functional>
#include <string>
#include <vector>

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TFormStyle FormStyle = fsNormal;
    TWindowState WindowState = wsNormal;
    TPosition Position = poDesigned;
    TBorderStyle BorderStyle = bsSizeable;
    bool KeyPreview = false;  // the form sees keys before the focused control
    TModalResult ModalResult = mrNone;
    TMainMenu* Menu = nullptr;

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The focused control of this form (nullptr when none).
    TWinControl* ActiveControl() const { return active_; }
    void SetActiveControl(TWinControl* c) { FocusControl(c); }
    // The focus engine behind TWinControl::SetFocus.
    bool FocusControl(TWinControl* target);
    // Tab order: the next focusable control after `from` (wrapping).
    TWinControl* FindNextControl(TWinControl* from, bool forward) const;
    void SelectNext(TWinControl* from, bool forward);
    // Focuses the first focusable control (ActiveControl kept if it can).
    void SelectFirst();

    void Show();
    void Hide();
    TModalResult ShowModal();
    void Close();
    // Destroys the form after the running user action.
    void Release();
    bool Modal() const { return modal_; }
    bool Released() const { return released_; }

    const char* ClassName() const override { return "TForm"; }
    const char* WidgetKind() const override { return "form"; }
    TForm* AsForm() override { return this; }

    // Runs OnDestroy once (the application does it before deleting a form).
    void RunDestroy();

protected:
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    TWinControl* active_ = nullptr;   // resting focus
    TWinControl* entered_ = nullptr;  // deepest control whose OnEnter ran (the chain)
    int focusCount_ = 0;              // bumps on every move (re-entrancy check)
    bool modal_ = false;
    bool released_ = false;
    bool destroyRan_ = false;
    bool closing_ = false;

    friend class TControl;
    friend class TWinControl;
    friend class TApplication;
    void controlGone(TControl* c);  // a control of this form is being destroyed
    bool closeModal();              // runs the close events of a modal form
    void closeByCancel();           // no more input: as the cancel button
};

enum TFormEvent { feShown, feHidden, feActivated, feDestroying };

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates a form owned by the application: ref is set before OnCreate runs.
    template <class T> void CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        try {
            adopt(form);
        } catch (...) {
            ref = nullptr;
            discard(form);
            throw;
        }
    }

    TForm* MainForm = nullptr;  // the first form created (not an MDI child) unless set
    std::string Title;
    bool Terminated = false;
    void Terminate() { Terminated = true; }

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int i) const { return forms_.at(static_cast<std::size_t>(i)); }
    bool IsForm(const TForm* f) const;
    // The form user input goes to: the topmost modal form, else the active
    // MDI child, else the most recently activated visible form.
    TForm* ActiveForm() const;
    TForm* TopModal() const { return modal_.empty() ? nullptr : modal_.back(); }
    // Makes a visible form the active one (runs OnDeactivate/OnActivate).
    void Activate(TForm* f);

    // Front end: processes one user action and returns false when there is
    // no more input. ShowModal calls it through HandleMessage.
    std::function<bool()> Pump;
    bool HandleMessage();
    // Destroys released forms (no message queue of its own).
    void ProcessMessages();

    // Observation by the front ends.
    std::function<void()> OnModelChanged;                 // after each user action
    std::function<void(TForm*, TFormEvent)> OnFormEvent;  // shown, hidden, ...
    void NotifyChanged();
    void NotifyForm(TForm* f, TFormEvent e);

    // Destroys a form now (OnDestroy first); the reference holders must forget it.
    void DestroyForm(TForm* f);
    // Tests: destroys every form and clears the state.
    void Reset();

private:
    std::vector<TForm*> forms_;
    std::vector<TForm*> modal_;     // ShowModal stack
    std::vector<TForm*> released_;  // waiting for destruction
    TForm* activeForm_ = nullptr;
    friend class TForm;
    void adopt(TForm* form);
    void discard(TForm* form);
    void forget(TForm* form);
};

extern TApplication* Application;

constexpr int crDefault = 0, crArrow = -2, crHourGlass = -11, crSQLWait = -17;

class TScreen {
public:
    int Cursor = crDefault;
    TForm* ActiveForm() const { return Application->ActiveForm(); }
    TWinControl* ActiveControl() const;
};

extern TScreen* Screen;

// Frees a form the way the framework does (OnDestroy, then destruction) or
// any other component, and sets the pointer to nullptr.
template <class T> void FreeAndNil(T*& p) {
    T* q = p;
    p = nullptr;
    if (!q) return;
    if (auto* f = dynamic_cast<TForm*>(static_cast<TComponent*>(q))) Application->DestroyForm(f);
    else delete q;
}
