// Consiste: the routines that only look at texts and numbers.
#include "contracts/consiste.h"

#include "platform/data/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool isBlank(unsigned char c) { return std::isspace(c) != 0; }

// The 15 significant digits of |value| and the power of ten of the first one:
// |value| ~= 0.d1d2...d15 * 10^(exp10 + 1).
struct Decimal15 {
    std::string digits;
    int exp10 = 0;
};

Decimal15 decimal15(double magnitude) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);  // d.dddddddddddddde+XX
    Decimal15 d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) d.digits += *p;
    d.exp10 = (*p == 'e') ? std::atoi(p + 1) : 0;
    return d;
}

// Adds one unit at the last digit; returns true when the carry ran out of
// digits ("999" -> "000" and a new leading "1" is needed).
bool incrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

double fromDigits(const std::string& digits, int exponent) {
    std::string text = (digits.empty() ? std::string("0") : digits) + "e" + std::to_string(exponent);
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

namespace Consiste {

bool EmptyString(const std::string& text) {
    std::string rest;
    for (unsigned char c : text)
        if (!isBlank(c) && c != '_') rest += static_cast<char>(c);
    return rest.empty() || rest == "//";
}

double RoundDec(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0) return value == 0.0 ? 0.0 : value;
    const bool negative = value < 0;
    // Beyond these a double has no digit left to round (and keep cannot overflow).
    if (decimals > 400) decimals = 400;
    if (decimals < -400) return 0.0;
    Decimal15 d = decimal15(std::fabs(value));
    // Digits before the rounding point: those of the integer part plus the
    // requested decimals.
    const int keep = d.exp10 + 1 + decimals;
    double magnitude;
    if (keep >= static_cast<int>(d.digits.size())) {
        magnitude = fromDigits(d.digits, d.exp10 + 1 - static_cast<int>(d.digits.size()));
    } else if (keep < 0) {
        magnitude = 0.0;
    } else {
        std::string kept = d.digits.substr(0, static_cast<std::size_t>(keep));
        const bool roundUp = d.digits[static_cast<std::size_t>(keep)] >= '5';
        if (roundUp && incrementDigits(kept)) kept.insert(kept.begin(), '1');
        else if (kept.empty()) kept = "0";
        // The last kept digit stands for 10^-decimals.
        magnitude = fromDigits(kept, -decimals);
    }
    if (magnitude == 0.0) return 0.0;
    return negative ? -magnitude : magnitude;
}

std::string Ajusta(const std::string& text, int width) {
    std::string code = Trim(text);
    if (width > 0 && static_cast<int>(code.size()) < width)
        code.insert(0, static_cast<std::size_t>(width) - code.size(), '0');
    return code;
}

std::string PictPess(const std::string& kind) {
    const std::string k = Trim(kind);
    if (k.size() != 1) return "";
    switch (std::toupper(static_cast<unsigned char>(k[0]))) {
    case 'F': return "999.999.999-99;0;_";
    case 'J': return "99.999.999/9999-99;0;_";
    default: return "";
    }
}

std::string Replicate(const std::string& text, int count) {
    std::string out;
    if (count <= 0) return out;
    out.reserve(text.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

}  // namespace Consiste
