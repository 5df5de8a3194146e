// The saved criteria: Atualiza_Filtro in both directions, the part of the
// applied filter a save refreshes, and what every showing does (defaults,
// company without commercial or management codes).
#include "filter_fixture.h"

namespace {

// The dialog's criteria controls and working lists as one line.
std::string controls(const TfrmLancFiltro* d) {
    auto radio = [](const TRadioButton* t, const TRadioButton* l) {
        return std::string(t->Checked() ? "T" : "-") + (l->Checked() ? "L" : "-");
    };
    return "conta=" + d->medContCtblIn->Text() + ".." + d->medContCtblFi->Text() + " datas=" + d->depIni->Text() +
           ".." + d->depFim->Text() + " valores=" + d->edtValorIni->Text() + ".." + d->edtValorFim->Text() +
           " doc=" + d->medDoc->Text() + " lanc=" + d->medLanc->Text() + " hist=" + radio(d->rbtTodos, d->rbtLista) +
           d->stListaHist + " clie=" + radio(d->rbtTClie, d->rbtClie) + d->stListaClie +
           " forn=" + radio(d->rbtTForn, d->rbtForn) + d->stListaForn + " banc=" + radio(d->rbtTBanc, d->rbtBanc) +
           d->stListaBanc + " filial=" + radio(d->rbtTFilial, d->rbtLFilial) + d->stListaFilial +
           " ccusto=" + radio(d->rbtTCentCust, d->rbtLCentCust) + d->stListaCentCust;
}

std::string buttons(const TfrmLancFiltro* d) {
    std::string out;
    for (const TControl* b : {static_cast<const TControl*>(d->sbtHist), static_cast<const TControl*>(d->sbtClie),
                              static_cast<const TControl*>(d->sbtForn), static_cast<const TControl*>(d->sbtBanc),
                              static_cast<const TControl*>(d->btnFilial), static_cast<const TControl*>(d->btnCentCust)})
        out += b->Enabled ? "1" : "0";
    return out;
}

void fillEverything(TfrmLancFiltro* d) {
    d->medContCtblIn->SetText("1");
    d->medContCtblFi->SetText("2");
    d->depIni->SetText("01/06/2024");
    d->depFim->SetText("10/06/2024");
    d->edtValorIni->SetText("1,50");
    d->edtValorFim->SetText("9,75");
    d->medDoc->SetText("77");
    d->medLanc->SetText("12");
    d->rbtLista->SetChecked(true);
    d->stListaHist = "_0001_";
    d->rbtForn->SetChecked(true);
    d->stListaForn = "_F9_";
    d->rbtLFilial->SetChecked(true);
    d->stListaFilial = "_0001__0003_";
}

template <class F> TDADOS dados(F fill) {
    TDADOS d;
    fill(d);
    return d;
}

}  // namespace

TEST_F(FilterTest, FreshDialogShowsDefaults) {
    show();
    EXPECT_EQ(controls(dlg),
              "conta=.. datas=14/06/2024..14/06/2024 valores=0,00..0,00 doc= lanc= hist=T- "
              "clie=T- forn=T- banc=T- filial=T- ccusto=T-");
    EXPECT_EQ(buttons(dlg), "000000");
    EXPECT_EQ(dlg->medHistLanc->Text(), "");
    EXPECT_EQ(dlg->stTipoFiltro, "");
    EXPECT_EQ(dlg->dtFiltIni, 0);
}

TEST_F(FilterTest, SaveThenRestoreGivesBackEveryControlAndList) {
    show();
    fillEverything(dlg);
    const std::string saved = controls(dlg);
    dlg->Atualiza_Filtro(false);

    // Everything changed, lists included, before the restore.
    dlg->medContCtblIn->SetText("");
    dlg->medContCtblFi->SetText("");
    dlg->depIni->SetText("");
    dlg->depFim->SetText("");
    dlg->edtValorIni->SetText("");
    dlg->edtValorFim->SetText("");
    dlg->medDoc->SetText("");
    dlg->medLanc->SetText("");
    dlg->rbtTodos->SetChecked(true);
    dlg->rbtTForn->SetChecked(true);
    dlg->rbtTFilial->SetChecked(true);
    dlg->rbtClie->SetChecked(true);
    dlg->stListaClie = "_C1_";

    dlg->Atualiza_Filtro(true);
    EXPECT_EQ(controls(dlg), saved);
    EXPECT_EQ(buttons(dlg), "101010");
}

TEST_F(FilterTest, SaveKeepsEachGroupInItsOwnRecord) {
    show();
    fillEverything(dlg);
    dlg->Atualiza_Filtro(false);
    const TFILTRO& s = dlg->FiltroSalvo;
    EXPECT_EQ(s.Hist, dados([](TDADOS& d) {
                  d.boHist = true;
                  d.stHist = "_0001_";
              }));
    EXPECT_EQ(s.Clie, TDADOS{});
    EXPECT_EQ(s.Forn, dados([](TDADOS& d) {
                  d.boForn = true;
                  d.stForn = "_F9_";
              }));
    EXPECT_EQ(s.Banc, TDADOS{});
    EXPECT_EQ(s.Conta, dados([](TDADOS& d) {
                  d.stContIni = "1";
                  d.stContFim = "2";
              }));
    EXPECT_EQ(s.Valor, dados([](TDADOS& d) {
                  d.vrIni = 1.5;
                  d.vrFim = 9.75;
              }));
    EXPECT_EQ(s.DocLanc, dados([](TDADOS& d) {
                  d.stDocu = "77";
                  d.stNrLanc = "12";
              }));
    EXPECT_EQ(s.Filial, dados([](TDADOS& d) {
                  d.boFilial = true;
                  d.stFilial = "_0001__0003_";
              }));
    EXPECT_EQ(s.CentCust, TDADOS{});
    EXPECT_EQ(s.dtIni, 45444);
    EXPECT_EQ(s.dtFim, 45453);
}

// A save refreshes fifteen members; the entry number, the padded final
// account and the document change only with a request.
TEST_F(FilterTest, SaveRefreshesAppliedFilterButNotRequestOnlyMembers) {
    show();
    dlg->stFiltNrLanc = "antes-nr";
    dlg->stFiltContFimZ = "antes-z";
    dlg->stFiltDocu = "antes-doc";
    fillEverything(dlg);
    dlg->medHistLanc->SetText("FRETE");
    dlg->Atualiza_Filtro(false);

    EXPECT_EQ(dlg->stTipoFiltro, "FiltroValorGer");  // the entry number 12 does not count
    EXPECT_EQ(dlg->stFiltEmpresa, "01");
    EXPECT_EQ(dlg->stFiltNrLanc, "antes-nr");
    EXPECT_EQ(dlg->stFiltContFimZ, "antes-z");
    EXPECT_EQ(dlg->stFiltDocu, "antes-doc");
    EXPECT_EQ(dlg->stFiltHist + dlg->stFiltClie + dlg->stFiltForn + dlg->stFiltBanc + "|" + dlg->stFiltFilial + "|" +
                  dlg->stFiltCentCust,
              "_0001__F9_|_0001__0003_|");
    EXPECT_EQ(dlg->stFiltContIni + ".." + dlg->stFiltContFim, "1..2");
    EXPECT_EQ(dlg->dtFiltIni, 45444);
    EXPECT_EQ(dlg->dtFiltFim, 45453);
    EXPECT_DOUBLE_EQ(dlg->vrFiltIni, 1.5);
    EXPECT_DOUBLE_EQ(dlg->vrFiltFim, 9.75);
    EXPECT_EQ(dlg->stFiltHistLanc, "FRETE");
}

// Each showing restores the saved criteria: whatever the user changed and
// then left without confirming or cancelling is gone, the history text
// (not part of the saved criteria) excepted.
TEST_F(FilterTest, ShowingRestoresSavedCriteriaButKeepsHistoryText) {
    show();
    fillEverything(dlg);
    ASSERT_TRUE(cancel());
    const std::string saved = controls(dlg);
    show();
    dlg->medLanc->SetText("99");
    dlg->rbtTForn->SetChecked(true);
    dlg->medHistLanc->SetText("TEXTO");
    dlg->Hide();
    show();
    EXPECT_EQ(controls(dlg), saved);
    EXPECT_EQ(dlg->medHistLanc->Text(), "TEXTO");
}

// Lists saved while another company was chosen (or picked in the history
// group, which stays usable) are dropped again on every showing.
TEST_F(FilterTest, CompanyWithoutCommercialCodesResetsGroupsOnEveryShowing) {
    screen->edtCdEmpresa->SetText("02");
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(showing);
        dlg->FiltroSalvo.Hist = dados([](TDADOS& d) {
            d.boHist = true;
            d.stHist = "_0001_";
        });
        dlg->FiltroSalvo.Clie = dados([](TDADOS& d) {
            d.boClie = true;
            d.stClie = "_C1_";
        });
        dlg->FiltroSalvo.Filial = dados([](TDADOS& d) {
            d.boFilial = true;
            d.stFilial = "_0001_";
        });
        show();
        const std::string all = controls(dlg);
        EXPECT_EQ(all.substr(all.find(" hist=")), " hist=T- clie=T- forn=T- banc=T- filial=T- ccusto=T-");
        EXPECT_EQ(buttons(dlg), "000000");
        EXPECT_TRUE(dlg->rbtLista->Enabled);
        EXPECT_FALSE(dlg->rbtClie->Enabled);
        EXPECT_FALSE(dlg->rbtTBanc->Enabled);
        EXPECT_FALSE(dlg->rbtLFilial->Enabled);
        EXPECT_FALSE(dlg->btnCentCust->Enabled);
        ASSERT_TRUE(cancel());
        EXPECT_EQ(dlg->FiltroSalvo.Clie, TDADOS{});
    }
    // Back on a company with both kinds of codes, every group is usable again.
    screen->edtCdEmpresa->SetText("01");
    show();
    EXPECT_TRUE(dlg->rbtClie->Enabled);
    EXPECT_TRUE(dlg->rbtLFilial->Enabled);
}

TEST_F(FilterTest, RestoredListaKeepsItsSavedListAndEnablesItsButton) {
    show();
    dlg->FiltroSalvo.Banc = dados([](TDADOS& d) {
        d.boBanc = true;
        d.stBanc = "_001_";
    });
    dlg->FiltroSalvo.CentCust = dados([](TDADOS& d) {
        d.boCentCust = true;
        d.stCentCust = "_0002_";
    });
    dlg->Hide();
    show();
    EXPECT_TRUE(dlg->rbtBanc->Checked());
    EXPECT_EQ(dlg->stListaBanc, "_001_");
    EXPECT_EQ(dlg->stListaCentCust, "_0002_");
    EXPECT_EQ(buttons(dlg), "000101");
}
