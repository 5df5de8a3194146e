// The store's conversions: amounts to exact cents, stored dates, case
// folding of history texts, database URLs, the schema script.
#include "store_test_util.h"

#include <cmath>
#include <limits>

using namespace ctbstore;

namespace {

TEST(Cents, RoundHalfAwayFromZeroOnTheDigitsAPersonReads) {
    const std::pair<double, std::int64_t> cases[] = {{0.125, 13},
                                                     {1.005, 101},
                                                     {-0.006, -1},
                                                     {-1.005, -101},
                                                     {2.675, 268},
                                                     {0.004, 0},
                                                     {-0.004, 0},
                                                     {45.90, 4590},
                                                     {0.1 + 0.2, 30},
                                                     {1234567.895, 123456790},
                                                     {9999999999.99, 999999999999},
                                                     {-0.005, -1},
                                                     {1e-9, 0},
                                                     {100, 10000}};
    for (const auto& [value, cents] : cases) {
        std::int64_t got = -12345;
        ASSERT_TRUE(AmountToCents(value, got)) << value;
        EXPECT_EQ(got, cents) << value;
    }
    std::int64_t out;
    EXPECT_FALSE(AmountToCents(std::numeric_limits<double>::quiet_NaN(), out));
    EXPECT_FALSE(AmountToCents(std::numeric_limits<double>::infinity(), out));
    EXPECT_FALSE(AmountToCents(1e20, out));
}

TEST(StoredDates, RoundTripAndRefuseMalformedText) {
    TDateTime d = storetest::D(2024, 2, 29);
    EXPECT_EQ(DateToSql(d), "2024-02-29");
    EXPECT_EQ(DateToSql(0), "");
    TDateTime back = 0;
    ASSERT_TRUE(SqlToDate("2024-02-29", back));
    EXPECT_DOUBLE_EQ(back, d);
    ASSERT_TRUE(SqlToDate(TimestampToSql(d + 0.5), back));
    EXPECT_NEAR(back, d + 0.5, 1e-6);
    for (const char* bad : {"", "2024-02-30", "29/02/2024", "2024-2-9", "abcd-ef-gh", "2024-01-01 2x:00:00"})
        EXPECT_FALSE(SqlToDate(bad, back)) << bad;
}

TEST(HistoryText, FoldsAsciiAndPortugueseCapitals) {
    EXPECT_EQ(FoldCase("APURAÇÃO DE ICMS"), FoldCase("apuração de icms"));
    EXPECT_EQ(FoldCase("ÁÉÍÓÚÂÊÔÀÜ"), "áéíóúâêôàü");
    EXPECT_EQ(FoldCase("×"), "×");        // not a letter
    EXPECT_EQ(FoldCase("\xC3"), "\xC3");  // a cut sequence stays as it is
    EXPECT_EQ(Utf8Length("Ação"), 4u);
}

TEST(CodeLists, UnderscoresDelimitEachCode) {
    EXPECT_TRUE(InList("_0001__0002_", "0002"));
    EXPECT_FALSE(InList("_00010_", "0001"));
    EXPECT_FALSE(InList("0001", "0001"));
    EXPECT_EQ(StripLeadingZeros("000123"), "123");
    EXPECT_EQ(StripLeadingZeros("0000"), "");
}

TEST(DatabaseUrl, AcceptsTheSqliteSpellingsAndRefusesNothing) {
    EXPECT_EQ(ParseDbUrl("/tmp/a.db").Connect, "db=/tmp/a.db timeout=15");
    EXPECT_EQ(ParseDbUrl("sqlite3:///tmp/a.db").Connect, "db=/tmp/a.db timeout=15");
    EXPECT_EQ(ParseDbUrl("sqlite3://db=/tmp/a.db").Connect, "db=/tmp/a.db");
    EXPECT_EQ(ParseDbUrl("sqlite:///tmp/a b.db").Connect, "db=\"/tmp/a b.db\" timeout=15");
    EXPECT_EQ(ParseDbUrl("postgresql://u@h/db").Dialect, TDialect::PostgreSQL);
    EXPECT_THROW(ParseDbUrl("   "), ERpcError);
    EXPECT_THROW(ParseDbUrl("mysql://h/db"), ERpcError);
}

// Every PostgreSQL spelling reaches the database library as keywords (a URI
// handed over as it is was read as a database named "suite=").
TEST(DatabaseUrl, PostgreSQLFormsBecomeKeywordsWithoutThePasswordInMessages) {
    EXPECT_EQ(ParseDbUrl("postgresql://ctb@127.0.0.1:55432/suite").Connect,
              "host=127.0.0.1 port=55432 user=ctb dbname=suite");
    EXPECT_EQ(ParseDbUrl("postgres://ctb:s%40nha@db/suite?connect_timeout=5").Connect,
              "host=db user=ctb password=s@nha dbname=suite connect_timeout=5");
    EXPECT_EQ(ParseDbUrl("postgresql: host=db dbname=suite").Connect, "host=db dbname=suite");
    TDbTarget t = ParseDbUrl("postgresql://ctb:segredo@db/suite");
    EXPECT_EQ(t.Display.find("segredo"), std::string::npos) << t.Display;
    EXPECT_NE(t.Display.find("dbname=suite"), std::string::npos) << t.Display;
    EXPECT_THROW(ParseDbUrl("postgresql://db/suite%20x"), ERpcError);
}

TEST(DatabaseUrl, PathWithBlanksOpens) {
    storetest::TScratchDir dir;
    std::string path = dir.File("com espaço.db");
    TEntryStore store(path);
    std::string anoMes = "202401";
    EXPECT_THROW(store.PrxLancContabil("01", anoMes), ERpcError);  // empty database: no company
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(Schema, SplitsIntoStatementsAndAppliesTwice) {
    auto statements = SplitSqlScript(SchemaText());
    EXPECT_GT(statements.size(), 15u);
    for (const std::string& s : statements) EXPECT_EQ(s.find("--"), std::string::npos);
    storetest::TScratchDir dir;
    std::string path = dir.File("schema.db");
    { TEntryStore first(path); }
    EXPECT_NO_THROW({ TEntryStore second(path); });
}

TEST(Schema, UnopenableDatabaseIsAClearError) {
    try {
        TEntryStore store("/nonexistent-dir/x/y.db");
        FAIL();
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), "banco");
        EXPECT_NE(std::string(e.what()).find("/nonexistent-dir/x/y.db"), std::string::npos) << e.what();
    }
}

}  // namespace
