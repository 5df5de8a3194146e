// The lookup button's own flow, the lookup wrappers and the busy guard, run
// against the headless services.
#include "contracts/buttons.h"
#include "contracts/pesqlista.h"
#include "contracts/pesquisa.h"
#include "contracts/showavi.h"
#include "contracts/zembra.h"
#include "helpers.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"

#include <stdexcept>

namespace {

class BtnPesquisaTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        cds = companies(&owner, {{"01", "Matriz"}, {"02", "Filial Sul"}});
        dts = new TDataSource(&owner);
        dts->SetDataSet(cds);
        edt = new TEdit(&owner);
        btn = new TBtnPesquisa(&owner);
        btn->Associate = edt;
        btn->Title = "Empresa";
        btn->DataSource = dts;
        btn->FieldCodigo = "CDEMPRESA";
        btn->FieldNome = "NMEMPRESA";
        btn->EmptyError = "Não há empresa cadastrada.";
        btn->OnBeforePesq = [this](TObject*) { log += "antes;"; };
    }
    TComponent owner;
    TClientDataSet* cds = nullptr;
    TDataSource* dts = nullptr;
    TEdit* edt = nullptr;
    TBtnPesquisa* btn = nullptr;
    std::string log;
};

TEST_F(BtnPesquisaTest, PickRunsBeforeThenAfterWithTheDataSetOnThePick) {
    btn->OnAfterPesq = [this](TObject*) { log += "depois:" + cds->FieldByName("NMEMPRESA")->AsString() + ";"; };
    ui().QueuePick("CDEMPRESA=02");
    btn->Click();
    EXPECT_EQ(log, "antes;depois:Filial Sul;");
    EXPECT_EQ(shown(), "pesq:Empresa");
    EXPECT_EQ(edt->Text(), "") << "with OnAfterPesq the screen fills its own edits";
}

TEST_F(BtnPesquisaTest, WithoutAfterHandlerTheAssociateGetsTheCode) {
    ui().QueuePick("CDEMPRESA=02");
    btn->Click();
    EXPECT_EQ(edt->Text(), "02");
}

TEST_F(BtnPesquisaTest, CancelChangesNothing) {
    btn->OnAfterPesq = [this](TObject*) { log += "depois;"; };
    edt->SetText("01");
    ui().QueuePick("cancel");
    btn->Click();
    EXPECT_EQ(log, "antes;");
    EXPECT_EQ(edt->Text(), "01");
}

TEST_F(BtnPesquisaTest, EmptyOrClosedDataSetIsRefusedWithEmptyError) {
    btn->OnAfterPesq = [this](TObject*) { log += "depois;"; };
    cds->EmptyDataSet();
    EXPECT_THROW(btn->Click(), EAbort);
    cds->Close();
    EXPECT_FALSE(Dispatch([&] { btn->Click(); }));
    EXPECT_EQ(log, "antes;antes;");
    EXPECT_EQ(shown(), "erro:Não há empresa cadastrada. / erro:Não há empresa cadastrada.");
}

TEST_F(BtnPesquisaTest, BeforeHandlerMayOpenTheQueryItself) {
    const TDataPacket saved = cds->Data();
    cds->Close();
    btn->OnBeforePesq = [this, saved](TObject*) { cds->Data(saved); };
    ui().QueuePick("CDEMPRESA=01");
    btn->Click();
    EXPECT_EQ(edt->Text(), "01");
}

TEST_F(BtnPesquisaTest, AssignedOnClickReplacesTheWholeLookup) {
    btn->OnClick = [this](TObject*) { log += "click;"; };
    ui().QueuePick("CDEMPRESA=02");
    btn->Click();
    EXPECT_EQ(log, "click;");
    EXPECT_EQ(ui().PendingPicks(), 1u);
    EXPECT_EQ(shown(), "");
}

TEST_F(BtnPesquisaTest, TreeLookupOpensOnTheAssociatesCode) {
    btn->PesqType = ptArvore;
    btn->PictType = Zembra::ptContCtbl;
    btn->Title = "Conta Contábil";
    edt->SetText("01");
    ui().QueuePick("02");
    btn->Click();
    EXPECT_EQ(shown(), "arvore:Conta Contábil");
    EXPECT_EQ(edt->Text(), "02");
    EXPECT_EQ(cds->FieldByName("CDEMPRESA")->AsString(), "02");
}

class LookupWrappersTest : public BtnPesquisaTest {};

TEST_F(LookupWrappersTest, ListPickWritesTheCodeListAndCancelKeepsIt) {
    std::string list = "_01_";
    ui().QueuePick("cancel");
    EXPECT_FALSE(Pesqlista::PesquisaLista(dts, "CDEMPRESA", "Empresa|Nenhuma", false, list));
    EXPECT_EQ(list, "_01_");
    ui().QueuePick("01,02");
    EXPECT_TRUE(Pesqlista::PesquisaLista(dts, "CDEMPRESA", "Empresa|Nenhuma", false, list));
    EXPECT_EQ(list, "_01__02_");
    EXPECT_EQ(Pesqlista::CodesOf(list), (std::vector<std::string>{"01", "02"}));
    EXPECT_TRUE(Pesqlista::InList(list, "02"));
    EXPECT_FALSE(Pesqlista::InList(list, "0"));
    EXPECT_EQ(Pesqlista::ListOf({"0001", "0003"}), "_0001__0003_");
    EXPECT_TRUE(Pesqlista::CodesOf("T").empty());
}

TEST_F(LookupWrappersTest, ClosedDataSourceNeverReachesTheDialog) {
    cds->Close();
    ui().QueuePick("CDEMPRESA=01");
    EXPECT_FALSE(Pesquisa::Pesquisar(dts, "Empresa", false, true));
    EXPECT_FALSE(Pesquisa::Pesquisar(nullptr, "Empresa", false, true));
    EXPECT_EQ(ui().PendingPicks(), 1u);
}

class ShowAviTest : public UiTest {};

TEST_F(ShowAviTest, GuardHidesTheAnimationWhateverHappens) {
    try {
        TShowAviGuard busy(nullptr, 1);
        EXPECT_EQ(ui().BusyDepth(), 1);
        throw std::runtime_error("servidor caiu");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(ui().BusyDepth(), 0);
    {
        TShowAviGuard busy(nullptr, 6);
        busy.Release();
        EXPECT_EQ(ui().BusyDepth(), 0);
    }
    EXPECT_EQ(ui().BusyDepth(), 0) << "a released guard does not hide twice";
}

}  // namespace
