// Data packets and the Data property: shared storage until a write, the
// change log, fields that only one side knows.
#include "platform/data/dataset.h"
#include "platform/data/packet.h"
#include "tests/data/fixtures.h"

#include <gtest/gtest.h>

namespace {

TDataPacket Numbered(std::size_t n) {
    TDataPacket p({{"N", TFieldType::ftInteger, 0}, {"S", TFieldType::ftString, 10}});
    for (std::size_t i = 0; i < n; ++i) p.AppendRow({static_cast<std::int64_t>(i), std::string("r")});
    return p;
}

TEST(DataPacket, CopiesStayIndependentAfterAWriteOnEitherSide) {
    TDataPacket a = Numbered(5000);
    TDataPacket b = a;
    EXPECT_TRUE(a.SharesStorageWith(b));
    b.SetValue(4000, 0, Variant(std::int64_t{-1}));
    EXPECT_FALSE(a.SharesStorageWith(b));
    EXPECT_EQ(a.Value(4000, 0).AsInteger(), 4000);
    EXPECT_EQ(b.Value(4000, 0).AsInteger(), -1);
    a.DeleteRow(0);
    a.InsertRow(10, {std::int64_t{-2}, std::string("x")});
    EXPECT_EQ(b.RecordCount(), 5000u);
    EXPECT_EQ(b.Value(0, 0).AsInteger(), 0);
    EXPECT_EQ(b.Value(10, 0).AsInteger(), 10);
    EXPECT_EQ(a.Value(10, 0).AsInteger(), -2);
    EXPECT_EQ(a.Value(9, 0).AsInteger(), 10);
}

TEST(DataPacket, ManyInsertsInOnePlaceKeepTheOrder) {
    TDataPacket p = Numbered(3);
    for (std::int64_t i = 0; i < 5000; ++i) p.InsertRow(1, {1000000 - i, std::string("m")});
    ASSERT_EQ(p.RecordCount(), 5003u);
    EXPECT_EQ(p.Value(0, 0).AsInteger(), 0);
    EXPECT_EQ(p.Value(1, 0).AsInteger(), 1000000 - 4999);
    EXPECT_EQ(p.Value(5000, 0).AsInteger(), 1000000);
    EXPECT_EQ(p.Value(5001, 0).AsInteger(), 1);
    std::size_t rows = 0, total = 0;
    for (std::size_t k = 0; k < p.ChunkCount(); ++k) {
        rows = p.ChunkRows(k);
        EXPECT_LE(rows, 2048u);
        total += rows;
    }
    EXPECT_EQ(total, 5003u);
    while (p.RecordCount() > 0) p.DeleteRow(p.RecordCount() / 2);
    EXPECT_EQ(p.ChunkCount(), 0u);
}

// Cells are kept packed: a line of the entry list costs about what it takes
// on the wire, and every kind of value reads back as written, edits that
// change a cell's size included.
TEST(DataPacket, RowsArePackedAndReadBackExactly) {
    TDataPacket p({{"T", TFieldType::ftString, 600},
                   {"F", TFieldType::ftFloat, 0},
                   {"I", TFieldType::ftInteger, 0},
                   {"B", TFieldType::ftBoolean, 0},
                   {"N", TFieldType::ftString, 1}});
    const std::string longText(70000, 'x');
    const std::vector<Variant> texts = {Variant(""), Variant("PAGTO NF 0001 FORNECEDORES NACIONAIS"),
                                        Variant(std::string(300, 'h')), Variant(longText)};
    const std::vector<Variant> ints = {Variant(std::int64_t{0}), Variant(std::int64_t{-33}), Variant(std::int64_t{127}),
                                       Variant(std::int64_t{-9000000000})};
    for (int i = 0; i < 4000; ++i)
        p.AppendRow({texts[i % 4], Variant(i * -0.25), ints[i % 4], Variant(i % 2 == 0), Variant()});
    for (int i = 0; i < 4000; i += 333) {
        const TPacketRow row = p.Row(i);
        EXPECT_EQ(row[0], texts[i % 4]);
        EXPECT_EQ(row[1], Variant(i * -0.25));
        EXPECT_EQ(row[2], ints[i % 4]);
        EXPECT_EQ(row[3], Variant(i % 2 == 0));
        EXPECT_TRUE(row[4].IsNull());
    }
    p.SetValue(1, 0, Variant(longText));
    p.SetValue(3, 0, Variant("curto"));
    EXPECT_EQ(p.Value(1, 0), Variant(longText));
    EXPECT_EQ(p.Value(3, 0), Variant("curto"));
    EXPECT_EQ(p.Value(2, 1), Variant(-0.5));

    TDataPacket lines({{"A", TFieldType::ftString, 4},
                       {"B", TFieldType::ftString, 12},
                       {"C", TFieldType::ftString, 60},
                       {"D", TFieldType::ftDateTime, 0},
                       {"E", TFieldType::ftFloat, 0}});
    for (int i = 0; i < 10000; ++i)
        lines.AppendRow({Variant("0001"), Variant("202401" + std::to_string(100000 + i)),
                         Variant("PAGTO FORNECEDOR NF " + std::to_string(i)), Variant(45300.0), Variant(i * 1.5)});
    // About 60 bytes of cells per row here; the chunks' index and slack stay small.
    EXPECT_LT(lines.StorageBytes() / lines.RecordCount(), 90u);
}

TEST(DataPacket, BadRowsAndIndexesRaiseInsteadOfCrashing) {
    TDataPacket p = Numbered(2);
    EXPECT_THROW(p.AppendRow({Variant()}), EDatabaseError);
    EXPECT_THROW(p.Value(2, 0), EDatabaseError);
    EXPECT_THROW(p.Value(0, 2), EDatabaseError);
    EXPECT_THROW(p.DeleteRow(5), EDatabaseError);
    EXPECT_THROW(p.InsertRow(3, {Variant(), Variant()}), EDatabaseError);
    EXPECT_THROW(p.AddField({"n", TFieldType::ftString, 1}), EDatabaseError);
    TFieldType t;
    EXPECT_FALSE(FieldTypeFromName("money", t));
    ASSERT_TRUE(FieldTypeFromName("datetime", t));
    EXPECT_EQ(t, TFieldType::ftDateTime);
}

class DataProperty : public ::testing::Test {
protected:
    TClientDataSet lanc, espelho, debcred;
    void SetUp() override {
        DefineLineFields(lanc);
        DefineLineFields(espelho);
        lanc.SetData(LinePacket({{"01", "000000000001", "00001", 100}, {"01", "000000000001", "00002", -100}}));
    }
};

TEST_F(DataProperty, CopiesShareStorageAndStayIndependent) {
    espelho.SetData(lanc.GetData());
    EXPECT_TRUE(espelho.GetData().SharesStorageWith(lanc.GetData()));
    lanc.Edit();
    lanc.FieldByName("VRLANCAMENT")->SetAsFloat(1);
    lanc.Post();
    EXPECT_EQ(Render(espelho), "00001:100 00002:-100");
    espelho.Last();
    espelho.Delete();
    EXPECT_EQ(Render(lanc), "00001:1 00002:-100");
    EXPECT_EQ(Render(espelho), "00001:100");
}

TEST_F(DataProperty, DataIsEveryRecordWhateverTheFilter) {
    lanc.SetFilter("NRSEQLANC = '00002'");
    lanc.SetFiltered(true);
    ASSERT_EQ(lanc.RecordCount(), 1);
    espelho.SetData(lanc.GetData());
    EXPECT_EQ(espelho.RecordCount(), 2);
}

TEST_F(DataProperty, PacketFieldsTheDataSetDoesNotDefineAreNotExposedButKept) {
    debcred.AddField("NRSEQLANC", TFieldType::ftString, 5);
    debcred.AddField("VRLANCAMENT", TFieldType::ftFloat);
    debcred.AddField("IDLANCMANI", TFieldType::ftString, 1);  // absent from the packet
    debcred.SetData(lanc.GetData());                          // inactive with defined fields: opens
    EXPECT_TRUE(debcred.Active());
    EXPECT_EQ(debcred.FieldCount(), 3);
    EXPECT_EQ(debcred.FindField("CDEMPRESA"), nullptr);
    EXPECT_TRUE(debcred.FieldByName("IDLANCMANI")->IsNull());
    debcred.SetFilter("CDEMPRESA = '01'");
    EXPECT_THROW(debcred.SetFiltered(true), EFilterError);  // not exposed, not filterable
    debcred.SetFilter("");
    debcred.Edit();
    debcred.FieldByName("IDLANCMANI")->SetAsString("S");
    debcred.Post();
    EXPECT_EQ(debcred.FieldByName("IDLANCMANI")->AsString(), "S");
    lanc.SetData(debcred.GetData());  // the hidden fields came along
    EXPECT_EQ(lanc.FieldByName("CDEMPRESA")->AsString(), "01");
    EXPECT_EQ(Render(lanc), "00001:100 00002:-100");
}

TEST_F(DataProperty, ADataSetWithoutDefinedFieldsTakesThePacketFields) {
    TClientDataSet plain;
    plain.SetData(lanc.GetData());
    EXPECT_EQ(plain.FieldCount(), 6);
    EXPECT_EQ(plain.FieldByName("NRLANCCONT")->Size(), 12);
    EXPECT_EQ(Render(plain), "00001:100 00002:-100");
    TField* before = plain.FieldByName("VRLANCAMENT");
    plain.SetData(lanc.GetData());
    EXPECT_EQ(plain.FieldByName("VRLANCAMENT"), before);  // same layout: same fields
}

TEST_F(DataProperty, ChangeLogCountsRecordsAndMergeClearsIt) {
    EXPECT_EQ(lanc.ChangeCount(), 0);
    lanc.Edit();
    lanc.FieldByName("VRLANCAMENT")->SetAsFloat(100);  // same value: no change
    lanc.Post();
    EXPECT_EQ(lanc.ChangeCount(), 0);
    lanc.Edit();
    lanc.FieldByName("VRLANCAMENT")->SetAsFloat(90);
    lanc.Post();
    lanc.Edit();
    lanc.FieldByName("VRLANCAMENT")->SetAsFloat(80);
    lanc.Post();
    EXPECT_EQ(lanc.ChangeCount(), 1);  // one record modified twice
    lanc.Append();
    lanc.FieldByName("NRSEQLANC")->SetAsString("00003");
    lanc.Post();
    EXPECT_EQ(lanc.ChangeCount(), 2);
    lanc.Delete();  // the record just inserted: nothing left to log
    EXPECT_EQ(lanc.ChangeCount(), 1);
    lanc.First();
    lanc.Delete();
    EXPECT_EQ(lanc.ChangeCount(), 1);  // the modified record, now deleted
    espelho.SetData(lanc.GetData());
    EXPECT_EQ(espelho.ChangeCount(), 1);  // the log travels with Data
    lanc.MergeChangeLog();
    EXPECT_EQ(lanc.ChangeCount(), 0);
    EXPECT_EQ(espelho.ChangeCount(), 1);
    EXPECT_EQ(Render(lanc), "00002:-100");
}

TEST_F(DataProperty, EmptyDataSetDeletesAlsoTheRecordsHiddenByTheFilter) {
    lanc.SetFilter("NRSEQLANC = '00002'");
    lanc.SetFiltered(true);
    espelho.SetData(lanc.GetData());
    lanc.Edit();
    lanc.FieldByName("VRLANCAMENT")->SetAsFloat(3);
    lanc.EmptyDataSet();
    EXPECT_EQ(lanc.State(), dsBrowse);
    EXPECT_EQ(lanc.GetData().RecordCount(), 0u);
    EXPECT_TRUE(lanc.Filtered());
    lanc.SetFiltered(false);
    EXPECT_TRUE(lanc.IsEmpty());
    EXPECT_EQ(lanc.ChangeCount(), 0);
    EXPECT_EQ(espelho.RecordCount(), 2);  // the copy is untouched
}

TEST_F(DataProperty, CreateDataSetAndCloseStartEmpty) {
    TClientDataSet rateio;
    rateio.AddField("CDFILIAL", TFieldType::ftString, 4);
    rateio.AddField("FATOR", TFieldType::ftFloat);
    rateio.CreateDataSet();
    EXPECT_TRUE(rateio.Active());
    EXPECT_TRUE(rateio.IsEmpty());
    rateio.Append();
    rateio.FieldByName("FATOR")->SetAsFloat(0.5);
    rateio.Post();
    EXPECT_EQ(rateio.RecordCount(), 1);
    rateio.CreateDataSet();
    EXPECT_TRUE(rateio.IsEmpty());
    rateio.Close();
    EXPECT_EQ(rateio.RecordCount(), 0);
    EXPECT_THROW(rateio.AddField("CDFILIAL", TFieldType::ftString, 4), EDatabaseError);
}

}  // namespace
