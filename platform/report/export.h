// The rows of a listing as a spreadsheet or as CSV: one row per line of the
// listing, one column per field of the definition's query, headed by the
// field's title. Written beside the target and renamed when complete.
//
// Spreadsheet (.xlsx): money and numbers are numbers with the format
// "#,##0.00" (a Brazilian spreadsheet shows 1.234,50), dates are dates
// (dd/mm/yyyy), integers are numbers, text is text; the heading row stays in
// view and carries a filter. Written row by row (constant memory).
// CSV: UTF-8 with a byte-order mark, ';' between fields, decimal comma, no
// thousands separator, dates dd/mm/yyyy, a field quoted when it holds ';',
// '"' or a line break, lines ended by CRLF (what a Brazilian spreadsheet
// opens as it is).
//
// Errors: EReportError when the file cannot be written or the listing has
// more rows than a worksheet holds.
#pragma once

#include "platform/report/definition.h"
#include "platform/report/spool.h"

#include <string>

namespace report {

void WriteXlsx(const TReportDef& def, const TRowSpool& rows, const std::string& path);
void WriteCsv(const TReportDef& def, const TRowSpool& rows, const std::string& path);

}  // namespace report
