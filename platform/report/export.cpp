#include "platform/report/export.h"

#include "platform/data/datetime.h"
#include "platform/data/format.h"
#include "platform/report/report_error.h"

#include <xlsxwriter.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace report {
namespace {

constexpr std::int64_t kMaxSheetRows = 1048575;  // below the heading row

// A sheet name may not hold []:*?/\ and has at most 31 characters; the title
// is cut at a character boundary.
std::string sheetName(const std::string& title) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < title.size() && chars < 31; ++chars) {
        std::size_t n = 1;
        const auto c = static_cast<unsigned char>(title[i]);
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        std::string ch = title.substr(i, n);
        if (ch.size() == 1 && std::string("[]:*?/\\").find(ch[0]) != std::string::npos) ch = "-";
        out += ch;
        i += n;
    }
    return out.empty() ? "Relatório" : out;
}

void check(lxw_error e, const std::string& path) {
    if (e != LXW_NO_ERROR)
        throw EReportError("Não foi possível gravar a planilha " + path + ": " + lxw_strerror(e) + ".");
}

void finish(const std::string& partial, const std::string& path) {
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        throw EReportError("Não foi possível gravar o arquivo " + path + ".");
    }
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(";\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string csvValue(const Variant& v, TValueType type) {
    if (v.IsNull()) return "";
    switch (type) {
    case TValueType::Date: return DateToStr(v.AsFloat());
    case TValueType::Money: return FormatFloat("0.00", v.AsFloat());
    case TValueType::Number: {
        std::string s = FormatFloat("0.##########", v.AsFloat());
        return s;
    }
    case TValueType::Integer: return std::to_string(v.AsInteger());
    case TValueType::Text: return csvField(v.AsString());
    }
    return csvField(v.AsString());
}

}  // namespace

void WriteXlsx(const TReportDef& def, const TRowSpool& rows, const std::string& path) {
    if (rows.RowCount() > kMaxSheetRows)
        throw EReportError("O relatório tem mais linhas do que cabem numa planilha (" +
                           FormatFloat("#,##0", static_cast<double>(kMaxSheetRows)) + ").");
    const std::string partial = path + ".parcial";
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(partial.c_str(), &options);
    if (!wb) throw EReportError("Não foi possível criar a planilha " + path + ".");
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName(def.Title).c_str());
    lxw_format* head = workbook_add_format(wb);
    format_set_bold(head);
    format_set_bottom(head, LXW_BORDER_THIN);
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd/mm/yyyy");

    const auto cols = static_cast<lxw_col_t>(def.Fields.size());
    for (lxw_col_t c = 0; c < cols; ++c) {
        const TFieldDef& f = def.Fields[c];
        const double width = f.Type == TValueType::Text ? 24 : f.Type == TValueType::Date ? 11 : 14;
        worksheet_set_column(ws, c, c, width, nullptr);
        worksheet_write_string(ws, 0, c, f.Title.c_str(), head);
    }
    worksheet_freeze_panes(ws, 1, 0);
    worksheet_autofilter(ws, 0, 0, static_cast<lxw_row_t>(rows.RowCount()), cols - 1);

    TRowSpool::TReader reader(rows);
    std::vector<Variant> row;
    lxw_row_t r = 1;
    for (; reader.Read(row); ++r) {
        for (lxw_col_t c = 0; c < cols; ++c) {
            const Variant& v = row[c];
            if (v.IsNull()) continue;
            switch (def.Fields[c].Type) {
            case TValueType::Date:
                if (v.AsFloat() != 0) worksheet_write_number(ws, r, c, std::floor(v.AsFloat()), date);
                break;
            case TValueType::Money:
            case TValueType::Number: worksheet_write_number(ws, r, c, v.AsFloat(), money); break;
            case TValueType::Integer:
                worksheet_write_number(ws, r, c, static_cast<double>(v.AsInteger()), nullptr);
                break;
            case TValueType::Text: worksheet_write_string(ws, r, c, v.AsString().c_str(), nullptr); break;
            }
        }
    }
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) std::remove(partial.c_str());
    check(e, path);
    finish(partial, path);
}

void WriteCsv(const TReportDef& def, const TRowSpool& rows, const std::string& path) {
    const std::string partial = path + ".parcial";
    {
        std::ofstream out(partial, std::ios::binary);
        if (!out) throw EReportError("Não foi possível criar o arquivo " + path + ".");
        out << "\xEF\xBB\xBF";
        for (std::size_t c = 0; c < def.Fields.size(); ++c) out << (c ? ";" : "") << csvField(def.Fields[c].Title);
        out << "\r\n";
        TRowSpool::TReader reader(rows);
        std::vector<Variant> row;
        while (reader.Read(row)) {
            for (std::size_t c = 0; c < def.Fields.size(); ++c)
                out << (c ? ";" : "") << csvValue(row[c], def.Fields[c].Type);
            out << "\r\n";
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(partial.c_str());
            throw EReportError("Erro ao gravar o arquivo " + path + ".");
        }
    }
    finish(partial, path);
}

}  // namespace report
