// TDBGrid on the desktop: a table view over GridModel. The model's grid keeps
// the selection, the cell editor and the data set; the view only shows them
// and hands every click, double click, column move and key to the grid's
// user operations. Cells are painted by the grid's drawing (its default text
// and the screen's OnDrawColumnCell on a canvas); the cell being edited
// shows the editor's text with a caret, and the selected cell of a column
// with an ellipsis carries its button.
#pragma once

#include "host/desktop/actor.h"
#include "host/desktop/gridmodel.h"

#include <QTableView>

namespace desk {

class GridView : public QTableView {
public:
    GridView(TDBGrid* grid, Actor& actor, QWidget* parent);

    TDBGrid* Grid() const { return grid_; }
    GridModel* Model() const { return model_; }
    // Brings the table in step with the grid: rows, columns, widths, colours,
    // the current cell (scrolled into sight when it moved).
    void Sync();
    // Width of the ellipsis button drawn in the selected cell.
    static constexpr int kButtonWidth = 16;
    // The rectangle of the ellipsis button of a cell, empty when it has none.
    QRect ButtonRect(const QModelIndex& index) const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    TDBGrid* grid_;
    Actor& actor_;
    GridModel* model_;
    bool syncing_ = false;
    int lastRow_ = -2, lastCol_ = -2;
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);
    void syncWidths();
    void syncCurrent();
};

}  // namespace desk
