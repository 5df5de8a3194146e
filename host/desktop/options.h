// The command line of ctb-host.
#pragma once

#include "host/common/options.h"

#include <string>
#include <vector>

namespace desk {

struct Options : hostcommon::StartOptions {
    Options() { operatorName = "operador"; }
    bool open = false;        // --open: the entry screen opens at start
    std::string screenshots;  // --screenshots DIR: render the tour to PNG files and quit
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
