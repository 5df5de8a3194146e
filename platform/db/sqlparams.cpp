#include "platform/db/sqlparams.h"

#include "platform/data/text.h"

#include <algorithm>
#include <cctype>

namespace {

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Copies a quoted run starting at sql[i] (the opening quote) into out; a
// doubled quote inside is an escaped quote. Returns the index after it.
std::size_t copyQuoted(const std::string& sql, std::size_t i, std::string& out) {
    const char quote = sql[i];
    out += quote;
    ++i;
    while (i < sql.size()) {
        out += sql[i];
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                out += sql[i + 1];
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

std::size_t skipLineComment(const std::string& sql, std::size_t i) {
    while (i < sql.size() && sql[i] != '\n') ++i;
    return i;  // the newline itself is kept by the caller
}

std::size_t skipBlockComment(const std::string& sql, std::size_t i) {
    i += 2;
    while (i + 1 < sql.size() && !(sql[i] == '*' && sql[i + 1] == '/')) ++i;
    return std::min(sql.size(), i + 2);
}

}  // namespace

std::string TParsedSql::OccurrenceName(std::size_t i) { return "ctbp" + std::to_string(i + 1); }

TParsedSql ParseSqlParams(const std::string& sql) {
    TParsedSql r;
    std::string& out = r.BackendText;
    out.reserve(sql.size());
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (c == '\'' || c == '"') {
            i = copyQuoted(sql, i, out);
        } else if (c == '-' && next == '-') {
            i = skipLineComment(sql, i);
            out += ' ';
        } else if (c == '/' && next == '*') {
            i = skipBlockComment(sql, i);
            out += ' ';
        } else if (c == ':' && next == ':') {
            out += "::";  // a cast, and the type name after it is no parameter
            i += 2;
        } else if (c == ':' && isNameStart(next)) {
            std::size_t end = i + 1;
            while (end < sql.size() && isNameChar(sql[end])) ++end;
            std::string name = sql.substr(i + 1, end - i - 1);
            out += ':' + TParsedSql::OccurrenceName(r.Occurrences.size());
            const bool known =
                std::any_of(r.Names.begin(), r.Names.end(), [&](const std::string& n) { return SameText(n, name); });
            if (!known) r.Names.push_back(name);
            r.Occurrences.push_back(std::move(name));
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return r;
}
