// Every lookup SQL text of the screens, exactly as the screens carry it, run
// through SOCI with named parameters on the demo database: the P_T<column>
// = 'T' convention selects every row, an empty one selects by code, and the
// named columns are there.
#include "store_test_util.h"

#include <ctime>
#include <map>

using namespace storetest;

namespace {

struct TLookupCase {
    const char* Name;
    const char* Sql;
    std::vector<std::pair<std::string, std::string>> Params;
    std::vector<std::string> Columns;
    std::vector<std::string> FirstColumn;  // expected values of column 1, in order
    long Rows = -1;                        // when FirstColumn is not given
};

// Test names, not bytes, in the test listing.
void PrintTo(const TLookupCase& c, std::ostream* os) { *os << c.Name; }

std::string Lines(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + "\n";
    return s;
}

const std::string kEmpresa =
    Lines({"SELECT CDEMPRESA, NMEMPRESA", "FROM EMPRESA", "WHERE ((CDEMPRESA = :P_CDEMPRESA) OR (:P_TCDEMPRESA = 'T'))",
           "ORDER BY CDEMPRESA", " "});
const std::string kContOpeCtbl =
    Lines({"SELECT CDEMPRESA, DTINICLANC, DTFINALANC,", "       DTINICRELA, DTFINARELA, DTINICCONT,",
           "       DTFINACONT, IDSALDEMPR, IDCONTGERE,", "       IDCONTCOME, IDSUGRAT, IDMSMCONTADBCR",
           "FROM CONTOPECTBL", "WHERE (CDEMPRESA = :P_CDEMPRESA OR :P_TCDEMPRESA = 'T')", "ORDER BY CDEMPRESA"});
const std::string kHistPadr =
    Lines({"SELECT CDHISTPADR, DSHISTPADR", "FROM HISTPADR",
           "WHERE (CDHISTPADR = :P_CDHISTPADR OR :P_TCDHISTPADR = 'T')", "ORDER BY CDHISTPADR"});
const std::string kCliente = Lines({"SELECT CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE", "FROM CLIENTE",
                                    "WHERE (CDCLIENTE = :P_CDCLIENTE OR :P_TCDCLIENTE = 'T')", "ORDER BY CDCLIENTE"});
const std::string kFornecedor =
    Lines({"SELECT CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN", "FROM FORNECEDOR",
           "WHERE (CDFORNECED = :P_CDFORNECED OR :P_TCDFORNECED = 'T')", "ORDER BY CDFORNECED"});
const std::string kBanco = Lines(
    {"SELECT CONTCORR.CDBANCO,", "       CONTCORR.CDAGENCIA,", "       CONTCORR.CDCONTCORR,",
     "       CONTCORR.DSCONTCORR,", "       CONTCORR.CDREDUCONT,", "       BANCO.NMBANCO", "FROM CONTCORR, BANCO",
     "WHERE (CONTCORR.CDREDUCONT = :P_CDREDUCONT OR :P_TCDREDUCONT = 'T') AND", "   (CONTCORR.CDBANCO = BANCO.CDBANCO)",
     "ORDER BY CONTCORR.CDBANCO, CONTCORR.CDAGENCIA, CONTCORR.CDCONTCORR"});
const std::string kFilial = Lines({"SELECT CDFILIAL, NMFILIAL", "FROM FILIAL",
                                   "WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T')", "ORDER BY CDFILIAL"});
// qryCentCust's default text orders by a column name that both tables have;
// SQLite refuses it as ambiguous, so the SQLite text qualifies it (C.), as
// the SQL Server text already does. Nothing else differs.
const std::string kCentCustDefault = Lines(
    {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST", "  FROM CENTCUST C, CENTCUSTFIL CF",
     " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')", "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
     "   AND ((INSTR(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))", " ORDER BY CDCENTCUST"});
const std::string kCentCustSqlite =
    Lines({"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST", "  FROM CENTCUST C, CENTCUSTFIL CF",
           " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')", "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
           "   AND ((INSTR(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
           " ORDER BY C.CDCENTCUST"});
const std::string kContCtbl =
    Lines({"SELECT CDCONTCTBL,   CDCONTREDU,", "       NMCONTCTBL,   CDRATEIO,", "       CDNVCONTCTBL, IDTIPOCONT,",
           "       IDCONTCCUS,   IDTIPOCOME", "FROM CONTCTBL", "WHERE",
           "     (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') AND",
           "     (CDCONTREDU = :P_CDCONTREDU OR :P_TCDCONTREDU = 'T') AND", "     (IDTIPOCONT = 'A')",
           "ORDER BY CDCONTCTBL,", "         CDNVCONTCTBL"});
const std::string kFiltroContCtbl = Lines(
    {"SELECT CDCONTCTBL,", "       NMCONTCTBL,", "       CDNVCONTCTBL", "FROM CONTCTBL",
     "WHERE (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') ", "ORDER BY CDCONTCTBL, CDNVCONTCTBL, NMCONTCTBL"});
const std::string kFiltroContOp = Lines(
    {"SELECT DTINICLANC, DTFINALANC, IDCONTCOME, IDCONTGERE", "FROM CONTOPECTBL", "WHERE(CDEMPRESA = :P_CDEMPRESA)"});
const std::string kListaContOp =
    Lines({"SELECT DTINICLANC, DTFINALANC, IDCONTCOME", "FROM CONTOPECTBL", "WHERE(CDEMPRESA = :P_CDEMPRESA)"});

// Runs a text with its named parameters; returns every row's columns.
std::vector<std::map<std::string, std::string>> RunLookup(
    soci::session& sql, const std::string& text, const std::vector<std::pair<std::string, std::string>>& params) {
    soci::row row;
    soci::statement st(sql);
    st.exchange(soci::into(row));
    for (const auto& [name, value] : params) st.exchange(soci::use(value, name));
    st.alloc();
    st.prepare(text);
    st.define_and_bind();
    st.execute();
    std::vector<std::map<std::string, std::string>> out;
    while (st.fetch()) {
        std::map<std::string, std::string> r;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const soci::column_properties& p = row.get_properties(i);
            std::string v;
            if (row.get_indicator(i) == soci::i_null) v = "<null>";
            else if (p.get_data_type() == soci::dt_string) v = row.get<std::string>(i);
            else if (p.get_data_type() == soci::dt_date) {
                std::tm t = row.get<std::tm>(i);
                char buf[48];
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
                v = buf;
            } else v = "<other>";
            r[p.get_name()] = v;
        }
        out.push_back(std::move(r));
    }
    return out;
}

class LookupSql : public ::testing::TestWithParam<TLookupCase> {
protected:
    static void SetUpTestSuite() { db_ = new TDemoCopy(); }
    static void TearDownTestSuite() { delete db_; }
    static TDemoCopy* db_;
};
TDemoCopy* LookupSql::db_ = nullptr;

TEST_P(LookupSql, RunsWithNamedParametersOnTheDemoDatabase) {
    const TLookupCase& c = GetParam();
    auto session = OpenTestSession(db_->Url());
    soci::session& sql = *session;
    auto rows = RunLookup(sql, c.Sql, c.Params);
    if (!c.FirstColumn.empty()) {
        std::vector<std::string> first;
        for (auto& r : rows) first.push_back(r.at(c.Columns.front()));
        EXPECT_EQ(first, c.FirstColumn);
    } else {
        EXPECT_EQ(static_cast<long>(rows.size()), c.Rows);
    }
    for (auto& r : rows)
        for (const std::string& col : c.Columns) EXPECT_TRUE(r.count(col)) << col;
}

const std::string Y = std::to_string(kYear);

INSTANTIATE_TEST_SUITE_P(
    ScreenQueries, LookupSql,
    ::testing::Values(
        TLookupCase{"EmpresaAll",
                    kEmpresa.c_str(),
                    {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}},
                    {"CDEMPRESA", "NMEMPRESA"},
                    {"01", "02", "03", "04"}},
        TLookupCase{
            "EmpresaByCode", kEmpresa.c_str(), {{"P_CDEMPRESA", "02"}, {"P_TCDEMPRESA", ""}}, {"CDEMPRESA"}, {"02"}},
        TLookupCase{
            "EmpresaUnknown", kEmpresa.c_str(), {{"P_CDEMPRESA", "99"}, {"P_TCDEMPRESA", ""}}, {"CDEMPRESA"}, {}, 0},
        TLookupCase{"ContOpeCtblAll",
                    kContOpeCtbl.c_str(),
                    {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}},
                    {"CDEMPRESA", "DTINICLANC", "DTFINALANC", "DTINICRELA", "DTFINARELA", "DTINICCONT", "DTFINACONT",
                     "IDSALDEMPR", "IDCONTGERE", "IDCONTCOME", "IDSUGRAT", "IDMSMCONTADBCR"},
                    {"01", "02", "03"}},
        TLookupCase{"ContOpeCtblWithoutParameters",
                    kContOpeCtbl.c_str(),
                    {{"P_CDEMPRESA", "04"}, {"P_TCDEMPRESA", ""}},
                    {"CDEMPRESA"},
                    {},
                    0},
        TLookupCase{"HistPadrAll",
                    kHistPadr.c_str(),
                    {{"P_CDHISTPADR", ""}, {"P_TCDHISTPADR", "T"}},
                    {"CDHISTPADR", "DSHISTPADR"},
                    {},
                    17},
        TLookupCase{"HistPadrByCode",
                    kHistPadr.c_str(),
                    {{"P_CDHISTPADR", "0004"}, {"P_TCDHISTPADR", ""}},
                    {"CDHISTPADR"},
                    {"0004"}},
        TLookupCase{"ClienteAll",
                    kCliente.c_str(),
                    {{"P_CDCLIENTE", ""}, {"P_TCDCLIENTE", "T"}},
                    {"CDCLIENTE", "NMRAZSOCCLIE", "NRINSJURCLIE", "IDTPIJURCLIE"},
                    {},
                    40},
        TLookupCase{"ClienteByCode",
                    kCliente.c_str(),
                    {{"P_CDCLIENTE", "000001"}, {"P_TCDCLIENTE", ""}},
                    {"CDCLIENTE"},
                    {"000001"}},
        TLookupCase{"FornecedorAll",
                    kFornecedor.c_str(),
                    {{"P_CDFORNECED", ""}, {"P_TCDFORNECED", "T"}},
                    {"CDFORNECED", "NRINSJURFORN", "NMRAZSOCFORN", "IDTPIJURFORN"},
                    {},
                    30},
        TLookupCase{"FornecedorByCode",
                    kFornecedor.c_str(),
                    {{"P_CDFORNECED", "000003"}, {"P_TCDFORNECED", ""}},
                    {"CDFORNECED"},
                    {"000003"}},
        TLookupCase{"BancoAll",
                    kBanco.c_str(),
                    {{"P_CDREDUCONT", ""}, {"P_TCDREDUCONT", "T"}},
                    {"CDREDUCONT", "CDBANCO", "CDAGENCIA", "CDCONTCORR", "DSCONTCORR", "NMBANCO"},
                    {"001", "005", "002", "004", "003"}},
        TLookupCase{"BancoByReducedCode",
                    kBanco.c_str(),
                    {{"P_CDREDUCONT", "003"}, {"P_TCDREDUCONT", ""}},
                    {"NMBANCO"},
                    {"Itaú Unibanco S.A."}},
        TLookupCase{"FilialAll",
                    kFilial.c_str(),
                    {{"P_CDFILIAL", ""}, {"P_TCDFILIAL", "T"}},
                    {"CDFILIAL", "NMFILIAL"},
                    {"0001", "0002", "0003", "0004", "0005", "0006"}},
        TLookupCase{
            "FilialByCode", kFilial.c_str(), {{"P_CDFILIAL", "0004"}, {"P_TCDFILIAL", ""}}, {"CDFILIAL"}, {"0004"}},
        TLookupCase{"CentCustOfOneBranch",
                    kCentCustSqlite.c_str(),
                    {{"P_CDFILIAL", "_0001_"}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", ""}},
                    {"CDCENTCUST", "NMCENTCUST"},
                    {"1001", "1002", "1003", "2001", "2002", "3001", "4001"}},
        TLookupCase{"CentCustEveryBranchEachOnce",
                    kCentCustSqlite.c_str(),
                    {{"P_CDFILIAL", ""}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", "T"}},
                    {"CDCENTCUST"},
                    {"1001", "1002", "1003", "2001", "2002", "3001", "3002", "4001"}},
        TLookupCase{"CentCustNotAllowedInBranch",
                    kCentCustSqlite.c_str(),
                    {{"P_CDFILIAL", "_0001_"}, {"P_CDCENTCUST", "3002"}, {"P_TCDCENTCUST", ""}, {"P_TCDFILIAL", ""}},
                    {"CDCENTCUST"},
                    {},
                    0},
        TLookupCase{"CentCustBranchSubstringDoesNotMatch",
                    kCentCustSqlite.c_str(),
                    {{"P_CDFILIAL", "_000_"}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", ""}},
                    {"CDCENTCUST"},
                    {},
                    0},
        TLookupCase{
            "ContCtblByFullCode",
            kContCtbl.c_str(),
            {{"P_CDCONTCTBL", "1110100002"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}},
            {"CDCONTCTBL", "CDCONTREDU", "NMCONTCTBL", "CDRATEIO", "CDNVCONTCTBL", "IDTIPOCONT", "IDCONTCCUS",
             "IDTIPOCOME"},
            {"1110100002"}},
        TLookupCase{"ContCtblByReducedCode",
                    kContCtbl.c_str(),
                    {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "401"}, {"P_TCDCONTREDU", ""}},
                    {"CDCONTCTBL"},
                    {"4110100001"}},
        TLookupCase{"ContCtblSyntheticIsNotOffered",
                    kContCtbl.c_str(),
                    {{"P_CDCONTCTBL", "11101"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}},
                    {"CDCONTCTBL"},
                    {},
                    0},
        TLookupCase{"ContCtblAllAnalytic",
                    kContCtbl.c_str(),
                    {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}},
                    {"CDCONTCTBL"},
                    {},
                    26},
        TLookupCase{"FilterDialogContCtblSynthetic",
                    kFiltroContCtbl.c_str(),
                    {{"P_CDCONTCTBL", "11101"}, {"P_TCDCONTCTBL", ""}},
                    {"CDCONTCTBL", "NMCONTCTBL", "CDNVCONTCTBL"},
                    {"11101"}},
        TLookupCase{"FilterDialogContCtblAll",
                    kFiltroContCtbl.c_str(),
                    {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}},
                    {"CDCONTCTBL"},
                    {},
                    61},
        TLookupCase{"FilterDialogContOp",
                    kFiltroContOp.c_str(),
                    {{"P_CDEMPRESA", "03"}},
                    {"DTINICLANC", "DTFINALANC", "IDCONTCOME", "IDCONTGERE"},
                    {(Y + "-01-01").c_str()}},
        TLookupCase{"ListingContOp",
                    kListaContOp.c_str(),
                    {{"P_CDEMPRESA", "01"}},
                    {"DTINICLANC", "DTFINALANC", "IDCONTCOME"},
                    {(Y + "-01-01").c_str()}}),
    [](const ::testing::TestParamInfo<TLookupCase>& info) { return std::string(info.param.Name); });

TEST(LookupSqlDialect, DefaultCentCustTextIsAmbiguousOnSqlite) {
    TDemoCopy db;
    auto session = OpenTestSession(db.Url());
    soci::session& sql = *session;
    try {
        RunLookup(sql, kCentCustDefault,
                  {{"P_CDFILIAL", "_0001_"}, {"P_CDCENTCUST", ""}, {"P_TCDCENTCUST", "T"}, {"P_TCDFILIAL", ""}});
        FAIL() << "SQLite accepted the default text; the SQLite text may be dropped";
    } catch (const soci::soci_error& e) {
        EXPECT_NE(std::string(e.what()).find("ambiguous"), std::string::npos) << e.what();
    }
}

TEST(LookupSqlDialect, CompanyFlagsAndPeriodsAreThoseOfTheDemoFacts) {
    TDemoCopy db;
    auto session = OpenTestSession(db.Url());
    soci::session& sql = *session;
    auto rows = RunLookup(sql, kContOpeCtbl, {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}});
    ASSERT_EQ(rows.size(), 3u);
    std::string got;
    for (auto& r : rows)
        got += r["CDEMPRESA"] + " " + r["IDCONTGERE"] + r["IDCONTCOME"] + r["IDSUGRAT"] + r["IDMSMCONTADBCR"] + " " +
               r["DTINICCONT"] + ".." + r["DTFINACONT"] + " " + r["DTINICLANC"] + ".." + r["DTFINALANC"] + "\n";
    EXPECT_EQ(got,
              "01 SSSN 2024-01-01..2024-12-31 2024-01-01..2024-12-31\n"
              "02 NNNS 2024-01-01..2024-12-31 2024-01-01..2024-12-31\n"
              "03 NSNN 2023-01-01..2024-12-31 2024-01-01..2024-12-31\n");
}

}  // namespace
