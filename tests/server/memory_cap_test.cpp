// The real server with its memory capped (as `ulimit -v` does): requests that
// would grow many times their size in memory, and unfinished frames on
// several connections, are refused or cut; the server lives on and serves the
// next client.
#include "server_process.h"
#include "store_test_util.h"

#include "platform/net/rpc_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

using namespace storetest;

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

// A socket that sends raw bytes and reads one answer, whatever the server does.
class TRawSocket {
public:
    explicit TRawSocket(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) ADD_FAILURE() << "connect";
    }
    ~TRawSocket() { ::close(fd_); }

    // Sends as much as the server takes; false once it has closed.
    bool Send(const std::string& bytes)
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // The error code of the answer waiting on the socket, "" when none comes.
    std::string ErrorCode()
    {
        TRpcFrameReader reader;
        char buf[4096];
        for (;;) {
            TRpcResponse r;
            if (reader.NextResponse(r)) return r.ErrorCode;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) return "";
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) return "";
            reader.Feed(buf, static_cast<std::size_t>(n));
        }
    }

private:
    int fd_ = -1;
};

std::string Str32(std::uint32_t n)
{
    std::string s(1, '\xdb');
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((n >> shift) & 0xff);
    return s;
}

std::string Array32(std::uint32_t n)
{
    std::string s = Str32(n);
    s[0] = '\xdd';
    return s;
}

TEST(ServerUnderAMemoryCap, AmplifyingAndUnfinishedRequestsLeaveItServing)
{
    if (kAddressSanitizer) GTEST_SKIP() << "the address sanitizer reserves more address space than the cap";
    TDemoCopy db;
    TServerProcess server(db.Path(), std::chrono::seconds(20), rlim_t{3} << 29);  // 1.5 GiB
    const std::string call = std::string("\x94\x00\x01\xa9getCdLote", 13);

    // 16 MiB of nils in four lists, each within the element limit: ~1.2 GiB once decoded.
    {
        TRawSocket s(server.Port());
        const std::uint32_t perList = 1u << 22;
        s.Send(call + "\x94" + Array32(perList) + std::string(perList, '\xc0'));
        for (int i = 0; i < 3; ++i) s.Send(Array32(perList) + std::string(perList, '\xc0'));
        EXPECT_EQ(s.ErrorCode(), "limite");
    }
    ASSERT_TRUE(server.Running());

    // Five connections each 200 MiB into a 250 MiB text that never ends.
    std::vector<std::unique_ptr<TRawSocket>> held;
    const std::string chunk(1 << 20, 'x');
    for (int c = 0; c < 5; ++c) {
        held.push_back(std::make_unique<TRawSocket>(server.Port()));
        bool open = held.back()->Send(call + "\x91" + Str32(250u << 20));
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
