// Client and server over loopback: the calling conventions the module relies
// on (by-reference write-back, names in any case, error answers), and a server
// that keeps serving everyone else whatever one connection sends.
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"
#include "tests/net/net_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace std::string_literals;
using nettest::Render;

namespace {

void RegisterTestMethods(TRpcServer& s) {
    s.Register("Eco", {}, [](std::vector<TRpcValue>& args) { return TRpcValue(TRpcValue::Array(args)); });
    // Like PrxLancContabil: company by value, year-month by reference.
    s.Register("PrxLancContabil", {1}, [](std::vector<TRpcValue>& args) {
        ExpectArgs(args, 2, "PrxLancContabil");
        const std::string anoMes = args[1].Scalar().AsString();
        args[1] = TRpcValue(anoMes + "-visto");
        return TRpcValue(Variant(std::int64_t{42}));
    });
    s.Register("Dorme", {}, [](std::vector<TRpcValue>& args) {
        std::this_thread::sleep_for(std::chrono::milliseconds(args.at(0).Scalar().AsInteger()));
        return TRpcValue("acordei");
    });
    s.Register("getCdLote", {},
               [](std::vector<TRpcValue>&) -> TRpcValue { throw ERpcError("lote", "Lançamento de lote 000123."); });
    s.Register("Quebra", {}, [](std::vector<TRpcValue>&) -> TRpcValue { throw std::runtime_error("disco cheio"); });
    s.Register("Pacote", {}, [](std::vector<TRpcValue>& args) {
        ExpectArgs(args, 1, "Pacote");
        return TRpcValue(args[0].Packet());
    });
}

class RpcLoopback : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestMethods(server);
        port = server.Start();
        client.Connect("127.0.0.1", port);
    }

    TRpcServer server;
    int port = 0;
    TRpcClient client;
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ERpcError& e) {
        return e.Code() + ": " + e.what();
    }
    return "no error";
}

}  // namespace

TEST_F(RpcLoopback, ByReferenceArgumentsAreWrittenBackOnlyIntoReferences) {
    TRpcValue anoMes("202405");
    TRpcValue result = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
    EXPECT_EQ(Render(result), "42");
    EXPECT_EQ(Render(anoMes), "\"202405-visto\"");

    // The same argument passed by value is sent but never overwritten.
    TRpcValue company("01"), kept("202405");
    client.Call("PrxLancContabil", std::vector<TRpcValue*>{&company, &kept});  // all by reference
    EXPECT_EQ(Render(kept), "\"202405-visto\"");
    TRpcValue byValue("202405");
    client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg(byValue)});
    EXPECT_EQ(Render(byValue), "\"202405\"");

    // A failed call leaves the caller's variables alone.
    TRpcValue untouched("x");
    EXPECT_EQ(ErrorOf([&] { client.Call("PrxLancContabil", {TRpcArg::Ref(untouched)}); }),
              "argumentos: O método PrxLancContabil espera 2 argumentos e recebeu 1.");
    EXPECT_EQ(Render(untouched), "\"x\"");
}

TEST_F(RpcLoopback, MethodNamesMatchInAnyCase) {
    TRpcValue anoMes("202401");
    EXPECT_EQ(Render(client.Call("prxlanccontabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)})), "42");
    EXPECT_EQ(Render(client.Call("ECO", {TRpcArg("a")})), "[\"a\"]");
    EXPECT_EQ(ErrorOf([&] { client.Call("GETCDLOTE"); }), "lote: Lançamento de lote 000123.");
}

TEST_F(RpcLoopback, ErrorAnswersKeepTheConnection) {
    EXPECT_EQ(ErrorOf([&] { client.Call("GetNada"); }), "metodo: Método desconhecido: GetNada");
    EXPECT_EQ(ErrorOf([&] {
                  client.Call("getCdLote", {TRpcArg("01"), TRpcArg("1")});
              }),
              "lote: Lançamento de lote 000123.");
    EXPECT_EQ(ErrorOf([&] { client.Call("Quebra"); }),
              "interno: Erro interno no servidor de aplicação ao executar Quebra. Tente novamente; se o erro "
              "continuar, avise o responsável pelo servidor.");
    EXPECT_EQ(ErrorOf([&] { client.Call("Pacote", {TRpcArg("não é pacote")}); }),
              "tipo: Valor recebido não é um pacote de dados.");
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(Render(client.Call("Eco")), "[]");
}

TEST_F(RpcLoopback, PacketsAndArraysCrossTheWireIntact) {
    const TRpcValue packet(nettest::SamplePacket());
    EXPECT_EQ(Render(client.Call("Pacote", {TRpcArg(packet)})), Render(packet));

    // A packet large enough to span many reads.
    TDataPacket big({{"NRLANCCONT", TFieldType::ftString, 12}, {"VRLANCAMENT", TFieldType::ftFloat, 0}});
    for (int i = 0; i < 50000; ++i) big.AppendRow({Variant(std::to_string(i)), Variant(i * 0.01)});
    const TRpcValue back = client.Call("Pacote", {TRpcArg(TRpcValue(big))});
    ASSERT_EQ(back.Packet().RecordCount(), 50000u);
    EXPECT_EQ(back.Packet().Value(49999, 0).AsString(), "49999");
    EXPECT_DOUBLE_EQ(back.Packet().Value(49999, 1).AsFloat(), 499.99);
}

TEST_F(RpcLoopback, ConcurrentClientsGetTheirOwnAnswers) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            TRpcClient c;
            c.Connect("127.0.0.1", port);
            for (int i = 0; i < 100; ++i) {
                const std::string tag = std::to_string(t) + "/" + std::to_string(i);
                if (Render(c.Call("eco", {TRpcArg(tag)})) != "[\"" + tag + "\"]") ++wrong;
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(RpcLoopback, PipelinedRequestsAreAnsweredInOrder) {
    nettest::TRawPeer peer(port);
    ASSERT_TRUE(
        peer.Send(EncodeRequest({1, "Dorme", {TRpcValue(Variant(50))}}) + EncodeRequest({2, "Eco", {TRpcValue("b")}})));
    const auto first = peer.Receive();
    const auto second = peer.Receive();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Render(*first) + " / " + Render(*second), "id=1 \"acordei\" out{} / id=2 [\"b\"] out{}");
}

// Hostile frames: each gets an error answer or a closed connection, and a
// well-behaved client on another connection is served all along.
TEST_F(RpcLoopback, HostileFramesDoNotDisturbOtherClients) {
    struct THostile {
        const char* name;
        std::string bytes;
        const char* code;  // expected error answer
        bool closes;
        std::optional<std::uint32_t> msgid;  // of the answer
    };
    const std::string prefix =
        "\x94\x00\x05\xa3"
        "Eco"
        "\x91"s;  // [0, 5, "Eco", [
    const std::vector<THostile> cases{
        {"declared 300 MiB string", prefix + nettest::Str32Header(300u << 20), "limite", true, {}},
        {"declared 4G-element array", prefix + nettest::Array32Header(0xffffffffu), "limite", true, {}},
        {"nesting of 70 levels", prefix + nettest::Nested(70), "limite", true, {}},
        {"not MessagePack", "\xc1\xc1\xc1"s, "protocolo", true, {}},
        {"a response instead of a request", EncodeResponse(TRpcResponse{}), "protocolo", false, {}},
        {"wrong width row",
         prefix + "\x82\xa6"
                  "fields\x91\x93\xa1"
                  "A\xa6"
                  "string\x01\xa4"
                  "rows\x91\x92\xc0\xc0"s,
         "protocolo", false, 5},
    };
    for (const auto& h : cases) {
        SCOPED_TRACE(h.name);
        nettest::TRawPeer peer(port);
        ASSERT_TRUE(peer.Send(h.bytes));
        const auto answer = peer.Receive();
        ASSERT_TRUE(answer.has_value());
        EXPECT_FALSE(answer->Ok);
        EXPECT_EQ(answer->ErrorCode, h.code);
        EXPECT_EQ(answer->MsgId, h.msgid);
        if (h.closes) {
            EXPECT_TRUE(peer.ClosedByServer());
        } else {
            ASSERT_TRUE(peer.Send(EncodeRequest({6, "Eco", {TRpcValue("ainda")}})));
            const auto next = peer.Receive();
            ASSERT_TRUE(next.has_value());
            EXPECT_EQ(Render(*next), "id=6 [\"ainda\"] out{}");
        }
        EXPECT_EQ(Render(client.Call("Eco", {TRpcArg(h.name)})), std::string("[\"") + h.name + "\"]");
    }
}

TEST(RpcLimits, StreamedFrameOverTheLimitIsRefusedWhileOthersAreServed) {
    TRpcServerOptions options;
    options.Limits.MaxFrame = 1 << 20;
    TRpcServer server(options);
    RegisterTestMethods(server);
    const int port = server.Start();
    TRpcClient other;
    other.Connect("127.0.0.1", port);

    // An honest-looking array whose elements keep coming past the limit.
    nettest::TRawPeer peer(port);
    ASSERT_TRUE(
        peer.Send("\x94\x00\x05\xa3"
                  "Eco"
                  "\x91"s +
                  nettest::Array32Header(1u << 21)));
    const std::string tenStrings = EncodeValue(TRpcValue(TRpcValue::Array(10, TRpcValue("x")))).substr(1);
    bool sendFailed = false;
    for (int i = 0; i < 20000 && !sendFailed; ++i) {
        sendFailed = !peer.Send(tenStrings);
        if (i % 1000 == 0) {
            EXPECT_EQ(Render(other.Call("Eco", {TRpcArg(i)})), "[" + std::to_string(i) + "]");
        }
    }
    const auto answer = peer.Receive();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->ErrorCode, "limite");
    EXPECT_TRUE(peer.ClosedByServer());
    EXPECT_EQ(Render(other.Call("Eco")), "[]");
}

TEST_F(RpcLoopback, ClientTimeoutClosesAndAllowsReconnect) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { client.Call("Dorme", {TRpcArg(Variant(3000))}, 200ms); }),
              "tempo: O servidor de aplicação não respondeu a tempo.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(ErrorOf([&] { client.Call("Eco"); }), "conexao: Não há conexão com o servidor de aplicação.");
    client.Connect("127.0.0.1", port);
    EXPECT_EQ(Render(client.Call("Eco", {TRpcArg(1.5)})), "[1.5f]");
}

TEST(RpcConnection, ConnectingWhereNobodyListensFailsClearly) {
    int port = 0;
    {
        TRpcServer s;
        port = s.Start();
    }
    TRpcClient c;
    const std::string error = ErrorOf([&] { c.Connect("127.0.0.1", port, 2s); });
    EXPECT_EQ(error.rfind("conexao: Não foi possível conectar ao servidor de aplicação em 127.0.0.1:" +
                              std::to_string(port) + ".",
                          0),
              0u)
        << error;
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(ErrorOf([&] { c.Connect("nome.invalido.", 1, 2s); }).rfind("conexao: ", 0), 0u);
}

TEST(RpcConnection, StopLetsARunningCallAnswer) {
    TRpcServer server;
    RegisterTestMethods(server);
    const int port = server.Start();
    TRpcClient c;
    c.Connect("127.0.0.1", port);
    std::string answer;
    std::thread caller([&] { answer = Render(c.Call("Dorme", {TRpcArg(Variant(300))})); });
    std::this_thread::sleep_for(100ms);
    server.Stop();
    caller.join();
    EXPECT_EQ(answer, "\"acordei\"");
    EXPECT_EQ(ErrorOf([&] { c.Call("Eco"); }), "conexao: Conexão com o servidor de aplicação perdida.");
    EXPECT_FALSE(c.Connected());
}

// A server process killed in the middle of a call: the client gets a clean
// error instead of hanging or crashing.
TEST(RpcConnection, ServerKilledMidCallGivesConnectionLost) {
    int pipefd[2];
    ASSERT_EQ(::pipe(pipefd), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipefd[0]);
        TRpcServer s;
        RegisterTestMethods(s);
        const int p = s.Start();
        if (::write(pipefd[1], &p, sizeof p) != sizeof p) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(pipefd[1]);
    int port = 0;
    ASSERT_EQ(::read(pipefd[0], &port, sizeof port), static_cast<ssize_t>(sizeof port));
    ::close(pipefd[0]);

    TRpcClient c;
    c.Connect("127.0.0.1", port);
    std::thread killer([child] {
        std::this_thread::sleep_for(200ms);
        ::kill(child, SIGKILL);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { c.Call("Dorme", {TRpcArg(Variant(10000))}, 30s); }),
              "conexao: Conexão com o servidor de aplicação perdida.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(c.Connected());
    killer.join();
    int status = 0;
    ::waitpid(child, &status, 0);
}
