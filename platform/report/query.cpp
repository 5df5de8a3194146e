#include "platform/report/query.h"

#include "platform/data/datetime.h"
#include "platform/data/text.h"
#include "platform/db/dbconvert.h"
#include "platform/db/sqlbind.h"
#include "platform/db/sqlparams.h"
#include "platform/report/report_error.h"

#include <soci/soci.h>

#include <cstdio>

namespace report {
namespace {

TFieldType fieldType(TValueType t) {
    switch (t) {
    case TValueType::Date: return TFieldType::ftDateTime;
    case TValueType::Number:
    case TValueType::Money: return TFieldType::ftFloat;
    case TValueType::Integer: return TFieldType::ftInteger;
    case TValueType::Text: return TFieldType::ftString;
    }
    return TFieldType::ftString;
}

std::string isoDate(TDateTime d) {
    int y = 0, m = 0, day = 0;
    DecodeDate(d, y, m, day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, day);
    return buf;
}

// For each field, its column in the result; a missing one is refused.
std::vector<std::size_t> mapColumns(const soci::row& r, const TReportDef& def) {
    std::vector<std::size_t> map;
    for (const TFieldDef& f : def.Fields) {
        std::size_t c = 0;
        while (c < r.size() && !SameText(r.get_properties(c).get_name(), f.Name)) ++c;
        if (c == r.size()) throw EReportError("A consulta do relatório não devolve o campo " + f.Name + ".");
        map.push_back(c);
    }
    return map;
}

std::unique_ptr<TRowSpool> run(TDBConnection& db, const TReportDef& def, const std::vector<Variant>& params,
                               const std::function<void(std::int64_t)>& onRow) {
    const std::string sql = def.SqlFor(db.Dialect());
    if (IsBlank(sql))
        throw EReportError("O relatório " + def.Title + " não tem consulta para " + DialectName(db.Dialect()) + ".");
    const TParsedSql parsed = ParseSqlParams(sql);
    std::vector<TSqlHolder> holders(parsed.Occurrences.size());
    soci::row r;
    soci::details::prepare_temp_type pt = (db.Session().prepare << parsed.BackendText);
    pt, soci::into(r);
    for (std::size_t i = 0; i < holders.size(); ++i) {
        const int p = def.ParamIndex(parsed.Occurrences[i]);
        const Variant v =
            p >= 0 && static_cast<std::size_t>(p) < params.size()
                ? BindValue(params[static_cast<std::size_t>(p)], def.Params[static_cast<std::size_t>(p)].Type)
                : Variant();
        BindSqlValue(pt, holders[i], &v, TParsedSql::OccurrenceName(i));
    }
    soci::statement st(pt);
    auto spool = std::make_unique<TRowSpool>(def.Fields.size());
    bool more = st.execute(true);
    if (!more) return spool;
    const std::vector<std::size_t> map = mapColumns(r, def);
    std::vector<Variant> row(def.Fields.size());
    while (more) {
        for (std::size_t f = 0; f < map.size(); ++f)
            row[f] = ReadCell(r, map[f], fieldType(def.Fields[f].Type), def.Fields[f].Name);
        spool->Append(row);
        if (onRow && spool->RowCount() % 1000 == 0) onRow(spool->RowCount());
        more = st.fetch();
    }
    return spool;
}

}  // namespace

Variant BindValue(const Variant& v, TValueType type) {
    if (v.IsNull()) return v;
    switch (type) {
    case TValueType::Date: {
        TDateTime d = 0;
        if (const std::string* s = v.string_if()) {
            if (s->empty()) return Variant();
            if (!TryStrToDate(*s, d)) return v;  // already ISO, or the database says no
        } else {
            d = v.AsFloat();
        }
        return d == 0 ? Variant() : Variant(isoDate(d));
    }
    case TValueType::Number:
    case TValueType::Money: return Variant(v.AsFloat());
    case TValueType::Integer: return Variant(v.AsInteger());
    case TValueType::Text: return Variant(v.AsString());
    }
    return v;
}

std::unique_ptr<TRowSpool> RunReportQuery(TDBConnection& db, const TReportDef& def, const std::vector<Variant>& params,
                                          const std::function<void(std::int64_t)>& onRow) {
    db.Session();  // a closed connection says so in its own words
    try {
        return run(db, def, params, onRow);
    } catch (const EReportError&) {
        throw;
    } catch (const std::exception& e) {
        throw EReportError("Erro ao consultar o banco de dados: " + std::string(e.what()));
    }
}

}  // namespace report
