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
#include <set>
#include <vector>

namespace desk {

class GridView : public QTableView {
public:
    GridView(TDBGrid* grid, Actor& actor, QWidget* parent);

    TDBGrid* Grid() const { return grid_; }
    GridModel* Model() const { return model_; }
    // Brings the table in step with the grid: rows, columns, widths, colours,
    // the current cell (scrolled into sight when it moved).
    void Sync();
    // The widths the shown columns get, in view order. Each column needs
    // room for its title (never cut) and its cells (the first rows of the
    // view, the screen's own drawing, the ellipsis button). Within the widths
    // the screen definition gives (their sum, or the visible width when that
    // is larger) each column gets what its cells need up to its own
    // definition width; the room that columns with short contents leave
    // goes to the columns whose contents want more. An empty grid shows the
    // definition widths; while a record is edited no column gets narrower,
    // so the cells do not move under the typing. A column the user resized
    // keeps the user's width.
    std::vector<int> FittedWidths() const;
    // Width of the ellipsis button drawn in the selected cell.
    static constexpr int kButtonWidth = 16;
    // The rectangle of the ellipsis button of a cell, empty when it has none.
    QRect ButtonRect(const QModelIndex& index) const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    TDBGrid* grid_;
    Actor& actor_;
    GridModel* model_;
    bool syncing_ = false;
    std::set<const TColumn*> userSized_;
    std::vector<int> widths_;  // as last set, in view order
    int lastRow_ = -2, lastCol_ = -2;
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);
    void syncWidths();
    int ownerDrawnWidth(int gridColumn, int rows, int textWidth) const;
    struct Need {
        int title = 0;       // the title's width
        int cells = 0;       // the widest cell's
        int given = 0;       // the definition's width (the cells' need when it gives none)
        bool fixed = false;  // resized by the user
    };
    Need needOf(int gridColumn) const;
    void syncCurrent();
};

}  // namespace desk
