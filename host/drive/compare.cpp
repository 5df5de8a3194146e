#include "host/drive/compare.h"

#include "platform/data/text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace drive {
namespace {

// Digits with one optional decimal point, as strtod reads them, nothing else.
bool ParsePlain(const std::string& s, double& out) {
    if (s.empty()) return false;
    std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    bool digit = false, point = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i]))) digit = true;
        else if (s[i] == '.' && !point) point = true;
        else return false;
    }
    if (!digit) return false;
    out = std::strtod(s.c_str(), nullptr);
    return std::isfinite(out);
}

bool AllDigits(const std::string& s, std::size_t minLen, std::size_t maxLen) {
    if (s.size() < minLen || s.size() > maxLen) return false;
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool RealDate(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + ((m == 2 && leap) ? 1 : 0);
}

bool Split3(const std::string& s, char sep, std::string parts[3]) {
    std::size_t a = s.find(sep);
    if (a == std::string::npos) return false;
    std::size_t b = s.find(sep, a + 1);
    if (b == std::string::npos || s.find(sep, b + 1) != std::string::npos) return false;
    parts[0] = s.substr(0, a);
    parts[1] = s.substr(a + 1, b - a - 1);
    parts[2] = s.substr(b + 1);
    return true;
}

}  // namespace

bool ParseNumber(const std::string& raw, double& out) {
    std::string s = Trim(raw, kBlanks);
    std::size_t lastDot = s.rfind('.'), lastComma = s.rfind(',');
    if (lastDot != std::string::npos && lastComma != std::string::npos) {
        char decimal = lastDot > lastComma ? '.' : ',';
        char thousands = decimal == '.' ? ',' : '.';
        std::string t;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == thousands) {
                if (i > (decimal == '.' ? lastDot : lastComma)) return false;
                continue;
            }
            t += s[i] == decimal ? '.' : s[i];
        }
        return ParsePlain(t, out);
    }
    if (lastComma != std::string::npos) std::replace(s.begin(), s.end(), ',', '.');
    return ParsePlain(s, out);
}

bool ParseDate(const std::string& raw, int& year, int& month, int& day) {
    std::string s = Trim(raw, kBlanks), p[3];
    if (Split3(s, '/', p)) {
        if (!AllDigits(p[0], 1, 2) || !AllDigits(p[1], 1, 2) || !AllDigits(p[2], 4, 4)) return false;
        day = std::atoi(p[0].c_str());
        month = std::atoi(p[1].c_str());
        year = std::atoi(p[2].c_str());
    } else if (Split3(s, '-', p)) {
        if (!AllDigits(p[0], 4, 4) || !AllDigits(p[1], 1, 2) || !AllDigits(p[2], 1, 2)) return false;
        year = std::atoi(p[0].c_str());
        month = std::atoi(p[1].c_str());
        day = std::atoi(p[2].c_str());
    } else {
        return false;
    }
    return RealDate(year, month, day);
}

bool ExpectedMatches(const std::string& actual, const std::string& expected) {
    if (actual == expected) return true;
    double a = 0, e = 0;
    if (ParseNumber(actual, a) && ParseNumber(expected, e))
        // Amounts may carry binary noise; long codes (entry numbers) must match
        // exactly, so no relative tolerance that would let 12 digits drift.
        return std::fabs(a - e) <= (std::max(std::fabs(a), std::fabs(e)) < 1e9 ? 1e-6 : 0.0);
    int ay, am, ad, ey, em, ed;
    if (ParseDate(actual, ay, am, ad) && ParseDate(expected, ey, em, ed)) return ay == ey && am == em && ad == ed;
    std::string la = LowerCase(Trim(actual, kBlanks)), le = LowerCase(Trim(expected, kBlanks));
    if ((la == "true" || la == "false") && (le == "true" || le == "false")) return la == le;
    return false;
}

// "*" stands for any run of characters; every other character is itself.
bool GlobMatches(const std::string& text, const std::string& pattern) {
    if (pattern.find('*') == std::string::npos) return false;
    std::size_t t = 0, p = 0, star = std::string::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace drive
