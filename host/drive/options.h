// The command line of ctb-drive.
#pragma once

#include "host/common/options.h"

#include <string>
#include <vector>

namespace drive {

struct Options : hostcommon::StartOptions {
    Options() { operatorName = "drive"; }
    bool timings = false;  // print each command's elapsed time
    bool help = false;
    std::vector<std::string> scripts;
};

// Parses argv; false with `error` set on an unknown option, a missing value,
// a malformed --server or --today, or both --db and --db-url.
bool ParseOptions(int argc, char** argv, Options& out, std::string& error);

std::string UsageText();

}  // namespace drive
