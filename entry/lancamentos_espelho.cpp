// The apportionment rule of a line's account, enforced when the line is
// posted on a company with management accounting (VerificaRateio), and the
// mirrored proposal: the first management line's apportionment turned into
// proportion factors once per opened entry (CalculaRateioEspelhado) and
// applied to a line that has none (GeraRateioEspelhado).
//
// Account kinds (IDCONTCCUS): "G" and "R" require apportionment, "L" allows
// it, "O" and any other forbid it (the line's shares are dropped).
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <cmath>
#include <cstdint>

namespace {

// Puts a data set's filter and position back, whatever happens in between:
// a pass over the line mirror goes on undisturbed.
class TFiltroGuardado {
public:
    explicit TFiltroGuardado(TDataSet* ds)
        : ds_(ds), text_(ds->Filter()), on_(ds->Filtered()), recNo_(ds->Active() ? ds->RecNo() : 0) {}
    ~TFiltroGuardado() {
        try {
            ds_->SetFiltered(false);
            ds_->SetFilter(text_);
            ds_->SetFiltered(on_);
            if (recNo_ > 0 && recNo_ <= ds_->RecordCount()) ds_->SetRecNo(recNo_);
        } catch (...) {  // the saved filter was valid: nothing to report
        }
    }
    TFiltroGuardado(const TFiltroGuardado&) = delete;
    TFiltroGuardado& operator=(const TFiltroGuardado&) = delete;

private:
    TDataSet* ds_;
    std::string text_;
    bool on_;
    int recNo_;
};

}  // namespace

bool TfrmLancamentos::TakesApportionment(const std::string& idContCcus) {
    return ledger::TakesApportionment(idContCcus);
}

// Deletes every apportionment line of the view, first to last.
void TfrmLancamentos::deleteViewedApportionment() {
    cdsLancCCusto->First();
    while (!cdsLancCCusto->IsEmpty()) cdsLancCCusto->Delete();
}

// The shares of the view, each taken at cents.
std::vector<ledger::TShare> TfrmLancamentos::viewedShares() const {
    std::vector<ledger::TShare> partes;
    for (cdsLancCCusto->First(); !cdsLancCCusto->Eof(); cdsLancCCusto->Next())
        partes.push_back({cdsLancCCustoNRSEQLANC->AsString(), cdsLancCCustoCDFILIAL->AsString(),
                          cdsLancCCustoCDCENTCUST->AsString(), cdsLancCCustoDTCOMPCUSTO->AsDateTime(),
                          ledger::Cents(cdsLancCCustoVRLANCCUST->AsFloat())});
    return partes;
}

// RAT_DEV has been shown with the focus on the branch column. The company
// may allow a proposal mirrored from the first management line; `refocus`
// puts the focus back on the branch column before a silent stop.
void TfrmLancamentos::proposeMirroredApportionment(const std::function<void()>& refocus) {
    if (companySwitch("IDSUGRAT") != "S") {
        refocus();
        Abort();
    }
    if (MessageDlg(msgPadrao->Msg("DES_RAT"), mtInformation, TMsgDlgButtons(mbYes) << mbNo, 0) != mrYes) {
        refocus();
        Abort();
    }
    cdsLancCCustoEspelho->SetFiltered(false);
    if (cdsLancCCustoEspelho->RecordCount() < 1) {
        MessageDlg(msgPadrao->Msg("NEXIS_RAT"), mtInformation, TMsgDlgButtons(mbOK), 0);
        Abort();
    }
    CalculaRateioEspelhado();
    GeraRateioEspelhado();
}

void TfrmLancamentos::VerificaRateio() {
    // An entry whose apportionment was never loaded has none.
    if (!cdsLancCCusto->Active()) cdsLancCCusto->CreateDataSet();
    ContaContabil(cdsLancContCDCONTCTBL->AsString());
    const std::string kind =
        qryContCtbl->IsEmpty() ? std::string() : qryContCtbl->FieldByName("IDCONTCCUS")->AsString();
    pnlLancCCusto->Enabled = TakesApportionment(kind);
    if (!pnlLancCCusto->Enabled) {
        // Only this line's shares go: the view is put on the line first.
        if (apportionmentEditing()) cdsLancCCusto->Cancel();
        refilterApportionment();
        deleteViewedApportionment();
    }
    cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());
    if (apportionmentEditing()) cdsLancCCusto->Cancel();
    refilterApportionment();

    const bool required = ledger::RequiresApportionment(kind);
    if (required && cdsLancCCusto->IsEmpty()) {
        cdsLancCCustoCDFILIAL->FocusControl();
        MessageDlg(msgPadrao->Msg("RAT_DEV"), mtInformation, TMsgDlgButtons(mbOK), 0);
        proposeMirroredApportionment([this] { cdsLancCCustoCDFILIAL->FocusControl(); });
        return;
    }
    if (!required && cdsLancCCusto->RecordCount() == 0) return;
    if (!ledger::SharesAddUp(ledger::Cents(cdsLancContVRLANCAMENT->AsFloat()), viewedShares()))
        check(ledger::TRefusal{"SOMA_RAT", "VRLANCCUST", ""});
}

void TfrmLancamentos::CalculaRateioEspelhado() {
    if (cdsRateioEspelho->Active() && !cdsRateioEspelho->IsEmpty()) return;
    cdsLancCCustoEspelho->SetFiltered(false);
    cdsLancCCustoEspelho->First();
    const std::string empresa = cdsLancCCustoEspelho->FieldByName("CDEMPRESA")->AsString();
    const std::string nrLanc = cdsLancCCustoEspelho->FieldByName("NRLANCCONT")->AsString();
    const std::string nrSeq = cdsLancCCustoEspelho->FieldByName("NRSEQLANC")->AsString();
    const std::string filtro = FiltroPartidaEspelho(empresa, nrLanc, nrSeq);

    double v1 = 0;
    {
        TFiltroGuardado linhas(cdsLancContEspelho);
        cdsLancContEspelho->SetFiltered(false);
        cdsLancContEspelho->SetFilter(filtro);
        cdsLancContEspelho->SetFiltered(true);
        if (!cdsLancContEspelho->IsEmpty()) v1 = cdsLancContEspelho->FieldByName("VRLANCAMENT")->AsFloat();
    }
    // The first management line is no longer among the lines (or has no
    // value): there is no proportion to take.
    if (v1 == 0) {
        MessageDlg(msgPadrao->Msg("NEXIS_RAT"), mtInformation, TMsgDlgButtons(mbOK), 0);
        Abort();
    }

    cdsLancCCustoEspelho->SetFilter(filtro);
    cdsLancCCustoEspelho->SetFiltered(true);
    if (!cdsRateioEspelho->Active()) cdsRateioEspelho->CreateDataSet();
    auto copy = [this](const char* field) {
        cdsRateioEspelho->FieldByName(field)->SetAsString(cdsLancCCustoEspelho->FieldByName(field)->AsString());
    };
    // Appended, so the factors keep the first line's order (the remainder of
    // the proposal goes to the share of its last apportionment line).
    for (cdsLancCCustoEspelho->First(); !cdsLancCCustoEspelho->Eof(); cdsLancCCustoEspelho->Next()) {
        cdsRateioEspelho->Append();
        for (const char* field : {"CDEMPRESA", "NRLANCCONT", "CDFILIAL", "NMFILIAL", "CDCENTCUST", "NMCENTCUST"})
            copy(field);
        cdsRateioEspelho->FieldByName("DTCOMPCUSTO")
            ->SetAsDateTime(cdsLancCCustoEspelho->FieldByName("DTCOMPCUSTO")->AsDateTime());
        cdsRateioEspelho->FieldByName("FATOR")->SetAsFloat(cdsLancCCustoEspelho->FieldByName("VRLANCCUST")->AsFloat() /
                                                           v1);
        cdsRateioEspelho->Post();
    }
    cdsLancCCustoEspelho->SetFiltered(false);
}

void TfrmLancamentos::GeraRateioEspelhado() {
    if (!cdsRateioEspelho->Active() || cdsRateioEspelho->IsEmpty()) return;
    const double v = cdsLancContVRLANCAMENT->AsFloat();
    double aplicado = 0;
    auto text = [this](const char* field) { return cdsRateioEspelho->FieldByName(field)->AsString(); };
    for (cdsRateioEspelho->First(); !cdsRateioEspelho->Eof(); cdsRateioEspelho->Next()) {
        const double fator = cdsRateioEspelho->FieldByName("FATOR")->AsFloat();
        const double parte = fator * v;
        if (parte == 0) continue;
        cdsLancCCusto->Append();
        cdsLancCCustoCDEMPRESA->SetAsString(text("CDEMPRESA"));
        cdsLancCCustoNRLANCCONT->SetAsString(text("NRLANCCONT"));
        cdsLancCCustoCDFILIAL->SetAsString(text("CDFILIAL"));
        cdsLancCCustoNMFILIAL->SetAsString(text("NMFILIAL"));
        cdsLancCCustoCDCENTCUST->SetAsString(text("CDCENTCUST"));
        cdsLancCCustoNMCENTCUST->SetAsString(text("NMCENTCUST"));
        cdsLancCCustoDTCOMPCUSTO->SetAsDateTime(cdsRateioEspelho->FieldByName("DTCOMPCUSTO")->AsDateTime());
        cdsLancCCustoNRSEQLANC->SetAsString(cdsLancContNRSEQLANC->AsString());
        cdsLancCCustoVRLANCCUST->SetAsFloat(parte);
        cdsLancCCusto->Post();
        aplicado += parte;
    }
    // Factors that do not add up to one leave a remainder: the last share
    // generated takes it, so the shares add up to the line.
    if (Consiste::RoundDec(aplicado, 3) != Consiste::RoundDec(v, 3)) {
        cdsLancCCusto->Edit();
        cdsLancCCustoVRLANCCUST->SetAsFloat(cdsLancCCustoVRLANCCUST->AsFloat() + (v - aplicado));
        cdsLancCCusto->Post();
    }
}
