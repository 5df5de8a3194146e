#include "host/desktop/lookups.h"

#include "contracts/pesqlista.h"
#include "host/desktop/palette.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace desk {

LookupTitle SplitLookupTitle(const std::string& title) {
    const std::size_t bar = title.find('|');
    if (bar == std::string::npos) return {title, ""};
    return {title.substr(0, bar), title.substr(bar + 1)};
}

// ---- table over a data set ---------------------------------------------------------

DataSetTableModel::DataSetTableModel(TDataSet* ds, bool checkable, QObject* parent)
    : QAbstractTableModel(parent), ds_(ds), checkable_(checkable) {
    for (int i = 0; i < ds->FieldCount(); ++i)
        if (ds->Fields(i)->Visible) fields_.push_back(ds->Fields(i));
    rows_ = ds->Active() ? ds->RecordCount() : 0;
    checked_.assign(static_cast<std::size_t>(rows_), false);
}

int DataSetTableModel::rowCount(const QModelIndex& p) const { return p.isValid() ? 0 : rows_; }

int DataSetTableModel::columnCount(const QModelIndex& p) const {
    return p.isValid() ? 0 : static_cast<int>(fields_.size()) + (checkable_ ? 1 : 0);
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    int col = index.column();
    if (checkable_) {
        if (col == 0)
            return role == Qt::CheckStateRole ? QVariant(Checked(index.row()) ? Qt::Checked : Qt::Unchecked)
                                              : QVariant();
        --col;
    }
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdString(ds_->DisplayTextAt(index.row(), fields_[static_cast<std::size_t>(col)]));
}

bool DataSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkable_ || index.column() != 0 || role != Qt::CheckStateRole) return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags DataSetTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (checkable_) {
        if (section == 0) return QString();
        --section;
    }
    if (section < 0 || section >= static_cast<int>(fields_.size())) return {};
    return QString::fromStdString(fields_[static_cast<std::size_t>(section)]->DisplayName());
}

void DataSetTableModel::SetChecked(int row, bool on) {
    if (row < 0 || row >= rows_) return;
    checked_[static_cast<std::size_t>(row)] = on;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void DataSetTableModel::SetAllChecked(bool on) {
    checked_.assign(checked_.size(), on);
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, 0), {Qt::CheckStateRole});
}

// ---- account levels ------------------------------------------------------------------

std::vector<int> PictureLevels(const std::string& picture) {
    std::vector<int> levels;
    const std::string mask = picture.substr(0, picture.find(';'));
    int digits = 0;
    for (char ch : mask) {
        if (ch == '9' || ch == '0' || ch == '#') ++digits;
        else if (digits > 0 && (levels.empty() || levels.back() != digits)) levels.push_back(digits);
    }
    if (digits > 0 && (levels.empty() || levels.back() != digits)) levels.push_back(digits);
    return levels;
}

std::string ParentCode(const std::string& code, const std::vector<int>& levels) {
    int parent = 0;
    for (int len : levels) {
        if (len >= static_cast<int>(code.size())) break;
        parent = len;
    }
    if (parent == 0 || std::find(levels.begin(), levels.end(), static_cast<int>(code.size())) == levels.end())
        return "";
    return code.substr(0, static_cast<std::size_t>(parent));
}

// ---- shared pieces ------------------------------------------------------------------------

namespace {

bool ShowNothingToPick(QWidget* parent, const LookupTitle& t) {
    QMessageBox box(QMessageBox::Information, QString::fromStdString(t.caption),
                    QString::fromStdString(t.emptyText.empty() ? "Nenhum registro encontrado." : t.emptyText),
                    QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return false;
}

struct PickDialog {
    QDialog dialog;
    QLineEdit* search;
    QTableView* table;
    QSortFilterProxyModel* proxy;
    QDialogButtonBox* buttons;
    QHBoxLayout* extra;

    PickDialog(QWidget* parent, const std::string& caption, QAbstractItemModel* model) : dialog(parent) {
        dialog.setWindowTitle(QString::fromStdString(caption));
        dialog.setObjectName("dlgPesquisa");
        dialog.resize(560, 380);
        auto* v = new QVBoxLayout(&dialog);
        auto* top = new QHBoxLayout;
        top->addWidget(new QLabel(QStringLiteral("Localizar:")));
        search = new QLineEdit;
        search->setObjectName("edtLocalizar");
        search->setClearButtonEnabled(true);
        top->addWidget(search);
        v->addLayout(top);
        proxy = new QSortFilterProxyModel(&dialog);
        proxy->setSourceModel(model);
        proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
        proxy->setFilterKeyColumn(-1);
        table = new QTableView;
        table->setObjectName("tblPesquisa");
        table->setModel(proxy);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(20);
        table->horizontalHeader()->setStretchLastSection(true);
        table->setAlternatingRowColors(true);
        v->addWidget(table);
        extra = new QHBoxLayout;
        v->addLayout(extra);
        buttons = new QDialogButtonBox;
        buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName("btnOK");
        buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName("btnCancelar");
        extra->addStretch();
        extra->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        QObject::connect(search, &QLineEdit::textChanged, &dialog, [this](const QString& s) {
            proxy->setFilterFixedString(s);
            if (proxy->rowCount() > 0 && !table->currentIndex().isValid()) table->selectRow(0);
        });
        table->resizeColumnsToContents();
        search->setFocus();
    }

    // The data set's row of the selected line, -1 when none is selected.
    int PickedRow() const {
        QModelIndex i = table->currentIndex();
        return i.isValid() ? proxy->mapToSource(i).row() : -1;
    }
};

}  // namespace

bool RunSinglePick(QWidget* parent, TDataSource* src, const std::string& title) {
    TDataSet* ds = src ? src->DataSet() : nullptr;
    const LookupTitle t = SplitLookupTitle(title);
    if (!ds || !ds->Active()) return false;
    if (ds->IsEmpty()) return ShowNothingToPick(parent, t);
    DataSetTableModel model(ds, false);
    PickDialog d(parent, t.caption, &model);
    if (ds->RecNo() > 0) d.table->selectRow(ds->RecNo() - 1);
    QObject::connect(d.table, &QTableView::doubleClicked, &d.dialog, &QDialog::accept);
    if (d.dialog.exec() != QDialog::Accepted) return false;
    const int row = d.PickedRow();
    if (row < 0) return false;
    ds->SetRecNo(row + 1);
    return true;
}

bool RunMultiPick(QWidget* parent, TDataSource* src, const std::string& keyField, const std::string& title,
                  std::string& list) {
    TDataSet* ds = src ? src->DataSet() : nullptr;
    const LookupTitle t = SplitLookupTitle(title);
    TField* key = ds && ds->Active() ? ds->FindField(keyField) : nullptr;
    if (!key) return false;
    if (ds->IsEmpty()) return ShowNothingToPick(parent, t);
    DataSetTableModel model(ds, true);
    for (int r = 0; r < model.rowCount(); ++r)
        model.SetChecked(r, Pesqlista::InList(list, ds->ValueAt(r, key).AsString()));
    PickDialog d(parent, t.caption, &model);
    d.dialog.setObjectName("dlgPesquisaLista");
    auto* all = new QPushButton(QStringLiteral("Marcar todos"));
    auto* none = new QPushButton(QStringLiteral("Desmarcar todos"));
    d.extra->insertWidget(0, none);
    d.extra->insertWidget(0, all);
    QObject::connect(all, &QPushButton::clicked, &d.dialog, [&model] { model.SetAllChecked(true); });
    QObject::connect(none, &QPushButton::clicked, &d.dialog, [&model] { model.SetAllChecked(false); });
    // A double click ticks or unticks the row.
    QObject::connect(d.table, &QTableView::doubleClicked, &d.dialog, [&](const QModelIndex& i) {
        const int row = d.proxy->mapToSource(i).row();
        model.SetChecked(row, !model.Checked(row));
    });
    if (d.dialog.exec() != QDialog::Accepted) return false;
    std::vector<std::string> codes;
    for (int r = 0; r < model.rowCount(); ++r)
        if (model.Checked(r)) codes.push_back(ds->ValueAt(r, key).AsString());
    list = Pesqlista::ListOf(codes);
    return true;
}

}  // namespace desk
