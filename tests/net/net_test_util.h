// Helpers shared by the wire tests: a value rendered to one line of text (so
// a whole answer is compared in one assertion), hand-made MessagePack bytes,
// and a raw TCP peer that can send what no well-behaved client would.
#pragma once

#include "platform/net/codec.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace nettest {

// nil, true, 12, 1.5, "text", [a, b], packet{NAME:string(10), ...|row|row}
std::string Render(const TRpcValue& v);
std::string Render(const TRpcResponse& r);

// A packet of two fields of each kind the wire knows, with a null in every column.
TDataPacket SamplePacket();

// MessagePack headers written by hand, to declare lengths that never arrive.
std::string Str32Header(std::uint32_t length);
std::string Array32Header(std::uint32_t count);
std::string Map32Header(std::uint32_t count);
std::string Nested(int levels, const std::string& inner = std::string(1, '\xc0'));  // [[[...nil...]]]

class TRawPeer {
public:
    explicit TRawPeer(int port);
    ~TRawPeer();
    bool Send(const std::string& bytes);  // false when the server has closed
    // The next answer, or nullopt when the connection closed or nothing came in time.
    std::optional<TRpcResponse> Receive(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True when the server closes the connection within the timeout.
    bool ClosedByServer(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    int fd_ = -1;
    TRpcFrameReader reader_;
};

}  // namespace nettest
