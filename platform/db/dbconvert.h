// Values read from the database, turned into the Variants a data set holds.
// A column is converted by the type of the field that receives it, whatever
// the database's own type: SQLite keeps dates as TEXT 'YYYY-MM-DD' (also
// with a time, or as julian-day / TDateTime numbers), PostgreSQL as DATE.
// A value that cannot become the field's type raises EDatabaseError naming
// the column; a null stays null.
#pragma once

#include "platform/data/datetime.h"
#include "platform/data/packet.h"
#include "platform/data/variant.h"

#include <string>

namespace soci {
class row;
}

// 'YYYY-MM-DD', optionally followed by ' HH:MM[:SS[.fff]]' or 'T...'.
bool ParseIsoDateTime(const std::string& text, TDateTime& out);
// Number stored as a date: a julian day (>= 1,000,000) or TDateTime days.
TDateTime DateFromNumber(double value);
// Strict decimal number in the C locale ("12.5", "-3", "1e3"); no blanks around.
bool ParseDbNumber(const std::string& text, double& out);

// Cell i of a result row, converted to `target`; `name` names the column in
// error messages (the field's name, as the screens spell it).
Variant ReadCell(const soci::row& row, std::size_t i, TFieldType target, const std::string& name);
// The field type a column gets when the query defines no fields.
TFieldType NaturalFieldType(const soci::row& row, std::size_t i);
