// Filter texts as the screens build them by concatenation, and the view they
// leave: counts, navigation, posts under a filter, bad texts.
#include "platform/data/dataset.h"
#include "platform/data/filter.h"
#include "tests/data/fixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class Filtering : public ::testing::Test {
protected:
    TClientDataSet cds;
    void SetUp() override {
        cds.Name = "cdsLancCont";
        DefineLineFields(cds);
        cds.SetData(LinePacket({{"01", "000000000001", "00001", 100},
                                {"02", "000000000001", "00001", 7},
                                {"01", "000000000002", "00001", 50},
                                {"01", "000000000001", "00002", -60},
                                {"01", "000000000001", "00003", -40}}));
    }
    std::string filtered(const std::string& text) {
        cds.SetFiltered(false);
        cds.SetFilter(text);
        cds.SetFiltered(true);
        return Render(cds);
    }
};

TEST_F(Filtering, EntryFiltersOfTheScreensWithOrWithoutBlanksAroundAnd) {
    const std::string entry = "00001:100 00002:-60 00003:-40";
    EXPECT_EQ(filtered("CDEMPRESA = '01'AND NRLANCCONT = '000000000001'"), entry);
    EXPECT_EQ(filtered("NRLANCCONT = '000000000001' AND CDEMPRESA  = '01'"), entry);
    EXPECT_EQ(filtered("NRLANCCONT = '000000000001' AND CDEMPRESA  = '01' AND VRLANCAMENT < 0"), "00002:-60 00003:-40");
    EXPECT_EQ(filtered("NRLANCCONT = '000000000001' AND CDEMPRESA  = '01' AND VRLANCAMENT > 0"), "00001:100");
    EXPECT_EQ(filtered("CDEMPRESA  = '01' AND NRLANCCONT = '000000000001' AND NRSEQLANC  = '00002'"), "00002:-60");
    EXPECT_EQ(filtered("  cdempresa='01'and(nrseqlanc='00003'OR nrseqlanc = '00002')  "), "00002:-60 00003:-40");
}

TEST_F(Filtering, OperatorsNumbersNullsAndQuotes) {
    EXPECT_EQ(filtered("VRLANCAMENT >= 50"), "00001:100 00001:50");
    EXPECT_EQ(filtered("VRLANCAMENT <= -40"), "00002:-60 00003:-40");
    EXPECT_EQ(filtered("VRLANCAMENT <> 7 AND NOT (CDEMPRESA = '01')"), "");
    EXPECT_EQ(filtered("VRLANCAMENT = 7.0"), "00001:7");
    EXPECT_EQ(filtered("VRLANCAMENT > '10'"), "00001:100 00001:50");  // quoted number against a float field
    EXPECT_EQ(filtered("10 < VRLANCAMENT"), "00001:100 00001:50");
    // A constant on the left turns every comparison around, not only "<".
    EXPECT_EQ(filtered("50 <= VRLANCAMENT"), "00001:100 00001:50");
    EXPECT_EQ(filtered("-40 >= VRLANCAMENT"), "00002:-60 00003:-40");
    EXPECT_EQ(filtered("7 > VRLANCAMENT"), "00002:-60 00003:-40");
    EXPECT_EQ(filtered("CDEMPRESA = '1'"), "");  // text compares as text
    EXPECT_EQ(filtered("CDCONTCTBL IS NOT NULL AND DTLANCCONT = '16/03/2023'"), "");
    EXPECT_EQ(filtered("DTLANCCONT = '15/03/2023' AND NRLANCCONT = '000000000002'"), "00001:50");
    EXPECT_EQ(filtered("DTLANCCONT > '01/01/2023'"), "00001:100 00001:7 00001:50 00002:-60 00003:-40");
    cds.First();
    cds.Edit();
    cds.FieldByName("CDCONTCTBL")->SetAsString("it's");
    cds.Post();
    EXPECT_EQ(filtered("CDCONTCTBL = 'it''s'"), "00001:100");
    EXPECT_EQ(filtered("CDCONTCTBL = 'IT''S'"), "");  // '=' is case-sensitive
}

TEST_F(Filtering, MalformedTextsRaiseAndLeaveTheViewAsItWas) {
    filtered("CDEMPRESA = '02'");
    for (const char* bad :
         {"CDEMPRESA = '01", "CDEMPRESA = ", "CDEMPRESA '01'", "(CDEMPRESA = '01'", "CDEMPRESA = '01' AND",
          "CDEMPRESA = '01' OR OR X = 1", "NAOEXISTE = 1", "CDEMPRESA = '01')", "CDEMPRESA # 1", "= '01'",
          "VRLANCAMENT > 1.2.3", "CDEMPRESA = '01' NRLANCCONT = '1'"}) {
        EXPECT_THROW(cds.SetFilter(bad), EFilterError) << bad;
        EXPECT_EQ(cds.Filter(), "CDEMPRESA = '02'");
        EXPECT_EQ(Render(cds), "00001:7") << bad;
    }
    EXPECT_THROW(CompileFilter(std::string(5000, '('), {}), EFilterError);
    std::vector<TFilterField> fs{{"A", TFieldType::ftString}};
    EXPECT_THROW(CompileFilter("A = 'x' AND", fs), EFilterError);
    cds.SetFiltered(false);
    cds.SetFilter("NAOEXISTE = 1");  // kept: only applying it can fail
    EXPECT_THROW(cds.SetFiltered(true), EFilterError);
    EXPECT_FALSE(cds.Filtered());
    EXPECT_EQ(cds.RecordCount(), 5);
}

TEST_F(Filtering, CountsAndNavigationWorkOnTheFilteredView) {
    filtered("CDEMPRESA = '01' AND NRLANCCONT = '000000000001'");
    EXPECT_EQ(cds.RecordCount(), 3);
    cds.Last();
    EXPECT_EQ(cds.FieldByName("NRSEQLANC")->AsString(), "00003");
    EXPECT_TRUE(cds.Eof());
    cds.First();
    EXPECT_TRUE(cds.Bof());
    int n = 0;
    while (!cds.Eof()) {
        ++n;
        cds.Next();
    }
    EXPECT_EQ(n, 3);
    filtered("CDEMPRESA = '03'");
    EXPECT_TRUE(cds.IsEmpty());
    EXPECT_TRUE(cds.Eof());
    EXPECT_EQ(cds.RecNo(), 0);
}

TEST_F(Filtering, APostedRecordThatNoLongerMatchesLeavesTheView) {
    filtered("CDEMPRESA = '01' AND NRLANCCONT = '000000000001'");
    cds.Next();
    cds.Edit();
    cds.FieldByName("NRLANCCONT")->SetAsString("000000000009");
    cds.Post();
    EXPECT_EQ(Render(cds), "00001:100 00003:-40");
    EXPECT_EQ(cds.FieldByName("NRSEQLANC")->AsString(), "00003");
    cds.Append();
    cds.FieldByName("CDEMPRESA")->SetAsString("01");
    cds.FieldByName("NRLANCCONT")->SetAsString("000000000001");
    cds.FieldByName("NRSEQLANC")->SetAsString("00004");
    cds.FieldByName("VRLANCAMENT")->SetAsFloat(1);
    cds.Post();
    cds.Insert();
    cds.FieldByName("CDEMPRESA")->SetAsString("02");  // posted, but outside the entry
    cds.Post();
    EXPECT_EQ(Render(cds), "00001:100 00003:-40 00004:1");
    EXPECT_EQ(cds.GetData().RecordCount(), 7u);
    cds.SetFiltered(false);
    EXPECT_EQ(cds.RecordCount(), 7);
}

TEST_F(Filtering, LocateWithSeveralKeysAndCaseInsensitiveOption) {
    cds.First();
    cds.Edit();
    cds.FieldByName("CDCONTCTBL")->SetAsString("Caixa Geral");
    cds.Post();
    EXPECT_TRUE(
        cds.Locate("NRSEQLANC;NRLANCCONT;CDEMPRESA", {Variant("00002"), Variant("000000000001"), Variant("01")}));
    EXPECT_EQ(cds.FieldByName("VRLANCAMENT")->AsFloat(), -60);
    EXPECT_FALSE(cds.Locate("CDCONTCTBL", Variant("CAIXA GERAL")));
    EXPECT_EQ(cds.FieldByName("VRLANCAMENT")->AsFloat(), -60);  // not found: stays
    EXPECT_TRUE(cds.Locate("CDCONTCTBL", Variant("CAIXA GERAL"), {loCaseInsensitive}));
    EXPECT_EQ(cds.RecNo(), 1);
    EXPECT_TRUE(cds.Locate("cdcontctbl", Variant("caixa"), {loCaseInsensitive, loPartialKey}));
    EXPECT_TRUE(cds.Locate("VRLANCAMENT", Variant("50")));
    EXPECT_EQ(cds.RecNo(), 3);
    EXPECT_THROW(cds.Locate("CDEMPRESA;NRLANCCONT", {Variant("01")}), EDatabaseError);
    filtered("CDEMPRESA = '02'");
    EXPECT_FALSE(cds.Locate("NRLANCCONT", Variant("000000000002")));  // hidden by the filter
}

}  // namespace

namespace {

TEST_F(Filtering, ChangingTheFilterOrTheDataArrivesOnTheFirstRecordWithScrollEvents) {
    std::string log;
    cds.BeforeScroll = [&](TDataSet* ds) { log += "BS:" + ds->FieldByName("VRLANCAMENT")->AsString() + " "; };
    cds.AfterScroll = [&](TDataSet* ds) { log += "AS:" + ds->FieldByName("VRLANCAMENT")->AsString() + " "; };
    cds.Last();
    log.clear();
    cds.SetFilter("CDEMPRESA = '02'");  // not filtered yet: nothing moves
    EXPECT_EQ(log, "");
    cds.SetFiltered(true);
    EXPECT_EQ(log, "BS:-40 AS:7 ");
    log.clear();
    cds.SetData(cds.GetData());
    EXPECT_EQ(log, "AS:7 ");
    log.clear();
    cds.SetFilter("CDEMPRESA = '09'");
    EXPECT_EQ(log, "BS:7 ");  // nothing to arrive on
}

TEST_F(Filtering, GridsReadOtherRowsOfTheViewWithoutMoving) {
    filtered("NRLANCCONT = '000000000001' AND CDEMPRESA  = '01'");
    TField* valor = cds.FieldByName("VRLANCAMENT");
    TField* seq = cds.FieldByName("NRSEQLANC");
    valor->OnGetText = [seq](TField* f, std::string& text, bool) {
        text = seq->AsString() + (f->AsFloat() < 0 ? " D" : " C");  // reads a sibling field
    };
    EXPECT_EQ(cds.DisplayTextAt(1, valor), "00002 D");
    EXPECT_EQ(cds.DisplayTextAt(0, valor), "00001 C");
    EXPECT_EQ(cds.DisplayTextAt(3, valor), "");
    EXPECT_EQ(cds.ValueAt(2, seq).AsString(), "00003");
    EXPECT_EQ(cds.RecNo(), 1);
    EXPECT_EQ(valor->DisplayText(), "00001 C");
}

}  // namespace

namespace {

// Any text, however broken, compiles or raises EFilterError; nothing else.
TEST(FilterTexts, RandomGarbageNeverCrashes) {
    const std::vector<TFilterField> fields{{"CDEMPRESA", TFieldType::ftString},
                                           {"VRLANCAMENT", TFieldType::ftFloat},
                                           {"DTLANCCONT", TFieldType::ftDateTime}};
    const char* pieces[] = {"CDEMPRESA", "VRLANCAMENT", "DTLANCCONT", "'01'", "'a''b'", "'",   "(",  ")",    "=",
                            "<>",        "<",           ">=",         "AND",  "or",     "NOT", "IS", "NULL", "-",
                            "1.5",       "0",           " ",          "[",    "]",      "X",   "\"", "''",   "é"};
    std::mt19937 rng(20240601);
    TDataPacket one({{"A", TFieldType::ftString, 2}, {"B", TFieldType::ftFloat, 0}, {"C", TFieldType::ftDateTime, 0}});
    one.AppendRow({Variant("01"), Variant(-3.0), Variant()});
    const TRowRef row = one.RowAt(0);
    int compiled = 0;
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        const int n = std::uniform_int_distribution<int>(0, 9)(rng);
        for (int j = 0; j < n; ++j) {
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(rng)];
            if (rng() % 2) text += ' ';
        }
        try {
            auto e = CompileFilter(text, fields);
            e->Bind({0, 1, 2});
            e->Matches(row);
            ++compiled;
        } catch (const EFilterError&) {}
    }
    EXPECT_GT(compiled, 5);  // some texts are sound, most are not
}

}  // namespace
