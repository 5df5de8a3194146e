// The filter dialog's criteria as a whole: creation, every showing, the
// saved copy (Atualiza_Filtro both ways), the filter kind, the confirmation
// with its checks and the GetLancCont request, and the cancellation.
#include "filter/frmlancfiltro.h"

#include "contracts/consiste.h"
#include "contracts/netconnection.h"
#include "contracts/showavi.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "platform/data/field.h"
#include "platform/ui/dispatch.h"

#include <string>

std::string TipoFiltro(double vrIni, double vrFim, bool nrLancVazio, bool listaGerencial) {
    const bool porValor = vrIni != 0 && vrFim != 0 && nrLancVazio;
    if (porValor) return listaGerencial ? kFiltroValorGer : kFiltroValor;
    return listaGerencial ? kAuxFiltroGer : kAuxFiltro;
}

namespace {

// The company the dialog works for: the entry screen's company field.
std::string empresaDaTela() { return frmLancamentos ? frmLancamentos->edtCdEmpresa->Text() : std::string(); }

// "0" or empty, as the final value is left when only the initial one was
// typed. A number edit shows zero as "0,00": any text that reads as zero
// counts, so the final value is never left at 0 below a typed initial one.
bool valorVazio(const TNumberEdit* e) {
    const std::string t = e->Text();
    return Consiste::EmptyString(t) || (e->IsValid() && e->Number() == 0);
}

// Checks of the confirmation: each names its control and message key.
[[noreturn]] void recusa(TfrmLancFiltro* f, TWinControl* foco, const char* chave) {
    foco->SetFocus();
    Consiste::MensErro(f->msgPadrao->Msg(chave), true);
    Abort();  // MensErro with true never returns; keeps the compiler informed
}

}  // namespace

std::string TfrmLancFiltro::tipoFiltroAtual(bool comNrLanc) const {
    const bool nrLancVazio = !comNrLanc || Consiste::EmptyString(medLanc->Text());
    return TipoFiltro(edtValorIni->Number(), edtValorFim->Number(), nrLancVazio,
                      rbtLFilial->Checked() || rbtLCentCust->Checked());
}

// ---------------------------------------------------------------- lifecycle

void TfrmLancFiltro::FormCreate(TObject* Sender) {
    TfrmRotiGeral::FormCreate(Sender);
    const std::string pict = Zembra::DBPict(Zembra::ptContCtbl);
    medContCtblIn->SetEditMask(pict);
    medContCtblFi->SetEditMask(pict);
    qryContCtblCDCONTCTBL->EditMask = pict;
    qryContCtblCDCONTCTBL->EditMask = pict;

    cdsData->CreateDataSet();
    cdsData->Insert();
    cdsDataDTHOJE->SetAsDateTime(Date());
    cdsData->Post();
}

void TfrmLancFiltro::FormActivate(TObject*) {
    Atualiza_Filtro(true);
    if (depIni->Date() == 0 || depFim->Date() == 0) {
        depIni->SetDate(cdsDataDTHOJE->AsDateTime());
        depFim->SetDate(cdsDataDTHOJE->AsDateTime());
    }
    resetGruposPorEmpresa();
    sbtHist->Enabled = rbtLista->Checked();
    sbtClie->Enabled = rbtClie->Checked();
    sbtForn->Enabled = rbtForn->Checked();
    sbtBanc->Enabled = rbtBanc->Checked();
    btnFilial->Enabled = rbtLFilial->Checked();
    btnCentCust->Enabled = rbtLCentCust->Checked();
}

// A company without commercial (management) codes gets those groups back to
// "Todos" and disabled; checking "Todos" from code empties the group's list.
// The history group follows the commercial codes back to "Todos" but stays
// usable.
void TfrmLancFiltro::resetGruposPorEmpresa() {
    qryContOp->Close();
    qryContOp->ParamByName("P_CDEMPRESA")->SetAsString(empresaDaTela());
    qryContOp->Open();
    const bool comercial = qryContOp->FieldByName("IDCONTCOME")->AsString() == "S";
    const bool gerencial = qryContOp->FieldByName("IDCONTGERE")->AsString() == "S";
    if (!comercial) {
        rbtTodos->SetChecked(true);
        rbtTClie->SetChecked(true);
        rbtTForn->SetChecked(true);
        rbtTBanc->SetChecked(true);
    }
    if (!gerencial) {
        rbtTFilial->SetChecked(true);
        rbtTCentCust->SetChecked(true);
    }
    Consiste::SetChildEnabled(grbCliente, comercial);
    Consiste::SetChildEnabled(grbFornecedor, comercial);
    Consiste::SetChildEnabled(grbBanco, comercial);
    Consiste::SetChildEnabled(grbFilial, gerencial);
    Consiste::SetChildEnabled(grbCentCust, gerencial);
}

// Only hidden: the criteria and the applied filter outlive each showing.
void TfrmLancFiltro::FormClose(TObject*, TCloseAction& Action) { Action = caHide; }

// ------------------------------------------------------- saved criteria

void TfrmLancFiltro::Atualiza_Filtro(bool restaura) {
    if (restaura) restauraFiltro();
    else salvaFiltro();
}

// Each "Lista" is set before its list is copied: checking it empties the list.
void TfrmLancFiltro::restauraFiltro() {
    const TFILTRO& s = FiltroSalvo;
    medContCtblIn->SetText(s.Conta.stContIni);
    medContCtblFi->SetText(s.Conta.stContFim);
    depIni->SetDate(s.dtIni);
    depFim->SetDate(s.dtFim);
    edtValorIni->SetNumber(s.Valor.vrIni);
    edtValorFim->SetNumber(s.Valor.vrFim);
    rbtLista->SetChecked(s.Hist.boHist);
    stListaHist = s.Hist.stHist;
    medDoc->SetText(s.DocLanc.stDocu);
    medLanc->SetText(s.DocLanc.stNrLanc);
    rbtClie->SetChecked(s.Clie.boClie);
    stListaClie = s.Clie.stClie;
    rbtForn->SetChecked(s.Forn.boForn);
    stListaForn = s.Forn.stForn;
    rbtBanc->SetChecked(s.Banc.boBanc);
    stListaBanc = s.Banc.stBanc;
    rbtLFilial->SetChecked(s.Filial.boFilial);
    stListaFilial = s.Filial.stFilial;
    rbtLCentCust->SetChecked(s.CentCust.boCentCust);
    stListaCentCust = s.CentCust.stCentCust;
    // A "Todos" checked here runs its pair's handler, which empties a list
    // that then had no "Lista" anyway.
    rbtTodos->SetChecked(!rbtLista->Checked());
    rbtTClie->SetChecked(!rbtClie->Checked());
    rbtTForn->SetChecked(!rbtForn->Checked());
    rbtTBanc->SetChecked(!rbtBanc->Checked());
    rbtTFilial->SetChecked(!rbtLFilial->Checked());
    rbtTCentCust->SetChecked(!rbtLCentCust->Checked());
}

// Saving ignores the entry number in the filter kind; the entry number, the
// padded final account and the document of the applied filter change only
// with a request.
void TfrmLancFiltro::salvaFiltro() {
    TFILTRO s;
    s.Conta.stContIni = medContCtblIn->Text();
    s.Conta.stContFim = medContCtblFi->Text();
    s.dtIni = depIni->Date();
    s.dtFim = depFim->Date();
    s.Valor.vrIni = edtValorIni->Number();
    s.Valor.vrFim = edtValorFim->Number();
    s.Hist.boHist = rbtLista->Checked();
    s.Hist.stHist = stListaHist;
    s.Clie.boClie = rbtClie->Checked();
    s.Clie.stClie = stListaClie;
    s.Forn.boForn = rbtForn->Checked();
    s.Forn.stForn = stListaForn;
    s.Banc.boBanc = rbtBanc->Checked();
    s.Banc.stBanc = stListaBanc;
    s.Filial.boFilial = rbtLFilial->Checked();
    s.Filial.stFilial = stListaFilial;
    s.CentCust.boCentCust = rbtLCentCust->Checked();
    s.CentCust.stCentCust = stListaCentCust;
    s.DocLanc.stDocu = medDoc->Text();
    s.DocLanc.stNrLanc = medLanc->Text();
    FiltroSalvo = s;

    stTipoFiltro = tipoFiltroAtual(false);
    stFiltEmpresa = empresaDaTela();
    stFiltHist = stListaHist;
    stFiltClie = stListaClie;
    stFiltForn = stListaForn;
    stFiltBanc = stListaBanc;
    stFiltCentCust = stListaCentCust;
    stFiltFilial = stListaFilial;
    stFiltContIni = s.Conta.stContIni;
    stFiltContFim = s.Conta.stContFim;
    dtFiltIni = s.dtIni;
    dtFiltFim = s.dtFim;
    vrFiltIni = s.Valor.vrIni;
    vrFiltFim = s.Valor.vrFim;
    stFiltHistLanc = medHistLanc->Text();
}

// ------------------------------------------------------------ confirmation

// The thirteen checks, in order; the first failure ends the confirmation.
void TfrmLancFiltro::checaCriterios() {
    const std::string contIni = medContCtblIn->Text(), contFim = medContCtblFi->Text();
    const bool semIni = Consiste::EmptyString(contIni), semFim = Consiste::EmptyString(contFim);
    if (semIni && !semFim) recusa(this, medContCtblIn, "ContIni_Inf");
    if (!semIni && semFim) recusa(this, medContCtblFi, "ContFin_Inf");
    if (!semIni && !semFim && contIni > contFim) recusa(this, medContCtblIn, "ContIni_ContFin");
    if (Consiste::EmptyString(depIni->Text())) recusa(this, depIni, "DtIni_Inf");
    if (Consiste::EmptyString(depFim->Text())) recusa(this, depFim, "DtFim_Inf");
    if (depFim->Date() < depIni->Date()) recusa(this, depIni, "DtIni_DtFin");
    if (rbtLista->Checked() && stListaHist.empty()) recusa(this, rbtLista, "HistPadr_Inf");
    if (rbtClie->Checked() && stListaClie.empty()) recusa(this, rbtClie, "Clie_Inf");
    if (rbtForn->Checked() && stListaForn.empty()) recusa(this, rbtForn, "Forn_Inf");
    if (rbtBanc->Checked() && stListaBanc.empty()) recusa(this, rbtBanc, "Banc_Inf");
    if (rbtLFilial->Checked() && stListaFilial.empty()) recusa(this, rbtLFilial, "Filial_Inf");
    if (rbtLCentCust->Checked() && stListaCentCust.empty()) recusa(this, rbtLCentCust, "CentCust_Inf");
    const double vrIni = edtValorIni->Number(), vrFim = edtValorFim->Number();
    if ((vrIni != 0 || vrFim != 0) && vrFim < vrIni) recusa(this, edtValorFim, "VRFIN_DEV");
}

void TfrmLancFiltro::sbtConfirmaClick(TObject* Sender) {
    if (valorVazio(edtValorFim)) edtValorFim->SetText(edtValorIni->Text());
    depIni->CheckValidDate();
    depFim->CheckValidDate();
    if (medContCtblIn->Focused()) medContCtblInExit(medContCtblIn);
    if (medContCtblFi->Focused()) medContCtblFiExit(medContCtblFi);
    checaCriterios();

    const std::string contFim = medContCtblFi->Text();
    TShowAviGuard busy(Application->MainForm, 6);
    edtValorIni->SetNumber(Consiste::RoundDec(edtValorIni->Number(), 2));
    edtValorFim->SetNumber(Consiste::RoundDec(edtValorFim->Number(), 2));
    Atualiza_Filtro(false);

    if (!frmLancamentos) throw Exception("A tela de lançamentos contábeis não está aberta.");
    ledger::TLancFiltro pedido;
    pedido.TipoFiltro = tipoFiltroAtual(true);
    pedido.Empresa = empresaDaTela();
    pedido.NrLanc = medLanc->Text();
    pedido.ContFimZ = contFim + Consiste::Replicate("Z", 10 - static_cast<int>(Utf8Length(contFim)));
    pedido.Hist = stListaHist;
    pedido.Clie = stListaClie;
    pedido.Forn = stListaForn;
    pedido.Banc = stListaBanc;
    pedido.Docu = medDoc->Text();
    pedido.CentCust = stListaCentCust;
    pedido.ContIni = medContCtblIn->Text();
    pedido.ContFim = contFim;
    pedido.DtIni = depIni->Date();
    pedido.DtFim = depFim->Date();
    pedido.VrIni = edtValorIni->Number();
    pedido.VrFim = edtValorFim->Number();
    pedido.HistLanc = medHistLanc->Text();
    pedido.Filial = stListaFilial;
    std::vector<TRpcValue> args = pedido.ToArgs();
    const TRpcValue valor =
        Consiste::CheckResultServ(frmLancamentos->NetLancamentos->Call(ledger::method::GetLancCont, args), true, 0);
    // A value that is not a packet raises here, before anything is replaced.
    frmLancamentos->cdsLancCont->Data(valor.Packet());

    // What the server gave back by reference becomes the applied filter and
    // the lists the dialog works with.
    Aplicado = ledger::TLancFiltro::FromArgs(args);
    stListaHist = Aplicado.Hist;
    stListaClie = Aplicado.Clie;
    stListaForn = Aplicado.Forn;
    stListaBanc = Aplicado.Banc;
    stListaCentCust = Aplicado.CentCust;
    stListaFilial = Aplicado.Filial;
    busy.Release();
    TfrmRotiGeral::sbtConfirmaClick(Sender);
}

// No check, no rounding, no request: the values as they stand become the
// saved criteria and most of the applied filter.
void TfrmLancFiltro::sbtCancelClick(TObject* Sender) {
    Atualiza_Filtro(false);
    TfrmRotiGeral::sbtCancelClick(Sender);
}
