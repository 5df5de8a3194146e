// PrxLancContabil: numbers of the month asked for, never one already stored,
// never the same one twice, also under many concurrent sessions.
#include "store_test_util.h"

#include <set>
#include <thread>

using namespace storetest;

namespace {

TEST(Numbering, FollowsTheMonthAndTheStoredEntries) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    std::string anoMes = "202401";
    std::string first = store.PrxLancContabil("01", anoMes);
    std::string second = store.PrxLancContabil("01", anoMes);
    EXPECT_EQ(first.size(), 12u);
    EXPECT_EQ(first.substr(0, 6), "202401");
    EXPECT_LT(first, second);
    // The demo's January entries of company 01 are all below the new number.
    EXPECT_EQ(Scalar(db.Url(),
                     "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01' AND"
                     " NRLANCCONT >= '" +
                         first + "' AND NRLANCCONT <= '202401999999'"),
              0);
    // Another company numbers on its own.
    std::string other = store.PrxLancContabil("02", anoMes);
    EXPECT_EQ(other.substr(0, 6), "202401");
    EXPECT_EQ(anoMes, "202401");
}

TEST(Numbering, AMonthWithoutStateStillSkipsStoredNumbers) {
    TDemoCopy db;
    {
        auto session = OpenTestSession(db.Url());
        soci::session& sql = *session;
        sql << "DELETE FROM NUMLANCCONT";
    }
    TEntryStore store(db.Url());
    std::string anoMes = "202402";
    std::string nr = store.PrxLancContabil("01", anoMes);
    EXPECT_EQ(Scalar(db.Url(),
                     "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01' AND"
                     " NRLANCCONT >= '" +
                         nr + "' AND NRLANCCONT <= '202402999999'"),
              0);
}

TEST(Numbering, MalformedMonthMeansTheCurrentOneAndIsWrittenBack) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    for (std::string bad : {"", "2024-1", "202413", "abcdef", "'; DROP TABLE NUMLANCCONT; --"}) {
        std::string anoMes = bad;
        std::string nr = store.PrxLancContabil("01", anoMes);
        EXPECT_EQ(anoMes.size(), 6u) << bad;
        EXPECT_EQ(nr.substr(0, 6), anoMes) << bad;
    }
}

TEST(Numbering, UnknownCompanyIsRefused) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    std::string anoMes = "202401";
    EXPECT_THROW(store.PrxLancContabil("99", anoMes), ERpcError);
}

TEST(Numbering, SixteenSessionsNeverShareANumber) {
    TDemoCopy db;
    { TEntryStore warmUp(db.Url()); }  // schema and WAL set once
    constexpr int kThreads = 16, kCalls = 500;
    std::vector<std::vector<std::string>> got(kThreads);
    std::vector<std::string> errors(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            try {
                TEntryStore store(db.Url());  // its own sessions, as another server would
                for (int i = 0; i < kCalls; ++i) {
                    std::string anoMes = "202406";
                    got[t].push_back(store.PrxLancContabil("01", anoMes));
                }
            } catch (const std::exception& e) {
                errors[t] = e.what();
            }
        });
    }
    for (auto& th : threads) th.join();
    std::set<std::string> all;
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(errors[t], "") << "thread " << t;
        all.insert(got[t].begin(), got[t].end());
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kCalls));
}

}  // namespace
