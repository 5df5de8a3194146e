// Packet answers in pieces: the server's row writer and the client's reader
// of piece frames. The reader parses the frame's bytes itself and copies each
// checked row into packet storage as it is (cells are stored in their wire
// form), so a piece never becomes a tree of objects.
#include "platform/net/packet_stream.h"

#include "platform/data/text.h"
#include "platform/net/codec.h"

#include <cstring>
#include <limits>
#include <set>
#include <string_view>

namespace {

void PutBig(std::string& out, unsigned char tag, std::uint64_t v, int n) {
    out.push_back(static_cast<char>(tag));
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void PutArray(std::string& out, std::size_t n) {
    if (n < 16) out.push_back(static_cast<char>(0x90 | n));
    else if (n < 65536) PutBig(out, 0xdc, n, 2);
    else PutBig(out, 0xdd, n, 4);
}

std::size_t ArrayHeaderSize(std::size_t n) { return n < 16 ? 1 : n < 65536 ? 3 : 5; }

[[noreturn]] void Bad(const std::string& what) {
    throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: " + what + ".", true);
}

// Reads MessagePack headers off a whole frame; every read is bounds-checked.
class TCursor {
public:
    TCursor(const char* p, std::size_t n) : p_(p), end_(p + n) {}

    const char* Here() const { return p_; }
    unsigned char Byte() {
        Need(1);
        return static_cast<unsigned char>(*p_++);
    }
    std::uint64_t Big(int n) {
        Need(static_cast<std::size_t>(n));
        const std::uint64_t v = packetcell::Big(p_, n);
        p_ += n;
        return v;
    }
    std::size_t Array() {
        const unsigned char t = Byte();
        if ((t & 0xf0) == 0x90) return t & 0x0f;
        if (t == 0xdc) return Big(2);
        if (t == 0xdd) return Big(4);
        Bad("lista esperada no pedaço da resposta");
    }
    std::size_t Map() {
        const unsigned char t = Byte();
        if ((t & 0xf0) == 0x80) return t & 0x0f;
        if (t == 0xde) return Big(2);
        if (t == 0xdf) return Big(4);
        Bad("mapa esperado no pedaço da resposta");
    }
    bool TryStr(std::string_view& out) {
        Need(1);
        const auto t = static_cast<unsigned char>(*p_);
        std::size_t n;
        if ((t & 0xe0) == 0xa0) n = t & 0x1f, p_ += 1;
        else if (t == 0xd9) ++p_, n = Big(1);
        else if (t == 0xda) ++p_, n = Big(2);
        else if (t == 0xdb) ++p_, n = Big(4);
        else return false;
        Need(n);
        out = std::string_view(p_, n);
        p_ += n;
        return true;
    }
    std::string_view Str(const char* what) {
        std::string_view s;
        if (!TryStr(s)) Bad(what);
        return s;
    }
    // An unsigned integer of any width.
    bool TryUInt(std::uint64_t& out) {
        Need(1);
        const auto t = static_cast<unsigned char>(*p_);
        if (t <= 0x7f) return ++p_, out = t, true;
        if (t < 0xcc || t > 0xcf) return false;
        ++p_;
        out = Big(1 << (t - 0xcc));
        return true;
    }
    // One cell for a field of type `type`; false when it does not fit.
    bool Cell(TFieldType type) {
        Need(1);
        const auto t = static_cast<unsigned char>(*p_);
        if (t == 0xc0) return ++p_, true;
        const bool isInt = t <= 0x7f || t >= 0xe0 || (t >= 0xcc && t <= 0xd3);
        const bool isFloat = t == 0xca || t == 0xcb;
        switch (type) {
        case TFieldType::ftString: {
            std::string_view s;
            return TryStr(s);
        }
        case TFieldType::ftBoolean:
            if (t != 0xc2 && t != 0xc3) return false;
            return ++p_, true;
        case TFieldType::ftInteger:
            if (!isInt) return false;
            break;
        case TFieldType::ftFloat:
        case TFieldType::ftDateTime:
            if (!isInt && !isFloat) return false;
            break;
        }
        if (t == 0xcf) {
            Need(9);
            if (packetcell::Big(p_ + 1, 8) > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                Bad("inteiro fora do intervalo");
        }
        const char* next = packetcell::Skip(p_);
        Need(static_cast<std::size_t>(next - p_));
        p_ = next;
        return true;
    }
    bool AtEnd() const { return p_ == end_; }

private:
    void Need(std::size_t n) const {
        if (static_cast<std::size_t>(end_ - p_) < n) Bad("pedaço da resposta truncado");
    }
    const char* p_;
    const char* end_;
};

std::vector<TPacketField> ReadFields(TCursor& in) {
    const std::size_t n = in.Array();
    std::vector<TPacketField> out;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < n; ++i) {
        if (in.Array() != 3) Bad("campo do pedaço não é [nome, tipo, tamanho]");
        TPacketField f;
        f.Name = std::string(in.Str("campo do pedaço sem nome"));
        if (f.Name.empty() || !seen.insert(LowerCase(f.Name)).second) Bad("campo do pedaço sem nome ou repetido");
        if (!FieldTypeFromName(std::string(in.Str("tipo de campo inválido")), f.DataType))
            Bad("tipo desconhecido no campo " + f.Name);
        std::uint64_t size = 0;
        if (!in.TryUInt(size) || size > (1u << 20)) Bad("tamanho inválido no campo " + f.Name);
        f.Size = static_cast<int>(size);
        out.push_back(std::move(f));
    }
    return out;
}

}  // namespace

// ---- writing ------------------------------------------------------------------------------

TPacketStream::TPacketStream(std::vector<TPacketField> fields) : fields_(std::move(fields)), kept_(fields_) {
    header_.push_back(static_cast<char>(0x82));
    packetcell::AppendText(header_, "fields");
    PutArray(header_, fields_.size());
    for (const TPacketField& f : fields_) {
        header_.push_back(static_cast<char>(0x93));
        packetcell::AppendText(header_, f.Name);
        packetcell::AppendText(header_, FieldTypeName(f.DataType));
        if (f.Size >= 0 && f.Size <= 0x7f) header_.push_back(static_cast<char>(f.Size));
        else PutBig(header_, 0xce, static_cast<std::uint64_t>(f.Size), 4);
    }
    packetcell::AppendText(header_, "rows");
}

void TPacketStream::Bind(std::uint32_t msgid, TSend send, std::size_t batchBytes) {
    msgid_ = msgid;
    send_ = std::move(send);
    batch_ = batchBytes;
}

std::string& TPacketStream::BeginRow() {
    starts_.push_back(rows_.size());
    PutArray(rows_, fields_.size());
    return rows_;
}

void TPacketStream::EndRow() {
    ++held_;
    if (rows_.size() > peak_) peak_ = rows_.size();
    if (send_) {
        if (rows_.size() >= batch_) SendPiece();
        return;
    }
    // Unbound: the row goes into the packet TakePacket hands over.
    const std::size_t from = starts_.back() + ArrayHeaderSize(fields_.size());
    kept_.AppendStoredRow(rows_.data() + from, rows_.size() - from);
    rows_.clear();
    starts_.clear();
}

void TPacketStream::AppendRow(const TPacketRow& row) {
    std::string& out = BeginRow();
    for (const Variant& v : row) packetcell::Append(out, v);
    EndRow();
}

void TPacketStream::SendPiece() {
    std::string frame;
    frame.reserve(header_.size() + rows_.size() + 16);
    frame.push_back(static_cast<char>(0x93));
    frame.push_back(3);
    PutBig(frame, 0xce, msgid_, 4);
    frame += header_;
    PutBig(frame, 0xdd, held_, 4);
    frame += rows_;
    sent_ += held_;
    held_ = 0;
    rows_.clear();
    starts_.clear();
    ++pieces_;
    send_(frame);
}

TDataPacket TPacketStream::TakePacket() {
    TDataPacket p = std::move(kept_);
    kept_ = TDataPacket(fields_);
    const std::size_t head = ArrayHeaderSize(fields_.size());
    for (std::size_t i = 0; i < starts_.size(); ++i) {
        const std::size_t from = starts_[i] + head;
        const std::size_t to = i + 1 < starts_.size() ? starts_[i + 1] : rows_.size();
        p.AppendStoredRow(rows_.data() + from, to - from);
    }
    sent_ += held_;
    held_ = 0;
    rows_.clear();
    starts_.clear();
    return p;
}

// ---- reading ------------------------------------------------------------------------------

bool IsPieceFrame(const char* data, std::size_t size) {
    return size >= 2 && static_cast<unsigned char>(data[0]) == 0x93 && data[1] == 3;
}

std::uint32_t ReadPieceFrame(const char* data, std::size_t size, TDataPacket& into) {
    TCursor in(data, size);
    if (in.Array() != 3 || in.Byte() != 3) Bad("pedaço da resposta malformado");
    std::uint64_t msgid = 0;
    if (!in.TryUInt(msgid) || msgid > std::numeric_limits<std::uint32_t>::max())
        Bad("identificador de mensagem inválido");
    if (in.Map() != 2 || in.Str("pacote do pedaço sem \"fields\"") != "fields")
        Bad("pacote do pedaço deve começar por \"fields\"");
    std::vector<TPacketField> fields = ReadFields(in);
    if (in.Str("pacote do pedaço sem \"rows\"") != "rows") Bad("pacote do pedaço sem \"rows\"");
    if (into.Fields().empty() && into.RecordCount() == 0) into = TDataPacket(fields);
    else if (into.Fields() != fields) Bad("pedaços da resposta com campos diferentes");
    const std::size_t rows = in.Array();
    for (std::size_t r = 0; r < rows; ++r) {
        if (in.Array() != fields.size()) Bad("linha do pedaço com número errado de valores");
        const char* from = in.Here();
        for (const TPacketField& f : fields)
            if (!in.Cell(f.DataType)) Bad("valor de tipo errado no campo " + f.Name + " do pedaço");
        into.AppendStoredRow(from, static_cast<std::size_t>(in.Here() - from));
    }
    if (!in.AtEnd()) Bad("bytes a mais no pedaço da resposta");
    return static_cast<std::uint32_t>(msgid);
}
