// Opening a session: a server with a token runs no method for a client that
// has not presented it (even requests sent in the same packet as a wrong
// one), a client with the token works across reconnections, and a method
// sees the session and operator its client gave.
#include "platform/net/rpc_client.h"
#include "platform/net/session_token.h"
#include "server/rpc_server.h"
#include "server/rpc_session.h"
#include "tests/net/net_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

const std::string kToken = "f3Kq9-chave-de-teste-0042";

class SessionGate : public testing::Test {
protected:
    void Start(const std::string& token) {
        TRpcServerOptions o;
        o.Token = token;
        server = std::make_unique<TRpcServer>(o);
        server->Register("Quem", {}, [this](std::vector<TRpcValue>&) {
            ++ran;
            return TRpcValue(CurrentRpcCaller().Session + "/" + CurrentRpcCaller().Operator);
        });
        port = server->Start();
    }
    std::string Code(const std::function<void()>& f) {
        try {
            f();
            return "";
        } catch (const ERpcError& e) {
            return e.Code();
        }
    }

    std::unique_ptr<TRpcServer> server;
    int port = 0;
    std::atomic<int> ran{0};
};

TEST_F(SessionGate, WithATokenNothingRunsForAClientWithoutIt) {
    Start(kToken);
    TRpcClient plain;
    plain.Connect("127.0.0.1", port);
    EXPECT_EQ(Code([&] { plain.Call("Quem"); }), "acesso");
    EXPECT_FALSE(plain.Connected());

    TRpcClient wrong;
    wrong.SetSession("outra-chave-qualquer-123", "s", "JOAO");
    EXPECT_EQ(Code([&] { wrong.Connect("127.0.0.1", port); }), "acesso");
    EXPECT_FALSE(wrong.Connected());

    // A wrong opening and a call in one packet: the call never runs.
    nettest::TRawPeer raw(port);
    TRpcRequest open{1, kOpenSessionMethod, {TRpcValue("errada-errada-errada"), TRpcValue(""), TRpcValue("")}};
    TRpcRequest call{2, "Quem", {}};
    raw.Send(EncodeRequest(open) + EncodeRequest(call));
    auto answer = raw.Receive();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->ErrorCode, "acesso");
    EXPECT_TRUE(raw.ClosedByServer());
    EXPECT_EQ(ran, 0);

    TRpcClient right;
    right.SetSession(kToken, "sessao-1", "MARIA");
    right.Connect("127.0.0.1", port);
    EXPECT_EQ(right.Call("Quem").Scalar().AsString(), "sessao-1/MARIA");
    // A new connection opens the same session again.
    right.Connect("127.0.0.1", port);
    EXPECT_EQ(right.Call("Quem").Scalar().AsString(), "sessao-1/MARIA");
    EXPECT_EQ(ran, 2);
}

TEST_F(SessionGate, WithoutATokenOpeningIsOptionalAndNamesTheCaller) {
    Start("");
    TRpcClient plain;
    plain.Connect("127.0.0.1", port);
    EXPECT_EQ(plain.Call("Quem").Scalar().AsString(), "/");
    TRpcClient named;
    named.SetSession("", "sessao-2", "JOAO");
    named.Connect("127.0.0.1", port);
    EXPECT_EQ(named.Call("Quem").Scalar().AsString(), "sessao-2/JOAO");
}

TEST(TokenFile, FirstLineTrimmedAndLongEnough) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string good = (dir / ("ctb_chave_" + std::to_string(::getpid()))).string();
    const std::string shortOne = good + "_curta";
    std::ofstream(good) << "  " << kToken << "  \nsegunda linha\n";
    std::ofstream(shortOne) << "curta\n";
    EXPECT_EQ(ReadTokenFile(good), kToken);
    EXPECT_THROW(ReadTokenFile(shortOne), ERpcError);
    EXPECT_THROW(ReadTokenFile(good + "_nao_existe"), ERpcError);
    std::filesystem::remove(good);
    std::filesystem::remove(shortOne);
    EXPECT_TRUE(SameToken(kToken, kToken));
    EXPECT_FALSE(SameToken(kToken, kToken + "x"));
    EXPECT_NE(NewSessionId(), NewSessionId());
}

}  // namespace
