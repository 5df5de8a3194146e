// The lines (partidas) of the entry on the form page: what a new line starts
// with, what an edit remembers, the validation and completion of a local post
// in its fixed order, the aftermath of a post (copies, totals, apportionment
// panel), and the two header controls (document and date) every line takes.
//
// Nothing here talks to the server except the guards: a posted line lives in
// cdsLancCont until the confirm command sends the whole entry.
#include "entry/frmlancamentos.h"

#include "ledger/rules.h"

#include "contracts/consiste.h"
#include "contracts/tabvalid.h"
#include "platform/data/text.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

bool Editing(const TDataSet* ds) { return ds->State() == dsInsert || ds->State() == dsEdit; }

bool IsEmptyText(const std::string& text) { return Consiste::EmptyString(text); }

void SetParam(TADOIBQuery* q, const char* name, const std::string& value) { q->ParamByName(name)->SetAsString(value); }

// NRSEQLANC as a number. A sequence that is not digits came from outside
// (a server packet) and stops the insertion with a clear text.
std::int32_t SequenceOf(const std::string& text) {
    const std::string digits = Trim(text, " ");
    std::int32_t n = 0;
    if (!digits.empty()) {
        const char* b = digits.data();
        const char* e = b + digits.size();
        const auto [end, ec] = std::from_chars(b, e, n);
        if (ec == std::errc() && end == e && n >= 0) return n;
    }
    throw EConvertError("Sequência de partida inválida: '" + text + "'.");
}

// Puts a data set's filter back as it was, whatever happens in between.
class TFilterRestore {
public:
    explicit TFilterRestore(TDataSet* ds) : ds_(ds), text_(ds->Filter()), on_(ds->Filtered()) {}
    ~TFilterRestore() {
        try {
            ds_->SetFiltered(false);
            ds_->SetFilter(text_);
            ds_->SetFiltered(on_);
        } catch (...) {  // the saved text was valid: nothing to report
        }
    }
    const std::string& Text() const { return text_; }
    TFilterRestore(const TFilterRestore&) = delete;
    TFilterRestore& operator=(const TFilterRestore&) = delete;

private:
    TDataSet* ds_;
    std::string text_;
    bool on_;
};

bool OpensApportionment(const std::string& idContCcus) {
    return !idContCcus.empty() && (idContCcus[0] == 'G' || idContCcus[0] == 'L' || idContCcus[0] == 'R');
}

}  // namespace

// ---- insertion -------------------------------------------------------------------

void TfrmLancamentos::cdsLancContBeforeInsert(TDataSet*) {
    ValidaLancLote();

    cdsLancContEspelho->Data(cdsLancCont->Data());
    cdsLancContEspelho->SetFiltered(false);
    cdsLancContEspelho->SetFilter(cdsLancCont->Filter());
    cdsLancContEspelho->SetFiltered(cdsLancCont->Filtered());

    if (boNovoLanc && !cdsLancCont->IsEmpty()) cdsLancCont->EmptyDataSet();

    // The next sequence follows the highest one of the entry, not merely the
    // last row: a line inserted above another sits before it in the view, so
    // the last row need not hold the highest number.
    nrProxSeq = 1;
    if (!cdsLancCont->IsEmpty()) {
        std::int32_t maior = 0;
        for (cdsLancCont->First(); !cdsLancCont->Eof(); cdsLancCont->Next())
            maior = std::max(maior, SequenceOf(cdsLancContNRSEQLANC->AsString()));
        cdsLancCont->Last();
        nrProxSeq = maior + 1;
    }

    ledger::TCents soma = 0;
    TField* valor = cdsLancContEspelho->FieldByName("VRLANCAMENT");
    for (cdsLancContEspelho->First(); !cdsLancContEspelho->Eof(); cdsLancContEspelho->Next())
        soma += ledger::Cents(valor->AsFloat());
    vrContrapartida = 0.0 - ledger::Amount(soma);  // never -0

    cdsLancContCDCONTREDU->FocusControl();
}

void TfrmLancamentos::cdsLancContAfterInsert(TDataSet*) {
    stHistAnt.clear();
    stDsHistAnt.clear();
    cdsLancContCDDOCUCONT->SetAsString(stUltDocu);
    cdsLancContNRLANCCONT->SetAsString(stNrLancCont);
    cdsLancContVRLANCAMENT->SetAsFloat(vrContrapartida);
    if (boNovoLanc) {
        cdsLancContCDDOCUCONT->Clear();
        cdsLancContDTLANCCONT->Clear();
    }
    cdsLancContCDEMPRESA->SetAsString(edtCdEmpresa->Text());
    if (!cdsLancContNRSEQLANC->IsNull()) return;

    if (stUltDocu.empty() && !IsEmptyText(edtNDoc->Text())) stUltDocu = edtNDoc->Text();
    if (!IsEmptyText(depDtLancCont->Text())) dtUltLanc = depDtLancCont->Date();
    writeLineDate();
    cdsLancContCDDOCUCONT->SetAsString(stUltDocu);
    writeBalanceFlags();
    cdsLancContNRSEQLANC->SetAsString(Consiste::Ajusta(std::to_string(nrProxSeq), 5));
    cdsLancContIDLANCMANI->SetAsString("N");
    cdsLancContIDLANCINTE->SetAsString("M");
}

// ---- edit --------------------------------------------------------------------------

void TfrmLancamentos::cdsLancContBeforeEdit(TDataSet*) {
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
    ValidaLancLote();
    cdsLancContEspelho->Data(cdsLancCont->Data());
    // Shared storage: keeping the apportionment as it is now costs nothing.
    boRateioGuardado = cdsLancCCusto->Active();
    if (boRateioGuardado) pktRateioAntesEdicao = cdsLancCCusto->Data();
}

void TfrmLancamentos::cdsLancContAfterEdit(TDataSet*) {
    stHistAnt = cdsLancContCDHISTPADR->AsString();
    stDsHistAnt = cdsLancContDSHISTLANC->AsString();
}

// ---- post ------------------------------------------------------------------------------

void TfrmLancamentos::writeLineDate() {
    if (dtUltLanc == 0) cdsLancContDTLANCCONT->Clear();
    else cdsLancContDTLANCCONT->SetAsDateTime(dtUltLanc);
}

void TfrmLancamentos::writeBalanceFlags() {
    cdsLancContIDLANCSALDO->SetAsString("N");
    cdsLancContIDSALDLANCO->SetAsString("N");
    cdsLancContIDSALDLANGE->SetAsString("N");
}

// A refusal of the rules: the focus on the column of its field (in the line
// or apportionment grid) or on the header control, then its message.
void TfrmLancamentos::check(const ledger::TCheck& refusal, TWinControl* control) {
    if (!refusal) return;
    if (control) {
        control->SetFocus();
    } else if (!refusal->Field.empty()) {
        TField* field = cdsLancCont->FindField(refusal->Field);
        if (refusal->Field == "CDFILIAL" || refusal->Field == "CDCENTCUST" || refusal->Field == "DTCOMPCUSTO" ||
            refusal->Field == "VRLANCCUST")
            field = cdsLancCCusto->FindField(refusal->Field);
        if (field) field->FocusControl();
    }
    std::string text = msgPadrao->Msg(refusal->Key);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, refusal->Arg);
    Consiste::MensErro(text, true);
    Abort();  // not reached: MensErro with abort set throws
}

std::string TfrmLancamentos::companySwitch(const char* field) const {
    return qryContOpeCtbl->Active() ? qryContOpeCtbl->FieldByName(field)->AsString() : std::string();
}

// Steps 1-5: the header's date and document, then the guards and periods.
void TfrmLancamentos::postHeader() {
    if (!IsEmptyText(depDtLancCont->Text())) dtUltLanc = depDtLancCont->Date();
    writeLineDate();
    if (stUltDocu.empty() && !IsEmptyText(edtNDoc->Text())) stUltDocu = edtNDoc->Text();
    cdsLancContCDDOCUCONT->SetAsString(stUltDocu);
    check(ledger::CheckDocument(edtNDoc->Text()), edtNDoc);
    check(ledger::CheckDateGiven(IsEmptyText(depDtLancCont->Text()) ? 0 : depDtLancCont->Date()), depDtLancCont);
    ValidaMapaApurac();
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
}

// Steps 6-8: the account, its reduced code, and what the line copies from it.
void TfrmLancamentos::postAccount() {
    check(ledger::CheckAccountGiven(cdsLancContCDCONTCTBL->AsString()));

    qryContCtbl->Close();
    SetParam(qryContCtbl, "P_CDCONTCTBL", "T");
    SetParam(qryContCtbl, "P_TCDCONTCTBL", "T");
    SetParam(qryContCtbl, "P_CDCONTREDU", cdsLancContCDCONTREDU->AsString());
    SetParam(qryContCtbl, "P_TCDCONTREDU", "");
    qryContCtbl->Open();
    check(ledger::CheckReducedCode(!qryContCtbl->IsEmpty()));

    qryContCtbl->Close();
    SetParam(qryContCtbl, "P_CDCONTCTBL", cdsLancContCDCONTCTBL->AsString());
    SetParam(qryContCtbl, "P_CDCONTREDU", "T");
    SetParam(qryContCtbl, "P_TCDCONTCTBL", "");
    SetParam(qryContCtbl, "P_TCDCONTREDU", "T");
    qryContCtbl->Open();
    try {
        std::string conta = cdsLancContCDCONTCTBL->AsString();
        Tabvalid::ValidEx(dtsContCtbl, 2, conta, {Tabvalid::voNivel}, "", true);
        // The query reads analytic accounts only.
        if (ledger::TCheck refusal = ledger::CheckAccount(
                qryContCtbl->IsEmpty() ? std::nullopt : std::optional(ledger::TAccountInfo{true, "", ""})))
            Consiste::MensErro(msgPadrao->Msg(refusal->Key), true);
        // A reduced code typed for another account gives way to the account's own.
        cdsLancContCDCONTREDU->SetAsString(qryContCtbl->FieldByName("CDCONTREDU")->AsString());
        cdsLancContNMCONTCTBL->SetAsString(qryContCtbl->FieldByName("NMCONTCTBL")->AsString());
        const std::string tipoCome = qryContCtbl->FieldByName("IDTIPOCOME")->AsString();
        if (IsEmptyText(tipoCome)) {
            cdsLancContIDLANCCOME->Clear();
            cdsLancContCDCONTCOME->Clear();
        } else {
            cdsLancContIDLANCCOME->SetAsString(tipoCome);
        }
        cdsLancContIDCONTCCUS->SetAsString(qryContCtbl->FieldByName("IDCONTCCUS")->AsString());
    } catch (...) {
        cdsLancContCDCONTCTBL->FocusControl();
        throw;
    }
}

// Step 9.
void TfrmLancamentos::postHistory() {
    check(ledger::CheckHistory(cdsLancContCDHISTPADR->AsString(), true));
    // A code typed short and posted without leaving its column ("5") is read
    // as its column exit reads it ("0005"), and an empty text becomes the
    // standard one; a text the line holds stays.
    const std::string hist = Consiste::Ajusta(cdsLancContCDHISTPADR->AsString(), 4);
    const std::string texto = cdsLancContDSHISTLANC->AsString();
    if (hist != cdsLancContCDHISTPADR->AsString()) {
        cdsLancContCDHISTPADR->SetAsString(hist);
        if (!texto.empty()) cdsLancContDSHISTLANC->SetAsString(texto);
    }
    qryHistPadr->Close();
    SetParam(qryHistPadr, "P_CDHISTPADR", hist);
    SetParam(qryHistPadr, "P_TCDHISTPADR", "");
    qryHistPadr->Open();
    check(ledger::CheckHistory(hist, !qryHistPadr->IsEmpty()));
    if (IsEmptyText(texto)) cdsLancContDSHISTLANC->SetAsString(qryHistPadr->FieldByName("DSHISTPADR")->AsString());
}

// Step 10: the value is kept at cents.
void TfrmLancamentos::postValue() {
    const ledger::TCents valor = ledger::Cents(cdsLancContVRLANCAMENT->AsFloat());
    cdsLancContVRLANCAMENT->SetAsFloat(ledger::Amount(valor));
    check(ledger::CheckValue(valor));
}

// This line as the rules read it.
ledger::TEntryLine TfrmLancamentos::currentLine() const {
    ledger::TEntryLine l;
    l.Seq = cdsLancContNRSEQLANC->AsString();
    l.Account = cdsLancContCDCONTCTBL->AsString();
    l.History = cdsLancContCDHISTPADR->AsString();
    l.Document = cdsLancContCDDOCUCONT->AsString();
    l.CommercialKind = cdsLancContIDLANCCOME->AsString();
    l.CommercialCode = cdsLancContCDCONTCOME->AsString();
    l.Origin = cdsLancContIDLANCINTE->AsString();
    l.Date = cdsLancContDTLANCCONT->AsDateTime();
    l.Value = ledger::Cents(cdsLancContVRLANCAMENT->AsFloat());
    return l;
}

// Step 11: within one entry an account is either debited or credited. The
// other lines are those of the copy the totals are taken from; its filter
// is put back whatever happens.
void TfrmLancamentos::postSameAccountRule() {
    if (!cdsDebitoCredito->Active()) return;
    std::vector<ledger::TEntryLine> outras;
    {
        TFilterRestore restore(cdsDebitoCredito);
        const std::string base = restore.Text().empty() ? FiltroDebitoCredito(cdsLancContNRLANCCONT->AsString(),
                                                                              cdsLancContCDEMPRESA->AsString())
                                                        : restore.Text();
        cdsDebitoCredito->SetFiltered(false);
        cdsDebitoCredito->SetFilter(base);
        cdsDebitoCredito->SetFiltered(true);
        TField* conta = cdsDebitoCredito->FieldByName("CDCONTCTBL");
        TField* seq = cdsDebitoCredito->FieldByName("NRSEQLANC");
        TField* valor = cdsDebitoCredito->FieldByName("VRLANCAMENT");
        for (cdsDebitoCredito->First(); !cdsDebitoCredito->Eof(); cdsDebitoCredito->Next()) {
            ledger::TEntryLine o;
            o.Seq = seq->AsString();
            o.Account = conta->AsString();
            o.Value = ledger::Cents(valor->AsFloat());
            outras.push_back(std::move(o));
        }
    }
    check(ledger::CheckSameAccount(companyRules(), currentLine(), outras));
}

// Step 12: commercial codes where the company keeps them, none elsewhere.
void TfrmLancamentos::postCommercialCode() {
    if (companySwitch("IDCONTCOME") == "S") {
        check(ledger::CheckCommercialGiven(companyRules(), currentLine()));
        if (IsEmptyText(cdsLancContIDLANCCOME->AsString())) cdsLancContCDCONTCOME->Clear();
    } else {
        cdsLancContIDLANCCOME->Clear();
        cdsLancContCDCONTCOME->Clear();
    }
}

void TfrmLancamentos::cdsLancContBeforePost(TDataSet*) {
    postHeader();
    postAccount();
    postHistory();
    postValue();
    postSameAccountRule();
    postCommercialCode();
    Vd_CodComer();
    writeBalanceFlags();
    if (cdsLancCont->State() == dsInsert) {
        cdsLancContNRSEQLANC->SetAsString(Consiste::Ajusta(std::to_string(nrProxSeq), 5));
        cdsLancContIDLANCMANI->SetAsString("N");
    } else {
        cdsLancContIDLANCMANI->SetAsString("S");
    }
    cdsLancContIDLANCINTE->SetAsString("M");
    if (companySwitch("IDCONTGERE") == "S") VerificaRateio();
}

void TfrmLancamentos::cdsLancContAfterPost(TDataSet* DataSet) {
    boRateioGuardado = false;
    pktRateioAntesEdicao = TDataPacket();
    cdsLancContEspelho->Data(cdsLancCont->Data());
    cdsDebitoCredito->Data(cdsLancCont->Data());
    stUltDocu = cdsLancContCDDOCUCONT->AsString();
    CalculaDebitoCredito();
    if (cdsLancCont->ChangeCount() > 0) boAlterado = true;
    cdsLancCont->MergeChangeLog();
    dtsPadraoStateChange(DataSet);

    const std::string conta = cdsLancContCDCONTCTBL->AsString();
    if (!IsEmptyText(conta)) {
        ContaContabil(conta);
        pnlLancCCusto->Enabled = OpensApportionment(qryContCtbl->FieldByName("IDCONTCCUS")->AsString());
    }
    if (!pnlLancCCusto->Enabled && cdsLancCCusto->Active()) {
        while (!cdsLancCCusto->IsEmpty()) {
            cdsLancCCusto->First();
            cdsLancCCusto->Delete();
        }
    }
}

// ---- header controls ---------------------------------------------------------------------

void TfrmLancamentos::depDtLancContExit(TObject*) {
    try {
        depDtLancCont->CheckValidDate();
    } catch (...) {
        depDtLancCont->SetFocus();
        throw;
    }
    dtUltLanc = depDtLancCont->Date();
}

void TfrmLancamentos::edtNDocExit(TObject*) {
    if (Editing(cdsLancCont)) stUltDocu = edtNDoc->Text();
}

// Typing a document on a browsed line starts its edit (an empty entry starts
// an insertion instead).
void TfrmLancamentos::edtNDocKeyDown(TObject*, WORD&, TShiftState) {
    if (cdsLancCont->Active() && !Editing(cdsLancCont)) cdsLancCont->Edit();
}

void TfrmLancamentos::panDadosExit(TObject*) {
    if (!Editing(cdsLancCont) && !boNovoLanc) return;
    if (IsEmptyText(edtNDoc->Text())) {
        edtNDoc->SetFocus();
        tshFolhaDados->Enabled = false;
        MessageDlg(msgPadrao->Msg("DOCU_DEV"), mtInformation, TMsgDlgButtons(mbOK), 0);
        Abort();
    }
    if (IsEmptyText(depDtLancCont->Text())) {
        depDtLancCont->SetFocus();
        MessageDlg(msgPadrao->Msg("DTLANC_DEV"), mtInformation, TMsgDlgButtons(mbOK), 0);
        Abort();
    }
    dtUltLanc = depDtLancCont->Date();
}
