// The three commands that end work on an entry: Confirmar checks the whole
// entry and sends it to the application server in one call (the only place
// an entry is written), Cancelar drops the unsent changes (or just the edit
// in progress), Excluir deletes the entry on the server. Closing the screen
// with unsent changes asks first.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/showavi.h"
#include "contracts/zembra.h"
#include "filter/frmlancfiltro.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <cmath>
#include <cstdint>

namespace {

// Freezes the two grids of the form page for the pass and unfreezes them
// whatever happens (an unfreeze done early by the pass is not repeated).
class TGradesCongeladas {
public:
    TGradesCongeladas(TDataSet* linhas, TDataSet* rateio) : linhas_(linhas), rateio_(rateio) {
        linhas_->DisableControls();
        rateio_->DisableControls();
    }
    ~TGradesCongeladas() {
        Libera(linhas_, linhasLivres_);
        Libera(rateio_, rateioLivre_);
    }
    void LiberaLinhas() { Libera(linhas_, linhasLivres_); }
    void LiberaRateio() { Libera(rateio_, rateioLivre_); }
    TGradesCongeladas(const TGradesCongeladas&) = delete;
    TGradesCongeladas& operator=(const TGradesCongeladas&) = delete;

private:
    static void Libera(TDataSet* ds, bool& livre) {
        if (livre) return;
        livre = true;
        ds->EnableControls();
    }
    TDataSet* linhas_;
    TDataSet* rateio_;
    bool linhasLivres_ = false;
    bool rateioLivre_ = false;
};

}  // namespace

// ---- Confirmar --------------------------------------------------------------------------------

// The lines of the entry in the line mirror's order, read once before the
// pass: handlers inside the pass copy and re-filter the mirror, yet each line
// is visited once and its value counted once.
std::vector<TfrmLancamentos::TLinhaConfirmacao> TfrmLancamentos::linhasDaConfirmacao() {
    cdsLancContEspelho->SetFiltered(false);
    cdsLancContEspelho->SetFilter(
        FiltroDebitoCredito(cdsLancContNRLANCCONT->AsString(), cdsLancContCDEMPRESA->AsString()));
    cdsLancContEspelho->SetFiltered(true);
    std::vector<TLinhaConfirmacao> linhas;
    auto text = [this](const char* f) { return cdsLancContEspelho->FieldByName(f)->AsString(); };
    for (cdsLancContEspelho->First(); !cdsLancContEspelho->Eof(); cdsLancContEspelho->Next())
        linhas.push_back({text("CDEMPRESA"), text("NRLANCCONT"), text("NRSEQLANC"), text("CDCONTCTBL"),
                          text("IDLANCCOME"), cdsLancContEspelho->FieldByName("VRLANCAMENT")->AsFloat()});
    cdsLancContEspelho->First();
    return linhas;
}

void TfrmLancamentos::positionLineGrid(const TLinhaConfirmacao& linha) {
    cdsLancCont->Locate("NRSEQLANC;NRLANCCONT;CDEMPRESA",
                        {Variant(linha.NrSeqLanc), Variant(linha.NrLancCont), Variant(linha.CdEmpresa)},
                        {loCaseInsensitive});
}

// The apportionment of one line against its account's rule.
void TfrmLancamentos::confirmApportionment(const TLinhaConfirmacao& linha, const std::function<void()>& unfreeze) {
    ContaContabil(linha.CdContCtbl);
    const std::string kind =
        qryContCtbl->IsEmpty() ? std::string() : qryContCtbl->FieldByName("IDCONTCCUS")->AsString();
    pnlLancCCusto->Enabled = TakesApportionment(kind);
    if (apportionmentEditing()) cdsLancCCusto->Cancel();
    auto filtraPartida = [&] {
        cdsLancCCusto->SetFiltered(false);
        cdsLancCCusto->SetFilter(FiltroRateioConfirmacao(linha.NrSeqLanc, linha.CdEmpresa, linha.NrLancCont));
        cdsLancCCusto->SetFiltered(true);
    };
    filtraPartida();
    if (ledger::ForbidsApportionment(kind)) {
        if (!cdsLancCCusto->IsEmpty()) deleteViewedApportionment();
        return;
    }
    if (ledger::RequiresApportionment(kind) && cdsLancCCusto->IsEmpty()) {
        unfreeze();
        positionLineGrid(linha);
        filtraPartida();
        cdsLancCCustoCDFILIAL->FocusControl();
        MessageDlg(msgPadrao->Msg("RAT_DEV"), mtInformation, TMsgDlgButtons(mbOK), 0);
        // The proposal mirrors the apportionment the entry holds now.
        cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());
        proposeMirroredApportionment([this] { cdsLancCCustoCDFILIAL->FocusControl(); });
        if (apportionmentEditing()) cdsLancCCusto->Cancel();
        filtraPartida();
        return;
    }
    if (cdsLancCCusto->IsEmpty()) return;
    if (!ledger::SharesAddUp(ledger::Cents(linha.VrLancamento), viewedShares())) {
        unfreeze();
        cdsLancCCustoVRLANCCUST->FocusControl();
        Consiste::MensErro(msgPadrao->Msg("SOMA_RAT"), false);
        positionLineGrid(linha);
        Abort();
    }
}

// A line left without the commercial type its account carries gets it.
void TfrmLancamentos::confirmCommercialType(const TLinhaConfirmacao& linha) {
    ContaContabil(linha.CdContCtbl);
    const std::string tipo =
        qryContCtbl->IsEmpty() ? std::string() : qryContCtbl->FieldByName("IDTIPOCOME")->AsString();
    if (Consiste::EmptyString(tipo) || !Consiste::EmptyString(linha.IdLancCome)) return;
    positionLineGrid(linha);
    cdsLancCont->Edit();
    cdsLancContIDLANCCOME->SetAsString(tipo);
    cdsLancCont->Post();
}

void TfrmLancamentos::sendEntry() {
    TShowAviGuard busy(Application->MainForm, 1);
    Consiste::CheckResultServ(NetLancamentos->Call(ledger::method::SetLancContabil,
                                                   {cdsLancCont->Data(), cdsLancCCusto->Data(), edtCdEmpresa->Text(),
                                                    ByRef(stNrLancCont), ByRef(stUltDocu), Zembra::Operador()}),
                              true, 0);
}

void TfrmLancamentos::sbtConfirmarClick(TObject* Sender) {
    if (apportionmentEditing()) {
        cdsLancCCusto->Post();
        dtsLancCCustoStateChange(Sender);
    }
    if (lineEditing()) {
        cdsLancCont->Post();
        dtsPadraoStateChange(Sender);
    }
    if (boEmRateio) dbgLancCont->SetFocus();

    cdsLancContEspelho->Data(cdsLancCont->Data());
    {
        TGradesCongeladas grades(cdsLancCont, cdsLancCCusto);
        const std::vector<TLinhaConfirmacao> linhas = linhasDaConfirmacao();
        const bool gerencial = companySwitch("IDCONTGERE") == "S";
        std::vector<ledger::TEntryLine> valores;
        for (const TLinhaConfirmacao& linha : linhas) {
            valores.push_back({});
            valores.back().Value = ledger::Cents(linha.VrLancamento);
            if (gerencial)
                confirmApportionment(linha, [&grades] {
                    grades.LiberaLinhas();
                    grades.LiberaRateio();
                });
            confirmCommercialType(linha);
        }
        if (!linhas.empty()) positionLineGrid(linhas.back());
        if (const ledger::TCheck balanco = ledger::CheckBalance(valores)) {
            grades.LiberaRateio();
            check(balanco);
        }
    }
    if (!boAlterado) return;  // nothing changed: the click only checked the entry
    sendEntry();
    edtNrLancCont->SetText(stNrLancCont);
    boAlterado = false;
    dtsPadraoStateChange(Sender);
}

// ---- Cancelar ----------------------------------------------------------------------------------

void TfrmLancamentos::sbtCancelarClick(TObject*) {
    // An edit in progress is undone alone, the apportionment's first; a
    // second click then drops the entry's changes.
    if (apportionmentEditing()) {
        cdsLancCCusto->Cancel();
        Abort();
    }
    if (lineEditing()) {
        cdsLancCont->Cancel();
        Abort();
    }
    if (!sbtCancelar->Enabled) return;
    if (MessageDlg(msgPadrao->Msg("CANC_LANC"), mtInformation, TMsgDlgButtons(mbYes) << mbNo, 0) != mrYes) return;
    // The unsent changes are dropped now: the handlers that run as the focus
    // leaves the form page no longer see an entry being edited, and the
    // browse page is entered as a person would enter it.
    boAlterado = false;
    cdsLancCont->SetFiltered(false);
    tshFolhaDados->Enabled = true;
    pgcPadrao->SetActivePage(tshFolhaDados);
    pgcPadraoChange(this);
    // The list again, as the server holds it: the page change has just
    // loaded it, so an unchanged server answers from what is kept.
    GetLancCont(true);
    dtsPadraoStateChange(this);
    if (frmLancFiltro && !boNovoLanc && frmLancFiltro->Aplicado.IsValueKind()) reloadWholeEntry();
}

// ---- Excluir ----------------------------------------------------------------------------------

void TfrmLancamentos::sbtExcluirClick(TObject*) {
    ValidaLancLote();
    if (MessageDlg(msgPadrao->Msg("DES_EXC"), mtInformation, TMsgDlgButtons(mbYes) << mbNo, 0) != mrYes) return;
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
    ValidaMapaApurac();
    Consiste::CheckResultServ(
        NetLancamentos->Call(ledger::method::SetExcluiLancamento, {edtCdEmpresa->Text(), ByRef(stNrLancCont)}), true,
        0);
    tshFolhaDados->Enabled = true;
    pgcPadrao->SetActivePage(tshFolhaDados);
    pgcPadraoChange(this);
}

// ---- closing ------------------------------------------------------------------------------------

// Nothing typed is dropped without a question: an entry with unsent changes
// (or a line or share being typed) asks as the Cancel command does.
void TfrmLancamentos::FormCloseQuery(TObject*, bool& CanClose) {
    const bool pendente =
        boAlterado || (cdsLancCont->Active() && lineEditing()) || (cdsLancCCusto->Active() && apportionmentEditing());
    if (!pendente) return;
    CanClose = MessageDlg(msgPadrao->Msg("CANC_LANC"), mtInformation, TMsgDlgButtons(mbYes) << mbNo, 0) == mrYes;
}
