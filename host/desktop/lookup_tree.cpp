// The account tree lookup: the accounts of the data set arranged by the
// levels of the account picture, each under the longest shorter code that
// is one of the accounts. With the fourth field "1" only analytic accounts
// (codes of the full picture length) may be picked.
#include "host/desktop/lookups.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace desk {
namespace {

constexpr int kCodeRole = Qt::UserRole;

struct Account {
    std::string code, name;
};

std::vector<Account> ReadAccounts(TDataSet* ds, const std::vector<std::string>& fields) {
    std::vector<Account> out;
    TField* code = ds->FindField(fields[0]);
    TField* name = fields.size() > 2 ? ds->FindField(fields[2]) : nullptr;
    if (!code) return out;
    for (int r = 0; r < ds->RecordCount(); ++r)
        out.push_back({ds->ValueAt(r, code).AsString(), name ? ds->DisplayTextAt(r, name) : std::string()});
    return out;
}

// Builds the tree; returns the item of `current` (nullptr when absent).
QTreeWidgetItem* BuildTree(QTreeWidget* tree, const std::vector<Account>& accounts, const std::vector<int>& levels,
                           bool analyticOnly, const std::string& current) {
    std::map<std::string, QTreeWidgetItem*> byCode;
    QTreeWidgetItem* found = nullptr;
    const int full = levels.empty() ? 0 : levels.back();
    for (const Account& a : accounts) {
        QTreeWidgetItem* parent = nullptr;
        for (std::string p = ParentCode(a.code, levels); !p.empty() && !parent; p = ParentCode(p, levels)) {
            auto it = byCode.find(p);
            if (it != byCode.end()) parent = it->second;
        }
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, QString::fromStdString(a.code));
        item->setText(1, QString::fromStdString(a.name));
        item->setData(0, kCodeRole, QString::fromStdString(a.code));
        const bool pickable = !analyticOnly || static_cast<int>(a.code.size()) == full;
        if (!pickable) {
            QFont f = item->font(0);
            f.setBold(true);
            item->setFont(0, f);
            item->setFont(1, f);
            item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
        }
        byCode[a.code] = item;
        if (a.code == current) found = item;
    }
    return found;
}

// The first account whose code starts with, or whose name contains, the text.
QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0).startsWith(text) || (*it)->text(1).contains(text, Qt::CaseInsensitive)) return *it;
    return nullptr;
}

}  // namespace

bool RunTreePick(QWidget* parent, TDataSource* src, const std::string& picture, const std::vector<std::string>& fields,
                 const std::string& title, std::string& code) {
    TDataSet* ds = src ? src->DataSet() : nullptr;
    if (!ds || !ds->Active() || fields.empty()) return false;
    const bool analyticOnly = fields.size() > 3 && fields[3] == "1";
    QDialog dialog(parent);
    dialog.setObjectName("dlgPesqArvore");
    dialog.setWindowTitle(QString::fromStdString(SplitLookupTitle(title).caption));
    dialog.resize(520, 440);
    auto* v = new QVBoxLayout(&dialog);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Localizar:")));
    auto* search = new QLineEdit;
    search->setObjectName("edtLocalizar");
    top->addWidget(search);
    v->addLayout(top);
    auto* tree = new QTreeWidget;
    tree->setObjectName("tvwContas");
    tree->setHeaderLabels({QStringLiteral("Conta"), QStringLiteral("Nome")});
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    v->addWidget(tree);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName("btnOK");
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName("btnCancelar");
    v->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    const std::vector<int> levels = PictureLevels(picture);
    QTreeWidgetItem* current = BuildTree(tree, ReadAccounts(ds, fields), levels, analyticOnly, code);
    if (current) {
        tree->setCurrentItem(current);
        tree->scrollToItem(current);
    } else {
        tree->expandToDepth(0);
    }
    QObject::connect(search, &QLineEdit::textChanged, &dialog, [tree](const QString& s) {
        if (QTreeWidgetItem* it = s.isEmpty() ? nullptr : FindItem(tree, s)) {
            tree->setCurrentItem(it);
            tree->scrollToItem(it);
        }
    });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog, [&dialog](QTreeWidgetItem* it) {
        if (it->flags() & Qt::ItemIsSelectable) dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return false;
    QTreeWidgetItem* picked = tree->currentItem();
    if (!picked || !(picked->flags() & Qt::ItemIsSelectable)) return false;
    const std::string chosen = picked->data(0, kCodeRole).toString().toStdString();
    if (!ds->Locate(fields[0], Variant(chosen))) return false;
    code = chosen;
    return true;
}

}  // namespace desk
