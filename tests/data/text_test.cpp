// The shared text routines: what each one touches, and that a multi-byte
// character always comes through whole.
#include "platform/data/text.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* name;
    std::string in, out;
};

std::string RowName(const ::testing::TestParamInfo<Row>& info) { return info.param.name; }

class Trimmed : public ::testing::TestWithParam<Row> {};

TEST_P(Trimmed, RemovesWhiteSpaceAtBothEndsOnly) { EXPECT_EQ(Trim(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Texts, Trimmed,
                         ::testing::Values(Row{"Empty", "", ""}, Row{"AllWhiteSpace", " \t\r\n\v\f ", ""},
                                           Row{"InnerBlanksKept", "\t a  b \n", "a  b"},
                                           Row{"AccentedEnds", " çÃ ", "çÃ"},
                                           // 0xA0 ends a UTF-8 "à": never taken for a blank.
                                           Row{"Nbsp", "\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"}),
                         RowName);

TEST(Trim, OneSideAndChosenCharacters) {
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(TrimRight("   "), "");
    EXPECT_EQ(Trim(" a\n", kBlanks), "a\n");  // a line break typed inside a text is content
    EXPECT_EQ(Trim("\t01  ", " "), "\t01");
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n"));
    EXPECT_FALSE(IsBlank(" ç "));
}

class Folded : public ::testing::TestWithParam<Row> {};

TEST_P(Folded, LowersAsciiAndPortugueseCapitals) { EXPECT_EQ(FoldCase(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Texts, Folded,
                         ::testing::Values(Row{"Empty", "", ""}, Row{"Ascii", "ICMS 10%", "icms 10%"},
                                           Row{"PortugueseCapitals", "APURAÇÃO ÁÉÍÓÚÂÊÔÀÜÕ", "apuração áéíóúâêôàüõ"},
                                           Row{"SmallLettersKept", "ação", "ação"},
                                           Row{"TimesSignIsNoLetter", "×", "×"}, Row{"OutsideLatin1Kept", "ŒЖ€", "ŒЖ€"},
                                           Row{"CutSequenceKept", "A\xC3", "a\xC3"}),
                         RowName);

TEST(Case, AsciiRoutinesLeaveAccentsAlone) {
    EXPECT_EQ(UpperCase("ação x"), "AçãO X");
    EXPECT_EQ(LowerCase("AÇÃO X"), "aÇÃo x");
    EXPECT_EQ(AnsiUpperCase("ação ÿ ÷ x"), "AÇÃO ÿ ÷ X");
    EXPECT_EQ(FoldCase(AnsiUpperCase("àçõ")), "àçõ");
}

TEST(SameText, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameText("CdContCtbl", "CDCONTCTBL"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("ab", "abc"));
    EXPECT_FALSE(SameText("AÇÃO", "ação"));  // use FoldCase for accented texts
    EXPECT_TRUE(SameText("ação", "AçãO"));
}

}  // namespace
