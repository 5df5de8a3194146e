// Numbers and dates as a Brazilian bookkeeper reads and types them.
#include "platform/data/datetime.h"
#include "platform/data/format.h"
#include "platform/data/variant.h"

#include <gtest/gtest.h>

TEST(FormatFloat, GroupsThousandsWithBrazilianSeparators) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1.234,50");
    EXPECT_EQ(FormatFloat("#,##0.00", 0), "0,00");
    EXPECT_EQ(FormatFloat("#,##0.00", 999.999), "1.000,00");
    EXPECT_EQ(FormatFloat("0.00", 1234.5), "1234,50");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("#,##0", 1000000), "1.000.000");
    EXPECT_EQ(FormatFloat("0.##", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0.##", 2), "2");
    EXPECT_EQ(FormatFloat("#.00", 0.5), ",50");
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnTheDecimalValueRead) {
    // Binary doubles just below the half must still round up.
    EXPECT_EQ(FormatFloat("0.00", 1.005), "1,01");
    EXPECT_EQ(FormatFloat("0.00", 0.125), "0,13");
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("0.00", -0.125), "-0,13");
    EXPECT_EQ(FormatFloat("0.00", -0.006), "-0,01");
    EXPECT_EQ(FormatFloat("0.00", 0.1 + 0.2), "0,30");
    EXPECT_EQ(FormatFloat("0.00", 1.004999), "1,00");
}

TEST(FormatFloat, NeverShowsANegativeZeroAndHonoursSections) {
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0,00");
    EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00)", -5), "(5,00)");
    EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", 0), "zero");
    EXPECT_EQ(FormatFloat("\"R$ \"#,##0.00", 10), "R$ 10,00");
}

TEST(TryStrToFloat, AcceptsBothConventionsAndRefusesGarbage) {
    double d = 0;
    ASSERT_TRUE(TryStrToFloat("1.234,50", d));
    EXPECT_DOUBLE_EQ(d, 1234.5);
    ASSERT_TRUE(TryStrToFloat("1234,5", d));
    EXPECT_DOUBLE_EQ(d, 1234.5);
    ASSERT_TRUE(TryStrToFloat("1234.5", d));
    EXPECT_DOUBLE_EQ(d, 1234.5);
    ASSERT_TRUE(TryStrToFloat(" -0,01 ", d));
    EXPECT_DOUBLE_EQ(d, -0.01);
    ASSERT_TRUE(TryStrToFloat("1.234.567", d));
    EXPECT_DOUBLE_EQ(d, 1234567);
    for (const char* bad : {"", " ", "abc", "1,2,3", "1.23,4.5", "12a", "--1", "1.2345,6", "1e5", ",", "nan", "inf"})
        EXPECT_FALSE(TryStrToFloat(bad, d)) << bad;
}

TEST(Dates, EncodeAndDecodeAreExactAroundTheEpoch) {
    TDateTime dt = -1;
    ASSERT_TRUE(EncodeDate(1899, 12, 30, dt));
    EXPECT_EQ(dt, 0);
    ASSERT_TRUE(EncodeDate(1900, 1, 1, dt));
    EXPECT_EQ(dt, 2);
    ASSERT_TRUE(EncodeDate(2024, 2, 29, dt));
    EXPECT_EQ(dt, 45351);
    int y, m, d;
    for (int serial : {1, 59, 60, 61, 36526, 45351, 2958465}) {
        DecodeDate(serial, y, m, d);
        TDateTime back = 0;
        ASSERT_TRUE(EncodeDate(y, m, d, back));
        EXPECT_EQ(back, serial);
    }
    EXPECT_FALSE(EncodeDate(2023, 2, 29, dt));
    EXPECT_FALSE(EncodeDate(2024, 13, 1, dt));
    EXPECT_FALSE(EncodeDate(1900, 2, 29, dt));
    EXPECT_TRUE(EncodeDate(2000, 2, 29, dt));
}

TEST(Dates, FormatAndStrictParsing) {
    TDateTime dt = 0;
    ASSERT_TRUE(TryStrToDate("05/03/2024", dt));
    EXPECT_EQ(DateToStr(dt), "05/03/2024");
    EXPECT_EQ(FormatDateTime("d/m/yy", dt), "5/3/24");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", dt), "2024-03-05");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", dt + 0.5), "05/03/2024 12:00");
    EXPECT_EQ(FormatDateTime("hh:mm", dt + 0.75), "18:00");
    EXPECT_EQ(FormatDateTime("dddd", dt), "terça-feira");
    EXPECT_EQ(DateToStr(0), "");
    ASSERT_TRUE(TryStrToDate("1/2/99", dt));
    EXPECT_EQ(DateToStr(dt), "01/02/1999");
    for (const char* bad : {"", "  /  /    ", "31/02/2024", "00/01/2024", "01/13/2024", "1-2-2024", "01/01/024",
                            "01/01/2024x", "a1/01/2024", "01//2024", "01/01/2024/1"})
        EXPECT_FALSE(TryStrToDate(bad, dt)) << bad;
}

TEST(VariantConversions, FollowTheFramework) {
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_EQ(Variant(1.5).AsString(), "1,5");
    EXPECT_EQ(Variant(0.1 + 0.2).AsString(), "0,3");
    EXPECT_EQ(Variant("1.234,5").AsFloat(), 1234.5);
    EXPECT_EQ(Variant("abc").AsFloat(), 0);
    EXPECT_EQ(Variant(2.5).AsInteger(), 3);
    EXPECT_TRUE(Variant("S").AsBoolean());
    EXPECT_FALSE(Variant("N").AsBoolean());
    double d = 1;
    EXPECT_FALSE(Variant("x").TryAsFloat(d));
    EXPECT_FALSE(Variant().TryAsFloat(d));
}
