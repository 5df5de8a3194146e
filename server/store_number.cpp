// PrxLancContabil: entry numbers "yyyymm" + six-digit sequence, handed out
// from NUMLANCCONT inside a writing transaction. On SQLite the transaction
// holds the write lock from its first statement (BEGIN IMMEDIATE); on
// PostgreSQL the UPDATE locks the numbering row until commit. Either way two
// callers, in one process or in several, never read the same last sequence.
#include "server/store_impl.h"

#include <cctype>
#include <cstdio>
#include <ctime>

using namespace ctbstore;

namespace {

constexpr long long kMaxSequence = 999999;

bool ValidAnoMes(const std::string& s) {
    if (s.size() != 6) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    int month = std::stoi(s.substr(4));
    return month >= 1 && month <= 12 && s.substr(0, 4) != "0000";
}

std::string CurrentAnoMes() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d", local.tm_year + 1900, local.tm_mon + 1);
    return buf;
}

std::string Sequence6(long long n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%06lld", n);
    return buf;
}

// The highest sequence already used by an entry of the month, so that a
// numbering row created late (or lost) never hands out a stored number.
long long HighestStoredSequence(soci::session& sql, const std::string& empresa, const std::string& anoMes) {
    std::string lo = anoMes + "000000", hi = anoMes + "999999", top;
    soci::indicator ind = soci::i_null;
    sql << "SELECT MAX(NRLANCCONT) FROM LANCCONT WHERE CDEMPRESA = :e"
           " AND NRLANCCONT >= :lo AND NRLANCCONT <= :hi",
        soci::use(empresa), soci::use(lo), soci::use(hi), soci::into(top, ind);
    if (ind != soci::i_ok || top.size() != 12) return 0;
    try {
        return std::stoll(top.substr(6));
    } catch (const std::exception&) {
        return 0;
    }
}

bool NumberInUse(soci::session& sql, const std::string& empresa, const std::string& nr) {
    int n = 0;
    sql << "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :e AND NRLANCCONT = :n", soci::use(empresa), soci::use(nr),
        soci::into(n);
    return n > 0;
}

std::string ReserveNumber(soci::session& sql, const std::string& empresa, const std::string& anoMes) {
    int companies = 0;
    sql << "SELECT COUNT(*) FROM EMPRESA WHERE CDEMPRESA = :e", soci::use(empresa), soci::into(companies);
    if (companies == 0) Refuse(TErrorKind::Validacao, "Empresa não cadastrada.");

    long long base = HighestStoredSequence(sql, empresa, anoMes);
    sql << "INSERT INTO NUMLANCCONT (CDEMPRESA, NRANOMES, NRULTSEQ) VALUES (:e, :a, :s)"
           " ON CONFLICT (CDEMPRESA, NRANOMES) DO NOTHING",
        soci::use(empresa), soci::use(anoMes), soci::use(base);
    for (;;) {
        long long seq = 0;
        sql << "UPDATE NUMLANCCONT SET NRULTSEQ = NRULTSEQ + 1"
               " WHERE CDEMPRESA = :e AND NRANOMES = :a RETURNING NRULTSEQ",
            soci::use(empresa), soci::use(anoMes), soci::into(seq);
        if (seq > kMaxSequence)
            Refuse(TErrorKind::Validacao, "Numeração de lançamentos esgotada para o mês " + anoMes + ".");
        std::string nr = anoMes + Sequence6(seq);
        if (!NumberInUse(sql, empresa, nr)) return nr;
    }
}

}  // namespace

std::string TEntryStore::PrxLancContabil(const std::string& empresa, std::string& anoMes) {
    std::string am = Trim(anoMes);
    if (!ValidAnoMes(am)) am = CurrentAnoMes();
    std::string emp = Trim(empresa);
    std::string nr = impl_->Run(true, [&](soci::session& sql) { return ReserveNumber(sql, emp, am); });
    anoMes = am;
    return nr;
}
