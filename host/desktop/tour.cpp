#include "host/desktop/tour.h"

#include "host/desktop/gridview.h"
#include "host/desktop/uidrive.h"
#include "platform/data/dataset.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTableView>

namespace desk {
namespace {

// A shot of a top-level window once it shows.
StepRunner::Step Shot(std::function<QWidget*()> window, QString path) {
    return [window, path] {
        QWidget* w = window();
        if (!w || !w->isVisible()) return false;
        return SavePng(w, path);
    };
}

// Closes a dialog by the button with that text ("Cancelar", "Não", "OK").
bool PressDialogButton(QWidget* dialog, const QString& text) {
    if (!dialog) return false;
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isVisible()) {
            b->click();
            return true;
        }
    return false;
}

bool FormShown(const char* name) {
    auto* f = dynamic_cast<TForm*>(FindComponent(name));
    return f && f->Visible;
}

}  // namespace

void AddScreenshotTour(StepRunner& r, DesktopHost& host, const QString& dir, int year) {
    auto file = [dir](const char* name) { return dir + "/" + name; };
    auto main = [&host] { return static_cast<QWidget*>(host.Main()); };
    auto widget = [&host](const char* name) { return WidgetNamed(host, name); };
    auto modalWindow = [&host](const char* form) -> QWidget* {
        auto* f = dynamic_cast<TForm*>(FindComponent(form));
        FormView* v = f ? host.ViewOf(f) : nullptr;
        return v ? v->Outer() : nullptr;
    };
    const QString yyyy = QString::number(year);

    r.Add("janela principal", Shot(main, file("01-janela-principal.png")));
    r.Add("abrir a tela de lançamentos", [&host] {
        host.Main()->EntryCommand()->trigger();
        return true;
    });
    r.Add("tela de lançamentos aberta", [] { return FormShown("frmLancamentos"); });
    r.Add("painel da empresa", Shot(main, file("02-lancamento-empresa.png")));

    // The company lookup.
    r.Add("clicar a pesquisa de empresa", [widget] {
        Click(widget("btnEmpresa"));
        return true;
    });
    r.Add("pesquisa de empresa", Shot([] { return DialogNamed("dlgPesquisa"); }, file("03-pesquisa-empresa.png")));
    r.Add("cancelar a pesquisa", [] { return PressDialogButton(DialogNamed("dlgPesquisa"), "Cancelar"); });

    // An unknown company: the error box.
    r.Add("digitar 77", [widget] {
        QWidget* e = widget("edtCdEmpresa");
        PressKey(e, Qt::Key_A, Qt::ControlModifier);
        TypeText(e, "77");
        PressKey(e, Qt::Key_Tab);
        return true;
    });
    r.Add("caixa de erro", Shot([] { return QApplication::activeModalWidget(); }, file("04-erro.png")));
    r.Add("fechar a caixa", [] { return PressDialogButton(QApplication::activeModalWidget(), "OK"); });

    // Company 01 and the filter dialog.
    r.Add("digitar 01", [widget] {
        QWidget* e = widget("edtCdEmpresa");
        PressKey(e, Qt::Key_A, Qt::ControlModifier);
        TypeText(e, "01");
        PressKey(e, Qt::Key_Tab);
        return true;
    });
    r.Add("filtro aberto", [] { return FormShown("frmLancFiltro"); });
    r.Add("datas do filtro", [widget, yyyy] {
        for (auto [name, date] : {std::pair{"depIni", "01/01/" + yyyy}, std::pair{"depFim", "31/12/" + yyyy}}) {
            QWidget* e = widget(name);
            Click(e);
            PressKey(e, Qt::Key_A, Qt::ControlModifier);
            TypeText(e, date);
        }
        return true;
    });
    r.Add("diálogo de filtro", Shot([modalWindow] { return modalWindow("frmLancFiltro"); }, file("05-filtro.png")));
    r.Add("árvore de contas", [widget] {
        Click(widget("BtnPesquisa1"));
        return true;
    });
    r.Add("árvore de contas aberta", Shot([] { return DialogNamed("dlgPesqArvore"); }, file("06-pesquisa-conta.png")));
    r.Add("cancelar a árvore", [] { return PressDialogButton(DialogNamed("dlgPesqArvore"), "Cancelar"); });
    r.Add("lista de históricos", [widget] {
        Click(widget("rbtLista"));
        Click(widget("sbtHist"));
        return true;
    });
    r.Add("lista de históricos aberta", [file] {
        QWidget* d = DialogNamed("dlgPesquisaLista");
        if (!d) return false;
        auto* table = d->findChild<QTableView*>("tblPesquisa");
        for (int row : {0, 2})
            if (table && table->model()->rowCount() > row)
                table->model()->setData(table->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        return SavePng(d, file("07-pesquisa-lista.png"));
    });
    r.Add("cancelar a lista", [] { return PressDialogButton(DialogNamed("dlgPesquisaLista"), "Cancelar"); });
    r.Add("todos os históricos", [widget] {
        Click(widget("rbtTodos"));
        return true;
    });
    r.Add("confirmar o filtro", [widget] {
        Click(widget("sbtConfirma"));
        return true;
    });
    r.Add("partidas carregadas", [] {
        auto* ds = dynamic_cast<TDataSet*>(FindComponent("cdsLancCont"));
        return !Application->TopModal() && ds && ds->Active() && ds->RecordCount() > 0;
    });
    r.Add("folha de dados", Shot(main, file("08-lancamentos-lista.png")));

    // One entry on the form page.
    // The first entry: its long history texts carry the marker glyph.
    r.Add("primeira partida", [&host, widget] {
        auto* grid = static_cast<GridView*>(widget("dbgPadrao"));
        host.Act([grid] { grid->Grid()->UserMoveToRow(0); });
        return true;
    });
    r.Add("formulário", [&host] {
        auto* sheet = dynamic_cast<TTabSheet*>(FindComponent("tshFormulario"));
        if (!sheet) return false;
        host.Act([sheet] { sheet->PageControl()->UserSelectPage(sheet); });
        return true;
    });
    // Its second line is apportioned over three branches: the lower grid shows them.
    r.Add("partida rateada", [&host, widget] {
        auto* grid = static_cast<GridView*>(widget("dbgLancCont"));
        host.Act([grid] { grid->Grid()->UserMoveToRow(1); });
        return true;
    });
    r.Add("lançamento mostrado", Shot(main, file("09-lancamento-formulario.png")));

    // A question: deleting the entry, answered No.
    r.Add("excluir", [&host] {
        auto* b = dynamic_cast<TControl*>(FindComponent("sbtExcluir"));
        if (!b || !b->Enabled) return true;  // nothing to ask on this entry
        Click(host.WidgetOf(b));
        return true;
    });
    r.Add("pergunta", [file] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return true;
        SavePng(box, file("10-pergunta.png"));
        return PressDialogButton(box, QString::fromUtf8("Não"));
    });

    // The listing (from the browse page): its parameters, then the preview
    // of the first report.
    r.Add("folha de dados de novo", [&host] {
        auto* sheet = dynamic_cast<TTabSheet*>(FindComponent("tshFolhaDados"));
        if (!sheet) return false;
        host.Act([sheet] { sheet->PageControl()->UserSelectPage(sheet); });
        return true;
    });
    r.Add("imprimir", [&host] {
        auto* b = dynamic_cast<TControl*>(FindComponent("sbtImprimir"));
        if (!b || !b->Enabled) return false;
        Click(host.WidgetOf(b));
        return true;
    });
    r.Add("listagem aberta", [] { return FormShown("frmLancLista"); });
    r.Add("listagem", Shot([modalWindow] { return modalWindow("frmLancLista"); }, file("11-listagem.png")));
    r.Add("visualizar", [widget] {
        Click(widget("sbtPreview"));
        return true;
    });
    r.Add("visualização aberta",
          Shot([] { return DialogNamed("dlgVisualizarRelatorio"); }, file("12-listagem-visualizar.png")));
    r.Add("fechar a visualização", [] { return PressDialogButton(DialogNamed("dlgVisualizarRelatorio"), "Fechar"); });
    r.Add("fechar a listagem", [widget] {
        Click(widget("sbtFechar"));
        return true;
    });
}

}  // namespace desk
