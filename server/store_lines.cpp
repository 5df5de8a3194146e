// Entry lines as cdsLancCont records, and the packet layouts of the store.
#include "server/store_lines.h"

#include "server/store.h"
#include "server/store_internal.h"

#include <soci/sqlite3/soci-sqlite3.h>

#include <memory>

namespace ctbstore {

namespace {

const char* const kLineSelect =
    "SELECT L.CDFILLANC, L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDHISTPADR, L.CDCONTCTBL,"
    " L.DTLANCCONT, L.CDDOCUCONT, L.IDTIPOLANC, L.DSHISTLANC, L.VRLANCAMENT, L.IDLANCCOME,"
    " L.IDLANCSALDO, L.IDLANCINTE, L.IDLANCMANI, C.NMCONTCTBL, C.CDCONTREDU, L.CDCONTCOME,"
    " C.IDCONTCCUS, C.IDTIPOCOME, L.CDOPERINS, L.DTULTATULAN, L.IDSALDLANCO, L.IDSALDLANGE,"
    " L.IDSISTEMA"
    " FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL";

int Digits(std::string_view t, std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (t[i] < '0' || t[i] > '9') return -1;
        v = v * 10 + (t[i] - '0');
    }
    return v;
}

// 'YYYY-MM-DD' as stored, the common case, without copying the text; any
// other form goes through SqlToDate.
bool DateOf(std::string_view t, TDateTime& out) {
    if (t.size() == 10 && t[4] == '-' && t[7] == '-') {
        const int y = Digits(t, 0, 4), m = Digits(t, 5, 2), d = Digits(t, 8, 2);
        return y >= 0 && m >= 0 && d >= 0 && EncodeDate(y, m, d, out);
    }
    return SqlToDate(std::string(t), out);
}

bool IsDateColumn(int c) { return c == TLineRecord::DTLANCCONT || c == TLineRecord::DTULTATULAN; }

namespace sq = ::sqlite_api;

sq::sqlite3* NativeSqlite(soci::session& sql) {
    if (sql.get_backend_name() != "sqlite3" || !sql.get_backend()) return nullptr;
    return static_cast<soci::sqlite3_session_backend*>(sql.get_backend())->conn_;
}

[[noreturn]] void SqliteFailed(sq::sqlite3* db) {
    throw soci::soci_error(std::string("sqlite3: ") + sq::sqlite3_errmsg(db));
}

void ScanSqlite(sq::sqlite3* db, const std::string& text, const std::vector<TLineParam>& params,
                const std::function<void(const TLineView&)>& onRow) {
    sq::sqlite3_stmt* raw = nullptr;
    if (sq::sqlite3_prepare_v2(db, text.c_str(), static_cast<int>(text.size()), &raw, nullptr) != SQLITE_OK)
        SqliteFailed(db);
    std::unique_ptr<sq::sqlite3_stmt, int (*)(sq::sqlite3_stmt*)> st(raw, sq::sqlite3_finalize);
    for (const TLineParam& p : params) {
        const int at = sq::sqlite3_bind_parameter_index(raw, (":" + p.Name).c_str());
        if (at > 0 && sq::sqlite3_bind_text(raw, at, p.Value.data(), static_cast<int>(p.Value.size()), SQLITE_STATIC) !=
                          SQLITE_OK)
            SqliteFailed(db);
    }
    TLineView line;
    int rc;
    while ((rc = sq::sqlite3_step(raw)) == SQLITE_ROW) {
        for (int c = 0; c < TLineRecord::kColumns; ++c) {
            line.Null[c] = sq::sqlite3_column_type(raw, c) == SQLITE_NULL;
            if (line.Null[c]) {
                line.Text[c] = {};
            } else if (c == TLineRecord::VRLANCAMENT) {
                line.Cents = sq::sqlite3_column_int64(raw, c);
            } else {
                const auto* t = reinterpret_cast<const char*>(sq::sqlite3_column_text(raw, c));
                line.Text[c] = std::string_view(t, static_cast<std::size_t>(sq::sqlite3_column_bytes(raw, c)));
            }
        }
        onRow(line);
    }
    if (rc != SQLITE_DONE) SqliteFailed(db);
}

std::string LineQuery(const std::string& where) {
    return std::string(kLineSelect) + " WHERE " + where + " ORDER BY L.NRLANCCONT, L.NRSEQLANC";
}

}  // namespace

TLineView ViewOf(const TLineRecord& r) {
    TLineView v;
    for (int c = 0; c < TLineRecord::kColumns; ++c) {
        v.Null[c] = r.Ind[c] != soci::i_ok;
        v.Text[c] = r.Text[c];
    }
    v.Cents = r.Cents;
    return v;
}

void AppendLineCells(std::string& out, const TLineView& line) {
    for (int c = 0; c < TLineRecord::kColumns; ++c) {
        TDateTime d = 0;
        if (line.Null[c]) packetcell::AppendNull(out);
        else if (c == TLineRecord::VRLANCAMENT) packetcell::AppendFloat(out, CentsToAmount(line.Cents));
        else if (!IsDateColumn(c)) packetcell::AppendText(out, line.Text[c]);
        else if (DateOf(line.Text[c], d)) packetcell::AppendFloat(out, d);
        else packetcell::AppendNull(out);
    }
}

TPacketRow LineRow(const TLineView& line) {
    TPacketRow row(TLineRecord::kColumns);
    for (int c = 0; c < TLineRecord::kColumns; ++c) {
        TDateTime d = 0;
        if (line.Null[c]) continue;
        if (c == TLineRecord::VRLANCAMENT) row[c] = Variant(CentsToAmount(line.Cents));
        else if (!IsDateColumn(c)) row[c] = Variant(std::string(line.Text[c]));
        else if (DateOf(line.Text[c], d)) row[c] = Variant(d);
    }
    return row;
}

TPacketRow TLineRecord::ToRow() const { return LineRow(ViewOf(*this)); }

void ScanLines(soci::session& sql, const std::string& where, const std::vector<TLineParam>& params,
               const std::function<void(const TLineView&)>& onRow) {
    if (sq::sqlite3* db = NativeSqlite(sql)) return ScanSqlite(db, LineQuery(where), params, onRow);
    ReadLines(sql, where, params, [&](const TLineRecord& r) { onRow(ViewOf(r)); });
}

void ReadLines(soci::session& sql, const std::string& where, const std::vector<TLineParam>& params,
               const std::function<void(const TLineRecord&)>& onRow) {
    TLineRecord rec;
    soci::statement st(sql);
    for (int c = 0; c < TLineRecord::kColumns; ++c) {
        if (c == TLineRecord::VRLANCAMENT) st.exchange(soci::into(rec.Cents, rec.Ind[c]));
        else st.exchange(soci::into(rec.Text[c], rec.Ind[c]));
    }
    for (const TLineParam& p : params) st.exchange(soci::use(p.Value, p.Name));
    st.alloc();
    st.prepare(LineQuery(where));
    st.define_and_bind();
    st.execute();
    while (st.fetch()) {
        for (int c = 0; c < TLineRecord::kColumns; ++c)
            if (rec.Ind[c] != soci::i_ok) rec.Text[c].clear();
        onRow(rec);
    }
}

void ReadEntryLines(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                    const std::function<void(const TLineRecord&)>& onRow) {
    ReadLines(sql, "L.CDEMPRESA = :emp AND L.NRLANCCONT = :nr", {{"emp", empresa}, {"nr", nrLanc}}, onRow);
}

}  // namespace ctbstore

std::vector<TPacketField> LancContFields() {
    using F = TFieldType;
    return {
        {"CDFILLANC", F::ftString, 4},     {"CDEMPRESA", F::ftString, 2},   {"NRLANCCONT", F::ftString, 12},
        {"NRSEQLANC", F::ftString, 5},     {"CDHISTPADR", F::ftString, 4},  {"CDCONTCTBL", F::ftString, 20},
        {"DTLANCCONT", F::ftDateTime, 0},  {"CDDOCUCONT", F::ftString, 20}, {"IDTIPOLANC", F::ftString, 1},
        {"DSHISTLANC", F::ftString, 600},  {"VRLANCAMENT", F::ftFloat, 0},  {"IDLANCCOME", F::ftString, 1},
        {"IDLANCSALDO", F::ftString, 1},   {"IDLANCINTE", F::ftString, 1},  {"IDLANCMANI", F::ftString, 1},
        {"NMCONTCTBL", F::ftString, 40},   {"CDCONTREDU", F::ftString, 20}, {"CDCONTCOME", F::ftString, 21},
        {"IDCONTCCUS", F::ftString, 1},    {"IDTIPOCOME", F::ftString, 1},  {"CDOPERINS", F::ftString, 12},
        {"DTULTATULAN", F::ftDateTime, 0}, {"IDSALDLANCO", F::ftString, 1}, {"IDSALDLANGE", F::ftString, 1},
        {"IDSISTEMA", F::ftString, 3},
    };
}

std::vector<TPacketField> LancCCustoFields() {
    using F = TFieldType;
    return {
        {"CDEMPRESA", F::ftString, 2},   {"NRLANCCONT", F::ftString, 12}, {"NRSEQLANC", F::ftString, 5},
        {"CDFILIAL", F::ftString, 4},    {"CDCENTCUST", F::ftString, 4},  {"VRLANCCUST", F::ftFloat, 0},
        {"NMCENTCUST", F::ftString, 40}, {"NMFILIAL", F::ftString, 30},   {"DTCOMPCUSTO", F::ftDateTime, 0},
    };
}

std::vector<TPacketField> MapaApuracFields() {
    using F = TFieldType;
    return {{"MES", F::ftString, 9}, {"ANO", F::ftString, 4}, {"IMPOSTO", F::ftString, 6}};
}
