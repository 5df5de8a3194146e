#include "platform/db/dbgeral.h"

#include "platform/data/text.h"

#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <cctype>
#include <filesystem>

#ifdef CTB_HAVE_POSTGRESQL
// Declared by the backend's header, which needs libpq's headers we do not
// otherwise use; the factory is all we need of it.
extern "C" soci::backend_factory const* factory_postgresql();
#endif

namespace {

bool startsWith(const std::string& s, std::string_view prefix) {
    return SameText(std::string_view(s).substr(0, prefix.size()), prefix);
}

// SOCI's sqlite3 form "db=FILE timeout=N": the file named, for the existence
// check. A quoted value may hold blanks.
std::string sociDbValue(const std::string& target) {
    const std::size_t eq = target.find('=');
    std::string rest = target.substr(eq + 1);
    if (!rest.empty() && rest[0] == '"') {
        const std::size_t close = rest.find('"', 1);
        return rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return rest.substr(0, rest.find(' '));
}

bool isSociForm(const std::string& target) { return startsWith(target, "db=") || startsWith(target, "dbname="); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string percentDecode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        const int hi = i + 2 < s.size() ? hexValue(s[i + 1]) : -1;
        const int lo = hi >= 0 ? hexValue(s[i + 2]) : -1;
        if (lo < 0) throw EDatabaseError("Endereço do banco de dados inválido: \"%\" sem dois dígitos hexadecimais.");
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// One "key=value" of libpq's keyword form; quoted when it holds a quote or a
// backslash. Blanks cannot pass through SOCI's splitting.
std::string keyword(const std::string& key, const std::string& value) {
    if (value.empty()) return "";
    if (value.find_first_of(" \t\r\n") != std::string::npos)
        throw EDatabaseError("Endereço do banco de dados inválido: o valor de \"" + key +
                             "\" não pode conter espaços.");
    if (value.find_first_of("'\\") == std::string::npos) return " " + key + "=" + value;
    std::string quoted = " " + key + "='";
    for (char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

[[noreturn]] void raiseOpen(const std::string& url, const std::string& why) {
    throw EDatabaseError("Não foi possível abrir o banco de dados \"" + url + "\": " + why);
}

}  // namespace

const char* DialectName(TDBDialect d) {
    switch (d) {
    case TDBDialect::SQLite: return "SQLite";
    case TDBDialect::PostgreSQL: return "PostgreSQL";
    case TDBDialect::None: break;
    }
    return "";
}

bool PostgreSQLAvailable() {
#ifdef CTB_HAVE_POSTGRESQL
    return true;
#else
    return false;
#endif
}

bool SplitDatabaseURL(const std::string& url, TDBDialect& dialect, std::string& target) {
    const std::string u = Trim(url);
    dialect = TDBDialect::None;
    target = u;
    if (startsWith(u, "sqlite3://") || startsWith(u, "sqlite://")) {
        dialect = TDBDialect::SQLite;
        target = u.substr(u.find("://") + 3);
        return true;
    }
    if (startsWith(u, "postgresql://") || startsWith(u, "postgres://")) {
        dialect = TDBDialect::PostgreSQL;  // libpq reads the URI itself
        return true;
    }
    if (startsWith(u, "postgresql:")) {
        dialect = TDBDialect::PostgreSQL;
        target = Trim(u.substr(11));
        return true;
    }
    // Any other scheme ("mysql://", "odbc:...") is not ours; a bare path is SQLite.
    const std::size_t colon = u.find("://");
    if (colon != std::string::npos) return false;
    dialect = TDBDialect::SQLite;
    return true;
}

std::string PgKeywordsFromURI(const std::string& uri) {
    const std::size_t scheme = uri.find("://");
    if (scheme == std::string::npos) throw EDatabaseError("Endereço do banco de dados inválido: \"" + uri + "\".");
    std::string rest = uri.substr(scheme + 3);
    std::string query;
    if (const std::size_t q = rest.find('?'); q != std::string::npos) {
        query = rest.substr(q + 1);
        rest.resize(q);
    }
    std::string dbname;
    if (const std::size_t slash = rest.find('/'); slash != std::string::npos) {
        dbname = rest.substr(slash + 1);
        rest.resize(slash);
    }
    std::string user, password;
    if (const std::size_t at = rest.rfind('@'); at != std::string::npos) {
        user = rest.substr(0, at);
        rest.erase(0, at + 1);
        if (const std::size_t colon = user.find(':'); colon != std::string::npos) {
            password = user.substr(colon + 1);
            user.resize(colon);
        }
    }
    std::string host = rest, port;
    const std::size_t bracket = rest.find(']');  // [::1]:5432
    const std::size_t colon = rest.find(':', bracket == std::string::npos ? 0 : bracket);
    if (colon != std::string::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);

    std::string out = keyword("host", percentDecode(host)) + keyword("port", percentDecode(port)) +
                      keyword("user", percentDecode(user)) + keyword("password", percentDecode(password)) +
                      keyword("dbname", percentDecode(dbname));
    std::size_t start = 0;
    while (start < query.size()) {
        std::size_t amp = query.find('&', start);
        if (amp == std::string::npos) amp = query.size();
        const std::string pair = query.substr(start, amp - start);
        const std::size_t eq = pair.find('=');
        if (eq == std::string::npos || eq == 0)
            throw EDatabaseError("Endereço do banco de dados inválido: parâmetro \"" + pair + "\".");
        out += keyword(percentDecode(pair.substr(0, eq)), percentDecode(pair.substr(eq + 1)));
        start = amp + 1;
    }
    return Trim(out);
}

std::string PgConnectString(const std::string& target) {
    const std::string t = Trim(target);
    return t.find("://") != std::string::npos ? PgKeywordsFromURI(t) : t;
}

std::string PgDisplayName(const std::string& keywords) {
    // Values never hold blanks here (keyword() refuses them), except quoted
    // ones in a keyword form written by hand: a quoted password is dropped
    // up to its closing quote.
    std::string out;
    std::size_t i = 0;
    while (i < keywords.size()) {
        while (i < keywords.size() && std::isspace(static_cast<unsigned char>(keywords[i]))) ++i;
        std::size_t end = i;
        bool quoted = false;
        while (end < keywords.size() && (quoted || !std::isspace(static_cast<unsigned char>(keywords[end])))) {
            if (keywords[end] == '\\' && end + 1 < keywords.size()) ++end;
            else if (keywords[end] == '\'') quoted = !quoted;
            ++end;
        }
        const std::string pair = keywords.substr(i, end - i);
        if (!pair.empty() && !startsWith(pair, "password=")) out += (out.empty() ? "" : " ") + pair;
        i = end;
    }
    return out;
}

TDBConnection::TDBConnection() = default;
TDBConnection::~TDBConnection() = default;

void TDBConnection::Open(const std::string& url, const TDBOpenOptions& options) {
    Close();
    TDBDialect dialect;
    std::string target;
    if (!SplitDatabaseURL(url, dialect, target) || target.empty())
        raiseOpen(url, "tipo de banco de dados não suportado (use sqlite3://ARQUIVO ou postgresql://...).");
    try {
        if (dialect == TDBDialect::SQLite) openSQLite(target, options);
        else openPostgreSQL(target, options);
    } catch (const EDatabaseError&) {
        session_.reset();
        throw;
    } catch (const std::exception& e) {
        session_.reset();
        raiseOpen(url, e.what());
    }
    dialect_ = dialect;
    url_ = url;
}

void TDBConnection::openSQLite(const std::string& target, const TDBOpenOptions& options) {
    const bool sociForm = isSociForm(target);
    const std::string file = sociForm ? sociDbValue(target) : target;
    if (options.MustExist && file != ":memory:") {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            throw EDatabaseError("Banco de dados não encontrado: \"" + file + "\".");
    }
    // SOCI reads "key=value" pairs; a bare path is passed as the db value,
    // quoted so that blanks in it survive.
    const std::string connect = sociForm ? target : "db=\"" + file + "\"";
    session_ = std::make_unique<soci::session>(*soci::factory_sqlite3(), connect);
    // Pragmas take no bound parameters; the values are our own integers.
    *session_ << "PRAGMA busy_timeout = " + std::to_string(options.BusyTimeoutMs);
    if (options.ReadOnly) *session_ << "PRAGMA query_only = 1";
}

void TDBConnection::openPostgreSQL(const std::string& connectString, const TDBOpenOptions& options) {
#ifdef CTB_HAVE_POSTGRESQL
    // SOCI reads only libpq's keyword form.
    session_ = std::make_unique<soci::session>(*factory_postgresql(), PgConnectString(connectString));
    if (options.ReadOnly) *session_ << "SET default_transaction_read_only = on";
#else
    (void)connectString;
    (void)options;
    throw EDatabaseError("Suporte a PostgreSQL não disponível nesta instalação.");
#endif
}

void TDBConnection::Close() {
    session_.reset();
    dialect_ = TDBDialect::None;
    url_.clear();
}

soci::session& TDBConnection::Session() {
    if (!session_) throw EDatabaseError("Conexão com o banco de dados não está aberta.");
    return *session_;
}

TDBConnection& dtmDBGeral() {
    static TDBConnection connection;
    return connection;
}
