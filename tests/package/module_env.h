// What the module needs around it in a test, as a host provides it: a demo
// database of a fixed year, a running ctb11000-server over it, the host's
// configuration and the shared database connection. Set up once for the
// test program (the programs beside the test binary).
#pragma once

#include <string>

namespace module_env {

// The date the module sees as today in these tests.
inline constexpr int kYear = 2024, kMonth = 6, kDay = 14;

// True once the environment is up; the message tells why it is not.
bool Ready(std::string* why = nullptr);

}  // namespace module_env
