// TDataSource joins a data set to the controls that show it. A control (a
// grid, a data-aware edit) holds a TDataLink and overrides the notifications
// it cares about. While the data set's controls are disabled nothing is
// delivered except UpdateData; the last EnableControls sends one
// DataSetChanged.
#pragma once

#include "platform/data/component.h"
#include "platform/data/dataset.h"

#include <functional>
#include <vector>

class TDataLink;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    TDataSetState State() const { return dataSet_ ? dataSet_->State() : dsInactive; }
    bool Enabled = true;

    std::function<void(TDataSource*)> OnStateChange;
    std::function<void(TDataSource*, TField*)> OnDataChange;  // record moved or changed (field or nullptr)
    std::function<void(TDataSource*)> OnUpdateData;           // before a post

    // Called by the data set.
    void Notify(TDataSet::TDataEvent event, TField* field);
    bool FocusControl(TField* field);  // true when a link took the focus
    // The data set is being destroyed (usually with its form): forget it and
    // tell the linked controls, but run no handler of the form, which may be
    // half destroyed already.
    void DataSetDestroying();

private:
    friend class TDataLink;
    TDataSet* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
    void addLink(TDataLink* l);
    void removeLink(TDataLink* l);
};

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* ds);
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    bool Active() const { return DataSet() && DataSet()->Active(); }
    bool Editing() const;
    // Puts the data set into edit (insert when empty); false when it cannot.
    bool Edit();

    // Notifications; the defaults do nothing.
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void DataSetScrolled() {}
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void StateChanged() {}
    virtual void UpdateData() {}  // write pending editor text into the field now
    // A field asks its control to take the focus; true when this link did.
    virtual bool FocusControl(TField* /*field*/) { return false; }

private:
    friend class TDataSource;
    TDataSource* source_ = nullptr;
};
