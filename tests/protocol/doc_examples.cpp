#include "tests/protocol/doc_examples.h"

#include "platform/data/text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace protodoc {
namespace {

const std::string kRequestMark = "\xE2\x86\x92";   // →
const std::string kResponseMark = "\xE2\x86\x90";  // ←

// A recursive-descent reader of one statement (a request or a response).
class Reader {
public:
    Reader(std::string text, int line) : s_(std::move(text)), line_(line) {}

    Pattern Whole() {
        Pattern p = Value();
        Blank();
        if (i_ != s_.size()) Fail("texto a mais depois do valor");
        return p;
    }

private:
    std::string s_;
    std::size_t i_ = 0;
    int line_;

    [[noreturn]] void Fail(const std::string& why) const {
        throw DocError("docs/protocol.md:" + std::to_string(line_) + ": " + why + " (em \"" + s_.substr(i_, 30) +
                       "\")");
    }
    void Blank() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t' || s_[i_] == '\r')) ++i_;
    }
    bool Take(const std::string& token) {
        Blank();
        if (s_.compare(i_, token.size(), token) != 0) return false;
        i_ += token.size();
        return true;
    }
    void Expect(const std::string& token) {
        if (!Take(token)) Fail("esperado " + token);
    }
    std::string Word() {
        Blank();
        std::size_t b = i_;
        while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_')) ++i_;
        if (b == i_) Fail("esperado um nome");
        return s_.substr(b, i_ - b);
    }
    long Count() {
        std::string w = Word();
        if (w.find_first_not_of("0123456789") != std::string::npos) Fail("esperado um número");
        return std::atol(w.c_str());
    }

    Pattern Value() {
        Blank();
        if (i_ >= s_.size()) Fail("valor faltando");
        const char c = s_[i_];
        if (c == '"') return Text();
        if (c == '[') return List();
        if (c == '{') return Map();
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return Number();
        std::string w = Word();
        Pattern p;
        if (w == "nil") return p;
        if (w == "true" || w == "false") {
            p.K = Pattern::Kind::Bool;
            p.Flag = w == "true";
            return p;
        }
        if (w == "packet") return Packet();
        Fail("valor desconhecido " + w);
    }

    Pattern Text() {
        Pattern p;
        p.K = Pattern::Kind::Text;
        ++i_;
        while (i_ < s_.size() && s_[i_] != '"') {
            if (s_[i_] == '\\' && i_ + 1 < s_.size()) ++i_;
            p.Str += s_[i_++];
        }
        if (i_ >= s_.size()) Fail("texto sem aspa final");
        ++i_;
        return p;
    }

    Pattern Number() {
        std::size_t b = i_;
        if (s_[i_] == '-') ++i_;
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.')) ++i_;
        Pattern p;
        const std::string t = s_.substr(b, i_ - b);
        p.K = t.find('.') == std::string::npos ? Pattern::Kind::Int : Pattern::Kind::Float;
        p.Number = std::strtod(t.c_str(), nullptr);
        return p;
    }

    Pattern List() {
        Pattern p;
        p.K = Pattern::Kind::Array;
        Expect("[");
        if (Take("]")) return p;
        do p.Items.push_back(Value());
        while (Take(","));
        Expect("]");
        return p;
    }

    Pattern Map() {
        Pattern p;
        p.K = Pattern::Kind::Map;
        Expect("{");
        if (Take("}")) return p;
        do {
            Pattern key = Value();
            Expect(":");
            p.Pairs.emplace_back(std::move(key), Value());
        } while (Take(","));
        Expect("}");
        return p;
    }

    Pattern Packet() {
        Pattern p;
        p.K = Pattern::Kind::Packet;
        Expect("(");
        if (!Take(";")) {  // "packet(; 0 rows)": no fields at all
            do {
                if (Take("...")) {
                    p.MoreFields = true;
                    break;
                }
                FieldPattern f;
                f.Name = Word();
                if (Take(":")) {
                    f.Type = Word();
                    Expect("(");
                    f.Size = static_cast<int>(Count());
                    Expect(")");
                }
                p.Fields.push_back(f);
            } while (Take(","));
            Expect(";");
        }
        p.Rows = Count();
        const std::string unit = Word();
        if (unit != "row" && unit != "rows") Fail("esperado row ou rows");
        if (Take(":")) {
            do {
                Pattern row = List();
                p.RowValues.push_back(std::move(row.Items));
            } while (Take(","));
            if (static_cast<long>(p.RowValues.size()) != p.Rows) Fail("linhas listadas diferem da contagem");
        }
        Expect(")");
        return p;
    }
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

Variant ScalarOf(const Pattern& p) {
    switch (p.K) {
    case Pattern::Kind::Nil: return Variant();
    case Pattern::Kind::Bool: return Variant(p.Flag);
    case Pattern::Kind::Int: return Variant(static_cast<std::int64_t>(p.Number));
    case Pattern::Kind::Float: return Variant(p.Number);
    case Pattern::Kind::Text: return Variant(p.Str);
    default: throw DocError("um pacote ou lista onde cabe um valor simples");
    }
}

TRpcValue ToValue(const Pattern& p) {
    if (p.K == Pattern::Kind::Array) {
        TRpcValue::Array items;
        for (const Pattern& i : p.Items) items.push_back(ToValue(i));
        return TRpcValue(std::move(items));
    }
    if (p.K == Pattern::Kind::Map) throw DocError("um mapa não é argumento de requisição");
    if (p.K != Pattern::Kind::Packet) return TRpcValue(ScalarOf(p));
    if (p.MoreFields || static_cast<long>(p.RowValues.size()) != p.Rows)
        throw DocError("um pacote de requisição lista todos os campos e linhas");
    std::vector<TPacketField> fields;
    for (const FieldPattern& f : p.Fields) {
        TPacketField pf;
        pf.Name = f.Name;
        if (!FieldTypeFromName(f.Type, pf.DataType)) throw DocError("tipo de campo desconhecido: " + f.Type);
        pf.Size = std::max(0, f.Size);
        fields.push_back(pf);
    }
    TDataPacket packet(fields);
    for (const std::vector<Pattern>& row : p.RowValues) {
        if (row.size() != fields.size()) throw DocError("linha de pacote com largura errada");
        TPacketRow cells;
        for (const Pattern& c : row) cells.push_back(ScalarOf(c));
        packet.AppendRow(std::move(cells));
    }
    return TRpcValue(std::move(packet));
}

std::string Show(const Variant& v) {
    switch (v.kind()) {
    case Variant::Kind::Null: return "nil";
    case Variant::Kind::Boolean: return v.AsBoolean() ? "true" : "false";
    case Variant::Kind::Integer: return std::to_string(v.AsInteger());
    case Variant::Kind::Float: {
        std::ostringstream o;
        o.precision(15);
        o << v.AsFloat();
        return o.str() + (o.str().find('.') == std::string::npos ? ".0" : "");
    }
    case Variant::Kind::String: return "\"" + v.AsString() + "\"";
    }
    return "?";
}

std::string CompareScalar(const Pattern& e, const Variant& a, const std::string& where) {
    using K = Variant::Kind;
    bool same = false;
    switch (e.K) {
    case Pattern::Kind::Nil: same = a.IsNull(); break;
    case Pattern::Kind::Bool: same = a.kind() == K::Boolean && a.AsBoolean() == e.Flag; break;
    case Pattern::Kind::Int:
        same = a.kind() == K::Integer && a.AsInteger() == static_cast<std::int64_t>(e.Number);
        break;
    case Pattern::Kind::Float: same = a.kind() == K::Float && std::fabs(a.AsFloat() - e.Number) < 1e-9; break;
    case Pattern::Kind::Text: same = a.kind() == K::String && (e.Str == "*" || a.AsString() == e.Str); break;
    default:
        return where + ": esperado " + (e.K == Pattern::Kind::Packet ? "um pacote" : "uma lista ou um mapa") +
               ", veio " + Show(a);
    }
    return same ? "" : where + ": esperado " + Show(ScalarOf(e)) + ", veio " + Show(a);
}

std::string ComparePacket(const Pattern& e, const TDataPacket& a, const std::string& where) {
    const auto& fields = a.Fields();
    if (e.Fields.size() > fields.size() || (!e.MoreFields && e.Fields.size() != fields.size()))
        return where + ": o pacote tem " + std::to_string(fields.size()) + " campos";
    for (std::size_t i = 0; i < e.Fields.size(); ++i) {
        const FieldPattern& f = e.Fields[i];
        if (f.Name != fields[i].Name)
            return where + ": campo " + std::to_string(i + 1) + " é " + fields[i].Name + ", não " + f.Name;
        if (!f.Type.empty() && (f.Type != FieldTypeName(fields[i].DataType) || f.Size != fields[i].Size))
            return where + ": campo " + f.Name + " é " + FieldTypeName(fields[i].DataType) + "(" +
                   std::to_string(fields[i].Size) + ")";
    }
    if (static_cast<long>(a.RecordCount()) != e.Rows)
        return where + ": o pacote tem " + std::to_string(a.RecordCount()) + " linhas, não " + std::to_string(e.Rows);
    for (std::size_t r = 0; r < e.RowValues.size(); ++r) {
        const std::vector<Pattern>& row = e.RowValues[r];
        if (row.size() != fields.size()) return where + ": linha " + std::to_string(r + 1) + " com largura errada";
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string why =
                CompareScalar(row[c], a.Value(r, c), where + " linha " + std::to_string(r + 1) + " " + fields[c].Name);
            if (!why.empty()) return why;
        }
    }
    return {};
}

std::string CompareValue(const Pattern& e, const TRpcValue& a, const std::string& where) {
    if (e.K == Pattern::Kind::Packet) {
        if (!a.IsPacket()) return where + ": esperado um pacote";
        return ComparePacket(e, a.Packet(), where);
    }
    if (e.K == Pattern::Kind::Array) {
        if (!a.IsArray()) return where + ": esperada uma lista";
        const TRpcValue::Array& items = a.Items();
        if (items.size() != e.Items.size()) return where + ": a lista tem " + std::to_string(items.size()) + " itens";
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string why = CompareValue(e.Items[i], items[i], where + "[" + std::to_string(i) + "]");
            if (!why.empty()) return why;
        }
        return {};
    }
    if (!a.IsScalar()) return where + ": esperado um valor simples";
    return CompareScalar(e, a.Scalar(), where);
}

std::string CompareOut(const Pattern& e, const std::map<int, TRpcValue>& out) {
    if (e.K != Pattern::Kind::Map) return "out: esperado um mapa no exemplo";
    if (e.Pairs.size() != out.size())
        return "out: tem " + std::to_string(out.size()) + " índices, o exemplo " + std::to_string(e.Pairs.size());
    for (const auto& [key, value] : e.Pairs) {
        auto it = out.find(static_cast<int>(key.Number));
        if (key.K != Pattern::Kind::Int || it == out.end())
            return "out: sem o índice " + std::to_string(static_cast<int>(key.Number));
        std::string why = CompareValue(value, it->second, "out " + std::to_string(it->first));
        if (!why.empty()) return why;
    }
    return {};
}

const Pattern* MapEntry(const Pattern& map, const std::string& key) {
    for (const auto& [k, v] : map.Pairs)
        if (k.K == Pattern::Kind::Text && k.Str == key) return &v;
    return nullptr;
}

}  // namespace

std::vector<Exchange> ReadExchanges(const std::string& markdown) {
    std::vector<Exchange> out;
    std::istringstream in(markdown);
    std::string line, statement;
    int number = 0, statementLine = 0;
    bool inBlock = false, isRequest = false, awaiting = false;
    auto fail = [](int at, const std::string& why) {
        throw DocError("docs/protocol.md:" + std::to_string(at) + ": " + why);
    };
    auto finish = [&] {
        if (statement.empty()) return;
        Pattern p = Reader(statement, statementLine).Whole();
        if (isRequest) out.push_back({statementLine, std::move(p), {}});
        else out.back().Response = std::move(p);
        statement.clear();
    };
    while (std::getline(in, line)) {
        ++number;
        const std::string t = TrimLeft(line, kBlanks);
        if (StartsWith(t, "```")) {
            if (inBlock) finish();
            inBlock = !inBlock && TrimLeft(t.substr(3), kBlanks) == "rpc";
            continue;
        }
        if (!inBlock) continue;
        const bool request = StartsWith(t, kRequestMark), response = StartsWith(t, kResponseMark);
        if (request || response) {
            finish();
            if (request && awaiting) fail(number, "a requisição anterior não tem resposta");
            if (response && !awaiting) fail(number, "resposta sem requisição");
            awaiting = request;
            isRequest = request;
            statementLine = number;
            statement = t.substr(kRequestMark.size());
        } else if (!t.empty()) {
            if (statement.empty()) fail(number, "linha fora de um exemplo");
            statement += "\n" + t;
        }
    }
    if (awaiting) fail(number, "a última requisição não tem resposta");
    return out;
}

TRpcRequest ToRequest(const Pattern& p) {
    if (p.K != Pattern::Kind::Array || p.Items.size() != 4 || p.Items[0].K != Pattern::Kind::Int ||
        p.Items[0].Number != 0 || p.Items[1].K != Pattern::Kind::Int || p.Items[2].K != Pattern::Kind::Text ||
        p.Items[3].K != Pattern::Kind::Array)
        throw DocError("uma requisição é [0, msgid, \"método\", [argumentos]]");
    TRpcRequest r;
    r.MsgId = static_cast<std::uint32_t>(p.Items[1].Number);
    r.Method = p.Items[2].Str;
    for (const Pattern& a : p.Items[3].Items) r.Params.push_back(ToValue(a));
    return r;
}

std::string Compare(const Pattern& e, const TRpcResponse& a) {
    if (e.K != Pattern::Kind::Array || e.Items.size() != 4) return "uma resposta é [1, msgid, erro, resultado]";
    if (!a.MsgId || static_cast<double>(*a.MsgId) != e.Items[1].Number) return "msgid diferente";
    const Pattern& error = e.Items[2];
    const Pattern& result = e.Items[3];
    if (error.K == Pattern::Kind::Nil) {
        if (!a.Ok) return "esperado sucesso, veio o erro " + a.ErrorCode + ": " + a.ErrorMessage;
        if (result.K != Pattern::Kind::Array || result.Items.size() != 2) return "um resultado é [valor, out]";
        std::string why = CompareValue(result.Items[0], a.Value, "valor");
        return why.empty() ? CompareOut(result.Items[1], a.Out) : why;
    }
    if (a.Ok) return "esperado um erro, veio sucesso";
    const Pattern* code = MapEntry(error, "code");
    const Pattern* message = MapEntry(error, "message");
    if (!code || !message) return "um erro é {\"code\": ..., \"message\": ...}";
    if (code->Str != a.ErrorCode || message->Str != a.ErrorMessage)
        return "erro " + a.ErrorCode + ": \"" + a.ErrorMessage + "\"";
    return result.K == Pattern::Kind::Nil ? "" : "num erro o resultado é nil";
}

}  // namespace protodoc
