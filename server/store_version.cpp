// The data version behind the entry list: a number the database itself moves
// on every change to lines, apportionment or accounts (triggers, so every
// writer counts, whatever server or tool it is), with an origin drawn when
// the database got its version table. A module that holds a year of lines
// asks for it before loading again: the same version means the same data.
// The counter moves inside the writer's own transaction, so a reader never
// sees a version ahead of the data it names (a sequence would: it moves
// before the commit). On PostgreSQL the counter row is a queue for every
// writer, so the store's own writes only mark the transaction and move the
// counter once, just before their commit (MarkVersionedWrite, MoveVersion);
// the triggers move it at once for any other writer.
// Databases without the triggers answer "" (always load).
#include "server/store_impl.h"

namespace ctbstore {

namespace {

const char* const kTables[] = {"LANCCONT", "LANCCCUSTO", "CONTCTBL"};
const char* const kEvents[][2] = {{"I", "INSERT"}, {"U", "UPDATE"}, {"D", "DELETE"}};

void ApplySQLiteVersion(soci::session& sql) {
    sql << "CREATE TABLE IF NOT EXISTS VERSAODADOS (ID INTEGER PRIMARY KEY CHECK (ID = 1),"
           " CDORIGEM VARCHAR(16) NOT NULL, NRVERSAO INTEGER NOT NULL)";
    sql << "INSERT OR IGNORE INTO VERSAODADOS (ID, CDORIGEM, NRVERSAO)"
           " VALUES (1, lower(hex(randomblob(8))), 0)";
    for (const char* table : kTables)
        for (const auto& event : kEvents)
            sql << "CREATE TRIGGER IF NOT EXISTS VERSAO_" + std::string(table) + "_" + event[0] + " AFTER " + event[1] +
                       " ON " + table + " BEGIN UPDATE VERSAODADOS SET NRVERSAO = NRVERSAO + 1 WHERE ID = 1; END";
}

void ApplyPostgreSQLVersion(soci::session& sql) {
    // Servers starting together would race on the same definitions: the
    // schema's own lock. Replacing a trigger locks its table against writers,
    // so a database that has them all is left alone.
    sql << "SELECT pg_advisory_xact_lock(1114000001)";
    sql << "CREATE OR REPLACE FUNCTION VERSAO_AVANCA() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN"
           " IF current_setting('ctb.versao_no_fim', true) = 'on' THEN"
           " PERFORM set_config('ctb.versao_mudou', 'on', true);"
           " ELSE UPDATE VERSAODADOS SET NRVERSAO = NRVERSAO + 1 WHERE ID = 1; END IF;"
           " RETURN NULL; END $f$";
    int present = 0;
    sql << "SELECT count(*) FROM pg_trigger WHERE tgname IN ('versao_lanccont', 'versao_lancccusto', "
           "'versao_contctbl')",
        soci::into(present);
    if (present == 3) return;
    sql << "CREATE TABLE IF NOT EXISTS VERSAODADOS (ID INTEGER PRIMARY KEY CHECK (ID = 1),"
           " CDORIGEM VARCHAR(16) NOT NULL, NRVERSAO BIGINT NOT NULL)";
    sql << "INSERT INTO VERSAODADOS (ID, CDORIGEM, NRVERSAO)"
           " VALUES (1, substr(md5(random()::text || clock_timestamp()::text), 1, 16), 0)"
           " ON CONFLICT (ID) DO NOTHING";
    for (const char* table : kTables)
        sql << "CREATE OR REPLACE TRIGGER VERSAO_" + std::string(table) + " AFTER INSERT OR UPDATE OR DELETE ON " +
                   table + " FOR EACH STATEMENT EXECUTE FUNCTION VERSAO_AVANCA()";
}

}  // namespace

void ApplyVersionTriggers(soci::session& sql, TDialect dialect) {
    TTransaction tx(sql, dialect, true);
    if (dialect == TDialect::SQLite) ApplySQLiteVersion(sql);
    else ApplyPostgreSQLVersion(sql);
    tx.Commit();
}

void MarkVersionedWrite(soci::session& sql, TDialect dialect) {
    if (dialect == TDialect::PostgreSQL) sql << "SELECT set_config('ctb.versao_no_fim', 'on', true)";
}

void MoveVersion(soci::session& sql, TDialect dialect) {
    if (dialect == TDialect::PostgreSQL)
        sql << "UPDATE VERSAODADOS SET NRVERSAO = NRVERSAO + 1"
               " WHERE ID = 1 AND current_setting('ctb.versao_mudou', true) = 'on'";
}

}  // namespace ctbstore

std::string TEntryStore::GetVersaoLancCont(const std::string& /*empresa*/) {
    return impl_->Run(false, [&](soci::session& sql) {
        std::string origem;
        long long versao = 0;
        soci::indicator ind = soci::i_null;
        sql << "SELECT CDORIGEM, NRVERSAO FROM VERSAODADOS WHERE ID = 1", soci::into(origem, ind), soci::into(versao);
        return ind == soci::i_ok ? origem + "." + std::to_string(versao) : std::string();
    });
}
