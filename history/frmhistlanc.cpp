#include "history/frmhistlanc.h"

#include "contracts/formbuild.h"
#include "entry/frmlancamentos.h"
#include "contracts/cursor.h"
#include "platform/ui/dispatch.h"

using FormBuild::Control;

TfrmHistLanc* frmHistLanc = nullptr;
bool boIdCriado = false;
bool boFrmClose = false;

namespace {

// The size of DSHISTLANC in cdsLancCont.
constexpr int kHistoricoMax = 600;

// The line the dialog reads and writes: the entry screen's current one.
TField* LineHistory() {
    if (!frmLancamentos) throw EAbort();
    return frmLancamentos->cdsLancContDSHISTLANC;
}

}  // namespace

TfrmHistLanc::TfrmHistLanc(TComponent* owner) : TfrmRotiGeral(owner), TPublishedMembers("TfrmHistLanc") {
    Name = "frmHistLanc";
    Caption = "Histórico do Lancamento Contábil";
    lblCodTela->Caption = "CTB11030";

    panDescricao = Control<TPanel>(this, grbDadosRel, "panDescricao", alTop);
    panDescricao->Height = 20;
    panDescricao->BevelInner = bvLowered;
    panDescricao->Caption = "Descrição";
    panDescricao->Color = clInfoBk;
    panDescricao->Font.Bold = true;

    memDesc = Control<TMemo>(this, grbDadosRel, "memDesc", alClient);
    memDesc->MaxLength = kHistoricoMax;
    memDesc->TabStop = true;

    Publish("boIdCriado", [] { return std::string(boIdCriado ? "true" : "false"); });
    Publish("boFrmClose", [] { return std::string(boFrmClose ? "true" : "false"); });
}

TfrmHistLanc::~TfrmHistLanc() {
    if (frmHistLanc == this) {
        frmHistLanc = nullptr;
        boIdCriado = false;
    }
}

void TfrmHistLanc::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    boFrmClose = false;
    TField* historico = LineHistory();
    memDesc->SetText(historico->DataSet()->Active() ? historico->Text() : "");
}

// A failing Edit (the entry screen's before-edit checks) leaves the dialog
// open and the line untouched.
void TfrmHistLanc::sbtConfirmaClick(TObject* Sender) {
    boFrmClose = true;
    TField* historico = LineHistory();
    historico->DataSet()->Edit();
    historico->SetAsString(memDesc->Text());
    TfrmRotiGeral::sbtConfirmaClick(Sender);
}

void TfrmHistLanc::sbtCancelClick(TObject* Sender) {
    boFrmClose = false;
    TfrmRotiGeral::sbtCancelClick(Sender);
}

void TfrmHistLanc::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmRotiGeral::FormClose(Sender, Action);
    boIdCriado = false;
}

void CriaHistorico() {
    TCursorScope hourglass(crHourGlass);
    if (!boIdCriado) {
        Application->CreateForm(frmHistLanc);
        boIdCriado = true;
    }
    frmHistLanc->ShowModal();
    // The closed dialog is released, destroyed only after the running action.
    if (frmHistLanc) frmHistLanc->WindowState = wsNormal;
}
