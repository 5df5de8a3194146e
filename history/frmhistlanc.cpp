#include "history/frmhistlanc.h"

#include "package/cursor.h"

TfrmHistLanc* frmHistLanc = nullptr;
bool boIdCriado = false;
bool boFrmClose = false;

TfrmHistLanc::TfrmHistLanc(TComponent* owner)
    : TfrmRotiGeral(owner), TPublishedMembers("TfrmHistLanc") {
    Name = "frmHistLanc";
    Caption = "Histórico do Lancamento Contábil";
    lblCodTela->Caption = "CTB11030";
}

TfrmHistLanc::~TfrmHistLanc() {
    if (frmHistLanc == this) {
        frmHistLanc = nullptr;
        boIdCriado = false;
    }
}

void TfrmHistLanc::FormCreate(TObject* Sender) { TfrmRotiGeral::FormCreate(Sender); }

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
