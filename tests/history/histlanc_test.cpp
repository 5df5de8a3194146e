// The history text dialog over the entry screen's current line: what it
// shows, what confirming and cancelling do to the line, and that every
// opening reads the line anew.
#include "tests/entry/entry_fixture.h"

#include "history/frmhistlanc.h"

#include <deque>

namespace {

// Two lines of one entry, the first with a history text, the second without.
TDataPacket TwoLines() {
    using enum TFieldType;
    TDataPacket p({{"CDEMPRESA", ftString, 2},
                   {"NRLANCCONT", ftString, 12},
                   {"NRSEQLANC", ftString, 5},
                   {"CDCONTCTBL", ftString, 20},
                   {"DTLANCCONT", ftDateTime, 0},
                   {"CDDOCUCONT", ftString, 20},
                   {"VRLANCAMENT", ftFloat, 0},
                   {"DSHISTLANC", ftString, 600},
                   {"IDLANCINTE", ftString, 1}});
    p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00001"), Variant("1110100001"), Variant(45300.0),
                 Variant("DOC1"), Variant(-10.0), Variant("Primeira linha"), Variant("M")});
    p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00002"), Variant("3110100001"), Variant(45300.0),
                 Variant("DOC1"), Variant(10.0), Variant(""), Variant("M")});
    return p;
}

class HistoryDialogTest : public EntryScreenTest {
protected:
    TfrmLancamentos* f = nullptr;
    std::deque<std::function<void()>> actions;  // what the user does in the dialog
    std::vector<std::string> seen;              // memo text at each opening

    void SetUp() override {
        EntryScreenTest::SetUp();
        Serve([](const std::string&, std::vector<TRpcValue>&) { return TRpcValue(); });
        f = CreateScreen();
        f->qryContOpeCtbl->ParamByName("P_CDEMPRESA")->SetAsString("01");
        f->qryContOpeCtbl->ParamByName("P_TCDEMPRESA")->SetAsString("");
        f->qryContOpeCtbl->Open();
        f->cdsLancCont->Data(TwoLines());
        f->cdsLancCont->First();
        Application->Pump = [this] {
            if (actions.empty()) return false;
            auto next = std::move(actions.front());
            actions.pop_front();
            next();
            Application->ProcessMessages();
            return true;
        };
    }
    void TearDown() override {
        Application->Pump = nullptr;
        EntryScreenTest::TearDown();
    }

    void Look() {
        actions.push_back([this] { seen.push_back(frmHistLanc->memDesc->Text()); });
    }
    void Type(const std::string& text) {
        actions.push_back([this, text] {
            frmHistLanc->memDesc->SetText("");
            frmHistLanc->memDesc->UserTypeKeys(text);
        });
    }
    void Click(bool confirm) {
        actions.push_back(
            [confirm] { (confirm ? frmHistLanc->sbtConfirma : frmHistLanc->sbtCancel)->OnClick(nullptr); });
    }
    void Open() {
        CriaHistorico();
        Application->ProcessMessages();
    }
};

TEST_F(HistoryDialogTest, ConfirmWritesTheTextAndLeavesTheLineInEdit) {
    Look();
    actions.push_back([] { frmHistLanc->memDesc->SetText("Linha 1\nsegue"); });  // line breaks stay
    Click(true);
    Open();
    EXPECT_EQ(seen, std::vector<std::string>{"Primeira linha"});
    EXPECT_EQ(f->cdsLancCont->State(), dsEdit);
    EXPECT_EQ(f->cdsLancContDSHISTLANC->AsString(), "Linha 1\nsegue");
    EXPECT_TRUE(boFrmClose);
    EXPECT_FALSE(boIdCriado);
}

TEST_F(HistoryDialogTest, EachOpeningReadsTheCurrentLineAndCancelTouchesNothing) {
    Look();
    Type("descartado");
    Click(false);
    Open();
    EXPECT_EQ(f->cdsLancCont->State(), dsBrowse);
    EXPECT_EQ(f->cdsLancContDSHISTLANC->AsString(), "Primeira linha");
    EXPECT_FALSE(boFrmClose);

    f->cdsLancCont->Next();
    Look();
    Click(false);
    Open();
    EXPECT_EQ(seen, (std::vector<std::string>{"Primeira linha", ""}));

    f->cdsLancCont->First();
    Type("");
    Click(true);  // an empty memo writes an empty history
    Open();
    EXPECT_EQ(f->cdsLancCont->State(), dsEdit);
    EXPECT_EQ(f->cdsLancContDSHISTLANC->AsString(), "");
}

TEST_F(HistoryDialogTest, MemoStopsAtTheFieldSizeAndAnInsertStaysAnInsert) {
    f->cdsLancCont->Cancel();
    f->cdsLancCont->Append();
    Type(std::string(601, 'x'));
    Click(true);
    Open();
    EXPECT_EQ(f->cdsLancCont->State(), dsInsert);
    EXPECT_EQ(f->cdsLancContDSHISTLANC->AsString(), std::string(600, 'x'));
}

}  // namespace
