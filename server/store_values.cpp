// Conversions between wire values and stored values: cents, dates, codes.
#include "server/store_internal.h"

#include "ledger/rules.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace ctbstore {

namespace {

bool ParseInt(const std::string& s, std::size_t pos, std::size_t len, int& out) {
    if (pos + len > s.size()) return false;
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        v = v * 10 + (s[i] - '0');
    }
    out = v;
    return true;
}

}  // namespace

bool AmountToCents(double value, std::int64_t& cents) {
    return ledger::ToCents(value, cents);  // the rules' rounding, one for both sides
}

double CentsToAmount(std::int64_t cents) { return static_cast<double>(cents) / 100.0; }

bool ValidDate(TDateTime date) { return std::isfinite(date) && date >= -693593.0 && date < 2958466.0; }

std::string DateToSql(TDateTime date) {
    if (date == 0 || !ValidDate(date)) return "";
    int y, m, d;
    DecodeDate(date, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

std::string TimestampToSql(TDateTime stamp) {
    if (stamp == 0 || !ValidDate(stamp)) return "";
    double day = std::floor(stamp);
    long secs = std::lround((stamp - day) * 86400.0);
    if (secs >= 86400) secs = 86399;
    char buf[48];
    std::snprintf(buf, sizeof buf, " %02ld:%02ld:%02ld", secs / 3600, secs / 60 % 60, secs % 60);
    return DateToSql(day) + buf;
}

bool SqlToDate(const std::string& text, TDateTime& out) {
    std::string t = Trim(text);
    int y, m, d;
    if (t.size() < 10 || t[4] != '-' || t[7] != '-' || !ParseInt(t, 0, 4, y) || !ParseInt(t, 5, 2, m) ||
        !ParseInt(t, 8, 2, d))
        return false;
    TDateTime date;
    if (!EncodeDate(y, m, d, date)) return false;
    int hh = 0, mm = 0, ss = 0, ms = 0;
    if (t.size() >= 19 && (t[10] == ' ' || t[10] == 'T') &&
        (!ParseInt(t, 11, 2, hh) || !ParseInt(t, 14, 2, mm) || !ParseInt(t, 17, 2, ss)))
        return false;
    // Fractions of a second: the milliseconds of a last-update stamp.
    if (t.size() > 20 && t[19] == '.') {
        std::size_t digits = 0;
        while (20 + digits < t.size() && std::isdigit(static_cast<unsigned char>(t[20 + digits]))) ++digits;
        for (std::size_t i = 0; i < 3; ++i) ms = ms * 10 + (i < digits ? t[20 + i] - '0' : 0);
    }
    out = date + (hh * 3600000.0 + mm * 60000.0 + ss * 1000.0 + ms) / 86400000.0;
    return true;
}

long long StampMs(TDateTime stamp) {
    if (!std::isfinite(stamp) || !ValidDate(stamp)) return 0;
    return std::llround(stamp * 86400000.0);
}

std::string StampToSql(long long ms) {
    if (ms <= 0) return "";
    TDateTime day = static_cast<double>(ms / 86400000);
    long long inDay = ms % 86400000;
    char buf[48];
    std::snprintf(buf, sizeof buf, " %02lld:%02lld:%02lld.%03lld", inDay / 3600000, inDay / 60000 % 60,
                  inDay / 1000 % 60, inDay % 1000);
    return DateToSql(day) + buf;
}

std::string StampText(long long ms) {
    if (ms <= 0) return "";
    int y, m, d;
    DecodeDate(static_cast<double>(ms / 86400000), y, m, d);
    long long inDay = ms % 86400000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d às %02lld:%02lld:%02lld", d, m, y, inDay / 3600000,
                  inDay / 60000 % 60, inDay / 1000 % 60);
    return buf;
}

long long NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::time_t secs = ts.tv_sec;
    std::tm local{};
    localtime_r(&secs, &local);
    TDateTime date = 0;
    EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    return static_cast<long long>(date) * 86400000LL +
           (local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec) * 1000LL + ts.tv_nsec / 1000000;
}

TDateTime Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    TDateTime date = 0;
    EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    return date + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

bool InList(const std::string& list, const std::string& code) {
    // "_" + "" + "_" would be found between any two codes of the list.
    if (Trim(code).empty()) return false;
    return list.find("_" + code + "_") != std::string::npos;
}

std::string StripLeadingZeros(const std::string& s) {
    std::string t = Trim(s);
    std::size_t i = t.find_first_not_of('0');
    return i == std::string::npos ? std::string() : t.substr(i);
}

}  // namespace ctbstore
