// The grid on the desktop: a virtual table over the data set's view, cell
// clicks and typing handed to the grid's operations, column moves kept in
// the grid's column order, and the screen's owner drawing fed each row's
// record without moving the data set.
#include "desktop_fixture.h"

#include "host/desktop/gridview.h"
#include "host/desktop/lookups.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeWidget>

using namespace desktest;

namespace {

desk::GridView* Grid(desk::DesktopHost& host, TDBGrid* g) { return static_cast<desk::GridView*>(host.WidgetOf(g)); }

QPoint CellCentre(desk::GridView* v, int row, int col) {
    v->scrollTo(v->model()->index(row, col));
    return v->visualRect(v->model()->index(row, col)).center();
}

void ClickCell(desk::GridView* v, int row, int col) {
    const QPoint at = CellCentre(v, row, col);
    QMouseEvent press(QEvent::MouseButtonPress, at, v->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(v->viewport(), &press);
}

}  // namespace

TEST_F(DesktopTest, GridShowsTheDataSetsViewAndFollowsItsChanges) {
    desk::GridView* v = Grid(*host, form->dbg);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->model()->rowCount(), 30);
    EXPECT_EQ(v->model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("Histórico"));
    for (int r : {0, 17, 29})
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(v->model()->index(r, c).data().toString().toStdString(), form->dbg->CellText(r, c));
    host->Act([this] {
        form->cds->SetFilter("VALOR > 300");
        form->cds->SetFiltered(true);
    });
    EXPECT_EQ(v->model()->rowCount(), form->cds->RecordCount());
    EXPECT_EQ(v->model()->index(0, 0).data().toString(), "1029");
}

TEST_F(DesktopTest, ClicksAndTypingEditTheCellThroughTheGrid) {
    desk::GridView* v = Grid(*host, form->dbg);
    ClickCell(v, 4, 2);
    EXPECT_EQ(form->cds->RecNo(), 5);
    EXPECT_EQ(form->dbg->SelectedField()->FieldName(), "HIST");
    EXPECT_EQ(Screen->ActiveControl(), form->dbg);

    TypeText(v, "Novo");
    EXPECT_EQ(form->cds->State(), dsEdit);
    EXPECT_EQ(v->model()->index(4, 2).data().toString(), "Novo");
    PressKey(v, Qt::Key_Down);  // the row move posts
    EXPECT_EQ(form->cds->State(), dsBrowse);
    EXPECT_EQ(form->cds->RecNo(), 6);
    EXPECT_EQ(form->dbg->CellText(4, 2), "Novo");

    TypeText(v, "Descartado");
    PressKey(v, Qt::Key_Escape);
    EXPECT_EQ(form->cds->State(), dsBrowse);
    EXPECT_EQ(v->model()->index(5, 2).data().toString(), QString::fromUtf8("Histórico da linha 6"));
}

TEST_F(DesktopTest, ColumnMovesAndWidthsLandInTheGridsColumns) {
    desk::GridView* v = Grid(*host, form->dbg);
    v->horizontalHeader()->moveSection(2, 0);  // the user drags Histórico first
    EXPECT_EQ(form->dbg->Columns->Items(0)->FieldName, "HIST");
    EXPECT_EQ(form->dbg->Columns->Items(1)->FieldName, "CODIGO");
    // the header shows the grid's order again, column by column
    EXPECT_EQ(v->horizontalHeader()->visualIndex(0), 0);
    EXPECT_EQ(v->model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Histórico"));
    v->horizontalHeader()->resizeSection(0, 250);
    EXPECT_EQ(form->dbg->Columns->Items(0)->Width, 250);
}

TEST_F(DesktopTest, ColumnsFitTheirTitlesAndContentsWithinTheDefinedWidths) {
    desk::GridView* v = Grid(*host, form->dbg);
    TDBGridColumns& cols = *form->dbg->Columns;
    cols.Items(0)->Width = 12;   // narrower than its title "Código"
    cols.Items(1)->Width = 300;  // far wider than its short amounts
    cols.Items(2)->Width = 60;   // narrower than its history texts
    host->SyncAll();
    const std::vector<int> w = v->FittedWidths();
    const QFontMetrics fm(v->horizontalHeader()->font());
    EXPECT_GT(w[0], fm.horizontalAdvance(QString::fromUtf8("Código"))) << "a title is never cut";
    EXPECT_LT(w[1], 120) << "short contents leave the room they do not use";
    const int history = QFontMetrics(v->font()).horizontalAdvance(QString::fromUtf8("Histórico da linha 30"));
    EXPECT_GT(w[2], history) << "and a long text takes it";
    EXPECT_LE(w[0] + w[1] + w[2], std::max(12 + 300 + 60, v->viewport()->width()));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(v->columnWidth(c), w[static_cast<std::size_t>(c)]);

    // While a record is edited no column gets narrower under the typing.
    host->Act([this] {
        form->cds->Edit();
        form->cds->FieldByName("HIST")->SetAsString("x");
    });
    for (int c = 0; c < 3; ++c) EXPECT_GE(v->columnWidth(c), w[static_cast<std::size_t>(c)]);
}

TEST_F(DesktopTest, OwnerDrawingReadsEachRowWithoutMovingTheDataSet) {
    std::vector<std::string> drawn;
    int scrolls = 0;
    form->cds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    form->dbg->OnDrawColumnCell = [&](TObject*, const TRect& r, int, TColumn* column, TGridDrawState) {
        if (column->FieldName != "HIST") return;
        std::string text = form->cds->FieldByName("HIST")->AsString();
        drawn.push_back(text);
        form->dbg->Canvas->TextRect(r, r.Left + 3, r.Top + 3, text.substr(0, 10));
    };
    host->Act([this] { form->cds->SetRecNo(3); });
    scrolls = 0;
    desk::GridView* v = Grid(*host, form->dbg);
    v->resize(500, 200);
    v->grab();  // paints the rows on screen
    ASSERT_GE(drawn.size(), 5u);
    EXPECT_EQ(drawn[0], "Histórico da linha 1");
    EXPECT_EQ(drawn[2], "Histórico da linha 3");
    EXPECT_EQ(drawn[4], "Histórico da linha 5");
    EXPECT_EQ(form->cds->RecNo(), 3);
    EXPECT_EQ(scrolls, 0);
    // the hook the drawing borrowed is given back
    EXPECT_FALSE(static_cast<bool>(form->cds->Fields(0)->OnGetText));
}

TEST_F(DesktopTest, SinglePickStandsTheDataSetOnThePickedRow) {
    QString title;
    QTimer::singleShot(20, [&] {
        QWidget* d = DialogNamed("dlgPesquisa");
        ASSERT_NE(d, nullptr);
        title = d->windowTitle();
        auto* table = d->findChild<QTableView*>("tblPesquisa");
        auto* search = d->findChild<QLineEdit*>("edtLocalizar");
        search->setText("linha 12");  // the search narrows the rows
        EXPECT_EQ(table->model()->rowCount(), 1);
        table->setCurrentIndex(table->model()->index(0, 0));
        static_cast<QDialog*>(d)->accept();
    });
    bool picked = false;
    host->Act([&] { picked = Services().Pesquisar(form->dts, "Linhas|Não há linhas."); });
    EXPECT_TRUE(picked);
    EXPECT_EQ(title, "Linhas");
    EXPECT_EQ(form->cds->FieldByName("CODIGO")->AsString(), "1012");
}

TEST_F(DesktopTest, EmptySourceShowsTheTextAfterTheBar) {
    host->Act([this] { form->cds->EmptyDataSet(); });
    QString text;
    AnswerNextDialog("OK", &text);
    bool picked = true;
    host->Act([&] { picked = Services().Pesquisar(form->dts, "Linhas|Não há linhas."); });
    EXPECT_FALSE(picked);
    EXPECT_EQ(text, QString::fromUtf8("Não há linhas."));
}

TEST_F(DesktopTest, MultiPickReturnsTheCodeListInRowOrder) {
    QTimer::singleShot(20, [&] {
        QWidget* d = DialogNamed("dlgPesquisaLista");
        ASSERT_NE(d, nullptr);
        auto* m = d->findChild<QTableView*>("tblPesquisa")->model();
        // 1003 came ticked from the list; 1001 is ticked now, 1003 unticked, 1005 ticked
        EXPECT_EQ(m->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
        m->setData(m->index(0, 0), Qt::Checked, Qt::CheckStateRole);
        m->setData(m->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
        m->setData(m->index(4, 0), Qt::Checked, Qt::CheckStateRole);
        static_cast<QDialog*>(d)->accept();
    });
    std::string list = "_1003_";
    bool ok = false;
    host->Act([&] { ok = Services().PesquisaLista(form->dts, "CODIGO", "Linhas", list); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(list, "_1001__1005_");
}

TEST(DesktopLookupTree, AccountsHangUnderTheirLevelsAndOnlyAnalyticOnesArePicked) {
    App();
    TClientDataSet cds;
    cds.AddField("CDCONTCTBL", TFieldType::ftString, 20);
    cds.AddField("CDNVCONTCTBL", TFieldType::ftString, 1);
    cds.AddField("NMCONTCTBL", TFieldType::ftString, 40);
    cds.CreateDataSet();
    for (auto [code, name] : {std::pair{"1", "Ativo"},
                              {"11", "Circulante"},
                              {"111", "Disponível"},
                              {"11101", "Caixa"},
                              {"1110100001", "Caixa Geral"},
                              {"1110100002", "Banco"}}) {
        cds.Append();
        cds.FieldByName("CDCONTCTBL")->SetAsString(code);
        cds.FieldByName("NMCONTCTBL")->SetAsString(name);
        cds.Post();
    }
    TDataSource dts;
    dts.SetDataSet(&cds);
    std::string shape;
    QTimer::singleShot(20, [&] {
        QWidget* d = DialogNamed("dlgPesqArvore");
        ASSERT_NE(d, nullptr);
        auto* tree = d->findChild<QTreeWidget*>("tvwContas");
        QTreeWidgetItem* it = tree->currentItem();  // opens on the current code
        ASSERT_NE(it, nullptr);
        for (QTreeWidgetItem* p = it; p; p = p->parent())
            shape = p->text(0).toStdString() + (shape.empty() ? "" : ">") + shape;
        EXPECT_FALSE(it->parent()->flags() & Qt::ItemIsSelectable);  // a synthetic account
        tree->setCurrentItem(it->parent()->child(1));
        static_cast<QDialog*>(d)->accept();
    });
    std::string code = "1110100001";
    const bool ok = desk::RunTreePick(nullptr, &dts, "9.9.9.99.99999;0;_",
                                      {"CDCONTCTBL", "CDNVCONTCTBL", "NMCONTCTBL", "1"}, "Conta|", code);
    EXPECT_TRUE(ok);
    EXPECT_EQ(shape, "1>11>111>11101>1110100001");
    EXPECT_EQ(code, "1110100002");
    EXPECT_EQ(cds.FieldByName("NMCONTCTBL")->AsString(), "Banco");
}
