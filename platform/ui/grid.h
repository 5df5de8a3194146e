// TDBGrid: a data-aware grid over a data source. It reads the data set as it
// is (row count, cell texts) and never copies it.
//
// Behaviour:
//  - typing into a cell (dgEditing, column and field writable) puts the data
//    set into edit (insert when empty) and opens the cell editor; the first
//    character replaces the cell's text; the field's EditMask applies;
//  - the editor's text is written into the field (UpdateData) before the
//    column is left, before a row move, before a post and when the grid
//    loses the focus;
//  - OnColExit/OnColEnter run when the selected column changes, by the user
//    or by code (SetSelectedIndex, SetSelectedField, Field.FocusControl); an
//    exit handler that throws keeps the column;
//  - row moves post a pending edit first (the data set does it); Down on the
//    last row appends; Insert inserts; Escape drops the editor and cancels
//    the edit or insert; Ctrl+Delete deletes after the confirmation box
//    (with dgConfirmDelete); Tab moves between columns (dgTabs);
//  - dgCancelOnExit: leaving the grid cancels an insert that nothing has
//    modified (values written by handlers count as modifications);
//  - Field.FocusControl selects the field's column and focuses the grid.
#pragma once

#include "platform/data/datasource.h"
#include "platform/ui/controls.h"
#include "platform/ui/mask.h"
#include "platform/ui/stdctrls.h"

#include <memory>
#include <string>
#include <vector>

class TDBGrid;
class TDBGridColumns;

enum TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TColumnTitle {
    std::string Caption;
    TAlignment Alignment = taLeftJustify;
    TFont Font;
};

// A column. Columns of a grid belong to its Columns collection; a column made
// with `new TColumn()` belongs to nobody and serves as a kept copy (Assign).
class TColumn {
public:
    TColumn() = default;
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    std::string FieldName;
    TColumnTitle Title;
    int Width = 64;
    bool ReadOnly = false;
    TColumnButtonStyle ButtonStyle = cbsAuto;
    bool Visible = true;
    TColor Color = clWindow;
    TFont Font;
    TAlignment Alignment = taLeftJustify;

    // Copies every property (not the collection).
    void Assign(const TColumn& source);
    // The grid data set's field of that name (nullptr when absent or unbound).
    TField* Field() const;
    TDBGridColumns* Collection() const { return collection_; }
    TDBGrid* Grid() const;
    int Index() const;         // -1 for an ownerless column
    void SetIndex(int index);  // moves the column within its collection
    // Title caption as shown: Title.Caption, else the field's display name.
    std::string DisplayTitle() const;

private:
    TDBGridColumns* collection_ = nullptr;
    friend class TDBGridColumns;
};

class TDBGridColumns {
public:
    explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
    TColumn* Add();
    TColumn* Insert(int index);  // a new column at index
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(cols_.size()); }
    TColumn* Items(int i) const { return cols_.at(static_cast<std::size_t>(i)).get(); }
    TColumn* operator[](int i) const { return Items(i); }
    int IndexOfField(const std::string& fieldName) const;  // -1 when absent
    TDBGrid* Grid() const { return grid_; }

private:
    TDBGrid* grid_;
    std::vector<std::unique_ptr<TColumn>> cols_;
    friend class TColumn;
    void move(int from, int to);
};

enum TDBGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12
};

class TDBGridOptions {
public:
    TDBGridOptions() = default;
    TDBGridOptions(TDBGridOption o) : bits_(o) {}
    bool Contains(TDBGridOption o) const { return (bits_ & o) != 0; }
    TDBGridOptions& operator<<(TDBGridOption o) {
        bits_ |= o;
        return *this;
    }
    TDBGridOptions& operator>>(TDBGridOption o) {
        bits_ &= ~static_cast<unsigned>(o);
        return *this;
    }

private:
    unsigned bits_ = 0;
};

// Painting is the desktop's: it hands the grid a canvas and asks for cells.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

enum TGridDrawFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

class TCanvas {
public:
    virtual ~TCanvas() = default;
    struct TBrush {
        TColor Color = clWindow;
    } Brush;
    TFont Font;
    virtual void FillRect(const TRect& r) = 0;
    virtual void TextRect(const TRect& clip, int x, int y, const std::string& text) = 0;
    // Copies `source` of the picture into `dest`, `transparent` letting the
    // background through.
    virtual void BrushCopy(const TRect& dest, const TImage* picture, const TRect& source, TColor transparent) = 0;
};

using TDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;

class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* ds);
    TDataSet* DataSet() const { return link_.DataSet(); }

    // The grid's columns, owned by the grid.
    const std::unique_ptr<TDBGridColumns> Columns;
    TDBGridOptions Options;
    bool ReadOnly = false;
    TFont TitleFont;

    TNotifyEvent OnColEnter, OnColExit, OnEditButtonClick;
    TDrawColumnCellEvent OnDrawColumnCell;
    bool DefaultDrawing = true;
    TCanvas* Canvas = nullptr;  // set by the desktop while it paints

    // Selected column (index into Columns, -1 when none) and its field.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);  // column exit/enter events run
    TField* SelectedField() const;
    void SetSelectedField(TField* field);

    // --- rows, for a front end (0-based) -----------------------------------
    int RowCount() const;                          // rows shown, the record being inserted included
    int Row() const;                               // the current record's row; -1 when there is none
    std::string CellText(int row, int col) const;  // display text (editor text in the edited cell)

    // --- editor -------------------------------------------------------------
    bool EditorActive() const { return editorOn_; }
    std::string EditorText() const;
    // Writes the editor's text into the field now (also done by the data set
    // before a post).
    void UpdateData();

    // --- user input ---------------------------------------------------------
    bool UserSelectColumn(int index);
    bool UserSelectField(const std::string& fieldName);
    bool UserMoveToRow(int row);
    // Types the text into the selected cell (the first character replaces it).
    bool UserTypeCell(const std::string& text);
    bool UserEditButton();  // refused unless the selected column has an ellipsis
    bool UserDblClick() override;

    // Drawing: runs OnDrawColumnCell (or the default drawing) for a cell of
    // the current record on Canvas.
    void DrawColumnCell(const TRect& rect, int col, TGridDrawState state);
    void DefaultDrawColumnCell(const TRect& rect, int DataCol, TColumn* column, TGridDrawState state);

    void DoExit() override;
    const char* ClassName() const override { return "TDBGrid"; }
    const char* WidgetKind() const override { return "grid"; }

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key, const std::string& ch) override;
    bool WantsKey(WORD key) const override;

private:
    class Link : public TDataLink {
    public:
        explicit Link(TDBGrid* g) : grid_(g) {}
        void ActiveChanged() override;
        void DataSetChanged() override;
        void DataSetScrolled() override;
        void StateChanged() override;
        void RecordChanged(TField* field) override;
        void UpdateData() override;
        bool FocusControl(TField* field) override;

    private:
        TDBGrid* grid_;
    };

    Link link_;
    int selected_ = 0;
    bool inColExit_ = false;
    bool updating_ = false;
    bool editorOn_ = false;        // the cell editor is open
    bool editorModified_ = false;  // it holds text not yet in the field
    bool editorFresh_ = false;     // the next character replaces the whole text
    std::string editorText_;
    std::unique_ptr<TEditMask> editorMask_;
    TMaskBuffer maskBuf_;
    int editorPos_ = 0;       // typing position in a masked editor
    bool appendRow_ = false;  // the record being inserted was appended by the grid

    friend class TColumn;
    friend class TDBGridColumns;
    void moveCol(int index);
    bool canEditCell() const;
    bool beginEdit();  // data set into edit/insert, editor open; false if not editable
    void closeEditor();
    void openEditor();
    void editorType(const std::string& ch);
    void editorDelete();
    void editorBackspace();
    void keyDown(TShiftState shift);
    void keyUp();
    void keyTab(bool back);
    void keyEscape();
    void keyCtrlDelete();
    void keyEnter();
    int firstVisibleColumn(int from, int step) const;
    int insertRow() const;
    bool canAppend() const;
    TField* columnField(int col) const;
};
