// Shared set-up of the desktop tests: one offscreen QApplication for the
// program, a fresh application object and desktop host per test, and a small
// screen of every kind of control the module's screens use.
#pragma once

#include "contracts/buttons.h"
#include "host/desktop/host.h"
#include "host/desktop/uidrive.h"
#include "platform/ui/edits.h"
#include "platform/ui/grid.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace desktest {

using desk::Click;
using desk::DialogNamed;
using desk::FindComponent;
using desk::PressKey;
using desk::TypeText;
using desk::WidgetNamed;

// Created on first use, offscreen whatever the machine has.
QApplication& App();

// Runs the event loop until `done` or the timeout (false on timeout).
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Answers the next modal box or dialog that opens by the button with that
// text (the answer is queued before the action that opens the box).
void AnswerNextDialog(const QString& buttonText, QString* seenText = nullptr, QString* seenTitle = nullptr);

// A screen like the module's: a company panel on top, a page control with a
// browse page (grid) and a form page (edits of every kind).
class SampleForm : public TForm {
public:
    explicit SampleForm(TComponent* owner);

    TPanel* panTop;
    TLabel* lblCodigo;
    TEdit* edtCodigo;
    TBtnPesquisa* btnCodigo;
    TEdit* edtNome;
    TPageControl* pgc;
    TTabSheet* tshLista;
    TTabSheet* tshDados;
    TDBGrid* dbg;
    TMaskEdit* medConta;
    TDateEditPlus* depData;
    TNumberEdit* ndeValor;
    TRadioButton* rbtTodos;
    TRadioButton* rbtLista;
    TComboBox* cbbTipo;
    TButton* btnOk;
    TClientDataSet* cds;
    TDataSource* dts;

    int lookups = 0;          // clicks of btnCodigo
    bool refuseExit = false;  // edtCodigo's exit refuses the move
    void AddRows(int n);
};

class DesktopTest : public ::testing::Test {
protected:
    std::unique_ptr<desk::DesktopHost> host;
    SampleForm* form = nullptr;

    void SetUp() override;
    void TearDown() override;
    QWidget* W(const TControl* c) const { return host->WidgetOf(c); }
};

}  // namespace desktest
