// The wire codec: what goes out comes back the same, and whatever bytes come
// in give a value or an ERpcFrameError, never a crash or a huge allocation.
#include "platform/net/codec.h"
#include "platform/net/utf8.h"
#include "tests/net/net_test_util.h"

#include <gtest/gtest.h>
#include <msgpack.hpp>

#include <limits>

using nettest::Render;
using namespace std::string_literals;

namespace {

// A frame written with msgpack directly, for shapes our encoder never makes.
template <class F> std::string Frame(F&& write) {
    msgpack::sbuffer buf;
    msgpack::packer<msgpack::sbuffer> pk(buf);
    write(pk);
    return std::string(buf.data(), buf.size());
}

using TPk = msgpack::packer<msgpack::sbuffer>;

std::string RoundTrip(const TRpcValue& v) {
    const std::string bytes = EncodeValue(v);
    return Render(DecodeValue(bytes.data(), bytes.size()));
}

ERpcFrameError DecodeFailure(const std::string& bytes, const TRpcLimits& limits = {}) {
    try {
        DecodeValue(bytes.data(), bytes.size(), limits);
    } catch (const ERpcFrameError& e) {
        return e;
    }
    ADD_FAILURE() << "decoded without error";
    return ERpcFrameError("", "", true);
}

ERpcFrameError RequestFailure(const std::string& bytes, const TRpcLimits& limits = {}) {
    TRpcFrameReader reader(limits);
    reader.Feed(bytes.data(), bytes.size());
    TRpcRequest req;
    try {
        reader.NextRequest(req);
    } catch (const ERpcFrameError& e) {
        return e;
    }
    ADD_FAILURE() << "request accepted";
    return ERpcFrameError("", "", true);
}

}  // namespace

TEST(CodecRoundTrip, ScalarsKeepKindAndValue) {
    const TRpcValue::Array values{
        TRpcValue(),
        TRpcValue(true),
        TRpcValue(false),
        TRpcValue(Variant(std::int64_t{0})),
        TRpcValue(Variant(std::numeric_limits<std::int64_t>::max())),
        TRpcValue(Variant(std::numeric_limits<std::int64_t>::min())),
        TRpcValue(-1234.56),
        TRpcValue(45292.5),
        TRpcValue(""),
        TRpcValue("Lançamento Contábil"),
        TRpcValue(std::string("a\0b", 3)),
    };
    EXPECT_EQ(RoundTrip(TRpcValue(values)),
              "[nil, true, false, 0, 9223372036854775807, -9223372036854775808, -1234.56f, 45292.5f, \"\", "
              "\"Lançamento Contábil\", \"a" +
                  std::string(1, '\0') + "b\"]");
    // A double that happens to be whole stays a double (a date is a double of days).
    const std::string bytes = EncodeValue(TRpcValue(45292.0));
    EXPECT_EQ(DecodeValue(bytes.data(), bytes.size()).Scalar().kind(), Variant::Kind::Float);
}

TEST(CodecRoundTrip, PacketsWithNullsDatesAndNoRows) {
    EXPECT_EQ(RoundTrip(TRpcValue(nettest::SamplePacket())),
              "packet{CDEMPRESA:string(2),VRLANCAMENT:float(0),NRSEQ:integer(0),IDATIVO:boolean(0),"
              "DTLANCCONT:datetime(0)"
              "|\"01\",-1234.56f,7,true,45292f"
              "|nil,nil,nil,nil,nil"
              "|\"ção\",0.01f,-1,false,45292.8f}");
    EXPECT_EQ(RoundTrip(TRpcValue(TDataPacket({{"MES", TFieldType::ftString, 9}}))), "packet{MES:string(9)}");
    EXPECT_EQ(RoundTrip(TRpcValue(TDataPacket())), "packet{}");
}

TEST(CodecRoundTrip, ArraysNestPacketsAndValues) {
    // ValidaMapa answers [status, packet].
    TRpcValue v(TRpcValue::Array{TRpcValue("ERRO"), TRpcValue(nettest::SamplePacket()),
                                 TRpcValue(TRpcValue::Array{TRpcValue(TRpcValue::Array{}), TRpcValue()})});
    EXPECT_EQ(RoundTrip(v), "[\"ERRO\", " + Render(TRpcValue(nettest::SamplePacket())) + ", [[], nil]]");
}

TEST(CodecRoundTrip, RequestsAndResponses) {
    TRpcRequest req{4000000000u, "PrxLancContabil", {TRpcValue("01"), TRpcValue("202405")}};
    TRpcResponse ok;
    ok.MsgId = 9;
    ok.Value = TRpcValue(Variant(std::int64_t{123}));
    ok.Out[1] = TRpcValue("202406");
    TRpcResponse failed;
    failed.MsgId = 10;
    failed.Ok = false;
    failed.ErrorCode = "lote";
    failed.ErrorMessage = "Lançamento de lote.";
    TRpcResponse anonymous = failed;
    anonymous.MsgId.reset();

    const std::string stream =
        EncodeRequest(req) + EncodeResponse(ok) + EncodeResponse(failed) + EncodeResponse(anonymous);
    // Byte by byte: a frame is only handed out once it is whole.
    TRpcFrameReader reader;
    TRpcRequest gotReq;
    std::size_t fed = 0;
    while (!reader.NextRequest(gotReq)) reader.Feed(&stream[fed++], 1);
    EXPECT_EQ(gotReq.MsgId, 4000000000u);
    EXPECT_EQ(gotReq.Method, "PrxLancContabil");
    EXPECT_EQ(Render(TRpcValue(gotReq.Params)), "[\"01\", \"202405\"]");

    std::string answers;
    TRpcResponse r;
    while (fed < stream.size()) {
        reader.Feed(&stream[fed++], 1);
        while (reader.NextResponse(r)) answers += Render(r) + "\n";
    }
    EXPECT_EQ(answers,
              "id=9 123 out{1: \"202406\"}\n"
              "id=10 error lote: Lançamento de lote.\n"
              "id=nil error lote: Lançamento de lote.\n");
    EXPECT_EQ(reader.Pending(), 0u);
}

// Every prefix of a valid frame is "not yet" for the reader and an error for
// the one-shot decoder; neither crashes.
TEST(CodecMalformed, TruncatedFramesWaitOrFail) {
    TRpcRequest req{1, "SetLancContabil", {TRpcValue(nettest::SamplePacket()), TRpcValue("01"), TRpcValue(1.5)}};
    const std::string frame = EncodeRequest(req);
    const std::string value = EncodeValue(TRpcValue(nettest::SamplePacket()));
    for (std::size_t n = 0; n < frame.size(); ++n) {
        TRpcFrameReader reader;
        reader.Feed(frame.data(), n);
        TRpcRequest got;
        EXPECT_FALSE(reader.NextRequest(got)) << "prefix " << n;
    }
    for (std::size_t n = 0; n < value.size(); ++n)
        EXPECT_EQ(DecodeFailure(value.substr(0, n)).Code(), "protocolo") << "prefix " << n;
    EXPECT_EQ(DecodeFailure(value + '\xc0').Code(), "protocolo");  // trailing bytes
}

struct TBadFrame {
    const char* name;
    std::string bytes;
    const char* messagePart;
};

// Test names, not bytes, in the test listing.
void PrintTo(const TBadFrame& c, std::ostream* os) { *os << c.name; }

class CodecBadRequest : public testing::TestWithParam<TBadFrame> {};

// Well-formed MessagePack of the wrong shape: refused with the reason, and the
// stream stays usable, so the server can answer and go on.
TEST_P(CodecBadRequest, IsRefusedAndStreamStaysInSync) {
    const auto& p = GetParam();
    TRpcFrameReader reader;
    const std::string next = EncodeRequest({2, "getCdLote", {TRpcValue("01"), TRpcValue("1")}});
    reader.Feed(p.bytes.data(), p.bytes.size());
    reader.Feed(next.data(), next.size());
    TRpcRequest req;
    try {
        reader.NextRequest(req);
        FAIL() << "accepted";
    } catch (const ERpcFrameError& e) {
        EXPECT_NE(std::string(e.what()).find(p.messagePart), std::string::npos) << e.what();
        EXPECT_TRUE(e.InSync());
    }
    ASSERT_TRUE(reader.NextRequest(req));
    EXPECT_EQ(req.Method, "getCdLote");
}

std::string Request(const std::function<void(TPk&)>& params) {
    return Frame([&](TPk& pk) {
        pk.pack_array(4);
        pk.pack(0);
        pk.pack(7);
        pk.pack("Eco");
        params(pk);
    });
}

std::string PacketParam(const std::function<void(TPk&)>& fields, const std::function<void(TPk&)>& rows) {
    return Request([&](TPk& pk) {
        pk.pack_array(1);
        pk.pack_map(2);
        pk.pack("fields");
        fields(pk);
        pk.pack("rows");
        rows(pk);
    });
}

void OneStringField(TPk& pk) {
    pk.pack_array(1);
    pk.pack_array(3);
    pk.pack("NOME");
    pk.pack("string");
    pk.pack(10);
}

INSTANTIATE_TEST_SUITE_P(Shapes, CodecBadRequest,
                         testing::Values(TBadFrame{"NotAnArray", Frame([](TPk& pk) { pk.pack("Eco"); }),
                                                   "não é uma lista"},
                                         TBadFrame{"Response", EncodeResponse(TRpcResponse{}), "não é uma requisição"},
                                         TBadFrame{"Notification", Frame([](TPk& pk) {
                                                       pk.pack_array(3);
                                                       pk.pack(2);
                                                       pk.pack("Eco");
                                                       pk.pack_array(0);
                                                   }),
                                                   "notificações"},
                                         TBadFrame{"ThreeElements", Frame([](TPk& pk) {
                                                       pk.pack_array(3);
                                                       pk.pack(0);
                                                       pk.pack(1);
                                                       pk.pack("Eco");
                                                   }),
                                                   "4 elementos"},
                                         TBadFrame{"NegativeMsgId", Frame([](TPk& pk) {
                                                       pk.pack_array(4);
                                                       pk.pack(0);
                                                       pk.pack(-1);
                                                       pk.pack("Eco");
                                                       pk.pack_array(0);
                                                   }),
                                                   "identificador"},
                                         TBadFrame{"MethodNotText", Frame([](TPk& pk) {
                                                       pk.pack_array(4);
                                                       pk.pack(0);
                                                       pk.pack(1);
                                                       pk.pack(5);
                                                       pk.pack_array(0);
                                                   }),
                                                   "nome de método"},
                                         TBadFrame{"ParamsNotArray", Request([](TPk& pk) { pk.pack("01"); }),
                                                   "argumentos não são uma lista"},
                                         TBadFrame{"BinaryArgument", Request([](TPk& pk) {
                                                       pk.pack_array(1);
                                                       pk.pack_bin(0);
                                                   }),
                                                   "tipo de valor"},
                                         TBadFrame{"HugeUnsigned", Request([](TPk& pk) {
                                                       pk.pack_array(1);
                                                       pk.pack(std::numeric_limits<std::uint64_t>::max());
                                                   }),
                                                   "fora do intervalo"},
                                         TBadFrame{"MapThatIsNoPacket", Request([](TPk& pk) {
                                                       pk.pack_array(1);
                                                       pk.pack_map(1);
                                                       pk.pack("a");
                                                       pk.pack(1);
                                                   }),
                                                   "chave inesperada"},
                                         TBadFrame{"PacketWithoutRows", Request([](TPk& pk) {
                                                       pk.pack_array(1);
                                                       pk.pack_map(1);
                                                       pk.pack("fields");
                                                       pk.pack_array(0);
                                                   }),
                                                   "sem \"fields\" ou \"rows\""},
                                         TBadFrame{"UnknownFieldType",
                                                   PacketParam(
                                                       [](TPk& pk) {
                                                           pk.pack_array(1);
                                                           pk.pack_array(3);
                                                           pk.pack("VALOR");
                                                           pk.pack("currency");
                                                           pk.pack(0);
                                                       },
                                                       [](TPk& pk) { pk.pack_array(0); }),
                                                   "tipo desconhecido no campo VALOR"},
                                         TBadFrame{"FieldWithoutSize",
                                                   PacketParam(
                                                       [](TPk& pk) {
                                                           pk.pack_array(1);
                                                           pk.pack_array(2);
                                                           pk.pack("VALOR");
                                                           pk.pack("float");
                                                       },
                                                       [](TPk& pk) { pk.pack_array(0); }),
                                                   "[nome, tipo, tamanho]"},
                                         TBadFrame{"RepeatedField",
                                                   PacketParam(
                                                       [](TPk& pk) {
                                                           pk.pack_array(2);
                                                           for (const char* n : {"Nome", "NOME"}) {
                                                               pk.pack_array(3);
                                                               pk.pack(n);
                                                               pk.pack("string");
                                                               pk.pack(1);
                                                           }
                                                       },
                                                       [](TPk& pk) { pk.pack_array(0); }),
                                                   "campo repetido"},
                                         TBadFrame{"RowTooShort",
                                                   PacketParam(OneStringField,
                                                               [](TPk& pk) {
                                                                   pk.pack_array(1);
                                                                   pk.pack_array(0);
                                                               }),
                                                   "linha 0 do pacote com 0 valores para 1 campos"},
                                         TBadFrame{"RowTooWide",
                                                   PacketParam(OneStringField,
                                                               [](TPk& pk) {
                                                                   pk.pack_array(2);
                                                                   pk.pack_array(1);
                                                                   pk.pack("a");
                                                                   pk.pack_array(2);
                                                                   pk.pack("a");
                                                                   pk.pack("b");
                                                               }),
                                                   "linha 1 do pacote com 2 valores"},
                                         TBadFrame{"NumberInTextField",
                                                   PacketParam(OneStringField,
                                                               [](TPk& pk) {
                                                                   pk.pack_array(1);
                                                                   pk.pack_array(1);
                                                                   pk.pack(12);
                                                               }),
                                                   "tipo errado no campo NOME da linha 0"},
                                         TBadFrame{"FractionInIntegerField",
                                                   PacketParam(
                                                       [](TPk& pk) {
                                                           pk.pack_array(1);
                                                           pk.pack_array(3);
                                                           pk.pack("NRSEQ");
                                                           pk.pack("integer");
                                                           pk.pack(0);
                                                       },
                                                       [](TPk& pk) {
                                                           pk.pack_array(1);
                                                           pk.pack_array(1);
                                                           pk.pack(1.5);
                                                       }),
                                                   "tipo errado no campo NRSEQ"}),
                         [](const testing::TestParamInfo<TBadFrame>& info) { return std::string(info.param.name); });

TEST(CodecLimits, NestingOver64LevelsIsRefused) {
    EXPECT_EQ(Render(DecodeValue(nettest::Nested(64).data(), 65)).substr(0, 3), "[[[");
    const std::string deep = nettest::Nested(65);
    const auto e = DecodeFailure(deep);
    EXPECT_EQ(e.Code(), "limite");
    EXPECT_NE(std::string(e.what()).find("64 níveis"), std::string::npos);
    // Empty containers count too, and a packet counts its inner lists.
    EXPECT_EQ(DecodeFailure(nettest::Nested(64, std::string(1, '\x90'))).Code(), "limite");
    const std::string packetAt63 = nettest::Nested(62, EncodeValue(TRpcValue(nettest::SamplePacket())));
    EXPECT_EQ(DecodeFailure(packetAt63).Code(), "limite");

    // In a request the envelope and the argument list are two of the 64.
    const std::string request = Request([](TPk& pk) {
        pk.pack_array(1);
        pk.pack_nil();
    });
    const std::string deepRequest = request.substr(0, request.size() - 1) + nettest::Nested(63);
    const auto r = RequestFailure(deepRequest);
    EXPECT_EQ(r.Code(), "limite");
    EXPECT_FALSE(r.InSync());
}

// Declared lengths far beyond the frame limit are refused on their header,
// before any of the promised bytes arrive and before anything is allocated.
TEST(CodecLimits, HostileLengthPrefixesFailOnTheHeader) {
    const std::string prefix(
        "\x94\x00\x01\xa3"
        "Eco"
        "\x91",
        8);  // [0, 1, "Eco", [
    for (const std::string& header :
         {nettest::Str32Header(300u << 20), nettest::Array32Header(0xffffffffu), nettest::Map32Header(0xffffffffu)}) {
        TRpcFrameReader reader;
        const std::string bytes = prefix + header;
        reader.Feed(bytes.data(), bytes.size());
        TRpcRequest req;
        try {
            reader.NextRequest(req);
            FAIL() << "waited for the declared bytes";
        } catch (const ERpcFrameError& e) {
            EXPECT_EQ(e.Code(), "limite");
            EXPECT_FALSE(e.InSync());
        }
        // The stream is abandoned: even a valid frame after it is refused.
        const std::string next = EncodeRequest({2, "Eco", {}});
        reader.Feed(next.data(), next.size());
        EXPECT_THROW(reader.NextRequest(req), ERpcFrameError);
    }
}

TEST(CodecLimits, FrameLimitCountsBytesAcrossFeeds) {
    TRpcLimits small;
    small.MaxFrame = 1024;
    // Many small strings: no single header is large, the frame as a whole is.
    TRpcRequest req{1, "Eco", TRpcValue::Array(200, TRpcValue("0123456789"))};
    const std::string frame = EncodeRequest(req);
    TRpcFrameReader reader(small);
    TRpcRequest got;
    bool refused = false;
    for (std::size_t at = 0; at < frame.size() && !refused; at += 100) {
        reader.Feed(frame.data() + at, std::min<std::size_t>(100, frame.size() - at));
        try {
            EXPECT_FALSE(reader.NextRequest(got));
        } catch (const ERpcFrameError& e) {
            EXPECT_EQ(e.Code(), "limite");
            refused = true;
            EXPECT_LE(at, 1024u + 100u);
        }
    }
    EXPECT_TRUE(refused);

    // Just under the limit passes.
    TRpcRequest fits{1, "Eco", TRpcValue::Array(80, TRpcValue("0123456789"))};
    const std::string ok = EncodeRequest(fits);
    ASSERT_LT(ok.size(), 1024u);
    TRpcFrameReader reader2(small);
    reader2.Feed(ok.data(), ok.size());
    EXPECT_TRUE(reader2.NextRequest(got));
}

TEST(CodecMalformed, BytesThatAreNotMessagePack) {
    // 0xc1 is the one byte MessagePack never uses.
    EXPECT_EQ(DecodeFailure(std::string("\x92\x01\xc1", 3)).Code(), "protocolo");
    const auto e = RequestFailure(std::string("\xc1", 1));
    EXPECT_EQ(e.Code(), "protocolo");
    EXPECT_FALSE(e.InSync());
}

TEST(CodecMalformed, ResponsesOfTheWrongShape) {
    auto failure = [](const std::string& bytes) -> std::string {
        TRpcFrameReader reader;
        reader.Feed(bytes.data(), bytes.size());
        TRpcResponse r;
        try {
            reader.NextResponse(r);
        } catch (const ERpcFrameError& e) {
            return e.what();
        }
        return "accepted: " + Render(r);
    };
    EXPECT_NE(failure(EncodeRequest({1, "Eco", {}})).find("não é uma resposta"), std::string::npos);
    EXPECT_NE(failure(Frame([](TPk& pk) {
                  pk.pack_array(4);
                  pk.pack(1);
                  pk.pack(3);
                  pk.pack_nil();
                  pk.pack(5);
              })).find("[valor, saídas]"),
              std::string::npos);
    EXPECT_NE(failure(Frame([](TPk& pk) {
                  pk.pack_array(4);
                  pk.pack(1);
                  pk.pack(3);
                  pk.pack_nil();
                  pk.pack_array(2);
                  pk.pack_nil();
                  pk.pack_map(1);
                  pk.pack(-1);
                  pk.pack_nil();
              })).find("índice de saída"),
              std::string::npos);
    // A bare error text, as generic MessagePack-RPC peers send it.
    EXPECT_EQ(failure(Frame([](TPk& pk) {
                  pk.pack_array(4);
                  pk.pack(1);
                  pk.pack(3);
                  pk.pack("boom");
                  pk.pack_nil();
              })),
              "accepted: id=3 error servidor: boom");
}

// Every MessagePack header form inside one frame, fed a byte at a time: the
// reader must find exactly where the frame ends (binary and extension values
// are then refused, the stream stays in step and the next request is read).
TEST(CodecFraming, EveryHeaderFormEndsWhereMsgpackSaysItDoes) {
    const std::string everything = Frame([](TPk& pk) {
        pk.pack_array(4);
        pk.pack(0);
        pk.pack(77);
        pk.pack("Eco");
        pk.pack_array(26);
        pk.pack(5);
        pk.pack(-5);
        pk.pack(std::uint8_t{200});
        pk.pack(std::uint16_t{60000});
        pk.pack(std::uint32_t{4000000000u});
        pk.pack(std::uint64_t{1} << 40);
        pk.pack(std::int8_t{-100});
        pk.pack(std::int16_t{-30000});
        pk.pack(std::int32_t{-2000000000});
        pk.pack(-(std::int64_t{1} << 40));
        pk.pack(1.5f);
        pk.pack(std::string(40, 'a'));   // str8
        pk.pack(std::string(300, 'b'));  // str16
        pk.pack_array(20);               // array16
        for (int i = 0; i < 20; ++i) pk.pack_nil();
        pk.pack_bin(3);  // bin8
        pk.pack_bin_body("xyz", 3);
        pk.pack_bin(300);  // bin16
        pk.pack_bin_body(std::string(300, 'c').data(), 300);
        for (std::uint32_t n : {1u, 2u, 4u, 8u, 16u, 3u, 300u}) {  // fixext 1..16, ext8, ext16
            pk.pack_ext(n, 7);
            pk.pack_ext_body(std::string(n, 'e').data(), n);
        }
        pk.pack_true();
        pk.pack_false();
        pk.pack_nil();
    });
    // 32-bit forms, written by hand (msgpack only uses them for large sizes).
    const std::string wide = std::string(
                                 "\x94\x00\x4e\xa3"
                                 "Eco"
                                 "\x95",
                                 8) +
                             nettest::Str32Header(2) + "ab" + nettest::Array32Header(1) + "\xc0" +
                             std::string(
                                 "\xc6\x00\x00\x00\x01"
                                 "x"
                                 "\xc9\x00\x00\x00\x01\x05"
                                 "x",
                                 13) +
                             nettest::Map32Header(1) + "\xa1k\xc0";
    const std::string next = EncodeRequest({79, "Eco", {TRpcValue("fim")}});
    const std::string stream = everything + wide + next;

    TRpcFrameReader reader;
    std::string log;
    for (char byte : stream) {
        reader.Feed(&byte, 1);
        TRpcRequest req;
        try {
            while (reader.NextRequest(req))
                log += std::to_string(req.MsgId) + " " + Render(TRpcValue(req.Params)) + "\n";
        } catch (const ERpcFrameError& e) {
            log += std::to_string(e.MsgId().value_or(0)) + " " + e.Code() + (e.InSync() ? " in sync" : " lost") + "\n";
        }
    }
    EXPECT_EQ(log, "77 protocolo in sync\n78 protocolo in sync\n79 [\"fim\"]\n");
}

// A byte on the wire can become an item of ~70 bytes in memory: each frame
// has a budget of decoded size, charged as each header arrives. Four lists of
// 4 Mi nils are each within the element limit; the second header already
// takes the frame over 512 MiB decoded.
TEST(CodecLimits, DecodedSizeIsBudgetedOnTheHeaders) {
    const std::size_t perList = std::size_t{1} << 22;
    std::string bytes =
        "\x94\x00\x01\xa3"
        "Eco"
        "\x94"s +
        nettest::Array32Header(perList);
    bytes.append(perList, '\xc0');
    bytes += nettest::Array32Header(perList);
    EXPECT_EQ(RequestFailure(bytes).Code(), "limite");

    TRpcLimits small;
    small.MaxDecoded = 4096;
    EXPECT_EQ(DecodeFailure(nettest::Str32Header(5000), small).Code(), "limite");
    const std::string fits = EncodeValue(TRpcValue(std::string(3000, 'x')));
    EXPECT_EQ(Render(DecodeValue(fits.data(), fits.size(), small)).size(), 3002u);
}

TEST(Utf8, StrictCheckAndPrintableCopy) {
    for (const char* good : {"", "JOSÉ.ASSUNÇÃO", "\xF0\x9F\x98\x80", "a\x7F"}) EXPECT_TRUE(IsValidUtf8(good)) << good;
    for (const char* bad : {"\xC3", "\x80", "A\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(Utf8Printable("Ação\xFF"
                            "x"),
              "Ação?x");
    EXPECT_EQ(Utf8Printable("ÇÇÇÇ", 2), "ÇÇ...");
}
