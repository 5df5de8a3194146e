// The apportionment lines (rateio) of the current line of the entry, edited
// in the lower grid dbgLancCCusto: what a new apportionment line proposes,
// the lookups behind its columns, the checks of its post in their fixed
// order, the display of a share, and the toolbar while the grid is edited.
//
// cdsLancCCusto holds the apportionment of every line of the entry, filtered
// to the current line; cdsLancCCustoEspelho is its copy taken before a
// change (duplicate pairs and the share still to apportion are read there).
// Its change log is merged after every post and delete, so its whole data is
// what the confirmation sends.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/pesquisa.h"
#include "ledger/rules.h"
#include "platform/ui/dispatch.h"

#include <cmath>

namespace {

bool Editing(const TDataSet* ds) { return ds->State() == dsInsert || ds->State() == dsEdit; }

bool IsEmptyText(const std::string& text) { return Consiste::EmptyString(text); }

void OpenLookup(TADOIBQuery* q, const char* column, const std::string& code, bool all) {
    q->Close();
    q->ParamByName(std::string("P_") + column)->SetAsString(all ? "" : code);
    q->ParamByName(std::string("P_T") + column)->SetAsString(all ? "T" : "");
    q->Open();
}

}  // namespace

bool TfrmLancamentos::lineEditing() const { return Editing(cdsLancCont); }

bool TfrmLancamentos::apportionmentEditing() const { return Editing(cdsLancCCusto); }

// ---- entering and leaving the panel ---------------------------------------------------

void TfrmLancamentos::pnlLancCCustoEnter(TObject*) {
    boEmRateio = true;
    // The line being edited goes with the entry whatever its shares become.
    if (lineEditing()) boAlterado = true;
}

void TfrmLancamentos::pnlLancCCustoExit(TObject*) { boEmRateio = false; }

// ---- a new apportionment line ------------------------------------------------------------

// The owning line takes the header's date and document and its flags, as its
// own insertion gives them; a line being inserted takes its sequence here.
void TfrmLancamentos::completaPartidaDoRateio(bool newLine) {
    if (!IsEmptyText(depDtLancCont->Text())) dtUltLanc = depDtLancCont->Date();
    writeLineDate();
    if (stUltDocu.empty() && !IsEmptyText(edtNDoc->Text())) stUltDocu = edtNDoc->Text();
    cdsLancContCDDOCUCONT->SetAsString(stUltDocu);
    writeBalanceFlags();
    if (newLine) {
        cdsLancContNRSEQLANC->SetAsString(Consiste::Ajusta(std::to_string(nrProxSeq), 5));
        cdsLancContIDLANCMANI->SetAsString("N");
    } else {
        cdsLancContIDLANCMANI->SetAsString("S");
    }
    cdsLancContIDLANCINTE->SetAsString("M");
}

void TfrmLancamentos::cdsLancCCustoBeforeInsert(TDataSet*) {
    ValidaLancLote();
    if (IsEmptyText(cdsLancContNRSEQLANC->AsString())) {
        // Shares belong to a line: with no line to own them there is nothing
        // to apportion.
        if (!lineEditing()) Abort();
        completaPartidaDoRateio(cdsLancCont->State() == dsInsert);
    }
    cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());

    ledger::TCents rateado = 0;
    cdsLancCCustoEspelho->SetFiltered(false);
    cdsLancCCustoEspelho->SetFilter(FiltroRateio(cdsLancContNRLANCCONT->AsString(), cdsLancContCDEMPRESA->AsString(),
                                                 cdsLancContNRSEQLANC->AsString()));
    cdsLancCCustoEspelho->SetFiltered(true);
    TField* parte = cdsLancCCustoEspelho->FieldByName("VRLANCCUST");
    for (cdsLancCCustoEspelho->First(); !cdsLancCCustoEspelho->Eof(); cdsLancCCustoEspelho->Next())
        rateado += ledger::Cents(parte->AsFloat());
    vrRestoRateio = ledger::Amount(ledger::Cents(cdsLancContVRLANCAMENT->AsFloat()) - rateado) + 0.0;

    cdsLancCCustoCDFILIAL->FocusControl();
    cdsLancCCustoEspelho->SetFiltered(false);
}

void TfrmLancamentos::cdsLancCCustoAfterInsert(TDataSet*) {
    if (lineEditing()) completaPartidaDoRateio(cdsLancCont->State() == dsInsert);
    cdsLancCCustoNRSEQLANC->SetAsString(cdsLancContNRSEQLANC->AsString());
    cdsLancCCustoCDEMPRESA->SetAsString(cdsLancContCDEMPRESA->AsString());
    cdsLancCCustoNRLANCCONT->SetAsString(cdsLancContNRLANCCONT->AsString());
    cdsLancCCustoDTCOMPCUSTO->SetAsDateTime(cdsLancContDTLANCCONT->AsDateTime());
    cdsLancCCustoVRLANCCUST->SetAsFloat(vrRestoRateio);
}

void TfrmLancamentos::cdsLancCCustoBeforeEdit(TDataSet*) {
    ValidaLancLote();
    cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());
    stFilialAnt = cdsLancCCustoCDFILIAL->AsString();
    stCentCustAnt = cdsLancCCustoCDCENTCUST->AsString();
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
}

// ---- columns ----------------------------------------------------------------------------------

// Entering the competence column always proposes the line's date again.
void TfrmLancamentos::dbgLancCCustoColEnter(TObject*) {
    if (!apportionmentEditing()) return;
    TField* field = dbgLancCCusto->SelectedField();
    if (field && field->FieldName() == "DTCOMPCUSTO")
        cdsLancCCustoDTCOMPCUSTO->SetAsDateTime(cdsLancContDTLANCCONT->AsDateTime());
}

void TfrmLancamentos::openCostCentre(const std::string& cdCentCust, const std::string& cdFilial) {
    qryCentCust->Close();
    qryCentCust->ParamByName("P_CDCENTCUST")->SetAsString(cdCentCust);
    qryCentCust->ParamByName("P_TCDCENTCUST")->SetAsString("");
    qryCentCust->ParamByName("P_CDFILIAL")->SetAsString("_" + cdFilial + "_");
    qryCentCust->ParamByName("P_TCDFILIAL")->SetAsString("");
    qryCentCust->Open();
}

void TfrmLancamentos::dbgLancCCustoColExit(TObject*) {
    if (!Editing(cdsLancCCusto)) return;
    TField* field = dbgLancCCusto->SelectedField();
    if (!field) return;
    const std::string name = field->FieldName();
    if (name == "CDFILIAL") {
        if (IsEmptyText(cdsLancCCustoCDFILIAL->AsString())) {
            cdsLancCCustoNMFILIAL->Clear();
            return;
        }
        cdsLancCCustoCDFILIAL->SetAsString(Consiste::Ajusta(cdsLancCCustoCDFILIAL->AsString(), 4));
        OpenLookup(qryFilial, "CDFILIAL", cdsLancCCustoCDFILIAL->AsString(), false);
        if (qryFilial->IsEmpty()) cdsLancCCustoNMFILIAL->Clear();
        check(ledger::CheckBranch(cdsLancCCustoCDFILIAL->AsString(), !qryFilial->IsEmpty()));
        cdsLancCCustoCDFILIAL->SetAsString(qryFilial->FieldByName("CDFILIAL")->AsString());
        cdsLancCCustoNMFILIAL->SetAsString(qryFilial->FieldByName("NMFILIAL")->AsString());
    } else if (name == "CDCENTCUST") {
        if (IsEmptyText(cdsLancCCustoCDCENTCUST->AsString())) {
            cdsLancCCustoNMCENTCUST->Clear();
            return;
        }
        cdsLancCCustoCDCENTCUST->SetAsString(Consiste::Ajusta(cdsLancCCustoCDCENTCUST->AsString(), 4));
        openCostCentre(cdsLancCCustoCDCENTCUST->AsString(), cdsLancCCustoCDFILIAL->AsString());
        check(ledger::CheckCostCentre(cdsLancCCustoCDCENTCUST->AsString(), !qryCentCust->IsEmpty()));
        cdsLancCCustoCDCENTCUST->SetAsString(qryCentCust->FieldByName("CDCENTCUST")->AsString());
        cdsLancCCustoNMCENTCUST->SetAsString(qryCentCust->FieldByName("NMCENTCUST")->AsString());
    } else if (name == "VRLANCCUST") {
        cdsLancCCustoVRLANCCUST->SetAsFloat(ledger::Amount(ledger::Cents(cdsLancCCustoVRLANCCUST->AsFloat())));
    }
}

// The ellipsis of the branch and cost-centre columns (F2 on the desktop).
void TfrmLancamentos::dbgLancCCustoEditButtonClick(TObject*) {
    if (cdsLancCCusto->State() != dsEdit) cdsLancCCusto->Edit();
    if (!apportionmentEditing()) return;
    TField* field = dbgLancCCusto->SelectedField();
    const std::string name = field ? field->FieldName() : std::string();
    if (name == "CDCENTCUST") {
        check(ledger::CheckBranch(cdsLancCCustoCDFILIAL->AsString(), true));
        qryCentCust->Close();
        qryCentCust->ParamByName("P_CDFILIAL")->SetAsString("_" + cdsLancCCustoCDFILIAL->AsString() + "_");
        qryCentCust->ParamByName("P_TCDFILIAL")->SetAsString("");
        qryCentCust->ParamByName("P_CDCENTCUST")->SetAsString("");
        qryCentCust->ParamByName("P_TCDCENTCUST")->SetAsString("T");
        qryCentCust->Open();
        if (Pesquisa::Pesquisar(dtsCentCust, msgPadrao->Msg("CENTROCUSTO") + "|" + msgPadrao->Msg("CCUSTO_N"), false,
                                true)) {
            cdsLancCCustoCDCENTCUST->SetAsString(qryCentCust->FieldByName("CDCENTCUST")->AsString());
            cdsLancCCustoNMCENTCUST->SetAsString(qryCentCust->FieldByName("NMCENTCUST")->AsString());
        }
    } else if (name == "CDFILIAL") {
        OpenLookup(qryFilial, "CDFILIAL", "", true);
        if (Pesquisa::Pesquisar(dtsFilial, msgPadrao->Msg("FILIAL") + "|" + msgPadrao->Msg("Filial_Cad"), false,
                                true)) {
            if (cdsLancCCusto->State() == dsBrowse) cdsLancCCusto->Edit();
            cdsLancCCustoNMFILIAL->Clear();
            cdsLancCCustoCDFILIAL->SetAsString(qryFilial->FieldByName("CDFILIAL")->AsString());
            cdsLancCCustoNMFILIAL->SetAsString(qryFilial->FieldByName("NMFILIAL")->AsString());
        }
    }
}

// ---- post ------------------------------------------------------------------------------------

void TfrmLancamentos::checkBranchGiven() { check(ledger::CheckBranch(cdsLancCCustoCDFILIAL->AsString(), true)); }

// A code typed and posted without leaving its column still shows its name.
void TfrmLancamentos::checkBranchExists() {
    OpenLookup(qryFilial, "CDFILIAL", cdsLancCCustoCDFILIAL->AsString(), false);
    check(ledger::CheckBranch(cdsLancCCustoCDFILIAL->AsString(), !qryFilial->IsEmpty()));
    cdsLancCCustoNMFILIAL->SetAsString(qryFilial->FieldByName("NMFILIAL")->AsString());
}

// The server knows which branches belong to which company.
void TfrmLancamentos::checkBranchOfCompany() {
    const TRpcValue relac = Consiste::CheckResultServ(
        NetLancamentos->Call(ledger::method::GetEmprRelac, {edtCdEmpresa->Text(), cdsLancCCustoCDFILIAL->AsString()}),
        true, 0);
    check(ledger::CheckBranchOfCompany(relac.IsScalar() && relac.Scalar().AsBoolean()));
}

void TfrmLancamentos::checkCostCentreGiven() {
    check(ledger::CheckCostCentre(cdsLancCCustoCDCENTCUST->AsString(), true));
}

void TfrmLancamentos::checkCostCentreOfBranch() {
    openCostCentre(cdsLancCCustoCDCENTCUST->AsString(), cdsLancCCustoCDFILIAL->AsString());
    check(ledger::CheckCostCentre(cdsLancCCustoCDCENTCUST->AsString(), !qryCentCust->IsEmpty()));
    cdsLancCCustoNMCENTCUST->SetAsString(qryCentCust->FieldByName("NMCENTCUST")->AsString());
}

void TfrmLancamentos::checkCompetence() {
    check(ledger::CheckCompetence(cdsLancCCustoDTCOMPCUSTO->IsNull() ? 0 : cdsLancCCustoDTCOMPCUSTO->AsDateTime()));
}

// Negative shares are debits and are accepted; a share that rounds to zero is not.
void TfrmLancamentos::checkShare() {
    const ledger::TCents parte = ledger::Cents(cdsLancCCustoVRLANCCUST->AsFloat());
    if (!cdsLancCCustoVRLANCCUST->IsNull()) cdsLancCCustoVRLANCCUST->SetAsFloat(ledger::Amount(parte));
    check(ledger::CheckShareValue(parte));
}

// The mirror was copied before this change, so an edited record whose pair
// is unchanged would find itself there: that pair is not looked up.
void TfrmLancamentos::checkDuplicatePair() {
    if (cdsLancCCustoCDFILIAL->AsString() == stFilialAnt && cdsLancCCustoCDCENTCUST->AsString() == stCentCustAnt)
        return;
    const ledger::TShare parte{cdsLancCCustoNRSEQLANC->AsString(), cdsLancCCustoCDFILIAL->AsString(),
                               cdsLancCCustoCDCENTCUST->AsString(), 0, 0};
    std::vector<ledger::TShare> outras;
    cdsLancCCustoEspelho->SetFiltered(false);
    if (cdsLancCCustoEspelho->Locate(
            "CDEMPRESA;NRLANCCONT;NRSEQLANC;CDFILIAL;CDCENTCUST",
            {Variant(cdsLancCCustoCDEMPRESA->AsString()), Variant(cdsLancCCustoNRLANCCONT->AsString()),
             Variant(parte.Seq), Variant(parte.Branch), Variant(parte.CostCentre)},
            {loCaseInsensitive}))
        outras.push_back(parte);
    check(ledger::CheckPair(parte, outras));
}

// A code is padded only when one was given: padding an empty code would make
// it "0000" and hide that none was typed.
void TfrmLancamentos::cdsLancCCustoBeforePost(TDataSet*) {
    if (!IsEmptyText(cdsLancCCustoCDFILIAL->AsString()))
        cdsLancCCustoCDFILIAL->SetAsString(Consiste::Ajusta(cdsLancCCustoCDFILIAL->AsString(), 4));
    checkBranchGiven();
    checkBranchExists();
    checkBranchOfCompany();
    if (!IsEmptyText(cdsLancCCustoCDCENTCUST->AsString()))
        cdsLancCCustoCDCENTCUST->SetAsString(Consiste::Ajusta(cdsLancCCustoCDCENTCUST->AsString(), 4));
    checkCostCentreGiven();
    checkCostCentreOfBranch();
    checkCompetence();
    checkShare();
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
    checkDuplicatePair();
}

void TfrmLancamentos::cdsLancCCustoAfterPost(TDataSet*) {
    if (cdsLancCCusto->ChangeCount() > 0) boAlterado = true;
    cdsLancCCusto->MergeChangeLog();
    stFilialAnt.clear();
    stCentCustAnt.clear();
    CalculaDebitoCredito();
}

// Leaving the lower grid commits the apportionment line and then the line
// that owns it. The checks run first without the server's, so a plain
// mistake is reported before anything else is asked.
void TfrmLancamentos::dbgLancCCustoExit(TObject* Sender) {
    struct TAtualizaBarra {
        TfrmLancamentos* f;
        TObject* s;
        ~TAtualizaBarra() {
            try {
                f->dtsLancCCustoStateChange(s);
            } catch (...) {  // enabling controls cannot fail on valid data
            }
        }
    } barra{this, Sender};
    if (!apportionmentEditing()) return;
    checkBranchGiven();
    checkBranchExists();
    checkCostCentreGiven();
    checkCostCentreOfBranch();
    checkCompetence();
    checkShare();
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
    checkDuplicatePair();
    cdsLancCCusto->Post();
    if (lineEditing()) cdsLancCont->Post();
}

// ---- delete ----------------------------------------------------------------------------------

void TfrmLancamentos::cdsLancCCustoBeforeDelete(TDataSet*) {
    ValidaLancLote();
    PeriodoCTB(cdsLancContDTLANCCONT->AsDateTime());
}

void TfrmLancamentos::cdsLancCCustoAfterDelete(TDataSet* DataSet) {
    if (cdsLancCCusto->ChangeCount() > 0) boAlterado = true;
    cdsLancCCusto->MergeChangeLog();
    dtsLancCCustoStateChange(DataSet);
    cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());
    stFilialAnt.clear();
    stCentCustAnt.clear();
}

// ---- display and toolbar -----------------------------------------------------------------------

// Signed while the apportionment is edited; otherwise unsigned with " CR"
// (credit) or " DB" (debit), and empty when the share rounds to zero.
void TfrmLancamentos::cdsLancCCustoVRLANCCUSTGetText(TField* Sender, std::string& Text, bool) {
    Text = TextoValorLancamento(Sender->Value(), apportionmentEditing());
}

// As the entry's state handler, with the apportionment's edit (or unsent
// changes) as "editing"; the form page keeps its enabled state.
void TfrmLancamentos::dtsLancCCustoStateChange(TObject*) {
    applyCommandState(apportionmentEditing() || boAlterado, false);
}
