// Leaving a column of the lines grid: reduced code, account, commercial code,
// history and value are checked and completed; refusals keep the line as far
// as it was completed and put the focus on the offending column.
#include "lookups_fixture.h"

#include "contracts/tabvalid.h"

namespace {

class ColumnExitTest : public LineLookupTest {
protected:
    // Selects the column, writes the text as the cell editor would, leaves.
    void TypeAndLeave(TField* field, const std::string& text) {
        f->dbgLancCont->SetSelectedField(field);
        field->SetAsString(text);
        LeaveColumn(field);
    }
};

TEST_F(ColumnExitTest, ReducedCodeFillsTheAccountOrIsRefusedLeavingItUnchanged) {
    TypeAndLeave(f->cdsLancContCDCONTREDU, "102");
    EXPECT_EQ(Field("CDCONTCTBL"), "1110100002");
    EXPECT_EQ(Field("NMCONTCTBL"), "BANCO CONTA MOVIMENTO");
    EXPECT_EQ(Field("IDLANCCOME"), "B");

    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDCONTREDU, "999"); }));
    EXPECT_EQ(Shown(), "erro:Código reduzido não cadastrado.");
    EXPECT_EQ(Field("CDCONTCTBL"), "1110100002");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTREDU);
}

TEST_F(ColumnExitTest, AccountMustBeAnalyticAndRegistered) {
    TypeAndLeave(f->cdsLancContCDCONTCTBL, "3110100001");
    EXPECT_EQ(Field("CDCONTREDU"), "301");
    EXPECT_EQ(Field("NMCONTCTBL"), "DESPESAS ADMINISTRATIVAS");
    EXPECT_EQ(Field("IDCONTCCUS"), "G");
    EXPECT_TRUE(f->pnlLancCCusto->Enabled);

    // a synthetic account passes the picture but is no line account
    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDCONTCTBL, "11101"); }));
    EXPECT_EQ(Shown(), "erro:Conta contábil não cadastrada.");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCTBL);

    // a code that ends no level is refused by the picture
    EXPECT_THROW(TypeAndLeave(f->cdsLancContCDCONTCTBL, "1110"), Tabvalid::EValidError);
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCTBL);
    EXPECT_EQ(Field("NMCONTCTBL"), "");
}

TEST_F(ColumnExitTest, LeavingAManagementAccountDropsTheLinesApportionmentOnly) {
    using enum TFieldType;
    TDataPacket rateio({{"CDEMPRESA", ftString, 2},
                        {"NRLANCCONT", ftString, 12},
                        {"NRSEQLANC", ftString, 5},
                        {"CDFILIAL", ftString, 4},
                        {"CDCENTCUST", ftString, 4},
                        {"VRLANCCUST", ftFloat, 0}});
    for (const char* seq : {"00001", "00001", "00002"})
        rateio.AppendRow(
            {Variant("01"), Variant("202401000001"), Variant(seq), Variant("0001"), Variant("0100"), Variant(-5.0)});
    f->cdsLancCCusto->Data(rateio);
    f->cdsLancCCusto->SetFilter(FiltroRateio("202401000001", "01", "00001"));
    f->cdsLancCCusto->SetFiltered(true);

    TypeAndLeave(f->cdsLancContCDCONTREDU, "301");
    EXPECT_TRUE(f->pnlLancCCusto->Enabled);
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 2);

    TypeAndLeave(f->cdsLancContCDCONTREDU, "101");
    EXPECT_FALSE(f->pnlLancCCusto->Enabled);
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 0);
    f->cdsLancCCusto->SetFiltered(false);
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 1);  // the other line's stays
}

TEST_F(ColumnExitTest, TypedAccountKeepsTheCommercialCodeTreeSearchClearsItOnAnotherType) {
    TypeAndLeave(f->cdsLancContCDCONTCTBL, "1110100002");
    f->cdsLancContCDCONTCOME->SetAsString("001");

    TypeAndLeave(f->cdsLancContCDCONTCTBL, "1110100002");  // rule A
    EXPECT_EQ(Field("CDCONTCOME"), "001");

    f->dbgLancCont->SetSelectedField(f->cdsLancContCDCONTCTBL);
    HeadlessServices().QueuePick("1110100003");  // same type: rule B keeps the code
    f->dbgLancContEditButtonClick(f->dbgLancCont);
    EXPECT_EQ(Field("CDCONTREDU"), "103");
    EXPECT_EQ(Field("CDCONTCOME"), "001");

    HeadlessServices().QueuePick("2110100001");  // another type: rule B clears it
    f->dbgLancContEditButtonClick(f->dbgLancCont);
    EXPECT_EQ(Field("CDCONTCTBL"), "2110100001");
    EXPECT_EQ(Field("NMCONTCTBL"), "FORNECEDORES");
    EXPECT_EQ(Field("IDLANCCOME"), "F");
    EXPECT_EQ(Field("CDCONTCOME"), "");

    HeadlessServices().QueuePick("cancel");  // a cancelled search changes nothing
    f->dbgLancContEditButtonClick(f->dbgLancCont);
    EXPECT_EQ(Field("CDCONTCTBL"), "2110100001");
}

TEST_F(ColumnExitTest, CommercialCodeIsCheckedByItsType) {
    TypeAndLeave(f->cdsLancContCDCONTREDU, "102");
    f->qryBanco->Close();
    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDCONTCOME, "0001"); }));
    EXPECT_EQ(Shown(), "erro:Código de conta bancária deve ter no máximo 3 caracteres.");
    EXPECT_FALSE(f->qryBanco->Active());  // refused before any lookup

    HeadlessServices().Clear();
    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDCONTCOME, "009"); }));
    EXPECT_EQ(Shown(), "erro:Código comercial inválido.");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCOME);

    HeadlessServices().Clear();
    TypeAndLeave(f->cdsLancContCDCONTCOME, "001");
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Field("IDLANCCOME"), "B");

    // a company with commercial codes wants one on a typed line
    f->cdsLancContCDCONTCOME->Clear();
    EXPECT_TRUE(Refused([&] { f->Vd_CodComer(); }));
    EXPECT_EQ(Shown(), "erro:Código comercial deve ser informado.");

    HeadlessServices().Clear();
    f->cdsLancContCDCONTCOME->SetAsString("001");
    TypeAndLeave(f->cdsLancContCDCONTCTBL, "2110100001");
    EXPECT_EQ(Field("IDLANCCOME"), "F");
    EXPECT_EQ(Field("CDCONTCOME"), "001");  // rule A: the code stays for its own check
    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDCONTCOME, "000002"); }));
    EXPECT_EQ(Shown(), "erro:Código comercial inválido.");
    TypeAndLeave(f->cdsLancContCDCONTCOME, "000001");
    EXPECT_EQ(Field("CDCONTCOME"), "000001");
}

// The exit copies the type of qryContCtbl's row: a query moved to another
// account (here by a failed reduced-code lookup) must not lend its type.
TEST_F(ColumnExitTest, CommercialExitTakesTheTypeOfTheLinesOwnAccount) {
    TypeAndLeave(f->cdsLancContCDCONTCTBL, "1110100002");
    f->cdsLancContCDCONTCOME->SetAsString("001");
    f->ContaContabil("2110100001");
    TypeAndLeave(f->cdsLancContCDCONTCOME, "001");
    EXPECT_EQ(Field("IDLANCCOME"), "B");
    EXPECT_EQ(Field("CDCONTCOME"), "001");
}

TEST_F(ColumnExitTest, TypeLetterUpperCaseAndEmptyTypeClearsTheCode) {
    f->cdsLancContIDLANCCOME->SetAsString("b");
    LeaveColumn(f->cdsLancContIDLANCCOME);
    EXPECT_EQ(Field("IDLANCCOME"), "B");

    f->cdsLancContCDCONTCOME->SetAsString("001");
    f->cdsLancContIDLANCCOME->Clear();
    LeaveColumn(f->cdsLancContIDLANCCOME);
    EXPECT_EQ(Field("CDCONTCOME"), "");
}

TEST_F(ColumnExitTest, HistoryIsPaddedAndTheUsersTextSurvivesAnUnchangedCode) {
    TypeAndLeave(f->cdsLancContCDHISTPADR, "1");
    EXPECT_EQ(Field("CDHISTPADR"), "0001");
    EXPECT_EQ(Field("DSHISTLANC"), "Venda conforme nota");

    // the line had a text of its own when its edit began; emptied, it comes back
    f->stHistAnt = "0001";
    f->stDsHistAnt = "Texto do usuário";
    f->cdsLancContDSHISTLANC->Clear();
    TypeAndLeave(f->cdsLancContCDHISTPADR, "0001");
    EXPECT_EQ(Field("DSHISTLANC"), "Texto do usuário");
    // a text typed during this edit is not lost to the one the line had
    f->cdsLancContDSHISTLANC->SetAsString("Texto novo");
    TypeAndLeave(f->cdsLancContCDHISTPADR, "0001");
    EXPECT_EQ(Field("DSHISTLANC"), "Texto novo");
    // typing a digit in the code column discards both texts
    char digit = '1';
    f->dbgLancCont->SetSelectedField(f->cdsLancContCDHISTPADR);
    f->dbgLancContKeyPress(f->dbgLancCont, digit);
    EXPECT_EQ(digit, '1');
    EXPECT_EQ(Field("DSHISTLANC"), "");
    TypeAndLeave(f->cdsLancContCDHISTPADR, "1");
    EXPECT_EQ(Field("DSHISTLANC"), "Venda conforme nota");

    TypeAndLeave(f->cdsLancContCDHISTPADR, "2");
    EXPECT_EQ(Field("DSHISTLANC"), "Pagamento");

    EXPECT_TRUE(Refused([&] { TypeAndLeave(f->cdsLancContCDHISTPADR, "77"); }));
    EXPECT_EQ(Shown(), "erro:Histórico padrão não cadatrado.");
    EXPECT_EQ(Field("CDHISTPADR"), "0077");
}

TEST_F(ColumnExitTest, ValueIsRoundedUnlessItRoundsToZero) {
    f->dbgLancCont->SetSelectedField(f->cdsLancContVRLANCAMENT);
    f->cdsLancContVRLANCAMENT->SetAsFloat(10.005);
    LeaveColumn(f->cdsLancContVRLANCAMENT);
    EXPECT_DOUBLE_EQ(f->cdsLancContVRLANCAMENT->AsFloat(), 10.01);
    f->dbgLancCont->SetSelectedField(f->cdsLancContVRLANCAMENT);
    f->cdsLancContVRLANCAMENT->SetAsFloat(0.004);
    LeaveColumn(f->cdsLancContVRLANCAMENT);
    EXPECT_DOUBLE_EQ(f->cdsLancContVRLANCAMENT->AsFloat(), 0.004);
}

}  // namespace
