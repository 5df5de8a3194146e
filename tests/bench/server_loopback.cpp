// End to end: a year of lines loaded with getLancCont through a real RPC
// server on loopback into a client data set defined like cdsLancCont, beside
// the plain SOCI select of the same number of rows in this process (the
// baseline). The ratio between the two is the figure that matters; both run in
// the same process on the same database.
#include "platform/data/dataset.h"
#include "platform/db/dbexec.h"
#include "platform/db/dbgeral.h"
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"
#include "server/store.h"
#include "server/store_demo.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kYear = 2024;

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
        o.Lines = 170000;  // company 01 holds about 100,000 of them
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
std::vector<TRpcArg> YearRequest() {
    return {TRpcValue("AuxFiltro"), TRpcValue("01"), TRpcValue(""), TRpcValue("ZZZZZZZZZZ"),
            TRpcValue(""), TRpcValue(""), TRpcValue(""), TRpcValue(""), TRpcValue(""),
            TRpcValue(""), TRpcValue(""), TRpcValue(""), TRpcValue(Day(1, 1)),
            TRpcValue(Day(12, 31)), TRpcValue(0.0), TRpcValue(0.0), TRpcValue(""),
            TRpcValue("")};
}

void DefineLines(TClientDataSet& cds) {
    for (const TPacketField& f : LancContFields()) cds.AddField(f.Name, f.DataType, f.Size);
}

std::size_t g_rows = 0;
double g_loopbackMs = 0, g_selectMs = 0;

void BM_GetLancContLoopbackIntoDataSet(benchmark::State& state) {
    TRpcClient client;
    client.Connect("127.0.0.1", Server().Port);
    for (auto _ : state) {
        TClientDataSet cds;
        DefineLines(cds);
        TRpcValue result = client.Call("getLancCont", YearRequest());
        cds.SetData(result.Packet());
        g_rows = static_cast<std::size_t>(cds.RecordCount());
    }
    state.counters["rows"] = static_cast<double>(g_rows);
}
BENCHMARK(BM_GetLancContLoopbackIntoDataSet)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SociSelectSameRows(benchmark::State& state) {
    // The same 25 columns the screen receives (the account's name, reduced
    // code and kinds joined in), for the same company and year, in order.
    static const char* kSql =
        "SELECT L.CDFILLANC, L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDHISTPADR, L.CDCONTCTBL,"
        " L.DTLANCCONT, L.CDDOCUCONT, L.IDTIPOLANC, L.DSHISTLANC, L.VRLANCAMENT, L.IDLANCCOME,"
        " L.IDLANCSALDO, L.IDLANCINTE, L.IDLANCMANI, C.NMCONTCTBL, C.CDCONTREDU, L.CDCONTCOME,"
        " C.IDCONTCCUS, C.IDTIPOCOME, L.CDOPERINS, L.DTULTATULAN, L.IDSALDLANCO, L.IDSALDLANGE,"
        " L.IDSISTEMA"
        " FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL"
        " WHERE L.CDEMPRESA = :emp ORDER BY L.NRLANCCONT, L.NRSEQLANC";
    TDBConnection db;
    db.Open(Db().Path);
    std::size_t rows = 0;
    for (auto _ : state) rows = SelectToPacket(db, kSql, {{"emp", Variant("01")}}, LancContFields()).RecordCount();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SociSelectSameRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// Where the time goes: the store's own query, without the wire.
void BM_StoreGetLancContOnly(benchmark::State& state) {
    TEntryStore store(Db().Path);
    std::vector<TRpcValue> args;
    for (const TRpcArg& a : YearRequest()) args.push_back(a.Value());
    for (auto _ : state) benchmark::DoNotOptimize(store.Call("getLancCont", args));
}
BENCHMARK(BM_StoreGetLancContOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const double ms = r.GetAdjustedRealTime();
            if (r.benchmark_name().find("Loopback") != std::string::npos) g_loopbackMs = ms;
            if (r.benchmark_name().find("Soci") != std::string::npos) g_selectMs = ms;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_selectMs > 0)
        std::printf("\nratio getLancCont over loopback into a data set / SOCI select of %zu rows: %.2f (limit 3)\n",
                    g_rows, g_loopbackMs / g_selectMs);
    benchmark::Shutdown();
    return 0;
}
