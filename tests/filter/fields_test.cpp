// The filter dialog's field handlers that the scenario scripts cannot reach
// in every case: each kind of account code on exit, and the list lookups
// without an entry screen. (Keys, radio pairs and lookups: filter_fields.ctb.)
#include "filter_fixture.h"

TEST_F(FilterTest, AccountExitRefusesUnknownOrMalformedCodesAndKeepsTheFocus) {
    show();
    struct Case {
        const char* typed;
        const char* message;  // "" when accepted
    };
    for (const Case& c : {Case{"", ""}, Case{"11", ""}, Case{"1110100001", ""},
                          Case{"3", "Conta contábil não cadastrada."}, Case{"1110", "*"}}) {
        SCOPED_TRACE(c.typed);
        HeadlessServices().Clear();
        ASSERT_TRUE(Dispatch([&] { dlg->medContCtblFi->SetFocus(); }));
        dlg->medContCtblFi->SetText(c.typed);
        const bool left = Dispatch([&] { dlg->depIni->SetFocus(); });
        EXPECT_EQ(left, *c.message == 0);
        EXPECT_EQ(focusedName(dlg), left ? "depIni" : "medContCtblFi");
        if (*c.message == '*') EXPECT_NE(boxes(), "");
        else EXPECT_EQ(boxes(), c.message);
        EXPECT_EQ(dlg->medContCtblFi->Text(), c.typed);  // never rewritten
        dlg->medContCtblFi->SetText("");
    }
}

TEST_F(FilterTest, ListLookupNeedsTheEntryScreen) {
    show();
    frmLancamentos = nullptr;
    dlg->rbtLista->SetChecked(true);
    EXPECT_FALSE(Dispatch([&] { dlg->sbtHist->Click(); }));
    EXPECT_EQ(boxes(), "A tela de lançamentos contábeis não está aberta.");
    EXPECT_EQ(dlg->stListaHist, "");
    frmLancamentos = screen;
}
