// TDataSet: opening and closing, the Data packet, the change log and the
// notifications to data sources.
#include "platform/data/dataset.h"
#include "platform/data/dataset_impl.h"

#include "platform/data/datasource.h"
#include "platform/data/filter.h"

#include <algorithm>

// ---- columns ---------------------------------------------------------------------

void TDataSet::TImpl::mapColumns() {
    // Packets of the same layout (the screens copy Data back and forth) keep
    // the mapping: no name look-ups per assignment.
    if (colOf_.size() == fields_.size() && mappedLayout_ == data_.Fields()) {
        if (filterExpr_) filterExpr_->Bind(colOf_);
        return;
    }
    mappedLayout_ = data_.Fields();
    colOf_.assign(fields_.size(), -1);
    for (std::size_t i = 0; i < fields_.size(); ++i) colOf_[i] = data_.FieldIndex(fields_[i]->FieldName());
    if (filterExpr_) filterExpr_->Bind(colOf_);
}

void TDataSet::TImpl::ensureColumn(int fieldIndex) {
    const auto i = static_cast<std::size_t>(fieldIndex);
    if (colOf_[i] >= 0) return;
    const TField& f = *fields_[i];
    data_.AddField({f.FieldName(), f.DataType(), f.DataType() == TFieldType::ftString ? f.Size() : 0});
    mapColumns();
}

bool TDataSet::TImpl::sameLayout(const TDataPacket& p) const {
    const auto& pf = p.Fields();
    if (pf.size() != fields_.size()) return false;
    for (std::size_t i = 0; i < pf.size(); ++i)
        if (pf[i].Name != fields_[i]->FieldName() || pf[i].DataType != fields_[i]->DataType() ||
            pf[i].Size != fields_[i]->Size())
            return false;
    return true;
}

// A data set without defined fields exposes the packet's own.
void TDataSet::TImpl::buildFieldsFromPacket(const TDataPacket& p) {
    if (sameLayout(p)) return;
    fields_.clear();
    for (const TPacketField& pf : p.Fields()) {
        if (self.FindField(pf.Name)) continue;  // a repeated name shows once
        fields_.push_back(
            std::make_unique<TField>(&self, static_cast<int>(fields_.size()), pf.Name, pf.DataType, pf.Size));
    }
    fieldsFromPacket_ = true;
    mappedLayout_.clear();
    colOf_.clear();
    compiledText_.clear();
    filterExpr_.reset();
}

std::vector<TPacketField> TDataSet::definedPacketFields() const {
    std::vector<TPacketField> out;
    for (const auto& f : d_->fields_)
        out.push_back({f->FieldName(), f->DataType(), f->DataType() == TFieldType::ftString ? f->Size() : 0});
    return out;
}

// ---- open, close, data ---------------------------------------------------------------

void TDataSet::TImpl::prepareFilter() {
    mapColumns();
    if (filtered_) {
        filterExpr_ = compileFor(filterText_);
        compiledText_ = filterText_;
        if (filterExpr_) filterExpr_->Bind(colOf_);
    }
}

void TDataSet::TImpl::openWith(const TDataPacket& packet) {
    const bool wasActive = active();
    if (!wasActive) fire(self.BeforeOpen);
    if (fields_.empty() || fieldsFromPacket_) buildFieldsFromPacket(packet);
    if (fields_.empty()) throw EDatabaseError("'" + self.Name + "' não tem campos definidos.");
    TDataPacket saved = data_;
    data_ = packet;
    try {
        prepareFilter();
    } catch (...) {
        data_ = saved;
        mapColumns();
        throw;
    }
    buf_.clear();
    modified_ = false;
    resetPosition();
    state_ = dsBrowse;
    if (!wasActive) self.DataEvent(TDataEvent::ActiveChanged);
    // New data in an open data set is a close and a reopen for its sources:
    // the screens' state handlers run as on any load, so what they enable
    // follows the records now held.
    self.DataEvent(TDataEvent::StateChanged);
    self.DataEvent(TDataEvent::DataSetChanged);
    if (!wasActive) fire(self.AfterOpen);
    if (self.AfterScroll && !self.IsEmpty()) fire(self.AfterScroll);
}

void TDataSet::SetActive(bool active) {
    if (active == d_->active()) return;
    if (active) {
        d_->openWith(d_->data_.Fields().empty() ? TDataPacket(definedPacketFields()) : d_->data_);
        return;
    }
    d_->fire(BeforeClose);
    d_->buf_.clear();
    d_->modified_ = false;
    d_->data_ = TDataPacket();
    d_->view_.clear();
    d_->viewDirty_ = false;
    d_->cur_ = 0;
    d_->eof_ = d_->bof_ = true;
    d_->state_ = dsInactive;
    DataEvent(TDataEvent::ActiveChanged);
    DataEvent(TDataEvent::StateChanged);
    d_->fire(AfterClose);
}

TDataPacket TDataSet::GetData() const { return d_->data_; }

void TDataSet::SetData(const TDataPacket& packet) { d_->openWith(packet); }

int TDataSet::ChangeCount() const { return d_->active() ? static_cast<int>(d_->data_.ChangeCount()) : 0; }

void TDataSet::MergeChangeLog() { d_->data_.MergeChangeLog(); }

void TClientDataSet::CreateDataSet() {
    if (FieldCount() == 0) throw EDatabaseError("'" + Name + "' não tem campos definidos.");
    if (Active()) Close();
    SetData(TDataPacket(definedPacketFields()));
}

void TClientDataSet::EmptyDataSet() {
    requireActive();
    Cancel();
    TDataPacket empty = GetData();
    empty.Clear();
    SetDataKeepingState(empty);
}

void TDataSet::SetDataKeepingState(const TDataPacket& packet) {
    d_->data_ = packet;
    d_->mapColumns();
    d_->resetPosition();
    DataEvent(TDataEvent::DataSetChanged);
}

// ---- notifications -------------------------------------------------------------------

void TDataSet::DisableControls() { ++d_->disableCount_; }
bool TDataSet::ControlsDisabled() const { return d_->disableCount_ > 0; }

void TDataSet::EnableControls() {
    if (d_->disableCount_ == 0) return;
    if (--d_->disableCount_ == 0) DataEvent(TDataEvent::DataSetChanged);
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
    // A pending editor text is data, not display: it is written even while the
    // controls are disabled.
    if (d_->disableCount_ > 0 && event != TDataEvent::UpdateData) return;
    const std::vector<TDataSource*> sources = d_->sources_;
    for (TDataSource* s : sources) s->Notify(event, field);
}

void TDataSet::AttachDataSource(TDataSource* ds) {
    if (std::find(d_->sources_.begin(), d_->sources_.end(), ds) == d_->sources_.end()) d_->sources_.push_back(ds);
}

void TDataSet::DetachDataSource(TDataSource* ds) {
    d_->sources_.erase(std::remove(d_->sources_.begin(), d_->sources_.end(), ds), d_->sources_.end());
}

void TDataSet::FocusFieldControl(TField* field) {
    const std::vector<TDataSource*> sources = d_->sources_;
    for (TDataSource* s : sources)
        if (s->FocusControl(field)) return;
}
