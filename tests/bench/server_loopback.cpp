// A year of company 01 loaded as the entry screen loads it, measured against
// the bare query of the same rows, all in one run:
//   BM_BareQuery            the store's own SQL (join, period, order) through
//                           the SQLite C API, every column read, into nothing;
//   BM_StoreYear            the store writing the answer's frames (pieces
//                           dropped): the server's CPU for one call;
//   BM_LoopbackIntoDataSet  request to rows in a data set defined like
//                           cdsLancCont through a real server on loopback;
//                           CPU is the whole process's, server thread included;
//   BM_ReturnToListUnchanged what the screen does when it comes back to the
//                           list and the server's data version is unchanged;
//   BM_ReleaseYearThenPost / BM_ReleaseMonthThenPost  a month assigned over a
//                           year (or over a month), then one line posted.
// Ratios are printed at the end (means when --benchmark_repetitions is given).
// --linhas=N sets the demo's size (company 01 holds about 60% of it).
#include "platform/data/dataset.h"
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"
#include "server/store.h"
#include "server/store_demo.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kYear = 2024;
long g_demoLines = 170000;  // company 01: about 100,000

struct TBenchDb {
    std::string Dir, Path;
    TBenchDb() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbloopXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        Dir = mkdtemp(buf.data());
        Path = Dir + "/bench.db";
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = g_demoLines;
        GenerateDemo(Path, o);
    }
    ~TBenchDb() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

TBenchDb& Db() {
    static TBenchDb db;
    return db;
}

struct TServer {
    TRpcServer Server;
    int Port = 0;
    TServer() {
        RegisterStoreMethods(Server, Db().Path);
        Port = Server.Start("127.0.0.1", 0);
    }
};

TServer& Server() {
    static TServer s;
    return s;
}

TDateTime Day(int m, int d) {
    TDateTime t = 0;
    EncodeDate(kYear, m, d, t);
    return t;
}

// The filter dialog's request for every line of company 01 in the year.
std::vector<TRpcValue> YearArgs() {
    return {TRpcValue("AuxFiltro"), TRpcValue("01"), TRpcValue(""),        TRpcValue("ZZZZZZZZZZ"), TRpcValue(""),
            TRpcValue(""),          TRpcValue(""),   TRpcValue(""),        TRpcValue(""),           TRpcValue(""),
            TRpcValue(""),          TRpcValue(""),   TRpcValue(Day(1, 1)), TRpcValue(Day(12, 31)),  TRpcValue(0.0),
            TRpcValue(0.0),         TRpcValue(""),   TRpcValue("")};
}

std::vector<TRpcArg> AsRpcArgs(const std::vector<TRpcValue>& values) {
    return std::vector<TRpcArg>(values.begin(), values.end());
}

void DefineLines(TClientDataSet& cds) {
    for (const TPacketField& f : LancContFields()) cds.AddField(f.Name, f.DataType, f.Size);
}

// The SQL the store runs for a year (a long period reads in key order).
const char* const kYearSql =
    "SELECT L.CDFILLANC, L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDHISTPADR, L.CDCONTCTBL,"
    " L.DTLANCCONT, L.CDDOCUCONT, L.IDTIPOLANC, L.DSHISTLANC, L.VRLANCAMENT, L.IDLANCCOME,"
    " L.IDLANCSALDO, L.IDLANCINTE, L.IDLANCMANI, C.NMCONTCTBL, C.CDCONTREDU, L.CDCONTCOME,"
    " C.IDCONTCCUS, C.IDTIPOCOME, L.CDOPERINS, L.DTULTATULAN, L.IDSALDLANCO, L.IDSALDLANGE,"
    " L.IDSISTEMA"
    " FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL"
    " WHERE L.CDEMPRESA = '01' AND CAST(L.DTLANCCONT AS VARCHAR(10)) >= '2024-01-01'"
    " AND CAST(L.DTLANCCONT AS VARCHAR(10)) <= '2024-12-31' ORDER BY L.NRLANCCONT, L.NRSEQLANC";

void BM_BareQuery(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Db().Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::size_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kYearSql, -1, &st, nullptr);
        std::size_t bytes = 0;
        rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < 25; ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_NULL) continue;
                if (c == 10) bytes += static_cast<std::size_t>(sqlite3_column_int64(st, c) & 1);
                else bytes += sqlite3_column_text(st, c) ? static_cast<std::size_t>(sqlite3_column_bytes(st, c)) : 0;
            }
            ++rows;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
    state.counters["linhas"] = static_cast<double>(rows);
}
BENCHMARK(BM_BareQuery)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StoreYear(benchmark::State& state) {
    TEntryStore store(Db().Path);
    const TLancFiltro f = TLancFiltro::FromArgs(YearArgs());
    std::size_t rows = 0, peak = 0, pieces = 0;
    for (auto _ : state) {
        TPacketStream out(LancContFields());
        out.Bind(1, [](const std::string& frame) { benchmark::DoNotOptimize(frame.data()); });
        store.GetLancCont(f, out);
        const TDataPacket last = out.TakePacket();
        rows = out.RowCount();
        peak = out.PeakHeldBytes();
        pieces = out.PiecesSent();
        benchmark::DoNotOptimize(last.RecordCount());
    }
    state.counters["linhas"] = static_cast<double>(rows);
    state.counters["pedacos"] = static_cast<double>(pieces);
    state.counters["pico_servidor_KiB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_StoreYear)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoopbackIntoDataSet(benchmark::State& state) {
    TRpcClient client;
    client.Connect("127.0.0.1", Server().Port);
    std::size_t rows = 0, bytes = 0;
    for (auto _ : state) {
        TClientDataSet cds;
        DefineLines(cds);
        TRpcValue result = client.Call("getLancCont", AsRpcArgs(YearArgs()));
        cds.SetData(result.Packet());
        rows = static_cast<std::size_t>(cds.RecordCount());
        bytes = cds.GetData().StorageBytes();
    }
    state.counters["linhas"] = static_cast<double>(rows);
    state.counters["modulo_bytes_por_linha"] = rows ? static_cast<double>(bytes) / static_cast<double>(rows) : 0;
}
BENCHMARK(BM_LoopbackIntoDataSet)->Unit(benchmark::kMillisecond)->Iterations(5)->MeasureProcessCPUTime()->UseRealTime();

// The screen back on the list: one version call, the kept lines assigned to
// the list and its two companions, the first entry's totals summed over the
// year (as after any load).
void BM_ReturnToListUnchanged(benchmark::State& state) {
    TRpcClient client;
    client.Connect("127.0.0.1", Server().Port);
    const TDataPacket kept = client.Call("getLancCont", AsRpcArgs(YearArgs())).Packet();
    const std::string version = client.Call("GetVersaoLancCont", {TRpcArg("01")}).Scalar().AsString();
    const std::string first = kept.Value(0, 2).AsString();
    TClientDataSet cds, espelho, debcred;
    DefineLines(cds);
    DefineLines(espelho);
    DefineLines(debcred);
    for (auto _ : state) {
        const std::string now = client.Call("GetVersaoLancCont", {TRpcArg("01")}).Scalar().AsString();
        if (now != version || now.empty()) state.SkipWithError("versão mudou");
        cds.SetData(kept);
        espelho.SetData(cds.GetData());
        debcred.SetData(cds.GetData());
        debcred.SetFiltered(false);
        debcred.SetFilter("NRLANCCONT = '" + first + "' AND CDEMPRESA  = '01'");
        debcred.SetFiltered(true);
        double sum = 0;
        for (debcred.First(); !debcred.Eof(); debcred.Next()) sum += debcred.FieldByName("VRLANCAMENT")->AsFloat();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ReturnToListUnchanged)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A month assigned over data held by nobody else, then one line edited and
// posted: the time the bookkeeper waits after the old data is let go.
void ReleaseThenPost(benchmark::State& state, bool yearBefore) {
    TEntryStore store(Db().Path);
    TLancFiltro f = TLancFiltro::FromArgs(YearArgs());
    const TDataPacket year = store.GetLancCont(f);
    f.DtFim = Day(1, 31);
    const TDataPacket month = store.GetLancCont(f);
    const TDataPacket& before = yearBefore ? year : month;
    for (auto _ : state) {
        state.PauseTiming();
        TDataPacket own(before.Fields());  // a copy held by the data set alone
        for (std::size_t k = 0; k < before.ChunkCount(); ++k)
            for (std::size_t r = 0, n = before.ChunkRows(k); r < n; ++r) {
                const std::string_view cells = before.ChunkRow(k, r).Bytes();
                own.AppendStoredRow(cells.data(), cells.size());
            }
        TClientDataSet cds;
        DefineLines(cds);
        cds.SetData(own);
        own = TDataPacket();
        state.ResumeTiming();
        cds.SetData(month);
        cds.SetRecNo(2);
        cds.Edit();
        cds.FieldByName("DSHISTLANC")->SetAsString("HISTÓRICO ALTERADO");
        cds.Post();
    }
}
void BM_ReleaseYearThenPost(benchmark::State& state) { ReleaseThenPost(state, true); }
void BM_ReleaseMonthThenPost(benchmark::State& state) { ReleaseThenPost(state, false); }
BENCHMARK(BM_ReleaseYearThenPost)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReleaseMonthThenPost)->Unit(benchmark::kMillisecond)->Iterations(5);

// Keeps one figure per benchmark: the mean when repetitions were asked for,
// the single run otherwise.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.run_name.function_name;
            const bool mean = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
            if (r.run_type == Run::RT_Aggregate && !mean) continue;
            if (!mean && means_.count(name)) continue;
            if (mean) means_.insert(name);
            real_[name] = r.GetAdjustedRealTime();
            cpu_[name] = r.GetAdjustedCPUTime();
        }
    }
    void Ratios() const {
        std::printf("\n");
        Ratio("CPU do servidor (getLancCont) / consulta pura", cpu_, "BM_StoreYear", "BM_BareQuery", 1.5);
        Ratio("ponta a ponta (tempo real) / consulta pura", real_, "BM_LoopbackIntoDataSet", "BM_BareQuery", 2);
        Ratio("ponta a ponta (CPU do processo) / consulta pura", cpu_, "BM_LoopbackIntoDataSet", "BM_BareQuery", 0);
        Ratio("volta à lista sem mudança / carga completa", real_, "BM_ReturnToListUnchanged", "BM_LoopbackIntoDataSet",
              0.1);
        Ratio("ano liberado + lançamento / carga completa", real_, "BM_ReleaseYearThenPost", "BM_LoopbackIntoDataSet",
              0.01);
        Ratio("ano liberado + lançamento / mês liberado + lançamento", real_, "BM_ReleaseYearThenPost",
              "BM_ReleaseMonthThenPost", 0);
    }

private:
    std::map<std::string, double> real_, cpu_;
    std::set<std::string> means_;
    static void Ratio(const char* label, const std::map<std::string, double>& m, const char* a, const char* b,
                      double limit) {
        if (!m.count(a) || !m.count(b) || m.at(b) <= 0) return;
        const double r = m.at(a) / m.at(b);
        if (limit > 0)
            std::printf("razão %s: %.2f (limite %.2f) %s\n", label, r, limit, r <= limit ? "OK" : "ACIMA DO LIMITE");
        else std::printf("razão %s: %.2f\n", label, r);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--linhas=", 9) == 0) g_demoLines = std::atol(argv[i] + 9);
        else args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Ratios();
    benchmark::Shutdown();
    return 0;
}
