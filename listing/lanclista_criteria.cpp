// The listing screen's criteria as a whole: creation with the company's
// entry period, the report choice and activation rules, the checks of print,
// preview and save-as, and the values of the report query's parameters.
#include "listing/frmlanclista.h"

#include "contracts/consiste.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "platform/data/field.h"
#include "platform/ui/dispatch.h"

#include <initializer_list>

namespace {

std::string empresaDaTela() { return frmLancamentos ? frmLancamentos->edtCdEmpresa->Text() : std::string(); }

std::string nomeEmpresaDaTela() { return frmLancamentos ? frmLancamentos->edtNmEmpresa->Text() : std::string(); }

[[noreturn]] void recusa(TfrmLancLista* f, TWinControl* foco, const char* chave) {
    foco->SetFocus();
    Consiste::MensErro(f->msgPadrao->Msg(chave), true);
    Abort();  // MensErro with true never returns; keeps the compiler informed
}

// Sets a parameter only when the report's query has it.
void define(TParams& params, const char* name, const Variant& value) {
    if (Qrddlgs::ExistParam(params, name)) params.ParamByName(name)->Value = value;
}

std::string ouT(const std::string& text) { return Consiste::EmptyString(text) ? std::string("T") : text; }

}  // namespace

// ---------------------------------------------------------------- lifecycle

void TfrmLancLista::FormCreate(TObject* Sender) {
    TfrmDadosGerRel::FormCreate(Sender);
    qryContOp->Close();
    qryContOp->ParamByName("P_CDEMPRESA")->SetAsString(empresaDaTela());
    qryContOp->Open();
    depIni->SetDate(qryContOp->FieldByName("DTINICLANC")->AsDateTime());
    depFim->SetDate(qryContOp->FieldByName("DTFINALANC")->AsDateTime());
    if (qryContOp->FieldByName("IDCONTCOME")->AsString() != "S") {
        Consiste::SetChildEnabled(grbCliente, false);
        Consiste::SetChildEnabled(grbFornecedor, false);
        Consiste::SetChildEnabled(grbBanco, false);
    }
    const std::string pict = Zembra::DBPict(Zembra::ptContCtbl);
    medContCtblIn->SetEditMask(pict);
    medContCtblFi->SetEditMask(pict);
    qryContCtblCDCONTCTBL->EditMask = pict;
    stListaForn.clear();
    stListaClie.clear();
    stListaBanc.clear();
    stListaHist.clear();
}

// ---------------------------------------------------------- report choice

// The value, document and entry-number fields emptied, the four groups back
// on "Todos" (their click handlers empty the lists).
void TfrmLancLista::limpaCriterios() {
    edtValorIni->SetText("");
    edtValorFim->SetText("");
    medDoc->SetText("");
    medLanc->SetText("");
    rbtTodos->SetChecked(true);
    rbtTClie->SetChecked(true);
    rbtTForn->SetChecked(true);
    rbtTBanc->SetChecked(true);
}

// The nineteen controls that only the first report uses, in their order.
void TfrmLancLista::habilitaCriterios(bool primeiro) {
    for (TControl* c : std::initializer_list<TControl*>{
             grbValor, lblDe, lblAte, grbHistorico, rbtTodos, rbtLista, grbDoc, lblNumeDocu, grbLancto, lblNumeLanc,
             grbCliente, rbtTClie, rbtClie, grbFornecedor, rbtTForn, rbtForn, grbBanco, rbtTBanc, rbtBanc})
        c->Enabled = primeiro;
}

void TfrmLancLista::cbbReportNamesChange(TObject*) {
    const bool primeiro = cbbReportNames->ItemIndex() == 0;
    if (!primeiro) limpaCriterios();
    habilitaCriterios(primeiro);
    sbtHist->Enabled = primeiro && rbtLista->Checked();
    sbtClie->Enabled = primeiro && rbtClie->Checked();
    sbtForn->Enabled = primeiro && rbtForn->Checked();
    sbtBanc->Enabled = primeiro && rbtBanc->Checked();
}

// Runs after creation: for the first report it enables the commercial-code
// radio buttons again even when the company has no commercial codes; the
// list buttons are left as they are.
void TfrmLancLista::FormActivate(TObject* Sender) {
    TfrmDadosGerRel::FormActivate(Sender);
    if (cbbReportNames->ItemIndex() == 1) limpaCriterios();
    habilitaCriterios(cbbReportNames->ItemIndex() == 0);
}

// ------------------------------------------------------------------ checks

void TfrmLancLista::Vd_Valid() {
    depIni->CheckValidDate();
    depFim->CheckValidDate();
    if (medContCtblIn->Focused()) medContCtblInExit(medContCtblIn);
    if (medContCtblFi->Focused()) medContCtblFiExit(medContCtblFi);

    const std::string contIni = medContCtblIn->Text(), contFim = medContCtblFi->Text();
    const bool semContIni = Consiste::EmptyString(contIni), semContFim = Consiste::EmptyString(contFim);
    const bool semDtIni = Consiste::EmptyString(depIni->Text()), semDtFim = Consiste::EmptyString(depFim->Text());
    if (semContIni && !semContFim) recusa(this, medContCtblIn, "ContIni_Inf");
    if (!semContIni && semContFim) recusa(this, medContCtblFi, "ContFin_Inf");
    if (semDtIni && !semDtFim) recusa(this, depIni, "DataIni_Inf");
    if (!semDtIni && semDtFim) recusa(this, depFim, "DataFin_Inf");
    if (!semContIni && !semContFim && contIni > contFim) recusa(this, medContCtblIn, "ContIni_ContFin");
    if (depFim->Date() < depIni->Date()) recusa(this, depIni, "DtIni_DtFin");
    if (rbtLista->Checked() && stListaHist.empty()) recusa(this, rbtLista, "Hist_Inf");
    if (rbtClie->Checked() && stListaClie.empty()) recusa(this, rbtClie, "Clie_Inf");
    if (rbtForn->Checked() && stListaForn.empty()) recusa(this, rbtForn, "Forn_Inf");
    if (rbtBanc->Checked() && stListaBanc.empty()) recusa(this, rbtBanc, "Banc_Inf");
}

void TfrmLancLista::sbtPrintClick(TObject* Sender) {
    Vd_Valid();
    TfrmDadosGerRel::sbtPrintClick(Sender);
}

void TfrmLancLista::sbtPreviewClick(TObject* Sender) {
    Vd_Valid();
    TfrmDadosGerRel::sbtPreviewClick(Sender);
}

void TfrmLancLista::sbtSalvarComoClick(TObject* Sender) {
    Vd_Valid();
    TfrmDadosGerRel::sbtSalvarComoClick(Sender);
}

// --------------------------------------------------------- query parameters

// The criteria as they stand (nothing rounded or checked here). An empty
// list becomes "T" and stays so after the report has run.
void TfrmLancLista::rpddPadraoBeforeGetQueryParams(TComponent*, TParams& Params) {
    if (stListaHist.empty()) stListaHist = "T";
    const std::string documento = ouT(medDoc->Text());
    const std::string lancamento = ouT(medLanc->Text());
    stListaClie = ouT(stListaClie);
    stListaForn = ouT(stListaForn);
    stListaBanc = ouT(stListaBanc);

    const std::string contIni = medContCtblIn->Text(), contFim = medContCtblFi->Text();
    const bool contas = !Consiste::EmptyString(contIni) && !Consiste::EmptyString(contFim);
    const bool datas = !Consiste::EmptyString(depIni->Text()) && !Consiste::EmptyString(depFim->Text());
    const bool valores = edtValorIni->Number() != 0 && edtValorFim->Number() != 0;
    define(Params, "CDEMPRESA", empresaDaTela());
    define(Params, "TODASCONTAS", std::string(contas ? "N" : "T"));
    define(Params, "CDCONTCTBLI", contIni);
    define(Params, "CDCONTCTBLF", contFim + Consiste::Replicate("Z", 10 - static_cast<int>(Utf8Length(contFim))));
    define(Params, "TODASDATAS", std::string(datas ? "N" : "T"));
    define(Params, "DTLANCAMENTI", depIni->Date());
    define(Params, "DTLANCAMENTF", depFim->Date());
    define(Params, "CDHISTPADR", stListaHist);
    define(Params, "P_VALOR", std::string(valores ? "N" : "T"));
    define(Params, "VALOR", edtValorIni->Number());
    define(Params, "VALORF", edtValorFim->Number());
    define(Params, "P_CDCONTCLIE", stListaClie);
    define(Params, "P_CDCONTFORN", stListaForn);
    define(Params, "P_CDCONTBANC", stListaBanc);
    define(Params, "CDDOCUCONT", documento);
    define(Params, "NRLANCCONT", lancamento);
    define(Params, "P_NMEMPRESA", nomeEmpresaDaTela());
}
