// TEntryStore's private state and the one-transaction wrapper that every
// remote method runs in.
#pragma once

#include "server/store.h"
#include "server/store_change.h"
#include "server/store_internal.h"

#include <type_traits>
#include <utility>

namespace ctbstore {
// The store's own write transactions move the data version once, at their
// end, when they changed lines, apportionment or accounts (store_version.cpp).
void MarkVersionedWrite(soci::session& sql, TDialect dialect);
void MoveVersion(soci::session& sql, TDialect dialect);
}  // namespace ctbstore

struct TEntryStore::Impl {
    explicit Impl(const std::string& dbUrl) : Pool(ctbstore::ParseDbUrl(dbUrl)) {}

    ctbstore::TSessionPool Pool;
    ctbstore::TSessionViews Views;  // what each client session saw of each entry

    ctbstore::TDialect Dialect() const { return Pool.Target().Dialect; }

    // Runs f(session) inside one transaction on a pooled session: committed
    // (with the data version moved, when it wrote) when f returns, rolled
    // back when it throws. Database failures become
    // ERpcError "banco"; the session that failed is not reused.
    template <class F> auto Run(bool write, F&& f) -> std::invoke_result_t<F, soci::session&> {
        using R = std::invoke_result_t<F, soci::session&>;
        auto lease = Pool.Acquire();
        try {
            ctbstore::TTransaction tx(*lease, Dialect(), write);
            if (write) ctbstore::MarkVersionedWrite(*lease, Dialect());
            auto commit = [&] {
                if (write) ctbstore::MoveVersion(*lease, Dialect());
                tx.Commit();
            };
            if constexpr (std::is_void_v<R>) {
                std::forward<F>(f)(*lease);
                commit();
            } else {
                R result = std::forward<F>(f)(*lease);
                commit();
                return result;
            }
        } catch (const ERpcError&) {
            throw;
        } catch (const soci::soci_error& e) {
            lease.MarkBroken();
            throw ctbstore::DatabaseError(e, write ? "gravar no banco de dados" : "ler o banco de dados");
        }
    }
};

namespace ctbstore {

// Guards shared by the save and the delete (store_guard.cpp). Each throws
// ERpcError when the entry may not change.
struct TCompanyPeriods {
    std::string IniCont, FimCont, IniLanc, FimLanc;  // 'YYYY-MM-DD'; "" when unset
};
// Throws "validacao" EMP_N for an unknown company; a company without
// parameters gets empty periods, which refuse every date.
TCompanyPeriods LoadPeriods(soci::session& sql, const std::string& empresa);
// PERIODO_FORA / DATALANC_FORA when the date lies outside either period.
void CheckPeriod(const TCompanyPeriods& p, const std::string& date, const std::string& where);
// LANC_LOTE when the entry belongs to a batch or a closing, MAPA_APUR when a
// tax map uses it.
void CheckNotProtected(soci::session& sql, const std::string& empresa, const std::string& nrLanc);

struct TStoredLine;
struct TStoredRateio;
// The entry rules on what a save carries (store_rules.cpp), in the order the
// entry screen checks them: every line, its apportionment, the balance.
// Throws "validacao" (or "periodo") with the rule's text naming the line.
void CheckEntryRules(soci::session& sql, const std::string& empresa, const std::vector<TStoredLine>& lines,
                     const std::vector<TStoredRateio>& rateio);

// The triggers and table behind GetVersaoLancCont.
void ApplyVersionTriggers(soci::session& sql, TDialect dialect);

std::string LoteDoLancamento(soci::session& sql, const std::string& empresa, const std::string& nrLanc, bool& found);
TDataPacket MapasDoLancamento(soci::session& sql, const std::string& empresa, const std::string& nrLanc);

}  // namespace ctbstore
