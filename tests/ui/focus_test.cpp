// Focus chains: enter/exit of controls and of every container passed, once
// per move and in order; refusals by exit handlers; handlers that move the
// focus themselves; what cannot take the focus.
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A form with two panels, each with two edits, and a page control:
//   pnlA { edtA1, edtA2 }   pnlB { grbB { edtB1 }, edtB2 }
//   pgc { tsh1 { edtP1 }, tsh2 { edtP2 } }
class TwoPanels : public TForm {
public:
    std::vector<std::string> log;
    TPanel* pnlA = panel("pnlA", this);
    TEdit* edtA1 = edit("edtA1", pnlA);
    TEdit* edtA2 = edit("edtA2", pnlA);
    TPanel* pnlB = panel("pnlB", this);
    TGroupBox* grbB = watch(Create<TGroupBox>(), "grbB", pnlB);
    TEdit* edtB1 = edit("edtB1", grbB);
    TEdit* edtB2 = edit("edtB2", pnlB);
    TPageControl* pgc = watch(Create<TPageControl>(), "pgc", this);
    TTabSheet* tsh1 = sheet("tsh1");
    TEdit* edtP1 = edit("edtP1", tsh1);
    TTabSheet* tsh2 = sheet("tsh2");
    TEdit* edtP2 = edit("edtP2", tsh2);

    explicit TwoPanels(TComponent* owner) : TForm(owner) {}

private:
    template <class T> T* watch(T* c, const std::string& name, TWinControl* parent) {
        c->Name = name;
        c->SetParent(parent);
        c->OnEnter = [this, name](TObject*) { log.push_back("enter " + name); };
        c->OnExit = [this, name](TObject*) { log.push_back("exit " + name); };
        return c;
    }
    TPanel* panel(const std::string& n, TWinControl* p) { return watch(Create<TPanel>(), n, p); }
    TEdit* edit(const std::string& n, TWinControl* p) { return watch(Create<TEdit>(), n, p); }
    TTabSheet* sheet(const std::string& n) {
        auto* t = watch(Create<TTabSheet>(), n, pgc);
        t->SetPageControl(pgc);
        return t;
    }
};

class FocusTest : public ::testing::Test {
protected:
    TwoPanels* f = nullptr;
    void SetUp() override {
        Application->CreateForm(f);
        f->Show();
        f->edtA1->SetFocus();
        f->log.clear();
    }
    void TearDown() override { Application->Reset(); }
    std::vector<std::string> take() {
        auto l = f->log;
        f->log.clear();
        return l;
    }
};

using Log = std::vector<std::string>;

TEST_F(FocusTest, MovesExitEveryContainerLeftAndEnterEveryContainerEnteredOnceInOrder) {
    EXPECT_TRUE(f->edtB1->SetFocus());
    EXPECT_EQ(take(), (Log{"exit edtA1", "exit pnlA", "enter pnlB", "enter grbB", "enter edtB1"}));
    EXPECT_TRUE(f->edtB1->Focused());

    f->edtB2->SetFocus();  // leaves the group box, stays in the panel
    EXPECT_EQ(take(), (Log{"exit edtB1", "exit grbB", "enter edtB2"}));

    f->edtB2->SetFocus();  // already there: nothing runs
    EXPECT_TRUE(take().empty());
}

TEST_F(FocusTest, ExitHandlerThatThrowsKeepsTheFocusAndRunsAgainOnTheNextMove) {
    int refusals = 1;
    f->edtA1->OnExit = [&](TObject*) {
        f->log.push_back("exit edtA1");
        if (refusals-- > 0) Abort();
    };
    EXPECT_THROW(f->edtB1->SetFocus(), EAbort);
    EXPECT_TRUE(f->edtA1->Focused());
    EXPECT_EQ(take(), (Log{"exit edtA1"}));

    // the check is not skipped next time: the control still has to be left
    f->edtB1->SetFocus();
    EXPECT_EQ(take(), (Log{"exit edtA1", "exit pnlA", "enter pnlB", "enter grbB", "enter edtB1"}));
}

TEST_F(FocusTest, ContainerExitThatThrowsStopsTheMoveBeforeAnyEnter) {
    f->pnlA->OnExit = [&](TObject*) { throw Exception("painel recusou"); };
    EXPECT_THROW(f->edtB1->SetFocus(), Exception);
    EXPECT_TRUE(f->edtA1->Focused());
    EXPECT_EQ(take(), (Log{"exit edtA1"}));
    // moving within the panel does not leave it, so it is not asked
    f->edtA2->SetFocus();
    EXPECT_TRUE(f->edtA2->Focused());
}

TEST_F(FocusTest, ExitHandlerThatRefocusesItsControlAndAbortsKeepsItThere) {
    // The screens' idiom: focus the offending control, show the message, abort.
    f->edtA1->OnExit = [&](TObject*) {
        f->log.push_back("exit edtA1");
        f->edtA1->SetFocus();
        Abort();
    };
    EXPECT_FALSE(Dispatch([&] { f->edtB1->SetFocus(); }));
    EXPECT_TRUE(f->edtA1->Focused());
    EXPECT_EQ(take(), (Log{"exit edtA1", "enter edtA1"}));
}

TEST_F(FocusTest, ExitHandlerThatMovesTheFocusElsewhereWinsOverTheRunningMove) {
    f->edtA1->OnExit = [&](TObject*) {
        f->log.push_back("exit edtA1");
        f->edtA2->SetFocus();
    };
    f->edtB1->SetFocus();
    EXPECT_TRUE(f->edtA2->Focused());
    EXPECT_EQ(take(), (Log{"exit edtA1", "enter edtA2"}));
    // the panel was never left, so leaving it now runs its exit once
    f->edtB2->SetFocus();
    EXPECT_EQ(take(), (Log{"exit edtA2", "exit pnlA", "enter pnlB", "enter edtB2"}));
}

TEST_F(FocusTest, EnterHandlerThatMovesTheFocusBackIsSafe) {
    f->pnlB->OnEnter = [&](TObject*) {
        f->log.push_back("enter pnlB");
        f->edtA2->SetFocus();
    };
    f->edtB1->SetFocus();
    EXPECT_TRUE(f->edtA2->Focused());
    EXPECT_EQ(take(), (Log{"exit edtA1", "exit pnlA", "enter pnlB", "exit pnlB", "enter pnlA", "enter edtA2"}));
}

TEST_F(FocusTest, HiddenDisabledOrInactivePageControlsCannotTakeTheFocus) {
    f->pnlB->Enabled = false;
    EXPECT_FALSE(f->edtB1->CanFocus());
    EXPECT_FALSE(f->edtB1->SetFocus());
    f->pnlB->Enabled = true;
    f->grbB->Visible = false;
    EXPECT_FALSE(f->edtB1->SetFocus());
    EXPECT_TRUE(f->edtA1->Focused());
    EXPECT_TRUE(take().empty());

    f->pgc->SetActivePage(f->tsh1);
    EXPECT_FALSE(f->edtP2->CanFocus());
    EXPECT_TRUE(f->edtP1->CanFocus());
}

TEST_F(FocusTest, PageSetFromCodeLeavesEventsAloneButTheUserChoiceRunsThem) {
    std::vector<std::string> events;
    f->pgc->OnChanging = [&](TObject*, bool& allow) {
        events.push_back("changing");
        allow = f->edtA1->Text().empty();
    };
    f->pgc->OnChange = [&](TObject*) { events.push_back("change"); };
    f->pgc->SetActivePage(f->tsh2);
    EXPECT_TRUE(events.empty());

    EXPECT_TRUE(f->pgc->UserSelectPage(f->tsh1));
    EXPECT_EQ(f->pgc->ActivePage(), f->tsh1);
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));

    f->edtA1->SetText("x");  // now OnChanging refuses
    events.clear();
    f->pgc->UserSelectPage(f->tsh2);
    EXPECT_EQ(f->pgc->ActivePage(), f->tsh1);
    EXPECT_EQ(events, (std::vector<std::string>{"changing"}));

    f->tsh2->Enabled = false;  // a disabled tab cannot be chosen
    EXPECT_FALSE(f->pgc->UserSelectPage(f->tsh2));
}

TEST_F(FocusTest, FocusOnAPageThatGoesAwayLeavesItAndEntersTheNewPage) {
    f->pgc->SetActivePage(f->tsh1);
    f->edtP1->SetFocus();
    take();
    f->pgc->SetActivePage(f->tsh2);
    EXPECT_TRUE(f->edtP2->Focused());
    EXPECT_EQ(take(), (Log{"exit edtP1", "exit tsh1", "enter tsh2", "enter edtP2"}));
    // A new page that cannot take the focus leaves it on the page control.
    f->edtP1->Enabled = false;
    f->pgc->SetActivePage(f->tsh1);
    EXPECT_TRUE(f->pgc->Focused());
}

TEST_F(FocusTest, TabFollowsTabOrderAndSkipsWhatCannotTakeTheFocus) {
    f->edtA2->Enabled = false;
    f->edtA1->UserKey(VK_TAB);
    EXPECT_TRUE(f->edtB1->Focused());
    f->edtB1->UserKey(VK_TAB, ssShift);
    EXPECT_TRUE(f->edtA1->Focused());
}

TEST_F(FocusTest, DestroyedFocusedControlLeavesNoDanglingFocus) {
    f->edtB1->SetFocus();
    delete f->grbB;  // takes edtB1's place in the parent chain away
    EXPECT_EQ(f->ActiveControl(), nullptr);
    f->edtA1->SetFocus();  // the chain restarts cleanly from what is left
    EXPECT_TRUE(f->edtA1->Focused());
}

}  // namespace
