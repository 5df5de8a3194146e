// The nine methods by their remote names and argument lists (TEntryStore::
// Call, what the RPC server dispatches to): results, by-reference arguments,
// and clear refusals of malformed calls.
#include "store_test_util.h"

#include <cmath>

using namespace storetest;

namespace {

class Methods : public ::testing::Test {
protected:
    void SetUp() override { store_ = std::make_unique<TEntryStore>(db_.Url()); }

    TRpcValue Call(const std::string& method, std::vector<TRpcValue> args) { return store_->Call(method, args); }
    std::string RefusalCode(const std::string& method, std::vector<TRpcValue> args) {
        try {
            store_->Call(method, args);
        } catch (const ERpcError& e) {
            return e.Code();
        }
        return "(aceito)";
    }

    TDemoCopy db_;
    std::unique_ptr<TEntryStore> store_;
};

TEST_F(Methods, GetLancContTakesEighteenArgumentsAndLeavesTheByRefOnesAsSent) {
    TLancFiltro f = YearFilter("01");
    f.Docu = "004512";
    std::vector<TRpcValue> args = FilterArgs(f);
    std::vector<TRpcValue> sent = args;
    TRpcValue result = store_->Call("getLancCont", args);  // either spelling
    ASSERT_TRUE(result.IsPacket());
    EXPECT_EQ(Entries(result.Packet()), std::vector<std::string>{Nr(1, 1)});
    for (int i : {0, 2, 3, 4, 5, 6, 7, 8, 9, 17}) EXPECT_EQ(args[i].Scalar(), sent[i].Scalar()) << "argument " << i;
    const auto& methods = StoreMethods();
    EXPECT_EQ(methods.front().Signature->ByRef, (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 17}));
}

TEST_F(Methods, OneEntryMethods) {
    TRpcValue lines = Call("GetLancContFiltrado", {TRpcValue("01"), TRpcValue(Nr(1, 5))});
    EXPECT_EQ(lines.Packet().RecordCount(), 3u);
    TRpcValue rateio = Call("GetLancCCusto", {TRpcValue("01"), TRpcValue(Nr(1, 1))});
    EXPECT_EQ(rateio.Packet().RecordCount(), 3u);
    EXPECT_EQ(Call("getCdLote", {TRpcValue("01"), TRpcValue(Nr(1, 2))}).Scalar().AsString(), "000123");
    EXPECT_EQ(Call("getCdLote", {TRpcValue("01"), TRpcValue(Nr(1, 1))}).Scalar().AsString(), "");
    EXPECT_TRUE(Call("getEmprRelac", {TRpcValue("01"), TRpcValue("0005")}).Scalar().AsBoolean());
    EXPECT_FALSE(Call("getEmprRelac", {TRpcValue("01"), TRpcValue("0004")}).Scalar().AsBoolean());
    EXPECT_FALSE(Call("GETEMPRRELAC", {TRpcValue("01"), TRpcValue("' OR '1'='1")}).Scalar().AsBoolean());
}

TEST_F(Methods, ValidaMapaAnswersStatusAndMaps) {
    std::vector<TRpcValue> args = {TRpcValue("01"), TRpcValue(Nr(1, 3))};
    TRpcValue tied = store_->Call("ValidaMapa", args);
    ASSERT_TRUE(tied.IsArray());
    ASSERT_EQ(tied.Items().size(), 2u);
    EXPECT_EQ(tied.Items()[0].Scalar().AsString(), "ERRO");
    const TDataPacket& maps = tied.Items()[1].Packet();
    EXPECT_EQ(maps.Fields(), MapaApuracFields());
    ASSERT_EQ(maps.RecordCount(), 1u);
    EXPECT_EQ(Cell(maps, 0, "MES") + "/" + Cell(maps, 0, "ANO") + "-" + Cell(maps, 0, "IMPOSTO"), "Janeiro/2024-ICMS");
    EXPECT_EQ(args[1].Scalar().AsString(), Nr(1, 3));

    TRpcValue free = Call("ValidaMapa", {TRpcValue("01"), TRpcValue(Nr(1, 1))});
    EXPECT_EQ(free.Items()[0].Scalar().AsString(), "OK");
    EXPECT_EQ(free.Items()[1].Packet().RecordCount(), 0u);
}

TEST_F(Methods, PrxLancContabilWritesTheMonthBack) {
    std::vector<TRpcValue> args = {TRpcValue("01"), TRpcValue(Variant())};
    TRpcValue nr = store_->Call("PrxLancContabil", args);
    EXPECT_EQ(nr.Scalar().AsString().size(), 12u);
    EXPECT_EQ(args[1].Scalar().AsString(), nr.Scalar().AsString().substr(0, 6));
}

TEST_F(Methods, SaveAndDeleteByTheirArgumentLists) {
    TRpcValue lines = Call("GetLancContFiltrado", {TRpcValue("01"), TRpcValue(Nr(1, 5))});
    TRpcValue rateio = Call("GetLancCCusto", {TRpcValue("01"), TRpcValue(Nr(1, 5))});
    std::vector<TRpcValue> args = {
        lines, rateio, TRpcValue("01"), TRpcValue(Nr(1, 5)), TRpcValue("000415"), TRpcValue("OPER")};
    EXPECT_TRUE(store_->Call("SetLancContabil", args).Scalar().AsBoolean());
    EXPECT_EQ(args[3].Scalar().AsString(), Nr(1, 5));
    EXPECT_EQ(args[4].Scalar().AsString(), "000415");

    std::vector<TRpcValue> del = {TRpcValue("01"), TRpcValue(Nr(1, 5))};
    EXPECT_TRUE(store_->Call("SetExcluiLancamento", del).Scalar().AsBoolean());
    EXPECT_EQ(Call("GetLancContFiltrado", {TRpcValue("01"), TRpcValue(Nr(1, 5))}).Packet().RecordCount(), 0u);
}

TEST_F(Methods, MalformedCallsAreRefusedClearly) {
    std::vector<TRpcValue> filter = FilterArgs(YearFilter("01"));
    std::vector<TRpcValue> shortFilter(filter.begin(), filter.end() - 1);
    EXPECT_EQ(RefusalCode("GetLancCont", shortFilter), "argumentos");
    std::vector<TRpcValue> badDate = filter;
    badDate[12] = TRpcValue("01/01/2024");
    EXPECT_EQ(RefusalCode("GetLancCont", badDate), "tipo");
    std::vector<TRpcValue> numberForText = filter;
    numberForText[1] = TRpcValue(1.0);
    EXPECT_EQ(RefusalCode("GetLancCont", numberForText), "tipo");
    std::vector<TRpcValue> packetForText = filter;
    packetForText[4] = TRpcValue(TDataPacket(LancContFields()));
    EXPECT_EQ(RefusalCode("GetLancCont", packetForText), "tipo");

    std::vector<TRpcValue> nanDate = filter;
    nanDate[13] = TRpcValue(std::nan(""));
    EXPECT_EQ(RefusalCode("GetLancCont", nanDate), "argumentos");

    EXPECT_EQ(RefusalCode("PrxLancContabil", {TRpcValue("01")}), "argumentos");
    EXPECT_EQ(RefusalCode("SetLancContabil", {TRpcValue("x"), TRpcValue("y"), TRpcValue("01"), TRpcValue("1"),
                                              TRpcValue(""), TRpcValue("")}),
              "tipo");
    EXPECT_EQ(RefusalCode("ValidaMapa", {}), "argumentos");
    EXPECT_EQ(RefusalCode("ApagaTudo", {}), "metodo");
}

}  // namespace
