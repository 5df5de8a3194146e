#include "contracts/dadosgerrel.h"

#include "contracts/consiste.h"
#include "contracts/formbuild.h"
#include "platform/data/text.h"

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

// The title of a copy of a report: one edit, OK and Cancelar.
class TfrmTituloRelatorio : public TForm {
public:
    explicit TfrmTituloRelatorio(TComponent* owner) : TForm(owner) {
        Name = "frmTituloRelatorio";
        BorderStyle = bsDialog;
        Position = poScreenCenter;
        Width = 380;
        Height = 130;
        lblPrompt = Control<TLabel>(this, this, "lblPrompt");
        lblPrompt->Left = 12;
        lblPrompt->Top = 12;
        edtTitulo = Control<TEdit>(this, this, "edtTitulo");
        edtTitulo->TabStop = true;
        edtTitulo->Left = 12;
        edtTitulo->Top = 32;
        edtTitulo->Width = 350;
        edtTitulo->Height = 21;
        edtTitulo->MaxLength = 80;
        btnOk = button("btnOk", "OK", mrOk, 206);
        btnOk->Default = true;
        btnCancelar = button("btnCancelar", "Cancelar", mrCancel, 288);
        btnCancelar->Cancel = true;
    }
    TLabel* lblPrompt;
    TEdit* edtTitulo;
    TButton* btnOk;
    TButton* btnCancelar;

private:
    TButton* button(const char* name, const char* caption, TModalResult result, int left) {
        auto* b = Control<TButton>(this, this, name);
        b->Caption = caption;
        b->ModalResult = result;
        b->TabStop = true;
        b->Left = left;
        b->Top = 66;
        b->Width = 76;
        b->Height = 25;
        return b;
    }
};

}  // namespace

bool AskReportTitle(const std::string& caption, const std::string& prompt, std::string& title) {
    TfrmTituloRelatorio* dlg = nullptr;
    Application->CreateForm(dlg);
    dlg->Caption = caption;
    dlg->lblPrompt->Caption = prompt;
    dlg->edtTitulo->SetText(title);
    dlg->SetActiveControl(dlg->edtTitulo);
    const bool ok = dlg->ShowModal() == mrOk;
    if (ok) title = dlg->edtTitulo->Text();
    dlg->Release();
    return ok;
}

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

std::string TfrmDadosGerRel::ReportCode() const {
    return lblCodRel->Caption.empty() ? lblCodTela->Caption : lblCodRel->Caption;
}

// A screen that set its own list keeps it; otherwise the list is the
// definitions of the screen's report code.
void TfrmDadosGerRel::FormCreate(TObject*) {
    if (rpddPadrao->Reports.empty() && !ReportCode().empty()) rpddPadrao->LoadReports(ReportCode());
    fillReportNames();
    cbbReportNames->SetItemIndex(cbbReportNames->Items.empty() ? -1 : 0);
}

void TfrmDadosGerRel::fillReportNames() {
    cbbReportNames->Items.clear();
    for (const TReportDefinition& r : rpddPadrao->Reports) cbbReportNames->Items.push_back(r.Name);
}

void TfrmDadosGerRel::FormActivate(TObject*) {
    if (cbbReportNames->ItemIndex() < 0 && !cbbReportNames->Items.empty()) cbbReportNames->SetItemIndex(0);
}

void TfrmDadosGerRel::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmDadosGerRel::RunReport(TReportAction action, const std::string& title) {
    if (rpddPadrao->Execute(cbbReportNames->ItemIndex(), action, title)) return;
    const std::string code = ReportCode();
    std::string text = msgPadrao->Has("Arq_Rel_Err")
                           ? msgPadrao->Msg("Arq_Rel_Err")
                           : "O arquivo contendo a definição do relatório de código '%s' não foi "
                             "encontrado no diretório '%s'.";
    Consiste::MensErro(substitute(text, {code, rpddPadrao->ReportDir}), true);
}

void TfrmDadosGerRel::sbtPrintClick(TObject*) { RunReport(raPrint); }

void TfrmDadosGerRel::sbtPreviewClick(TObject*) { RunReport(raPreview); }

// Asks the copy's title, then saves the chosen definition under it; the copy
// joins the list and becomes the chosen report.
void TfrmDadosGerRel::sbtSalvarComoClick(TObject*) {
    const int index = cbbReportNames->ItemIndex();
    if (index < 0 || index >= static_cast<int>(rpddPadrao->Reports.size())) {
        RunReport(raSaveAs);
        return;
    }
    std::string title = rpddPadrao->Reports[static_cast<std::size_t>(index)].Name + " (cópia)";
    const std::string caption = msgPadrao->Has("NovoCaption") ? msgPadrao->Msg("NovoCaption") : "Título do relatório";
    const std::string prompt =
        msgPadrao->Has("NovoPrompt") ? msgPadrao->Msg("NovoPrompt") : "Informe o título do relatório:";
    if (!AskReportTitle(caption, prompt, title)) return;
    title = Trim(title, kBlanks);
    if (title.empty()) Consiste::MensErro("O título do relatório deve ser informado.", true);
    for (const TReportDefinition& r : rpddPadrao->Reports)
        if (r.Name == title) Consiste::MensErro("Já existe um relatório com o título \"" + title + "\".", true);
    RunReport(raSaveAs, title);
    fillReportNames();
    const std::string copy = rpddPadrao->LastRun().File;
    for (std::size_t i = 0; i < rpddPadrao->Reports.size(); ++i)
        if (rpddPadrao->Reports[i].Path == copy) cbbReportNames->SetItemIndex(static_cast<int>(i));
}

void TfrmDadosGerRel::sbtFecharClick(TObject*) {
    if (Modal()) ModalResult = mrCancel;
    else Close();
}
