#include "host/common/options.h"

#include <cstdlib>

namespace hostcommon {
namespace {

bool Digits(const std::string& t, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

}  // namespace

bool SplitHostPort(const std::string& text, std::string& host, int& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || !Digits(digits, 0, digits.size())) return false;
    const int p = std::atoi(digits.c_str());
    if (p < 1 || p > 65535) return false;
    host = text.substr(0, colon);
    port = p;
    return true;
}

bool ParseToday(const std::string& text, TDateTime& out) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!Digits(text, 0, 4) || !Digits(text, 5, 2) || !Digits(text, 8, 2)) return false;
    return EncodeDate(std::atoi(text.substr(0, 4).c_str()), std::atoi(text.substr(5, 2).c_str()),
                      std::atoi(text.substr(8, 2).c_str()), out);
}

bool CheckStartOptions(const StartOptions& o, std::string& error) {
    if (!o.dbFile.empty() && !o.dbUrl.empty()) {
        error = "informe --db ou --db-url, não os dois";
        return false;
    }
    std::string host;
    int port = 0;
    if (!o.server.empty() && !SplitHostPort(o.server, host, port)) {
        error = "--server deve ser HOST:PORTA: " + o.server;
        return false;
    }
    TDateTime day = 0;
    if (!o.today.empty() && !ParseToday(o.today, day)) {
        error = "--today deve ser uma data AAAA-MM-DD: " + o.today;
        return false;
    }
    return true;
}

}  // namespace hostcommon
