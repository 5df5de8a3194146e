#include "host/drive/script.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace drive {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Counts UTF-8 code points, so a typed "ç" is one key.
std::size_t CodePoints(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Thrown by the per-verb builders; turned into a ParseError for the line.
struct Malformed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Arity(const std::vector<Word>& w, std::size_t n, const char* usage) {
    if (w.size() != n) throw Malformed(std::string("expected: ") + usage);
}

int ParseRow(const std::string& text) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > 1000000000)
        throw Malformed("row must be a number from 1: " + text);
    return static_cast<int>(v);
}

std::vector<std::string> SplitCodes(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string code = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (code.empty()) throw Malformed("empty code in list: " + text);
        out.push_back(code);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

// The pick is queued as the lookup services read it: "cancel", "KEY=VALUE"
// (the record whose KEY equals VALUE), "CODE,CODE" (ticked codes) or a bare
// code (an account of the tree lookup).
PickChoice ParsePick(const std::vector<Word>& w, std::string& text) {
    if (w.size() != 2) throw Malformed("expected: pick KEY=VALUE | pick CODE,CODE | pick cancel");
    PickChoice p;
    text = w[1].text;
    if (!w[1].quoted && Lower(text) == "cancel") {
        text = "cancel";
        return p;
    }
    std::size_t eq = text.find('=');
    if (eq != std::string::npos) {
        if (eq == 0) throw Malformed("expected KEY=VALUE: " + text);
        p.kind = PickChoice::Kind::Keys;
        p.keys.emplace_back(text.substr(0, eq), text.substr(eq + 1));
        return p;
    }
    p.kind = PickChoice::Kind::Codes;
    p.codes = SplitCodes(text);
    return p;
}

Answer ParseAnswer(const std::string& text) {
    std::string a = Lower(text);
    if (a == "yes") return Answer::Yes;
    if (a == "no") return Answer::No;
    if (a == "ok") return Answer::Ok;
    if (a == "cancel") return Answer::Cancel;
    throw Malformed("answer must be yes, no, ok or cancel: " + text);
}

void BuildGrid(const std::vector<Word>& w, Command& c) {
    if (w.size() < 3) throw Malformed("expected: grid G col|row|cell|button ...");
    c.target = w[1].text;
    std::string what = Lower(w[2].text);
    if (what == "col") {
        Arity(w, 4, "grid G col FIELD");
        c.verb = Verb::GridCol;
        c.field = w[3].text;
    } else if (what == "row") {
        Arity(w, 4, "grid G row N");
        c.verb = Verb::GridRow;
        c.row = ParseRow(w[3].text);
    } else if (what == "cell") {
        Arity(w, 5, "grid G cell FIELD \"text\"");
        c.verb = Verb::GridCell;
        c.field = w[3].text;
        c.text = w[4].text;
    } else if (what == "button") {
        Arity(w, 3, "grid G button");
        c.verb = Verb::GridButton;
    } else {
        throw Malformed("unknown grid action: " + w[2].text);
    }
}

void BuildExpect(const std::vector<Word>& w, Command& c) {
    if (w.size() < 2) throw Malformed("expected: expect PATH \"value\" | message | no message | focus C");
    std::string what = w[1].quoted ? std::string() : Lower(w[1].text);
    if (what == "message") {
        Arity(w, 3, "expect message \"text\"");
        c.verb = Verb::ExpectMessage;
        c.text = w[2].text;
    } else if (what == "no" && w.size() == 3 && Lower(w[2].text) == "message") {
        c.verb = Verb::ExpectNoMessage;
    } else if (what == "lookup") {
        Arity(w, 3, "expect lookup \"title\"");
        c.verb = Verb::ExpectLookup;
        c.text = w[2].text;
    } else if (what == "focus") {
        Arity(w, 3, "expect focus C");
        c.verb = Verb::ExpectFocus;
        c.target = w[2].text;
    } else {
        Arity(w, 3, "expect C.PROP \"value\"");
        if (w[1].text.find('.') == std::string::npos)
            throw Malformed("expect needs NAME.PROPERTY: " + w[1].text);
        c.verb = Verb::ExpectProp;
        c.target = w[1].text;
        c.text = w[2].text;
    }
}

// One verb with one target and maybe one text: focus, type, set, key, click...
void BuildSimple(const std::string& verb, const std::vector<Word>& w, Command& c) {
    struct Row { const char* name; Verb verb; std::size_t words; const char* usage; };
    static const Row table[] = {
        {"open", Verb::Open, 1, "open"},
        {"focus", Verb::Focus, 2, "focus C"},
        {"type", Verb::Type, 3, "type C \"text\""},
        {"set", Verb::Set, 3, "set C \"text\""},
        {"key", Verb::Key, 3, "key C KEY"},
        {"click", Verb::Click, 2, "click C"},
        {"dblclick", Verb::DblClick, 2, "dblclick C"},
        {"dump", Verb::Dump, 2, "dump C"},
        {"close", Verb::Close, 2, "close FORM"},
    };
    for (const Row& r : table) {
        if (verb != r.name) continue;
        Arity(w, r.words, r.usage);
        c.verb = r.verb;
        if (r.words > 1) c.target = w[1].text;
        if (r.words > 2) c.text = w[2].text;
        if (c.verb == Verb::Key && !IsKnownKey(c.text)) throw Malformed("unknown key: " + c.text);
        return;
    }
    throw Malformed("unknown command: " + w[0].text);
}

Command BuildCommand(const std::vector<Word>& w) {
    Command c;
    if (w[0].quoted) throw Malformed("a command starts with a verb");
    std::string verb = Lower(w[0].text);
    if (verb == "grid") {
        BuildGrid(w, c);
    } else if (verb == "expect") {
        BuildExpect(w, c);
    } else if (verb == "answer") {
        Arity(w, 2, "answer yes|no|ok|cancel");
        c.verb = Verb::Answer;
        c.answer = ParseAnswer(w[1].text);
    } else if (verb == "pick") {
        c.verb = Verb::Pick;
        c.pick = ParsePick(w, c.text);
    } else {
        BuildSimple(verb, w, c);
    }
    return c;
}

}  // namespace

bool SplitWords(std::string_view line, std::vector<Word>& words, std::string& error) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) { ++i; continue; }
        if (line[i] == '#') break;
        Word w;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
            if (line[i] != '"') { w.text += line[i++]; continue; }
            w.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char ch = line[i++];
                if (ch == '"') { closed = true; break; }
                if (ch == '\\') {
                    if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) {
                        error = "only \\\" and \\\\ escapes are allowed in quoted text";
                        return false;
                    }
                    ch = line[i++];
                }
                w.text += ch;
            }
            if (!closed) {
                error = "unterminated quoted text";
                return false;
            }
        }
        words.push_back(std::move(w));
    }
    return true;
}

Script ParseScript(std::string_view text, const std::string& file) {
    Script s;
    s.file = file;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? text.size() - pos : nl - pos);
        ++number;
        std::vector<Word> words;
        std::string error;
        if (!SplitWords(line, words, error)) {
            s.errors.push_back({number, error});
        } else if (!words.empty()) {
            try {
                Command c = BuildCommand(words);
                c.line = number;
                c.source = std::string(line);
                while (!c.source.empty() && (c.source.back() == '\r' || IsBlank(c.source.back())))
                    c.source.pop_back();
                s.commands.push_back(std::move(c));
            } catch (const Malformed& e) {
                s.errors.push_back({number, e.what()});
            }
        }
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return s;
}

bool IsKnownKey(const std::string& key) {
    static const char* names[] = {"enter", "tab", "escape", "delete", "insert",
                                  "down", "up", "f2", "ctrl+delete"};
    std::string k = Lower(key);
    for (const char* n : names)
        if (k == n) return true;
    return !key.empty() && CodePoints(key) == 1;
}

const char* VerbName(Verb verb) {
    switch (verb) {
    case Verb::Open: return "open";
    case Verb::Focus: return "focus";
    case Verb::Type: return "type";
    case Verb::Set: return "set";
    case Verb::Key: return "key";
    case Verb::Click: return "click";
    case Verb::DblClick: return "dblclick";
    case Verb::GridCol: return "grid col";
    case Verb::GridRow: return "grid row";
    case Verb::GridCell: return "grid cell";
    case Verb::GridButton: return "grid button";
    case Verb::Answer: return "answer";
    case Verb::Pick: return "pick";
    case Verb::ExpectProp: return "expect";
    case Verb::ExpectMessage: return "expect message";
    case Verb::ExpectNoMessage: return "expect no message";
    case Verb::ExpectLookup: return "expect lookup";
    case Verb::ExpectFocus: return "expect focus";
    case Verb::Dump: return "dump";
    case Verb::Close: return "close";
    }
    return "?";
}

const char* CommandSummary() {
    return "  open                         calls IniProc (opens the entry screen)\n"
           "  focus C                      moves the focus to C (exit and enter handlers)\n"
           "  type C \"text\"                focuses C, selects all and types key by key\n"
           "  set C \"text\"                 sets the text of C at once (change event only)\n"
           "  key C KEY                    focuses C and presses KEY: Enter Tab Escape Delete\n"
           "                               Insert Down Up F2 Ctrl+Delete, or one character\n"
           "  click C                      clicks a button, radio button, menu command or tab\n"
           "  dblclick C                   double click (in a grid: on the selected cell)\n"
           "  grid G col FIELD             selects the column of FIELD\n"
           "  grid G row N                 moves to the N-th row of the grid's view (from 1)\n"
           "  grid G cell FIELD \"text\"     selects the column and types into the cell\n"
           "  grid G button                clicks the ellipsis button of the selected column\n"
           "  answer yes|no|ok|cancel      queues the answer to the next message box\n"
           "  pick KEY=VALUE               queues the record the next lookup picks\n"
           "  pick CODE,CODE               queues the codes the next list lookup ticks\n"
           "                               (one code: the account of the tree lookup)\n"
           "  pick cancel                  queues a cancelled lookup\n"
           "  expect PATH \"value\"          checks a property (see below)\n"
           "  expect message \"text\"        the oldest unchecked message box showed text\n"
           "  expect no message            no message box is left unchecked\n"
           "  expect focus C               the focused control is C\n"
           "  expect lookup \"title\"       the latest lookup dialog had this title\n"
           "  dump C                       prints a control, grid, data set or form\n"
           "  close FORM                   closes a form as by its close or cancel button\n";
}

}  // namespace drive
