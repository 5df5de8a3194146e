// Data sets: a cursor over in-memory records with the state machine, events,
// filter and change log the screens rely on.
//
// TDataSet holds the records as a TDataPacket (every record, whatever the
// filter) plus a view (the records that pass the filter, in packet order) and
// a current position in that view. Edits happen in a record buffer: Post
// writes it into the packet, Cancel drops it. Everything runs on one thread.
//
// Contract:
//  - states dsInactive, dsBrowse, dsEdit, dsInsert; a Before* handler that
//    throws leaves state, position and data as they were (BeforePost keeps the
//    record in edit with its values);
//  - navigation, Insert, Locate and filter changes while editing first post a
//    modified record (or cancel an unmodified one), as the framework does;
//    Close, SetData and EmptyDataSet drop an unposted record;
//  - scroll events: navigation and Locate fire BeforeScroll/AfterScroll when
//    they move; Insert/Append, Delete and the cancel of an insert fire them
//    too; a filter change fires BeforeScroll on the record left and
//    AfterScroll on the first record of the new view; assigning Data fires
//    AfterScroll when the new view is not empty;
//  - the change log marks a record inserted or modified only when a post
//    really changed a value; deleting a record inserted since the last merge
//    leaves nothing in the log;
//  - RecordCount, RecNo, Eof, Bof, IsEmpty and Locate work on the filtered
//    view; a record posted that no longer passes the filter leaves the view;
//  - Data is every record; assigning it shares storage (copy on write) and
//    carries the change log; packet fields the data set does not define are
//    kept in Data but not exposed; defined fields absent from it read as null;
//  - misuse (Post in browse, Edit of a closed data set, unknown field, bad
//    filter text) raises EDatabaseError (EFilterError for filters).
#pragma once

#include "platform/data/component.h"
#include "platform/data/errors.h"
#include "platform/data/field.h"
#include "platform/data/packet.h"
#include "platform/data/variant.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TDataSource;
class TFilterExpr;

// The framework's state names are plain names (dsBrowse), as the screens write them.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// Name as the scenario driver prints it: "dsBrowse", ...
const char* DataSetStateName(TDataSetState s);

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

class TLocateOptions {
public:
    TLocateOptions() = default;
    TLocateOptions(std::initializer_list<TLocateOption> opts) {
        for (TLocateOption o : opts) bits_ |= o;
    }
    bool Contains(TLocateOption o) const { return (bits_ & o) != 0; }

private:
    unsigned bits_ = 0;
};

class TDataSet : public TComponent {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet*)>;

    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;

    // ---- fields ---------------------------------------------------------
    // Defines a persistent field (data set inactive). Raises on a duplicate.
    TField* AddField(const std::string& name, TFieldType type, int size = 0);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField* Fields(int i) const { return fields_.at(static_cast<std::size_t>(i)).get(); }
    TField* FieldByName(const std::string& name) const;  // raises when absent
    TField* FindField(const std::string& name) const;    // nullptr when absent

    // ---- state ----------------------------------------------------------
    TDataSetState State() const { return state_; }
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Modified() const { return modified_; }  // a field was written in this edit
    bool ReadOnly = false;

    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Asks the data links to write pending control text into the fields.
    void UpdateRecord();
    // Posts a modified record, cancels an unmodified one (navigation does it).
    void CheckBrowseMode();

    // ---- navigation over the view ----------------------------------------
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);  // returns the distance actually moved
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const;
    int RecordCount() const;  // records of the view (the insert not yet posted excluded)
    int RecNo() const;        // 1-based position in the view; 0 when empty
    void SetRecNo(int recNo);

    // Keys "A;B;C" with one value each; moves to the first match of the view
    // (scroll events) and returns true, or stays and returns false. Texts
    // match exactly unless loCaseInsensitive / loPartialKey (prefix); an empty
    // text matches null; numbers and dates compare as values.
    bool Locate(const std::string& keyFields, const std::vector<Variant>& values,
                TLocateOptions options = {});
    bool Locate(const std::string& keyField, const Variant& value, TLocateOptions options = {});

    // Reads a field of the view's record at a 0-based position without moving
    // (grids rendering rows); OnGetText runs as if that record were current.
    Variant ValueAt(int viewIndex, const TField* field) const;
    std::string DisplayTextAt(int viewIndex, const TField* field) const;
    // Runs `read` while every field reads the view's record at viewIndex, as
    // a grid's cell drawing does for the rows it paints; nothing moves and no
    // event fires. An index outside the view runs nothing.
    void AtViewRecord(int viewIndex, const std::function<void()>& read) const;

    // ---- filter ---------------------------------------------------------
    // The text is compiled once per text. A bad text raises EFilterError when
    // it is applied (SetFilter on a filtered active data set, SetFiltered(true),
    // opening with Filtered on) and changes nothing: the previous text, filter
    // and view stay. On an unfiltered or closed data set SetFilter only stores.
    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);

    // ---- controls -------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- events ---------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;  // after the insert buffer is set up, before AfterInsert

    // ---- data (every record, whatever the filter) -------------------------
    TDataPacket GetData() const;
    // Only the records of the view (the filter's), as a new packet with no
    // change log: what a second data set needs of one entry of a loaded year.
    TDataPacket ViewData() const;
    void SetData(const TDataPacket& packet);
    int ChangeCount() const;  // records inserted, modified or deleted since the last merge
    void MergeChangeLog();

    // ---- used by fields and data sources -----------------------------------
    Variant GetFieldValue(int fieldIndex) const;
    void SetFieldValue(int fieldIndex, const Variant& v);
    void FocusFieldControl(TField* field);
    void AttachDataSource(TDataSource* ds);
    void DetachDataSource(TDataSource* ds);

protected:
    // Replaces the records without reopening (EmptyDataSet).
    void SetDataKeepingState(const TDataPacket& packet);
    std::vector<TPacketField> definedPacketFields() const;
    void requireActive() const;

private:
    std::vector<std::unique_ptr<TField>> fields_;
    bool fieldsFromPacket_ = false;  // fields were created from a packet, not defined
    TDataPacket data_;
    std::vector<int> colOf_;      // field index -> packet column, -1 when absent
    std::vector<TPacketField> mappedLayout_;  // packet layout colOf_ was computed for
    std::vector<Variant> buf_;    // record buffer while editing
    std::vector<bool> dirty_;     // buffer fields written in this edit
    TDataSetState state_ = dsInactive;
    bool modified_ = false;

    // View: visible physical rows (filtered), or every row (identity). It is
    // built on first use after a change of data or filter.
    mutable std::vector<std::size_t> view_;
    mutable bool viewDirty_ = false;
    mutable bool atFirstPending_ = false;  // position is "first" once the view is known
    std::size_t cur_ = 0;                  // position in the view
    mutable bool eof_ = true, bof_ = true;
    std::size_t insertPhys_ = 0;  // where an insert lands in the packet
    std::size_t savedCur_ = 0;    // position to return to when an insert is cancelled
    mutable long peekRow_ = -1;   // physical row read by DisplayTextAt, -1 = current

    std::string filterText_;
    bool filtered_ = false;
    std::shared_ptr<TFilterExpr> filterExpr_;  // compiled for compiledText_
    std::string compiledText_;

    int disableCount_ = 0;
    std::vector<TDataSource*> sources_;

    // dataset.cpp
    void requireWritable() const;
    void setState(TDataSetState s);
    void loadBuffer(bool blank);
    void startInsert(bool append);
    void checkRequired() const;
    void writeInsert(std::size_t phys);
    void writeEdit(std::size_t phys);
    // dataset_view.cpp
    bool filterOn() const { return filtered_ && filterExpr_ != nullptr; }
    const std::vector<std::size_t>& view() const;
    void rebuildView() const;  // fills the (mutable) view
    std::size_t viewCount() const;
    std::size_t physAt(std::size_t viewIndex) const;
    long viewIndexOfPhys(std::size_t phys) const;  // -1 when not visible
    long currentPhys() const;                        // -1 when none
    bool passesFilter(std::size_t phys) const;
    void insertPhysInView(std::size_t phys);
    void removePhysFromView(std::size_t phys, bool deleted);
    void afterPostPosition(std::size_t phys);
    void resetPosition();
    void moveTo(std::size_t viewIndex, bool bof, bool eof);
    bool recordMatches(std::size_t phys, const std::vector<const TField*>& keys,
                       const std::vector<Variant>& values, TLocateOptions options) const;
    std::shared_ptr<TFilterExpr> compileFor(const std::string& text) const;
    void applyFilter(const std::string& text, bool on);
    // dataset_data.cpp
    void mapColumns();
    void ensureColumn(int fieldIndex);
    bool sameLayout(const TDataPacket& p) const;
    void buildFieldsFromPacket(const TDataPacket& p);
    void prepareFilter();
    void openWith(const TDataPacket& packet);
    void fire(const TDataSetNotifyEvent& e) { if (e) e(this); }

public:
    // Notifications to the data sources (suppressed while controls are disabled).
    enum class TDataEvent { ActiveChanged, StateChanged, DataSetChanged, Scrolled, RecordChanged, UpdateData };
    void DataEvent(TDataEvent event, TField* field = nullptr);
};

// The in-memory data set of the screens. CreateDataSet makes an empty data set
// from the defined fields; EmptyDataSet deletes every record (also those the
// filter hides) and clears the change log.
class TClientDataSet : public TDataSet {
public:
    explicit TClientDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
    void CreateDataSet();
    void EmptyDataSet();
    // Data as a property, as the screens write it: cds->Data(other->Data()).
    TDataPacket Data() const { return GetData(); }
    void Data(const TDataPacket& p) { SetData(p); }
};

// Guard for DisableControls/EnableControls.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet* ds) : ds_(ds) { ds_->DisableControls(); }
    ~TControlsDisabled() { ds_->EnableControls(); }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet* ds_;
};
