#include "tests/net/net_test_util.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest {

namespace {

void RenderScalar(std::ostringstream& os, const Variant& v) {
    switch (v.kind()) {
    case Variant::Kind::Null: os << "nil"; break;
    case Variant::Kind::Boolean: os << (v.AsBoolean() ? "true" : "false"); break;
    case Variant::Kind::Integer: os << v.AsInteger(); break;
    case Variant::Kind::Float: os << v.AsFloat() << 'f'; break;
    case Variant::Kind::String: os << '"' << *v.string_if() << '"'; break;
    }
}

void RenderValue(std::ostringstream& os, const TRpcValue& v) {
    if (v.IsScalar()) {
        RenderScalar(os, v.Scalar());
    } else if (v.IsPacket()) {
        const auto& p = v.Packet();
        os << "packet{";
        for (std::size_t i = 0; i < p.Fields().size(); ++i) {
            const auto& f = p.Fields()[i];
            os << (i ? "," : "") << f.Name << ':' << FieldTypeName(f.DataType) << '(' << f.Size << ')';
        }
        for (std::size_t r = 0; r < p.RecordCount(); ++r) {
            os << '|';
            for (std::size_t c = 0; c < p.Fields().size(); ++c) {
                if (c) os << ',';
                RenderScalar(os, p.Value(r, c));
            }
        }
        os << '}';
    } else {
        os << '[';
        const auto& items = v.Items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i) os << ", ";
            RenderValue(os, items[i]);
        }
        os << ']';
    }
}

std::string BigEndian(unsigned char tag, std::uint32_t n) {
    std::string s(1, static_cast<char>(tag));
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((n >> shift) & 0xff);
    return s;
}

}  // namespace

std::string Render(const TRpcValue& v) {
    std::ostringstream os;
    RenderValue(os, v);
    return os.str();
}

std::string Render(const TRpcResponse& r) {
    std::ostringstream os;
    os << "id=" << (r.MsgId ? std::to_string(*r.MsgId) : "nil") << ' ';
    if (!r.Ok) {
        os << "error " << r.ErrorCode << ": " << r.ErrorMessage;
        return os.str();
    }
    os << Render(r.Value) << " out{";
    bool first = true;
    for (const auto& [i, v] : r.Out) {
        os << (first ? "" : ", ") << i << ": " << Render(v);
        first = false;
    }
    os << '}';
    return os.str();
}

TDataPacket SamplePacket() {
    TDataPacket p({{"CDEMPRESA", TFieldType::ftString, 2},
                   {"VRLANCAMENT", TFieldType::ftFloat, 0},
                   {"NRSEQ", TFieldType::ftInteger, 0},
                   {"IDATIVO", TFieldType::ftBoolean, 0},
                   {"DTLANCCONT", TFieldType::ftDateTime, 0}});
    p.AppendRow({Variant("01"), Variant(-1234.56), Variant(std::int64_t{7}), Variant(true), Variant(45292.0)});
    p.AppendRow({Variant(), Variant(), Variant(), Variant(), Variant()});
    p.AppendRow({Variant("ção"), Variant(0.01), Variant(std::int64_t{-1}), Variant(false), Variant(45292.75)});
    return p;
}

std::string Str32Header(std::uint32_t length) { return BigEndian(0xdb, length); }
std::string Array32Header(std::uint32_t count) { return BigEndian(0xdd, count); }
std::string Map32Header(std::uint32_t count) { return BigEndian(0xdf, count); }

std::string Nested(int levels, const std::string& inner) {
    return std::string(static_cast<std::size_t>(levels), '\x91') + inner;  // fixarray of one element
}

TRawPeer::TRawPeer(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("raw peer could not connect");
}

TRawPeer::~TRawPeer() {
    if (fd_ >= 0) ::close(fd_);
}

bool TRawPeer::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<TRpcResponse> TRawPeer::Receive(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buf[4096];
    for (;;) {
        TRpcResponse r;
        if (reader_.NextResponse(r)) return r;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) return std::nullopt;
        reader_.Feed(buf, static_cast<std::size_t>(n));
    }
}

bool TRawPeer::ClosedByServer(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buf[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
        if (n < 0) return false;
    }
}

}  // namespace nettest
