// The guards that keep an entry from changing: company periods, batch and
// closing entries (maintained by the batch screens), tax-map entries.
#include "ledger/rules.h"
#include "server/store_impl.h"

namespace ctbstore {

using soci::into;
using soci::use;

TCompanyPeriods LoadPeriods(soci::session& sql, const std::string& empresa) {
    int companies = 0;
    sql << "SELECT COUNT(*) FROM EMPRESA WHERE CDEMPRESA = :e", use(empresa), into(companies);
    if (companies == 0) Refuse(TErrorKind::Validacao, "Empresa não cadastrada.");

    TCompanyPeriods p;
    soci::indicator i1, i2, i3, i4;
    sql << "SELECT DTINICCONT, DTFINACONT, DTINICLANC, DTFINALANC FROM CONTOPECTBL"
           " WHERE CDEMPRESA = :e",
        use(empresa), into(p.IniCont, i1), into(p.FimCont, i2), into(p.IniLanc, i3), into(p.FimLanc, i4);
    if (!sql.got_data()) return TCompanyPeriods{};
    // Only the date part counts, whatever the backend's text of a DATE.
    for (auto [value, ind] :
         {std::pair{&p.IniCont, i1}, std::pair{&p.FimCont, i2}, std::pair{&p.IniLanc, i3}, std::pair{&p.FimLanc, i4}})
        *value = ind == soci::i_ok ? Trim(*value).substr(0, 10) : "";
    return p;
}

void CheckPeriod(const TCompanyPeriods& p, const std::string& date, const std::string& where) {
    // An unset bound refuses: a company without parameters has no open period.
    if (p.IniCont.empty() || p.FimCont.empty() || date < p.IniCont || date > p.FimCont)
        Refuse(TErrorKind::Periodo, where + ledger::MessageText({"PERIODO_FORA", "", ""}));
    if (p.IniLanc.empty() || p.FimLanc.empty() || date < p.IniLanc || date > p.FimLanc)
        Refuse(TErrorKind::Periodo, where + ledger::MessageText({"DATALANC_FORA", "", ""}));
}

std::string LoteDoLancamento(soci::session& sql, const std::string& empresa, const std::string& nrLanc, bool& found) {
    std::string lote;
    soci::indicator ind = soci::i_null;
    sql << "SELECT CDLOTE FROM LANCCONTLOTE WHERE CDEMPRESA = :e AND NRLANCCONT = :n", use(empresa), use(nrLanc),
        into(lote, ind);
    found = sql.got_data();
    return found && ind == soci::i_ok ? Trim(lote) : "";
}

TDataPacket MapasDoLancamento(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    TDataPacket packet(MapaApuracFields());
    std::string mes, ano, imposto;
    soci::statement st = (sql.prepare << "SELECT MES, ANO, IMPOSTO FROM LANCCONTMAPA"
                                         " WHERE CDEMPRESA = :e AND NRLANCCONT = :n"
                                         " ORDER BY ANO, MES, IMPOSTO",
                          use(empresa), use(nrLanc), into(mes), into(ano), into(imposto));
    st.execute();
    while (st.fetch()) packet.AppendRow({Variant(mes), Variant(ano), Variant(imposto)});
    return packet;
}

void CheckNotProtected(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    bool inBatch = false;
    std::string lote = LoteDoLancamento(sql, empresa, nrLanc, inBatch);
    if (!inBatch) {
        // A batch or closing line keeps its origin even when its link row
        // is missing; such an entry is still the batch screens' to change.
        int closings = 0;
        sql << "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :e AND NRLANCCONT = :n"
               " AND IDLANCINTE IN ('F', 'L', 'S')",
            use(empresa), use(nrLanc), into(closings);
        inBatch = closings > 0;
    }
    if (inBatch) Refuse(TErrorKind::Lote, ledger::MessageText({"LANC_LOTE", "", lote}));
    TDataPacket mapas = MapasDoLancamento(sql, empresa, nrLanc);
    if (mapas.RecordCount() > 0)
        Refuse(TErrorKind::Mapa,
               ledger::MessageText(ledger::MapRefusal(mapas.Value(0, 0).AsString(), mapas.Value(0, 1).AsString(),
                                                      mapas.Value(0, 2).AsString())));
}

}  // namespace ctbstore
