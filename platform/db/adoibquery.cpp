#include "platform/db/adoibquery.h"

#include "platform/data/text.h"
#include "platform/db/dbexec.h"
#include "platform/db/sqlparams.h"

#include <algorithm>

// ---- TSQLStrings -----------------------------------------------------------

TSQLStrings& TSQLStrings::operator=(const std::string& text) {
    lines_.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return *this;
}

TSQLStrings& TSQLStrings::operator=(std::initializer_list<std::string> lines) {
    lines_.assign(lines.begin(), lines.end());
    return *this;
}

std::string TSQLStrings::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i) text += '\n';
        text += lines_[i];
    }
    return text;
}

bool TSQLStrings::IsBlank() const {
    return std::all_of(lines_.begin(), lines_.end(), [](const std::string& l) { return ::IsBlank(l); });
}

// ---- TParams -----------------------------------------------------------------

TParam* TParams::FindParam(const std::string& name) {
    for (auto& p : items_)
        if (SameText(p.Name, name)) return &p;
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& name) {
    if (TParam* p = FindParam(name)) return p;
    throw EDatabaseError("Parâmetro \"" + name + "\" não encontrado.");
}

void TParams::Assign(const std::vector<std::string>& names) {
    std::vector<TParam> next;
    for (const auto& n : names) {
        next.emplace_back(n);
        if (TParam* old = FindParam(n)) next.back().Value = old->Value;
    }
    items_ = std::move(next);
}

// ---- TADOIBQuery -------------------------------------------------------------

TADOIBQuery::TADOIBQuery(TComponent* owner) : TComponent(owner), query_(Create<TClientDataSet>()) {
    query_->Name = "Query";
    query_->ReadOnly = true;
}

TDBConnection& TADOIBQuery::connection() const { return Connection ? *Connection : dtmDBGeral(); }

TParams& TADOIBQuery::Params() {
    // Rebuilt only when a text changed since the last look.
    const TSQLStrings* texts[] = {&SQL, &SQL_SQLITE, &SQL_PG, &SQL_MSSQL, &SQL_IB};
    std::string source;
    for (const TSQLStrings* t : texts) source += t->Text() + '\x1f';
    if (source != paramsSource_) {
        std::vector<std::string> names;
        for (const TSQLStrings* t : texts)
            for (const auto& n : ParseSqlParams(t->Text()).Names)
                if (std::none_of(names.begin(), names.end(), [&](const std::string& k) { return SameText(k, n); }))
                    names.push_back(n);
        params_.Assign(names);
        paramsSource_ = std::move(source);
    }
    return params_;
}

TField* TADOIBQuery::AddField(const std::string& name, TFieldType type, int size) {
    persistentFields_ = true;
    return query_->AddField(name, type, size);
}

std::vector<TPacketField> TADOIBQuery::definedFields() const {
    std::vector<TPacketField> fields;
    if (!persistentFields_) return fields;
    for (int i = 0; i < query_->FieldCount(); ++i) {
        const TField* f = query_->Fields(i);
        fields.push_back({f->FieldName(), f->DataType(), f->Size()});
    }
    return fields;
}

std::string TADOIBQuery::SQLFor(TDBDialect dialect) const {
    if (dialect == TDBDialect::SQLite && !SQL_SQLITE.IsBlank()) return SQL_SQLITE.Text();
    if (dialect == TDBDialect::PostgreSQL && !SQL_PG.IsBlank()) return SQL_PG.Text();
    return SQL.Text();
}

void TADOIBQuery::Open() {
    if (Active()) return;
    TDBConnection& db = connection();
    db.Session();  // a closed connection raises its own message
    const std::string sql = SQLFor(db.Dialect());
    const std::string who = Name.empty() ? std::string("consulta") : Name;
    if (::IsBlank(sql))
        throw EDatabaseError("A consulta " + who + " não tem texto SQL para " + DialectName(db.Dialect()) + ".");
    std::vector<TBoundValue> values;
    for (int i = 0; i < Params().Count(); ++i) values.push_back({params_.Items(i)->Name, params_.Items(i)->Value});
    TDataPacket packet;
    try {
        packet = SelectToPacket(db, sql, values, definedFields());
    } catch (const EDatabaseError& e) {
        throw EDatabaseError(who + ": " + e.what());
    }
    query_->SetData(packet);
    if (!query_->Active()) query_->Open();
    query_->First();
}

void TADOIBQuery::Close() { query_->Close(); }
