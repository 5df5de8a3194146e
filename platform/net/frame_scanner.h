// TFrameScanner: finds where one MessagePack frame ends without decoding it,
// and checks every declared length, count and nesting level against the
// limits as soon as its header arrives, before the unpacker allocates
// anything for it. The codec hands a frame to msgpack only once the scanner
// has seen all of it.
//
// It also keeps the frame's decoded size: what the frame will take in memory
// once unpacked and turned into values. A byte on the wire can become an
// item of about 70 bytes (a nil in a list), so the frame limit alone does not
// bound memory; every item a container announces is charged when its header
// arrives, and every text its length.
#pragma once

#include "platform/net/codec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TFrameScanner {
public:
    // Memory charged for one item once decoded: its msgpack object and the
    // value it becomes (codec.cpp checks that this covers both).
    static constexpr std::size_t kDecodedItemBytes = 80;

    explicit TFrameScanner(const TRpcLimits& limits) : limits_(limits) {}

    // data/size: every byte held for the current frame, from its first byte
    // (earlier calls' bytes included). Returns the frame's length once it is
    // complete, 0 while more bytes are needed. Throws ERpcFrameError
    // (not in sync) on a byte MessagePack never uses or on a limit.
    std::size_t Scan(const char* data, std::size_t size);

    // Forget the frame: the next Scan starts a new one.
    void Reset();

    // Decoded size charged so far for the current frame.
    std::uint64_t Decoded() const { return decoded_; }

private:
    // One item was completed; true when that ended the frame.
    bool ItemDone();
    // Reads the header at pos_ if all of it is present; false to wait.
    bool Header(const unsigned char* p, std::size_t avail);
    void OpenContainer(std::uint64_t items, bool isMap);
    void Body(std::uint64_t length);
    void Charge(std::uint64_t bytes);

    const TRpcLimits& limits_;
    std::size_t pos_ = 0;        // bytes of the frame already accounted for
    std::uint64_t body_ = 0;     // bytes of a str/bin/ext body still to pass over
    std::uint64_t decoded_ = 0;  // see Decoded()
    bool done_ = false;
    std::vector<std::uint64_t> open_;  // items still due in each open container
};
