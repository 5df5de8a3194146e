// The generic renderer against a small screen: what the widgets show follows
// the model after every action, and what the user does to the widgets
// reaches the model through its own operations (masks, focus rules, grid
// editing, refusals).
#include "desktop_fixture.h"

#include "host/desktop/gridview.h"
#include "platform/ui/dispatch.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

using namespace desktest;

namespace {

QString TextOf(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text() + (b->isCheckable() || qobject_cast<QRadioButton*>(w) ? (b->isChecked() ? "[x]" : "[ ]") : "");
    return {};
}

// The widgets of the screen in one line each: name, text, state.
std::string Render(desk::DesktopHost& host, std::initializer_list<TControl*> controls) {
    std::string out;
    for (TControl* c : controls) {
        QWidget* w = host.WidgetOf(c);
        out += c->Name + ": ";
        if (!w) {
            out += "(no widget)\n";
            continue;
        }
        out += TextOf(w).toStdString();
        if (!w->isEnabled()) out += " disabled";
        if (!w->isVisibleTo(w->window())) out += " hidden";
        out += "\n";
    }
    return out;
}

}  // namespace

TEST_F(DesktopTest, WidgetsShowTheModelAfterEveryAction) {
    SampleForm* f = form;
    host->Act([f] {
        f->edtCodigo->SetText("01");
        f->edtNome->Enabled = false;
        f->edtNome->SetText("Comercial Paulista");
        f->medConta->SetText("11101");
        f->ndeValor->SetNumber(1234.5);
        f->rbtLista->SetChecked(true);
        f->cbbTipo->SetItemIndex(2);
        f->btnOk->Visible = false;
        f->pgc->SetActivePage(f->tshDados);
    });
    EXPECT_EQ(Render(*host, {f->lblCodigo, f->edtCodigo, f->edtNome, f->medConta, f->ndeValor, f->rbtTodos, f->rbtLista,
                             f->cbbTipo, f->btnOk, f->dbg}),
              "lblCodigo: Código\n"
              "edtCodigo: 01\n"
              "edtNome: Comercial Paulista disabled\n"
              "medConta: 1.1.1.01._____\n"
              "ndeValor: 1.234,50\n"
              "rbtTodos: Todos[ ]\n"
              "rbtLista: Lista[x]\n"
              "cbbTipo: Integração\n"
              "btnOk: OK hidden\n"
              "dbg:  hidden\n");
    auto* bar = host->ViewOf(f)->findChild<QTabBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->tabText(bar->currentIndex()), "Dados");
}

TEST_F(DesktopTest, LayoutFollowsAlignmentAndBounds) {
    QWidget* top = W(form->panTop);
    QWidget* pages = W(form->pgc);
    const QSize client = host->ViewOf(form)->size();
    EXPECT_EQ(top->geometry(), QRect(0, 0, client.width(), 40));
    EXPECT_EQ(pages->geometry(), QRect(0, 40, client.width(), client.height() - 40));
    EXPECT_EQ(W(form->edtCodigo)->geometry(), QRect(64, 8, 40, 21));
    // the grid fills its sheet, which fills the page area under the tabs
    EXPECT_EQ(W(form->dbg)->size(), W(form->tshLista)->size());
    EXPECT_GT(W(form->tshLista)->y(), 10);
}

TEST_F(DesktopTest, AScreenUsesTheMainWindowAndADialogsButtonsLookLikeButtons) {
    SampleForm* screen = nullptr;
    Application->CreateForm(screen);
    screen->Name = "frmTela";
    screen->FormStyle = fsMDIChild;
    auto* flat = new TButtonFlat(screen);
    flat->Name = "sbtTela";
    flat->Caption = "Confirmar";
    flat->SetParent(screen->panTop);
    auto* dialogFlat = new TButtonFlat(form);
    dialogFlat->Name = "sbtDialogo";
    dialogFlat->Caption = "Confirmar";
    dialogFlat->SetParent(form->panTop);
    host->Act([screen] { screen->Show(); });
    const QSize area = host->Main()->Mdi()->viewport()->size();
    ASSERT_GT(area.width(), screen->Width);
    EXPECT_EQ(host->ViewOf(screen)->Outer()->geometry(), QRect(QPoint(0, 0), area));
    // Flat on a screen's command bar, framed in a dialog.
    EXPECT_TRUE(static_cast<QToolButton*>(W(flat))->autoRaise());
    EXPECT_FALSE(static_cast<QToolButton*>(W(dialogFlat))->autoRaise());
}

TEST_F(DesktopTest, TypingGoesThroughTheModelsRules) {
    QWidget* code = W(form->edtCodigo);
    TypeText(code, "123");  // MaxLength 2 refuses the third
    EXPECT_EQ(form->edtCodigo->Text(), "12");
    EXPECT_EQ(qobject_cast<QLineEdit*>(code)->text(), "12");

    host->Act([this] {
        form->pgc->SetActivePage(form->tshDados);
        form->medConta->SetFocus();
    });
    TypeText(W(form->medConta), "1x1101");  // the mask takes digits only
    EXPECT_EQ(form->medConta->Text(), "11101");
    EXPECT_EQ(qobject_cast<QLineEdit*>(W(form->medConta))->text(), "1.1.1.01._____");

    host->Act([this] { form->depData->SetFocus(); });
    TypeText(W(form->depData), "05012024");
    EXPECT_EQ(form->depData->Text(), "05/01/2024");
    // a valid date shows in the edit's valid-date colour
    EXPECT_EQ(W(form->depData)->palette().color(QPalette::Text), QColor(0, 0, 255));
}

TEST_F(DesktopTest, EnterMovesOnAsTabAndARefusedMoveKeepsTheFocus) {
    PressKey(W(form->edtCodigo), Qt::Key_Return);
    EXPECT_EQ(Screen->ActiveControl(), form->edtNome);
    EXPECT_TRUE(W(form->edtNome)->hasFocus());

    PressKey(W(form->edtNome), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Screen->ActiveControl(), form->edtCodigo);

    form->refuseExit = true;
    PressKey(W(form->edtCodigo), Qt::Key_Tab);
    EXPECT_EQ(Screen->ActiveControl(), form->edtCodigo);
    // a click elsewhere is refused the same way: the focus comes back
    W(form->edtNome)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Screen->ActiveControl(), form->edtCodigo);
    EXPECT_TRUE(W(form->edtCodigo)->hasFocus());
}

TEST_F(DesktopTest, F2OpensTheLookupOfTheFieldOrTheColumn) {
    PressKey(W(form->edtCodigo), Qt::Key_F2);
    EXPECT_EQ(form->lookups, 1);

    int buttons = 0;
    form->dbg->OnEditButtonClick = [&](TObject*) { ++buttons; };
    host->Act([this] { form->dbg->SetFocus(); });
    PressKey(W(form->dbg), Qt::Key_F2);  // the first column has an ellipsis
    EXPECT_EQ(buttons, 1);
    host->Act([this] { form->dbg->SetSelectedIndex(1); });
    PressKey(W(form->dbg), Qt::Key_F2);  // no ellipsis: F2 opens the cell editor
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(form->dbg->EditorActive());
}

TEST_F(DesktopTest, RadioAndTabClicksGoThroughTheModel) {
    bool allow = false;
    form->pgc->OnChanging = [&](TObject*, bool& ok) { ok = allow; };
    auto* bar = host->ViewOf(form)->findChild<QTabBar*>();
    bar->setCurrentIndex(1);  // refused: the bar goes back to the model's page
    EXPECT_EQ(form->pgc->ActivePage(), form->tshLista);
    EXPECT_EQ(bar->currentIndex(), 0);
    allow = true;
    bar->setCurrentIndex(1);
    EXPECT_EQ(form->pgc->ActivePage(), form->tshDados);

    Click(W(form->rbtLista));
    EXPECT_TRUE(form->rbtLista->Checked());
    EXPECT_FALSE(form->rbtTodos->Checked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(W(form->rbtTodos))->isChecked());

    auto* combo = qobject_cast<QComboBox*>(W(form->cbbTipo));
    emit combo->activated(1);
    EXPECT_EQ(form->cbbTipo->Text(), "Lote");
}

TEST_F(DesktopTest, ErrorsOfAnActionAppearInAnErrorBox) {
    QString text, title;
    AnswerNextDialog("OK", &text, &title);
    form->btnOk->OnClick = [](TObject*) { throw Exception("Conta contábil não cadastrada."); };
    host->Act([this] { form->pgc->SetActivePage(form->tshDados); });
    Click(W(form->btnOk));
    EXPECT_EQ(text, QString::fromUtf8("Conta contábil não cadastrada."));
    EXPECT_EQ(title, "Erro");

    // a refusal (EAbort) shows nothing
    form->btnOk->OnClick = [](TObject*) { Abort(); };
    EXPECT_FALSE(host->Act([this] { form->btnOk->Click(); }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(DesktopTest, MessageBoxesAnswerWithPortugueseButtons) {
    QString text;
    AnswerNextDialog(QString::fromUtf8("Não"), &text);
    int answer = 0;
    host->Act([&] { answer = MessageDlg("Confirma exclusão?", mtConfirmation, TMsgDlgButtons(mbYes) << mbNo, 0); });
    EXPECT_EQ(answer, mrNo);
    EXPECT_EQ(text, QString::fromUtf8("Confirma exclusão?"));
    AnswerNextDialog("Sim");
    host->Act([&] { answer = MessageDlg("Continuar?", mtConfirmation, TMsgDlgButtons(mbYes) << mbNo, 0); });
    EXPECT_EQ(answer, mrYes);
}
