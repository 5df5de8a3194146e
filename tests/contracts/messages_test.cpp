// Message tables: look-up without regard to case, and the texts a screen gets
// for keys its table does not hold.
#include "contracts/zem_msg.h"

#include <gtest/gtest.h>

namespace {

TEST(TMessages, KeysMatchIgnoringCaseAndTheFirstRowWins) {
    TMessages msg;
    msg.SetLines({"EMP_N|Empresa não cadastrada.", "FILIAL|Filial", "emp_n|segunda linha", "SEM_BARRA"});
    EXPECT_EQ(msg.Msg("EMP_N"), "Empresa não cadastrada.");
    EXPECT_EQ(msg.Msg("emp_n"), "Empresa não cadastrada.");
    EXPECT_EQ(msg.Msg("Filial"), "Filial");
    // A row without text never yields an empty message.
    EXPECT_EQ(msg.Msg("SEM_BARRA"), "Mensagem não encontrada: SEM_BARRA");
}

TEST(TMessages, TextWithBarsKeepsEverythingAfterTheFirstBar) {
    TMessages msg;
    msg.SetLines({"T|a|b"});
    EXPECT_EQ(msg.Msg("T"), "a|b");
}

TEST(TMessages, MissingKeysGiveTheSuitesCommonTexts) {
    TMessages msg;
    msg.Add("FILIAL", "Filial da tela");
    EXPECT_EQ(msg.Msg("CodComerBan_Inv"), "Código de conta bancária deve ter no máximo 3 caracteres.");
    EXPECT_EQ(msg.Msg("Filial_Cad"), "Filial não cadastrada.");
    EXPECT_EQ(msg.Msg("Forn_Cad"), "Fornecedor não cadastrado.");
    EXPECT_EQ(msg.Msg("CentroCus_cad"), "Centro de custo não cadastrado.");
    EXPECT_EQ(msg.Msg("CENTROCUS_CAD"), "Centro de custo não cadastrado.");
    EXPECT_EQ(msg.Msg("Historico_Cad"), "Histórico padrão não cadastrado.");
    EXPECT_EQ(msg.Msg("CentroCusto"), "Centro de Custo");
    // The table's own row comes before the common text.
    EXPECT_EQ(msg.Msg("Filial"), "Filial da tela");
}

TEST(TMessages, UnknownKeyNamesTheKey) {
    TMessages msg;
    EXPECT_EQ(msg.Msg("NAO_EXISTE"), "Mensagem não encontrada: NAO_EXISTE");
    EXPECT_FALSE(msg.Msg("").empty());
}

TEST(TMessages, IsFoundByNameAmongItsOwnersComponents) {
    TComponent form;
    auto* msg = form.Create<TMessages>();
    msg->Name = "msgPadrao";
    msg->Add("DOCU_DEV", "Documento deve ser informado.");
    auto* found = form.Find<TMessages>("MSGPADRAO");
    ASSERT_EQ(found, msg);
    EXPECT_EQ(found->Msg("docu_dev"), "Documento deve ser informado.");
}

}  // namespace
