// The GetLancCont request of the filter dialog: the 18 arguments in order
// with their by-reference marks, the filter kinds, the padded final account,
// and what a failed or malformed answer leaves behind.
#include "filter_fixture.h"

#include <cstdio>

namespace {

// "i:value" per argument, "&" before a by-reference one; texts quoted,
// numbers in plain C notation.
std::string render(const TRecordedCall& call) {
    std::string out;
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        bool ref = false;
        for (int r : call.byRef) ref = ref || r == static_cast<int>(i);
        if (i) out += " ";
        out += std::to_string(i + 1) + ":" + (ref ? "&" : "");
        const Variant& v = call.args[i].Scalar();
        if (v.kind() == Variant::Kind::String) {
            out += "'" + v.AsString() + "'";
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.10g", v.AsFloat());
            out += buf;
        }
    }
    return out;
}

}  // namespace

TEST_F(FilterTest, RequestCarriesEighteenArgumentsInOrderWithTheirReferences) {
    show();
    dlg->medContCtblIn->SetText("1");
    dlg->medContCtblFi->SetText("2");
    dlg->depIni->SetText("01/06/2024");
    dlg->depFim->SetText("14/06/2024");
    dlg->edtValorIni->SetText("100,00");
    dlg->edtValorFim->SetText("200,00");
    dlg->rbtLista->SetChecked(true);
    dlg->stListaHist = "_0001_";
    dlg->rbtClie->SetChecked(true);
    dlg->stListaClie = "_C1_";
    dlg->rbtForn->SetChecked(true);
    dlg->stListaForn = "_F1_";
    dlg->rbtBanc->SetChecked(true);
    dlg->stListaBanc = "_B1_";
    dlg->rbtLCentCust->SetChecked(true);
    dlg->stListaCentCust = "_CC1_";
    dlg->rbtLFilial->SetChecked(true);
    dlg->stListaFilial = "_0003_";
    dlg->medDoc->SetText("123");
    dlg->medHistLanc->SetText("PAGTO");
    server.answer = TRpcValue(LinesPacket({"000000000001", "000000000002"}));

    ASSERT_TRUE(confirm()) << boxes();
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls[0].method, "GetLancCont");
    EXPECT_EQ(render(server.calls[0]),
              "1:&'FiltroValorGer' 2:'01' 3:&'' 4:&'2ZZZZZZZZZ' 5:&'_0001_' 6:&'_C1_' "
              "7:&'_F1_' 8:&'_B1_' 9:&'123' 10:&'_CC1_' 11:'1' 12:'2' 13:45444 14:45457 "
              "15:100 16:200 17:'PAGTO' 18:&'_0003_'");
    EXPECT_EQ(screen->cdsLancCont->RecordCount(), 2);
    EXPECT_FALSE(dlg->Visible);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
}

// What the server writes into the by-reference arguments is what the
// applied filter keeps: the entry screen reloads with the same values.
TEST_F(FilterTest, AppliedFilterTakesTheValuesOfTheRequestAfterTheCall) {
    show();
    dlg->medContCtblIn->SetText("1");
    dlg->medContCtblFi->SetText("11");
    dlg->medLanc->SetText("7");
    dlg->medHistLanc->SetText("ALUGUEL");
    server.answer = TRpcValue(LinesPacket({}));
    server.writeBack = {{2, TRpcValue("000000000007")}, {4, TRpcValue("_0009_")}};

    ASSERT_TRUE(confirm()) << boxes();
    EXPECT_EQ(dlg->stTipoFiltro, "AuxFiltro");
    EXPECT_EQ(dlg->stFiltEmpresa, "01");
    EXPECT_EQ(dlg->stFiltNrLanc, "000000000007");
    EXPECT_EQ(dlg->stFiltContFimZ, "11ZZZZZZZZ");
    EXPECT_EQ(dlg->stFiltHist, "_0009_");
    EXPECT_EQ(dlg->stFiltContIni, "1");
    EXPECT_EQ(dlg->stFiltContFim, "11");
    EXPECT_EQ(dlg->dtFiltIni, 45457);
    EXPECT_EQ(dlg->dtFiltFim, 45457);
    EXPECT_EQ(dlg->stFiltHistLanc, "ALUGUEL");
    EXPECT_EQ(screen->cdsLancCont->RecordCount(), 0);
}

TEST_F(FilterTest, EmptyFinalAccountIsPaddedToTenLettersZ) {
    show();
    server.answer = TRpcValue(LinesPacket({}));
    ASSERT_TRUE(confirm()) << boxes();
    EXPECT_EQ(server.calls.at(0).args.at(3).Scalar().AsString(), "ZZZZZZZZZZ");
    EXPECT_EQ(dlg->stFiltContFimZ, "ZZZZZZZZZZ");
}

// A refused request leaves the dialog open with the rounded values, the
// saved criteria already updated, the lines as they were and the animation
// hidden; the next confirmation sends the rounded values.
TEST_F(FilterTest, FailedRequestKeepsDialogOpenAndNextConfirmationSendsRoundedValues) {
    show();
    dlg->edtValorIni->SetText("10,005");
    dlg->edtValorFim->SetText("20,004");
    dlg->medLanc->SetText("5");
    server.failure = "Faixa de valores inválida no filtro.";

    EXPECT_FALSE(confirm());
    EXPECT_EQ(boxes(), "Faixa de valores inválida no filtro.");
    EXPECT_TRUE(dlg->Visible);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
    EXPECT_EQ(dlg->edtValorIni->Text(), "10,01");
    EXPECT_EQ(dlg->edtValorFim->Text(), "20,00");
    EXPECT_DOUBLE_EQ(dlg->FiltroSalvo.Valor.vrIni, 10.01);
    EXPECT_EQ(dlg->FiltroSalvo.DocLanc.stNrLanc, "5");
    EXPECT_EQ(dlg->stTipoFiltro, "FiltroValor");  // saved without the entry number
    EXPECT_EQ(dlg->stFiltNrLanc, "");             // only a successful request stores it
    ASSERT_EQ(screen->cdsLancCont->RecordCount(), 1);
    EXPECT_EQ(screen->cdsLancCont->FieldByName("NRLANCCONT")->AsString(), "000000000007");

    server.failure.clear();
    server.answer = TRpcValue(LinesPacket({"000000000005"}));
    ASSERT_TRUE(confirm()) << boxes();
    ASSERT_EQ(server.calls.size(), 2u);
    EXPECT_DOUBLE_EQ(server.calls[1].args.at(14).Scalar().AsFloat(), 10.01);
    EXPECT_DOUBLE_EQ(server.calls[1].args.at(15).Scalar().AsFloat(), 20.0);
    EXPECT_EQ(server.calls[1].args.at(0).Scalar().AsString(), "AuxFiltro");
    EXPECT_EQ(dlg->stFiltNrLanc, "5");
    EXPECT_FALSE(dlg->Visible);
}

TEST_F(FilterTest, AnswerThatIsNotAPacketIsRefusedAndLeavesTheLines) {
    show();
    dlg->medLanc->SetText("5");
    server.answer = TRpcValue("ok");

    EXPECT_FALSE(confirm());
    EXPECT_NE(boxes(), "");
    EXPECT_TRUE(dlg->Visible);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
    EXPECT_EQ(screen->cdsLancCont->RecordCount(), 1);
    EXPECT_EQ(dlg->stFiltNrLanc, "");
}

// ------------------------------------------------------------ filter kinds

struct KindCase {
    const char* name;
    const char* vrIni;
    const char* vrFim;
    const char* nrLanc;
    bool filial, centCust;
    const char* sent;       // kind of the request (entry number counts)
    const char* cancelled;  // kind stored by a cancel (entry number ignored)
    double sentVrFim;
};

void PrintTo(const KindCase& k, std::ostream* os) { *os << k.name; }

class FilterKindTest : public FilterTest, public ::testing::WithParamInterface<KindCase> {
protected:
    void fill(const KindCase& k) {
        dlg->edtValorIni->SetText(k.vrIni);
        dlg->edtValorFim->SetText(k.vrFim);
        dlg->medLanc->SetText(k.nrLanc);
        if (k.filial) {
            dlg->rbtLFilial->SetChecked(true);
            dlg->stListaFilial = "_0001_";
        }
        if (k.centCust) {
            dlg->rbtLCentCust->SetChecked(true);
            dlg->stListaCentCust = "_0002_";
        }
    }
};

// Cancelling first stores the kind without the entry number; the next
// showing restores the same criteria, and confirming sends the kind with it.
TEST_P(FilterKindTest, CancelStoresKindWithoutEntryNumberConfirmSendsItWith) {
    const KindCase& k = GetParam();
    show();
    fill(k);
    ASSERT_TRUE(cancel());
    EXPECT_EQ(dlg->stTipoFiltro, k.cancelled);

    show();
    server.answer = TRpcValue(LinesPacket({}));
    ASSERT_TRUE(confirm()) << boxes();
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls[0].args.at(0).Scalar().AsString(), k.sent);
    EXPECT_EQ(dlg->stTipoFiltro, k.sent);
    EXPECT_DOUBLE_EQ(server.calls[0].args.at(15).Scalar().AsFloat(), k.sentVrFim);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FilterKindTest,
    ::testing::Values(
        KindCase{"BothValues", "100,00", "200,00", "", false, false, "FiltroValor", "FiltroValor", 200},
        KindCase{"BothValuesAndEntryNumber", "100,00", "200,00", "5", false, false, "AuxFiltro", "FiltroValor", 200},
        KindCase{"BothValuesAndBranchList", "100,00", "200,00", "", true, false, "FiltroValorGer", "FiltroValorGer",
                 200},
        KindCase{"EntryNumberAndCostCentreList", "100,00", "200,00", "5", false, true, "AuxFiltroGer", "FiltroValorGer",
                 200},
        KindCase{"OnlyFinalValue", "0", "50,00", "", false, false, "AuxFiltro", "AuxFiltro", 50},
        KindCase{"NoValues", "", "", "", false, false, "AuxFiltro", "AuxFiltro", 0},
        KindCase{"NoValuesWithBranchList", "", "", "", true, false, "AuxFiltroGer", "AuxFiltroGer", 0},
        // The final value left empty takes the initial one at confirmation.
        KindCase{"FinalValueEmpty", "100,00", "", "", false, false, "FiltroValor", "AuxFiltro", 100},
        KindCase{"FinalValueZero", "100,00", "0", "", true, false, "FiltroValorGer", "AuxFiltroGer", 100}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });
