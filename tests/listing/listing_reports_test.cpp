// The listing screen against report definitions of a test's own: a report
// whose query has none of the screen's parameters runs with none set and
// writes its PDF; a definition that cannot be read says why; a definition
// that is gone is refused with the screen's "Arq_Rel_Err" text.
#include "contracts/zembra.h"
#include "listing/frmlanclista.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <soci/soci.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ListingReports : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ctb_listing_test_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "relatorios");
        {
            TDBConnection writer;
            writer.Open("sqlite3://" + (dir_ / "suite.db").string(), {.ReadOnly = false, .MustExist = false});
            std::stringstream schema(readText(fs::path(CTB_SOURCE_DIR) / "server" / "schema.sql"));
            std::string statement, line;
            while (std::getline(schema, line)) {
                if (line.rfind("--", 0) == 0) continue;
                statement += line + "\n";
                if (line.find(';') != std::string::npos) {
                    writer.Session() << statement;
                    statement.clear();
                }
            }
            writer.Session() << "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'Empresa Um')";
        }
        dtmDBGeral().Open("sqlite3://" + (dir_ / "suite.db").string());
        std::ofstream(dir_ / "relatorios" / "CTB11020-01.toml")
            << "[report]\ncode = \"CTB11020\"\ntitle = \"Empresas\"\n[query]\n"
               "sql = \"SELECT CDEMPRESA, NMEMPRESA FROM EMPRESA ORDER BY CDEMPRESA\"\n"
               "fields = [{ name = \"CDEMPRESA\" }, { name = \"NMEMPRESA\" }]\n"
               "[detail]\ncolumns = [{ title = \"Empresa\", text = \"{CDEMPRESA} {NMEMPRESA}\", width = 80 }]\n";
        std::ofstream(dir_ / "relatorios" / "CTB11020-02.toml") << "[report\n";
        Zembra::SetReportDir((dir_ / "relatorios").string());
        Zembra::SetOutputDir((dir_ / "saida").string());
        SetServices(nullptr);
        HeadlessServices().Clear();
        Application->CreateForm(form_);
    }
    void TearDown() override {
        Application->Reset();
        HeadlessServices().Clear();
        dtmDBGeral().Close();
        Zembra::SetReportDir("");
        Zembra::SetOutputDir("");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string lastMessage() {
        TShownItem item;
        std::string text;
        while (HeadlessServices().TakeMessage(item)) text = item.text;
        return text;
    }

    fs::path dir_;
    TfrmLancLista* form_ = nullptr;
};

TEST_F(ListingReports, ReportWithoutTheScreensParametersRunsWithNoneSet) {
    ASSERT_EQ(form_->cbbReportNames->Items, (std::vector<std::string>{"Empresas", "CTB11020-02.toml"}));
    Dispatch([&] { form_->sbtPreview->Click(); });
    EXPECT_EQ(lastMessage(), "");
    ASSERT_EQ(form_->rpddPadrao->RunCount(), 1);
    const TReportRun& run = form_->rpddPadrao->LastRun();
    EXPECT_TRUE(run.Params.empty());
    EXPECT_EQ(run.Rows, 1);
    EXPECT_EQ(run.Pages, 1);
    ASSERT_FALSE(run.File.empty());
    EXPECT_EQ(fs::path(run.File).parent_path(), dir_ / "saida");
    EXPECT_EQ(readText(run.File).substr(0, 5), "%PDF-");
    // The lists still became "T": the screen's step runs whatever the query has.
    EXPECT_EQ(form_->stListaClie, "T");
}

TEST_F(ListingReports, UnreadableOrMissingDefinitionIsRefusedWithItsReason) {
    form_->cbbReportNames->UserSelect(1);
    Dispatch([&] { form_->sbtPreview->Click(); });
    EXPECT_NE(lastMessage().find("ilegível na linha 1"), std::string::npos);
    fs::remove(dir_ / "relatorios" / "CTB11020-01.toml");
    form_->cbbReportNames->UserSelect(0);
    Dispatch([&] { form_->sbtPrint->Click(); });
    EXPECT_EQ(lastMessage(),
              "O arquivo contendo a definição do relatório de código 'CTB11020' não foi encontrado no "
              "diretório '" +
                  (dir_ / "relatorios").string() + "'.");
    EXPECT_EQ(form_->rpddPadrao->RunCount(), 0);
}

}  // namespace
