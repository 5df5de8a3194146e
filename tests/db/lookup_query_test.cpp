// The screens' lookup queries, with their own SQL texts, on a small SQLite
// suite database: the "T" convention of the parameter pairs, empty answers for
// codes that do not exist, and the branch list of qryCentCust.
#include "platform/data/datasource.h"

#include "platform/data/text.h"
#include "platform/db/adoibquery.h"
#include "tests/db/testdb.h"

#include <gtest/gtest.h>

#include <memory>

// The backend's name, not bytes, in the test listing (found by argument
// lookup: the dialect lives in the global namespace).
void PrintTo(TDBDialect d, std::ostream* os) { *os << DialectName(d); }

namespace {

// Each case runs on SQLite and, when a server is configured, on PostgreSQL.
class LookupQueryTest : public ::testing::TestWithParam<TDBDialect> {
protected:
    std::unique_ptr<TTempDatabase> dbHolder;
    TDBConnection conn;
    TComponent owner;

    void SetUp() override {
        if (GetParam() == TDBDialect::PostgreSQL && !PgTestServer()) GTEST_SKIP() << "CTB_TEST_PG not set";
        dbHolder = std::make_unique<TTempDatabase>(GetParam());
        conn.Open(dbHolder->URL());
    }
    TTempDatabase& db() { return *dbHolder; }
    bool OnSQLite() const { return GetParam() == TDBDialect::SQLite; }

    TADOIBQuery* NewQuery(const char* name) {
        auto* q = owner.Create<TADOIBQuery>();
        q->Name = name;
        q->Connection = &conn;
        return q;
    }

    TADOIBQuery* Empresa() {
        TADOIBQuery* q = NewQuery("qryEmpresa");
        q->SQL = {"SELECT CDEMPRESA, NMEMPRESA", "FROM EMPRESA",
                  "WHERE ((CDEMPRESA = :P_CDEMPRESA) OR (:P_TCDEMPRESA = 'T'))", "ORDER BY CDEMPRESA", " "};
        q->AddField("CDEMPRESA", TFieldType::ftString, 2)->DisplayLabel = "Código";
        q->AddField("NMEMPRESA", TFieldType::ftString, 40)->DisplayLabel = "Nome";
        return q;
    }

    TADOIBQuery* ContCtbl() {
        TADOIBQuery* q = NewQuery("qryContCtbl");
        q->SQL = {"SELECT CDCONTCTBL,   CDCONTREDU,",
                  "       NMCONTCTBL,   CDRATEIO,",
                  "       CDNVCONTCTBL, IDTIPOCONT,",
                  "       IDCONTCCUS,   IDTIPOCOME",
                  "FROM CONTCTBL",
                  "WHERE",
                  "     (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') AND",
                  "     (CDCONTREDU = :P_CDCONTREDU OR :P_TCDCONTREDU = 'T') AND",
                  "     (IDTIPOCONT = 'A')",
                  "ORDER BY CDCONTCTBL,",
                  "         CDNVCONTCTBL"};
        for (auto [name, size] : {std::pair{"CDCONTREDU", 20},
                                  {"CDCONTCTBL", 20},
                                  {"CDRATEIO", 3},
                                  {"NMCONTCTBL", 40},
                                  {"CDNVCONTCTBL", 1},
                                  {"IDTIPOCONT", 1},
                                  {"IDCONTCCUS", 1},
                                  {"IDTIPOCOME", 1}})
            q->AddField(name, TFieldType::ftString, size);
        return q;
    }

    TADOIBQuery* CentCust() {
        TADOIBQuery* q = NewQuery("qryCentCust");
        q->SQL = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                  "  FROM CENTCUST C, CENTCUSTFIL CF",
                  " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                  "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                  "   AND ((INSTR(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                  " ORDER BY CDCENTCUST"};
        // SQLite finds the default text's "ORDER BY CDCENTCUST" ambiguous
        // (C and CF both have the column); it differs only there.
        q->SQL_SQLITE = [&] {
            std::string t = q->SQL.Text();
            t.replace(t.rfind("ORDER BY CDCENTCUST"), 19, "ORDER BY C.CDCENTCUST");
            return t;
        }();
        // PostgreSQL has no INSTR; STRPOS takes its arguments the other way round.
        q->SQL_PG = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                     "  FROM CENTCUST C, CENTCUSTFIL CF",
                     " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                     "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                     "   AND ((STRPOS(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                     " ORDER BY CDCENTCUST"};
        q->AddField("CDCENTCUST", TFieldType::ftString, 4);
        q->AddField("NMCENTCUST", TFieldType::ftString, 40);
        return q;
    }

    // Close, set the parameters, Open: as every handler does.
    static void Reopen(TADOIBQuery* q, std::vector<std::pair<const char*, const char*>> params) {
        q->Close();
        for (auto [name, value] : params) q->ParamByName(name)->SetAsString(value);
        q->Open();
    }

    // Every row of one column, in order, joined with ','.
    static std::string Column(TADOIBQuery* q, const char* field) {
        std::string out;
        for (q->First(); !q->Eof(); q->Next()) out += (out.empty() ? "" : ",") + q->FieldByName(field)->AsString();
        return out;
    }
};

TEST_P(LookupQueryTest, PairConventionSelectsAllWithTAndOneRowByCode) {
    TADOIBQuery* emp = Empresa();
    Reopen(emp, {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(Column(emp, "CDEMPRESA"), "01,02,03");

    Reopen(emp, {{"P_CDEMPRESA", "03"}, {"P_TCDEMPRESA", ""}});
    ASSERT_EQ(emp->RecordCount(), 1);
    EXPECT_EQ(emp->FieldByName("NMEMPRESA")->AsString(), "Servicos O'Neil ME");

    Reopen(emp, {{"P_CDEMPRESA", "99"}, {"P_TCDEMPRESA", ""}});
    EXPECT_TRUE(emp->IsEmpty());
    // The code is data, never SQL.
    Reopen(emp, {{"P_CDEMPRESA", "' OR '1'='1"}, {"P_TCDEMPRESA", "' OR 'T'='T"}});
    EXPECT_TRUE(emp->IsEmpty());
}

TEST_P(LookupQueryTest, AccountsByFullOrReducedCodeAndOnlyAnalytic) {
    TADOIBQuery* acc = ContCtbl();
    Reopen(acc, {{"P_CDCONTCTBL", "1110100002"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    ASSERT_FALSE(acc->IsEmpty());
    EXPECT_EQ(acc->FieldByName("CDCONTREDU")->AsString(), "102");
    EXPECT_EQ(acc->FieldByName("IDTIPOCOME")->AsString(), "B");

    Reopen(acc, {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "301"}, {"P_TCDCONTREDU", ""}});
    EXPECT_EQ(Column(acc, "CDCONTCTBL"), "3110100001");
    EXPECT_EQ(acc->FieldByName("IDCONTCCUS")->AsString(), "G");

    // A synthetic account exists but is not analytic: "não cadastrada" for a line.
    Reopen(acc, {{"P_CDCONTCTBL", "11101"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    EXPECT_TRUE(acc->IsEmpty());

    Reopen(acc, {{"P_TCDCONTCTBL", "T"}, {"P_TCDCONTREDU", "T"}});
    EXPECT_EQ(Column(acc, "CDCONTREDU"), "101,102,301");
}

TEST_P(LookupQueryTest, CostCentresOfABranchListDelimitedByUnderscores) {
    TADOIBQuery* cc = CentCust();
    auto byBranches = [&](const char* list) {
        Reopen(cc, {{"P_CDFILIAL", list}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", ""}});
        return Column(cc, "CDCENTCUST");
    };
    EXPECT_EQ(byBranches("_0010_"), "0100,0200");
    EXPECT_EQ(byBranches("_1001_"), "0300");
    EXPECT_EQ(byBranches("_0001__1001_"), "0100,0300");
    // "001" occurs in "0010" and "1001", but never between underscores.
    EXPECT_EQ(byBranches("_001_"), "");
    EXPECT_EQ(byBranches("0010"), "");

    // Every related cost centre once; one that no branch uses is left out.
    Reopen(cc, {{"P_CDFILIAL", ""}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", "T"}});
    EXPECT_EQ(Column(cc, "CDCENTCUST"), "0100,0200,0300");

    // A cost centre not related to the branch: "não cadastrado para filial".
    Reopen(cc, {{"P_CDFILIAL", "_0001_"}, {"P_CDCENTCUST", "0300"}, {"P_TCDCENTCUST", ""}, {"P_TCDFILIAL", ""}});
    EXPECT_TRUE(cc->IsEmpty());
}

// What only SQLite does; run on SQLite alone rather than skipped elsewhere.
class SqliteLookupQueryTest : public LookupQueryTest {};

TEST_P(SqliteLookupQueryTest, DefaultCostCentreTextIsRefusedBySQLite) {
    TADOIBQuery* cc = CentCust();
    cc->SQL_SQLITE.Clear();
    cc->ParamByName("P_TCDCENTCUST")->SetAsString("T");
    cc->ParamByName("P_TCDFILIAL")->SetAsString("T");
    try {
        cc->Open();
        FAIL() << "SQLite accepted ORDER BY CDCENTCUST; the SQLite text is no longer needed";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("ambiguous column name"), std::string::npos) << e.what();
    }
}

TEST_P(LookupQueryTest, CompanyParametersConvertDatesAndKeepNulls) {
    TADOIBQuery* op = NewQuery("qryContOp");
    op->SQL = {"SELECT DTINICLANC, DTFINALANC, DTINICRELA, DTFINACONT, IDCONTCOME, IDCONTGERE", "FROM CONTOPECTBL",
               "WHERE(CDEMPRESA = :P_CDEMPRESA)"};
    for (const char* d : {"DTINICLANC", "DTFINALANC", "DTINICRELA", "DTFINACONT"})
        op->AddField(d, TFieldType::ftDateTime);
    op->AddField("IDCONTCOME", TFieldType::ftString, 1);
    op->AddField("IDCONTGERE", TFieldType::ftString, 1);
    Reopen(op, {{"P_CDEMPRESA", "01"}});

    TDateTime jan1, dec31;
    EncodeDate(2024, 1, 1, jan1);
    EncodeDate(2024, 12, 31, dec31);
    EXPECT_DOUBLE_EQ(op->FieldByName("DTINICLANC")->AsDateTime(), jan1);
    EXPECT_DOUBLE_EQ(op->FieldByName("DTFINALANC")->AsDateTime(), dec31);
    EXPECT_NEAR(op->FieldByName("DTFINACONT")->AsDateTime(), dec31 + 86399.0 / 86400, 1e-9);
    EXPECT_TRUE(op->FieldByName("DTINICRELA")->IsNull());
    EXPECT_EQ(op->FieldByName("IDCONTGERE")->AsString(), "S");
}

TEST_P(LookupQueryTest, RepeatedParametersAndColonsInLiteralsBindCorrectly) {
    TADOIBQuery* q = NewQuery("qryTeste");
    q->SQL =
        "SELECT CDEMPRESA, CAST('10:30 :P_NAO' AS VARCHAR(20)) AS HORA FROM EMPRESA\n"
        "WHERE CDEMPRESA = :P_COD OR NMEMPRESA = :P_COD OR :P_COD = 'todas'\n"
        "ORDER BY CDEMPRESA";
    ASSERT_EQ(q->Params().Count(), 1);
    EXPECT_EQ(q->FindField("HORA"), nullptr);  // no persistent fields before opening

    Reopen(q, {{"P_COD", "Comercial Aurora Ltda"}});
    EXPECT_EQ(Column(q, "CDEMPRESA"), "01");
    EXPECT_EQ(q->FieldByName("HORA")->AsString(), "10:30 :P_NAO");
    Reopen(q, {{"P_COD", "todas"}});
    EXPECT_EQ(q->RecordCount(), 3);
    EXPECT_THROW(q->ParamByName("P_NAO"), EDatabaseError);

    // Without persistent fields the fields follow the text of each opening;
    // the value given to P_COD survives the change of text.
    q->Close();
    q->SQL = "SELECT NMFILIAL FROM FILIAL WHERE :P_COD = 'todas' ORDER BY CDFILIAL";
    q->Open();
    EXPECT_EQ(q->FindField("CDEMPRESA"), nullptr);
    EXPECT_EQ(Column(q, "NMFILIAL"), "Matriz,Filial Centro,Filial Norte");
}

TEST_P(LookupQueryTest, DialectTextReplacesTheDefaultOnItsDatabase) {
    TADOIBQuery* q = Empresa();
    TSQLStrings& own = OnSQLite() ? q->SQL_SQLITE : q->SQL_PG;
    TSQLStrings& other = OnSQLite() ? q->SQL_PG : q->SQL_SQLITE;
    q->SQL_MSSQL = "SELECT TOP 1 CDEMPRESA FROM NAO_EXISTE";
    q->SQL_IB = "SELECT CDEMPRESA FROM NAO_EXISTE";
    other = "SELECT CDEMPRESA FROM NAO_EXISTE_OUTRO";
    own = {"SELECT CDEMPRESA, NMEMPRESA FROM EMPRESA", "WHERE (CDEMPRESA = :P_CDEMPRESA OR :P_TCDEMPRESA = 'T')",
           "ORDER BY CDEMPRESA DESC"};
    Reopen(q, {{"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(Column(q, "CDEMPRESA"), "03,02,01");

    // A blank dialect text falls back to SQL.
    own = {" ", ""};
    Reopen(q, {{"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(Column(q, "CDEMPRESA"), "01,02,03");
}

TEST_P(LookupQueryTest, QueryDataSetIsReadOnlyAndServesDataSources) {
    TADOIBQuery* emp = Empresa();
    TDataSource dts(&owner);
    dts.SetDataSet(emp->Query());
    Reopen(emp, {{"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(dts.State(), dsBrowse);
    EXPECT_TRUE(emp->Query()->Locate("NMEMPRESA", Variant("industria serra azul s.a."), {loCaseInsensitive}));
    EXPECT_EQ(emp->FieldByName("CDEMPRESA")->AsString(), "02");
    EXPECT_THROW(emp->Query()->Edit(), EDatabaseError);
    EXPECT_THROW(emp->Query()->Insert(), EDatabaseError);
    EXPECT_EQ(emp->Query()->RecordCount(), 3);
}

TEST_P(LookupQueryTest, DatabaseFailuresAreClearErrorsAndLeaveTheQueryClosed) {
    TADOIBQuery* q = NewQuery("qryFalha");
    q->SQL = "SELECT CDX FROM TABELA_AUSENTE WHERE CDX = :P_X";
    try {
        q->Open();
        FAIL() << "a missing table must raise";
    } catch (const EDatabaseError& e) {
        const std::string msg = e.what();
        EXPECT_NE(msg.find("qryFalha"), std::string::npos) << msg;
        EXPECT_NE(msg.find("Erro ao consultar o banco de dados"), std::string::npos) << msg;
        EXPECT_NE(LowerCase(msg).find("tabela_ausente"), std::string::npos) << msg;
    }
    EXPECT_FALSE(q->Active());

    // A stored value that cannot be the field's type names its column.
    db().Writer() << "CREATE TABLE DATAS (CD TEXT, DT TEXT)";
    db().Writer() << "INSERT INTO DATAS VALUES ('1', '2024-02-30')";
    q->SQL = "SELECT DT FROM DATAS";
    q->AddField("DT", TFieldType::ftDateTime);
    EXPECT_THROW(
        try { q->Open(); } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("DT"), std::string::npos);
            throw;
        },
        EDatabaseError);
    EXPECT_FALSE(q->Active());

    TDBConnection closed;
    TADOIBQuery* other = Empresa();
    other->Connection = &closed;
    EXPECT_THROW(other->Open(), EDatabaseError);
}

TEST_P(SqliteLookupQueryTest, DatesStoredAsTextJulianOrDaysAllReadAsTDateTime) {
    db().Writer() << "CREATE TABLE DATAS (CD TEXT, DT)";  // no declared type: SQLite keeps each kind
    db().Writer() << "INSERT INTO DATAS VALUES ('a', '2024-03-15'), ('b', 2460384.5), "
                     "('c', 45366.0), ('d', '2024-03-15 18:00:00'), ('e', ''), ('f', NULL)";
    TADOIBQuery* q = NewQuery("qryDatas");
    q->SQL = "SELECT CD, DT FROM DATAS ORDER BY CD";
    q->AddField("CD", TFieldType::ftString, 1);
    q->AddField("DT", TFieldType::ftDateTime);
    q->Open();
    TDateTime mar15;
    EncodeDate(2024, 3, 15, mar15);
    std::vector<double> expected = {mar15, mar15, mar15, mar15 + 0.75};
    for (double e : expected) {
        EXPECT_DOUBLE_EQ(q->FieldByName("DT")->AsDateTime(), e) << q->FieldByName("CD")->AsString();
        q->Next();
    }
    EXPECT_TRUE(q->FieldByName("DT")->IsNull());  // '' is no date
    q->Next();
    EXPECT_TRUE(q->FieldByName("DT")->IsNull());
}

TEST_P(LookupQueryTest, ReadsWhileTheServerHoldsAWriteTransaction) {
    TADOIBQuery* emp = Empresa();
    db().Writer() << "BEGIN";
    db().Writer() << "INSERT INTO EMPRESA VALUES ('04', 'Nova')";
    Reopen(emp, {{"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(emp->RecordCount(), 3);  // the uncommitted company is not seen
    db().Writer() << "COMMIT";
    Reopen(emp, {{"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(emp->RecordCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(Backends, LookupQueryTest, ::testing::Values(TDBDialect::SQLite, TDBDialect::PostgreSQL),
                         [](const auto& info) { return std::string(DialectName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Backends, SqliteLookupQueryTest, ::testing::Values(TDBDialect::SQLite),
                         [](const auto& info) { return std::string(DialectName(info.param)); });

}  // namespace
