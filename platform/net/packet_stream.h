// A packet answer written a row at a time and sent in pieces, so that neither
// side ever holds a large answer whole in one frame (docs/protocol.md, "Large
// answers"):
//
//   piece    = [3, msgid, packet]    rows of the answer's packet, in order
//   response = [1, msgid, nil, [packet, out]]   its rows follow the pieces'
//
// The server writes rows into a TPacketStream; each time the rows held pass
// the batch size they go out as one piece. The client's frame reader gathers
// the pieces of its call straight into packet storage and hands the whole
// packet over with the response (TRpcFrameReader::NextResponse).
#pragma once

#include "platform/data/packet.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TPacketStream {
public:
    using TSend = std::function<void(const std::string& frame)>;
    static constexpr std::size_t kBatchBytes = std::size_t{1} << 20;

    explicit TPacketStream(std::vector<TPacketField> fields);

    // Pieces go out through send as batches fill; unbound, every row is held.
    void Bind(std::uint32_t msgid, TSend send, std::size_t batchBytes = kBatchBytes);

    const std::vector<TPacketField>& Fields() const { return fields_; }

    // A row: append exactly Fields().size() cells (packetcell::Append...)
    // to what BeginRow returns, then EndRow.
    std::string& BeginRow();
    void EndRow();
    void AppendRow(const TPacketRow& row);

    std::size_t RowCount() const { return sent_ + held_; }
    std::size_t PiecesSent() const { return pieces_; }
    // Largest number of row bytes held at once (the stream's memory).
    std::size_t PeakHeldBytes() const { return peak_; }

    // The rows still held, as a packet; the stream is empty afterwards.
    TDataPacket TakePacket();

private:
    void SendPiece();

    std::vector<TPacketField> fields_;
    TDataPacket kept_;                 // rows of an unbound stream, straight into storage
    std::string header_;               // fields part of a packet, encoded once
    std::string rows_;                 // held rows, each an array header and its cells
    std::vector<std::size_t> starts_;  // where each held row's cells start
    std::size_t held_ = 0, sent_ = 0, pieces_ = 0, peak_ = 0;
    std::uint32_t msgid_ = 0;
    TSend send_;
    std::size_t batch_ = kBatchBytes;
};

// True when the frame at data (whole, checked by the frame scanner) is a
// piece.
bool IsPieceFrame(const char* data, std::size_t size);

// Reads a piece frame into `into`: its rows are appended; an `into` without
// fields takes the piece's fields, otherwise they must be the same. Throws
// ERpcFrameError (in sync) for a malformed piece. Returns the piece's msgid.
std::uint32_t ReadPieceFrame(const char* data, std::size_t size, TDataPacket& into);
