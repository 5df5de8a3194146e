#include "ledger/rules.h"

#include "platform/data/field.h"
#include "platform/data/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace ledger {

namespace {

// Far beyond any ledger, well inside the 15 significant digits a double
// carries exactly.
constexpr double kMaxAmount = 1e13;

std::int64_t Pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

TRefusal Refuse(const char* key, const char* field, std::string arg = {}) {
    return TRefusal{key, field, std::move(arg)};
}

// The texts of the keys the rules answer, as the entry screen's message
// table has them (a test holds the two together).
const std::map<std::string, std::string>& Texts() {
    static const std::map<std::string, std::string> texts = {
        {"DOCU_DEV", "Documento deve ser informado."},
        {"DATA_DEV", "Data do lançamento contábil deve ser informada."},
        {"PERIODO_FORA", "Data de lançamento fora do período contábil."},
        {"DATALANC_FORA", "Data de lançamento fora do período de lançamento contábil."},
        {"CONT_DEV", "Conta contábil deve ser informada."},
        {"CODREDU_N", "Código reduzido não cadastrado."},
        {"CONT_N", "Conta contábil não cadastrada."},
        {"HIST_DEV", "Histórico Padrão deve ser informado."},
        {"HIST_N", "Histórico padrão não cadatrado."},
        {"PARTIDA_Z", "Valor da partida deve ser diferente de zero."},
        {"DBCR_MSMCONTA",
         "Não é possível, no mesmo lançamento, terem partidas de débito e crédito para a mesma conta."},
        {"CodComer_Inf", "Código comercial deve ser informado."},
        {"CodComer_Inv", "Código comercial inválido."},
        {"CodComerBan_Inv", "Código de conta bancária deve ter no máximo 3 caracteres."},
        {"FIL_DEV", "Filial deve ser informada."},
        {"FIL_N", "Filial não cadastrada."},
        {"FILIAL_NRELAC", "Final informada não está relacionada à empresa do lançamento contábil."},
        {"CENTCUST_DEV", "Centro de custo deve ser informado."},
        {"CENTCUST_NFIL", "Centro de custo não cadastrado para filial informada."},
        {"DTCOMP_DEV", "Data de competência deve ser informada."},
        {"VRRAT_DEV", "Valor de rateio deve ser diferente de zero."},
        {"RATJA_INF", "Rateio para filial e centro de custo já informado."},
        {"RAT_DEV", "Rateio deve ser informado para contas gerenciais."},
        {"RAT_NACEITA", "A conta da partida não aceita rateio por centro de custo."},
        {"SOMA_RAT", "Soma dos rateios difere do valor da partida."},
        {"TOT_DIF", "Total de débito difere do total de crédito."},
        {"LANC_LOTE",
         "Operação não permitida devido o lançamento ser de lote. Para realizar alguma operação, favor "
         "acessar a tela Manutenção De Lote e realizar a manutenção no lote %s."},
        {"MAPA_APUR", "Operação não permitida ! O Lançamento está relacionado ao mapa de apuração %s."},
    };
    return texts;
}

bool InPeriod(TDateTime from, TDateTime to, TDateTime day) {
    if (from == 0 || to == 0) return false;  // an unset bound: no open period
    return std::floor(from) <= day && day <= std::floor(to);
}

}  // namespace

// ---- amounts ------------------------------------------------------------------------------------

bool ToCents(double value, TCents& cents) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxAmount) return false;
    // The 15 significant digits of the value are what a person reads: round
    // those, never the binary expansion (1.005 is 1.00499999... in binary).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::int64_t digits = 0;
    for (const char* p = buf; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) digits = digits * 10 + (*p - '0');
    const char* e = std::strchr(buf, 'e');
    const int exponent = e ? std::atoi(e + 1) : 0;
    // value = digits * 10^(exponent - 14); cents = digits * 10^(exponent - 12)
    const int shift = 12 - exponent;
    std::int64_t result;
    if (shift <= 0) {
        result = digits * Pow10(-shift);
    } else if (shift > 18) {
        result = 0;
    } else {
        const std::int64_t div = Pow10(shift);
        result = digits / div;
        if ((digits % div) * 2 >= div) ++result;
    }
    cents = value < 0 ? -result : result;
    return true;
}

TCents Cents(double value) {
    TCents c = 0;
    return ToCents(value, c) ? c : 0;
}

double Amount(TCents cents) { return static_cast<double>(cents) / 100.0; }

// ---- account kinds ------------------------------------------------------------------------------

bool TakesApportionment(const std::string& k) { return !k.empty() && (k[0] == 'G' || k[0] == 'L' || k[0] == 'R'); }
bool RequiresApportionment(const std::string& k) { return !k.empty() && (k[0] == 'G' || k[0] == 'R'); }
bool ForbidsApportionment(const std::string& k) { return !k.empty() && k[0] == 'O'; }

// ---- a line ------------------------------------------------------------------------------------

TCheck CheckDocument(const std::string& document) {
    if (IsBlank(document)) return Refuse("DOCU_DEV", "CDDOCUCONT");
    return {};
}

TCheck CheckDateGiven(TDateTime date) {
    if (date == 0) return Refuse("DATA_DEV", "DTLANCCONT");
    return {};
}

TCheck CheckPeriod(const TCompanyRules& c, TDateTime date) {
    const TDateTime day = std::floor(date);
    if (!InPeriod(c.AccountingFrom, c.AccountingTo, day)) return Refuse("PERIODO_FORA", "DTLANCCONT");
    if (!InPeriod(c.PostingFrom, c.PostingTo, day)) return Refuse("DATALANC_FORA", "DTLANCCONT");
    return {};
}

TCheck CheckAccountGiven(const std::string& account) {
    if (IsBlank(account)) return Refuse("CONT_DEV", "CDCONTCTBL");
    return {};
}

TCheck CheckReducedCode(bool found) {
    if (!found) return Refuse("CODREDU_N", "CDCONTREDU");
    return {};
}

TCheck CheckAccount(const std::optional<TAccountInfo>& account) {
    if (!account || !account->Analytic) return Refuse("CONT_N", "CDCONTCTBL");
    return {};
}

TCheck CheckHistory(const std::string& history, bool found) {
    if (IsBlank(history)) return Refuse("HIST_DEV", "CDHISTPADR");
    if (!found) return Refuse("HIST_N", "CDHISTPADR");
    return {};
}

TCheck CheckValue(TCents value) {
    if (value == 0) return Refuse("PARTIDA_Z", "VRLANCAMENT");
    return {};
}

TCheck CheckSameAccount(const TCompanyRules& c, const TEntryLine& line, const std::vector<TEntryLine>& others) {
    if (c.SameAccountBothSides || line.Value == 0) return {};
    for (const TEntryLine& o : others) {
        if (o.Seq == line.Seq) continue;
        const bool otherSide = line.Value > 0 ? o.Value < 0 : o.Value > 0;
        if (otherSide && SameText(o.Account, line.Account)) return Refuse("DBCR_MSMCONTA", "CDCONTCTBL");
    }
    return {};
}

TCheck CheckCommercialGiven(const TCompanyRules& c, const TEntryLine& line) {
    if (c.Commercial && !IsBlank(line.CommercialKind) && IsBlank(line.CommercialCode))
        return Refuse("CodComer_Inf", "CDCONTCOME");
    return {};
}

TCheck CheckCommercialCode(const TEntryLine& line, bool found) {
    if (IsBlank(line.CommercialCode)) return {};
    const std::string kind = UpperCase(line.CommercialKind);
    if (kind == "B" && Utf8Length(line.CommercialCode) > 3) return Refuse("CodComerBan_Inv", "CDCONTCOME");
    if ((kind == "B" || kind == "C" || kind == "F") && !found) return Refuse("CodComer_Inv", "CDCONTCOME");
    return {};
}

TCheck CheckCommercialKind(const TEntryLine& line, const TAccountInfo& account) {
    const bool lineHasOne = !IsBlank(line.CommercialKind) || !IsBlank(line.CommercialCode);
    if (IsBlank(account.CommercialKind)) {
        if (lineHasOne) return Refuse("CodComer_Inv", "CDCONTCOME");
        return {};
    }
    if (!IsBlank(line.CommercialKind) && !SameText(line.CommercialKind, account.CommercialKind))
        return Refuse("CodComer_Inv", "CDCONTCOME");
    return {};
}

// ---- apportionment --------------------------------------------------------------------------------

TCheck CheckBranch(const std::string& branch, bool found) {
    if (IsBlank(branch)) return Refuse("FIL_DEV", "CDFILIAL");
    if (!found) return Refuse("FIL_N", "CDFILIAL");
    return {};
}

TCheck CheckBranchOfCompany(bool related) {
    if (!related) return Refuse("FILIAL_NRELAC", "CDFILIAL");
    return {};
}

TCheck CheckCostCentre(const std::string& costCentre, bool ofBranch) {
    if (IsBlank(costCentre)) return Refuse("CENTCUST_DEV", "CDCENTCUST");
    if (!ofBranch) return Refuse("CENTCUST_NFIL", "CDCENTCUST");
    return {};
}

TCheck CheckCompetence(TDateTime competence) {
    if (competence == 0) return Refuse("DTCOMP_DEV", "DTCOMPCUSTO");
    return {};
}

TCheck CheckShareValue(TCents value) {
    if (value == 0) return Refuse("VRRAT_DEV", "VRLANCCUST");
    return {};
}

TCheck CheckPair(const TShare& share, const std::vector<TShare>& others) {
    for (const TShare& o : others)
        if (o.Seq == share.Seq && SameText(o.Branch, share.Branch) && SameText(o.CostCentre, share.CostCentre))
            return Refuse("RATJA_INF", "CDFILIAL");
    return {};
}

bool SharesAddUp(TCents lineValue, const std::vector<TShare>& shares) {
    TCents sum = 0;
    for (const TShare& s : shares) sum += s.Value;
    return sum == lineValue;
}

TCheck CheckApportionment(const TCompanyRules& c, const std::string& costKind, TCents lineValue,
                          const std::vector<TShare>& shares) {
    if (ForbidsApportionment(costKind) && !shares.empty()) return Refuse("RAT_NACEITA", "VRLANCCUST");
    if (c.Management && RequiresApportionment(costKind) && shares.empty()) return Refuse("RAT_DEV", "CDFILIAL");
    if (!shares.empty() && !SharesAddUp(lineValue, shares)) return Refuse("SOMA_RAT", "VRLANCCUST");
    return {};
}

// ---- the entry ---------------------------------------------------------------------------------------

TTotals Totals(const std::vector<TCents>& values) {
    TTotals t;
    for (TCents v : values) {
        if (v > 0) t.Credit += v;
        else t.Debit -= v;
    }
    return t;
}

TCheck CheckBalance(const std::vector<TEntryLine>& lines) {
    TCents sum = 0;
    for (const TEntryLine& l : lines) sum += l.Value;
    if (sum != 0) return Refuse("TOT_DIF", "VRLANCAMENT");
    return {};
}

// ---- guards --------------------------------------------------------------------------------------------

bool BatchOrigin(const std::string& origin) {
    return !origin.empty() && (origin[0] == 'F' || origin[0] == 'L' || origin[0] == 'S');
}

TCheck CheckNotBatch(const std::string& origin, const std::string& batchCode) {
    if (BatchOrigin(origin)) return Refuse("LANC_LOTE", "", batchCode);
    return {};
}

TRefusal MapRefusal(const std::string& month, const std::string& year, const std::string& tax) {
    return Refuse("MAPA_APUR", "", Trim(month, " ") + "/" + Trim(year, " ") + "-" + "Imposto: " + Trim(tax, " "));
}

std::string MessageText(const TRefusal& refusal) {
    const auto it = Texts().find(refusal.Key);
    std::string text = it == Texts().end() ? refusal.Key : it->second;
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, refusal.Arg);
    return text;
}

std::vector<std::string> MessageKeys() {
    std::vector<std::string> keys;
    for (const auto& [key, text] : Texts()) keys.push_back(key);
    return keys;
}

}  // namespace ledger
