// Clients that hold on to the server: a full house of idle sockets, idle and
// stalled connections, a connection whose thread cannot start, unfinished
// frames holding memory. In every case a newcomer is still served.
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"
#include "tests/net/net_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

using namespace std::chrono_literals;
using namespace std::string_literals;
using nettest::Render;
using nettest::TRawPeer;

namespace {

void Register(TRpcServer& s) {
    s.Register("Eco", {}, [](std::vector<TRpcValue>& args) { return TRpcValue(TRpcValue::Array(args)); });
    s.Register("Dorme", {}, [](std::vector<TRpcValue>& args) {
        std::this_thread::sleep_for(std::chrono::milliseconds(args.at(0).Scalar().AsInteger()));
        return TRpcValue("acordei");
    });
}

std::string Eco(TRpcClient& c, const std::string& text) { return Render(c.Call("Eco", {TRpcArg(text)})); }

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ERpcError& e) {
        return e.Code() + ": " + e.what();
    }
    return "no error";
}

}  // namespace

TEST(RpcConnections, AFullHouseOfIdleSocketsGivesWayToNewClients) {
    TRpcServerOptions options;
    options.MaxConnections = 4;
    TRpcServer server(options);
    Register(server);
    const int port = server.Start();

    // A call in progress is never cut to make room.
    TRpcClient busy;
    busy.Connect("127.0.0.1", port);
    std::string slept;
    std::thread caller([&] { slept = Render(busy.Call("Dorme", {TRpcArg(Variant(800))})); });
    std::this_thread::sleep_for(100ms);

    std::vector<std::unique_ptr<TRawPeer>> idle;
    for (int i = 0; i < 12; ++i) idle.push_back(std::make_unique<TRawPeer>(port));
    TRpcClient fresh;
    fresh.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(fresh, "entrei"), "[\"entrei\"]");
    EXPECT_TRUE(idle.front()->ClosedByServer(2s));  // the longest idle gave way
    caller.join();
    EXPECT_EQ(slept, "\"acordei\"");
    EXPECT_LE(server.ActiveConnections(), 4u);
}

TEST(RpcConnections, IdleConnectionsCloseAndTheClientReconnectsUnnoticed) {
    TRpcServerOptions options;
    options.IdleTimeout = 300ms;
    TRpcServer server(options);
    Register(server);
    const int port = server.Start();

    TRawPeer silent(port);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(silent.ClosedByServer(5s));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);

    TRpcClient client;
    client.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(client, "antes"), "[\"antes\"]");
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(Eco(client, "depois"), "[\"depois\"]");
}

TEST(RpcConnections, ARequestThatTricklesInIsCutAtItsDeadline) {
    TRpcServerOptions options;
    options.FrameTimeout = 500ms;
    TRpcServer server(options);
    Register(server);
    const int port = server.Start();

    // A byte every 100 ms: always some progress, never the whole request in time.
    TRawPeer slow(port);
    const std::string frame = EncodeRequest({1, "Eco", {TRpcValue("devagar, bem devagar")}});
    std::optional<TRpcResponse> answer;
    for (std::size_t i = 0; i + 1 < frame.size() && !answer; ++i) {
        if (!slow.Send(frame.substr(i, 1))) break;
        answer = slow.Receive(100ms);
    }
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->ErrorCode, "tempo");
    EXPECT_FALSE(answer->MsgId.has_value());
    EXPECT_TRUE(slow.ClosedByServer());

    TRpcClient other;
    other.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(other, "rápido"), "[\"rápido\"]");
}

TEST(RpcConnections, AThreadThatCannotStartRefusesOnlyItsConnection) {
    std::atomic<int> starts{0};
    TRpcServerOptions options;
    options.StartThread = [&](std::function<void()> body) {
        if (++starts == 2) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(body));
    };
    TRpcServer server(options);
    Register(server);
    const int port = server.Start();

    TRpcClient first, second, third;
    first.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(first, "um"), "[\"um\"]");
    second.Connect("127.0.0.1", port);
    while (starts < 2) std::this_thread::sleep_for(5ms);
    const std::string refused = ErrorOf([&] { Eco(second, "dois"); });
    EXPECT_EQ(refused.rfind("limite: O servidor de aplicação não tem recursos", 0), 0u) << refused;
    third.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(third, "três"), "[\"três\"]");
    EXPECT_EQ(Eco(first, "ainda"), "[\"ainda\"]");
}

// Requests that never finish hold their buffers: together they may not take
// more than the server's budget, and the connection that would go over it is
// refused. Small requests pass all along.
TEST(RpcConnections, UnfinishedFramesStayWithinTheServersMemoryBudget) {
    TRpcServerOptions options;
    options.MaxInputMemory = 16u << 20;
    TRpcServer server(options);
    Register(server);
    const int port = server.Start();

    // A 4 MiB text announced, 3 MiB of it sent: about 8 MiB held each.
    const std::string start =
        "\x94\x00\x01\xa3"
        "Eco"
        "\x91"s +
        nettest::Str32Header(4u << 20) + std::string(3u << 20, 'x');
    auto holder = std::make_unique<TRawPeer>(port);
    TRawPeer second(port), third(port);
    ASSERT_TRUE(holder->Send(start));
    ASSERT_TRUE(second.Send(start));
    EXPECT_FALSE(second.Receive(300ms).has_value());
    third.Send(start);
    const auto refused = third.Receive();
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->ErrorCode, "limite");
    EXPECT_TRUE(third.ClosedByServer());

    TRpcClient small;
    small.Connect("127.0.0.1", port);
    EXPECT_EQ(Eco(small, "cabe"), "[\"cabe\"]");

    // The memory of a connection that ends goes back to the budget.
    holder.reset();
    std::this_thread::sleep_for(200ms);
    TRawPeer fourth(port);
    ASSERT_TRUE(fourth.Send(start));
    EXPECT_FALSE(fourth.Receive(300ms).has_value());
}
