// The state machine of a data set and the order and effect of its events.
#include "platform/data/dataset.h"
#include "platform/data/format.h"
#include "tests/data/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

class DataSetStates : public ::testing::Test {
protected:
    TClientDataSet cds;
    std::string log;

    void SetUp() override {
        cds.Name = "cdsLancCont";
        DefineLineFields(cds);
        cds.SetData(LinePacket({{"01", "000000000001", "00001", 100},
                                {"01", "000000000001", "00002", -100},
                                {"01", "000000000002", "00001", 50}}));
    }
    void record(TDataSet::TDataSetNotifyEvent& e, const char* name) {
        e = [this, name](TDataSet*) { log += std::string(name) + " "; };
    }
    void recordAll() {
        record(cds.BeforeInsert, "BI");
        record(cds.AfterInsert, "AI");
        record(cds.BeforeEdit, "BE");
        record(cds.AfterEdit, "AE");
        record(cds.BeforePost, "BP");
        record(cds.AfterPost, "AP");
        record(cds.BeforeCancel, "BC");
        record(cds.AfterCancel, "AC");
        record(cds.BeforeDelete, "BD");
        record(cds.AfterDelete, "AD");
        record(cds.BeforeScroll, "BS");
        record(cds.AfterScroll, "AS");
    }
};

TEST_F(DataSetStates, EventsRunInTheFrameworkOrder) {
    recordAll();
    cds.Insert();
    EXPECT_EQ(cds.State(), dsInsert);
    cds.FieldByName("NRSEQLANC")->SetAsString("00009");
    cds.Post();
    EXPECT_EQ(log, "BI BS AI AS BP AP ");
    log.clear();
    cds.Edit();
    cds.Cancel();
    EXPECT_EQ(log, "BE AE BC AC ");
    log.clear();
    cds.Append();
    cds.Cancel();
    EXPECT_EQ(log, "BI BS AI AS BC BS AC AS ");
    log.clear();
    cds.Delete();
    EXPECT_EQ(log, "BD BS AD AS ");
    log.clear();
    cds.First();
    cds.Next();
    EXPECT_EQ(log, "BS AS BS AS ");
    log.clear();
    cds.Last();
    cds.Next();  // already at the end: nothing moves, nothing fires
    EXPECT_EQ(log, "BS AS ");
}

TEST_F(DataSetStates, ThrowingBeforePostKeepsTheRecordInEditWithItsValues) {
    cds.BeforePost = [](TDataSet*) { throw std::runtime_error("Valor da partida deve ser diferente de zero."); };
    cds.Edit();
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(0);
    EXPECT_THROW(cds.Post(), std::runtime_error);
    EXPECT_EQ(cds.State(), dsEdit);
    EXPECT_EQ(cds.FieldByName("VRLANCAMENT")->AsFloat(), 0);
    EXPECT_EQ(RenderPacket(cds.GetData()), "00001:100 00002:-100 00001:50");
    cds.BeforePost = nullptr;
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(75);
    cds.Post();
    EXPECT_EQ(Render(cds), "00001:75 00002:-100 00001:50");
}

TEST_F(DataSetStates, ThrowingBeforeInsertLeavesTheDataSetAsItWas) {
    cds.Next();
    cds.BeforeInsert = [](TDataSet*) { throw std::runtime_error("lote"); };
    EXPECT_THROW(cds.Insert(), std::runtime_error);
    EXPECT_EQ(cds.State(), dsBrowse);
    EXPECT_EQ(cds.RecNo(), 2);
    EXPECT_EQ(cds.RecordCount(), 3);
    EXPECT_EQ(cds.FieldByName("NRSEQLANC")->AsString(), "00002");
    EXPECT_EQ(cds.ChangeCount(), 0);
}

TEST_F(DataSetStates, ThrowingBeforeEditBeforeDeleteAndBeforeScrollChangeNothing) {
    auto refuse = [](TDataSet*) { throw std::runtime_error("não"); };
    cds.BeforeEdit = refuse;
    EXPECT_THROW(cds.Edit(), std::runtime_error);
    EXPECT_EQ(cds.State(), dsBrowse);
    cds.BeforeDelete = refuse;
    EXPECT_THROW(cds.Delete(), std::runtime_error);
    EXPECT_EQ(cds.RecordCount(), 3);
    cds.BeforeScroll = refuse;
    EXPECT_THROW(cds.Next(), std::runtime_error);
    EXPECT_EQ(cds.RecNo(), 1);
    EXPECT_THROW(cds.Locate("NRLANCCONT", Variant("000000000002")), std::runtime_error);
    EXPECT_EQ(cds.RecNo(), 1);
}

TEST_F(DataSetStates, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd) {
    cds.Next();
    cds.Insert();
    cds.FieldByName("NRSEQLANC")->SetAsString("I");
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(1);
    cds.Post();
    EXPECT_EQ(cds.RecNo(), 2);
    cds.First();
    cds.Append();
    cds.FieldByName("NRSEQLANC")->SetAsString("A");
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(2);
    cds.Post();
    EXPECT_EQ(cds.RecNo(), 5);
    EXPECT_EQ(Render(cds), "00001:100 I:1 00002:-100 00001:50 A:2");
}

TEST_F(DataSetStates, CancellingAnInsertReturnsToTheRecordThatWasCurrent) {
    cds.Next();
    cds.Insert();
    cds.FieldByName("NRSEQLANC")->SetAsString("X");
    cds.Cancel();
    EXPECT_EQ(cds.FieldByName("NRSEQLANC")->AsString(), "00002");
    EXPECT_EQ(cds.RecordCount(), 3);
}

TEST_F(DataSetStates, NavigationPostsAModifiedRecordAndCancelsAnUntouchedOne) {
    cds.Edit();
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(7);
    cds.Next();
    EXPECT_EQ(cds.State(), dsBrowse);
    EXPECT_EQ(Render(cds), "00001:7 00002:-100 00001:50");
    cds.Insert();
    cds.First();  // nothing typed: the insert is dropped
    EXPECT_EQ(cds.RecordCount(), 3);
}

TEST_F(DataSetStates, EofBofAndRecNoFollowTheFramework) {
    EXPECT_TRUE(cds.Bof());
    EXPECT_FALSE(cds.Eof());
    int seen = 0;
    for (cds.First(); !cds.Eof(); cds.Next()) ++seen;
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(cds.RecNo(), 3);
    cds.Prior();
    EXPECT_FALSE(cds.Eof());
    EXPECT_EQ(cds.MoveBy(-5), -1);
    EXPECT_TRUE(cds.Bof());
    cds.SetRecNo(3);
    EXPECT_EQ(cds.FieldByName("VRLANCAMENT")->AsFloat(), 50);
}

TEST_F(DataSetStates, EditOfAnEmptyDataSetInserts) {
    cds.EmptyDataSet();
    EXPECT_TRUE(cds.IsEmpty());
    EXPECT_TRUE(cds.Eof() && cds.Bof());
    cds.Edit();
    EXPECT_EQ(cds.State(), dsInsert);
    EXPECT_FALSE(cds.IsEmpty());
}

TEST_F(DataSetStates, MisuseRaisesAClearError) {
    EXPECT_THROW(cds.FieldByName("VRLANCAMENT")->SetAsFloat(1), EDatabaseError);
    EXPECT_THROW(cds.Post(), EDatabaseError);
    EXPECT_THROW(cds.FieldByName("NAOEXISTE"), EDatabaseError);
    EXPECT_EQ(cds.FindField("NAOEXISTE"), nullptr);
    cds.Edit();
    EXPECT_THROW(cds.FieldByName("VRLANCAMENT")->SetAsString("12,3,4"), EDatabaseError);
    EXPECT_THROW(cds.FieldByName("DTLANCCONT")->SetAsString("31/02/2024"), EDatabaseError);
    cds.Cancel();
    cds.ReadOnly = true;
    EXPECT_THROW(cds.Edit(), EDatabaseError);
    EXPECT_THROW(cds.Insert(), EDatabaseError);
    cds.Close();
    EXPECT_THROW(cds.First(), EDatabaseError);
    EXPECT_THROW(cds.Edit(), EDatabaseError);
    TClientDataSet none;
    EXPECT_THROW(none.CreateDataSet(), EDatabaseError);
}

TEST_F(DataSetStates, FieldsKeepSizeInCharactersAndFireOnChangeOnlyOnChange) {
    int changes = 0;
    TField* conta = cds.FieldByName("CDCONTCTBL");
    conta->OnChange = [&](TField*) { ++changes; };
    cds.Edit();
    conta->SetAsString("1110100001");  // same as stored
    EXPECT_EQ(changes, 0);
    conta->SetAsString("ÁÉÍÓÚáéíóúÇçÃãÕõÂâÊêX");  // 21 characters, 41 bytes
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(conta->AsString(), "ÁÉÍÓÚáéíóúÇçÃãÕõÂâÊê");
    EXPECT_EQ(Utf8Length(conta->AsString()), 20u);
    TField* data = cds.FieldByName("DTLANCCONT");
    data->SetAsString("  /  /    ");
    EXPECT_TRUE(data->IsNull());
    data->SetAsDateTime(0);
    EXPECT_TRUE(data->IsNull());
    data->SetAsString("15/01/2024");
    EXPECT_EQ(data->DisplayText(), "15/01/2024");
    TField* valor = cds.FieldByName("VRLANCAMENT");
    valor->DisplayFormat = "#,##0.00";
    valor->SetAsString("1.234,5");
    EXPECT_EQ(valor->DisplayText(), "1.234,50");
    EXPECT_EQ(valor->Text(), "1234,5");
    valor->OnGetText = [](TField* f, std::string& text, bool display) {
        text = (display ? "D " : "E ") + FormatFloat("0.00", std::abs(f->AsFloat()));
    };
    EXPECT_EQ(valor->DisplayText(), "D 1234,50");
    EXPECT_EQ(valor->Text(), "E 1234,50");
}

}  // namespace
