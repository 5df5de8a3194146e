// Reading a report definition (grammar and meaning: docs/report-format.md).
#include "platform/report/definition.h"

#include "platform/data/text.h"
#include "platform/db/sqlparams.h"
#include "platform/report/report_error.h"
#include "platform/report/template.h"

#include <toml++/toml.h>

#include <fstream>
#include <sstream>

namespace report {
namespace {

// Reads one definition; every refusal names the file.
class TReader {
public:
    TReader(const toml::table& root, std::string source) : root_(root), source_(std::move(source)) {}

    TReportDef Read() {
        readReport();
        readQuery();
        readCriteria();
        readGroups();
        readDetail();
        readSummary();
        return std::move(def_);
    }

private:
    const toml::table& root_;
    std::string source_;
    TReportDef def_;

    [[noreturn]] void fail(const std::string& what) const {
        throw EReportError("Definição de relatório " + source_ + ": " + what);
    }

    const toml::table* table(const char* name, bool required) const {
        const toml::node* n = root_.get(name);
        if (!n) {
            if (required) fail("falta a seção [" + std::string(name) + "].");
            return nullptr;
        }
        if (!n->is_table()) fail("[" + std::string(name) + "] deve ser uma seção.");
        return n->as_table();
    }

    std::string text(const toml::table& t, const char* key, const std::string& where, bool required,
                     const std::string& fallback = "") const {
        const toml::node* n = t.get(key);
        if (!n) {
            if (required) fail("falta \"" + std::string(key) + "\" em " + where + ".");
            return fallback;
        }
        if (!n->is_string()) fail("\"" + std::string(key) + "\" em " + where + " deve ser um texto.");
        return std::string(*n->value<std::string_view>());
    }

    double number(const toml::table& t, const char* key, const std::string& where, double fallback) const {
        const toml::node* n = t.get(key);
        if (!n) return fallback;
        if (auto v = n->value<double>()) return *v;
        fail("\"" + std::string(key) + "\" em " + where + " deve ser um número.");
    }

    TValueType valueType(const std::string& name, const std::string& where) const {
        for (TValueType t :
             {TValueType::Text, TValueType::Date, TValueType::Number, TValueType::Money, TValueType::Integer})
            if (name == ValueTypeName(t)) return t;
        fail("tipo \"" + name + "\" desconhecido em " + where + " (use text, date, number, money ou integer).");
    }

    TTemplate compile(const std::string& text, const std::string& where, bool paramsFirst = false) {
        try {
            return CompileTemplate(text, def_, paramsFirst);
        } catch (const EReportError& e) {
            fail(where + ": " + e.what());
        }
    }

    void readReport() {
        const toml::table& r = *table("report", true);
        def_.Code = text(r, "code", "[report]", true);
        def_.Title = text(r, "title", "[report]", true);
        if (const toml::node* n = r.get("title")) def_.TitleLine = static_cast<int>(n->source().begin.line);
        const std::string o = text(r, "orientation", "[report]", false, "portrait");
        if (o == "landscape") def_.Orientation = TOrientation::Landscape;
        else if (o != "portrait") fail("orientation deve ser portrait ou landscape.");
        def_.Font = text(r, "font", "[report]", false, def_.Font);
        def_.FontSize = number(r, "font_size", "[report]", def_.FontSize);
        if (def_.FontSize < 5 || def_.FontSize > 14) fail("font_size deve estar entre 5 e 14 pontos.");
        def_.EmptyText = text(r, "empty", "[report]", false, def_.EmptyText);
    }

    // Parameters: those of the query texts in order of first use, then the
    // ones only declared (used by the page texts). Declared types apply to both.
    void readParams() {
        for (const std::string* sql : {&def_.Sql, &def_.SqlSQLite, &def_.SqlPostgreSQL})
            for (const std::string& n : ParseSqlParams(*sql).Names)
                if (def_.ParamIndex(n) < 0) def_.Params.push_back({n, TValueType::Text});
        const toml::table* p = table("params", false);
        if (!p) return;
        for (const auto& [key, node] : *p) {
            const std::string name(key.str());
            if (!node.is_string()) fail("o tipo do parâmetro " + name + " deve ser um texto.");
            const TValueType type = valueType(std::string(*node.value<std::string_view>()), "[params]");
            int i = def_.ParamIndex(name);
            if (i < 0) {
                def_.Params.push_back({name, type});
            } else {
                def_.Params[static_cast<std::size_t>(i)].Type = type;
            }
        }
    }

    void readQuery() {
        const toml::table& q = *table("query", true);
        def_.Sql = text(q, "sql", "[query]", false);
        def_.SqlSQLite = text(q, "sqlite", "[query]", false);
        def_.SqlPostgreSQL = text(q, "postgresql", "[query]", false);
        if (def_.Sql.empty() && def_.SqlSQLite.empty() && def_.SqlPostgreSQL.empty())
            fail("[query] não tem texto SQL (sql, sqlite ou postgresql).");
        readParams();
        const toml::array* fields = q.get_as<toml::array>("fields");
        if (!fields || fields->empty()) fail("[query] deve listar os campos (fields).");
        for (const toml::node& n : *fields) {
            if (!n.is_table()) fail("cada campo de [query] deve ser uma tabela {name, type, title}.");
            const toml::table& f = *n.as_table();
            TFieldDef fd;
            fd.Name = text(f, "name", "um campo de [query]", true);
            fd.Type = valueType(text(f, "type", "o campo " + fd.Name, false, "text"), "o campo " + fd.Name);
            fd.Title = text(f, "title", "o campo " + fd.Name, false, fd.Name);
            if (def_.FieldIndex(fd.Name) >= 0) fail("o campo " + fd.Name + " aparece duas vezes.");
            def_.Fields.push_back(fd);
        }
        const std::string company = def_.ParamIndex("P_NMEMPRESA") >= 0 ? "{P_NMEMPRESA}" : "";
        def_.Company =
            compile(text(*table("report", true), "company", "[report]", false, company), "company de [report]", true);
    }

    std::vector<std::pair<int, std::string>> conditions(const toml::table& c, const char* key,
                                                        const std::string& where) {
        std::vector<std::pair<int, std::string>> out;
        const toml::node* n = c.get(key);
        if (!n) return out;
        if (!n->is_table()) fail(std::string(key) + " em " + where + " deve ser uma tabela {PARAM = \"valor\"}.");
        for (const auto& [k, v] : *n->as_table()) {
            const std::string name(k.str());
            const int i = def_.ParamIndex(name);
            if (i < 0) fail(where + " testa " + name + ", que não é parâmetro do relatório.");
            if (!v.is_string()) fail(where + ": o valor de " + name + " deve ser um texto.");
            out.emplace_back(i, std::string(*v.value<std::string_view>()));
        }
        return out;
    }

    template <class F> void eachTable(const char* name, F&& f) {
        const toml::node* n = root_.get(name);
        if (!n) return;
        const toml::array* a = n->as_array();
        if (!a) fail("[[" + std::string(name) + "]] deve ser uma lista de seções.");
        int i = 0;
        for (const toml::node& e : *a) {
            ++i;
            if (!e.is_table()) fail("[[" + std::string(name) + "]] deve ser uma lista de seções.");
            f(*e.as_table(), "[[" + std::string(name) + "]] " + std::to_string(i));
        }
    }

    void readCriteria() {
        eachTable("criterion", [&](const toml::table& c, const std::string& where) {
            TCriterionDef cd;
            cd.Label = text(c, "label", where, true);
            cd.Text = compile(text(c, "text", where, true), where, true);
            cd.When = conditions(c, "when", where);
            cd.Unless = conditions(c, "unless", where);
            cd.Otherwise = text(c, "otherwise", where, false);
            def_.Criteria.push_back(std::move(cd));
        });
    }

    void readGroups() {
        eachTable("group", [&](const toml::table& g, const std::string& where) {
            TGroupDef gd;
            gd.Key = text(g, "key", where, true);
            gd.KeyField = def_.FieldIndex(gd.Key);
            if (gd.KeyField < 0) fail(where + ": a chave " + gd.Key + " não é campo da consulta.");
            gd.Header = compile(text(g, "header", where, true), where);
            const std::string footer = text(g, "footer", where, false);
            gd.HasFooter = !footer.empty() || g.get("footer_label");
            gd.FooterLabel = compile(text(g, "footer_label", where, false), where);
            gd.FooterText = compile(footer, where);
            def_.Groups.push_back(std::move(gd));
        });
    }

    TAlign align(const std::string& a, const std::string& where) const {
        if (a == "left") return TAlign::Left;
        if (a == "right") return TAlign::Right;
        if (a == "center") return TAlign::Center;
        fail(where + ": align deve ser left, right ou center.");
    }

    void readDetail() {
        const toml::table& d = *table("detail", true);
        const toml::array* cols = d.get_as<toml::array>("columns");
        if (!cols || cols->empty()) fail("[detail] deve listar as colunas (columns).");
        int i = 0;
        for (const toml::node& n : *cols) {
            const std::string where = "a coluna " + std::to_string(++i) + " de [detail]";
            if (!n.is_table()) fail(where + " deve ser uma tabela {title, text, width}.");
            const toml::table& c = *n.as_table();
            TColumnDef cd;
            cd.Title = text(c, "title", where, false);
            cd.Text = compile(text(c, "text", where, true), where);
            cd.Width = number(c, "width", where, cd.Width);
            if (cd.Width <= 0 || cd.Width > 400) fail(where + ": width fora de 1..400 mm.");
            cd.Align = align(text(c, "align", where, false, "left"), where);
            cd.Lines = static_cast<int>(number(c, "lines", where, 1));
            if (cd.Lines < 1 || cd.Lines > 20) fail(where + ": lines fora de 1..20.");
            def_.Columns.push_back(std::move(cd));
        }
        double total = 0;
        for (const TColumnDef& c : def_.Columns) total += c.Width;
        const double usable = PageWidthMm(def_.Orientation) - 2 * kPageMarginMm;
        if (total > usable + 0.01)
            fail("as colunas somam " + std::to_string(static_cast<int>(total + 0.5)) + " mm e a página tem " +
                 std::to_string(static_cast<int>(usable)) + " mm úteis.");
    }

    void readSummary() {
        const toml::table* s = table("summary", false);
        if (!s) return;
        def_.HasSummary = true;
        def_.SummaryLabel = compile(text(*s, "label", "[summary]", false), "[summary]");
        def_.SummaryText = compile(text(*s, "text", "[summary]", false), "[summary]");
    }
};

}  // namespace

const char* ValueTypeName(TValueType t) {
    switch (t) {
    case TValueType::Text: return "text";
    case TValueType::Date: return "date";
    case TValueType::Number: return "number";
    case TValueType::Money: return "money";
    case TValueType::Integer: return "integer";
    }
    return "text";
}

std::string TReportDef::SqlFor(TDBDialect dialect) const {
    if (dialect == TDBDialect::SQLite && !SqlSQLite.empty()) return SqlSQLite;
    if (dialect == TDBDialect::PostgreSQL && !SqlPostgreSQL.empty()) return SqlPostgreSQL;
    return Sql;
}

int TReportDef::FieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < Fields.size(); ++i)
        if (SameText(Fields[i].Name, name)) return static_cast<int>(i);
    return -1;
}

int TReportDef::ParamIndex(const std::string& name) const {
    for (std::size_t i = 0; i < Params.size(); ++i)
        if (SameText(Params[i].Name, name)) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> TReportDef::ParamNames() const {
    std::vector<std::string> names;
    for (const TParamDef& p : Params) names.push_back(p.Name);
    return names;
}

TReportDef ParseDefinition(const std::string& text, const std::string& source) {
    toml::table root;
    try {
        root = toml::parse(text, source);
    } catch (const toml::parse_error& e) {
        throw EReportError("Definição de relatório " + source + " ilegível na linha " +
                           std::to_string(e.source().begin.line) + ": " + std::string(e.description()));
    }
    TReportDef def = TReader(root, source).Read();
    def.SourcePath = source;
    return def;
}

TReportDef LoadDefinition(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EReportError("Não foi possível ler a definição de relatório " + path + ".");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseDefinition(text.str(), path);
}

}  // namespace report
