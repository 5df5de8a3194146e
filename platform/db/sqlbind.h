// Binding a Variant to one `:NAME` occurrence of a prepared statement: by
// name, with soci::use, never pasted into the text. A null (or absent) value
// binds as a null text, a boolean as 1/0.
#pragma once

#include "platform/data/variant.h"

#include <soci/soci.h>

#include <string>

// Storage of one bound occurrence; soci::use keeps references into it, so
// the holders must live until the statement is done and never move (size
// their vector before binding).
struct TSqlHolder {
    std::string text;
    long long integer = 0;
    double number = 0;
    soci::indicator ind = soci::i_ok;
};

void BindSqlValue(soci::details::prepare_temp_type& pt, TSqlHolder& h, const Variant* v, const std::string& name);
