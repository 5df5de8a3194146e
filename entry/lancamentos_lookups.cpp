// Code lookups and column checks of the lines grid dbgLancCont: what leaving
// a column checks and completes, the searches behind the ellipsis buttons,
// the key filters, the commercial-code and standard-history checks shared
// with the post of a line, and the display of the registration numbers in
// the supplier and client lists. Nothing here calls the application server:
// every check reads the screen's lookup queries.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/pesqarvore.h"
#include "contracts/pesquisa.h"
#include "contracts/tabvalid.h"
#include "contracts/zembra.h"
#include "history/frmhistlanc.h"
#include "platform/data/text.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/mask.h"

#include <string>

namespace {

// The four parameters of qryContCtbl; "T" in a T parameter switches its
// condition off.
void OpenContCtbl(TADOIBQuery* q, const std::string& conta, const std::string& tConta, const std::string& redu,
                  const std::string& tRedu) {
    q->Close();
    q->ParamByName("P_CDCONTCTBL")->SetAsString(conta);
    q->ParamByName("P_TCDCONTCTBL")->SetAsString(tConta);
    q->ParamByName("P_CDCONTREDU")->SetAsString(redu);
    q->ParamByName("P_TCDCONTREDU")->SetAsString(tRedu);
    q->Open();
}

// A lookup query on one code (`all` false) or on every row (`all` true).
void OpenLookup(TADOIBQuery* q, const std::string& column, const std::string& code, bool all) {
    q->Close();
    q->ParamByName("P_" + column)->SetAsString(all ? "" : code);
    q->ParamByName("P_T" + column)->SetAsString(all ? "T" : "");
    q->Open();
}

std::string RowText(TADOIBQuery* q, const char* field) {
    if (!q->Active() || q->IsEmpty()) return "";
    return q->FieldByName(field)->AsString();
}

bool IsLineEditing(TClientDataSet* ds) {
    const TDataSetState s = ds->State();
    return s == dsInsert || s == dsEdit;
}

// Refusal of a line field: the focus goes to its column, then the message.
[[noreturn]] void Refuse(TField* field, const std::string& text) {
    field->FocusControl();
    Consiste::MensErro(text, true);
    throw EAbort();  // MensErro with abort never returns
}

// How a completion treats the commercial fields of the line.
enum class TComercRule {
    KeepCode,        // rule A: the type letter follows the account, the code stays
    ClearOnNewType,  // rule B: a different type letter also clears the code
};

void ApplyComercRule(TfrmLancamentos& f, TComercRule rule) {
    const std::string tipo = RowText(f.qryContCtbl, "IDTIPOCOME");
    if (Consiste::EmptyString(tipo)) {
        f.cdsLancContIDLANCCOME->Clear();
        f.cdsLancContCDCONTCOME->Clear();
        return;
    }
    if (rule == TComercRule::ClearOnNewType && f.cdsLancContIDLANCCOME->AsString() != tipo)
        f.cdsLancContCDCONTCOME->Clear();
    f.cdsLancContIDLANCCOME->SetAsString(tipo);
}

// Management accounts ("G", "L", "R") open the apportionment panel; any
// other account closes it and drops the line's apportionment at once.
void SetApportionmentPanel(TfrmLancamentos& f) {
    const std::string kind = RowText(f.qryContCtbl, "IDCONTCCUS");
    const bool gerencial = !kind.empty() && (kind[0] == 'G' || kind[0] == 'L' || kind[0] == 'R');
    f.pnlLancCCusto->Enabled = gerencial;
    if (gerencial) return;
    TClientDataSet* rateio = f.cdsLancCCusto;
    if (!rateio->Active()) return;
    if (rateio->State() != dsBrowse) rateio->Cancel();
    while (!rateio->IsEmpty()) {
        rateio->First();
        rateio->Delete();
    }
}

// Copies the account of qryContCtbl's current row into the line. The code
// is written before the name: the change reaction of CDCONTCTBL empties it.
void CompleteFromReducedCode(TfrmLancamentos& f) {
    f.cdsLancContCDCONTCTBL->SetAsString(RowText(f.qryContCtbl, "CDCONTCTBL"));
    f.cdsLancContNMCONTCTBL->SetAsString(RowText(f.qryContCtbl, "NMCONTCTBL"));
    f.cdsLancContIDCONTCCUS->SetAsString(RowText(f.qryContCtbl, "IDCONTCCUS"));
    SetApportionmentPanel(f);
    ApplyComercRule(f, TComercRule::KeepCode);
}

void CompleteFromAccount(TfrmLancamentos& f) {
    f.cdsLancContCDCONTREDU->SetAsString(RowText(f.qryContCtbl, "CDCONTREDU"));
    f.cdsLancContNMCONTCTBL->SetAsString(RowText(f.qryContCtbl, "NMCONTCTBL"));
    f.cdsLancContIDCONTCCUS->SetAsString(RowText(f.qryContCtbl, "IDCONTCCUS"));
    SetApportionmentPanel(f);
    ApplyComercRule(f, TComercRule::KeepCode);
}

void CompleteFromTree(TfrmLancamentos& f) {
    f.cdsLancContCDCONTCTBL->SetAsString(RowText(f.qryContCtbl, "CDCONTCTBL"));
    f.cdsLancContNMCONTCTBL->SetAsString(RowText(f.qryContCtbl, "NMCONTCTBL"));
    f.cdsLancContCDCONTREDU->SetAsString(RowText(f.qryContCtbl, "CDCONTREDU"));
    f.cdsLancContIDCONTCCUS->SetAsString(RowText(f.qryContCtbl, "IDCONTCCUS"));
    ApplyComercRule(f, TComercRule::ClearOnNewType);
}

void ExitReducedCode(TfrmLancamentos& f) {
    const std::string redu = Trim(f.cdsLancContCDCONTREDU->AsString(), kBlanks);
    if (redu.empty()) return;
    OpenContCtbl(f.qryContCtbl, "T", "T", redu, "");
    if (f.qryContCtbl->IsEmpty()) Refuse(f.cdsLancContCDCONTREDU, f.msgPadrao->Msg("CODREDU_N"));
    CompleteFromReducedCode(f);
}

// Any refusal of the account (picture, unregistered, completion) leaves the
// focus on the account column and goes on to abandon the exit.
void ExitAccount(TfrmLancamentos& f) {
    std::string conta = f.cdsLancContCDCONTCTBL->AsString();
    if (Consiste::EmptyString(conta)) return;
    f.ContaContabil(conta);
    try {
        Tabvalid::ValidEx(f.dtsContCtbl, Zembra::ptContCtbl, conta, {Tabvalid::voNivel}, "", true);
        if (f.qryContCtbl->IsEmpty()) Consiste::MensErro(f.msgPadrao->Msg("CONT_N"), true);
        CompleteFromAccount(f);
    } catch (...) {
        f.cdsLancContCDCONTCTBL->FocusControl();
        throw;
    }
}

// qryContCtbl normally stands on the line's account already (scroll, exits,
// post); when something else moved it (a failed lookup, another line's
// search) it is brought back, so the line never takes another account's
// commercial type.
void EnsureLineAccount(TfrmLancamentos& f) {
    const std::string conta = f.cdsLancContCDCONTCTBL->AsString();
    if (Consiste::EmptyString(conta)) return;
    if (RowText(f.qryContCtbl, "CDCONTCTBL") != conta) f.ContaContabil(conta);
}

void ExitCommercialCode(TfrmLancamentos& f) {
    if (Consiste::EmptyString(f.cdsLancContIDLANCCOME->AsString())) return;
    f.Vd_CodComer();
    EnsureLineAccount(f);
    f.cdsLancContIDLANCCOME->SetAsString(RowText(f.qryContCtbl, "IDTIPOCOME"));
    f.cdsLancContIDCONTCCUS->SetAsString(RowText(f.qryContCtbl, "IDCONTCCUS"));
}

void ExitCommercialType(TfrmLancamentos& f) {
    const std::string tipo = UpperCase(f.cdsLancContIDLANCCOME->AsString());
    if (tipo != f.cdsLancContIDLANCCOME->AsString()) f.cdsLancContIDLANCCOME->SetAsString(tipo);
    if (Consiste::EmptyString(tipo)) f.cdsLancContCDCONTCOME->Clear();
}

void ExitValue(TfrmLancamentos& f) {
    const double rounded = Consiste::RoundDec(f.cdsLancContVRLANCAMENT->AsFloat(), 2);
    if (rounded != 0) f.cdsLancContVRLANCAMENT->SetAsFloat(rounded);
}

// One row of the commercial-code search table.
struct TComercSearch {
    TADOIBQuery* query;
    TDataSource* source;
    const char* column;
    const char* title;
    const char* notFound;
};

bool ComercSearchOf(TfrmLancamentos& f, const std::string& tipo, TComercSearch& out) {
    if (tipo == "F") out = {f.qryFornecedor, f.dtsFornecedor, "CDFORNECED", "Forn", "Fornecedor_Cad"};
    else if (tipo == "B") out = {f.qryBanco, f.dtsBanco, "CDREDUCONT", "ContCor", "ContaCorr_Cad"};
    else if (tipo == "C") out = {f.qryCliente, f.dtsCliente, "CDCLIENTE", "Client", "Cliente_Cad"};
    else return false;
    return true;
}

std::string SearchTitle(const TfrmLancamentos& f, const char* first, const char* second) {
    return f.msgPadrao->Msg(first) + "|" + f.msgPadrao->Msg(second);
}

void SearchBranch(TfrmLancamentos& f) {
    OpenLookup(f.qryFilial, "CDFILIAL", "", true);
    if (Pesquisa::Pesquisar(f.dtsFilial, SearchTitle(f, "FILIAL", "Filial_Cad"), false, true))
        f.cdsLancContCDFILLANC->SetAsString(f.qryFilial->FieldByName("CDFILIAL")->AsString());
}

void SearchHistory(TfrmLancamentos& f) {
    OpenLookup(f.qryHistPadr, "CDHISTPADR", "", true);
    if (!Pesquisa::Pesquisar(f.dtsHistPadr, SearchTitle(f, "Historico", "HIST_N"), false, true)) return;
    f.cdsLancContCDHISTPADR->SetAsString(f.qryHistPadr->FieldByName("CDHISTPADR")->AsString());
    f.cdsLancContDSHISTLANC->SetAsString(f.qryHistPadr->FieldByName("DSHISTPADR")->AsString());
}

// The registration number with the mask of its person kind.
void MaskedRegistration(TField* number, TADOIBQuery* q, const char* kindField, std::string& text) {
    const std::string mask = Consiste::PictPess(q->FieldByName(kindField)->AsString());
    const std::string value = number->AsString();
    text = mask.empty() ? value : FormatMaskText(mask, value);
}

}  // namespace

// ---- column exit ----------------------------------------------------------------

void TfrmLancamentos::dbgLancContColExit(TObject*) {
    if (!IsLineEditing(cdsLancCont)) return;
    const TField* field = dbgLancCont->SelectedField();
    if (!field) return;
    const std::string name = field->FieldName();
    if (name == "VRLANCAMENT") ExitValue(*this);
    else if (name == "CDCONTCOME") ExitCommercialCode(*this);
    else if (name == "CDCONTREDU") ExitReducedCode(*this);
    else if (name == "CDCONTCTBL") ExitAccount(*this);
    else if (name == "CDHISTPADR") Vd_Historico();
    else if (name == "IDLANCCOME") ExitCommercialType(*this);
}

// ---- commercial code --------------------------------------------------------------

void TfrmLancamentos::Vd_CodComer() {
    const std::string codigo = cdsLancContCDCONTCOME->AsString();
    if (Consiste::EmptyString(codigo)) {
        const std::string conta = cdsLancContCDCONTCTBL->AsString();
        if (!Consiste::EmptyString(conta)) {
            ContaContabil(conta);
            const std::string tipo = RowText(qryContCtbl, "IDTIPOCOME");
            if (!Consiste::EmptyString(tipo)) cdsLancContIDLANCCOME->SetAsString(tipo);
        }
        check(ledger::CheckCommercialGiven(companyRules(), currentLine()));
        return;
    }
    const std::string tipo = cdsLancContIDLANCCOME->AsString();
    // The length of a bank account's code is refused before any lookup.
    check(ledger::CheckCommercialCode(currentLine(), true));
    TComercSearch s;
    if (!ComercSearchOf(*this, tipo, s)) return;
    OpenLookup(s.query, s.column, codigo, false);
    check(ledger::CheckCommercialCode(currentLine(), !s.query->IsEmpty()));
}

// ---- standard history -------------------------------------------------------------

void TfrmLancamentos::Vd_Historico() {
    if (Consiste::EmptyString(cdsLancContCDHISTPADR->AsString())) return;
    const std::string codigo = Consiste::Ajusta(cdsLancContCDHISTPADR->AsString(), 4);
    cdsLancContCDHISTPADR->SetAsString(codigo);
    OpenLookup(qryHistPadr, "CDHISTPADR", codigo, false);
    check(ledger::CheckHistory(codigo, !qryHistPadr->IsEmpty()));
    // A text the user wrote for the line survives leaving its code unchanged:
    // the one typed during this edit first, else the one the line had.
    // (Typing a digit in the code column empties both, so a new code always
    // brings its standard text.)
    std::string texto = qryHistPadr->FieldByName("DSHISTPADR")->AsString();
    if (codigo == stHistAnt) {
        const std::string atual = cdsLancContDSHISTLANC->AsString();
        if (!atual.empty()) texto = atual;
        else if (!stDsHistAnt.empty()) texto = stDsHistAnt;
    }
    cdsLancContDSHISTLANC->SetAsString(texto);
}

// ---- searches -----------------------------------------------------------------------

void TfrmLancamentos::dbgLancContEditButtonClick(TObject*) {
    if (!IsLineEditing(cdsLancCont)) return;
    const TField* field = dbgLancCont->SelectedField();
    if (!field) return;
    const std::string name = field->FieldName();
    if (name == "CDFILLANC") SearchBranch(*this);
    else if (name == "CDCONTCTBL") Pesquisa_ContaContabil();
    else if (name == "CDHISTPADR") SearchHistory(*this);
    else if (name == "CDCONTCOME") {
        if (!Consiste::EmptyString(cdsLancContIDLANCCOME->AsString())) pesquisaBancos();
    } else if (name == "CDCONTREDU") Pesquisa_CodRedu();
}

namespace {

void TreeSearch(TfrmLancamentos& f, std::string current) {
    OpenContCtbl(f.qryContCtbl, "T", "T", "T", "T");
    if (!Pesqarvore::PesqArv(f.dtsContCtbl, Zembra::DBPict(Zembra::ptContCtbl),
                             {"CDCONTCTBL", "CDNVCONTCTBL", "NMCONTCTBL", "1"}, f.msgPadrao->Msg("CTBL"), current))
        return;
    CompleteFromTree(f);
}

}  // namespace

void TfrmLancamentos::Pesquisa_ContaContabil() { TreeSearch(*this, cdsLancContCDCONTCTBL->AsString()); }

void TfrmLancamentos::Pesquisa_CodRedu() {
    if (!IsLineEditing(cdsLancCont)) return;
    TreeSearch(*this, cdsLancContCDCONTREDU->AsString());
}

void TfrmLancamentos::pesquisaBancos() {
    if (!IsLineEditing(cdsLancCont)) return;
    TComercSearch s;
    if (!ComercSearchOf(*this, cdsLancContIDLANCCOME->AsString(), s)) return;
    OpenLookup(s.query, s.column, "", true);
    if (Pesquisa::Pesquisar(s.source, SearchTitle(*this, s.title, s.notFound), false, true))
        cdsLancContCDCONTCOME->SetAsString(s.query->FieldByName(s.column)->AsString());
}

// ---- keys and double click -------------------------------------------------------------

void TfrmLancamentos::dbgLancContKeyPress(TObject*, char& Key) {
    const TField* field = dbgLancCont->SelectedField();
    if (!field) return;
    const std::string name = field->FieldName();
    if (name == "NMCONTCTBL" || name == "IDLANCCOME") {
        Key = 0;
        return;
    }
    if (name == "CDCONTCOME" && Consiste::EmptyString(cdsLancContIDLANCCOME->AsString())) {
        Key = 0;
        return;
    }
    if (name == "CDHISTPADR" && Key >= '0' && Key <= '9') {
        // A new code brings its own standard text when the column is left.
        if (cdsLancCont->State() == dsBrowse && !cdsLancCont->IsEmpty()) cdsLancCont->Edit();
        stDsHistAnt.clear();
        if (IsLineEditing(cdsLancCont)) cdsLancContDSHISTLANC->Clear();
    }
}

// The type letter comes from the account: a line whose account has a type
// keeps it against the Delete key.
void TfrmLancamentos::dbgLancContKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_DELETE) return;
    const TField* field = dbgLancCont->SelectedField();
    if (!field || field->FieldName() != "IDLANCCOME") return;
    if (!Consiste::EmptyString(cdsLancContIDTIPOCOME->AsString())) Key = 0;
}

void TfrmLancamentos::dbgLancContDblClick(TObject*) {
    const TField* field = dbgLancCont->SelectedField();
    if (field && field->FieldName() == "DSHISTLANC") CriaHistorico();
}

// ---- field reactions and display -------------------------------------------------------

void TfrmLancamentos::cdsLancContCDCONTCTBLChange(TField*) { cdsLancContNMCONTCTBL->Clear(); }

void TfrmLancamentos::cdsLancContCDHISTPADRChange(TField*) { cdsLancContDSHISTLANC->Clear(); }

void TfrmLancamentos::qryFornecedorNRINSJURFORNGetText(TField* Sender, std::string& Text, bool) {
    MaskedRegistration(Sender, qryFornecedor, "IDTPIJURFORN", Text);
}

void TfrmLancamentos::qryClienteNRINSJURCLIEGetText(TField* Sender, std::string& Text, bool) {
    MaskedRegistration(Sender, qryCliente, "IDTPIJURCLIE", Text);
}
