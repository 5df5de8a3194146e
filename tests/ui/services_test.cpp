// The headless dialog services: which queued answer a box takes, the
// defaults, the lookups positioning their data sets, and the record of
// everything shown.
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/ui/services.h"
#include "platform/ui/stdctrls.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ServicesTest : public ::testing::Test {
protected:
    THeadlessServices svc;
    std::vector<std::string> notes;
    std::unique_ptr<TClientDataSet> cds = std::make_unique<TClientDataSet>();
    std::unique_ptr<TDataSource> dts = std::make_unique<TDataSource>();

    void SetUp() override {
        svc.OnNote = [this](const std::string& n) { notes.push_back(n); };
        cds->AddField("CDFILIAL", TFieldType::ftString, 4);
        cds->AddField("NMFILIAL", TFieldType::ftString, 30);
        cds->CreateDataSet();
        for (auto [code, name] : {std::pair{"0001", "Matriz"}, {"0002", "Campinas"}, {"0003", "Santos"}}) {
            cds->Append();
            cds->FieldByName("CDFILIAL")->SetAsString(code);
            cds->FieldByName("NMFILIAL")->SetAsString(name);
            cds->Post();
        }
        cds->First();
        dts->SetDataSet(cds.get());
    }
    void TearDown() override { dts->SetDataSet(nullptr); }
};

const TMsgDlgButtons YesNo = TMsgDlgButtons() << mbYes << mbNo;

TEST_F(ServicesTest, QuestionWithoutAnAnswerTakesNoAndLeavesANote) {
    EXPECT_EQ(svc.MessageDlg("Deseja excluir o lançamento contábil?", mtConfirmation, YesNo, 0), mrNo);
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(svc.MessageDlg("Aviso", mtInformation, mbOK, 0), mrOk);
    EXPECT_EQ(notes.size(), 2u);  // every unanswered box is named
}

TEST_F(ServicesTest, OkOnlyBoxLeavesAQueuedAnswerForTheQuestionAfterIt) {
    svc.QueueAnswer("yes");
    EXPECT_EQ(svc.MessageDlg("Favor informar o período.", mtInformation, mbOK, 0), mrOk);
    svc.ShowError("Filial não cadastrada.");
    EXPECT_EQ(svc.MessageDlg("Cancelar operação?", mtConfirmation, YesNo, 0), mrYes);
    EXPECT_EQ(svc.PendingAnswers(), 0u);

    TShownItem m;
    std::vector<std::string> texts;
    while (svc.TakeMessage(m)) texts.push_back(m.text + "=" + m.answer);
    EXPECT_EQ(texts, (std::vector<std::string>{"Favor informar o período.=ok", "Filial não cadastrada.=ok",
                                               "Cancelar operação?=yes"}));
    EXPECT_FALSE(svc.HasUncheckedMessage());
}

TEST_F(ServicesTest, AnswerTheBoxDoesNotOfferFallsBackToItsDefault) {
    svc.QueueAnswer("ok");
    EXPECT_EQ(svc.MessageDlg("Confirma?", mtConfirmation, YesNo, 0), mrNo);
    EXPECT_FALSE(notes.empty());
}

TEST_F(ServicesTest, SinglePickPositionsTheDataSetOrCancels) {
    svc.QueuePick("CDFILIAL=0003");
    EXPECT_TRUE(svc.Pesquisar(dts.get(), "Filial|Filial não cadastrada."));
    EXPECT_EQ(cds->FieldByName("NMFILIAL")->AsString(), "Santos");

    svc.QueuePick("CDFILIAL=0009");  // not a row: cancel, noted
    EXPECT_FALSE(svc.Pesquisar(dts.get(), "Filial"));
    svc.QueuePick("NAOEXISTE=1");
    EXPECT_FALSE(svc.Pesquisar(dts.get(), "Filial"));
    svc.QueuePick("cancel");
    EXPECT_FALSE(svc.Pesquisar(dts.get(), "Filial"));
    EXPECT_FALSE(svc.Pesquisar(dts.get(), "Filial"));  // nothing queued
    EXPECT_EQ(notes.size(), 3u);
}

TEST_F(ServicesTest, ListPickWritesKnownCodesWrappedInUnderscores) {
    svc.QueuePick("0001, 0003,0042");
    std::string list = "_0002_";
    EXPECT_TRUE(svc.PesquisaLista(dts.get(), "CDFILIAL", "Filial", list));
    EXPECT_EQ(list, "_0001__0003_");
    EXPECT_EQ(notes, (std::vector<std::string>{"código \"0042\" não existe em \"Filial\""}));

    svc.QueuePick("cancel");
    EXPECT_FALSE(svc.PesquisaLista(dts.get(), "CDFILIAL", "Filial", list));
    EXPECT_EQ(list, "_0001__0003_");  // a cancel leaves the list alone
}

TEST_F(ServicesTest, TreePickTakesABareCodeOrKeyValue) {
    std::string code;
    svc.QueuePick("0002");
    EXPECT_TRUE(svc.PesqArv(dts.get(), "9999;0;_", {"CDFILIAL", "NMFILIAL"}, "Conta", code));
    EXPECT_EQ(code, "0002");
    svc.QueuePick("NMFILIAL=santos");
    EXPECT_TRUE(svc.PesqArv(dts.get(), "9999;0;_", {"CDFILIAL", "NMFILIAL"}, "Conta", code));
    EXPECT_EQ(code, "0003");
}

TEST_F(ServicesTest, LookupOnAClosedQueryCancelsInsteadOfFailing) {
    cds->Close();
    svc.QueuePick("CDFILIAL=0001");
    EXPECT_FALSE(svc.Pesquisar(dts.get(), "Filial"));
    svc.QueuePick("CDFILIAL=0001");
    EXPECT_FALSE(svc.Pesquisar(nullptr, "Filial"));
}

TEST_F(ServicesTest, InstalledServicesReplaceTheDefaultUntilReset) {
    struct Recording : THeadlessServices {
        int boxes = 0;
        int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons, int) override {
            ++boxes;
            return mrYes;
        }
    } front;
    SetServices(&front);
    EXPECT_EQ(MessageDlg("Confirma?", mtConfirmation, YesNo, 0), mrYes);
    EXPECT_EQ(front.boxes, 1);
    SetServices(nullptr);
    EXPECT_EQ(&Services(), &HeadlessServices());
}

}  // namespace
