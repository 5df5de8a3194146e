// What both hosts accept for --server and --today, checked in one place.
#include "host/common/options.h"

#include <gtest/gtest.h>

TEST(HostStartOptions, ServerIsHostColonPortInRange) {
    std::string host = "kept";
    int port = 7;
    ASSERT_TRUE(hostcommon::SplitHostPort("db.local:5432", host, port));
    EXPECT_EQ(host + " " + std::to_string(port), "db.local 5432");
    for (const char* bad : {"db.local", ":5432", "db.local:", "db.local:0", "db.local:65536", "db.local:+80"}) {
        EXPECT_FALSE(hostcommon::SplitHostPort(bad, host, port)) << bad;
        EXPECT_EQ(host + " " + std::to_string(port), "db.local 5432") << bad;
    }
}

TEST(HostStartOptions, TodayIsARealIsoDate) {
    TDateTime day = 0;
    ASSERT_TRUE(hostcommon::ParseToday("2024-02-29", day));
    int y = 0, m = 0, d = 0;
    DecodeDate(day, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    for (const char* bad : {"2023-02-29", "2024-04-31", "2024-6-14", " 2024-06-14", "14/06/2024", "0000-01-01"})
        EXPECT_FALSE(hostcommon::ParseToday(bad, day)) << bad;
}
