// A data packet: the field list and every record of a client data set, as the
// `Data` property hands it out and as the application server sends and takes
// it. Storage is shared between copies until one side writes (copy on write),
// and it is kept in chunks of records so that a write copies only the chunk it
// touches and the small chunk index, never the whole data.
//
// Contract:
//  - copying a TDataPacket is O(number of chunks) at worst and never copies
//    records; two copies are independent: a write on one is never seen by the
//    other;
//  - every row has exactly Fields().size() cells; a cell may be null;
//  - a date-time cell holds a double of TDateTime days;
//  - a row of the wrong width or an index out of range raises EDatabaseError
//    (packets come from outside: never a crash).
#pragma once

#include "platform/data/variant.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class TFieldType { ftString, ftFloat, ftInteger, ftBoolean, ftDateTime };

// Wire names of the field types: "string", "float", "integer", "boolean",
// "datetime". FieldTypeFromName returns false for any other text.
const char* FieldTypeName(TFieldType t);
bool FieldTypeFromName(const std::string& name, TFieldType& out);

struct TPacketField {
    std::string Name;
    TFieldType DataType = TFieldType::ftString;
    int Size = 0;  // characters for strings, 0 otherwise
    friend bool operator==(const TPacketField&, const TPacketField&) = default;
};

using TPacketRow = std::vector<Variant>;

// Change-log mark of a row: how it differs from the data as last merged.
enum class TRowStatus : std::uint8_t { usUnmodified, usInserted, usModified };

class TDataPacket {
public:
    TDataPacket();
    explicit TDataPacket(std::vector<TPacketField> fields);

    const std::vector<TPacketField>& Fields() const;
    int FieldIndex(const std::string& name) const;  // case-insensitive; -1 when absent

    std::size_t RecordCount() const;
    const Variant& Value(std::size_t row, std::size_t col) const;
    TPacketRow Row(std::size_t row) const;
    // The row's cells, contiguous (Fields().size() of them); valid until the
    // next write to this packet.
    const Variant* RowData(std::size_t row) const;

    // Sequential reading, one chunk of rows at a time (for scans of every row):
    // the chunk's cells row after row, and its number of rows.
    std::size_t ChunkCount() const;
    const Variant* ChunkData(std::size_t chunk, std::size_t& rows) const;

    // Writers: each copies only the chunk it touches when it is shared.
    void AppendRow(TPacketRow row);                    // row.size() must equal Fields().size()
    void InsertRow(std::size_t before, TPacketRow row);
    void SetValue(std::size_t row, std::size_t col, Variant v);
    void DeleteRow(std::size_t row);
    void Clear();  // keeps the fields; also clears the change log
    // Appends a column, null in every row (O(rows)).
    void AddField(TPacketField field);

    // Change log: AppendRow/InsertRow add unmodified rows (a loaded packet);
    // the data set marks its own inserts and edits. Deleting a row that was
    // not inserted since the last merge counts as one change.
    TRowStatus RowStatus(std::size_t row) const;
    void SetRowStatus(std::size_t row, TRowStatus s);
    std::size_t ChangeCount() const;  // rows inserted or modified, plus rows deleted
    void MergeChangeLog();            // every row unmodified, no deletions

    // True when both share the very same storage (no copy has been made).
    bool SharesStorageWith(const TDataPacket& other) const;

    struct Impl;

private:
    std::shared_ptr<const Impl> impl_;
    Impl& mutableImpl();
};
