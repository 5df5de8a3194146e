#include "host/desktop/mainwindow.h"

#include "host/desktop/widgets.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>

namespace desk {
namespace {

// A small ledger book: the suite's mark on its windows.
QIcon LedgerIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0x2A, 0x44, 0x66));
    p.setBrush(QColor(0x3A, 0x6E, 0xA5));
    p.drawRect(2, 1, 11, 13);
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    for (int y = 4; y <= 10; y += 3) p.drawLine(5, y, 11, y);
    return QIcon(pm);
}

}  // namespace

MainWindow::MainWindow() : mdi_(new QMdiArea(this)) {
    setObjectName("frmPrincipal");
    setWindowTitle(QStringLiteral("Gestão Empresarial — Contabilidade"));
    setWindowIcon(LedgerIcon());
    mdi_->setBackground(QColor(0x5B, 0x6E, 0x86));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    QMenu* system = menuBar()->addMenu(QStringLiteral("&Sistema"));
    QAction* quit = system->addAction(QStringLiteral("Sai&r"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* ctb = menuBar()->addMenu(QStringLiteral("&Contabilidade"));
    entry_ = ctb->addAction(QStringLiteral("&Lançamento Contábil"));
    entry_->setObjectName("mniLancamentoContabil");

    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Janela"));
    connect(windowMenu_->addAction(QStringLiteral("&Cascata")), &QAction::triggered, mdi_,
            &QMdiArea::cascadeSubWindows);
    connect(windowMenu_->addAction(QStringLiteral("&Lado a lado")), &QAction::triggered, mdi_,
            &QMdiArea::tileSubWindows);

    company_ = new QLabel;
    operator_ = new QLabel;
    server_ = new QLabel;
    busyText_ = new QLabel;
    busy_ = new QProgressBar;
    busy_->setRange(0, 0);  // an indeterminate bar: the module does not say how long
    busy_->setMaximumWidth(120);
    busy_->setMaximumHeight(14);
    busy_->setTextVisible(false);
    busy_->hide();
    busyText_->hide();
    statusBar()->addWidget(company_);
    statusBar()->addWidget(operator_);
    statusBar()->addWidget(server_);
    statusBar()->addPermanentWidget(busyText_);
    statusBar()->addPermanentWidget(busy_);
    resize(1280, 800);
}

void MainWindow::addItems(QMenu* into, TMenuItem* parent, const std::function<void(TMenuItem*)>& run) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (item->Caption == "-") {
            into->addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = into->addMenu(MnemonicCaption(item->Caption));
            addItems(sub, item, run);
            actions_[item] = sub->menuAction();
            continue;
        }
        QAction* a = into->addAction(MnemonicCaption(item->Caption));
        a->setObjectName(QString::fromStdString(item->Name));
        if (!item->ShortCut.empty()) a->setShortcut(QKeySequence(QString::fromStdString(item->ShortCut)));
        connect(a, &QAction::triggered, this, [item, run] { run(item); });
        actions_[item] = a;
    }
}

void MainWindow::MergeMenu(TMainMenu* menu, const std::function<void(TMenuItem*)>& run) {
    if (menu == merged_) return;
    for (QMenu* m : mergedMenus_) {
        menuBar()->removeAction(m->menuAction());
        m->deleteLater();
    }
    mergedMenus_.clear();
    actions_.clear();
    merged_ = menu;
    if (!menu) return;
    TMenuItem* root = menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* top = root->Items(i);
        auto* m = new QMenu(MnemonicCaption(top->Caption), this);
        m->setObjectName(QString::fromStdString(top->Name));
        addItems(m, top, run);
        menuBar()->insertMenu(windowMenu_->menuAction(), m);
        mergedMenus_.push_back(m);
        actions_[top] = m->menuAction();
    }
    SyncMergedMenu();
}

void MainWindow::SyncMergedMenu() {
    for (auto& [item, action] : actions_) {
        action->setEnabled(item->Enabled);
        action->setVisible(item->Visible);
        if (item->Checked != action->isChecked()) {
            action->setCheckable(item->Checked || action->isCheckable());
            action->setChecked(item->Checked);
        }
    }
}

QAction* MainWindow::ActionOf(const TMenuItem* item) const {
    auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::SetStatus(const QString& company, const QString& operatorName, const QString& server,
                           const QString& serverHint) {
    company_->setText(QStringLiteral("Empresa: ") + company);
    operator_->setText(QStringLiteral("Operador: ") + operatorName);
    server_->setText(QStringLiteral("Servidor: ") + server);
    server_->setToolTip(serverHint);
}

void MainWindow::SetBusy(bool on, const QString& what) {
    busyText_->setText(what);
    busyText_->setVisible(on);
    busy_->setVisible(on);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (OnCloseRequest && !OnCloseRequest()) {
        e->ignore();
        return;
    }
    e->accept();
}

}  // namespace desk
