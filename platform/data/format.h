// Number formatting with the system's separators; Brazilian by default
// (thousands ".", decimals ","): FormatFloat("#,##0.00", 1234.5) == "1.234,50".
#pragma once

#include <string>

struct TFormatSettings {
    char ThousandSeparator = '.';
    char DecimalSeparator = ',';
    std::string ShortDateFormat = "dd/mm/yyyy";
};

TFormatSettings& FormatSettings();  // the process-wide settings

// Delphi-style pattern: "0", "#", ",", "." sections; rounding half away from
// zero on the decimal value a person reads.
std::string FormatFloat(const std::string& format, double value);
// Parses a number typed with either separator convention of the settings
// ("1.234,50", "1234,5", "1234.5"); false for anything else.
bool TryStrToFloat(const std::string& text, double& out);
