// The read-only methods on one entry: its lines, its apportionment, its
// batch and its tax maps; and the branch-company relation.
#include "server/rpc_session.h"
#include "server/store_impl.h"
#include "server/store_lines.h"

using namespace ctbstore;

namespace {

// The caller's session now holds the entry as it stands: what a later delete
// of it from that session is checked against (store_change.h).
void NoteSeen(TEntryStore::Impl& impl, soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    const std::string& session = CurrentRpcCaller().Session;
    if (session.empty()) return;
    impl.Views.Saw(session, empresa + "/" + nrLanc, ReadLastChange(sql, empresa, nrLanc).Ms);
}

}  // namespace

TDataPacket TEntryStore::GetLancContFiltrado(const std::string& empresa, const std::string& nrLanc) {
    return impl_->Run(false, [&](soci::session& sql) {
        TDataPacket out(LancContFields());
        std::string emp = Trim(empresa), nr = Trim(nrLanc);
        ReadEntryLines(sql, emp, nr, [&](const TLineRecord& r) { out.AppendRow(r.ToRow()); });
        NoteSeen(*impl_, sql, emp, nr);
        return out;
    });
}

TDataPacket TEntryStore::GetLancCCusto(const std::string& empresa, const std::string& nrLanc) {
    return impl_->Run(false, [&](soci::session& sql) {
        TDataPacket out(LancCCustoFields());
        std::string emp = Trim(empresa), nr = Trim(nrLanc);
        NoteSeen(*impl_, sql, emp, nr);
        std::string cdEmp, cdNr, seq, filial, cc, nmCc, nmFil, dtComp;
        long long cents = 0;
        soci::indicator iNmCc, iNmFil, iDt;
        soci::statement st = (sql.prepare << "SELECT R.CDEMPRESA, R.NRLANCCONT, R.NRSEQLANC, R.CDFILIAL,"
                                             " R.CDCENTCUST, R.VRLANCCUST, CC.NMCENTCUST, F.NMFILIAL, R.DTCOMPCUSTO"
                                             " FROM LANCCCUSTO R"
                                             " LEFT JOIN CENTCUST CC ON CC.CDCENTCUST = R.CDCENTCUST"
                                             " LEFT JOIN FILIAL F ON F.CDFILIAL = R.CDFILIAL"
                                             " WHERE R.CDEMPRESA = :emp AND R.NRLANCCONT = :nr"
                                             " ORDER BY R.NRSEQLANC, R.CDFILIAL, R.CDCENTCUST",
                              soci::use(emp, "emp"), soci::use(nr, "nr"), soci::into(cdEmp), soci::into(cdNr),
                              soci::into(seq), soci::into(filial), soci::into(cc), soci::into(cents),
                              soci::into(nmCc, iNmCc), soci::into(nmFil, iNmFil), soci::into(dtComp, iDt));
        st.execute();
        while (st.fetch()) {
            TDateTime comp = 0;
            bool hasDate = iDt == soci::i_ok && SqlToDate(dtComp, comp);
            out.AppendRow({Variant(cdEmp), Variant(cdNr), Variant(seq), Variant(filial), Variant(cc),
                           Variant(CentsToAmount(cents)), iNmCc == soci::i_ok ? Variant(nmCc) : Variant(),
                           iNmFil == soci::i_ok ? Variant(nmFil) : Variant(), hasDate ? Variant(comp) : Variant()});
        }
        return out;
    });
}

bool TEntryStore::getEmprRelac(const std::string& empresa, const std::string& filial) {
    return impl_->Run(false, [&](soci::session& sql) {
        std::string emp = Trim(empresa), fil = Trim(filial);
        int n = 0;
        sql << "SELECT COUNT(*) FROM EMPRFILIAL WHERE CDEMPRESA = :e AND CDFILIAL = :f", soci::use(emp), soci::use(fil),
            soci::into(n);
        return n > 0;
    });
}

std::string TEntryStore::getCdLote(const std::string& empresa, const std::string& nrLanc) {
    return impl_->Run(false, [&](soci::session& sql) {
        bool found = false;
        return LoteDoLancamento(sql, Trim(empresa), Trim(nrLanc), found);
    });
}

TRpcValue TEntryStore::ValidaMapa(const std::string& empresa, std::string& nrLanc) {
    TDataPacket mapas =
        impl_->Run(false, [&](soci::session& sql) { return MapasDoLancamento(sql, Trim(empresa), Trim(nrLanc)); });
    std::string status = mapas.RecordCount() > 0 ? "ERRO" : "OK";
    return TRpcValue(TRpcValue::Array{TRpcValue(status), TRpcValue(mapas)});
}
