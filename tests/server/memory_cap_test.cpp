// The real server with its memory capped (as `ulimit -v` does): requests that
// would grow many times their size in memory, and unfinished frames on
// several connections, are refused or cut; the server lives on and serves the
// next client.
#include "server_process.h"
#include "store_test_util.h"

#include "platform/net/rpc_client.h"
#include "tests/net/net_test_util.h"

#include <memory>

using namespace storetest;
using nettest::Array32Header;
using nettest::Str32Header;
using nettest::TRawPeer;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

TEST(ServerUnderAMemoryCap, AmplifyingAndUnfinishedRequestsLeaveItServing) {
    if (kAddressSanitizer) GTEST_SKIP() << "the address sanitizer reserves more address space than the cap";
    TDemoCopy db;
    TServerProcess server(db.Url(), std::chrono::seconds(20), rlim_t{3} << 29);  // 1.5 GiB
    const std::string call = std::string("\x94\x00\x01\xa9getCdLote", 13);

    // 16 MiB of nils in four lists, each within the element limit: ~1.2 GiB once decoded.
    {
        TRawPeer s(server.Port());
        const std::uint32_t perList = 1u << 22;
        s.Send(call + "\x94" + Array32Header(perList) + std::string(perList, '\xc0'));
        for (int i = 0; i < 3; ++i) s.Send(Array32Header(perList) + std::string(perList, '\xc0'));
        const auto answer = s.Receive();
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->ErrorCode, "limite");
    }
    ASSERT_TRUE(server.Running());

    // Five connections each 200 MiB into a 250 MiB text that never ends.
    std::vector<std::unique_ptr<TRawPeer>> held;
    const std::string chunk(1 << 20, 'x');
    for (int c = 0; c < 5; ++c) {
        held.push_back(std::make_unique<TRawPeer>(server.Port()));
        bool open = held.back()->Send(call + "\x91" + Str32Header(250u << 20));
        for (int mib = 0; mib < 200 && open; ++mib) open = held.back()->Send(chunk);
    }
    ASSERT_TRUE(server.Running());

    TRpcClient client;
    client.Connect("127.0.0.1", server.Port());
    TRpcValue anoMes("202405");
    const TRpcValue nr = client.Call("PrxLancContabil", {TRpcArg("01"), TRpcArg::Ref(anoMes)});
    EXPECT_EQ(nr.Scalar().AsString().substr(0, 6), "202405");
    EXPECT_TRUE(server.Running());
}

}  // namespace
