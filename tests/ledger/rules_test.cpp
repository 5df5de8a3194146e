// The entry rules, once for the screen and the server: each case names the
// check, its input and the refusal (message key and field) or none.
#include "ledger/rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace ledger;

namespace {

TDateTime Day(int y, int m, int d) {
    TDateTime t = 0;
    EncodeDate(y, m, d, t);
    return t;
}

TCompanyRules Company() {
    TCompanyRules c;
    c.Management = true;
    c.Commercial = true;
    c.SameAccountBothSides = false;
    c.AccountingFrom = Day(2024, 1, 1);
    c.AccountingTo = Day(2024, 12, 31) + 0.75;  // a bound stored with a time of day
    c.PostingFrom = Day(2024, 3, 1);
    c.PostingTo = Day(2024, 12, 31);
    return c;
}

TEntryLine Line(const std::string& seq, const std::string& account, TCents value) {
    TEntryLine l;
    l.Seq = seq;
    l.Account = account;
    l.History = "0001";
    l.Document = "NF1";
    l.Date = Day(2024, 6, 14);
    l.Value = value;
    return l;
}

struct TRuleCase {
    const char* name;
    std::function<TCheck()> check;
    std::string expected;  // "KEY FIELD", or "" for no refusal
};

void PrintTo(const TRuleCase& c, std::ostream* os) { *os << c.name; }

std::string Render(const TCheck& r) { return r ? r->Key + " " + r->Field : ""; }

class Rule : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(Rule, AnswersItsRefusal) { EXPECT_EQ(Render(GetParam().check()), GetParam().expected); }

TCheck Cents(double v, TCents expected) {
    TCents c = -1;
    if (!ToCents(v, c) || c != expected) return TRefusal{"cents", std::to_string(c), ""};
    return {};
}

std::vector<TShare> Shares(std::initializer_list<TCents> values) {
    std::vector<TShare> out;
    for (TCents v : values) out.push_back({"00001", "0001", "1001", Day(2024, 6, 14), v});
    return out;
}

TEntryLine Commercial(const std::string& kind, const std::string& code) {
    TEntryLine l = Line("00001", "1120100001", -100);
    l.CommercialKind = kind;
    l.CommercialCode = code;
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    Ledger, Rule,
    ::testing::Values(
        // amounts: half a cent goes away from zero on the digits a person reads
        TRuleCase{"HalfCentUp", [] { return Cents(1.005, 101); }, ""},
        TRuleCase{"HalfCentDownForDebits", [] { return Cents(-0.005, -1); }, ""},
        TRuleCase{"JustBelowHalfACent", [] { return Cents(0.004999, 0); }, ""},
        TRuleCase{"BinaryNoiseIgnored", [] { return Cents(0.1 + 0.2, 30); }, ""},
        TRuleCase{"ZeroAfterRounding", [] { return CheckValue(ledger::Cents(0.004)); }, "PARTIDA_Z VRLANCAMENT"},
        TRuleCase{"EachLineRoundedBeforeTheBalance",
                  [] {
                      return CheckBalance({Line("1", "a", ledger::Cents(33.334)), Line("2", "b", ledger::Cents(33.333)),
                                           Line("3", "c", ledger::Cents(-66.667))});
                  },
                  "TOT_DIF VRLANCAMENT"},
        TRuleCase{"Balanced",
                  [] {
                      return CheckBalance({Line("1", "a", 10000), Line("2", "b", -10000)});
                  },
                  ""},
        // periods: whole days, both bounds in, accounting period first
        TRuleCase{"LastDayWithATimeOfDay", [] { return CheckPeriod(Company(), Day(2024, 12, 31) + 0.9); }, ""},
        TRuleCase{"DayAfterTheAccountingPeriod", [] { return CheckPeriod(Company(), Day(2025, 1, 1)); },
                  "PERIODO_FORA DTLANCCONT"},
        TRuleCase{"BeforeThePostingPeriod", [] { return CheckPeriod(Company(), Day(2024, 2, 29)); },
                  "DATALANC_FORA DTLANCCONT"},
        TRuleCase{"CompanyWithoutParameters", [] { return CheckPeriod(TCompanyRules{}, Day(2024, 6, 14)); },
                  "PERIODO_FORA DTLANCCONT"},
        // the line's fields
        TRuleCase{"BlankDocument", [] { return CheckDocument("   "); }, "DOCU_DEV CDDOCUCONT"},
        TRuleCase{"NoDate", [] { return CheckDateGiven(0); }, "DATA_DEV DTLANCCONT"},
        TRuleCase{"NoAccount", [] { return CheckAccountGiven(""); }, "CONT_DEV CDCONTCTBL"},
        TRuleCase{"SyntheticAccount",
                  [] {
                      return CheckAccount(TAccountInfo{false, "", ""});
                  },
                  "CONT_N CDCONTCTBL"},
        TRuleCase{"UnknownAccount", [] { return CheckAccount(std::nullopt); }, "CONT_N CDCONTCTBL"},
        TRuleCase{"NoHistory", [] { return CheckHistory("", false); }, "HIST_DEV CDHISTPADR"},
        TRuleCase{"UnknownHistory", [] { return CheckHistory("0099", false); }, "HIST_N CDHISTPADR"},
        // the same account on both sides of one entry
        TRuleCase{"SameAccountOtherSide",
                  [] { return CheckSameAccount(Company(), Line("2", "111", 500), {Line("1", "111", -500)}); },
                  "DBCR_MSMCONTA CDCONTCTBL"},
        TRuleCase{"SameAccountSameSide",
                  [] { return CheckSameAccount(Company(), Line("2", "111", -5), {Line("1", "111", -500)}); }, ""},
        TRuleCase{"TheLinesOwnEarlierVersionDoesNotCount",
                  [] { return CheckSameAccount(Company(), Line("1", "111", 500), {Line("1", "111", -500)}); }, ""},
        TRuleCase{"CompanyAllowsBothSides",
                  [] {
                      TCompanyRules c = Company();
                      c.SameAccountBothSides = true;
                      return CheckSameAccount(c, Line("2", "111", 500), {Line("1", "111", -500)});
                  },
                  ""},
        // commercial codes
        TRuleCase{"CodeRequired", [] { return CheckCommercialGiven(Company(), Commercial("C", "")); },
                  "CodComer_Inf CDCONTCOME"},
        TRuleCase{"CodeNotKeptByTheCompany", [] { return CheckCommercialGiven(TCompanyRules{}, Commercial("C", "")); },
                  ""},
        TRuleCase{"BankCodeOfFourCharacters", [] { return CheckCommercialCode(Commercial("B", "0001"), true); },
                  "CodComerBan_Inv CDCONTCOME"},
        TRuleCase{"UnknownClient", [] { return CheckCommercialCode(Commercial("C", "000999"), false); },
                  "CodComer_Inv CDCONTCOME"},
        TRuleCase{"KindOfAnotherAccount",
                  [] {
                      return CheckCommercialKind(Commercial("F", "000001"), TAccountInfo{true, "", "C"});
                  },
                  "CodComer_Inv CDCONTCOME"},
        TRuleCase{"CodeOnAnAccountWithoutKind",
                  [] {
                      return CheckCommercialKind(Commercial("", "000001"), TAccountInfo{true, "", ""});
                  },
                  "CodComer_Inv CDCONTCOME"},
        // apportionment
        TRuleCase{"NoBranch", [] { return CheckBranch(" ", false); }, "FIL_DEV CDFILIAL"},
        TRuleCase{"BranchOfAnotherCompany", [] { return CheckBranchOfCompany(false); }, "FILIAL_NRELAC CDFILIAL"},
        TRuleCase{"CostCentreOfAnotherBranch", [] { return CheckCostCentre("3002", false); },
                  "CENTCUST_NFIL CDCENTCUST"},
        TRuleCase{"NoCompetence", [] { return CheckCompetence(0); }, "DTCOMP_DEV DTCOMPCUSTO"},
        TRuleCase{"ZeroShare", [] { return CheckShareValue(ledger::Cents(0.004)); }, "VRRAT_DEV VRLANCCUST"},
        TRuleCase{"PairGivenTwice", [] { return CheckPair(Shares({-100})[0], Shares({-200})); }, "RATJA_INF CDFILIAL"},
        TRuleCase{"RequiredAndMissing", [] { return CheckApportionment(Company(), "G", -300, {}); },
                  "RAT_DEV CDFILIAL"},
        TRuleCase{"RequiredOnlyWithManagementAccounting",
                  [] { return CheckApportionment(TCompanyRules{}, "R", -300, {}); }, ""},
        TRuleCase{"OptionalAndShort",
                  [] {
                      return CheckApportionment(Company(), "L", 10000, Shares({6000, 3000}));
                  },
                  "SOMA_RAT VRLANCCUST"},
        TRuleCase{"AccountThatTakesNone", [] { return CheckApportionment(Company(), "O", -4590, Shares({-4590})); },
                  "RAT_NACEITA VRLANCCUST"},
        TRuleCase{"SharesAddUp",
                  [] {
                      return CheckApportionment(Company(), "G", -300, Shares({-200, -100}));
                  },
                  ""},
        // guards
        TRuleCase{"BatchEntry", [] { return CheckNotBatch("L", "000123"); }, "LANC_LOTE "},
        TRuleCase{"ClosingEntry", [] { return CheckNotBatch("S", "000901"); }, "LANC_LOTE "},
        TRuleCase{"ManualEntry", [] { return CheckNotBatch("M", ""); }, ""}),
    [](const ::testing::TestParamInfo<TRuleCase>& info) { return std::string(info.param.name); });

TEST(LedgerText, MessagesFillTheirPlaceholder) {
    EXPECT_EQ(MessageText(*CheckNotBatch("F", "000900")),
              "Operação não permitida devido o lançamento ser de lote. Para realizar alguma operação, favor "
              "acessar a tela Manutenção De Lote e realizar a manutenção no lote 000900.");
    EXPECT_EQ(MessageText(MapRefusal("Janeiro  ", "2024", " ICMS")),
              "Operação não permitida ! O Lançamento está relacionado ao mapa de apuração Janeiro/2024-Imposto: ICMS.");
}

// What the server looks up, from a small table.
class TTableReference : public IReferenceData {
public:
    std::map<std::string, TAccountInfo> accounts = {
        {"1110100001", {true, "", ""}}, {"1120100001", {true, "", "C"}}, {"4110100004", {true, "G", ""}}};
    std::optional<TAccountInfo> Account(const std::string& code) override {
        auto it = accounts.find(code);
        return it == accounts.end() ? std::nullopt : std::optional<TAccountInfo>(it->second);
    }
    bool History(const std::string& code) override { return code == "0001"; }
    bool CommercialCode(const std::string& kind, const std::string& code) override {
        return kind == "C" && code == "000001";
    }
    bool Branch(const std::string& code) override { return code == "0001" || code == "0004"; }
    bool BranchOfCompany(const std::string& branch) override { return branch == "0001"; }
    bool CostCentreOfBranch(const std::string& cc, const std::string& branch) override {
        return branch == "0001" && cc == "1001";
    }
};

TEST(LedgerEntry, TheFirstRefusalNamesItsLineInTheScreensOrder) {
    TTableReference ref;
    std::vector<TEntryLine> lines = {Line("00001", "4110100004", -300), Line("00002", "1120100001", 100),
                                     Line("00003", "1110100001", 200)};
    lines[1].CommercialCode = "000001";
    std::vector<TShare> shares = {{"00001", "0001", "1001", Day(2024, 6, 14), -300}};
    EXPECT_FALSE(CheckEntry(Company(), lines, shares, ref));

    auto refusal = [&](std::function<void()> change) {
        auto l = lines;
        auto s = shares;
        std::swap(l, lines);
        std::swap(s, shares);
        change();
        auto r = CheckEntry(Company(), lines, shares, ref);
        std::swap(l, lines);
        std::swap(s, shares);
        return r ? r->Seq + " " + r->Refusal.Key : std::string();
    };
    EXPECT_EQ(refusal([&] { lines[2].Value = 201; }), " TOT_DIF");
    EXPECT_EQ(refusal([&] { shares.clear(); }), "00001 RAT_DEV");
    EXPECT_EQ(refusal([&] { shares[0].Branch = "0004"; }), "00001 FILIAL_NRELAC");
    EXPECT_EQ(refusal([&] { lines[1].CommercialCode.clear(); }), "00002 CodComer_Inf");
    // the account's kind is the line's when the line carries none
    EXPECT_EQ(refusal([&] {
                  lines[1].CommercialKind.clear();
                  lines[1].CommercialCode = "000009";
              }),
              "00002 CodComer_Inv");
    // the earlier refusal of a line wins over a later one
    EXPECT_EQ(refusal([&] {
                  lines[2].History = "0099";
                  lines[2].Value = 0;
              }),
              "00003 HIST_N");
}

}  // namespace
