// Entry lines as cdsLancCont records, and the packet layouts of the store.
#include "server/store_lines.h"

#include "server/store.h"
#include "server/store_internal.h"

namespace ctbstore {

namespace {

const char* const kLineSelect =
    "SELECT L.CDFILLANC, L.CDEMPRESA, L.NRLANCCONT, L.NRSEQLANC, L.CDHISTPADR, L.CDCONTCTBL,"
    " L.DTLANCCONT, L.CDDOCUCONT, L.IDTIPOLANC, L.DSHISTLANC, L.VRLANCAMENT, L.IDLANCCOME,"
    " L.IDLANCSALDO, L.IDLANCINTE, L.IDLANCMANI, C.NMCONTCTBL, C.CDCONTREDU, L.CDCONTCOME,"
    " C.IDCONTCCUS, C.IDTIPOCOME, L.CDOPERINS, L.DTULTATULAN, L.IDSALDLANCO, L.IDSALDLANGE,"
    " L.IDSISTEMA"
    " FROM LANCCONT L LEFT JOIN CONTCTBL C ON C.CDCONTCTBL = L.CDCONTCTBL";

Variant DateCell(const std::string& text, soci::indicator ind)
{
    TDateTime d = 0;
    if (ind != soci::i_ok || !SqlToDate(text, d)) return Variant();
    return Variant(d);
}

}  // namespace

TPacketRow TLineRecord::ToRow() const
{
    TPacketRow row(kColumns);
    for (int c = 0; c < kColumns; ++c) {
        if (c == VRLANCAMENT)
            row[c] = Ind[c] == soci::i_ok ? Variant(CentsToAmount(Cents)) : Variant();
        else if (c == DTLANCCONT || c == DTULTATULAN)
            row[c] = DateCell(Text[c], Ind[c]);
        else
            row[c] = Ind[c] == soci::i_ok ? Variant(Text[c]) : Variant();
    }
    return row;
}

void ReadLines(soci::session& sql, const std::string& where,
               const std::vector<TLineParam>& params,
               const std::function<void(const TLineRecord&)>& onRow)
{
    TLineRecord rec;
    soci::statement st(sql);
    for (int c = 0; c < TLineRecord::kColumns; ++c) {
        if (c == TLineRecord::VRLANCAMENT)
            st.exchange(soci::into(rec.Cents, rec.Ind[c]));
        else
            st.exchange(soci::into(rec.Text[c], rec.Ind[c]));
    }
    for (const TLineParam& p : params) st.exchange(soci::use(p.Value, p.Name));
    st.alloc();
    st.prepare(std::string(kLineSelect) + " WHERE " + where +
               " ORDER BY L.NRLANCCONT, L.NRSEQLANC");
    st.define_and_bind();
    st.execute();
    while (st.fetch()) {
        for (int c = 0; c < TLineRecord::kColumns; ++c)
            if (rec.Ind[c] != soci::i_ok) rec.Text[c].clear();
        onRow(rec);
    }
}

void ReadEntryLines(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                    const std::function<void(const TLineRecord&)>& onRow)
{
    ReadLines(sql, "L.CDEMPRESA = :emp AND L.NRLANCCONT = :nr",
              {{"emp", empresa}, {"nr", nrLanc}}, onRow);
}

}  // namespace ctbstore

std::vector<TPacketField> LancContFields()
{
    using F = TFieldType;
    return {
        {"CDFILLANC", F::ftString, 4},    {"CDEMPRESA", F::ftString, 2},
        {"NRLANCCONT", F::ftString, 12},  {"NRSEQLANC", F::ftString, 5},
        {"CDHISTPADR", F::ftString, 4},   {"CDCONTCTBL", F::ftString, 20},
        {"DTLANCCONT", F::ftDateTime, 0}, {"CDDOCUCONT", F::ftString, 20},
        {"IDTIPOLANC", F::ftString, 1},   {"DSHISTLANC", F::ftString, 600},
        {"VRLANCAMENT", F::ftFloat, 0},   {"IDLANCCOME", F::ftString, 1},
        {"IDLANCSALDO", F::ftString, 1},  {"IDLANCINTE", F::ftString, 1},
        {"IDLANCMANI", F::ftString, 1},   {"NMCONTCTBL", F::ftString, 40},
        {"CDCONTREDU", F::ftString, 20},  {"CDCONTCOME", F::ftString, 21},
        {"IDCONTCCUS", F::ftString, 1},   {"IDTIPOCOME", F::ftString, 1},
        {"CDOPERINS", F::ftString, 12},   {"DTULTATULAN", F::ftDateTime, 0},
        {"IDSALDLANCO", F::ftString, 1},  {"IDSALDLANGE", F::ftString, 1},
        {"IDSISTEMA", F::ftString, 3},
    };
}

std::vector<TPacketField> LancCCustoFields()
{
    using F = TFieldType;
    return {
        {"CDEMPRESA", F::ftString, 2},  {"NRLANCCONT", F::ftString, 12},
        {"NRSEQLANC", F::ftString, 5},  {"CDFILIAL", F::ftString, 4},
        {"CDCENTCUST", F::ftString, 4}, {"VRLANCCUST", F::ftFloat, 0},
        {"NMCENTCUST", F::ftString, 40}, {"NMFILIAL", F::ftString, 30},
        {"DTCOMPCUSTO", F::ftDateTime, 0},
    };
}

std::vector<TPacketField> MapaApuracFields()
{
    using F = TFieldType;
    return {{"MES", F::ftString, 9}, {"ANO", F::ftString, 4}, {"IMPOSTO", F::ftString, 6}};
}
