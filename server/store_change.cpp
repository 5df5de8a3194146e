#include "server/store_change.h"

#include "server/store_internal.h"

#include <algorithm>

namespace ctbstore {

namespace {

using soci::into;
using soci::use;

// The same bookkeeper: the same operator name (without regard to case and
// blanks), or, when neither names one, the same client session.
bool SameAuthor(const TAuthor& a, const TAuthor& b) {
    const std::string x = OperatorName(a.Operator), y = OperatorName(b.Operator);
    if (x.empty() && y.empty()) return !a.Session.empty() && a.Session == b.Session;
    return SameText(x, y);
}

long long ParseStamp(const std::string& text, soci::indicator ind) {
    TDateTime d = 0;
    return ind == soci::i_ok && SqlToDate(text, d) ? StampMs(d) : 0;
}

TLastChange Combine(bool haveRow, const TLastChange& row, long long lineMs, int lines) {
    TLastChange last;
    if (lines > 0) {
        // The lines are newer than the server's record: changed elsewhere.
        if (lineMs > row.Ms) {
            last.Ms = lineMs;
            last.Elsewhere = true;
        } else if (haveRow) {
            last.Ms = row.Ms;
            last.By = row.By;
            last.Elsewhere = row.Deleted;  // deleted here, written again elsewhere
            if (row.Deleted) last.By = TAuthor{};
        }
        return last;
    }
    if (haveRow && row.Ms > 0) {
        last = row;
        if (!row.Deleted) {  // gone without our record: deleted elsewhere, when unknown
            last.By = TAuthor{};
            last.Elsewhere = true;
        }
        last.Deleted = true;
    }
    return last;
}

TLastChange ReadChange(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                       const char* lockClause) {
    TLastChange row;
    std::string stamp, oper, session, deleted;
    soci::indicator iStamp = soci::i_null, iOper = soci::i_null, iSession = soci::i_null, iDel = soci::i_null;
    sql << std::string(
               "SELECT DTULTATU, CDOPERATU, CDSESSAO, IDEXCLUIDO FROM LANCCONTALT"
               " WHERE CDEMPRESA = :e AND NRLANCCONT = :n") +
               lockClause,
        use(empresa), use(nrLanc), into(stamp, iStamp), into(oper, iOper), into(session, iSession), into(deleted, iDel);
    const bool haveRow = sql.got_data();
    if (haveRow) {
        row.Ms = ParseStamp(stamp, iStamp);
        row.By.Operator = iOper == soci::i_ok ? Trim(oper) : "";
        row.By.Session = iSession == soci::i_ok ? Trim(session) : "";
        row.Deleted = iDel == soci::i_ok && Trim(deleted) == "S";
    }
    std::string newest;
    soci::indicator iNewest = soci::i_null;
    int lines = 0;
    sql << "SELECT MAX(DTULTATULAN), COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :e AND NRLANCCONT = :n", use(empresa),
        use(nrLanc), into(newest, iNewest), into(lines);
    return Combine(haveRow, row, ParseStamp(newest, iNewest), lines);
}

std::string Who(const TLastChange& c) {
    std::string who = c.By.Operator.empty() ? "por outro usuário" : "por " + c.By.Operator;
    if (c.Ms > 0 && !(c.Deleted && c.Elsewhere)) who += " em " + StampText(c.Ms);
    return who;
}

}  // namespace

TLastChange ReadLastChange(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    return ReadChange(sql, empresa, nrLanc, "");
}

TLastChange LockEntry(soci::session& sql, TDialect dialect, const std::string& empresa, const std::string& nrLanc) {
    // The row exists from here on (created empty when missing), so its lock
    // is there to take; a refused save rolls the empty row back.
    sql << "INSERT INTO LANCCONTALT (CDEMPRESA, NRLANCCONT, IDEXCLUIDO) VALUES (:e, :n, 'N')"
           " ON CONFLICT (CDEMPRESA, NRLANCCONT) DO NOTHING",
        use(empresa), use(nrLanc);
    // SQLite's writing transaction already excludes every other writer.
    return ReadChange(sql, empresa, nrLanc, dialect == TDialect::PostgreSQL ? " FOR UPDATE" : "");
}

long long RecordChange(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                       const TLastChange& previous, const TAuthor& by, bool deleted) {
    const long long ms = std::max(NowMs(), previous.Ms + 1);
    const std::string stamp = StampToSql(ms), flag = deleted ? "S" : "N";
    const std::string oper = OperatorName(by.Operator), session = by.Session;
    soci::indicator iOper = oper.empty() ? soci::i_null : soci::i_ok;
    soci::indicator iSession = session.empty() ? soci::i_null : soci::i_ok;
    sql << "UPDATE LANCCONTALT SET DTULTATU = :s, CDOPERATU = :o, CDSESSAO = :c, IDEXCLUIDO = :d"
           " WHERE CDEMPRESA = :e AND NRLANCCONT = :n",
        use(stamp), use(oper, iOper), use(session, iSession), use(flag), use(empresa), use(nrLanc);
    return ms;
}

void RefuseIfChangedByAnother(const TLastChange& last, long long seenMs, const TAuthor& by, const std::string& nrLanc,
                              bool deleting) {
    if (last.Ms == 0 || last.Ms <= seenMs) return;
    if (SameAuthor(last.By, by)) return;
    const std::string head = "O lançamento contábil " + nrLanc + " foi " + (last.Deleted ? "excluído " : "alterado ") +
                             Who(last) + ", depois que você o abriu. ";
    std::string tail;
    if (last.Deleted) tail = deleting ? "Nada foi feito." : "Nada foi gravado: reabra a lista de lançamentos.";
    else if (deleting) tail = "Nada foi excluído: reabra o lançamento para conferir a versão atual.";
    else tail = "Nada foi gravado: reabra o lançamento para ver a versão atual e refaça suas alterações.";
    Refuse(TErrorKind::Conflito, head + tail);
}

void TSessionViews::Saw(const std::string& session, const std::string& entry, long long ms) {
    if (session.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!views_.count(session) && views_.size() >= kMaxSessions) {
        auto oldest = views_.begin();
        for (auto it = views_.begin(); it != views_.end(); ++it)
            if (it->second.LastUse < oldest->second.LastUse) oldest = it;
        views_.erase(oldest);
    }
    TView& view = views_[session];
    view.LastUse = ++clock_;
    if (!view.Entries.count(entry) && view.Entries.size() >= kMaxEntries) view.Entries.erase(view.Entries.begin());
    view.Entries[entry] = ms;
}

void TSessionViews::Forget(const std::string& session, const std::string& entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = views_.find(session);
    if (it != views_.end()) it->second.Entries.erase(entry);
}

bool TSessionViews::Seen(const std::string& session, const std::string& entry, long long& ms) {
    if (session.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = views_.find(session);
    if (it == views_.end()) return false;
    auto e = it->second.Entries.find(entry);
    if (e == it->second.Entries.end()) return false;
    it->second.LastUse = ++clock_;
    ms = e->second;
    return true;
}

}  // namespace ctbstore
