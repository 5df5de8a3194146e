#include "contracts/frmrotgeral.h"

#include "contracts/formbuild.h"

using FormBuild::Component;
using FormBuild::Control;

TfrmRotiGeral::TfrmRotiGeral(TComponent* owner) : TForm(owner) {
    Name = "frmRotiGeral";
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    Width = 520;
    Height = 400;
    panMenu = Control<TPanel>(this, this, "panMenu", alBottom);
    panMenu->Height = 40;
    lblCodTela = Control<TLabel>(this, panMenu, "lblCodTela");
    lblCodTela->Left = 8;
    lblCodTela->Top = 12;
    lblCodTela->Font.Bold = true;
    panBotoes = Control<TPanel>(this, panMenu, "panBotoes", alRight);
    panBotoes->Width = 170;
    panBotoes->BevelOuter = bvNone;
    sbtConfirma = Control<TButtonFlat>(this, panBotoes, "sbtConfirma");
    sbtConfirma->Caption = "Confirmar";
    sbtConfirma->Hint = "Confirmar";
    sbtConfirma->Left = 4;
    sbtConfirma->Width = 80;
    sbtCancel = Control<TButtonFlat>(this, panBotoes, "sbtCancel");
    sbtCancel->Caption = "Cancelar";
    sbtCancel->Hint = "Cancelar";
    sbtCancel->Cancel = true;
    sbtCancel->Left = 86;
    sbtCancel->Width = 80;
    grbDadosRel = Control<TGroupBox>(this, this, "grbDadosRel", alClient);
    msgPadrao = Component<TMessages>(this, "msgPadrao");

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    sbtConfirma->OnClick = [this](TObject* s) { sbtConfirmaClick(s); };
    sbtCancel->OnClick = [this](TObject* s) { sbtCancelClick(s); };
}

TfrmRotiGeral::~TfrmRotiGeral() { FormBuild::SilenceDataSources(this); }

void TfrmRotiGeral::FormCreate(TObject*) {}

void TfrmRotiGeral::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmRotiGeral::sbtConfirmaClick(TObject*) {
    if (Modal()) ModalResult = mrOk;
    else Close();
}

void TfrmRotiGeral::sbtCancelClick(TObject*) {
    if (Modal()) ModalResult = mrCancel;
    else Close();
}
