// The entry screen on company 01 with the reference tables the line lookups
// read, and one entry of two lines loaded, the first one in edit.
#pragma once

#include "entry_fixture.h"

#include "contracts/consiste.h"
#include "platform/ui/dispatch.h"

class LineLookupTest : public EntryScreenTest {
protected:
    TfrmLancamentos* f = nullptr;

    void SetUp() override {
        EntryScreenTest::SetUp();
        auto& w = db.Writer();
        w << "INSERT INTO CONTCTBL VALUES "
             "('1110100003', '103', 'BANCO SEGUNDA CONTA', '', '5', 'A', '', 'B'), "
             "('2110100001', '201', 'FORNECEDORES', '', '5', 'A', '', 'F')";
        w << "CREATE TABLE HISTPADR (CDHISTPADR VARCHAR(4) PRIMARY KEY, DSHISTPADR VARCHAR(60))";
        w << "INSERT INTO HISTPADR VALUES ('0001', 'Venda conforme nota'), ('0002', 'Pagamento')";
        w << "CREATE TABLE FORNECEDOR (CDFORNECED VARCHAR(21) PRIMARY KEY, NRINSJURFORN VARCHAR(20), "
             "NMRAZSOCFORN VARCHAR(40), IDTPIJURFORN VARCHAR(1))";
        w << "INSERT INTO FORNECEDOR VALUES ('000001', '12345678000190', 'Papelaria Ltda', 'J')";
        w << "CREATE TABLE CLIENTE (CDCLIENTE VARCHAR(21) PRIMARY KEY, NMRAZSOCCLIE VARCHAR(50), "
             "NRINSJURCLIE VARCHAR(20), IDTPIJURCLIE VARCHAR(1))";
        w << "INSERT INTO CLIENTE VALUES ('000002', 'Maria da Silva', '12345678901', 'F')";
        w << "CREATE TABLE BANCO (CDBANCO VARCHAR(3) PRIMARY KEY, NMBANCO VARCHAR(30))";
        w << "INSERT INTO BANCO VALUES ('001', 'Banco Um')";
        w << "CREATE TABLE CONTCORR (CDBANCO VARCHAR(3), CDAGENCIA VARCHAR(5), CDCONTCORR "
             "VARCHAR(10), DSCONTCORR VARCHAR(20), CDREDUCONT VARCHAR(3))";
        w << "INSERT INTO CONTCORR VALUES ('001', '0001', '12345', 'Movimento', '001')";

        Serve([](const std::string&, std::vector<TRpcValue>&) { return TRpcValue(); });
        f = CreateScreen();
        f->qryContOpeCtbl->ParamByName("P_CDEMPRESA")->SetAsString("01");
        f->qryContOpeCtbl->ParamByName("P_TCDEMPRESA")->SetAsString("");
        f->qryContOpeCtbl->Open();
        f->cdsLancCont->Data(LinesPacket({{"01", "202401000001", "00001", "1110100001", -10, "M", ""},
                                          {"01", "202401000001", "00002", "3110100001", 10, "M", ""}}));
        f->cdsLancCont->First();
        f->cdsLancCont->Edit();
        HeadlessServices().Clear();
    }

    // Leaves the column of `from` for the next column, as the grid does.
    void LeaveColumn(TField* from) {
        f->dbgLancCont->SetSelectedField(from);
        const int next = Consiste::IndiceCol(f->dbgLancCont, from->FieldName()) + 1;
        f->dbgLancCont->SetSelectedIndex(next);
    }

    // Runs an action as the dispatcher does: EAbort ends it quietly.
    template <class F> static bool Refused(F action) {
        try {
            action();
        } catch (const EAbort&) {
            return true;
        }
        return false;
    }

    std::string Field(const char* name) const { return f->cdsLancCont->FieldByName(name)->AsString(); }
};
