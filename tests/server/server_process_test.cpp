// Real server processes on one database: two servers hand out entry numbers
// to many clients without a repeat, and a server killed with SIGKILL in the
// middle of saves leaves a sound store (the database passes its integrity
// check, every entry is whole and balanced, every apportionment adds up, and
// a new server goes on numbering without reusing a stored number).
#include "server_process.h"
#include "store_test_util.h"

#include "platform/net/rpc_client.h"

#include <atomic>
#include <set>
#include <thread>

using namespace storetest;

namespace {

constexpr int kLinesPerEntry = 40;

// A balanced entry of 40 lines of company 01, every management line
// apportioned over two branch/cost-centre pairs.
void BuildEntry(const std::string& nr, TDataPacket& lines, TDataPacket& rateio)
{
    lines = TDataPacket(LancContFields());
    rateio = TDataPacket(LancCCustoFields());
    for (int i = 1; i <= kLinesPerEntry; ++i) {
        char seq[16];
        std::snprintf(seq, sizeof seq, "%05d", i);
        bool debit = i % 2 == 1;
        double value = debit ? -(100.0 + i) : (100.0 + i - 1);
        TPacketRow row(lines.Fields().size());
        auto set = [&](const char* f, Variant v) { row[static_cast<std::size_t>(lines.FieldIndex(f))] = std::move(v); };
        set("CDEMPRESA", "01");
        set("NRLANCCONT", nr);
        set("NRSEQLANC", seq);
        set("CDCONTCTBL", debit ? "4110100004" : "1110100001");
        set("CDHISTPADR", "0005");
        set("CDDOCUCONT", "QUEDA");
        set("DTLANCCONT", D(kYear, 7, 15));
        set("VRLANCAMENT", value);
        set("DSHISTLANC", "Teste de queda do servidor");
        lines.AppendRow(std::move(row));
        if (debit) {
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0001"), Variant("1001"),
                              Variant(-100.0), Variant(), Variant(), Variant(D(kYear, 7, 15))});
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0002"), Variant("2001"),
                              Variant(value + 100.0), Variant(), Variant(), Variant(D(kYear, 7, 15))});
        }
    }
}

// Saves entries until the connection drops; returns how many were saved.
int SaveUntilKilled(int port, std::atomic<bool>& started)
{
    TRpcClient client;
    client.Connect("127.0.0.1", port);
    int saved = 0;
    try {
        for (;;) {
            TRpcValue anoMes("202407");
            TRpcValue nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
            TDataPacket lines, rateio;
            BuildEntry(nr.Scalar().AsString(), lines, rateio);
            TRpcValue nrRef = nr, doc("");
            started = true;
            client.Call("SetLancContabil", {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"),
                                            TRpcArg::Ref(nrRef), TRpcArg::Ref(doc), TRpcArg("OPER")});
            ++saved;
        }
    } catch (const ERpcError&) {
        // the server is gone
    }
    return saved;
}

void ExpectSoundStore(const std::string& db)
{
    if (!OnPostgres()) {
        auto session = OpenTestSession(db);
        std::string integrity;
        *session << "PRAGMA integrity_check", soci::into(integrity);
        EXPECT_EQ(integrity, "ok");
    }
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM (SELECT NRLANCCONT FROM LANCCONT"
                         " GROUP BY CDEMPRESA, NRLANCCONT HAVING SUM(VRLANCAMENT) <> 0) X"),
              0);
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM (SELECT NRLANCCONT FROM LANCCONT WHERE"
                         " DSHISTLANC = 'Teste de queda do servidor' GROUP BY NRLANCCONT"
                         " HAVING COUNT(*) <> 40) X"),
              0);
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM (SELECT L.NRSEQLANC FROM LANCCONT L JOIN LANCCCUSTO R"
                         " ON R.CDEMPRESA = L.CDEMPRESA AND R.NRLANCCONT = L.NRLANCCONT AND"
                         " R.NRSEQLANC = L.NRSEQLANC GROUP BY L.CDEMPRESA, L.NRLANCCONT,"
                         " L.NRSEQLANC, L.VRLANCAMENT HAVING SUM(R.VRLANCCUST) <> L.VRLANCAMENT) X"),
              0);
    EXPECT_EQ(Scalar(db, "SELECT COUNT(*) FROM LANCCCUSTO R WHERE NOT EXISTS (SELECT 1 FROM"
                         " LANCCONT L WHERE R.CDEMPRESA = L.CDEMPRESA AND R.NRLANCCONT ="
                         " L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC)"),
              0);
}

TEST(ServerKilled, MidSaveLeavesWholeBalancedEntries)
{
    TDemoCopy db;
    if (!std::filesystem::exists(ProgramDir() + "/ctb11000-server"))
        GTEST_SKIP() << "ctb11000-server not built beside the tests";
    int totalSaved = 0;
    for (int delayMs : {40, 120, 260}) {
        TServerProcess server(db.Url());
        std::atomic<bool> started{false};
        int saved = 0;
        std::thread writer([&] { saved = SaveUntilKilled(server.Port(), started); });
        while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        server.Kill(SIGKILL);
        writer.join();
        totalSaved += saved;
        ExpectSoundStore(db.Url());
    }
    EXPECT_GT(totalSaved, 0);
    EXPECT_GE(Scalar(db.Url(), "SELECT COUNT(DISTINCT NRLANCCONT) FROM LANCCONT WHERE"
                                " DSHISTLANC = 'Teste de queda do servidor'"),
              totalSaved);

    // A new server numbers on past every stored entry.
    TServerProcess server(db.Url());
    TRpcClient client;
    client.Connect("127.0.0.1", server.Port());
    TRpcValue anoMes("202407");
    TRpcValue nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
    EXPECT_EQ(Scalar(db.Url(), "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01' AND NRLANCCONT >= '" +
                                    nr.Scalar().AsString() + "' AND NRLANCCONT <= '202407999999'"),
              0);
}

TEST(ServerProcesses, TwoServersOnOneDatabaseNeverShareANumber)
{
    TDemoCopy db;
    if (!std::filesystem::exists(ProgramDir() + "/ctb11000-server"))
        GTEST_SKIP() << "ctb11000-server not built beside the tests";
    TServerProcess a(db.Url()), b(db.Url());
    constexpr int kClients = 8, kCalls = 100;
    std::vector<std::vector<std::string>> got(kClients);
    std::vector<std::string> errors(kClients);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            try {
                TRpcClient client;
                client.Connect("127.0.0.1", c % 2 ? a.Port() : b.Port());
                for (int i = 0; i < kCalls; ++i) {
                    TRpcValue anoMes("202408");
                    got[c].push_back(
                        client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)}).Scalar().AsString());
                }
            } catch (const std::exception& e) {
                errors[c] = e.what();
            }
        });
    for (auto& t : clients) t.join();
    std::set<std::string> all;
    for (int c = 0; c < kClients; ++c) {
        EXPECT_EQ(errors[c], "") << "client " << c;
        all.insert(got[c].begin(), got[c].end());
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kClients * kCalls));
}

}  // namespace
