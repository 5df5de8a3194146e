#include "contracts/frmpadrao.h"

#include "contracts/formbuild.h"
#include "platform/ui/services.h"

using FormBuild::Component;
using FormBuild::Control;

namespace {

bool editing(const TDataSet* ds) { return ds && (ds->State() == dsEdit || ds->State() == dsInsert); }

}  // namespace

TfrmPadrao::TfrmPadrao(TComponent* owner) : TForm(owner) {
    Name = "frmPadrao";
    FormStyle = fsMDIChild;
    Width = 780;
    Height = 540;
    buildCommandBar();
    buildMenu();
    buildPages();
    buildNavigator();
    dtsPadrao = Component<TDataSource>(this, "dtsPadrao");
    msgPadrao = Component<TMessages>(this, "msgPadrao");
    msgMensagensPadroes = Component<TMessages>(this, "msgMensagensPadroes");
    msgMensagensPadroes->Add("Excl", "Confirma exclusão?");
    msgMensagensPadroes->Add("Canc", "Cancelar operação?");
    pmnNavegar = Component<TPopupMenu>(this, "pmnNavegar");
    dbgPadrao->SetDataSource(dtsPadrao);
    dbtNome->DataSource = dtsPadrao;
    dbnPadrao->DataSource = dtsPadrao;
    bindHandlers();
}

TButtonFlat* TfrmPadrao::commandButton(const char* name, const char* caption, const char* hint) {
    auto* b = Control<TButtonFlat>(this, panMenu, name);
    b->Caption = caption;
    b->Hint = hint;
    b->ShowHint = true;
    b->Left = 4 + 64 * (panMenu->ControlCount() - 1);
    b->Top = 4;
    b->Width = 60;
    b->Height = 32;
    return b;
}

TfrmPadrao::~TfrmPadrao() { FormBuild::SilenceDataSources(this); }

void TfrmPadrao::buildCommandBar() {
    panMenu = Control<TPanel>(this, this, "panMenu", alTop);
    panMenu->Height = 40;
    sbtIncluir = commandButton("sbtIncluir", "Incluir", "Incluir");
    sbtAlterar = commandButton("sbtAlterar", "Alterar", "Alterar");
    sbtExcluir = commandButton("sbtExcluir", "Excluir", "Excluir");
    sbtConfirmar = commandButton("sbtConfirmar", "Confirmar", "Confirmar");
    sbtCancelar = commandButton("sbtCancelar", "Cancelar", "Cancelar");
    sbtVerificar = commandButton("sbtVerificar", "Verificar", "Verificar");
    sbtImprimir = commandButton("sbtImprimir", "Imprimir", "Imprimir");
    sbtAjuda = commandButton("sbtAjuda", "Ajuda", "Ajuda");
    sbtFechar = commandButton("sbtFechar", "Fechar", "Fechar");
    lblCodTela = Control<TLabel>(this, panMenu, "lblCodTela");
    lblCodTela->Left = 700;
    lblCodTela->Top = 12;
    lblCodTela->Font.Bold = true;
}

// The command's key combination also shows in its button's hint.
TMenuItem* TfrmPadrao::mirror(TButtonFlat* button, const char* name, const char* shortCut) {
    auto* item = Component<TMenuItem>(this, name);
    item->Caption = button->Caption;
    item->ShortCut = shortCut;
    button->Hint += std::string(" (") + shortCut + ")";
    mnuOpcoes->Add(item);
    // The command runs the button's own click, whatever handler it carries.
    item->OnClick = [button](TObject*) { button->Click(); };
    commands_[button] = item;
    return item;
}

void TfrmPadrao::buildMenu() {
    mnuMenu = Component<TMainMenu>(this, "mnuMenu");
    Menu = mnuMenu;
    mnuOpcoes = Component<TMenuItem>(this, "mnuOpcoes");
    mnuOpcoes->Caption = "&Opções";
    mnuMenu->Items()->Add(mnuOpcoes);
    mniIncluir = mirror(sbtIncluir, "mniIncluir", "Ctrl+N");
    mniAlterar = mirror(sbtAlterar, "mniAlterar", "Ctrl+E");
    mniExcluir = mirror(sbtExcluir, "mniExcluir", "Ctrl+Shift+Del");
    mniConfirmar = mirror(sbtConfirmar, "mniConfirmar", "Ctrl+S");
    mniCancelar = mirror(sbtCancelar, "mniCancelar", "Ctrl+Z");
    mniVerificar = mirror(sbtVerificar, "mniVerificar", "F5");
    mniImprimir = mirror(sbtImprimir, "mniImprimir", "Ctrl+P");
}

void TfrmPadrao::buildPages() {
    pgcPadrao = Control<TPageControl>(this, this, "pgcPadrao", alClient);
    tshFolhaDados = Control<TTabSheet>(this, nullptr, "tshFolhaDados");
    tshFolhaDados->Caption = "Folha de Dados";
    tshFolhaDados->SetPageControl(pgcPadrao);
    panDbgPadrao = Control<TPanel>(this, tshFolhaDados, "panDbgPadrao", alClient);
    scbFolhaDados = Control<TScrollBox>(this, panDbgPadrao, "scbFolhaDados", alClient);
    dbgPadrao = Control<TDBGrid>(this, scbFolhaDados, "dbgPadrao", alClient);
    dbgPadrao->TabStop = true;
    tshFormulario = Control<TTabSheet>(this, nullptr, "tshFormulario");
    tshFormulario->Caption = "Formulário";
    tshFormulario->SetPageControl(pgcPadrao);
    panFormulario = Control<TPanel>(this, tshFormulario, "panFormulario", alClient);
    scbFormulario = Control<TScrollBox>(this, panFormulario, "scbFormulario", alClient);
    pgcPadrao->SetActivePage(tshFolhaDados);
}

void TfrmPadrao::buildNavigator() {
    panNavigator = Control<TPanel>(this, this, "panNavigator", alBottom);
    panNavigator->Height = 28;
    dbtNome = Control<TDBText>(this, panNavigator, "dbtNome", alClient);
    dbnPadrao = Control<TDBNavigator>(this, panNavigator, "dbnPadrao", alRight);
    dbnPadrao->Width = 240;
}

void TfrmPadrao::bindHandlers() {
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    pgcPadrao->OnChange = [this](TObject* s) { pgcPadraoChange(s); };
    sbtIncluir->OnClick = [this](TObject* s) { sbtIncluirClick(s); };
    sbtAlterar->OnClick = [this](TObject* s) { sbtAlterarClick(s); };
    sbtExcluir->OnClick = [this](TObject* s) { sbtExcluirClick(s); };
    sbtConfirmar->OnClick = [this](TObject* s) { sbtConfirmarClick(s); };
    sbtCancelar->OnClick = [this](TObject* s) { sbtCancelarClick(s); };
    sbtVerificar->OnClick = [this](TObject* s) { sbtVerificarClick(s); };
    sbtImprimir->OnClick = [this](TObject* s) { sbtImprimirClick(s); };
    sbtAjuda->OnClick = [this](TObject* s) { sbtAjudaClick(s); };
    sbtFechar->OnClick = [this](TObject* s) { sbtFecharClick(s); };
    dtsPadrao->OnStateChange = [this](TDataSource* s) { dtsPadraoStateChange(s); };
}

void TfrmPadrao::SetCommandEnabled(TControl* button, bool enabled) {
    if (!button) return;
    button->Enabled = enabled;
    if (TMenuItem* item = MenuCommandOf(button)) item->Enabled = enabled;
}

TMenuItem* TfrmPadrao::MenuCommandOf(const TControl* button) const {
    const auto it = commands_.find(button);
    return it == commands_.end() ? nullptr : it->second;
}

void TfrmPadrao::FormCreate(TObject*) {
    pgcPadrao->SetActivePage(tshFolhaDados);
    dtsPadraoStateChange(dtsPadrao);
}

void TfrmPadrao::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmPadrao::pgcPadraoChange(TObject*) {}

void TfrmPadrao::sbtIncluirClick(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    if (ds && ds->Active() && !editing(ds)) ds->Insert();
}

void TfrmPadrao::sbtAlterarClick(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    if (ds && ds->Active() && !editing(ds) && !ds->IsEmpty()) ds->Edit();
}

void TfrmPadrao::sbtExcluirClick(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    if (!ds || !ds->Active() || editing(ds) || ds->IsEmpty()) return;
    if (MessageDlg(msgMensagensPadroes->Msg("Excl"), mtConfirmation, TMsgDlgButtons(mbYes) << mbNo, HelpContext) ==
        mrYes)
        ds->Delete();
}

void TfrmPadrao::sbtConfirmarClick(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    if (editing(ds)) ds->Post();
}

void TfrmPadrao::sbtCancelarClick(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    if (editing(ds)) ds->Cancel();
}

void TfrmPadrao::sbtVerificarClick(TObject*) {}

void TfrmPadrao::sbtImprimirClick(TObject*) {}

void TfrmPadrao::sbtAjudaClick(TObject*) {}

void TfrmPadrao::sbtFecharClick(TObject*) { Close(); }

void TfrmPadrao::dtsPadraoStateChange(TObject*) {
    TDataSet* ds = dtsPadrao->DataSet();
    const bool active = ds && ds->Active();
    const bool edit = editing(ds);
    const bool browsing = active && !edit;
    const bool hasRecord = browsing && !ds->IsEmpty();
    SetCommandEnabled(sbtIncluir, browsing);
    SetCommandEnabled(sbtAlterar, hasRecord);
    SetCommandEnabled(sbtExcluir, hasRecord);
    SetCommandEnabled(sbtConfirmar, edit);
    SetCommandEnabled(sbtCancelar, edit);
    SetCommandEnabled(sbtVerificar, hasRecord);
    SetCommandEnabled(sbtImprimir, !edit);
}
