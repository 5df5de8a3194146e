#include "platform/db/dbexec.h"

#include "platform/data/field.h"
#include "platform/data/text.h"
#include "platform/db/dbconvert.h"
#include "platform/db/sqlbind.h"
#include "platform/db/sqlparams.h"

#include <soci/soci.h>

#include <algorithm>
#include <cctype>

namespace {

const Variant* findValue(const std::vector<TBoundValue>& params, const std::string& name) {
    for (const auto& p : params)
        if (SameText(p.Name, name)) return &p.Value;
    return nullptr;
}

// PostgreSQL folds unquoted names to lower case; the screens name columns in
// upper case, as the other dialects return them.
std::string columnName(const soci::row& r, std::size_t i, TDBDialect dialect) {
    std::string n = r.get_properties(i).get_name();
    return dialect == TDBDialect::PostgreSQL ? UpperCase(n) : n;
}

// For each field, the index of its column in the result (-1 when absent).
std::vector<int> mapColumns(const soci::row& r, const std::vector<TPacketField>& fields) {
    std::vector<int> map(fields.size(), -1);
    for (std::size_t f = 0; f < fields.size(); ++f)
        for (std::size_t c = 0; c < r.size(); ++c)
            if (SameText(fields[f].Name, r.get_properties(c).get_name())) {
                map[f] = static_cast<int>(c);
                break;
            }
    return map;
}

std::vector<TPacketField> naturalFields(const soci::row& r, TDBDialect dialect) {
    std::vector<TPacketField> fields;
    for (std::size_t c = 0; c < r.size(); ++c) fields.push_back({columnName(r, c, dialect), NaturalFieldType(r, c), 0});
    return fields;
}

// A string field made from the result is as wide as its widest value.
void sizeStringFields(std::vector<TPacketField>& fields, const std::vector<TPacketRow>& rows) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (fields[f].DataType != TFieldType::ftString) continue;
        std::size_t width = 1;
        for (const auto& row : rows)
            if (const std::string* s = row[f].string_if()) width = std::max(width, Utf8Length(*s));
        fields[f].Size = static_cast<int>(width);
    }
}

TPacketRow readRow(const soci::row& r, const std::vector<TPacketField>& fields, const std::vector<int>& map) {
    TPacketRow row(fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f)
        if (map[f] >= 0) row[f] = ReadCell(r, static_cast<std::size_t>(map[f]), fields[f].DataType, fields[f].Name);
    return row;
}

TDataPacket runSelect(TDBConnection& db, const std::string& sql, const std::vector<TBoundValue>& params,
                      const std::vector<TPacketField>& defined) {
    const TParsedSql parsed = ParseSqlParams(sql);
    std::vector<TSqlHolder> holders(parsed.Occurrences.size());
    soci::row r;
    soci::details::prepare_temp_type pt = (db.Session().prepare << parsed.BackendText);
    pt, soci::into(r);
    for (std::size_t i = 0; i < holders.size(); ++i)
        BindSqlValue(pt, holders[i], findValue(params, parsed.Occurrences[i]), TParsedSql::OccurrenceName(i));
    soci::statement st(pt);
    bool more = st.execute(true);

    std::vector<TPacketField> fields = defined.empty() ? naturalFields(r, db.Dialect()) : defined;
    std::vector<int> map;
    if (defined.empty())
        for (std::size_t c = 0; c < fields.size(); ++c) map.push_back(static_cast<int>(c));
    else map = mapColumns(r, fields);
    std::vector<TPacketRow> rows;
    while (more) {
        rows.push_back(readRow(r, fields, map));
        more = st.fetch();
    }
    if (defined.empty()) sizeStringFields(fields, rows);
    TDataPacket packet(fields);
    for (auto& row : rows) packet.AppendRow(std::move(row));
    return packet;
}

bool plainIdentifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

}  // namespace

TDataPacket SelectToPacket(TDBConnection& db, const std::string& sql, const std::vector<TBoundValue>& params,
                           const std::vector<TPacketField>& fields) {
    db.Session();  // a closed connection says so, without the query prefix
    try {
        return runSelect(db, sql, params, fields);
    } catch (const EDatabaseError& e) {
        throw EDatabaseError("Erro ao consultar o banco de dados: " + std::string(e.what()));
    } catch (const std::exception& e) {
        throw EDatabaseError("Erro ao consultar o banco de dados: " + std::string(e.what()));
    }
}

TDataPacket SelectTableRows(TDBConnection& db, const std::string& table, std::size_t rows) {
    if (!plainIdentifier(table)) throw EDatabaseError("Nome de tabela inválido: \"" + table + "\".");
    // The name is checked above and cannot carry anything but an identifier;
    // the row count is bound.
    return SelectToPacket(db, "SELECT * FROM " + table + " LIMIT :P_LIMITE",
                          {{"P_LIMITE", static_cast<std::int64_t>(rows)}});
}
