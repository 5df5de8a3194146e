// A field of a data set: one column, read and written through the data set's
// current record. Fields are created by the data set (AddField, or from the
// first packet when none were defined) and owned by it; a TField* stays valid
// while its data set lives and its field list is not rebuilt.
//
// Writes need the data set in dsEdit or dsInsert (else EDatabaseError); a
// read-only field refuses writes. OnChange runs after every write that changes
// the value. A string field keeps at most Size characters (UTF-8 characters,
// not bytes). Setting a date-time field to 0 (no date) or any field to an
// empty text stores null.
#pragma once

#include "platform/data/datetime.h"
#include "platform/data/errors.h"
#include "platform/data/packet.h"
#include "platform/data/text.h"
#include "platform/data/variant.h"

#include <cstdint>
#include <functional>
#include <string>

class TDataSet;

class TField {
public:
    TField(TDataSet* dataSet, int index, std::string fieldName, TFieldType type, int size);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    // Definition (set by the screen definition).
    const std::string& FieldName() const { return fieldName_; }
    TFieldType DataType() const { return dataType_; }
    int Size() const { return size_; }
    int Index() const { return index_; }
    TDataSet* DataSet() const { return dataSet_; }

    std::string DisplayLabel;  // empty: the field name is shown
    bool Visible = true;
    std::string EditMask;  // kept for the controls; the field does not apply it
    int DisplayWidth = 0;  // 0: derived from Size
    bool ReadOnly = false;
    bool Required = false;
    std::string Origin;
    std::string DisplayFormat;  // FormatFloat pattern for float fields ("" = general)
    std::string EditFormat;     // FormatFloat pattern for the edit text ("" = general)

    std::function<void(TField*)> OnChange;
    std::function<void(TField*, std::string& Text, bool DisplayText)> OnGetText;

    const std::string& DisplayName() const { return DisplayLabel.empty() ? fieldName_ : DisplayLabel; }
    int GetDisplayWidth() const;

    // Value of the current record (null when the data set is empty or closed).
    Variant Value() const;
    void SetValue(const Variant& v);
    bool IsNull() const { return Value().IsNull(); }
    void Clear() { SetValue(Variant()); }

    std::string AsString() const;
    double AsFloat() const;
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    void SetAsString(const std::string& s);  // parses for typed fields; bad text raises
    void SetAsFloat(double d);
    void SetAsInteger(std::int64_t i);
    void SetAsBoolean(bool b);
    void SetAsDateTime(TDateTime dt);

    // Texts: DisplayText for showing, Text for editing; both go through
    // OnGetText when it is assigned. SetText parses like SetAsString.
    std::string DisplayText() const;
    std::string Text() const;
    void SetText(const std::string& s) { SetAsString(s); }

    // Asks the control that shows this field to take the focus (through the
    // data set's data sources and their links).
    void FocusControl();

    // The field's formatting of a stored value, without OnGetText.
    std::string FormatValue(const Variant& v, bool displayText) const;
    // Converts a typed value to this field's storage (may raise EDatabaseError).
    Variant Coerce(const Variant& v) const;

private:
    TDataSet* dataSet_;
    int index_;
    std::string fieldName_;
    TFieldType dataType_;
    int size_;
    friend class TDataSet;
};

// Typed names as the screens declare persistent fields; one class does all.
using TStringField = TField;
using TFloatField = TField;
using TIntegerField = TField;
using TBooleanField = TField;
using TDateTimeField = TField;
