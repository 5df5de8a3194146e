// Reading query texts and database values: where the parameters are, and
// how stored dates and numbers become field values.
#include "platform/db/dbconvert.h"
#include "platform/db/sqlparams.h"

#include <gtest/gtest.h>

namespace {

struct ParamCase {
    const char* name;
    const char* sql;
    const char* backend;
    std::vector<std::string> names;
    std::size_t occurrences;
};

// Test names, not bytes, in the test listing.
void PrintTo(const ParamCase& c, std::ostream* os) { *os << c.name; }

class SqlParamsTest : public ::testing::TestWithParam<ParamCase> {};

TEST_P(SqlParamsTest, FindsParametersWhereTheDatabaseWouldReadThem) {
    const ParamCase& c = GetParam();
    const TParsedSql p = ParseSqlParams(c.sql);
    EXPECT_EQ(p.BackendText, c.backend);
    EXPECT_EQ(p.Names, c.names);
    EXPECT_EQ(p.Occurrences.size(), c.occurrences);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SqlParamsTest,
    ::testing::Values(
        ParamCase{"pair_convention",
                  "WHERE ((CDEMPRESA = :P_CDEMPRESA) OR (:P_TCDEMPRESA = 'T'))",
                  "WHERE ((CDEMPRESA = :ctbp1) OR (:ctbp2 = 'T'))",
                  {"P_CDEMPRESA", "P_TCDEMPRESA"},
                  2},
        ParamCase{
            "repeated_name_gets_one_entry", "SELECT :P_X, :p_x, :P_X", "SELECT :ctbp1, :ctbp2, :ctbp3", {"P_X"}, 3},
        ParamCase{
            "colon_in_literal", "SELECT '10:30 :P_NAO' || :P_SIM", "SELECT '10:30 :P_NAO' || :ctbp1", {"P_SIM"}, 1},
        ParamCase{
            "doubled_quote_inside_literal", "SELECT 'O'':P_NAO' , :P_SIM", "SELECT 'O'':P_NAO' , :ctbp1", {"P_SIM"}, 1},
        ParamCase{"quoted_identifier",
                  "SELECT \"A:B\" FROM T WHERE X = :P",
                  "SELECT \"A:B\" FROM T WHERE X = :ctbp1",
                  {"P"},
                  1},
        ParamCase{"postgres_cast", "SELECT :P_DATA::date, x::text", "SELECT :ctbp1::date, x::text", {"P_DATA"}, 1},
        ParamCase{"comments_dropped",
                  "SELECT 1 -- :P_NAO\nFROM T /* :P_NAO2 */ WHERE A = :P_SIM",
                  "SELECT 1  \nFROM T   WHERE A = :ctbp1",
                  {"P_SIM"},
                  1},
        ParamCase{"colon_without_name", "SELECT ': ' , a : b , :1", "SELECT ': ' , a : b , :1", {}, 0},
        ParamCase{"unterminated_literal_runs_to_end", "SELECT 'abc :P_X", "SELECT 'abc :P_X", {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DbDatesTest, IsoTextsAndNumbersBecomeTDateTime) {
    TDateTime jan1, leap;
    ASSERT_TRUE(EncodeDate(2024, 1, 1, jan1));
    ASSERT_TRUE(EncodeDate(2024, 2, 29, leap));
    TDateTime d = -1;
    EXPECT_TRUE(ParseIsoDateTime("2024-01-01", d));
    EXPECT_DOUBLE_EQ(d, jan1);
    EXPECT_TRUE(ParseIsoDateTime("2024-02-29 12:00:00", d));
    EXPECT_DOUBLE_EQ(d, leap + 0.5);
    EXPECT_TRUE(ParseIsoDateTime("2024-02-29T06:00", d));
    EXPECT_DOUBLE_EQ(d, leap + 0.25);
    EXPECT_TRUE(ParseIsoDateTime("2024-02-29 00:00:00.500", d));
    EXPECT_NEAR(d, leap + 0.5 / 86400, 1e-9);

    for (const char* bad : {"", "2024-1-01", "2023-02-29", "2024-13-01", "2024-01-01 25:00", "2024-01-01x",
                            "01/01/2024", "2024-01-01 10:30:"})
        EXPECT_FALSE(ParseIsoDateTime(bad, d)) << bad;

    // Julian days (SQLite's julianday()) and TDateTime days both arrive as numbers.
    EXPECT_DOUBLE_EQ(DateFromNumber(2415018.5), 0.0);
    EXPECT_DOUBLE_EQ(DateFromNumber(2460310.5), jan1);
    EXPECT_DOUBLE_EQ(DateFromNumber(jan1), jan1);
}

TEST(DbNumbersTest, OnlyPlainDecimalTextIsANumber) {
    double n = 0;
    EXPECT_TRUE(ParseDbNumber("-3.25", n));
    EXPECT_DOUBLE_EQ(n, -3.25);
    EXPECT_TRUE(ParseDbNumber("1e3", n));
    EXPECT_DOUBLE_EQ(n, 1000);
    for (const char* bad : {"", " 1", "1 ", "1,5", "abc", "1.5x", "nan", "inf"})
        EXPECT_FALSE(ParseDbNumber(bad, n)) << bad;
}

}  // namespace
