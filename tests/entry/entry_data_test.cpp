// The entry screen's data rules: the filter texts on its data sets, the
// company field, the commercial-code columns, the period rules and the
// display texts of the entry origin.
#include "entry_fixture.h"

#include "contracts/consiste.h"
#include "platform/data/datetime.h"

namespace {

TDateTime Day(int y, int m, int d) {
    TDateTime t = 0;
    EXPECT_TRUE(EncodeDate(y, m, d, t));
    return t;
}

std::string ColumnsOf(const TDBGrid* g) {
    std::string out;
    for (int i = 0; i < g->Columns->Count(); ++i) out += (i ? "," : "") + g->Columns->Items(i)->FieldName;
    return out;
}

// The rows of the data set's view, "NRLANCCONT/NRSEQLANC" each.
std::string ViewOf(TDataSet* ds) {
    std::string out;
    for (ds->First(); !ds->Eof(); ds->Next())
        out += (out.empty() ? "" : " ") + ds->FieldByName("NRLANCCONT")->AsString() + "/" +
               ds->FieldByName("NRSEQLANC")->AsString();
    return out;
}

}  // namespace

TEST(EntryFilterTexts, AreWrittenWithTheScreensBlanksAndSelectTheirRecords) {
    EXPECT_EQ(FiltroLancamento("01", "202401000001"), "CDEMPRESA = '01'AND NRLANCCONT = '202401000001'");
    EXPECT_EQ(FiltroRateio("202401000001", "01", "00002"),
              "NRLANCCONT = '202401000001' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00002'");
    EXPECT_EQ(FiltroDebitoCredito("202401000001", "01"), "NRLANCCONT = '202401000001' AND CDEMPRESA  = '01'");

    TClientDataSet cds;
    cds.Data(LinesPacket({{"01", "202401000001", "00001", "1", 10, "M", ""},
                          {"01", "202401000001", "00002", "2", -10, "M", ""},
                          {"02", "202401000001", "00001", "1", 5, "M", ""},
                          {"01", "202401000002", "00001", "1", 7, "M", ""}}));
    cds.SetFilter(FiltroLancamento("01", "202401000001"));
    cds.SetFiltered(true);
    EXPECT_EQ(ViewOf(&cds), "202401000001/00001 202401000001/00002");
    cds.SetFiltered(false);
    cds.SetFilter(FiltroRateio("202401000001", "01", "00002"));
    cds.SetFiltered(true);
    EXPECT_EQ(ViewOf(&cds), "202401000001/00002");
}

TEST(EntryFilterTexts, AQuoteInAValueStaysPartOfTheLiteral) {
    EXPECT_EQ(FiltroLancamento("0'", "1"), "CDEMPRESA = '0'''AND NRLANCCONT = '1'");
    TClientDataSet cds;
    cds.Data(LinesPacket({{"0'", "1", "00001", "1", 10, "M", ""}, {"01", "1", "00001", "1", 1, "M", ""}}));
    cds.SetFilter(FiltroLancamento("0'", "1"));
    ASSERT_NO_THROW(cds.SetFiltered(true));
    EXPECT_EQ(cds.RecordCount(), 1);
}

TEST_F(EntryScreenTest, AnUnknownHostCompanyStillOpensTheScreenWithAnEmptyName) {
    Zembra::SetEmprProc("99");
    TfrmLancamentos* f = CreateScreen();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Shown(), "erro:Empresa não cadastrada.");
    EXPECT_EQ(f->edtCdEmpresa->Text(), "99");
    EXPECT_EQ(f->edtNmEmpresa->Text(), "");
    EXPECT_TRUE(f->NetLancamentos->Connected());
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
}

TEST_F(EntryScreenTest, LeavingTheCompanyPadsTheCodeAndRefusesEmptyOrUnknownCodes) {
    TfrmLancamentos* f = CreateScreen();
    EXPECT_EQ(f->edtNmEmpresa->Text(), "Comercial Aurora Ltda");

    f->edtCdEmpresa->SetText("2");
    f->edtCdEmpresaExit(f->edtCdEmpresa);
    EXPECT_EQ(f->edtCdEmpresa->Text(), "02");
    EXPECT_EQ(f->edtNmEmpresa->Text(), "Industria Serra Azul S.A.");
    EXPECT_FALSE(f->pnlLancCCusto->Visible) << "02 keeps no management accounting";
    EXPECT_FALSE(f->splLancCusto->Visible);

    f->edtCdEmpresa->SetText(" ");
    EXPECT_THROW(f->edtCdEmpresaExit(f->edtCdEmpresa), EAbort);
    f->edtCdEmpresa->SetText("7");
    EXPECT_THROW(f->edtCdEmpresaExit(f->edtCdEmpresa), EAbort);
    EXPECT_EQ(f->edtCdEmpresa->Text(), "07");
    EXPECT_EQ(f->edtNmEmpresa->Text(), "");
    EXPECT_EQ(Shown(), "erro:Empresa deve ser informada. / erro:Empresa não cadastrada.");

    f->edtCdEmpresa->SetText("1");
    f->edtCdEmpresaExit(f->edtCdEmpresa);
    EXPECT_TRUE(f->pnlLancCCusto->Visible);
    EXPECT_TRUE(f->splLancCusto->Visible);
}

TEST_F(EntryScreenTest, CommercialCodeColumnsLeaveForNAndComeBackInPlaceForS) {
    TfrmLancamentos* f = CreateScreen();
    const std::string lanc = ColumnsOf(f->dbgLancCont), padr = ColumnsOf(f->dbgPadrao);
    auto choose = [f](const char* code) {
        f->edtCdEmpresa->SetText(code);
        f->edtCdEmpresaExit(f->edtCdEmpresa);
    };
    choose("02");
    choose("03");  // a second company without commercial codes
    EXPECT_EQ(ColumnsOf(f->dbgLancCont),
              "CDCONTREDU,CDCONTCTBL,NMCONTCTBL,CDHISTPADR,DSHISTLANC,VRLANCAMENT,CDFILLANC");
    EXPECT_EQ(ColumnsOf(f->dbgPadrao),
              "NRLANCCONT,CDCONTCTBL,NMCONTCTBL,DTLANCCONT,VRLANCAMENT,CDDOCUCONT,DSHISTLANC,"
              "IDLANCINTE,IDSISTEMA,CDFILLANC");
    choose("04");  // no parameters: the grids stay as they are
    EXPECT_EQ(ColumnsOf(f->dbgLancCont).find("CDCONTCOME"), std::string::npos);
    choose("01");
    EXPECT_EQ(ColumnsOf(f->dbgLancCont), lanc);
    EXPECT_EQ(ColumnsOf(f->dbgPadrao), padr);
    const TColumn* c = f->dbgLancCont->Columns->Items(Consiste::IndiceCol(f->dbgLancCont, "CDCONTCOME"));
    EXPECT_EQ(c->Width, 95);
    EXPECT_EQ(c->ButtonStyle, cbsEllipsis);
    EXPECT_TRUE(f->dbgPadrao->Columns->Items(Consiste::IndiceCol(f->dbgPadrao, "IDLANCCOME"))->ReadOnly);
    choose("01");  // already in place: nothing doubles
    EXPECT_EQ(ColumnsOf(f->dbgLancCont), lanc);
}

TEST_F(EntryScreenTest, PeriodRulesTakeBothBoundsAndTestTheAccountingPeriodFirst) {
    TfrmLancamentos* f = CreateScreen();
    auto choose = [f](const char* code) {
        f->edtCdEmpresa->SetText(code);
        f->edtCdEmpresaExit(f->edtCdEmpresa);
    };
    auto refusal = [f](TDateTime d) -> std::string {
        HeadlessServices().Clear();
        try {
            f->PeriodoCTB(d);
        } catch (const EAbort&) {
            return Shown();
        }
        return "ok";
    };
    choose("01");  // its DTFINACONT carries a time of day
    EXPECT_EQ(refusal(Day(2024, 1, 1)), "ok");
    EXPECT_EQ(refusal(Day(2024, 12, 31)), "ok");
    EXPECT_EQ(refusal(Day(2025, 1, 1)), "erro:Data de lançamento fora do período contábil.");
    EXPECT_EQ(refusal(Day(2023, 12, 31)), "erro:Data de lançamento fora do período contábil.");

    choose("02");  // accounting period from 2023, entry period from 2024
    EXPECT_EQ(refusal(Day(2023, 6, 1)), "erro:Data de lançamento fora do período de lançamento contábil.");
    EXPECT_EQ(refusal(Day(2022, 12, 31)), "erro:Data de lançamento fora do período contábil.");

    choose("04");  // no parameters: every dated check fails
    EXPECT_EQ(refusal(Day(2024, 6, 1)), "erro:Data de lançamento fora do período contábil.");
}

TEST_F(EntryScreenTest, OriginCodesShowTheirNamesAndUnknownCodesNothing) {
    TfrmLancamentos* f = CreateScreen();
    f->cdsLancCont->Data(LinesPacket({{"01", "1", "00001", "1", 1, "L", "LTO"},
                                      {"01", "1", "00002", "1", 1, "S", "DFE"},
                                      {"01", "1", "00003", "1", 1, "m", "fis"},
                                      {"01", "1", "00004", "1", 1, "", ""}}));
    std::string texts;
    for (f->cdsLancCont->First(); !f->cdsLancCont->Eof(); f->cdsLancCont->Next())
        texts += "[" + f->cdsLancContIDLANCINTE->DisplayText() + "|" + f->cdsLancContIDSISTEMA->DisplayText() + "]";
    EXPECT_EQ(texts, "[Lote|Lote][Encerramento Societário|Documentos Fiscais de Entrada][|][|]");
    for (const char* k : {"T", "M", "I", "F"}) EXPECT_FALSE(TextoIdLancInte(*f->msgPadrao, k).empty()) << k;
    EXPECT_EQ(TextoIdSistema("VND"), "Gestão de Vendas");
    EXPECT_EQ(TextoIdSistema("XYZ"), "");
}

TEST_F(EntryScreenTest, LookupQueriesRunOnTheSuiteDatabaseWithThePairConvention) {
    TfrmLancamentos* f = CreateScreen();
    auto codes = [](TADOIBQuery* q, const char* field) {
        std::string out;
        for (q->First(); !q->Eof(); q->Next()) out += (out.empty() ? "" : ",") + q->FieldByName(field)->AsString();
        return out;
    };
    // Cost centres of one branch, each once; "0001" inside "1001" does not match.
    TADOIBQuery* cc = f->qryCentCust;
    cc->Close();
    cc->ParamByName("P_CDFILIAL")->SetAsString("_0001_");
    cc->ParamByName("P_CDCENTCUST")->SetAsString("");
    cc->ParamByName("P_TCDCENTCUST")->SetAsString("T");
    cc->ParamByName("P_TCDFILIAL")->SetAsString("");
    ASSERT_NO_THROW(cc->Open());
    EXPECT_EQ(codes(cc, "CDCENTCUST"), "0100");
    cc->Close();
    cc->ParamByName("P_CDFILIAL")->SetAsString("_0010_");
    cc->Open();
    EXPECT_EQ(codes(cc, "CDCENTCUST"), "0100,0200");

    // Accounts by full code: only analytic ones.
    f->ContaContabil("1110100002");
    EXPECT_EQ(codes(f->qryContCtbl, "NMCONTCTBL"), "BANCO CONTA MOVIMENTO");
    f->ContaContabil("11101");
    EXPECT_TRUE(f->qryContCtbl->IsEmpty());
}

namespace {
class TUnreachableServer : public TAppServerTransport {
public:
    void Connect(const std::string&, int) override { throw ERpcError("conexao", "Conexão recusada."); }
    void Disconnect() override {}
    bool Connected() const override { return false; }
    TRpcValue Call(const std::string&, std::vector<TRpcValue>&, const std::vector<int>&) override {
        throw ERpcError("conexao", "sem conexão");
    }
};
}  // namespace

TEST_F(EntryScreenTest, AnUnreachableServerFailsTheOpeningAndHidesTheBusyAnimation) {
    TNetConnection::SetTransportFactory([] { return std::make_unique<TUnreachableServer>(); });
    EXPECT_THROW(Application->CreateForm(frmLancamentos), ENetConnectionError);
    EXPECT_EQ(frmLancamentos, nullptr);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
}
