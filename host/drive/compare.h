// How `expect` compares what a screen shows with what a script expects.
// Numbers compare as numbers ("100", "100.00" and "100,00" are equal), dates
// as dd/mm/yyyy (a script may also write yyyy-mm-dd), booleans as true/false
// without regard to case; anything else compares as exact text.
#pragma once

#include <string>

namespace drive {

// A number written with either decimal separator; thousands separators are
// accepted when both separators appear ("1.234,56", "1,234.56"). False for
// anything else, including codes with letters and empty text.
bool ParseNumber(const std::string& text, double& out);

// A calendar date d/m/yyyy or yyyy-mm-dd; false when it is not a real date.
bool ParseDate(const std::string& text, int& year, int& month, int& day);

bool ExpectedMatches(const std::string& actual, const std::string& expected);
// A pattern with "*" (any run of characters) matches the whole text; false
// for a pattern without "*".
bool GlobMatches(const std::string& text, const std::string& pattern);

}  // namespace drive
