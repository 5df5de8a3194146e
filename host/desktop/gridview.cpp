#include "host/desktop/gridview.h"

#include "host/desktop/canvas.h"
#include "host/desktop/palette.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include <functional>

namespace desk {
namespace {

// Runs `draw` while the data set's fields read the record at `viewIndex` of
// its view, without moving the data set (no scroll events, no posting).
void AtViewRecord(TDataSet* ds, int viewIndex, const std::function<void()>& draw) {
    if (ds) ds->AtViewRecord(viewIndex, draw);
}

TRect ToTRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        TDBGrid* g = view_->Grid();
        const int col = view_->Model()->GridColumn(index.column());
        if (col < 0) return;
        TColumn* column = g->Columns->Items(col);
        const bool current = index.row() == g->Row();
        const bool selected = current && col == g->SelectedIndex();
        const bool focused = g->Focused();
        QRect r = option.rect;
        if (selected && g->EditorActive() && focused) {
            paintEditor(p, r, column);
            return;
        }
        QColor bg = background(g, column, current, selected, focused);
        QColor fg = selected && focused ? ToQColor(clHighlightText) : ToQColor(column->Font.Color);
        if (g->DefaultDrawing) {
            p->fillRect(r, bg);
            p->setFont(ToQFont(column->Font));
            p->setPen(fg);
            QRect text = r.adjusted(3, 0, -3, 0);
            const QString full = index.data().toString();
            p->drawText(text, static_cast<int>(GridModel::CellAlignment(column)) | Qt::TextSingleLine,
                        p->fontMetrics().elidedText(full, Qt::ElideRight, text.width()));
        }
        if (g->OnDrawColumnCell) ownerDraw(p, r, index.row(), col, column, bg, fg, selected, focused);
        if (selected && column->ButtonStyle == cbsEllipsis && g->EditorActive() == false && focused)
            paintButton(p, view_->ButtonRect(index));
    }

private:
    GridView* view_;

    static QColor background(TDBGrid* g, const TColumn* column, bool current, bool selected, bool focused) {
        if (selected && focused) return ToQColor(clHighlight);
        QColor base = ToQColor(column->Color == clWindow ? g->Color : column->Color);
        if (current && (focused || g->Options.Contains(dgAlwaysShowSelection))) return QColor(0xDC, 0xE8, 0xF5);
        return base;
    }

    void paintEditor(QPainter* p, const QRect& r, const TColumn* column) const {
        TDBGrid* g = view_->Grid();
        p->fillRect(r, Qt::white);
        p->setPen(ToQColor(clHighlight));
        p->drawRect(r.adjusted(0, 0, -1, -1));
        p->setFont(ToQFont(column->Font));
        p->setPen(Qt::black);
        const QString text = QString::fromStdString(g->EditorText());
        QRect inner = r.adjusted(3, 0, -3, 0);
        p->drawText(inner, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        const int x = inner.left() + p->fontMetrics().horizontalAdvance(text) + 1;
        p->drawLine(x, r.top() + 3, x, r.bottom() - 3);  // the caret stands after the text
    }

    static void paintButton(QPainter* p, const QRect& b) {
        if (b.isEmpty()) return;
        p->fillRect(b, ToQColor(clBtnFace));
        p->setPen(QColor(0xA0, 0xA6, 0xB0));
        p->drawRect(b.adjusted(0, 0, -1, -1));
        p->setPen(Qt::black);
        p->drawText(b, Qt::AlignCenter, QStringLiteral("\u2026"));
    }

    // The screen's own drawing of the cell, on the canvas of the grid, with
    // the row's record readable through the fields.
    void ownerDraw(QPainter* p, const QRect& r, int row, int col, TColumn* column, const QColor& bg, const QColor& fg,
                   bool selected, bool focused) const {
        TDBGrid* g = view_->Grid();
        PainterCanvas canvas(*p);
        canvas.Brush.Color = static_cast<TColor>(bg.blue() << 16 | bg.green() << 8 | bg.red());
        canvas.Font = column->Font;
        canvas.Font.Color = static_cast<TColor>(fg.blue() << 16 | fg.green() << 8 | fg.red());
        TGridDrawState state = (selected ? gdSelected : 0u) | (selected && focused ? gdFocused : 0u);
        const TRect rect = ToTRect(r);
        auto draw = [&] { g->OnDrawColumnCell(g, rect, col, column, state); };
        p->save();
        p->setClipRect(r);
        g->Canvas = &canvas;
        try {
            TDataSet* ds = g->DataSet();
            if (row == g->Row() || !ds) draw();  // the current record (or its buffer)
            else {
                int viewIndex = row;
                if (ds->State() == dsInsert && row > g->Row()) --viewIndex;
                AtViewRecord(ds, viewIndex, draw);
            }
        } catch (...) {
            // A failing drawing leaves the cell as painted so far.
        }
        g->Canvas = nullptr;
        p->restore();
    }
};

}  // namespace

GridView::GridView(TDBGrid* grid, Actor& actor, QWidget* parent)
    : QTableView(parent), grid_(grid), actor_(actor), model_(new GridModel(grid, this)) {
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy(Qt::ClickFocus);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(8);
    setMouseTracking(true);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int l, int o, int n) { onSectionMoved(l, o, n); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int l, int o, int n) { onSectionResized(l, o, n); });
    Sync();
}

QRect GridView::ButtonRect(const QModelIndex& index) const {
    const int col = model_->GridColumn(index.column());
    if (col < 0 || grid_->Columns->Items(col)->ButtonStyle != cbsEllipsis) return {};
    if (index.row() != grid_->Row() || col != grid_->SelectedIndex()) return {};
    QRect r = visualRect(index);
    return QRect(r.right() - kButtonWidth + 1, r.top() + 1, kButtonWidth - 1, r.height() - 2);
}

void GridView::Sync() {
    syncing_ = true;
    model_->Refresh();
    horizontalHeader()->setVisible(grid_->Options.Contains(dgTitles));
    verticalHeader()->setVisible(grid_->Options.Contains(dgIndicator));
    setShowGrid(grid_->Options.Contains(dgColLines) || grid_->Options.Contains(dgRowLines));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(grid_->Color));
    setPalette(pal);
    syncWidths();
    syncCurrent();
    viewport()->update();
    syncing_ = false;
}

namespace {

constexpr int kSampleRows = 100;  // rows of the view a column is fitted to
constexpr int kUnsizedMax = 300;  // cells of a column the definition gives no width
constexpr int kCellPadding = 10;  // the text's 3 pixels each side, the grid line and some air

}  // namespace

int GridView::ownerDrawnWidth(int gridColumn, int rows, int textWidth) const {
    TDataSet* ds = grid_->DataSet();
    TColumn* column = grid_->Columns->Items(gridColumn);
    if (!ds || !ds->Active()) return textWidth;
    const TRect cell{0, 0, column->Width > 0 ? column->Width : kUnsizedMax, verticalHeader()->defaultSectionSize()};
    int width = 0;
    bool drawn = false, covered = true;
    rows = std::min(rows, ds->RecordCount());
    for (int r = 0; r < rows; ++r) {
        MeasuringCanvas canvas(cell);
        canvas.Font = column->Font;
        grid_->Canvas = &canvas;
        try {
            ds->AtViewRecord(r, [&] { grid_->OnDrawColumnCell(grid_, cell, gridColumn, column, 0); });
        } catch (...) {
            // A failing drawing is measured as far as it went.
        }
        grid_->Canvas = nullptr;
        drawn = drawn || canvas.Extent() > 0 || canvas.CoveredCell();
        covered = covered && canvas.CoveredCell();
        width = std::max(width, canvas.Extent() + 1);
    }
    if (!drawn) return textWidth;  // the screen draws nothing of its own here
    return covered ? width : std::max(width, textWidth);
}

GridView::Need GridView::needOf(int gridColumn) const {
    const TColumn* c = grid_->Columns->Items(gridColumn);
    Need n;
    if (userSized_.count(c)) {
        n.fixed = true;
        n.title = n.cells = n.given = c->Width > 0 ? c->Width : 64;
        return n;
    }
    const QFontMetrics titleMetrics(ToQFont(grid_->TitleFont));
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    n.title = titleMetrics.horizontalAdvance(QString::fromStdString(c->DisplayTitle())) + 2 * margin + 4;
    const QFontMetrics metrics(ToQFont(c->Font));
    const int rows = std::min(grid_->RowCount(), kSampleRows);
    int text = 0;
    for (int r = 0; r < rows; ++r)
        text = std::max(text, metrics.horizontalAdvance(QString::fromStdString(grid_->CellText(r, gridColumn))));
    n.cells = text + kCellPadding;
    if (grid_->OnDrawColumnCell && rows > 0) n.cells = ownerDrawnWidth(gridColumn, rows, n.cells);
    if (c->ButtonStyle == cbsEllipsis) n.cells += kButtonWidth;
    n.cells = std::min(n.cells, kUnsizedMax);
    n.given = c->Width > 0 ? c->Width : n.cells;
    if (rows == 0) n.cells = n.given;  // nothing to fit yet: the designed layout
    return n;
}

std::vector<int> GridView::FittedWidths() const {
    std::vector<Need> needs;
    std::vector<int> widths;
    int budget = 0, used = 0;
    const TDataSet* ds = grid_->DataSet();
    const bool editing = ds && (ds->State() == dsEdit || ds->State() == dsInsert) &&
                         static_cast<int>(widths_.size()) == model_->columnCount();
    for (int v = 0; v < model_->columnCount(); ++v) {
        const Need n = needOf(model_->GridColumn(v));
        int w = n.fixed ? n.given : std::max(n.title, std::min(n.cells, n.given));
        if (editing && !n.fixed) w = std::max(w, widths_[static_cast<std::size_t>(v)]);
        needs.push_back(n);
        widths.push_back(w);
        budget += n.given;
        used += w;
    }
    // The room left is shared, a pixel at a time round the columns that
    // still want some, so the widest contents do not take it all.
    int left = std::max(budget, viewport()->width()) - used;
    for (bool wanting = true; left > 0 && wanting;) {
        wanting = false;
        for (std::size_t i = 0; i < widths.size() && left > 0; ++i) {
            if (needs[i].fixed || widths[i] >= needs[i].cells) continue;
            const int step = std::min({needs[i].cells - widths[i], left, 8});
            widths[i] += step;
            left -= step;
            wanting = true;
        }
    }
    return widths;
}

void GridView::syncWidths() {
    widths_ = FittedWidths();
    for (int v = 0; v < static_cast<int>(widths_.size()); ++v)
        if (columnWidth(v) != widths_[static_cast<std::size_t>(v)])
            setColumnWidth(v, widths_[static_cast<std::size_t>(v)]);
}

void GridView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    const bool was = syncing_;
    syncing_ = true;
    syncWidths();
    syncing_ = was;
}

void GridView::syncCurrent() {
    const int row = grid_->Row();
    const int col = model_->ViewColumn(grid_->SelectedIndex());
    if (row == lastRow_ && col == lastCol_) return;
    lastRow_ = row;
    lastCol_ = col;
    if (row < 0 || col < 0) return;
    QModelIndex idx = model_->index(row, col);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    scrollTo(idx, QAbstractItemView::EnsureVisible);
}

void GridView::onSectionMoved(int /*logical*/, int oldVisual, int newVisual) {
    if (syncing_) return;
    const int from = model_->GridColumn(oldVisual);
    const int to = model_->GridColumn(newVisual);
    // The grid's own column order wins: the header goes back to show the
    // columns in the order of the collection once the move is made there.
    syncing_ = true;
    horizontalHeader()->moveSection(newVisual, oldVisual);
    syncing_ = false;
    if (from < 0 || to < 0) return;
    actor_.Act([this, from, to] { grid_->Columns->Items(from)->SetIndex(to); });
}

void GridView::onSectionResized(int logical, int /*oldSize*/, int newSize) {
    if (syncing_) return;
    const int col = model_->GridColumn(logical);
    if (col < 0 || !grid_->Options.Contains(dgColumnResize)) return;
    TColumn* c = grid_->Columns->Items(col);
    c->Width = newSize;
    userSized_.insert(c);
}

void GridView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QModelIndex idx = indexAt(e->position().toPoint());
    const bool onButton = idx.isValid() && ButtonRect(idx).contains(e->position().toPoint());
    if (!idx.isValid()) {
        actor_.Act([this] { grid_->SetFocus(); });
        return;
    }
    const int row = idx.row();
    const int col = model_->GridColumn(idx.column());
    actor_.Act([this, row, col, onButton] {
        if (!grid_->UserMoveToRow(row) || grid_->Row() != row) return;
        if (col != grid_->SelectedIndex() && !grid_->UserSelectColumn(col)) return;
        if (onButton && grid_->SelectedIndex() == col) grid_->UserEditButton();
    });
}

void GridView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (!idx.isValid() || ButtonRect(idx).contains(e->position().toPoint())) return;
    actor_.Act([this] { grid_->UserDblClick(); });
}

void GridView::mouseMoveEvent(QMouseEvent* /*e*/) {
    // Dragging does not select ranges: the grid has one current cell.
}

}  // namespace desk
