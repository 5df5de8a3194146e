// What both hosts are told on their command lines about where to work: the
// database, the application server, who works and on which day. Each host's
// own options add to these.
#pragma once

#include "platform/data/datetime.h"

#include <string>

namespace hostcommon {

struct StartOptions {
    std::string dbFile;     // --db FILE (created with demo data when missing)
    std::string dbUrl;      // --db-url URL (used as it is)
    std::string server;     // --server HOST:PORT (else a private server is started)
    std::string tokenFile;  // --token-file FILE: the server's access token
    std::string company = "01";
    std::string operatorName;
    std::string today;  // --today YYYY-MM-DD; empty keeps the system clock
};

// Checks what the parsers cannot see one option at a time: both --db and
// --db-url, a --server that is not HOST:PORT, a --today that is not a date.
// False with `error` set (the message names the option).
bool CheckStartOptions(const StartOptions& o, std::string& error);

// Splits "HOST:PORT" at the last colon; false (nothing set) when the host is
// empty or the port is not 1..65535.
bool SplitHostPort(const std::string& text, std::string& host, int& port);

// "YYYY-MM-DD", a real calendar date; false (nothing set) otherwise.
bool ParseToday(const std::string& text, TDateTime& out);

}  // namespace hostcommon
