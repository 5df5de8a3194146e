// Named parameters of a query text. The screens write their SQL with `:P_X`
// markers; this unit finds them the way a database would read the text, so
// that a colon inside a quoted literal ('10:30'), a quoted identifier, a
// comment or a PostgreSQL cast (`::text`) is never taken for a parameter.
//
// A parameter may occur several times. The text handed to the database gives
// every occurrence a name of its own (`:ctbp1`, `:ctbp2`, ...), so each one is
// bound separately with soci::use by name and no backend has to cope with a
// name used twice. Comments are dropped from that text: a backend that
// rewrites markers itself would otherwise see the colons inside them.
#pragma once

#include <string>
#include <vector>

struct TParsedSql {
    std::string BackendText;               // the text sent to the database
    std::vector<std::string> Occurrences;  // parameter name of :ctbp1, :ctbp2, ...
    std::vector<std::string> Names;        // distinct names, in order of first occurrence

    // Name given to the i-th occurrence (0-based) in BackendText, without ':'.
    static std::string OccurrenceName(std::size_t i);
};

// Never fails: an unterminated literal or comment runs to the end of the text
// (the database then reports the syntax error).
TParsedSql ParseSqlParams(const std::string& sql);
