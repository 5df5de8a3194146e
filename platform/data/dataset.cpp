// TDataSet: fields, the record buffer and the state machine (insert, edit,
// post, cancel, delete). Navigation and the view are in dataset_view.cpp,
// Data, open/close and notifications in dataset_data.cpp.
#include "platform/data/dataset.h"

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

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    const std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources) s->DataSetDestroying();
}

// ---- fields -----------------------------------------------------------------

TField* TDataSet::AddField(const std::string& name, TFieldType type, int size) {
    if (Active()) throw EDatabaseError("Não é possível definir campos em '" + Name + "' aberto.");
    if (FindField(name)) throw EDatabaseError("Campo '" + name + "' duplicado em '" + Name + "'.");
    if (fieldsFromPacket_) {
        fields_.clear();
        fieldsFromPacket_ = false;
    }
    if (type == TFieldType::ftString && size <= 0) size = 20;
    fields_.push_back(std::make_unique<TField>(this, static_cast<int>(fields_.size()), name, type, size));
    compiledText_.clear();
    mappedLayout_.clear();
    colOf_.clear();
    return fields_.back().get();
}

TField* TDataSet::FindField(const std::string& name) const {
    for (const auto& f : fields_)
        if (SameText(f->FieldName(), name)) return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const {
    if (TField* f = FindField(name)) return f;
    throw EDatabaseError("Campo '" + name + "' não encontrado em '" + Name + "'.");
}

Variant TDataSet::GetFieldValue(int fieldIndex) const {
    const auto i = static_cast<std::size_t>(fieldIndex);
    if (peekRow_ >= 0) {
        const int col = colOf_[i];
        return col < 0 ? Variant() : data_.Value(static_cast<std::size_t>(peekRow_), static_cast<std::size_t>(col));
    }
    if (state_ == dsEdit || state_ == dsInsert) return buf_[i];
    const long phys = currentPhys();
    if (phys < 0 || colOf_[i] < 0) return Variant();
    return data_.Value(static_cast<std::size_t>(phys), static_cast<std::size_t>(colOf_[i]));
}

void TDataSet::SetFieldValue(int fieldIndex, const Variant& v) {
    TField* f = fields_.at(static_cast<std::size_t>(fieldIndex)).get();
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção (campo '" + f->FieldName() + "').");
    if (f->ReadOnly) throw EDatabaseError("O campo '" + f->DisplayName() + "' não pode ser modificado.");
    const auto i = static_cast<std::size_t>(fieldIndex);
    modified_ = true;
    if (buf_[i] == v) return;
    buf_[i] = v;
    dirty_[i] = true;
    if (f->OnChange) f->OnChange(f);
    DataEvent(TDataEvent::RecordChanged, f);
}

// ---- state machine ------------------------------------------------------------

void TDataSet::requireActive() const {
    if (!Active()) throw EDatabaseError("Operação não permitida: '" + Name + "' está fechado.");
}

void TDataSet::requireWritable() const {
    if (ReadOnly) throw EDatabaseError("Não é possível modificar '" + Name + "': conjunto de dados somente leitura.");
}

void TDataSet::setState(TDataSetState s) {
    if (state_ == s) return;
    state_ = s;
    DataEvent(TDataEvent::StateChanged);
}

void TDataSet::loadBuffer(bool blank) {
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
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção.");
    DataEvent(TDataEvent::UpdateData);
}

void TDataSet::CheckBrowseMode() {
    requireActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    UpdateRecord();
    if (modified_) Post();
    else Cancel();
}

void TDataSet::Insert() { startInsert(false); }
void TDataSet::Append() { startInsert(true); }

void TDataSet::startInsert(bool append) {
    requireActive();
    requireWritable();
    CheckBrowseMode();
    fire(BeforeInsert);
    fire(BeforeScroll);
    savedCur_ = cur_;
    const long phys = currentPhys();
    insertPhys_ = append || phys < 0 ? data_.RecordCount() : static_cast<std::size_t>(phys);
    loadBuffer(true);
    setState(dsInsert);
    DataEvent(TDataEvent::DataSetChanged);
    fire(OnNewRecord);
    fire(AfterInsert);
    fire(AfterScroll);
}

void TDataSet::Edit() {
    requireActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (viewCount() == 0) {
        Insert();
        return;
    }
    requireWritable();
    fire(BeforeEdit);
    loadBuffer(false);
    setState(dsEdit);
    fire(AfterEdit);
}

void TDataSet::checkRequired() const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->Required && buf_[i].IsNull())
            throw EDatabaseError("O campo '" + fields_[i]->DisplayName() + "' deve ser informado.");
}

void TDataSet::Post() {
    requireActive();
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError("'" + Name + "' não está em modo de edição ou inserção.");
    UpdateRecord();
    fire(BeforePost);
    checkRequired();
    std::size_t phys;
    if (state_ == dsInsert) {
        phys = insertPhys_;
        writeInsert(phys);
    } else {
        phys = static_cast<std::size_t>(currentPhys());
        writeEdit(phys);
    }
    buf_.clear();
    state_ = dsBrowse;
    afterPostPosition(phys);
    DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    fire(AfterPost);
}

void TDataSet::writeInsert(std::size_t phys) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (colOf_[i] < 0 && !buf_[i].IsNull()) ensureColumn(static_cast<int>(i));
    TPacketRow row(data_.Fields().size());
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (colOf_[i] >= 0) row[static_cast<std::size_t>(colOf_[i])] = buf_[i];
    data_.InsertRow(phys, std::move(row));
    data_.SetRowStatus(phys, TRowStatus::usInserted);
    insertPhysInView(phys);
}

void TDataSet::writeEdit(std::size_t phys) {
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
    if (state_ != dsEdit && state_ != dsInsert) return;
    const bool wasInsert = state_ == dsInsert;
    fire(BeforeCancel);
    if (wasInsert) fire(BeforeScroll);
    buf_.clear();
    modified_ = false;
    state_ = dsBrowse;
    if (wasInsert) cur_ = std::min(savedCur_, viewCount() == 0 ? 0 : viewCount() - 1);
    DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    fire(AfterCancel);
    if (wasInsert) fire(AfterScroll);
}

void TDataSet::Delete() {
    requireActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (viewCount() == 0) throw EDatabaseError("Não é possível excluir: '" + Name + "' está vazio.");
    requireWritable();
    fire(BeforeDelete);
    fire(BeforeScroll);
    const auto phys = static_cast<std::size_t>(currentPhys());
    data_.DeleteRow(phys);
    removePhysFromView(phys, true);
    buf_.clear();
    modified_ = false;
    const bool stateChanged = state_ != dsBrowse;
    state_ = dsBrowse;
    const std::size_t n = viewCount();
    cur_ = n == 0 ? 0 : std::min(cur_, n - 1);
    eof_ = bof_ = n == 0;
    if (stateChanged) DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    fire(AfterDelete);
    fire(AfterScroll);
}
