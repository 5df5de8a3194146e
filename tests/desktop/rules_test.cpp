// The desktop's small rules: placement by alignment, key translation,
// colours, account levels, lookup titles and the command line.
#include "host/desktop/align.h"
#include "host/desktop/keys.h"
#include "host/desktop/lookups.h"
#include "host/desktop/options.h"
#include "host/desktop/palette.h"

#include <gtest/gtest.h>

using desk::AlignItem;
using desk::Box;

TEST(DesktopAlign, EdgesTakeTheirRoomInOrderAndClientTakesTheRest) {
    // command bar and company panel on top, navigator at the bottom, a tree on
    // the left, the pages in the rest; a hidden panel and a fixed label
    const std::vector<AlignItem> items = {{alTop, {0, 0, 0, 40}, true},      {alTop, {0, 0, 0, 41}, true},
                                          {alBottom, {0, 0, 0, 28}, true},   {alTop, {0, 0, 0, 99}, false},
                                          {alLeft, {0, 0, 120, 0}, true},    {alClient, {5, 5, 5, 5}, true},
                                          {alNone, {700, 12, 60, 13}, true}, {alRight, {0, 0, 50, 0}, true}};
    const std::vector<Box> got = desk::AlignChildren({0, 0, 800, 500}, items);
    EXPECT_EQ(got[0], (Box{0, 0, 800, 40}));
    EXPECT_EQ(got[1], (Box{0, 40, 800, 41}));
    EXPECT_EQ(got[2], (Box{0, 472, 800, 28}));
    EXPECT_EQ(got[4], (Box{0, 81, 120, 391}));
    EXPECT_EQ(got[7], (Box{750, 81, 50, 391}));
    EXPECT_EQ(got[5], (Box{120, 81, 630, 391}));
    EXPECT_EQ(got[6], (Box{700, 12, 60, 13}));
}

TEST(DesktopAlign, TooLittleRoomNeverGivesNegativeSizes) {
    const std::vector<Box> got = desk::AlignChildren(
        {2, 16, 100, 30}, {{alTop, {0, 0, 0, 25}, true}, {alBottom, {0, 0, 0, 25}, true}, {alClient, {}, true}});
    EXPECT_EQ(got[0], (Box{2, 16, 100, 25}));
    EXPECT_EQ(got[1], (Box{2, 41, 100, 5}));
    EXPECT_EQ(got[2], (Box{2, 41, 100, 0}));
}

TEST(DesktopKeys, KeysBecomeVirtualKeysAndTextBecomesCharacters) {
    auto k = desk::TranslateKey(Qt::Key_Backtab, Qt::ShiftModifier, "");
    EXPECT_EQ(k.kind, desk::KeyAction::Key);
    EXPECT_EQ(k.vk, VK_TAB);
    EXPECT_TRUE(k.shift.Contains(ssShift));
    k = desk::TranslateKey(Qt::Key_Delete, Qt::ControlModifier, "");
    EXPECT_EQ(k.vk, VK_DELETE);
    EXPECT_TRUE(k.shift.Contains(ssCtrl));
    EXPECT_EQ(desk::TranslateKey(Qt::Key_Enter, Qt::KeypadModifier, "\r").vk, VK_RETURN);
    k = desk::TranslateKey(0, Qt::NoModifier, QString::fromUtf8("ç"));
    EXPECT_EQ(k.kind, desk::KeyAction::Char);
    EXPECT_EQ(k.text, "ç");
    // shortcuts and control characters are not typing
    EXPECT_EQ(desk::TranslateKey(Qt::Key_C, Qt::ControlModifier, "\x03").kind, desk::KeyAction::None);
    EXPECT_EQ(desk::TranslateKey(Qt::Key_Shift, Qt::ShiftModifier, "").kind, desk::KeyAction::None);
}

TEST(DesktopPalette, ColoursAreBgrAndSystemColoursHaveFixedValues) {
    EXPECT_EQ(desk::ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(desk::ToQColor(clOlive), QColor(128, 128, 0));
    EXPECT_EQ(desk::ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_NE(desk::ToQColor(clInfoBk), desk::ToQColor(clWindow));
    EXPECT_FALSE(desk::ToQColor(clNone).isValid());
    TFont f;
    f.Bold = true;
    EXPECT_TRUE(desk::ToQFont(f).bold());
    EXPECT_EQ(desk::ToQFont(f).pointSizeF(), 8.0);
}

TEST(DesktopLookupRules, AccountLevelsAndParents) {
    const std::vector<int> levels = desk::PictureLevels("9.9.9.99.99999;0;_");
    EXPECT_EQ(levels, (std::vector<int>{1, 2, 3, 5, 10}));
    EXPECT_EQ(desk::ParentCode("1110100001", levels), "11101");
    EXPECT_EQ(desk::ParentCode("11101", levels), "111");
    EXPECT_EQ(desk::ParentCode("1", levels), "");
    EXPECT_EQ(desk::ParentCode("1110", levels), "");  // ends no level
    EXPECT_EQ(desk::PictureLevels("99.999"), (std::vector<int>{2, 5}));
}

TEST(DesktopLookupRules, TitleSplitsAtTheBar) {
    auto t = desk::SplitLookupTitle("Empresa|Não há empresa cadastrada.");
    EXPECT_EQ(t.caption, "Empresa");
    EXPECT_EQ(t.emptyText, "Não há empresa cadastrada.");
    t = desk::SplitLookupTitle("Filial");
    EXPECT_EQ(t.caption, "Filial");
    EXPECT_EQ(t.emptyText, "");
}

TEST(DesktopOptions, CommandLineIsCheckedBeforeAnythingStarts) {
    desk::Options o;
    std::string error;
    ASSERT_TRUE(desk::ParseOptions({"--db", "x.db", "--company", "3", "--open", "--today", "2024-01-31"}, o, error));
    EXPECT_EQ(o.dbFile, "x.db");
    EXPECT_EQ(o.company, "3");
    EXPECT_TRUE(o.open);
    struct Bad {
        std::vector<std::string> args;
        const char* why;
    };
    for (const Bad& b : {Bad{{"--db", "a", "--db-url", "b"}, "não os dois"}, Bad{{"--server", "host"}, "HOST:PORTA"},
                         Bad{{"--server", "h:70000"}, "HOST:PORTA"}, Bad{{"--today", "2024-13-01"}, "AAAA-MM-DD"},
                         Bad{{"--company", "123"}, "um ou dois"}, Bad{{"--db"}, "falta o valor"},
                         Bad{{"--verbose"}, "desconhecida"}}) {
        desk::Options x;
        error.clear();
        EXPECT_FALSE(desk::ParseOptions(b.args, x, error)) << b.why;
        EXPECT_NE(error.find(b.why), std::string::npos) << error;
    }
}
