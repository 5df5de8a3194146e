// The entry rules on a save: the entry is read as the rules read it, the
// reference data they need is looked up here, and the first refusal is
// answered with the rule's text and the line at fault ("Partida 00002: ...").
#include "ledger/rules.h"
#include "server/store_impl.h"
#include "server/store_rows.h"

#include <map>

using namespace ctbstore;

namespace {

TDateTime DateOf(const std::string& sql) {
    TDateTime d = 0;
    return SqlToDate(sql, d) ? d : 0;
}

// Lookups of the suite's reference tables, each code asked once per save.
class TSqlReference : public ledger::IReferenceData {
public:
    TSqlReference(soci::session& sql, const std::string& empresa) : sql_(sql), empresa_(empresa) {}

    std::optional<ledger::TAccountInfo> Account(const std::string& code) override {
        auto it = accounts_.find(code);
        if (it != accounts_.end()) return it->second;
        std::string tipo, ccus, come;
        soci::indicator iTipo = soci::i_null, iCcus = soci::i_null, iCome = soci::i_null;
        sql_ << "SELECT IDTIPOCONT, IDCONTCCUS, IDTIPOCOME FROM CONTCTBL WHERE CDCONTCTBL = :c", soci::use(code),
            soci::into(tipo, iTipo), soci::into(ccus, iCcus), soci::into(come, iCome);
        std::optional<ledger::TAccountInfo> info;
        if (sql_.got_data())
            info = ledger::TAccountInfo{iTipo == soci::i_ok && Trim(tipo) == "A", iCcus == soci::i_ok ? Trim(ccus) : "",
                                        iCome == soci::i_ok ? Trim(come) : ""};
        return accounts_[code] = info;
    }
    bool History(const std::string& code) override {
        return Exists("SELECT COUNT(*) FROM HISTPADR WHERE CDHISTPADR = :a", code);
    }
    bool CommercialCode(const std::string& kind, const std::string& code) override {
        if (kind == "C") return Exists("SELECT COUNT(*) FROM CLIENTE WHERE CDCLIENTE = :a", code);
        if (kind == "F") return Exists("SELECT COUNT(*) FROM FORNECEDOR WHERE CDFORNECED = :a", code);
        if (kind == "B")
            return Exists(
                "SELECT COUNT(*) FROM CONTCORR C JOIN BANCO B ON B.CDBANCO = C.CDBANCO"
                " WHERE C.CDREDUCONT = :a",
                code);
        return true;  // a kind without codes of its own
    }
    bool Branch(const std::string& code) override {
        return Exists("SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = :a", code);
    }
    bool BranchOfCompany(const std::string& branch) override {
        return Exists("SELECT COUNT(*) FROM EMPRFILIAL WHERE CDEMPRESA = :b AND CDFILIAL = :a", branch, empresa_);
    }
    bool CostCentreOfBranch(const std::string& costCentre, const std::string& branch) override {
        return Exists("SELECT COUNT(*) FROM CENTCUSTFIL WHERE CDCENTCUST = :a AND CDFILIAL = :b", costCentre, branch);
    }

private:
    soci::session& sql_;
    std::string empresa_;
    std::map<std::string, std::optional<ledger::TAccountInfo>> accounts_;
    std::map<std::string, bool> seen_;

    bool Exists(const std::string& query, const std::string& a, const std::string& b = "") {
        const std::string key = query + '\x1f' + a + '\x1f' + b;
        auto it = seen_.find(key);
        if (it != seen_.end()) return it->second;
        int n = 0;
        if (query.find(":b") != std::string::npos) sql_ << query, soci::use(a, "a"), soci::use(b, "b"), soci::into(n);
        else sql_ << query, soci::use(a, "a"), soci::into(n);
        return seen_[key] = n > 0;
    }
};

// The company's parameters as the rules read them.
ledger::TCompanyRules LoadCompanyRules(soci::session& sql, const std::string& empresa) {
    ledger::TCompanyRules c;
    std::string gere, come, sug, msm, iniCont, fimCont, iniLanc, fimLanc;
    soci::indicator ind[8];
    sql << "SELECT IDCONTGERE, IDCONTCOME, IDSUGRAT, IDMSMCONTADBCR, DTINICCONT, DTFINACONT, DTINICLANC,"
           " DTFINALANC FROM CONTOPECTBL WHERE CDEMPRESA = :e",
        soci::use(empresa), soci::into(gere, ind[0]), soci::into(come, ind[1]), soci::into(sug, ind[2]),
        soci::into(msm, ind[3]), soci::into(iniCont, ind[4]), soci::into(fimCont, ind[5]), soci::into(iniLanc, ind[6]),
        soci::into(fimLanc, ind[7]);
    if (!sql.got_data()) return c;  // no parameters: no open period
    auto text = [&](const std::string& v, int i) { return ind[i] == soci::i_ok ? Trim(v) : std::string(); };
    c.Management = text(gere, 0) == "S";
    c.Commercial = text(come, 1) == "S";
    c.ProposesApportionment = text(sug, 2) == "S";
    c.SameAccountBothSides = text(msm, 3) != "N";
    c.AccountingFrom = DateOf(text(iniCont, 4));
    c.AccountingTo = DateOf(text(fimCont, 5));
    c.PostingFrom = DateOf(text(iniLanc, 6));
    c.PostingTo = DateOf(text(fimLanc, 7));
    return c;
}

}  // namespace

namespace ctbstore {

void CheckEntryRules(soci::session& sql, const std::string& empresa, const std::vector<TStoredLine>& lines,
                     const std::vector<TStoredRateio>& rateio) {
    std::vector<ledger::TEntryLine> linhas;
    for (const TStoredLine& l : lines)
        linhas.push_back(
            {l.NrSeq, l.ContCtbl, l.HistPadr, l.Docu, l.LancCome, l.ContCome, l.LancInte, DateOf(l.DtLanc), l.Cents});
    std::vector<ledger::TShare> partes;
    for (const TStoredRateio& a : rateio) partes.push_back({a.NrSeq, a.Filial, a.CentCust, DateOf(a.DtComp), a.Cents});
    TSqlReference reference(sql, empresa);
    const auto refusal = ledger::CheckEntry(LoadCompanyRules(sql, empresa), linhas, partes, reference);
    if (!refusal) return;
    const std::string& key = refusal->Refusal.Key;
    const TErrorKind kind =
        key == "PERIODO_FORA" || key == "DATALANC_FORA" ? TErrorKind::Periodo : TErrorKind::Validacao;
    const std::string where = refusal->Seq.empty() ? "" : "Partida " + refusal->Seq + ": ";
    Refuse(kind, where + ledger::MessageText(refusal->Refusal));
}

}  // namespace ctbstore
