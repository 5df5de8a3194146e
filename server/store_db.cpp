// Database targets, sessions, the schema script and the transaction guard.
#include "server/store_internal.h"

#include "platform/db/dbgeral.h"

#include <soci/sqlite3/soci-sqlite3.h>

#include <iostream>

namespace ctbstore {

// server/schema.sql, compiled into the library (cmake/EmbedText.cmake), so the
// programs need no file of the source tree at run time.
extern const char kSchemaSql[];

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// SOCI's SQLite connect string takes key=value pairs separated by blanks; a
// path with blanks or quotes is given quoted, with inner quotes doubled.
std::string SqliteConnectFor(const std::string& path) {
    bool plain = path.find_first_of(" \t\"'") == std::string::npos;
    std::string value = path;
    if (!plain) {
        value = "\"";
        for (char c : path) {
            if (c == '"') value += '"';
            value += c;
        }
        value += '"';
    }
    return "db=" + value + " timeout=15";
}

TDbTarget SqliteTarget(const std::string& rest) {
    TDbTarget t;
    t.Dialect = TDialect::SQLite;
    t.Backend = "sqlite3";
    if (StartsWith(rest, "db=")) {
        t.Connect = rest;
        std::string path = rest.substr(3);
        t.Display = path.substr(0, path.find(' '));
    } else {
        t.Connect = SqliteConnectFor(rest);
        t.Display = rest;
    }
    if (Trim(t.Display).empty()) Refuse(TErrorKind::Banco, "Arquivo do banco de dados não informado.");
    return t;
}

TDbTarget PostgresTarget(const std::string& target) {
#ifdef CTB_HAVE_POSTGRESQL
    TDbTarget t;
    t.Dialect = TDialect::PostgreSQL;
    t.Backend = "postgresql";
    try {
        t.Connect = PgConnectString(target);
    } catch (const EDatabaseError& e) {
        Refuse(TErrorKind::Banco, e.what());
    }
    if (t.Connect.empty()) Refuse(TErrorKind::Banco, "Banco de dados PostgreSQL não informado.");
    t.Display = "PostgreSQL (" + PgDisplayName(t.Connect) + ")";
    return t;
#else
    (void)target;
    Refuse(TErrorKind::Banco, "Este servidor foi gerado sem suporte a PostgreSQL.");
#endif
}

void ConfigureSqlite(soci::session& sql) {
    std::string mode;
    sql << "PRAGMA busy_timeout = 15000";
    sql << "PRAGMA journal_mode = WAL", soci::into(mode);
    sql << "PRAGMA synchronous = NORMAL";
}

}  // namespace

// The URL forms are those of the module's connection (platform/db), read by
// the same routine.
TDbTarget ParseDbUrl(const std::string& url) {
    std::string u = Trim(url);
    if (u.empty()) Refuse(TErrorKind::Banco, "Banco de dados não informado.");
    TDBDialect dialect = TDBDialect::None;
    std::string target;
    if (!SplitDatabaseURL(u, dialect, target))
        Refuse(TErrorKind::Banco, "Tipo de banco de dados não suportado em \"" + u +
                                      "\" (use um arquivo SQLite, sqlite3://ARQUIVO ou postgresql://...).");
    if (dialect == TDBDialect::PostgreSQL) return PostgresTarget(target);
    return SqliteTarget(target);
}

std::unique_ptr<soci::session> OpenSession(const TDbTarget& target) {
    auto sql = std::make_unique<soci::session>();
    try {
        if (target.Dialect == TDialect::SQLite) {
            sql->open(*soci::factory_sqlite3(), target.Connect);
            ConfigureSqlite(*sql);
        } else {
            sql->open(target.Backend, target.Connect);
            // The schema's "IF NOT EXISTS" would otherwise print a notice per
            // object on every start.
            *sql << "SET client_min_messages = WARNING";
        }
    } catch (const std::exception& e) {
        LogDetail("banco: ao abrir " + target.Display + ": " + e.what());
        Refuse(TErrorKind::Banco, "Não foi possível abrir o banco de dados " + target.Display +
                                      ". Verifique se ele existe e está acessível ao servidor de aplicação.");
    }
    return sql;
}

std::string SchemaText() { return kSchemaSql; }

std::vector<std::string> SplitSqlScript(const std::string& script) {
    std::vector<std::string> out;
    std::string current;
    std::size_t i = 0;
    while (i < script.size()) {
        if (script.compare(i, 2, "--") == 0) {
            std::size_t eol = script.find('\n', i);
            i = eol == std::string::npos ? script.size() : eol;
            continue;
        }
        char c = script[i++];
        if (c == ';') {
            if (!Trim(current).empty()) out.push_back(Trim(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!Trim(current).empty()) out.push_back(Trim(current));
    return out;
}

void ApplySchema(soci::session& sql, TDialect dialect) {
    std::vector<std::string> statements = SplitSqlScript(SchemaText());
    try {
        TTransaction tx(sql, dialect, true);
        // Servers starting together on a new database would trip over each
        // other's half-created tables: one at a time (SQLite's BEGIN IMMEDIATE
        // already is).
        if (dialect == TDialect::PostgreSQL) sql << "SELECT pg_advisory_xact_lock(1114000001)";
        for (const std::string& statement : statements) sql << statement;
        tx.Commit();
    } catch (const ERpcError&) {
        throw;
    } catch (const std::exception& e) {
        throw DatabaseError(e, "preparar as tabelas do banco de dados");
    }
}

TTransaction::TTransaction(soci::session& sql, TDialect dialect, bool write) : sql_(sql) {
    if (dialect == TDialect::SQLite) sql_ << (write ? "BEGIN IMMEDIATE" : "BEGIN");
    else sql_ << (write ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    open_ = true;
}

TTransaction::~TTransaction() {
    if (!open_) return;
    try {
        sql_ << "ROLLBACK";
    } catch (...) {
        // The connection is gone or the transaction already ended; nothing
        // was committed either way.
    }
}

void TTransaction::Commit() {
    sql_ << "COMMIT";
    open_ = false;
}

TSessionPool::TLease::~TLease() {
    if (broken_ || !session_) return;
    std::lock_guard<std::mutex> lock(pool_.mutex_);
    pool_.free_.push_back(std::move(session_));
}

TSessionPool::TLease TSessionPool::Acquire() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!free_.empty()) {
            auto s = std::move(free_.back());
            free_.pop_back();
            return TLease(*this, std::move(s));
        }
    }
    return TLease(*this, OpenSession(target_));
}

void Refuse(TErrorKind kind, const std::string& message) { throw ERpcError(kind, message); }

void LogDetail(const std::string& text) {
    static std::mutex m;
    std::lock_guard<std::mutex> lock(m);
    std::cerr << "ctb11000-server: " << text << std::endl;
}

ERpcError DatabaseError(const std::exception& e, const std::string& action) {
    std::string what = e.what();
    LogDetail("banco: ao " + action + ": " + what);
    if (what.find("database is locked") != std::string::npos || what.find("database is busy") != std::string::npos)
        return ERpcError(TErrorKind::Banco, "Banco de dados ocupado por outro usuário; tente novamente.");
    return ERpcError(TErrorKind::Banco, "Não foi possível " + action +
                                            ". Tente novamente; se o erro continuar, avise o responsável pelo "
                                            "servidor de aplicação (o detalhe está no registro do servidor).");
}

}  // namespace ctbstore
