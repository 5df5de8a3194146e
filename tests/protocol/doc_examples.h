// The request/response examples of docs/protocol.md, read back so that a
// test can replay them against a real server.
//
// An example is a fenced block whose info string is "rpc"; in it a line
// starting with "→" is a request and the "←" line after it its response. A
// value may go on over the following lines until its brackets close.
//
//   value   = nil | true | false | int | float | "text" | [value, ...]
//           | {key: value, ...} | packet
//   key     = int | "text"
//   float   = digits with a "." (45292.0): a MessagePack float 64
//   packet  = "packet(" [field {"," field} ["," "..."]] ";" N ("row"|"rows")
//             [":" row {"," row}] ")"
//   field   = NAME [":" type "(" size ")"]
//   row     = [value, ...]
//
// A packet in a request names every field with its type and lists every row;
// in a response "..." stands for the fields not named, a field without a
// type is checked by name only, rows not listed are only counted, and the
// text "*" stands for any text.
#pragma once

#include "platform/net/codec.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace protodoc {

struct Pattern;

struct FieldPattern {
    std::string Name;
    std::string Type;  // empty: any
    int Size = -1;     // -1: any
};

struct Pattern {
    enum class Kind { Nil, Bool, Int, Float, Text, Array, Map, Packet } K = Kind::Nil;
    bool Flag = false;
    double Number = 0;
    std::string Str;
    std::vector<Pattern> Items;                      // Array
    std::vector<std::pair<Pattern, Pattern>> Pairs;  // Map
    std::vector<FieldPattern> Fields;                // Packet
    bool MoreFields = false;
    long Rows = 0;
    std::vector<std::vector<Pattern>> RowValues;  // empty: rows only counted
};

struct Exchange {
    int Line = 0;  // of the request in the markdown
    Pattern Request;
    Pattern Response;
};

struct DocError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every exchange of the markdown text, in order. Throws DocError naming the
// line of anything it cannot read.
std::vector<Exchange> ReadExchanges(const std::string& markdown);

// The request as the wire carries it. Throws DocError when it is not
// [0, msgid, "method", [params]] or holds something a request cannot.
TRpcRequest ToRequest(const Pattern& p);

// "" when the response matches the pattern, else what differs.
std::string Compare(const Pattern& expected, const TRpcResponse& actual);

}  // namespace protodoc
