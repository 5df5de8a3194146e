// The data grid in use: typing into cells, column exits that refuse, row
// moves that post first, appending at the end, Escape, Ctrl+Delete with its
// confirmation, cancel on exit, and fields asking for the focus.
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"
#include "platform/ui/services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class GridForm : public TForm {
public:
    TClientDataSet* cds = Create<TClientDataSet>();
    TDataSource* dts = Create<TDataSource>();
    TDBGrid* dbg = Create<TDBGrid>();
    TEdit* edt = Create<TEdit>();
    std::vector<std::string> log;

    explicit GridForm(TComponent* owner) : TForm(owner) {
        cds->Name = "cds";
        cds->AddField("CDHIST", TFieldType::ftString, 4)->EditMask = "9999;1; ";
        cds->AddField("VALOR", TFieldType::ftFloat);
        cds->AddField("NOME", TFieldType::ftString, 10);
        cds->CreateDataSet();
        dts->SetDataSet(cds);
        dbg->Name = "dbg";
        dbg->SetParent(this);
        dbg->SetDataSource(dts);
        for (const char* n : {"CDHIST", "VALOR", "NOME"}) dbg->Columns->Add()->FieldName = n;
        edt->SetParent(this);
        dbg->OnColExit = [this](TObject*) { log.push_back("exit " + dbg->SelectedField()->FieldName()); };
        dbg->OnColEnter = [this](TObject*) { log.push_back("enter " + dbg->SelectedField()->FieldName()); };
        cds->BeforePost = [this](TDataSet*) { log.push_back("post " + cds->FieldByName("CDHIST")->AsString()); };
    }

    void addRow(const std::string& code, double value) {
        cds->Append();
        cds->FieldByName("CDHIST")->SetAsString(code);
        cds->FieldByName("VALOR")->SetAsFloat(value);
        cds->Post();
    }
    std::string rows() const {
        std::string out;
        for (int r = 0; r < dbg->RowCount(); ++r) {
            out += r ? "|" : "";
            for (int c = 0; c < dbg->Columns->Count(); ++c) out += (c ? "," : "") + dbg->CellText(r, c);
        }
        return out;
    }
};

class GridTest : public ::testing::Test {
protected:
    GridForm* f = nullptr;
    void SetUp() override {
        HeadlessServices().Clear();
        Application->CreateForm(f);
        f->addRow("0001", 10);
        f->addRow("0002", 20);
        f->cds->First();
        f->Show();
        f->dbg->SetFocus();
        f->log.clear();
    }
    void TearDown() override {
        Application->Reset();
        HeadlessServices().Clear();
    }
    std::vector<std::string> take() {
        auto l = f->log;
        f->log.clear();
        return l;
    }
};

using Log = std::vector<std::string>;

TEST_F(GridTest, TypingPutsTheRecordInEditAndTheTextReachesTheFieldBeforeTheColumnExit) {
    std::string seenInExit;
    f->dbg->OnColExit = [&](TObject*) { seenInExit = f->dbg->SelectedField()->AsString(); };
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("Ana");
    EXPECT_EQ(f->cds->State(), dsEdit);
    EXPECT_EQ(f->dbg->CellText(0, 2), "Ana");  // shown from the editor
    f->dbg->UserSelectField("VALOR");
    EXPECT_EQ(seenInExit, "Ana");
    EXPECT_EQ(f->cds->FieldByName("NOME")->AsString(), "Ana");
}

TEST_F(GridTest, CellEditorAppliesTheFieldMaskAndSize) {
    f->dbg->UserSelectField("CDHIST");
    f->dbg->UserTypeCell("1x2");
    f->dbg->UserKey(VK_RETURN);
    EXPECT_EQ(f->cds->FieldByName("CDHIST")->AsString(), "12");
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("abcdefghijklm");  // the field keeps ten characters
    f->dbg->UserKey(VK_RETURN);
    EXPECT_EQ(f->cds->FieldByName("NOME")->AsString(), "abcdefghij");
}

TEST_F(GridTest, ColumnExitThatThrowsKeepsTheColumn) {
    f->dbg->OnColExit = [&](TObject*) { Abort(); };
    EXPECT_FALSE(Dispatch([&] { f->dbg->UserSelectField("NOME"); }));
    EXPECT_EQ(f->dbg->SelectedField()->FieldName(), "CDHIST");
}

TEST_F(GridTest, ColumnExitThatSelectsAColumnItselfWinsAndEnterRunsOnce) {
    f->dbg->OnColExit = [&](TObject*) {
        f->log.push_back("exit " + f->dbg->SelectedField()->FieldName());
        f->dbg->SetSelectedField(f->cds->FieldByName("VALOR"));  // nested: no second exit
    };
    f->dbg->UserSelectField("NOME");
    EXPECT_EQ(f->dbg->SelectedField()->FieldName(), "VALOR");
    EXPECT_EQ(take(), (Log{"exit CDHIST", "enter VALOR"}));
}

TEST_F(GridTest, RowMovePostsThePendingEditFirstAndARefusedPostKeepsTheRow) {
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("x");
    take();
    f->dbg->UserKey(VK_DOWN);
    EXPECT_EQ(take(), (Log{"post 0001"}));
    EXPECT_EQ(f->dbg->Row(), 1);
    EXPECT_EQ(f->rows(), "0001,10,x|0002,20,");

    f->cds->BeforePost = [&](TDataSet*) { Abort(); };
    f->dbg->UserTypeCell("y");
    EXPECT_FALSE(Dispatch([&] { f->dbg->UserMoveToRow(0); }));
    EXPECT_EQ(f->dbg->Row(), 1);
    EXPECT_EQ(f->cds->State(), dsEdit);
    EXPECT_EQ(f->cds->FieldByName("NOME")->AsString(), "y");
}

TEST_F(GridTest, DownOnTheLastRowAppendsAndAnUntouchedNewRowGoesAwayOnUp) {
    f->dbg->UserMoveToRow(1);
    f->dbg->UserKey(VK_DOWN);
    EXPECT_EQ(f->cds->State(), dsInsert);
    EXPECT_EQ(f->dbg->RowCount(), 3);
    EXPECT_EQ(f->dbg->Row(), 2);
    f->dbg->UserKey(VK_DOWN);  // untouched: stays
    EXPECT_EQ(f->dbg->RowCount(), 3);
    f->dbg->UserKey(VK_UP);
    EXPECT_EQ(f->cds->State(), dsBrowse);
    EXPECT_EQ(f->dbg->RowCount(), 2);
}

TEST_F(GridTest, EscapeDropsTheEditorAndCancelsTheRecord) {
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("zz");
    f->dbg->UserKey(VK_ESCAPE);
    EXPECT_EQ(f->cds->State(), dsBrowse);
    EXPECT_EQ(f->rows(), "0001,10,|0002,20,");
}

TEST_F(GridTest, CtrlDeleteAsksFirstAndDeletesOnlyOnYes) {
    f->dbg->UserKey(VK_DELETE, ssCtrl);  // no answer queued: No
    EXPECT_EQ(f->cds->RecordCount(), 2);
    TShownItem shown;
    ASSERT_TRUE(HeadlessServices().TakeMessage(shown));
    EXPECT_EQ(shown.text, "Confirma exclusão?");
    EXPECT_EQ(shown.answer, "no");

    HeadlessServices().QueueAnswer("yes");
    f->dbg->UserKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(f->rows(), "0002,20,");
}

TEST_F(GridTest, LeavingCancelsAnUntouchedInsertButKeepsOneWithValues) {
    f->dbg->UserKey(VK_INSERT);
    EXPECT_EQ(f->cds->State(), dsInsert);
    f->edt->SetFocus();
    EXPECT_EQ(f->cds->State(), dsBrowse);
    EXPECT_EQ(f->cds->RecordCount(), 2);

    // a value written by a handler counts as a modification
    f->cds->AfterInsert = [](TDataSet* ds) { ds->FieldByName("VALOR")->SetAsFloat(-30); };
    f->dbg->SetFocus();
    f->dbg->UserKey(VK_INSERT);
    f->edt->SetFocus();
    EXPECT_EQ(f->cds->State(), dsInsert);

    // a typed cell not yet written counts too, and reaches the field on exit
    f->cds->AfterInsert = nullptr;
    f->cds->Cancel();
    f->dbg->SetFocus();
    f->dbg->UserKey(VK_INSERT);
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("novo");
    f->edt->SetFocus();
    EXPECT_EQ(f->cds->State(), dsInsert);
    EXPECT_EQ(f->cds->FieldByName("NOME")->AsString(), "novo");
}

TEST_F(GridTest, FieldFocusControlSelectsItsColumnAndFocusesTheGrid) {
    f->edt->SetFocus();
    take();
    f->cds->FieldByName("NOME")->FocusControl();
    EXPECT_TRUE(f->dbg->Focused());
    EXPECT_EQ(f->dbg->SelectedField()->FieldName(), "NOME");
    EXPECT_EQ(take(), (Log{"exit CDHIST", "enter NOME"}));
}

TEST_F(GridTest, ColumnsTakenOutAndPutBackKeepTheirPlaceAndProperties) {
    TColumn kept;
    TColumn* nome = f->dbg->Columns->Items(2);
    nome->Width = 95;
    nome->ButtonStyle = cbsEllipsis;
    kept.Assign(*nome);
    f->dbg->Columns->Delete(2);
    EXPECT_EQ(f->dbg->Columns->IndexOfField("NOME"), -1);
    TColumn* back = f->dbg->Columns->Insert(1);
    back->Assign(kept);
    EXPECT_EQ(f->dbg->Columns->IndexOfField("nome"), 1);
    EXPECT_EQ(back->Width, 95);
    EXPECT_EQ(back->Field(), f->cds->FieldByName("NOME"));
    back->SetIndex(2);
    EXPECT_EQ(f->dbg->Columns->IndexOfField("NOME"), 2);
}

TEST_F(GridTest, EllipsisButtonOnlyWhereTheColumnHasOne) {
    int clicks = 0;
    f->dbg->OnEditButtonClick = [&](TObject*) { ++clicks; };
    EXPECT_FALSE(f->dbg->UserEditButton());
    f->dbg->Columns->Items(0)->ButtonStyle = cbsEllipsis;
    EXPECT_TRUE(f->dbg->UserEditButton());
    EXPECT_EQ(clicks, 1);
}

TEST_F(GridTest, TypingIntoAnEmptyDataSetStartsAnInsert) {
    f->cds->EmptyDataSet();
    f->dbg->UserSelectField("NOME");
    f->dbg->UserTypeCell("a");
    EXPECT_EQ(f->cds->State(), dsInsert);
    EXPECT_EQ(f->dbg->RowCount(), 1);
    f->dbg->UserKey(VK_RETURN);
    EXPECT_EQ(f->rows(), ",,a");
}

}  // namespace
