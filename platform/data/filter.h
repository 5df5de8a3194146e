// The Filter text of a data set, compiled once into a predicate over a record.
//
//   expr    := term { OR term }
//   term    := factor { AND factor }
//   factor  := NOT factor | '(' expr ')' | operand [ cmp operand | IS [NOT] NULL ]
//   cmp     := '=' | '<>' | '!=' | '<' | '>' | '<=' | '>='
//   operand := field | [field name] | 'text' ('' inside is one quote) | number
//              | '-' number | NULL | TRUE | FALSE
//
// Keywords and field names ignore case; blanks are optional wherever a token
// ends by itself ("'01'AND X = 1"). Comparisons follow the framework: text
// against text is case-sensitive, numbers compare as numbers (a date field
// against a quoted dd/mm/yyyy compares as dates), anything against null is
// false except IS NULL. A bare boolean field is a condition by itself.
// A malformed text or an unknown field raises EFilterError.
#pragma once

#include "platform/data/errors.h"
#include "platform/data/packet.h"
#include "platform/data/variant.h"

#include <memory>
#include <string>
#include <vector>

struct TFilterField {
    std::string Name;
    TFieldType DataType = TFieldType::ftString;
};

class TFilterExpr {
public:
    virtual ~TFilterExpr() = default;
    // Points the field references at packet columns (field index -> column,
    // -1 when the packet lacks the field: it reads as null).
    virtual void Bind(const std::vector<int>& columnOfField) = 0;
    // The record's cells in packet column order.
    virtual bool Matches(const TRowRef& row) const = 0;
};

std::shared_ptr<TFilterExpr> CompileFilter(const std::string& text, const std::vector<TFilterField>& fields);
