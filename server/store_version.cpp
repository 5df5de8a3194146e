// The data version behind the entry list: a number the database itself moves
// on every change to lines, apportionment or accounts (triggers, so every
// writer counts, whatever server or tool it is), with an origin drawn when
// the database got its version table. A module that holds a year of lines
// asks for it before loading again: the same version means the same data.
// Databases without the triggers answer "" (always load).
#include "server/store_impl.h"

namespace ctbstore {

namespace {

const char* const kTables[] = {"LANCCONT", "LANCCCUSTO", "CONTCTBL"};
const char* const kEvents[][2] = {{"I", "INSERT"}, {"U", "UPDATE"}, {"D", "DELETE"}};

}  // namespace

void ApplyVersionTriggers(soci::session& sql, TDialect dialect)
{
    if (dialect != TDialect::SQLite) return;
    TTransaction tx(sql, dialect, true);
    sql << "CREATE TABLE IF NOT EXISTS VERSAODADOS (ID INTEGER PRIMARY KEY CHECK (ID = 1),"
           " CDORIGEM VARCHAR(16) NOT NULL, NRVERSAO INTEGER NOT NULL)";
    sql << "INSERT OR IGNORE INTO VERSAODADOS (ID, CDORIGEM, NRVERSAO)"
           " VALUES (1, lower(hex(randomblob(8))), 0)";
    for (const char* table : kTables)
        for (const auto& event : kEvents)
            sql << "CREATE TRIGGER IF NOT EXISTS VERSAO_" + std::string(table) + "_" + event[0] + " AFTER " +
                       event[1] + " ON " + table +
                       " BEGIN UPDATE VERSAODADOS SET NRVERSAO = NRVERSAO + 1 WHERE ID = 1; END";
    tx.Commit();
}

}  // namespace ctbstore

std::string TEntryStore::GetVersaoLancCont(const std::string& /*empresa*/)
{
    if (impl_->Dialect() != ctbstore::TDialect::SQLite) return "";
    return impl_->Run(false, [&](soci::session& sql) {
        std::string origem;
        long long versao = 0;
        soci::indicator ind = soci::i_null;
        sql << "SELECT CDORIGEM, NRVERSAO FROM VERSAODADOS WHERE ID = 1", soci::into(origem, ind),
            soci::into(versao);
        return ind == soci::i_ok ? origem + "." + std::to_string(versao) : std::string();
    });
}
