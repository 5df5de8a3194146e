// GetLancCont: each criterion and each filter kind against an oracle written
// directly in SQL on the demo database, and hostile criteria treated as data.
#include "store_test_util.h"

#include <set>

using namespace storetest;

namespace {

class Filter : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        db_ = new TDemoCopy();
        store_ = new TEntryStore(db_->Url());
    }
    static void TearDownTestSuite() {
        delete store_;
        delete db_;
    }

    // The entries (sorted) the oracle names, and their line count.
    static std::vector<std::string> OracleEntries(const std::string& where) {
        auto session = OpenTestSession(db_->Url());
        soci::session& sql = *session;
        soci::rowset<std::string> rows =
            (sql.prepare << "SELECT DISTINCT NRLANCCONT FROM LANCCONT L WHERE CDEMPRESA = '01' AND " + where +
                                " ORDER BY 1");
        return {rows.begin(), rows.end()};
    }
    static long long LinesOf(const std::vector<std::string>& entries) {
        long long n = 0;
        for (const std::string& e : entries)
            n += Scalar(db_->Url(),
                        "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01'"
                        " AND NRLANCCONT = '" +
                            e + "'");
        return n;
    }
    // An Aux result must be exactly the oracle's entries with all their lines.
    static void ExpectWholeEntries(const TDataPacket& got, const std::string& oracleWhere) {
        auto expected = OracleEntries(oracleWhere);
        ASSERT_FALSE(expected.empty()) << "oracle selects nothing: " << oracleWhere;
        EXPECT_EQ(Entries(got), expected);
        EXPECT_EQ(static_cast<long long>(got.RecordCount()), LinesOf(expected));
    }

    static TDemoCopy* db_;
    static TEntryStore* store_;
};
TDemoCopy* Filter::db_ = nullptr;
TEntryStore* Filter::store_ = nullptr;

TEST_F(Filter, YearOfACompanyGivesEveryLineInEntryAndSequenceOrderWithAccountData) {
    TDataPacket p = store_->GetLancCont(YearFilter("01"));
    EXPECT_EQ(static_cast<long long>(p.RecordCount()),
              Scalar(db_->Url(), "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01'"));
    ASSERT_EQ(p.Fields(), LancContFields());
    for (std::size_t i = 1; i < p.RecordCount(); ++i) {
        auto key = [&](std::size_t r) { return Cell(p, r, "NRLANCCONT") + Cell(p, r, "NRSEQLANC"); };
        ASSERT_LT(key(i - 1), key(i));
    }
    // The first line of the first fixed entry, with the account's own data.
    EXPECT_EQ(Cell(p, 0, "NRLANCCONT"), Nr(1, 1));
    EXPECT_EQ(Cell(p, 0, "CDCONTCTBL"), "1120100001");
    EXPECT_EQ(Cell(p, 0, "NMCONTCTBL"), "Clientes Nacionais");
    EXPECT_EQ(Cell(p, 0, "CDCONTREDU"), "111");
    EXPECT_EQ(Cell(p, 0, "IDTIPOCOME"), "C");
    EXPECT_DOUBLE_EQ(Number(p, 0, "VRLANCAMENT"), -1500.0);
    EXPECT_DOUBLE_EQ(Number(p, 0, "DTLANCCONT"), D(kYear, 1, 2));
    EXPECT_EQ(Cell(p, 1, "IDCONTCCUS"), "R");
}

TEST_F(Filter, DateRangeIsInclusive) {
    TLancFiltro f = YearFilter("01");
    f.DtIni = D(kYear, 3, 1);
    f.DtFim = D(kYear, 3, 31);
    ExpectWholeEntries(store_->GetLancCont(f), "DTLANCCONT >= '2024-03-01' AND DTLANCCONT <= '2024-03-31'");
}

TEST_F(Filter, AccountRangeSelectsEntriesOrLinesByKind) {
    TLancFiltro f = YearFilter("01");
    f.ContIni = "4110100001";
    f.ContFim = "4110100002";
    f.ContFimZ = "4110100002";
    const std::string where = "CDCONTCTBL >= '4110100001' AND CDCONTCTBL <= '4110100002'";
    ExpectWholeEntries(store_->GetLancCont(f), where);

    // A group account bounds the range through its "Z" padding.
    f.ContIni = "411";
    f.ContFim = "411";
    f.ContFimZ = "411ZZZZZZZ";
    ExpectWholeEntries(store_->GetLancCont(f), "CDCONTCTBL LIKE '411%'");

    f.TipoFiltro = "FiltroValor";
    f.VrIni = 0.01;
    f.VrFim = 1e9;
    TDataPacket lines = store_->GetLancCont(f);
    ASSERT_GT(lines.RecordCount(), 0u);
    for (std::size_t i = 0; i < lines.RecordCount(); ++i) EXPECT_EQ(Cell(lines, i, "CDCONTCTBL").substr(0, 3), "411");
}

TEST_F(Filter, HistoryListUsesTheUnderscoreRule) {
    TLancFiltro f = YearFilter("01");
    f.Hist = "_0004__0007_";
    ExpectWholeEntries(store_->GetLancCont(f), "CDHISTPADR IN ('0004', '0007')");
    f.Hist = "_000_";  // a prefix of real codes, not a code
    EXPECT_EQ(store_->GetLancCont(f).RecordCount(), 0u);
}

TEST_F(Filter, CommercialListsMatchTheirOwnKindAndCombine) {
    TLancFiltro f = YearFilter("01");
    f.Clie = "_000001_";
    ExpectWholeEntries(store_->GetLancCont(f), "IDLANCCOME = 'C' AND CDCONTCOME = '000001'");
    f.Forn = "_000001_";  // supplier 000001 is another party than client 000001
    ExpectWholeEntries(store_->GetLancCont(f),
                       "((IDLANCCOME = 'C' AND CDCONTCOME = '000001') OR"
                       " (IDLANCCOME = 'F' AND CDCONTCOME = '000001'))");
    f = YearFilter("01");
    f.Banc = "_003_";
    ExpectWholeEntries(store_->GetLancCont(f), "IDLANCCOME = 'B' AND CDCONTCOME = '003'");
}

TEST_F(Filter, DocumentAndEntryNumber) {
    TLancFiltro f = YearFilter("01");
    f.Docu = "000777";
    TDataPacket p = store_->GetLancCont(f);
    EXPECT_EQ(Entries(p), std::vector<std::string>{Nr(1, 2)});

    f = YearFilter("01");
    f.NrLanc = "000" + Nr(1, 5);  // leading zeros are ignored
    p = store_->GetLancCont(f);
    EXPECT_EQ(Entries(p), std::vector<std::string>{Nr(1, 5)});
    EXPECT_EQ(p.RecordCount(), 3u);
}

TEST_F(Filter, HistoryTextIgnoresCaseAccentsIncluded) {
    TLancFiltro f = YearFilter("01");
    f.HistLanc = "APURAÇÃO DE ICMS";
    ExpectWholeEntries(store_->GetLancCont(f), "DSHISTLANC LIKE '%Apuração de ICMS%'");
    f.HistLanc = "venda de MERCADORIAS conforme nota fiscal 004512";
    EXPECT_EQ(Entries(store_->GetLancCont(f)), std::vector<std::string>{Nr(1, 1)});
}

TEST_F(Filter, ValueKindsGiveOnlyMatchingLinesByAbsoluteAmount) {
    TLancFiltro f = YearFilter("01", "FiltroValor");
    f.VrIni = 1500;
    f.VrFim = 1500;
    TDataPacket p = store_->GetLancCont(f);
    ASSERT_GE(p.RecordCount(), 2u);  // both lines of the first fixed entry
    for (std::size_t i = 0; i < p.RecordCount(); ++i) EXPECT_DOUBLE_EQ(std::abs(Number(p, i, "VRLANCAMENT")), 1500.0);
    EXPECT_EQ(static_cast<long long>(p.RecordCount()), Scalar(db_->Url(),
                                                              "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01'"
                                                              " AND ABS(VRLANCAMENT) = 150000"));

    f.VrIni = 45.90;  // 45.90 as a double is 45.899999...; the cents decide
    f.VrFim = 45.90;
    p = store_->GetLancCont(f);
    std::set<std::string> entries;
    for (auto& e : Entries(p)) entries.insert(e);
    EXPECT_TRUE(entries.count(Nr(1, 4)));
}

TEST_F(Filter, ManagementKindsNeedAnApportionmentInTheLists) {
    TLancFiltro f = YearFilter("01", "AuxFiltroGer");
    f.Filial = "_0003_";
    ExpectWholeEntries(store_->GetLancCont(f),
                       "EXISTS (SELECT 1 FROM LANCCCUSTO R WHERE R.CDEMPRESA = L.CDEMPRESA AND"
                       " R.NRLANCCONT = L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC AND"
                       " R.CDFILIAL = '0003')");
    f.CentCust = "_2002_";
    ExpectWholeEntries(store_->GetLancCont(f),
                       "EXISTS (SELECT 1 FROM LANCCCUSTO R WHERE R.CDEMPRESA = L.CDEMPRESA AND"
                       " R.NRLANCCONT = L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC AND"
                       " R.CDFILIAL = '0003' AND R.CDCENTCUST = '2002')");

    // The value kind keeps only the apportioned lines themselves.
    f = YearFilter("01", "FiltroValorGer");
    f.VrIni = 0.01;
    f.VrFim = 1e9;
    f.CentCust = "_1002_";
    TDataPacket p = store_->GetLancCont(f);
    EXPECT_EQ(static_cast<long long>(p.RecordCount()),
              Scalar(db_->Url(),
                     "SELECT COUNT(DISTINCT NRLANCCONT || NRSEQLANC) FROM LANCCCUSTO"
                     " WHERE CDEMPRESA = '01' AND CDCENTCUST = '1002'"));
    // Line 00001 of entry 000005 has no apportionment: never in a "Ger" answer.
    for (std::size_t i = 0; i < p.RecordCount(); ++i)
        EXPECT_NE(Cell(p, i, "NRLANCCONT") + Cell(p, i, "NRSEQLANC"), Nr(1, 5) + "00001");
}

TEST_F(Filter, ManyMatchedEntriesComeWholeAsFewDo) {
    // More matched entries than the per-entry reading takes: the range read
    // must give exactly the same whole entries.
    TLancFiltro f = YearFilter("01");
    f.ContIni = "1";
    f.ContFimZ = "1ZZZZZZZZZ";
    auto expected = OracleEntries("CDCONTCTBL LIKE '1%'");
    ASSERT_GT(expected.size(), 200u);
    ExpectWholeEntries(store_->GetLancCont(f), "CDCONTCTBL LIKE '1%'");
}

TEST_F(Filter, HostileCriteriaAreData) {
    const std::vector<std::string> hostile = {"'; DROP TABLE LANCCONT; --", "' OR '1'='1", "%", "_", "%_%", "\"", "\\",
                                              "_9999_' OR 1=1 --"};
    const long long before = Scalar(db_->Url(), "SELECT COUNT(*) FROM LANCCONT");
    using Field = std::string TLancFiltro::*;
    const std::vector<std::pair<const char*, Field>> criteria = {
        {"Empresa", &TLancFiltro::Empresa},   {"NrLanc", &TLancFiltro::NrLanc},     {"Hist", &TLancFiltro::Hist},
        {"Clie", &TLancFiltro::Clie},         {"Forn", &TLancFiltro::Forn},         {"Banc", &TLancFiltro::Banc},
        {"Docu", &TLancFiltro::Docu},         {"CentCust", &TLancFiltro::CentCust}, {"ContIni", &TLancFiltro::ContIni},
        {"HistLanc", &TLancFiltro::HistLanc}, {"Filial", &TLancFiltro::Filial}};
    for (const auto& [name, field] : criteria) {
        for (const std::string& text : hostile) {
            TLancFiltro f = YearFilter(
                "01", std::string(name) == "Filial" || std::string(name) == "CentCust" ? "AuxFiltroGer" : "AuxFiltro");
            f.*field = text;
            TDataPacket p;
            ASSERT_NO_THROW(p = store_->GetLancCont(f)) << name << " = " << text;
            // No line holds any of these texts as a code or within its history,
            // so a criterion that is data selects nothing ("%" and "_" are no
            // wildcards here).
            if (std::string(name) == "ContIni") continue;  // a range bound, checked below
            EXPECT_EQ(p.RecordCount(), 0u) << name << " = " << text;
        }
    }
    TLancFiltro f = YearFilter("01");
    f.ContIni = "'; DROP TABLE LANCCONT; --";
    f.ContFimZ = "' OR '1'='1";
    EXPECT_EQ(store_->GetLancCont(f).RecordCount(), 0u);  // "'..." sorts before digits
    EXPECT_EQ(Scalar(db_->Url(), "SELECT COUNT(*) FROM LANCCONT"), before);
}

TEST_F(Filter, UnknownKindIsRefused) {
    TLancFiltro f = YearFilter("01", "FiltroTudo");
    try {
        store_->GetLancCont(f);
        FAIL();
    } catch (const ERpcError& e) {
        EXPECT_EQ(e.Code(), "argumentos");
    }
}

}  // namespace
