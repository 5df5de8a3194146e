// TDataSet: the filtered view, navigation, Filter and Locate.
#include "platform/data/dataset.h"
#include "platform/data/dataset_impl.h"

#include "platform/data/datetime.h"
#include "platform/data/filter.h"
#include "platform/data/text.h"

#include <algorithm>

namespace {

std::vector<std::string> splitKeys(const std::string& keys) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= keys.size()) {
        std::size_t p = keys.find(';', start);
        if (p == std::string::npos) p = keys.size();
        std::string k = Trim(keys.substr(start, p - start), " ");
        if (!k.empty()) out.push_back(k);
        start = p + 1;
    }
    return out;
}

bool keyMatches(const TField& f, const Variant& have, const Variant& want, TLocateOptions options) {
    const bool text = f.DataType() == TFieldType::ftString;
    const bool haveNull = have.IsNull() || (text && have.AsString().empty());
    const bool wantNull = want.IsNull() || (text && want.AsString().empty());
    if (haveNull || wantNull) return haveNull && wantNull;
    if (!text) {
        double a = 0, b = 0;
        if (!have.TryAsFloat(a)) return false;
        const std::string* ws = want.string_if();
        if (f.DataType() == TFieldType::ftDateTime && ws && TryStrToDate(*ws, b)) return a == b;
        return want.TryAsFloat(b) && a == b;
    }
    std::string h = have.AsString(), w = want.AsString();
    if (options.Contains(loCaseInsensitive)) {
        h = FoldCase(h);
        w = FoldCase(w);
    }
    if (options.Contains(loPartialKey)) return h.compare(0, w.size(), w) == 0;
    return h == w;
}

}  // namespace

// ---- the view -----------------------------------------------------------------

const std::vector<std::size_t>& TDataSet::TImpl::view() const {
    if (viewDirty_) {
        rebuildView();
        viewDirty_ = false;
        if (atFirstPending_) {
            atFirstPending_ = false;
            bof_ = true;
            eof_ = filterOn() ? view_.empty() : data_.RecordCount() == 0;
        }
    }
    return view_;
}

void TDataSet::TImpl::rebuildView() const {
    view_.clear();
    if (!filterOn()) return;
    std::size_t phys = 0;
    for (std::size_t k = 0; k < data_.ChunkCount(); ++k) {
        const std::size_t rows = data_.ChunkRows(k);
        for (std::size_t r = 0; r < rows; ++r, ++phys)
            if (filterExpr_->Matches(data_.ChunkRow(k, r))) view_.push_back(phys);
    }
}

TDataPacket TDataSet::ViewData() const {
    TDataPacket out(d_->data_.Fields());
    for (std::size_t i = 0, n = d_->viewCount(); i < n; ++i) {
        const std::string_view cells = d_->data_.RowAt(d_->physAt(i)).Bytes();
        out.AppendStoredRow(cells.data(), cells.size());
    }
    return out;
}

std::size_t TDataSet::TImpl::viewCount() const {
    if (!active()) return 0;
    return filterOn() ? view().size() : data_.RecordCount();
}

std::size_t TDataSet::TImpl::physAt(std::size_t viewIndex) const { return filterOn() ? view()[viewIndex] : viewIndex; }

long TDataSet::TImpl::viewIndexOfPhys(std::size_t phys) const {
    if (!filterOn()) return phys < data_.RecordCount() ? static_cast<long>(phys) : -1;
    const auto& v = view();
    auto it = std::lower_bound(v.begin(), v.end(), phys);
    return it != v.end() && *it == phys ? static_cast<long>(it - v.begin()) : -1;
}

long TDataSet::TImpl::currentPhys() const {
    if (!active()) return -1;
    const std::size_t n = viewCount();
    if (n == 0) return -1;
    return static_cast<long>(physAt(std::min(cur_, n - 1)));
}

bool TDataSet::TImpl::passesFilter(std::size_t phys) const {
    return !filterOn() || filterExpr_->Matches(data_.RowAt(phys));
}

// A row was inserted into the packet at `phys`: later rows move down by one.
void TDataSet::TImpl::insertPhysInView(std::size_t phys) {
    if (!filterOn() || viewDirty_) return;
    auto it = std::lower_bound(view_.begin(), view_.end(), phys);
    for (auto j = it; j != view_.end(); ++j) ++*j;
    if (passesFilter(phys)) view_.insert(it, phys);
}

// The row at `phys` left the view; when it also left the packet, later rows
// move up by one.
void TDataSet::TImpl::removePhysFromView(std::size_t phys, bool deleted) {
    if (!filterOn() || viewDirty_) return;
    auto it = std::lower_bound(view_.begin(), view_.end(), phys);
    if (it != view_.end() && *it == phys) it = view_.erase(it);
    if (deleted)
        for (auto j = it; j != view_.end(); ++j) --*j;
}

void TDataSet::TImpl::afterPostPosition(std::size_t phys) {
    const long idx = viewIndexOfPhys(phys);
    const std::size_t n = viewCount();
    if (idx >= 0) {
        cur_ = static_cast<std::size_t>(idx);
    } else if (n > 0) {
        // The record left the view: stay where it would have been.
        const auto& v = view();
        const auto pos = static_cast<std::size_t>(std::lower_bound(v.begin(), v.end(), phys) - v.begin());
        cur_ = std::min(pos, n - 1);
    } else {
        cur_ = 0;
    }
    eof_ = bof_ = n == 0;
}

void TDataSet::TImpl::resetPosition() {
    cur_ = 0;
    view_.clear();
    bof_ = true;
    // Unfiltered, the view is every row and is known at once; filtered, it is
    // built (and Eof known) on first use.
    viewDirty_ = atFirstPending_ = filterOn();
    eof_ = viewDirty_ || data_.RecordCount() == 0;
}

// ---- navigation ------------------------------------------------------------------

bool TDataSet::Eof() const {
    if (!d_->active()) return true;
    d_->view();
    return d_->state_ == dsInsert ? false : d_->eof_;
}

bool TDataSet::Bof() const {
    if (!d_->active()) return true;
    d_->view();
    return d_->state_ == dsInsert ? false : d_->bof_;
}

bool TDataSet::IsEmpty() const { return d_->viewCount() == 0 && d_->state_ != dsInsert; }

int TDataSet::RecordCount() const { return static_cast<int>(d_->viewCount()); }

int TDataSet::RecNo() const {
    const std::size_t n = d_->viewCount();
    return n == 0 ? 0 : static_cast<int>(std::min(d_->cur_, n - 1) + 1);
}

void TDataSet::TImpl::moveTo(std::size_t viewIndex, bool bof, bool eof) {
    fire(self.BeforeScroll);
    cur_ = viewIndex;
    bof_ = bof;
    eof_ = eof;
    self.DataEvent(TDataEvent::Scrolled);
    fire(self.AfterScroll);
}

void TDataSet::First() {
    requireActive();
    CheckBrowseMode();
    d_->moveTo(0, true, d_->viewCount() == 0);
}

void TDataSet::Last() {
    requireActive();
    CheckBrowseMode();
    const std::size_t n = d_->viewCount();
    d_->moveTo(n == 0 ? 0 : n - 1, n == 0, true);
}

int TDataSet::MoveBy(int distance) {
    requireActive();
    CheckBrowseMode();
    d_->view();
    if (distance == 0 || (distance > 0 && d_->eof_) || (distance < 0 && d_->bof_)) return 0;
    const long n = static_cast<long>(d_->viewCount());
    const long from = static_cast<long>(d_->cur_);
    long to = from + distance;
    bool bof = false, eof = false;
    if (to >= n) {
        to = n - 1;
        eof = true;
    } else if (to < 0) {
        to = 0;
        bof = true;
    }
    d_->moveTo(static_cast<std::size_t>(std::max(to, 0L)), bof, eof);
    return static_cast<int>(to - from);
}

void TDataSet::SetRecNo(int recNo) {
    requireActive();
    CheckBrowseMode();
    const long n = static_cast<long>(d_->viewCount());
    if (n == 0) return;
    const long to = std::clamp(static_cast<long>(recNo) - 1, 0L, n - 1);
    d_->moveTo(static_cast<std::size_t>(to), false, false);
}

bool TDataSet::Locate(const std::string& keyField, const Variant& value, TLocateOptions options) {
    return Locate(keyField, std::vector<Variant>{value}, options);
}

bool TDataSet::Locate(const std::string& keyFields, const std::vector<Variant>& values, TLocateOptions options) {
    requireActive();
    CheckBrowseMode();
    std::vector<const TField*> keys;
    for (const std::string& k : splitKeys(keyFields)) keys.push_back(FieldByName(k));
    if (keys.empty() || keys.size() != values.size())
        throw EDatabaseError("Locate em '" + Name + "': " + std::to_string(keys.size()) + " campos e " +
                             std::to_string(values.size()) + " valores.");
    const std::size_t n = d_->viewCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (!d_->recordMatches(d_->physAt(i), keys, values, options)) continue;
        d_->moveTo(i, false, false);
        return true;
    }
    return false;
}

bool TDataSet::TImpl::recordMatches(std::size_t phys, const std::vector<const TField*>& keys,
                                    const std::vector<Variant>& values, TLocateOptions options) const {
    const TRowRef row = data_.RowAt(phys);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const int col = colOf_[static_cast<std::size_t>(keys[k]->Index())];
        const Variant have = col < 0 ? Variant() : row.Cell(static_cast<std::size_t>(col)).ToVariant();
        if (!keyMatches(*keys[k], have, values[k], options)) return false;
    }
    return true;
}

Variant TDataSet::ValueAt(int viewIndex, const TField* field) const {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= d_->viewCount() || !field) return Variant();
    const int col = d_->colOf_[static_cast<std::size_t>(field->Index())];
    return col < 0 ? Variant()
                   : d_->data_.Value(d_->physAt(static_cast<std::size_t>(viewIndex)), static_cast<std::size_t>(col));
}

std::string TDataSet::DisplayTextAt(int viewIndex, const TField* field) const {
    std::string text;
    if (field) AtViewRecord(viewIndex, [&] { text = field->DisplayText(); });
    return text;
}

void TDataSet::AtViewRecord(int viewIndex, const std::function<void()>& read) const {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= d_->viewCount()) return;
    struct Peek {
        long& slot;
        long saved;
        ~Peek() { slot = saved; }
    } peek{d_->peekRow_, d_->peekRow_};
    d_->peekRow_ = static_cast<long>(d_->physAt(static_cast<std::size_t>(viewIndex)));
    read();
}

// ---- filter --------------------------------------------------------------------

const std::string& TDataSet::Filter() const { return d_->filterText_; }
bool TDataSet::Filtered() const { return d_->filtered_; }

std::shared_ptr<TFilterExpr> TDataSet::TImpl::compileFor(const std::string& text) const {
    if (IsBlank(text)) return nullptr;
    if (filterExpr_ && text == compiledText_) return filterExpr_;
    std::vector<TFilterField> fs;
    for (const auto& f : fields_) fs.push_back({f->FieldName(), f->DataType()});
    auto e = CompileFilter(text, fs);
    e->Bind(colOf_);
    return e;
}

void TDataSet::TImpl::applyFilter(const std::string& text, bool on) {
    // Compile first: a bad text changes nothing.
    std::shared_ptr<TFilterExpr> expr = on && active() ? compileFor(text) : filterExpr_;
    if (active()) {
        self.CheckBrowseMode();
        fire(self.BeforeScroll);
    }
    if (on && active()) {
        filterExpr_ = expr;
        compiledText_ = text;
    }
    filterText_ = text;
    filtered_ = on;
    if (!active()) return;
    resetPosition();
    self.DataEvent(TDataEvent::DataSetChanged);
    if (!self.IsEmpty()) fire(self.AfterScroll);
}

void TDataSet::SetFilter(const std::string& text) {
    if (d_->active() && d_->filtered_) CheckBrowseMode();
    if (text == d_->filterText_) return;
    if (!d_->filtered_ || !d_->active()) {
        d_->filterText_ = text;
        return;
    }
    d_->applyFilter(text, true);
}

void TDataSet::SetFiltered(bool on) {
    if (d_->active()) CheckBrowseMode();
    if (on == d_->filtered_) return;
    if (!d_->active()) {
        d_->filtered_ = on;
        return;
    }
    d_->applyFilter(d_->filterText_, on);
}
