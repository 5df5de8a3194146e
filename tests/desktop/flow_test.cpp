// One complete flow on the desktop with the real module, a real server and a
// demo database: open the module from the main window's menu, choose the
// company, confirm the filter, open an entry, change it and meet the
// commands' keys, boxes and questions, and close the screen, driving the
// real widgets and comparing what they show with the headless model.
#include "desktop_fixture.h"

#include "host/common/session.h"
#include "host/desktop/gridview.h"
#include "host/desktop/options.h"
#include "host/desktop/steps.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace desktest;

namespace {

// What a person sees against what the model holds, as lines that differ.
class Compare {
public:
    explicit Compare(desk::DesktopHost& host) : host_(host) {}
    std::vector<std::string> problems;

    void Edit(const char* name) {
        auto* e = dynamic_cast<TCustomEdit*>(FindComponent(name));
        auto* w = qobject_cast<QLineEdit*>(WidgetNamed(host_, name));
        if (!e || !w) return problem(std::string(name) + ": not found");
        if (w->text().toStdString() != e->DisplayText())
            problem(std::string(name) + ": widget \"" + w->text().toStdString() + "\", model \"" + e->DisplayText() +
                    "\"");
        state(e, w);
    }
    void Control(const char* name) {
        auto* c = dynamic_cast<TControl*>(FindComponent(name));
        QWidget* w = WidgetNamed(host_, name);
        if (!c || !w) return problem(std::string(name) + ": not found");
        state(c, w);
    }
    void Menu(const char* name) {
        auto* item = dynamic_cast<TMenuItem*>(FindComponent(name));
        QAction* a = item ? host_.Main()->ActionOf(item) : nullptr;
        if (!a) return problem(std::string(name) + ": no menu command");
        if (a->isEnabled() != item->Enabled) problem(std::string(name) + ": enabled differs");
    }
    void Grid(const char* name, int rows) {
        auto* g = dynamic_cast<TDBGrid*>(FindComponent(name));
        auto* v = static_cast<desk::GridView*>(WidgetNamed(host_, name));
        if (!g || !v) return problem(std::string(name) + ": not found");
        if (v->model()->rowCount() != g->RowCount()) problem(std::string(name) + ": row counts differ");
        for (int r = 0; r < std::min(rows, g->RowCount()); ++r)
            for (int c = 0; c < v->model()->columnCount(); ++c) {
                const std::string shown = v->model()->index(r, c).data().toString().toStdString();
                const std::string model = g->CellText(r, v->Model()->GridColumn(c));
                if (shown != model)
                    problem(std::string(name) + ": cell " + std::to_string(r) + "," + std::to_string(c));
            }
    }
    void Focus(const char* name) {
        QWidget* w = WidgetNamed(host_, name);
        if (Screen->ActiveControl() != FindComponent(name)) problem(std::string("model focus is not on ") + name);
        if (!w || !w->hasFocus()) problem(std::string("widget focus is not on ") + name);
    }

private:
    desk::DesktopHost& host_;
    void problem(const std::string& p) { problems.push_back(p); }
    void state(TControl* c, QWidget* w) {
        if (w->isEnabled() != c->Enabled) problem(c->Name + ": enabled differs");
        if (w->isVisibleTo(w->window()) != c->Showing()) problem(c->Name + ": visible differs");
    }
};

void ClickTab(QTabBar* bar, int index) {
    const QPoint at = bar->tabRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
}

TDataSet* DataSetNamed(const char* name) { return dynamic_cast<TDataSet*>(FindComponent(name)); }

}  // namespace

TEST(DesktopFlow, CompanyFilterAndEntryOnRealWidgets) {
    App();
    Application->Reset();
    QTemporaryDir dir;
    desk::Options o;
    o.dbFile = (dir.path() + "/demo.db").toStdString();
    o.today = "2024-01-31";
    hostcommon::Session session;
    std::string error;
    ASSERT_TRUE(session.Start(o, "ctb-host", error)) << error;

    auto host = std::make_unique<desk::DesktopHost>();
    host->Start([&session] { session.OpenModule(); });
    host->Main()->show();
    QApplication::setActiveWindow(host->Main());
    Compare cmp(*host);
    desk::StepRunner r(20, 15000);
    auto widget = [&](const char* n) { return WidgetNamed(*host, n); };

    r.Add("open the module from the menu", [&] {
        host->Main()->EntryCommand()->trigger();
        return true;
    });
    r.Add("entry screen", [&] {
        auto* f = dynamic_cast<TForm*>(FindComponent("frmLancamentos"));
        if (!f || !f->Visible) return false;
        cmp.Edit("edtCdEmpresa");
        cmp.Control("sbtIncluir");
        cmp.Control("spbFiltro");
        cmp.Menu("mniIncluir");
        cmp.Focus("edtCdEmpresa");
        return true;
    });
    r.Add("choose company 1 and leave the panel", [&] {
        QWidget* e = widget("edtCdEmpresa");
        PressKey(e, Qt::Key_A, Qt::ControlModifier);
        TypeText(e, "1");
        PressKey(e, Qt::Key_Tab);  // the filter opens: this step returns when it closes
        return true;
    });
    r.Add("filter dialog", [&] {
        if (!Application->TopModal() || Application->TopModal()->Name != "frmLancFiltro") return false;
        cmp.Edit("edtCdEmpresa");  // padded to 01, as the model has it
        cmp.Edit("edtNmEmpresa");
        cmp.Edit("depIni");
        cmp.Control("sbtConfirma");
        for (auto [name, date] : {std::pair{"depIni", "01/01/2024"}, std::pair{"depFim", "31/01/2024"}}) {
            Click(widget(name));
            PressKey(widget(name), Qt::Key_A, Qt::ControlModifier);
            TypeText(widget(name), date);
        }
        cmp.Edit("depIni");
        cmp.Edit("depFim");
        Click(widget("sbtConfirma"));
        return true;
    });
    r.Add("lines loaded", [&] {
        TDataSet* ds = DataSetNamed("cdsLancCont");
        if (Application->TopModal() || !ds || !ds->Active()) return false;
        if (ds->RecordCount() == 0) cmp.problems.push_back("no lines loaded");
        cmp.Grid("dbgPadrao", 40);
        for (const char* b : {"sbtIncluir", "sbtAlterar", "sbtExcluir", "sbtConfirmar", "spbFiltro", "tshFormulario"})
            cmp.Control(b);
        cmp.Menu("mniIncluir");
        cmp.Menu("mniConfirmar");
        return true;
    });
    r.Add("open the entry on the form page", [&] {
        auto* bar = host->ViewOf(dynamic_cast<TForm*>(FindComponent("frmLancamentos")))->findChild<QTabBar*>();
        ClickTab(bar, 1);
        auto* pc = dynamic_cast<TPageControl*>(FindComponent("pgcPadrao"));
        if (pc->ActivePage()->Name != "tshFormulario") cmp.problems.push_back("the form page did not open");
        if (bar->currentIndex() != 1) cmp.problems.push_back("the tab bar does not show the form page");
        cmp.Grid("dbgLancCont", 20);
        cmp.Edit("edtNDoc");
        cmp.Edit("depDtLancCont");
        cmp.Edit("ndeCredito");
        cmp.Edit("ndeDebito");
        cmp.Control("dbgLancCont");
        cmp.Control("dbgPadrao");
        return true;
    });
    // A box opens a nested loop, in which the next steps run: the step after
    // an action answers its box (and checks its text); the steps after that
    // wait until the action's own step has seen the box close.
    bool acting = false;
    auto answerBox = [&](const QString& button, const QString& text) {
        return [&cmp, button, text] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return false;
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box || box->text() != text)
                cmp.problems.push_back("box \"" + (box ? box->text() : modal->windowTitle()).toStdString() +
                                       "\", expected \"" + text.toStdString() + "\"");
            for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
                if (b->text() == button) {
                    b->click();
                    return true;
                }
            return false;
        };
    };
    r.Add("change a value of the entry", [&] {
        host->Act([] {
            auto* g = dynamic_cast<TDBGrid*>(FindComponent("dbgLancCont"));
            g->SetFocus();
            g->UserSelectField("VRLANCAMENT");
            g->UserTypeCell("1600");
        });
        cmp.Control("sbtConfirmar");
        cmp.Menu("mniConfirmar");
        return true;
    });
    r.Add("Ctrl+S confirms", [&] {
        acting = true;
        QApplication::setActiveWindow(host->Main());  // as after the filter dialog closed
        WaitFor([&] { return QApplication::activeWindow() == host->Main(); }, 5000);
        QTest::keyClick(widget("dbgLancCont"), Qt::Key_S, Qt::ControlModifier);
        cmp.Control("sbtConfirmar");
        acting = false;
        return true;
    });
    r.Add("the totals differ", answerBox("OK", "Total de débito difere do total de crédito."));
    r.Add("closing asks first", [&] {
        if (acting) return false;
        acting = true;
        Click(widget("sbtFechar"));
        if (!FindComponent("frmLancamentos")) cmp.problems.push_back("the screen closed");
        acting = false;
        return true;
    });
    r.Add("No keeps the screen and the change", answerBox("Não", "Deseja cancelar o lançamento contábil?"));
    r.Add("Cancelar from the menu asks", [&] {
        if (acting) return false;
        acting = true;
        auto* item = dynamic_cast<TMenuItem*>(FindComponent("mniCancelar"));
        if (item->ShortCut != "Ctrl+Z" || host->Main()->ActionOf(item)->shortcut() != QKeySequence("Ctrl+Z"))
            cmp.problems.push_back("Cancelar has no Ctrl+Z");
        host->Main()->ActionOf(item)->trigger();
        auto* pc = dynamic_cast<TPageControl*>(FindComponent("pgcPadrao"));
        if (pc->ActivePage()->Name != "tshFolhaDados") cmp.problems.push_back("not back on the list");
        cmp.Control("sbtIncluir");
        cmp.Grid("dbgPadrao", 20);
        acting = false;
        return true;
    });
    r.Add("Yes drops the change", answerBox("Sim", "Deseja cancelar o lançamento contábil?"));
    r.Add("close the screen", [&] {
        if (acting) return false;
        Click(widget("sbtFechar"));
        if (FindComponent("frmLancamentos")) cmp.problems.push_back("the screen is still open");
        if (host->Main()->MergedMenu()) cmp.problems.push_back("its menu is still merged");
        return true;
    });
    bool done = false;
    r.OnDone = [&] { done = true; };
    r.Start();
    ASSERT_TRUE(WaitFor([&] { return done; }, 60000));
    EXPECT_FALSE(r.Failed()) << r.Failure();
    std::string all;
    for (const std::string& p : cmp.problems) all += p + "\n";
    EXPECT_EQ(all, "");

    Application->Reset();
    host.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    session.Stop();
}
