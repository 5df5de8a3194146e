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
#include <string_view>
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

// One cell read in place: its kind and value; a text is a view into the
// packet, valid until the next write to it.
struct TCellRef {
    Variant::Kind Kind = Variant::Kind::Null;
    bool Bool = false;
    std::int64_t Int = 0;
    double Float = 0;
    std::string_view Text;

    bool IsNull() const { return Kind == Variant::Kind::Null; }
    Variant ToVariant() const;
    // As Variant::TryAsFloat, without building a Variant for numbers.
    bool TryAsFloat(double& out) const;
};

// Stored form of cells (what TRowRef reads): nil, bool, int, float 32/64 and
// str of MessagePack, one after the other. Skip and Read trust the bytes:
// only packets and the wire decoder, after its checks, write them.
namespace packetcell {
inline std::uint64_t Big(const char* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}
inline const char* Skip(const char* p) {
    const auto t = static_cast<unsigned char>(*p);
    if (t <= 0x7f || t >= 0xe0) return p + 1;
    if ((t & 0xe0) == 0xa0) return p + 1 + (t & 0x1f);
    switch (t) {
    case 0xca:
    case 0xce:
    case 0xd2: return p + 5;
    case 0xcb:
    case 0xcf:
    case 0xd3: return p + 9;
    case 0xcc:
    case 0xd0: return p + 2;
    case 0xcd:
    case 0xd1: return p + 3;
    case 0xd9: return p + 2 + Big(p + 1, 1);
    case 0xda: return p + 3 + Big(p + 1, 2);
    case 0xdb: return p + 5 + Big(p + 1, 4);
    default: return p + 1;  // nil, false, true
    }
}
const char* Read(const char* p, TCellRef& out);
void Append(std::string& out, const Variant& v);
void AppendNull(std::string& out);
void AppendText(std::string& out, std::string_view text);
void AppendFloat(std::string& out, double d);
}  // namespace packetcell

// One stored row, read in place (valid until the next write to the packet).
class TRowRef {
public:
    TRowRef() = default;
    TRowRef(const char* cells, std::size_t ncols, std::size_t size) : p_(cells), n_(ncols), size_(size) {}
    std::size_t ColumnCount() const { return n_; }
    // The stored cells, one after the other (MessagePack scalars).
    std::string_view Bytes() const { return std::string_view(p_, size_); }
    TCellRef Cell(std::size_t col) const {
        const char* p = p_;
        for (std::size_t c = 0; c < col; ++c) p = packetcell::Skip(p);
        TCellRef out;
        packetcell::Read(p, out);
        return out;
    }
    const char* Cells() const { return p_; }

private:
    const char* p_ = nullptr;
    std::size_t n_ = 0;
    std::size_t size_ = 0;
};

// Change-log mark of a row: how it differs from the data as last merged.
enum class TRowStatus : std::uint8_t { usUnmodified, usInserted, usModified };

class TDataPacket {
public:
    TDataPacket();
    explicit TDataPacket(std::vector<TPacketField> fields);

    const std::vector<TPacketField>& Fields() const;
    int FieldIndex(const std::string& name) const;  // case-insensitive; -1 when absent

    std::size_t RecordCount() const;
    Variant Value(std::size_t row, std::size_t col) const;
    TCellRef Cell(std::size_t row, std::size_t col) const;
    TPacketRow Row(std::size_t row) const;
    TRowRef RowAt(std::size_t row) const;

    // Sequential reading, one chunk of rows at a time (for scans of every row).
    std::size_t ChunkCount() const;
    std::size_t ChunkRows(std::size_t chunk) const;
    TRowRef ChunkRow(std::size_t chunk, std::size_t row) const;

    // Bytes held by the rows (cells, row index and change log), for the
    // memory figures.
    std::size_t StorageBytes() const;

    // Writers: each copies only the chunk it touches when it is shared.
    void AppendRow(TPacketRow row);  // row.size() must equal Fields().size()
    // Appends a row already in stored form (Fields().size() cells written by
    // packetcell::Append or checked by the wire decoder), unmodified.
    void AppendStoredRow(const char* cells, std::size_t size);
    // Appends every row of `other` (same fields; the caller checks), shared
    // chunks where possible.
    void AppendRows(const TDataPacket& other);
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
