// Real server processes on one database: two servers hand out entry numbers
// to many clients without a repeat, and a server killed with SIGKILL in the
// middle of saves leaves a sound store (the database passes its integrity
// check, every entry is whole and balanced, every apportionment adds up, and
// a new server goes on numbering without reusing a stored number).
#include "entry_load.h"
#include "server_process.h"

#include "platform/net/rpc_client.h"

#include <atomic>
#include <map>
#include <set>
#include <thread>

using namespace storetest;

namespace {

// Saves entries until the connection drops; returns how many were saved.
int SaveUntilKilled(int port, std::atomic<bool>& started) {
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
            client.Call("SetLancContabil", {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nrRef),
                                            TRpcArg::Ref(doc), TRpcArg("OPER")});
            ++saved;
        }
    } catch (const ERpcError&) {
        // the server is gone
    }
    return saved;
}

TEST(ServerKilled, MidSaveLeavesWholeBalancedEntries) {
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
    EXPECT_GE(Scalar(db.Url(),
                     "SELECT COUNT(DISTINCT NRLANCCONT) FROM LANCCONT WHERE"
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

TEST(ServerProcesses, TwoServersOnOneDatabaseNeverShareANumber) {
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

// Two servers, eight bookkeepers: each reserves numbers and saves new
// entries, and all of them keep saving one shared entry, each with a version
// of its own size. Afterwards the numbers handed out are one unbroken run
// without a repeat, every entry is whole and balanced, and the shared entry
// is exactly one client's version (no save ever mixed with another).
TEST(ServerProcesses, TwoServersEightClientsNumberAndSaveWithoutRepeatGapOrMix) {
    TDemoCopy db;
    TServerProcess a(db.Url()), b(db.Url());
    TEntryStore direct(db.Url());
    std::string anoMes = "202408";
    const std::string shared = direct.PrxLancContabil("01", anoMes);
    constexpr int kClients = 8, kRounds = 6;
    std::vector<std::vector<std::string>> numbers(kClients);
    std::vector<std::string> errors(kClients);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            try {
                TRpcClient client;
                client.Connect("127.0.0.1", c % 2 ? a.Port() : b.Port());
                const std::string mine = "Cliente " + std::to_string(c);
                auto save = [&](const std::string& nr, int count) {
                    TDataPacket lines, rateio;
                    BuildEntry(nr, lines, rateio, count, mine);
                    TRpcValue nrRef(nr), doc("");
                    client.Call("SetLancContabil", {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nrRef),
                                                    TRpcArg::Ref(doc), TRpcArg("CARGA")});
                };
                for (int round = 0; round < kRounds; ++round) {
                    TRpcValue month("202408");
                    std::string nr =
                        client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(month)}).Scalar().AsString();
                    numbers[c].push_back(nr);
                    save(nr, 2 + 2 * (round % 3));
                    save(shared, 2 * (c + 1));
                }
            } catch (const std::exception& e) {
                errors[c] = e.what();
            }
        });
    for (auto& t : clients) t.join();

    std::set<long long> sequences{std::stoll(shared.substr(6))};
    for (int c = 0; c < kClients; ++c) {
        EXPECT_EQ(errors[c], "") << "client " << c;
        for (const std::string& nr : numbers[c]) sequences.insert(std::stoll(nr.substr(6)));
    }
    ASSERT_EQ(sequences.size(), static_cast<std::size_t>(kClients * kRounds + 1)) << "a number was repeated";
    EXPECT_EQ(*sequences.rbegin() - *sequences.begin() + 1, static_cast<long long>(sequences.size()))
        << "a number was skipped";

    ExpectSoundStore(db.Url());
    EXPECT_EQ(Scalar(db.Url(), "SELECT COUNT(DISTINCT NRLANCCONT) FROM LANCCONT WHERE NRLANCCONT >= '" + shared +
                                   "' AND NRLANCCONT <= '202408999999'"),
              kClients * kRounds + 1);
    // The shared entry: one client's lines only, as many as that client sends.
    auto sql = OpenTestSession(db.Url());
    std::string owner;
    *sql << "SELECT MIN(DSHISTLANC) FROM LANCCONT WHERE CDEMPRESA = '01' AND NRLANCCONT = :n", soci::use(shared),
        soci::into(owner);
    const long long writers =
        Scalar(db.Url(), "SELECT COUNT(DISTINCT DSHISTLANC) FROM LANCCONT WHERE NRLANCCONT = '" + shared + "'");
    const long long count = Scalar(db.Url(), "SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '" + shared + "'");
    EXPECT_EQ(writers, 1);
    ASSERT_EQ(owner.rfind("Cliente ", 0), 0u) << owner;
    EXPECT_EQ(count, 2 * (std::stoll(owner.substr(8)) + 1)) << owner;
}

// A server reachable from the network only with a token: without one it
// does not start, and says what is missing.
TEST(ServerProcesses, ListeningBeyondLoopbackNeedsATokenFile) {
    const std::string command =
        "CTB_SERVER_TOKEN_FILE= " + ProgramDir() + "/ctb11000-server --db /nao/usado.db --listen 0.0.0.0:0 2>&1";
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buf[512];
    while (std::fgets(buf, sizeof buf, out)) text += buf;
    const int status = pclose(out);
    EXPECT_EQ(WEXITSTATUS(status), 2) << text;
    EXPECT_NE(text.find("--token-file"), std::string::npos) << text;
}

}  // namespace
