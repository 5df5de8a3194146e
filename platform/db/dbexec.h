// Running a read-only SELECT into a data packet. Every `:NAME` of the text is
// bound by name from the values given (soci::use, never pasted into the
// text); a parameter of the text without a value is bound as null.
//
// With `fields` given, the packet has exactly those fields and each takes the
// result column of the same name (case-insensitive), converted to the field's
// type (a field without a column stays null; columns without a field are left
// out). With no fields, the packet takes every result column with the type the
// database gives it.
//
// Errors: any failure of the database (syntax, missing table, lock timeout,
// unreadable value) raises EDatabaseError with a Portuguese text followed by
// the database's own text. Nothing is returned partly filled.
#pragma once

#include "platform/data/packet.h"
#include "platform/db/dbgeral.h"

#include <cstddef>
#include <string>
#include <vector>

struct TBoundValue {
    std::string Name;  // without ':'
    Variant Value;
};

TDataPacket SelectToPacket(TDBConnection& db, const std::string& sql, const std::vector<TBoundValue>& params,
                           const std::vector<TPacketField>& fields = {});

// Baseline for the server benchmarks: the first `rows` rows of a table, every
// column, straight into a packet. The table name must be a plain identifier
// (letters, digits, '_'); any other text raises EDatabaseError.
TDataPacket SelectTableRows(TDBConnection& db, const std::string& table, std::size_t rows);
