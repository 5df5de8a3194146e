#include "platform/data/text.h"

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// UTF-8 "Ã" is C3 83, "ã" C3 A3: within the C3 block the capitals sit 0x20
// below their small letters.
constexpr unsigned char kLatin1Lead = 0xC3;

// Changes the case of the character starting at s[i]; returns the bytes used.
template <class Ascii> std::size_t changeCase(std::string& s, std::size_t i, Ascii ascii, unsigned char from,
                                              unsigned char to, unsigned char skip, int delta) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        s[i] = ascii(s[i]);
        return 1;
    }
    if (c != kLatin1Lead || i + 1 >= s.size()) return 1;
    const auto n = static_cast<unsigned char>(s[i + 1]);
    if (n >= from && n <= to && n != skip) s[i + 1] = static_cast<char>(n + delta);
    return 2;
}

}  // namespace

std::string TrimLeft(std::string_view s, std::string_view chars) {
    const std::size_t b = s.find_first_not_of(chars);
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string TrimRight(std::string_view s, std::string_view chars) {
    const std::size_t e = s.find_last_not_of(chars);
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s, std::string_view chars) {
    const std::size_t b = s.find_first_not_of(chars);
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(chars) - b + 1));
}

bool IsBlank(std::string_view s) { return s.find_first_not_of(kWhiteSpace) == std::string_view::npos; }

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upperAscii(c);
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Utf8Left(std::string_view s, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) return std::string(s.substr(0, i));
            ++chars;
        }
    }
    return std::string(s);
}

std::string FoldCase(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size();) i += changeCase(out, i, lowerAscii, 0x80, 0x9E, 0x97, 0x20);
    return out;
}

std::string AnsiUpperCase(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size();) i += changeCase(out, i, upperAscii, 0xA0, 0xBE, 0xB7, -0x20);
    return out;
}
