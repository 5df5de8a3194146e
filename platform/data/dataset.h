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
    int FieldCount() const;
    TField* Fields(int i) const;                         // raises std::out_of_range outside 0..FieldCount()-1
    TField* FieldByName(const std::string& name) const;  // raises when absent
    TField* FindField(const std::string& name) const;    // nullptr when absent

    // ---- state ----------------------------------------------------------
    TDataSetState State() const;
    bool Active() const;
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Modified() const;  // a field was written in this edit
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
    bool Locate(const std::string& keyFields, const std::vector<Variant>& values, TLocateOptions options = {});
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
    const std::string& Filter() const;
    void SetFilter(const std::string& text);
    bool Filtered() const;
    void SetFiltered(bool on);

    // ---- controls -------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

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
    // The records, the view, the edit buffer, the filter and the data sources,
    // with the steps the operations share (platform/data/dataset_impl.h).
    struct TImpl;
    std::unique_ptr<TImpl> d_;

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
