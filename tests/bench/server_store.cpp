// The entry store on a demo database of about 100,000 lines: filtered loads,
// whole-entry reads, numbering and saves, beside the plain SELECT of the same
// number of rows into a packet (the baseline the filtered load is read
// against; figures are ratios within one run).
#include "platform/db/dbexec.h"
#include "server/store.h"
#include "server/store_demo.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kYear = 2024;

TDateTime Day(int m, int d)
{
    TDateTime t = 0;
    EncodeDate(kYear, m, d, t);
    return t;
}

// A scratch folder for the run, removed at exit.
struct TBenchDir {
    std::string Path;
    TBenchDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbbenchXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        Path = mkdtemp(buf.data());
    }
    ~TBenchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

// One demo database for the whole run.
const std::string& Database()
{
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

TEntryStore& Store()
{
    static TEntryStore store(Database());
    return store;
}

TLancFiltro YearOf01(const char* kind)
{
    TLancFiltro f;
    f.TipoFiltro = kind;
    f.Empresa = "01";
    f.ContFimZ = "ZZZZZZZZZZ";
    f.DtIni = Day(1, 1);
    f.DtFim = Day(12, 31);
    return f;
}

void Report(benchmark::State& state, std::size_t rows)
{
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
}

void BM_SelectRowsBaseline(benchmark::State& state)
{
    TDBConnection db;
    db.Open(Database());
    std::size_t rows = 0;
    for (auto _ : state) rows = SelectTableRows(db, "LANCCONT", 60000).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_SelectRowsBaseline)->Unit(benchmark::kMillisecond);

void BM_GetLancContYear(benchmark::State& state)
{
    TLancFiltro f = YearOf01("AuxFiltro");
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContYear)->Unit(benchmark::kMillisecond);

void BM_GetLancContOneMonthHistoryText(benchmark::State& state)
{
    TLancFiltro f = YearOf01("AuxFiltro");
    f.DtIni = Day(6, 1);
    f.DtFim = Day(6, 30);
    f.HistLanc = "APURAÇÃO";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContOneMonthHistoryText)->Unit(benchmark::kMillisecond);

void BM_GetLancContDocument(benchmark::State& state)
{
    TLancFiltro f = YearOf01("AuxFiltro");
    f.Docu = "004512";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContDocument)->Unit(benchmark::kMillisecond);

void BM_GetLancContManagementValue(benchmark::State& state)
{
    TLancFiltro f = YearOf01("FiltroValorGer");
    f.VrIni = 100;
    f.VrFim = 10000;
    f.Filial = "_0002__0003_";
    std::size_t rows = 0;
    for (auto _ : state) rows = Store().GetLancCont(f).RecordCount();
    Report(state, rows);
}
BENCHMARK(BM_GetLancContManagementValue)->Unit(benchmark::kMillisecond);

void BM_GetLancContFiltrado(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(Store().GetLancContFiltrado("01", "202401000005"));
}
BENCHMARK(BM_GetLancContFiltrado)->Unit(benchmark::kMicrosecond);

void BM_PrxLancContabil(benchmark::State& state)
{
    for (auto _ : state) {
        std::string anoMes = "202411";
        benchmark::DoNotOptimize(Store().PrxLancContabil("01", anoMes));
    }
}
BENCHMARK(BM_PrxLancContabil)->Unit(benchmark::kMicrosecond);

// Saving one entry while the packet carries the whole year, as the screen
// sends it after a year-wide load.
void BM_SetLancContabilWithYearPacket(benchmark::State& state)
{
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
