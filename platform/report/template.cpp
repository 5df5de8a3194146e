#include "platform/report/template.h"

#include "platform/data/datetime.h"
#include "platform/data/format.h"
#include "platform/data/text.h"
#include "platform/db/dbconvert.h"
#include "platform/db/sqlparams.h"
#include "platform/report/report_error.h"

#include <cmath>

namespace report {
namespace {

const char* const kFormats[] = {"", "date", "amount", "dbcr", "account", "list", "text"};

bool knownFormat(const std::string& f) {
    for (const char* k : kFormats)
        if (f == k) return true;
    return false;
}

bool parseFunc(const std::string& name, TAggFunc& out) {
    if (name == "sum") out = TAggFunc::Sum;
    else if (name == "debit") out = TAggFunc::Debit;
    else if (name == "credit") out = TAggFunc::Credit;
    else if (name == "count") out = TAggFunc::Count;
    else return false;
    return true;
}

int addTotal(TReportDef& def, TAggFunc func, int field) {
    const bool money = field >= 0 && def.Fields[static_cast<std::size_t>(field)].Type == TValueType::Money;
    for (std::size_t i = 0; i < def.Totals.size(); ++i)
        if (def.Totals[i].func == func && def.Totals[i].field == field) return static_cast<int>(i);
    def.Totals.push_back({func, field, money});
    return static_cast<int>(def.Totals.size() - 1);
}

TTemplatePart totalPart(const std::string& ref, TReportDef& def) {
    const auto open = ref.find('(');
    if (ref.back() != ')') throw EReportError("total mal escrito: {" + ref + "}.");
    const std::string fn = Trim(ref.substr(0, open), kBlanks);
    const std::string arg = Trim(ref.substr(open + 1, ref.size() - open - 2), kBlanks);
    TAggFunc func;
    if (!parseFunc(fn, func)) throw EReportError("função " + fn + " desconhecida (use sum, debit, credit ou count).");
    int field = -1;
    if (func != TAggFunc::Count || !arg.empty()) {
        field = def.FieldIndex(arg);
        if (field < 0) throw EReportError("{" + ref + "}: " + arg + " não é campo da consulta.");
        const TValueType t = def.Fields[static_cast<std::size_t>(field)].Type;
        if (func != TAggFunc::Count && t != TValueType::Money && t != TValueType::Number && t != TValueType::Integer)
            throw EReportError("{" + ref + "}: " + arg + " não é um campo numérico.");
    }
    if (func == TAggFunc::Count) field = -1;
    TTemplatePart p;
    p.kind = TTemplatePart::Total;
    p.text = ref;
    p.index = addTotal(def, func, field);
    return p;
}

TTemplatePart refPart(const std::string& inside, TReportDef& def, bool paramsFirst) {
    std::string ref = inside, format;
    const auto colon = inside.rfind(':');
    if (colon != std::string::npos && inside.find(')', colon) == std::string::npos) {
        ref = inside.substr(0, colon);
        format = Trim(inside.substr(colon + 1), kBlanks);
    }
    ref = Trim(ref, kBlanks);
    if (ref.empty()) throw EReportError("{} sem nome.");
    if (!knownFormat(format))
        throw EReportError("formato " + format + " desconhecido (use date, amount, dbcr, account, list ou text).");
    TTemplatePart p;
    if (ref.find('(') != std::string::npos) {
        p = totalPart(ref, def);
    } else if (int k = def.ParamIndex(ref); paramsFirst && k >= 0) {
        p.kind = TTemplatePart::Param;
        p.index = k;
    } else if (int f = def.FieldIndex(ref); f >= 0) {
        p.kind = TTemplatePart::Field;
        p.index = f;
    } else if (k >= 0) {
        p.kind = TTemplatePart::Param;
        p.index = k;
    } else {
        throw EReportError("{" + ref + "} não é campo da consulta nem parâmetro do relatório.");
    }
    p.text = ref;
    p.format = format;
    return p;
}

void addLiteral(TTemplate& t, const std::string& s) {
    if (s.empty()) return;
    if (!t.parts.empty() && t.parts.back().kind == TTemplatePart::Literal) t.parts.back().text += s;
    else t.parts.push_back({TTemplatePart::Literal, s, "", -1});
}

std::string listText(const std::string& list) {
    std::string out, code;
    bool inside = false;
    for (char c : list) {
        if (c != '_') {
            code += c;
            continue;
        }
        if (inside && !code.empty()) out += (out.empty() ? "" : ", ") + code;
        code.clear();
        inside = !inside;
    }
    return out.empty() ? list : out;
}

double cents(double v) { return std::llround(v * 100.0) / 100.0; }

// A date as days, whether it came as days or as text (dd/mm/yyyy or ISO);
// a text that is no date reads as it is.
std::string dateText(const Variant& v) {
    const std::string* s = v.string_if();
    if (!s) return DateToStr(v.AsFloat());
    TDateTime d = 0;
    if (TryStrToDate(*s, d) || ParseIsoDateTime(*s, d)) return DateToStr(d);
    return *s;
}

}  // namespace

TTemplate CompileTemplate(const std::string& text, TReportDef& def, bool paramsFirst) {
    TTemplate t;
    std::string lit;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
            lit += c;
            ++i;
            continue;
        }
        if (c == '}') throw EReportError("\"}\" sem \"{\" em \"" + text + "\" (escreva }} para o caractere).");
        if (c != '{') {
            lit += c;
            continue;
        }
        const auto close = text.find('}', i + 1);
        if (close == std::string::npos) throw EReportError("\"{\" sem \"}\" em \"" + text + "\".");
        addLiteral(t, lit);
        lit.clear();
        t.parts.push_back(refPart(text.substr(i + 1, close - i - 1), def, paramsFirst));
        i = close;
    }
    addLiteral(t, lit);
    return t;
}

void Accumulate(const TReportDef& def, const std::vector<Variant>& row, std::vector<TAccum>& acc) {
    for (std::size_t i = 0; i < def.Totals.size(); ++i) {
        const TTotalDef& d = def.Totals[i];
        TAccum& a = acc[i];
        ++a.count;
        if (d.field < 0) continue;
        const double v = row[static_cast<std::size_t>(d.field)].AsFloat();
        const bool take =
            d.func == TAggFunc::Sum || (d.func == TAggFunc::Debit && v < 0) || (d.func == TAggFunc::Credit && v > 0);
        if (!take) continue;
        const double signedV = d.func == TAggFunc::Debit ? -v : v;
        if (d.money) a.cents += std::llround(signedV * 100.0);
        else a.number += signedV;
    }
}

std::string DebitCredit(double value) {
    const double r = cents(value);
    if (r > 0) return FormatFloat("#,##0.00", r) + " CR";
    if (r < 0) return FormatFloat("#,##0.00", -r) + " DB";
    return FormatFloat("#,##0.00", 0);
}

std::string AccountText(const std::string& code, const std::string& picture) {
    std::string digits = code;
    while (!digits.empty() && digits.back() == 'Z') digits.pop_back();
    const std::string mask = picture.substr(0, picture.find(';'));
    if (mask.empty()) return digits;
    std::string out;
    std::size_t next = 0;
    for (char m : mask) {
        if (next >= digits.size()) break;
        const bool slot =
            m == '9' || m == '0' || m == '#' || m == 'A' || m == 'a' || m == 'L' || m == 'l' || m == 'C' || m == 'c';
        out += slot ? digits[next++] : m;
    }
    return out + digits.substr(next);
}

std::string FormatValue(const Variant& v, TValueType type, const std::string& format,
                        const std::string& accountPicture) {
    if (v.IsNull()) return "";
    std::string f = format;
    if (f.empty()) {
        switch (type) {
        case TValueType::Date: f = "date"; break;
        case TValueType::Money:
        case TValueType::Number: f = "amount"; break;
        case TValueType::Integer: return std::to_string(v.AsInteger());
        case TValueType::Text: f = "text"; break;
        }
    }
    if (f == "date") return dateText(v);
    if (f == "amount") return FormatFloat("#,##0.00", cents(v.AsFloat()));
    if (f == "dbcr") return DebitCredit(v.AsFloat());
    if (f == "account") return AccountText(v.AsString(), accountPicture);
    if (f == "list") return listText(v.AsString());
    return v.AsString();
}

std::string Evaluate(const TTemplate& t, const TReportDef& def, const TEvalContext& ctx) {
    std::string out;
    for (const TTemplatePart& p : t.parts) {
        const auto i = static_cast<std::size_t>(p.index);
        switch (p.kind) {
        case TTemplatePart::Literal: out += p.text; break;
        case TTemplatePart::Field:
            if (ctx.row) out += FormatValue((*ctx.row)[i], def.Fields[i].Type, p.format, ctx.accountPicture);
            break;
        case TTemplatePart::Param:
            if (ctx.params) out += FormatValue((*ctx.params)[i], def.Params[i].Type, p.format, ctx.accountPicture);
            break;
        case TTemplatePart::Total: {
            if (!ctx.totals) break;
            const TTotalDef& d = def.Totals[i];
            const TAccum& a = (*ctx.totals)[i];
            if (d.func == TAggFunc::Count) {
                out += FormatFloat("#,##0", static_cast<double>(a.count));
                break;
            }
            const double value = d.money ? static_cast<double>(a.cents) / 100.0 : a.number;
            out += FormatValue(Variant(value), TValueType::Number, p.format, ctx.accountPicture);
            break;
        }
        }
    }
    return out;
}

}  // namespace report
