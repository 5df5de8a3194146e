// Storage of a data packet.
//
//   Impl  := fields, chunk index (shared_ptr<Chunk> per chunk, first-row table)
//   Chunk := cells row after row (ncols per row), one status per row
//
// Copies share Impl; the first write on a shared Impl clones it (the index,
// O(chunks)), and the first write on a shared chunk clones that chunk only.
#include "platform/data/packet.h"

#include "platform/data/errors.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr std::size_t kChunkRows = 1024;

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}
}  // namespace

namespace {
struct Chunk {
    std::vector<Variant> cells;
    std::vector<TRowStatus> status;
    std::size_t changed = 0;  // rows whose status is not unmodified
    std::size_t rows() const { return status.size(); }
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
        const std::size_t half = c.rows() / 2, n = ncols();
        auto tail = std::make_shared<Chunk>();
        tail->cells.assign(std::make_move_iterator(c.cells.begin() + static_cast<long>(half * n)),
                           std::make_move_iterator(c.cells.end()));
        tail->status.assign(c.status.begin() + static_cast<long>(half), c.status.end());
        c.cells.resize(half * n);
        c.status.resize(half);
        for (TRowStatus s : tail->status)
            if (s != TRowStatus::usUnmodified) ++tail->changed;
        c.changed -= tail->changed;
        chunks.insert(chunks.begin() + static_cast<long>(k) + 1, tail);
        starts.insert(starts.begin() + static_cast<long>(k) + 1, starts[k] + half);
    }
};

namespace {
const std::shared_ptr<const TDataPacket::Impl>& emptyImpl() {
    static const std::shared_ptr<const TDataPacket::Impl> e = std::make_shared<TDataPacket::Impl>();
    return e;
}

[[noreturn]] void badRow(std::size_t row, std::size_t count) {
    throw EDatabaseError("Registro " + std::to_string(row) + " fora do pacote de dados (" +
                         std::to_string(count) + " registros).");
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
        if (sameName(f[i].Name, name)) return static_cast<int>(i);
    return -1;
}

std::size_t TDataPacket::RecordCount() const { return impl_->count; }

const Variant* TDataPacket::RowData(std::size_t row) const {
    if (row >= impl_->count) badRow(row, impl_->count);
    std::size_t off = 0;
    const std::size_t k = impl_->locate(row, off);
    return impl_->chunks[k]->cells.data() + off * impl_->ncols();
}

const Variant& TDataPacket::Value(std::size_t row, std::size_t col) const {
    if (col >= impl_->ncols()) throw EDatabaseError("Coluna " + std::to_string(col) + " fora do pacote de dados.");
    return RowData(row)[col];
}

TPacketRow TDataPacket::Row(std::size_t row) const {
    const Variant* p = RowData(row);
    return TPacketRow(p, p + impl_->ncols());
}

std::size_t TDataPacket::ChunkCount() const { return impl_->chunks.size(); }

const Variant* TDataPacket::ChunkData(std::size_t chunk, std::size_t& rows) const {
    const Chunk& c = *impl_->chunks.at(chunk);
    rows = c.rows();
    return c.cells.data();
}

void TDataPacket::AppendRow(TPacketRow row) { InsertRow(impl_->count, std::move(row)); }

void TDataPacket::InsertRow(std::size_t before, TPacketRow row) {
    if (row.size() != impl_->ncols())
        throw EDatabaseError("Registro com " + std::to_string(row.size()) + " valores; o pacote tem " +
                             std::to_string(impl_->ncols()) + " campos.");
    if (before > impl_->count) badRow(before, impl_->count);
    Impl& im = mutableImpl();
    const std::size_t n = im.ncols();
    std::size_t k, off;
    if (im.chunks.empty() || (before == im.count && im.chunks.back()->rows() >= kChunkRows)) {
        im.chunks.push_back(std::make_shared<Chunk>());
        im.starts.push_back(im.count);
        k = im.chunks.size() - 1;
        off = 0;
    } else if (before == im.count) {
        k = im.chunks.size() - 1;
        off = im.chunks[k]->rows();
    } else {
        k = im.locate(before, off);
    }
    Chunk& c = im.mutableChunk(k);
    c.cells.insert(c.cells.begin() + static_cast<long>(off * n), std::make_move_iterator(row.begin()),
                   std::make_move_iterator(row.end()));
    c.status.insert(c.status.begin() + static_cast<long>(off), TRowStatus::usUnmodified);
    ++im.count;
    im.shiftStarts(k + 1, 1);
    im.splitIfLarge(k);
}

void TDataPacket::SetValue(std::size_t row, std::size_t col, Variant v) {
    if (row >= impl_->count) badRow(row, impl_->count);
    if (col >= impl_->ncols()) throw EDatabaseError("Coluna " + std::to_string(col) + " fora do pacote de dados.");
    Impl& im = mutableImpl();
    std::size_t off;
    const std::size_t k = im.locate(row, off);
    im.mutableChunk(k).cells[off * im.ncols() + col] = std::move(v);
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
    const std::size_t n = im.ncols();
    c.cells.erase(c.cells.begin() + static_cast<long>(off * n), c.cells.begin() + static_cast<long>((off + 1) * n));
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
    if (FieldIndex(field.Name) >= 0)
        throw EDatabaseError("Campo '" + field.Name + "' já existe no pacote de dados.");
    Impl& im = mutableImpl();
    const std::size_t n = im.ncols();
    for (std::size_t k = 0; k < im.chunks.size(); ++k) {
        Chunk& c = im.mutableChunk(k);
        std::vector<Variant> cells;
        cells.reserve(c.rows() * (n + 1));
        for (std::size_t r = 0; r < c.rows(); ++r) {
            for (std::size_t j = 0; j < n; ++j) cells.push_back(std::move(c.cells[r * n + j]));
            cells.emplace_back();
        }
        c.cells = std::move(cells);
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
