// Set-up of the entry line tests: the entry screen on one company with an
// entry on the form page, lines loaded as the server would give them, and a
// server that answers the guards (no map unless a test says so).
#pragma once

#include "entry_fixture.h"

#include "contracts/consiste.h"
#include "platform/data/datetime.h"

#include <algorithm>

class LinesTest : public EntryScreenTest {
protected:
    TfrmLancamentos* f = nullptr;
    bool mapaErro = false;         // ValidaMapa ties the entry to a map
    std::string lote = "000123";   // getCdLote's answer
    std::vector<TLineRow> linhas;  // what the server holds for the entry

    void SetUp() override {
        EntryScreenTest::SetUp();
        db.Writer() << "CREATE TABLE HISTPADR (CDHISTPADR VARCHAR(4) PRIMARY KEY, DSHISTPADR VARCHAR(60))";
        db.Writer() << "INSERT INTO HISTPADR VALUES ('0001', 'Venda conforme nota fiscal')";
        Serve([this](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
            if (m == "getCdLote") return TRpcValue(lote);
            if (m == "ValidaMapa") return MapAnswer(mapaErro ? "ERRO" : "OK", mapaErro);
            if (m == "GetLancContFiltrado") return TRpcValue(LinesPacket(linhas));
            if (m == "GetLancCCusto") return TRpcValue(TDataPacket({{"NRSEQLANC", TFieldType::ftString, 5}}));
            return TRpcValue(std::string());
        });
    }

    static TRpcValue MapAnswer(const std::string& status, bool withRow) {
        using enum TFieldType;
        TDataPacket maps({{"MES", ftString, 9}, {"ANO", ftString, 4}, {"IMPOSTO", ftString, 6}});
        if (withRow) maps.AppendRow({Variant("Janeiro"), Variant("2024"), Variant("ICMS")});
        return TRpcValue(TRpcValue::Array{TRpcValue(status), TRpcValue(maps)});
    }

    static TDateTime Day(int y, int m, int d) {
        TDateTime t = 0;
        EncodeDate(y, m, d, t);
        return t;
    }

    // The screen on `company` with the entry 202401000001 of `rows` on the
    // form page, the header filled, the cursor on the first line.
    void Open(const std::string& company, const std::vector<TLineRow>& rows) {
        linhas = rows;
        f = CreateScreen();
        f->boFiltroCriado = true;  // no filter dialog on leaving the company
        f->Show();
        f->edtCdEmpresa->SetText(company);
        f->edtCdEmpresaExit(nullptr);
        f->tshFormulario->Enabled = true;
        f->pgcPadrao->SetActivePage(f->tshFormulario);
        HeadlessServices().Clear();
        f->stNrLancCont = "202401000001";
        f->cdsLancCont->Data(LinesPacket(rows));
        f->cdsLancCont->SetFilter(FiltroLancamento(company, f->stNrLancCont));
        f->cdsLancCont->SetFiltered(true);
        f->cdsLancCont->First();
        f->dbgLancCont->SetFocus();  // enters the form page (which reloads the entry)
        f->cdsDebitoCredito->Data(f->cdsLancCont->Data());
        f->CalculaDebitoCredito();
        f->edtNDoc->SetText("DOC1");
        f->depDtLancCont->SetDate(Day(2024, 1, 2));
        calls.clear();
    }

    // An entry of `company`: a credit of 100.00 on 1110100002 and a debit
    // of 30.00 on 1110100001.
    static std::vector<TLineRow> EntryOf(const std::string& company) {
        return {{company, "202401000001", "00001", "1110100002", 100.0, "M", ""},
                {company, "202401000001", "00002", "1110100001", -30.0, "M", ""}};
    }

    // A new line filled as a bookkeeper would, not yet posted.
    void NewLine(const std::string& conta, const std::string& redu, double valor, const std::string& hist = "0001") {
        ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Append(); })) << Shown();
        Fill(conta, redu, valor, hist);
    }

    void Fill(const std::string& conta, const std::string& redu, double valor, const std::string& hist) {
        f->cdsLancContCDCONTCTBL->SetAsString(conta);
        f->cdsLancContCDCONTREDU->SetAsString(redu);
        f->cdsLancContCDHISTPADR->SetAsString(hist);
        f->cdsLancContVRLANCAMENT->SetAsFloat(valor);
    }

    // Posts as the confirm command would; true when the post went through.
    bool Post() {
        return Dispatch([this] { f->cdsLancCont->Post(); });
    }

    bool Called(const std::string& method) const {
        return std::find(calls.begin(), calls.end(), method) != calls.end();
    }
};
