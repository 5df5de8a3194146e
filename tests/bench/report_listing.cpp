// The entry listing of the busiest demo company for a year, on a demo
// database of about 100,000 lines: the bare query into a packet (the
// baseline), the query into the row spool, the layout pass, and the whole
// PDF. Besides the time, each reports the peak resident memory it reached
// (peak_MiB, the process's high-water mark reset before the run) and the
// pages and rows. Figures are read as ratios to the bare query of the run.
#include "platform/db/dbexec.h"
#include "platform/report/document.h"
#include "platform/report/query.h"
#include "server/store_demo.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TBenchDir {
    fs::path Path;
    TBenchDir() {
        std::string tmpl = (fs::temp_directory_path() / "ctbrelbenchXXXXXX").string();
        Path = mkdtemp(tmpl.data());
    }
    ~TBenchDir() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

TBenchDir& Dir() {
    static TBenchDir d;
    return d;
}

TDBConnection& Db() {
    static TDBConnection db;
    if (!db.Connected()) {
        const std::string path = (Dir().Path / "bench.db").string();
        TDemoOptions o;
        o.Year = 2024;
        o.Lines = 100000;
        GenerateDemo(path, o);
        db.Open(path);
    }
    return db;
}

const report::TReportDef& Def() {
    static report::TReportDef def = report::LoadDefinition(CTB_SOURCE_DIR "/reports/CTB11020-01.toml");
    return def;
}

// Every criterion open: the company's whole year.
std::vector<Variant> Params() {
    const report::TReportDef& def = Def();
    std::vector<Variant> v(def.Params.size());
    for (std::size_t i = 0; i < def.Params.size(); ++i) {
        const std::string& n = def.Params[i].Name;
        if (n == "CDEMPRESA") v[i] = "01";
        else if (n == "CDCONTCTBLF") v[i] = "ZZZZZZZZZZ";
        else if (n == "P_NMEMPRESA") v[i] = "Comercial Paulista de Alimentos Ltda";
        else if (def.Params[i].Type == report::TValueType::Text) v[i] = "T";
        else v[i] = 0.0;
    }
    return v;
}

// The process's peak resident memory is reset, so each run reports its own.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double PeakMiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

report::TLayoutOptions Options() {
    report::TLayoutOptions o;
    o.PrintedAt = "14/06/2024 10:00";
    o.AccountPicture = "9.9.9.99.99999;0;_";
    return o;
}

void BM_BareQuery(benchmark::State& state) {
    Db();
    std::vector<TBoundValue> bound;
    const std::vector<Variant> p = Params();
    for (std::size_t i = 0; i < p.size(); ++i)
        bound.push_back({Def().Params[i].Name, report::BindValue(p[i], Def().Params[i].Type)});
    ResetPeak();
    std::size_t rows = 0;
    for (auto _ : state) {
        TDataPacket packet = SelectToPacket(Db(), Def().SqlSQLite, bound);
        rows = static_cast<std::size_t>(packet.RecordCount());
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peak_MiB"] = PeakMiB();
}

void BM_QueryIntoSpool(benchmark::State& state) {
    Db();
    ResetPeak();
    std::int64_t rows = 0;
    for (auto _ : state) rows = report::RunReportQuery(Db(), Def(), Params())->RowCount();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peak_MiB"] = PeakMiB();
}

void BM_QueryAndLayout(benchmark::State& state) {
    Db();
    ResetPeak();
    int pages = 0;
    for (auto _ : state) {
        report::TReportDocument doc(Def(), Params(), report::RunReportQuery(Db(), Def(), Params()), Options());
        pages = doc.PageCount();
    }
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = PeakMiB();
}

void BM_WholePdf(benchmark::State& state) {
    Db();
    ResetPeak();
    int pages = 0;
    for (auto _ : state) {
        report::TReportDocument doc(Def(), Params(), report::RunReportQuery(Db(), Def(), Params()), Options());
        doc.WritePdf((Dir().Path / "listagem.pdf").string());
        pages = doc.PageCount();
    }
    state.counters["pages"] = pages;
    state.counters["pdf_MiB"] = static_cast<double>(fs::file_size(Dir().Path / "listagem.pdf")) / (1 << 20);
    state.counters["peak_MiB"] = PeakMiB();
}

}  // namespace

BENCHMARK(BM_BareQuery)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QueryIntoSpool)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QueryAndLayout)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WholePdf)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
