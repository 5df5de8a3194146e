// The host's shared database connection (the suite's data module dtmDBGeral).
// One connection for the whole process: host and module share this library,
// so the lookup queries of every screen run on the connection the host
// opened. The module only reads through it; by default the connection is
// opened read-only so that a stray write fails in the database instead of
// touching the suite's data.
//
// URLs understood by Open:
//   sqlite3://FILE            SQLite file (also sqlite3://db=FILE ..., SOCI's own form)
//   FILE                      a plain path is a SQLite file
//   postgresql://user@host/db PostgreSQL (libpq URI), when the backend is linked
//   postgresql: dbname=x ...  PostgreSQL keyword form
// SQLite waits up to BusyTimeoutMs for a writer (the application server runs
// in WAL mode, so readers are rarely blocked at all).
//
// Errors: Open raises EDatabaseError with a Portuguese text and the
// database's own text; the connection is then closed. Session() on a closed
// connection raises EDatabaseError. Not thread-safe: the screens use it from
// the user-interface thread only (the server opens connections of its own).
#pragma once

#include "platform/data/errors.h"

#include <memory>
#include <string>

namespace soci {
class session;
}

enum class TDBDialect { None, SQLite, PostgreSQL };

const char* DialectName(TDBDialect d);  // "SQLite", "PostgreSQL", ""

struct TDBOpenOptions {
    bool ReadOnly = true;   // the module's use; tests and tools may write
    bool MustExist = true;  // SQLite: a missing file is an error, never created empty
    int BusyTimeoutMs = 5000;
};

class TDBConnection {
public:
    TDBConnection();
    ~TDBConnection();
    TDBConnection(const TDBConnection&) = delete;
    TDBConnection& operator=(const TDBConnection&) = delete;

    void Open(const std::string& url, const TDBOpenOptions& options = {});
    void Close();
    bool Connected() const { return session_ != nullptr; }
    TDBDialect Dialect() const { return dialect_; }
    const std::string& URL() const { return url_; }

    soci::session& Session();

private:
    std::unique_ptr<soci::session> session_;
    TDBDialect dialect_ = TDBDialect::None;
    std::string url_;

    void openSQLite(const std::string& target, const TDBOpenOptions& options);
    void openPostgreSQL(const std::string& connectString, const TDBOpenOptions& options);
};

// The process-wide connection (data module dtmDBGeral, connection adcGeral).
TDBConnection& dtmDBGeral();

// Splits a URL into dialect and backend target; false when the scheme is not
// one we know (the target then holds the URL unchanged). Exposed for tests.
bool SplitDatabaseURL(const std::string& url, TDBDialect& dialect, std::string& target);

// libpq's URI form ("postgresql://user:pw@host:port/db?k=v") as the keyword
// form SOCI passes on ("host=... port=... dbname=..."), percent-decoded.
// SOCI cuts the keyword form at blanks, so a value holding a blank cannot be
// passed: that raises EDatabaseError, as does a malformed URI. Exposed for tests.
std::string PgKeywordsFromURI(const std::string& uri);

// The connect string SOCI's PostgreSQL backend reads, from the target
// SplitDatabaseURL gave for either PostgreSQL form: a URI is turned into
// keywords, the keyword form is kept. Raises EDatabaseError as
// PgKeywordsFromURI does. The application server uses it too, so every
// program reads the same URLs the same way.
std::string PgConnectString(const std::string& target);

// The keyword form with its password taken out, for messages and logs.
std::string PgDisplayName(const std::string& keywords);

// True when the PostgreSQL backend was linked in this build.
bool PostgreSQLAvailable();
