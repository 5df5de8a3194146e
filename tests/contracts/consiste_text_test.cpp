// Rounding, padding and text helpers of Consiste on the cases that break
// naive implementations.
#include "contracts/consiste.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct RoundCase {
    const char* name;
    double value;
    int decimals;
    double expected;
};

// Test names, not bytes, in the test listing.
void PrintTo(const RoundCase& c, std::ostream* os) { *os << c.name; }

class RoundDecTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundDecTest, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    const RoundCase& c = GetParam();
    // The expected value is the double nearest the decimal result, exactly.
    EXPECT_EQ(Consiste::RoundDec(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals << " decimals";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundDecTest,
    ::testing::Values(
        RoundCase{"ExactHalfUp", 0.125, 2, 0.13}, RoundCase{"HalfStoredBelowInBinary", 1.005, 2, 1.01},
        RoundCase{"SmallNegativeAwayFromZero", -0.006, 2, -0.01}, RoundCase{"NegativeHalf", -2.675, 2, -2.68},
        RoundCase{"NegativeHalfAtZeroDecimals", -0.5, 0, -1.0}, RoundCase{"BelowHalfStays", 1.0049, 2, 1.0},
        RoundCase{"CarryThroughNines", 9.995, 2, 10.0}, RoundCase{"CarryIntoNewDigit", 99.999, 2, 100.0},
        RoundCase{"SumWithBinaryNoise", 0.1 + 0.2, 2, 0.3}, RoundCase{"AccumulatedNoiseOnHalf", 1.1 + 0.015, 2, 1.12},
        RoundCase{"ThreeDecimals", 2.0005, 3, 2.001}, RoundCase{"ThreeDecimalsNegative", -1.2345, 3, -1.235},
        RoundCase{"LargeAmount", 123456789012.345, 2, 123456789012.35},
        RoundCase{"LargeNegativeAmount", -98765432109.875, 2, -98765432109.88},
        RoundCase{"TinyRoundsToZero", 0.004, 2, 0.0}, RoundCase{"TinyHalfRoundsUp", 0.005, 2, 0.01},
        RoundCase{"FarBelowUnit", 1e-20, 2, 0.0}, RoundCase{"AlreadyRound", 150.5, 2, 150.5},
        RoundCase{"TensWithNegativeDecimals", 1234.5, -1, 1230.0}, RoundCase{"HundredsHalfUp", 250.0, -2, 300.0}),
    [](const ::testing::TestParamInfo<RoundCase>& info) { return std::string(info.param.name); });

TEST(RoundDec, ZeroResultIsNeverNegativeZero) {
    EXPECT_FALSE(std::signbit(Consiste::RoundDec(-0.001, 2)));
    EXPECT_FALSE(std::signbit(Consiste::RoundDec(-0.0, 2)));
}

TEST(RoundDec, NonFiniteValuesAndExtremeDecimalsAreSafe) {
    EXPECT_TRUE(std::isnan(Consiste::RoundDec(std::nan(""), 2)));
    EXPECT_EQ(Consiste::RoundDec(std::numeric_limits<double>::infinity(), 2), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Consiste::RoundDec(1.5, std::numeric_limits<int>::max()), 1.5);
    EXPECT_EQ(Consiste::RoundDec(1.5, std::numeric_limits<int>::min()), 0.0);
    EXPECT_EQ(Consiste::RoundDec(1e300, 2), 1e300);
}

TEST(Ajusta, TrimsAndPadsWithZerosButNeverCuts) {
    EXPECT_EQ(Consiste::Ajusta("1", 2), "01");
    EXPECT_EQ(Consiste::Ajusta(" 7 ", 4), "0007");
    EXPECT_EQ(Consiste::Ajusta("0012", 4), "0012");
    EXPECT_EQ(Consiste::Ajusta("123456", 4), "123456");
    EXPECT_EQ(Consiste::Ajusta("   ", 2), "00");
    EXPECT_EQ(Consiste::Ajusta("12", 5), "00012");
    EXPECT_EQ(Consiste::Ajusta("5", 0), "5");
    EXPECT_EQ(Consiste::Ajusta("5", -3), "5");
}

TEST(Replicate, RepeatsAndRefusesNegativeCounts) {
    EXPECT_EQ(Consiste::Replicate("Z", 3), "ZZZ");
    EXPECT_EQ(Consiste::Replicate("ab", 2), "abab");
    EXPECT_EQ(Consiste::Replicate("Z", 0), "");
    // A final account longer than ten digits asks for a negative count.
    EXPECT_EQ(Consiste::Replicate("Z", 10 - 12), "");
}

TEST(EmptyString, BlankAndUnfilledDateTextsCountAsEmpty) {
    EXPECT_TRUE(Consiste::EmptyString(""));
    EXPECT_TRUE(Consiste::EmptyString("   \t"));
    EXPECT_TRUE(Consiste::EmptyString("  /  /    "));
    EXPECT_TRUE(Consiste::EmptyString("__/__/____"));
    EXPECT_FALSE(Consiste::EmptyString("0"));
    EXPECT_FALSE(Consiste::EmptyString(" a "));
    EXPECT_FALSE(Consiste::EmptyString("01/  /    "));
    EXPECT_FALSE(Consiste::EmptyString("/"));
}

TEST(PictPess, MasksByPersonKind) {
    EXPECT_EQ(Consiste::PictPess("F"), "999.999.999-99;0;_");
    EXPECT_EQ(Consiste::PictPess("J"), "99.999.999/9999-99;0;_");
    EXPECT_EQ(Consiste::PictPess("j"), "99.999.999/9999-99;0;_");
    EXPECT_EQ(Consiste::PictPess(""), "");
    EXPECT_EQ(Consiste::PictPess("X"), "");
    EXPECT_EQ(Consiste::PictPess("FJ"), "");
}

}  // namespace
