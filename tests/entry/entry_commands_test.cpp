// The entry screen's commands: which are enabled in each state of the lines
// and pages, and how the page change and the guards meet the application
// server (its failures shown with the server's own text).
#include "entry_fixture.h"

#include "filter/frmlancfiltro.h"

namespace {

// Enabled state of every control the command table rules, menu commands
// after their buttons ("+" enabled, "-" not).
std::string Commands(TfrmLancamentos* f) {
    std::string out;
    auto put = [&out](const char* name, bool on) { out += std::string(on ? "+" : "-") + name + " "; };
    auto button = [&](const char* name, TControl* b) {
        const TMenuItem* m = f->MenuCommandOf(b);
        put(name, b->Enabled && (!m || m->Enabled == b->Enabled));
    };
    button("Incluir", f->sbtIncluir);
    button("Alterar", f->sbtAlterar);
    button("Excluir", f->sbtExcluir);
    button("Imprimir", f->sbtImprimir);
    button("Verificar", f->sbtVerificar);
    button("Filtro", f->spbFiltro);
    button("Confirmar", f->sbtConfirmar);
    button("Cancelar", f->sbtCancelar);
    put("Folha", f->tshFolhaDados->Enabled);
    put("Form", f->tshFormulario->Enabled);
    put("Empresa", f->edtCdEmpresa->Enabled && f->btnEmpresa->Enabled && f->lblEmpresa->Enabled);
    put("NDoc", f->edtNDoc->Enabled);
    put("Data", f->depDtLancCont->Enabled);
    return out;
}

TDataPacket TwoLines() {
    return LinesPacket({{"01", "202401000001", "00001", "1110100001", -10, "M", ""},
                        {"01", "202401000001", "00002", "3110100001", 10, "M", ""}});
}

}  // namespace

TEST_F(EntryScreenTest, CommandsFollowTheStateOfTheLinesAndThePage) {
    TfrmLancamentos* f = CreateScreen();
    f->cdsLancCont->Data(TwoLines());
    f->dtsPadraoStateChange(f->dtsPadrao);
    EXPECT_EQ(Commands(f),
              "+Incluir -Alterar -Excluir +Imprimir +Verificar +Filtro -Confirmar "
              "-Cancelar +Folha +Form +Empresa -NDoc -Data ");

    f->pgcPadrao->SetActivePage(f->tshFormulario);
    f->dtsPadraoStateChange(f->dtsPadrao);
    EXPECT_EQ(Commands(f),
              "+Incluir +Alterar +Excluir -Imprimir -Verificar -Filtro -Confirmar "
              "-Cancelar +Folha +Form +Empresa +NDoc -Data ");

    f->boNovoLanc = true;
    f->cdsLancCont->Insert();  // the state change itself runs the table
    EXPECT_EQ(Commands(f),
              "-Incluir -Alterar -Excluir -Imprimir -Verificar -Filtro +Confirmar "
              "+Cancelar -Folha +Form -Empresa +NDoc +Data ");
    f->boNovoLanc = false;
    // Abandoning the only line of a new entry goes back to the reloaded list;
    // only the table matters here.
    f->cdsLancCont->AfterCancel = nullptr;
    f->cdsLancCont->Cancel();
    f->cdsLancCont->Data(TwoLines());  // a new entry's insertion empties the loaded lines

    f->boAlterado = true;  // changes not yet sent count as editing
    f->dtsPadraoStateChange(f->dtsPadrao);
    EXPECT_EQ(Commands(f),
              "-Incluir -Alterar -Excluir -Imprimir -Verificar -Filtro +Confirmar "
              "+Cancelar -Folha +Form -Empresa +NDoc -Data ");
    f->boAlterado = false;

    f->cdsLancCont->EmptyDataSet();
    f->pgcPadrao->SetActivePage(f->tshFolhaDados);
    f->dtsPadraoStateChange(f->dtsPadrao);
    EXPECT_EQ(Commands(f),
              "+Incluir -Alterar -Excluir +Imprimir +Verificar +Filtro -Confirmar "
              "-Cancelar +Folha -Form +Empresa -NDoc -Data ");

    f->edtCdEmpresaEnter(f->edtCdEmpresa);  // a company is being chosen: nothing loaded
    EXPECT_EQ(f->cdsLancCont->State(), dsInactive);
    EXPECT_EQ(Commands(f),
              "-Incluir -Alterar -Excluir -Imprimir -Verificar -Filtro -Confirmar "
              "-Cancelar +Folha -Form +Empresa -NDoc -Data ");
}

TEST_F(EntryScreenTest, OpeningAnEntryFiltersItsLinesAndItsApportionment) {
    Serve([](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
        using enum TFieldType;
        if (m == "GetLancCCusto") {
            TDataPacket p({{"CDEMPRESA", ftString, 2},
                           {"NRLANCCONT", ftString, 12},
                           {"NRSEQLANC", ftString, 5},
                           {"CDFILIAL", ftString, 4},
                           {"VRLANCCUST", ftFloat, 0}});
            p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00001"), Variant("0001"), Variant(-4.0)});
            p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00001"), Variant("0002"), Variant(-6.0)});
            p.AppendRow({Variant("01"), Variant("202401000001"), Variant("00002"), Variant("0001"), Variant(10.0)});
            return TRpcValue(p);
        }
        // Entering the form page reloads the whole entry.
        if (m == "GetLancContFiltrado") return TRpcValue(TwoLines());
        throw ERpcError("metodo", "inesperado: " + m);
    });
    TfrmLancamentos* f = CreateScreen();
    TDataPacket lines = TwoLines();
    lines.AppendRow({Variant("0001"), Variant("01"), Variant("202401000002"), Variant("00001"), Variant("1"),
                     Variant(45300.0), Variant("D2"), Variant(3.0), Variant("M"), Variant("")});
    f->cdsLancCont->Data(lines);
    f->pgcPadrao->SetActivePage(f->tshFormulario);
    f->pgcPadraoChange(f->pgcPadrao);

    EXPECT_EQ(f->stNrLancCont, "202401000001");
    EXPECT_EQ(f->cdsLancCont->Filter(), "CDEMPRESA = '01'AND NRLANCCONT = '202401000001'");
    EXPECT_EQ(f->cdsLancCont->RecordCount(), 2);
    EXPECT_EQ(f->edtNDoc->Text(), "DOC1");
    EXPECT_EQ(f->ndeCredito->Number(), 10);
    EXPECT_EQ(f->ndeDebito->Number(), 10);
    EXPECT_EQ(f->cdsLancCCusto->Filter(), "NRLANCCONT = '202401000001' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00001'");
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 2);
    f->cdsLancCont->Next();  // the apportionment follows the line
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 1);
    EXPECT_FALSE(f->boNovoLanc);
    EXPECT_EQ(calls, (std::vector<std::string>{"GetLancCCusto", "GetLancContFiltrado"}));
    EXPECT_EQ(f->cdsLancContEspelho->RecordCount(), 2) << "the snapshot holds the reloaded entry";
}

TEST_F(EntryScreenTest, ServerFailuresOfTheNumberAndBatchCallsShowTheServersText) {
    Serve([](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
        if (m == "PrxLancContabil") throw ERpcError("banco", "Numeração indisponível.");
        if (m == "getCdLote") throw ERpcError("banco", "Lote ilegível.");
        throw ERpcError("metodo", "inesperado: " + m);
    });
    TfrmLancamentos* f = CreateScreen();
    f->cdsLancCont->Data(LinesPacket({{"01", "202401000002", "00001", "1", -5, "L", "LTO"}}));
    f->stNrLancCont = "anterior";
    f->boNovoLanc = true;
    f->pgcPadrao->SetActivePage(f->tshFormulario);
    EXPECT_THROW(f->pgcPadraoChange(f->pgcPadrao), EAbort);
    EXPECT_EQ(f->stNrLancCont, "anterior") << "a failure became the new entry's number";
    EXPECT_EQ(f->cdsLancCont->State(), dsBrowse);

    HeadlessServices().Clear();
    EXPECT_THROW(f->ValidaLancLote(), EAbort);
    EXPECT_EQ(Shown(), "erro:Lote ilegível.");
}

TEST_F(EntryScreenTest, ABatchEntryIsRefusedWithItsBatchCode) {
    std::vector<std::string> asked;
    Serve([&asked](const std::string& m, std::vector<TRpcValue>& a) -> TRpcValue {
        if (m != "getCdLote") throw ERpcError("metodo", "inesperado: " + m);
        asked.push_back(a.at(0).Scalar().AsString() + "/" + a.at(1).Scalar().AsString());
        return TRpcValue("000123");
    });
    TfrmLancamentos* f = CreateScreen();
    f->cdsLancCont->Data(LinesPacket({{"01", "202401000002", "00001", "1", -5, "L", "LTO"},
                                      {"01", "202401000003", "00001", "1", -5, "M", ""},
                                      {"01", "202401000004", "00001", "1", -5, "", ""}}));
    EXPECT_THROW(f->ValidaLancLote(), EAbort);
    EXPECT_EQ(Shown(),
              "erro:Operação não permitida devido o lançamento ser de lote. Para realizar alguma "
              "operação, favor acessar a tela Manutenção De Lote e realizar a manutenção no lote 000123.");
    f->cdsLancCont->Next();
    EXPECT_NO_THROW(f->ValidaLancLote());
    f->cdsLancCont->Next();
    EXPECT_NO_THROW(f->ValidaLancLote());
    EXPECT_EQ(asked, std::vector<std::string>{"01/202401000002"});
}

TEST_F(EntryScreenTest, AFailedLoadHidesTheBusyAnimationAndKeepsTheLines) {
    Serve([](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
        if (m == "GetLancCont") throw ERpcError("banco", "Banco indisponível.");
        throw ERpcError("metodo", "inesperado: " + m);
    });
    TfrmLancamentos* f = CreateScreen();
    Application->CreateForm(frmLancFiltro);
    f->boFiltroCriado = true;
    frmLancFiltro->dtFiltIni = 45292;
    frmLancFiltro->dtFiltFim = 45657;
    f->cdsLancCont->Data(TwoLines());
    HeadlessServices().Clear();
    EXPECT_THROW(f->GetLancCont(), EAbort);
    EXPECT_EQ(Shown(), "erro:Banco indisponível.");
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
    EXPECT_EQ(f->cdsLancCont->RecordCount(), 2);
}

// Back on the list after looking at an entry, the lines loaded before are
// shown again while the server's data version and the criteria are the same;
// a changed version, or the Verificar command, loads again.
TEST_F(EntryScreenTest, BackOnTheListTheLinesAreKeptWhileTheServerDataIsUnchanged) {
    std::string version = "a.1";
    int loads = 0;
    Serve([&](const std::string& m, std::vector<TRpcValue>&) -> TRpcValue {
        if (m == "GetVersaoLancCont") return TRpcValue(version);
        if (m == "GetLancCont") return ++loads, TRpcValue(TwoLines());
        throw ERpcError("metodo", "inesperado: " + m);
    });
    TfrmLancamentos* f = CreateScreen();
    Application->CreateForm(frmLancFiltro);
    f->boFiltroCriado = true;
    frmLancFiltro->dtFiltIni = 45292;
    frmLancFiltro->dtFiltFim = 45657;
    f->GetLancCont();
    f->cdsLancCont->Data(TDataPacket(f->cdsLancCont->GetData().Fields()));  // the form page's entry
    f->GetLancCont(true);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(f->cdsLancCont->RecordCount(), 2);
    version = "a.2";  // someone saved
    f->GetLancCont(true);
    EXPECT_EQ(loads, 2);
    f->GetLancCont();
    EXPECT_EQ(loads, 3);
    version = "";  // a server that keeps no version
    f->GetLancCont(true);
    f->GetLancCont(true);
    EXPECT_EQ(loads, 5);
    EXPECT_EQ(Shown(), "");
}
