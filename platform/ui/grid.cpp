#include "platform/ui/grid.h"

#include "platform/data/text.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <algorithm>

// ------------------------------------------------------------------- columns

void TColumn::Assign(const TColumn& s) {
    FieldName = s.FieldName;
    Title = s.Title;
    Width = s.Width;
    ReadOnly = s.ReadOnly;
    ButtonStyle = s.ButtonStyle;
    Visible = s.Visible;
    Color = s.Color;
    Font = s.Font;
    Alignment = s.Alignment;
}

TDBGrid* TColumn::Grid() const { return collection_ ? collection_->Grid() : nullptr; }

TField* TColumn::Field() const {
    TDBGrid* g = Grid();
    TDataSet* ds = g ? g->DataSet() : nullptr;
    return ds && !FieldName.empty() ? ds->FindField(FieldName) : nullptr;
}

int TColumn::Index() const {
    if (!collection_) return -1;
    for (int i = 0; i < collection_->Count(); ++i)
        if (collection_->Items(i) == this) return i;
    return -1;
}

void TColumn::SetIndex(int index) {
    if (collection_) collection_->move(Index(), index);
}

std::string TColumn::DisplayTitle() const {
    if (!Title.Caption.empty()) return Title.Caption;
    if (TField* f = Field()) return f->DisplayName();
    return FieldName;
}

TColumn* TDBGridColumns::Add() { return Insert(Count()); }

TColumn* TDBGridColumns::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto col = std::make_unique<TColumn>();
    col->collection_ = this;
    TColumn* raw = col.get();
    cols_.insert(cols_.begin() + index, std::move(col));
    // the selected column stays the same column
    if (Count() > 1 && index <= grid_->selected_) ++grid_->selected_;
    return raw;
}

void TDBGridColumns::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    if (index == grid_->selected_) grid_->closeEditor();
    cols_.erase(cols_.begin() + index);
    if (index < grid_->selected_) --grid_->selected_;
    grid_->selected_ = std::clamp(grid_->selected_, 0, std::max(0, Count() - 1));
}

void TDBGridColumns::Clear() {
    grid_->closeEditor();
    cols_.clear();
    grid_->selected_ = 0;
}

int TDBGridColumns::IndexOfField(const std::string& fieldName) const {
    for (int i = 0; i < Count(); ++i) {
        if (SameText(Items(i)->FieldName, fieldName)) return i;
    }
    return -1;
}

void TDBGridColumns::move(int from, int to) {
    if (from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    TColumn* selected = grid_->selected_ < Count() ? Items(grid_->selected_) : nullptr;
    auto col = std::move(cols_[static_cast<std::size_t>(from)]);
    cols_.erase(cols_.begin() + from);
    cols_.insert(cols_.begin() + to, std::move(col));
    if (selected) grid_->selected_ = selected->Index();
}

// ---------------------------------------------------------------------- grid

TDBGrid::TDBGrid(TComponent* owner) : TWinControl(owner), Columns(std::make_unique<TDBGridColumns>(this)), link_(this) {
    TabStop = true;
    Color = clWindow;
    Options << dgEditing << dgTitles << dgIndicator << dgColumnResize << dgColLines << dgRowLines << dgTabs
            << dgConfirmDelete << dgCancelOnExit;
}

TDBGrid::~TDBGrid() { link_.SetDataSource(nullptr); }

void TDBGrid::SetDataSource(TDataSource* ds) {
    closeEditor();
    link_.SetDataSource(ds);
}

TField* TDBGrid::columnField(int col) const {
    return col >= 0 && col < Columns->Count() ? Columns->Items(col)->Field() : nullptr;
}

int TDBGrid::SelectedIndex() const { return Columns->Count() == 0 ? -1 : selected_; }

void TDBGrid::SetSelectedIndex(int index) {
    if (index < 0 || index >= Columns->Count()) return;
    moveCol(index);
}

TField* TDBGrid::SelectedField() const { return columnField(SelectedIndex()); }

void TDBGrid::SetSelectedField(TField* field) {
    if (!field) return;
    for (int i = 0; i < Columns->Count(); ++i)
        if (Columns->Items(i)->Field() == field) {
            SetSelectedIndex(i);
            return;
        }
}

// The column change: the editor's text goes into the field, then the exit
// event of the column left (a handler that throws keeps it, one that selects
// a column itself wins), then the enter event of the new one.
void TDBGrid::moveCol(int index) {
    UpdateData();
    const int old = selected_;
    if (index == old) return;
    if (!inColExit_) {
        inColExit_ = true;
        try {
            if (OnColExit) OnColExit(this);
        } catch (...) {
            inColExit_ = false;
            throw;
        }
        inColExit_ = false;
        if (selected_ != old) return;
    }
    closeEditor();
    selected_ = index;
    if (OnColEnter) OnColEnter(this);
}

int TDBGrid::firstVisibleColumn(int from, int step) const {
    for (int i = from; i >= 0 && i < Columns->Count(); i += step)
        if (Columns->Items(i)->Visible) return i;
    return -1;
}

// ---------------------------------------------------------------------- rows

int TDBGrid::insertRow() const {
    TDataSet* ds = DataSet();
    if (appendRow_) return ds->RecordCount();
    return std::max(ds->RecNo() - 1, 0);
}

int TDBGrid::RowCount() const {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return 0;
    return ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
}

int TDBGrid::Row() const {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return -1;
    if (ds->State() == dsInsert) return insertRow();
    return ds->IsEmpty() ? -1 : ds->RecNo() - 1;
}

std::string TDBGrid::CellText(int row, int col) const {
    TDataSet* ds = DataSet();
    TField* f = columnField(col);
    if (!ds || !ds->Active() || !f || row < 0 || row >= RowCount()) return "";
    const bool current = row == Row();
    if (current && col == selected_ && editorOn_ && editorModified_) return EditorText();
    if (current && ds->State() != dsBrowse) return f->DisplayText();  // the record buffer
    int viewIndex = row;
    if (ds->State() == dsInsert && row > insertRow()) --viewIndex;
    return ds->DisplayTextAt(viewIndex, f);
}

bool TDBGrid::canAppend() const {
    TDataSet* ds = DataSet();
    return ds && Options.Contains(dgEditing) && !ReadOnly && !ds->ReadOnly;
}

bool TDBGrid::canEditCell() const {
    if (!canAppend() || !DataSet()->Active()) return false;
    int col = SelectedIndex();
    if (col < 0 || Columns->Items(col)->ReadOnly) return false;
    TField* f = SelectedField();
    return f && !f->ReadOnly;
}

// -------------------------------------------------------------------- editor

std::string TDBGrid::EditorText() const {
    if (!editorOn_) return "";
    return editorText_;
}

void TDBGrid::openEditor() {
    TField* f = SelectedField();
    editorOn_ = true;
    editorModified_ = false;
    editorFresh_ = true;
    editorPos_ = 0;
    if (f && !f->EditMask.empty()) {
        editorMask_ = std::make_unique<TEditMask>(f->EditMask);
        maskBuf_ = TMaskBuffer(editorMask_.get());
        maskBuf_.Load(f->Text());
        editorText_ = maskBuf_.EditText();
    } else {
        editorMask_.reset();
        maskBuf_ = TMaskBuffer();
        editorText_ = f ? f->Text() : std::string();
    }
}

void TDBGrid::closeEditor() {
    editorOn_ = false;
    editorModified_ = false;
    editorFresh_ = false;
    editorText_.clear();
}

bool TDBGrid::beginEdit() {
    if (!canEditCell()) return false;
    TDataSet* ds = DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert && !link_.Edit()) return false;
    if (!editorOn_) openEditor();
    return true;
}

void TDBGrid::editorType(const std::string& ch) {
    if (editorMask_) {
        TMaskBuffer trial = maskBuf_;
        int at = editorPos_;
        if (editorFresh_) {
            trial.Clear();
            at = 0;
        }
        int next = trial.Type(at, ch);
        if (next < 0) return;  // the mask refuses it
        maskBuf_ = trial;
        editorPos_ = next;
        editorText_ = maskBuf_.EditText();
    } else {
        std::string next = editorFresh_ ? ch : editorText_ + ch;
        TField* f = SelectedField();
        if (f && f->DataType() == TFieldType::ftString && f->Size() > 0 &&
            Utf8Length(next) > static_cast<std::size_t>(f->Size()))
            return;  // the field holds no more
        editorText_ = next;
    }
    editorFresh_ = false;
    editorModified_ = true;
}

void TDBGrid::editorDelete() {
    if (!beginEdit()) return;
    if (!editorFresh_) return;  // the caret stands after the text
    if (editorMask_) {
        maskBuf_.Clear();
        editorText_ = maskBuf_.EditText();
    } else {
        editorText_.clear();
    }
    editorPos_ = 0;
    editorFresh_ = false;
    editorModified_ = true;
}

void TDBGrid::editorBackspace() {
    if (!beginEdit()) return;
    if (editorFresh_) {
        editorDelete();
        return;
    }
    if (editorMask_) {
        int i = maskBuf_.PrevInput(editorPos_);
        if (i < 0) return;
        maskBuf_.ClearRange(i, i + 1);
        editorPos_ = i;
        editorText_ = maskBuf_.EditText();
    } else {
        std::vector<std::string> chars = Utf8Chars(editorText_);
        if (chars.empty()) return;
        chars.pop_back();
        editorText_.clear();
        for (const auto& c : chars) editorText_ += c;
    }
    editorModified_ = true;
}

void TDBGrid::UpdateData() {
    if (!editorOn_ || !editorModified_ || updating_) return;
    TField* f = SelectedField();
    TDataSet* ds = DataSet();
    if (!f || !ds || (ds->State() != dsEdit && ds->State() != dsInsert)) {
        closeEditor();  // the record was given up meanwhile
        return;
    }
    updating_ = true;
    try {
        f->SetText(editorMask_ ? maskBuf_.Text() : editorText_);
    } catch (...) {
        updating_ = false;  // the text stays in the editor to be corrected
        throw;
    }
    updating_ = false;
    editorModified_ = false;
    editorFresh_ = true;
    if (editorMask_) {
        maskBuf_.Load(f->Text());
        editorText_ = maskBuf_.EditText();
    } else {
        editorText_ = f->Text();
    }
}

// ---------------------------------------------------------------------- keys

bool TDBGrid::WantsKey(WORD key) const {
    if (key == VK_TAB) return Options.Contains(dgTabs);
    return key == VK_RETURN || key == VK_ESCAPE;
}

void TDBGrid::KeyDown(WORD& key, TShiftState shift) {
    TDataSet* ds = DataSet();
    const bool active = ds && ds->Active();
    switch (key) {
    case VK_DOWN:
        if (active) keyDown(shift);
        break;
    case VK_UP:
        if (active) keyUp();
        break;
    case VK_TAB: keyTab(shift.Contains(ssShift)); break;
    case VK_ESCAPE:
        if (active) keyEscape();
        break;
    case VK_RETURN: keyEnter(); break;
    case VK_DELETE:
        if (!active) break;
        if (shift.Contains(ssCtrl)) keyCtrlDelete();
        else editorDelete();
        break;
    case VK_INSERT:
        if (active && canAppend()) {
            UpdateData();
            closeEditor();
            ds->Insert();
        }
        break;
    case VK_F2:
        if (active) beginEdit();
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!editorOn_ || !editorModified_) {
            int step = key == VK_LEFT ? -1 : 1;
            int next = firstVisibleColumn(selected_ + step, step);
            if (next >= 0) moveCol(next);
        }
        break;
    case VK_HOME:
    case VK_END:
        if (!editorOn_ || !editorModified_) {
            int next = key == VK_HOME ? firstVisibleColumn(0, 1) : firstVisibleColumn(Columns->Count() - 1, -1);
            if (next >= 0) moveCol(next);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (active) {
            UpdateData();
            ds->MoveBy(key == VK_PRIOR ? -10 : 10);
        }
        break;
    default: break;
    }
}

void TDBGrid::KeyPress(char& key, const std::string& ch) {
    if (key == '\r' || key == '\x1b' || key == '\t') return;  // handled as keys
    if (key == '\b') {
        editorBackspace();
        return;
    }
    if (static_cast<unsigned char>(key) < 32) return;
    if (!beginEdit()) return;
    editorType(ch);
}

void TDBGrid::keyDown(TShiftState /*shift*/) {
    TDataSet* ds = DataSet();
    UpdateData();
    // an untouched new row at the end stays where it is
    if (ds->State() == dsInsert && !ds->Modified()) return;
    ds->Next();  // posts a pending edit first
    if (ds->Eof() && canAppend()) {
        closeEditor();
        ds->Append();
        appendRow_ = ds->State() == dsInsert;
    }
}

void TDBGrid::keyUp() {
    TDataSet* ds = DataSet();
    UpdateData();
    if (ds->State() == dsInsert && !ds->Modified()) {
        ds->Cancel();  // an untouched new row goes away
        return;
    }
    ds->Prior();
}

void TDBGrid::keyTab(bool back) {
    const int step = back ? -1 : 1;
    int next = firstVisibleColumn(selected_ + step, step);
    if (next >= 0) {
        moveCol(next);
        return;
    }
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return;
    // past the last column: the next row (appending at the end), first column
    if (back) keyUp();
    else keyDown({});
    int wrap = back ? firstVisibleColumn(Columns->Count() - 1, -1) : firstVisibleColumn(0, 1);
    if (wrap >= 0) moveCol(wrap);
}

void TDBGrid::keyEscape() {
    TDataSet* ds = DataSet();
    closeEditor();
    if (ds->State() == dsEdit || ds->State() == dsInsert) ds->Cancel();
}

void TDBGrid::keyEnter() {
    if (!editorOn_) return;
    UpdateData();
    closeEditor();
}

void TDBGrid::keyCtrlDelete() {
    TDataSet* ds = DataSet();
    if (ds->IsEmpty() || !canAppend()) return;
    if (Options.Contains(dgConfirmDelete) &&
        MessageDlg("Confirma exclusão?", mtConfirmation, TMsgDlgButtons() << mbYes << mbNo, 0) != mrYes)
        return;
    closeEditor();
    ds->Delete();
}

// ---------------------------------------------------------------- user input

bool TDBGrid::UserSelectColumn(int index) {
    if (!CanFocus() || index < 0 || index >= Columns->Count() || !Columns->Items(index)->Visible) return false;
    if (!ensureFocus()) return true;
    moveCol(index);
    return true;
}

bool TDBGrid::UserSelectField(const std::string& fieldName) {
    return UserSelectColumn(Columns->IndexOfField(fieldName));
}

bool TDBGrid::UserMoveToRow(int row) {
    TDataSet* ds = DataSet();
    if (!CanFocus() || !ds || !ds->Active() || row < 0 || row >= RowCount()) return false;
    if (!ensureFocus()) return true;
    UpdateData();
    if (row == Row()) return true;
    int viewIndex = row;
    if (ds->State() == dsInsert) {
        const int ins = insertRow();
        const int before = ds->RecordCount();
        if (row > ins) --viewIndex;
        ds->CheckBrowseMode();  // posts the new row (or drops an untouched one)
        if (ds->RecordCount() > before && viewIndex >= ins) ++viewIndex;
    }
    closeEditor();
    ds->SetRecNo(viewIndex + 1);
    return true;
}

bool TDBGrid::UserTypeCell(const std::string& text) {
    if (!CanFocus() || SelectedIndex() < 0) return false;
    if (!ensureFocus()) return true;
    if (text.empty()) return UserKey(VK_DELETE);
    return UserTypeKeys(text);
}

bool TDBGrid::UserEditButton() {
    int col = SelectedIndex();
    if (!CanFocus() || col < 0 || Columns->Items(col)->ButtonStyle != cbsEllipsis) return false;
    if (!ensureFocus()) return true;
    if (OnEditButtonClick) OnEditButtonClick(this);
    return true;
}

bool TDBGrid::UserDblClick() {
    if (!CanFocus()) return false;
    if (!ensureFocus()) return true;
    DblClick();
    return true;
}

void TDBGrid::DoExit() {
    TDataSet* ds = DataSet();
    if (ds && ds->Active()) {
        if (Options.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !editorModified_) {
            closeEditor();
            ds->Cancel();
        } else {
            UpdateData();
        }
    }
    TWinControl::DoExit();
}

// ------------------------------------------------------------------- drawing

void TDBGrid::DrawColumnCell(const TRect& rect, int col, TGridDrawState state) {
    if (!Canvas || col < 0 || col >= Columns->Count()) return;
    TColumn* c = Columns->Items(col);
    if (DefaultDrawing) DefaultDrawColumnCell(rect, col, c, state);
    if (OnDrawColumnCell) OnDrawColumnCell(this, rect, col, c, state);
}

void TDBGrid::DefaultDrawColumnCell(const TRect& rect, int /*DataCol*/, TColumn* column, TGridDrawState /*state*/) {
    if (!Canvas || !column) return;
    Canvas->FillRect(rect);
    TField* f = column->Field();
    Canvas->TextRect(rect, rect.Left + 2, rect.Top + 2, f ? f->DisplayText() : std::string());
}

// --------------------------------------------------------------------- link

void TDBGrid::Link::ActiveChanged() {
    grid_->closeEditor();
    grid_->appendRow_ = false;
}

void TDBGrid::Link::DataSetChanged() {
    if (grid_->updating_) return;
    grid_->closeEditor();
    TDataSet* ds = DataSet();
    if (!ds || ds->State() != dsInsert) grid_->appendRow_ = false;
}

void TDBGrid::Link::DataSetScrolled() {
    if (!grid_->updating_) grid_->closeEditor();
}

void TDBGrid::Link::StateChanged() {
    // a closed data set takes the pending text with it
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) grid_->closeEditor();
}

void TDBGrid::Link::RecordChanged(TField* field) {
    // A handler wrote the field being edited: the editor shows the new value.
    if (!grid_->updating_ && grid_->editorOn_ && (!field || field == grid_->SelectedField())) grid_->closeEditor();
}

void TDBGrid::Link::UpdateData() { grid_->UpdateData(); }

bool TDBGrid::Link::FocusControl(TField* field) {
    if (!field || !grid_->CanFocus()) return false;
    int col = -1;
    for (int i = 0; i < grid_->Columns->Count(); ++i)
        if (grid_->Columns->Items(i)->Field() == field) col = i;
    if (col < 0) return false;
    grid_->SetSelectedIndex(col);
    grid_->SetFocus();
    return true;
}
