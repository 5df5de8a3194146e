#include "host/desktop/gridmodel.h"

#include "host/desktop/palette.h"

namespace desk {

GridModel::GridModel(TDBGrid* grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    shown_ = shownNow();
    for (int c : shown_) shownCols_.push_back(grid_->Columns->Items(c));
    rows_ = grid_->RowCount();
}

std::vector<int> GridModel::shownNow() const {
    std::vector<int> out;
    for (int i = 0; i < grid_->Columns->Count(); ++i)
        if (grid_->Columns->Items(i)->Visible) out.push_back(i);
    return out;
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int GridModel::GridColumn(int viewColumn) const {
    return viewColumn >= 0 && viewColumn < static_cast<int>(shown_.size())
               ? shown_[static_cast<std::size_t>(viewColumn)]
               : -1;
}

int GridModel::ViewColumn(int gridColumn) const {
    for (std::size_t i = 0; i < shown_.size(); ++i)
        if (shown_[i] == gridColumn) return static_cast<int>(i);
    return -1;
}

Qt::Alignment GridModel::CellAlignment(const TColumn* column) {
    Qt::Alignment v = Qt::AlignVCenter;
    switch (column ? column->Alignment : taLeftJustify) {
    case taRightJustify: return v | Qt::AlignRight;
    case taCenter: return v | Qt::AlignHCenter;
    case taLeftJustify: break;
    }
    TField* f = column ? column->Field() : nullptr;
    if (f && (f->DataType() == TFieldType::ftFloat || f->DataType() == TFieldType::ftInteger))
        return v | Qt::AlignRight;
    return v | Qt::AlignLeft;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const int col = GridColumn(index.column());
    if (!index.isValid() || col < 0 || index.row() >= rows_) return {};
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(grid_->CellText(index.row(), col));
    case Qt::TextAlignmentRole: return static_cast<int>(CellAlignment(grid_->Columns->Items(col)));
    default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal) {
        const int col = GridColumn(section);
        if (col < 0) return {};
        if (role == Qt::DisplayRole) return QString::fromStdString(grid_->Columns->Items(col)->DisplayTitle());
        if (role == Qt::FontRole) return ToQFont(grid_->TitleFont);
        return {};
    }
    if (role != Qt::DisplayRole || section != grid_->Row()) return {};
    // The row indicator: the current record, or its editing state.
    TDataSet* ds = grid_->DataSet();
    if (ds && ds->State() == dsInsert) return QStringLiteral("*");
    if (ds && ds->State() == dsEdit) return QStringLiteral("I");
    return QStringLiteral("\u25B8");
}

void GridModel::Refresh() {
    std::vector<int> now = shownNow();
    std::vector<const TColumn*> cols;
    for (int c : now) cols.push_back(grid_->Columns->Items(c));
    const int rows = grid_->RowCount();
    if (now != shown_ || cols != shownCols_) {
        beginResetModel();
        shown_ = std::move(now);
        shownCols_ = std::move(cols);
        rows_ = rows;
        endResetModel();
        return;
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0 && !shown_.empty())
        emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(shown_.size()) - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rows_ - 1));
}

}  // namespace desk
