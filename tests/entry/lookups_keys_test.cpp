// The key filters of the lines grid, the double click on the history and the
// registration numbers of the supplier and client lists.
#include "lookups_fixture.h"

namespace {

class GridKeysTest : public LineLookupTest {
protected:
    char Press(TField* column, char key) {
        f->dbgLancCont->SetSelectedField(column);
        f->dbgLancContKeyPress(f->dbgLancCont, key);
        return key;
    }
    WORD Down(TField* column, WORD key) {
        f->dbgLancCont->SetSelectedField(column);
        f->dbgLancContKeyDown(f->dbgLancCont, key, {});
        return key;
    }
};

TEST_F(GridKeysTest, NameAndTypeColumnsRefuseTypingCommercialCodeOnlyWithAType) {
    EXPECT_EQ(Press(f->cdsLancContNMCONTCTBL, 'a'), 0);
    EXPECT_EQ(Press(f->cdsLancContIDLANCCOME, 'C'), 0);
    EXPECT_EQ(Press(f->cdsLancContCDCONTCOME, '1'), 0);
    EXPECT_EQ(Press(f->cdsLancContDSHISTLANC, 'x'), 'x');
    f->cdsLancContIDLANCCOME->SetAsString("C");
    EXPECT_EQ(Press(f->cdsLancContCDCONTCOME, '1'), '1');
}

TEST_F(GridKeysTest, DeleteKeepsTheTypeOfALineWhoseAccountHasOne) {
    EXPECT_EQ(Down(f->cdsLancContIDLANCCOME, VK_DELETE), VK_DELETE);
    f->cdsLancContIDTIPOCOME->SetAsString("B");
    EXPECT_EQ(Down(f->cdsLancContIDLANCCOME, VK_DELETE), 0);
    EXPECT_EQ(Down(f->cdsLancContCDCONTCOME, VK_DELETE), VK_DELETE);
}

TEST_F(GridKeysTest, ADigitInTheHistoryCodeDropsTheTextAndStartsTheEditOfABrowsedLine) {
    f->cdsLancContDSHISTLANC->SetAsString("Texto antigo");
    f->stDsHistAnt = "Texto antigo";
    EXPECT_EQ(Press(f->cdsLancContCDHISTPADR, 'A'), 'A');  // not a digit: nothing happens
    EXPECT_EQ(Field("DSHISTLANC"), "Texto antigo");
    EXPECT_EQ(Press(f->cdsLancContCDHISTPADR, '7'), '7');
    EXPECT_EQ(f->stDsHistAnt, "");
    EXPECT_EQ(Field("DSHISTLANC"), "");

    f->cdsLancCont->Cancel();
    EXPECT_EQ(Press(f->cdsLancContCDHISTPADR, '3'), '3');
    EXPECT_EQ(f->cdsLancCont->State(), dsEdit);
}

TEST_F(GridKeysTest, RegistrationNumbersAreShownWithTheMaskOfTheirPersonKind) {
    for (TADOIBQuery* q : {f->qryFornecedor, f->qryCliente}) {
        const std::string column = q == f->qryFornecedor ? "CDFORNECED" : "CDCLIENTE";
        q->ParamByName("P_" + column)->SetAsString("");
        q->ParamByName("P_T" + column)->SetAsString("T");
        q->Open();
    }
    EXPECT_EQ(f->qryFornecedor->FieldByName("NRINSJURFORN")->DisplayText(), "12.345.678/0001-90");
    EXPECT_EQ(f->qryCliente->FieldByName("NRINSJURCLIE")->DisplayText(), "123.456.789-01");
}

}  // namespace
