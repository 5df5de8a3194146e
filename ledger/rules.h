// The rules of a journal entry, one piece of code that the entry screen and
// the application server both call, so an independent client cannot store
// what the screen would refuse.
//
// Contract:
//  - amounts are whole cents (TCents), taken from a typed value by rounding
//    half away from zero on the decimal digits a person reads (ToCents);
//  - every check is a pure function: it is handed the reference data it needs
//    (the company's rules, an account's flags, whether a code exists) and
//    answers nothing (the value passes) or a refusal naming the message key
//    and the field at fault; it reads no database and shows nothing;
//  - the screen calls the checks one by one in the order of its handlers and
//    turns a refusal into focus plus message; the server calls CheckEntry,
//    which runs the same checks in the same order over a whole entry and
//    names the line at fault.
#pragma once

#include "platform/data/datetime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ledger {

using TCents = std::int64_t;

// The value at cents; false for a value that is not finite or beyond the
// largest amount the store keeps (about 10^13).
bool ToCents(double value, TCents& cents);
// The value at cents; 0 for a value ToCents refuses.
TCents Cents(double value);
double Amount(TCents cents);

// What a check refuses: the message key (of the screen's message table and
// of MessageText), the field at fault (a column of the line or of its
// apportionment), and the text that fills the message's "%s".
struct TRefusal {
    std::string Key;
    std::string Field;
    std::string Arg;
    bool operator==(const TRefusal&) const = default;
};
using TCheck = std::optional<TRefusal>;

// The company's accounting parameters (its CONTOPECTBL row). A company
// without the row has no open period: every date is refused.
struct TCompanyRules {
    bool Management = false;                         // IDCONTGERE "S": lines apportioned by cost centre
    bool Commercial = false;                         // IDCONTCOME "S": lines carry commercial codes
    bool ProposesApportionment = false;              // IDSUGRAT "S"
    bool SameAccountBothSides = true;                // IDMSMCONTADBCR other than "N"
    TDateTime AccountingFrom = 0, AccountingTo = 0;  // DTINICCONT..DTFINACONT
    TDateTime PostingFrom = 0, PostingTo = 0;        // DTINICLANC..DTFINALANC
};

// The flags of a ledger account (its CONTCTBL row).
struct TAccountInfo {
    bool Analytic = false;       // IDTIPOCONT "A"
    std::string CostKind;        // IDCONTCCUS: "G", "R" required, "L" optional, else none
    std::string CommercialKind;  // IDTIPOCOME: "C" client, "F" supplier, "B" bank account
};

// Apportionment by the account's kind.
bool TakesApportionment(const std::string& costKind);     // G, L, R
bool RequiresApportionment(const std::string& costKind);  // G, R
bool ForbidsApportionment(const std::string& costKind);   // O

// One line (partida) and one share of its apportionment (rateio).
struct TEntryLine {
    std::string Seq, Account, History, Document, CommercialKind, CommercialCode, Origin;
    TDateTime Date = 0;
    TCents Value = 0;  // positive credit, negative debit
};
struct TShare {
    std::string Seq, Branch, CostCentre;
    TDateTime Competence = 0;
    TCents Value = 0;
};

// ---- a line -------------------------------------------------------------------------------

TCheck CheckDocument(const std::string& document);  // DOCU_DEV
TCheck CheckDateGiven(TDateTime date);              // DATA_DEV
// Accounting period first, then the posting period; whole days, both bounds in.
TCheck CheckPeriod(const TCompanyRules& company, TDateTime date);  // PERIODO_FORA, DATALANC_FORA
TCheck CheckAccountGiven(const std::string& account);              // CONT_DEV
TCheck CheckReducedCode(bool found);                               // CODREDU_N
TCheck CheckAccount(const std::optional<TAccountInfo>& account);   // CONT_N (missing or not analytic)
TCheck CheckHistory(const std::string& history, bool found);       // HIST_DEV, HIST_N
TCheck CheckValue(TCents value);                                   // PARTIDA_Z
// A company that forbids it refuses an account on both sides of one entry;
// `others` are the entry's other lines (the line's own earlier version, with
// its sequence, does not count).
TCheck CheckSameAccount(const TCompanyRules& company, const TEntryLine& line,
                        const std::vector<TEntryLine>& others);  // DBCR_MSMCONTA
// The commercial code: required where the company keeps them and the line
// has a kind; a bank account's code has at most 3 characters; a code must
// exist among the clients, suppliers or bank accounts of its kind.
TCheck CheckCommercialGiven(const TCompanyRules& company, const TEntryLine& line);  // CodComer_Inf
TCheck CheckCommercialCode(const TEntryLine& line, bool found);                     // CodComerBan_Inv, CodComer_Inv
// A kind the account does not have (or a code on an account without one).
TCheck CheckCommercialKind(const TEntryLine& line, const TAccountInfo& account);  // CodComer_Inv

// ---- its apportionment ----------------------------------------------------------------------

TCheck CheckBranch(const std::string& branch, bool found);             // FIL_DEV, FIL_N
TCheck CheckBranchOfCompany(bool related);                             // FILIAL_NRELAC
TCheck CheckCostCentre(const std::string& costCentre, bool ofBranch);  // CENTCUST_DEV, CENTCUST_NFIL
TCheck CheckCompetence(TDateTime competence);                          // DTCOMP_DEV
TCheck CheckShareValue(TCents value);                                  // VRRAT_DEV
// `others` are the line's other shares.
TCheck CheckPair(const TShare& share, const std::vector<TShare>& others);  // RATJA_INF
// The line's shares against its account's rule: required and missing
// (RAT_DEV), given on an account that takes none (RAT_NACEITA), not adding
// up to the line (SOMA_RAT).
TCheck CheckApportionment(const TCompanyRules& company, const std::string& costKind, TCents lineValue,
                          const std::vector<TShare>& shares);
bool SharesAddUp(TCents lineValue, const std::vector<TShare>& shares);

// ---- the entry --------------------------------------------------------------------------------

struct TTotals {
    TCents Debit = 0, Credit = 0;  // both positive
};
TTotals Totals(const std::vector<TCents>& values);
TCheck CheckBalance(const std::vector<TEntryLine>& lines);  // TOT_DIF

// ---- the guards ---------------------------------------------------------------------------------

// Entries of a batch ("L") or of a closing ("F", "S") belong to the batch
// screens: LANC_LOTE names the batch.
bool BatchOrigin(const std::string& origin);
TCheck CheckNotBatch(const std::string& origin, const std::string& batchCode);  // LANC_LOTE
// An entry a tax map uses: MAPA_APUR names the map as "month/year-Imposto: tax".
TRefusal MapRefusal(const std::string& month, const std::string& year, const std::string& tax);

// ---- a whole entry, as the server receives it -----------------------------------------------------

// What the server looks up for the checks.
class IReferenceData {
public:
    virtual ~IReferenceData() = default;
    virtual std::optional<TAccountInfo> Account(const std::string& code) = 0;
    virtual bool History(const std::string& code) = 0;
    // kind "C", "F" or "B"
    virtual bool CommercialCode(const std::string& kind, const std::string& code) = 0;
    virtual bool Branch(const std::string& code) = 0;
    virtual bool BranchOfCompany(const std::string& branch) = 0;
    virtual bool CostCentreOfBranch(const std::string& costCentre, const std::string& branch) = 0;
};

struct TLineRefusal {
    std::string Seq;  // empty for a refusal of the whole entry
    TRefusal Refusal;
};

// Every line, then its shares and its account's apportionment rule, then
// the balance; the first refusal found.
std::optional<TLineRefusal> CheckEntry(const TCompanyRules& company, const std::vector<TEntryLine>& lines,
                                       const std::vector<TShare>& shares, IReferenceData& reference);

// The text of a refusal: the message of its key with "%s" filled.
std::string MessageText(const TRefusal& refusal);
// Every key the rules answer.
std::vector<std::string> MessageKeys();

}  // namespace ledger
