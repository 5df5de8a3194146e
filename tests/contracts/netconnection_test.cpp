// TNetConnection over a scripted transport: connect order, by-reference
// arguments, and failures turned into error objects (or thrown on request).
#include "contracts/netconnection.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the fake server saw and what it answers.
struct Script {
    std::vector<std::string> log;
    bool refuseConnect = false;
    bool dropped = false;
    std::map<int, TRpcValue> outs;  // by-ref answers
    TRpcValue result;
    std::string errorCode;  // non-empty: the call fails with this code
    std::vector<std::vector<TRpcValue>> sent;
};

class FakeTransport : public TAppServerTransport {
public:
    explicit FakeTransport(Script& s) : s_(s) {}
    void Connect(const std::string& host, int port) override {
        s_.log.push_back("connect " + host + ":" + std::to_string(port));
        if (s_.refuseConnect) throw ERpcError("conexao", "recusada");
        connected_ = true;
    }
    void Disconnect() override {
        if (connected_) s_.log.push_back("disconnect");
        connected_ = false;
    }
    bool Connected() const override { return connected_ && !s_.dropped; }
    TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args, const std::vector<int>& byRef) override {
        s_.log.push_back("call " + method);
        s_.sent.push_back(args);
        if (!s_.errorCode.empty()) throw ERpcError(s_.errorCode, "Falha do servidor: " + method);
        for (int i : byRef)
            if (s_.outs.count(i)) args[static_cast<std::size_t>(i)] = s_.outs[i];
        return s_.result;
    }

private:
    Script& s_;
    bool connected_ = false;
};

class NetConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        TNetConnection::SetTransportFactory([this] { return std::make_unique<FakeTransport>(script); });
        net.ServerName = "CTB11000.rdmLancamentos";
        net.BeforeConnect = [this](TComponent*) {
            script.log.push_back("before");
            net.Host = "127.0.0.1";
            net.Port = 7001;
        };
    }
    void TearDown() override { TNetConnection::SetTransportFactory(nullptr); }
    Script script;
    TNetConnection net;
};

TEST_F(NetConnectionTest, ConnectRunsBeforeConnectFirstAndOnlyOnce) {
    net.SetConnected(true);
    net.SetConnected(true);
    EXPECT_TRUE(net.Connected());
    net.SetConnected(false);
    EXPECT_FALSE(net.Connected());
    EXPECT_EQ(script.log, (std::vector<std::string>{"before", "connect 127.0.0.1:7001", "disconnect"}));
}

TEST_F(NetConnectionTest, RefusedConnectRaisesAPortugueseErrorAndStaysClosed) {
    script.refuseConnect = true;
    try {
        net.SetConnected(true);
        ADD_FAILURE() << "connect did not fail";
    } catch (const ENetConnectionError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Não foi possível conectar ao servidor de aplicação "
                                              "CTB11000.rdmLancamentos em 127.0.0.1:7001.",
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_FALSE(net.Connected());
}

TEST_F(NetConnectionTest, MissingAddressIsRefusedBeforeAnyAttempt) {
    net.BeforeConnect = nullptr;
    EXPECT_THROW(net.SetConnected(true), ENetConnectionError);
    EXPECT_TRUE(script.log.empty());
}

TEST_F(NetConnectionTest, ByReferenceArgumentsReceiveTheServersValues) {
    net.SetConnected(true);
    script.result = TRpcValue(42.0);
    script.outs[1] = TRpcValue("000000000123");
    script.outs[2] = TRpcValue(7.5);
    std::string number = "0";
    double amount = 1;
    TRpcValue r = net.Call("PrxLancContabil", {"01", ByRef(number), ByRef(amount), 3.0});
    EXPECT_EQ(r.Scalar().AsFloat(), 42.0);
    EXPECT_EQ(number, "000000000123");
    EXPECT_EQ(amount, 7.5);
    ASSERT_EQ(script.sent.size(), 1u);
    EXPECT_EQ(script.sent[0][0].Scalar().AsString(), "01");
    EXPECT_EQ(script.sent[0][1].Scalar().AsString(), "0");  // the variable's value is sent
}

TEST_F(NetConnectionTest, BadByReferenceAnswerLeavesEveryVariableAlone) {
    net.SetConnected(true);
    script.outs[0] = TRpcValue("novo");
    script.outs[1] = TRpcValue("não é número");
    std::string text = "antigo";
    double number = 5;
    TRpcValue r = net.Call("M", {ByRef(text), ByRef(number)});
    std::string code;
    EXPECT_TRUE(IsServerError(r, &code));
    EXPECT_EQ(code, "tipo");
    EXPECT_EQ(text, "antigo");
    EXPECT_EQ(number, 5);
}

TEST_F(NetConnectionTest, FailuresBecomeErrorObjectsOrAreThrownOnRequest) {
    std::string message;
    // Not connected.
    EXPECT_TRUE(IsServerError(net.Call("GetLancCCusto", {"01", "1"}), nullptr, &message));
    EXPECT_NE(message.find("não está aberta"), std::string::npos);

    net.SetConnected(true);
    script.errorCode = "metodo";
    std::string nr = "9";
    std::string code;
    EXPECT_TRUE(IsServerError(net.Call("X", {ByRef(nr)}), &code, &message));
    EXPECT_EQ(code, "metodo");
    EXPECT_EQ(message, "Falha do servidor: X");
    EXPECT_EQ(nr, "9");

    net.ThrowException = true;
    EXPECT_THROW(net.Call("X", {}), ERpcError);
}

TEST(ServerError, OrdinaryValuesAreNotErrors) {
    EXPECT_FALSE(IsServerError(TRpcValue("erro")));
    EXPECT_FALSE(IsServerError(TRpcValue(TRpcValue::Array{TRpcValue("ERRO"), TRpcValue("a"), TRpcValue("b")})));
    EXPECT_FALSE(IsServerError(TRpcValue(TDataPacket())));
    std::string code, message;
    EXPECT_TRUE(IsServerError(MakeServerError("c", "m"), &code, &message));
    EXPECT_EQ(code + "/" + message, "c/m");
}

}  // namespace

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A loopback port nothing listens on (bound, then released).
int freePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

TEST(NetConnectionWire, ServerThatIsNotThereFailsTheConnectClearly) {
    TNetConnection net;
    net.ServerName = "CTB11000.rdmLancamentos";
    net.Host = "127.0.0.1";
    net.Port = freePort();
    EXPECT_THROW(net.SetConnected(true), ENetConnectionError);
    EXPECT_FALSE(net.Connected());
    std::string message;
    EXPECT_TRUE(IsServerError(net.Call("getCdLote", {"01", "1"}), nullptr, &message));
    EXPECT_FALSE(message.empty());
}

}  // namespace
