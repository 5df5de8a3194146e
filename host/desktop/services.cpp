#include "host/desktop/services.h"

#include "host/desktop/lookups.h"
#include "platform/ui/stdctrls.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace desk {
namespace {

int ModalResultOf(TMsgDlgBtn b) {
    switch (b) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    }
    return mrOk;
}

QMessageBox::Icon IconOf(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}

// A box never opens under the wait cursor; the busy screen gets it back
// when the box closes.
struct CursorPause {
    int popped = 0;
    CursorPause() {
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
            ++popped;
        }
    }
    ~CursorPause() {
        for (int i = 0; i < popped; ++i) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
};

}  // namespace

QtServices::QtServices(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}

QWidget* QtServices::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_ ? parent_() : nullptr;
}

QString QtServices::CaptionOf(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return QStringLiteral("Atenção");
    case mtError: return QStringLiteral("Erro");
    case mtInformation: return QStringLiteral("Informação");
    case mtConfirmation: return QStringLiteral("Confirmação");
    default: return QStringLiteral("Mensagem");
    }
}

QString QtServices::ButtonText(TMsgDlgBtn b) {
    switch (b) {
    case mbYes: return QStringLiteral("Sim");
    case mbNo: return QStringLiteral("Não");
    case mbOK: return QStringLiteral("OK");
    case mbCancel: return QStringLiteral("Cancelar");
    case mbAbort: return QStringLiteral("Abortar");
    case mbRetry: return QStringLiteral("Repetir");
    case mbIgnore: return QStringLiteral("Ignorar");
    case mbAll: return QStringLiteral("Todos");
    }
    return QStringLiteral("OK");
}

QString QtServices::BusyText(int kind) {
    switch (kind) {
    case 0: return QStringLiteral("Conectando ao servidor...");
    case 1: return QStringLiteral("Gravando...");
    case 6: return QStringLiteral("Filtrando...");
    default: return QStringLiteral("Aguarde...");
    }
}

int QtServices::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    if (quitting()) {
        if (buttons.Contains(mbNo)) return mrNo;
        return buttons.Contains(mbCancel) ? mrCancel : mrOk;
    }
    CursorPause pause;
    QMessageBox box(IconOf(type), CaptionOf(type), QString::fromStdString(text), QMessageBox::NoButton, owner());
    box.setObjectName("dlgMensagem");
    if (buttons.Empty()) buttons = mbOK;
    QAbstractButton* escape = nullptr;
    for (int i = mbYes; i <= mbAll; ++i) {
        const auto b = static_cast<TMsgDlgBtn>(i);
        if (!buttons.Contains(b)) continue;
        const bool rejects = b == mbNo || b == mbCancel || b == mbAbort;
        QPushButton* pb = box.addButton(ButtonText(b), rejects ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        pb->setProperty("ctbResult", ModalResultOf(b));
        if (!box.defaultButton() && !rejects) box.setDefaultButton(pb);
        if (rejects && (!escape || b == mbCancel)) escape = pb;
    }
    if (escape) box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) return escape ? escape->property("ctbResult").toInt() : mrCancel;
    return clicked->property("ctbResult").toInt();
}

void QtServices::ShowError(const std::string& text) {
    if (quitting()) return;
    CursorPause pause;
    QMessageBox box(QMessageBox::Critical, CaptionOf(mtError), QString::fromStdString(text), QMessageBox::NoButton,
                    owner());
    box.setObjectName("dlgErro");
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
}

bool QtServices::Pesquisar(TDataSource* ds, const std::string& title) {
    if (quitting()) return false;
    CursorPause pause;
    return RunSinglePick(owner(), ds, title);
}

bool QtServices::PesquisaLista(TDataSource* ds, const std::string& keyField, const std::string& title,
                               std::string& list) {
    if (quitting()) return false;
    CursorPause pause;
    return RunMultiPick(owner(), ds, keyField, title, list);
}

bool QtServices::PesqArv(TDataSource* ds, const std::string& picture, const std::vector<std::string>& fields,
                         const std::string& title, std::string& code) {
    if (quitting()) return false;
    CursorPause pause;
    return RunTreePick(owner(), ds, picture, fields, title, code);
}

void QtServices::BusyActivate(int kind) {
    if (busy_++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (OnBusy) OnBusy(true, BusyText(kind));
    }
}

void QtServices::BusyDeactivate() {
    if (busy_ == 0) return;
    if (--busy_ == 0) {
        QApplication::restoreOverrideCursor();
        if (OnBusy) OnBusy(false, QString());
    }
}

}  // namespace desk
