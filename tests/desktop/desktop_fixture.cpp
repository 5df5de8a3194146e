#include "desktop_fixture.h"

#include "platform/ui/dispatch.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>

namespace desktest {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_desktop";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        a->setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void AnswerNextDialog(const QString& buttonText, QString* seenText, QString* seenTitle) {
    // Polls until a modal window shows, then presses its button.
    auto* timer = new QTimer(&App());
    QObject::connect(timer, &QTimer::timeout, timer, [timer, buttonText, seenText, seenTitle] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->inherits("QDialog")) modal = w;
        }
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && seenText) *seenText = box->text();
        if (seenTitle) *seenTitle = modal->windowTitle();
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
            if (b->text() == buttonText) {
                timer->stop();
                timer->deleteLater();
                b->click();
                return;
            }
    });
    timer->start(10);
}

SampleForm::SampleForm(TComponent* owner) : TForm(owner) {
    Name = "frmAmostra";
    Caption = "Amostra";
    Width = 640;
    Height = 420;
    panTop = Create<TPanel>();
    panTop->Name = "panTop";
    panTop->SetParent(this);
    panTop->Align = alTop;
    panTop->Height = 40;
    lblCodigo = Create<TLabel>();
    lblCodigo->Name = "lblCodigo";
    lblCodigo->SetParent(panTop);
    lblCodigo->Caption = "&Código";
    lblCodigo->Font.Bold = true;
    lblCodigo->Left = 8;
    lblCodigo->Top = 12;
    auto place = [](TControl* c, const char* name, TWinControl* parent, int l, int t, int w, int h) {
        c->Name = name;
        c->SetParent(parent);
        c->Left = l, c->Top = t, c->Width = w, c->Height = h;
    };
    edtCodigo = Create<TEdit>();
    place(edtCodigo, "edtCodigo", panTop, 64, 8, 40, 21);
    edtCodigo->MaxLength = 2;
    edtCodigo->Color = clInfoBk;
    edtCodigo->TabStop = true;
    edtCodigo->TabOrder = 0;
    edtCodigo->OnExit = [this](TObject*) {
        if (refuseExit) Abort();
    };
    btnCodigo = Create<TBtnPesquisa>();
    place(btnCodigo, "btnCodigo", panTop, 106, 8, 21, 21);
    btnCodigo->Associate = edtCodigo;
    btnCodigo->OnClick = [this](TObject*) { ++lookups; };
    edtNome = Create<TEdit>();
    place(edtNome, "edtNome", panTop, 130, 8, 200, 21);
    edtNome->TabStop = true;
    edtNome->TabOrder = 1;

    pgc = Create<TPageControl>();
    pgc->Name = "pgc";
    pgc->SetParent(this);
    pgc->Align = alClient;
    tshLista = Create<TTabSheet>();
    tshLista->Name = "tshLista";
    tshLista->Caption = "Lista";
    tshLista->SetPageControl(pgc);
    tshDados = Create<TTabSheet>();
    tshDados->Name = "tshDados";
    tshDados->Caption = "Dados";
    tshDados->SetPageControl(pgc);

    cds = Create<TClientDataSet>();
    cds->Name = "cds";
    cds->AddField("CODIGO", TFieldType::ftString, 4)->DisplayLabel = "Código";
    cds->AddField("VALOR", TFieldType::ftFloat)->DisplayLabel = "Valor";
    cds->AddField("HIST", TFieldType::ftString, 60)->DisplayLabel = "Histórico";
    cds->CreateDataSet();
    dts = Create<TDataSource>();
    dts->SetDataSet(cds);
    dbg = Create<TDBGrid>();
    dbg->Name = "dbg";
    dbg->SetParent(tshLista);
    dbg->Align = alClient;
    dbg->SetDataSource(dts);
    for (const char* n : {"CODIGO", "VALOR", "HIST"}) dbg->Columns->Add()->FieldName = n;
    dbg->Columns->Items(0)->ButtonStyle = cbsEllipsis;

    medConta = Create<TMaskEdit>();
    place(medConta, "medConta", tshDados, 8, 8, 120, 21);
    medConta->SetEditMask("9.9.9.99.99999;0;_");
    medConta->TabStop = true;
    depData = Create<TDateEditPlus>();
    place(depData, "depData", tshDados, 8, 36, 100, 21);
    depData->TabStop = true;
    ndeValor = Create<TNumberEdit>();
    place(ndeValor, "ndeValor", tshDados, 8, 64, 100, 21);
    ndeValor->Thousands = true;
    ndeValor->TabStop = true;
    rbtTodos = Create<TRadioButton>();
    place(rbtTodos, "rbtTodos", tshDados, 8, 92, 60, 17);
    rbtTodos->Caption = "Todos";
    rbtTodos->SetChecked(true);
    rbtLista = Create<TRadioButton>();
    place(rbtLista, "rbtLista", tshDados, 72, 92, 60, 17);
    rbtLista->Caption = "Lista";
    cbbTipo = Create<TComboBox>();
    place(cbbTipo, "cbbTipo", tshDados, 8, 116, 120, 21);
    cbbTipo->Items = {"Manual", "Lote", "Integração"};
    cbbTipo->SetItemIndex(0);
    btnOk = Create<TButton>();
    place(btnOk, "btnOk", tshDados, 8, 150, 75, 25);
    btnOk->Caption = "OK";
    pgc->SetActivePage(tshLista);
}

void SampleForm::AddRows(int n) {
    TControlsDisabled off(cds);
    for (int i = 1; i <= n; ++i) {
        cds->Append();
        cds->FieldByName("CODIGO")->SetAsString(std::to_string(1000 + i));
        cds->FieldByName("VALOR")->SetAsFloat(i * 10.5);
        cds->FieldByName("HIST")->SetAsString("Histórico da linha " + std::to_string(i));
        cds->Post();
    }
    cds->First();
}

void DesktopTest::SetUp() {
    App();
    Application->Reset();
    host = std::make_unique<desk::DesktopHost>();
    host->Start(nullptr);
    host->Main()->show();
    Application->CreateForm(form);
    form->AddRows(30);
    host->Act([this] {
        form->Show();
        form->edtCodigo->SetFocus();
    });
    QApplication::setActiveWindow(host->ViewOf(form)->Outer());
    host->SyncAll();
}

void DesktopTest::TearDown() {
    Application->Reset();
    host.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace desktest
