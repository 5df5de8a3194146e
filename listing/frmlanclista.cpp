#include "listing/frmlanclista.h"

TfrmLancLista* frmLancLista = nullptr;

TfrmLancLista::TfrmLancLista(TComponent* owner)
    : TfrmDadosGerRel(owner), TPublishedMembers("TfrmLancLista") {
    Name = "frmLancLista";
    Caption = "Lançamento Contábil";
    lblCodTela->Caption = "CTB11020";
    lblCodRel->Caption = "CTB11020";
    HelpContext = 10611020;
}

TfrmLancLista::~TfrmLancLista() {
    if (frmLancLista == this) frmLancLista = nullptr;
}
