// Templates of a report definition, and how values read on paper.
//
//   template := { literal | "{{" | "}}" | "{" ref [":" format] "}" }
//   ref      := NAME                      a field of the row, else a parameter
//                                         (a parameter first in the texts of the
//                                         page header: company and criteria)
//            |  func "(" [FIELD] ")"      a total: sum, debit, credit, count
//   format   := date | amount | dbcr | account | list | text
//
// Without a format a value reads by its type: a date as dd/mm/yyyy, money
// and numbers as 1.234,50, integers as digits, text as it is. "dbcr" shows
// an amount as "1.234,50 DB" (negative) or "1.234,50 CR"; "account" strips
// the "Z" that pads a final account and writes the code with the account
// picture's literals; "list" turns a code list "_01__03_" into "01, 03".
#pragma once

#include "platform/report/definition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace report {

// Parses `text` and binds its names against the definition's fields and
// parameters; a total is added to def.Totals when not there yet. Raises
// EReportError for an unknown name, function or format, or an unclosed brace.
TTemplate CompileTemplate(const std::string& text, TReportDef& def, bool paramsFirst = false);

// A running total: exact cents for money, a double for other numbers.
struct TAccum {
    std::int64_t cents = 0;
    double number = 0;
    std::int64_t count = 0;
};

// Adds one row to the totals of a definition.
void Accumulate(const TReportDef& def, const std::vector<Variant>& row, std::vector<TAccum>& acc);

struct TEvalContext {
    const std::vector<Variant>* row = nullptr;     // the current row (may be null)
    const std::vector<Variant>* params = nullptr;  // in the definition's parameter order
    const std::vector<TAccum>* totals = nullptr;   // in the definition's total order
    std::string accountPicture;
};

std::string Evaluate(const TTemplate& t, const TReportDef& def, const TEvalContext& ctx);

// A value as it reads in a listing.
std::string FormatValue(const Variant& v, TValueType type, const std::string& format,
                        const std::string& accountPicture);
// "1.234,50 DB" / "1.234,50 CR" / "0,00".
std::string DebitCredit(double value);
// An account code with the picture's literals ("1110100001" -> "1.1.1.01.00001").
std::string AccountText(const std::string& code, const std::string& picture);

}  // namespace report
