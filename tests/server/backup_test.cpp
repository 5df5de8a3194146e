// ctb-backup while a server is writing: the copy is the database at one
// instant (every entry whole, none half-saved), holds at least what was saved
// before it began and at most what was saved by its end, and restores into a
// new database that a server opens as it would the original.
#include "entry_load.h"
#include "server_process.h"

#include "platform/net/rpc_client.h"

#include <atomic>
#include <thread>

using namespace storetest;

namespace {

int RunBackup(const std::vector<std::string>& args) {
    const std::string program = ProgramDir() + "/ctb-backup";
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A database to restore into, removed afterwards.
class TRestoreTarget {
public:
    TRestoreTarget() {
        if (!OnPostgres()) {
            url_ = dir_.File("restaurado.db");
            return;
        }
        name_ = "ctb_restaurado_" + std::to_string(::getpid());
        PgAdmin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
        PgAdmin("CREATE DATABASE " + name_);
        url_ = PgUrl(name_);
    }
    ~TRestoreTarget() {
        if (!name_.empty()) PgAdmin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    }
    const std::string& Url() const { return url_; }

private:
    TScratchDir dir_;
    std::string url_, name_;
};

long long SavedEntries(const std::string& url) {
    return Scalar(url,
                  "SELECT COUNT(DISTINCT NRLANCCONT) FROM LANCCONT WHERE DSHISTLANC = 'Teste de queda do servidor'");
}

TEST(Backup, TakenWhileSavingIsConsistentAndRestores) {
    TDemoCopy db;
    TServerProcess server(db.Url());
    std::atomic<bool> stop{false};
    std::atomic<int> saved{0};
    std::thread writer([&] {
        TRpcClient client;
        client.Connect("127.0.0.1", server.Port());
        while (!stop) {
            TRpcValue anoMes("202409");
            TRpcValue nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
            TDataPacket lines, rateio;
            BuildEntry(nr.Scalar().AsString(), lines, rateio);
            TRpcValue doc("");
            client.Call("SetLancContabil", {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nr),
                                            TRpcArg::Ref(doc), TRpcArg("COPIA")});
            ++saved;
        }
    });
    while (saved < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    TScratchDir dir;
    const std::string copy = dir.File("suite.copia");
    const int before = saved;
    const int status = RunBackup({"--db", db.Url(), "--to", copy});
    const int after = saved;
    stop = true;
    writer.join();
    ASSERT_EQ(status, 0);

    TRestoreTarget restored;
    ASSERT_EQ(RunBackup({"--db", restored.Url(), "--restore", copy}), 0);
    ExpectSoundStore(restored.Url());
    const long long inCopy = SavedEntries(restored.Url());
    EXPECT_GE(inCopy, before);
    EXPECT_LE(inCopy, after + 1);  // the save under way when the copy began may be in it
    // A server opens the restored database and numbers on past its entries.
    TServerProcess again(restored.Url());
    TRpcClient client;
    client.Connect("127.0.0.1", again.Port());
    TRpcValue anoMes("202409");
    const std::string nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)}).Scalar().AsString();
    EXPECT_EQ(Scalar(restored.Url(), "SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT >= '" + nr +
                                         "'"
                                         " AND NRLANCCONT <= '202409999999'"),
              0);

    EXPECT_NE(RunBackup({"--db", db.Url(), "--restore", dir.File("nao-existe")}), 0);
}

}  // namespace
