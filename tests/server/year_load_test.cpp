// A year of lines as the entry screen loads it: the answer streams in
// batches (the server holds one batch, however large the year), the Aux
// kinds still answer whole entries, and the data version tells a client
// whether what it holds is current, whoever saved in between.
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"
#include "tests/server/store_test_util.h"

#include <gtest/gtest.h>

using namespace storetest;

namespace {

TEST(YearLoad, RowsGoOutInBatchesAndMatchTheWholeAnswer) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    for (const char* kind : {"AuxFiltro", "FiltroValor"}) {
        TLancFiltro f = YearFilter("01", kind);
        if (f.IsValueKind()) f.VrIni = 0.01, f.VrFim = 1e9;
        const TDataPacket whole = store.GetLancCont(f);
        ASSERT_GT(whole.RecordCount(), 200u) << kind;

        TPacketStream out(LancContFields());
        TDataPacket gathered(LancContFields());
        std::size_t largest = 0;
        out.Bind(
            1,
            [&](const std::string& frame) {
                largest = std::max(largest, frame.size());
                ReadPieceFrame(frame.data(), frame.size(), gathered);
            },
            4096);
        store.GetLancCont(f, out);
        gathered.AppendRows(out.TakePacket());
        EXPECT_GT(out.PiecesSent(), 10u) << kind;
        EXPECT_LT(out.PeakHeldBytes(), 4096u + 1024u) << kind;
        EXPECT_LT(largest, 4096u + 2048u) << kind;
        ASSERT_EQ(gathered.RecordCount(), whole.RecordCount()) << kind;
        for (std::size_t r = 0; r < whole.RecordCount(); ++r)
            ASSERT_EQ(gathered.Row(r), whole.Row(r)) << kind << " row " << r;
    }
}

TEST(YearLoad, TheVersionChangesWithEverySaveWhoeverMakesIt) {
    TDemoCopy db;
    TRpcServer server;
    RegisterStoreMethods(server, db.Url());
    const int port = server.Start();
    TRpcClient a, b;
    a.Connect("127.0.0.1", port);
    b.Connect("127.0.0.1", port);
    const std::vector<TRpcValue> year = FilterArgs(YearFilter("01"));
    auto version = [&] { return a.Call("GetVersaoLancCont", {TRpcArg("01")}).Scalar().AsString(); };
    auto load = [&] { return a.Call("GetLancCont", std::vector<TRpcArg>(year.begin(), year.end())).Packet(); };
    auto history = [](const TDataPacket& p, const std::string& nr) {
        for (std::size_t r = 0; r < p.RecordCount(); ++r)
            if (Cell(p, r, "NRLANCCONT") == nr) return Cell(p, r, "DSHISTLANC");
        return std::string("?");
    };

    const std::string v1 = version();
    ASSERT_FALSE(v1.empty());
    const TDataPacket before = load();
    EXPECT_EQ(version(), v1) << "reading changes nothing";

    // The second client saves one entry with a new history text.
    const std::string target = Nr(1, 5);
    TDataPacket lines = b.Call("GetLancContFiltrado", {TRpcArg("01"), TRpcArg(target)}).Packet();
    const TDataPacket rateio = b.Call("GetLancCCusto", {TRpcArg("01"), TRpcArg(target)}).Packet();
    for (std::size_t r = 0; r < lines.RecordCount(); ++r) Set(lines, r, "DSHISTLANC", "SALVO PELO OUTRO");
    TRpcValue nr(target), doc("");
    b.Call("SetLancContabil",
           {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nr), TRpcArg::Ref(doc), TRpcArg("B")});

    const std::string v2 = version();
    EXPECT_NE(v2, v1);
    EXPECT_NE(history(before, target), "SALVO PELO OUTRO");
    EXPECT_EQ(history(load(), target), "SALVO PELO OUTRO");

    // A delete moves it too.
    TRpcValue gone(Nr(1, 6));
    b.Call("SetExcluiLancamento", {TRpcArg("01"), TRpcArg::Ref(gone)});
    const std::string v3 = version();
    EXPECT_NE(v3, v2);

    // So does a tool writing to the database behind the servers' back.
    {
        auto session = OpenTestSession(db.Url());
        *session << "UPDATE CONTCTBL SET NMCONTCTBL = 'RENOMEADA FORA' WHERE CDCONTCTBL = '1110100001'";
    }
    EXPECT_NE(version(), v3);
}

}  // namespace
