// Who changed an entry last, and when: the check that keeps one bookkeeper
// from undoing another's work without seeing it.
//
// Every save and delete the server makes is recorded in LANCCONTALT (stamp to
// the millisecond, operator, deleted or not); a save writes the same stamp as
// DTULTATULAN on each of the entry's lines, so a client holds, in the lines it
// loaded, the stamp of the version it saw. Stamps of one entry only ever grow
// (a change is stamped at least one millisecond after the one before it,
// whatever the clocks of several servers say), so "the newest stamp the
// client sent is older than the stored one" means "changed since it was
// loaded". A change by the same operator is never a conflict: a bookkeeper
// confirming twice, or again after a lost answer, replaces his own work (a
// client that names no operator is known by its session instead).
//
// A delete carries only the entry's number, so the server remembers per
// client session (TSessionViews) the stamp each entry had when that session
// last read or wrote it; a delete of an entry changed since by someone else is
// refused the same way. A session the server does not know (a client that
// never opened one, or a server restarted since) deletes unchecked, as before.
#pragma once

#include <soci/soci.h>

#include <mutex>
#include <string>
#include <unordered_map>

namespace ctbstore {

enum class TDialect;

// Who makes a change: the operator, and the client session it comes from.
struct TAuthor {
    std::string Operator;
    std::string Session;
};

struct TLastChange {
    long long Ms = 0;  // stamp (StampMs); 0 when no change is known
    TAuthor By;        // empty when it came from elsewhere
    bool Deleted = false;
    bool Elsewhere = false;  // not made by an application server
};

// The entry's last change as stored: its LANCCONTALT row, or the newest
// DTULTATULAN of its lines when that is newer (a change made elsewhere).
TLastChange ReadLastChange(soci::session& sql, const std::string& empresa, const std::string& nrLanc);

// The same after taking the entry's lock for the rest of the transaction: a
// second save or delete of the entry, from any server, waits for this one.
TLastChange LockEntry(soci::session& sql, TDialect dialect, const std::string& empresa, const std::string& nrLanc);

// Records the save or delete being made and returns its stamp.
long long RecordChange(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                       const TLastChange& previous, const TAuthor& by, bool deleted);

// Refuses with "conflito" when the entry changed after `seenMs` by someone
// other than `by`, naming who and when. deleting: the refused action is a
// delete.
void RefuseIfChangedByAnother(const TLastChange& last, long long seenMs, const TAuthor& by, const std::string& nrLanc,
                              bool deleting);

// The stamp of each entry as each client session last saw it; bounded (the
// sessions used least recently are forgotten first).
class TSessionViews {
public:
    void Saw(const std::string& session, const std::string& entry, long long ms);
    void Forget(const std::string& session, const std::string& entry);
    bool Seen(const std::string& session, const std::string& entry, long long& ms);

    static constexpr std::size_t kMaxSessions = 4096;
    static constexpr std::size_t kMaxEntries = 1024;

private:
    struct TView {
        std::unordered_map<std::string, long long> Entries;
        unsigned long long LastUse = 0;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, TView> views_;
    unsigned long long clock_ = 0;
};

}  // namespace ctbstore
