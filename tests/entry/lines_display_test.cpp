// Debit/credit totals, the display text of line values, the history cell
// rule, and the batch and tax-map guards.
#include "lines_fixture.h"

#include "platform/ui/grid.h"

TEST(LineValueText, ShowsUnsignedAmountsWithTheirSideAndHidesWhatRoundsToZero) {
    EXPECT_EQ(TextoValorLancamento(Variant(1234.5), false), "1.234,50 CR");
    EXPECT_EQ(TextoValorLancamento(Variant(-70.0), false), "70,00 DB");
    EXPECT_EQ(TextoValorLancamento(Variant(0.004), false), "");
    EXPECT_EQ(TextoValorLancamento(Variant(-0.006), false), "0,01 DB");
    EXPECT_EQ(TextoValorLancamento(Variant(1.005), false), "1,01 CR");
    EXPECT_EQ(TextoValorLancamento(Variant(0.0), false), "");
    EXPECT_EQ(TextoValorLancamento(Variant(), false), "");
    EXPECT_EQ(TextoValorLancamento(Variant(-1234.5), true), "-1.234,50");
    EXPECT_EQ(TextoValorLancamento(Variant(), true), "");
}

TEST(HistoryCell, CutsAfter33CharactersCountingLettersNotBytes) {
    const std::string exato(33, 'a');
    EXPECT_EQ(CelulaHistorico(exato).Texto, exato);
    EXPECT_FALSE(CelulaHistorico(exato).Glifo);
    EXPECT_EQ(CelulaHistorico(exato + "b").Texto, exato);
    EXPECT_TRUE(CelulaHistorico(exato + "b").Glifo);
    EXPECT_FALSE(CelulaHistorico("").Glifo);

    // 33 accented letters are 66 bytes: shown whole, and the 34th is cut
    // between letters, never inside one.
    std::string acentos;
    for (int i = 0; i < 33; ++i) acentos += "ç";
    EXPECT_EQ(CelulaHistorico(acentos).Texto, acentos);
    EXPECT_FALSE(CelulaHistorico(acentos).Glifo);
    EXPECT_EQ(CelulaHistorico(acentos + "ão").Texto, acentos);
    EXPECT_TRUE(CelulaHistorico(acentos + "ão").Glifo);
}

namespace {

// A canvas that writes down what was painted.
class TRecordingCanvas : public TCanvas {
public:
    std::string log;
    void FillRect(const TRect& r) override { log += "fill " + Rect(r) + "; "; }
    void TextRect(const TRect& clip, int x, int y, const std::string& text) override {
        log += "text " + Rect(clip) + " at " + std::to_string(x) + "," + std::to_string(y) + " '" + text + "'; ";
    }
    void BrushCopy(const TRect& dest, const TImage*, const TRect& source, TColor) override {
        log += "glyph " + Rect(dest) + " from " + Rect(source) + "; ";
    }

private:
    static std::string Rect(const TRect& r) {
        return std::to_string(r.Left) + "," + std::to_string(r.Top) + "-" + std::to_string(r.Right) + "," +
               std::to_string(r.Bottom);
    }
};

std::vector<TLineRow> kEntry() {
    return {{"01", "202401000001", "00001", "1110100002", 100.0, "M", ""},
            {"01", "202401000001", "00002", "1110100001", -100.0, "M", ""}};
}

}  // namespace

TEST_F(LinesTest, TotalsSplitCreditsAndDebitsOfTheEntryShownOnly) {
    Open("01", {{"01", "202401000001", "00001", "1110100002", 100.0, "M", ""},
                {"01", "202401000001", "00002", "1110100001", -60.0, "M", ""},
                {"01", "202401000001", "00003", "1110100001", -40.0, "M", ""},
                {"01", "202401000002", "00001", "1110100001", -999.0, "M", ""}});
    EXPECT_DOUBLE_EQ(f->ndeCredito->Number(), 100.0);
    EXPECT_DOUBLE_EQ(f->ndeDebito->Number(), 100.0);
    EXPECT_EQ(f->cdsDebitoCredito->Filter(), "NRLANCCONT = '202401000001' AND CDEMPRESA  = '01'");

    // Cents that do not add up exactly in binary still show as cents.
    Open("01", {{"01", "202401000001", "00001", "1110100002", 0.1, "M", ""},
                {"01", "202401000001", "00002", "1110100002", 0.2, "M", ""}});
    EXPECT_EQ(f->ndeCredito->Number(), 0.3);
}

TEST_F(LinesTest, TheHistoryColumnIsDrawnCutWithTheGlyphAndOtherColumnsAreLeftAlone) {
    Open("01", kEntry());
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); })) << Shown();
    f->cdsLancContDSHISTLANC->SetAsString(std::string(40, 'h'));
    TRecordingCanvas canvas;
    f->dbgLancCont->Canvas = &canvas;
    const int col = Consiste::IndiceCol(f->dbgLancCont, "DSHISTLANC");
    f->dbgLancContDrawColumnCell(f->dbgLancCont, TRect{10, 20, 210, 38}, col, f->dbgLancCont->Columns->Items(col), 0);
    EXPECT_TRUE(f->celHistorico.Glifo);
    EXPECT_EQ(canvas.log,
              "fill 10,20-210,38; glyph 180,20-196,38 from 0,0-16,18; "
              "text 11,20-181,38 at 13,23 '" +
                  std::string(33, 'h') + "'; ");

    canvas.log.clear();
    const int other = Consiste::IndiceCol(f->dbgLancCont, "CDCONTCTBL");
    f->dbgLancContDrawColumnCell(f->dbgLancCont, TRect{0, 0, 90, 18}, other, f->dbgLancCont->Columns->Items(other), 0);
    EXPECT_EQ(canvas.log, "");
    f->dbgLancCont->Canvas = nullptr;
}

TEST_F(LinesTest, BatchAndClosingLinesAreRefusedWithTheBatchNumberOthersNever) {
    for (const char* origem : {"M", "T", "I", ""}) {
        Open("03", {{"03", "202401000001", "00001", "1110100002", 100.0, origem, ""}});
        EXPECT_TRUE(Dispatch([&] { f->ValidaLancLote(); })) << origem;
        EXPECT_FALSE(Called("getCdLote")) << origem;
        Application->Reset();
    }
    for (const char* origem : {"L", "F", "S"}) {
        HeadlessServices().Clear();
        Open("03", {{"03", "202401000001", "00001", "1110100002", 100.0, origem, ""}});
        f->cdsLancCont->First();
        EXPECT_FALSE(Dispatch([&] { f->cdsLancCont->Edit(); })) << origem;
        EXPECT_EQ(f->cdsLancCont->State(), dsBrowse) << origem;
        EXPECT_EQ(Shown(),
                  "erro:Operação não permitida devido o lançamento ser de lote. Para realizar "
                  "alguma operação, favor acessar a tela Manutenção De Lote e realizar a "
                  "manutenção no lote 000123.")
            << origem;
        Application->Reset();
    }
}

TEST_F(LinesTest, TheMapGuardKeepsTheMapsAndRefusesMalformedAnswersClearly) {
    Open("01", kEntry());
    EXPECT_TRUE(Dispatch([&] { f->ValidaMapaApurac(); }));
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(f->cdsMapaApurac->Active());

    Serve([](const std::string&, std::vector<TRpcValue>&) {
        return TRpcValue(TRpcValue::Array{TRpcValue("OUTRO"), LinesTest::MapAnswer("x", true).Items()[1]});
    });
    EXPECT_TRUE(Dispatch([&] { f->ValidaMapaApurac(); }));
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(f->cdsMapaApurac->RecordCount(), 1);

    Serve([](const std::string&, std::vector<TRpcValue>&) { return TRpcValue(std::string("ERRO")); });
    EXPECT_FALSE(Dispatch([&] { f->ValidaMapaApurac(); }));
    EXPECT_NE(Shown().find("mapa de apuração"), std::string::npos);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
}
