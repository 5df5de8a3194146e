#include "host/desktop/options.h"

#include <cstdlib>

namespace desk {
namespace {

bool ValidHostPort(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const int p = std::atoi(digits.c_str());
    return p >= 1 && p <= 65535;
}

bool ValidDate(const std::string& t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (t[i] < '0' || t[i] > '9') return false;
    const int m = std::atoi(t.substr(5, 2).c_str()), d = std::atoi(t.substr(8, 2).c_str());
    return m >= 1 && m <= 12 && d >= 1 && d <= 31;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error) {
    struct Valued { const char* name; std::string* value; };
    const Valued valued[] = {{"--db", &out.dbFile},         {"--db-url", &out.dbUrl},
                             {"--server", &out.server},     {"--company", &out.company},
                             {"--operator", &out.operatorName}, {"--today", &out.today},
                             {"--screenshots", &out.screenshots}, {"--token-file", &out.tokenFile}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") { out.help = true; continue; }
        if (a == "--open") { out.open = true; continue; }
        bool matched = false;
        for (const Valued& v : valued) {
            if (a != v.name) continue;
            if (i + 1 >= args.size()) { error = a + " needs a value"; return false; }
            *v.value = args[++i];
            matched = true;
        }
        if (!matched) { error = "unknown argument " + a; return false; }
    }
    if (!out.dbFile.empty() && !out.dbUrl.empty()) { error = "give --db or --db-url, not both"; return false; }
    if (!out.server.empty() && !ValidHostPort(out.server)) { error = "--server must be HOST:PORT: " + out.server; return false; }
    if (!out.today.empty() && !ValidDate(out.today)) { error = "--today must be a date YYYY-MM-DD: " + out.today; return false; }
    if (out.company.empty() || out.company.size() > 2 || out.company.find(' ') != std::string::npos) {
        error = "--company must be a code of one or two characters: " + out.company;
        return false;
    }
    return true;
}

std::string UsageText() {
    return "usage: ctb-host [--db FILE | --db-url URL] [--server HOST:PORT] [--company 01]\n"
           "                [--operator NAME] [--today YYYY-MM-DD] [--open] [--screenshots DIR]\n"
           "                [--token-file FILE]\n"
           "\n"
           "Opens the suite's main window; the menu command Contabilidade > Lançamento\n"
           "Contábil loads the module (libctb11000.so beside ctb-host, or CTB_MODULE) and\n"
           "opens the entry screen. Without --server, ctb11000-server beside ctb-host is\n"
           "started on a free loopback port; --db naming a missing file creates it with\n"
           "ctb-demo. --open opens the entry screen at once; --screenshots DIR renders the\n"
           "screens and dialogs to PNG files in DIR and quits. --token-file names the access\n"
           "token of a server that asks for one (also CTB_SERVER_TOKEN_FILE).\n"
           "\n"
           "Without a display, start it with QT_QPA_PLATFORM=vnc scripts/run (a VNC server\n"
           "on loopback only, port 5900; reach it through an SSH tunnel) or run it with\n"
           "QT_QPA_PLATFORM=offscreen and --screenshots.\n";
}

}  // namespace desk
