#include "host/drive/script.h"

#include "platform/data/text.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace drive {
namespace {

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
    if (w.size() != n) throw Malformed(std::string("esperado: ") + usage);
}

int ParseRow(const std::string& text) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > 1000000000)
        throw Malformed("a linha é um número a partir de 1: " + text);
    return static_cast<int>(v);
}

std::vector<std::string> SplitCodes(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string code = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (code.empty()) throw Malformed("código vazio na lista: " + text);
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
    if (w.size() != 2) throw Malformed("esperado: pick CAMPO=VALOR | pick CÓDIGO,CÓDIGO | pick cancel");
    PickChoice p;
    text = w[1].text;
    if (!w[1].quoted && LowerCase(text) == "cancel") {
        text = "cancel";
        return p;
    }
    std::size_t eq = text.find('=');
    if (eq != std::string::npos) {
        if (eq == 0) throw Malformed("esperado CAMPO=VALOR: " + text);
        p.kind = PickChoice::Kind::Keys;
        p.keys.emplace_back(text.substr(0, eq), text.substr(eq + 1));
        return p;
    }
    p.kind = PickChoice::Kind::Codes;
    p.codes = SplitCodes(text);
    return p;
}

Answer ParseAnswer(const std::string& text) {
    std::string a = LowerCase(text);
    if (a == "yes") return Answer::Yes;
    if (a == "no") return Answer::No;
    if (a == "ok") return Answer::Ok;
    if (a == "cancel") return Answer::Cancel;
    throw Malformed("answer aceita yes, no, ok ou cancel: " + text);
}

void BuildGrid(const std::vector<Word>& w, Command& c) {
    if (w.size() < 3) throw Malformed("esperado: grid G col|row|cell|button ...");
    c.target = w[1].text;
    std::string what = LowerCase(w[2].text);
    if (what == "col") {
        Arity(w, 4, "grid G col CAMPO");
        c.verb = Verb::GridCol;
        c.field = w[3].text;
    } else if (what == "row") {
        Arity(w, 4, "grid G row N");
        c.verb = Verb::GridRow;
        c.row = ParseRow(w[3].text);
    } else if (what == "cell") {
        Arity(w, 5, "grid G cell CAMPO \"texto\"");
        c.verb = Verb::GridCell;
        c.field = w[3].text;
        c.text = w[4].text;
    } else if (what == "button") {
        Arity(w, 3, "grid G button");
        c.verb = Verb::GridButton;
    } else {
        throw Malformed("ação de grade desconhecida: " + w[2].text);
    }
}

void BuildExpect(const std::vector<Word>& w, Command& c) {
    if (w.size() < 2) throw Malformed("esperado: expect CAMINHO \"valor\" | message | no message | focus C");
    std::string what = w[1].quoted ? std::string() : LowerCase(w[1].text);
    if (what == "message") {
        Arity(w, 3, "expect message \"texto\"");
        c.verb = Verb::ExpectMessage;
        c.text = w[2].text;
    } else if (what == "no" && w.size() == 3 && LowerCase(w[2].text) == "message") {
        c.verb = Verb::ExpectNoMessage;
    } else if (what == "lookup") {
        Arity(w, 3, "expect lookup \"título\"");
        c.verb = Verb::ExpectLookup;
        c.text = w[2].text;
    } else if (what == "focus") {
        Arity(w, 3, "expect focus C");
        c.verb = Verb::ExpectFocus;
        c.target = w[2].text;
    } else {
        Arity(w, 3, "expect C.PROPRIEDADE \"valor\"");
        if (w[1].text.find('.') == std::string::npos)
            throw Malformed("expect precisa de NOME.PROPRIEDADE: " + w[1].text);
        c.verb = Verb::ExpectProp;
        c.target = w[1].text;
        c.text = w[2].text;
    }
}

// One verb with one target and maybe one text: focus, type, set, key, click...
void BuildSimple(const std::string& verb, const std::vector<Word>& w, Command& c) {
    struct Row {
        const char* name;
        Verb verb;
        std::size_t words;
        const char* usage;
    };
    static const Row table[] = {
        {"open", Verb::Open, 1, "open"},
        {"focus", Verb::Focus, 2, "focus C"},
        {"type", Verb::Type, 3, "type C \"texto\""},
        {"set", Verb::Set, 3, "set C \"texto\""},
        {"key", Verb::Key, 3, "key C TECLA"},
        {"click", Verb::Click, 2, "click C"},
        {"dblclick", Verb::DblClick, 2, "dblclick C"},
        {"dump", Verb::Dump, 2, "dump C"},
        {"close", Verb::Close, 2, "close FORMULÁRIO"},
    };
    for (const Row& r : table) {
        if (verb != r.name) continue;
        Arity(w, r.words, r.usage);
        c.verb = r.verb;
        if (r.words > 1) c.target = w[1].text;
        if (r.words > 2) c.text = w[2].text;
        if (c.verb == Verb::Key && !IsKnownKey(c.text)) throw Malformed("tecla desconhecida: " + c.text);
        return;
    }
    throw Malformed("comando desconhecido: " + w[0].text);
}

Command BuildCommand(const std::vector<Word>& w) {
    Command c;
    if (w[0].quoted) throw Malformed("um comando começa por um verbo");
    std::string verb = LowerCase(w[0].text);
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
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Word w;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
            if (line[i] != '"') {
                w.text += line[i++];
                continue;
            }
            w.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char ch = line[i++];
                if (ch == '"') {
                    closed = true;
                    break;
                }
                if (ch == '\\') {
                    if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) {
                        error = "entre aspas só valem os escapes \\\" e \\\\";
                        return false;
                    }
                    ch = line[i++];
                }
                w.text += ch;
            }
            if (!closed) {
                error = "texto entre aspas sem a aspa final";
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
                while (!c.source.empty() && (c.source.back() == '\r' || IsBlank(c.source.back()))) c.source.pop_back();
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
    static const char* names[] = {"enter", "tab", "escape", "delete", "insert", "down", "up", "f2", "ctrl+delete"};
    std::string k = LowerCase(key);
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
    return "  open                         chama IniProc (abre a tela de lançamentos)\n"
           "  focus C                      leva o foco a C (eventos de saída e de entrada)\n"
           "  type C \"texto\"               foca C, seleciona tudo e digita tecla a tecla\n"
           "  set C \"texto\"                põe o texto em C de uma vez (só o evento de mudança)\n"
           "  key C TECLA                  foca C e tecla: Enter Tab Escape Delete Insert\n"
           "                               Down Up F2 Ctrl+Delete, ou um caractere\n"
           "  click C                      clica um botão, rádio, caixa, comando de menu ou aba\n"
           "  dblclick C                   duplo clique (numa grade: na célula selecionada)\n"
           "  grid G col CAMPO             seleciona a coluna de CAMPO\n"
           "  grid G row N                 vai à N-ésima linha da grade (a partir de 1)\n"
           "  grid G cell CAMPO \"texto\"    seleciona a coluna e digita o texto na célula,\n"
           "                               substituindo o que o editor tiver\n"
           "  grid G button                clica as reticências da coluna selecionada\n"
           "  answer yes|no|ok|cancel      responde a próxima caixa de mensagem\n"
           "  pick CAMPO=VALOR             escolhe o registro da próxima pesquisa\n"
           "  pick CÓDIGO,CÓDIGO           marca os códigos da próxima pesquisa em lista\n"
           "                               (um código: a conta da pesquisa em árvore)\n"
           "  pick cancel                  cancela a próxima pesquisa\n"
           "  expect CAMINHO \"valor\"       confere uma propriedade (abaixo)\n"
           "  expect message \"texto\"       a caixa mais antiga não conferida mostrou o texto\n"
           "  expect no message            não resta caixa de mensagem a conferir\n"
           "  expect focus C               o foco está em C\n"
           "  expect lookup \"título\"       a última pesquisa mostrada tinha este título\n"
           "  dump C                       mostra um controle, grade, conjunto de dados ou\n"
           "                               formulário\n"
           "  close FORMULÁRIO             fecha um formulário como o seu botão de fechar ou\n"
           "                               cancelar\n";
}

}  // namespace drive
