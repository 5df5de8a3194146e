// Wire grammar (MessagePack; "|" alternatives, "*" repetition):
//
//   request   = [0, msgid, method, params]          msgid: uint32; method: str
//   response  = [1, msgid | nil, nil, [value, out]]  success
//             | [1, msgid | nil, error, nil]         failure
//   error     = {"code": str, "message": str}
//   out       = {index: value, *}                    index: 0-based int of a by-reference argument
//   params    = [value, *]
//   value     = nil | bool | int | float | str | packet | [value, *]
//   packet    = {"fields": [field, *], "rows": [row, *]}
//   field     = [name: str, type: "string" | "float" | "integer" | "boolean" | "datetime", size: uint]
//   row       = [cell, *]                            exactly one cell per field
//   cell      = nil | str (string) | int | float (float, datetime) | int (integer) | bool (boolean)
//
// A date is a float of TDateTime days. Limits (TRpcLimits): bytes of one frame,
// nesting of arrays and maps counted from the frame's outermost container,
// elements of one array and pairs of one map. Every declared length is checked
// by the unpacker before it allocates anything for it.
#include "platform/net/codec.h"

#include "platform/data/text.h"
#include "platform/net/frame_scanner.h"
#include "platform/net/packet_stream.h"

#include <msgpack.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>

namespace {

// ---------------------------------------------------------------- encoding

struct TStringSink {
    std::string& out;
    void write(const char* p, std::size_t n) { out.append(p, n); }
};
// msgpack's pack_double writes a whole double as an integer; the wire keeps
// doubles as float 64 so that a date or an amount comes back as a double.
class TPacker : public msgpack::packer<TStringSink> {
public:
    explicit TPacker(TStringSink& sink) : msgpack::packer<TStringSink>(sink), sink_(sink) {}
    void PackDouble(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        char buf[9];
        buf[0] = static_cast<char>(0xcb);
        for (int i = 0; i < 8; ++i) buf[1 + i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xff);
        sink_.write(buf, sizeof buf);
    }
    void Raw(const char* p, std::size_t n) { sink_.write(p, n); }

private:
    TStringSink& sink_;
};

void PackStr(TPacker& pk, const std::string& s) {
    pk.pack_str(static_cast<std::uint32_t>(s.size()));
    pk.pack_str_body(s.data(), static_cast<std::uint32_t>(s.size()));
}

void PackVariant(TPacker& pk, const Variant& v) {
    switch (v.kind()) {
    case Variant::Kind::Null: pk.pack_nil(); break;
    case Variant::Kind::Boolean: v.AsBoolean() ? pk.pack_true() : pk.pack_false(); break;
    case Variant::Kind::Integer: pk.pack_int64(v.AsInteger()); break;
    case Variant::Kind::Float: pk.PackDouble(v.AsFloat()); break;
    case Variant::Kind::String: PackStr(pk, *v.string_if()); break;
    }
}

void PackPacket(TPacker& pk, const TDataPacket& p) {
    const auto& fields = p.Fields();
    pk.pack_map(2);
    PackStr(pk, "fields");
    pk.pack_array(static_cast<std::uint32_t>(fields.size()));
    for (const auto& f : fields) {
        pk.pack_array(3);
        PackStr(pk, f.Name);
        PackStr(pk, FieldTypeName(f.DataType));
        pk.pack_int64(f.Size);
    }
    PackStr(pk, "rows");
    const std::size_t count = p.RecordCount();
    pk.pack_array(static_cast<std::uint32_t>(count));
    // Stored rows are MessagePack cells already: each goes out as it is.
    for (std::size_t k = 0; k < p.ChunkCount(); ++k)
        for (std::size_t r = 0, n = p.ChunkRows(k); r < n; ++r) {
            pk.pack_array(static_cast<std::uint32_t>(fields.size()));
            const std::string_view cells = p.ChunkRow(k, r).Bytes();
            pk.Raw(cells.data(), cells.size());
        }
    (void)count;
}

void PackValue(TPacker& pk, const TRpcValue& v) {
    if (v.IsScalar()) {
        PackVariant(pk, v.Scalar());
    } else if (v.IsPacket()) {
        PackPacket(pk, v.Packet());
    } else {
        const auto& items = v.Items();
        pk.pack_array(static_cast<std::uint32_t>(items.size()));
        for (const auto& item : items) PackValue(pk, item);
    }
}

// ---------------------------------------------------------------- decoding

[[noreturn]] void Bad(const std::string& what) {
    throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: " + what + ".", true);
}

[[noreturn]] void TooDeep(std::size_t limit) {
    throw ERpcFrameError(TErrorKind::Limite,
                         "Quadro com aninhamento acima do limite de " + std::to_string(limit) + " níveis.", true);
}

std::string Str(const msgpack::object& o) { return std::string(o.via.str.ptr, o.via.str.size); }

bool IsStr(const msgpack::object& o, const char* text) {
    return o.type == msgpack::type::STR && o.via.str.size == std::strlen(text) &&
           std::memcmp(o.via.str.ptr, text, o.via.str.size) == 0;
}

bool IsInt(const msgpack::object& o) {
    return o.type == msgpack::type::POSITIVE_INTEGER || o.type == msgpack::type::NEGATIVE_INTEGER;
}

bool IsFloat(const msgpack::object& o) { return o.type == msgpack::type::FLOAT32 || o.type == msgpack::type::FLOAT64; }

// A scalar cell or argument; false for containers, bin and ext.
bool ToScalar(const msgpack::object& o, Variant& out) {
    switch (o.type) {
    case msgpack::type::NIL: out = Variant(); return true;
    case msgpack::type::BOOLEAN: out = Variant(o.via.boolean); return true;
    case msgpack::type::POSITIVE_INTEGER:
        if (o.via.u64 > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            Bad("inteiro fora do intervalo");
        out = Variant(static_cast<std::int64_t>(o.via.u64));
        return true;
    case msgpack::type::NEGATIVE_INTEGER: out = Variant(static_cast<std::int64_t>(o.via.i64)); return true;
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64: out = Variant(o.via.f64); return true;
    case msgpack::type::STR: out = Variant(Str(o)); return true;
    default: return false;
    }
}

bool CellFits(TFieldType t, const msgpack::object& o) {
    if (o.type == msgpack::type::NIL) return true;
    switch (t) {
    case TFieldType::ftString: return o.type == msgpack::type::STR;
    case TFieldType::ftInteger: return IsInt(o);
    case TFieldType::ftBoolean: return o.type == msgpack::type::BOOLEAN;
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime: return IsInt(o) || IsFloat(o);
    }
    return false;
}

class TDecoder {
public:
    explicit TDecoder(const TRpcLimits& limits) : limits_(limits) {}

    // depth: containers already open around o.
    TRpcValue Value(const msgpack::object& o, std::size_t depth) const {
        Variant scalar;
        if (ToScalar(o, scalar)) return TRpcValue(std::move(scalar));
        if (depth + 1 > limits_.MaxDepth) TooDeep(limits_.MaxDepth);
        if (o.type == msgpack::type::MAP) return TRpcValue(Packet(o, depth + 1));
        if (o.type != msgpack::type::ARRAY) Bad("tipo de valor não suportado");
        TRpcValue::Array items;
        items.reserve(o.via.array.size);
        for (std::uint32_t i = 0; i < o.via.array.size; ++i) items.push_back(Value(o.via.array.ptr[i], depth + 1));
        return TRpcValue(std::move(items));
    }

    // The packet map sits at level `level`; its lists one deeper, their entries two.
    TDataPacket Packet(const msgpack::object& o, std::size_t level) const {
        const msgpack::object* fields = nullptr;
        const msgpack::object* rows = nullptr;
        for (std::uint32_t i = 0; i < o.via.map.size; ++i) {
            const auto& kv = o.via.map.ptr[i];
            if (IsStr(kv.key, "fields") && !fields) fields = &kv.val;
            else if (IsStr(kv.key, "rows") && !rows) rows = &kv.val;
            else Bad("pacote de dados com chave inesperada");
        }
        if (!fields || !rows) Bad("pacote de dados sem \"fields\" ou \"rows\"");
        if (fields->type != msgpack::type::ARRAY) Bad("\"fields\" do pacote não é uma lista");
        if (rows->type != msgpack::type::ARRAY) Bad("\"rows\" do pacote não é uma lista");
        if (level + 2 > limits_.MaxDepth) TooDeep(limits_.MaxDepth);  // lists and their entries

        TDataPacket packet(Fields(*fields));
        const auto& defs = packet.Fields();
        for (std::uint32_t r = 0; r < rows->via.array.size; ++r) packet.AppendRow(Row(rows->via.array.ptr[r], defs, r));
        return packet;
    }

private:
    static std::vector<TPacketField> Fields(const msgpack::object& list) {
        std::vector<TPacketField> out;
        std::set<std::string> seen;
        out.reserve(list.via.array.size);
        for (std::uint32_t i = 0; i < list.via.array.size; ++i) {
            const auto& f = list.via.array.ptr[i];
            const std::string where = "campo " + std::to_string(i) + " do pacote";
            if (f.type != msgpack::type::ARRAY || f.via.array.size != 3) Bad(where + " não é [nome, tipo, tamanho]");
            const auto& name = f.via.array.ptr[0];
            const auto& type = f.via.array.ptr[1];
            const auto& size = f.via.array.ptr[2];
            if (name.type != msgpack::type::STR || name.via.str.size == 0) Bad(where + " sem nome");
            TPacketField def;
            def.Name = Str(name);
            if (!seen.insert(LowerCase(def.Name)).second) Bad("campo repetido no pacote: " + def.Name);
            if (type.type != msgpack::type::STR || !FieldTypeFromName(Str(type), def.DataType))
                Bad("tipo desconhecido no campo " + def.Name);
            if (size.type != msgpack::type::POSITIVE_INTEGER || size.via.u64 > 1u << 20)
                Bad("tamanho inválido no campo " + def.Name);
            def.Size = static_cast<int>(size.via.u64);
            out.push_back(std::move(def));
        }
        return out;
    }

    static TPacketRow Row(const msgpack::object& o, const std::vector<TPacketField>& defs, std::uint32_t r) {
        if (o.type != msgpack::type::ARRAY) Bad("linha " + std::to_string(r) + " do pacote não é uma lista");
        if (o.via.array.size != defs.size())
            Bad("linha " + std::to_string(r) + " do pacote com " + std::to_string(o.via.array.size) + " valores para " +
                std::to_string(defs.size()) + " campos");
        TPacketRow row(defs.size());
        for (std::size_t c = 0; c < defs.size(); ++c) {
            const auto& cell = o.via.array.ptr[c];
            if (!CellFits(defs[c].DataType, cell))
                Bad("valor de tipo errado no campo " + defs[c].Name + " da linha " + std::to_string(r));
            ToScalar(cell, row[c]);
        }
        return row;
    }

    const TRpcLimits& limits_;
};

std::uint32_t MsgId(const msgpack::object& o) {
    if (o.type != msgpack::type::POSITIVE_INTEGER || o.via.u64 > std::numeric_limits<std::uint32_t>::max())
        Bad("identificador de mensagem inválido");
    return static_cast<std::uint32_t>(o.via.u64);
}

const msgpack::object* Envelope(const msgpack::object& o, std::uint64_t kind) {
    if (o.type != msgpack::type::ARRAY) Bad("a mensagem não é uma lista");
    const auto& a = o.via.array;
    if (a.size == 0 || a.ptr[0].type != msgpack::type::POSITIVE_INTEGER) Bad("mensagem sem tipo");
    if (a.ptr[0].via.u64 != kind) {
        if (kind == 0) Bad(a.ptr[0].via.u64 == 2 ? "notificações não são aceitas" : "a mensagem não é uma requisição");
        Bad("a mensagem não é uma resposta");
    }
    if (a.size != 4) Bad("a mensagem deve ter 4 elementos");
    return a.ptr;
}

// Re-throws a failure inside a frame that carried a msgid, so the answer can name it.
template <class F> auto WithMsgId(std::uint32_t msgid, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const ERpcFrameError& e) {
        throw ERpcFrameError(e.Code(), e.what(), e.InSync(), msgid);
    }
}

TRpcRequest ParseRequest(const msgpack::object& o, const TRpcLimits& limits) {
    const msgpack::object* e = Envelope(o, 0);
    TRpcRequest req;
    req.MsgId = MsgId(e[1]);
    WithMsgId(req.MsgId, [&] {
        if (e[2].type != msgpack::type::STR || e[2].via.str.size == 0 || e[2].via.str.size > 256)
            Bad("nome de método inválido");
        req.Method = Str(e[2]);
        if (e[3].type != msgpack::type::ARRAY) Bad("os argumentos não são uma lista");
        TDecoder dec(limits);
        req.Params.reserve(e[3].via.array.size);
        for (std::uint32_t i = 0; i < e[3].via.array.size; ++i) {
            try {
                req.Params.push_back(dec.Value(e[3].via.array.ptr[i], 2));
            } catch (const ERpcFrameError& err) {
                throw ERpcFrameError(err.Code(), std::string(err.what()) + " (argumento " + std::to_string(i + 1) + ")",
                                     true);
            }
        }
        return 0;
    });
    return req;
}

void ParseError(const msgpack::object& err, TRpcResponse& resp) {
    resp.Ok = false;
    if (err.type == msgpack::type::STR) {  // plain MessagePack-RPC peers send a bare text
        resp.ErrorCode = "servidor";
        resp.ErrorMessage = Str(err);
        return;
    }
    if (err.type != msgpack::type::MAP) Bad("erro da resposta não é um mapa");
    for (std::uint32_t i = 0; i < err.via.map.size; ++i) {
        const auto& kv = err.via.map.ptr[i];
        if (IsStr(kv.key, "code") && kv.val.type == msgpack::type::STR) resp.ErrorCode = Str(kv.val);
        if (IsStr(kv.key, "message") && kv.val.type == msgpack::type::STR) resp.ErrorMessage = Str(kv.val);
    }
    if (resp.ErrorCode.empty()) Bad("erro da resposta sem \"code\"");
}

void ParseResult(const msgpack::object& result, const TRpcLimits& limits, TRpcResponse& resp) {
    if (result.type != msgpack::type::ARRAY || result.via.array.size != 2) Bad("resultado não é [valor, saídas]");
    TDecoder dec(limits);
    resp.Value = dec.Value(result.via.array.ptr[0], 2);
    const auto& out = result.via.array.ptr[1];
    if (out.type != msgpack::type::MAP) Bad("saídas da resposta não são um mapa");
    for (std::uint32_t i = 0; i < out.via.map.size; ++i) {
        const auto& kv = out.via.map.ptr[i];
        if (kv.key.type != msgpack::type::POSITIVE_INTEGER || kv.key.via.u64 > 0x7fffffff)
            Bad("índice de saída inválido");
        resp.Out[static_cast<int>(kv.key.via.u64)] = dec.Value(kv.val, 3);
    }
}

TRpcResponse ParseResponse(const msgpack::object& o, const TRpcLimits& limits) {
    const msgpack::object* e = Envelope(o, 1);
    TRpcResponse resp;
    if (e[1].type != msgpack::type::NIL) resp.MsgId = MsgId(e[1]);
    auto body = [&] {
        if (e[2].type != msgpack::type::NIL) ParseError(e[2], resp);
        else ParseResult(e[3], limits, resp);
        return 0;
    };
    if (resp.MsgId) WithMsgId(*resp.MsgId, body);
    else body();
    return resp;
}

// Strings point into the reader's buffer instead of being copied; they are
// turned into std::string as soon as the frame is decoded.
bool ReferenceBuffer(msgpack::type::object_type, std::size_t, void*) { return true; }

msgpack::unpack_limit UnpackLimit(const TRpcLimits& l) {
    return msgpack::unpack_limit(l.MaxArray, l.MaxMap, l.MaxFrame, l.MaxFrame, l.MaxFrame, l.MaxDepth + 1);
}

[[noreturn]] void TooLarge(std::size_t limit) {
    throw ERpcFrameError(TErrorKind::Limite, "Quadro maior que o limite de " + std::to_string(limit) + " bytes.",
                         false);
}

}  // namespace

// ---------------------------------------------------------------- public API

std::string EncodeValue(const TRpcValue& value) {
    std::string out;
    TStringSink sink{out};
    TPacker pk(sink);
    PackValue(pk, value);
    return out;
}

std::string EncodeRequest(const TRpcRequest& request) {
    std::string out;
    TStringSink sink{out};
    TPacker pk(sink);
    pk.pack_array(4);
    pk.pack_uint8(0);
    pk.pack_uint32(request.MsgId);
    PackStr(pk, request.Method);
    pk.pack_array(static_cast<std::uint32_t>(request.Params.size()));
    for (const auto& p : request.Params) PackValue(pk, p);
    return out;
}

std::string EncodeResponse(const TRpcResponse& response) {
    std::string out;
    TStringSink sink{out};
    TPacker pk(sink);
    pk.pack_array(4);
    pk.pack_uint8(1);
    if (response.MsgId) pk.pack_uint32(*response.MsgId);
    else pk.pack_nil();
    if (!response.Ok) {
        pk.pack_map(2);
        PackStr(pk, "code");
        PackStr(pk, response.ErrorCode);
        PackStr(pk, "message");
        PackStr(pk, response.ErrorMessage);
        pk.pack_nil();
        return out;
    }
    pk.pack_nil();
    pk.pack_array(2);
    PackValue(pk, response.Value);
    pk.pack_map(static_cast<std::uint32_t>(response.Out.size()));
    for (const auto& [index, value] : response.Out) {
        pk.pack_int64(index);
        PackValue(pk, value);
    }
    return out;
}

static_assert(sizeof(msgpack::object) + sizeof(TRpcValue) <= TFrameScanner::kDecodedItemBytes,
              "the scanner's charge per item must cover what an item becomes");

struct TRpcFrameReader::Impl {
    explicit Impl(const TRpcLimits& l) : limits(l), scanner(limits), unpacker(NewUnpacker()) {}

    std::unique_ptr<msgpack::unpacker> NewUnpacker() const {
        return std::make_unique<msgpack::unpacker>(&ReferenceBuffer, nullptr, kInitialBuffer, UnpackLimit(limits));
    }

    // Scans the bytes held; true when they hold a whole frame. The unpacker
    // only ever sees whole frames, which the scanner has already checked.
    bool Ready() {
        if (spent)
            throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: a sequência de bytes foi abandonada.", false);
        try {
            frameBytes = scanner.Scan(unpacker->nonparsed_buffer(), unpacker->nonparsed_size());
            return frameBytes != 0;
        } catch (...) {
            spent = true;
            throw;
        }
    }

    // A whole frame into oh; false when more bytes are needed.
    bool NextObject(msgpack::object_handle& oh) {
        if (!Ready()) return false;
        try {
            scanner.Reset();
            if (unpacker->next(oh)) {
                GiveBackBuffer();
                return true;
            }
        } catch (const msgpack::size_overflow&) {
            spent = true;
            throw ERpcFrameError(TErrorKind::Limite, "Quadro com comprimento declarado acima do limite.", false);
        } catch (const msgpack::unpack_error&) {
        } catch (const std::bad_alloc&) {
            spent = true;
            TooLarge(limits.MaxFrame);
        }
        spent = true;
        throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: os bytes não são MessagePack.", false);
    }

    // The unpacker keeps its buffer, grown for the largest frame or burst it
    // held, and keeps frames already read in it until more bytes come: once
    // over a MiB has passed and nothing is pending, a fresh small one takes
    // over (the frame just read keeps the old buffer alive as long as it needs).
    void GiveBackBuffer() {
        passed += frameBytes;
        if (unpacker->nonparsed_size() != 0 || passed + unpacker->buffer_capacity() <= kKeepBuffer) return;
        unpacker = NewUnpacker();
        passed = 0;
    }

    // The frame at the head is a piece of the answer to come: its rows go
    // straight into `pieces`.
    bool TakePiece() {
        const char* data = unpacker->nonparsed_buffer();
        if (!IsPieceFrame(data, frameBytes)) return false;
        const std::size_t size = frameBytes;
        auto skip = [&] {
            unpacker->skip_nonparsed_buffer(size);
            scanner.Reset();
            GiveBackBuffer();
        };
        try {
            piecesBytes += size;
            if (piecesBytes > limits.MaxAnswer) {
                spent = true;
                throw ERpcFrameError(TErrorKind::Limite,
                                     "Resposta maior que o limite de " + std::to_string(limits.MaxAnswer) + " bytes.",
                                     false);
            }
            const std::uint32_t id = ReadPieceFrame(data, size, pieces);
            if (piecesOf && *piecesOf != id) Bad("pedaços de respostas diferentes");
            piecesOf = id;
        } catch (...) {
            skip();
            pieces = TDataPacket();
            piecesOf.reset();
            piecesBytes = 0;
            throw;
        }
        skip();
        return true;
    }

    // The response that closes a call answered in pieces: the pieces' rows
    // come first.
    void JoinPieces(TRpcResponse& resp) {
        if (!piecesOf) return;
        TDataPacket all = std::move(pieces);
        const std::optional<std::uint32_t> id = piecesOf;
        pieces = TDataPacket();
        piecesOf.reset();
        piecesBytes = 0;
        if (!resp.Ok) return;
        if (resp.MsgId != id || !resp.Value.IsPacket() || resp.Value.Packet().Fields() != all.Fields())
            throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: resposta que não fecha os seus pedaços.",
                                 true, resp.MsgId);
        all.AppendRows(resp.Value.Packet());
        resp.Value = TRpcValue(std::move(all));
    }

    void Feed(const char* data, std::size_t size) {
        unpacker->reserve_buffer(size);
        std::memcpy(unpacker->buffer(), data, size);
        unpacker->buffer_consumed(size);
    }

    static constexpr std::size_t kInitialBuffer = 8 * 1024;
    static constexpr std::size_t kKeepBuffer = 1 << 20;

    TRpcLimits limits;
    TFrameScanner scanner;
    std::unique_ptr<msgpack::unpacker> unpacker;
    std::size_t frameBytes = 0;  // of the whole frame the last scan found
    std::size_t passed = 0;      // frame bytes read through the current unpacker
    bool spent = false;
    TDataPacket pieces;                     // rows of the pieces read so far
    std::optional<std::uint32_t> piecesOf;  // their msgid
    std::size_t piecesBytes = 0;            // their frames' bytes
};

TRpcFrameReader::TRpcFrameReader(TRpcLimits limits) : impl_(std::make_unique<Impl>(limits)) {}
TRpcFrameReader::~TRpcFrameReader() = default;

void TRpcFrameReader::Feed(const char* data, std::size_t size) {
    if (impl_->spent || size == 0) return;
    impl_->Feed(data, size);
}

bool TRpcFrameReader::NextRequest(TRpcRequest& out) {
    msgpack::object_handle oh;
    if (!impl_->NextObject(oh)) return false;
    out = ParseRequest(oh.get(), impl_->limits);
    return true;
}

bool TRpcFrameReader::NextResponse(TRpcResponse& out) {
    for (;;) {
        if (!impl_->Ready()) return false;
        if (!impl_->TakePiece()) break;
    }
    msgpack::object_handle oh;
    if (!impl_->NextObject(oh)) return false;
    out = ParseResponse(oh.get(), impl_->limits);
    impl_->JoinPieces(out);
    return true;
}

std::size_t TRpcFrameReader::Pending() const { return impl_->unpacker->nonparsed_size(); }

bool TRpcFrameReader::FrameReady() { return impl_->Ready(); }

std::size_t TRpcFrameReader::Weight() const {
    const auto& u = *impl_->unpacker;
    return u.nonparsed_size() + u.buffer_capacity() + static_cast<std::size_t>(impl_->scanner.Decoded());
}

TRpcValue DecodeValue(const char* data, std::size_t size, const TRpcLimits& limits) {
    if (size > limits.MaxFrame) TooLarge(limits.MaxFrame);
    TRpcFrameReader::Impl reader(limits);
    if (size) reader.Feed(data, size);
    msgpack::object_handle oh;
    if (!reader.NextObject(oh)) Bad("valor truncado");
    if (reader.unpacker->nonparsed_size() != 0) Bad("bytes a mais depois do valor");
    return TDecoder(limits).Value(oh.get(), 0);
}
