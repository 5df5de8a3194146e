#include "platform/db/dbconvert.h"

#include "platform/data/errors.h"
#include "platform/data/text.h"

#include <soci/soci.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <locale>
#include <sstream>

namespace {

// Julian day of 1899-12-30 00:00, the TDateTime epoch.
constexpr double kJulianEpoch = 2415018.5;

bool readDigits(const std::string& s, std::size_t& pos, std::size_t count, int& out) {
    out = 0;
    for (std::size_t k = 0; k < count; ++k, ++pos) {
        if (pos >= s.size() || !std::isdigit(static_cast<unsigned char>(s[pos]))) return false;
        out = out * 10 + (s[pos] - '0');
    }
    return true;
}

bool expect(const std::string& s, std::size_t& pos, char c) {
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// ' HH:MM[:SS[.fff]]' after the date; fills the fraction of a day.
bool parseTimePart(const std::string& s, std::size_t pos, double& fraction) {
    int h = 0, m = 0, sec = 0;
    if (!readDigits(s, pos, 2, h) || !expect(s, pos, ':') || !readDigits(s, pos, 2, m)) return false;
    double frac = 0;
    if (expect(s, pos, ':')) {
        if (!readDigits(s, pos, 2, sec)) return false;
        if (expect(s, pos, '.')) {
            double scale = 0.1;
            const std::size_t start = pos;
            while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
                frac += (s[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
            if (pos == start) return false;
        }
    }
    if (pos < s.size() && s[pos] == 'Z') ++pos;
    if (pos != s.size() || h > 23 || m > 59 || sec > 59) return false;
    fraction = (h * 3600.0 + m * 60.0 + sec + frac) / 86400.0;
    return true;
}

std::string formatNumber(double d) {
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

std::string formatTm(const std::tm& t) {
    char buf[64];
    if (t.tm_hour == 0 && t.tm_min == 0 && t.tm_sec == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

[[noreturn]] void badValue(const std::string& column, const std::string& shown, const char* kind) {
    throw EDatabaseError("Valor inválido na coluna " + column + " do banco de dados: \"" + shown + "\" não é " + kind +
                         ".");
}

// The raw cell in the database's own kind: text, number or date.
struct TRawCell {
    enum Kind { Text, Number, Date } kind = Text;
    std::string text;
    double number = 0;
    std::tm date{};
};

TRawCell readRaw(const soci::row& row, std::size_t i) {
    TRawCell c;
    switch (row.get_properties(i).get_data_type()) {
    case soci::dt_date:
        c.kind = TRawCell::Date;
        c.date = row.get<std::tm>(i);
        break;
    case soci::dt_double:
        c.kind = TRawCell::Number;
        c.number = row.get<double>(i);
        break;
    case soci::dt_integer:
        c.kind = TRawCell::Number;
        c.number = row.get<int>(i);
        break;
    case soci::dt_long_long:
        c.kind = TRawCell::Number;
        c.number = static_cast<double>(row.get<long long>(i));
        break;
    case soci::dt_unsigned_long_long:
        c.kind = TRawCell::Number;
        c.number = static_cast<double>(row.get<unsigned long long>(i));
        break;
    default: c.text = row.get<std::string>(i); break;
    }
    return c;
}

std::string shownText(const TRawCell& c) {
    switch (c.kind) {
    case TRawCell::Number: return formatNumber(c.number);
    case TRawCell::Date: return formatTm(c.date);
    case TRawCell::Text: break;
    }
    return c.text;
}

Variant toDateTime(const TRawCell& c, const std::string& column) {
    if (c.kind == TRawCell::Date) {
        TDateTime d;
        if (!EncodeDate(c.date.tm_year + 1900, c.date.tm_mon + 1, c.date.tm_mday, d))
            badValue(column, shownText(c), "uma data");
        return d + (c.date.tm_hour * 3600.0 + c.date.tm_min * 60.0 + c.date.tm_sec) / 86400.0;
    }
    if (c.kind == TRawCell::Number) return DateFromNumber(c.number);
    if (c.text.empty()) return Variant();
    TDateTime d;
    double n;
    if (ParseIsoDateTime(c.text, d)) return d;
    if (ParseDbNumber(c.text, n)) return DateFromNumber(n);
    badValue(column, c.text, "uma data");
}

Variant toNumber(const TRawCell& c, TFieldType target, const std::string& column) {
    double n = c.number;
    if (c.kind == TRawCell::Date) badValue(column, shownText(c), "um número");
    if (c.kind == TRawCell::Text) {
        if (c.text.empty()) return Variant();
        if (!ParseDbNumber(c.text, n)) badValue(column, c.text, "um número");
    }
    if (target == TFieldType::ftFloat) return n;
    if (n != std::floor(n) || std::fabs(n) > 9.2e18) badValue(column, shownText(c), "um número inteiro");
    return static_cast<std::int64_t>(n);
}

Variant toBoolean(const TRawCell& c, const std::string& column) {
    if (c.kind == TRawCell::Number) return c.number != 0;
    if (c.kind == TRawCell::Text) {
        const std::string t = UpperCase(c.text);
        if (t.empty()) return Variant();
        if (t == "S" || t == "T" || t == "1" || t == "TRUE") return true;
        if (t == "N" || t == "F" || t == "0" || t == "FALSE") return false;
    }
    badValue(column, shownText(c), "um valor lógico");
}

}  // namespace

bool ParseIsoDateTime(const std::string& text, TDateTime& out) {
    std::size_t pos = 0;
    int y, m, d;
    if (!readDigits(text, pos, 4, y) || !expect(text, pos, '-') || !readDigits(text, pos, 2, m) ||
        !expect(text, pos, '-') || !readDigits(text, pos, 2, d))
        return false;
    TDateTime date;
    if (!EncodeDate(y, m, d, date)) return false;
    double fraction = 0;
    if (pos < text.size()) {
        if (text[pos] != ' ' && text[pos] != 'T') return false;
        if (!parseTimePart(text, pos + 1, fraction)) return false;
    }
    out = date + fraction;
    return true;
}

TDateTime DateFromNumber(double value) { return value >= 1000000.0 ? value - kJulianEpoch : value; }

bool ParseDbNumber(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) ||
        std::isspace(static_cast<unsigned char>(text.back())))
        return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double v;
    in >> v;
    if (in.fail() || !in.eof() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

Variant ReadCell(const soci::row& row, std::size_t i, TFieldType target, const std::string& column) {
    if (row.get_indicator(i) == soci::i_null) return Variant();
    TRawCell c;
    try {
        c = readRaw(row, i);
    } catch (const std::exception& e) {
        throw EDatabaseError("Não foi possível ler a coluna " + column + " do banco de dados: " + e.what());
    }
    switch (target) {
    case TFieldType::ftString: return shownText(c);
    case TFieldType::ftDateTime: return toDateTime(c, column);
    case TFieldType::ftFloat:
    case TFieldType::ftInteger: return toNumber(c, target, column);
    case TFieldType::ftBoolean: return toBoolean(c, column);
    }
    return Variant();
}

TFieldType NaturalFieldType(const soci::row& row, std::size_t i) {
    switch (row.get_properties(i).get_data_type()) {
    case soci::dt_date: return TFieldType::ftDateTime;
    case soci::dt_double: return TFieldType::ftFloat;
    case soci::dt_integer:
    case soci::dt_long_long:
    case soci::dt_unsigned_long_long: return TFieldType::ftInteger;
    default: return TFieldType::ftString;
    }
}
