// The scenario language of ctb-drive: how lines become commands, which lines
// are refused (with their numbers), and how expectations compare values.
#include "host/common/process.h"
#include "host/drive/compare.h"
#include "host/drive/options.h"
#include "host/drive/script.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace drive;

namespace {

// Renders the parsed script to one text, so a case compares once.
std::string Render(const Script& s) {
    std::ostringstream out;
    for (const Command& c : s.commands) {
        out << c.line << ':' << VerbName(c.verb) << " t=" << c.target << " f=" << c.field << " x=" << c.text
            << " r=" << c.row << '\n';
    }
    for (const ParseError& e : s.errors) out << "error " << e.line << ": " << e.message << '\n';
    return out.str();
}

Script Parse(const std::string& text) { return ParseScript(text, "t.ctb"); }

}  // namespace

TEST(DriveScript, QuotedTextKeepsBlanksHashesAndEscapes) {
    std::vector<Word> w;
    std::string err;
    ASSERT_TRUE(SplitWords(R"(type  edtX "a # b \"c\" \\d"  # trailing comment)", w, err));
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[2].text, R"(a # b "c" \d)");
    EXPECT_TRUE(w[2].quoted);
    EXPECT_FALSE(w[1].quoted);

    ASSERT_TRUE(SplitWords(R"(pick NMEMPRESA="Empresa Um")", w, err));
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[1].text, "NMEMPRESA=Empresa Um");

    ASSERT_TRUE(SplitWords(R"(set edtX "")", w, err));
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[2].text, "");
    EXPECT_TRUE(w[2].quoted);
}

TEST(DriveScript, MalformedQuotesAreRefusedNotGuessed) {
    std::vector<Word> w;
    std::string err;
    EXPECT_FALSE(SplitWords(R"(type edtX "open)", w, err));
    EXPECT_FALSE(SplitWords(R"(type edtX "bad \n escape")", w, err));
    EXPECT_FALSE(SplitWords(R"(type edtX "ends in backslash\)", w, err));
}

TEST(DriveScript, EveryCommandFormParses) {
    Script s = Parse(
        "# a scenario\n"
        "\n"
        "OPEN\n"
        "focus edtCdEmpresa\n"
        "type frmLancamentos.edtCdEmpresa \"01\"\n"
        "set edtCdEmpresa \"02\"\n"
        "key dbgLancCont Ctrl+Delete\n"
        "click sbtIncluir\n"
        "dblclick dbgLancCont\n"
        "grid dbgLancCont col VRLANCAMENT\n"
        "grid dbgLancCont row 3\n"
        "grid dbgLancCont cell VRLANCAMENT \"-100,00\"\n"
        "grid dbgLancCont button\n"
        "answer Yes\n"
        "expect cdsLancCont.VRLANCAMENT.DisplayText \"100,00 CR\"\n"
        "expect message \"Empresa não cadastrada.\"\n"
        "expect no message\n"
        "expect focus edtCdEmpresa\n"
        "dump cdsLancCont\n"
        "close frmLancFiltro\n");
    EXPECT_EQ(Render(s),
              "3:open t= f= x= r=0\n"
              "4:focus t=edtCdEmpresa f= x= r=0\n"
              "5:type t=frmLancamentos.edtCdEmpresa f= x=01 r=0\n"
              "6:set t=edtCdEmpresa f= x=02 r=0\n"
              "7:key t=dbgLancCont f= x=Ctrl+Delete r=0\n"
              "8:click t=sbtIncluir f= x= r=0\n"
              "9:dblclick t=dbgLancCont f= x= r=0\n"
              "10:grid col t=dbgLancCont f=VRLANCAMENT x= r=0\n"
              "11:grid row t=dbgLancCont f= x= r=3\n"
              "12:grid cell t=dbgLancCont f=VRLANCAMENT x=-100,00 r=0\n"
              "13:grid button t=dbgLancCont f= x= r=0\n"
              "14:answer t= f= x= r=0\n"
              "15:expect t=cdsLancCont.VRLANCAMENT.DisplayText f= x=100,00 CR r=0\n"
              "16:expect message t= f= x=Empresa não cadastrada. r=0\n"
              "17:expect no message t= f= x= r=0\n"
              "18:expect focus t=edtCdEmpresa f= x= r=0\n"
              "19:dump t=cdsLancCont f= x= r=0\n"
              "20:close t=frmLancFiltro f= x= r=0\n");
    EXPECT_EQ(s.commands[11].answer, Answer::Yes);
}

TEST(DriveScript, PickForms) {
    Script s = Parse(
        "pick CDEMPRESA=01\n"
        "pick NMEMPRESA=\"Empresa Um\"\n"
        "pick 0001,0002,0003\n"
        "pick cancel\n"
        "pick \"cancel\"\n");
    ASSERT_TRUE(s.errors.empty()) << Render(s);
    ASSERT_EQ(s.commands.size(), 5u);
    EXPECT_EQ(s.commands[0].pick.kind, PickChoice::Kind::Keys);
    EXPECT_EQ(s.commands[0].pick.keys, (std::vector<std::pair<std::string, std::string>>{{"CDEMPRESA", "01"}}));
    EXPECT_EQ(s.commands[1].text, "NMEMPRESA=Empresa Um");
    EXPECT_EQ(s.commands[3].text, "cancel");
    EXPECT_EQ(s.commands[2].pick.codes, (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(s.commands[3].pick.kind, PickChoice::Kind::Cancel);
    // A quoted "cancel" is a code, not the cancel choice.
    EXPECT_EQ(s.commands[4].pick.kind, PickChoice::Kind::Codes);
}

TEST(DriveScript, MalformedLinesAreReportedWithTheirNumbersAndSkipped) {
    Script s = Parse(
        "open\n"
        "frobnicate x\n"
        "type edtX\n"
        "key edtX PageDown\n"
        "grid g row 0\n"
        "grid g row x\n"
        "grid g sideways\n"
        "answer maybe\n"
        "expect edtX \"1\"\n"
        "pick 01,,02\n"
        "pick =1\n"
        "pick A=1 B=2\n"
        "set edtX \"unterminated\n"
        "click sbtIncluir\n");
    ASSERT_EQ(s.commands.size(), 2u);
    EXPECT_EQ(s.commands[1].line, 14);
    std::vector<int> lines;
    for (const ParseError& e : s.errors) lines.push_back(e.line);
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

TEST(DriveScript, KeysAreTheNamedOnesOrOneCharacter) {
    for (const char* k :
         {"Enter", "tab", "ESCAPE", "Delete", "Insert", "Down", "Up", "F2", "ctrl+delete", "a", "ç", "5"})
        EXPECT_TRUE(IsKnownKey(k)) << k;
    for (const char* k : {"", "ab", "F3", "Ctrl+X", "çç"}) EXPECT_FALSE(IsKnownKey(k)) << k;
}

TEST(DriveCompare, NumbersCompareAsNumbers) {
    EXPECT_TRUE(ExpectedMatches("100", "100.00"));
    EXPECT_TRUE(ExpectedMatches("100,00", "100"));
    EXPECT_TRUE(ExpectedMatches("1.234,56", "1234.56"));
    EXPECT_TRUE(ExpectedMatches("-0,5", "-.5"));
    EXPECT_TRUE(ExpectedMatches("0.30000000000000004", "0,30"));
    EXPECT_FALSE(ExpectedMatches("100,01", "100"));
    EXPECT_FALSE(ExpectedMatches("-100", "100"));
    // Text that only looks partly numeric compares as text.
    EXPECT_FALSE(ExpectedMatches("100,00 CR", "100"));
    EXPECT_TRUE(ExpectedMatches("100,00 CR", "100,00 CR"));
    double v;
    EXPECT_FALSE(ParseNumber("1.2.3,4,5", v));
    EXPECT_FALSE(ParseNumber("12a", v));
    EXPECT_FALSE(ParseNumber("", v));
    EXPECT_FALSE(ParseNumber("-", v));
}

TEST(DriveCompare, DatesBooleansAndText) {
    EXPECT_TRUE(ExpectedMatches("05/01/2024", "5/1/2024"));
    EXPECT_TRUE(ExpectedMatches("05/01/2024", "2024-01-05"));
    EXPECT_FALSE(ExpectedMatches("05/01/2024", "01/05/2024"));
    EXPECT_FALSE(ExpectedMatches("", "05/01/2024"));
    int y, m, d;
    EXPECT_FALSE(ParseDate("29/02/2023", y, m, d));
    EXPECT_TRUE(ParseDate("29/02/2024", y, m, d));
    EXPECT_FALSE(ParseDate("31/04/2024", y, m, d));
    EXPECT_TRUE(ExpectedMatches("true", "True"));
    EXPECT_FALSE(ExpectedMatches("true", "false"));
    EXPECT_FALSE(ExpectedMatches("Lançamento", "lançamento"));
    EXPECT_TRUE(ExpectedMatches("", ""));
}

TEST(DriveOptions, CommandLine) {
    const char* argv[] = {"ctb-drive", "--db",       "x.db",      "--company", "02",
                          "--today",   "2024-02-29", "--timings", "a.ctb",     "b.ctb"};
    Options o;
    std::string err;
    ASSERT_TRUE(ParseOptions(10, const_cast<char**>(argv), o, err)) << err;
    EXPECT_EQ(o.dbFile, "x.db");
    EXPECT_EQ(o.company, "02");
    EXPECT_TRUE(o.timings);
    EXPECT_EQ(o.scripts, (std::vector<std::string>{"a.ctb", "b.ctb"}));

    auto refused = [](std::vector<const char*> args) {
        Options opt;
        std::string e;
        args.insert(args.begin(), "ctb-drive");
        return !ParseOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), opt, e) && !e.empty();
    };
    EXPECT_TRUE(refused({"--db", "a", "--db-url", "b", "s.ctb"}));
    EXPECT_TRUE(refused({"--server", "localhost", "s.ctb"}));
    EXPECT_TRUE(refused({"--server", "localhost:70000", "s.ctb"}));
    EXPECT_TRUE(refused({"--today", "2023-02-29", "s.ctb"}));
    EXPECT_TRUE(refused({"--today", "14/06/2024", "s.ctb"}));
    EXPECT_TRUE(refused({"--bogus", "s.ctb"}));
    EXPECT_TRUE(refused({"s.ctb", "--db"}));
    EXPECT_TRUE(refused({}));
}

TEST(DriveProcess, ListeningLine) {
    int port = 0;
    EXPECT_TRUE(hostcommon::ParseListeningLine("ctb11000-server: escutando em 127.0.0.1:40123", port));
    EXPECT_EQ(port, 40123);
    EXPECT_TRUE(hostcommon::ParseListeningLine("escutando em 127.0.0.1:5\r", port));
    EXPECT_EQ(port, 5);
    EXPECT_FALSE(hostcommon::ParseListeningLine("escutando em 127.0.0.1:", port));
    EXPECT_FALSE(hostcommon::ParseListeningLine("escutando em 127.0.0.1:99999", port));
    EXPECT_FALSE(hostcommon::ParseListeningLine("opening database", port));
}
