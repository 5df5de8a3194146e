// Running a definition's query: the text of the connection's dialect, every
// parameter bound by name (never pasted into the text) with the type the
// definition declares for it, and the rows written one by one into a spool
// as the database hands them over.
//
// Parameter values arrive as the screen set them: a date as TDateTime days
// (zero = no date, bound as null) or as dd/mm/yyyy text, and is bound as
// 'YYYY-MM-DD' text; numbers as doubles; integers as 64-bit integers; text
// as text; a null stays null.
//
// Errors: a closed connection, a failing query or a field the query does not
// return raise EReportError with a Portuguese text (plus the database's own).
#pragma once

#include "platform/db/dbgeral.h"
#include "platform/report/definition.h"
#include "platform/report/spool.h"

#include <functional>
#include <memory>
#include <vector>

namespace report {

// `params` follows def.Params (missing trailing values are null). `onRow`, when
// given, is told the count of rows read so far every 1,000 rows.
std::unique_ptr<TRowSpool> RunReportQuery(TDBConnection& db, const TReportDef& def, const std::vector<Variant>& params,
                                          const std::function<void(std::int64_t)>& onRow = {});

// The value bound for a parameter of that type (exposed for tests).
Variant BindValue(const Variant& v, TValueType type);

}  // namespace report
