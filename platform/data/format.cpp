#include "platform/data/format.h"

#include "platform/data/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Section {
    std::string prefix, suffix;
    int intZeros = 0;  // '0' before the decimal point: minimum integer digits
    int minDec = 0;    // '0' after the point
    int maxDec = 0;    // '0' and '#' after the point
    bool thousands = false;
    bool hasDigits = false;
};

std::vector<std::string> splitSections(const std::string& f) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : f) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

Section parseSection(const std::string& f) {
    Section s;
    bool inDec = false, seenDigit = false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '"' || c == '\'') {
            std::size_t j = f.find(c, i + 1);
            if (j == std::string::npos) j = f.size();
            (seenDigit ? s.suffix : s.prefix) += f.substr(i + 1, j - i - 1);
            i = j;
        } else if (c == '0' || c == '#') {
            if (!s.suffix.empty()) continue;  // placeholders after a literal: ignored
            seenDigit = s.hasDigits = true;
            if (inDec) {
                ++s.maxDec;
                if (c == '0') s.minDec = s.maxDec;
            } else if (c == '0') {
                ++s.intZeros;
            }
        } else if (c == '.' && !inDec) {
            inDec = true;
            seenDigit = true;
            s.hasDigits = true;
        } else if (c == ',' && !inDec) {
            s.thousands = true;
        } else {
            (seenDigit ? s.suffix : s.prefix) += c;
        }
    }
    return s;
}

// Digits of |value| in plain decimal notation, as short as round-trips: the
// number a person reads, free of binary noise.
void decimalDigits(double value, std::string& intPart, std::string& fracPart) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    std::string s(buf, r.ptr);
    std::size_t dot = s.find('.');
    intPart = dot == std::string::npos ? s : s.substr(0, dot);
    fracPart = dot == std::string::npos ? "" : s.substr(dot + 1);
}

// Half away from zero at `decimals` places, on the decimal digits.
void roundDigits(std::string& intPart, std::string& fracPart, int decimals) {
    const std::size_t d = static_cast<std::size_t>(decimals);
    if (fracPart.size() <= d) return;
    const bool up = fracPart[d] >= '5';
    fracPart.resize(d);
    if (!up) return;
    std::string all = intPart + fracPart;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
        if (all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
        } else {
            ++all[static_cast<std::size_t>(i)];
            break;
        }
    }
    if (i < 0) all.insert(all.begin(), '1');
    intPart = all.substr(0, all.size() - d);
    fracPart = all.substr(all.size() - d);
}

std::string groupThousands(const std::string& digits, char sep) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return out;
}

std::string applySection(const Section& s, double value, bool withSign) {
    const TFormatSettings& fs = FormatSettings();
    std::string ip, fp;
    decimalDigits(value, ip, fp);
    roundDigits(ip, fp, s.maxDec);
    while (static_cast<int>(fp.size()) > s.minDec && !fp.empty() && fp.back() == '0') fp.pop_back();
    while (static_cast<int>(fp.size()) < s.minDec) fp += '0';
    while (ip.size() > 1 && ip[0] == '0') ip.erase(ip.begin());
    if (ip == "0" && s.intZeros == 0) ip.clear();
    while (static_cast<int>(ip.size()) < s.intZeros) ip.insert(ip.begin(), '0');
    std::string body = s.thousands ? groupThousands(ip, fs.ThousandSeparator) : ip;
    if (!fp.empty()) body += fs.DecimalSeparator + fp;
    const bool isZero =
        (ip.find_first_not_of('0') == std::string::npos) && (fp.find_first_not_of('0') == std::string::npos);
    const std::string sign = withSign && value < 0 && !isZero ? "-" : "";
    return s.prefix + sign + body + s.suffix;
}

std::string generalFormat(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = FormatSettings().DecimalSeparator;
    return s;
}

bool digitsOnly(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "1.234.567" with groups of exactly three after the first.
bool validGroups(const std::string& s, char sep, std::string& digits) {
    digits.clear();
    std::size_t start = 0;
    bool first = true;
    while (true) {
        std::size_t p = s.find(sep, start);
        std::string g = s.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (!digitsOnly(g) || (first ? g.size() > 3 : g.size() != 3)) return false;
        digits += g;
        if (p == std::string::npos) return true;
        start = p + 1;
        first = false;
    }
}

}  // namespace

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

std::string FormatFloat(const std::string& format, double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (format.empty()) return generalFormat(value);
    const std::vector<std::string> parts = splitSections(format);
    Section s = parseSection(parts[0]);
    bool withSign = true;
    if (value < 0 && parts.size() > 1 && !parts[1].empty()) {
        s = parseSection(parts[1]);
        withSign = false;
    } else if (value == 0 && parts.size() > 2 && !parts[2].empty()) {
        s = parseSection(parts[2]);
    }
    if (!s.hasDigits) return s.prefix + s.suffix;
    return applySection(s, value, withSign);
}

bool TryStrToFloat(const std::string& text, double& out) {
    const TFormatSettings& fs = FormatSettings();
    std::string s = Trim(text, kBlanks);
    if (s.empty()) return false;
    std::string sign;
    if (s[0] == '-' || s[0] == '+') {
        if (s[0] == '-') sign = "-";
        s.erase(0, 1);
    }
    std::string intDigits, frac;
    // The decimal separator of the settings wins; the other character may
    // only group thousands. Without it, one '.' is a decimal point.
    char dec = fs.DecimalSeparator, grp = fs.ThousandSeparator;
    std::size_t dp = s.rfind(dec);
    if (dp == std::string::npos && s.find(grp) != std::string::npos && s.find(grp) == s.rfind(grp) && grp == '.') {
        dec = '.';
        grp = 0;
        dp = s.rfind('.');
    }
    std::string ip = dp == std::string::npos ? s : s.substr(0, dp);
    if (dp != std::string::npos) {
        frac = s.substr(dp + 1);
        if (!frac.empty() && !digitsOnly(frac)) return false;
    }
    if (ip.empty() && frac.empty()) return false;
    if (grp && ip.find(grp) != std::string::npos) {
        if (!validGroups(ip, grp, intDigits)) return false;
    } else if (!ip.empty()) {
        if (!digitsOnly(ip)) return false;
        intDigits = ip;
    }
    const std::string canon = sign + (intDigits.empty() ? "0" : intDigits) + "." + (frac.empty() ? "0" : frac);
    auto r = std::from_chars(canon.data(), canon.data() + canon.size(), out);
    return r.ec == std::errc() && r.ptr == canon.data() + canon.size() && std::isfinite(out);
}
