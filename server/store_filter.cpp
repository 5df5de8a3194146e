// GetLancCont: the lines of a company that match the filter dialog's
// criteria. The range criteria (date, account, document) select candidates
// in SQL on the indexes; the code lists, the entry number, the history text,
// the value range and the apportionment criteria are matched here, as data.
#include "server/store_impl.h"
#include "server/store_lines.h"

#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace ctbstore {

namespace {

// Above this many matched entries the Aux kinds read the company's lines in
// the matched number range once instead of one query per entry.
constexpr std::size_t kPerEntryLimit = 200;

// A period longer than this reads the company's lines in key order.
constexpr double kLongPeriodDays = 92;

std::string DateAsText(const std::string& column) { return "CAST(" + column + " AS VARCHAR(10))"; }

struct TCandidateWhere {
    std::string Where;
    std::vector<TLineParam> Params;
};

std::string FinalAccount(const TLancFiltro& f) {
    if (!f.ContFimZ.empty()) return f.ContFimZ;
    std::string fim = Trim(f.ContFim);
    if (fim.size() < 10) fim += std::string(10 - fim.size(), 'Z');
    return fim;
}

// The SQL part of the criteria, on the lines aliased L: fixed fragments, each
// present only when its criterion is given (so the indexes serve it), every
// value bound. Parameter names are never repeated, so every backend binds
// them alike.
TCandidateWhere CandidateWhere(const TLancFiltro& f) {
    TCandidateWhere w;
    // Over a long period nearly every line of the company is a candidate:
    // reading them in key order (entry, sequence) then beats the date index,
    // which would need a sort of the whole year. The date is compared as text
    // ('YYYY-MM-DD') so that no database takes its index for it.
    const bool longPeriod = f.DtIni == 0 || f.DtFim == 0 || f.DtFim - f.DtIni > kLongPeriodDays;
    w.Where = longPeriod ? "L.CDEMPRESA = :emp AND " + DateAsText("L.DTLANCCONT") + " >= :dtini AND " +
                               DateAsText("L.DTLANCCONT") + " <= :dtfim"
                         : "L.CDEMPRESA = :emp AND L.DTLANCCONT >= :dtini AND L.DTLANCCONT <= :dtfim";
    w.Params = {{"emp", Trim(f.Empresa)},
                {"dtini", f.DtIni != 0 ? DateToSql(f.DtIni) : "0001-01-01"},
                {"dtfim", f.DtFim != 0 ? DateToSql(f.DtFim) : "9999-12-31"}};
    std::string contIni = Trim(f.ContIni);
    if (!contIni.empty()) {
        w.Where += " AND L.CDCONTCTBL >= :contini AND L.CDCONTCTBL <= :contfim";
        w.Params.push_back({"contini", contIni});
        w.Params.push_back({"contfim", FinalAccount(f)});
    }
    std::string docu = Trim(f.Docu);
    if (!docu.empty()) {
        w.Where += " AND L.CDDOCUCONT = :docu";
        w.Params.push_back({"docu", docu});
    }
    return w;
}

// The criteria matched in C++ on one candidate line.
class TLineMatcher {
public:
    explicit TLineMatcher(const TLancFiltro& f)
        : f_(f),
          hasNrLanc_(!Trim(f.NrLanc).empty()),
          nrLanc_(StripLeadingZeros(f.NrLanc)),
          histLanc_(FoldCase(f.HistLanc)) {
        if (f.IsValueKind() && (!AmountToCents(f.VrIni, vrIni_) || !AmountToCents(f.VrFim, vrFim_)))
            Refuse(TErrorKind::Argumentos, "Faixa de valores inválida no filtro.");
    }

    using TKeys = std::set<std::pair<std::string, std::string>>;

    // rateados: the lines with a matching apportionment ("Ger" kinds only).
    bool Matches(const TLineView& r, const TKeys* rateados) const {
        using C = TLineRecord;
        auto text = [&](C::Col c) { return std::string(r.Get(c)); };
        if (!f_.Hist.empty() && !InList(f_.Hist, text(C::CDHISTPADR))) return false;
        if (!CommercialMatches(r)) return false;
        if (hasNrLanc_ && StripLeadingZeros(text(C::NRLANCCONT)) != nrLanc_) return false;
        if (!histLanc_.empty() && FoldCase(text(C::DSHISTLANC)).find(histLanc_) == std::string::npos) return false;
        if (f_.IsValueKind()) {
            long long v = r.Cents < 0 ? -r.Cents : r.Cents;
            if (v < vrIni_ || v > vrFim_) return false;
        }
        if (rateados && !rateados->count({text(C::NRLANCCONT), text(C::NRSEQLANC)})) return false;
        return true;
    }

private:
    bool CommercialMatches(const TLineView& r) const {
        if (f_.Clie.empty() && f_.Forn.empty() && f_.Banc.empty()) return true;
        const std::string_view kind = r.Get(TLineRecord::IDLANCCOME);
        const std::string code(r.Get(TLineRecord::CDCONTCOME));
        return (!f_.Clie.empty() && kind == "C" && InList(f_.Clie, code)) ||
               (!f_.Forn.empty() && kind == "F" && InList(f_.Forn, code)) ||
               (!f_.Banc.empty() && kind == "B" && InList(f_.Banc, code));
    }

    const TLancFiltro& f_;
    bool hasNrLanc_;
    std::string nrLanc_;
    std::string histLanc_;
    std::int64_t vrIni_ = 0, vrFim_ = 0;
};

// (entry, sequence) of the candidate lines that have an apportionment line
// whose branch and cost centre are in the lists (an empty list takes all).
std::set<std::pair<std::string, std::string>> ApportionedLines(soci::session& sql, const TLancFiltro& f,
                                                               const TCandidateWhere& w) {
    std::set<std::pair<std::string, std::string>> keys;
    std::string nr, seq, filial, cc;
    soci::statement st(sql);
    st.exchange(soci::into(nr));
    st.exchange(soci::into(seq));
    st.exchange(soci::into(filial));
    st.exchange(soci::into(cc));
    for (const TLineParam& p : w.Params) st.exchange(soci::use(p.Value, p.Name));
    st.alloc();
    st.prepare(
        "SELECT R.NRLANCCONT, R.NRSEQLANC, R.CDFILIAL, R.CDCENTCUST"
        " FROM LANCCCUSTO R JOIN LANCCONT L ON L.CDEMPRESA = R.CDEMPRESA"
        " AND L.NRLANCCONT = R.NRLANCCONT AND L.NRSEQLANC = R.NRSEQLANC"
        " WHERE " +
        w.Where);
    st.define_and_bind();
    st.execute();
    while (st.fetch()) {
        if (!f.Filial.empty() && !InList(f.Filial, filial)) continue;
        if (!f.CentCust.empty() && !InList(f.CentCust, cc)) continue;
        keys.insert({nr, seq});
    }
    return keys;
}

// Candidate lines kept by entry while the candidates are read, so that an
// entry whose lines were all candidates is not read a second time.
using TRowsByEntry = std::map<std::string, std::vector<TPacketRow>>;

// Number of stored lines of each entry of the company in [first, last].
std::map<std::string, long long> LineCounts(soci::session& sql, const std::string& empresa, const std::string& first,
                                            const std::string& last) {
    std::map<std::string, long long> counts;
    std::string nr;
    long long n = 0;
    soci::statement st =
        (sql.prepare << "SELECT NRLANCCONT, COUNT(*) FROM LANCCONT"
                        " WHERE CDEMPRESA = :emp AND NRLANCCONT >= :nrini"
                        " AND NRLANCCONT <= :nrfim GROUP BY NRLANCCONT",
         soci::use(empresa, "emp"), soci::use(first, "nrini"), soci::use(last, "nrfim"), soci::into(nr), soci::into(n));
    st.execute();
    while (st.fetch()) counts[nr] = n;
    return counts;
}

// Every line of the matched entries, in entry and sequence order. Entries
// whose candidates were incomplete are read again: one query each, or the
// matched number range once when there are many.
void AppendWholeEntries(soci::session& sql, const std::string& empresa, const std::set<std::string>& entries,
                        TRowsByEntry& candidates, TPacketStream& out) {
    if (entries.empty()) return;
    const auto counts = LineCounts(sql, empresa, *entries.begin(), *entries.rbegin());
    std::set<std::string> incomplete;
    for (const std::string& nr : entries) {
        auto c = counts.find(nr);
        const long long stored = c == counts.end() ? 0 : c->second;
        if (static_cast<long long>(candidates[nr].size()) != stored) incomplete.insert(nr);
    }
    auto keep = [&](const TLineRecord& r) {
        const std::string& nr = r.Get(TLineRecord::NRLANCCONT);
        if (incomplete.count(nr)) candidates[nr].push_back(r.ToRow());
    };
    for (const std::string& nr : incomplete) candidates[nr].clear();
    if (incomplete.size() <= kPerEntryLimit) {
        for (const std::string& nr : incomplete) ReadEntryLines(sql, empresa, nr, keep);
    } else {
        ReadLines(sql, "L.CDEMPRESA = :emp AND L.NRLANCCONT >= :nrini AND L.NRLANCCONT <= :nrfim",
                  {{"emp", empresa}, {"nrini", *incomplete.begin()}, {"nrfim", *incomplete.rbegin()}}, keep);
    }
    for (const std::string& nr : entries)
        for (const TPacketRow& row : candidates[nr]) out.AppendRow(row);
}

// How many lines each entry of the company holds, read alongside a scan in
// entry order: the cursor only moves forward, as far as the scan asks.
class TEntrySizes {
public:
    TEntrySizes(soci::session& sql, const std::string& empresa, const std::string& first)
        : emp_(empresa),
          first_(first),
          st_((sql.prepare << "SELECT NRLANCCONT, COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :emp"
                              " AND NRLANCCONT >= :nrini GROUP BY NRLANCCONT ORDER BY NRLANCCONT",
               soci::use(emp_, "emp"), soci::use(first_, "nrini"), soci::into(nr_), soci::into(n_))) {
        st_.execute();
        more_ = st_.fetch();
    }
    long long Of(const std::string& entry) {
        while (more_ && nr_ < entry) more_ = st_.fetch();
        return more_ && nr_ == entry ? n_ : 0;
    }

private:
    std::string emp_, first_, nr_;
    long long n_ = 0;
    soci::statement st_;
    bool more_ = false;
};

// The candidate lines of the entry being read, in stored form.
struct TEntryLines {
    bool Started = false;
    std::string Nr;
    std::string Cells;
    std::vector<std::size_t> Starts;
    bool Matched = false;
};

// Aux kinds over a period only: the candidates come in entry order, so each
// entry is settled as soon as the scan leaves it. A matched entry whose
// lines were all candidates goes out as read; one with lines outside the
// period is read whole there and then (rare: an entry spanning the period's
// edge). The store holds one entry and one batch, whatever the year's size.
void StreamWholeEntries(soci::session& sql, const TLancFiltro& f, const TCandidateWhere& w, const TLineMatcher& matcher,
                        const TLineMatcher::TKeys* rateados, TPacketStream& out) {
    const std::string empresa = Trim(f.Empresa);
    std::unique_ptr<TEntrySizes> sizes;
    TEntryLines cur;
    auto settle = [&] {
        if (!cur.Started || !cur.Matched) return;
        if (!sizes) sizes = std::make_unique<TEntrySizes>(sql, empresa, cur.Nr);
        if (sizes->Of(cur.Nr) == static_cast<long long>(cur.Starts.size())) {
            for (std::size_t i = 0; i < cur.Starts.size(); ++i) {
                const std::size_t to = i + 1 < cur.Starts.size() ? cur.Starts[i + 1] : cur.Cells.size();
                out.BeginRow().append(cur.Cells, cur.Starts[i], to - cur.Starts[i]);
                out.EndRow();
            }
            return;
        }
        ReadEntryLines(sql, empresa, cur.Nr, [&](const TLineRecord& r) { out.AppendRow(r.ToRow()); });
    };
    ScanLines(sql, w.Where, w.Params, [&](const TLineView& r) {
        const std::string_view nr = r.Get(TLineRecord::NRLANCCONT);
        if (!cur.Started || nr != cur.Nr) {
            settle();
            cur.Started = true;
            cur.Nr.assign(nr);
            cur.Cells.clear();
            cur.Starts.clear();
            cur.Matched = false;
        }
        cur.Starts.push_back(cur.Cells.size());
        AppendLineCells(cur.Cells, r);
        if (!cur.Matched) cur.Matched = matcher.Matches(r, rateados);
    });
    settle();
}

// The value kinds write each matching line as it is read; the Aux kinds
// answer whole entries: over a period alone they are settled entry by entry
// as read, with account or document criteria (few candidates, most entries
// partly read) the candidates are gathered first.
void GetLancContIn(soci::session& sql, const TLancFiltro& f, TPacketStream& out) {
    TCandidateWhere w = CandidateWhere(f);
    std::set<std::pair<std::string, std::string>> rateados;
    if (f.IsManagementKind()) rateados = ApportionedLines(sql, f, w);
    TLineMatcher matcher(f);
    const auto* rateadosPtr = f.IsManagementKind() ? &rateados : nullptr;

    if (f.IsValueKind()) {
        ScanLines(sql, w.Where, w.Params, [&](const TLineView& r) {
            if (!matcher.Matches(r, rateadosPtr)) return;
            AppendLineCells(out.BeginRow(), r);
            out.EndRow();
        });
        return;
    }
    if (Trim(f.ContIni).empty() && Trim(f.Docu).empty()) {
        StreamWholeEntries(sql, f, w, matcher, rateadosPtr, out);
        return;
    }
    std::set<std::string> entries;
    TRowsByEntry candidates;
    ScanLines(sql, w.Where, w.Params, [&](const TLineView& r) {
        const bool matches = matcher.Matches(r, rateadosPtr);
        std::string nr(r.Get(TLineRecord::NRLANCCONT));
        candidates[nr].push_back(LineRow(r));
        if (matches) entries.insert(std::move(nr));
    });
    AppendWholeEntries(sql, Trim(f.Empresa), entries, candidates, out);
}

}  // namespace

}  // namespace ctbstore

TDataPacket TEntryStore::GetLancCont(const TLancFiltro& filtro) {
    TPacketStream out(LancContFields());
    GetLancCont(filtro, out);
    return out.TakePacket();
}

void TEntryStore::GetLancCont(const TLancFiltro& filtro, TPacketStream& out) {
    if (!filtro.IsValueKind() && !SameText(filtro.TipoFiltro, "AuxFiltro") &&
        !SameText(filtro.TipoFiltro, "AuxFiltroGer"))
        ctbstore::Refuse(TErrorKind::Argumentos, "Tipo de filtro desconhecido: \"" + filtro.TipoFiltro +
                                                     "\" (esperado FiltroValor, FiltroValorGer, AuxFiltro"
                                                     " ou AuxFiltroGer).");
    if (!ctbstore::ValidDate(filtro.DtIni) || !ctbstore::ValidDate(filtro.DtFim))
        ctbstore::Refuse(TErrorKind::Argumentos, "Período do filtro com data inválida.");
    impl_->Run(false, [&](soci::session& sql) { ctbstore::GetLancContIn(sql, filtro, out); });
}
