// A small suite database for the report tests (the real schema, a few
// entries chosen for their totals), the shipped definitions, and the text of
// a PDF as pdftotext reads it.
#pragma once

#include "platform/db/dbgeral.h"
#include "platform/report/definition.h"
#include "platform/report/document.h"
#include "platform/report/query.h"

#include <soci/soci.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline fs::path ShippedReports() { return fs::path(CTB_SOURCE_DIR) / "reports"; }

// A fresh folder under the temporary directory, removed at the end.
class TTempDir {
public:
    TTempDir() {
        static std::atomic<int> n{0};
        path_ = fs::temp_directory_path() / ("ctb_report_test_" + std::to_string(getpid()) + "_" + std::to_string(n++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TTempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// The text of a PDF, page layout kept, pages separated by form feeds.
inline std::string PdfText(const fs::path& pdf) {
    const std::string cmd = "pdftotext -layout '" + pdf.string() + "' - 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return "";
    std::string out;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    return out;
}

class ReportDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        url_ = "sqlite3://" + (dir_.Path() / "suite.db").string();
        db_.Open(url_, {.ReadOnly = false, .MustExist = false});
        std::stringstream schema(ReadText(fs::path(CTB_SOURCE_DIR) / "server" / "schema.sql"));
        std::string statement, line;
        while (std::getline(schema, line)) {
            if (line.rfind("--", 0) == 0) continue;
            statement += line + "\n";
            if (line.find(';') != std::string::npos) {
                db_.Session() << statement;
                statement.clear();
            }
        }
        exec(
            "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) VALUES "
            "('1110100002','102','Banco do Brasil C/C','5','A'),('1120100001','111','Clientes Nacionais','5','A'),"
            "('3110100001','301','Venda de Mercadorias','5','A'),('4110100001','401','Aluguéis','5','A'),"
            "('4110100005','405','Tarifas Bancárias','5','A')");
        exec("INSERT INTO HISTPADR VALUES ('0001','Venda de mercadorias'),('0004','Pagamento de aluguel')");
        line_("01", "202401000001", "00001", "1120100001", "2024-01-02", "004512", -150000, "0001", "", "C", "000001");
        line_("01", "202401000001", "00002", "3110100001", "2024-01-02", "004512", 150000, "0001",
              "Venda à vista — ação promocional", "", "");
        line_("01", "202401000002", "00001", "4110100001", "2024-01-05", "000777", -320000, "0004", "", "F", "000002");
        line_("01", "202401000002", "00002", "1110100002", "2024-01-05", "000777", 320000, "0004", "", "B", "001");
        line_("01", "202402000001", "00001", "4110100005", "2024-02-10", "000410", -4590, "", "Tarifa", "B", "001");
        line_("01", "202402000001", "00002", "1110100002", "2024-02-10", "000410", 4590, "", "Tarifa", "", "");
        line_("02", "202401000001", "00001", "1110100002", "2024-01-03", "000103", 999900, "", "Outra", "", "");
        line_("02", "202401000001", "00002", "4110100001", "2024-01-03", "000103", -999900, "", "Outra", "", "");
    }

    void exec(const std::string& sql) { db_.Session() << sql; }

    void line_(const std::string& emp, const std::string& nr, const std::string& seq, const std::string& conta,
               const std::string& data, const std::string& doc, long long cents, const std::string& hist,
               const std::string& texto, const std::string& idcome, const std::string& cdcome) {
        db_.Session() << "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILLANC, CDHISTPADR, CDCONTCTBL,"
                         " DTLANCCONT, CDDOCUCONT, DSHISTLANC, VRLANCAMENT, IDLANCCOME, CDCONTCOME)"
                         " VALUES (:e, :n, :s, '0001', :h, :c, :d, :doc, :t, :v, :ic, :cc)",
            soci::use(emp), soci::use(nr), soci::use(seq), soci::use(hist), soci::use(conta), soci::use(data),
            soci::use(doc), soci::use(texto), soci::use(cents), soci::use(idcome), soci::use(cdcome);
    }

    // Every parameter of the listing screen, all criteria open.
    std::vector<Variant> openCriteria(const report::TReportDef& def) const {
        std::vector<Variant> v(def.Params.size());
        auto set = [&](const char* n, Variant value) {
            if (int i = def.ParamIndex(n); i >= 0) v[static_cast<std::size_t>(i)] = std::move(value);
        };
        for (const char* t : {"TODASCONTAS", "TODASDATAS", "CDHISTPADR", "P_VALOR", "P_CDCONTCLIE", "P_CDCONTFORN",
                              "P_CDCONTBANC", "CDDOCUCONT", "NRLANCCONT"})
            set(t, "T");
        set("CDEMPRESA", "01");
        set("CDCONTCTBLI", "");
        set("CDCONTCTBLF", "ZZZZZZZZZZ");
        set("DTLANCAMENTI", 0.0);
        set("DTLANCAMENTF", 0.0);
        set("VALOR", 0.0);
        set("VALORF", 0.0);
        set("P_NMEMPRESA", "Comercial Teste Ltda");
        return v;
    }

    static void setParam(const report::TReportDef& def, std::vector<Variant>& v, const char* name, Variant value) {
        v[static_cast<std::size_t>(def.ParamIndex(name))] = std::move(value);
    }

    // Runs a shipped definition and returns the PDF's text.
    std::string listing(const char* file, const std::vector<Variant>* given = nullptr, int* pages = nullptr) {
        const report::TReportDef def = report::LoadDefinition((ShippedReports() / file).string());
        const std::vector<Variant> params = given ? *given : openCriteria(def);
        report::TLayoutOptions o;
        o.PrintedAt = "14/06/2024 10:00";
        o.AccountPicture = "9.9.9.99.99999;0;_";
        report::TReportDocument doc(def, params, report::RunReportQuery(db_, def, params), o);
        if (pages) *pages = doc.PageCount();
        const fs::path pdf = dir_.Path() / "listing.pdf";
        doc.WritePdf(pdf.string());
        return PdfText(pdf);
    }

    TTempDir dir_;
    std::string url_;
    TDBConnection db_;
};
