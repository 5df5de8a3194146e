// A report definition: what a listing asks the database, how its rows are
// grouped, which columns a line shows and what the totals add up. It is read
// from a text file (TOML syntax, our own schema; docs/report-format.md), one
// file per report, named after the report code ("CTB11020-01.toml").
//
// Texts of the definition are templates: literal text with {NAME} (a field
// of the query's rows or a report parameter), {NAME:format} and
// {func(FIELD)} / {func(FIELD):format} (a total over the rows of the group or
// of the report: sum, debit, credit, count). Every name is checked when the
// file is read, so a definition that loads never fails on a missing name
// while a listing runs.
//
// Errors: LoadDefinition and ParseDefinition raise EReportError naming the
// file (and the line, when the syntax is at fault).
#pragma once

#include "platform/data/variant.h"
#include "platform/db/dbgeral.h"

#include <string>
#include <utility>
#include <vector>

namespace report {

enum class TValueType { Text, Date, Number, Money, Integer };
enum class TAlign { Left, Right, Center };
enum class TOrientation { Portrait, Landscape };
enum class TAggFunc { Sum, Debit, Credit, Count };

// A4 pages with the same margin on every side.
inline constexpr double kPageMarginMm = 10;
inline double PageWidthMm(TOrientation o) { return o == TOrientation::Landscape ? 297 : 210; }
inline double PageHeightMm(TOrientation o) { return o == TOrientation::Landscape ? 210 : 297; }

// One piece of a template: literal text, a value (field or parameter) or a
// total. Indices are bound when the definition is read.
struct TTemplatePart {
    enum Kind { Literal, Field, Param, Total } kind = Literal;
    std::string text;    // literal text, or the name as written
    std::string format;  // "" (by type), data, valor, dbcr, conta, lista, texto
    int index = -1;      // field, parameter or total index
};

struct TTemplate {
    std::vector<TTemplatePart> parts;
    bool Empty() const { return parts.empty(); }
};

// A total that some template shows: the function over a field.
struct TTotalDef {
    TAggFunc func = TAggFunc::Sum;
    int field = -1;  // -1 for count()
    bool money = false;
};

struct TFieldDef {
    std::string Name;
    TValueType Type = TValueType::Text;
    std::string Title;
};

struct TParamDef {
    std::string Name;
    TValueType Type = TValueType::Text;
};

struct TColumnDef {
    std::string Title;
    TTemplate Text;
    double Width = 20;  // millimetres
    TAlign Align = TAlign::Left;
    int Lines = 1;  // a longer text wraps up to this many lines
};

struct TGroupDef {
    std::string Key;  // field whose change starts a new group
    int KeyField = -1;
    TTemplate Header;
    bool HasFooter = false;
    TTemplate FooterLabel;
    TTemplate FooterText;
};

struct TCriterionDef {
    std::string Label;
    TTemplate Text;
    std::vector<std::pair<int, std::string>> When;    // parameter index = text
    std::vector<std::pair<int, std::string>> Unless;  // parameter index = text
    std::string Otherwise;                            // "" leaves the criterion out
};

struct TReportDef {
    std::string Code;
    std::string Title;
    TOrientation Orientation = TOrientation::Portrait;
    std::string Font = "Sans";
    double FontSize = 7.5;  // points, the lines of the listing
    TTemplate Company;      // first line of every page

    std::string Sql, SqlSQLite, SqlPostgreSQL;  // one text per dialect; Sql is the fallback
    std::vector<TParamDef> Params;              // every parameter, query's and declared
    std::vector<TFieldDef> Fields;              // the query's columns, in order
    std::vector<TColumnDef> Columns;            // the line of the listing
    std::vector<TGroupDef> Groups;              // outermost first
    std::vector<TCriterionDef> Criteria;
    bool HasSummary = false;
    TTemplate SummaryLabel;
    TTemplate SummaryText;
    std::string EmptyText = "Nenhum registro atende aos critérios informados.";
    std::vector<TTotalDef> Totals;

    std::string SourcePath;  // the file it was read from ("" when parsed from text)
    int TitleLine = 0;       // 1-based line of `title` in the file (for a copy)

    std::string SqlFor(TDBDialect dialect) const;
    int FieldIndex(const std::string& name) const;  // -1 when absent (case ignored)
    int ParamIndex(const std::string& name) const;  // -1 when absent (case ignored)
    std::vector<std::string> ParamNames() const;
};

TReportDef ParseDefinition(const std::string& text, const std::string& source);
TReportDef LoadDefinition(const std::string& path);

const char* ValueTypeName(TValueType t);

}  // namespace report
