// A data grid as a Qt table: a virtual view over the grid's data set that
// reads only the rows on screen (TDBGrid::CellText, which reads the data
// set's view in place), so a hundred thousand loaded lines cost nothing
// until they scroll into sight.
#pragma once

#include "platform/ui/grid.h"

#include <QAbstractTableModel>
#include <vector>

namespace desk {

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(TDBGrid* grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // After a change of the model: new columns reset the table, a new row
    // count inserts or removes rows at the end, and the cells on screen are
    // read again.
    void Refresh();

    // Shown columns (the visible ones) against the grid's column indexes.
    int GridColumn(int viewColumn) const;
    int ViewColumn(int gridColumn) const;  // -1 when hidden
    TDBGrid* Grid() const { return grid_; }

    // Alignment of a column's cells: the column's own, numbers to the right.
    static Qt::Alignment CellAlignment(const TColumn* column);

private:
    TDBGrid* grid_;
    std::vector<int> shown_;                 // grid column index of each shown column
    std::vector<const TColumn*> shownCols_;  // to notice a change of columns
    int rows_ = 0;
    std::vector<int> shownNow() const;
};

}  // namespace desk
