// Data and lifecycle of the entry screen: creation and connection, the
// company field, loading the company's lines with the filter dialog's
// criteria, the browse and form pages, the include and alter commands, the
// enabling of commands, the current-line handlers and the period rules.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/showavi.h"
#include "contracts/zembra.h"
#include "filter/frmlancfiltro.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <cmath>

namespace {

void SetParam(TADOIBQuery* q, const char* name, const std::string& value) { q->ParamByName(name)->SetAsString(value); }

// Today as the "yyyymm" the next-number call wants.
std::string AnoMesHoje() { return FormatDateTime("yyyymm", Date()); }

TDataPacket PacketOf(const TRpcValue& answer) { return Consiste::CheckResultServ(answer, true, 0).Packet(); }

}  // namespace

bool TfrmLancamentos::editing() const {
    const TDataSetState s = cdsLancCont->State();
    return s == dsEdit || s == dsInsert || boAlterado;
}

// ---- creation, showing, closing ----------------------------------------------

void TfrmLancamentos::FormCreate(TObject* Sender) {
    TfrmPadrao::FormCreate(Sender);
    {
        TShowAviGuard busy(Application->MainForm, 0);
        NetLancamentos->SetConnected(true);
    }
    nrProxSeq = 0;
    boFiltroCriado = false;
    const std::string picture = Zembra::DBPict(Zembra::ptContCtbl);
    qryContCtblCDCONTCTBL->EditMask = picture;
    cdsLancContCDCONTCTBL->EditMask = picture;
    edtCdEmpresa->SetText(Zembra::EmprProc());
    // An unknown host company still opens the screen (EAbort ends only this
    // handler); FormShow then puts the focus in the code.
    if (!openCompany(edtCdEmpresa->Text())) Consiste::MensErro(msgPadrao->Msg("EMP_N"), true);
    edtNmEmpresa->SetText(qryEmpresa->FieldByName("NMEMPRESA")->AsString());
}

void TfrmLancamentos::FormShow(TObject*) { edtCdEmpresa->SetFocus(); }

void TfrmLancamentos::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmPadrao::FormClose(Sender, Action);
    bostcriado = false;
    NetLancamentos->SetConnected(false);
    FreeAndNil(frmLancFiltro);
}

void TfrmLancamentos::NetLancamentosBeforeConnect(TObject*) {
    NetLancamentos->Host = Zembra::WebURL();
    NetLancamentos->Port = Zembra::WebPort();
}

// ---- company --------------------------------------------------------------------

bool TfrmLancamentos::openCompany(const std::string& code) {
    qryEmpresa->Close();
    SetParam(qryEmpresa, "P_CDEMPRESA", code);
    SetParam(qryEmpresa, "P_TCDEMPRESA", "");
    qryEmpresa->Open();
    return !qryEmpresa->IsEmpty();
}

void TfrmLancamentos::openCompanyParameters(const std::string& code) {
    qryContOpeCtbl->Close();
    SetParam(qryContOpeCtbl, "P_CDEMPRESA", code);
    SetParam(qryContOpeCtbl, "P_TCDEMPRESA", "");
    qryContOpeCtbl->Open();
}

void TfrmLancamentos::setBrowseCommandsOff() {
    SetCommandEnabled(sbtIncluir, false);
    SetCommandEnabled(sbtImprimir, false);
    SetCommandEnabled(sbtVerificar, false);
    SetCommandEnabled(spbFiltro, false);
}

// Choosing a company always starts from an empty browse page.
void TfrmLancamentos::edtCdEmpresaEnter(TObject*) {
    if (pgcPadrao->ActivePage() != tshFolhaDados) pgcPadrao->SetActivePage(tshFolhaDados);
    cdsLancCont->Close();
    setBrowseCommandsOff();
}

void TfrmLancamentos::edtCdEmpresaChange(TObject*) { edtNmEmpresa->SetText(""); }

void TfrmLancamentos::btnEmpresaBeforePesq(TObject*) {
    qryEmpresa->Close();
    SetParam(qryEmpresa, "P_TCDEMPRESA", "T");
    SetParam(qryEmpresa, "P_CDEMPRESA", "");
    qryEmpresa->Open();
}

void TfrmLancamentos::btnEmpresaAfterPesq(TObject*) {
    edtCdEmpresa->SetText(qryEmpresa->FieldByName("CDEMPRESA")->AsString());
    edtNmEmpresa->SetText(qryEmpresa->FieldByName("NMEMPRESA")->AsString());
}

void TfrmLancamentos::edtCdEmpresaExit(TObject*) {
    if (Consiste::EmptyString(edtCdEmpresa->Text())) {
        edtCdEmpresa->SetFocus();
        Consiste::MensErro(msgPadrao->Msg("EMP_DEV"), true);
    }
    edtCdEmpresa->SetText(Consiste::Ajusta(edtCdEmpresa->Text(), 2));
    if (!openCompany(edtCdEmpresa->Text())) {
        edtCdEmpresa->SetFocus();
        Consiste::MensErro(msgPadrao->Msg("EMP_N"), true);
    }
    edtNmEmpresa->SetText(qryEmpresa->FieldByName("NMEMPRESA")->AsString());

    openCompanyParameters(edtCdEmpresa->Text());
    pnlLancCCusto->Visible = qryContOpeCtbl->FieldByName("IDCONTGERE")->AsString() == "S";
    splLancCusto->Visible = pnlLancCCusto->Visible;
    showCommercialCodeColumns(qryContOpeCtbl->FieldByName("IDCONTCOME")->AsString());
}

// ---- commercial-code columns -------------------------------------------------------

namespace {

bool HasCommercialColumns(const TDBGrid* grid) {
    return Consiste::IndiceCol(grid, "IDLANCCOME") >= 0 && Consiste::IndiceCol(grid, "CDCONTCOME") >= 0;
}

// Copies the grid's column of the field into a column of nobody's and takes
// it out of the grid.
std::unique_ptr<TColumn> TakeOut(TDBGrid* grid, const char* field) {
    const int index = Consiste::IndiceCol(grid, field);
    auto kept = std::make_unique<TColumn>();
    kept->Assign(*grid->Columns->Items(index));
    grid->Columns->Delete(index);
    return kept;
}

// Puts a kept column back right after the column of `after` (at the end when
// that one is missing too).
void PutBack(TDBGrid* grid, std::unique_ptr<TColumn>& kept, const char* after) {
    if (!kept) return;
    const int anchor = Consiste::IndiceCol(grid, after);
    const int at = anchor < 0 ? grid->Columns->Count() : anchor + 1;
    grid->Columns->Insert(at)->Assign(*kept);
    kept.reset();
}

}  // namespace

void TfrmLancamentos::takeOutCommercialColumns() {
    if (HasCommercialColumns(dbgLancCont)) {
        colLancIdLancCome = TakeOut(dbgLancCont, "IDLANCCOME");
        colLancCdContCome = TakeOut(dbgLancCont, "CDCONTCOME");
    }
    if (HasCommercialColumns(dbgPadrao)) {
        colPadrIdLancCome = TakeOut(dbgPadrao, "IDLANCCOME");
        colPadrCdContCome = TakeOut(dbgPadrao, "CDCONTCOME");
    }
}

void TfrmLancamentos::putBackCommercialColumns() {
    if (!HasCommercialColumns(dbgLancCont)) {
        PutBack(dbgLancCont, colLancIdLancCome, "VRLANCAMENT");
        PutBack(dbgLancCont, colLancCdContCome, "IDLANCCOME");
    }
    if (!HasCommercialColumns(dbgPadrao)) {
        PutBack(dbgPadrao, colPadrIdLancCome, "DSHISTLANC");
        PutBack(dbgPadrao, colPadrCdContCome, "IDLANCCOME");
    }
}

// "N" takes the columns out, "S" puts them back; anything else (a company
// without parameters) leaves the grids as they are.
void TfrmLancamentos::showCommercialCodeColumns(const std::string& idContCome) {
    if (idContCome == "N") takeOutCommercialColumns();
    else if (idContCome == "S") putBackCommercialColumns();
}

// The first time the focus leaves the company, the user is asked for the
// filter criteria; the dialog's confirm loads the lines.
void TfrmLancamentos::panEmpresaExit(TObject*) {
    if (!boFiltroCriado) CriaLancFiltro();
}

// ---- loading ----------------------------------------------------------------------------

namespace {

bool FilterPeriodMissing() { return !frmLancFiltro || frmLancFiltro->dtFiltIni == 0 || frmLancFiltro->dtFiltFim == 0; }

}  // namespace

namespace {

bool SameArgs(const std::vector<TRpcValue>& a, const std::vector<TRpcValue>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!a[i].IsScalar() || !b[i].IsScalar() || a[i].Scalar() != b[i].Scalar()) return false;
    return true;
}

}  // namespace

// "" when the server keeps no version (or does not know the method): the
// list is then always loaded.
std::string TfrmLancamentos::serverDataVersion(const std::string& empresa) {
    const TRpcValue v = NetLancamentos->Call(ledger::method::GetVersaoLancCont, {empresa});
    if (IsServerError(v) || !v.IsScalar()) return "";
    const std::string* text = v.Scalar().string_if();
    return text ? *text : "";
}

void TfrmLancamentos::GetLancCont(bool reuse) {
    if (FilterPeriodMissing()) {
        MessageDlg(msgPadrao->Msg("PER_DEV"), mtInformation, TMsgDlgButtons(mbOK), 0);
        spbFiltro->Click();
        if (FilterPeriodMissing()) {
            edtCdEmpresa->SetFocus();
            Abort();
        }
    }
    TShowAviGuard busy(Application->MainForm, 6);
    // The dialog's applied criteria, for the company on the screen; what the
    // server gives back by reference goes back into them.
    ledger::TLancFiltro& aplicado = frmLancFiltro->Aplicado;
    ledger::TLancFiltro pedido = aplicado;
    pedido.Empresa = edtCdEmpresa->Text();
    std::vector<TRpcValue> args = pedido.ToArgs();
    // Asked before the load: a change saved meanwhile makes the next check
    // differ, never the other way round.
    const std::string versao = serverDataVersion(pedido.Empresa);
    if (reuse && !versao.empty() && versao == loadedList_.Version && SameArgs(args, loadedList_.Sent)) {
        args = loadedList_.Returned;
        cdsLancCont->Data(loadedList_.Lines);
    } else {
        loadedList_ = {};
        const std::vector<TRpcValue> sent = args;
        TDataPacket lines = PacketOf(NetLancamentos->Call(ledger::method::GetLancCont, args));
        cdsLancCont->Data(lines);
        loadedList_ = {sent, args, std::move(lines), versao};
    }
    const std::string empresa = aplicado.Empresa;
    aplicado = ledger::TLancFiltro::FromArgs(args);
    aplicado.Empresa = empresa;
    cdsLancContEspelho->Data(cdsLancCont->Data());
    cdsDebitoCredito->Data(cdsLancCont->Data());
    CalculaDebitoCredito();
}

void TfrmLancamentos::sbtVerificarClick(TObject* Sender) {
    GetLancCont();
    dtsPadraoStateChange(Sender);
}

// ---- browse page ----------------------------------------------------------------------------

void TfrmLancamentos::tshFolhaDadosEnter(TObject*) { boAlterado = false; }

void TfrmLancamentos::panDbgPadraoEnter(TObject*) {
    if (!cdsLancCont->Active()) GetLancCont();
}

// The browse page lists every loaded line.
void TfrmLancamentos::dbgPadraoEnter(TObject* Sender) {
    dtsPadraoStateChange(Sender);
    if (cdsLancCont->Filtered()) cdsLancCont->SetFiltered(false);
}

// ---- form page -----------------------------------------------------------------------------------

void TfrmLancamentos::reloadWholeEntry() {
    cdsLancCont->Data(PacketOf(NetLancamentos->Call(
        ledger::method::GetLancContFiltrado, {cdsLancContCDEMPRESA->AsString(), cdsLancContNRLANCCONT->AsString()})));
}

void TfrmLancamentos::tshFormularioEnter(TObject*) {
    if (boNovoLanc) return;
    reloadWholeEntry();
    cdsLancContEspelho->Data(cdsLancCont->Data());
}

void TfrmLancamentos::setEntryFilter() {
    cdsLancCont->SetFiltered(false);
    cdsLancCont->SetFilter(FiltroLancamento(edtCdEmpresa->Text(), stNrLancCont));
    cdsLancCont->SetFiltered(true);
}

void TfrmLancamentos::refilterApportionment() {
    cdsLancCCusto->SetFiltered(false);
    cdsLancCCusto->SetFilter(FiltroRateio(cdsLancContNRLANCCONT->AsString(), cdsLancContCDEMPRESA->AsString(),
                                          cdsLancContNRSEQLANC->AsString()));
    cdsLancCCusto->SetFiltered(true);
}

void TfrmLancamentos::loadApportionment() {
    if (cdsLancCCusto->Active() && cdsLancCCusto->State() != dsBrowse) cdsLancCCusto->Cancel();
    cdsLancCCusto->Data(PacketOf(NetLancamentos->Call(
        ledger::method::GetLancCCusto, {cdsLancContCDEMPRESA->AsString(), cdsLancContNRLANCCONT->AsString()})));
    refilterApportionment();
}

// Steps of the page change that open the form page on one entry.
void TfrmLancamentos::openFormPage() {
    if (!cdsLancCont->Active()) GetLancCont();
    if (boNovoLanc) {
        std::string anoMes = AnoMesHoje();
        // Through the server check too: a failure shows the server's text
        // instead of becoming the number of the new entry.
        const TRpcValue nr = Consiste::CheckResultServ(
            NetLancamentos->Call(ledger::method::PrxLancContabil, {edtCdEmpresa->Text(), ByRef(anoMes)}), true, 0);
        stNrLancCont = nr.Scalar().AsString();
    } else {
        stNrLancCont = cdsLancContNRLANCCONT->AsString();
    }
    edtNrLancCont->SetText(stNrLancCont);
    setEntryFilter();
    // A value filter selected single lines: fetch the whole entry.
    if (!boNovoLanc && frmLancFiltro && frmLancFiltro->Aplicado.IsValueKind()) reloadWholeEntry();
    edtNDoc->SetText(cdsLancContCDDOCUCONT->AsString());
    depDtLancCont->SetDate(cdsLancContDTLANCCONT->AsDateTime());
    // The entry's lines only: its totals need no second pass over a loaded year.
    cdsDebitoCredito->Data(cdsLancCont->ViewData());
    CalculaDebitoCredito();
    cdsLancCont->First();
    boEmRateio = false;
    boAlterado = false;
    loadApportionment();
    if (boNovoLanc) {
        cdsLancCont->Insert();
    } else if (edtNDoc->Text().empty()) {
        cdsLancCont->Cancel();
        // The state handler enables the box only at the end of the page
        // change; the form page is the active one already.
        edtNDoc->Enabled = true;
        edtNDoc->SetFocus();
    } else {
        cdsLancContCDCONTREDU->FocusControl();
    }
    if (cdsRateioEspelho->Active() && !cdsRateioEspelho->IsEmpty()) cdsRateioEspelho->EmptyDataSet();
}

void TfrmLancamentos::pgcPadraoChange(TObject* Sender) {
    TfrmPadrao::pgcPadraoChange(Sender);
    if (pgcPadrao->ActivePage() == tshFormulario) {
        openFormPage();
    } else {
        cdsLancCont->SetFiltered(false);
        GetLancCont(true);
    }
    dtsPadraoStateChange(Sender);
    boNovoLanc = false;
}

// ---- commands ------------------------------------------------------------------------------------

void TfrmLancamentos::sbtIncluirClick(TObject* Sender) {
    if (pgcPadrao->ActivePage() == tshFormulario) {
        boNovoLanc = false;
        TfrmPadrao::sbtIncluirClick(Sender);
        return;
    }
    TWinControl* focoAntes = ActiveControl();
    const bool formularioAntes = tshFormulario->Enabled;
    boNovoLanc = true;
    tshFormulario->Enabled = true;
    pgcPadrao->SetActivePage(tshFormulario);
    try {
        // The focus enters the form page now, while boNovoLanc tells its enter
        // handler that there is nothing to reload. Entered later (by the focus on
        // edtNDoc below, when it rested on the tabs), the handler would reload
        // the entry of the new line and drop the line.
        if (!tshFormulario->ContainsControl(ActiveControl())) tshFormulario->SetFocus();
        pgcPadraoChange(Sender);
    } catch (...) {
        // No number for the new entry (the server refused it): the list stays
        // as it was before the command, with the server's message shown.
        boNovoLanc = false;
        cdsLancCont->SetFiltered(false);
        pgcPadrao->SetActivePage(tshFolhaDados);
        tshFormulario->Enabled = formularioAntes;
        dtsPadraoStateChange(Sender);
        if (focoAntes && focoAntes->CanFocus()) focoAntes->SetFocus();
        throw;
    }
    edtNDoc->SetFocus();
}

void TfrmLancamentos::sbtAlterarClick(TObject* Sender) {
    TfrmPadrao::sbtAlterarClick(Sender);
    ValidaLancLote();
}

// ---- command enabling ------------------------------------------------------------------------------

void TfrmLancamentos::dtsPadraoStateChange(TObject*) { applyCommandState(editing(), true); }

void TfrmLancamentos::applyCommandState(bool edit, bool setFormPage) {
    const TDataSetState state = cdsLancCont->State();
    const bool inEdit = state == dsEdit || state == dsInsert;
    const bool formPage = pgcPadrao->ActivePage() == tshFormulario;
    const bool browsePage = pgcPadrao->ActivePage() == tshFolhaDados;

    SetCommandEnabled(sbtIncluir, !edit);
    SetCommandEnabled(sbtAlterar, !edit && formPage);
    SetCommandEnabled(sbtExcluir, !edit && formPage);
    SetCommandEnabled(sbtImprimir, browsePage);
    SetCommandEnabled(sbtVerificar, browsePage);
    SetCommandEnabled(spbFiltro, browsePage);
    SetCommandEnabled(sbtConfirmar, edit && formPage);
    SetCommandEnabled(sbtCancelar, edit && formPage);
    tshFolhaDados->Enabled = !edit;
    if (setFormPage) tshFormulario->Enabled = (cdsLancCont->Active() && !cdsLancCont->IsEmpty()) || inEdit;
    lblEmpresa->Enabled = !edit;
    edtCdEmpresa->Enabled = !edit;
    btnEmpresa->Enabled = !edit;
    edtNDoc->Enabled = formPage;
    depDtLancCont->Enabled = formPage && boNovoLanc;
}

// ---- current line ----------------------------------------------------------------------------------

// On a line of an analytic account, the apportionment panel is open exactly
// for the cost-centre kinds G, L and R.
void TfrmLancamentos::checkApportionmentPanel() {
    const std::string conta = cdsLancContCDCONTCTBL->AsString();
    if (Consiste::EmptyString(conta)) return;
    ContaContabil(conta);
    if (qryContCtbl->FieldByName("IDTIPOCONT")->AsString() != "A") return;
    const std::string kind = qryContCtbl->FieldByName("IDCONTCCUS")->AsString();
    pnlLancCCusto->Enabled = !kind.empty() && (kind[0] == 'G' || kind[0] == 'L' || kind[0] == 'R');
}

void TfrmLancamentos::cdsLancContBeforeScroll(TDataSet*) {
    dtUltLanc = cdsLancContDTLANCCONT->AsDateTime();
    stUltDocu = cdsLancContCDDOCUCONT->AsString();
    checkApportionmentPanel();
}

void TfrmLancamentos::cdsLancContAfterScroll(TDataSet*) {
    dtUltLanc = cdsLancContDTLANCCONT->AsDateTime();
    if (cdsLancCCusto->Active() && cdsLancCCusto->State() != dsBrowse) cdsLancCCusto->Cancel();
    refilterApportionment();
    checkApportionmentPanel();
}

void TfrmLancamentos::ContaContabil(const std::string& cdContCtbl) {
    qryContCtbl->Close();
    SetParam(qryContCtbl, "P_CDCONTCTBL", cdContCtbl);
    SetParam(qryContCtbl, "P_TCDCONTCTBL", "");
    SetParam(qryContCtbl, "P_CDCONTREDU", "");
    SetParam(qryContCtbl, "P_TCDCONTREDU", "T");
    qryContCtbl->Open();
}

// ---- period rules --------------------------------------------------------------------------------------

// Whole days are compared, so a bound stored with a time of day still takes
// in every line dated on that day.
void TfrmLancamentos::PeriodoCTB(TDateTime dtLanc) {
    // The refusal leaves the focus where it is.
    if (const ledger::TCheck r = ledger::CheckPeriod(companyRules(), dtLanc))
        Consiste::MensErro(msgPadrao->Msg(r->Key), true);
}

ledger::TCompanyRules TfrmLancamentos::companyRules() const {
    ledger::TCompanyRules c;
    if (!qryContOpeCtbl->Active() || qryContOpeCtbl->IsEmpty()) return c;
    auto text = [this](const char* f) { return qryContOpeCtbl->FieldByName(f)->AsString(); };
    auto date = [this](const char* f) { return qryContOpeCtbl->FieldByName(f)->AsDateTime(); };
    c.Management = text("IDCONTGERE") == "S";
    c.Commercial = text("IDCONTCOME") == "S";
    c.ProposesApportionment = text("IDSUGRAT") == "S";
    c.SameAccountBothSides = text("IDMSMCONTADBCR") != "N";
    c.AccountingFrom = date("DTINICCONT");
    c.AccountingTo = date("DTFINACONT");
    c.PostingFrom = date("DTINICLANC");
    c.PostingTo = date("DTFINALANC");
    return c;
}

// ---- display texts --------------------------------------------------------------------------------------

void TfrmLancamentos::cdsLancContIDLANCINTEGetText(TField* Sender, std::string& Text, bool) {
    Text = TextoIdLancInte(*msgPadrao, Sender->AsString());
}

void TfrmLancamentos::cdsLancContIDSISTEMAGetText(TField* Sender, std::string& Text, bool) {
    Text = TextoIdSistema(Sender->AsString());
}

std::string TextoIdLancInte(const TMessages& messages, const std::string& code) {
    for (const char* k : {"T", "M", "L", "I", "S", "F"})
        if (code == k) return messages.Msg(code);
    return {};
}

std::string TextoIdSistema(const std::string& code) {
    static const std::pair<const char*, const char*> names[] = {
        {"DFS", "Documentos Fiscais de Saída"},
        {"DFE", "Documentos Fiscais de Entrada"},
        {"EXP", "Expedição"},
        {"PAG", "Contas a Pagar"},
        {"REC", "Contas a Receber"},
        {"BCO", "Controle Bancário"},
        {"FIS", "Fiscal"},
        {"FAI", "Faturamento"},
        {"VND", "Gestão de Vendas"},
        {"LTO", "Lote"},
    };
    for (const auto& [k, text] : names)
        if (code == k) return text;
    return {};
}
