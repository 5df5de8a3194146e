// TDataSet: fields, the record buffer and the state machine (insert, edit,
// post, cancel, delete). Navigation and the view are in dataset_view.cpp,
// Data, open/close and notifications in dataset_data.cpp.
#include "platform/data/dataset.h"
#include "platform/data/dataset_impl.h"

#include "platform/data/datasource.h"
#include "platform/data/filter.h"
#include "platform/data/text.h"

#include <algorithm>

const char* DataSetStateName(TDataSetState s) {
    switch (s) {
    case dsInactive: return "dsInactive";
    case dsBrowse: return "dsBrowse";
    case dsEdit: return "dsEdit";
    case dsInsert: return "dsInsert";
    }
    return "dsInactive";
}

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), d_(std::make_unique<TImpl>(*this)) {}

TDataSet::~TDataSet() {
    const std::vector<TDataSource*> sources = d_->sources_;
    for (TDataSource* s : sources) s->DataSetDestroying();
}

// ---- fields -----------------------------------------------------------------

int TDataSet::FieldCount() const { return static_cast<int>(d_->fields_.size()); }
TField* TDataSet::Fields(int i) const { return d_->fields_.at(static_cast<std::size_t>(i)).get(); }

TField* TDataSet::AddField(const std::string& name, TFieldType type, int size) {
    if (d_->active()) throw EDatabaseError("Não é possível definir campos em '" + Name + "' aberto.");
    if (FindField(name)) throw EDatabaseError("Campo '" + name + "' duplicado em '" + Name + "'.");
    if (d_->fieldsFromPacket_) {
        d_->fields_.clear();
        d_->fieldsFromPacket_ = false;
    }
    if (type == TFieldType::ftString && size <= 0) size = 20;
    d_->fields_.push_back(std::make_unique<TField>(this, static_cast<int>(d_->fields_.size()), name, type, size));
    d_->compiledText_.clear();
    d_->mappedLayout_.clear();
    d_->colOf_.clear();
    return d_->fields_.back().get();
}

TField* TDataSet::FindField(const std::string& name) const {
    for (const auto& f : d_->fields_)
        if (SameText(f->FieldName(), name)) return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const {
    if (TField* f = FindField(name)) return f;
    throw EDatabaseError("Campo '" + name + "' não encontrado em '" + Name + "'.");
}

Variant TDataSet::GetFieldValue(int fieldIndex) const {
    const auto i = static_cast<std::size_t>(fieldIndex);
    if (d_->peekRow_ >= 0) {
        const int col = d_->colOf_[i];
        return col < 0 ? Variant()
                       : d_->data_.Value(static_cast<std::size_t>(d_->peekRow_), static_cast<std::size_t>(col));
    }
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) return d_->buf_[i];
    const long phys = d_->currentPhys();
    if (phys < 0 || d_->colOf_[i] < 0) return Variant();
    return d_->data_.Value(static_cast<std::size_t>(phys), static_cast<std::size_t>(d_->colOf_[i]));
}

void TDataSet::SetFieldValue(int fieldIndex, const Variant& v) {
    TField* f = d_->fields_.at(static_cast<std::size_t>(fieldIndex)).get();
    if (d_->state_ != dsEdit && d_->state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção (campo '" + f->FieldName() + "').");
    if (f->ReadOnly) throw EDatabaseError("O campo '" + f->DisplayName() + "' não pode ser modificado.");
    const auto i = static_cast<std::size_t>(fieldIndex);
    d_->modified_ = true;
    if (d_->buf_[i] == v) return;
    d_->buf_[i] = v;
    d_->dirty_[i] = true;
    if (f->OnChange) f->OnChange(f);
    DataEvent(TDataEvent::RecordChanged, f);
}

// ---- state machine ------------------------------------------------------------

TDataSetState TDataSet::State() const { return d_->state_; }
bool TDataSet::Active() const { return d_->active(); }
bool TDataSet::Modified() const { return d_->modified_; }

void TDataSet::requireActive() const {
    if (!d_->active()) throw EDatabaseError("Operação não permitida: '" + Name + "' está fechado.");
}

void TDataSet::TImpl::requireWritable() const {
    if (self.ReadOnly)
        throw EDatabaseError("Não é possível modificar '" + self.Name + "': conjunto de dados somente leitura.");
}

void TDataSet::TImpl::setState(TDataSetState s) {
    if (state_ == s) return;
    state_ = s;
    self.DataEvent(TDataEvent::StateChanged);
}

void TDataSet::TImpl::loadBuffer(bool blank) {
    buf_.assign(fields_.size(), Variant());
    dirty_.assign(fields_.size(), false);
    modified_ = false;
    if (blank) return;
    const long phys = currentPhys();
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (phys >= 0 && colOf_[i] >= 0)
            buf_[i] = data_.Value(static_cast<std::size_t>(phys), static_cast<std::size_t>(colOf_[i]));
}

void TDataSet::UpdateRecord() {
    if (d_->state_ != dsEdit && d_->state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção.");
    DataEvent(TDataEvent::UpdateData);
}

void TDataSet::CheckBrowseMode() {
    requireActive();
    if (d_->state_ != dsEdit && d_->state_ != dsInsert) return;
    UpdateRecord();
    if (d_->modified_) Post();
    else Cancel();
}

void TDataSet::Insert() { d_->startInsert(false); }
void TDataSet::Append() { d_->startInsert(true); }

void TDataSet::TImpl::startInsert(bool append) {
    self.requireActive();
    requireWritable();
    self.CheckBrowseMode();
    fire(self.BeforeInsert);
    fire(self.BeforeScroll);
    savedCur_ = cur_;
    const long phys = currentPhys();
    insertPhys_ = append || phys < 0 ? data_.RecordCount() : static_cast<std::size_t>(phys);
    loadBuffer(true);
    setState(dsInsert);
    self.DataEvent(TDataEvent::DataSetChanged);
    fire(self.OnNewRecord);
    fire(self.AfterInsert);
    fire(self.AfterScroll);
}

void TDataSet::Edit() {
    requireActive();
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) return;
    if (d_->viewCount() == 0) {
        Insert();
        return;
    }
    d_->requireWritable();
    d_->fire(BeforeEdit);
    d_->loadBuffer(false);
    d_->setState(dsEdit);
    d_->fire(AfterEdit);
}

void TDataSet::TImpl::checkRequired() const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->Required && buf_[i].IsNull())
            throw EDatabaseError("O campo '" + fields_[i]->DisplayName() + "' deve ser informado.");
}

void TDataSet::Post() {
    requireActive();
    if (d_->state_ != dsEdit && d_->state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção.");
    UpdateRecord();
    d_->fire(BeforePost);
    d_->checkRequired();
    std::size_t phys;
    if (d_->state_ == dsInsert) {
        phys = d_->insertPhys_;
        d_->writeInsert(phys);
    } else {
        phys = static_cast<std::size_t>(d_->currentPhys());
        d_->writeEdit(phys);
    }
    d_->buf_.clear();
    d_->state_ = dsBrowse;
    d_->afterPostPosition(phys);
    DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    d_->fire(AfterPost);
}

void TDataSet::TImpl::writeInsert(std::size_t phys) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (colOf_[i] < 0 && !buf_[i].IsNull()) ensureColumn(static_cast<int>(i));
    TPacketRow row(data_.Fields().size());
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (colOf_[i] >= 0) row[static_cast<std::size_t>(colOf_[i])] = buf_[i];
    data_.InsertRow(phys, std::move(row));
    data_.SetRowStatus(phys, TRowStatus::usInserted);
    insertPhysInView(phys);
}

void TDataSet::TImpl::writeEdit(std::size_t phys) {
    bool changed = false;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!dirty_[i]) continue;
        if (colOf_[i] < 0) {
            if (buf_[i].IsNull()) continue;
            ensureColumn(static_cast<int>(i));
        }
        const auto col = static_cast<std::size_t>(colOf_[i]);
        if (data_.Value(phys, col) == buf_[i]) continue;
        data_.SetValue(phys, col, buf_[i]);
        changed = true;
    }
    // A post that changed nothing leaves no trace in the change log.
    if (changed && data_.RowStatus(phys) == TRowStatus::usUnmodified) data_.SetRowStatus(phys, TRowStatus::usModified);
    if (changed && filterOn() && !passesFilter(phys)) removePhysFromView(phys, false);
}

void TDataSet::Cancel() {
    if (d_->state_ != dsEdit && d_->state_ != dsInsert) return;
    const bool wasInsert = d_->state_ == dsInsert;
    d_->fire(BeforeCancel);
    if (wasInsert) d_->fire(BeforeScroll);
    d_->buf_.clear();
    d_->modified_ = false;
    d_->state_ = dsBrowse;
    if (wasInsert) d_->cur_ = std::min(d_->savedCur_, d_->viewCount() == 0 ? 0 : d_->viewCount() - 1);
    DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    d_->fire(AfterCancel);
    if (wasInsert) d_->fire(AfterScroll);
}

void TDataSet::Delete() {
    requireActive();
    if (d_->state_ == dsInsert) {
        Cancel();
        return;
    }
    if (d_->viewCount() == 0) throw EDatabaseError("Não é possível excluir: '" + Name + "' está vazio.");
    d_->requireWritable();
    d_->fire(BeforeDelete);
    d_->fire(BeforeScroll);
    const auto phys = static_cast<std::size_t>(d_->currentPhys());
    d_->data_.DeleteRow(phys);
    d_->removePhysFromView(phys, true);
    d_->buf_.clear();
    d_->modified_ = false;
    const bool stateChanged = d_->state_ != dsBrowse;
    d_->state_ = dsBrowse;
    const std::size_t n = d_->viewCount();
    d_->cur_ = n == 0 ? 0 : std::min(d_->cur_, n - 1);
    d_->eof_ = d_->bof_ = n == 0;
    if (stateChanged) DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    d_->fire(AfterDelete);
    d_->fire(AfterScroll);
}
