// TADOIBQuery: the read-only lookup query of the screens (qryEmpresa,
// qryContCtbl, qryCentCust ...). It holds one SQL text per database dialect,
// runs the one that matches the connection, binds its `:P_X` parameters by
// name and puts the rows into its `Query` data set, a read-only
// TClientDataSet that data sources, grids and lookup dialogs use like any
// other data set (Locate, Filter, FieldByName).
//
// Texts: SQL is the default; SQL_SQLITE and SQL_PG, when not empty, take its
// place on SQLite and PostgreSQL. SQL_MSSQL and SQL_IB are kept as the screen
// definitions carry them but no connection of ours runs them.
//
// Parameters: every `:NAME` found in any of the texts (not inside quotes or
// comments, not a `::` cast), each name once, values kept while the texts
// change. Every parameter of the screens is a string; a parameter never
// given a value is bound as null (so it matches nothing).
//
// Fields: AddField declares persistent fields as the screen definition does;
// a result column is converted to its field's type, and columns without a
// field are not exposed. A query with no persistent fields exposes every
// column of the result.
//
// Errors: Open on a closed connection, a bad SQL text or a value that cannot
// become its field's type raises EDatabaseError (Portuguese text plus the
// database's own text) and leaves the query closed. Writes through the Query
// data set are refused (it is read-only).
#pragma once

#include "platform/data/dataset.h"
#include "platform/db/dbgeral.h"

#include <initializer_list>
#include <string>
#include <vector>

// A SQL text as a list of lines (the screen definitions give one quoted
// string per line) or as one string.
class TSQLStrings {
public:
    TSQLStrings() = default;
    TSQLStrings& operator=(const std::string& text);
    TSQLStrings& operator=(std::initializer_list<std::string> lines);

    void Add(const std::string& line) { lines_.push_back(line); }
    void Clear() { lines_.clear(); }
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Text() const;  // the lines joined with "\n"
    bool IsBlank() const;      // no line holds anything but blanks

private:
    std::vector<std::string> lines_;
};

class TParam {
public:
    explicit TParam(std::string name) : Name(std::move(name)) {}
    std::string Name;
    Variant Value;

    std::string AsString() const { return Value.AsString(); }
    void SetAsString(const std::string& s) { Value = Variant(s); }
    bool IsNull() const { return Value.IsNull(); }
    void Clear() { Value = Variant(); }
};

class TParams {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TParam* Items(int i) { return &items_.at(static_cast<std::size_t>(i)); }
    TParam* FindParam(const std::string& name);    // case-insensitive; nullptr when absent
    TParam* ParamByName(const std::string& name);  // raises EDatabaseError when absent

    // Rebuilds the list for these names, keeping the values of names kept.
    void Assign(const std::vector<std::string>& names);

private:
    std::vector<TParam> items_;
};

class TADOIBQuery : public TComponent {
public:
    explicit TADOIBQuery(TComponent* owner = nullptr);

    TSQLStrings SQL, SQL_MSSQL, SQL_IB, SQL_SQLITE, SQL_PG;
    // The connection the query runs on; nullptr means the shared dtmDBGeral().
    TDBConnection* Connection = nullptr;

    TClientDataSet* Query() const { return query_; }

    TParams& Params();
    TParam* ParamByName(const std::string& name) { return Params().ParamByName(name); }

    // Persistent field, as the screen definition declares it (query closed).
    TField* AddField(const std::string& name, TFieldType type, int size = 0);

    // Open on an open query does nothing (Close, set parameters, Open again).
    void Open();
    void Close();
    bool Active() const { return query_->Active(); }
    void SetActive(bool on) { on ? Open() : Close(); }

    // The text that runs on a connection of this dialect.
    std::string SQLFor(TDBDialect dialect) const;

    // The Query data set's cursor, as the screens call it on the query.
    bool IsEmpty() const { return query_->IsEmpty(); }
    int RecordCount() const { return query_->RecordCount(); }
    void First() { query_->First(); }
    void Next() { query_->Next(); }
    bool Eof() const { return query_->Eof(); }
    TField* FieldByName(const std::string& name) const { return query_->FieldByName(name); }
    TField* FindField(const std::string& name) const { return query_->FindField(name); }
    bool Locate(const std::string& keyFields, const std::vector<Variant>& values, TLocateOptions options = {}) {
        return query_->Locate(keyFields, values, options);
    }

private:
    TClientDataSet* query_;
    bool persistentFields_ = false;
    TParams params_;
    std::string paramsSource_;  // the texts the parameter list was built from

    TDBConnection& connection() const;
    std::vector<TPacketField> definedFields() const;
};

// The screens declare typed persistent fields; one field class does all.
using TADOIBStringField = TField;
using TADOIBDateTimeField = TField;
using TADOIBFloatField = TField;
