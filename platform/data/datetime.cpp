#include "platform/data/datetime.h"

#include "platform/data/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

TDateTime fixedToday = 0;

// Days from 1970-01-01 of a proleptic Gregorian date (exact integer math).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

void decodeTime(TDateTime dt, int& h, int& n, int& s, int& ms) {
    double frac = std::fabs(dt - std::trunc(dt));
    long long total = std::llround(frac * 86400000.0);
    if (total >= 86400000) total = 86399999;
    h = static_cast<int>(total / 3600000);
    n = static_cast<int>(total / 60000 % 60);
    s = static_cast<int>(total / 1000 % 60);
    ms = static_cast<int>(total % 1000);
}

const char* const kDayShort[] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
const char* const kDayLong[] = {"domingo",      "segunda-feira", "terça-feira", "quarta-feira",
                                "quinta-feira", "sexta-feira",   "sábado"};
const char* const kMonShort[] = {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
const char* const kMonLong[] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                                "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};

std::string pad(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, v);
    return buf;
}

std::size_t runOf(const std::string& f, std::size_t i) {
    std::size_t j = i;
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    while (j < f.size() && std::tolower(static_cast<unsigned char>(f[j])) == c) ++j;
    return j - i;
}

struct Parts {
    int y, m, d, h, n, s, ms, dow;
};

// One format token at f[i]; appends its text, returns the characters used.
std::size_t formatToken(const std::string& f, std::size_t i, const Parts& p, bool& afterHour, std::string& out) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    const std::size_t run = runOf(f, i);
    switch (c) {
    case 'd':
        if (run >= 4) out += kDayLong[p.dow];
        else if (run == 3) out += kDayShort[p.dow];
        else out += run == 2 ? pad(p.d, 2) : std::to_string(p.d);
        return run >= 4 ? 4 : run;
    case 'm':
        if (afterHour && run <= 2) {  // "hh:mm" means minutes
            out += run == 2 ? pad(p.n, 2) : std::to_string(p.n);
            afterHour = false;
            return run;
        }
        if (run >= 4) out += kMonLong[p.m - 1];
        else if (run == 3) out += kMonShort[p.m - 1];
        else out += run == 2 ? pad(p.m, 2) : std::to_string(p.m);
        return run >= 4 ? 4 : run;
    case 'y': out += run <= 2 ? pad(p.y % 100, 2) : pad(p.y, 4); return run;
    case 'h':
        out += run >= 2 ? pad(p.h, 2) : std::to_string(p.h);
        afterHour = true;
        return run >= 2 ? 2 : 1;
    case 'n': out += run >= 2 ? pad(p.n, 2) : std::to_string(p.n); return run >= 2 ? 2 : 1;
    case 's': out += run >= 2 ? pad(p.s, 2) : std::to_string(p.s); return run >= 2 ? 2 : 1;
    case 'z': out += run >= 3 ? pad(p.ms, 3) : std::to_string(p.ms); return run >= 3 ? 3 : 1;
    default: out += f[i]; return 1;
    }
}

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

bool EncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    if (day < 1 || day > daysInMonth(year, month)) return false;
    out = static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch);
    return true;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    civilFromDays(static_cast<long long>(std::trunc(dt)) + kEpoch, year, month, day);
}

void SetToday(TDateTime today) { fixedToday = std::trunc(today); }

TDateTime Date() {
    if (fixedToday != 0) return fixedToday;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    TDateTime out = 0;
    EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, out);
    return out;
}

std::string FormatDateTime(const std::string& format, TDateTime dt) {
    if (dt == 0 || std::isnan(dt) || std::isinf(dt)) return {};
    Parts p{};
    DecodeDate(dt, p.y, p.m, p.d);
    decodeTime(dt, p.h, p.n, p.s, p.ms);
    p.dow = static_cast<int>(((static_cast<long long>(std::trunc(dt)) % 7) + 7 + 6) % 7);
    std::string out;
    bool afterHour = false;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '"' || c == '\'') {  // quoted literal
            std::size_t j = format.find(c, i + 1);
            if (j == std::string::npos) j = format.size();
            out += format.substr(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        i += formatToken(format, i, p, afterHour, out);
    }
    return out;
}

std::string DateToStr(TDateTime dt) { return FormatDateTime("dd/mm/yyyy", dt); }

bool TryStrToDate(const std::string& text, TDateTime& out) {
    const std::string s = Trim(text, " ");
    if (s.empty()) return false;
    const std::size_t p1 = s.find('/');
    const std::size_t p2 = p1 == std::string::npos ? p1 : s.find('/', p1 + 1);
    if (p2 == std::string::npos || s.find('/', p2 + 1) != std::string::npos) return false;
    const std::string ds = s.substr(0, p1), ms = s.substr(p1 + 1, p2 - p1 - 1), ys = s.substr(p2 + 1);
    if (!allDigits(ds) || !allDigits(ms) || !allDigits(ys)) return false;
    if (ds.size() > 2 || ms.size() > 2 || (ys.size() != 2 && ys.size() != 4)) return false;
    int year = std::stoi(ys);
    if (ys.size() == 2) year += year < 50 ? 2000 : 1900;
    return EncodeDate(year, std::stoi(ms), std::stoi(ds), out);
}
