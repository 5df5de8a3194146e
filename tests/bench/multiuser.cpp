// Many bookkeepers at once: month loads and entry saves per second through
// real ctb11000-server processes, with 1, 2 and 4 servers over one
// PostgreSQL database, beside one server over SQLite (the baseline, run
// first; the PostgreSQL figures carry their ratio to it). Eight clients share
// the servers in turn; each figure counts what they did in a fixed time.
//
// PostgreSQL needs a server named by CTB_TEST_PG (libpq keywords without
// dbname); scripts/pg-cluster starts a throwaway one. Without it only the
// SQLite baseline runs. docs/performance.md has the figures and the commands.
#include "ledger/criteria.h"
#include "platform/net/rpc_client.h"
#include "server/store.h"
#include "server/store_demo.h"
#include "tests/server/server_process.h"

#include <soci/soci.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kYear = 2024;
constexpr int kClients = 8;
constexpr auto kDuration = std::chrono::seconds(6);

const char* PgServer() {
    const char* v = std::getenv("CTB_TEST_PG");
    return v && *v ? v : nullptr;
}

// A demo database of a busy firm (company 01 books about 3,000 lines a
// month), once per dialect.
struct TBenchDatabases {
    std::string Dir, Sqlite, PgName, Pg;
    TBenchDatabases() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbmultiXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        Dir = mkdtemp(buf.data());
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = 60000;
        Sqlite = Dir + "/bench.db";
        GenerateDemo(Sqlite, o);
        if (!PgServer()) return;
        PgName = "ctb_bench_" + std::to_string(getpid());
        Admin("CREATE DATABASE " + PgName);
        Pg = std::string("postgresql: ") + PgServer() + " dbname=" + PgName;
        GenerateDemo(Pg, o);
    }
    ~TBenchDatabases() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
        if (!PgName.empty()) Admin("DROP DATABASE IF EXISTS " + PgName + " WITH (FORCE)");
    }
    static void Admin(const std::string& statement) {
        soci::session sql("postgresql", std::string(PgServer()) + " dbname=postgres");
        sql << statement;
    }
};

TBenchDatabases& Databases() {
    static TBenchDatabases d;
    return d;
}

// An entry of eight lines; the debits are apportioned over two branches.
void BuildEntry(const std::string& nr, TDataPacket& lines, TDataPacket& rateio) {
    lines = TDataPacket(LancContFields());
    rateio = TDataPacket(LancCCustoFields());
    TDateTime date = 0;
    EncodeDate(kYear, 10, 15, date);
    for (int i = 1; i <= 8; ++i) {
        char seq[16];
        std::snprintf(seq, sizeof seq, "%05d", i);
        const bool debit = i % 2 == 1;
        const double value = debit ? -(100.0 + i) : (100.0 + i - 1);
        TPacketRow row(lines.Fields().size());
        auto set = [&](const char* f, Variant v) { row[static_cast<std::size_t>(lines.FieldIndex(f))] = std::move(v); };
        set("CDEMPRESA", "01");
        set("NRLANCCONT", nr);
        set("NRSEQLANC", seq);
        set("CDCONTCTBL", debit ? "4110100004" : "1110100001");
        set("CDHISTPADR", "0005");
        set("CDDOCUCONT", "CARGA");
        set("DTLANCCONT", date);
        set("VRLANCAMENT", value);
        set("DSHISTLANC", "Carga de vários usuários");
        lines.AppendRow(std::move(row));
        if (debit) {
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0001"), Variant("1001"),
                              Variant(-100.0), Variant(), Variant(), Variant(date)});
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0002"), Variant("2001"),
                              Variant(value + 100.0), Variant(), Variant(), Variant(date)});
        }
    }
}

void Save(TRpcClient& client) {
    TRpcValue anoMes("202410");
    TRpcValue nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
    TDataPacket lines, rateio;
    BuildEntry(nr.Scalar().AsString(), lines, rateio);
    TRpcValue doc("");
    client.Call("SetLancContabil", {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nr), TRpcArg::Ref(doc),
                                    TRpcArg("CARGA")});
}

// A month of company 01 (its first 28 days), as the entry screen loads it.
void LoadMonth(TRpcClient& client, int month) {
    ledger::TLancFiltro f;
    f.TipoFiltro = "AuxFiltro";
    f.Empresa = "01";
    f.ContFimZ = "ZZZZZZZZZZ";
    EncodeDate(kYear, month, 1, f.DtIni);
    EncodeDate(kYear, month, 28, f.DtFim);
    std::vector<TRpcArg> args;
    for (const TRpcValue& v : f.ToArgs()) args.emplace_back(v);
    benchmark::DoNotOptimize(client.Call("GetLancCont", args));
}

std::map<std::string, double>& Baseline() {
    static std::map<std::string, double> rates;
    return rates;
}

// Runs kClients clients over `servers` server processes for kDuration.
void RunLoad(benchmark::State& state, const std::string& kind, bool postgres, int servers) {
    const std::string url = postgres ? Databases().Pg : Databases().Sqlite;
    if (url.empty()) {
        state.SkipWithError("CTB_TEST_PG não definido");
        return;
    }
    std::vector<std::unique_ptr<storetest::TServerProcess>> running;
    for (int i = 0; i < servers; ++i) running.push_back(std::make_unique<storetest::TServerProcess>(url));
    for (auto _ : state) {
        std::atomic<long> done{0};
        std::atomic<bool> failed{false};
        const auto end = std::chrono::steady_clock::now() + kDuration;
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c)
            clients.emplace_back([&, c] {
                try {
                    TRpcClient client;
                    client.Connect("127.0.0.1", running[c % servers]->Port());
                    for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
                        if (kind == "saves") Save(client);
                        else LoadMonth(client, 1 + (c + n) % 12);
                        ++done;
                    }
                } catch (const std::exception& e) {
                    if (!failed.exchange(true)) std::fprintf(stderr, "bench_multiuser: %s\n", e.what());
                }
            });
        for (auto& t : clients) t.join();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (failed) state.SkipWithError("um cliente falhou");
        const double rate = static_cast<double>(done) / seconds;
        state.counters[kind + "/s"] = rate;
        if (!postgres) Baseline()[kind] = rate;
        else if (Baseline().count(kind)) state.counters["vs_sqlite"] = rate / Baseline()[kind];
    }
}

void BM_Saves_Sqlite(benchmark::State& state) { RunLoad(state, "saves", false, 1); }
void BM_Saves_Postgres(benchmark::State& state) { RunLoad(state, "saves", true, static_cast<int>(state.range(0))); }
void BM_MonthLoads_Sqlite(benchmark::State& state) { RunLoad(state, "loads", false, 1); }
void BM_MonthLoads_Postgres(benchmark::State& state) {
    RunLoad(state, "loads", true, static_cast<int>(state.range(0)));
}

// Loads first: the saves add a month's worth of entries to October.
BENCHMARK(BM_MonthLoads_Sqlite)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MonthLoads_Postgres)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Saves_Sqlite)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Saves_Postgres)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
