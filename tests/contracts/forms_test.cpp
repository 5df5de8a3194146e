// The base forms: commands that follow the data set's state with their menu
// mirrors, handlers a screen replaces, dialogs ending by their buttons, and
// the report-parameter form's run through the designer dialog.
#include "contracts/consiste.h"
#include "contracts/dadosgerrel.h"
#include "contracts/frmpadrao.h"
#include "contracts/frmrotgeral.h"
#include "helpers.h"
#include "platform/ui/dispatch.h"

#include <functional>

namespace {

// A screen that replaces one base handler and extends another.
class TfrmTela : public TfrmPadrao {
public:
    explicit TfrmTela(TComponent* owner) : TfrmPadrao(owner) {
        cds = companies(this, {{"01", "Matriz"}, {"02", "Filial"}});
        dtsPadrao->SetDataSet(cds);
    }
    void sbtIncluirClick(TObject* Sender) override {
        log += "incluir;";
        TfrmPadrao::sbtIncluirClick(Sender);
        cds->FieldByName("CDEMPRESA")->SetAsString("03");
    }
    void sbtVerificarClick(TObject*) override { log += "verificar;"; }
    TClientDataSet* cds;
    std::string log;
};

// "Name=on/off" of every command button and its menu mirror, in bar order.
std::string commands(const TfrmPadrao* f) {
    std::string out;
    for (TControl* b : {static_cast<TControl*>(f->sbtIncluir), static_cast<TControl*>(f->sbtAlterar),
                        static_cast<TControl*>(f->sbtExcluir), static_cast<TControl*>(f->sbtConfirmar),
                        static_cast<TControl*>(f->sbtCancelar), static_cast<TControl*>(f->sbtVerificar),
                        static_cast<TControl*>(f->sbtImprimir)}) {
        TMenuItem* m = f->MenuCommandOf(b);
        out += b->Name + (b->Enabled ? "=on" : "=off");
        if (!m || m->Enabled != b->Enabled) out += "(menu differs)";
        out += " ";
    }
    return out;
}

class FrmPadraoTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
    }
    TfrmTela* form = nullptr;
};

TEST_F(FrmPadraoTest, CommandsAndTheirMenuFollowTheDataSetState) {
    EXPECT_EQ(commands(form),
              "sbtIncluir=on sbtAlterar=on sbtExcluir=on sbtConfirmar=off sbtCancelar=off "
              "sbtVerificar=on sbtImprimir=on ");
    form->mniAlterar->Click();
    EXPECT_EQ(form->cds->State(), dsEdit);
    EXPECT_EQ(commands(form),
              "sbtIncluir=off sbtAlterar=off sbtExcluir=off sbtConfirmar=on sbtCancelar=on "
              "sbtVerificar=off sbtImprimir=off ");
    form->sbtCancelar->Click();
    form->cds->EmptyDataSet();
    form->dtsPadraoStateChange(form->dtsPadrao);
    EXPECT_EQ(commands(form),
              "sbtIncluir=on sbtAlterar=off sbtExcluir=off sbtConfirmar=off sbtCancelar=off "
              "sbtVerificar=off sbtImprimir=on ");
}

TEST_F(FrmPadraoTest, DisabledMenuCommandRefusesTheUsersClick) {
    EXPECT_FALSE(form->mniConfirmar->UserClick());
    form->SetCommandEnabled(form->sbtConfirmar, true);
    EXPECT_TRUE(form->mniConfirmar->Enabled);
    EXPECT_EQ(form->MenuCommandOf(form->sbtAjuda), nullptr);
    form->SetCommandEnabled(form->sbtFechar, false);  // no mirror: only the button
    EXPECT_FALSE(form->sbtFechar->Enabled);
}

TEST_F(FrmPadraoTest, ScreenReplacesAndExtendsBaseHandlers) {
    form->sbtIncluir->Click();
    EXPECT_EQ(form->cds->State(), dsInsert);
    form->sbtConfirmar->Click();
    EXPECT_EQ(form->cds->State(), dsBrowse);
    EXPECT_EQ(form->cds->RecordCount(), 3);
    form->mniVerificar->Click();
    EXPECT_EQ(form->log, "incluir;verificar;");
}

TEST_F(FrmPadraoTest, DeleteAsksFirstAndOnlyYesDeletes) {
    ui().QueueAnswer("no");
    form->sbtExcluir->Click();
    EXPECT_EQ(form->cds->RecordCount(), 2);
    ui().QueueAnswer("yes");
    form->sbtExcluir->Click();
    EXPECT_EQ(form->cds->RecordCount(), 1);
    EXPECT_EQ(shown(), "msg:Confirma exclusão? / msg:Confirma exclusão?");
}

TEST_F(FrmPadraoTest, ClosingFreesTheForm) {
    form->Show();
    ASSERT_TRUE(Dispatch([&] { form->sbtFechar->Click(); }));
    Application->ProcessMessages();
    EXPECT_FALSE(Application->IsForm(form));
}

TEST_F(FrmPadraoTest, BuildsTheNamedTree) {
    for (const char* name : {"lblCodTela", "panMenu", "pgcPadrao", "tshFolhaDados", "panDbgPadrao", "scbFolhaDados",
                             "dbgPadrao", "tshFormulario", "panFormulario", "scbFormulario", "panNavigator", "dbtNome",
                             "dbnPadrao", "dtsPadrao", "msgPadrao", "msgMensagensPadroes", "mnuMenu", "pmnNavegar"})
        EXPECT_NE(form->FindComponent(name), nullptr) << name;
    EXPECT_EQ(form->pgcPadrao->ActivePage(), form->tshFolhaDados);
    EXPECT_EQ(form->dbgPadrao->DataSource(), form->dtsPadrao);
    EXPECT_EQ(form->msgMensagensPadroes->Msg("canc"), "Cancelar operação?");
}

class FrmRotiGeralTest : public UiTest {};

// Runs the dialog modally; the pump clicks `button` once, then reports no input.
TModalResult runModal(TfrmRotiGeral* dlg, TControl* button) {
    bool clicked = false;
    Application->Pump = [&] {
        if (clicked) return false;
        clicked = true;
        Dispatch([&] { button->UserClick(); });
        return true;
    };
    TModalResult r = dlg->ShowModal();
    Application->Pump = nullptr;
    return r;
}

TEST_F(FrmRotiGeralTest, ModalDialogEndsByItsButtonsAndIsFreed) {
    TfrmRotiGeral* dlg = nullptr;
    Application->CreateForm(dlg);
    EXPECT_EQ(runModal(dlg, dlg->sbtConfirma), mrOk);
    Application->ProcessMessages();
    EXPECT_FALSE(Application->IsForm(dlg));

    Application->CreateForm(dlg);
    EXPECT_EQ(runModal(dlg, dlg->sbtCancel), mrCancel);
}

class DadosGerRelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
    }
    TfrmDadosGerRel* form = nullptr;
};

// A screen deriving from the base report form with two reports.
class TfrmRel : public TfrmDadosGerRel {
public:
    explicit TfrmRel(TComponent* owner) : TfrmDadosGerRel(owner) {
        rpddPadrao->Reports = {{"Lançamentos", {"CDEMPRESA", "VALOR"}}, {"Resumo", {"cdempresa"}}};
        rpddPadrao->BeforeGetQueryParams = [](TComponent*, TParams& p) {
            for (const char* n : {"CDEMPRESA", "VALOR", "TODASDATAS"})
                if (Qrddlgs::ExistParam(p, n)) p.ParamByName(n)->Value = Variant(std::string(n) + "!");
        };
    }
};

TEST_F(DadosGerRelTest, RunsTheChosenReportWithTheParametersItsQueryHas) {
    TfrmRel* rel = nullptr;
    Application->CreateForm(rel);
    EXPECT_EQ(rel->cbbReportNames->Items, (std::vector<std::string>{"Lançamentos", "Resumo"}));
    EXPECT_EQ(rel->cbbReportNames->ItemIndex(), 0);
    rel->sbtPreview->Click();
    ASSERT_EQ(rel->rpddPadrao->RunCount(), 1);
    const TReportRun& run = rel->rpddPadrao->LastRun();
    EXPECT_EQ(run.Report, "Lançamentos");
    EXPECT_EQ(run.Action, raPreview);
    ASSERT_EQ(run.Params.size(), 2u);
    EXPECT_EQ(run.Params[0].second.AsString(), "CDEMPRESA!");
    EXPECT_EQ(run.Params[1].second.AsString(), "VALOR!");

    rel->cbbReportNames->SetItemIndex(1);
    rel->sbtPrint->Click();
    EXPECT_EQ(rel->rpddPadrao->LastRun().Report, "Resumo");
    ASSERT_EQ(rel->rpddPadrao->LastRun().Params.size(), 1u);
    EXPECT_EQ(rel->rpddPadrao->LastRun().Params[0].second.AsString(), "CDEMPRESA!");
}

TEST_F(DadosGerRelTest, MissingReportDefinitionIsRefusedWithTheScreensText) {
    form->lblCodRel->Caption = "CTB11020";
    form->rpddPadrao->ReportDir = "/relatorios";
    form->msgPadrao->Add("Arq_Rel_Err", "Relatório '%s' ausente em '%s'.");
    EXPECT_THROW(form->sbtPrint->Click(), EAbort);
    EXPECT_EQ(shown(), "erro:Relatório 'CTB11020' ausente em '/relatorios'.");
    EXPECT_FALSE(form->rpddPadrao->HasRun());
}

class ContainerTest : public UiTest {};

TEST_F(ContainerTest, SetChildEnabledTouchesTheDirectChildrenOnly) {
    TfrmRotiGeral* dlg = nullptr;
    Application->CreateForm(dlg);
    auto* inner = new TPanel(dlg);
    inner->SetParent(dlg->grbDadosRel);
    auto* deep = new TButtonFlat(dlg);
    deep->SetParent(inner);
    auto* direct = new TButtonFlat(dlg);
    direct->SetParent(dlg->grbDadosRel);
    Consiste::SetChildEnabled(dlg->grbDadosRel, false);
    EXPECT_FALSE(inner->Enabled);
    EXPECT_FALSE(direct->Enabled);
    EXPECT_TRUE(deep->Enabled);
    EXPECT_TRUE(dlg->grbDadosRel->Enabled);
    Consiste::SetChildEnabled(dlg->grbDadosRel, true);
    EXPECT_TRUE(inner->Enabled && direct->Enabled);
    Consiste::SetChildEnabled(nullptr, true);  // harmless
}

TEST_F(ContainerTest, IndiceColFindsTheColumnOfAFieldIgnoringCase) {
    TfrmPadrao* f = nullptr;
    Application->CreateForm(f);
    for (const char* name : {"CDEMPRESA", "IDLANCCOME", "CDCONTCOME"}) f->dbgPadrao->Columns->Add()->FieldName = name;
    EXPECT_EQ(Consiste::IndiceCol(f->dbgPadrao, "CDCONTCOME"), 2);
    EXPECT_EQ(Consiste::IndiceCol(f->dbgPadrao, "idlanccome"), 1);
    EXPECT_EQ(Consiste::IndiceCol(f->dbgPadrao, "VRLANCAMENT"), -1);
    f->dbgPadrao->Columns->Delete(1);
    EXPECT_EQ(Consiste::IndiceCol(f->dbgPadrao, "CDCONTCOME"), 1);
    EXPECT_EQ(Consiste::IndiceCol(nullptr, "X"), -1);
}

}  // namespace

namespace {

// A screen whose state handler counts its runs; its data set is created
// after the base form's data source, so it is destroyed before it.
class TfrmContador : public TfrmPadrao {
public:
    explicit TfrmContador(TComponent* owner, int* runs) : TfrmPadrao(owner), runs_(runs) {
        dtsPadrao->SetDataSet(companies(this, {{"01", "Matriz"}}));
    }
    void dtsPadraoStateChange(TObject* Sender) override {
        ++*runs_;
        TfrmPadrao::dtsPadraoStateChange(Sender);
    }

private:
    int* runs_;
};

TEST(FrmPadraoTeardown, DestroyingTheFormRunsNoScreenHandler) {
    int runs = 0;
    auto* f = new TfrmContador(nullptr, &runs);
    f->dtsPadrao->DataSet()->Edit();
    const int before = runs;
    EXPECT_GT(before, 0);
    delete f;
    EXPECT_EQ(runs, before);
}

}  // namespace
