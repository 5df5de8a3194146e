// The store tests run on PostgreSQL with CTB_TEST_DB=postgresql; without a
// server named in CTB_TEST_PG the program ends with status 77, which ctest
// reports as skipped (never a run on SQLite under the PostgreSQL name).
// scripts/test names a server and counts a skipped test as a failure.
#include "store_test_util.h"

#include <cstdio>
#include <cstdlib>

namespace {

class TPostgresEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* server = std::getenv("CTB_TEST_PG");
        if (!storetest::OnPostgres() || (server && *server)) return;
        std::fprintf(stderr, "CTB_TEST_DB=postgresql sem CTB_TEST_PG: testes não executados\n");
        std::exit(77);
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new TPostgresEnvironment);

}  // namespace
