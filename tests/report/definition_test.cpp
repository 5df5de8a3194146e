// Report definitions: every shipped one loads, a faulty one is refused with
// a message naming what is wrong, and values read as on paper.
#include "report_fixture.h"

#include "platform/report/catalogue.h"
#include "platform/report/report_error.h"
#include "platform/report/spool.h"
#include "platform/report/template.h"

using namespace report;

TEST(ShippedReports, EveryDefinitionLoadsAndTheEntriesListingComesFirst) {
    const std::vector<TReportFile> found = FindReports(ShippedReports().string(), "CTB11020");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Title, "Lançamentos contábeis");
    EXPECT_EQ(found[1].Title, "Lançamentos por conta");
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(ShippedReports())) {
        ++files;
        const TReportDef def = LoadDefinition(e.path().string());
        EXPECT_FALSE(def.SqlFor(TDBDialect::SQLite).empty()) << e.path();
        EXPECT_FALSE(def.SqlFor(TDBDialect::PostgreSQL).empty()) << e.path();
        EXPECT_GE(def.ParamIndex("P_NMEMPRESA"), 0) << e.path();
    }
    EXPECT_EQ(files, found.size()) << "every file of reports/ is a definition of a report code";
    EXPECT_EQ(LoadDefinition(found[0].Path).Params.size(), 17u);
}

// A definition and the start of the refusal it gets.
struct TFaulty {
    const char* name;
    const char* text;
    const char* error;
};

// Test names, not bytes, in the test listing.
void PrintTo(const TFaulty& c, std::ostream* os) { *os << c.name; }

class FaultyDefinition : public ::testing::TestWithParam<TFaulty> {};

constexpr const char* kHead =
    "[report]\ncode = \"X\"\ntitle = \"T\"\n[query]\nsql = \"SELECT A FROM B WHERE C = :P\"\n"
    "fields = [{ name = \"A\", type = \"money\" }]\n";

TEST_P(FaultyDefinition, IsRefusedWithItsReason) {
    try {
        ParseDefinition(GetParam().text, "r.toml");
        FAIL() << "accepted";
    } catch (const EReportError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().error), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, FaultyDefinition,
    ::testing::Values(TFaulty{"syntax", "[report\ncode = 1", "ilegível na linha 1"},
                      TFaulty{"noQuery", "[report]\ncode = \"X\"\ntitle = \"T\"\n", "falta a seção [query]"},
                      TFaulty{"noFields", "[report]\ncode = \"X\"\ntitle = \"T\"\n[query]\nsql = \"SELECT 1\"\n",
                              "deve listar os campos"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DefinitionFaults, NamesTotalsColumnsAndTypesAreChecked) {
    const std::string head = kHead;
    const std::pair<std::string, const char*> cases[] = {
        {head + "[detail]\ncolumns = [{ text = \"{NADA}\" }]\n", "{NADA} não é campo da consulta nem parâmetro"},
        {head + "[detail]\ncolumns = [{ text = \"{soma(A)}\" }]\n", "função soma desconhecida"},
        {head + "[detail]\ncolumns = [{ text = \"{A:moeda}\" }]\n", "formato moeda desconhecido"},
        {head + "[detail]\ncolumns = [{ text = \"{A\" }]\n", "\"{\" sem \"}\""},
        {head + "[detail]\ncolumns = [{ text = \"{A}\", width = 150 }, { text = \"{A}\", width = 60 }]\n",
         "as colunas somam 210 mm e a página tem 190 mm úteis"},
        {head + "[[group]]\nkey = \"Z\"\nheader = \"\"\n[detail]\ncolumns = [{ text = \"{A}\" }]\n",
         "a chave Z não é campo da consulta"},
        {head + "[params]\nP = \"moeda\"\n[detail]\ncolumns = [{ text = \"{A}\" }]\n", "tipo \"moeda\" desconhecido"},
        {head + "[[criterion]]\nlabel = \"L\"\ntext = \"{P}\"\nwhen = { Q = \"N\" }\n[detail]\ncolumns = [{ text = "
                "\"{A}\" }]\n",
         "testa Q, que não é parâmetro"},
    };
    for (const auto& [text, error] : cases) {
        try {
            ParseDefinition(text, "r.toml");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EReportError& e) {
            EXPECT_NE(std::string(e.what()).find(error), std::string::npos) << e.what();
        }
    }
}

TEST(DefinitionCopy, SaveCopyChangesOnlyTheTitleAndTakesTheNextNumber) {
    TTempDir dir;
    fs::copy(ShippedReports() / "CTB11020-02.toml", dir.Path() / "CTB11020-02.toml");
    const std::vector<TReportFile> before = FindReports(dir.Path().string(), "CTB11020");
    const std::string copy = SaveCopy(dir.Path().string(), "CTB11020", before[0], "Conta \"A\" \\ março");
    EXPECT_EQ(fs::path(copy).filename(), "CTB11020-03.toml");
    const TReportDef def = LoadDefinition(copy);
    EXPECT_EQ(def.Title, "Conta \"A\" \\ março");
    EXPECT_EQ(def.SqlSQLite, LoadDefinition(before[0].Path).SqlSQLite);
    fs::path broken = dir.Path() / "CTB11020-07.toml";
    std::ofstream(broken) << "[report\n";
    const std::vector<TReportFile> after = FindReports(dir.Path().string(), "CTB11020");
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[2].Title, "CTB11020-07.toml");
    EXPECT_NE(after[2].Error.find("ilegível"), std::string::npos);
}

TEST(Values, ReadAsOnPaper) {
    EXPECT_EQ(DebitCredit(-1234.5), "1.234,50 DB");
    EXPECT_EQ(DebitCredit(0.004), "0,00");
    EXPECT_EQ(DebitCredit(1e6), "1.000.000,00 CR");
    EXPECT_EQ(AccountText("1110100001", "9.9.9.99.99999;0;_"), "1.1.1.01.00001");
    EXPECT_EQ(AccountText("11ZZZZZZZZ", "9.9.9.99.99999;0;_"), "1.1");
    EXPECT_EQ(FormatValue(Variant("_0001__0015_"), TValueType::Text, "list", ""), "0001, 0015");
    EXPECT_EQ(FormatValue(Variant(45291.0), TValueType::Date, "", ""), "31/12/2023");
    EXPECT_EQ(FormatValue(Variant(), TValueType::Money, "dbcr", ""), "");
    EXPECT_EQ(BindValue(Variant(45291.0), TValueType::Date).AsString(), "2023-12-31");
    EXPECT_TRUE(BindValue(Variant(0.0), TValueType::Date).IsNull());
    EXPECT_EQ(BindValue(Variant("31/12/2023"), TValueType::Date).AsString(), "2023-12-31");
}

TEST(Spool, ReadsBackEveryKindOfValueFromAnyRow) {
    TRowSpool spool(3);
    spool.Append({Variant("ação"), Variant(std::int64_t{-7}), Variant(2.5)});
    spool.Append({Variant(), Variant(true), Variant(std::string("a\0b", 3))});
    TRowSpool::TReader r(spool);
    std::vector<Variant> row;
    ASSERT_TRUE(r.Read(row));
    const std::int64_t second = r.Position();
    EXPECT_EQ(row, (std::vector<Variant>{Variant("ação"), Variant(std::int64_t{-7}), Variant(2.5)}));
    spool.Append({Variant("x"), Variant(), Variant()});  // writing between reads
    TRowSpool::TReader again(spool, second);
    ASSERT_TRUE(again.Read(row));
    EXPECT_EQ(row, (std::vector<Variant>{Variant(), Variant(true), Variant(std::string("a\0b", 3))}));
    ASSERT_TRUE(again.Read(row));
    EXPECT_EQ(row[0], Variant("x"));
    EXPECT_FALSE(again.Read(row));
    EXPECT_EQ(spool.RowCount(), 3);
}
