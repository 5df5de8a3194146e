// Storage of a data packet.
//
//   Impl  := fields, chunk index (shared_ptr<Chunk> per chunk, first-row table)
//   Chunk := the rows' cells packed one after the other (packetcell form),
//            the start of each row, one status per row
//
// Copies share Impl; the first write on a shared Impl clones it (the index,
// O(chunks)), and the first write on a shared chunk clones that chunk only.
#include "platform/data/packet.h"

#include "platform/data/errors.h"
#include "platform/data/format.h"
#include "platform/data/text.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kChunkRows = 1024;

void putBig(std::string& out, unsigned char tag, std::uint64_t v, int n) {
    char buf[9];
    buf[0] = static_cast<char>(tag);
    for (int i = 0; i < n; ++i) buf[1 + i] = static_cast<char>((v >> (8 * (n - 1 - i))) & 0xff);
    out.append(buf, static_cast<std::size_t>(n) + 1);
}
}  // namespace

// ---- cells ----------------------------------------------------------------------

const char* packetcell::Read(const char* p, TCellRef& out) {
    using K = Variant::Kind;
    const auto t = static_cast<unsigned char>(*p);
    auto text = [&](std::size_t head, std::size_t len) {
        out.Kind = K::String;
        out.Text = std::string_view(p + head, len);
        return p + head + len;
    };
    auto integer = [&](std::int64_t v, std::size_t size) {
        out.Kind = K::Integer;
        out.Int = v;
        return p + size;
    };
    if (t <= 0x7f) return integer(t, 1);
    if (t >= 0xe0) return integer(static_cast<std::int8_t>(t), 1);
    if ((t & 0xe0) == 0xa0) return text(1, t & 0x1f);
    switch (t) {
    case 0xc2:
    case 0xc3:
        out.Kind = K::Boolean;
        out.Bool = t == 0xc3;
        return p + 1;
    case 0xca: {
        const auto bits = static_cast<std::uint32_t>(Big(p + 1, 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        out.Kind = K::Float;
        out.Float = f;
        return p + 5;
    }
    case 0xcb: {
        const std::uint64_t bits = Big(p + 1, 8);
        std::memcpy(&out.Float, &bits, sizeof out.Float);
        out.Kind = K::Float;
        return p + 9;
    }
    case 0xcc: return integer(static_cast<std::int64_t>(Big(p + 1, 1)), 2);
    case 0xcd: return integer(static_cast<std::int64_t>(Big(p + 1, 2)), 3);
    case 0xce: return integer(static_cast<std::int64_t>(Big(p + 1, 4)), 5);
    case 0xcf: return integer(static_cast<std::int64_t>(Big(p + 1, 8)), 9);
    case 0xd0: return integer(static_cast<std::int8_t>(Big(p + 1, 1)), 2);
    case 0xd1: return integer(static_cast<std::int16_t>(Big(p + 1, 2)), 3);
    case 0xd2: return integer(static_cast<std::int32_t>(Big(p + 1, 4)), 5);
    case 0xd3: return integer(static_cast<std::int64_t>(Big(p + 1, 8)), 9);
    case 0xd9: return text(2, Big(p + 1, 1));
    case 0xda: return text(3, Big(p + 1, 2));
    case 0xdb: return text(5, Big(p + 1, 4));
    default: out.Kind = K::Null; return p + 1;
    }
}

void packetcell::Append(std::string& out, const Variant& v) {
    switch (v.kind()) {
    case Variant::Kind::Null: out.push_back(static_cast<char>(0xc0)); return;
    case Variant::Kind::Boolean: out.push_back(static_cast<char>(v.AsBoolean() ? 0xc3 : 0xc2)); return;
    case Variant::Kind::Integer: {
        const std::int64_t i = v.AsInteger();
        if (i >= -32 && i <= 127) out.push_back(static_cast<char>(static_cast<std::int8_t>(i)));
        else putBig(out, 0xd3, static_cast<std::uint64_t>(i), 8);
        return;
    }
    case Variant::Kind::Float: AppendFloat(out, v.AsFloat()); return;
    case Variant::Kind::String: AppendText(out, *v.string_if()); return;
    }
}

void packetcell::AppendNull(std::string& out) { out.push_back(static_cast<char>(0xc0)); }

void packetcell::AppendFloat(std::string& out, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    putBig(out, 0xcb, bits, 8);
}

void packetcell::AppendText(std::string& out, std::string_view s) {
    const std::size_t n = s.size();
    if (n < 32) out.push_back(static_cast<char>(0xa0 | n));
    else if (n < 256) putBig(out, 0xd9, n, 1);
    else if (n < 65536) putBig(out, 0xda, n, 2);
    else if (n <= 0xffffffffu) putBig(out, 0xdb, n, 4);
    else throw EDatabaseError("Texto grande demais para o pacote de dados.");
    out.append(s);
}

Variant TCellRef::ToVariant() const {
    switch (Kind) {
    case Variant::Kind::Null: return Variant();
    case Variant::Kind::Boolean: return Variant(Bool);
    case Variant::Kind::Integer: return Variant(Int);
    case Variant::Kind::Float: return Variant(Float);
    case Variant::Kind::String: return Variant(std::string(Text));
    }
    return Variant();
}

bool TCellRef::TryAsFloat(double& out) const {
    switch (Kind) {
    case Variant::Kind::Null: return false;
    case Variant::Kind::Boolean: out = Bool ? 1.0 : 0.0; return true;
    case Variant::Kind::Integer: out = static_cast<double>(Int); return true;
    case Variant::Kind::Float: out = Float; return true;
    case Variant::Kind::String: return TryStrToFloat(Trim(Text), out);
    }
    return false;
}

// ---- chunks ----------------------------------------------------------------------

namespace {
struct Chunk {
    std::string bytes;
    std::vector<std::size_t> offs;  // where each row starts in bytes
    std::vector<TRowStatus> status;
    std::size_t changed = 0;  // rows whose status is not unmodified
    std::size_t rows() const { return offs.size(); }
    std::size_t end(std::size_t r) const { return r + 1 < offs.size() ? offs[r + 1] : bytes.size(); }
    void shiftFrom(std::size_t r, long delta) {
        for (std::size_t j = r; j < offs.size(); ++j)
            offs[j] = static_cast<std::size_t>(static_cast<long>(offs[j]) + delta);
    }
    // Done growing by appends: give back the slack of the last doubling.
    void settle() {
        bytes.shrink_to_fit();
        offs.shrink_to_fit();
        status.shrink_to_fit();
    }
};
}  // namespace

struct TDataPacket::Impl {
    std::vector<TPacketField> fields;
    std::vector<std::shared_ptr<Chunk>> chunks;
    std::vector<std::size_t> starts;  // first row of each chunk
    std::size_t count = 0;
    std::size_t changed = 0;
    std::size_t deleted = 0;

    std::size_t ncols() const { return fields.size(); }

    // Chunk holding `row` and the row's offset in it.
    std::size_t locate(std::size_t row, std::size_t& offset) const {
        auto it = std::upper_bound(starts.begin(), starts.end(), row);
        std::size_t k = static_cast<std::size_t>(it - starts.begin()) - 1;
        offset = row - starts[k];
        return k;
    }
    Chunk& mutableChunk(std::size_t k) {
        if (chunks[k].use_count() != 1) chunks[k] = std::make_shared<Chunk>(*chunks[k]);
        return *chunks[k];
    }
    void shiftStarts(std::size_t fromChunk, long delta) {
        for (std::size_t j = fromChunk; j < starts.size(); ++j)
            starts[j] = static_cast<std::size_t>(static_cast<long>(starts[j]) + delta);
    }
    void splitIfLarge(std::size_t k) {
        Chunk& c = *chunks[k];
        if (c.rows() <= 2 * kChunkRows) return;
        const std::size_t half = c.rows() / 2, cut = c.offs[half];
        auto tail = std::make_shared<Chunk>();
        tail->bytes.assign(c.bytes, cut);
        tail->offs.assign(c.offs.begin() + static_cast<long>(half), c.offs.end());
        for (std::size_t& o : tail->offs) o -= cut;
        tail->status.assign(c.status.begin() + static_cast<long>(half), c.status.end());
        c.bytes.resize(cut);
        c.offs.resize(half);
        c.status.resize(half);
        c.settle();
        for (TRowStatus s : tail->status)
            if (s != TRowStatus::usUnmodified) ++tail->changed;
        c.changed -= tail->changed;
        chunks.insert(chunks.begin() + static_cast<long>(k) + 1, tail);
        starts.insert(starts.begin() + static_cast<long>(k) + 1, starts[k] + half);
    }
    void insertStored(std::size_t before, const char* cells, std::size_t size) {
        std::size_t k, off;
        if (chunks.empty() || (before == count && chunks.back()->rows() >= kChunkRows)) {
            auto c = std::make_shared<Chunk>();
            // Rows of a load are alike: room for a chunk of rows like this one.
            c->bytes.reserve(size * kChunkRows + size * kChunkRows / 4);
            c->offs.reserve(kChunkRows);
            c->status.reserve(kChunkRows);
            chunks.push_back(std::move(c));
            starts.push_back(count);
            k = chunks.size() - 1;
            off = 0;
        } else if (before == count) {
            k = chunks.size() - 1;
            off = chunks[k]->rows();
        } else {
            k = locate(before, off);
        }
        Chunk& c = mutableChunk(k);
        if (off == c.rows()) {
            c.offs.push_back(c.bytes.size());
            c.bytes.append(cells, size);
            c.status.push_back(TRowStatus::usUnmodified);
            if (c.rows() == kChunkRows && k + 1 == chunks.size()) c.settle();
        } else {
            const std::size_t pos = c.offs[off];
            c.bytes.insert(pos, cells, size);
            c.offs.insert(c.offs.begin() + static_cast<long>(off), pos);
            c.shiftFrom(off + 1, static_cast<long>(size));
            c.status.insert(c.status.begin() + static_cast<long>(off), TRowStatus::usUnmodified);
        }
        ++count;
        shiftStarts(k + 1, 1);
        splitIfLarge(k);
    }
};

namespace {
const std::shared_ptr<const TDataPacket::Impl>& emptyImpl() {
    static const std::shared_ptr<const TDataPacket::Impl> e = std::make_shared<TDataPacket::Impl>();
    return e;
}

[[noreturn]] void badRow(std::size_t row, std::size_t count) {
    throw EDatabaseError("Registro " + std::to_string(row) + " fora do pacote de dados (" + std::to_string(count) +
                         " registros).");
}

[[noreturn]] void badColumn(std::size_t col) {
    throw EDatabaseError("Coluna " + std::to_string(col) + " fora do pacote de dados.");
}
}  // namespace

const char* FieldTypeName(TFieldType t) {
    switch (t) {
    case TFieldType::ftString: return "string";
    case TFieldType::ftFloat: return "float";
    case TFieldType::ftInteger: return "integer";
    case TFieldType::ftBoolean: return "boolean";
    case TFieldType::ftDateTime: return "datetime";
    }
    return "string";
}

bool FieldTypeFromName(const std::string& name, TFieldType& out) {
    static const TFieldType all[] = {TFieldType::ftString, TFieldType::ftFloat, TFieldType::ftInteger,
                                     TFieldType::ftBoolean, TFieldType::ftDateTime};
    for (TFieldType t : all)
        if (name == FieldTypeName(t)) {
            out = t;
            return true;
        }
    return false;
}

TDataPacket::TDataPacket() : impl_(emptyImpl()) {}

TDataPacket::TDataPacket(std::vector<TPacketField> fields) {
    auto impl = std::make_shared<Impl>();
    impl->fields = std::move(fields);
    impl_ = std::move(impl);
}

TDataPacket::Impl& TDataPacket::mutableImpl() {
    if (impl_.use_count() != 1) impl_ = std::make_shared<Impl>(*impl_);
    return const_cast<Impl&>(*impl_);
}

const std::vector<TPacketField>& TDataPacket::Fields() const { return impl_->fields; }

int TDataPacket::FieldIndex(const std::string& name) const {
    const auto& f = impl_->fields;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (SameText(f[i].Name, name)) return static_cast<int>(i);
    return -1;
}

std::size_t TDataPacket::RecordCount() const { return impl_->count; }

TRowRef TDataPacket::RowAt(std::size_t row) const {
    if (row >= impl_->count) badRow(row, impl_->count);
    std::size_t off = 0;
    const std::size_t k = impl_->locate(row, off);
    const Chunk& c = *impl_->chunks[k];
    return TRowRef(c.bytes.data() + c.offs[off], impl_->ncols(), c.end(off) - c.offs[off]);
}

TCellRef TDataPacket::Cell(std::size_t row, std::size_t col) const {
    if (col >= impl_->ncols()) badColumn(col);
    return RowAt(row).Cell(col);
}

Variant TDataPacket::Value(std::size_t row, std::size_t col) const { return Cell(row, col).ToVariant(); }

TPacketRow TDataPacket::Row(std::size_t row) const {
    const char* p = RowAt(row).Cells();
    TPacketRow out(impl_->ncols());
    for (Variant& v : out) {
        TCellRef c;
        p = packetcell::Read(p, c);
        v = c.ToVariant();
    }
    return out;
}

std::size_t TDataPacket::ChunkCount() const { return impl_->chunks.size(); }

std::size_t TDataPacket::ChunkRows(std::size_t chunk) const { return impl_->chunks.at(chunk)->rows(); }

TRowRef TDataPacket::ChunkRow(std::size_t chunk, std::size_t row) const {
    const Chunk& c = *impl_->chunks.at(chunk);
    return TRowRef(c.bytes.data() + c.offs.at(row), impl_->ncols(), c.end(row) - c.offs[row]);
}

std::size_t TDataPacket::StorageBytes() const {
    std::size_t n = sizeof(Impl) + impl_->chunks.capacity() * (sizeof(std::shared_ptr<Chunk>) + sizeof(std::size_t));
    for (const auto& c : impl_->chunks)
        n += sizeof(Chunk) + 16 + c->bytes.capacity() + c->offs.capacity() * sizeof(std::size_t) + c->status.capacity();
    return n;
}

void TDataPacket::AppendRow(TPacketRow row) { InsertRow(impl_->count, std::move(row)); }

void TDataPacket::AppendStoredRow(const char* cells, std::size_t size) {
    mutableImpl().insertStored(impl_->count, cells, size);
}

void TDataPacket::AppendRows(const TDataPacket& other) {
    if (other.impl_->count == 0) return;
    Impl& im = mutableImpl();
    for (const auto& c : other.impl_->chunks) {
        im.chunks.push_back(c);
        im.starts.push_back(im.count);
        im.count += c->rows();
        im.changed += c->changed;
    }
}

void TDataPacket::InsertRow(std::size_t before, TPacketRow row) {
    if (row.size() != impl_->ncols())
        throw EDatabaseError("Registro com " + std::to_string(row.size()) + " valores; o pacote tem " +
                             std::to_string(impl_->ncols()) + " campos.");
    if (before > impl_->count) badRow(before, impl_->count);
    thread_local std::string cells;
    cells.clear();
    for (const Variant& v : row) packetcell::Append(cells, v);
    mutableImpl().insertStored(before, cells.data(), cells.size());
}

void TDataPacket::SetValue(std::size_t row, std::size_t col, Variant v) {
    if (row >= impl_->count) badRow(row, impl_->count);
    if (col >= impl_->ncols()) badColumn(col);
    std::string cell;
    packetcell::Append(cell, v);
    Impl& im = mutableImpl();
    std::size_t off;
    const std::size_t k = im.locate(row, off);
    Chunk& c = im.mutableChunk(k);
    const char* base = c.bytes.data();
    const char* p = base + c.offs[off];
    for (std::size_t j = 0; j < col; ++j) p = packetcell::Skip(p);
    const std::size_t at = static_cast<std::size_t>(p - base);
    const std::size_t old = static_cast<std::size_t>(packetcell::Skip(p) - p);
    c.bytes.replace(at, old, cell);
    c.shiftFrom(off + 1, static_cast<long>(cell.size()) - static_cast<long>(old));
}

void TDataPacket::DeleteRow(std::size_t row) {
    if (row >= impl_->count) badRow(row, impl_->count);
    Impl& im = mutableImpl();
    std::size_t off;
    const std::size_t k = im.locate(row, off);
    Chunk& c = im.mutableChunk(k);
    const TRowStatus st = c.status[off];
    if (st != TRowStatus::usUnmodified) {
        --c.changed;
        --im.changed;
    }
    if (st != TRowStatus::usInserted) ++im.deleted;
    const std::size_t from = c.offs[off], len = c.end(off) - from;
    c.bytes.erase(from, len);
    c.offs.erase(c.offs.begin() + static_cast<long>(off));
    c.shiftFrom(off, -static_cast<long>(len));
    c.status.erase(c.status.begin() + static_cast<long>(off));
    --im.count;
    im.shiftStarts(k + 1, -1);
    if (c.rows() == 0) {
        im.chunks.erase(im.chunks.begin() + static_cast<long>(k));
        im.starts.erase(im.starts.begin() + static_cast<long>(k));
    }
}

void TDataPacket::Clear() {
    auto impl = std::make_shared<Impl>();
    impl->fields = impl_->fields;
    impl_ = std::move(impl);
}

void TDataPacket::AddField(TPacketField field) {
    if (FieldIndex(field.Name) >= 0) throw EDatabaseError("Campo '" + field.Name + "' já existe no pacote de dados.");
    Impl& im = mutableImpl();
    for (std::size_t k = 0; k < im.chunks.size(); ++k) {
        Chunk& c = im.mutableChunk(k);
        std::string bytes;
        bytes.reserve(c.bytes.size() + c.rows());
        std::vector<std::size_t> offs(c.rows());
        std::size_t from = 0;
        for (std::size_t r = 0; r < c.rows(); ++r) {
            const std::size_t to = r + 1 < c.rows() ? c.offs[r + 1] : c.bytes.size();
            offs[r] = bytes.size();
            bytes.append(c.bytes, from, to - from);
            bytes.push_back(static_cast<char>(0xc0));
            from = to;
        }
        c.bytes = std::move(bytes);
        c.offs = std::move(offs);
    }
    im.fields.push_back(std::move(field));
}

TRowStatus TDataPacket::RowStatus(std::size_t row) const {
    if (row >= impl_->count) badRow(row, impl_->count);
    std::size_t off;
    const std::size_t k = impl_->locate(row, off);
    return impl_->chunks[k]->status[off];
}

void TDataPacket::SetRowStatus(std::size_t row, TRowStatus s) {
    if (row >= impl_->count) badRow(row, impl_->count);
    if (RowStatus(row) == s) return;
    Impl& im = mutableImpl();
    std::size_t off;
    const std::size_t k = im.locate(row, off);
    Chunk& c = im.mutableChunk(k);
    const bool was = c.status[off] != TRowStatus::usUnmodified, now = s != TRowStatus::usUnmodified;
    c.status[off] = s;
    if (was && !now) {
        --c.changed;
        --im.changed;
    } else if (!was && now) {
        ++c.changed;
        ++im.changed;
    }
}

std::size_t TDataPacket::ChangeCount() const { return impl_->changed + impl_->deleted; }

void TDataPacket::MergeChangeLog() {
    if (ChangeCount() == 0) return;
    Impl& im = mutableImpl();
    for (std::size_t k = 0; k < im.chunks.size(); ++k) {
        if (im.chunks[k]->changed == 0) continue;
        Chunk& c = im.mutableChunk(k);
        std::fill(c.status.begin(), c.status.end(), TRowStatus::usUnmodified);
        c.changed = 0;
    }
    im.changed = 0;
    im.deleted = 0;
}

bool TDataPacket::SharesStorageWith(const TDataPacket& other) const { return impl_ == other.impl_; }
