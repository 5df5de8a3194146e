// Forms and the application: creation with OnCreate, modal loops driven by a
// queue of user actions (nested), close actions and deferred destruction,
// and the dispatcher's treatment of EAbort and other errors.
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>

namespace {

// The front end of these tests: a queue of user actions, each dispatched.
struct ScriptedInput {
    std::deque<std::function<void()>> actions;
    ScriptedInput() {
        Application->Pump = [this] {
            if (actions.empty()) return false;
            auto a = std::move(actions.front());
            actions.pop_front();
            Dispatch(a);
            return true;
        };
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessServices().Clear(); }
    void TearDown() override {
        Application->Reset();
        HeadlessServices().Clear();
    }
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        TShownItem it;
        while (HeadlessServices().TakeMessage(it)) out.push_back(it.text);
        return out;
    }
};

class Dialog : public TForm {
public:
    TEdit* edt;
    TButton* btnOk;
    TButton* btnCancel;
    std::vector<std::string>* log = nullptr;
    explicit Dialog(TComponent* owner) : TForm(owner) {
        edt = Create<TEdit>();
        edt->Name = "edt";
        edt->SetParent(this);
        btnOk = Create<TButton>();
        btnOk->SetParent(this);
        btnOk->ModalResult = mrOk;
        btnCancel = Create<TButton>();
        btnCancel->SetParent(this);
        btnCancel->Cancel = true;
        btnCancel->OnClick = [this](TObject*) {
            if (log) log->push_back("cancel clicked");
            ModalResult = mrCancel;
        };
    }
};

TEST_F(FormsTest, AbortInOnCreateEndsOnlyThatHandlerAndTheFormExists) {
    struct F : TForm {
        bool after = false;
        explicit F(TComponent* o) : TForm(o) {
            OnCreate = [this](TObject*) {
                Abort();
                after = true;
            };
        }
    };
    F* f = nullptr;
    EXPECT_NO_THROW(Application->CreateForm(f));
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->after);
    EXPECT_TRUE(Application->IsForm(f));
}

TEST_F(FormsTest, OtherErrorInOnCreateReachesTheCallerAndLeavesNoForm) {
    struct F : TForm {
        explicit F(TComponent* o) : TForm(o) {
            OnCreate = [](TObject*) { throw std::runtime_error("servidor fora do ar"); };
        }
    };
    F* f = nullptr;
    EXPECT_THROW(Application->CreateForm(f), std::runtime_error);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(Application->FormCount(), 0);
}

// The screens' creation handlers reach their own global (frmLancFiltro reads
// frmLancamentos): it must already hold the form.
struct SelfReading : TForm {
    static SelfReading* global;
    bool sawItself = false;
    explicit SelfReading(TComponent* o) : TForm(o) {
        OnCreate = [this](TObject*) { sawItself = global == this; };
    }
};
SelfReading* SelfReading::global = nullptr;

TEST_F(FormsTest, ReferenceIsSetBeforeOnCreateRuns) {
    Application->CreateForm(SelfReading::global);
    ASSERT_NE(SelfReading::global, nullptr);
    EXPECT_TRUE(SelfReading::global->sawItself);
    SelfReading::global = nullptr;
}

TEST_F(FormsTest, ShowModalRunsTheInputUntilAButtonSetsTheResult) {
    ScriptedInput in;
    Dialog* d = nullptr;
    Application->CreateForm(d);
    in.actions.push_back([&] { d->edt->UserType("abc"); });
    in.actions.push_back([&] { d->btnOk->UserClick(); });
    in.actions.push_back([] { FAIL() << "input read after the dialog closed"; });
    EXPECT_EQ(d->ShowModal(), mrOk);
    EXPECT_EQ(d->edt->Text(), "abc");
    EXPECT_FALSE(d->Visible);
    EXPECT_EQ(in.actions.size(), 1u);
}

TEST_F(FormsTest, NestedModalFormsCloseInnermostFirstAndTheOuterGoesOn) {
    ScriptedInput in;
    Dialog* outer = nullptr;
    Dialog* inner = nullptr;
    Application->CreateForm(outer);
    Application->CreateForm(inner);
    std::vector<std::string> log;
    outer->btnOk->OnClick = [&](TObject*) {
        log.push_back("outer opens inner");
        TModalResult r = inner->ShowModal();
        log.push_back(std::string("inner gave ") + (r == mrCancel ? "cancel" : "ok"));
    };
    in.actions.push_back([&] {
        EXPECT_EQ(Application->ActiveForm(), outer);
        outer->btnOk->UserClick();
    });
    in.actions.push_back([&] {
        EXPECT_EQ(Application->ActiveForm(), inner);
        inner->Close();  // Close on a modal form is its cancel
    });
    in.actions.push_back([&] {
        EXPECT_EQ(Application->ActiveForm(), outer);
        outer->ModalResult = mrOk;
    });
    int outerActivations = 0;
    outer->OnActivate = [&](TObject*) { ++outerActivations; };
    EXPECT_EQ(outer->ShowModal(), mrOk);
    EXPECT_EQ(log, (std::vector<std::string>{"outer opens inner", "inner gave cancel"}));
    EXPECT_EQ(outerActivations, 2);  // shown, then back from the inner dialog
}

TEST_F(FormsTest, ModalFormLeftWithoutInputIsClosedAsByItsCancelButton) {
    ScriptedInput in;
    Dialog* d = nullptr;
    Application->CreateForm(d);
    std::vector<std::string> log;
    d->log = &log;
    EXPECT_EQ(d->ShowModal(), mrCancel);
    EXPECT_EQ(log, (std::vector<std::string>{"cancel clicked"}));

    // even a form whose close handler refuses cannot keep the loop alive
    d->OnClose = [](TObject*, TCloseAction& a) { a = caNone; };
    EXPECT_EQ(d->ShowModal(), mrCancel);
}

TEST_F(FormsTest, ModalCloseRefusedByOnCloseKeepsTheLoopRunning) {
    ScriptedInput in;
    Dialog* d = nullptr;
    Application->CreateForm(d);
    int refusals = 1;
    d->OnCloseQuery = [&](TObject*, bool& can) { can = refusals-- <= 0; };
    in.actions.push_back([&] { d->btnOk->UserClick(); });  // refused
    in.actions.push_back([&] {
        EXPECT_TRUE(d->Visible);
        d->btnOk->UserClick();
    });
    EXPECT_EQ(d->ShowModal(), mrOk);
    EXPECT_TRUE(in.actions.empty());
}

TEST_F(FormsTest, CloseActionsHideOrFreeLaterOrKeep) {
    Dialog* child = nullptr;
    Application->CreateForm(child);
    child->FormStyle = fsMDIChild;
    bool destroyed = false;
    child->OnDestroy = [&](TObject*) { destroyed = true; };
    Dialog* normal = nullptr;
    Application->CreateForm(normal);

    bool stillUsable = false;
    Dispatch([&] {
        child->Show();
        child->Close();  // MDI child: freed, but not under the running handler
        child->WindowState = wsNormal;
        stillUsable = !destroyed && child->Released();
    });
    EXPECT_TRUE(stillUsable);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(Application->IsForm(child));

    normal->Show();
    normal->Close();  // others hide
    EXPECT_TRUE(Application->IsForm(normal));
    EXPECT_FALSE(normal->Visible);
    normal->OnClose = [](TObject*, TCloseAction& a) { a = caNone; };
    normal->Show();
    normal->Close();
    EXPECT_TRUE(normal->Visible);
}

TEST_F(FormsTest, ModalFormFreedByItsCloseHandlerOutlivesItsShowModalCall) {
    ScriptedInput in;
    Dialog* d = nullptr;
    Application->CreateForm(d);
    d->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    in.actions.push_back([&] { d->btnOk->UserClick(); });
    Dispatch([&] {
        d->ShowModal();
        d->WindowState = wsNormal;  // the caller still uses it after the loop
        EXPECT_TRUE(Application->IsForm(d));
    });
    EXPECT_FALSE(Application->IsForm(d));
}

TEST_F(FormsTest, DispatcherSwallowsAbortAndShowsOtherErrors) {
    EXPECT_FALSE(Dispatch([] { Abort(); }));
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(Dispatch([] { throw std::runtime_error("Conta contábil não cadastrada."); }));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Conta contábil não cadastrada."}));
    EXPECT_TRUE(Dispatch([] {}));
}

TEST_F(FormsTest, AbortInsideANestedModalLoopEndsOnlyThatAction) {
    ScriptedInput in;
    Dialog* d = nullptr;
    Application->CreateForm(d);
    bool afterModal = false;
    in.actions.push_back([] { Abort(); });
    in.actions.push_back([] { throw std::runtime_error("falhou"); });
    in.actions.push_back([&] { d->btnOk->UserClick(); });
    EXPECT_TRUE(Dispatch([&] {
        d->ShowModal();
        afterModal = true;
    }));
    EXPECT_TRUE(afterModal);
    EXPECT_EQ(messages(), (std::vector<std::string>{"falhou"}));
}

TEST_F(FormsTest, ObserversHearFormsAndEveryFinishedAction) {
    std::vector<std::string> events;
    Application->OnFormEvent = [&](TForm*, TFormEvent e) {
        events.push_back(e == feShown       ? "shown"
                         : e == feHidden    ? "hidden"
                         : e == feActivated ? "activated"
                                            : "destroying");
    };
    int changes = 0;
    Application->OnModelChanged = [&] { ++changes; };
    Dialog* d = nullptr;
    Application->CreateForm(d);
    Dispatch([&] {
        d->Show();
        Dispatch([] {});  // nested: only the outermost action reports
    });
    EXPECT_EQ(changes, 1);
    FreeAndNil(d);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"shown", "activated", "destroying"}));
}

TEST_F(FormsTest, SpeedButtonClickLeavesTheFocusAndItsExitHandlersAlone) {
    Dialog* d = nullptr;
    Application->CreateForm(d);
    d->Show();
    auto* sbt = d->Create<TSpeedButton>();
    sbt->SetParent(d);
    bool exited = false, clicked = false;
    d->edt->SetFocus();
    d->edt->OnExit = [&](TObject*) { exited = true; };
    sbt->OnClick = [&](TObject*) { clicked = true; };
    EXPECT_TRUE(sbt->UserClick());
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(exited);

    // a push button takes the focus first; a refusing exit drops the click
    d->edt->OnExit = [](TObject*) { Abort(); };
    bool okClicked = false;
    d->btnOk->OnClick = [&](TObject*) { okClicked = true; };
    Dispatch([&] { d->btnOk->UserClick(); });
    EXPECT_FALSE(okClicked);
    EXPECT_TRUE(d->edt->Focused());
}

}  // namespace
