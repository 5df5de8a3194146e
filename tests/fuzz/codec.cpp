// Fuzz target of the wire codec: any bytes, fed whole and in pieces, to the
// request and response frame readers and to the one-shot value decoder. The
// only acceptable outcomes are a value or an ERpcFrameError; small limits
// make the limit paths reachable with short inputs.
#include "platform/net/codec.h"

#include <cstddef>
#include <cstdint>

namespace {

TRpcLimits SmallLimits() {
    TRpcLimits l;
    l.MaxFrame = 64 * 1024;
    l.MaxDepth = 16;
    l.MaxArray = 4096;
    l.MaxMap = 64;
    return l;
}

void Drain(const std::uint8_t* data, std::size_t size, std::size_t piece, bool requests, const TRpcLimits& limits) {
    TRpcFrameReader reader(limits);
    for (std::size_t at = 0; at < size; at += piece) {
        const std::size_t n = size - at < piece ? size - at : piece;
        reader.Feed(reinterpret_cast<const char*>(data + at), n);
        for (;;) {
            try {
                TRpcRequest req;
                TRpcResponse resp;
                const bool got = requests ? reader.NextRequest(req) : reader.NextResponse(resp);
                if (!got) break;
                // What was read must encode again and read back the same way.
                const std::string again = requests ? EncodeRequest(req) : EncodeResponse(resp);
                TRpcFrameReader check(limits);
                check.Feed(again.data(), again.size());
                TRpcRequest req2;
                TRpcResponse resp2;
                if (!(requests ? check.NextRequest(req2) : check.NextResponse(resp2))) __builtin_trap();
            } catch (const ERpcFrameError& e) {
                if (!e.InSync()) return;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TRpcLimits small = SmallLimits();
    static const TRpcLimits standard;
    const std::size_t piece = size > 0 ? 1 + data[0] % 7 : 1;
    Drain(data, size, size ? size : 1, true, standard);
    Drain(data, size, piece, true, small);
    Drain(data, size, size ? size : 1, false, small);
    try {
        DecodeValue(reinterpret_cast<const char*>(data), size, small);
    } catch (const ERpcFrameError&) {}
    return 0;
}
