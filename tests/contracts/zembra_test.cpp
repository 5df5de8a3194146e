// Host configuration: the environment gives the starting values, a host's
// setters override them, and bad port texts never become a port.
#include "contracts/zembra.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ZembraEnv : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* v :
             {"CTB_COMPANY", "CTB_OPERATOR", "CTB_SERVER_HOST", "CTB_SERVER_PORT", "CTB_DB", "CTB_ACCOUNT_PICTURE"})
            unsetenv(v);
        Zembra::LoadFromEnvironment();
    }
};

TEST_F(ZembraEnv, EnvironmentGivesTheStartingValues) {
    setenv("CTB_COMPANY", "01", 1);
    setenv("CTB_OPERATOR", "ANA", 1);
    setenv("CTB_SERVER_HOST", "10.0.0.5", 1);
    setenv("CTB_SERVER_PORT", "7001", 1);
    setenv("CTB_DB", "sqlite3://db=/tmp/x.db", 1);
    Zembra::LoadFromEnvironment();
    EXPECT_EQ(Zembra::EmprProc(), "01");
    EXPECT_EQ(Zembra::Operador(), "ANA");
    EXPECT_EQ(Zembra::WebURL(), "10.0.0.5");
    EXPECT_EQ(Zembra::WebPort(), 7001);
    EXPECT_EQ(Zembra::DatabaseURL(), "sqlite3://db=/tmp/x.db");
    EXPECT_EQ(Zembra::DBPict(Zembra::ptContCtbl), "9.9.9.99.99999;0;_");
    EXPECT_EQ(Zembra::DBPict(99), "");
}

TEST_F(ZembraEnv, SettersOverrideUntilTheEnvironmentIsReadAgain) {
    setenv("CTB_COMPANY", "01", 1);
    Zembra::LoadFromEnvironment();
    Zembra::SetEmprProc("02");
    Zembra::SetDBPict(Zembra::ptContCtbl, "9.99;0;_");
    EXPECT_EQ(Zembra::EmprProc(), "02");
    EXPECT_EQ(Zembra::DBPict(2), "9.99;0;_");
    Zembra::LoadFromEnvironment();
    EXPECT_EQ(Zembra::EmprProc(), "01");
    EXPECT_EQ(Zembra::DBPict(2), Zembra::kDefaultAccountPicture);
}

TEST_F(ZembraEnv, PortMustBeAWholeNumberInRange) {
    for (const char* bad : {"abc", "-1", "70000", "12 ", "0x1F", "123456"}) {
        setenv("CTB_SERVER_PORT", bad, 1);
        Zembra::LoadFromEnvironment();
        EXPECT_EQ(Zembra::WebPort(), 0) << bad;
    }
    Zembra::SetWebPort(65536);
    EXPECT_EQ(Zembra::WebPort(), 0);
    Zembra::SetWebPort(65535);
    EXPECT_EQ(Zembra::WebPort(), 65535);
}

}  // namespace
