// The small text routines every layer shares: trimming, ASCII case, and the
// one case fold used to search Portuguese texts.
//
// Texts are UTF-8 byte strings. Every routine here but FoldCase and
// AnsiUpperCase looks at ASCII bytes only: a byte of 0x80 or above is never
// changed, compared loosely or trimmed, so a multi-byte character ("ç", "Ã")
// always passes through whole. Nothing depends on the C locale.
#pragma once

#include <string>
#include <string_view>

// What the trims remove by default: ASCII white space.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// Blanks and tabs only: the ends of a text typed on one line, where a line
// break would be content.
inline constexpr std::string_view kBlanks = " \t";

// The text without the given bytes at both ends / at the start / at the end.
// Codes padded by a database column are trimmed with " ".
std::string Trim(std::string_view s, std::string_view chars = kWhiteSpace);
std::string TrimLeft(std::string_view s, std::string_view chars = kWhiteSpace);
std::string TrimRight(std::string_view s, std::string_view chars = kWhiteSpace);
// True for an empty text or one of ASCII white space only.
bool IsBlank(std::string_view s);

// ASCII letters only ('A'..'Z' <-> 'a'..'z'); "ção" keeps its accents.
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Equal but for the case of ASCII letters: names of fields, methods, keys.
bool SameText(std::string_view a, std::string_view b);

// Characters (not bytes) of a UTF-8 text, and its first n characters: a cut
// never splits a character.
std::size_t Utf8Length(std::string_view s);
std::string Utf8Left(std::string_view s, std::size_t n);

// Lower case for ASCII and the Latin-1 capitals U+00C0..U+00DE (all the
// accented letters of Portuguese), except U+00D7 "×": "APURAÇÃO" and
// "apuração" fold alike. Any other character, and a cut sequence, stays as
// it is. Case-insensitive searches (Locate, the history text of the filter)
// compare folded texts; the fold never changes, so neither do their results.
std::string FoldCase(std::string_view utf8);
// The upper-case counterpart of FoldCase: ASCII and U+00E0..U+00FE, except
// U+00F7 "÷" (and "ÿ", whose capital is not Latin-1).
std::string AnsiUpperCase(std::string_view utf8);
