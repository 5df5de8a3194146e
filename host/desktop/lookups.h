// The lookup dialogs of the desktop: single pick over a data source,
// multi pick into a code list, and the account tree. They read the data set
// in place (no copy) and move it only when the user confirms a pick.
#pragma once

#include "platform/data/datasource.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <string>
#include <vector>

namespace desk {

// The dialog's caption and the text shown when there is nothing to pick
// ("Empresa|Não há empresa cadastrada." -> {"Empresa", "Não há ..."}).
struct LookupTitle {
    std::string caption;
    std::string emptyText;
};
LookupTitle SplitLookupTitle(const std::string& title);

// The rows of a data set's view as a table: the visible fields, read with
// DisplayTextAt; an optional first column of check boxes (multi pick).
class DataSetTableModel : public QAbstractTableModel {
public:
    DataSetTableModel(TDataSet* ds, bool checkable, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    bool Checked(int row) const { return checked_.at(static_cast<std::size_t>(row)); }
    void SetChecked(int row, bool on);
    void SetAllChecked(bool on);

private:
    TDataSet* ds_;
    bool checkable_;
    std::vector<TField*> fields_;
    std::vector<bool> checked_;
    int rows_;
};

// Level lengths of an account picture ("9.9.9.99.99999;0;_" -> 1,2,3,5,10).
std::vector<int> PictureLevels(const std::string& picture);
// The code of the parent account: the longest shorter level prefix of `code`
// ("" for a first-level code or a code that ends no level).
std::string ParentCode(const std::string& code, const std::vector<int>& levels);

// The dialogs; each returns true when the user confirmed a pick.
bool RunSinglePick(QWidget* parent, TDataSource* ds, const std::string& title);
bool RunMultiPick(QWidget* parent, TDataSource* ds, const std::string& keyField, const std::string& title,
                  std::string& list);
bool RunTreePick(QWidget* parent, TDataSource* ds, const std::string& picture, const std::vector<std::string>& fields,
                 const std::string& title, std::string& code);

}  // namespace desk
