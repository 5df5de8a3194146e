// The apportionment rules of a save: what the entry screen refuses, the
// store refuses too, so no client can store a broken apportionment. Shares
// of each line are checked where they are read (store_save.cpp: not zero, no
// repeated pair, adding up to the line); here the references and the rule of
// each line's account.
#include "server/store_impl.h"
#include "server/store_rows.h"

#include <map>
#include <set>

using namespace ctbstore;

namespace {

std::string Flag(soci::session& sql, const std::string& query, const std::string& key)
{
    std::string value;
    soci::indicator ind = soci::i_null;
    sql << query, soci::use(key), soci::into(value, ind);
    return sql.got_data() && ind == soci::i_ok ? Trim(value) : std::string();
}

int Count(soci::session& sql, const std::string& query, const std::string& a, const std::string& b)
{
    int n = 0;
    sql << query, soci::use(a), soci::use(b), soci::into(n);
    return n;
}

}  // namespace

namespace ctbstore {

void CheckApportionment(soci::session& sql, const std::string& empresa, const std::vector<TStoredLine>& lines,
                        const std::vector<TStoredRateio>& rateio)
{
    std::set<std::string> filiaisDaEmpresa, paresValidos;
    for (const TStoredRateio& a : rateio) {
        const std::string where = "Partida " + a.NrSeq + ": ";
        if (!filiaisDaEmpresa.count(a.Filial)) {
            if (Count(sql, "SELECT COUNT(*) FROM EMPRFILIAL WHERE CDEMPRESA = :e AND CDFILIAL = :f", empresa,
                      a.Filial) == 0)
                Refuse("validacao", where + "Filial " + a.Filial +
                                        " não está relacionada à empresa do lançamento contábil.");
            filiaisDaEmpresa.insert(a.Filial);
        }
        const std::string par = a.Filial + "/" + a.CentCust;
        if (!paresValidos.count(par)) {
            if (Count(sql, "SELECT COUNT(*) FROM CENTCUSTFIL WHERE CDCENTCUST = :c AND CDFILIAL = :f", a.CentCust,
                      a.Filial) == 0)
                Refuse("validacao", where + "Centro de custo " + a.CentCust +
                                        " não cadastrado para a filial " + a.Filial + ".");
            paresValidos.insert(par);
        }
    }

    std::map<std::string, int> partes;
    for (const TStoredRateio& a : rateio) ++partes[a.NrSeq];
    const bool gerencial =
        Flag(sql, "SELECT IDCONTGERE FROM CONTOPECTBL WHERE CDEMPRESA = :e", empresa) == "S";
    for (const TStoredLine& l : lines) {
        const std::string kind = Flag(sql, "SELECT IDCONTCCUS FROM CONTCTBL WHERE CDCONTCTBL = :c", l.ContCtbl);
        const char first = kind.empty() ? ' ' : kind[0];
        const std::string where = "Partida " + l.NrSeq + ": ";
        if (gerencial && (first == 'G' || first == 'R') && partes[l.NrSeq] == 0)
            Refuse("validacao", where + "Rateio deve ser informado para contas gerenciais.");
        if (first == 'O' && partes[l.NrSeq] > 0)
            Refuse("validacao", where + "a conta " + l.ContCtbl + " não aceita rateio por centro de custo.");
    }
}

}  // namespace ctbstore
