// Demo database: the fixed entries of store_demo.h and a year of generated,
// balanced entries (apportionment on management lines of company 01, batch
// entries, closings, tax-map links, integration origins).
#include "server/store_demo_internal.h"
#include "server/store_internal.h"
#include "server/store_rows.h"

#include <algorithm>
#include <map>
#include <random>

namespace ctbdemo {

namespace {

using ctbstore::TStoredLine;
using ctbstore::TStoredRateio;

struct TGenRateio {
    std::string Filial, CentCust;
    std::int64_t Cents;
};

struct TGenLine {
    std::string Conta;
    std::int64_t Cents;
    std::string IdCome, CdCome;
    std::vector<TGenRateio> Rateio;
};

struct TGenMapa {
    std::string Mes, Ano, Imposto;
};

struct TGenEntry {
    std::string Empresa;
    TDateTime Date = 0;
    std::string Hist, DsHist, Docu, Inte = "M", Sistema, Lote, Filial, Oper = "ANA.SOUZA";
    std::vector<TGenLine> Lines;
    std::vector<TGenMapa> Mapas;
    std::string Numero;  // set when written
};

const char* const kMonths[] = {"Janeiro", "Fevereiro", "Março",    "Abril",   "Maio",     "Junho",
                               "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};
const char* const kOperators[] = {"ANA.SOUZA", "CARLOS.LIMA", "JOAO.PEREIRA", "MARIA.SANTOS"};

int MonthOf(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return m;
}

TDateTime Day(int y, int m, int d) {
    TDateTime t = 0;
    EncodeDate(y, m, d, t);
    return t;
}

// Writes entries and keeps the per-company, per-month numbering.
class TEntrySink {
public:
    TEntrySink(soci::session& sql, int year) : sql_(sql), writer_(sql), year_(year) {}

    void Write(TGenEntry& e) {
        int month = MonthOf(e.Date);
        long seq = ++lastSeq_[{e.Empresa, month}];
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "%04d%02d", year_, month);
        e.Numero = prefix + Code6(seq);
        WriteLines(e);
        if (!e.Lote.empty()) {
            sql_ << "INSERT INTO LANCCONTLOTE (CDEMPRESA, NRLANCCONT, CDLOTE) VALUES (:e, :n, :l)",
                soci::use(e.Empresa), soci::use(e.Numero), soci::use(e.Lote);
        }
        for (TGenMapa& m : e.Mapas) {
            sql_ << "INSERT INTO LANCCONTMAPA (CDEMPRESA, NRLANCCONT, MES, ANO, IMPOSTO)"
                    " VALUES (:e, :n, :m, :a, :i)",
                soci::use(e.Empresa), soci::use(e.Numero), soci::use(m.Mes), soci::use(m.Ano), soci::use(m.Imposto);
        }
        ++summary_.Entries;
    }

    void WriteNumbering() {
        for (const auto& [key, seq] : lastSeq_) {
            char anoMes[24];
            std::snprintf(anoMes, sizeof anoMes, "%04d%02d", year_, key.second);
            std::string empresa = key.first, am = anoMes;
            long long last = seq;
            sql_ << "INSERT INTO NUMLANCCONT (CDEMPRESA, NRANOMES, NRULTSEQ) VALUES (:e, :a, :s)", soci::use(empresa),
                soci::use(am), soci::use(last);
        }
    }

    const TDemoSummary& Summary() const { return summary_; }

private:
    void WriteLines(const TGenEntry& e) {
        TStoredLine row;
        row.Empresa = e.Empresa;
        row.NrLanc = e.Numero;
        row.FilLanc = e.Filial;
        row.HistPadr = e.Hist;
        row.DtLanc = ctbstore::DateToSql(e.Date);
        row.Docu = e.Docu;
        row.TipoLanc = "N";
        row.DsHist = e.DsHist;
        row.LancSaldo = row.LancMani = row.SaldLanco = row.SaldLange = "N";
        row.LancInte = e.Inte;
        row.Sistema = e.Sistema;
        row.OperIns = e.Oper;
        row.UltAtu = ctbstore::TimestampToSql(e.Date + 0.375 + (summary_.Entries % 480) / 1440.0);
        int seq = 0;
        for (const TGenLine& l : e.Lines) {
            char seqText[16];
            std::snprintf(seqText, sizeof seqText, "%05d", ++seq);
            row.NrSeq = seqText;
            row.ContCtbl = l.Conta;
            row.Cents = l.Cents;
            row.LancCome = l.IdCome;
            row.ContCome = l.CdCome;
            writer_.Insert(row);
            ++summary_.Lines;
            for (const TGenRateio& r : l.Rateio) {
                TStoredRateio rr{e.Empresa, e.Numero, row.NrSeq, r.Filial, r.CentCust, r.Cents, row.DtLanc};
                writer_.Insert(rr);
                ++summary_.Apportionments;
            }
        }
    }

    soci::session& sql_;
    ctbstore::TEntryWriter writer_;
    int year_;
    std::map<std::pair<std::string, int>, long> lastSeq_;
    TDemoSummary summary_;
};

TGenLine Line(const std::string& conta, std::int64_t cents, const std::string& idCome = "",
              const std::string& cdCome = "", std::vector<TGenRateio> rateio = {}) {
    return TGenLine{conta, cents, idCome, cdCome, std::move(rateio)};
}

TGenEntry Fixed(const std::string& empresa, TDateTime date, const std::string& docu, const std::string& hist,
                std::vector<TGenLine> lines) {
    TGenEntry e;
    e.Empresa = empresa;
    e.Date = date;
    e.Docu = docu;
    e.Hist = hist;
    e.DsHist = HistText(hist) + " " + docu;
    e.Filial = CompanyBranches(empresa).front();
    e.Lines = std::move(lines);
    return e;
}

// The entries of the facts table, in number order per company and month.
std::vector<TGenEntry> FixedEntries(int y) {
    std::vector<TGenEntry> out;
    out.push_back(Fixed("01", Day(y, 1, 2), "004512", "0001",
                        {Line("1120100001", -150000, "C", "000001"),
                         Line("3110100001", 150000, "", "",
                              {{"0001", "2001", 90000}, {"0002", "2001", 40000}, {"0003", "2002", 20000}})}));
    TGenEntry batch = Fixed("01", Day(y, 1, 5), "000777", "0004",
                            {Line("4110100001", -320000, "F", "000002", {{"0001", "1001", -320000}}),
                             Line("1110100002", 320000, "B", "001")});
    batch.Inte = "L";
    batch.Sistema = "LTO";
    batch.Lote = "000123";
    out.push_back(batch);
    TGenEntry mapa =
        Fixed("01", Day(y, 1, 31), "000031", "0008", {Line("4110100006", -85000), Line("2120100001", 85000)});
    mapa.Inte = "I";
    mapa.Sistema = "FIS";
    mapa.Mapas.push_back({"Janeiro", std::to_string(y), "ICMS"});
    out.push_back(mapa);
    out.push_back(Fixed(
        "01", Day(y, 1, 10), "000410", "0007",
        {Line("4110100005", -4590, "B", "001", {{"0001", "1002", -4590}}), Line("1110100002", 4590, "B", "001")}));
    out.push_back(
        Fixed("01", Day(y, 1, 15), "000415", "0011",
              {Line("4110100003", -23000),
               Line("4110100002", -120000, "F", "000003", {{"0001", "1001", -70000}, {"0002", "3001", -50000}}),
               Line("2110100001", 143000, "F", "000004")}));
    // Two management lines, the second apportioned in the proportions of the
    // first (60% / 40%), as the screen proposes it.
    out.push_back(
        Fixed("01", Day(y, 1, 20), "000620", "0004",
              {Line("4110100001", -200000, "F", "000002", {{"0001", "1001", -120000}, {"0002", "2001", -80000}}),
               Line("4110100002", -50000, "F", "000003", {{"0001", "1001", -30000}, {"0002", "2001", -20000}}),
               Line("2110100001", 250000, "F", "000002")}));
    TGenEntry fiscal =
        Fixed("01", Day(y, 12, 31), "000900", "0099",
              {Line("3110100002", -500000, "", "", {{"0001", "2001", -500000}}), Line("2310100001", 500000)});
    fiscal.Inte = "F";
    fiscal.Sistema = "LTO";
    fiscal.Lote = "000900";
    out.push_back(fiscal);
    TGenEntry societario =
        Fixed("01", Day(y, 12, 31), "000901", "0099", {Line("2310100001", -100000), Line("2130100001", 100000)});
    societario.Inte = "S";
    societario.Sistema = "LTO";
    societario.Lote = "000901";
    out.push_back(societario);
    out.push_back(
        Fixed("02", Day(y, 1, 3), "000103", "0004", {Line("4110100001", -200000), Line("1110100001", 200000)}));
    TGenEntry closing02 =
        Fixed("02", Day(y, 12, 31), "000902", "0099", {Line("3110100001", -250000), Line("2310100001", 250000)});
    closing02.Inte = "F";
    closing02.Sistema = "LTO";
    closing02.Lote = "000902";
    out.push_back(closing02);
    out.push_back(Fixed("03", Day(y, 1, 4), "000104", "0013",
                        {Line("1120100001", -78000, "C", "000003"), Line("3110100002", 78000)}));
    return out;
}

// One kind of business event: its lines as (account, share of the amount,
// debit?) and how it is described.
struct TTemplate {
    const char* Hist;
    const char* Sistema;  // origin system when integrated
    std::int64_t MinCents, MaxCents;
    std::vector<std::pair<const char*, int>> Debits;   // account, weight
    std::vector<std::pair<const char*, int>> Credits;  // account, weight
    const char* Imposto;                               // tax map kind or nullptr
    bool Transfer;
};

const std::vector<TTemplate>& Templates() {
    static const std::vector<TTemplate> t = {
        {"0001", "FAI", 15000, 2500000, {{"1120100001", 1}}, {{"3110100001", 1}}, nullptr, false},
        {"0015", "DFS", 8000, 1200000, {{"4210100001", 1}}, {{"1130100001", 1}}, nullptr, false},
        {"0003", "REC", 10000, 2000000, {{"1110100002", 1}}, {{"1120100001", 1}}, nullptr, false},
        {"0002", "PAG", 10000, 1500000, {{"2110100001", 1}}, {{"1110100003", 1}}, nullptr, false},
        {"0004", "PAG", 150000, 900000, {{"4110100001", 1}}, {{"1110100002", 1}}, nullptr, false},
        {"0005", "FIS", 500000, 6000000, {{"4110100004", 1}}, {{"2130100001", 4}, {"2130100002", 1}}, nullptr, false},
        {"0007", "BCO", 990, 15000, {{"4110100005", 1}}, {{"1110100004", 1}}, nullptr, false},
        {"0008", "FIS", 20000, 800000, {{"4110100006", 1}}, {{"2120100001", 1}}, "ICMS", false},
        {"0016", "FIS", 10000, 300000, {{"4110100006", 1}}, {{"2120100002", 1}, {"2120100003", 4}}, "PIS", false},
        {"0009", "PAG", 30000, 450000, {{"4110100002", 1}}, {{"2110100001", 1}}, nullptr, false},
        {"0010", "EXP", 5000, 250000, {{"4120100002", 1}}, {{"1110100002", 1}}, nullptr, false},
        {"0011", "PAG", 2000, 80000, {{"4110100003", 1}}, {{"1110100001", 1}}, nullptr, false},
        {"0012", "BCO", 50000, 3000000, {{"1110100003", 1}}, {{"1110100002", 1}}, nullptr, true},
        {"0013", "VND", 20000, 1800000, {{"1120100001", 1}}, {{"3110100002", 1}}, nullptr, false},
        {"0014", "PAG", 40000, 1200000, {{"4120100001", 1}}, {{"2110100001", 1}}, nullptr, false},
        {"0006", "BCO", 10000, 900000, {{"1110100002", 1}}, {{"1110100001", 1}}, nullptr, false},
    };
    return t;
}

class TGenerator {
public:
    TGenerator(std::uint64_t seed, int year) : rng_(seed * 0x9E3779B97F4A7C15ull + 1), year_(year) {}

    // Entries of one company over the year's weekdays, about `lines` lines.
    void Company(const std::string& empresa, long lines, TEntrySink& sink) {
        std::vector<TDateTime> days;
        for (TDateTime d = Day(year_, 1, 1); d <= Day(year_, 12, 31); d += 1) {
            int weekday = (static_cast<int>(d) + 6) % 7;  // 0 Sunday
            if (weekday != 0 && weekday != 6) days.push_back(d);
        }
        long made = 0;
        for (std::size_t i = 0; i < days.size(); ++i) {
            long target = static_cast<long>(lines * static_cast<double>(i + 1) / days.size());
            while (made < target) {
                TGenEntry e = Entry(empresa, days[i]);
                made += static_cast<long>(e.Lines.size());
                sink.Write(e);
            }
        }
    }

private:
    std::uint64_t Uniform(std::uint64_t n) { return rng_() % n; }
    bool Chance(int percent) { return static_cast<int>(Uniform(100)) < percent; }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Uniform(v.size())]; }

    TGenEntry Entry(const std::string& empresa, TDateTime date) {
        const TTemplate& t = Pick(Templates());
        bool management = empresa == "01";
        bool commercial = empresa == "01" || empresa == "03";
        TGenEntry e;
        e.Empresa = empresa;
        e.Date = date;
        e.Hist = t.Hist;
        e.Docu = Code6(static_cast<long>(Uniform(999999) + 1));
        e.Filial = Pick(CompanyBranches(empresa));
        e.Oper = kOperators[Uniform(4)];
        std::string client = Code6(static_cast<long>(Uniform(ClientCount()) + 1));
        std::string supplier = Code6(static_cast<long>(Uniform(SupplierCount()) + 1));
        std::string bank = Pick(BankAccounts());
        std::string party =
            t.Hist == std::string("0001") || t.Hist == std::string("0003") || t.Hist == std::string("0013")
                ? " - Cliente " + client
                : "";
        e.DsHist = HistText(t.Hist) + " " + e.Docu + party;

        std::int64_t total =
            t.MinCents + static_cast<std::int64_t>(Uniform(static_cast<std::uint64_t>(t.MaxCents - t.MinCents)));
        AddSide(e, t.Debits, -total);
        AddSide(e, t.Credits, total);
        for (TGenLine& l : e.Lines) {
            const TAccount& a = Account(l.Conta);
            std::string come = a.Come;
            if (commercial && !come.empty()) {
                l.IdCome = come;
                l.CdCome = come == "C" ? client : come == "F" ? supplier : bank;
            }
            std::string ccus = a.CCus;
            if (management && (ccus == "G" || ccus == "R" || (ccus == "L" && Chance(50))))
                l.Rateio = Apportion(empresa, l.Cents);
        }
        Origin(e, t);
        return e;
    }

    void AddSide(TGenEntry& e, const std::vector<std::pair<const char*, int>>& side, std::int64_t total) {
        int weights = 0;
        for (const auto& s : side) weights += s.second;
        std::int64_t left = total;
        for (std::size_t i = 0; i < side.size(); ++i) {
            std::int64_t part = i + 1 == side.size() ? left : total * side[i].second / weights;
            left -= part;
            e.Lines.push_back(Line(side[i].first, part));
        }
    }

    std::vector<TGenRateio> Apportion(const std::string& empresa, std::int64_t cents) {
        std::vector<TGenRateio> out;
        int parts = static_cast<int>(Uniform(3) + 1);
        std::int64_t magnitude = cents < 0 ? -cents : cents;
        if (magnitude < parts) parts = 1;
        std::int64_t left = cents;
        for (int i = 0; i < parts; ++i) {
            std::string filial = Pick(CompanyBranches(empresa));
            std::string cc = Pick(BranchCentres(filial));
            bool taken = false;
            for (const TGenRateio& r : out) taken = taken || (r.Filial == filial && r.CentCust == cc);
            if (taken) continue;
            std::int64_t part = cents / parts;
            out.push_back({filial, cc, part});
            left -= part;
        }
        out.back().Cents += left;  // the remainder keeps the sum exact
        return out;
    }

    void Origin(TGenEntry& e, const TTemplate& t) {
        if (t.Transfer) {
            e.Inte = "T";
            e.Sistema = "BCO";
        } else if (Chance(8)) {
            e.Inte = "L";
            e.Sistema = "LTO";
            if (batchLeft_ <= 0) {
                ++batchCode_;
                batchLeft_ = static_cast<int>(Uniform(5) + 1);
            }
            --batchLeft_;
            e.Lote = Code6(batchCode_);
        } else if (Chance(11)) {
            e.Inte = "I";
            e.Sistema = t.Sistema;
        }
        if (t.Imposto && e.Inte != "L" && Chance(40)) {
            std::string mes = kMonths[MonthOf(e.Date) - 1], ano = std::to_string(year_);
            if (std::string(t.Imposto) == "PIS") {
                e.Mapas.push_back({mes, ano, "COFINS"});
                e.Mapas.push_back({mes, ano, "PIS"});
            } else {
                e.Mapas.push_back({mes, ano, t.Imposto});
            }
        }
    }

    std::mt19937_64 rng_;
    int year_;
    long batchCode_ = 200;
    int batchLeft_ = 0;
};

}  // namespace

TDemoSummary WriteEntries(soci::session& sql, const TDemoOptions& options, int year) {
    TEntrySink sink(sql, year);
    std::vector<TGenEntry> fixed = FixedEntries(year);
    long fixedLines = 0;
    for (TGenEntry& e : fixed) {
        fixedLines += static_cast<long>(e.Lines.size());
        sink.Write(e);
    }
    long rest = std::max(0L, options.Lines - fixedLines);
    TGenerator gen(options.Seed, year);
    gen.Company("01", rest * 6 / 10, sink);
    gen.Company("02", rest * 2 / 10, sink);
    gen.Company("03", rest - rest * 6 / 10 - rest * 2 / 10, sink);
    sink.WriteNumbering();
    return sink.Summary();
}

}  // namespace ctbdemo
