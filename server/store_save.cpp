// SetLancContabil and SetExcluiLancamento: the only writers of entries.
// A save takes from the packets only the records of its own entry, checks
// the whole entry and replaces its lines and apportionment in one
// transaction; anything wrong refuses the save and leaves the store as it was.
#include "server/rpc_session.h"
#include "server/store_change.h"
#include "server/store_impl.h"
#include "server/store_rows.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

using namespace ctbstore;

namespace {

// Reads cells of a packet by field name; a missing optional field reads as
// null, a missing required one refuses the packet.
class TPacketReader {
public:
    TPacketReader(const TDataPacket& p, const std::string& what) : p_(p), what_(what) {}

    int Require(const std::string& field) const {
        int i = p_.FieldIndex(field);
        if (i < 0) Refuse(TErrorKind::Validacao, "O pacote de " + what_ + " não tem o campo " + field + ".");
        return i;
    }
    int Optional(const std::string& field) const { return p_.FieldIndex(field); }

    std::string Text(std::size_t row, int col) const {
        if (col < 0) return "";
        const Variant& v = p_.Value(row, static_cast<std::size_t>(col));
        if (v.kind() == Variant::Kind::Float)
            Refuse(TErrorKind::Validacao, "Campo " + p_.Fields()[col].Name + " de " + what_ + " deve ser texto.");
        return v.AsString();
    }
    std::string Code(std::size_t row, int col) const { return Trim(Text(row, col)); }

    // A date cell: TDateTime days (float or integer) or null (0).
    TDateTime Date(std::size_t row, int col) const {
        if (col < 0) return 0;
        const Variant& v = p_.Value(row, static_cast<std::size_t>(col));
        if (v.IsNull()) return 0;
        if (v.kind() != Variant::Kind::Float && v.kind() != Variant::Kind::Integer)
            Refuse(TErrorKind::Validacao, "Campo " + p_.Fields()[col].Name + " de " + what_ + " deve ser data.");
        return v.AsFloat();
    }

    // An amount in cents; false for null, text or a value out of range.
    bool Cents(std::size_t row, int col, std::int64_t& cents) const {
        const Variant& v = p_.Value(row, static_cast<std::size_t>(col));
        if (v.kind() != Variant::Kind::Float && v.kind() != Variant::Kind::Integer) return false;
        return AmountToCents(v.AsFloat(), cents);
    }

private:
    const TDataPacket& p_;
    std::string what_;
};

std::string LinePrefix(const std::string& seq) { return "Partida " + seq + ": "; }

void CheckLength(const std::string& value, std::size_t max, const std::string& field, const std::string& where) {
    if (Utf8Length(value) > max)
        Refuse(TErrorKind::Validacao, where + "o campo " + field + " excede " + std::to_string(max) + " caracteres.");
}

struct TEntryToSave {
    std::vector<TStoredLine> Lines;
    std::vector<TStoredRateio> Rateio;
    long long Loaded = 0;  // the newest stamp the packet's lines carry
};

// The entry's lines, checked one by one (the whole-entry checks follow).
std::vector<TStoredLine> TakeLines(const TDataPacket& p, const std::string& empresa, const std::string& nrLanc) {
    TPacketReader r(p, "partidas");
    int cEmp = r.Require("CDEMPRESA"), cNr = r.Require("NRLANCCONT"), cSeq = r.Require("NRSEQLANC");
    int cConta = r.Require("CDCONTCTBL"), cData = r.Require("DTLANCCONT");
    int cValor = r.Require("VRLANCAMENT");
    int cFil = r.Optional("CDFILLANC"), cHist = r.Optional("CDHISTPADR");
    int cDocu = r.Optional("CDDOCUCONT"), cTipo = r.Optional("IDTIPOLANC");
    int cDs = r.Optional("DSHISTLANC"), cIdCome = r.Optional("IDLANCCOME");
    int cSaldo = r.Optional("IDLANCSALDO"), cInte = r.Optional("IDLANCINTE");
    int cMani = r.Optional("IDLANCMANI"), cCdCome = r.Optional("CDCONTCOME");
    int cOper = r.Optional("CDOPERINS"), cSldLanco = r.Optional("IDSALDLANCO");
    int cSldLange = r.Optional("IDSALDLANGE"), cSist = r.Optional("IDSISTEMA");

    std::vector<TStoredLine> lines;
    for (std::size_t i = 0; i < p.RecordCount(); ++i) {
        if (r.Code(i, cEmp) != empresa || r.Code(i, cNr) != nrLanc) continue;
        TStoredLine l;
        l.Empresa = empresa;
        l.NrLanc = nrLanc;
        l.NrSeq = r.Code(i, cSeq);
        std::string where = LinePrefix(l.NrSeq);
        if (l.NrSeq.empty()) Refuse(TErrorKind::Validacao, "Sequência da partida deve ser informada.");
        CheckLength(l.NrSeq, 5, "NRSEQLANC", where);
        // What a line must hold is the entry rules' to say (store_rules.cpp);
        // here only what cannot be read at all.
        l.ContCtbl = r.Code(i, cConta);
        TDateTime data = r.Date(i, cData);
        if (!ValidDate(data)) Refuse(TErrorKind::Validacao, where + "Data do lançamento contábil inválida.");
        l.DtLanc = DateToSql(data);
        if (!r.Cents(i, cValor, l.Cents))
            Refuse(TErrorKind::Validacao, where + "Valor da partida deve ser um número válido.");
        l.FilLanc = r.Code(i, cFil);
        l.HistPadr = r.Code(i, cHist);
        l.Docu = r.Code(i, cDocu);
        l.TipoLanc = r.Code(i, cTipo);
        l.DsHist = r.Text(i, cDs);
        l.LancCome = r.Code(i, cIdCome);
        l.LancSaldo = r.Code(i, cSaldo);
        l.LancInte = r.Code(i, cInte);
        l.LancMani = r.Code(i, cMani);
        l.ContCome = r.Code(i, cCdCome);
        l.OperIns = r.Code(i, cOper);
        l.SaldLanco = r.Code(i, cSldLanco);
        l.SaldLange = r.Code(i, cSldLange);
        l.Sistema = r.Code(i, cSist);
        const std::pair<const std::string*, std::pair<std::size_t, const char*>> sizes[] = {
            {&l.ContCtbl, {20, "CDCONTCTBL"}},  {&l.FilLanc, {4, "CDFILLANC"}},     {&l.HistPadr, {4, "CDHISTPADR"}},
            {&l.Docu, {20, "CDDOCUCONT"}},      {&l.TipoLanc, {1, "IDTIPOLANC"}},   {&l.DsHist, {600, "DSHISTLANC"}},
            {&l.LancCome, {1, "IDLANCCOME"}},   {&l.LancSaldo, {1, "IDLANCSALDO"}}, {&l.LancInte, {1, "IDLANCINTE"}},
            {&l.LancMani, {1, "IDLANCMANI"}},   {&l.ContCome, {21, "CDCONTCOME"}},  {&l.OperIns, {12, "CDOPERINS"}},
            {&l.SaldLanco, {1, "IDSALDLANCO"}}, {&l.SaldLange, {1, "IDSALDLANGE"}}, {&l.Sistema, {3, "IDSISTEMA"}}};
        for (const auto& [value, limit] : sizes) CheckLength(*value, limit.first, limit.second, where);
        lines.push_back(std::move(l));
    }
    if (lines.empty()) Refuse(TErrorKind::Validacao, "O lançamento contábil " + nrLanc + " não tem partidas a gravar.");
    std::set<std::string> seqs;
    for (const TStoredLine& l : lines)
        if (!seqs.insert(l.NrSeq).second)
            Refuse(TErrorKind::Validacao, LinePrefix(l.NrSeq) + "sequência repetida no lançamento.");
    return lines;
}

// The entry's apportionment lines that belong to one of its lines (lines
// deleted on the screen may leave theirs behind in the packet: not stored).
std::vector<TStoredRateio> TakeRateio(const TDataPacket& p, const std::string& empresa, const std::string& nrLanc,
                                      const std::vector<TStoredLine>& lines) {
    std::vector<TStoredRateio> out;
    if (p.Fields().empty() && p.RecordCount() == 0) return out;  // no apportionment sent
    TPacketReader r(p, "rateios");
    int cEmp = r.Require("CDEMPRESA"), cNr = r.Require("NRLANCCONT"), cSeq = r.Require("NRSEQLANC");
    int cFil = r.Require("CDFILIAL"), cCc = r.Require("CDCENTCUST"), cVr = r.Require("VRLANCCUST");
    int cDt = r.Optional("DTCOMPCUSTO");
    std::set<std::string> seqs;
    for (const TStoredLine& l : lines) seqs.insert(l.NrSeq);

    for (std::size_t i = 0; i < p.RecordCount(); ++i) {
        if (r.Code(i, cEmp) != empresa || r.Code(i, cNr) != nrLanc) continue;
        TStoredRateio a;
        a.Empresa = empresa;
        a.NrLanc = nrLanc;
        a.NrSeq = r.Code(i, cSeq);
        if (!seqs.count(a.NrSeq)) continue;
        std::string where = LinePrefix(a.NrSeq);
        a.Filial = r.Code(i, cFil);
        a.CentCust = r.Code(i, cCc);
        CheckLength(a.Filial, 4, "CDFILIAL", where);
        CheckLength(a.CentCust, 4, "CDCENTCUST", where);
        if (!r.Cents(i, cVr, a.Cents))
            Refuse(TErrorKind::Validacao, where + "Valor de rateio deve ser um número válido.");
        TDateTime comp = r.Date(i, cDt);
        if (!ValidDate(comp)) Refuse(TErrorKind::Validacao, where + "Data de competência inválida.");
        a.DtComp = DateToSql(comp);
        out.push_back(std::move(a));
    }
    return out;
}

// The newest last-update stamp among the entry's lines in the packet: the
// version the bookkeeper loaded (0 for an entry never saved).
long long LoadedStamp(const TDataPacket& p, const std::string& empresa, const std::string& nrLanc) {
    TPacketReader r(p, "partidas");
    int cEmp = r.Require("CDEMPRESA"), cNr = r.Require("NRLANCCONT"), cUlt = r.Optional("DTULTATULAN");
    long long newest = 0;
    for (std::size_t i = 0; i < p.RecordCount(); ++i)
        if (r.Code(i, cEmp) == empresa && r.Code(i, cNr) == nrLanc) newest = std::max(newest, StampMs(r.Date(i, cUlt)));
    return newest;
}

struct TStoredState {
    std::map<std::string, std::string> OperBySeq;
    std::vector<std::string> Dates;
};

TStoredState LoadStored(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    TStoredState s;
    std::string seq, oper, date;
    soci::indicator iOper, iDate;
    soci::statement st =
        (sql.prepare << "SELECT NRSEQLANC, CDOPERINS, DTLANCCONT FROM LANCCONT"
                        " WHERE CDEMPRESA = :e AND NRLANCCONT = :n",
         soci::use(empresa), soci::use(nrLanc), soci::into(seq), soci::into(oper, iOper), soci::into(date, iDate));
    st.execute();
    while (st.fetch()) {
        s.OperBySeq[seq] = iOper == soci::i_ok ? Trim(oper) : "";
        if (iDate == soci::i_ok) s.Dates.push_back(Trim(date).substr(0, 10));
    }
    return s;
}

void DeleteEntry(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    sql << "DELETE FROM LANCCCUSTO WHERE CDEMPRESA = :e AND NRLANCCONT = :n", soci::use(empresa), soci::use(nrLanc);
    sql << "DELETE FROM LANCCONT WHERE CDEMPRESA = :e AND NRLANCCONT = :n", soci::use(empresa), soci::use(nrLanc);
}

// Returns the stamp of the saved version.
long long SaveEntry(soci::session& sql, TDialect dialect, TEntryToSave& e, const std::string& empresa,
                    const std::string& nrLanc, const TAuthor& by) {
    TCompanyPeriods periods = LoadPeriods(sql, empresa);
    CheckNumberIssued(sql, empresa, nrLanc);
    TLastChange last = LockEntry(sql, dialect, empresa, nrLanc);
    RefuseIfChangedByAnother(last, e.Loaded, by, nrLanc, false);
    CheckNotProtected(sql, empresa, nrLanc);
    TStoredState stored = LoadStored(sql, empresa, nrLanc);
    for (const std::string& date : stored.Dates) CheckPeriod(periods, date, "Lançamento gravado: ");
    CheckEntryRules(sql, empresa, e.Lines, e.Rateio);

    const long long ms = RecordChange(sql, empresa, nrLanc, last, by, false);
    std::string stamp = StampToSql(ms);
    std::string oper = OperatorName(by.Operator);
    for (TStoredLine& l : e.Lines) {
        auto it = stored.OperBySeq.find(l.NrSeq);
        if (it != stored.OperBySeq.end() && !it->second.empty()) l.OperIns = it->second;
        else if (l.OperIns.empty()) l.OperIns = oper;
        l.UltAtu = stamp;
    }
    DeleteEntry(sql, empresa, nrLanc);
    TEntryWriter writer(sql);
    for (const TStoredLine& l : e.Lines) writer.Insert(l);
    for (const TStoredRateio& a : e.Rateio) writer.Insert(a);
    return ms;
}

std::string RequireNumber(const std::string& nrLanc) {
    std::string nr = Trim(nrLanc);
    if (nr.empty()) Refuse(TErrorKind::Validacao, "Número do lançamento contábil deve ser informado.");
    if (nr.size() > 12) Refuse(TErrorKind::Validacao, "Número do lançamento contábil excede 12 caracteres.");
    return nr;
}

}  // namespace

void TEntryStore::SetLancContabil(const TDataPacket& linhas, const TDataPacket& rateio, const std::string& empresa,
                                  std::string& nrLanc, std::string& ultDocu, const std::string& operador) {
    (void)ultDocu;  // kept as the screen sent it
    std::string emp = Trim(empresa);
    std::string nr = RequireNumber(nrLanc);
    CheckSaveRequest(linhas, rateio, emp, nr, ultDocu, operador);
    TEntryToSave entry;
    entry.Lines = TakeLines(linhas, emp, nr);
    entry.Rateio = TakeRateio(rateio, emp, nr, entry.Lines);
    entry.Loaded = LoadedStamp(linhas, emp, nr);
    const TAuthor by{operador, CurrentRpcCaller().Session};
    const long long saved =
        impl_->Run(true, [&](soci::session& sql) { return SaveEntry(sql, impl_->Dialect(), entry, emp, nr, by); });
    impl_->Views.Saw(by.Session, emp + "/" + nr, saved);
}

void TEntryStore::SetExcluiLancamento(const std::string& empresa, std::string& nrLanc) {
    std::string emp = Trim(empresa);
    std::string nr = RequireNumber(nrLanc);
    const TRpcCaller& caller = CurrentRpcCaller();
    const TAuthor by{caller.Operator, caller.Session};
    const std::string key = emp + "/" + nr;
    impl_->Run(true, [&](soci::session& sql) {
        TCompanyPeriods periods = LoadPeriods(sql, emp);
        TLastChange last = LockEntry(sql, impl_->Dialect(), emp, nr);
        TStoredState stored = LoadStored(sql, emp, nr);
        if (stored.OperBySeq.empty()) {
            if (last.Deleted && !last.By.Operator.empty())
                Refuse(TErrorKind::Validacao, "Lançamento contábil " + nr + " já foi excluído por " + last.By.Operator +
                                                  " em " + StampText(last.Ms) + ".");
            Refuse(TErrorKind::Validacao, "Lançamento contábil " + nr + " não cadastrado.");
        }
        long long seen = 0;
        if (impl_->Views.Seen(caller.Session, key, seen)) RefuseIfChangedByAnother(last, seen, by, nr, true);
        CheckNotProtected(sql, emp, nr);
        for (const std::string& date : stored.Dates) CheckPeriod(periods, date, "");
        DeleteEntry(sql, emp, nr);
        RecordChange(sql, emp, nr, last, by, true);
    });
    impl_->Views.Forget(caller.Session, key);
}
