// The store on PostgreSQL, when a server is at hand: set CTB_TEST_PG to a
// libpq key=value connection string without dbname (for example
// "host=/tmp/ctbpg port=55432 user=postgres"). Each test gets a database of
// its own, created from nothing and dropped afterwards.
#include "store_test_util.h"

#include <cstdlib>
#include <set>
#include <thread>
#include <unistd.h>

using namespace storetest;

namespace {

class Postgres : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = std::getenv("CTB_TEST_PG");
        if (!base || !*base) GTEST_SKIP() << "CTB_TEST_PG not set";
        base_ = base;
        name_ = "ctb_store_test_" + std::to_string(getpid());
        Admin("DROP DATABASE IF EXISTS " + name_);
        Admin("CREATE DATABASE " + name_);
        url_ = "postgresql: " + base_ + " dbname=" + name_;
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = 1000;
        GenerateDemo(url_, o);
    }
    void TearDown() override {
        if (!name_.empty()) Admin("DROP DATABASE IF EXISTS " + name_);
    }

    // Database names are ours (digits and letters), never input.
    void Admin(const std::string& statement) {
        soci::session sql("postgresql", base_ + " dbname=postgres");
        sql << statement;
    }
    long long Count(const std::string& query) {
        soci::session sql("postgresql", base_ + " dbname=" + name_);
        long long n = 0;
        sql << query, soci::into(n);
        return n;
    }

    std::string base_, name_, url_;
};

TEST_F(Postgres, FiltersSavesDeletesAndRefusesAsOnSqlite) {
    TEntryStore store(url_);
    TDataPacket year = store.GetLancCont(YearFilter("01"));
    EXPECT_EQ(static_cast<long long>(year.RecordCount()),
              Count("SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01'"));
    TLancFiltro f = YearFilter("01");
    f.HistLanc = "APURAÇÃO DE ICMS";
    f.Docu = "000031";
    EXPECT_EQ(Entries(store.GetLancCont(f)), std::vector<std::string>{Nr(1, 3)});

    // Save an entry again unchanged, then refuse an unbalanced one.
    TDataPacket lines = store.GetLancContFiltrado("01", Nr(1, 5));
    TDataPacket rateio = store.GetLancCCusto("01", Nr(1, 5));
    std::string nr = Nr(1, 5), doc;
    store.SetLancContabil(lines, rateio, "01", nr, doc, "PG");
    EXPECT_EQ(store.GetLancContFiltrado("01", Nr(1, 5)).RecordCount(), 3u);
    Set(lines, 0, "VRLANCAMENT", -231.0);
    EXPECT_THROW(store.SetLancContabil(lines, rateio, "01", nr, doc, "PG"), ERpcError);
    EXPECT_DOUBLE_EQ(Number(store.GetLancContFiltrado("01", Nr(1, 5)), 0, "VRLANCAMENT"), -230.0);

    std::string locked = Nr(1, 2);
    EXPECT_THROW(store.SetExcluiLancamento("01", locked), ERpcError);
    std::string first = Nr(1, 1);
    store.SetExcluiLancamento("01", first);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM LANCCCUSTO WHERE CDEMPRESA = '01' AND NRLANCCONT = '" + Nr(1, 1) + "'"), 0);
}

TEST_F(Postgres, SeparateStoresNeverShareANumber) {
    constexpr int kThreads = 8, kCalls = 100;
    std::vector<std::vector<std::string>> got(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            TEntryStore store(url_);
            for (int i = 0; i < kCalls; ++i) {
                std::string anoMes = "202406";
                got[t].push_back(store.PrxLancContabil("01", anoMes));
            }
        });
    for (auto& th : threads) th.join();
    std::set<std::string> all;
    for (auto& g : got) all.insert(g.begin(), g.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kCalls));
}

// Servers started together on a new database: each applies the schema, and
// none fails on another's half-created tables.
TEST_F(Postgres, StoresOpeningAtOnceOnAnEmptyDatabaseAllStart) {
    const std::string fresh = name_ + "_vazio";
    Admin("DROP DATABASE IF EXISTS " + fresh);
    Admin("CREATE DATABASE " + fresh);
    std::vector<std::string> errors(6);
    std::vector<std::thread> starters;
    for (std::size_t i = 0; i < errors.size(); ++i)
        starters.emplace_back([&, i] {
            try {
                TEntryStore store("postgresql: " + base_ + " dbname=" + fresh);
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
        });
    for (auto& t : starters) t.join();
    Admin("DROP DATABASE IF EXISTS " + fresh + " WITH (FORCE)");
    EXPECT_EQ(errors, std::vector<std::string>(errors.size()));
}

}  // namespace
