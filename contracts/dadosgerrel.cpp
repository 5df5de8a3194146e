#include "contracts/dadosgerrel.h"

#include "contracts/consiste.h"
#include "contracts/formbuild.h"

using FormBuild::Component;
using FormBuild::Control;

namespace {

// Replaces each "%s" of the pattern by the next value, in order.
std::string substitute(const std::string& pattern, const std::vector<std::string>& values) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < values.size()) {
            out += values[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

TButtonFlat* menuButton(TComponent* owner, TPanel* bar, const char* name, const char* caption, int left) {
    auto* b = Control<TButtonFlat>(owner, bar, name);
    b->Caption = caption;
    b->Hint = caption;
    b->ShowHint = true;
    b->Left = left;
    b->Top = 4;
    b->Width = 72;
    b->Height = 32;
    return b;
}

}  // namespace

TfrmDadosGerRel::TfrmDadosGerRel(TComponent* owner) : TForm(owner) {
    Name = "frmDadosGerRel";
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    Width = 560;
    Height = 480;
    panMenu = Control<TPanel>(this, this, "panMenu", alTop);
    panMenu->Height = 40;
    sbtPrint = menuButton(this, panMenu, "sbtPrint", "Imprimir", 4);
    sbtPreview = menuButton(this, panMenu, "sbtPreview", "Visualizar", 80);
    sbtSalvarComo = menuButton(this, panMenu, "sbtSalvarComo", "Salvar como", 156);
    sbtFechar = menuButton(this, panMenu, "sbtFechar", "Fechar", 232);
    sbtFechar->Cancel = true;
    lblCodTela = Control<TLabel>(this, panMenu, "lblCodTela");
    lblCodTela->Left = 400;
    lblCodTela->Top = 12;
    lblCodTela->Font.Bold = true;
    lblCodRel = Control<TLabel>(this, panMenu, "lblCodRel");
    lblCodRel->Left = 480;
    lblCodRel->Top = 12;
    grbDadosRel = Control<TGroupBox>(this, this, "grbDadosRel", alClient);
    panRelat = Control<TPanel>(this, grbDadosRel, "panRelat", alTop);
    panRelat->Height = 36;
    cbbReportNames = Control<TComboBox>(this, panRelat, "cbbReportNames");
    cbbReportNames->Style = csDropDownList;
    cbbReportNames->TabStop = true;
    cbbReportNames->Left = 8;
    cbbReportNames->Top = 6;
    cbbReportNames->Width = 400;
    bvlSeparator = Control<TBevel>(this, grbDadosRel, "bvlSeparator", alTop);
    bvlSeparator->Height = 4;
    msgPadrao = Component<TMessages>(this, "msgPadrao");
    rpddPadrao = Component<TReportDesignerDialog>(this, "rpddPadrao");

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    sbtPrint->OnClick = [this](TObject* s) { sbtPrintClick(s); };
    sbtPreview->OnClick = [this](TObject* s) { sbtPreviewClick(s); };
    sbtSalvarComo->OnClick = [this](TObject* s) { sbtSalvarComoClick(s); };
    sbtFechar->OnClick = [this](TObject* s) { sbtFecharClick(s); };
}

TfrmDadosGerRel::~TfrmDadosGerRel() { FormBuild::SilenceDataSources(this); }

void TfrmDadosGerRel::FormCreate(TObject*) {
    cbbReportNames->Items.clear();
    for (const TReportDefinition& r : rpddPadrao->Reports) cbbReportNames->Items.push_back(r.Name);
    cbbReportNames->SetItemIndex(cbbReportNames->Items.empty() ? -1 : 0);
}

void TfrmDadosGerRel::FormActivate(TObject*) {
    if (cbbReportNames->ItemIndex() < 0 && !cbbReportNames->Items.empty()) cbbReportNames->SetItemIndex(0);
}

void TfrmDadosGerRel::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmDadosGerRel::RunReport(TReportAction action) {
    if (rpddPadrao->Execute(cbbReportNames->ItemIndex(), action)) return;
    const std::string code = lblCodRel->Caption.empty() ? lblCodTela->Caption : lblCodRel->Caption;
    std::string text = msgPadrao->Has("Arq_Rel_Err")
                           ? msgPadrao->Msg("Arq_Rel_Err")
                           : "O arquivo contendo a definição do relatório de código '%s' não foi "
                             "encontrado no diretório '%s'.";
    Consiste::MensErro(substitute(text, {code, rpddPadrao->ReportDir}), true);
}

void TfrmDadosGerRel::sbtPrintClick(TObject*) { RunReport(raPrint); }

void TfrmDadosGerRel::sbtPreviewClick(TObject*) { RunReport(raPreview); }

void TfrmDadosGerRel::sbtSalvarComoClick(TObject*) { RunReport(raSaveAs); }

void TfrmDadosGerRel::sbtFecharClick(TObject*) {
    if (Modal()) ModalResult = mrCancel;
    else Close();
}
