// Scenario scripts of ctb-drive: the text grammar and the command model.
//
//   script   = { line }
//   line     = [ command ] [ "#" comment ] newline
//   command  = verb { blank word }
//   word     = { plain-char | quoted }        a word may mix both: KEY="a b"
//   quoted   = '"' { char | '\"' | '\\' } '"'
//
// A '#' outside quotes starts a comment. Verbs are case-insensitive. Every
// line is checked against the command table when parsed, so a malformed line
// is reported with its number and never reaches the interpreter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drive {

struct Word {
    std::string text;
    bool quoted = false;  // any part of it was in quotes (so "cancel" is text)
};

enum class Verb {
    Open,             // open
    Focus,            // focus C
    Type,             // type C "text"
    Set,              // set C "text"
    Key,              // key C KEY
    Click,            // click C
    DblClick,         // dblclick C
    GridCol,          // grid G col FIELD
    GridRow,          // grid G row N
    GridCell,         // grid G cell FIELD "text"
    GridButton,       // grid G button
    Answer,           // answer yes|no|ok|cancel
    Pick,             // pick KEY=VALUE | pick CODE,CODE | pick cancel
    ExpectProp,       // expect PATH "value"
    ExpectMessage,    // expect message "text"
    ExpectNoMessage,  // expect no message
    ExpectFocus,      // expect focus C
    ExpectLookup,     // expect lookup "title"
    Dump,             // dump C
    Close,            // close FORM  (as by the form's own close or cancel button)
};

enum class Answer { Yes, No, Ok, Cancel };

struct PickChoice {
    enum class Kind { Cancel, Keys, Codes } kind = Kind::Cancel;
    std::vector<std::pair<std::string, std::string>> keys;  // Keys: the field=value pair
    std::vector<std::string> codes;                         // Codes: ticked codes
};

// One parsed command. `target` is the control, grid, data set or form path;
// `field` the grid's field name; `text` the typed text, expected value, key
// or the pick as queued.
struct Command {
    int line = 0;
    Verb verb = Verb::Open;
    std::string source;  // the line as written, for failure reports
    std::string target;
    std::string field;
    std::string text;
    int row = 0;
    Answer answer = Answer::Ok;
    PickChoice pick;
};

struct ParseError {
    int line = 0;
    std::string message;
};

struct Script {
    std::string file;
    std::vector<Command> commands;
    std::vector<ParseError> errors;
};

// Splits one line into words; false with `error` set on an unterminated quote
// or an unknown escape.
bool SplitWords(std::string_view line, std::vector<Word>& words, std::string& error);

// Parses a whole script; never throws on bad text (errors are collected).
Script ParseScript(std::string_view text, const std::string& file);

// Key names accepted by `key`: Enter, Tab, Escape, Delete, Insert, Down, Up,
// F2, Ctrl+Delete (case-insensitive) or exactly one character.
bool IsKnownKey(const std::string& key);

// The command's name as a script writes it ("grid cell", "expect message").
const char* VerbName(Verb verb);

// The usage line of every command, for --help and for parse errors.
const char* CommandSummary();

}  // namespace drive
