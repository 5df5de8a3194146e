// Packet answers in pieces: a large answer crosses as several bounded frames
// and arrives whole; a failure after some pieces is the call's error and the
// connection goes on; the reader refuses pieces that do not fit together.
#include "platform/net/packet_stream.h"
#include "platform/net/rpc_client.h"
#include "server/rpc_server.h"

#include <gtest/gtest.h>

namespace {

const std::vector<TPacketField> kFields = {
    {"NR", TFieldType::ftString, 12}, {"VALOR", TFieldType::ftFloat, 0}, {"DATA", TFieldType::ftDateTime, 0}};

void WriteRows(TPacketStream& out, int n, int failAt = -1) {
    for (int i = 0; i < n; ++i) {
        if (i == failAt) throw ERpcError("banco", "Leitura interrompida.");
        out.AppendRow({Variant("L" + std::to_string(i)), Variant(i * 1.5), i % 3 ? Variant(45000.0 + i) : Variant()});
    }
}

class Pieces : public testing::Test {
protected:
    void SetUp() override {
        TRpcServerOptions o;
        o.PieceBytes = 256;  // a few rows per piece
        server = std::make_unique<TRpcServer>(o);
        server->RegisterPacket("Linhas", {1}, kFields, [](std::vector<TRpcValue>& args, TPacketStream& out) {
            WriteRows(out, static_cast<int>(args.at(0).Scalar().AsInteger()),
                      static_cast<int>(args.at(1).Scalar().AsInteger()));
            args[1] = TRpcValue("lido");
        });
        client.Connect("127.0.0.1", server->Start());
    }
    std::unique_ptr<TRpcServer> server;
    TRpcClient client;
};

TEST_F(Pieces, ALargeAnswerArrivesWholeAndInOrder) {
    for (int n : {0, 3, 1000}) {
        TRpcValue out = TRpcValue(-1);
        const TDataPacket p = client.Call("linhas", {TRpcArg(n), TRpcArg::Ref(out)}).Packet();
        ASSERT_EQ(p.Fields(), kFields);
        ASSERT_EQ(p.RecordCount(), static_cast<std::size_t>(n));
        for (int i = 0; i < n; i += 97) {
            EXPECT_EQ(p.Value(i, 0).AsString(), "L" + std::to_string(i));
            EXPECT_EQ(p.Value(i, 1).AsFloat(), i * 1.5);
            EXPECT_EQ(p.Value(i, 2).IsNull(), i % 3 == 0);
        }
        EXPECT_EQ(out.Scalar().AsString(), "lido");
    }
}

TEST_F(Pieces, AFailureAfterSomePiecesIsTheCallsErrorAndTheConnectionGoesOn) {
    try {
        client.Call("Linhas", {TRpcArg(1000), TRpcArg(500)});
        FAIL() << "sem erro";
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), "banco");
        EXPECT_STREQ(e.what(), "Leitura interrompida.");
    }
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.Call("Linhas", {TRpcArg(10), TRpcArg(-1)}).Packet().RecordCount(), 10u);
}

TEST_F(Pieces, TheAnswerIsSeveralBoundedFrames) {
    TRpcFrameReader requests;
    const std::string request = EncodeRequest({7, "Linhas", {TRpcValue(1000), TRpcValue(-1)}});
    requests.Feed(request.data(), request.size());
    std::string answer;
    bool close = false;
    ASSERT_TRUE(server->AnswerNext(requests, answer, close));
    EXPECT_FALSE(close);
    // Fed one byte at a time, the reader still gathers every piece.
    TRpcLimits small;
    small.MaxFrame = 4096;
    TRpcFrameReader reader(small);
    TRpcResponse resp;
    bool done = false;
    for (char c : answer) {
        reader.Feed(&c, 1);
        if (reader.NextResponse(resp)) done = true;
    }
    ASSERT_TRUE(done);
    EXPECT_GT(answer.size(), small.MaxFrame);
    EXPECT_EQ(resp.Value.Packet().RecordCount(), 1000u);
}

TEST(PieceReader, PiecesThatDoNotFitTogetherAreRefused) {
    auto piece = [](std::uint32_t id, std::vector<TPacketField> fields) {
        std::string frame;
        TPacketStream s(std::move(fields));
        s.Bind(
            id, [&frame](const std::string& f) { frame = f; }, 1);
        s.AppendRow(TPacketRow(s.Fields().size(), Variant()));
        return frame;
    };
    auto refused = [](const std::string& bytes) {
        TRpcFrameReader reader;
        reader.Feed(bytes.data(), bytes.size());
        TRpcResponse r;
        try {
            reader.NextResponse(r);
        } catch (const ERpcFrameError& e) {
            return e.Code() == "protocolo";
        }
        return false;
    };
    TRpcResponse scalar;
    scalar.MsgId = 1;
    scalar.Value = TRpcValue("x");
    EXPECT_TRUE(refused(piece(1, kFields) + piece(2, kFields)));
    EXPECT_TRUE(refused(piece(1, kFields) + piece(1, {{"OUTRO", TFieldType::ftString, 1}})));
    EXPECT_TRUE(refused(piece(1, kFields) + EncodeResponse(scalar)));
    TRpcLimits small;
    small.MaxAnswer = 100;
    TRpcFrameReader capped(small);
    const std::string many = piece(1, kFields) + piece(1, kFields) + piece(1, kFields) + piece(1, kFields);
    capped.Feed(many.data(), many.size());
    TRpcResponse r;
    try {
        capped.NextResponse(r);
        ADD_FAILURE() << "sem limite";
    } catch (const ERpcFrameError& e) {
        EXPECT_EQ(e.Code(), "limite");
        EXPECT_FALSE(e.InSync());
    }
    std::string bad = piece(1, kFields);
    bad[bad.size() - 1] = static_cast<char>(0xc3);  // a boolean in a datetime field
    EXPECT_TRUE(refused(bad));
}

}  // namespace
