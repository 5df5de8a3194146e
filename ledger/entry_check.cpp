// CheckEntry: the checks of the line post, of each share and of the
// confirmation, run over a whole entry in the order the screen runs them.
#include "ledger/rules.h"

#include "platform/data/text.h"

namespace ledger {

namespace {

// The line's own checks, up to its commercial code.
TCheck CheckLine(const TCompanyRules& company, const TEntryLine& line, const std::vector<TEntryLine>& lines,
                 IReferenceData& ref, TAccountInfo& account) {
    if (TCheck r = CheckDocument(line.Document)) return r;
    if (TCheck r = CheckDateGiven(line.Date)) return r;
    if (TCheck r = CheckPeriod(company, line.Date)) return r;
    if (TCheck r = CheckAccountGiven(line.Account)) return r;
    const std::optional<TAccountInfo> found = ref.Account(line.Account);
    if (TCheck r = CheckAccount(found)) return r;
    account = *found;
    if (TCheck r = CheckHistory(line.History, !IsBlank(line.History) && ref.History(line.History))) return r;
    if (TCheck r = CheckValue(line.Value)) return r;
    if (TCheck r = CheckSameAccount(company, line, lines)) return r;
    if (TCheck r = CheckCommercialKind(line, account)) return r;
    // A line without its kind takes the account's, as the screen fills it in.
    TEntryLine effective = line;
    if (IsBlank(effective.CommercialKind)) effective.CommercialKind = account.CommercialKind;
    if (TCheck r = CheckCommercialGiven(company, effective)) return r;
    const bool exists =
        IsBlank(effective.CommercialCode) || ref.CommercialCode(effective.CommercialKind, effective.CommercialCode);
    return CheckCommercialCode(effective, exists);
}

TCheck CheckShareOf(const TCompanyRules& company, const TEntryLine& line, const TShare& share,
                    const std::vector<TShare>& before, IReferenceData& ref) {
    if (TCheck r = CheckBranch(share.Branch, !IsBlank(share.Branch) && ref.Branch(share.Branch))) return r;
    if (TCheck r = CheckBranchOfCompany(ref.BranchOfCompany(share.Branch))) return r;
    const bool ofBranch = !IsBlank(share.CostCentre) && ref.CostCentreOfBranch(share.CostCentre, share.Branch);
    if (TCheck r = CheckCostCentre(share.CostCentre, ofBranch)) return r;
    if (TCheck r = CheckCompetence(share.Competence)) return r;
    if (TCheck r = CheckShareValue(share.Value)) return r;
    if (TCheck r = CheckPeriod(company, line.Date)) return r;
    return CheckPair(share, before);
}

}  // namespace

std::optional<TLineRefusal> CheckEntry(const TCompanyRules& company, const std::vector<TEntryLine>& lines,
                                       const std::vector<TShare>& shares, IReferenceData& ref) {
    for (const TEntryLine& line : lines) {
        TAccountInfo account;
        if (TCheck r = CheckLine(company, line, lines, ref, account)) return TLineRefusal{line.Seq, *r};
        std::vector<TShare> ofLine;
        for (const TShare& s : shares) {
            if (s.Seq != line.Seq) continue;
            if (TCheck r = CheckShareOf(company, line, s, ofLine, ref)) return TLineRefusal{line.Seq, *r};
            ofLine.push_back(s);
        }
        if (TCheck r = CheckApportionment(company, account.CostKind, line.Value, ofLine))
            return TLineRefusal{line.Seq, *r};
    }
    if (TCheck r = CheckBalance(lines)) return TLineRefusal{"", *r};
    return {};
}

}  // namespace ledger
