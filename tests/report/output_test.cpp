// The shipped listings read on paper as a bookkeeper expects: every entry
// with its lines and totals, the criteria and page numbers in the header,
// pages that carry on a group, and the same rows in a spreadsheet and CSV.
#include "report_fixture.h"

#include "platform/report/export.h"
#include "platform/report/report_error.h"

#include <regex>

using report::LoadDefinition;

namespace {

report::TReportDef shipped(const char* file) { return LoadDefinition((ShippedReports() / file).string()); }

// Blanks collapsed, so a test reads the text without the page's alignment.
std::string squeeze(const std::string& s) { return std::regex_replace(s, std::regex("[ \t]+"), " "); }

}  // namespace

TEST_F(ReportDbTest, EntriesListingShowsEveryEntryWithLinesAndBalancedTotals) {
    const std::string text = squeeze(listing("CTB11020-01.toml"));
    for (const char* expected :
         {"Comercial Teste Ltda", "Lançamentos contábeis", "Página 1 de 1", "Emitido em 14/06/2024 10:00",
          "Contas: todas · Período: todas as datas", "Lançamento 202401000001 Data 02/01/2024",
          "00001 1.1.2.01.00001 111 Clientes Nacionais 0001 Venda de mercadorias 004512 0001 C 000001 1.500,00 DB",
          "Venda à vista — ação promocional", "1.500,00 CR",
          "Total do lançamento 202401000001 Débito 1.500,00 Crédito 1.500,00",
          "Total do lançamento 202401000002 Débito 3.200,00 Crédito 3.200,00",
          "Total do lançamento 202402000001 Débito 45,90 Crédito 45,90",
          "Total do relatório (6 partidas) Débito 4.745,90 Crédito 4.745,90"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("9.999,00"), std::string::npos) << "another company's entry";
}

TEST_F(ReportDbTest, EntriesListingKeepsWholeEntriesThatHaveAMatchingLine) {
    const report::TReportDef def = shipped("CTB11020-01.toml");
    std::vector<Variant> p = openCriteria(def);
    setParam(def, p, "P_CDCONTCLIE", "_000001_");
    setParam(def, p, "TODASDATAS", "N");
    setParam(def, p, "DTLANCAMENTI", "01/01/2024");
    setParam(def, p, "DTLANCAMENTF", "31/01/2024");
    const std::string text = squeeze(listing("CTB11020-01.toml", &p));
    EXPECT_NE(text.find("Período: 01/01/2024 a 31/01/2024 · Clientes: 000001"), std::string::npos) << text;
    EXPECT_NE(text.find("Total do relatório (2 partidas) Débito 1.500,00 Crédito 1.500,00"), std::string::npos) << text;
    EXPECT_EQ(text.find("202401000002"), std::string::npos) << text;

    setParam(def, p, "P_CDCONTCLIE", "T");
    setParam(def, p, "P_VALOR", "N");
    setParam(def, p, "VALOR", 3000.0);
    setParam(def, p, "VALORF", 3200.0);
    const std::string byValue = squeeze(listing("CTB11020-01.toml", &p));
    EXPECT_NE(byValue.find("Valor: 3.000,00 a 3.200,00"), std::string::npos) << byValue;
    EXPECT_NE(byValue.find("Total do relatório (2 partidas) Débito 3.200,00 Crédito 3.200,00"), std::string::npos)
        << byValue;
}

TEST_F(ReportDbTest, LinesByAccountShowEachAccountsPeriodTotalsAndBalance) {
    const report::TReportDef def = shipped("CTB11020-02.toml");
    std::vector<Variant> p = openCriteria(def);
    setParam(def, p, "TODASCONTAS", "N");
    setParam(def, p, "CDCONTCTBLI", "11");
    setParam(def, p, "CDCONTCTBLF", "112ZZZZZZZ");
    const std::string text = squeeze(listing("CTB11020-02.toml", &p));
    for (const char* expected :
         {"Lançamentos por conta", "Contas: 1.1 a 1.1.2", "1.1.1.01.00002 Banco do Brasil C/C (reduzida 102)",
          "05/01/2024 202401000002 00002 0004 Pagamento de aluguel 000777 B 001 3.200,00 CR",
          "Total da conta 1.1.1.01.00002 Débito 0,00 Crédito 3.245,90 Saldo 3.245,90 CR",
          "Total da conta 1.1.2.01.00001 Débito 1.500,00 Crédito 0,00 Saldo 1.500,00 DB",
          "Total do relatório (3 partidas) Débito 1.500,00 Crédito 3.245,90 Saldo 1.745,90 CR"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(ReportDbTest, LongEntryCarriesOnOverPagesWithItsHeaderAndOnePageTotal) {
    for (int i = 3; i <= 90; ++i) {
        char seq[8];
        std::snprintf(seq, sizeof seq, "%05d", i);
        line_("01", "202401000002", seq, "4110100001", "2024-01-05", "000777", i % 2 ? 1000 : -1000, "0004",
              "Rateio de aluguel", "", "");
    }
    int pages = 0;
    const std::string text = squeeze(listing("CTB11020-01.toml", nullptr, &pages));
    ASSERT_GE(pages, 2);
    const std::string last = "Página " + std::to_string(pages) + " de " + std::to_string(pages);
    EXPECT_NE(text.find(last), std::string::npos) << text;
    EXPECT_NE(text.find("Lançamento 202401000002 Data 05/01/2024 (continuação)"), std::string::npos) << text;
    EXPECT_NE(text.find("Total do lançamento 202401000002 Débito 3.640,00 Crédito 3.640,00"), std::string::npos);
    EXPECT_EQ(text.find("Total do relatório"), text.rfind("Total do relatório")) << "one summary";
    // Every page has its header and column headings.
    std::size_t headings = 0;
    for (std::size_t at = text.find("Seq. Conta"); at != std::string::npos; at = text.find("Seq. Conta", at + 1))
        ++headings;
    EXPECT_EQ(headings, static_cast<std::size_t>(pages));
}

TEST_F(ReportDbTest, NothingFoundStillPrintsOnePageThatSaysSo) {
    const report::TReportDef def = shipped("CTB11020-01.toml");
    std::vector<Variant> p = openCriteria(def);
    setParam(def, p, "CDDOCUCONT", "12345678");
    int pages = 0;
    const std::string text = squeeze(listing("CTB11020-01.toml", &p, &pages));
    EXPECT_EQ(pages, 1);
    EXPECT_NE(text.find("Nenhum lançamento atende aos critérios informados."), std::string::npos) << text;
    EXPECT_NE(text.find("Documento: 12345678"), std::string::npos) << text;
}

TEST_F(ReportDbTest, SpreadsheetAndCsvHoldTheSameRowsAsNumbersAndDates) {
    const report::TReportDef def = shipped("CTB11020-02.toml");
    std::vector<Variant> p = openCriteria(def);
    setParam(def, p, "TODASCONTAS", "N");
    setParam(def, p, "CDCONTCTBLI", "1110100002");
    setParam(def, p, "CDCONTCTBLF", "1110100002");
    auto rows = report::RunReportQuery(db_, def, p);
    const fs::path csv = dir_.Path() / "linhas.csv", xlsx = dir_.Path() / "linhas.xlsx";
    report::WriteCsv(def, *rows, csv.string());
    report::WriteXlsx(def, *rows, xlsx.string());
    EXPECT_EQ(ReadText(csv),
              "\xEF\xBB\xBF"
              "Conta contábil;Conta reduzida;Nome da conta;Data;Lançamento;Sequência;Histórico padrão;Histórico;"
              "Documento;Tipo comercial;Código comercial;Valor\r\n"
              "1110100002;102;Banco do Brasil C/C;05/01/2024;202401000002;00002;0004;Pagamento de aluguel;000777;B;"
              "001;3200,00\r\n"
              "1110100002;102;Banco do Brasil C/C;10/02/2024;202402000001;00002;;Tarifa;000410;;;45,90\r\n");
    EXPECT_EQ(ReadText(xlsx).substr(0, 2), "PK");
    EXPECT_FALSE(fs::exists(dir_.Path() / "linhas.xlsx.parcial"));
}

TEST_F(ReportDbTest, QueryThatFailsSaysSoInPortuguese) {
    report::TReportDef def = shipped("CTB11020-02.toml");
    def.SqlSQLite = "SELECT * FROM TABELA_QUE_NAO_EXISTE";
    try {
        report::RunReportQuery(db_, def, openCriteria(def));
        FAIL() << "no error";
    } catch (const report::EReportError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Erro ao consultar o banco de dados: ", 0), 0u) << e.what();
    }
}
