#include "platform/data/filter.h"

#include "platform/data/datetime.h"
#include "platform/data/format.h"
#include "platform/data/text.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

// ---- lexer ---------------------------------------------------------------

enum class Tok { Ident, String, Number, Op, LParen, RParen, End };

struct Token {
    Tok kind = Tok::End;
    std::string text;
    std::size_t pos = 0;
};

class Lexer {
public:
    explicit Lexer(const std::string& s) : s_(s) {}

    Token next() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
        Token t;
        t.pos = i_ + 1;
        if (i_ >= s_.size()) return t;
        const char c = s_[i_];
        if (c == '\'' || c == '"') return quoted(t, c);
        if (c == '[') return bracketed(t);
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1]))))
            return number(t);
        if (isIdentStart(c)) return ident(t);
        if (c == '(' || c == ')') {
            t.kind = c == '(' ? Tok::LParen : Tok::RParen;
            t.text = std::string(1, c);
            ++i_;
            return t;
        }
        return op(t);
    }

private:
    const std::string& s_;
    std::size_t i_ = 0;

    static bool isIdentStart(char c) {
        return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
    }
    static bool isIdentChar(char c) {
        return isIdentStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '$';
    }
    [[noreturn]] void fail(const std::string& what, std::size_t pos) const {
        throw EFilterError("Filtro inválido (" + what + " na posição " + std::to_string(pos) + "): " + s_);
    }
    Token quoted(Token& t, char q) {
        ++i_;
        while (true) {
            if (i_ >= s_.size()) fail("texto sem aspa de fechamento", t.pos);
            if (s_[i_] == q) {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == q) {
                    t.text += q;
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            t.text += s_[i_++];
        }
        t.kind = Tok::String;
        return t;
    }
    Token bracketed(Token& t) {
        const std::size_t close = s_.find(']', i_);
        if (close == std::string::npos) fail("nome de campo sem ']'", t.pos);
        t.kind = Tok::Ident;
        t.text = s_.substr(i_ + 1, close - i_ - 1);
        i_ = close + 1;
        return t;
    }
    Token number(Token& t) {
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.'))
            t.text += s_[i_++];
        t.kind = Tok::Number;
        return t;
    }
    Token ident(Token& t) {
        while (i_ < s_.size() && isIdentChar(s_[i_])) t.text += s_[i_++];
        t.kind = Tok::Ident;
        return t;
    }
    Token op(Token& t) {
        static const char* const ops[] = {"<>", "<=", ">=", "!=", "=", "<", ">", "-"};
        for (const char* o : ops) {
            const std::size_t n = std::char_traits<char>::length(o);
            if (s_.compare(i_, n, o) == 0) {
                t.kind = Tok::Op;
                t.text = o;
                i_ += n;
                return t;
            }
        }
        fail(std::string("caractere inesperado '") + s_[i_] + "'", t.pos);
    }
};

// ---- expression tree -------------------------------------------------------

enum class Cmp { Eq, Ne, Lt, Gt, Le, Ge };

TCellRef cellOf(const Variant& v) {
    TCellRef c;
    c.Kind = v.kind();
    switch (v.kind()) {
    case Variant::Kind::Boolean: c.Bool = v.AsBoolean(); break;
    case Variant::Kind::Integer: c.Int = v.AsInteger(); break;
    case Variant::Kind::Float: c.Float = v.AsFloat(); break;
    case Variant::Kind::String: c.Text = *v.string_if(); break;
    case Variant::Kind::Null: break;
    }
    return c;
}

std::string asString(const TCellRef& c) {
    return c.Kind == Variant::Kind::String ? std::string(c.Text) : c.ToVariant().AsString();
}

struct Operand {
    int field = -1;  // >= 0: a field reference
    int col = -1;    // its packet column after Bind
    TFieldType type = TFieldType::ftString;
    Variant constant;

    // A constant's cell points into `constant`: operands are not copied once
    // their node is built.
    TCellRef value(const TRowRef& row) const {
        if (field < 0) return cellOf(constant);
        return col < 0 ? TCellRef{} : row.Cell(static_cast<std::size_t>(col));
    }
    bool numericField() const { return field >= 0 && type != TFieldType::ftString; }
    void bind(const std::vector<int>& cols) {
        if (field >= 0) col = field < static_cast<int>(cols.size()) ? cols[static_cast<std::size_t>(field)] : -1;
    }
};

template <class T> bool compareWith(const T& a, const T& b, Cmp op) {
    switch (op) {
    case Cmp::Eq: return a == b;
    case Cmp::Ne: return !(a == b);
    case Cmp::Lt: return a < b;
    case Cmp::Gt: return b < a;
    case Cmp::Le: return !(b < a);
    case Cmp::Ge: return !(a < b);
    }
    return false;
}

class CompareNode final : public TFilterExpr {
public:
    CompareNode(Operand a, Operand b, Cmp op) : a_(std::move(a)), b_(std::move(b)), op_(op) {
        numeric_ = a_.numericField() || b_.numericField() ||
                   (a_.field < 0 && a_.constant.kind() == Variant::Kind::Float) ||
                   (b_.field < 0 && b_.constant.kind() == Variant::Kind::Float);
    }
    void Bind(const std::vector<int>& cols) override {
        a_.bind(cols);
        b_.bind(cols);
    }
    bool Matches(const TRowRef& row) const override {
        const TCellRef x = a_.value(row);
        const TCellRef y = b_.value(row);
        if (x.IsNull() || y.IsNull()) return false;
        if (numeric_) {
            double dx = 0, dy = 0;
            if (x.TryAsFloat(dx) && y.TryAsFloat(dy)) return compareWith(dx, dy, op_);
        }
        if (x.Kind == Variant::Kind::String && y.Kind == Variant::Kind::String) return compareWith(x.Text, y.Text, op_);
        return compareWith(asString(x), asString(y), op_);
    }

private:
    Operand a_, b_;
    Cmp op_;
    bool numeric_ = false;
};

// field = 'text' on a string field: the filter the screens set most.
class TextEqualsNode final : public TFilterExpr {
public:
    TextEqualsNode(Operand f, std::string text, bool negate)
        : f_(std::move(f)), text_(std::move(text)), negate_(negate) {}
    void Bind(const std::vector<int>& cols) override { f_.bind(cols); }
    bool Matches(const TRowRef& row) const override {
        const TCellRef v = f_.value(row);
        if (v.Kind == Variant::Kind::String) return (v.Text == text_) != negate_;
        if (v.IsNull()) return false;
        return (asString(v) == text_) != negate_;
    }

private:
    Operand f_;
    std::string text_;
    bool negate_;
};

class IsNullNode final : public TFilterExpr {
public:
    IsNullNode(Operand a, bool negate) : a_(std::move(a)), negate_(negate) {}
    void Bind(const std::vector<int>& cols) override { a_.bind(cols); }
    bool Matches(const TRowRef& row) const override { return a_.value(row).IsNull() != negate_; }

private:
    Operand a_;
    bool negate_;
};

class TruthNode final : public TFilterExpr {
public:
    explicit TruthNode(Operand a) : a_(std::move(a)) {}
    void Bind(const std::vector<int>& cols) override { a_.bind(cols); }
    bool Matches(const TRowRef& row) const override { return a_.value(row).ToVariant().AsBoolean(); }

private:
    Operand a_;
};

class LogicNode final : public TFilterExpr {
public:
    LogicNode(std::unique_ptr<TFilterExpr> l, std::unique_ptr<TFilterExpr> r, bool isAnd)
        : l_(std::move(l)), r_(std::move(r)), and_(isAnd) {}
    void Bind(const std::vector<int>& cols) override {
        l_->Bind(cols);
        r_->Bind(cols);
    }
    bool Matches(const TRowRef& row) const override {
        return and_ ? (l_->Matches(row) && r_->Matches(row)) : (l_->Matches(row) || r_->Matches(row));
    }

private:
    std::unique_ptr<TFilterExpr> l_, r_;
    bool and_;
};

class NotNode final : public TFilterExpr {
public:
    explicit NotNode(std::unique_ptr<TFilterExpr> e) : e_(std::move(e)) {}
    void Bind(const std::vector<int>& cols) override { e_->Bind(cols); }
    bool Matches(const TRowRef& row) const override { return !e_->Matches(row); }

private:
    std::unique_ptr<TFilterExpr> e_;
};

// ---- parser -----------------------------------------------------------------

class Parser {
public:
    Parser(const std::string& text, const std::vector<TFilterField>& fields)
        : text_(text), lex_(text), fields_(fields) {
        tok_ = lex_.next();
    }

    std::unique_ptr<TFilterExpr> parse() {
        auto e = expr();
        if (tok_.kind != Tok::End) fail("'" + tok_.text + "' inesperado");
        return e;
    }

private:
    const std::string& text_;
    Lexer lex_;
    const std::vector<TFilterField>& fields_;
    Token tok_;
    int depth_ = 0;

    [[noreturn]] void fail(const std::string& what) const {
        throw EFilterError("Filtro inválido (" + what + " na posição " + std::to_string(tok_.pos) + "): " + text_);
    }
    void advance() { tok_ = lex_.next(); }
    bool keyword(const char* k) const { return tok_.kind == Tok::Ident && SameText(tok_.text, k); }

    std::unique_ptr<TFilterExpr> expr() {
        if (++depth_ > 200) fail("expressão aninhada demais");
        auto l = term();
        while (keyword("OR")) {
            advance();
            l = std::make_unique<LogicNode>(std::move(l), term(), false);
        }
        --depth_;
        return l;
    }
    std::unique_ptr<TFilterExpr> term() {
        auto l = factor();
        while (keyword("AND")) {
            advance();
            l = std::make_unique<LogicNode>(std::move(l), factor(), true);
        }
        return l;
    }
    std::unique_ptr<TFilterExpr> factor() {
        if (keyword("NOT")) {
            advance();
            if (++depth_ > 200) fail("expressão aninhada demais");
            auto e = std::make_unique<NotNode>(factor());
            --depth_;
            return e;
        }
        if (tok_.kind == Tok::LParen) {
            advance();
            auto e = expr();
            if (tok_.kind != Tok::RParen) fail("')' esperado");
            advance();
            return e;
        }
        Operand a = operand();
        if (keyword("IS")) return isNull(std::move(a));
        if (tok_.kind == Tok::Op && tok_.text != "-") {
            const Cmp op = cmpOf(tok_.text);
            advance();
            return comparison(std::move(a), operand(), op);
        }
        if (a.field >= 0 && a.type == TFieldType::ftBoolean) return std::make_unique<TruthNode>(std::move(a));
        fail("operador de comparação esperado");
    }
    std::unique_ptr<TFilterExpr> isNull(Operand a) {
        advance();
        bool negate = false;
        if (keyword("NOT")) {
            negate = true;
            advance();
        }
        if (!keyword("NULL")) fail("NULL esperado");
        advance();
        return std::make_unique<IsNullNode>(std::move(a), negate);
    }
    static Cmp cmpOf(const std::string& t) {
        if (t == "=") return Cmp::Eq;
        if (t == "<>" || t == "!=") return Cmp::Ne;
        if (t == "<") return Cmp::Lt;
        if (t == ">") return Cmp::Gt;
        if (t == "<=") return Cmp::Le;
        return Cmp::Ge;
    }
    Operand operand() {
        Operand o;
        if (tok_.kind == Tok::Op && tok_.text == "-") {
            advance();
            if (tok_.kind != Tok::Number) fail("número esperado após '-'");
            o.constant = -numberValue();
            advance();
            return o;
        }
        switch (tok_.kind) {
        case Tok::String: o.constant = tok_.text; break;
        case Tok::Number: o.constant = numberValue(); break;
        case Tok::Ident:
            if (keyword("NULL")) break;
            if (keyword("TRUE") || keyword("FALSE")) {
                o.constant = keyword("TRUE");
                break;
            }
            if (keyword("AND") || keyword("OR") || keyword("NOT") || keyword("IS")) fail("operando esperado");
            resolveField(o);
            break;
        default: fail(tok_.kind == Tok::End ? "fim inesperado do filtro" : "operando esperado");
        }
        advance();
        return o;
    }
    double numberValue() const {
        double d = 0;
        auto r = std::from_chars(tok_.text.data(), tok_.text.data() + tok_.text.size(), d);
        if (r.ec != std::errc() || r.ptr != tok_.text.data() + tok_.text.size())
            fail("número inválido '" + tok_.text + "'");
        return d;
    }
    void resolveField(Operand& o) const {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const std::string& n = fields_[i].Name;
            if (SameText(tok_.text, n)) {
                o.field = static_cast<int>(i);
                o.type = fields_[i].DataType;
                return;
            }
        }
        throw EFilterError("Campo '" + tok_.text + "' não encontrado no filtro: " + text_);
    }
    // A quoted constant beside a typed field takes the field's type.
    static void convertConstant(const Operand& f, Operand& c) {
        if (f.field < 0 || c.field >= 0) return;
        const std::string* s = c.constant.string_if();
        if (!s) return;
        double d = 0;
        if (f.type == TFieldType::ftDateTime) {
            if (TryStrToDate(*s, d)) c.constant = d;
        } else if (f.type == TFieldType::ftFloat || f.type == TFieldType::ftInteger) {
            if (TryStrToFloat(*s, d)) c.constant = d;
        }
    }
    static std::unique_ptr<TFilterExpr> comparison(Operand a, Operand b, Cmp op) {
        convertConstant(a, b);
        convertConstant(b, a);
        if (b.field >= 0 && a.field < 0) {  // keep the field on the left for the fast path
            std::swap(a, b);
            if (op == Cmp::Lt) op = Cmp::Gt;
            else if (op == Cmp::Gt) op = Cmp::Lt;
            else if (op == Cmp::Le) op = Cmp::Ge;
            else if (op == Cmp::Ge) op = Cmp::Le;
        }
        const std::string* text = b.constant.string_if();
        if (a.field >= 0 && a.type == TFieldType::ftString && b.field < 0 && text && (op == Cmp::Eq || op == Cmp::Ne))
            return std::make_unique<TextEqualsNode>(std::move(a), *text, op == Cmp::Ne);
        return std::make_unique<CompareNode>(std::move(a), std::move(b), op);
    }
};

}  // namespace

std::shared_ptr<TFilterExpr> CompileFilter(const std::string& text, const std::vector<TFilterField>& fields) {
    Parser p(text, fields);
    return std::shared_ptr<TFilterExpr>(p.parse());
}
