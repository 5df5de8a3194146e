// The confirmation's checks: each failing criterion is refused with its
// message and its control focused, in the order of the checks, before
// anything is saved or sent.
#include "filter_fixture.h"

#include <functional>

namespace {

struct CheckCase {
    const char* name;
    std::function<void(TfrmLancFiltro*)> fill;
    const char* message;
    const char* focus;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class FilterCheckTest : public FilterTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(FilterCheckTest, RefusesWithMessageAndFocusBeforeAnyRequest) {
    const CheckCase& c = GetParam();
    show();
    const TFILTRO before = dlg->FiltroSalvo;
    c.fill(dlg);
    HeadlessServices().Clear();

    EXPECT_FALSE(confirm());
    EXPECT_EQ(boxes(), c.message);
    EXPECT_EQ(focusedName(dlg), c.focus);
    EXPECT_TRUE(server.calls.empty());
    EXPECT_TRUE(dlg->Visible);
    EXPECT_EQ(dlg->FiltroSalvo, before);
    EXPECT_EQ(dlg->stTipoFiltro, "");
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);
}

void listOf(TRadioButton* lista) { lista->SetChecked(true); }

INSTANTIATE_TEST_SUITE_P(
    Checks, FilterCheckTest,
    ::testing::Values(CheckCase{"OnlyFinalAccount", [](TfrmLancFiltro* d) { d->medContCtblFi->SetText("2"); },
                                "Conta contábil inicial deve ser informada.", "medContCtblIn"},
                      CheckCase{"OnlyInitialAccount", [](TfrmLancFiltro* d) { d->medContCtblIn->SetText("1"); },
                                "Conta contábil final deve ser informada.", "medContCtblFi"},
                      // Accounts compare as text: "1" sorts after "09".
                      CheckCase{"AccountsCompareAsText",
                                [](TfrmLancFiltro* d) {
                                    d->medContCtblIn->SetText("1");
                                    d->medContCtblFi->SetText("09");
                                },
                                "Conta contábil inicial deve ser menor ou igual a conta contábil final.",
                                "medContCtblIn"},
                      CheckCase{"NoInitialDate", [](TfrmLancFiltro* d) { d->depIni->SetText(""); },
                                "Data de lançamento inicial deve ser informada.", "depIni"},
                      CheckCase{"NoFinalDate", [](TfrmLancFiltro* d) { d->depFim->SetText(""); },
                                "Data de lançamento final deve ser informada.", "depFim"},
                      CheckCase{"FinalDateBeforeInitial",
                                [](TfrmLancFiltro* d) {
                                    d->depIni->SetText("14/06/2024");
                                    d->depFim->SetText("13/06/2024");
                                },
                                "Data de lançamento inicial deve ser menor ou igual a data de lançamento final.",
                                "depIni"},
                      CheckCase{"HistoryListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtLista); },
                                "Histórico padrão deve ser informado.", "rbtLista"},
                      CheckCase{"ClientListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtClie); },
                                "Cliente deve ser informado.", "rbtClie"},
                      CheckCase{"SupplierListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtForn); },
                                "Fornecedor deve ser informado.", "rbtForn"},
                      CheckCase{"BankListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtBanc); },
                                "Banco deve ser informado.", "rbtBanc"},
                      CheckCase{"BranchListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtLFilial); },
                                "Filial deve ser informada.", "rbtLFilial"},
                      CheckCase{"CostCentreListEmpty", [](TfrmLancFiltro* d) { listOf(d->rbtLCentCust); },
                                "Centro de Custo deve ser informado.", "rbtLCentCust"},
                      CheckCase{"FinalValueBelowInitial",
                                [](TfrmLancFiltro* d) {
                                    d->edtValorIni->SetText("50,00");
                                    d->edtValorFim->SetText("20,00");
                                },
                                "Valor final deve ser igual ou maior que o valor inicial.", "edtValorFim"},
                      // A negative final value under a zero initial one is refused too.
                      CheckCase{"NegativeFinalValue", [](TfrmLancFiltro* d) { d->edtValorFim->SetText("-5"); },
                                "Valor final deve ser igual ou maior que o valor inicial.", "edtValorFim"},
                      // With several failures the first check in order speaks.
                      CheckCase{"FirstFailureWins",
                                [](TfrmLancFiltro* d) {
                                    d->edtValorIni->SetText("50,00");
                                    d->edtValorFim->SetText("20,00");
                                    listOf(d->rbtBanc);
                                    d->depFim->SetText("");
                                },
                                "Data de lançamento final deve ser informada.", "depFim"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST_F(FilterTest, WronglyTypedDateIsReportedByTheDateEdit) {
    show();
    dlg->depIni->SetText("31/02/2024");
    EXPECT_FALSE(confirm());
    EXPECT_EQ(boxes(), "Data inválida.");
    EXPECT_TRUE(server.calls.empty());
}

// The focused account field is checked by its own exit handler first.
TEST_F(FilterTest, FocusedUnknownAccountStopsConfirmationInItsField) {
    show();
    dlg->medContCtblFi->SetText("2");
    ASSERT_TRUE(Dispatch([&] { dlg->medContCtblIn->SetFocus(); }));
    dlg->medContCtblIn->SetText("3");
    EXPECT_FALSE(confirm());
    EXPECT_EQ(boxes(), "Conta contábil não cadastrada.");
    EXPECT_EQ(focusedName(dlg), "medContCtblIn");
    EXPECT_TRUE(server.calls.empty());
}

}  // namespace
