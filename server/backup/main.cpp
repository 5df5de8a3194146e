// ctb-backup: a consistent copy of the suite database, taken while the
// application servers go on writing, and its restore.
//
//   ctb-backup --db FILE|URL --to BACKUP        takes a backup
//   ctb-backup --db FILE|URL --restore BACKUP   puts a backup back
//
// SQLite: SQLite's online backup copies the database inside one read
// transaction, so the copy is the database as it stood at one instant, the
// servers' writes meanwhile included or not as a whole (a plain copy of the
// file is not that: in WAL mode the newest changes live in the -wal file).
// The copy is a SQLite database; it must pass its integrity check before it
// replaces BACKUP. A restore copies it back the same way, under the write
// lock (stop the application servers first all the same: their sessions
// would go on from the restored state without noticing).
// PostgreSQL: pg_dump's custom format (one snapshot, taken while writing),
// and pg_restore --clean --single-transaction into the database of the URL.
#include "platform/db/dbgeral.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int Usage(const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "ctb-backup: %s\n", why.c_str());
    std::fprintf(stderr,
                 "uso: ctb-backup --db ARQUIVO|URL --to CÓPIA\n"
                 "     ctb-backup --db ARQUIVO|URL --restore CÓPIA\n");
    return 2;
}

// ---- SQLite ----------------------------------------------------------------------------------

class TSqliteFile {
public:
    TSqliteFile(const std::string& path, int flags) {
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "sem memória";
            sqlite3_close(db_);  // a failed open still hands back a handle to free
            throw TFailure("não foi possível abrir " + path + ": " + why);
        }
        sqlite3_busy_timeout(db_, 15000);
    }
    ~TSqliteFile() { sqlite3_close(db_); }
    TSqliteFile(const TSqliteFile&) = delete;
    TSqliteFile& operator=(const TSqliteFile&) = delete;
    sqlite3* Handle() const { return db_; }

    void ExpectIntact(const std::string& what) const {
        sqlite3_stmt* st = nullptr;
        std::string result = "sem resposta";
        if (sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        if (result != "ok") throw TFailure(what + " não passou na verificação de integridade: " + result);
    }

private:
    sqlite3* db_ = nullptr;
};

// Copies the whole of `from` into `to` in one step (one read transaction on
// the source), waiting while another connection holds a lock.
void CopyDatabase(const TSqliteFile& from, const TSqliteFile& to) {
    sqlite3_backup* b = sqlite3_backup_init(to.Handle(), "main", from.Handle(), "main");
    if (!b) throw TFailure(std::string("cópia recusada: ") + sqlite3_errmsg(to.Handle()));
    int rc;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (std::chrono::steady_clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) throw TFailure(std::string("cópia interrompida: ") + sqlite3_errstr(rc));
}

void SqliteBackup(const std::string& file, const std::string& target) {
    if (!std::filesystem::is_regular_file(file)) throw TFailure("banco de dados não encontrado: " + file);
    const std::string partial = target + ".parcial";
    std::filesystem::remove(partial);
    {
        TSqliteFile source(file, SQLITE_OPEN_READWRITE);
        TSqliteFile copy(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        CopyDatabase(source, copy);
        copy.ExpectIntact("A cópia");
        // One file, whatever mode the source runs in.
        sqlite3_exec(copy.Handle(), "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    }
    std::filesystem::rename(partial, target);
}

void SqliteRestore(const std::string& file, const std::string& backup) {
    TSqliteFile copy(backup, SQLITE_OPEN_READONLY);
    copy.ExpectIntact("A cópia " + backup);
    TSqliteFile database(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    CopyDatabase(copy, database);
    sqlite3_exec(database.Handle(), "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
}

// ---- PostgreSQL --------------------------------------------------------------------------------

// The PostgreSQL programs of the installed server's version, else the PATH's.
std::string PgProgram(const std::string& name) {
    std::error_code ec;
    for (const auto& dir : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const auto candidate = dir.path() / "bin" / name;
        if (std::filesystem::exists(candidate)) return candidate.string();
    }
    return name;
}

// The password stays out of the command line (other users can read it
// there): the child gets it in PGPASSWORD.
std::string PasswordOf(const std::string& keywords) {
    const std::size_t at = keywords.find("password=");
    if (at == std::string::npos || (at > 0 && keywords[at - 1] != ' ')) return "";
    std::string value;
    std::size_t i = at + 9;
    const bool quoted = i < keywords.size() && keywords[i] == '\'';
    if (quoted) ++i;
    for (; i < keywords.size(); ++i) {
        const char c = keywords[i];
        if (quoted && c == '\\' && i + 1 < keywords.size()) {
            value += keywords[++i];
        } else if (quoted ? c == '\'' : c == ' ') {
            break;
        } else {
            value += c;
        }
    }
    return value;
}

void Run(const std::vector<std::string>& argv, const std::string& password) {
    const pid_t pid = fork();
    if (pid < 0) throw TFailure("não foi possível iniciar " + argv[0]);
    if (pid == 0) {
        if (!password.empty()) setenv("PGPASSWORD", password.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        std::fprintf(stderr, "ctb-backup: não foi possível executar %s\n", args[0]);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw TFailure(argv[0] + " terminou com erro");
}

void PgBackup(const std::string& keywords, const std::string& target) {
    const std::string partial = target + ".parcial";
    Run({PgProgram("pg_dump"), "--format=custom", "--no-owner", "--file=" + partial,
         "--dbname=" + PgDisplayName(keywords)},
        PasswordOf(keywords));
    std::filesystem::rename(partial, target);
}

void PgRestore(const std::string& keywords, const std::string& backup) {
    if (!std::filesystem::is_regular_file(backup)) throw TFailure("cópia não encontrada: " + backup);
    Run({PgProgram("pg_restore"), "--clean", "--if-exists", "--no-owner", "--single-transaction", "--exit-on-error",
         "--dbname=" + PgDisplayName(keywords), backup},
        PasswordOf(keywords));
}

}  // namespace

int main(int argc, char** argv) {
    std::string db, to, restore;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return Usage("");
        if (i + 1 >= argc) return Usage("falta o valor de " + arg);
        const std::string value = argv[++i];
        if (arg == "--db") db = value;
        else if (arg == "--to") to = value;
        else if (arg == "--restore") restore = value;
        else return Usage("opção desconhecida: " + arg);
    }
    if (db.empty() || to.empty() == restore.empty()) return Usage("informe --db e uma de --to ou --restore");
    try {
        TDBDialect dialect = TDBDialect::None;
        std::string target;
        if (!SplitDatabaseURL(db, dialect, target) || target.empty())
            throw TFailure("tipo de banco de dados não suportado: " + db);
        if (dialect == TDBDialect::PostgreSQL) {
            const std::string keywords = PgConnectString(target);
            restore.empty() ? PgBackup(keywords, to) : PgRestore(keywords, restore);
        } else {
            const std::string file = target.rfind("db=", 0) == 0 ? target.substr(3, target.find(' ') - 3) : target;
            restore.empty() ? SqliteBackup(file, to) : SqliteRestore(file, restore);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ctb-backup: %s\n", e.what());
        return 1;
    }
    std::printf("ctb-backup: %s %s\n", restore.empty() ? "cópia gravada em" : "banco restaurado de",
                (restore.empty() ? to : restore).c_str());
    return 0;
}
