// The entry store on a demo database of about 100,000 lines: filtered loads,
// whole-entry reads, numbering and saves, beside the store's own year query
// read through the SQLite C API into nothing (the baseline the loads are
// read against; figures are ratios within one run).
#include "platform/db/dbexec.h"
#include "server/store.h"
#include "server/store_demo.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kYear = 2024;

TDateTime Day(int m, int d) {
    TDateTime t = 0;
    EncodeDate(kYear, m, d, t);
    return t;
}

// A scratch folder for the run, removed at exit.
struct TBenchDir {
    std::string Path;
    TBenchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbbenchXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        Path = mkdtemp(buf.data());
    }
    ~TBenchDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

// One demo database for the whole run.
const std::string& Database() {
    static TBenchDir dir;
    static std::string path = [] {
        std::string p = dir.Path + "/bench.db";
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = 100000;
        GenerateDemo(p, o);
        return p;
    }();
    return path;
}

TEntryStore& Store() {
    static TEntryStore store(Database());
    return store;
}

TLancFiltro YearOf01(const char* kind) {
    TLancFiltro f;
    f.TipoFiltro = kind;
    f.Empresa = "01";
    f.ContFimZ = "ZZZZZZZZZZ";
    f.DtIni = Day(1, 1);
    f.DtFim = Day(12, 31);
    return f;
}

void Report(benchmark::State& state, std::size_t rows) {
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
}

// The baseline: the store's own SQL for a year of company 01 (join,
// period, order) through the SQLite C API, every column read, into nothing.
void BM_YearQueryBaseline(benchmark::State& state) {
    static const char* kSql =
        "SELECT L.CDFILLANC, L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDHISTPADR, L.CDCONTCTBL,"
        " L.DTLANCCONT, L.CDDOCUCONT, L.IDTIPOLANC, L.DSHISTLANC, L.VRLANCAMENT, L.IDLANCCOME,"
        " L.IDLANCSALDO, L.IDLANCINTE, L.IDLANCMANI, C.NMCONTCTBL, C.CDCONTREDU, L.CDCONTCOME,"
        " C.IDCONTCCUS, C.IDTIPOCOME, L.CDOPERINS, L.DTULTATULAN, L.IDSALDLANCO, L.IDSALDLANGE,"
        " L.IDSISTEMA FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL"
        " WHERE L.CDEMPRESA = '01' AND CAST(L.DTLANCCONT AS VARCHAR(10)) >= '2024-01-01'"
        " AND CAST(L.DTLANCCONT AS VARCHAR(10)) <= '2024-12-31' ORDER BY L.NRLANCCONT, L.NRSEQLANC";
    sqlite3* db = nullptr;
    sqlite3_open_v2(Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::size_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kSql, -1, &st, nullptr);
        std::size_t bytes = 0;
        rows = 0;
        for (; sqlite3_step(st) == SQLITE_ROW; ++rows)
            for (int c = 0; c < 25; ++c)
                if (sqlite3_column_type(st, c) != SQLITE_NULL)
                    bytes += c == 10 ? static_cast<std::size_t>(sqlite3_column_int64(st, c) & 1)
                                     : static_cast<std::size_t>(sqlite3_column_bytes(st, c));
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
    Report(state, rows);
}
BENCHMARK(BM_YearQueryBaseline)->Unit(benchmark::kMillisecond);

void BM_GetLancContYear(benchmark::State& state) {
    TLancFiltro f = YearOf01("AuxFiltro");
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContYear)->Unit(benchmark::kMillisecond);

void BM_GetLancContOneMonthHistoryText(benchmark::State& state) {
    TLancFiltro f = YearOf01("AuxFiltro");
    f.DtIni = Day(6, 1);
    f.DtFim = Day(6, 30);
    f.HistLanc = "APURAÇÃO";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContOneMonthHistoryText)->Unit(benchmark::kMillisecond);

void BM_GetLancContDocument(benchmark::State& state) {
    TLancFiltro f = YearOf01("AuxFiltro");
    f.Docu = "004512";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContDocument)->Unit(benchmark::kMillisecond);

void BM_GetLancContManagementValue(benchmark::State& state) {
    TLancFiltro f = YearOf01("FiltroValorGer");
    f.VrIni = 100;
    f.VrFim = 10000;
    f.Filial = "_0002__0003_";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContManagementValue)->Unit(benchmark::kMillisecond);

void BM_GetLancContFiltrado(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Store().GetLancContFiltrado("01", "202401000005"));
}
BENCHMARK(BM_GetLancContFiltrado)->Unit(benchmark::kMicrosecond);

void BM_PrxLancContabil(benchmark::State& state) {
    for (auto _ : state) {
        std::string anoMes = "202411";
        benchmark::DoNotOptimize(Store().PrxLancContabil("01", anoMes));
    }
}
BENCHMARK(BM_PrxLancContabil)->Unit(benchmark::kMicrosecond);

// Saving one entry while the packet carries the whole year, as the screen
// sends it after a year-wide load.
void BM_SetLancContabilWithYearPacket(benchmark::State& state) {
    TDataPacket lines = Store().GetLancCont(YearOf01("AuxFiltro"));
    TDataPacket rateio = Store().GetLancCCusto("01", "202401000005");
    for (auto _ : state) {
        std::string nr = "202401000005", doc;
        Store().SetLancContabil(lines, rateio, "01", nr, doc, "BENCH");
    }
    Report(state, lines.RecordCount());
}
BENCHMARK(BM_SetLancContabilWithYearPacket)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
