// The MessagePack-RPC codec of the application server wire: values, data
// packets, requests and responses (the grammar is at the top of codec.cpp and
// in docs/protocol.md).
//
// Contract:
//  - decoding validates everything and reports ERpcFrameError (an ERpcError),
//    never crashes or asserts, whatever the bytes;
//  - a declared length is checked against the limits before anything is
//    allocated for it, so a hostile length prefix costs nothing;
//  - encoding never fails for a value built through the TRpcValue and
//    TDataPacket API.
#pragma once

#include "platform/net/rpcvalue.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TRpcLimits {
    std::size_t MaxFrame = std::size_t{256} << 20;    // bytes of one frame
    std::size_t MaxDepth = 64;                        // nested arrays and maps
    std::size_t MaxArray = std::size_t{1} << 22;      // elements of one array
    std::size_t MaxMap = 4096;                        // pairs of one map
    std::size_t MaxDecoded = std::size_t{512} << 20;  // memory one frame may take once decoded
    std::size_t MaxAnswer = std::size_t{4} << 30;     // bytes of the pieces of one answer, together
};

struct TRpcRequest {
    std::uint32_t MsgId = 0;
    std::string Method;
    std::vector<TRpcValue> Params;
};

struct TRpcResponse {
    std::optional<std::uint32_t> MsgId;  // absent when the server could not read the request's
    bool Ok = true;
    std::string ErrorCode;     // when !Ok
    std::string ErrorMessage;  // when !Ok
    TRpcValue Value;           // when Ok
    std::map<int, TRpcValue> Out;
};

// A decoding failure. InSync tells whether the byte stream can still be
// followed (a well-formed frame of the wrong shape) or must be abandoned
// (bytes that are not MessagePack, a frame over a limit). MsgId is known when
// the frame got as far as carrying one.
class ERpcFrameError : public ERpcError {
public:
    ERpcFrameError(TErrorKind kind, const std::string& message, bool inSync,
                   std::optional<std::uint32_t> msgid = std::nullopt)
        : ERpcError(kind, message), inSync_(inSync), msgid_(msgid) {}
    ERpcFrameError(std::string code, const std::string& message, bool inSync,
                   std::optional<std::uint32_t> msgid = std::nullopt)
        : ERpcError(std::move(code), message), inSync_(inSync), msgid_(msgid) {}
    bool InSync() const { return inSync_; }
    std::optional<std::uint32_t> MsgId() const { return msgid_; }

private:
    bool inSync_;
    std::optional<std::uint32_t> msgid_;
};

std::string EncodeValue(const TRpcValue& value);
std::string EncodeRequest(const TRpcRequest& request);
std::string EncodeResponse(const TRpcResponse& response);

// Decodes exactly one value filling the whole buffer (a packet, an array, a
// scalar). Throws ERpcFrameError.
TRpcValue DecodeValue(const char* data, std::size_t size, const TRpcLimits& limits = {});

// Splits a byte stream into frames. Feed what the socket gave, then take
// frames until NextRequest/NextResponse returns false (more bytes needed).
// Both throw ERpcFrameError; after one with !InSync() the reader is spent.
class TRpcFrameReader {
public:
    explicit TRpcFrameReader(TRpcLimits limits = {});
    ~TRpcFrameReader();
    TRpcFrameReader(const TRpcFrameReader&) = delete;
    TRpcFrameReader& operator=(const TRpcFrameReader&) = delete;

    void Feed(const char* data, std::size_t size);
    bool NextRequest(TRpcRequest& out);
    bool NextResponse(TRpcResponse& out);

    // Bytes held that do not yet form a whole frame.
    std::size_t Pending() const;

    // Checks the bytes held against the limits (throws ERpcFrameError, not in
    // sync, like NextRequest); true when they hold a whole frame.
    bool FrameReady();

    // Memory the reader holds or is about to take: its buffer and the decoded
    // size of the frame at its head, as far as that frame has arrived.
    std::size_t Weight() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
