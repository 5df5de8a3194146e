// The inside of a TDataSet, for platform/data/dataset*.cpp only: the records
// (one packet, every record whatever the filter), the view over them, the
// edit buffer, the compiled filter and the data sources, and the steps the
// public operations share. A data set owns one TImpl for its whole life, so
// field reads and navigation allocate nothing beyond what they did inline.
#pragma once

#include "platform/data/dataset.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class TFilterExpr;

struct TDataSet::TImpl {
    explicit TImpl(TDataSet& owner) : self(owner) {}

    TDataSet& self;  // the data set whose events and sources the steps reach

    std::vector<std::unique_ptr<TField>> fields_;
    bool fieldsFromPacket_ = false;  // fields were created from a packet, not defined
    TDataPacket data_;
    std::vector<int> colOf_;                  // field index -> packet column, -1 when absent
    std::vector<TPacketField> mappedLayout_;  // packet layout colOf_ was computed for
    std::vector<Variant> buf_;                // record buffer while editing
    std::vector<bool> dirty_;                 // buffer fields written in this edit
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

    bool active() const { return state_ != dsInactive; }
    void fire(const TDataSetNotifyEvent& e) {
        if (e) e(&self);
    }

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
    long currentPhys() const;                      // -1 when none
    bool passesFilter(std::size_t phys) const;
    void insertPhysInView(std::size_t phys);
    void removePhysFromView(std::size_t phys, bool deleted);
    void afterPostPosition(std::size_t phys);
    void resetPosition();
    void moveTo(std::size_t viewIndex, bool bof, bool eof);
    bool recordMatches(std::size_t phys, const std::vector<const TField*>& keys, const std::vector<Variant>& values,
                       TLocateOptions options) const;
    std::shared_ptr<TFilterExpr> compileFor(const std::string& text) const;
    void applyFilter(const std::string& text, bool on);
    // dataset_data.cpp
    void mapColumns();
    void ensureColumn(int fieldIndex);
    bool sameLayout(const TDataPacket& p) const;
    void buildFieldsFromPacket(const TDataPacket& p);
    void prepareFilter();
    void openWith(const TDataPacket& packet);
};
