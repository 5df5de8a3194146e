// The arithmetic of the mirrored apportionment: factors taken unrounded from
// the first management line, each generated share rounded on its post, and
// the remainder put on the last share when the factors do not add up to one.
#include "lines_fixture.h"

#include "ledger/rules.h"
#include "platform/data/format.h"

#include <sstream>

namespace {

struct TShare {
    std::string filial, centCust;
    double valor;
};

struct TMirrorCase {
    const char* name;
    double firstLine;
    std::vector<TShare> firstShares;
    double target;
    std::string expected;  // the target's shares, "branch/centre value" each
};

void PrintTo(const TMirrorCase& c, std::ostream* os) { *os << c.name; }

class MirrorTest : public LinesTest, public ::testing::WithParamInterface<TMirrorCase> {
protected:
    void SetUp() override {
        LinesTest::SetUp();
        Serve([this](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
            if (m == "getEmprRelac") return TRpcValue(Variant(true));
            if (m == "ValidaMapa") return MapAnswer("OK", false);
            if (m == "GetLancContFiltrado") return TRpcValue(LinesPacket(linhas));
            return TRpcValue(TDataPacket({{"NRSEQLANC", TFieldType::ftString, 5}}));
        });
    }

    static TDataPacket Shares(const std::vector<TShare>& shares) {
        using enum TFieldType;
        TDataPacket p({{"CDEMPRESA", ftString, 2},
                       {"NRLANCCONT", ftString, 12},
                       {"NRSEQLANC", ftString, 5},
                       {"CDFILIAL", ftString, 4},
                       {"CDCENTCUST", ftString, 4},
                       {"VRLANCCUST", ftFloat, 0},
                       {"DTCOMPCUSTO", ftDateTime, 0}});
        for (const TShare& s : shares)
            p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00001"), Variant(s.filial),
                         Variant(s.centCust), Variant(s.valor), Variant(45300.0)});
        return p;
    }

    // The shares the current line holds now.
    std::string LineShares() {
        std::ostringstream out;
        for (f->cdsLancCCusto->First(); !f->cdsLancCCusto->Eof(); f->cdsLancCCusto->Next())
            out << (out.tellp() > 0 ? ", " : "") << f->cdsLancCCustoCDFILIAL->AsString() << "/"
                << f->cdsLancCCustoCDCENTCUST->AsString() << " "
                << FormatFloat("0.00", f->cdsLancCCustoVRLANCCUST->AsFloat());
        return out.str();
    }
};

TEST_P(MirrorTest, TheTargetLineReceivesTheFirstLinesProportions) {
    const TMirrorCase& c = GetParam();
    Open("01", {{"01", "202401000001", "00001", "3110100001", c.firstLine, "M", ""},
                {"01", "202401000001", "00002", "3110100001", c.target, "M", ""}});
    f->cdsLancCCusto->Data(Shares(c.firstShares));
    f->cdsLancCCustoEspelho->Data(f->cdsLancCCusto->Data());
    f->cdsLancContEspelho->Data(f->cdsLancCont->Data());
    f->cdsLancCont->Last();  // the scroll puts the apportionment view on line 2

    ASSERT_TRUE(Dispatch([&] {
        f->CalculaRateioEspelhado();
        f->GeraRateioEspelhado();
    })) << Shown();
    EXPECT_EQ(LineShares(), c.expected);
    EXPECT_EQ(f->cdsRateioEspelho->RecordCount(), static_cast<int>(c.firstShares.size()));
    EXPECT_TRUE(f->boAlterado);
}

INSTANTIATE_TEST_SUITE_P(Rateio, MirrorTest,
                         ::testing::Values(TMirrorCase{"SixtyFortyOntoADebit",
                                                       1000,
                                                       {{"0001", "0100", 600}, {"0010", "0200", 400}},
                                                       -250,
                                                       "0001/0100 -150,00, 0010/0200 -100,00"},
                                           TMirrorCase{"EachProductRoundedNoRemainder",
                                                       1000,
                                                       {{"0001", "0100", 600}, {"0010", "0200", 400}},
                                                       333.33,
                                                       "0001/0100 200,00, 0010/0200 133,33"},
                                           TMirrorCase{"FactorsShortOfOneLeaveTheRemainderOnTheLastShare",
                                                       100,
                                                       {{"0001", "0100", 60}, {"0010", "0200", 30}},
                                                       200,
                                                       "0001/0100 120,00, 0010/0200 80,00"}),
                         [](const ::testing::TestParamInfo<TMirrorCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MirrorTest, FactorsAreTakenOncePerEntryAndUnrounded) {
    Open("01", {{"01", "202401000001", "00001", "3110100001", 300, "M", ""},
                {"01", "202401000001", "00002", "3110100001", -90, "M", ""}});
    f->cdsLancCCusto->Data(Shares({{"0001", "0100", 100}, {"0010", "0200", 200}}));
    f->cdsLancCCustoEspelho->Data(f->cdsLancCCusto->Data());
    f->cdsLancContEspelho->Data(f->cdsLancCont->Data());
    ASSERT_TRUE(Dispatch([&] { f->CalculaRateioEspelhado(); })) << Shown();
    f->cdsRateioEspelho->First();
    EXPECT_DOUBLE_EQ(f->cdsRateioEspelho->FieldByName("FATOR")->AsFloat(), 100.0 / 300.0);

    // The first line's shares change: the factors of this entry stay.
    f->cdsLancCCustoEspelho->Data(Shares({{"0001", "0100", 150}, {"0010", "0200", 150}}));
    ASSERT_TRUE(Dispatch([&] { f->CalculaRateioEspelhado(); })) << Shown();
    f->cdsRateioEspelho->First();
    EXPECT_DOUBLE_EQ(f->cdsRateioEspelho->FieldByName("FATOR")->AsFloat(), 100.0 / 300.0);
    EXPECT_EQ(f->cdsRateioEspelho->RecordCount(), 2);
}

}  // namespace

// The server refuses with the rules' texts, the screen with its table's: the
// two never say different things for one key.
TEST_F(LinesTest, TheRulesSpeakWithTheScreensMessages) {
    f = CreateScreen();
    for (const std::string& key : ledger::MessageKeys()) {
        if (!f->msgPadrao->Has(key)) continue;
        EXPECT_EQ(ledger::MessageText({key, "", "%s"}), f->msgPadrao->Msg(key)) << key;
    }
    EXPECT_EQ(ledger::MessageText({"CodComerBan_Inv", "", ""}), f->msgPadrao->Msg("CodComerBan_Inv"));
}
