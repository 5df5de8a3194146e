#include "platform/data/datasource.h"

#include <algorithm>

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    if (dataSet_) dataSet_->DetachDataSource(this);
    for (TDataLink* l : links_) l->source_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* ds) {
    if (ds == dataSet_) return;
    if (dataSet_) dataSet_->DetachDataSource(this);
    dataSet_ = ds;
    if (dataSet_) dataSet_->AttachDataSource(this);
    Notify(TDataSet::TDataEvent::ActiveChanged, nullptr);
}

void TDataSource::DataSetDestroying() {
    dataSet_ = nullptr;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->ActiveChanged();
}

void TDataSource::addLink(TDataLink* l) {
    if (std::find(links_.begin(), links_.end(), l) == links_.end()) links_.push_back(l);
}

void TDataSource::removeLink(TDataLink* l) { links_.erase(std::remove(links_.begin(), links_.end(), l), links_.end()); }

void TDataSource::Notify(TDataSet::TDataEvent event, TField* field) {
    using E = TDataSet::TDataEvent;
    if (!Enabled && event != E::UpdateData) return;
    const std::vector<TDataLink*> links = links_;  // a handler may unlink
    for (TDataLink* l : links) {
        if (std::find(links_.begin(), links_.end(), l) == links_.end()) continue;
        switch (event) {
        case E::ActiveChanged: l->ActiveChanged(); break;
        case E::StateChanged: l->StateChanged(); break;
        case E::DataSetChanged: l->DataSetChanged(); break;
        case E::Scrolled: l->DataSetScrolled(); break;
        case E::RecordChanged: l->RecordChanged(field); break;
        case E::UpdateData: l->UpdateData(); break;
        }
    }
    switch (event) {
    case E::ActiveChanged:
    case E::StateChanged:
        if (OnStateChange) OnStateChange(this);
        break;
    case E::DataSetChanged:
    case E::Scrolled:
    case E::RecordChanged:
        if (OnDataChange) OnDataChange(this, field);
        break;
    case E::UpdateData:
        if (OnUpdateData) OnUpdateData(this);
        break;
    }
}

bool TDataSource::FocusControl(TField* field) {
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links)
        if (l->FocusControl(field)) return true;
    return false;
}

TDataLink::~TDataLink() {
    if (source_) source_->removeLink(this);
}

void TDataLink::SetDataSource(TDataSource* ds) {
    if (ds == source_) return;
    if (source_) source_->removeLink(this);
    source_ = ds;
    if (source_) source_->addLink(this);
    ActiveChanged();
}

bool TDataLink::Editing() const {
    TDataSet* ds = DataSet();
    return ds && (ds->State() == dsEdit || ds->State() == dsInsert);
}

bool TDataLink::Edit() {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || ds->ReadOnly) return false;
    if (!Editing()) ds->Edit();
    return Editing();
}
