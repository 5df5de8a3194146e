// The command line of ctb-drive.
#pragma once

#include <string>
#include <vector>

namespace drive {

struct Options {
    std::string dbFile;      // --db FILE (created with demo data when missing)
    std::string dbUrl;       // --db-url URL (used as it is)
    std::string server;      // --server HOST:PORT (else a private server is started)
    std::string tokenFile;   // --token-file FILE: the server's access token
    std::string company = "01";
    std::string operatorName = "drive";
    std::string today;       // YYYY-MM-DD; empty keeps the system clock
    bool timings = false;    // print each command's elapsed time
    bool help = false;
    std::vector<std::string> scripts;
};

// Parses argv; false with `error` set on an unknown option, a missing value,
// a malformed --server or --today, or both --db and --db-url.
bool ParseOptions(int argc, char** argv, Options& out, std::string& error);

// Splits "HOST:PORT"; false when the port is not 1..65535.
bool SplitHostPort(const std::string& text, std::string& host, int& port);

std::string UsageText();

}  // namespace drive
