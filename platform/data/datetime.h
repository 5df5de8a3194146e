// TDateTime: days since 1899-12-30 as a double, the fraction being the time of
// day; zero means "no date". Formatting defaults to Brazilian settings.
#pragma once

#include <string>

using TDateTime = double;

// Calendar conversions; EncodeDate returns false for an impossible date.
bool EncodeDate(int year, int month, int day, TDateTime& out);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
TDateTime Date();                // today, date part only (the clock can be fixed with SetToday)
void SetToday(TDateTime today);  // 0 returns to the system clock

// "dd/mm/yyyy" by default; the format understands d, dd, m, mm, yy, yyyy,
// hh, nn, ss and literals. A zero date formats as "".
std::string FormatDateTime(const std::string& format, TDateTime dt);
std::string DateToStr(TDateTime dt);                         // dd/mm/yyyy
bool TryStrToDate(const std::string& text, TDateTime& out);  // dd/mm/yyyy (also d/m/yy)
