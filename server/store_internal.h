// Pieces shared by the store's source files: database targets and sessions,
// the transaction guard, and the conversions between wire values and stored
// values (cents, dates, codes). Not part of the store's public interface.
#pragma once

#include "platform/data/datetime.h"
#include "platform/data/packet.h"
#include "platform/data/text.h"
#include "platform/net/rpcvalue.h"

#include <soci/soci.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ctbstore {

enum class TDialect { SQLite, PostgreSQL };

// Where a database URL points: the SOCI backend, its connect string and the
// dialect whose SQL the store speaks there.
struct TDbTarget {
    TDialect Dialect = TDialect::SQLite;
    std::string Backend;  // "sqlite3" or "postgresql"
    std::string Connect;  // backend connect string
    std::string Display;  // what messages name (file or URL without password)
};

// Throws ERpcError "banco" for an empty URL or a backend that is not built in.
TDbTarget ParseDbUrl(const std::string& url);

// Opens a session; SQLite gets WAL, busy_timeout and synchronous=NORMAL.
// Throws ERpcError "banco" with the database's text when it cannot open.
std::unique_ptr<soci::session> OpenSession(const TDbTarget& target);

// server/schema.sql as text, and its statements one by one.
std::string SchemaText();
std::vector<std::string> SplitSqlScript(const std::string& script);
void ApplySchema(soci::session& sql, TDialect dialect);

// A transaction that rolls back unless committed. A writing transaction on
// SQLite takes the write lock at once (BEGIN IMMEDIATE), so two writers never
// deadlock upgrading a read lock.
class TTransaction {
public:
    TTransaction(soci::session& sql, TDialect dialect, bool write);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();

private:
    soci::session& sql_;
    bool open_ = false;
};

// A pool of sessions on one target; a lease gives a session back when done,
// unless it was marked broken (then it is closed and a new one opened later).
class TSessionPool {
public:
    explicit TSessionPool(TDbTarget target) : target_(std::move(target)) {}

    class TLease {
    public:
        TLease(TSessionPool& pool, std::unique_ptr<soci::session> s) : pool_(pool), session_(std::move(s)) {}
        ~TLease();
        TLease(const TLease&) = delete;
        TLease& operator=(const TLease&) = delete;
        soci::session& operator*() { return *session_; }
        void MarkBroken() { broken_ = true; }

    private:
        TSessionPool& pool_;
        std::unique_ptr<soci::session> session_;
        bool broken_ = false;
    };

    TLease Acquire();
    const TDbTarget& Target() const { return target_; }

private:
    TDbTarget target_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<soci::session>> free_;
};

// ERpcError helpers.
[[noreturn]] void Refuse(TErrorKind kind, const std::string& message);
// A database failure as the bookkeeper sees it: what could not be done
// (action: "gravar no banco de dados"...) and what to do, in plain words; the
// database's own text (SQL, bound values) goes to the server's log only.
ERpcError DatabaseError(const std::exception& e, const std::string& action);
// A line on the server's log (stderr).
void LogDetail(const std::string& text);

// Checks of what a call brings from outside (store_checks.cpp); each refuses
// with "validacao".
// text must be UTF-8; what names it in the message ("operador").
void CheckText(const std::string& text, const std::string& what);
// Before a save: every text of the arguments and both packets is UTF-8, and
// the entry number has 12 digits ("yyyymm" + a sequence from 000001).
void CheckSaveRequest(const TDataPacket& linhas, const TDataPacket& rateio, const std::string& empresa,
                      const std::string& nrLanc, const std::string& ultDocu, const std::string& operador);
// Inside the save's transaction: the number is one the company's numbering
// handed out, or an entry already stored has it.
void CheckNumberIssued(soci::session& sql, const std::string& empresa, const std::string& nrLanc);
// The operator as stored: trimmed, at most 12 characters.
std::string OperatorName(const std::string& operador);

// Amounts: wire doubles <-> stored cents. AmountToCents rounds half away from
// zero on the decimal digits a person reads and returns false for a value
// that is not finite or too large to be an amount.
bool AmountToCents(double value, std::int64_t& cents);
double CentsToAmount(std::int64_t cents);

// Dates: TDateTime <-> 'YYYY-MM-DD' / 'YYYY-MM-DD HH:MM:SS'. A zero date is ""
// (stored as NULL). SqlToDate accepts either form and returns false otherwise.
// ValidDate: a finite date between 0001-01-01 and 9999-12-31 (0 included).
bool ValidDate(TDateTime date);
std::string DateToSql(TDateTime date);
std::string TimestampToSql(TDateTime stamp);
bool SqlToDate(const std::string& text, TDateTime& out);
TDateTime Now();
// Last-update stamps, in milliseconds since the TDateTime origin: what a
// TDateTime holds to the millisecond (0 for none), as stored
// ('YYYY-MM-DD HH:MM:SS.mmm'), as shown ("14/06/2024 às 10:32:05"), and now
// (local time, as every stored date).
long long StampMs(TDateTime stamp);
std::string StampToSql(long long ms);
std::string StampText(long long ms);
long long NowMs();

// Codes and texts (Trim, FoldCase, Utf8Length: platform/data/text.h).
// Code list membership: the list holds codes wrapped in underscores. An
// empty code is in no list.
bool InList(const std::string& list, const std::string& code);
// An entry number without its leading zeros ("000123" -> "123", "000" -> "").
std::string StripLeadingZeros(const std::string& s);

}  // namespace ctbstore
