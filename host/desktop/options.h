// The command line of ctb-host.
#pragma once

#include <string>
#include <vector>

namespace desk {

struct Options {
    std::string dbFile;        // --db FILE (created with demo data when missing)
    std::string dbUrl;         // --db-url URL
    std::string server;        // --server HOST:PORT (else a private server is started)
    std::string tokenFile;     // --token-file FILE: the server's access token
    std::string company = "01";
    std::string operatorName = "operador";
    std::string today;         // --today YYYY-MM-DD
    bool open = false;         // --open: the entry screen opens at start
    std::string screenshots;   // --screenshots DIR: render the tour to PNG files and quit
    bool help = false;
};

// Parses the arguments after the program name (Qt's own, such as
// -platform, are taken out by QApplication first). False with `error` on an
// unknown option, a missing value, both --db and --db-url, or a malformed
// --server, --today or --company.
bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error);

// --help or -h among the raw arguments: answered before Qt starts, so it
// needs no display.
bool WantsHelp(int argc, char** argv);

std::string UsageText();

}  // namespace desk
